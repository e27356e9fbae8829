#pragma once
// A page's size and margins in points, as the options dialog sets them.
#include <cstdint>

namespace varnolt {

struct TPageSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The left margin also stands for the right one, the top for the bottom.
struct TPageMargins {
  std::int32_t left = 0;
  std::int32_t top = 0;
};

struct TPageGeometry {
  TPageSize size;
  TPageMargins margins;
};

}  // namespace varnolt
