// Tables. The content of the row being read goes into scratch cells; at the
// row's end its cells are laid on the table's column boundaries (twips,
// sorted, one list for the whole table), new boundaries splitting columns
// when a row does not line up with the earlier ones. The grid is built when
// the table ends.
#include <algorithm>
#include <cmath>

#include "richtext/rtf/import/RVRTFImport.h"
#include "richtext/rtf/reader/RVRTFReaderInternal.h"
#include "richtext/table/RVTable.h"

namespace varnolt {

namespace {

// Column boundaries closer than this are one boundary.
constexpr std::int64_t kBoundaryTolerance = 1;
// Width given to a cell whose right boundary is missing or not to the right
// of its left one.
constexpr std::int64_t kDefaultCellWidthTwips = 1440;
// A table grows to at most this many columns and slots; a row that would go
// past the slots starts a new table.
constexpr int kMaxRTFTableColumns = 1024;
constexpr std::int64_t kMaxRTFTableSlots = std::int64_t{1} << 20;

bool IsEmptyDocument(const TCustomRVData& data) {
  if (data.CountItems() == 0) return true;
  if (data.CountItems() > 1) return false;
  const TCustomRVItemInfo& item = data.ItemAt(0);
  return item.IsText() && item.ItemText.empty() && !item.Checkpoint();
}

// Items of source go to the end of target, each paragraph as it was.
void AppendDocument(TCustomRVData& target, TCustomRVData& source) {
  if (IsEmptyDocument(source)) return;
  source.DropNumberingLists();
  target.MoveItemsFrom(source);
}

TColor SideColor(const TRVRTFParaBorder& border, int first, int second) {
  for (int side : {first, second}) {
    const TRVRTFBorderSide* found = border.FindSide(side);
    if (found != nullptr && found->color != kRVRTFNoColor) return found->color;
  }
  return kRVColorNone;
}

bool HasKind(const TRVRTFParaBorder& border, int side) {
  const TRVRTFBorderSide* found = border.FindSide(side);
  return found != nullptr && found->kind != 0;
}

TRVBooleanRect VisibleSides(const TRVRTFParaBorder& border) {
  return {HasKind(border, kRtfSideLeft), HasKind(border, kRtfSideTop), HasKind(border, kRtfSideRight),
          HasKind(border, kRtfSideBottom)};
}

TRVCellVAlign CellVAlignOf(std::uint8_t alignment) {
  switch (alignment) {
    case 1: return rvcBottom;
    case 2: return rvcMiddle;
    default: return rvcTop;
  }
}

TRVAlignment TableAlignmentOf(std::uint8_t alignment) {
  switch (alignment) {
    case 1: return rvaRight;
    case 2: return rvaCenter;
    default: return rvaLeft;
  }
}

struct TRVSum {
  double Sum = 0;
  int Count = 0;
  void Add(double value) {
    Sum += value;
    ++Count;
  }
  double Average() const { return Count > 0 ? Sum / Count : 0; }
};

}  // namespace

// A cell laid on the boundaries: its edges are boundary values.
struct TRVRTFGridCell {
  std::unique_ptr<TCustomRVData> Content;
  int Row = 0;
  int RowSpan = 1;
  std::int64_t Left = 0;
  std::int64_t Right = 0;
  TColor Color = kRVColorNone;
  TColor BorderColor = kRVColorNone;
  TColor BorderLightColor = kRVColorNone;
  TRVHTMLLength BestWidth = 0;
  std::int32_t BestHeight = 0;
  TRVBooleanRect VisibleBorders;
  TRVCellVAlign VAlign = rvcVDefault;
};

class TRVRTFTableBuilder {
 public:
  explicit TRVRTFTableBuilder(TRVRTFImporter& importer) : importer_(importer) { ScratchCell(0); }

  bool RowComplete = false;
  bool LastRow = false;
  bool PageBreak = false;

