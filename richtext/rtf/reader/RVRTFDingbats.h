#pragma once
// The symbol and dingbat fonts' own encodings: codes 32..255 of Symbol,
// Wingdings, Webdings and Zapf Dingbats, and the private-use characters
// U+F020..U+F0FF with which word processors write them, as the Unicode
// characters they draw.
#include <cstdint>
#include <string>
#include <string_view>

namespace varnolt {

// The character a code of the Symbol font draws (codes outside 32..255 stay).
char16_t SymbolToUnicode(unsigned code);

enum class TRVRTFDingbatFont : std::uint8_t { kNone, kWingdings, kWebdings, kZapfDingbats };

// Which dingbat encoding a font of this name uses; kNone for every other font
// (Wingdings 2 and 3 and Marlett have encodings of their own, not mapped).
TRVRTFDingbatFont DingbatFontOf(std::u16string_view fontName);

// The character a code (0..255) or a private-use character of the font
// draws; the code itself where the font has no character for it.
char32_t DingbatToUnicode(TRVRTFDingbatFont font, char32_t code);
// Appends that character as UTF-16.
void AppendDingbat(std::u16string& out, TRVRTFDingbatFont font, char32_t code);

// A list's bullet of one code (or private-use character) of a Symbol or
// dingbat font, as the Unicode character it draws; other text stays.
void MapSymbolBullet(std::u16string& text, std::u16string_view fontName);

}  // namespace varnolt
