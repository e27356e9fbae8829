#pragma once
// One RTF import at work: the reader's events become items of the target
// documents (the main one, a cell of the row being read, a note's text, a
// header or footer), and the reader's formatting becomes styles of the
// shared sheet. Only TRVRTFReaderProperties drives it.
#include <array>
#include <cstdint>
#include <istream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "richtext/document/CRVData.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/document/RVPageSetup.h"
#include "richtext/rtf/import/RVRTFProps.h"
#include "richtext/rtf/reader/RVRTFReader.h"

namespace varnolt {

// An import adds at most this many text, paragraph and list styles; past it
// a run takes the nearest style it can find without adding one, so that
// hostile input cannot grow the shared sheet without end.
inline constexpr int kMaxRTFImportNewStyles = 4096;
// Choices are remembered per formatting; past this many formattings the
// memory starts afresh.
inline constexpr std::size_t kMaxRTFRememberedChoices = 65536;

// Appends the bytes of a value to a key under which a choice is remembered.
template <typename T>
void AppendKeyBytes(std::string& key, const T& value) {
  static_assert(std::is_trivially_copyable_v<T>);
  key.append(reinterpret_cast<const char*>(&value), sizeof(T));
}
inline void AppendKeyText(std::string& key, std::u16string_view text) {
  AppendKeyBytes(key, text.size());
  key.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
}

// Text whose font the document does not give (no font table, or a number
// the table lacks) is in the serif face word processors show it in.
inline constexpr std::u16string_view kRTFDefaultFontName = u"Times New Roman";

// The text formatting of a run, in the units and encodings of the style sheet.
struct TRVRTFTextAttributes {
  std::u16string FontName;
  std::int32_t Size = 10;
  TColor Color = kRVColorWindowText;
  TColor BackColor = kRVColorNone;
  TColor UnderlineColor = kRVColorNone;
  TFontStyles Style;
  bool AllCaps = false;
  bool SmallCaps = false;
  TRVBiDiMode BiDiMode = rvbdUnspecified;
  std::uint8_t Charset = kRVDefaultCharset;
  std::int32_t CharScale = 100;
  std::int32_t CharSpacing = 0;  // pixels
  TRVSubSuperScriptType SubSuperScriptType = rvsssNormal;
  std::int32_t VShift = 0;  // percent of the size
  TRVUnderlineType UnderlineType = rvutNormal;
  // What the style is wanted for.
  bool Unicode = true;
  bool Jump = false;
  bool AnyJump = false;  // outside links with UseHypertextStyles: either kind
  bool NoteReference = false;

  // Every field, for remembering choices.
  std::string Key() const;
};

// Chooses (and with rvrsAddIfNeeded adds) text styles for one import.
class TRVRTFTextStyleChooser {
 public:
  TRVRTFTextStyleChooser(TRVStyle& style, const TRVRTFReaderProperties& props, const TRVDataEvents* events)
      : style_(style), props_(props), events_(events) {}
  std::int32_t Choose(const TRVRTFTextAttributes& wanted);

 private:
  bool IsCandidate(const TFontInfo& info, const TRVRTFTextAttributes& wanted) const;
  std::int32_t Closest(const TRVRTFTextAttributes& wanted) const;
  std::int32_t FindOrAdd(const TRVRTFTextAttributes& wanted);
  std::int32_t FindEqual(const TRVRTFTextAttributes& wanted);
  void IndexStyles(int from);

  TRVStyle& style_;
  const TRVRTFReaderProperties& props_;
  const TRVDataEvents* events_;
  std::unordered_map<std::string, std::int32_t> chosen_;
  // Styles by every compared property but the font name, for rvrsAddIfNeeded.
  std::unordered_map<std::string, std::vector<std::int32_t>> index_;
  int indexed_ = 0;
  int added_ = 0;
  std::map<std::pair<bool, bool>, std::int32_t> lastChosen_;
  int knownStyles_ = -1;
};

// The paragraph formatting of the current paragraph, converted to pixels,
// with what the scoring needs of the RTF values.
struct TRVRTFParaAttributes {
  TParaInfo Info;  // the style as it would be added
  std::int32_t LeftIndent = 0;   // before borders raised them
  std::int32_t RightIndent = 0;
  std::int32_t SpaceBefore = 0;
  std::int32_t SpaceAfter = 0;
  bool HasBorder = false;
  std::int32_t RTFLineSpacing = 240;
  bool RTFLineSpacingMultiple = true;
  // Each side converted on its own (kind 0 when the side has none).
  struct Side {
    bool Present = false;
    TRVBorderStyle Style = rvbNone;
    std::int32_t Width = 0;
    std::int32_t InternalWidth = 0;
    TColor Color = kRVColorWindowText;
  };
  Side Sides[4];  // left, top, right, bottom

