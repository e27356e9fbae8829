#pragma once
// The RTF import settings of a view, and the import that drives an RTF
// reader and turns its events into items, tables, notes and styles of the
// shared style sheet. Every entry point returns the reader's result code
// (kRtfOk for success) and never throws for bad input; what was built
// before a failure stays.
#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "richtext/document/CRVData.h"
#include "richtext/document/RVPageSetup.h"
#include "richtext/graphic/RVGraphic.h"
#include "richtext/rtf/reader/RVRTFTypes.h"

namespace varnolt {


enum TRVReaderUnicode : std::uint8_t { rvruMixed, rvruNoUnicode, rvruOnlyUnicode };
enum TRVReaderStyleMode : std::uint8_t { rvrsUseSpecified, rvrsUseClosest, rvrsAddIfNeeded };
enum TRVRTFHighlight : std::uint8_t { rtfhlIgnore, rtfhlFixedColors, rtfhlColorTable };

// The result of a file that could not be opened.
inline constexpr std::uint8_t kRtfFileError = 8;

// A host's say on a hyperlink: it may set the item's style number (a
// picture's -3 has become -10 before it is asked), tag and name.
using TRVReadHyperlinkEvent = std::function<void(const std::u16string& target, const std::u16string& extras,
                                                 std::int32_t& styleNo, TRVTag& tag, std::u16string& name)>;
// A host's picture for a picture field; nothing when it leaves graphic empty.
using TRVImportPictureEvent =
    std::function<void(const std::u16string& location, int width, int height, std::unique_ptr<TGraphic>& graphic)>;

// Page size and margins (twips) from a loaded RTF, kept when asked for.
struct TRVRTFDocParameters {
  std::int32_t PaperWidth = 0;
  std::int32_t PaperHeight = 0;
  std::int32_t LeftMargin = 0;
  std::int32_t TopMargin = 0;
  std::int32_t RightMargin = 0;
  std::int32_t BottomMargin = 0;
  bool Landscape = false;
};

class TRVRTFReaderProperties {
 public:
  TRVRTFReaderProperties() = default;
  TRVRTFReaderProperties(const TRVRTFReaderProperties&) = delete;
  TRVRTFReaderProperties& operator=(const TRVRTFReaderProperties&) = delete;
  virtual ~TRVRTFReaderProperties() = default;

  // --- published settings ---

  TRVReaderUnicode UnicodeMode = rvruOnlyUnicode;
  TRVReaderStyleMode TextStyleMode = rvrsUseClosest;
  // List markers are built only with rvrsAddIfNeeded.
  TRVReaderStyleMode ParaStyleMode = rvrsUseClosest;
  bool IgnorePictures = false;
  bool IgnoreTables = false;
  bool IgnoreBookmarks = false;
  bool IgnoreNotes = false;
  bool IgnoreSequences = false;
  bool UseHypertextStyles = false;
  bool SkipHiddenText = true;
  bool AutoHideTableGridLines = false;
  bool LineBreaksAsParagraphs = false;
  bool ReadDocParameters = false;
  bool UseSingleCellPadding = false;
  bool ExtractMetafileBitmaps = true;
  TRVRTFHighlight ConvertHighlight = rtfhlColorTable;
  bool StoreImagesFileNames = false;
  bool BasePathLinks = true;
  bool UseCharsetForUnicode = false;
  std::uint8_t CharsetForUnicode = 1;

  // The styles of rvrsUseSpecified; a negative value raises ERichDocError
  // "Value must not be negative".
  std::int32_t TextStyleNo() const { return textStyleNo_; }
  std::int32_t ParaStyleNo() const { return paraStyleNo_; }
  void SetTextStyleNo(std::int32_t value);
  void SetParaStyleNo(std::int32_t value);

  // Copies the settings that a view's import settings share.
  void Assign(const TRVRTFReaderProperties& source);

  // --- unpublished ---

  // The folder of the file being inserted (with its trailing separator);
  // relative picture files and hyperlinks are taken from there.
  std::u16string BasePath;
  // The result of the last import.
  std::uint8_t ErrorCode() const { return errorCode_; }
  // Where the last import stopped reading, in bytes from the start of its
  // RTF: the RTF's length when all of it was read; 0 when none was.
  std::uint64_t StopOffset() const { return stopOffset_; }
  // How many groups the last import's data left open; with ErrorCode
  // kRtfUnexpectedEnd everything before the end was still read.
  int OpenGroupsAtEnd() const { return openGroupsAtEnd_; }
  // Filled by a load (not an insertion) when ReadDocParameters is set.
  std::optional<TRVRTFDocParameters> DocParameters;

  // Host hooks; this system installs none.
  TRVReadHyperlinkEvent OnReadHyperlink;
  TRVImportPictureEvent OnImportPicture;

  // Lets a subclass replace or extend a control word's handling.
  virtual void TranslateKeyword(const TRVAnsiString& keyword, std::int32_t param, bool fParam, TRVAnsiString& text,
                                bool& doDefault);

  // --- the import ---

  // Reads the stream into document at index (paragraph rules of the
  // document); afterwards index is the last item inserted, -1 when none.
  std::uint8_t ImportRTF(std::istream& stream, TCustomRVData& document, int& index);
  // The same for bytes, appended at the end of the document.
  std::uint8_t LoadRTF(std::string_view rtf, TCustomRVData& document);
  // Reads the file into document at its end, with BasePath its folder for
  // the time of the import; false and ErrorCode 8 when it cannot be opened.
  bool LoadRTFFile(const std::string& fileName, TCustomRVData& document);

  // Reads the RTF into scratch, an empty document on the style sheet of the
  // place it is meant for, as content inserted after a paragraph of style
  // paraBefore; the caller puts the items in place (an editor at its caret).
  // With pageSetup, an empty one, the RTF's paper size and margins (when it
  // gives a paper size) and its header and footer (on scratch's style sheet)
  // go there.
  std::uint8_t ImportForInsertion(std::string_view rtf, TCustomRVData& scratch, std::int32_t paraBefore,
                                  TRVPageSetup* pageSetup = nullptr);
  std::uint8_t ImportForInsertion(std::istream& rtf, TCustomRVData& scratch, std::int32_t paraBefore,
                                  TRVPageSetup* pageSetup = nullptr);
  // Hands a stream over the file to import, which reads it a chunk at a
  // time, with BasePath its folder for the time of the call. kRtfFileError
  // when the file cannot be opened, or a read fails part way whatever import
  // made of the bytes before; FileError then gives the system's reason.
  std::uint8_t ImportFile(const std::string& fileName, const std::function<std::uint8_t(std::istream&)>& import);
  // Why the last ImportFile could not read its file; empty when it could.
  std::string FileError;
  // Records the result of an import the caller finished (and, when given,
  // where it stopped reading); returns it.
  std::uint8_t RecordResult(std::uint8_t code, std::optional<std::uint64_t> stopOffset = std::nullopt) {
    errorCode_ = code;
    if (stopOffset) stopOffset_ = *stopOffset;
    return code;
  }

 private:
  std::uint8_t ImportInto(std::istream& stream, TCustomRVData& document, int& index, bool loading);
  std::int32_t textStyleNo_ = 0;
  std::int32_t paraStyleNo_ = 0;
  std::uint8_t errorCode_ = 0;
  std::uint64_t stopOffset_ = 0;
  int openGroupsAtEnd_ = 0;
};

}  // namespace varnolt
