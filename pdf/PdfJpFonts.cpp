#include "pdf/PdfJpFonts.h"

#include <algorithm>
#include <span>

#include "pdf/PdfClassRegistry.h"

namespace varnolt {

namespace {

struct TPdfCidWidthRun {
  std::int32_t FirstCid;
  std::span<const std::uint16_t> Widths;
};

#include "data/proportional-cjk-widths.inc"

constexpr char16_t kLastLatin1 = 0xFF;
constexpr char16_t kHalfWidthFirst = 0xFF61;
constexpr char16_t kHalfWidthLast = 0xFF9F;

constexpr std::int32_t kHalfWidthCidFirst = 231;
constexpr std::int32_t kHalfWidthCidLast = 631;
constexpr std::int32_t kHalfWidth = 500;

constexpr TPDF_STR_TBL kDescendantNames[] = {
    {u"Type", u"Font"},
    {u"Subtype", u"CIDFontType2"},
    {u"WinCharSet", u"128"},
};

constexpr TPDF_INT_TBL kDescriptorMetrics[] = {
    {u"Ascent", 859},
    {u"CapHeight", 859},
    {u"Descent", -141},
    {u"MissingWidth", 500},
};

constexpr std::int32_t kDefaultWidth = 1000;
constexpr std::int32_t kSupplement = 2;
constexpr std::int32_t kFontBBox[] = {0, -141, 1000, 859};

constexpr TPDF_STR_TBL kType0Names[] = {
    {u"Type", u"Font"},
    {u"Subtype", u"Type0"},
    {u"Encoding", u"UniGB-UCS2-H"},
};

// Bit 18 of the descriptor flags makes a viewer embolden the glyphs.
constexpr std::int32_t kForceBold = 262144;
constexpr std::int32_t kFixedPitch = 1;
constexpr std::int32_t kSerif = 2;
constexpr std::int32_t kSymbolic = 4;
constexpr std::int32_t kItalicAngle = -11;
constexpr std::int32_t kStemV = 78;
constexpr std::int32_t kBoldStemV = 156;

constexpr std::int32_t kGothicFlags = kSymbolic | kFixedPitch;
constexpr std::int32_t kMincyoFlags = kSymbolic | kSerif | kFixedPitch;
constexpr std::int32_t kPGothicFlags = kSymbolic;
constexpr std::int32_t kPMincyoFlags = kSymbolic | kSerif;

std::uint16_t WidthValue(const TPdfNumber& number) { return static_cast<std::uint16_t>(number.Value()); }

// W holds runs "first [w1 w2 ...]" and ranges "first last w".
void ParseWidths(const TPdfArray& w, std::vector<TPdfCIDWidthItem>& items) {
  std::size_t i = 0;
  while (i < w.Count()) {
    auto* start = dynamic_cast<TPdfNumber*>(w.GetItem(i));
    if (start == nullptr) throw EPdfInvalidValue("invalid W array start pos..");
    std::int32_t first = start->Value();
    if (++i >= w.Count()) break;
    if (auto* last = dynamic_cast<TPdfNumber*>(w.GetItem(i))) {
      auto* width = dynamic_cast<TPdfNumber*>(w.GetItem(i + 1));
      if (width == nullptr) throw EPdfInvalidValue("invalid W array end pos..");
      items.push_back({first, last->Value(), WidthValue(*width)});
      i += 2;
      continue;
    }
    auto* run = dynamic_cast<TPdfArray*>(w.GetItem(i));
    if (run == nullptr) throw EPdfInvalidValue("invalid W array value..");
    for (std::size_t k = 0; k < run->Count(); ++k) {
      auto* width = dynamic_cast<TPdfNumber*>(run->GetItem(k));
      if (width == nullptr) throw EPdfInvalidValue("invalid W array value..");
      // Wraps like the 32-bit CIDs it stands for instead of overflowing.
      auto cid = static_cast<std::int32_t>(static_cast<std::int64_t>(first) + static_cast<std::int64_t>(k));
      items.push_back({cid, cid, WidthValue(*width)});
    }
    ++i;
  }
}

std::uint16_t NumberOr0(const TPdfDictionary* dictionary, std::u16string_view key) {
  TPdfNumber* number = dictionary != nullptr ? dictionary->LookupNumber(key) : nullptr;
  return number != nullptr ? WidthValue(*number) : 0;
}

std::unique_ptr<TPdfArray> FixedWidths(TPdfXref& xref) {
  return TPdfArray::CreateNumberArray(&xref, {kHalfWidthCidFirst, kHalfWidthCidLast, kHalfWidth});
}

std::unique_ptr<TPdfArray> ProportionalWidths(TPdfXref& xref) {
  auto w = std::make_unique<TPdfArray>(&xref);
  for (const TPdfCidWidthRun& run : kProportionalWidthRuns) {
    w->Append(std::make_unique<TPdfNumber>(run.FirstCid));
    auto& widths = w->Append(std::make_unique<TPdfArray>(&xref));
    for (std::uint16_t width : run.Widths) widths.Append(std::make_unique<TPdfNumber>(width));
  }
  return w;
}

constexpr TPdfJpFontStyle Regular(std::u16string_view name, std::int32_t flags) { return {name, flags, 0, kStemV}; }
constexpr TPdfJpFontStyle Bold(std::u16string_view name, std::int32_t flags) {
  return {name, flags | kForceBold, 0, kBoldStemV};
}
constexpr TPdfJpFontStyle Italic(std::u16string_view name, std::int32_t flags) {
  return {name, flags, kItalicAngle, kStemV};
}
constexpr TPdfJpFontStyle BoldItalic(std::u16string_view name, std::int32_t flags) {
  return {name, flags | kForceBold, kItalicAngle, kBoldStemV};
}

}  // namespace

// ---------------------------------------------------------------- Type0

void TPdfType0Font::Wrap(TPdfDictionary& dictionary) {
  TPdfFont::Wrap(dictionary);
  TPdfArray* descendants = dictionary.LookupArray(u"DescendantFonts");
  auto* descendant = descendants != nullptr ? dynamic_cast<TPdfDictionary*>(descendants->GetItem(0)) : nullptr;
  defaultWidth_ = NumberOr0(descendant, u"DW");
  missingWidth_ = NumberOr0(descendant != nullptr ? descendant->LookupDictionary(u"FontDescriptor") : nullptr,
                            u"MissingWidth");
  cidWidths_.clear();
  TPdfArray* w = descendant != nullptr ? descendant->LookupArray(u"W") : nullptr;
  if (w != nullptr) ParseWidths(*w, cidWidths_);
  widthsAscend_ = std::is_sorted(cidWidths_.begin(), cidWidths_.end(),
                                 [](const auto& a, const auto& b) { return a.LastCid < b.LastCid; });
  BuildWidthTable();
}

void TPdfType0Font::SetCharToCid(TPdfCharToCid charToCid) {
  charToCid_ = charToCid;
  BuildWidthTable();
}

std::int32_t TPdfType0Font::CharToCid(std::u16string_view text, std::size_t position) const {
  return charToCid_ != nullptr ? charToCid_(text, position) : 0;
}

std::uint16_t TPdfType0Font::CidWidth(std::int32_t cid) const {
  // Most ideographs lie beyond every entry.
  if (widthsAscend_ && (cidWidths_.empty() || cid > cidWidths_.back().LastCid)) return 0;
  auto holdsOrFollows = [cid](const TPdfCIDWidthItem& item) { return cid <= item.LastCid; };
  auto decides = widthsAscend_
                     ? std::partition_point(cidWidths_.begin(), cidWidths_.end(),
                                            [cid](const TPdfCIDWidthItem& item) { return item.LastCid < cid; })
                     : std::find_if(cidWidths_.begin(), cidWidths_.end(), holdsOrFollows);
  if (decides == cidWidths_.end() || cid < decides->FirstCid) return 0;
  return decides->Width;
}

std::uint16_t TPdfType0Font::WidthOf(std::u16string_view text, std::size_t position) const {
  if (position < 1 || position > text.size()) return 0;
  return (*widthByUnit_)[text[position - 1]];
}

void TPdfType0Font::BuildWidthTable() {
  for (std::size_t unit = 0; unit < widthByUnit_->size(); ++unit) {
    (*widthByUnit_)[unit] = WidthOfUnit(static_cast<char16_t>(unit));
  }
}

std::uint16_t TPdfType0Font::WidthOfUnit(char16_t unit) const {
  std::int32_t cid = CharToCid(std::u16string_view(&unit, 1), 1);
  if (cid == -1) return 0;
  std::uint16_t width = CidWidth(cid);
  if (width != 0) return width;
  bool halfWidth = unit <= kLastLatin1 || (unit >= kHalfWidthFirst && unit <= kHalfWidthLast);
  return halfWidth ? missingWidth_ : defaultWidth_;
}

// ---------------------------------------------------------------- families

TPdfJpFont::TPdfJpFont(TPdfXref& xref, std::u16string name, const TPdfJpFontStyle& style,
                       std::unique_ptr<TPdfArray> widths)
    : TPdfType0Font(xref, std::move(name), UniGbUcs2HCharToCid), style_(style) {
  auto& type0 = xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
  type0.PutName(u"BaseFont", std::u16string(style_.BaseFontName));
  TPdfDictionary& descendant = AddDescendant(type0, std::move(widths));
  AddDescriptor(descendant);
  Wrap(type0);
  PutNameTable(type0, kType0Names);
}

TPdfDictionary& TPdfJpFont::AddDescendant(TPdfDictionary& type0, std::unique_ptr<TPdfArray> widths) {
  TPdfXref& xref = Xref();
  auto& descendant = xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
  auto descendants = std::make_unique<TPdfArray>(&xref);
  descendants->Append(descendant);
  type0.Put(u"DescendantFonts", std::move(descendants));

  PutNameTable(descendant, kDescendantNames);
  descendant.PutName(u"BaseFont", std::u16string(style_.BaseFontName));
  auto systemInfo = std::make_unique<TPdfDictionary>(&xref);
  systemInfo->Put(u"Registry", std::make_unique<TPdfText>(u"Adobe"));
  systemInfo->Put(u"Ordering", std::make_unique<TPdfText>(u"GB1"));
  systemInfo->PutNumber(u"Supplement", kSupplement);
  descendant.Put(u"CIDSystemInfo", std::move(systemInfo));
  descendant.PutNumber(u"DW", kDefaultWidth);
  descendant.Put(u"W", std::move(widths));
  return descendant;
}

void TPdfJpFont::AddDescriptor(TPdfDictionary& descendant) {
  TPdfXref& xref = Xref();
  auto& descriptor = xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
  descriptor.PutName(u"Type", u"FontDescriptor");
  descriptor.PutName(u"FontName", std::u16string(style_.BaseFontName));
  PutNumberTable(descriptor, kDescriptorMetrics);
  descriptor.PutNumber(u"Flags", style_.Flags);
  descriptor.PutNumber(u"ItalicAngle", style_.ItalicAngle);
  descriptor.PutNumber(u"StemV", style_.StemV);
  descriptor.Put(u"FontBBox", TPdfArray::CreateNumberArray(&xref, kFontBBox));
  descendant.Put(u"FontDescriptor", descriptor);
}

TPdfJpFixedFont::TPdfJpFixedFont(TPdfXref& xref, std::u16string name, const TPdfJpFontStyle& style)
    : TPdfJpFont(xref, std::move(name), style, FixedWidths(xref)) {}

TPdfJpProportionalFont::TPdfJpProportionalFont(TPdfXref& xref, std::u16string name, const TPdfJpFontStyle& style)
    : TPdfJpFont(xref, std::move(name), style, ProportionalWidths(xref)) {}

#define VARNOLT_DEFINE_JP_FONT(ClassName, Base, Style) \
  ClassName::ClassName(TPdfXref& xref, std::u16string name) : Base(xref, std::move(name), Style) {}
VARNOLT_DEFINE_JP_FONT(TPdfGothic, TPdfJpFixedFont, Regular(u"Stone_Song", kGothicFlags))
VARNOLT_DEFINE_JP_FONT(TPdfGothicBold, TPdfJpFixedFont, Bold(u"Stone_Song,Bold", kGothicFlags))
VARNOLT_DEFINE_JP_FONT(TPdfGothicItalic, TPdfJpFixedFont, Italic(u"Stone_Song,Italic", kGothicFlags))
VARNOLT_DEFINE_JP_FONT(TPdfGothicBoldItalic, TPdfJpFixedFont, BoldItalic(u"Stone_Song,BoldItalic", kGothicFlags))
VARNOLT_DEFINE_JP_FONT(TPdfMincyo, TPdfJpFixedFont, Regular(u"MS-Mincyo", kMincyoFlags))
VARNOLT_DEFINE_JP_FONT(TPdfMincyoBold, TPdfJpFixedFont, Bold(u"MS-Mincyo,Bold", kMincyoFlags))
VARNOLT_DEFINE_JP_FONT(TPdfMincyoItalic, TPdfJpFixedFont, Italic(u"MS-Mincyo,Italic", kMincyoFlags))
VARNOLT_DEFINE_JP_FONT(TPdfMincyoBoldItalic, TPdfJpFixedFont, BoldItalic(u"MS-Mincyo,BoldItalic", kMincyoFlags))
VARNOLT_DEFINE_JP_FONT(TPdfPGothic, TPdfJpProportionalFont, Regular(u"Stone_Song", kPGothicFlags))
VARNOLT_DEFINE_JP_FONT(TPdfPGothicBold, TPdfPGothic, Bold(u"Stone_Song,Bold", kPGothicFlags))
VARNOLT_DEFINE_JP_FONT(TPdfPGothicItalic, TPdfPGothic, Italic(u"Stone_Song,Italic", kPGothicFlags))
VARNOLT_DEFINE_JP_FONT(TPdfPGothicBoldItalic, TPdfPGothic, BoldItalic(u"Stone_Song,BoldItalic", kPGothicFlags))
// The regular face's name is written in lower case; stored files carry it so.
VARNOLT_DEFINE_JP_FONT(TPdfPMincyo, TPdfJpProportionalFont, Regular(u"stone_song", kPMincyoFlags))
VARNOLT_DEFINE_JP_FONT(TPdfPMincyoBold, TPdfPMincyo, Bold(u"MS-PMincyo,Bold", kPMincyoFlags))
VARNOLT_DEFINE_JP_FONT(TPdfPMincyoItalic, TPdfPMincyo, Italic(u"MS-PMincyo,Italic", kPMincyoFlags))
VARNOLT_DEFINE_JP_FONT(TPdfPMincyoBoldItalic, TPdfPMincyo, BoldItalic(u"MS-PMincyo,BoldItalic", kPMincyoFlags))
#undef VARNOLT_DEFINE_JP_FONT

void RegisterJpFonts(TPdfClassRegistry& registry) {
  registry.RegisterFont<TPdfGothic>(u"Gothic", "TPdfGothic");
  registry.RegisterFont<TPdfGothicBold>(u"Gothic,Bold", "TPdfGothicBold");
  registry.RegisterFont<TPdfGothicItalic>(u"Gothic,Italic", "TPdfGothicItalic");
  registry.RegisterFont<TPdfGothicBoldItalic>(u"Gothic,BoldItalic", "TPdfGothicBoldItalic");
  registry.RegisterFont<TPdfMincyo>(u"Mincyo", "TPdfMincyo");
  registry.RegisterFont<TPdfMincyoBold>(u"Mincyo,Bold", "TPdfMincyoBold");
  registry.RegisterFont<TPdfMincyoItalic>(u"Mincyo,Italic", "TPdfMincyoItalic");
  registry.RegisterFont<TPdfMincyoBoldItalic>(u"Mincyo,BoldItalic", "TPdfMincyoBoldItalic");
  registry.RegisterFont<TPdfPGothic>(u"PGothic", "TPdfPGothic");
  registry.RegisterFont<TPdfPGothicBold>(u"PGothic,Bold", "TPdfPGothicBold");
  registry.RegisterFont<TPdfPGothicItalic>(u"PGothic,Italic", "TPdfPGothicItalic");
  registry.RegisterFont<TPdfPGothicBoldItalic>(u"PGothic,BoldItalic", "TPdfPGothicBoldItalic");
  registry.RegisterFont<TPdfPMincyo>(u"PMincyo", "TPdfPMincyo");
  registry.RegisterFont<TPdfPMincyoBold>(u"PMincyo,Bold", "TPdfPMincyoBold");
  registry.RegisterFont<TPdfPMincyoItalic>(u"PMincyo,Italic", "TPdfPMincyoItalic");
  registry.RegisterFont<TPdfPMincyoBoldItalic>(u"PMincyo,BoldItalic", "TPdfPMincyoBoldItalic");
}

}  // namespace varnolt
