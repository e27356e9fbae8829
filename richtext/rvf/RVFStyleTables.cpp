#include "richtext/rvf/RVFStyleTables.h"

#include <algorithm>
#include <array>

#include "richtext/rvf/RVFPropertyTable.h"

namespace varnolt {

namespace {

using Names = std::string_view;

// Real lists have nine levels; level texts are short.
constexpr int kMaxStoredListLevels = 255;
constexpr std::size_t kMaxLevelFormatLength = 1024;
// A Roman numeral of a start value near 2^31 would be two million letters long.
constexpr std::int32_t kMaxStoredCounter = 1000000;

constexpr std::array<Names, 4> kFontStyleNames = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
constexpr std::array<Names, 3> kFontStyleExNames = {"rvfsOverline", "rvfsAllCaps", "rvfsSmallCaps"};
constexpr std::array<Names, 1> kHoverEffectNames = {"rvheUnderline"};
constexpr std::array<Names, 3> kBiDiModeNames = {"rvbdUnspecified", "rvbdLeftToRight", "rvbdRightToLeft"};
constexpr std::array<Names, 3> kSubSuperScriptNames = {"rvsssNormal", "rvsssSubscript", "rvsssSuperScript"};
constexpr std::array<Names, 13> kProtectNames = {
    "rvprStyleProtect", "rvprStyleSplitProtect", "rvprModifyProtect", "rvprDeleteProtect",
    "rvprConcateProtect", "rvprRVFInsertProtect", "rvprDoNotAutoSwitch", "rvprParaStartProtect",
    "rvprSticking", "rvprSticking2", "rvprSticking3", "rvprStickToTop", "rvprStickToBottom"};
constexpr std::array<Names, 2> kTextOptionNames = {"rvteoHTMLCode", "rvteoRTFCode"};
constexpr std::array<Names, 13> kUnderlineTypeNames = {
    "rvutNormal", "rvutThick", "rvutDouble", "rvutDotted", "rvutThickDotted", "rvutDashed", "rvutThickDashed",
    "rvutLongDashed", "rvutThickLongDashed", "rvutDashDotted", "rvutThickDashDotted", "rvutDashDotDotted",
    "rvutThickDashDotDotted"};
constexpr std::array<Names, 31> kFontInfoPropertyNames = {
    "rvfiFontName", "rvfiSize", "rvfiCharset", "rvfiUnicode", "rvfiBold", "rvfiItalic", "rvfiUnderline",
    "rvfiStrikeout", "rvfiOverline", "rvfiAllCaps", "rvfiSubSuperScriptType", "rvfiVShift", "rvfiColor",
    "rvfiBackColor", "rvfiJump", "rvfiHoverBackColor", "rvfiHoverColor", "rvfiHoverUnderline", "rvfiJumpCursor",
    "rvfiNextStyleNo", "rvfiProtection", "rvfiCharScale", "rvfiBaseStyleNo", "rvfiBiDiMode", "rvfiCharSpacing",
    "rvfiHTMLCode", "rvfiRTFCode", "rvfiUnderlineType", "rvfiUnderlineColor", "rvfiHoverUnderlineColor",
    "rvfiCustom"};
constexpr std::array<Names, 4> kLineSpacingTypeNames = {"rvlsPercent", "rvlsSpaceBetween", "rvlsLineHeightAtLeast",
                                                        "rvlsLineHeightExact"};
constexpr std::array<Names, 4> kAlignmentNames = {"rvaLeft", "rvaRight", "rvaCenter", "rvaJustify"};
constexpr std::array<Names, 7> kParaOptionNames = {"rvpaoNoWrap",           "rvpaoReadOnly",
                                                   "rvpaoStyleProtect",     "rvpaoDoNotWantReturns",
                                                   "rvpaoKeepLinesTogether", "rvpaoKeepWithNext",
                                                   "rvpaoWidowOrphanControl"};
constexpr std::array<Names, 36> kParaInfoPropertyNames = {
    "rvpiFirstIndent", "rvpiLeftIndent", "rvpiRightIndent", "rvpiSpaceBefore", "rvpiSpaceAfter", "rvpiAlignment",
    "rvpiNextParaNo", "rvpiDefStyleNo", "rvpiLineSpacing", "rvpiLineSpacingType", "rvpiBackground_Color",
    "rvpiBackground_BO_Left", "rvpiBackground_BO_Top", "rvpiBackground_BO_Right", "rvpiBackground_BO_Bottom",
    "rvpiBorder_Color", "rvpiBorder_Style", "rvpiBorder_Width", "rvpiBorder_InternalWidth", "rvpiBorder_BO_Left",
    "rvpiBorder_BO_Top", "rvpiBorder_BO_Right", "rvpiBorder_BO_Bottom", "rvpiBorder_Vis_Left", "rvpiBorder_Vis_Top",
    "rvpiBorder_Vis_Right", "rvpiBorder_Vis_Bottom", "rvpiNoWrap", "rvpiReadOnly", "rvpiStyleProtect",
    "rvpiDoNotWantReturns", "rvpiKeepLinesTogether", "rvpiKeepWithNext", "rvpiTabs", "rvpiBiDiMode", "rvpiCustom"};
constexpr std::array<Names, 6> kBorderStyleNames = {"rvbNone",  "rvbSingle",      "rvbDouble",
                                                    "rvbTriple", "rvbThickInside", "rvbThickOutside"};
constexpr std::array<Names, 3> kTabAlignNames = {"rvtaLeft", "rvtaRight", "rvtaCenter"};
constexpr std::array<Names, 10> kListTypeNames = {
    "rvlstBullet",    "rvlstPicture",    "rvlstImageList",  "rvlstDecimal",          "rvlstLowerAlpha",
    "rvlstUpperAlpha", "rvlstLowerRoman", "rvlstUpperRoman", "rvlstImageListCounter", "rvlstUnicodeBullet"};
constexpr std::array<Names, 3> kMarkerAlignmentNames = {"rvmaLeft", "rvmaRight", "rvmaCenter"};
constexpr std::array<Names, 3> kListLevelOptionNames = {"rvloContinuous", "rvloLevelReset",
                                                        "rvloLegalStyleNumbering"};

// --- the properties every style entry has ---

template <typename T>
void AddInfoProperties(TRVFPropertyTable<T>& table) {
  AddRVFProperty<T>(table, "StyleName", TRVFStringCodec{}, [](const T& s) { return s.StyleName(); },
                    [](T& s, std::u16string v) { s.SetStyleName(std::move(v)); });
  AddRVFProperty<T>(table, "Standard", TRVFBoolCodec{}, [](const T& s) { return s.Standard(); },
                    [](T& s, bool v) { s.SetStandard(v); });
  AddRVFProperty<T>(table, "BaseStyleNo", TRVFIntCodec{}, [](const T& s) { return s.BaseStyleNo(); },
                    [](T& s, std::int32_t v) { s.SetBaseStyleNo(v); });
  AddRVFProperty<T>(table, "StyleTemplateId", TRVFIntCodec{}, [](const T& s) { return s.StyleTemplateId(); },
                    [](T& s, std::int32_t v) { s.SetStyleTemplateId(v); });
}

// --- text styles ---

const TRVFPropertyTable<TFontInfo>& TextStyleProperties() {
  static const TRVFPropertyTable<TFontInfo> table = [] {
    TRVFPropertyTable<TFontInfo> t;
    AddInfoProperties(t);
    RVF_PROPERTY(t, TFontInfo, FontName, TRVFStringCodec{});
    RVF_PROPERTY(t, TFontInfo, Size, TRVFIntCodec{});
    RVF_PROPERTY(t, TFontInfo, Charset, TRVFIntCodec{});
    RVF_PROPERTY(t, TFontInfo, Style, (TRVFSetCodec<TFontStyles, 4>{kFontStyleNames}));
    RVF_PROPERTY(t, TFontInfo, StyleEx, (TRVFSetCodec<TRVFontStylesEx, 3>{kFontStyleExNames}));
    RVF_PROPERTY(t, TFontInfo, VShift, TRVFIntCodec{});
    RVF_PROPERTY(t, TFontInfo, Color, TRVFColorCodec{});
    RVF_PROPERTY(t, TFontInfo, BackColor, TRVFColorCodec{});
    RVF_PROPERTY(t, TFontInfo, HoverColor, TRVFColorCodec{});
    RVF_PROPERTY(t, TFontInfo, HoverBackColor, TRVFColorCodec{});
    RVF_PROPERTY(t, TFontInfo, HoverEffects, (TRVFSetCodec<TRVHoverEffects, 1>{kHoverEffectNames}));
    RVF_PROPERTY(t, TFontInfo, Jump, TRVFBoolCodec{});
    RVF_PROPERTY(t, TFontInfo, JumpCursor, TRVFIntCodec{});
    RVF_PROPERTY(t, TFontInfo, CharScale, TRVFIntCodec{});
    RVF_PROPERTY(t, TFontInfo, CharSpacing, TRVFIntCodec{});
    RVF_PROPERTY(t, TFontInfo, BiDiMode, (TRVFEnumCodec<TRVBiDiMode, 3>{kBiDiModeNames}));
    RVF_PROPERTY(t, TFontInfo, SubSuperScriptType, (TRVFEnumCodec<TRVSubSuperScriptType, 3>{kSubSuperScriptNames}));
    RVF_PROPERTY(t, TFontInfo, Protection, (TRVFSetCodec<TRVProtectOptions, 13>{kProtectNames}));
    RVF_PROPERTY(t, TFontInfo, Options, (TRVFSetCodec<TRVTextOptions, 2>{kTextOptionNames}));
    RVF_PROPERTY(t, TFontInfo, UnderlineType, (TRVFEnumCodec<TRVUnderlineType, 13>{kUnderlineTypeNames}));
    RVF_PROPERTY(t, TFontInfo, UnderlineColor, TRVFColorCodec{});
    RVF_PROPERTY(t, TFontInfo, HoverUnderlineColor, TRVFColorCodec{});
    RVF_PROPERTY(t, TFontInfo, NextStyleNo, TRVFIntCodec{});
    RVF_PROPERTY(t, TFontInfo, Unicode, TRVFBoolCodec{});
    RVF_PROPERTY(t, TFontInfo, ModifiedProperties,
                 (TRVFSetCodec<TRVFontInfoProperties, 31>{kFontInfoPropertyNames}));
    return t;
  }();
  return table;
}

// --- paragraph styles ---

// The four sides of a rectangle reached through rect (for const and non-const entries).
template <typename Rect>
void AddRectProperties(TRVFPropertyTable<TParaInfo>& t, std::string_view prefix, Rect rect) {
  using Side = std::int32_t TRVRect::*;
  constexpr std::array<std::pair<std::string_view, Side>, 4> kSides = {
      {{"Left", &TRVRect::Left}, {"Top", &TRVRect::Top}, {"Right", &TRVRect::Right}, {"Bottom", &TRVRect::Bottom}}};
  for (const auto& entry : kSides) {
    Side side = entry.second;
    AddRVFProperty<TParaInfo>(
        t, std::string(prefix) + std::string(entry.first), TRVFIntCodec{},
        [rect, side](const TParaInfo& s) { return rect(s).*side; },
        [rect, side](TParaInfo& s, std::int32_t v) { rect(s).*side = v; });
  }
}

void AddTabs(TRVFPropertyTable<TParaInfo>& t);

const TRVFPropertyTable<TParaInfo>& ParaStyleProperties() {
  static const TRVFPropertyTable<TParaInfo> table = [] {
    TRVFPropertyTable<TParaInfo> t;
    AddInfoProperties(t);
    RVF_PROPERTY(t, TParaInfo, FirstIndent, TRVFIntCodec{});
    RVF_PROPERTY(t, TParaInfo, LeftIndent, TRVFIntCodec{});
    RVF_PROPERTY(t, TParaInfo, RightIndent, TRVFIntCodec{});
    RVF_PROPERTY(t, TParaInfo, SpaceBefore, TRVFIntCodec{});
    RVF_PROPERTY(t, TParaInfo, SpaceAfter, TRVFIntCodec{});
    RVF_PROPERTY(t, TParaInfo, LineSpacing, TRVFIntCodec{});
    RVF_PROPERTY(t, TParaInfo, LineSpacingType, (TRVFEnumCodec<TRVLineSpacingType, 4>{kLineSpacingTypeNames}));
    RVF_PROPERTY(t, TParaInfo, Alignment, (TRVFEnumCodec<TRVAlignment, 4>{kAlignmentNames}));
    RVF_PROPERTY(t, TParaInfo, Border.Style, (TRVFEnumCodec<TRVBorderStyle, 6>{kBorderStyleNames}));
    RVF_PROPERTY(t, TParaInfo, Border.Color, TRVFColorCodec{});
    RVF_PROPERTY(t, TParaInfo, Border.Width, TRVFIntCodec{});
    RVF_PROPERTY(t, TParaInfo, Border.InternalWidth, TRVFIntCodec{});
    AddRectProperties(t, "Border.BorderOffsets.", [](auto& s) -> auto& { return s.Border.BorderOffsets; });
    RVF_PROPERTY(t, TParaInfo, Border.VisibleBorders.Left, TRVFBoolCodec{});
    RVF_PROPERTY(t, TParaInfo, Border.VisibleBorders.Top, TRVFBoolCodec{});
    RVF_PROPERTY(t, TParaInfo, Border.VisibleBorders.Right, TRVFBoolCodec{});
    RVF_PROPERTY(t, TParaInfo, Border.VisibleBorders.Bottom, TRVFBoolCodec{});
    RVF_PROPERTY(t, TParaInfo, Background.Color, TRVFColorCodec{});
    AddRectProperties(t, "Background.BorderOffsets.", [](auto& s) -> auto& { return s.Background.BorderOffsets; });
    RVF_PROPERTY(t, TParaInfo, Options, (TRVFSetCodec<TRVParaOptions, 7>{kParaOptionNames}));
    RVF_PROPERTY(t, TParaInfo, BiDiMode, (TRVFEnumCodec<TRVBiDiMode, 3>{kBiDiModeNames}));
    AddTabs(t);
    RVF_PROPERTY(t, TParaInfo, NextParaNo, TRVFIntCodec{});
    RVF_PROPERTY(t, TParaInfo, DefStyleNo, TRVFIntCodec{});
    RVF_PROPERTY(t, TParaInfo, ModifiedProperties1,
                 (TRVFSetCodec<TRVParaInfoProperties1, 36>{kParaInfoPropertyNames}));
    // No member of the second mask has a name: its bits are kept as a number.
    AddRVFProperty<TParaInfo>(
        t, "ModifiedProperties2", TRVFIntCodec{},
        [](const TParaInfo& s) { return static_cast<std::int32_t>(s.ModifiedProperties2.ToBits()); },
        [](TParaInfo& s, std::int32_t v) {
          s.ModifiedProperties2 = TRVParaInfoProperties2::FromBits(static_cast<std::uint32_t>(v));
        });
    return t;
  }();
  return table;
}

const TRVFPropertyTable<TRVTabInfo>& TabProperties() {
  static const TRVFPropertyTable<TRVTabInfo> table = [] {
    TRVFPropertyTable<TRVTabInfo> t;
    RVF_PROPERTY(t, TRVTabInfo, Position, TRVFIntCodec{});
    RVF_PROPERTY(t, TRVTabInfo, Align, (TRVFEnumCodec<TRVTabAlign, 3>{kTabAlignNames}));
    RVF_PROPERTY(t, TRVTabInfo, Leader, TRVFStringCodec{});
    return t;
  }();
  return table;
}

// --- collections ---

// Reads the (name, value) pairs of one entry into value; unknown names are passed over.
template <typename T>
void ReadEntry(TRVFPropertyReader& in, const TRVFPropertyTable<T>& properties, T& value) {
  if (in.ReadByte() != rvvaList) throw EReadError("Invalid property value");
  while (!in.EndOfList()) {
    std::string name = in.ReadShortString();
    if (!properties.Read(name, value, in)) in.SkipValue();
  }
}

// Calls read for each entry of a collection value, at most limit of them.
template <typename ReadOne>
void ReadCollection(TRVFPropertyReader& in, int limit, ReadOne readOne) {
  if (in.ReadByte() != rvvaCollection) throw EReadError("Invalid property value");
  int count = 0;
  while (!in.EndOfList()) {
    if (++count > limit) throw EReadError("Too many entries");
    readOne();
  }
}

template <typename T>
const T& Entry(const T& entry) {
  return entry;
}
template <typename T>
const T& Entry(const std::unique_ptr<T>& entry) {
  return *entry;
}

template <typename T, typename Range>
void WriteCollection(TRVFPropertyWriter& out, const Range& entries, const TRVFPropertyTable<T>& properties) {
  static const T defaults;
  out.Code(rvvaCollection);
  for (const auto& entry : entries) {
    out.Code(rvvaList);
    properties.Write(Entry(entry), defaults, {}, out);
    out.Code(rvvaNull);
  }
  out.Code(rvvaNull);
}

void AddTabs(TRVFPropertyTable<TParaInfo>& t) {
  t.Add(
      "Tabs",
      [](const TParaInfo& value, const TParaInfo&, const std::string& name, TRVFPropertyWriter& out) {
        if (value.Tabs.Count() == 0) return;
        out.ShortString(name);
        WriteCollection(out, value.Tabs, TabProperties());
      },
      [](TParaInfo& value, TRVFPropertyReader& in) {
        value.Tabs.Clear();
        ReadCollection(in, kMaxStoredStyles, [&] {
          TRVTabInfo tab;
          ReadEntry(in, TabProperties(), tab);
          value.Tabs.Add(tab);
        });
      });
}

// --- list styles ---

const TRVFPropertyTable<TRVListLevel>& LevelProperties() {
  static const TRVFPropertyTable<TRVListLevel> table = [] {
    TRVFPropertyTable<TRVListLevel> t;
    RVF_PROPERTY(t, TRVListLevel, ListType, (TRVFEnumCodec<TRVListType, 10>{kListTypeNames}));
    RVF_PROPERTY(t, TRVListLevel, StartFrom, TRVFIntCodec{});
    RVF_PROPERTY(t, TRVListLevel, ImageIndex, TRVFIntCodec{});
    RVF_PROPERTY(t, TRVListLevel, FormatString, TRVFAnsiStringCodec{});
    RVF_PROPERTY(t, TRVListLevel, FormatStringW, TRVFStringCodec{});
    RVF_PROPERTY(t, TRVListLevel, LeftIndent, TRVFIntCodec{});
    RVF_PROPERTY(t, TRVListLevel, FirstIndent, TRVFIntCodec{});
    RVF_PROPERTY(t, TRVListLevel, MarkerIndent, TRVFIntCodec{});
    RVF_PROPERTY(t, TRVListLevel, MarkerAlignment, (TRVFEnumCodec<TRVMarkerAlignment, 3>{kMarkerAlignmentNames}));
    RVF_PROPERTY(t, TRVListLevel, Picture, TRVFBinaryCodec{});
    RVF_PROPERTY(t, TRVListLevel, Font.Name, TRVFStringCodec{});
    RVF_PROPERTY(t, TRVListLevel, Font.Size, TRVFIntCodec{});
    RVF_PROPERTY(t, TRVListLevel, Font.Color, TRVFColorCodec{});
    RVF_PROPERTY(t, TRVListLevel, Font.Style, (TRVFSetCodec<TFontStyles, 4>{kFontStyleNames}));
    RVF_PROPERTY(t, TRVListLevel, Font.Charset, TRVFIntCodec{});
    RVF_PROPERTY(t, TRVListLevel, Options, (TRVFSetCodec<TRVListLevelOptions, 3>{kListLevelOptionNames}));
    return t;
  }();
  return table;
}

const TRVFPropertyTable<TRVListInfo>& ListStyleProperties() {
  static const TRVFPropertyTable<TRVListInfo> table = [] {
    TRVFPropertyTable<TRVListInfo> t;
    AddInfoProperties(t);
    t.Add(
        "Levels",
        [](const TRVListInfo& value, const TRVListInfo&, const std::string& name, TRVFPropertyWriter& out) {
          if (value.Levels.Count() == 0) return;
          out.ShortString(name);
          WriteCollection(out, value.Levels, LevelProperties());
        },
        [](TRVListInfo& value, TRVFPropertyReader& in) {
          value.Levels.Clear();
          ReadCollection(in, kMaxStoredListLevels, [&] {
            TRVListLevel& level = value.Levels.Add();
            ReadEntry(in, LevelProperties(), level);
            // Every marker of the list keeps a text made from these.
            if (level.FormatString.size() > kMaxLevelFormatLength ||
                level.FormatStringW.size() > kMaxLevelFormatLength) {
              throw EReadError("Invalid property value");
            }
            level.StartFrom = std::clamp(level.StartFrom, -kMaxStoredCounter, kMaxStoredCounter);
          });
        });
    RVF_PROPERTY(t, TRVListInfo, OneLevelPreview, TRVFBoolCodec{});
    // Kept so that a list keeps its identity (and its RTF list id) through copies.
    t.Add(
        "ListID",
        [](const TRVListInfo& value, const TRVListInfo&, const std::string& name, TRVFPropertyWriter& out) {
          out.ShortString(name);
          out.Int(value.ListID());
        },
        [](TRVListInfo& value, TRVFPropertyReader& in) { value.SetListID(in.ReadInt()); });
    return t;
  }();
  return table;
}

template <typename Table, typename T>
void ReadTable(std::string_view bytes, Table& table, const TRVFPropertyTable<T>& properties) {
  TRVFPropertyReader in(bytes);
  table.Clear();
  ReadCollection(in, kMaxStoredStyles, [&] { ReadEntry(in, properties, table.Add()); });
}

template <typename Table, typename T>
std::string WriteTable(const Table& table, const TRVFPropertyTable<T>& properties) {
  TRVFPropertyWriter out;
  WriteCollection(out, table, properties);
  return out.Bytes();
}

}  // namespace

std::string WriteTextStyleTable(const TFontInfos& table) { return WriteTable(table, TextStyleProperties()); }
std::string WriteParaStyleTable(const TParaInfos& table) { return WriteTable(table, ParaStyleProperties()); }
std::string WriteListStyleTable(const TRVListInfos& table) { return WriteTable(table, ListStyleProperties()); }

void ReadTextStyleTable(std::string_view bytes, TFontInfos& table) { ReadTable(bytes, table, TextStyleProperties()); }
void ReadParaStyleTable(std::string_view bytes, TParaInfos& table) { ReadTable(bytes, table, ParaStyleProperties()); }
void ReadListStyleTable(std::string_view bytes, TRVListInfos& table) {
  ReadTable(bytes, table, ListStyleProperties());
}

}  // namespace varnolt
