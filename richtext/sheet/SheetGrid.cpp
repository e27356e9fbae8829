#include "richtext/sheet/SheetGrid.h"

#include <algorithm>
#include <cctype>

namespace varnolt {

namespace {

// The largest sheet either format allows; a reference past it is damage.
constexpr int kMaxSheetRows = 1 << 20;
constexpr int kMaxSheetColumns = 1 << 14;

}  // namespace

void TSheetGrid::SetCell(int row, int column, std::string text) {
  if (text.empty()) return;
  const auto r = static_cast<size_t>(row);
  const auto c = static_cast<size_t>(column);
  if (cells.size() <= r) cells.resize(r + 1);
  if (cells[r].size() <= c) cells[r].resize(c + 1);
  cells[r][c] = std::move(text);
}

void TSheetGrid::AddMerge(TSheetMerge merge, const TSheetRange& range) {
  if (merge.firstRow >= range.rows || merge.firstColumn >= range.columns) return;
  merge.lastRow = std::min(merge.lastRow, range.rows - 1);
  merge.lastColumn = std::min(merge.lastColumn, range.columns - 1);
  if (merge.lastRow < merge.firstRow || merge.lastColumn < merge.firstColumn) return;
  if (merge.lastRow == merge.firstRow && merge.lastColumn == merge.firstColumn) return;
  merges.push_back(merge);
}

bool ParseCellReference(std::string_view reference, int& row, int& column) {
  size_t i = 0;
  long letters = 0;
  while (i < reference.size() && reference[i] == '$') ++i;
  const size_t lettersStart = i;
  for (; i < reference.size() && std::isalpha(static_cast<unsigned char>(reference[i])); ++i) {
    letters = letters * 26 + (std::toupper(static_cast<unsigned char>(reference[i])) - 'A' + 1);
    if (letters > kMaxSheetColumns) return false;
  }
  if (i == lettersStart) return false;
  if (i < reference.size() && reference[i] == '$') ++i;
  const size_t digitsStart = i;
  long number = 0;
  for (; i < reference.size() && std::isdigit(static_cast<unsigned char>(reference[i])); ++i) {
    number = number * 10 + (reference[i] - '0');
    if (number > kMaxSheetRows) return false;
  }
  if (i == digitsStart || i != reference.size() || number == 0) return false;
  row = static_cast<int>(number - 1);
  column = static_cast<int>(letters - 1);
  return true;
}

}  // namespace varnolt
