// The tables the outermost call builds and writes into the header: fonts,
// colours, the style sheet, the list tables with their overrides, and the
// page parameters.
#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <utility>

#include "platform/Random.h"
#include "richtext/document/CRVDataNumbering.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/rtf/writer/RVRTFWriterInternal.h"
#include "richtext/table/RVTable.h"

namespace varnolt {

namespace {

constexpr TColor kFixedColors[] = {
    0xFF000008, 0x000000, 0xFF0000, 0xFFFF00, 0x00FF00, 0xFF00FF, 0x0000FF, 0x00FFFF, 0xFFFFFF,
    0x800000,   0x808000, 0x008000, 0x800080, 0x000080, 0x008080, 0x808080, 0xC0C0C0,
};
constexpr TColor kButtonHighlight = 0xFF000014;
constexpr double kTwipsPerInch = 1440.0;
constexpr std::int32_t kDefaultHeaderFooterTwips = 720;
// A level text is one length byte followed by the characters.
constexpr std::size_t kMaxLevelTextLength = 255;
constexpr std::int32_t kRandomIdRange = 0x7FFFFFFF;  // ids in 0..0x7FFFFFFE

void CollectRestartMarkers(const TCustomRVData& data, const TRVStyle& style,
                           std::vector<const TRVMarkerItemInfo*>& markers) {
  for (int i = 0; i < data.CountItems(); ++i) {
    const TCustomRVItemInfo& item = data.ItemAt(i);
    if (item.IsText()) continue;
    if (const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&item)) {
      const TRVListLevel* level = marker->LevelInfo(&style);
      if (marker->Reset && level != nullptr && LevelIsNumbered(*level)) markers.push_back(marker);
    }
    for (int d = 0; d < item.SubDocumentCount(); ++d) {
      if (const TCustomRVData* sub = item.SubDocument(d)) CollectRestartMarkers(*sub, style, markers);
    }
  }
}

// A new identifier that no list of this call has yet.
std::int32_t DrawListIdentifier(std::unordered_set<std::int32_t>& drawn) {
  std::int32_t id = Random::Next(kRandomIdRange);
  while (!drawn.insert(id).second) id = Random::Next(kRandomIdRange);
  return id;
}

int NumberFormat(TRVListType type) {
  switch (type) {
    case rvlstDecimal: case rvlstImageListCounter: return 0;
    case rvlstUpperRoman: return 1;
    case rvlstLowerRoman: return 2;
    case rvlstUpperAlpha: return 3;
    case rvlstLowerAlpha: return 4;
    default: return 23;
  }
}

int Justification(TRVMarkerAlignment alignment) {
  switch (alignment) {
    case rvmaCenter: return 1;
    case rvmaRight: return 2;
    default: return 0;
  }
}

double UnitsPerInch(TRVUnits units, int pixelsPerInch) {
  switch (units) {
    case rvuCentimeters: return 2.54;
    case rvuMillimeters: return 25.4;
    case rvuPicas: return 6.0;
    case rvuPixels: return pixelsPerInch;
    case rvuPoints: return 72.0;
    default: return 1.0;
  }
}

std::string HexByteKeyword(std::size_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {'\\', '\'', kDigits[(value >> 4) & 15], kDigits[value & 15]};
}

}  // namespace

// --- the shared tables ---

int TRVRTFWriter::ColorIndex(TColor color) const {
  const auto found = colorIndex_.find(color);
  return found != colorIndex_.end() ? found->second : 0;
}

void TRVRTFWriter::AddColor(TColor color) {
  if (colorIndex_.emplace(color, static_cast<int>(colors_.size())).second) colors_.push_back(color);
}

int TRVRTFWriter::FindFont(const std::u16string& name, std::uint8_t charset) const {
  for (std::size_t i = 0; i < fonts_.size(); ++i) {
    if (fonts_[i].Charset == charset && SameFontName(fonts_[i].Name, name)) return static_cast<int>(i);
  }
  return -1;
}

int TRVRTFWriter::FontNumber(const std::u16string& name, std::uint8_t charset) const {
  return std::max(FindFont(name, charset), 0);
}

int TRVRTFWriter::AddFont(const std::u16string& name, std::uint8_t charset) {
  if (const int found = FindFont(name, charset); found >= 0) return found;
  fonts_.push_back({name, charset});
  return static_cast<int>(fonts_.size()) - 1;
}

