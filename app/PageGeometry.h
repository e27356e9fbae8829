#pragma once
// A page's size and margins in points, as the options dialog sets them.
#include <cstdint>
#include <optional>
#include <string>

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

// The largest page side a PDF file may have.
inline constexpr std::int32_t kMaxPageSide = 14400;

// What the text area of the PDF export's frame must hold, in points.
struct TTextFrameNeeds {
  float widestCharacter = 0;
  float lineHeight = 0;
};

// Empty when the page can be exported with its text; otherwise a message
// that says why not and what would fit.
std::optional<std::u16string> RefusalOf(const TPageGeometry& geometry, const TTextFrameNeeds& needs);

}  // namespace varnolt
