// Changing the grid of a table: inserting and removing rows and columns with
// the spans that cross them, merging cells, dropping rows with no cell.
#include <algorithm>

#include "richtext/table/RVTable.h"

namespace varnolt {

namespace {

constexpr const char* kInvalidIndex = "Invalid row or column index";
constexpr const char* kInvalidMerge = "Parameters for cell merging are not correct";

}  // namespace

// The grid seen along one axis: a "line" is a row (columns false) or a
// column (columns true), "across" the position inside it. Inserting and
// removing rows or columns is then one piece of code.
class TRVTableGrid {
 public:
  TRVTableGrid(TRVTableItemInfo& table, bool columns) : table_(table), columns_(columns) {}

  void AddLines(int index, int count, bool divide, int copyFrom);
  void RemoveLines(int index, int count, bool decrease);

 private:
  struct TOrigin {
    int Line;
    int Across;
    TRVTableCellData* Cell;
  };

  int Lines() const { return columns_ ? table_.TableColumnCount() : table_.TableRowCount(); }
  int Across() const { return columns_ ? table_.TableRowCount() : table_.TableColumnCount(); }
  std::unique_ptr<TRVTableCellData>& Slot(int line, int across) {
    int row = columns_ ? across : line;
    int column = columns_ ? line : across;
    return table_.rows_[static_cast<std::size_t>(row)].slots_[static_cast<std::size_t>(column)];
  }
  int& SpanAlong(TRVTableCellData& cell) const { return columns_ ? cell.spanColumns_ : cell.spanRows_; }
  int& SpanAcross(TRVTableCellData& cell) const { return columns_ ? cell.spanRows_ : cell.spanColumns_; }
  std::int32_t& Size(TRVTableCellData& cell) const { return columns_ ? cell.BestWidth : cell.BestHeight; }
  // Scales a size by part / whole without overflowing.
  static std::int32_t Scaled(std::int32_t size, int part, int whole) {
    return whole == 0 ? size : static_cast<std::int32_t>(static_cast<std::int64_t>(size) * part / whole);
  }

  std::vector<TOrigin> Origins() {
    std::vector<TOrigin> origins;
    for (int line = 0; line < Lines(); ++line) {
      for (int across = 0; across < Across(); ++across) {
        if (TRVTableCellData* cell = Slot(line, across).get()) origins.push_back({line, across, cell});
      }
    }
    return origins;
  }

  void InsertEmptyLines(int index, int count);
  void EraseLines(int index, int count);
  TRVTableCellData* ModelAt(int line, int across, bool& ownSlot);
  void FillAcross(int index, int count, int across, int width, TRVTableCellData* model, bool divide);

  TRVTableItemInfo& table_;
  bool columns_;
};

void TRVTableGrid::InsertEmptyLines(int index, int count) {
  if (columns_) {
    for (TRVTableRow& row : table_.rows_) {
      std::vector<std::unique_ptr<TRVTableCellData>> blanks(static_cast<std::size_t>(count));
      row.slots_.insert(row.slots_.begin() + index, std::make_move_iterator(blanks.begin()),
                        std::make_move_iterator(blanks.end()));
    }
    return;
  }
  int slots = table_.TableColumnCount();
  std::vector<TRVTableRow> fresh;
  fresh.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) fresh.emplace_back(slots);
  table_.rows_.insert(table_.rows_.begin() + index, std::make_move_iterator(fresh.begin()),
                      std::make_move_iterator(fresh.end()));
}

void TRVTableGrid::EraseLines(int index, int count) {
  for (int line = index; line < index + count; ++line) {
    for (int across = 0; across < Across(); ++across) TRVTableItemInfo::DisposeCell(std::move(Slot(line, across)));
  }
  if (columns_) {
    for (TRVTableRow& row : table_.rows_) row.slots_.erase(row.slots_.begin() + index, row.slots_.begin() + index + count);
  } else {
    table_.rows_.erase(table_.rows_.begin() + index, table_.rows_.begin() + index + count);
  }
}

