#pragma once
// The one colour value of the whole system: 0x00BBGGRR for an RGB colour
// (byte 0 red), 0xFF0000nn for system colour nn, clNone for no colour.
#include <cstdint>

namespace varnolt {

using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;

// System colours are the negative values of the signed reading.
constexpr bool IsSystemColor(TColor color) { return static_cast<std::int32_t>(color) < 0; }

// 0x00BBGGRR of a colour; system colours take the default desktop scheme
// (batch mode has no desktop to ask), unknown ones black; clNone gives white.
constexpr TColor ColorToRGB(TColor color) {
  constexpr TColor kSystemDefaults[] = {
      0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000, 0x000000, 0xB4B4B4,
      0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969,
      0xE3E3E3, 0x000000, 0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0,
  };
  if (!IsSystemColor(color)) return color & 0xFFFFFF;
  const TColor index = color & 0xFF;
  return index < sizeof(kSystemDefaults) / sizeof(kSystemDefaults[0]) ? kSystemDefaults[index] : 0;
}

}  // namespace varnolt
