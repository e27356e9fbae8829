#include "richtext/style/RVStyleScore.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace varnolt {

namespace {

constexpr std::int64_t kDarkChannelLimit = 64;

struct Rgb {
  std::int64_t red;
  std::int64_t green;
  std::int64_t blue;
};

// System colours are taken by their bytes like RGB ones; without a real
// desktop their shades are not known.
Rgb ChannelsOf(TColor color) {
  return {static_cast<std::int64_t>(color & 0xFF), static_cast<std::int64_t>((color >> 8) & 0xFF),
          static_cast<std::int64_t>((color >> 16) & 0xFF)};
}

bool IsDark(const Rgb& rgb) {
  return rgb.red <= kDarkChannelLimit && rgb.green <= kDarkChannelLimit && rgb.blue <= kDarkChannelLimit;
}

}  // namespace

std::int32_t ClampScore(std::int64_t score) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(score, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

std::int64_t ValueCloseness(std::int64_t a, std::int64_t b, std::int64_t weight) {
  const long double w = static_cast<long double>(weight);
  long double value;
  if (a != 0) {
    value = (1.0L - std::fabs(static_cast<long double>(a - b)) / std::fabs(static_cast<long double>(a))) * w;
  } else {
    value = (1.0L - std::fabs(static_cast<long double>(b))) * w;
  }
  // nearbyint rounds halves to even in the default rounding mode.
  return ClampScore(static_cast<std::int64_t>(
      std::nearbyint(std::clamp<long double>(value, std::numeric_limits<std::int32_t>::min(),
                                             std::numeric_limits<std::int32_t>::max()))));
}

std::int64_t ColorCloseness(TColor a, TColor b, std::int64_t channelWeight, std::int64_t darkWeight) {
  const bool aNone = a == kRVColorNone;
  const bool bNone = b == kRVColorNone;
  if (aNone || bNone) return (aNone && bNone) ? darkWeight + 3 * channelWeight : 0;
  const Rgb x = ChannelsOf(a);
  const Rgb y = ChannelsOf(b);
  std::int64_t score = 0;
  score -= std::llabs(x.red - y.red) * channelWeight / 255;
  score -= std::llabs(x.green - y.green) * channelWeight / 255;
  score -= std::llabs(x.blue - y.blue) * channelWeight / 255;
  if (IsDark(x) == IsDark(y)) score += darkWeight;
  return score;
}

}  // namespace varnolt
