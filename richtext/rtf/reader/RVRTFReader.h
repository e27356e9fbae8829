#pragma once
// An event-driven RTF parser. It keeps a stack of group states, collects the
// font, colour, style and list tables, and reports text runs, pictures,
// objects, table structure, notes, headers and footers, bookmarks, sequence
// fields, marker updates and page breaks through its events. It builds no
// document itself; an event left empty switches the matching work off.
//
// ParseStream never throws: it returns a result code (kRtfOk and the
// kRtf... constants below).
#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "richtext/graphic/RVGraphic.h"
#include "richtext/rtf/reader/RVRTFCollections.h"
#include "richtext/rtf/reader/RVRTFDingbats.h"
#include "richtext/rtf/reader/RVRTFKeywords.h"
#include "richtext/rtf/reader/RVRTFPictures.h"
#include "richtext/rtf/reader/RVRTFTokenizer.h"
#include "richtext/rtf/reader/RVRTFTypes.h"

namespace varnolt {

inline constexpr std::uint8_t kRtfOk = 0;
inline constexpr std::uint8_t kRtfUnmatchedClose = 1;    // "}" without an open group
inline constexpr std::uint8_t kRtfTooDeep = 2;           // a group beyond kMaxRTFGroupDepth was skipped
inline constexpr std::uint8_t kRtfUnexpectedEnd = 3;     // input ended with groups open
inline constexpr std::uint8_t kRtfBadHex = 4;            // "\'" not followed by hexadecimal digits
inline constexpr std::uint8_t kRtfEndAfterBackslash = 7;
inline constexpr std::uint8_t kRtfInternalError = 9;
inline constexpr std::uint8_t kRtfBadPictureOrObject = 10;  // nested "pict", bad object data
inline constexpr std::uint8_t kRtfHandlerError = 11;        // a content handler threw

// A group costs about a kilobyte at most (its state with a full tab list);
// mail programs nest a few thousand deep. A deeper group is skipped whole.
inline constexpr int kMaxRTFGroupDepth = 10000;
inline constexpr int kMaxRTFTableNesting = 64;
// Entries of the font, colour and style tables, and lists, levels and
// overrides of the list tables; later ones are skipped.
inline constexpr int kMaxRTFTableEntries = 16384;
// Tabs of one paragraph and the characters of a marker's text before or
// after the number; each open group copies them.
inline constexpr std::size_t kMaxRTFTabsPerParagraph = 64;
inline constexpr std::size_t kMaxRTFMarkerTextLength = 64;
// An INCLUDEPICTURE file larger than this is not read.
inline constexpr std::int64_t kMaxRTFIncludedPictureBytes = 64 * 1024 * 1024;

enum class TRVRTFDestination : std::uint8_t {
  Text, FontTable, ColorTable, StyleSheet, StyleSheetEntry, Picture, ShpPict, Object, ObjectData, Skip,
  Bookmark, Field, FieldInstruction, Pn, PnTextAfter, PnTextBefore, PnSectionLevel, ListTable, List, ListName,
  ListLevel, LevelText, LevelNumbers, ListOverrideTable, ListOverride, LfoLevel, Upr
};

enum class TRVRTFInputMode : std::uint8_t { Normal, Binary, Hex };

struct TRVRTFReaderState {
  std::int32_t defaultLanguage = 0;
  TRVRTFCharProperties charProps;
  TRVRTFParaProperties paraProps;
  TRVRTFSectionProperties sectProps;
  TRVRTFDocProperties docProps;
  // Shared with the enclosing groups until this group changes it; nullptr
  // until a row keyword is met.
  std::shared_ptr<TRVRTFRowProperties> rowProps;
  bool inFootnote = false;
  TRVRTFBorderTarget borderTarget = TRVRTFBorderTarget::Paragraph;
  TRVRTFDestination destination = TRVRTFDestination::Text;
  TRVRTFInputMode inputMode = TRVRTFInputMode::Normal;
  // Shared with the enclosing groups, like the row properties: a long
  // instruction is not copied for every group of the field's result.
  std::shared_ptr<TRVUnicodeString> fieldInstructionText;
  const TRVUnicodeString& FieldInstruction() const;
  TRVUnicodeString& MutableFieldInstruction();
  bool skipFieldResult = false;
  std::uint8_t headerFooterKind = 0;  // 0 none, 1 header, 2 footer
  // Bytes to skip after "\u"; a group restores its enclosing value on close.
  std::int32_t unicodeSkip = 1;
};

class TRVRTFReader;

using TRVRTFNewTextEvent = std::function<void(TRVRTFReader& sender, const TRVAnsiString& text, TRVRTFPosition position)>;
using TRVRTFNewUnicodeTextEvent =
    std::function<void(TRVRTFReader& sender, const TRVUnicodeString& text, TRVRTFPosition position)>;
// The handler may take the graphic out of its pointer; it then owns it.
using TRVRTFNewPictureEvent =
    std::function<void(TRVRTFReader& sender, const TRVRTFPicture* picture, std::unique_ptr<TGraphic>& graphic,
                       TRVRTFPosition position, const TRVUnicodeString& fileName, bool& inserted)>;
using TRVRTFNewObjectEvent =
    std::function<void(TRVRTFReader& sender, const TRVRTFObject& object, TRVRTFPosition position, bool& inserted)>;
using TRVRTFTableEvent = std::function<void(TRVRTFReader& sender, TRVRTFTableEventKind whatHappens, bool& processed)>;
using TRVRTFHeaderFooterEvent =
    std::function<void(TRVRTFReader& sender, TRVRTFHeaderFooterType hfType, bool starting, bool& supported)>;
using TRVRTFNoteEvent = std::function<void(TRVRTFReader& sender, TRVRTFNoteEventType what, TRVRTFPosition position)>;
using TRVRTFImportPictureEvent = std::function<void(TRVRTFReader& sender, const TRVUnicodeString& location,
                                                    std::unique_ptr<TGraphic>& graphic, bool& invalid)>;
using TRVRTFTranslateKeywordEvent =
    std::function<void(TRVRTFReader& sender, const TRVAnsiString& keyword, std::int32_t param, bool fParam,
                       TRVAnsiString& text, bool& doDefault)>;
using TRVRTFProgressEvent = std::function<void(TRVRTFReader& sender, TRVRTFProgressStage stage, std::uint8_t percentDone)>;
using TRVRTFNotifyEvent = std::function<void(TRVRTFReader& sender)>;
using TRVBookmarkEvent = std::function<void(TRVRTFReader& sender, const TRVUnicodeString& bookmarkName)>;
using TRVRTFNewSeqEvent =
    std::function<void(TRVRTFReader& sender, TRVRTFPosition position, const TRVUnicodeString& seqName,
                       TRVRTFSeqType numberingType, bool reset, std::int32_t startFrom)>;

class TRVRTFReader {
 public:
  TRVRTFReader();
  ~TRVRTFReader();
  TRVRTFReader(const TRVRTFReader&) = delete;
  TRVRTFReader& operator=(const TRVRTFReader&) = delete;