  TCustomRVData& ScratchCell(int column) {
    while (static_cast<int>(scratch_.size()) <= column) scratch_.push_back(NewScratch());
    return *scratch_[static_cast<std::size_t>(column)];
  }
  bool IsScratch(const TCustomRVData* data) const {
    return std::any_of(scratch_.begin(), scratch_.end(), [data](const auto& cell) { return cell.get() == data; });
  }
  std::vector<std::unique_ptr<TCustomRVData>> TakeScratch() {
    std::vector<std::unique_ptr<TCustomRVData>> taken = std::move(scratch_);
    scratch_.clear();
    ScratchCell(0);
    return taken;
  }
  void PutScratch(std::vector<std::unique_ptr<TCustomRVData>> scratch) {
    if (!scratch.empty()) scratch_ = std::move(scratch);
  }
  // Whether a row of `cells` cells would take the table past its slots.
  bool WouldOverflow(int cells) const {
    const std::int64_t columns = std::max<std::int64_t>(ColumnCount(), cells);
    return rowCount_ > 0 && (rowCount_ + 1) * columns > kMaxRTFTableSlots;
  }

  void MergeRow(const TRVRTFRowProperties& row, int cellsEnded);
  std::unique_ptr<TRVTableItemInfo> Finish(TRVAlignment& alignment);

 private:
  std::unique_ptr<TCustomRVData> NewScratch() const {
    auto cell = std::make_unique<TCustomRVData>();
    cell->SetRVStyle(&importer_.Style());
    return cell;
  }
  int ColumnCount() const { return boundaries_.empty() ? 0 : static_cast<int>(boundaries_.size()) - 1; }
  std::int64_t Snap(std::int64_t value);
  std::int64_t LeftEdge(std::int64_t value);
  std::optional<std::int64_t> RightEdge(std::int64_t value, std::int64_t left);
  TRVRTFGridCell* CellAbove(int row, std::int64_t left);
  void ApplyRowProperties(const TRVRTFRowProperties& row);
  void ApplyCellProperties(TRVRTFGridCell& cell, const TRVRTFCellProperties& rtf, const TRVRTFRowProperties& row);
  int ColumnOf(std::int64_t boundary) const;
  void FinishProperties(TRVTableItemInfo& table, int rows);

  TRVRTFImporter& importer_;
  std::vector<std::unique_ptr<TCustomRVData>> scratch_;
  std::vector<std::int64_t> boundaries_;
  std::vector<std::unique_ptr<TRVRTFGridCell>> cells_;
  // The cells each row holds or is covered by, left to right.
  std::vector<std::vector<TRVRTFGridCell*>> rowCells_;
  int rowCount_ = 0;