  std::string Key() const;
};

class TRVRTFParaStyleChooser {
 public:
  TRVRTFParaStyleChooser(TRVStyle& style, const TRVRTFReaderProperties& props, const TRVDataEvents* events, int ppi)
      : style_(style), props_(props), events_(events), ppi_(ppi) {}
  std::int32_t Choose(const TRVRTFParaAttributes& wanted);
  // Paragraph style 0 with an alignment, found or added (tables).
  std::int32_t WithAlignment(TRVAlignment alignment);

 private:
  std::int32_t Closest(const TRVRTFParaAttributes& wanted) const;
  std::int32_t FindOrAdd(const TParaInfo& wanted);
  void IndexStyles(int from);

  TRVStyle& style_;
  const TRVRTFReaderProperties& props_;
  const TRVDataEvents* events_;
  int ppi_;
  std::unordered_map<std::string, std::int32_t> chosen_;
  std::unordered_map<std::string, std::int32_t> index_;
  int indexed_ = 0;
  int added_ = 0;
  int knownStyles_ = -1;
};

// The RTF paragraph properties converted with pixels per inch ppi.
TRVRTFParaAttributes ConvertParaProperties(const TRVRTFParaProperties& rtf, int ppi);

// What the field around a run says about links.
struct TRVRTFLinkInfo {
  bool InLink = false;
  std::u16string Target;
  std::u16string Hint;
  std::u16string Extras;  // the instruction after the target
};

// Parses a field instruction; InLink false unless it is a HYPERLINK.
TRVRTFLinkInfo ParseHyperlinkInstruction(const std::u16string& instruction, const std::u16string& basePath,
                                         bool basePathLinks);

class TRVRTFTableBuilder;

// One open table or note: where the import returns when it ends.
struct TRVRTFSubData {
  TCustomRVData* SavedTarget = nullptr;
  int SavedRow = 0;
  int SavedColumn = 0;
  std::unique_ptr<TRVRTFTableBuilder> Table;
  TRVNoteItemInfo* Note = nullptr;

  TRVRTFSubData();
  TRVRTFSubData(TRVRTFSubData&&) noexcept;
  TRVRTFSubData& operator=(TRVRTFSubData&&) noexcept;
  ~TRVRTFSubData();
};

class TRVRTFImporter {
 public:
  // main receives the items; paraBefore is the paragraph style of the item
  // before the insertion point (0 when there is none). With pageSetup the
  // paper, margins, header and footer of the RTF go there.
  TRVRTFImporter(TRVRTFReaderProperties& props, TCustomRVData& main, std::int32_t paraBefore, bool loading,
                 TRVPageSetup* pageSetup = nullptr);
  ~TRVRTFImporter();
  TRVRTFImporter(const TRVRTFImporter&) = delete;
  TRVRTFImporter& operator=(const TRVRTFImporter&) = delete;

  std::uint8_t Run(std::istream& stream);
  // Where the reader stopped in the stream of the last Run.
  std::uint64_t StopOffset() const { return stopOffset_; }
  int OpenGroupsAtEnd() const { return openGroupsAtEnd_; }

  // --- used by the parts of the import ---

  TRVStyle& Style() { return style_; }
  const TRVRTFReaderProperties& Props() const { return props_; }
  TRVRTFReader& Reader() { return *reader_; }
  TCustomRVData* Target() const { return target_; }
  int PixelsPerInch() const { return ppi_; }
  std::int32_t ToPixels(std::int32_t twips) const;
  std::int32_t ToPixels(double twips) const;

