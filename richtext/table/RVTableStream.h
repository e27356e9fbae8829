#pragma once
// A table as the component stream the stored format keeps it in: "TPF0",
// one "TRVTableSW" object whose "T." properties are the table's, a "C" list
// of the grid (counts, then spans and one "TD" object per cell), and the
// rows' alignments and page breaks.
#include <functional>
#include <string>
#include <string_view>

#include "richtext/table/RVTable.h"

namespace varnolt {

// A grid with more slots than this, or than the stream could describe,
// fails to read.
inline constexpr std::int64_t kMaxTableSlots = std::int64_t{1} << 22;

// The cell's document in the stored format; and reading one into a cell.
using TRVCellDataWriter = std::function<std::string(const TRVTableCellData& cell)>;
using TRVCellDataReader = std::function<void(TRVTableCellData& cell, std::string_view data)>;

// Writes the whole table, or only the cells of part (which no merged cell crosses).
std::string WriteTableStream(const TRVTableItemInfo& table, const TRVCellRange* part,
                             const TRVCellDataWriter& writeCellData);

// Replaces the table's grid and properties by the stored ones. The cell
// list is checked before anything is built: spans at least 1, inside the
// grid, not overlapping, every slot covered. EReadError ("Wrong end of
// cells list" for too many or too few cells) for anything malformed.
void ReadTableStream(std::string_view bytes, TRVTableItemInfo& table, const TRVCellDataReader& readCellData);

}  // namespace varnolt