  // What the rows said about the whole table.
  std::uint8_t alignment_ = 0;
  bool allRowsAligned_ = true;
  std::int32_t headingRows_ = 0;
  TRVBooleanRect visibleBorders_;
  TColor borderColor_ = kRVColorWindowText;
  TColor borderLightColor_ = kRVColorWindowText;
  bool cellColorsUniform_ = true;
  bool cellWidthsGiven_ = false;
  bool engineWidth_ = false;
  std::int32_t bestWidth_ = 0;
  bool sawPositiveWidth_ = false;
  bool hSpacingUsed_ = false;
  bool vSpacingUsed_ = false;
  double firstTopSpacing_ = 0;
  double topSpacingSum_ = 0;
  double bottomSpacingSum_ = 0;
  double hSpacingSum_ = 0;
  TRVSum horizontalPadding_;
  TRVSum verticalPadding_;
  TRVSum rowBorders_;
  TRVSum cellBorders_;
};

// --- boundaries ---

std::int64_t TRVRTFTableBuilder::Snap(std::int64_t value) {
  auto at = std::lower_bound(boundaries_.begin(), boundaries_.end(), value - kBoundaryTolerance);
  if (at != boundaries_.end() && *at <= value + kBoundaryTolerance) return *at;
  if (ColumnCount() >= kMaxRTFTableColumns && !boundaries_.empty()) {
    // No more columns: the nearest boundary stands in.
    if (at == boundaries_.end()) return boundaries_.back();
    if (at == boundaries_.begin()) return *at;
    return value - *(at - 1) <= *at - value ? *(at - 1) : *at;
  }
  boundaries_.insert(at, value);
  return value;
}

// A row that starts elsewhere than the others splits a column there, like
// any other boundary of its own.
std::int64_t TRVRTFTableBuilder::LeftEdge(std::int64_t value) {
  if (boundaries_.empty()) {
    boundaries_.push_back(value);
    return value;
  }
  return Snap(value);
}

std::optional<std::int64_t> TRVRTFTableBuilder::RightEdge(std::int64_t value, std::int64_t left) {
  if (value > left + kBoundaryTolerance) {
    const std::int64_t right = Snap(value);
    if (right > left) return right;
  }
  // A missing or backward boundary: the next column, or a new one.
  auto next = std::upper_bound(boundaries_.begin(), boundaries_.end(), left);
  if (next != boundaries_.end()) return *next;
  if (ColumnCount() >= kMaxRTFTableColumns) return std::nullopt;
  boundaries_.push_back(left + kDefaultCellWidthTwips);
  return boundaries_.back();
}

int TRVRTFTableBuilder::ColumnOf(std::int64_t boundary) const {
  return static_cast<int>(std::lower_bound(boundaries_.begin(), boundaries_.end(), boundary) - boundaries_.begin());
}

TRVRTFGridCell* TRVRTFTableBuilder::CellAbove(int row, std::int64_t left) {
  if (row <= 0) return nullptr;
  for (TRVRTFGridCell* cell : rowCells_[static_cast<std::size_t>(row - 1)]) {
    if (cell->Left <= left && left < cell->Right && cell->Row + cell->RowSpan == row) return cell;
  }
  return nullptr;
}

// --- rows ---

void TRVRTFTableBuilder::ApplyRowProperties(const TRVRTFRowProperties& row) {
  const bool first = rowCount_ == 1;
  if (first) {
    alignment_ = row.alignment;
  } else if (!row.alignmentGiven || row.alignment != alignment_) {
    allRowsAligned_ = false;
  }
  if (row.headingRow) headingRows_ = rowCount_;
  if (first) {
    visibleBorders_.Top = HasKind(row.border, kRtfSideTop);
    visibleBorders_.Left = HasKind(row.border, kRtfSideLeft);
    visibleBorders_.Right = HasKind(row.border, kRtfSideRight);
  }
  visibleBorders_.Bottom = HasKind(row.border, kRtfSideBottom);
  if (row.useSpacing[kRtfSideLeft] || row.useSpacing[kRtfSideRight]) hSpacingUsed_ = true;
  if (row.useSpacing[kRtfSideTop] || row.useSpacing[kRtfSideBottom]) vSpacingUsed_ = true;
  const double top = row.useSpacing[kRtfSideTop] ? row.spacing[kRtfSideTop] : 0;
  (first ? firstTopSpacing_ : topSpacingSum_) += top;
  if (row.useSpacing[kRtfSideBottom]) bottomSpacingSum_ += row.spacing[kRtfSideBottom];
  for (int side : {kRtfSideLeft, kRtfSideRight}) {
    if (row.useSpacing[static_cast<std::size_t>(side)]) hSpacingSum_ += row.spacing[static_cast<std::size_t>(side)];
    if (row.usePadding[static_cast<std::size_t>(side)]) {
      horizontalPadding_.Add(row.padding[static_cast<std::size_t>(side)]);
    } else if (row.gap > 0) {
      // Writers that give no padding keep cell text apart by the gap alone.
      horizontalPadding_.Add(row.gap);
    }
  }
  for (int side : {kRtfSideTop, kRtfSideBottom}) {
    if (row.usePadding[static_cast<std::size_t>(side)]) verticalPadding_.Add(row.padding[static_cast<std::size_t>(side)]);
  }
  for (int side = 0; side < 4; ++side) {
    const TRVRTFBorderSide* border = row.border.FindSide(side);
    if (border != nullptr && border->kind != 0) rowBorders_.Add(border->width);
  }
  if (row.engineExtension) {
    engineWidth_ = true;
    bestWidth_ = row.preferredWidth;
  } else if (!engineWidth_) {
    if (row.preferredWidth > 0 && (!sawPositiveWidth_ || row.preferredWidth > bestWidth_)) {
      bestWidth_ = row.preferredWidth;
      sawPositiveWidth_ = true;
    } else if (!sawPositiveWidth_ && row.preferredWidth < bestWidth_) {
      bestWidth_ = row.preferredWidth;
    }
  }
  if (const TColor light = SideColor(row.border, kRtfSideLeft, kRtfSideTop); light != kRVColorNone) {
    borderLightColor_ = light;
  }
  if (const TColor dark = SideColor(row.border, kRtfSideRight, kRtfSideBottom); dark != kRVColorNone) {
    borderColor_ = dark;
  }
}

void TRVRTFTableBuilder::ApplyCellProperties(TRVRTFGridCell& cell, const TRVRTFCellProperties& rtf,
                                             const TRVRTFRowProperties& row) {
  cell.Color = rtf.backColor;
  if (row.engineExtension) {
    cell.BestHeight = rtf.preferredHeight;
  } else if (row.height > 0) {
    cell.BestHeight = importer_.ToPixels(row.height);
  }
  cell.VisibleBorders = VisibleSides(rtf.border);
  for (int side = 0; side < 4; ++side) {
    const TRVRTFBorderSide* border = rtf.border.FindSide(side);
    if (border != nullptr && border->kind != 0) cellBorders_.Add(border->width);
  }
  cell.BorderLightColor = SideColor(rtf.border, kRtfSideLeft, kRtfSideTop);
  cell.BorderColor = SideColor(rtf.border, kRtfSideRight, kRtfSideBottom);
  if (cell.BorderLightColor != kRVColorNone && cell.BorderColor != kRVColorNone &&
      cell.BorderLightColor != cell.BorderColor) {
    cellColorsUniform_ = false;
  }
  if (rtf.preferredWidth != 0) cellWidthsGiven_ = true;
  if (row.engineExtension) {
    cell.BestWidth = rtf.preferredWidth;
  } else if (cellWidthsGiven_) {
    cell.BestWidth = rtf.preferredWidth <= 0 ? rtf.preferredWidth / 50 : importer_.ToPixels(rtf.preferredWidth);
  } else {
    cell.BestWidth = importer_.ToPixels(static_cast<double>(cell.Right - cell.Left));
  }
  cell.VAlign = CellVAlignOf(rtf.verticalAlignment);
}

void TRVRTFTableBuilder::MergeRow(const TRVRTFRowProperties& row, int cellsEnded) {
  // Text after the last cell of the row joins that cell.
  if (cellsEnded > 0 && static_cast<int>(scratch_.size()) > cellsEnded) {
    AppendDocument(*scratch_[static_cast<std::size_t>(cellsEnded - 1)], *scratch_[static_cast<std::size_t>(cellsEnded)]);
  }
  const int cells = std::max(cellsEnded, 1);
  if (cellsEnded == 0 && IsEmptyDocument(ScratchCell(0))) return;
  const int rowIndex = rowCount_++;
  rowCells_.emplace_back();
  ApplyRowProperties(row);
  std::int64_t left = LeftEdge(row.left);
  TRVRTFGridCell* previous = nullptr;
  const TRVRTFCellProperties defaults;
  for (int i = 0; i < cells; ++i) {
    const TRVRTFCellProperties& rtf =
        static_cast<std::size_t>(i) < row.cells.size() ? row.cells[static_cast<std::size_t>(i)] : defaults;
    TCustomRVData& content = ScratchCell(i);
    const std::optional<std::int64_t> right = RightEdge(rtf.rightBoundary, left);
    if (!right || (rtf.horizontalMerge == 2 && previous != nullptr)) {
      // Merged into the cell before (or no room for a column of its own).
      if (previous != nullptr) {
        if (right) previous->Right = std::max(previous->Right, *right);
        AppendDocument(*previous->Content, content);
      }
      if (right) left = *right;
      continue;
    }
    if (rtf.verticalMerge == 2) {
      if (TRVRTFGridCell* above = CellAbove(rowIndex, left)) {
        ++above->RowSpan;
        AppendDocument(*above->Content, content);
        rowCells_.back().push_back(above);
        previous = nullptr;
        left = std::max(*right, above->Right);
        continue;
      }
    }
    auto cell = std::make_unique<TRVRTFGridCell>();
    cell->Row = rowIndex;
    cell->Left = left;
    cell->Right = *right;
    cell->Content = std::move(scratch_[static_cast<std::size_t>(i)]);
    scratch_[static_cast<std::size_t>(i)] = NewScratch();
    ApplyCellProperties(*cell, rtf, row);
    previous = cell.get();
    rowCells_.back().push_back(cell.get());
    cells_.push_back(std::move(cell));
    left = *right;
  }
  scratch_.clear();
  ScratchCell(0);
}

// --- the grid ---

namespace {

void PutEmptyParagraph(TCustomRVData& cell, const TRVStyle& style) {
  auto empty = std::make_unique<TRVTextItemInfo>(0);
  empty->SetUnicodeText(style.TextStyleAt(0).Unicode);
  cell.InsertItemAt(0, {}, std::move(empty));
}

}  // namespace

std::unique_ptr<TRVTableItemInfo> TRVRTFTableBuilder::Finish(TRVAlignment& alignment) {
  const int rows = rowCount_;
  const int columns = ColumnCount();
  alignment = allRowsAligned_ ? TableAlignmentOf(alignment_) : rvaLeft;
  if (rows < 1 || columns < 1) return nullptr;
  auto table = std::make_unique<TRVTableItemInfo>();
  table->ResetGrid(rows, columns);
  // Which placed cell holds each slot, -1 for none yet.
  std::vector<int> owner(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns), -1);
  auto at = [&](int r, int c) -> int& {
    return owner[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(c)];
  };
  auto slot = [&](int r, int c) { return at(r, c) >= 0; };
  std::vector<std::pair<TRVRTFGridCell*, TRVTableCellData*>> placed;
  const TRVStyle& style = importer_.Style();
  for (auto& built : cells_) {
    const int row = built->Row;
    const int first = std::min(ColumnOf(built->Left), columns - 1);
    int last = std::min(ColumnOf(built->Right), columns);
    if (slot(row, first) || last <= first) {
      // A cell that has lost its place gives its content to the one there.
      int holder = at(row, first);
      for (int c = columns - 1; holder < 0 && c >= 0; --c) holder = at(row, c);
      if (holder >= 0) AppendDocument(*placed[static_cast<std::size_t>(holder)].first->Content, *built->Content);
      continue;
    }
    for (int c = first + 1; c < last; ++c) {
      if (slot(row, c)) {
        last = c;
        break;
      }
    }
    int span = 1;
    while (span < built->RowSpan && row + span < rows) {
      bool free = true;
      for (int c = first; c < last && free; ++c) free = !slot(row + span, c);
      if (!free) break;
      ++span;
    }
    for (int r = row; r < row + span; ++r) {
      for (int c = first; c < last; ++c) at(r, c) = static_cast<int>(placed.size());
    }
    auto cell = std::make_unique<TRVTableCellData>(table.get());
    cell->Color = built->Color;
    cell->BorderColor = built->BorderColor;
    cell->BorderLightColor = built->BorderLightColor;
    cell->BestWidth = built->BestWidth;
    cell->BestHeight = built->BestHeight;
    cell->VisibleBorders = built->VisibleBorders;
    cell->VAlign = built->VAlign;
    placed.emplace_back(built.get(), cell.get());
    table->PlaceCell(row, first, span, last - first, std::move(cell));
  }
  // Contents go in once every cell has taken what others handed over.
  for (auto& [built, cell] : placed) {
    built->Content->DropNumberingLists();
    cell->InsertItemsAt(0, built->Content->ExtractItems(0, built->Content->CountItems()));
    if (cell->CountItems() == 0) PutEmptyParagraph(*cell, style);
  }
  // Slots no row reached stay empty, without borders.
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns;) {
      if (slot(r, c)) {
        ++c;
        continue;
      }
      int end = c + 1;
      while (end < columns && !slot(r, end)) ++end;
      auto filler = std::make_unique<TRVTableCellData>(table.get());
      filler->VisibleBorders = TRVBooleanRect{false, false, false, false};
      PutEmptyParagraph(*filler, style);
      table->PlaceCell(r, c, 1, end - c, std::move(filler));
      c = end;
    }
  }
  FinishProperties(*table, rows);
  return table;
}

