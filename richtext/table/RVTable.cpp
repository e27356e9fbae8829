#include "richtext/table/RVTable.h"

#include <algorithm>

#include "richtext/style/RVStyle.h"

namespace varnolt {

// An office document holds thousands of one-row tables.
static_assert(sizeof(void*) != 8 || sizeof(TRVTableItemInfo) <= 248, "keep a table's rare properties in TRVTableExtras");

TRVTableItemInfo::TRVTableItemInfo() : TRVNonTextItemInfo(ItemKindTable) {}

TRVTableItemInfo::~TRVTableItemInfo() = default;

TRVTableItemInfo::TRVTableItemInfo(const TRVTableItemInfo& source)
    : TRVNonTextItemInfo(source), styleHint_(source.styleHint_) {
  AssignProperties(source);
  SetBackgroundImage(source.BackgroundImage() ? source.BackgroundImage()->Clone() : nullptr);
  rows_.reserve(source.rows_.size());
  for (const TRVTableRow& sourceRow : source.rows_) {
    TRVTableRow& row = rows_.emplace_back(sourceRow.Count());
    row.VAlign = sourceRow.VAlign;
    row.PageBreakBefore = sourceRow.PageBreakBefore;
    for (int c = 0; c < sourceRow.Count(); ++c) {
      const TRVTableCellData* sourceCell = sourceRow.slots_[static_cast<std::size_t>(c)].get();
      if (sourceCell == nullptr) continue;
      auto cell = std::make_unique<TRVTableCellData>(this);
      cell->AssignAppearance(*sourceCell);
      cell->BestWidth = sourceCell->BestWidth;
      cell->BestHeight = sourceCell->BestHeight;
      cell->spanColumns_ = sourceCell->spanColumns_;
      cell->spanRows_ = sourceCell->spanRows_;
      CopyDocumentItems(*sourceCell, *cell);
      row.slots_[static_cast<std::size_t>(c)] = std::move(cell);
    }
  }
}

std::unique_ptr<TCustomRVItemInfo> TRVTableItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVTableItemInfo(*this));
}

std::unique_ptr<TRVTableItemInfo> TRVTableItemInfo::CreateTable(int rows, int columns, TCustomRVData* owner) {
  if (rows < 0 || columns < 0) throw ERichDocError("Invalid row or column index");
  auto table = std::make_unique<TRVTableItemInfo>();
  table->styleHint_ = owner != nullptr ? owner->GetRVStyle() : nullptr;
  table->ResetGrid(rows, columns);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) table->PlaceCell(r, c, 1, 1, table->NewCell());
  }
  return table;
}

void TRVTableItemInfo::AssignProperties(const TRVTableItemInfo& source) {
  Options = source.Options;
  PrintOptions = source.PrintOptions;
  BestWidth = source.BestWidth;
  Color = source.Color;
  SetBackgroundStyle(source.BackgroundStyle());
  HeadingRowCount = source.HeadingRowCount;
  SetTextRowSeparator(source.TextRowSeparator());
  SetTextColSeparator(source.TextColSeparator());
  BorderWidth = source.BorderWidth;
  BorderColor = source.BorderColor;
  BorderLightColor = source.BorderLightColor;
  BorderStyle = source.BorderStyle;
  BorderVSpacing = source.BorderVSpacing;
  BorderHSpacing = source.BorderHSpacing;
  VisibleBorders = source.VisibleBorders;
  CellBorderWidth = source.CellBorderWidth;
  CellBorderColor = source.CellBorderColor;
  CellBorderLightColor = source.CellBorderLightColor;
  CellBorderStyle = source.CellBorderStyle;
  CellHPadding = source.CellHPadding;
  CellVPadding = source.CellVPadding;
  CellVSpacing = source.CellVSpacing;
  CellHSpacing = source.CellHSpacing;
  VRuleWidth = source.VRuleWidth;
  VRuleColor = source.VRuleColor;
  HRuleWidth = source.HRuleWidth;
  HRuleColor = source.HRuleColor;
  VOutermostRule = source.VOutermostRule;
  HOutermostRule = source.HOutermostRule;
}

