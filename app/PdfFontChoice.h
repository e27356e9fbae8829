#pragma once
// Which PDF font shows which character of a text style in the formatted
// export: the installed face fontconfig shows the document's family in,
// embedded as a subset (the standard fonts only for Helvetica, Times and
// Courier by name), Noto CJK for Chinese, Japanese and Korean, and a face
// found on the system for every other character the main face lacks.
// Measuring and drawing both split their runs here, so what is measured is
// what is drawn.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "pdf/PdfEmbeddedFont.h"

namespace varnolt {

class TPdfDoc;
class TPdfFont;
class TPdfType1Font;

enum class TPdfFamilyClass : std::uint8_t { kSans, kSerif, kMonospace };

// Serif families go to Times, monospace ones to Courier, the rest to Helvetica.
TPdfFamilyClass ClassifyFamily(std::u16string_view family);
// Registry name of the standard font a family class and style are shown in.
std::u16string_view StandardFontName(TPdfFamilyClass familyClass, bool bold, bool italic);

// Helvetica, Times or Courier asked for by name: the only families shown in
// the standard fonts, which every viewer has.
bool IsStandardFamily(std::u16string_view family);

// A code unit a single-byte font writes as itself rather than as "?".
bool IsWinAnsiCharacter(char16_t c);
// A Chinese, Japanese or Korean character.
bool IsCjkCharacter(char32_t c);
// A character drawn as its font's own glyph without shaping: no mark, no
// format control, no script whose letters join or reorder.
bool IsPlainCharacter(char16_t c);

// kStandard: a standard Type 1 font. kPlain: an embedded font drawn glyph by
// glyph, each character its nominal glyph. kEmbedded: an embedded font
// drawn as HarfBuzz shapes the run.
enum class TPdfFontKind : std::uint8_t { kStandard, kPlain, kEmbedded };

// Code units Start..Start+Length-1 of a run, shown in one font.
struct TPdfFontSegment {
  std::size_t Start = 0;
  std::size_t Length = 0;
  TPdfFont* Font = nullptr;
  TPdfFontKind Kind = TPdfFontKind::kStandard;
  // Characters no font has, shown in this segment's font anyway.
  std::size_t Missing = 0;
};

// Advances of the code units the main font of a style shows without
// shaping, in thousandths of the font size, filled a block of 256 at a time
// as text asks for them; negative for every other code unit.
class TPdfFastWidths {
 public:
  explicit TPdfFastWidths(std::function<float(char16_t)> widthOf) : widthOf_(std::move(widthOf)) {}
  float At(char16_t c) {
    const std::unique_ptr<Block>& block = blocks_[c >> 8];
    if (!block) Fill(c >> 8);
    return (*blocks_[c >> 8])[c & 0xFF];
  }

 private:
  using Block = std::array<float, 256>;
  void Fill(unsigned block);
  std::function<float(char16_t)> widthOf_;
  std::array<std::unique_ptr<Block>, 256> blocks_;
};

// The fonts of one family and style within one document, created on first use.
class TPdfStyleFonts {
 public:
  TPdfStyleFonts(TPdfDoc& doc, std::u16string_view family, bool bold, bool italic);
  ~TPdfStyleFonts();

  // The standard font of the family's class.
  TPdfType1Font& Standard();
  // The installed face the family is shown in, embedded; nullptr where the
  // family is a standard one or no face can be embedded.
  TPdfEmbeddedFont* Main();
  TPdfFastWidths& FastWidths();
  // The main font's ascent, descent and line gap; for a standard family
  // those of the installed face fontconfig shows it in, whose advances the
  // standard font's match.
  TPdfLineMetrics LineMetrics();
  // nullptr when no installed font has the character.
  TPdfFont* Embedded(char32_t character);
  // Chinese, Japanese and Korean characters in the Noto CJK face of the
  // family's class (or the face fontconfig puts first in its place);
  // nullptr when no installed face has the character.
  TPdfFont* Cjk(char32_t character);

  // Replaces segments with the runs of text (logical order) that one font
  // shows. Never drops a character: one that no font has stays with the
  // font before it (or the main font) and is counted in Missing.
  void Split(std::u16string_view text, std::vector<TPdfFontSegment>& segments);

 private:
  struct TChoice {
    TPdfFont* Font = nullptr;
    TPdfFontKind Kind = TPdfFontKind::kStandard;
    bool Missing = false;
  };
  TChoice Choose(char32_t character, bool single, const TChoice* previous);
  TChoice ChooseEmbedded(TPdfFont* font, char32_t character, bool single) const;
  TChoice Fallback(char32_t character, bool single, const TChoice* previous);
  float FastWidthOf(char16_t c);

  TPdfDoc& doc_;
  std::u16string family_;
  bool bold_;
  bool italic_;
  TPdfFamilyClass familyClass_;
  bool standardFamily_;
  TPdfType1Font* standard_ = nullptr;
  bool mainLooked_ = false;
  TPdfEmbeddedFont* main_ = nullptr;
  std::unique_ptr<TPdfFastWidths> fastWidths_;
  // Asking the system for a face is slow and texts repeat their characters.
  std::unordered_map<char32_t, TPdfFont*> embedded_;
  std::unordered_map<char32_t, TPdfFont*> cjk_;
};

}  // namespace varnolt
