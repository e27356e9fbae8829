#pragma once
// A worksheet as the Excel import pastes it: the cells of A1:AZ150 read from
// the CSV text LibreOffice writes for the sheet, as one RTF table.
#include <string>
#include <string_view>
#include <vector>

namespace varnolt {

inline constexpr int kSheetImportRows = 150;    // rows 1 to 150
inline constexpr int kSheetImportColumns = 52;  // columns A to AZ

// Rows of cells, UTF-8 as written. Quoted fields may hold separators, quotes
// (doubled) and line breaks; an unterminated quote runs to the end.
using TSheetCells = std::vector<std::vector<std::string>>;
TSheetCells ParseCsv(std::string_view text);

// Cut to A1:AZ150, with empty rows and columns at the end dropped; every
// row then has the same number of cells.
TSheetCells ImportedRange(TSheetCells cells);

// One table row per sheet row, one cell per column; empty when there are
// no cells.
std::string SheetTableAsRtf(const TSheetCells& cells);

}  // namespace varnolt