// --- the grid ---

const TRVTableRow& TRVTableItemInfo::Row(int row) const {
  if (row < 0 || row >= TableRowCount()) throw ERichDocError("Invalid row or column index");
  return rows_[static_cast<std::size_t>(row)];
}

TRVTableRow& TRVTableItemInfo::Row(int row) {
  if (row < 0 || row >= TableRowCount()) throw ERichDocError("Invalid row or column index");
  return rows_[static_cast<std::size_t>(row)];
}

TRVTableCellData* TRVTableItemInfo::CellAt(int row, int column) const { return Row(row).Cell(column); }

TRVTableCellData* TRVTableItemInfo::FindCellOrigin(int row, int column, int& originRow, int& originColumn) const {
  CellAt(row, column);  // checks the slot
  for (int r = row; r >= 0; --r) {
    const TRVTableRow& current = rows_[static_cast<std::size_t>(r)];
    int c = std::min(column, current.Count() - 1);
    while (c > 0 && current.slots_[static_cast<std::size_t>(c)] == nullptr) --c;
    TRVTableCellData* cell = c >= 0 ? current.slots_[static_cast<std::size_t>(c)].get() : nullptr;
    if (cell != nullptr && column - c < cell->spanColumns_ && row - r < cell->spanRows_) {
      originRow = r;
      originColumn = c;
      return cell;
    }
  }
  return nullptr;
}

TCustomRVData* TRVTableItemInfo::CellParent() const {
  for (const TRVTableRow& row : rows_) {
    for (const auto& cell : row.slots_) {
      if (cell != nullptr) return cell->ParentData();
    }
  }
  return nullptr;
}

std::unique_ptr<TRVTableCellData> TRVTableItemInfo::NewCell() const {
  auto cell = std::make_unique<TRVTableCellData>(const_cast<TRVTableItemInfo*>(this));
  TCustomRVData* parent = CellParent();
  const TRVStyle* style = parent != nullptr ? parent->GetRVStyle() : styleHint_;
  auto empty = std::make_unique<TRVTextItemInfo>(0);
  empty->SetUnicodeText(style == nullptr || style->TextStyleAt(0).Unicode);
  cell->InsertItemAt(0, {}, std::move(empty));
  if (parent != nullptr) cell->SetParent(parent, const_cast<TRVTableItemInfo*>(this));
  return cell;
}

void TRVTableItemInfo::DisposeCell(std::unique_ptr<TRVTableCellData> cell) {
  // The numbering lists of the outermost document point at the cell's items.
  if (cell != nullptr && cell->ParentData() != nullptr) cell->ClearItems();
}

void TRVTableItemInfo::ResetGrid(int rows, int columns) {
  for (TRVTableRow& row : rows_) {
    for (auto& slot : row.slots_) DisposeCell(std::move(slot));
  }
  rows_.clear();
  rows_.reserve(static_cast<std::size_t>(std::max(rows, 0)));
  for (int r = 0; r < rows; ++r) rows_.emplace_back(std::max(columns, 0));
  GridChanged();
}

void TRVTableItemInfo::PlaceCell(int row, int column, int spanRows, int spanColumns,
                                 std::unique_ptr<TRVTableCellData> cell) {
  TRVTableRow& target = Row(row);
  target.Cell(column);  // checks the column
  cell->table_ = this;
  cell->spanRows_ = spanRows;
  cell->spanColumns_ = spanColumns;
  DisposeCell(std::move(target.slots_[static_cast<std::size_t>(column)]));
  target.slots_[static_cast<std::size_t>(column)] = std::move(cell);
  GridChanged();
}

void TRVTableItemInfo::GridChanged() {
  cellOrderValid_ = false;
  selection_ = {};
}