void TRVRTFTableBuilder::FinishProperties(TRVTableItemInfo& table, int rows) {
  const TRVRTFReaderProperties& props = importer_.Props();
  auto px = [this](double twips) { return importer_.ToPixels(twips); };
  table.Color = kRVColorNone;
  table.BorderStyle = rvtbRaisedColor;
  table.CellBorderStyle = rvtbLoweredColor;
  table.BorderColor = borderColor_;
  table.BorderLightColor = borderLightColor_;
  table.CellBorderColor = kRVColorWindowText;
  table.CellBorderLightColor = kRVColorWindowText;
  table.HeadingRowCount = headingRows_;
  table.VisibleBorders = visibleBorders_;
  if (cellColorsUniform_) table.CellBorderStyle = rvtbColor;
  if (table.BorderColor == table.BorderLightColor) table.BorderStyle = rvtbColor;
  if (props.UseSingleCellPadding) {
    const int count = horizontalPadding_.Count + verticalPadding_.Count;
    table.SetCellPadding(count > 0 ? px((horizontalPadding_.Sum + verticalPadding_.Sum) / count) : 0);
  } else {
    table.CellHPadding = px(horizontalPadding_.Average());
    table.CellVPadding = px(verticalPadding_.Average());
  }
  if (!engineWidth_ && table.CellHPadding > 0) {
    for (int i = 0; i < table.SubDocumentCount(); ++i) {
      auto* cell = static_cast<TRVTableCellData*>(table.SubDocument(i));
      if (cell->BestWidth > 2 * table.CellHPadding) cell->BestWidth -= 2 * table.CellHPadding;
    }
  }
  if (vSpacingUsed_) {
    table.CellVSpacing = rows > 1 ? px(topSpacingSum_ / (rows - 1)) : 0;
    table.BorderVSpacing = px(firstTopSpacing_ + bottomSpacingSum_);
  } else {
    table.CellVSpacing = -1;
    table.BorderVSpacing = -1;
  }
  table.CellHSpacing = hSpacingUsed_ ? px(hSpacingSum_ / rows) : -1;
  table.BorderHSpacing = table.CellHSpacing;
  if (engineWidth_) {
    table.BestWidth = bestWidth_;
  } else if (bestWidth_ > 0) {
    table.BestWidth = px(bestWidth_ - rowBorders_.Average());
  } else {
    table.BestWidth = bestWidth_ / 50;
  }
  auto borderWidth = [&](const TRVSum& sum) {
    std::int32_t width = px(sum.Average());
    if (width < 1 && sum.Average() > 4) width = 1;
    return width;
  };
  table.CellBorderWidth = borderWidth(cellBorders_);
  table.BorderWidth = borderWidth(rowBorders_);
  if (!hSpacingUsed_ && !vSpacingUsed_ && table.BorderWidth == table.CellBorderWidth) {
    table.BorderWidth = 0;
    table.BorderHSpacing = 0;
    table.BorderVSpacing = 0;
  }
  if (props.AutoHideTableGridLines) table.Options.Include(rvtoHideGridLines);
}

