#pragma once
// The records the RTF reader keeps per group and hands to its client: the
// character, paragraph, section, document and row properties, and the
// enumerations its events carry. Lengths are twips unless a field says
// otherwise; colours are 0x00BBGGRR values.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace varnolt {

using TRVAnsiString = std::string;
using TRVUnicodeString = std::u16string;
using TRVRTFColor = std::uint32_t;

// The automatic colour is stored as the system colour of window text.
inline constexpr TRVRTFColor kRVRTFAutoColor = 0xFF000008;
inline constexpr TRVRTFColor kRVRTFNoColor = 0x1FFFFFFF;

enum TRVRTFPosition : std::uint8_t { rtf_ts_ContinuePara, rtf_ts_NewLine, rtf_ts_NewPara };
enum TRVRTFHeaderFooterType : std::uint8_t { rtf_hf_MainText, rtf_hf_Header, rtf_hf_Footer };
// The pages a header or footer is for: "header" all, "headerr" right-hand,
// "headerl" left-hand, "headerf" the first (likewise the footers).
enum TRVRTFHeaderFooterPages : std::uint8_t { rtf_hfp_All, rtf_hfp_Right, rtf_hfp_Left, rtf_hfp_First };
enum TRVRTFNoteEventType : std::uint8_t { rtf_ne_Character, rtf_ne_Start, rtf_ne_EndNote, rtf_ne_End };
enum TRVRTFTableEventKind : std::uint8_t {
  rvf_tbl_TableStart,
  rvf_tbl_TableEnd,
  rvf_tbl_TableForcedEnd,
  rvf_tbl_RowEnd,
  rvf_tbl_CellEnd
};
enum TRVRTFSeqType : std::uint8_t {
  rtf_seqDecimal,
  rtf_seqLowerAlpha,
  rtf_seqUpperAlpha,
  rtf_seqLowerRoman,
  rtf_seqUpperRoman
};
enum TRVRTFProgressStage : std::uint8_t { rvprtfprStarting, rvprtfprRunning, rvprtfprEnding };
enum TRVRTFHighlightConvert : std::uint8_t { rtf_hl_Ignore, rtf_hl_FixedColors, rtf_hl_ColorTable };

// Font style bits, shared by character and marker properties.
inline constexpr std::uint8_t kRtfBold = 1;
inline constexpr std::uint8_t kRtfItalic = 2;
inline constexpr std::uint8_t kRtfUnderline = 4;
inline constexpr std::uint8_t kRtfStrikeOut = 8;
inline constexpr std::uint8_t kRtfAllCaps = 1;  // extra styles
inline constexpr std::uint8_t kRtfSmallCaps = 2;

// Border sides, in the order the keywords number them.
inline constexpr int kRtfSideLeft = 0;
inline constexpr int kRtfSideTop = 1;
inline constexpr int kRtfSideRight = 2;
inline constexpr int kRtfSideBottom = 3;

struct TRVRTFBorderSide {
  std::uint8_t kind = 0;  // 0 none
  std::int32_t width = 0;
  TRVRTFColor color = kRVRTFNoColor;
  std::int32_t spacing = 0;
};

// Each side exists only once a keyword touched it.
struct TRVRTFParaBorder {
  std::array<std::optional<TRVRTFBorderSide>, 4> sides;
  TRVRTFBorderSide& Side(int side);
  const TRVRTFBorderSide* FindSide(int side) const;
};

struct TRVRTFCharProperties {
  bool hidden = false;
  std::uint8_t bidiMode = 0;
  std::int32_t size = 12;
  TRVRTFColor color = kRVRTFAutoColor;
  TRVRTFColor backColor = kRVRTFNoColor;
  TRVRTFColor underlineColor = kRVRTFNoColor;
  std::int32_t fontIndex = 0;
  std::uint8_t fontStyle = 0;
  std::uint8_t styleEx = 0;
  std::int32_t charScaleX = 100;
  std::uint8_t subSuperScript = 0;  // 0 normal, 1 subscript, 2 superscript
  std::int32_t vShift = 0;          // half-points
  std::int32_t charSpacing = 0;
  std::int32_t language = 0;
  TRVUnicodeString fontNameOverride;
  std::uint8_t underlineType = 0;
  std::int32_t highlightIndex = -1;

  bool operator==(const TRVRTFCharProperties&) const = default;
};

struct TRVRTFCustomMarkerProperties {
  std::uint8_t listType = 0;  // 0 none, 1 decimal, 2 a, 3 A, 4 i, 5 I, 6 bullet
  std::int32_t fontIndex = -1;
  std::int32_t indent = 0;
  std::int32_t space = 0;
  std::int32_t start = 1;
  std::uint8_t fontStyle = 0;
  TRVRTFColor color = kRVRTFAutoColor;
  std::uint8_t alignment = 0;       // 0 left, 1 right, 2 centre
  std::uint8_t givenProperties = 0;  // kRtfMarkerGiven*
  std::int32_t fontSize = 12;
};
inline constexpr std::uint8_t kRtfMarkerGivenFont = 1;
inline constexpr std::uint8_t kRtfMarkerGivenSize = 2;
inline constexpr std::uint8_t kRtfMarkerGivenColor = 4;

struct TRVRTFMarkerProperties : TRVRTFCustomMarkerProperties {
  std::int32_t level = 0;  // 1-9, 10 body, 11 bullet
  bool hanging = false;
  TRVAnsiString textAfter;
  TRVAnsiString textBefore;
};

