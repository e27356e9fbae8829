#include "richtext/rtf/reader/RVRTFTypes.h"

namespace varnolt {

TRVRTFBorderSide& TRVRTFParaBorder::Side(int side) {
  auto& slot = sides.at(static_cast<std::size_t>(side));
  if (!slot) slot.emplace();
  return *slot;
}

const TRVRTFBorderSide* TRVRTFParaBorder::FindSide(int side) const {
  if (side < 0 || side >= static_cast<int>(sides.size())) return nullptr;
  const auto& slot = sides[static_cast<std::size_t>(side)];
  return slot ? &*slot : nullptr;
}

}  // namespace varnolt
