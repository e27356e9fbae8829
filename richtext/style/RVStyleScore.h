#pragma once
// The two measures of closeness that similarity scores are summed from.
#include <cstdint>

#include "richtext/style/RVStyleTypes.h"

namespace varnolt {

// round((1 - |a - b| / |a|) * weight), or round((1 - |b|) * weight) when a
// is 0; halves go to even. Clamped to 32 bits, as stored values may be huge.
std::int64_t ValueCloseness(std::int64_t a, std::int64_t b, std::int64_t weight);

// Closeness of two colours: per RGB channel minus its distance scaled by
// channelWeight, plus darkWeight when both are dark or both light. A missing
// colour scores 0 against a colour and darkWeight + 3 * channelWeight against
// another missing one.
std::int64_t ColorCloseness(TColor a, TColor b, std::int64_t channelWeight, std::int64_t darkWeight);

// The score as the tables store it.
std::int32_t ClampScore(std::int64_t score);

}  // namespace varnolt