// The 11 "pnseclvl" levels of a section.
inline constexpr int kRtfMarkerLevelCount = 11;
using TRVRTFSectionMarkers = std::array<TRVRTFMarkerProperties, kRtfMarkerLevelCount>;

struct TRVRTFTab {
  std::int32_t position = 0;
  std::uint8_t alignment = 0;  // 0 left, 1 right, 2 centre, 3 decimal
  std::uint8_t leader = 0;     // 0 none, 1 dots, 2 middle dots, 3 hyphens, 4 line, 5 equal signs
  bool listTab = false;
};

inline constexpr std::int32_t kRtfNoListTab = -1000;

struct TRVRTFParaProperties {
  std::int32_t leftIndent = 0;
  std::int32_t rightIndent = 0;
  std::int32_t firstIndent = 0;
  std::int32_t listTabPosition = kRtfNoListTab;
  std::int32_t spaceBefore = 0;
  std::int32_t spaceAfter = 0;
  std::uint8_t alignment = 0;  // 0 left, 1 right, 2 centre, 3 justify
  std::uint8_t bidiMode = 0;
  std::optional<TRVRTFParaBorder> border;
  std::optional<TRVRTFMarkerProperties> marker;
  std::uint8_t currentBorderSide = 0;
  std::int32_t lineSpacing = 240;
  bool lineSpacingMultiple = true;
  TRVRTFColor backColor = kRVRTFNoColor;
  std::int32_t nestingLevel = 1;
  bool inTable = false;
  std::int32_t shading = 0;  // hundredths of a percent
  TRVRTFColor patternColor = 0;
  std::int32_t listOverrideIndex = -1;
  std::int32_t listLevel = 0;
  bool keepTogether = false;
  bool keepWithNext = false;
  bool keepTableOpen = false;
  // While not finalized the last tab is the one the tab keywords are filling.
  std::vector<TRVRTFTab> tabs;
  bool tabsFinalized = false;
};

struct TRVRTFSectionProperties {
  std::int32_t columnCount = 1;
  std::uint8_t breakKind = 4;  // 0 none, 1 column, 2 even, 3 odd, 4 page
  std::int32_t pageNumberX = 720;
  std::int32_t pageNumberY = 720;
  std::uint8_t pageNumberFormat = 0;
  std::int32_t headerY = 720;
  std::int32_t footerY = 720;
  // The section's own paper and margins; 0 (margins below 0): the document's.
  std::int32_t pageWidth = 0;
  std::int32_t pageHeight = 0;
  std::int32_t leftMargin = -1;
  std::int32_t rightMargin = -1;
  std::int32_t topMargin = -1;
  std::int32_t bottomMargin = -1;
  std::int32_t columnSpace = 720;
  bool landscape = false;
  bool titlePage = false;  // the first page has headers and footers of its own
  bool lineBetweenColumns = false;
  // Shared between group copies until one of them changes it.
  std::shared_ptr<TRVRTFSectionMarkers> defaultMarkers;
};

struct TRVRTFDocProperties {
  std::int32_t paperWidth = 12240;
  std::int32_t paperHeight = 15480;
  std::int32_t leftMargin = 1800;
  std::int32_t topMargin = 1440;
  std::int32_t rightMargin = 1800;
  std::int32_t bottomMargin = 1440;
  std::int32_t pageNumberStart = 1;
  bool facingPages = false;
  bool mirrorMargins = false;
  bool landscape = false;
  bool paperSizeGiven = false;  // "paperw" or "paperh" was read
  std::int32_t viewScale = 100;
  std::uint8_t viewZoomKind = 0;
};

struct TRVRTFCellProperties {
  std::uint8_t horizontalMerge = 0;  // 0 none, 1 first of a merge, 2 merged into the previous
  std::uint8_t verticalMerge = 0;
  bool widthIsPercent = false;
  std::int32_t preferredWidth = 0;
  TRVRTFColor backColor = kRVRTFNoColor;
  std::uint8_t verticalAlignment = 0;  // 0 top, 1 bottom, 2 centre
  TRVRTFParaBorder border;
  std::uint8_t currentBorderSide = 0;
  std::int32_t rightBoundary = 0;
  TRVRTFColor patternColor = 0;
  std::int32_t shading = 0;
  std::int32_t preferredHeight = 0;
};

struct TRVRTFRowProperties {
  bool widthIsPercent = false;
  bool headingRow = false;
  bool lastRow = false;
  std::int32_t gap = 0;
  std::int32_t left = 0;
  std::int32_t height = 0;
  std::int32_t preferredWidth = 0;
  TRVRTFParaBorder border;
  std::uint8_t currentBorderSide = 0;
  std::vector<TRVRTFCellProperties> cells{TRVRTFCellProperties{}};
  bool cellsAreNew = true;
  bool lastCellIsAssumed = true;
  std::uint8_t alignment = 0;  // 0 left, 1 right, 2 centre
  bool alignmentGiven = false;
  bool engineExtension = false;
  std::array<std::int32_t, 4> padding{};
  std::array<std::int32_t, 4> spacing{};
  std::array<bool, 4> usePadding{};
  std::array<bool, 4> useSpacing{};
};

// Border keywords act on one of these.
enum class TRVRTFBorderTarget : std::uint8_t { Character, Paragraph, Row, Cell, InnerRow };

}  // namespace varnolt
