// Imports that reach the current page directly: text files, and the clipboard.
#include <algorithm>
#include <filesystem>
#include <new>
#include <string_view>
#include <utility>

#include "app/Unit2.h"
#include "platform/CodePage.h"
#include "platform/FileContents.h"
#include "richtext/rtf/reader/RVRTFReader.h"

namespace varnolt {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeByteOrderMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeByteOrderMark = "\xFE\xFF";

// An odd last byte is no character.
std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    text += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return text;
}

enum class TUtf16Order { kNone, kLittleEndian, kBigEndian };

// UTF-16 written without a byte-order mark shows itself, as editors find it,
// by zero bytes on one side of its pairs and hardly any on the other: the
// high bytes of Latin text. A stray zero in 8-bit text makes no such pattern.
TUtf16Order Utf16WithoutMark(std::string_view bytes) {
  constexpr std::size_t kSampleBytes = 1 << 16;
  if (bytes.size() < 2 || bytes.size() % 2 != 0) return TUtf16Order::kNone;
  const std::string_view sample = bytes.substr(0, std::min(bytes.size(), kSampleBytes) & ~std::size_t{1});
  std::size_t zerosFirst = 0;
  std::size_t zerosSecond = 0;
  for (std::size_t i = 0; i < sample.size(); i += 2) {
    zerosFirst += sample[i] == '\0' ? 1 : 0;
    zerosSecond += sample[i + 1] == '\0' ? 1 : 0;
  }
  const std::size_t pairs = sample.size() / 2;
  auto oneSided = [pairs](std::size_t many, std::size_t few) { return many * 3 >= pairs && few * 10 <= many; };
  if (oneSided(zerosSecond, zerosFirst)) return TUtf16Order::kLittleEndian;
  if (oneSided(zerosFirst, zerosSecond)) return TUtf16Order::kBigEndian;
  return TUtf16Order::kNone;
}

std::u16string DecodeWithoutZeros(std::string_view bytes) {
  if (bytes.starts_with(kUtf16LeByteOrderMark)) return DecodeUtf16(bytes.substr(2), false);
  if (bytes.starts_with(kUtf16BeByteOrderMark)) return DecodeUtf16(bytes.substr(2), true);
  switch (Utf16WithoutMark(bytes)) {
    case TUtf16Order::kLittleEndian: return DecodeUtf16(bytes, false);
    case TUtf16Order::kBigEndian: return DecodeUtf16(bytes, true);
    case TUtf16Order::kNone: break;
  }
  if (IsValidUtf8(bytes)) {
    if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    return Utf8ToUtf16(bytes);
  }
  return AnsiToUnicode(kCpAcp, bytes);
}

// A byte-order mark makes UTF-16, and so does the zero-byte pattern of
// UTF-16 without one; valid UTF-8 is read as such, anything else in the
// system code page. A zero character is no end of text: it is dropped, as
// the engine drops it from 8-bit text, and everything after it is kept.
std::u16string DecodeTextFile(std::string_view bytes) {
  std::u16string text = DecodeWithoutZeros(bytes);
  std::erase(text, u'\0');
  return text;
}

std::u16string ReasonOf(const std::exception& error) {
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return u"out of memory";
  return Utf8ToUtf16(error.what());
}

std::u16string RtfResultText(std::uint8_t code) {
  switch (code) {
    case kRtfUnmatchedClose: return u"a group closes that was never opened";
    case kRtfTooDeep: return u"groups are nested too deep";
    case kRtfBadHex: return u"\\' is not followed by two hexadecimal digits";
    case kRtfEndAfterBackslash: return u"the data ends after a backslash";
    case kRtfBadPictureOrObject: return u"a picture or object is malformed";
    case kRtfHandlerError: return u"the page refused the content";
    default: return u"internal error " + ToU16(std::to_string(code));
  }
}

// The byte offset where reading stopped, as " at byte N".
std::u16string WhereReadingStopped(const TRVRTFReaderProperties& props) {
  return u" at byte " + ToU16(std::to_string(props.StopOffset()));
}

std::u16string WhyUnreadable(const TRVRTFReaderProperties& props) {
  if (props.FileError.empty()) return u"the file could not be read";
  return Utf8ToUtf16(props.FileError);
}

// Data cut off before its closing braces (a cut download, a careless writer)
// is shown as far as it goes, as every reader of such files does.
std::u16string OpenGroupsWarning(int groups) {
  return u"the data ends inside " + ToU16(std::to_string(groups)) + (groups == 1 ? u" open group" : u" open groups");
}

TFileImportReport RtfImportReport(const std::filesystem::path& fileName, const TRVRTFReaderProperties& props) {
  switch (props.ErrorCode()) {
    case kRtfOk: {
      std::error_code error;
      if (std::filesystem::file_size(fileName, error) == 0 && !error) return {true, Utf8ToUtf16(kEmptyFileReason)};
      return {};
    }
    case kRtfFileError: return {false, WhyUnreadable(props)};
    case kRtfUnexpectedEnd: return {true, OpenGroupsWarning(props.OpenGroupsAtEnd())};
    default:
      return {false, u"reading stopped" + WhereReadingStopped(props) + u": " + RtfResultText(props.ErrorCode())};
  }
}

}  // namespace

std::string TForm2::MMFileToString(const std::filesystem::path& fileName) {
  FileContents contents = ReadFileContents(fileName);
  const std::u16string reason = Utf8ToUtf16(contents.systemError);
  switch (contents.failedStep) {
    case FileReadStep::kNone: break;
    case FileReadStep::kOpen: ShowWarning(u"Unable to open file. " + reason); break;
    case FileReadStep::kSize: ShowWarning(u"Unable to create file mapping. " + reason); break;
    case FileReadStep::kRead: ShowWarning(u"Unable to map view of file. " + reason); break;
  }
  // An empty file is read completely; a missing one says nothing in the window.
  if (contents.fileMissing) {
    LastImport = {false, u"No such file or directory"};
  } else {
    LastImport = {contents.failedStep == FileReadStep::kNone || contents.systemError == kEmptyFileReason, u""};
  }
  return std::move(contents.bytes);
}

void TForm2::Label12Click() {
  statusbarinit();
  Progress.Start(1);
  auto fileName = ChooseFileToOpen(
      TFileDialogRequest{u"", u"Text files(*.txt)|*.txt", u"txt", {}, {}});
  if (!fileName) return;
  try {
    // The file's bytes are freed as soon as they are decoded.
    std::u16string text = DecodeTextFile(MMFileToString(*fileName));
    if (BatchMode) {
      // Nobody looks at the clipboard in the batch mode: the text goes to
      // the caret without two more copies of it.
      CurrentEditor().InsertTextAtCaret(text);
    } else {
      clipboard_.SetUnicodeText(std::exchange(text, {}));
      CurrentEditor().PasteUnicodeText();
    }
    Progress.bar.StepIt();
    Progress.SetPercentText(u"100%");
  } catch (const std::exception& error) {
    LastImport = {false, u""};
    host_.ShowMessage(TMessage{u"?", u"", TMessageKind::kPlain, ReasonOf(error)});
  }
}

void TForm2::Label36Click() {
  statusbarinit();
  Progress.Start(1);
  auto fileName = ChooseFileToOpen(TFileDialogRequest{u"", u"rich text format(*.rtf)|*.rtf", u"rtf", {}, {}});
  if (!fileName) return;
  CurrentEditor().ImportRtfFileAtCaret(fileName->string());
  LastImport = RtfImportReport(*fileName, CurrentEditor().RTFReadProperties);
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