int TRVRTFWriter::TextFontNumber(int styleNo) const {
  if (styleNo >= 0 && static_cast<std::size_t>(styleNo) < styleFonts_.size()) {
    return styleFonts_[static_cast<std::size_t>(styleNo)];
  }
  return styleFonts_.empty() ? 0 : styleFonts_.front();
}

void TRVRTFWriter::Prepare(const TCustomRVData& data, TColor color, const TCustomRVData* headerDoc, const TCustomRVData* footerDoc) {
  PrepareFonts();
  PrepareColors(data, color, headerDoc, footerDoc);
  PrepareLists(data, headerDoc, footerDoc);
}

void TRVRTFWriter::PrepareFonts() {
  fonts_.clear();
  styleFonts_.clear();
  for (const auto& font : style_.TextStyles) styleFonts_.push_back(AddFont(font->FontName, font->Charset));
  for (const auto& list : style_.ListStyles) {
    for (const TRVListLevel& level : list->Levels) {
      if (LevelHasFont(level)) AddFont(level.Font.Name, level.Font.Charset);
    }
  }
}

void TRVRTFWriter::PrepareColors(const TCustomRVData& data, TColor color, const TCustomRVData* headerDoc,
                                 const TCustomRVData* footerDoc) {
  colors_.clear();
  colorIndex_.clear();
  for (TColor fixed : kFixedColors) AddColor(fixed);
  for (const auto& font : style_.TextStyles) {
    for (TColor c : {font->Color, font->BackColor, font->HoverColor, font->HoverBackColor, font->UnderlineColor,
                     font->HoverUnderlineColor}) {
      AddColor(c);
    }
  }
  for (const auto& para : style_.ParaStyles) {
    if (para->Border.Style != rvbNone) AddColor(para->Border.Color);
    AddColor(para->Background.Color);
  }
  for (const auto& list : style_.ListStyles) {
    for (const TRVListLevel& level : list->Levels) {
      if (LevelHasFont(level)) AddColor(level.Font.Color);
    }
  }
  CollectItemColors(data);
  if (headerDoc != nullptr) CollectItemColors(*headerDoc);
  if (footerDoc != nullptr) CollectItemColors(*footerDoc);
  if (color != kRVColorWindow) AddColor(color);
}

void TRVRTFWriter::CollectItemColors(const TCustomRVData& data) {
  for (int i = 0; i < data.CountItems(); ++i) {
    const TCustomRVItemInfo& item = data.ItemAt(i);
    if (item.IsText()) continue;
    if (const auto* line = dynamic_cast<const TRVBreakItemInfo*>(&item)) {
      AddColor(line->Color);
    } else if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&item)) {
      CollectTableColors(*table);
    } else if (const auto* note = dynamic_cast<const TRVNoteItemInfo*>(&item)) {
      CollectItemColors(note->Document());
    }
  }
}

void TRVRTFWriter::CollectTableColors(const TRVTableItemInfo& table) {
  AddColor(table.Color);
  AddBorderColors(table.BorderStyle, table.BorderColor, table.BorderLightColor);
  AddBorderColors(table.CellBorderStyle, table.CellBorderColor, table.CellBorderLightColor);
  if (table.VRuleWidth > 0) AddColor(table.VRuleColor);
  if (table.HRuleWidth > 0) AddColor(table.HRuleColor);
  for (int r = 0; r < table.TableRowCount(); ++r) {
    for (int c = 0; c < table.TableColumnCount(); ++c) {
      const TRVTableCellData* cell = table.CellAt(r, c);
      if (cell == nullptr) continue;
      AddColor(cell->Color);
      AddColor(cell->BorderColor);
      AddColor(cell->BorderLightColor);
      CollectItemColors(*cell);
    }
  }
}

void TRVRTFWriter::AddBorderColors(int style, TColor color, TColor lightColor) {
  switch (style) {
    case rvtbRaised:
    case rvtbLowered:
      AddColor(kButtonHighlight);
      AddColor(kRVColorButtonShadow);
      AddColor(kRVColorButtonFace);
      break;
    case rvtbColor:
      AddColor(color);
      break;
    default:
      AddColor(color);
      AddColor(lightColor);
      break;
  }
}

// Restarting markers are counted in the order they are written (header,
// footer, body), so that each gets the override entry made for it.
void TRVRTFWriter::PrepareLists(const TCustomRVData& data, const TCustomRVData* headerDoc, const TCustomRVData* footerDoc) {
  lists_.assign(static_cast<std::size_t>(style_.ListStyles.Count()), TRVRTFListNumbers{});
  restartMarkers_.clear();
  markerOverrides_.clear();
  for (const TCustomRVData* doc : {headerDoc, footerDoc, &data}) {
    if (doc != nullptr) CollectRestartMarkers(*doc, style_, restartMarkers_);
  }
  for (const TRVMarkerItemInfo* marker : restartMarkers_) ++lists_.at(static_cast<std::size_t>(marker->ListNo)).RestartCount;
}