  // Settings.
  CodePageId DefCodePage = 0;
  TRVRTFHighlightConvert ConvertHighlight = rtf_hl_FixedColors;
  bool ExtractMetafileBitmaps = true;
  std::int32_t PixelsPerInch = 0;  // 0: the screen's, at the start of each parse
  TRVUnicodeString BasePath;
  bool TabAsSeparateText = false;
  // Asked (once per run) where 8-bit text and UTF-16 text meet in one
  // formatting: true makes them one UTF-16 run, for a client that stores
  // both alike. Unset, each kind is a run of its own.
  std::function<bool()> JoinsTextKinds;

  // Events.
  TRVRTFNewTextEvent OnNewText;
  TRVRTFNewUnicodeTextEvent OnNewUnicodeText;
  TRVRTFNewPictureEvent OnNewPicture;
  TRVRTFNewObjectEvent OnNewObject;
  TRVRTFTableEvent OnTable;
  TRVRTFHeaderFooterEvent OnHeaderFooter;
  TRVRTFNoteEvent OnNote;
  TRVRTFImportPictureEvent OnImportPicture;
  TRVRTFTranslateKeywordEvent OnTranslateKeyword;
  TRVRTFProgressEvent OnProgress;
  TRVRTFNotifyEvent OnEndParsing;
  TRVBookmarkEvent OnBookmarkStart;
  TRVRTFNewSeqEvent OnNewSeq;
  TRVRTFNotifyEvent OnUpdateMarker;
  TRVRTFNotifyEvent OnRequiredPageBreak;
  // After the paragraph that a section break ends, in the main text only.
  TRVRTFNotifyEvent OnSectionEnd;

