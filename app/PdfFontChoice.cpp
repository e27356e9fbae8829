#include "app/PdfFontChoice.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <span>

#include "pdf/PdfDoc.h"
#include "pdf/PdfEmbeddedFont.h"
#include "pdf/PdfFontFinder.h"
#include "pdf/PdfFonts.h"

namespace varnolt {

namespace {

// Fragments of family names, matched without regard to case.
constexpr std::u16string_view kSerifFragments[] = {
    u"times", u"georgia", u"cambria", u"garamond", u"book antiqua", u"palatino", u"century", u"mincho", u"simsun",
};
constexpr std::u16string_view kMonospaceFragments[] = {
    u"courier", u"consolas", u"lucida console", u"monaco", u"mono",
};

// Indexed by family class, then by bold + 2 * italic.
constexpr std::u16string_view kStandardNames[3][4] = {
    {u"Arial", u"Arial-Bold", u"Arial-Italic", u"Arial-BoldItalic"},
    {u"Times-Roman", u"Times-Bold", u"Times-Italic", u"Times-BoldItalic"},
    {u"FixedWidth", u"FixedWidth-Bold", u"FixedWidth-Italic", u"FixedWidth-BoldItalic"},
};
// Families the standard fonts stand for, compared without regard to case.
constexpr std::u16string_view kStandardFamilies[] = {
    u"helvetica", u"times", u"times-roman", u"courier",
};

// The Noto CJK families, indexed by family class. Their Japanese faces
// cover Chinese ideographs and Hangul too.
constexpr std::u16string_view kCjkFamilies[3] = {u"Noto Sans CJK JP", u"Noto Serif CJK JP", u"Noto Sans Mono CJK JP"};

struct TCodeRange {
  char16_t First;
  char16_t Last;
};

// Blocks whose characters stand alone, beyond Latin, Greek and Cyrillic:
// phonetic and Latin extensions, punctuation, symbols, arrows and dingbats,
// and the Chinese, Japanese and Korean blocks.
constexpr TCodeRange kPlainBlocks[] = {
    {0x1D00, 0x1DBF}, {0x1E00, 0x1FFF}, {0x2010, 0x2027}, {0x2030, 0x205F}, {0x2070, 0x2BFF},
    {0x2E80, 0x9FFF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF}, {0xFE30, 0xFE4F}, {0xFF00, 0xFFEF},
};

constexpr TCodeRange kCjkBlocks[] = {
    {0x1100, 0x11FF}, {0x2E80, 0x2FDF}, {0x3000, 0x31FF}, {0x3200, 0x9FFF},
    {0xA960, 0xA97F}, {0xAC00, 0xD7FF}, {0xF900, 0xFAFF}, {0xFE30, 0xFE4F}, {0xFF00, 0xFFEF},
};

bool InRanges(std::span<const TCodeRange> ranges, char32_t c) {
  return std::any_of(ranges.begin(), ranges.end(), [c](const TCodeRange& r) { return c >= r.First && c <= r.Last; });
}

std::u16string LowerAscii(std::u16string_view text) {
  std::u16string lower(text);
  for (char16_t& c : lower) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return lower;
}

bool ContainsAny(std::u16string_view text, std::span<const std::u16string_view> fragments) {
  return std::any_of(fragments.begin(), fragments.end(),
                     [text](std::u16string_view fragment) { return text.find(fragment) != text.npos; });
}

std::size_t StyleIndex(bool bold, bool italic) { return (bold ? 1u : 0u) + (italic ? 2u : 0u); }

// Latin letters leave a shaped script's font for the main one.
bool IsLatinLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7 && c <= 0xFF) ||
         c == 0x152 || c == 0x153 || c == 0x160 || c == 0x161 || c == 0x178 || c == 0x17D || c == 0x17E;
}

// A face that cannot be read as a font counts as no face: the next choice
// takes the character.
TPdfFont* FindEmbeddedFont(TPdfDoc& doc, std::u16string_view family, bool bold, bool italic, char32_t character) {
  const std::optional<TPdfFontFace> face = FindFontFace(family, bold, italic, character);
  if (!face) return nullptr;
  try {
    return &doc.GetEmbeddedFont(*face);
  } catch (const EPdfInvalidValue&) {
    return nullptr;
  }
}

bool FontHasCharacter(const TPdfFont& font, char32_t character) {
  return static_cast<const TPdfEmbeddedFont&>(font).HasCharacter(character);
}