// --- the header ---

void TRVRTFWriter::WriteHeader(const TCustomRVData& data, const TCustomRVData* headerDoc, const TCustomRVData* footerDoc) {
  const std::int32_t language = LanguageOfCharset(style_.TextStyleAt(0).Charset);
  sink_.Put("{\\rtf1\\ansi");
  sink_.PutKeyword("ansicpg", ResolveCodePage(style_.DefCodePage));
  sink_.PutKeyword("uc", Option(rvrtfDuplicateUnicode) ? 1 : 0);
  sink_.Put("\\deff0");
  sink_.PutKeyword("deflang", language);
  sink_.PutKeyword("deflangfe", language);
  if (settings_.BiDiMode == rvbdLeftToRight) sink_.Put("\\ltrdoc");
  if (settings_.BiDiMode == rvbdRightToLeft) sink_.Put("\\rtldoc");
  WriteNoteSeparators(data);
  if (Option(rvrtfSaveDocParameters)) WriteDocParameters();
  WriteFontTable();
  WriteColorTable();
  if (Option(rvrtfSaveStyleSheet)) WriteStyleSheet();
  WriteListTable();
  WriteDocInfo();
  WriteHeaderFooter("{\\header ", headerDoc);
  WriteHeaderFooter("{\\footer ", footerDoc);
  WriteExtra(rv_rtfs_Doc, nullptr, -1, -1, false);
  sink_.Put("\r\n");
}

void TRVRTFWriter::WriteNoteSeparators(const TCustomRVData& data) {
  const auto [endnotes, footnotes] = HoldsItemKinds(data, ItemKindEndnote, ItemKindFootnote);
  if (endnotes) {
    sink_.Put("\\fet2{\\*\\aftnsep\\pard\\plain\\chftnsep }{\\*\\aftnsepc\\pard\\plain\\chftnsepc}");
  }
  if (footnotes) {
    sink_.Put("\\fet2{\\*\\ftnsep\\pard\\plain\\chftnsep }{\\*\\ftnsepc\\pard\\plain\\chftnsepc}");
  }
}

void TRVRTFWriter::WriteDocParameters() {
  if (!settings_.DocParameters) {
    sink_.Put("\\paperw11906\\paperh16838\\margl1800\\margr1800\\margt1440\\margb1440\r\n");
    return;
  }
  const TRVDocParameters& page = *settings_.DocParameters;
  const double unitsPerInch = UnitsPerInch(page.Units, pixelsPerInch_);
  const auto twips = [&](double length) {
    return static_cast<std::int64_t>(std::nearbyint(length * kTwipsPerInch / unitsPerInch));
  };
  if (page.Orientation == poLandscape) sink_.Put("\\landscape");
  sink_.PutKeyword("paperw", twips(page.PageWidth));
  sink_.PutKeyword("paperh", twips(page.PageHeight));
  sink_.PutKeyword("margl", twips(page.LeftMargin));
  sink_.PutKeyword("margr", twips(page.RightMargin));
  sink_.PutKeyword("margt", twips(page.TopMargin));
  sink_.PutKeyword("margb", twips(page.BottomMargin));
  if (twips(page.HeaderY) != kDefaultHeaderFooterTwips) sink_.PutKeyword("headery", twips(page.HeaderY));
  if (twips(page.FooterY) != kDefaultHeaderFooterTwips) sink_.PutKeyword("footery", twips(page.FooterY));
  sink_.PutKeyword("viewscale", page.ZoomPercent);
  sink_.PutKeyword("viewzk", page.ZoomMode == rvzmFullPage ? 1 : page.ZoomMode == rvzmPageWidth ? 2 : 0);
  if (page.MirrorMargins) sink_.Put("\\margmirror");
  sink_.Put("\r\n");
}