const std::vector<TRVTableCellData*>& TRVTableItemInfo::CellOrder() const {
  if (!cellOrderValid_) {
    cellOrder_.clear();
    for (const TRVTableRow& row : rows_) {
      for (const auto& cell : row.slots_) {
        if (cell != nullptr) cellOrder_.push_back(cell.get());
      }
    }
    cellOrderValid_ = true;
  }
  return cellOrder_;
}

int TRVTableItemInfo::SubDocumentCount() const { return static_cast<int>(CellOrder().size()); }

TCustomRVData* TRVTableItemInfo::SubDocument(int index) const {
  const auto& cells = CellOrder();
  if (index < 0 || index >= static_cast<int>(cells.size())) return nullptr;
  return cells[static_cast<std::size_t>(index)];
}

// --- cell selection ---

TRVCellRange TRVTableItemInfo::CoveringRange(TRVCellRange range) const {
  int rows = TableRowCount();
  int columns = TableColumnCount();
  range.Row = std::clamp(range.Row, 0, rows);
  range.Column = std::clamp(range.Column, 0, columns);
  range.RowCount = std::clamp(range.RowCount, 0, rows - range.Row);
  range.ColumnCount = std::clamp(range.ColumnCount, 0, columns - range.Column);
  bool grown = range.RowCount > 0 && range.ColumnCount > 0;
  while (grown) {
    grown = false;
    int top = range.Row;
    int left = range.Column;
    int bottom = range.Row + range.RowCount;
    int right = range.Column + range.ColumnCount;
    for (int r = top; r < bottom; ++r) {
      for (int c = left; c < right; ++c) {
        int originRow = 0;
        int originColumn = 0;
        const TRVTableCellData* cell = FindCellOrigin(r, c, originRow, originColumn);
        if (cell == nullptr) continue;
        top = std::min(top, originRow);
        left = std::min(left, originColumn);
        bottom = std::max(bottom, originRow + cell->spanRows_);
        right = std::max(right, originColumn + cell->spanColumns_);
      }
    }
    TRVCellRange widened{top, left, bottom - top, right - left};
    grown = !(widened == range);
    range = widened;
  }
  return range;
}

void TRVTableItemInfo::SelectCells(int row, int column, int rowCount, int columnCount) {
  selection_ = CoveringRange({row, column, rowCount, columnCount});
}

bool TRVTableItemInfo::GetCellSelection(TRVCellRange& range) const {
  if (selection_.RowCount <= 0 || selection_.ColumnCount <= 0) return false;
  range = selection_;
  return true;
}

// --- plain text ---

void TRVTableItemInfo::WriteCellsText(TRVTextOutput& out, const TRVCellRange& range) const {
  for (int r = range.Row; r < range.Row + range.RowCount; ++r) {
    const TRVTableRow& row = rows_[static_cast<std::size_t>(r)];
    for (int c = range.Column; c < range.Column + range.ColumnCount; ++c) {
      if (const TRVTableCellData* cell = row.slots_[static_cast<std::size_t>(c)].get()) {
        std::string text;
        if (!cell->ExtractText({}, text, out.LineWidth(), false, out.TextOnly(), out.Unicode(), false)) {
          throw ERichDocError("Cannot extract the text of a table cell");
        }
        out.WriteBytes(text);
      }
      if (c + 1 < range.Column + range.ColumnCount) out.WriteUnicode(TextColSeparator());
    }
    out.WriteUnicode(TextRowSeparator());
  }
}

void TRVTableItemInfo::WritePlainText(TRVTextOutput& out) const {
  WriteCellsText(out, {0, 0, TableRowCount(), TableColumnCount()});
}

bool TRVTableItemInfo::WriteSelectedText(TRVTextOutput& out) const {
  TRVCellRange range;
  if (!GetCellSelection(range)) return false;
  WriteCellsText(out, range);
  return true;
}

}  // namespace varnolt