// Shaping a run allocates for every glyph, so a shaped run as long as a
// hostile document's word is cut: after a space once it is this long, or,
// without a space, before any character but a mark a little later.
constexpr std::size_t kLongestShapedRun = 4096;
constexpr std::size_t kLongestShapedRunWithoutSpace = kLongestShapedRun + 256;

bool CutsHere(std::u16string_view text, std::size_t at, char32_t character, std::size_t runLength) {
  if (runLength < kLongestShapedRun) return false;
  if (text[at - 1] == u' ') return true;
  return runLength >= kLongestShapedRunWithoutSpace && (U_GET_GC_MASK(character) & U_GC_M_MASK) == 0;
}

}  // namespace

TPdfFamilyClass ClassifyFamily(std::u16string_view family) {
  const std::u16string lower = LowerAscii(family);
  if (ContainsAny(lower, kMonospaceFragments)) return TPdfFamilyClass::kMonospace;
  if (lower.find(u"serif") != lower.npos && lower.find(u"sans") == lower.npos) return TPdfFamilyClass::kSerif;
  // "Century Gothic" is a sans family.
  if (ContainsAny(lower, kSerifFragments) && lower.find(u"gothic") == lower.npos) return TPdfFamilyClass::kSerif;
  return TPdfFamilyClass::kSans;
}

std::u16string_view StandardFontName(TPdfFamilyClass familyClass, bool bold, bool italic) {
  return kStandardNames[static_cast<std::size_t>(familyClass)][StyleIndex(bold, italic)];
}

bool IsStandardFamily(std::u16string_view family) {
  const std::u16string lower = LowerAscii(family);
  return std::find(std::begin(kStandardFamilies), std::end(kStandardFamilies), lower) != std::end(kStandardFamilies);
}

bool IsCjkCharacter(char32_t c) { return InRanges(kCjkBlocks, c) || (c >= 0x20000 && c <= 0x3FFFF); }

bool IsPlainCharacter(char16_t c) {
  if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return false;
  if ((U_GET_GC_MASK(c) & (U_GC_M_MASK | U_GC_CF_MASK)) != 0) return false;
  return c < 0x0590 || InRanges(kPlainBlocks, c);
}

bool IsWinAnsiCharacter(char16_t c) {
  static const std::array<std::uint8_t, 65536>& codes = WinAnsiCodes();
  return codes[c] != '?' || c == u'?';
}

void TPdfFastWidths::Fill(unsigned block) {
  auto widths = std::make_unique<Block>();
  for (unsigned i = 0; i < 256; ++i) (*widths)[i] = widthOf_(static_cast<char16_t>(block << 8 | i));
  blocks_[block] = std::move(widths);
}

TPdfStyleFonts::TPdfStyleFonts(TPdfDoc& doc, std::u16string_view family, bool bold, bool italic)
    : doc_(doc),
      family_(family),
      bold_(bold),
      italic_(italic),
      familyClass_(ClassifyFamily(family)),
      standardFamily_(IsStandardFamily(family)) {}

TPdfStyleFonts::~TPdfStyleFonts() = default;

TPdfType1Font& TPdfStyleFonts::Standard() {
  if (standard_ == nullptr) {
    standard_ = &dynamic_cast<TPdfType1Font&>(doc_.GetFont(StandardFontName(familyClass_, bold_, italic_)));
  }
  return *standard_;
}

TPdfEmbeddedFont* TPdfStyleFonts::Main() {
  if (!mainLooked_ && !standardFamily_) {
    if (const std::optional<TPdfFontFace> face = FindFamilyFace(family_, bold_, italic_)) {
      try {
        main_ = &doc_.GetEmbeddedFont(*face);
      } catch (const EPdfInvalidValue&) {
        main_ = nullptr;
      }
    }
  }
  mainLooked_ = true;
  return main_;
}

float TPdfStyleFonts::FastWidthOf(char16_t c) {
  if (TPdfEmbeddedFont* font = Main()) {
    return IsPlainCharacter(c) && font->HasCharacter(c) ? static_cast<float>(font->NominalWidth(c)) : -1;
  }
  return IsWinAnsiCharacter(c) ? Standard().WidthTable()[c] : -1;
}

TPdfFastWidths& TPdfStyleFonts::FastWidths() {
  if (!fastWidths_) fastWidths_ = std::make_unique<TPdfFastWidths>([this](char16_t c) { return FastWidthOf(c); });
  return *fastWidths_;
}