void TRVRTFWriter::WriteDocInfo() {
  const TRVRTFDocInfo& info = settings_.DocInfo;
  const std::pair<const char*, const std::u16string*> entries[] = {
      {"{\\title ", &info.Title}, {"{\\subject ", &info.Subject}, {"{\\author ", &info.Author},
      {"{\\keywords ", &info.Keywords}};
  bool opened = false;
  for (const auto& [opening, text] : entries) {
    if (text->empty()) continue;
    if (!opened) sink_.Put("{\\info");
    opened = true;
    sink_.Put(opening);
    // An entry is one line: its line breaks become blanks.
    std::u16string line = *text;
    for (char16_t& c : line) c = (c == u'\r' || c == u'\n') ? u' ' : c;
    EscapeName(line, style_.DefCodePage);
    sink_.Put('}');
  }
  if (opened) sink_.Put("}\r\n");
}

void TRVRTFWriter::WriteFontTable() {
  sink_.Put("{\\fonttbl");
  for (std::size_t i = 0; i < fonts_.size(); ++i) {
    sink_.Put('{');
    sink_.PutKeyword("f", static_cast<std::int64_t>(i));
    sink_.Put("\\fnil");
    if (fonts_[i].Charset != kRVDefaultCharset) sink_.PutKeyword("fcharset", fonts_[i].Charset);
    sink_.Put(' ');
    EscapeName(fonts_[i].Name, kCpAcp);
    sink_.Put(";}");
  }
  sink_.Put('}');
}

void TRVRTFWriter::WriteColorTable() {
  sink_.Put("{\\colortbl;");
  for (std::size_t i = 1; i < colors_.size(); ++i) {
    const TColor rgb = ColorToRGB(colors_[i]);
    sink_.PutKeyword("red", rgb & 0xFF);
    sink_.PutKeyword("green", (rgb >> 8) & 0xFF);
    sink_.PutKeyword("blue", (rgb >> 16) & 0xFF);
    sink_.Put(';');
  }
  sink_.Put('}');
}

void TRVRTFWriter::WriteStyleSheet() {
  sink_.Put("{\\stylesheet");
  for (int n = 0; n < style_.ParaStyles.Count(); ++n) {
    const TParaInfo& para = style_.ParaStyles.Items(n);
    if (!para.Standard()) continue;
    sink_.Put('{');
    sink_.PutKeyword("s", n);
    WriteParaProperties(nullptr, n, nullptr);
    EscapeName(para.StyleName(), style_.DefCodePage);
    sink_.Put(";}");
  }
  for (int n = 0; n < style_.TextStyles.Count(); ++n) {
    const TFontInfo& font = style_.TextStyles.Items(n);
    if (!font.Standard()) continue;
    sink_.Put("{\\*");
    sink_.PutKeyword("cs", std::int64_t{n} + ParaStyleCount());
    WriteCharProperties(nullptr, n);
    EscapeName(font.StyleName(), style_.DefCodePage);
    sink_.Put(";}");
  }
  sink_.Put('}');
}

void TRVRTFWriter::WriteListTable() {
  if (style_.ListStyles.Count() == 0) {
    sink_.Put("\r\n");
    return;
  }
  std::unordered_set<std::int32_t> drawn;
  sink_.Put("{\\*\\listtable");
  for (int n = 0; n < style_.ListStyles.Count(); ++n) {
    const TRVListInfo& list = style_.ListStyles.Items(n);
    TRVRTFListNumbers& numbers = lists_.at(static_cast<std::size_t>(n));
    numbers.TemplateId = DrawListIdentifier(drawn);
    const int levelCount = list.Levels.Count();
    sink_.Put("{\\list");
    sink_.PutKeyword("listtemplateid", numbers.TemplateId);
    // A list without levels is written with one default level.
    if (levelCount <= 1) sink_.Put("\\listsimple1");
    WriteExtra(rv_rtfs_ListStyle, &list, -1, n, false);
    sink_.Put("\r\n");
    const TRVListLevel defaultLevel;
    const int written = levelCount <= 1 ? 1 : 9;
    for (int k = 0; k < written; ++k) {
      const TRVListLevel& level = levelCount == 0 ? defaultLevel : list.Levels.Items(std::min(k, levelCount - 1));
      WriteListLevel(list, n, k, level);
    }
    numbers.ListId = DrawListIdentifier(drawn);
    sink_.PutKeyword("listid", numbers.ListId);
    sink_.Put("}\r\n");
  }
  sink_.Put("}\r\n{\\*\\listoverridetable\r\n");
  WriteListOverrides();
  sink_.Put("}\r\n");
}

