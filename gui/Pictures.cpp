#include "gui/Pictures.h"

#include "platform/Paths.h"

namespace varnolt {

namespace {

std::filesystem::path& ChosenFolder() {
  static std::filesystem::path folder;
  return folder;
}

}  // namespace

std::filesystem::path PictureFolder() { return ChosenFolder().empty() ? ExecutableDir() / "images" : ChosenFolder(); }

void SetPictureFolder(std::filesystem::path folder) { ChosenFolder() = std::move(folder); }

QPixmap LoadPicture(const QString& name) {
  return QPixmap(QString::fromStdU16String((PictureFolder() / name.toStdU16String()).u16string()));
}

}  // namespace varnolt