TPdfLineMetrics TPdfStyleFonts::LineMetrics() {
  if (const TPdfEmbeddedFont* font = Main()) return {font->Ascent(), font->Descent(), font->LineGap()};
  if (const std::optional<TPdfFontFace> face = FindFamilyFace(family_, bold_, italic_)) {
    if (const std::optional<TPdfLineMetrics> metrics = ReadLineMetrics(*face)) return *metrics;
  }
  return {static_cast<float>(Standard().Ascent()), static_cast<float>(Standard().Descent()), 0};
}

TPdfFont* TPdfStyleFonts::Embedded(char32_t character) {
  auto [found, added] = embedded_.try_emplace(character, nullptr);
  if (added) found->second = FindEmbeddedFont(doc_, family_, bold_, italic_, character);
  return found->second;
}

TPdfFont* TPdfStyleFonts::Cjk(char32_t character) {
  auto [found, added] = cjk_.try_emplace(character, nullptr);
  if (added) {
    const std::u16string_view family = kCjkFamilies[static_cast<std::size_t>(familyClass_)];
    found->second = FindEmbeddedFont(doc_, family, bold_, italic_, character);
  }
  return found->second;
}

TPdfStyleFonts::TChoice TPdfStyleFonts::ChooseEmbedded(TPdfFont* font, char32_t character, bool single) const {
  const bool plain = single && IsPlainCharacter(static_cast<char16_t>(character));
  return {font, plain ? TPdfFontKind::kPlain : TPdfFontKind::kEmbedded};
}

TPdfStyleFonts::TChoice TPdfStyleFonts::Choose(char32_t character, bool single, const TChoice* previous) {
  const bool afterShaped = previous != nullptr && previous->Kind == TPdfFontKind::kEmbedded;
  // Spaces, digits and marks after a word of a shaped script stay in its
  // font, which keeps the script's runs whole for shaping.
  if (afterShaped && !(single && IsLatinLetter(static_cast<char16_t>(character))) &&
      FontHasCharacter(*previous->Font, character)) {
    return {previous->Font, TPdfFontKind::kEmbedded};
  }
  if (TPdfEmbeddedFont* main = Main()) {
    if (main->HasCharacter(character)) return ChooseEmbedded(main, character, single);
  } else if (single && IsWinAnsiCharacter(static_cast<char16_t>(character))) {
    return {&Standard(), TPdfFontKind::kStandard};
  }
  return Fallback(character, single, previous);
}

TPdfStyleFonts::TChoice TPdfStyleFonts::Fallback(char32_t character, bool single, const TChoice* previous) {
  if (IsCjkCharacter(character)) {
    if (TPdfFont* font = Cjk(character)) return ChooseEmbedded(font, character, single);
  }
  if (TPdfFont* font = Embedded(character)) return ChooseEmbedded(font, character, single);
  if (previous != nullptr) return {previous->Font, previous->Kind, true};
  if (TPdfEmbeddedFont* main = Main()) return {main, TPdfFontKind::kPlain, true};
  return {&Standard(), TPdfFontKind::kStandard, true};
}

void TPdfStyleFonts::Split(std::u16string_view text, std::vector<TPdfFontSegment>& segments) {
  segments.clear();
  TChoice previous;
  for (std::size_t i = 0; i < text.size();) {
    char32_t character = text[i];
    std::size_t length = 1;
    if (U16_IS_LEAD(text[i]) && i + 1 < text.size() && U16_IS_TRAIL(text[i + 1])) {
      character = static_cast<char32_t>(U16_GET_SUPPLEMENTARY(text[i], text[i + 1]));
      length = 2;
    }
    const TChoice choice = Choose(character, length == 1, segments.empty() ? nullptr : &previous);
    if (segments.empty() || choice.Font != previous.Font ||
        (choice.Kind == TPdfFontKind::kEmbedded && CutsHere(text, i, character, segments.back().Length))) {
      segments.push_back({i, 0, choice.Font, choice.Kind, 0});
    }
    if (choice.Missing) ++segments.back().Missing;
    previous = choice;
    std::size_t end = i + length;
    // The rest of a run the main font shows without shaping stays in it.
    if (choice.Kind != TPdfFontKind::kEmbedded && !choice.Missing && choice.Font != nullptr &&
        (choice.Kind == TPdfFontKind::kStandard || choice.Font == main_)) {
      TPdfFastWidths& fast = FastWidths();
      while (end < text.size() && fast.At(text[end]) >= 0) ++end;
    }
    segments.back().Length += end - i;
    i = end;
  }
}

}  // namespace varnolt
