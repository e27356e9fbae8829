// The dialogs the commands open: the file dialogs, started where the user last
// was, and the "Edit" links of the Properties and Options tabs.
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "platform/Paths.h"

namespace varnolt {

std::filesystem::path TForm2::DialogFolder() const {
  return lastFolder_.empty() ? DocumentsFolder() : lastFolder_;
}

std::optional<std::filesystem::path> TForm2::ChooseFileToOpen(TFileDialogRequest request) {
  request.initialDir = DialogFolder();
  auto fileName = host_.ChooseFileToOpen(request);
  if (fileName && fileName->has_parent_path()) lastFolder_ = fileName->parent_path();
  return fileName;
}

std::optional<std::filesystem::path> TForm2::ChooseFileToSave(TFileDialogRequest request) {
  request.initialDir = DialogFolder();
  auto fileName = host_.ChooseFileToSave(request);
  if (fileName && fileName->has_parent_path()) lastFolder_ = fileName->parent_path();
  return fileName;
}

void TForm2::PropertiesEditClick() {
  TForm1 dialog(*this);
  host_.RunModal(dialog);
}

void TForm2::OptionsEditClick() {
  TForm3 dialog(*this);
  host_.RunModal(dialog);
}

}  // namespace varnolt