// --- the import's side ---

TRVRTFSubData::TRVRTFSubData() = default;
TRVRTFSubData::TRVRTFSubData(TRVRTFSubData&&) noexcept = default;
TRVRTFSubData& TRVRTFSubData::operator=(TRVRTFSubData&&) noexcept = default;
TRVRTFSubData::~TRVRTFSubData() = default;

TRVRTFTableBuilder* TRVRTFImporter::CurrentTable() {
  return !subData_.empty() ? subData_.back().Table.get() : nullptr;
}

void TRVRTFImporter::NoteItemInCell() {
  TRVRTFTableBuilder* table = CurrentTable();
  if (table != nullptr && table->IsScratch(target_)) table->RowComplete = false;
}

void TRVRTFImporter::Table(TRVRTFTableEventKind kind, bool& processed) {
  switch (kind) {
    case rvf_tbl_TableStart: TableStart(); break;
    case rvf_tbl_CellEnd: TableCellEnd(); break;
    case rvf_tbl_RowEnd: TableRowEnd(); break;
    case rvf_tbl_TableEnd: processed = TableEnd(false); break;
    case rvf_tbl_TableForcedEnd:
      TableEnd(true);
      processed = true;
      break;
  }
}

void TRVRTFImporter::TableStart() {
  auto builder = std::make_unique<TRVRTFTableBuilder>(*this);
  if (pageBreakTarget_ == target_) {
    builder->PageBreak = true;
    pageBreakTarget_ = nullptr;
  }
  TCustomRVData* first = &builder->ScratchCell(0);
  TRVRTFSubData saved;
  saved.SavedTarget = target_;
  saved.SavedRow = row_;
  saved.SavedColumn = column_;
  saved.Table = std::move(builder);
  subData_.push_back(std::move(saved));
  row_ = 0;
  column_ = 0;
  SetTarget(first);
}

