#pragma once
// The control-word table: each row names a keyword, its kind, the action it
// takes and the default parameter. Adding a keyword is one row here and, at
// most, one case where its action is carried out.
#include <cstdint>
#include <span>
#include <string_view>

namespace varnolt {

enum class TRVRTFKeywordKind : std::uint8_t { Character, UnicodeCharacter, Destination, Property, Special };
enum class TRVRTFPropertyGroup : std::uint8_t { None, Character, Paragraph };

// Destination keywords; the reader maps each to what the group becomes.
enum class TRVRTFDestinationKeyword : std::uint8_t {
  FontTable, ColorTable, StyleSheet, Picture, ShpPict, NonShpPict, Object, ObjectData, Result, BookmarkStart,
  Field, FieldInstruction, FieldResult, NestTableProps, Header, HeaderRight, HeaderLeft, HeaderFirst, Footer,
  FooterRight, FooterLeft, FooterFirst, Footnote, Pn, PnTextAfter, PnTextBefore,
  ListTable, List, ListName, ListLevel, LevelText, LevelNumbers, ListOverrideTable, ListOverride, LfoLevel,
  Upr, Ud, PnSecLvl, Skipped
};

enum class TRVRTFSpecialKeyword : std::uint8_t { Binary, HexByte, Ignorable };

// What a property keyword does; "arg" in its row refines it (a side, a bit,
// a field).
enum class TRVRTFAction : std::uint8_t {
  None,
  // character
  FontStyle, Underline, UnderlineType, UnderlineColor, CharBidi, CharScale, CharSpacing, SubSuperScript,
  VerticalUp, VerticalDown, AllCaps, SmallCaps, FontSize, Color, CharBackColor, Highlight, Language, DefaultLanguage,
  Plain, Font, AssociatedFont, Hidden, FontFamily, FontCharset,
  // paragraph
  ParagraphDefaults, ParaValue, ParaAlign, ParaBidi, KeepTogether, KeepWithNext, InTable, NestingLevel,
  KeepTableOpen, ListOverrideNumber, ListLevelNumber, ParaBackColor, ParaPatternColor, Shading, TabPosition,
  TabAlign, TabLeader, ListTab, LineSpacing, LineSpacingMultiple,
  // borders
  ParaBorderSide, RowBorderSide, CellBorderSide, BorderTargetNone, BorderTargetInnerRow, BorderKind, BorderWidth,
  BorderColor, BorderSpacing,
  // section and document
  SectionDefaults, SectionValue, SectionBreak, PageNumberFormat, DocValue, DocFlag,
  SectionFlag, SectionEnd,
  // reader state
  AnsiCodePage, DefaultFont, UnicodeChar, UnicodeSkip, PageBreak, PageBreakBefore, FootnoteCharacter, Endnote,
  ColorComponent, StyleNumber, StyleBasedOn, StyleNext, StyleAdditive, StyleHidden,
  // tables
  RowDefaults, RowAlign, RowValue, RowHeader, LastRow, RowPadding, RowUsePadding, RowSpacing, RowUseSpacing,
  RowWidth, RowWidthType, CellHorizontalMerge, CellVerticalMerge, CellWidth, CellWidthType, CellBackColor,
  CellPatternColor, CellShading, CellVerticalAlign, CellRightBoundary, CellEnd, RowEnd, TableWidthExtension,
  CellWidthExtension, CellHeightExtension,
  // pictures and objects
  PictureValue, PictureKind, WindowsMetafile, PictureWrapsBitmap, ObjectKind, ObjectWidth, ObjectHeight,
  // old-style list markers
  PnLevel, PnHanging, PnListType, PnFontStyle, PnColor, PnFont, PnFontSize, PnIndent, PnSpace, PnStart, PnAlign,
  // list tables
  ListId, ListSimple, LevelStartAt, LevelNumberFormat, LevelJustify, LevelOld, LevelIndent, LevelSpace,
  LevelFollow, LevelLegal, LevelNoRestart, ListOverrideCount, ListOverrideStartAt,
};

struct TRVRTFsymbol {
  std::string_view keyword;
  TRVRTFKeywordKind kind;
  TRVRTFAction action = TRVRTFAction::None;
  std::int32_t defaultValue = 0;
  bool useDefault = false;
  TRVRTFPropertyGroup group = TRVRTFPropertyGroup::None;
  std::int8_t arg = 0;            // side, bit, field, destination or special, by action
  char16_t unicode = 0;           // Unicode-character keywords
};

// nullptr for a keyword that is not in the table; case-sensitive.
const TRVRTFsymbol* FindRTFKeyword(std::string_view keyword);
// Every row of the table, in its order.
std::span<const TRVRTFsymbol> RTFKeywordTable();

}  // namespace varnolt