  // Reads the whole stream; the result code of the first failure, or kRtfOk.
  std::uint8_t ParseStream(std::istream& stream);
  // Where the last parse stopped, in bytes from the start of the stream: the
  // stream's length when it was read to its end (white space after the
  // outermost group counts as read), else the offset after the last byte used.
  std::uint64_t StopOffset() const { return stopOffset_; }
  // The groups the last parse's data left open (it ended inside them).
  int OpenGroupsAtEnd() const { return openGroupsAtEnd_; }

  // What the handlers read; the tables stay until the next parse.
  const TRVRTFReaderState& RTFState() const { return stack_.back(); }
  const TRVRTFFontList& FontList() const { return fonts_; }
  const TRVRTFColorList& ColorList() const { return colors_; }
  const TRVRTFStyleSheet& StyleSheet() const { return styleSheet_; }
  const TRVRTFListTable97& ListTable() const { return listTable_; }
  const TRVRTFListOverrideTable97& ListOverrideTable() const { return listOverrides_; }
  CodePageId CodePage() const { return codePage_; }
  // The code page of the current font's charset (DefCodePage without a valid font).
  CodePageId FontCodePage() const;
  // The code page of the 8-bit runs the reader delivers in the current font:
  // DOS, Mac and document code pages arrive in their Windows counterpart.
  CodePageId TextCodePage() const;
  // The pages of the header or footer whose start OnHeaderFooter is told.
  TRVRTFHeaderFooterPages HeaderFooterPages() const { return headerFooterPages_; }

 private:
  struct ParseStop;
  struct HandlerFailure;
  enum class Break : std::uint8_t { None, Line, Paragraph };

  // RVRTFReader.cpp: the main loop, groups, control words and bytes.
  void Reset();
  std::uint8_t Parse();
  std::uint8_t Finish();
  void RecordStopOffset(std::uint8_t result);
  void ReportProgress();
  TRVRTFReaderState& State() { return stack_.back(); }
  TRVRTFReaderState& EnclosingState() { return stack_[stack_.size() - 2]; }
  int Depth() const { return static_cast<int>(stack_.size()) - 1; }
  void HandleHexModeByte(int byte);
  void TakePlainTextRun(std::uint8_t first);
  void OpenGroup();
  void SkipGroup();
  void CloseGroup();
  void HandleControlWord();
  void Dispatch(const TRVRTFControlWord& word);
  void HandleSpecial(TRVRTFSpecialKeyword special, const TRVRTFControlWord& word);
  void DropOrDeliver(std::uint8_t byte);
  void DeliverByte(std::uint8_t byte);
  void RaiseUpdateMarker();
  template <typename Call>
  void CallContentHandler(Call&& call);

  // RVRTFReaderDestinations.cpp: destinations opening and ending.
  void StartDestination(TRVRTFDestinationKeyword keyword, std::int32_t param);
  void StartHeaderFooter(TRVRTFHeaderFooterType kind, TRVRTFHeaderFooterPages pages);
  void CloseHeaderFooter(TRVRTFHeaderFooterType kind);
  void StartFootnote();
  void CloseFootnote();
  void EndDestination(TRVRTFDestination destination);


  // RVRTFReaderTextRuns.cpp: text runs and Unicode characters.
  void PutTextByte(std::uint8_t byte);
  void PutTextUnicode(char16_t unit);
  void Emit(Break kind, bool forceEmptyRun = false);
  void EmitWithSync(bool allowClose);
  void SendRun();
  void HandleUnicodeChar(std::int32_t param);
  void HandleUnicodeKeyword(char16_t unit, std::uint8_t fallback);

