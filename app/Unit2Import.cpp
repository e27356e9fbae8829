// Imports that reach the current page directly: text files, and the clipboard.
#include <string_view>

#include "app/Unit2.h"
#include "platform/CodePage.h"
#include "platform/FileMapping.h"

namespace varnolt {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Valid UTF-8 is read as such, anything else in the system code page; the
// text ends at the first zero byte.
std::u16string DecodeTextFile(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  if (IsValidUtf8(bytes)) {
    if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    return Utf8ToUtf16(bytes);
  }
  return AnsiToUnicode(kCpAcp, bytes);
}

}  // namespace

std::string TForm2::MMFileToString(const std::filesystem::path& fileName) {
  MappedFileContents contents = MapFileToString(fileName);
  const std::u16string reason = Utf8ToUtf16(contents.systemError);
  switch (contents.failedStep) {
    case FileMappingStep::kNone: break;
    case FileMappingStep::kOpen: ShowWarning(u"Unable to open file. " + reason); break;
    case FileMappingStep::kCreateMapping: ShowWarning(u"Unable to create file mapping. " + reason); break;
    case FileMappingStep::kMapView: ShowWarning(u"Unable to map view of file. " + reason); break;
  }
  return std::move(contents.bytes);
}

void TForm2::Label12Click() {
  statusbarinit();
  Progress.Start(1);
  auto fileName = host_.ChooseFileToOpen(
      TFileDialogRequest{u"", u"Text files(*.txt)|*.txt", u"txt", {}, {}});
  if (!fileName) return;
  try {
    const std::string bytes = MMFileToString(*fileName);
    clipboard_.SetUnicodeText(DecodeTextFile(bytes));
    CurrentEditor().PasteUnicodeText();
    Progress.bar.StepIt();
    Progress.SetPercentText(u"100%");
  } catch (const std::exception&) {
    host_.ShowMessage(TMessage{u"?"});
  }
}

void TForm2::Label36Click() {
  statusbarinit();
  Progress.Start(1);
  auto fileName = host_.ChooseFileToOpen(TFileDialogRequest{u"", u"rich text format(*.rtf)|*.rtf", u"rtf", {}, {}});
  if (!fileName) return;
  CurrentEditor().ImportRtfFileAtCaret(fileName->string());
  Progress.bar.StepIt();
  Progress.SetPercentText(u"100%");
}

void TForm2::Label25Click() {
  CurrentEditor().PasteFromClipboard();
  clipdata();
}

void TForm2::N34Click() {
  CurrentEditor().CutSelection();
  clipdata();
}

void TForm2::N2Click() {
  CurrentEditor().CopyAllFormats();
  clipdata();
}

void TForm2::Label26Click() {
  clipboard_.Empty();
  clipdata();
}

}  // namespace varnolt
