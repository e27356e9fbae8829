#include "richtext/rtf/reader/RVRTFKeywords.h"

#include <array>
#include <cstdint>

namespace varnolt {

namespace {

using A = TRVRTFAction;
using D = TRVRTFDestinationKeyword;
using G = TRVRTFPropertyGroup;
using K = TRVRTFKeywordKind;

constexpr TRVRTFsymbol Chr(std::string_view name, int byte) { return {name, K::Character, A::None, byte, true}; }
constexpr TRVRTFsymbol Uni(std::string_view name, char16_t unicode, int fallback) {
  return {name, K::UnicodeCharacter, A::None, fallback, true, G::None, 0, unicode};
}
constexpr TRVRTFsymbol Dst(std::string_view name, D destination) {
  return {name, K::Destination, A::None, 0, false, G::None, static_cast<std::int8_t>(destination)};
}
constexpr TRVRTFsymbol Spc(std::string_view name, TRVRTFSpecialKeyword special) {
  return {name, K::Special, A::None, 0, false, G::None, static_cast<std::int8_t>(special)};
}
// The parameter when given, else the default.
constexpr TRVRTFsymbol Val(std::string_view name, A action, G group = G::None, int byDefault = 0, int arg = 0) {
  return {name, K::Property, action, byDefault, false, group, static_cast<std::int8_t>(arg)};
}
// Always the table's value, whatever parameter the text carries.
constexpr TRVRTFsymbol Fix(std::string_view name, A action, G group, int value, int arg = 0) {
  return {name, K::Property, action, value, true, group, static_cast<std::int8_t>(arg)};
}

constexpr G C = G::Character;
constexpr G P = G::Paragraph;
constexpr G N = G::None;

constexpr TRVRTFsymbol kKeywords[] = {
    // Characters and symbols.
    Chr("par", 10), Chr("\r", 10), Chr("\n", 10), Chr("line", 13), Chr("tab", 9),
    Chr("~", 160), Chr("bullet", 149), Chr("{", '{'), Chr("}", '}'), Chr("\\", '\\'),
    // No layout reaches the reader: the page number is that of the first page.
    Chr("chpgn", '1'),
    Uni("ldblquote", u'\u201C', 147), Uni("rdblquote", u'\u201D', 148), Uni("lquote", u'\u2018', 145),
    Uni("rquote", u'\u2019', 146), Uni("endash", u'\u2013', 150), Uni("emdash", u'\u2014', 151),
    Uni("emspace", u'\u2003', ' '), Uni("enspace", u'\u2002', ' '), Uni("qmspace", u'\u2005', ' '),
    Uni("-", u'\u00AD', 173), Uni("_", u'\u2011', '-'),
    // Specials.
    Spc("bin", TRVRTFSpecialKeyword::Binary), Spc("'", TRVRTFSpecialKeyword::HexByte),
    Spc("*", TRVRTFSpecialKeyword::Ignorable),
    // Destinations.
    Dst("fonttbl", D::FontTable), Dst("colortbl", D::ColorTable), Dst("stylesheet", D::StyleSheet),
    Dst("pict", D::Picture), Dst("shppict", D::ShpPict), Dst("nonshppict", D::NonShpPict), Dst("object", D::Object),
    Dst("objdata", D::ObjectData), Dst("result", D::Result), Dst("bkmkstart", D::BookmarkStart),
    Dst("field", D::Field), Dst("fldinst", D::FieldInstruction), Dst("fldrslt", D::FieldResult),
    Dst("nesttableprops", D::NestTableProps), Dst("header", D::Header), Dst("headerr", D::HeaderRight),
    Dst("headerl", D::HeaderLeft), Dst("headerf", D::HeaderFirst), Dst("footer", D::Footer),
    Dst("footerr", D::FooterRight), Dst("footerl", D::FooterLeft), Dst("footerf", D::FooterFirst),
    Dst("footnote", D::Footnote), Dst("pn", D::Pn), Dst("pntxta", D::PnTextAfter), Dst("pntxtb", D::PnTextBefore),
    Dst("listtable", D::ListTable), Dst("list", D::List), Dst("listname", D::ListName),
    Dst("listlevel", D::ListLevel), Dst("leveltext", D::LevelText), Dst("levelnumbers", D::LevelNumbers),
    Dst("listoverridetable", D::ListOverrideTable), Dst("listoverride", D::ListOverride),
    Dst("lfolevel", D::LfoLevel), Dst("upr", D::Upr), Dst("ud", D::Ud), Dst("pnseclvl", D::PnSecLvl),
    Dst("nonesttables", D::Skipped), Dst("author", D::Skipped), Dst("buptim", D::Skipped),
    Dst("comment", D::Skipped), Dst("creatim", D::Skipped), Dst("doccomm", D::Skipped),
    Dst("ftncn", D::Skipped), Dst("ftnsep", D::Skipped), Dst("ftnsepc", D::Skipped), Dst("info", D::Skipped),
    Dst("keywords", D::Skipped), Dst("operator", D::Skipped),
    Dst("printim", D::Skipped), Dst("private1", D::Skipped), Dst("revtim", D::Skipped), Dst("rxe", D::Skipped),
    Dst("subject", D::Skipped), Dst("tc", D::Skipped), Dst("title", D::Skipped), Dst("txe", D::Skipped),
    Dst("xe", D::Skipped), Dst("pntext", D::Skipped), Dst("listtext", D::Skipped),
    // Character formatting.
    Val("b", A::FontStyle, C, 1, 1), Val("i", A::FontStyle, C, 1, 2), Val("strike", A::FontStyle, C, 1, 8),
    Val("ul", A::Underline, C, 1), Fix("ulnone", A::Underline, C, 0),
    Val("ulth", A::UnderlineType, C, 1), Val("uldb", A::UnderlineType, C, 2), Val("uld", A::UnderlineType, C, 3),
    Val("ulthd", A::UnderlineType, C, 4), Val("uldash", A::UnderlineType, C, 5),
    Val("ulthdash", A::UnderlineType, C, 6), Val("ulldash", A::UnderlineType, C, 7),
    Val("ulthldash", A::UnderlineType, C, 8), Val("uldashd", A::UnderlineType, C, 9),
    Val("ulthdashd", A::UnderlineType, C, 10), Val("uldashdd", A::UnderlineType, C, 11),
    Val("ulthdashdd", A::UnderlineType, C, 12), Val("ulc", A::UnderlineColor, C),
    Fix("ltrch", A::CharBidi, C, 1), Fix("rtlch", A::CharBidi, C, 2), Val("charscalex", A::CharScale, C, 100),
    Val("expndtw", A::CharSpacing, C), Val("expnd", A::CharSpacing, C, 0, 1),
    Fix("nosupersub", A::SubSuperScript, C, 0), Fix("sub", A::SubSuperScript, C, 1),
    Fix("super", A::SubSuperScript, C, 2), Val("up", A::VerticalUp, C, 6), Val("dn", A::VerticalDown, C, 6),
    Val("caps", A::AllCaps, C, 1), Val("scaps", A::SmallCaps, C, 1), Val("fs", A::FontSize, C, 24),
    Val("cf", A::Color, C), Val("chcbpat", A::CharBackColor, C), Val("highlight", A::Highlight, C),
    Val("lang", A::Language, C), Val("deflang", A::DefaultLanguage, N), Val("plain", A::Plain, C),
    Val("f", A::Font, C), Val("af", A::AssociatedFont, N), Val("v", A::Hidden, C, 1),
    Fix("fnil", A::FontFamily, N, 0), Fix("froman", A::FontFamily, N, 1), Fix("fswiss", A::FontFamily, N, 2),
    Fix("fmodern", A::FontFamily, N, 3), Fix("fscript", A::FontFamily, N, 4), Fix("fdecor", A::FontFamily, N, 5),
    Fix("ftech", A::FontFamily, N, 6), Fix("fbidi", A::FontFamily, N, 7), Val("fcharset", A::FontCharset, N),
    // Paragraph formatting.
    Val("pard", A::ParagraphDefaults, P), Val("li", A::ParaValue, P, 0, 0), Val("ri", A::ParaValue, P, 0, 1),
    Val("lin", A::ParaValue, P, 0, 0), Val("rin", A::ParaValue, P, 0, 1),
    Val("fi", A::ParaValue, P, 0, 2), Val("sb", A::ParaValue, P, 0, 3), Val("sa", A::ParaValue, P, 0, 4),
    Val("sl", A::LineSpacing, P, 240), Val("slmult", A::LineSpacingMultiple, P, 1),
    Fix("ql", A::ParaAlign, P, 0), Fix("qr", A::ParaAlign, P, 1), Fix("qc", A::ParaAlign, P, 2),
    Fix("qj", A::ParaAlign, P, 3), Fix("ltrpar", A::ParaBidi, P, 1), Fix("rtlpar", A::ParaBidi, P, 2),
    Fix("keep", A::KeepTogether, P, 1), Fix("keepn", A::KeepWithNext, P, 1), Fix("intbl", A::InTable, P, 1),
    Val("itap", A::NestingLevel, P, 1), Val("absnoovrlp", A::KeepTableOpen, P, 1),
    Val("ls", A::ListOverrideNumber, P, 1), Val("ilvl", A::ListLevelNumber, P, 1),
    Val("cbpat", A::ParaBackColor, P), Val("cfpat", A::ParaPatternColor, P), Val("shading", A::Shading, P),
    Val("tx", A::TabPosition, P), Fix("tqr", A::TabAlign, P, 1), Fix("tqc", A::TabAlign, P, 2),
    Fix("tqdec", A::TabAlign, P, 3), Fix("tldot", A::TabLeader, P, 1), Fix("tlmdot", A::TabLeader, P, 2),
    Fix("tlhyph", A::TabLeader, P, 3), Fix("tlul", A::TabLeader, P, 4), Fix("tlth", A::TabLeader, P, 4),
    Fix("tleq", A::TabLeader, P, 5), Fix("jclisttab", A::ListTab, P, 1),
    // Borders.
    Fix("brdrl", A::ParaBorderSide, P, 0), Fix("brdrt", A::ParaBorderSide, P, 1),
    Fix("brdrr", A::ParaBorderSide, P, 2), Fix("brdrb", A::ParaBorderSide, P, 3),
    Fix("trbrdrl", A::RowBorderSide, N, 0), Fix("trbrdrt", A::RowBorderSide, N, 1),
    Fix("trbrdrr", A::RowBorderSide, N, 2), Fix("trbrdrb", A::RowBorderSide, N, 3),
    Fix("clbrdrl", A::CellBorderSide, N, 0), Fix("clbrdrt", A::CellBorderSide, N, 1),
    Fix("clbrdrr", A::CellBorderSide, N, 2), Fix("clbrdrb", A::CellBorderSide, N, 3),
    Fix("chbrdr", A::BorderTargetNone, N, 0), Fix("trbrdrh", A::BorderTargetInnerRow, N, 0),
    Fix("trbrdrv", A::BorderTargetInnerRow, N, 0),
    Fix("brdrnone", A::BorderKind, N, 0), Fix("brdrs", A::BorderKind, N, 1), Fix("brdrth", A::BorderKind, N, 2),
    Fix("brdrsh", A::BorderKind, N, 3), Fix("brdrdb", A::BorderKind, N, 4), Fix("brdrdot", A::BorderKind, N, 5),
    Fix("brdrdash", A::BorderKind, N, 6), Fix("brdrhair", A::BorderKind, N, 7),
    Fix("brdrdashsm", A::BorderKind, N, 8), Fix("brdrdashd", A::BorderKind, N, 9),
    Fix("brdrdashdd", A::BorderKind, N, 10), Fix("brdrtriple", A::BorderKind, N, 11),
    Fix("brdrtnthsg", A::BorderKind, N, 12), Fix("brdrthtnsg", A::BorderKind, N, 13),
    Fix("brdrtnthtnsg", A::BorderKind, N, 14), Fix("brdrtnthmg", A::BorderKind, N, 15),
    Fix("brdrthtnmg", A::BorderKind, N, 16), Fix("brdrtnthtnmg", A::BorderKind, N, 17),
    Fix("brdrtnthlg", A::BorderKind, N, 18), Fix("brdrthtnlg", A::BorderKind, N, 19),
    Fix("brdrtnthtnlg", A::BorderKind, N, 20), Fix("brdrwavy", A::BorderKind, N, 21),
    Fix("brdrwavydb", A::BorderKind, N, 22), Fix("brdrdashdotstr", A::BorderKind, N, 23),
    Fix("brdremboss", A::BorderKind, N, 24), Fix("brdrengrave", A::BorderKind, N, 24),
    Fix("brdrinset", A::BorderKind, N, 26), Fix("brdroutset", A::BorderKind, N, 27),
    Val("brdrw", A::BorderWidth, N, 1), Val("brdrcf", A::BorderColor, N), Val("brsp", A::BorderSpacing, N),
    // Section and document.
    Val("sectd", A::SectionDefaults, N), Val("cols", A::SectionValue, N, 1, 0), Val("pgnx", A::SectionValue, N, 0, 1),
    Val("pgny", A::SectionValue, N, 0, 2), Val("headery", A::SectionValue, N, 720, 3),
    Val("footery", A::SectionValue, N, 720, 4), Fix("sbknone", A::SectionBreak, N, 0),
    Fix("sbkcol", A::SectionBreak, N, 1), Fix("sbkeven", A::SectionBreak, N, 2), Fix("sbkodd", A::SectionBreak, N, 3),
    Fix("sbkpage", A::SectionBreak, N, 4), Fix("pgndec", A::PageNumberFormat, N, 0),
    Fix("pgnucrm", A::PageNumberFormat, N, 1), Fix("pgnlcrm", A::PageNumberFormat, N, 2),
    Fix("pgnucltr", A::PageNumberFormat, N, 3), Fix("pgnlcltr", A::PageNumberFormat, N, 4),
    Val("sect", A::SectionEnd, N), Val("pgwsxn", A::SectionValue, N, 12240, 5),
    Val("pghsxn", A::SectionValue, N, 15840, 6), Val("marglsxn", A::SectionValue, N, 1800, 7),
    Val("margrsxn", A::SectionValue, N, 1800, 8), Val("margtsxn", A::SectionValue, N, 1440, 9),
    Val("margbsxn", A::SectionValue, N, 1440, 10), Val("colsx", A::SectionValue, N, 720, 11),
    Fix("lndscpsxn", A::SectionFlag, N, 1, 0), Fix("titlepg", A::SectionFlag, N, 1, 1),
    Fix("linebetcol", A::SectionFlag, N, 1, 2),
    Val("paperw", A::DocValue, N, 12240, 0), Val("paperh", A::DocValue, N, 15480, 1),
    Val("margl", A::DocValue, N, 1800, 2), Val("margr", A::DocValue, N, 1800, 3),
    Val("margt", A::DocValue, N, 1440, 4), Val("margb", A::DocValue, N, 1440, 5),
    Val("pgnstart", A::DocValue, N, 1, 6), Val("viewscale", A::DocValue, N, 100, 7), Val("viewzk", A::DocValue, N, 0, 8),
    Fix("facingp", A::DocFlag, N, 1, 0), Fix("margmirror", A::DocFlag, N, 1, 1), Fix("landscape", A::DocFlag, N, 1, 2),
    // Reader state, notes, colours and styles.
    Val("ansicpg", A::AnsiCodePage, N), Fix("pc", A::AnsiCodePage, N, 437), Fix("pca", A::AnsiCodePage, N, 850),
    Fix("mac", A::AnsiCodePage, N, 10000), Val("deff", A::DefaultFont, N), Val("u", A::UnicodeChar, N),
    Val("uc", A::UnicodeSkip, N, 1), Val("page", A::PageBreak, N),
    Val("pagebb", A::PageBreakBefore, N, 1), Val("chftn", A::FootnoteCharacter, N),
    Val("ftnalt", A::Endnote, N), Val("red", A::ColorComponent, N, 0, 0), Val("green", A::ColorComponent, N, 0, 8),
    Val("blue", A::ColorComponent, N, 0, 16), Val("s", A::StyleNumber, N, 0, 1), Val("cs", A::StyleNumber, N, 0, 0),
    Val("ds", A::StyleNumber, N, 0, 2), Val("sbasedon", A::StyleBasedOn, N), Val("snext", A::StyleNext, N),
    Fix("additive", A::StyleAdditive, N, 1), Fix("shidden", A::StyleHidden, N, 1),
    // Tables.
    Val("trowd", A::RowDefaults, N), Fix("trql", A::RowAlign, N, 0), Fix("trqr", A::RowAlign, N, 1),
    Fix("trqc", A::RowAlign, N, 2), Val("trgaph", A::RowValue, N, 0, 0), Val("trleft", A::RowValue, N, 0, 1),
    Val("trrh", A::RowValue, N, 0, 2), Fix("trhdr", A::RowHeader, N, 1), Fix("lastrow", A::LastRow, N, 1),
    Val("trpaddl", A::RowPadding, N, 0, 0), Val("trpaddt", A::RowPadding, N, 0, 1),
    Val("trpaddr", A::RowPadding, N, 0, 2), Val("trpaddb", A::RowPadding, N, 0, 3),
    Val("trpaddfl", A::RowUsePadding, N, 0, 0), Val("trpaddft", A::RowUsePadding, N, 0, 1),
    Val("trpaddfr", A::RowUsePadding, N, 0, 2), Val("trpaddfb", A::RowUsePadding, N, 0, 3),
    Val("trspdl", A::RowSpacing, N, 0, 0), Val("trspdt", A::RowSpacing, N, 0, 1),
    Val("trspdr", A::RowSpacing, N, 0, 2), Val("trspdb", A::RowSpacing, N, 0, 3),
    Val("trspdfl", A::RowUseSpacing, N, 0, 0), Val("trspdft", A::RowUseSpacing, N, 0, 1),
    Val("trspdfr", A::RowUseSpacing, N, 0, 2), Val("trspdfb", A::RowUseSpacing, N, 0, 3),
    Val("trwWidth", A::RowWidth, N), Val("trftsWidth", A::RowWidthType, N),
    Fix("clmgf", A::CellHorizontalMerge, N, 1), Fix("clmrg", A::CellHorizontalMerge, N, 2),
    Fix("clvmgf", A::CellVerticalMerge, N, 1), Fix("clvmrg", A::CellVerticalMerge, N, 2),
    Val("clwWidth", A::CellWidth, N), Val("clftsWidth", A::CellWidthType, N), Val("clcbpat", A::CellBackColor, N),
    Val("clcbpatraw", A::CellBackColor, N), Val("clcfpat", A::CellPatternColor, N),
    Val("clshdng", A::CellShading, N), Fix("clvertalt", A::CellVerticalAlign, N, 0),
    Fix("clvertalb", A::CellVerticalAlign, N, 1), Fix("clvertalc", A::CellVerticalAlign, N, 2),
    Val("cellx", A::CellRightBoundary, N), Val("cell", A::CellEnd, N), Val("nestcell", A::CellEnd, N),
    Val("row", A::RowEnd, N), Val("nestrow", A::RowEnd, N), Val("richdoctbw", A::TableWidthExtension, N),
    Val("richdoccbw", A::CellWidthExtension, N), Val("richdoccbh", A::CellHeightExtension, N),
    // Pictures and objects.
    Val("picw", A::PictureValue, N, 0, 0), Val("pich", A::PictureValue, N, 0, 1),
    Val("picwgoal", A::PictureValue, N, 0, 2), Val("pichgoal", A::PictureValue, N, 0, 3),
    Val("picscalex", A::PictureValue, N, 100, 4), Val("picscaley", A::PictureValue, N, 100, 5),
    Val("wbmwidthbytes", A::PictureValue, N, 0, 6), Val("wbmbitspixel", A::PictureValue, N, 1, 7),
    Val("wbmplanes", A::PictureValue, N, 1, 8), Fix("emfblip", A::PictureKind, N, 0),
    Fix("pngblip", A::PictureKind, N, 1), Fix("jpegblip", A::PictureKind, N, 2), Fix("macpict", A::PictureKind, N, 3),
    Fix("pmmetafile", A::PictureKind, N, 4), Fix("dibitmap", A::PictureKind, N, 6),
    Fix("wbitmap", A::PictureKind, N, 7), Val("wmetafile", A::WindowsMetafile, N, 1),
    Fix("picbmp", A::PictureWrapsBitmap, N, 1), Fix("objemb", A::ObjectKind, N, 0),
    Fix("objlink", A::ObjectKind, N, 1), Fix("objautlink", A::ObjectKind, N, 2), Fix("objsub", A::ObjectKind, N, 3),
    Fix("objpub", A::ObjectKind, N, 4), Fix("objicemb", A::ObjectKind, N, 5), Fix("objhtml", A::ObjectKind, N, 6),
    Fix("objocx", A::ObjectKind, N, 7), Val("objw", A::ObjectWidth, N), Val("objh", A::ObjectHeight, N),
    // Old-style list markers.
    Val("pnlvl", A::PnLevel, N, 1), Fix("pnlvlbody", A::PnLevel, N, 10), Fix("pnlvlblt", A::PnLevel, N, 11),
    Fix("pnhang", A::PnHanging, N, 1), Fix("pndec", A::PnListType, N, 1), Fix("pnlcltr", A::PnListType, N, 2),
    Fix("pnucltr", A::PnListType, N, 3), Fix("pnlcrm", A::PnListType, N, 4), Fix("pnucrm", A::PnListType, N, 5),
    Val("pnb", A::PnFontStyle, N, 1, 1), Val("pni", A::PnFontStyle, N, 1, 2), Val("pnstrike", A::PnFontStyle, N, 1, 8),
    Val("pnul", A::PnFontStyle, N, 1, 4), Val("pnuld", A::PnFontStyle, N, 1, 4), Val("pnuldb", A::PnFontStyle, N, 1, 4),
    Val("pnuldash", A::PnFontStyle, N, 1, 4), Val("pnuldashd", A::PnFontStyle, N, 1, 4),
    Val("pnuldashdd", A::PnFontStyle, N, 1, 4), Val("pnulhair", A::PnFontStyle, N, 1, 4),
    Val("pnulth", A::PnFontStyle, N, 1, 4), Val("pnulw", A::PnFontStyle, N, 1, 4),
    Val("pnulwave", A::PnFontStyle, N, 1, 4), Fix("pnulnone", A::PnFontStyle, N, 0, 4),
    Val("pncf", A::PnColor, N), Val("pnf", A::PnFont, N), Val("pnfs", A::PnFontSize, N),
    Val("pnindent", A::PnIndent, N), Val("pnsp", A::PnSpace, N), Val("pnstart", A::PnStart, N, 1),
    Fix("pnql", A::PnAlign, N, 0), Fix("pnqr", A::PnAlign, N, 1), Fix("pnqc", A::PnAlign, N, 2),
    // List tables.
    Val("listid", A::ListId, N), Val("listsimple", A::ListSimple, N, 1), Val("levelstartat", A::LevelStartAt, N, 1),
    Val("levelnfc", A::LevelNumberFormat, N), Val("leveljc", A::LevelJustify, N), Val("levelold", A::LevelOld, N, 1),
    Val("levelindent", A::LevelIndent, N), Val("levelspace", A::LevelSpace, N),
    Val("levelfollow", A::LevelFollow, N), Val("levellegal", A::LevelLegal, N, 1),
    Val("levelnorestart", A::LevelNoRestart, N, 1), Val("listoverridecount", A::ListOverrideCount, N),
    Val("listoverridestartat", A::ListOverrideStartAt, N, 1),
};

// Open addressing over a power-of-two table, a little over twice the rows,
// built while compiling. The lookup runs once per control word, so a slot is
// four bytes (the index stays in the first-level cache) and holds a part of
// the hash that turns away almost every wrong row before its name is read.
constexpr std::size_t kIndexSize = 1024;
static_assert(kIndexSize >= 2 * std::size(kKeywords));
static_assert(std::size(kKeywords) < 0xFFFF);

constexpr std::uint32_t HashKeyword(std::string_view keyword) {
  std::uint32_t hash = 2166136261u;
  for (char c : keyword) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

constexpr std::size_t SlotOf(std::uint32_t hash) { return hash & (kIndexSize - 1); }
constexpr std::uint16_t CheckOf(std::uint32_t hash) { return static_cast<std::uint16_t>(hash >> 16); }

struct IndexSlot {
  std::uint16_t check = 0;
  std::uint16_t row = 0;  // 1 + the row in kKeywords; 0 for an empty slot
};

// Rows go in in table order, so of two equal keywords the first would win.
constexpr std::array<IndexSlot, kIndexSize> kIndex = [] {
  std::array<IndexSlot, kIndexSize> index{};
  for (std::size_t row = 0; row < std::size(kKeywords); ++row) {
    const std::uint32_t hash = HashKeyword(kKeywords[row].keyword);
    std::size_t slot = SlotOf(hash);
    while (index[slot].row != 0) slot = (slot + 1) & (kIndexSize - 1);
    index[slot] = {CheckOf(hash), static_cast<std::uint16_t>(row + 1)};
  }
  return index;
}();

// Keywords are a few letters: a call to the library's compare costs more.
bool SameKeyword(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace

const TRVRTFsymbol* FindRTFKeyword(std::string_view keyword) {
  const std::uint32_t hash = HashKeyword(keyword);
  const std::uint16_t check = CheckOf(hash);
  for (std::size_t slot = SlotOf(hash); kIndex[slot].row != 0; slot = (slot + 1) & (kIndexSize - 1)) {
    if (kIndex[slot].check != check) continue;
    const TRVRTFsymbol& symbol = kKeywords[kIndex[slot].row - 1];
    if (SameKeyword(symbol.keyword, keyword)) return &symbol;
  }
  return nullptr;
}

std::span<const TRVRTFsymbol> RTFKeywordTable() { return kKeywords; }

}  // namespace varnolt