void TRVRTFWriter::WriteListLevel(const TRVListInfo& list, int listNo, int levelNo, const TRVListLevel& level) {
  const int format = NumberFormat(level.ListType);
  sink_.Put("{\\listlevel");
  sink_.PutKeyword("levelnfc", format);
  sink_.PutKeyword("leveljc", Justification(level.MarkerAlignment));
  sink_.PutKeyword("li", Twips(level.LeftIndent));
  sink_.PutKeyword("fi", Twips(static_cast<double>(level.MarkerIndent) - level.LeftIndent));
  sink_.Put("\\jclisttab");
  sink_.PutKeyword("tx", Twips(static_cast<double>(level.LeftIndent) + level.FirstIndent));
  if (format != 23) sink_.PutKeyword("levelstartat", level.StartFrom);
  if (level.Options.Contains(rvloLegalStyleNumbering)) sink_.Put("\\levellegal1");
  if (!level.Options.Contains(rvloLevelReset)) sink_.Put("\\levelnorestart1");
  WriteLevelText(level);
  if (LevelHasFont(level)) WriteMarkerFont(level);
  WriteExtra(rv_rtfs_ListStyle, &list, levelNo, listNo, false);
  sink_.Put("}\r\n");
}

// The level text is its length and its characters, where the characters of
// codes 0 to 8 stand for the numbers of those levels; the level numbers list
// the positions of those characters.
void TRVRTFWriter::WriteLevelText(const TRVListLevel& level) {
  const CodePageId codePage =
      level.Font.Charset == kRVDefaultCharset ? style_.DefCodePage : CodePageOfCharset(level.Font.Charset);
  std::u16string text;
  bool numbered = false;
  switch (level.ListType) {
    case rvlstBullet:
      text = AnsiToUnicode(codePage, level.FormatString);
      break;
    case rvlstUnicodeBullet:
      text = level.FormatStringW;
      break;
    case rvlstPicture:
    case rvlstImageList:
      sink_.Put("{\\leveltext\\'00;}{\\levelnumbers;}");
      return;
    default: {
      numbered = true;
      const std::u16string format = AnsiToUnicode(codePage, level.FormatString);
      std::vector<std::u16string> placeholders;
      for (char16_t code = 0; code < 9; ++code) placeholders.emplace_back(1, code);
      text = FormatWithStrings(format, placeholders, true).value_or(format);
      break;
    }
  }
  if (text.size() > kMaxLevelTextLength) text.resize(kMaxLevelTextLength);
  sink_.Put("{\\leveltext");
  sink_.Put(HexByteKeyword(text.size()));
  std::string numbers;
  std::size_t runStart = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const bool placeholder = i < text.size() && numbered && text[i] < 9;
    if (i < text.size() && !placeholder) continue;
    EscapeFieldText(std::u16string_view(text).substr(runStart, i - runStart), style_.DefCodePage);
    if (placeholder) {
      sink_.Put(HexByteKeyword(text[i]));
      numbers += HexByteKeyword(i + 1);
    }
    runStart = i + 1;
  }
  sink_.Put(";}{\\levelnumbers");
  sink_.Put(numbers);
  sink_.Put(";}");
}

void TRVRTFWriter::WriteListOverrides() {
  std::int32_t next = 1;
  for (std::size_t n = 0; n < lists_.size(); ++n) {
    TRVRTFListNumbers& numbers = lists_[n];
    numbers.FirstOverride = next;
    sink_.Put("{\\listoverride");
    sink_.PutKeyword("listid", numbers.ListId);
    sink_.PutKeyword("listoverridecount0\\ls", next++);
    sink_.Put("}\r\n");
    if (numbers.RestartCount <= 1) continue;
    for (const TRVMarkerItemInfo* marker : restartMarkers_) {
      if (static_cast<std::size_t>(marker->ListNo) != n) continue;
      const std::int32_t level = marker->EffectiveLevel(&style_);
      sink_.Put("{\\listoverride");
      sink_.PutKeyword("listid", numbers.ListId);
      sink_.PutKeyword("listoverridecount", level + 1);
      for (std::int32_t k = 0; k < level; ++k) sink_.Put("{\\lfolevel}");
      sink_.Put("{\\lfolevel\\listoverridestartat");
      sink_.PutKeyword("levelstartat", marker->ResetValue);
      sink_.Put('}');
      markerOverrides_[marker] = next;
      sink_.PutKeyword("ls", next++);
      sink_.Put("}\r\n");
    }
  }
}

void TRVRTFWriter::WriteHeaderFooter(const char* opening, const TCustomRVData* doc) {
  if (doc == nullptr) return;
  sink_.Put(opening);
  WriteNested(*doc, 0);
  sink_.Put("\\par}");
}

}  // namespace varnolt
