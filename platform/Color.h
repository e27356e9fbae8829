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

}  // namespace varnolt