  // RVRTFReaderTextCollector.cpp: names and texts converted once whole.
  void Collect(TRVUnicodeString& target, CodePageId codePage, std::uint8_t byte);
  void CollectUnit(TRVUnicodeString& target, char16_t unit);
  void FlushCollected();
  CodePageId FontNameCodePage(const TRVRTFFont& font) const;
  // Text of a Symbol font, or of a code page the client does not read, turned
  // into UTF-16 (or, without OnNewUnicodeText, into TextCodePage's bytes).
  void DecodeForeignText();
  // The pending 8-bit text decoded and appended to the pending UTF-16 text.
  void WidenPendingText();
  // Whether 8-bit text may join the UTF-16 text of the run pending now.
  bool JoinsKindsInThisRun();
  bool InSymbolFont() const;
  // Wingdings, Webdings or Zapf Dingbats text maps its codes to Unicode.
  TRVRTFDingbatFont DingbatFontOfText() const;
  // The pending 8-bit text of a dingbat font appended to the pending UTF-16 text.
  void MapDingbats(TRVRTFDingbatFont font);
  CodePageId SourceCodePage() const;

  // RVRTFReaderPropertyActions.cpp: character, paragraph, section and document properties.
  void ApplyProperty(const TRVRTFsymbol& symbol, std::int32_t value);
  bool ApplyCharacterProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg);
  bool ApplyParagraphProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg);
  bool ApplyBorderProperty(TRVRTFAction action, std::int32_t value);
  bool ApplySectionProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg);
  bool ApplyTableProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg);
  bool ApplyReaderProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg);
  bool ApplyStyleProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg);
  void SetHidden(bool hidden);
  void SetFont(std::int32_t number);
  int FontIndexOfNumber(std::int32_t number);
  int DefaultFontIndex();
  int FirstFontUnlessSymbol() const;
  void ApplyDefaultFontToOpenGroups();
  bool ColorAt(std::int32_t index, TRVRTFColor& color) const;
  TRVRTFTab& PendingTab();
  TRVRTFBorderSide* TargetBorderSide();
  void FinalizeParagraph();

  // RVRTFReaderTables.cpp: table nesting, rows and cells.
  int WantedTableLevel() const;
  bool RaiseTable(TRVRTFTableEventKind kind);
  void SyncTables(bool allowClose);
  TRVRTFRowProperties& MutableRow();
  TRVRTFCellProperties& LastCell();
  void EndCell();
  void EndRow();

  // RVRTFReaderPictures.cpp: picture and object groups.
  bool ApplyPictureProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg);
  void StartPicture();
  void ReadPictureHex(std::uint8_t first);
  void PutObjectHex(std::uint8_t byte);
  void DeliverPicture();
  void DeliverPendingFieldPicture();
  bool OfferPicture(const TRVRTFPicture* picture, std::unique_ptr<TGraphic>& graphic, const TRVUnicodeString& fileName);
  void DeliverObject();

  // RVRTFReaderFields.cpp: field instructions.
  void InterpretFieldInstruction();
  void IncludePicture(const TRVUnicodeString& instruction);
  std::unique_ptr<TGraphic> LoadIncludedPicture(const TRVUnicodeString& location, bool& invalid);
  void InsertSymbol(const TRVUnicodeString& instruction);
  void InsertSequence(const TRVUnicodeString& instruction);

  // RVRTFReaderLists.cpp: old-style markers and the list tables.
  bool ApplyListProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg);
  bool ApplyMarkerProperty(TRVRTFMarkerProperties& marker, TRVRTFAction action, std::int32_t value, std::int8_t arg);
  bool ApplyLevelProperty(TRVRTFListLevel97& level, TRVRTFAction action, std::int32_t value, std::int8_t arg);
  TRVRTFMarkerProperties* EditedMarker();
  TRVRTFMarkerProperties* SectionMarker(int level);
  TRVRTFListLevel97* CurrentLevel();
  void PutMarkerTextUnicode(char16_t unit);
  void EndLevelText();
  void EndLevelNumbers();
  void PrepareMarkerForUpdate();

  TRVRTFInput input_;
  std::vector<TRVRTFReaderState> stack_;
  TRVAnsiString pendingText_;
  TRVUnicodeString pendingUnicode_;
  std::optional<bool> runJoinsKinds_;  // the client's answer for the pending run
  TRVRTFPosition position_ = rtf_ts_NewPara;
  CodePageId codePage_ = 0;
  std::int32_t skipCount_ = 0;
  int openTableLevel_ = 0;
  // From "trowd" to "row": text belongs to the row even without "intbl".
  bool rowBeingDefined_ = false;
  bool skippedTooDeep_ = false;
  int openTableLevelBeforeFootnote_ = 0;
  TRVRTFPosition positionBeforeFootnote_ = rtf_ts_ContinuePara;
  int openTableLevelBeforeHeaderFooter_ = 0;
  TRVRTFPosition positionBeforeHeaderFooter_ = rtf_ts_ContinuePara;
  std::int64_t binaryRemaining_ = 0;
  int hexValue_ = 0;
  int hexPhase_ = 0;
  int pictureNibble_ = -1;  // a first hex digit of picture or object data waiting for its second
  bool ignorableDestination_ = false;
  std::unique_ptr<TRVRTFPicture> picture_;
  std::unique_ptr<TRVRTFObject> object_;
  std::unique_ptr<TRVRTFMarkerProperties> pnMarker_;
  int pnSectionLevel_ = 0;
  bool markerTextInSection_ = false;  // "pntxta"/"pntxtb" edit a section level, not the "pn" group
  bool shpPictInserted_ = false;
  bool objectInserted_ = false;
  // Fields that a group leaves as it found them inside: one value per parse.
  TRVUnicodeString bookmarkName_;
  bool pictureInsertedByField_ = false;
  std::unique_ptr<TGraphic> pendingFieldPicture_;
  std::int32_t defaultFontNumber_ = 0;
  int resolvedDefaultFontIndex_ = -1;
  bool progressStarted_ = false;
  std::int32_t pixelsPerInch_ = 0;
  std::uint64_t stopOffset_ = 0;
  int openGroupsAtEnd_ = 0;

  struct Collector {
    TRVUnicodeString* target = nullptr;
    CodePageId codePage = 0;
    std::string bytes;
  } collector_;

  // What InSymbolFont last said of a font (a name and charset).
  struct SymbolFontAnswer {
    TRVUnicodeString fontName;
    int charset = -1;
    bool symbol = false;
    TRVRTFDingbatFont dingbat = TRVRTFDingbatFont::kNone;
  };
  mutable SymbolFontAnswer lastSymbolAnswer_;
  // What the text's font from the table is; nullptr without one.
  const SymbolFontAnswer* SymbolFontOfText() const;

  TRVRTFControlWord word_;
  TRVRTFFontList fonts_;
  TRVRTFHeaderFooterPages headerFooterPages_ = rtf_hfp_All;
  TRVRTFColorList colors_;
  TRVRTFStyleSheet styleSheet_;
  TRVRTFListTable97 listTable_;
  TRVRTFListOverrideTable97 listOverrides_;
};

// Charset number to code page: 0 and 254 give 1252, 77 the Macintosh alias,
// 128 932, ..., 255 the OEM alias, any other the system alias.
CodePageId RTFCharsetToCodePage(int charset);
// The charset whose code page this is; otherwise when no charset has it.
int RTFCharsetOfCodePage(CodePageId codePage, int otherwise);
// The Windows charset whose text a font of this charset delivers: the DOS
// and Mac charsets give their Windows counterparts, all others themselves.
int RTFWindowsCharset(int charset);

// Every "%" followed by two hexadecimal digits becomes that character, except
// carriage return and line feed.
TRVUnicodeString RTFPercentDecode(const TRVUnicodeString& text);

}  // namespace varnolt
