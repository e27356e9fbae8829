#include "pdf/PdfFonts.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/CodePage.h"

namespace varnolt {

namespace {

#include "data/standard-font-widths.inc"

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr CodePageId kWinAnsiCodePage = 1252;

// UTF-16 code unit -> WinAnsi code, from the code-page layer's table for 1252.
std::array<std::uint8_t, 65536> BuildWinAnsiTable() {
  std::array<std::uint8_t, 65536> table;
  table.fill('?');
  for (int code = 0; code < 256; ++code) {
    std::string byte(1, static_cast<char>(code));
    std::optional<std::u16string> decoded = TryMultiByteToWide(kWinAnsiCodePage, byte);
    if (!decoded || decoded->size() != 1) continue;
    char16_t c = (*decoded)[0];
    if (c == u'?' && code != '?') continue;
    table[c] = static_cast<std::uint8_t>(code);
  }
  return table;
}

constexpr TPDF_STR_TBL kType1Names[] = {
    {u"Type", u"Font"},
    {u"Subtype", u"Type1"},
    {u"Encoding", u"WinAnsiEncoding"},
};

constexpr TPDF_INT_TBL kType1Range[] = {
    {u"FirstChar", 32},
    {u"LastChar", 255},
};

// The published font boxes of the standard fonts (top, bottom below the
// baseline): line heights from them come close to those of the office fonts
// the families stand in for, where ascender and descender alone run tight.
struct TStandardFontBox {
  std::u16string_view BaseFont;
  std::int16_t Top;
  std::int16_t Bottom;
};
constexpr TStandardFontBox kStandardFontBoxes[] = {
    {u"Courier", 805, 250},          {u"Courier-Bold", 801, 250},
    {u"Courier-Oblique", 805, 250},  {u"Courier-BoldOblique", 801, 250},
    {u"Helvetica", 931, 225},        {u"Helvetica-Bold", 962, 228},
    {u"Helvetica-Oblique", 931, 225}, {u"Helvetica-BoldOblique", 962, 228},
    {u"Times-Roman", 898, 218},      {u"Times-Bold", 935, 218},
    {u"Times-Italic", 883, 217},     {u"Times-BoldItalic", 921, 218},
};

}  // namespace

const std::array<std::uint8_t, 65536>& WinAnsiCodes() {
  static const std::array<std::uint8_t, 65536> table = BuildWinAnsiTable();
  return table;
}

std::uint8_t WinAnsiCode(char16_t c) { return WinAnsiCodes()[c]; }

bool HasNonWinAnsiCharacter(std::u16string_view text) {
  const std::array<std::uint8_t, 65536>& codes = WinAnsiCodes();
  return std::any_of(text.begin(), text.end(), [&codes](char16_t c) { return codes[c] == '?' && c != u'?'; });
}

std::uint16_t TPdfFont::WidthOf(std::u16string_view, std::size_t) const { return 0; }

void TPdfFont::AppendHexCodes(std::u16string_view text, std::string& out) const { AppendUtf16Hex(text, out); }

namespace {

// The two uppercase hex digits of every byte, so that a code unit costs two
// copies instead of four digit lookups.
struct HexPairs {
  std::array<std::array<char, 2>, 256> pairs{};
  constexpr HexPairs() {
    for (std::size_t byte = 0; byte < pairs.size(); ++byte) pairs[byte] = {kHexDigits[byte >> 4], kHexDigits[byte & 0xF]};
  }
};
constexpr HexPairs kHexPairs;

}  // namespace

void AppendUtf16Hex(std::u16string_view text, std::string& out) {
  std::size_t at = out.size();
  out.resize(at + text.size() * 4);
  char* digits = out.data() + at;
  for (char16_t c : text) {
    std::memcpy(digits, kHexPairs.pairs[c >> 8].data(), 2);
    std::memcpy(digits + 2, kHexPairs.pairs[c & 0xFF].data(), 2);
    digits += 4;
  }
}

TPdfType1Font::TPdfType1Font(TPdfXref& xref, std::u16string name, std::u16string_view baseFont,
                             std::span<const std::uint16_t, kWidthCount> widths)
    : TPdfFont(xref, std::move(name)), codes_(WinAnsiCodes()) {
  auto& dictionary = xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
  PutNameTable(dictionary, kType1Names);
  PutNumberTable(dictionary, kType1Range);
  dictionary.PutName(u"BaseFont", std::u16string(baseFont));
  for (const TStandardFontBox& box : kStandardFontBoxes) {
    if (box.BaseFont != baseFont) continue;
    ascent_ = box.Top;
    descent_ = box.Bottom;
  }
  auto widthArray = std::make_unique<TPdfArray>(&xref);
  for (std::uint16_t width : widths) widthArray->Append(std::make_unique<TPdfNumber>(width));
  // Viewers carry the metrics of the standard fonts; the table only measures.
  dictionary.PutHidden(u"Widths", std::move(widthArray));
  Wrap(dictionary);
}

void TPdfType1Font::Wrap(TPdfDictionary& dictionary) {
  TPdfFont::Wrap(dictionary);
  TPdfNumber* missingWidth = dictionary.LookupNumber(u"MissingWidth");
  charWidths_.fill(missingWidth != nullptr ? static_cast<std::uint16_t>(missingWidth->Value()) : 0);
  TPdfNumber* first = dictionary.LookupNumber(u"FirstChar");
  TPdfNumber* last = dictionary.LookupNumber(u"LastChar");
  firstChar_ = first != nullptr ? static_cast<std::uint8_t>(first->Value()) : 0;
  lastChar_ = last != nullptr ? static_cast<std::uint8_t>(last->Value()) : 0;
  TPdfArray* widths = dictionary.LookupArray(u"Widths");
  for (std::size_t i = 0; widths != nullptr && i < widths->Count() && firstChar_ + i < charWidths_.size(); ++i) {
    if (auto* width = dynamic_cast<TPdfNumber*>(widths->GetItem(i))) {
      charWidths_[firstChar_ + i] = static_cast<std::uint16_t>(width->Value());
    }
  }
  BuildWidthTable();
}

void TPdfType1Font::BuildWidthTable() {
  for (std::size_t unit = 0; unit < widthByUnit_->size(); ++unit) (*widthByUnit_)[unit] = charWidths_[codes_[unit]];
}

std::uint16_t TPdfType1Font::WidthOf(std::u16string_view text, std::size_t position) const {
  if (position < 1 || position > text.size()) return 0;
  return (*widthByUnit_)[text[position - 1]];
}

void TPdfType1Font::AppendHexCodes(std::u16string_view text, std::string& out) const {
  std::size_t at = out.size();
  out.resize(at + text.size() * 2);
  char* digits = out.data() + at;
  for (char16_t c : text) {
    std::memcpy(digits, kHexPairs.pairs[codes_[c]].data(), 2);
    digits += 2;
  }
}

#define VARNOLT_DEFINE_STANDARD_TYPE1_FONT(ClassName, BaseFont, Widths) \
  ClassName::ClassName(TPdfXref& xref, std::u16string name)            \
      : TPdfType1Font(xref, std::move(name), BaseFont, Widths) {}
VARNOLT_DEFINE_STANDARD_TYPE1_FONT(TPdfFixedWidth, u"Courier", kCourierWidths)
VARNOLT_DEFINE_STANDARD_TYPE1_FONT(TPdfFixedWidthBold, u"Courier-Bold", kCourierBoldWidths)
VARNOLT_DEFINE_STANDARD_TYPE1_FONT(TPdfFixedWidthItalic, u"Courier-Oblique", kCourierObliqueWidths)
VARNOLT_DEFINE_STANDARD_TYPE1_FONT(TPdfFixedWidthBoldItalic, u"Courier-BoldOblique", kCourierBoldObliqueWidths)
VARNOLT_DEFINE_STANDARD_TYPE1_FONT(TPdfArial, u"Helvetica", kHelveticaWidths)
VARNOLT_DEFINE_STANDARD_TYPE1_FONT(TPdfArialBold, u"Helvetica-Bold", kHelveticaBoldWidths)
VARNOLT_DEFINE_STANDARD_TYPE1_FONT(TPdfArialItalic, u"Helvetica-Oblique", kHelveticaObliqueWidths)
VARNOLT_DEFINE_STANDARD_TYPE1_FONT(TPdfArialBoldItalic, u"Helvetica-BoldOblique", kHelveticaBoldObliqueWidths)
VARNOLT_DEFINE_STANDARD_TYPE1_FONT(TPdfTimesRoman, u"Times-Roman", kTimesRomanWidths)
VARNOLT_DEFINE_STANDARD_TYPE1_FONT(TPdfTimesBold, u"Times-Bold", kTimesBoldWidths)
VARNOLT_DEFINE_STANDARD_TYPE1_FONT(TPdfTimesItalic, u"Times-Italic", kTimesItalicWidths)
VARNOLT_DEFINE_STANDARD_TYPE1_FONT(TPdfTimesBoldItalic, u"Times-BoldItalic", kTimesBoldItalicWidths)
#undef VARNOLT_DEFINE_STANDARD_TYPE1_FONT

void RegisterStandardFonts(TPdfClassRegistry& registry) {
  registry.RegisterFont<TPdfFixedWidth>(u"FixedWidth", "TPdfFixedWidth");
  registry.RegisterFont<TPdfFixedWidthBold>(u"FixedWidth-Bold", "TPdfFixedWidthBold");
  registry.RegisterFont<TPdfFixedWidthBoldItalic>(u"FixedWidth-BoldItalic", "TPdfFixedWidthBoldItalic");
  registry.RegisterFont<TPdfFixedWidthItalic>(u"FixedWidth-Italic", "TPdfFixedWidthItalic");
  registry.RegisterFont<TPdfArial>(u"Arial", "TPdfArial");
  registry.RegisterFont<TPdfArialBold>(u"Arial-Bold", "TPdfArialBold");
  registry.RegisterFont<TPdfArialBoldItalic>(u"Arial-BoldItalic", "TPdfArialBoldItalic");
  registry.RegisterFont<TPdfArialItalic>(u"Arial-Italic", "TPdfArialItalic");
  registry.RegisterFont<TPdfTimesRoman>(u"Times-Roman", "TPdfTimesRoman");
  registry.RegisterFont<TPdfTimesBold>(u"Times-Bold", "TPdfTimesBold");
  registry.RegisterFont<TPdfTimesItalic>(u"Times-Italic", "TPdfTimesItalic");
  registry.RegisterFont<TPdfTimesBoldItalic>(u"Times-BoldItalic", "TPdfTimesBoldItalic");
}

}  // namespace varnolt