TRVRTFTableBuilder* TRVRTFImporter::SplitTable() {
  const int column = column_;
  std::vector<std::unique_ptr<TCustomRVData>> scratch = CurrentTable()->TakeScratch();
  CurrentTable()->RowComplete = true;
  TableEnd(true);
  TableStart();
  TRVRTFTableBuilder* table = CurrentTable();
  table->PutScratch(std::move(scratch));
  column_ = column;
  SetTarget(&table->ScratchCell(column_));
  return table;
}

void TRVRTFImporter::TableCellEnd() {
  TRVRTFTableBuilder* table = CurrentTable();
  if (table == nullptr) return;
  // The row after a last row opens a table of its own.
  if (table->LastRow) table = SplitTable();
  if (target_->CountItems() == 0) {
    const std::int32_t styleNo = ChooseTextStyle(props_.UnicodeMode != rvruNoUnicode, false);
    auto empty = std::make_unique<TRVTextItemInfo>(styleNo);
    empty->SetUnicodeText(style_.TextStyleAt(styleNo).Unicode);
    InsertItem(std::move(empty), {}, rtf_ts_NewPara);
    UpdateMarker();
  }
  if (column_ + 1 < kMaxRTFTableColumns) ++column_;
  SetTarget(&table->ScratchCell(column_));
}

