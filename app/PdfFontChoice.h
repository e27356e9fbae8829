#pragma once
// Which PDF font shows which character of a text style: the standard fonts
// for WinAnsi text, the composite fonts for Chinese and Japanese, a font
// found on the system for every other script. Measuring and drawing both
// split their runs here, so what is measured is what is drawn.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace varnolt {

class TPdfDoc;
class TPdfFont;
class TPdfType1Font;

enum class TPdfFamilyClass : std::uint8_t { kSans, kSerif, kMonospace };

// Serif families go to Times, monospace ones to Courier, the rest to Helvetica.
TPdfFamilyClass ClassifyFamily(std::u16string_view family);
// Registry names of the fonts a family class and style are shown in.
std::u16string_view StandardFontName(TPdfFamilyClass familyClass, bool bold, bool italic);
std::u16string_view CompositeFontName(TPdfFamilyClass familyClass, bool bold, bool italic);

// A code unit a single-byte font writes as itself rather than as "?".
bool IsWinAnsiCharacter(char16_t c);
// A Chinese or Japanese character that the composite fonts' CMap encodes.
bool IsCompositeCharacter(char16_t c);

enum class TPdfFontKind : std::uint8_t { kStandard, kComposite, kEmbedded };

// Code units Start..Start+Length-1 of a run, shown in one font.
struct TPdfFontSegment {
  std::size_t Start = 0;
  std::size_t Length = 0;
  TPdfFont* Font = nullptr;
  TPdfFontKind Kind = TPdfFontKind::kStandard;
  // Characters no font has, shown in this segment's font anyway.
  std::size_t Missing = 0;
};

// The fonts of one family and style within one document, created on first use.
class TPdfStyleFonts {
 public:
  TPdfStyleFonts(TPdfDoc& doc, std::u16string_view family, bool bold, bool italic);

  TPdfType1Font& Standard();
  TPdfFont& Composite();
  // nullptr when no installed font has the character.
  TPdfFont* Embedded(char32_t character);

  // Replaces segments with the runs of text (logical order) that one font
  // shows. Never drops a character: one that no font has stays with the
  // font before it (or the standard font) and is counted in Missing.
  void Split(std::u16string_view text, std::vector<TPdfFontSegment>& segments);

 private:
  struct TChoice {
    TPdfFont* Font = nullptr;
    TPdfFontKind Kind = TPdfFontKind::kStandard;
    bool Missing = false;
  };
  TChoice Choose(char32_t character, bool single, const TChoice* previous);

  TPdfDoc& doc_;
  std::u16string family_;
  bool bold_;
  bool italic_;
  TPdfFamilyClass familyClass_;
  TPdfType1Font* standard_ = nullptr;
  TPdfFont* composite_ = nullptr;
  // Asking the system for a face is slow and texts repeat their characters.
  std::unordered_map<char32_t, TPdfFont*> embedded_;
};

}  // namespace varnolt
