#pragma once
// Writing a document, or a part of it, in the engine's own stored format.
#include <string>

#include "richtext/document/CRVData.h"
#include "richtext/rvf/RVFTypes.h"

namespace varnolt {

// Appends the records of the whole document, of its selection, or of the
// part view.PartStart..view.PartEnd to stream. An empty document or range
// writes nothing. False when something failed; what was written stays.
bool WriteRVF(const TCustomRVData& data, std::string& stream, TRVFSaveMode mode, const TRVFView& view);

// Narrows a selection or part, start before end, to what WriteRVF writes of
// it: a range that starts after the end of an item begins with the next one,
// and one that ends before the start of an item ends with the previous one.
// False when nothing is left or the range is outside the document.
bool NarrowRVFRange(const TCustomRVData& data, TRVPosition& start, TRVPosition& end);

}  // namespace varnolt
