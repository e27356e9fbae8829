#pragma once
// Reading the engine's own stored format into a document.
#include <string_view>

#include "richtext/document/CRVData.h"
#include "richtext/rvf/RVFTypes.h"

namespace varnolt {

// Nested documents (cells, notes) deeper than this fail the reading.
inline constexpr int kMaxRVFNesting = 64;

// Reads every record of stream and inserts the items at insertIndex.
// Loading: the document is being replaced (it was cleared first); otherwise
// the items are pasted. False at the first malformed or unacceptable record;
// the items inserted before it stay. Warnings and, as the options allow, the
// document properties, page parameters, layout and background land in view.
bool ReadRVF(TCustomRVData& data, std::string_view stream, int insertIndex, bool loading, TRVFView& view);

}  // namespace varnolt