// The cell whose look new cells copy: the cell in the slot, else the one covering it.
TRVTableCellData* TRVTableGrid::ModelAt(int line, int across, bool& ownSlot) {
  ownSlot = Slot(line, across) != nullptr;
  if (ownSlot) return Slot(line, across).get();
  int originRow = 0;
  int originColumn = 0;
  int row = columns_ ? across : line;
  int column = columns_ ? line : across;
  return table_.FindCellOrigin(row, column, originRow, originColumn);
}

void TRVTableGrid::FillAcross(int index, int count, int across, int width, TRVTableCellData* model, bool divide) {
  std::int32_t size = 0;
  if (model != nullptr && divide) {
    int along = SpanAlong(*model);
    Size(*model) = Scaled(Size(*model), along, count + along);
    size = Scaled(Size(*model), 1, along);
  }
  for (int line = index; line < index + count; ++line) {
    std::unique_ptr<TRVTableCellData> cell = table_.NewCell();
    if (model != nullptr) {
      cell->AssignAppearance(*model);
      SpanAcross(*cell) = width;
      if (divide) Size(*cell) = size;
    }
    Slot(line, across) = std::move(cell);
  }
}

void TRVTableGrid::AddLines(int index, int count, bool divide, int copyFrom) {
  if (index < 0 || index > Lines() || copyFrom < -1 || copyFrom >= Lines()) throw ERichDocError(kInvalidIndex);
  if (count < 1) return;
  // Cells that reach over the insertion point grow; their slots stay empty.
  std::vector<bool> filled(static_cast<std::size_t>(Across()), false);
  for (const TOrigin& origin : Origins()) {
    int& along = SpanAlong(*origin.Cell);
    if (origin.Line >= index || origin.Line + along <= index) continue;
    along += count;
    for (int a = origin.Across; a < origin.Across + SpanAcross(*origin.Cell); ++a) filled[static_cast<std::size_t>(a)] = true;
  }
  InsertEmptyLines(index, count);
  int source = copyFrom >= index ? copyFrom + count : copyFrom;
  for (int across = 0; across < Across();) {
    if (filled[static_cast<std::size_t>(across)]) {
      ++across;
      continue;
    }
    bool ownSlot = false;
    TRVTableCellData* model = source >= 0 ? ModelAt(source, across, ownSlot) : nullptr;
    int width = 1;
    if (model != nullptr && ownSlot) {
      // The new cells take the model's span, as far as free slots go.
      int wanted = SpanAcross(*model);
      while (width < wanted && across + width < Across() && !filled[static_cast<std::size_t>(across + width)]) ++width;
    }
    FillAcross(index, count, across, width, model, divide && ownSlot);
    across += width;
  }
  table_.GridChanged();
}

void TRVTableGrid::RemoveLines(int index, int count, bool decrease) {
  if (Lines() == 0 || Across() == 0) return;
  if (index < 0 || index >= Lines() || count <= 0 || (index == 0 && count > Lines())) {
    throw ERichDocError(kInvalidIndex);
  }
  count = std::min(count, Lines() - index);
  int end = index + count;
  for (const TOrigin& origin : Origins()) {
    int& along = SpanAlong(*origin.Cell);
    int reach = origin.Line + along;
    if (origin.Line >= index && origin.Line < end && reach > end) {
      // Starts in the removed lines and goes on below them: it moves down.
      along = reach - end;
      Slot(end, origin.Across) = std::move(Slot(origin.Line, origin.Across));
    } else if (origin.Line < index && reach > index) {
      int shorter = reach > end ? along - count : index - origin.Line;
      if (decrease) Size(*origin.Cell) = Scaled(Size(*origin.Cell), shorter, along);
      along = shorter;
    }
  }
  EraseLines(index, count);
  table_.RemoveEmptyRows();
  table_.GridChanged();
}

// --- the table's operations ---

void TRVTableItemInfo::AddRows(int index, int count, bool divideHeights, int copyFrom) {
  TRVTableGrid(*this, false).AddLines(index, count, divideHeights, copyFrom);
}

void TRVTableItemInfo::AddColumns(int index, int count, bool divideWidths, int copyFrom) {
  TRVTableGrid(*this, true).AddLines(index, count, divideWidths, copyFrom);
}