 private:
  // RVRTFProps.cpp: wiring.
  void Wire(TRVRTFReader& reader);

  // RVRTFImport.cpp: runs, items, breaks and bookmarks.
  void NewText(const TRVAnsiString& text, TRVRTFPosition position);
  void NewUnicodeText(const TRVUnicodeString& text, TRVRTFPosition position);
  bool DropHidden(TRVRTFPosition position);
  TRVRTFPosition TakePosition(TRVRTFPosition position);
  void InsertTextRun(std::string stored, bool unicode, std::int32_t styleNo, TRVRTFPosition position);
  // RVRTFImportPageSetup.cpp: the result of a PAGE, NUMPAGES or SECTIONPAGES
  // field becomes a page field; false for any other run.
  bool InsertPageField(const std::string& stored, bool unicode, std::int32_t styleNo, TRVRTFPosition position);
  CodePageId FontCodePage() const;
  // The paragraph style an item at this position gets.
  std::int32_t ParaStyleFor(TRVRTFPosition position);
  std::int32_t ChooseParaStyle();
  std::int32_t LastParaNo(const TCustomRVData& data) const;
  // Inserts into the current target; returns the item's index there. An
  // item that starts a paragraph takes paraNo when given.
  int InsertItem(std::unique_ptr<TCustomRVItemInfo> item, std::string text, TRVRTFPosition position,
                 std::optional<std::int32_t> paraNo = std::nullopt);
  void SetTarget(TCustomRVData* target);
  void RequirePageBreak();
  void BookmarkStart(const TRVUnicodeString& name);
  void EndParsing();

  // RVRTFImportTextStyles.cpp: the formatting of the current run.
  std::uint8_t CharsetOfTextInNoFont() const;
  TRVRTFTextAttributes CurrentTextAttributes(bool unicode, bool noteReference);
  std::int32_t ChooseTextStyle(bool unicode, bool noteReference);
  // Whether a run of 8-bit text would be stored as the same UTF-16 text in
  // the same style as a UTF-16 run, so that the reader may join them.
  bool StoresTextKindsAlike();
  // By a key of the reader's formatting fields, remembered across runs.
  std::int32_t ChooseTextStyleByKey(bool unicode, bool noteReference);

  // RVRTFImportHyperlinks.cpp.
  const TRVRTFLinkInfo& CurrentLink();
  // Tag, kind and name of a link item from the host; styleNo may change.
  void ReadHyperlink(TCustomRVItemInfo& item, std::int32_t& styleNo);

  // RVRTFImportPictures.cpp.
  void NewPicture(const TRVRTFPicture* picture, std::unique_ptr<TGraphic>& graphic, TRVRTFPosition position,
                  const TRVUnicodeString& fileName, bool& inserted);
  void ImportPicture(const TRVUnicodeString& location, std::unique_ptr<TGraphic>& graphic, bool& invalid);

  // RVRTFImportNotes.cpp: notes and sequences.
  void Note(TRVRTFNoteEventType what, TRVRTFPosition position);
  void NoteStart(TRVRTFPosition position);
  void NoteToEndnote();
  void NoteEnd();
  void NewSeq(TRVRTFPosition position, const TRVUnicodeString& name, TRVRTFSeqType type, bool reset,
              std::int32_t startFrom);

  // RVRTFImportPageSetup.cpp: paper, margins, header and footer.
  void HeaderFooter(TRVRTFHeaderFooterType type, bool starting, bool& supported);
  void SectionEnd();
  void CloseSection();
  void TakePaper();

  // RVRTFImportLists.cpp: list markers and list styles.
  bool MarkersApply() const { return props_.ParaStyleMode == rvrsAddIfNeeded; }
  void InsertMarkerIfListed(std::int32_t paraNo, TRVRTFPosition& position);
  std::int32_t ListStyleOfOverride(int overrideIndex);
  std::int32_t ListStyleOfList(int listIndex);
  std::int32_t ListStyleOfPn(const TRVRTFMarkerProperties& marker);
  std::int32_t TakeListStyle(const TRVListInfo& wanted, bool& added);
  void UpdateMarker();

