#include "app/PdfFontChoice.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <memory>
#include <optional>
#include <span>

#include "pdf/PdfDoc.h"
#include "pdf/PdfEmbeddedFont.h"
#include "pdf/PdfFontFinder.h"
#include "pdf/PdfFonts.h"
#include "pdf/PdfJpCMap.h"

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
constexpr std::u16string_view kCompositeNames[3][4] = {
    {u"PGothic", u"PGothic,Bold", u"PGothic,Italic", u"PGothic,BoldItalic"},
    {u"PMincyo", u"PMincyo,Bold", u"PMincyo,Italic", u"PMincyo,BoldItalic"},
    {u"Gothic", u"Gothic,Bold", u"Gothic,Italic", u"Gothic,BoldItalic"},
};

// Chinese and Japanese blocks: radicals, punctuation, kana, bopomofo,
// enclosed and compatibility forms, ideographs, full-width forms. The CMap
// also encodes Latin, Greek and Cyrillic letters; those are not Chinese.
struct TCodeRange {
  char16_t First;
  char16_t Last;
};
constexpr TCodeRange kChineseJapaneseBlocks[] = {
    {0x2E80, 0x2FDF}, {0x3000, 0x312F}, {0x3190, 0x31FF}, {0x3200, 0x33FF}, {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF}, {0xF900, 0xFAFF}, {0xFE30, 0xFE4F}, {0xFF00, 0xFFEF},
};

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

std::bitset<65536> BuildCompositeCharacters() {
  std::bitset<65536> set;
  const auto rows = UniGbUcs2HRows();
  for (const TCodeRange& block : kChineseJapaneseBlocks) {
    for (char32_t c = block.First; c <= block.Last; ++c) set[c] = CidOfCode(rows, c) != 0;
  }
  return set;
}

// Latin letters start a standard-font segment; spaces, digits and marks
// after a word of another script stay in its font, which keeps the script's
// runs whole for shaping.
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

std::u16string_view CompositeFontName(TPdfFamilyClass familyClass, bool bold, bool italic) {
  return kCompositeNames[static_cast<std::size_t>(familyClass)][StyleIndex(bold, italic)];
}

bool IsWinAnsiCharacter(char16_t c) {
  static const std::array<std::uint8_t, 65536>& codes = WinAnsiCodes();
  return codes[c] != '?' || c == u'?';
}

bool IsCompositeCharacter(char16_t c) {
  static const std::bitset<65536> set = BuildCompositeCharacters();
  return set[c];
}

TPdfStyleFonts::TPdfStyleFonts(TPdfDoc& doc, std::u16string_view family, bool bold, bool italic)
    : doc_(doc), family_(family), bold_(bold), italic_(italic), familyClass_(ClassifyFamily(family)) {}

TPdfType1Font& TPdfStyleFonts::Standard() {
  if (standard_ == nullptr) {
    standard_ = &dynamic_cast<TPdfType1Font&>(doc_.GetFont(StandardFontName(familyClass_, bold_, italic_)));
  }
  return *standard_;
}

TPdfFont& TPdfStyleFonts::Composite() {
  if (composite_ == nullptr) composite_ = &doc_.GetFont(CompositeFontName(familyClass_, bold_, italic_));
  return *composite_;
}

TPdfFont* TPdfStyleFonts::Embedded(char32_t character) {
  auto [found, added] = embedded_.try_emplace(character, nullptr);
  if (added) found->second = FindEmbeddedFont(doc_, family_, bold_, italic_, character);
  return found->second;
}

TPdfStyleFonts::TChoice TPdfStyleFonts::Choose(char32_t character, bool single, const TChoice* previous) {
  const bool afterEmbedded = previous != nullptr && previous->Kind == TPdfFontKind::kEmbedded;
  if (single && IsWinAnsiCharacter(static_cast<char16_t>(character))) {
    if (afterEmbedded && !IsLatinLetter(static_cast<char16_t>(character)) &&
        FontHasCharacter(*previous->Font, character)) {
      return {previous->Font, TPdfFontKind::kEmbedded};
    }
    return {&Standard(), TPdfFontKind::kStandard};
  }
  if (single && IsCompositeCharacter(static_cast<char16_t>(character))) {
    return {&Composite(), TPdfFontKind::kComposite};
  }
  if (afterEmbedded && FontHasCharacter(*previous->Font, character)) return {previous->Font, TPdfFontKind::kEmbedded};
  if (TPdfFont* font = Embedded(character)) return {font, TPdfFontKind::kEmbedded};
  if (previous != nullptr) return {previous->Font, previous->Kind, true};
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
        (choice.Kind != TPdfFontKind::kStandard && CutsHere(text, i, character, segments.back().Length))) {
      segments.push_back({i, 0, choice.Font, choice.Kind, 0});
    }
    if (choice.Missing) ++segments.back().Missing;
    previous = choice;
    std::size_t end = i + length;
    // The rest of a WinAnsi run stays in the standard font.
    if (choice.Kind == TPdfFontKind::kStandard && !choice.Missing) {
      while (end < text.size() && IsWinAnsiCharacter(text[end])) ++end;
    }
    segments.back().Length += end - i;
    i = end;
  }
}

}  // namespace varnolt
