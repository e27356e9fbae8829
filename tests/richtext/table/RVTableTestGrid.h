#pragma once
// Tables written as one line for the table tests.
#include <memory>
#include <string>

#include "richtext/table/RVTable.h"
#include "tests/richtext/RVTestDocuments.h"

namespace varnolt::test {

// The grid in one line: rows separated by " / ", each slot as its cell's
// text (with "[rows x columns]" when merged) or "-" when covered.
inline std::string Grid(const TRVTableItemInfo& table) {
  std::string out;
  for (int r = 0; r < table.TableRowCount(); ++r) {
    if (r > 0) out += " / ";
    for (int c = 0; c < table.TableColumnCount(); ++c) {
      if (c > 0) out += " ";
      const TRVTableCellData* cell = table.CellAt(r, c);
      if (cell == nullptr) {
        out += "-";
        continue;
      }
      out += Dump(*cell);
      if (cell->SpanRows() > 1 || cell->SpanColumns() > 1) {
        out += "[" + std::to_string(cell->SpanRows()) + "x" + std::to_string(cell->SpanColumns()) + "]";
      }
    }
  }
  return out;
}

// A table whose cells hold their own coordinates as text ("00", "01", ...).
inline std::unique_ptr<TRVTableItemInfo> Numbered(int rows, int columns) {
  auto table = TRVTableItemInfo::CreateTable(rows, columns, nullptr);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      TRVTableCellData& cell = *table->CellAt(r, c);
      cell.ClearItems();
      cell.AppendTextItemW(std::u16string{static_cast<char16_t>(u'0' + r), static_cast<char16_t>(u'0' + c)}, 0, 0);
    }
  }
  return table;
}

}  // namespace varnolt::test
