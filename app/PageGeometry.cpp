#include "app/PageGeometry.h"

#include <algorithm>
#include <cmath>

#include "app/Unit2.h"

namespace varnolt {

namespace {

// The export's frame sits inside the margins and keeps them again as its
// text margins, so each margin is taken four times from its page side.
constexpr std::int64_t kMarginsPerSide = 4;

std::u16string Points(std::int64_t value) { return ToU16(std::to_string(value)); }

// Whole points, rounded up so that what is said to fit does fit.
std::int64_t WholePointsFor(float width) { return std::max<std::int64_t>(static_cast<std::int64_t>(std::ceil(width)), 1); }

// One side of the text area in the frame.
std::optional<std::u16string> RefusalOfSide(std::int64_t pageSide, std::int64_t margin, std::int64_t needed,
                                            const std::u16string& extent, const std::u16string& what,
                                            const std::u16string& marginName) {
  const std::int64_t room = pageSide - kMarginsPerSide * margin;
  if (room >= needed) return std::nullopt;
  const std::u16string left = room > 0 ? Points(room) + u" points " + extent : u"no room";
  std::u16string message =
      u"The text frame leaves its text " + left + u", less than " + what + u" (" + Points(needed) + u" points). ";
  if (pageSide >= needed) {
    return message + u"On a page " + Points(pageSide) + u" points " + extent + u" a " + marginName +
           u" of at most " + Points((pageSide - needed) / kMarginsPerSide) + u" fits.";
  }
  return message + u"A page at least " + Points(needed + kMarginsPerSide * margin) + u" points " + extent + u" fits with a " +
         marginName + u" of " + Points(margin) + u".";
}

}  // namespace

std::optional<std::u16string> RefusalOf(const TPageGeometry& geometry, const TTextFrameNeeds& needs) {
  const std::int64_t width = geometry.size.width;
  const std::int64_t height = geometry.size.height;
  if (width > kMaxPageSide || height > kMaxPageSide) {
    return u"A page of " + Points(width) + u" x " + Points(height) + u" points is too large: a PDF page fits at most " +
           Points(kMaxPageSide) + u" x " + Points(kMaxPageSide) + u".";
  }
  if (auto narrow = RefusalOfSide(width, geometry.margins.left, WholePointsFor(needs.widestCharacter), u"wide",
                                  u"its widest character", u"left margin")) {
    return narrow;
  }
  return RefusalOfSide(height, geometry.margins.top, WholePointsFor(needs.lineHeight), u"high", u"one line",
                       u"top margin");
}

}  // namespace varnolt
