#pragma once
// A worksheet as the Excel import takes it: the texts of the cells of a
// fixed range as the sheet shows them, and its merged areas. Filled by the
// workbook readers (XlsxReader.h, OdsReader.h); WorkbookReader.h picks one.
#include <string>
#include <string_view>
#include <vector>

namespace varnolt {

// How much of each sheet is read: rows and columns from A1 on.
struct TSheetRange {
  int rows = 0;
  int columns = 0;
};

// A merged area, zero-based and inclusive, its text in the first cell.
struct TSheetMerge {
  int firstRow = 0;
  int firstColumn = 0;
  int lastRow = 0;
  int lastColumn = 0;
};

// Rows of cells, UTF-8, line breaks inside a cell as "\n".
using TSheetCells = std::vector<std::vector<std::string>>;

struct TSheetGrid {
  std::string name;
  // Rows may be ragged and stop at their last cell with text.
  TSheetCells cells;
  std::vector<TSheetMerge> merges;

  // Puts text at (row, column), growing the rows as needed; the caller has
  // checked that the cell lies in the range.
  void SetCell(int row, int column, std::string text);
  // Keeps a merge that starts inside the range, cut to it; one of a single
  // cell is no merge and is dropped.
  void AddMerge(TSheetMerge merge, const TSheetRange& range);
};

// A cell reference such as "AZ150" as zero-based row and column; false
// for anything else (rows and columns beyond what a sheet can hold too).
bool ParseCellReference(std::string_view reference, int& row, int& column);

}  // namespace varnolt