void TRVTableItemInfo::RemoveRows(int index, int count, bool decreaseHeights) {
  TRVTableGrid(*this, false).RemoveLines(index, count, decreaseHeights);
}

void TRVTableItemInfo::RemoveColumns(int index, int count, bool decreaseWidths) {
  TRVTableGrid(*this, true).RemoveLines(index, count, decreaseWidths);
}

void TRVTableItemInfo::RemoveEmptyRows() {
  for (int r = TableRowCount() - 1; r >= 0; --r) {
    TRVTableRow& row = rows_[static_cast<std::size_t>(r)];
    bool empty = std::all_of(row.slots_.begin(), row.slots_.end(), [](const auto& slot) { return slot == nullptr; });
    if (!empty) continue;
    std::vector<TRVTableCellData*> covering;
    for (int c = 0; c < row.Count(); ++c) {
      int originRow = 0;
      int originColumn = 0;
      TRVTableCellData* cell = FindCellOrigin(r, c, originRow, originColumn);
      if (cell != nullptr && std::find(covering.begin(), covering.end(), cell) == covering.end()) covering.push_back(cell);
    }
    for (TRVTableCellData* cell : covering) cell->spanRows_ = std::max(cell->spanRows_ - 1, 1);
    rows_.erase(rows_.begin() + r);
  }
  GridChanged();
}

namespace {

// Whether some cell starts in the row (column) outside the merged span.
bool CellStartsOutside(const TRVTableItemInfo& table, bool columns, int line, int from, int to) {
  int across = columns ? table.TableRowCount() : table.TableColumnCount();
  for (int a = 0; a < across; ++a) {
    if (a >= from && a < to) continue;
    if ((columns ? table.CellAt(a, line) : table.CellAt(line, a)) != nullptr) return true;
  }
  return false;
}

}  // namespace

void TRVTableItemInfo::JoinCells(int row, int column, int rowSpan, int columnSpan, bool strict) {
  CellAt(row, column);  // checks the slot
  if (rowSpan <= 0 || columnSpan <= 0) throw ERichDocError(kInvalidMerge);
  rowSpan = std::min(rowSpan, TableRowCount() - row);
  columnSpan = std::min(columnSpan, TableColumnCount() - column);
  if (rowSpan <= 1 && columnSpan <= 1) return;
  TRVTableCellData* top = CellAt(row, column);
  if (top == nullptr || (top->spanRows_ >= rowSpan && top->spanColumns_ >= columnSpan)) return;

  std::vector<TRVTableCellData*> merged;
  for (int r = row; r < row + rowSpan; ++r) {
    for (int c = column; c < column + columnSpan; ++c) {
      int originRow = 0;
      int originColumn = 0;
      TRVTableCellData* cell = FindCellOrigin(r, c, originRow, originColumn);
      bool inside = cell != nullptr && originRow >= row && originColumn >= column &&
                    originRow + cell->spanRows_ <= row + rowSpan &&
                    originColumn + cell->spanColumns_ <= column + columnSpan;
      if (!inside) return;
      if (originRow == r && originColumn == c) merged.push_back(cell);
    }
  }
  if (merged.size() <= 1) return;
  if (strict) {
    for (int r = row + 1; r < row + rowSpan; ++r) {
      if (!CellStartsOutside(*this, false, r, column, column + columnSpan)) return;
    }
    for (int c = column + 1; c < column + columnSpan; ++c) {
      if (!CellStartsOutside(*this, true, c, row, row + rowSpan)) return;
    }
  }

  top->spanRows_ = rowSpan;
  top->spanColumns_ = columnSpan;
  for (int r = row; r < row + rowSpan; ++r) {
    for (int c = column; c < column + columnSpan; ++c) {
      if (r == row && c == column) continue;
      std::unique_ptr<TRVTableCellData>& slot = rows_[static_cast<std::size_t>(r)].slots_[static_cast<std::size_t>(c)];
      if (slot == nullptr) continue;
      std::unique_ptr<TRVTableCellData> other = std::move(slot);
      top->MoveItemsFrom(*other);
      DisposeCell(std::move(other));
    }
  }
  GridChanged();
}

}  // namespace varnolt