void TRVRTFImporter::TableRowEnd() {
  TRVRTFTableBuilder* table = CurrentTable();
  if (table == nullptr) return;
  const std::shared_ptr<TRVRTFRowProperties>& rowProps = reader_->RTFState().rowProps;
  const TRVRTFRowProperties defaults;
  const TRVRTFRowProperties& row = rowProps ? *rowProps : defaults;
  if (table->WouldOverflow(column_)) table = SplitTable();
  if (pageBreakTarget_ != nullptr && table->IsScratch(pageBreakTarget_)) pageBreakTarget_ = nullptr;
  lastMarker_ = nullptr;
  table->MergeRow(row, column_);
  table->RowComplete = true;
  table->LastRow = row.lastRow;
  ++row_;
  column_ = 0;
  SetTarget(&table->ScratchCell(0));
}

bool TRVRTFImporter::TableEnd(bool forced) {
  TRVRTFTableBuilder* table = CurrentTable();
  if (table == nullptr) return true;
  if (!forced && !table->RowComplete) return false;
  TRVRTFSubData saved = std::move(subData_.back());
  subData_.pop_back();
  if (pageBreakTarget_ != nullptr && saved.Table->IsScratch(pageBreakTarget_)) pageBreakTarget_ = nullptr;
  std::vector<std::unique_ptr<TCustomRVData>> leftovers = saved.Table->TakeScratch();
  TRVAlignment alignment = rvaLeft;
  std::unique_ptr<TRVTableItemInfo> item = saved.Table->Finish(alignment);
  SetTarget(saved.SavedTarget);
  row_ = saved.SavedRow;
  column_ = saved.SavedColumn;
  lastMarker_ = nullptr;
  if (item) {
    const std::int32_t paraNo = paraStyles_.WithAlignment(alignment);
    if (saved.Table->PageBreak) pageBreakTarget_ = target_;
    InsertItem(std::move(item), {}, rtf_ts_NewPara, paraNo);
  }
  for (auto& cell : leftovers) AppendDocument(*target_, *cell);
  return true;
}

}  // namespace varnolt
