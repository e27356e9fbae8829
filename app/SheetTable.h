#pragma once
// A worksheet as the Excel import pastes it: the cells of A1:AZ150, read by
// our own workbook readers or from the CSV text LibreOffice writes for the
// sheet, as one RTF table.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/sheet/SheetGrid.h"

namespace varnolt {

inline constexpr int kSheetImportRows = 150;    // rows 1 to 150
inline constexpr int kSheetImportColumns = 52;  // columns A to AZ
inline constexpr TSheetRange kSheetImportRange{kSheetImportRows, kSheetImportColumns};

// Whether the Excel import reads file itself (.xlsx, .ods) rather than
// through LibreOffice (other workbooks, or every one when the office reader
// is chosen).
bool ReadsWorkbookItself(const std::filesystem::path& file);

// The cells of CSV text, UTF-8 as written. Quoted fields may hold
// separators, quotes (doubled) and line breaks; an unterminated quote runs
// to the end.
TSheetCells ParseCsv(std::string_view text);

// Cut to A1:AZ150, with empty rows and columns at the end dropped; every
// row then has the same number of cells.
TSheetCells ImportedRange(TSheetCells cells);

// One table row per sheet row, one cell per column, a merged area as one
// cell (spanning columns, then rows); empty when there are no cells.
// Merges reaching past the cells are cut to them.
std::string SheetTableAsRtf(const TSheetCells& cells, const std::vector<TSheetMerge>& merges = {});

}  // namespace varnolt
