#pragma once

namespace varnolt {

// Screen pixels per inch; the desktop has no real screen to ask in batch mode.
inline constexpr int kScreenPixelsPerInch = 96;

}  // namespace varnolt
