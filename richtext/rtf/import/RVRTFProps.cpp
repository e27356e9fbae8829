// The import settings, the entry points, and the wiring of a reader to one
// import.
#include "richtext/rtf/import/RVRTFProps.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <streambuf>
#include <typeinfo>

#include "platform/CodePage.h"
#include "platform/FileContents.h"
#include "platform/Screen.h"
#include "richtext/rtf/import/RVRTFImport.h"

namespace varnolt {

namespace {

// Reads borrowed bytes without copying them; seeking lets the reader learn
// the size.
class TRVBytesStreamBuf : public std::streambuf {
 public:
  explicit TRVBytesStreamBuf(std::string_view bytes) {
    char* begin = const_cast<char*>(bytes.data());
    setg(begin, begin, begin + bytes.size());
  }

 protected:
  pos_type seekoff(off_type offset, std::ios_base::seekdir dir, std::ios_base::openmode which) override {
    if ((which & std::ios_base::in) == 0) return pos_type(off_type(-1));
    const off_type size = egptr() - eback();
    off_type base = 0;
    if (dir == std::ios_base::cur) base = gptr() - eback();
    if (dir == std::ios_base::end) base = size;
    const off_type target = base + offset;
    if (target < 0 || target > size) return pos_type(off_type(-1));
    setg(eback(), eback() + target, egptr());
    return pos_type(target);
  }
  pos_type seekpos(pos_type position, std::ios_base::openmode which) override {
    return seekoff(off_type(position), std::ios_base::beg, which);
  }
};

TRVRTFHighlightConvert ReaderHighlight(TRVRTFHighlight highlight) {
  switch (highlight) {
    case rtfhlIgnore: return rtf_hl_Ignore;
    case rtfhlFixedColors: return rtf_hl_FixedColors;
    case rtfhlColorTable: break;
  }
  return rtf_hl_ColorTable;
}

std::u16string FolderOf(const std::string& fileName) {
  std::string folder = std::filesystem::path(fileName).parent_path().string();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return Utf8ToUtf16(folder);
}

// BasePath is the file's folder for the time of one import.
class TRVScopedBasePath {
 public:
  TRVScopedBasePath(std::u16string& basePath, std::u16string folder) : basePath_(basePath) {
    basePath_ = std::move(folder);
  }
  ~TRVScopedBasePath() { basePath_.clear(); }
  TRVScopedBasePath(const TRVScopedBasePath&) = delete;
  TRVScopedBasePath& operator=(const TRVScopedBasePath&) = delete;

