// Tables as the reader sees them: it opens and closes nesting levels through
// OnTable, marks cell and row ends, and keeps the row and cell properties of
// the current group for the client to read.
#include <algorithm>

#include "platform/Color.h"
#include "richtext/rtf/reader/RVRTFReaderInternal.h"

namespace varnolt {

namespace {

using A = TRVRTFAction;

// More cells than any writer puts in a row; a longer row only repeats its
// last boundary, so hostile input cannot make every group copy a huge row.
constexpr std::size_t kMaxRTFCellsPerRow = 256;
constexpr std::int32_t kMaxShading = 10000;
static_assert(kRVRTFNoColor == clNone, "no colour blends as white");

void SetWidthType(bool& isPercent, std::int32_t& width, std::int32_t type) {
  if (type == 2) {
    isPercent = true;
    width = -width;
  } else if (type != 3) {
    width = 0;
  }
}

}  // namespace

TRVRTFColor BlendShading(TRVRTFColor back, TRVRTFColor pattern, std::int32_t shading) {
  const std::int64_t amount = std::clamp(shading, 0, kMaxShading);
  // The automatic colour is a system colour; no colour reads as white.
  const TRVRTFColor from = ColorToRGB(back);
  const TRVRTFColor with = ColorToRGB(pattern);
  TRVRTFColor result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::int64_t a = (from >> shift) & 0xFF;
    const std::int64_t b = (with >> shift) & 0xFF;
    result |= static_cast<TRVRTFColor>((a * (kMaxShading - amount) + b * amount) / kMaxShading) << shift;
  }
  return result;
}

int TRVRTFReader::WantedTableLevel() const {
  const TRVRTFParaProperties& para = stack_.back().paraProps;
  return para.inTable ? std::clamp(para.nestingLevel, 0, kMaxRTFTableNesting) : 0;
}

bool TRVRTFReader::RaiseTable(TRVRTFTableEventKind kind) {
  RaiseUpdateMarker();
  bool processed = true;
  if (OnTable) OnTable(*this, kind, processed);
  return processed;
}

void TRVRTFReader::SyncTables(bool allowClose) {
  const int wanted = WantedTableLevel();
  if (openTableLevel_ == wanted) return;
  for (; openTableLevel_ < wanted; ++openTableLevel_) RaiseTable(rvf_tbl_TableStart);
  if (!allowClose || State().paraProps.keepTableOpen) return;
  while (openTableLevel_ > wanted && RaiseTable(rvf_tbl_TableEnd)) --openTableLevel_;
}

TRVRTFRowProperties& TRVRTFReader::MutableRow() {
  std::shared_ptr<TRVRTFRowProperties>& row = State().rowProps;
  if (!row) {
    row = std::make_shared<TRVRTFRowProperties>();
  } else if (row.use_count() > 1) {
    row = std::make_shared<TRVRTFRowProperties>(*row);
  }
  return *row;
}

TRVRTFCellProperties& TRVRTFReader::LastCell() {
  TRVRTFRowProperties& row = MutableRow();
  if (row.cells.empty()) row.cells.emplace_back();
  return row.cells.back();
}

bool TRVRTFReader::ApplyTableProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg) {
  const auto side = static_cast<std::size_t>(arg);
  TRVRTFColor color = 0;
  switch (action) {
    case A::RowDefaults: MutableRow() = TRVRTFRowProperties{}; break;
    case A::RowAlign:
      MutableRow().alignment = static_cast<std::uint8_t>(value);
      MutableRow().alignmentGiven = true;
      break;
    case A::RowValue: {
      TRVRTFRowProperties& row = MutableRow();
      if (arg == 0) row.gap = value;
      if (arg == 1) row.left = value;
      if (arg == 2) row.height = value < 0 ? -value : value;
      break;
    }
    case A::RowHeader: MutableRow().headingRow = true; break;
    case A::LastRow: MutableRow().lastRow = true; break;
    case A::RowPadding: MutableRow().padding.at(side) = value; break;
    case A::RowUsePadding: MutableRow().usePadding.at(side) = value == 3; break;
    case A::RowSpacing: MutableRow().spacing.at(side) = value; break;
    case A::RowUseSpacing: MutableRow().useSpacing.at(side) = value == 3; break;
    case A::RowWidth: {
      TRVRTFRowProperties& row = MutableRow();
      row.preferredWidth = row.widthIsPercent ? -value : value;
      break;
    }
    case A::RowWidthType: {
      TRVRTFRowProperties& row = MutableRow();
      SetWidthType(row.widthIsPercent, row.preferredWidth, value);
      break;
    }
    case A::CellHorizontalMerge:
      if (LastCell().horizontalMerge != 1) LastCell().horizontalMerge = static_cast<std::uint8_t>(value);
      break;
    case A::CellVerticalMerge:
      if (LastCell().verticalMerge != 1) LastCell().verticalMerge = static_cast<std::uint8_t>(value);
      break;
    case A::CellWidth: {
      TRVRTFCellProperties& cell = LastCell();
      cell.preferredWidth = cell.widthIsPercent ? -value : value;
      break;
    }
    case A::CellWidthType: {
      TRVRTFCellProperties& cell = LastCell();
      SetWidthType(cell.widthIsPercent, cell.preferredWidth, value);
      break;
    }
    case A::CellBackColor:
      if (ColorAt(value, color)) LastCell().backColor = color == kRVRTFAutoColor ? kRVRTFNoColor : color;
      break;
    case A::CellPatternColor: if (ColorAt(value, color)) LastCell().patternColor = color; break;
    case A::CellShading: LastCell().shading = std::clamp(value, 0, kMaxShading); break;
    case A::CellVerticalAlign: LastCell().verticalAlignment = static_cast<std::uint8_t>(value); break;
    case A::CellRightBoundary: {
      LastCell().rightBoundary = value;
      TRVRTFRowProperties& row = MutableRow();
      if (row.cells.size() < kMaxRTFCellsPerRow) row.cells.emplace_back();
      row.lastCellIsAssumed = true;
      break;
    }
    case A::CellEnd: EndCell(); break;
    case A::RowEnd: EndRow(); break;
    case A::TableWidthExtension:
      MutableRow().preferredWidth = value;
      MutableRow().engineExtension = true;
      break;
    case A::CellWidthExtension:
      LastCell().preferredWidth = value;
      MutableRow().engineExtension = true;
      break;
    case A::CellHeightExtension:
      LastCell().preferredHeight = value;
      MutableRow().engineExtension = true;
      break;
    default:
      return false;
  }
  return true;
}

// Cell and row ends outside any table are stray keywords: there is no table
// for them to end.
void TRVRTFReader::EndCell() {
  SyncTables(true);
  if (openTableLevel_ == 0) return;
  EmitWithSync(true);
  position_ = rtf_ts_NewPara;
  RaiseTable(rvf_tbl_CellEnd);
}

void TRVRTFReader::EndRow() {
  SyncTables(true);
  if (openTableLevel_ == 0) return;
  if (State().rowProps) {
    TRVRTFRowProperties& row = MutableRow();
    if (row.lastCellIsAssumed && !row.cells.empty()) row.cells.pop_back();
    row.lastCellIsAssumed = false;
    if (row.cellsAreNew) {
      for (TRVRTFCellProperties& cell : row.cells) {
        if (cell.shading == 0) continue;
        cell.backColor = BlendShading(cell.backColor, cell.patternColor, cell.shading);
        cell.shading = 0;
      }
      row.cellsAreNew = false;
    }
  }
  RaiseTable(rvf_tbl_RowEnd);
}

}  // namespace varnolt