  // RVRTFImportTables.cpp.
  void Table(TRVRTFTableEventKind kind, bool& processed);
  void TableStart();
  void TableCellEnd();
  void TableRowEnd();
  bool TableEnd(bool forced);
  TRVRTFTableBuilder* CurrentTable();
  // Ends the table before the row being read, which opens a new one.
  TRVRTFTableBuilder* SplitTable();
  void NoteItemInCell();

  friend class TRVRTFTableBuilder;

  TRVRTFReaderProperties& props_;
  TCustomRVData& main_;
  TRVStyle& style_;
  bool loading_;
  int ppi_;
  TRVRTFReader* reader_ = nullptr;
  std::uint64_t stopOffset_ = 0;
  int openGroupsAtEnd_ = 0;
  TRVRTFTextStyleChooser textStyles_;
  TRVRTFParaStyleChooser paraStyles_;

  TCustomRVData* target_;
  std::int32_t paraBefore_;
  TRVPageSetup* pageSetup_;
  // The section being read, and the pages its headers and footers read so
  // far are for, by the kind of pages they serve: a header for every page
  // wins over one for right pages.
  TRVSection section_;
  // The instruction of the field whose result the last page field holds.
  const std::u16string* pageFieldInstruction_ = nullptr;
  std::array<std::optional<TRVRTFHeaderFooterPages>, kRVHeaderFooterPagesCount> headerPages_;
  std::array<std::optional<TRVRTFHeaderFooterPages>, kRVHeaderFooterPagesCount> footerPages_;
  int row_ = 0;
  int column_ = 0;
  std::vector<TRVRTFSubData> subData_;
  // A hidden run dropped with a break passes the break on.
  TRVRTFPosition droppedBreak_ = rtf_ts_ContinuePara;
  std::optional<std::u16string> pendingBookmark_;
  TCustomRVData* pageBreakTarget_ = nullptr;
  // The last list marker and note reference, in the target they went into.
  TRVMarkerItemInfo* lastMarker_ = nullptr;
  TCustomRVData* lastNoteReferenceTarget_ = nullptr;
  int lastNoteReferenceIndex_ = -1;

  // Links: the instruction last parsed and what it said.
  std::u16string linkInstruction_;
  TRVRTFLinkInfo link_;

  // Choices by the reader's own formatting fields, so that most runs and
  // paragraphs skip the conversions; made with this many styles in the sheet.
  std::string rawKey_;
  std::unordered_map<std::string, std::int32_t> rawTextChoices_;
  std::unordered_map<std::string, std::int32_t> rawParaChoices_;
  int rawTextStyles_ = -1;
  // The latest text choices with everything their keys hold: documents
  // switch among a few formattings run after run, and comparing these is
  // cheaper than building a key. Each is a choice the map above holds too.
  struct TRVRecentTextChoice {
    TRVRTFCharProperties chars;
    std::u16string fontName;
    int fontCharset = -1;
    bool unicode = false;
    bool noteReference = false;
    bool inLink = false;
    int fonts = -1;
    std::int32_t chosen = -1;
  };
  static constexpr std::size_t kRecentTextChoices = 8;
  std::vector<TRVRecentTextChoice> recentTextChoices_;
  std::size_t nextRecentTextChoice_ = 0;
  const TRVRecentTextChoice* FindRecentTextChoice(bool unicode, bool noteReference, bool inLink) const;
  void RememberRecentTextChoice(bool unicode, bool noteReference, bool inLink, std::int32_t chosen);
  int rawParaStyles_ = -1;

  // Lists: Word 97 lists and "pn" markers mapped to list styles.
  std::map<int, std::int32_t> listStyleOfList_;
  std::map<std::string, std::int32_t> listStyleOfPn_;
  std::set<std::int32_t> listStylesAdded_;
  std::set<std::int32_t> listStylesTaken_;
  std::set<std::pair<std::int32_t, std::int32_t>> levelsUpdated_;
  // Which marker font properties a level of an added list gave itself.
  std::map<std::pair<std::int32_t, std::int32_t>, std::uint8_t> levelGiven_;
  int listStylesAddedCount_ = 0;
};

}  // namespace varnolt