 private:
  std::u16string& basePath_;
};

}  // namespace

// --- settings ---

void TRVRTFReaderProperties::SetTextStyleNo(std::int32_t value) {
  if (value < 0) throw ERichDocError("Value must not be negative");
  textStyleNo_ = value;
}

void TRVRTFReaderProperties::SetParaStyleNo(std::int32_t value) {
  if (value < 0) throw ERichDocError("Value must not be negative");
  paraStyleNo_ = value;
}

void TRVRTFReaderProperties::Assign(const TRVRTFReaderProperties& source) {
  UnicodeMode = source.UnicodeMode;
  TextStyleMode = source.TextStyleMode;
  ParaStyleMode = source.ParaStyleMode;
  IgnorePictures = source.IgnorePictures;
  IgnoreTables = source.IgnoreTables;
  IgnoreNotes = source.IgnoreNotes;
  IgnoreSequences = source.IgnoreSequences;
  UseHypertextStyles = source.UseHypertextStyles;
  SkipHiddenText = source.SkipHiddenText;
  textStyleNo_ = source.textStyleNo_;
  paraStyleNo_ = source.paraStyleNo_;
  LineBreaksAsParagraphs = source.LineBreaksAsParagraphs;
  ExtractMetafileBitmaps = source.ExtractMetafileBitmaps;
  ConvertHighlight = source.ConvertHighlight;
}

void TRVRTFReaderProperties::TranslateKeyword(const TRVAnsiString&, std::int32_t, bool, TRVAnsiString&, bool&) {}

// --- entry points ---

std::uint8_t TRVRTFReaderProperties::ImportInto(std::istream& stream, TCustomRVData& document, int& index,
                                                bool loading) {
  if (index < 0 || index > document.CountItems()) index = document.CountItems();
  if (document.GetRVStyle() == nullptr) {
    errorCode_ = kRtfInternalError;
    stopOffset_ = 0;
    openGroupsAtEnd_ = 0;
    index = -1;
    return errorCode_;
  }
  const std::int32_t paraBefore = index > 0 ? document.ItemAt(index - 1).ParaNo : 0;
  const int countBefore = document.CountItems();
  if (index == countBefore) {
    // At the end the items go straight in; elsewhere they are built apart
    // and put in place as a whole.
    TRVRTFImporter importer(*this, document, paraBefore, loading);
    errorCode_ = importer.Run(stream);
    stopOffset_ = importer.StopOffset();
    openGroupsAtEnd_ = importer.OpenGroupsAtEnd();
    index = document.CountItems() > countBefore ? document.CountItems() - 1 : -1;
    return errorCode_;
  }
  TCustomRVData scratch;
  scratch.SetRVStyle(document.GetRVStyle());
  scratch.SetTagsArePChars(document.TagsArePChars());
  scratch.Events.StyleAdded = document.Events.StyleAdded;
  TRVRTFImporter importer(*this, scratch, paraBefore, loading);
  errorCode_ = importer.Run(stream);
  stopOffset_ = importer.StopOffset();
  openGroupsAtEnd_ = importer.OpenGroupsAtEnd();
  scratch.DropNumberingLists();
  TRVItemList items = scratch.ExtractItems(0, scratch.CountItems());
  if (items.empty()) {
    index = -1;
    return errorCode_;
  }
  // Without a caret to join, the content starts its own paragraph.
  items.front()->SetStartsParagraph();
  TCustomRVItemInfo& next = document.ItemAt(index);
  if (next.ContinuesPara() && items.back()->OccupiesWholeLine()) next.SetStartsParagraph();
  const auto count = static_cast<int>(items.size());
  document.InsertItemsAt(index, std::move(items));
  document.PropagateParaNo(document.ParagraphStart(index + count - 1));
  index += count - 1;
  return errorCode_;
}

std::uint8_t TRVRTFReaderProperties::ImportRTF(std::istream& stream, TCustomRVData& document, int& index) {
  return ImportInto(stream, document, index, false);
}

std::uint8_t TRVRTFReaderProperties::LoadRTF(std::string_view rtf, TCustomRVData& document) {
  TRVBytesStreamBuf buffer(rtf);
  std::istream stream(&buffer);
  int index = document.CountItems();
  return ImportInto(stream, document, index, true);
}

bool TRVRTFReaderProperties::LoadRTFFile(const std::string& fileName, TCustomRVData& document) {
  return ImportFile(fileName, [&](std::istream& rtf) {
           int index = document.CountItems();
           return ImportInto(rtf, document, index, true);
         }) == kRtfOk;
}

std::uint8_t TRVRTFReaderProperties::ImportFile(const std::string& fileName,
                                                const std::function<std::uint8_t(std::istream&)>& import) {
  FileInputBuffer file(fileName);
  FileError = file.Status().fileMissing ? std::strerror(ENOENT) : file.Status().systemError;
  if (!file.IsOpen()) return RecordResult(kRtfFileError, 0);
  TRVScopedBasePath basePath(BasePath, FolderOf(fileName));
  std::istream stream(&file);
  const std::uint8_t result = import(stream);
  // The reader takes a failed read for the end of its input.
  if (file.Status().failedStep == FileReadStep::kRead) {
    FileError = file.Status().systemError;
    return RecordResult(kRtfFileError);
  }
  return result;
}

std::uint8_t TRVRTFReaderProperties::ImportForInsertion(std::string_view rtf, TCustomRVData& scratch,
                                                        std::int32_t paraBefore, TRVPageSetup* pageSetup) {
  TRVBytesStreamBuf buffer(rtf);
  std::istream stream(&buffer);
  return ImportForInsertion(stream, scratch, paraBefore, pageSetup);
}

std::uint8_t TRVRTFReaderProperties::ImportForInsertion(std::istream& rtf, TCustomRVData& scratch,
                                                        std::int32_t paraBefore, TRVPageSetup* pageSetup) {
  TRVRTFImporter importer(*this, scratch, paraBefore, false, pageSetup);
  errorCode_ = importer.Run(rtf);
  stopOffset_ = importer.StopOffset();
  openGroupsAtEnd_ = importer.OpenGroupsAtEnd();
  scratch.DropNumberingLists();
  return errorCode_;
}

// --- one import ---

TRVRTFImporter::TRVRTFImporter(TRVRTFReaderProperties& props, TCustomRVData& main, std::int32_t paraBefore,
                               bool loading, TRVPageSetup* pageSetup)
    : props_(props),
      main_(main),
      style_(*main.GetRVStyle()),
      loading_(loading),
      ppi_(kScreenPixelsPerInch),
      textStyles_(style_, props, &main.Events),
      paraStyles_(style_, props, &main.Events, ppi_),
      target_(&main),
      paraBefore_(paraBefore),
      pageSetup_(pageSetup) {}

TRVRTFImporter::~TRVRTFImporter() = default;

std::uint8_t TRVRTFImporter::Run(std::istream& stream) {
  TRVRTFReader reader;
  reader_ = &reader;
  Wire(reader);
  std::uint8_t result = reader.ParseStream(stream);
  stopOffset_ = reader.StopOffset();
  openGroupsAtEnd_ = reader.OpenGroupsAtEnd();
  // Tables and notes the input left open are closed where they stand.
  try {
    while (!subData_.empty()) {
      if (subData_.back().Table) {
        TableEnd(true);
      } else {
        NoteEnd();
      }
    }
  } catch (...) {
    if (result == kRtfOk) result = kRtfInternalError;
  }
  // A list marker never ends its line.
  if (main_.CountItems() > 0 && main_.ItemAt(main_.CountItems() - 1).StyleNo == ItemKindListMarker) {
    auto filler = std::make_unique<TRVTextItemInfo>(0);
    filler->SetUnicodeText(style_.TextStyleAt(0).Unicode);
    filler->ParaNo = -1;
    main_.AppendItem({}, std::move(filler));
  }
  reader_ = nullptr;
  return result;
}

void TRVRTFImporter::Wire(TRVRTFReader& reader) {
  reader.PixelsPerInch = ppi_;
  reader.ConvertHighlight = ReaderHighlight(props_.ConvertHighlight);
  reader.ExtractMetafileBitmaps = props_.ExtractMetafileBitmaps;
  reader.BasePath = props_.BasePath;
  reader.DefCodePage = style_.DefCodePage;
  reader.TabAsSeparateText = style_.SpacesInTab == 0;

  reader.OnNewText = [this](TRVRTFReader&, const TRVAnsiString& text, TRVRTFPosition position) {
    NewText(text, position);
  };
  if (props_.UnicodeMode != rvruNoUnicode) {
    reader.OnNewUnicodeText = [this](TRVRTFReader&, const TRVUnicodeString& text, TRVRTFPosition position) {
      NewUnicodeText(text, position);
    };
    reader.JoinsTextKinds = [this] { return StoresTextKindsAlike(); };
  }
  if (!props_.IgnorePictures) {
    reader.OnNewPicture = [this](TRVRTFReader&, const TRVRTFPicture* picture, std::unique_ptr<TGraphic>& graphic,
                                 TRVRTFPosition position, const TRVUnicodeString& fileName, bool& inserted) {
      NewPicture(picture, graphic, position, fileName, inserted);
    };
    reader.OnImportPicture = [this](TRVRTFReader&, const TRVUnicodeString& location,
                                    std::unique_ptr<TGraphic>& graphic, bool& invalid) {
      ImportPicture(location, graphic, invalid);
    };
  }
  if (!props_.IgnoreTables) {
    reader.OnTable = [this](TRVRTFReader&, TRVRTFTableEventKind kind, bool& processed) { Table(kind, processed); };
  }
  if (!props_.IgnoreNotes) {
    reader.OnNote = [this](TRVRTFReader&, TRVRTFNoteEventType what, TRVRTFPosition position) {
      Note(what, position);
    };
  }
  if (!props_.IgnoreSequences) {
    reader.OnNewSeq = [this](TRVRTFReader&, TRVRTFPosition position, const TRVUnicodeString& name,
                             TRVRTFSeqType type, bool reset, std::int32_t startFrom) {
      NewSeq(position, name, type, reset, startFrom);
    };
  }
  if (!props_.IgnoreBookmarks) {
    reader.OnBookmarkStart = [this](TRVRTFReader&, const TRVUnicodeString& name) { BookmarkStart(name); };
  }
  if (pageSetup_ != nullptr) {
    reader.OnHeaderFooter = [this](TRVRTFReader&, TRVRTFHeaderFooterType type, bool starting, bool& supported) {
      HeaderFooter(type, starting, supported);
    };
    reader.OnSectionEnd = [this](TRVRTFReader&) { SectionEnd(); };
  }
  reader.OnUpdateMarker = [this](TRVRTFReader&) { UpdateMarker(); };
  reader.OnRequiredPageBreak = [this](TRVRTFReader&) { RequirePageBreak(); };
  reader.OnEndParsing = [this](TRVRTFReader&) { EndParsing(); };
  // Only a subclass can translate; the plain settings' method does nothing,
  // and asking it would cost every control word a call.
  if (typeid(props_) != typeid(TRVRTFReaderProperties)) {
    reader.OnTranslateKeyword = [this](TRVRTFReader&, const TRVAnsiString& keyword, std::int32_t param, bool fParam,
                                       TRVAnsiString& text, bool& doDefault) {
      props_.TranslateKeyword(keyword, param, fParam, text, doDefault);
    };
  }
}

}  // namespace varnolt
