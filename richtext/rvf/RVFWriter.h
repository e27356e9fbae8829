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

}  // namespace varnolt
