// Tables as RTF rows: row and cell properties with the engine's own width
// keywords, column boundaries from a layout of the grid, and each cell's
// document one nesting level deeper.
#include <algorithm>
#include <cmath>

#include "richtext/rtf/writer/RVRTFWriterInternal.h"
#include "richtext/table/RVTable.h"

namespace varnolt {

namespace {

// Width a table with no layout of its own is laid out at.
constexpr int kUnformattedTableWidth = 600;
constexpr int kMinColumnContentWidth = 1;

// What a slot of the grid is in a row's RTF: its own cell, a cell merged
// down from an earlier row, or nothing (covered from the left).
struct TRVRTFSlot {
  const TRVTableCellData* cell = nullptr;  // the covering cell
  bool own = false;                        // the cell starts in this slot
  bool fromAbove = false;
  int lastColumn = 0;  // the last grid column the cell spans
  int originRow = 0;
};

TRVRTFSlot SlotAt(const TRVTableItemInfo& table, int row, int column) {
  TRVRTFSlot slot;
  if (const TRVTableCellData* cell = table.CellAt(row, column)) {
    slot.cell = cell;
    slot.own = true;
    slot.originRow = row;
  } else {
    int originRow = 0;
    int originColumn = 0;
    const TRVTableCellData* origin = table.FindCellOrigin(row, column, originRow, originColumn);
    if (origin == nullptr || originColumn != column) return {};
    slot.cell = origin;
    slot.fromAbove = true;
    slot.originRow = originRow;
  }
  slot.lastColumn = std::min(column + slot.cell->SpanColumns() - 1, table.TableColumnCount() - 1);
  return slot;
}

// Right edges of the grid columns in pixels. Preferred widths of unmerged
// cells hold; percentages take their share; the other columns split the rest.
std::vector<double> ColumnRightEdges(const TRVTableItemInfo& table) {
  const int columns = table.TableColumnCount();
  std::vector<double> fixed(static_cast<std::size_t>(columns), 0);
  std::vector<double> percent(static_cast<std::size_t>(columns), 0);
  for (int r = 0; r < table.TableRowCount(); ++r) {
    for (int c = 0; c < columns; ++c) {
      const TRVTableCellData* cell = table.CellAt(r, c);
      if (cell == nullptr || cell->SpanColumns() != 1) continue;
      auto& slotFixed = fixed[static_cast<std::size_t>(c)];
      auto& slotPercent = percent[static_cast<std::size_t>(c)];
      if (cell->BestWidth > 0) slotFixed = std::max<double>(slotFixed, cell->BestWidth);
      if (cell->BestWidth < 0) slotPercent = std::max<double>(slotPercent, std::min(-static_cast<double>(cell->BestWidth), 100.0));
    }
  }
  const double spacing = std::max(table.CellHSpacing, 0);
  const double outside = std::max(table.BorderWidth, 0) + std::max(table.BorderHSpacing, 0);
  const double cellExtra = 2.0 * (std::max(table.CellHPadding, 0) + std::max(table.CellBorderWidth, 0));
  double tableWidth = kUnformattedTableWidth;
  if (table.BestWidth > 0) tableWidth = table.BestWidth;
  if (table.BestWidth < 0) tableWidth = kUnformattedTableWidth * std::min(-static_cast<double>(table.BestWidth), 100.0) / 100;
  const double content = std::max(tableWidth - 2 * outside - spacing * (columns - 1) - cellExtra * columns, 0.0);
  double used = 0;
  int flexible = 0;
  for (int c = 0; c < columns; ++c) {
    const auto i = static_cast<std::size_t>(c);
    if (fixed[i] == 0 && percent[i] > 0) fixed[i] = content * percent[i] / 100;
    if (fixed[i] > 0) {
      used += fixed[i];
    } else {
      ++flexible;
    }
  }
  const double share = flexible > 0 ? std::max((content - used) / flexible, static_cast<double>(kMinColumnContentWidth)) : 0;
  std::vector<double> edges;
  double x = outside;
  for (int c = 0; c < columns; ++c) {
    const double width = (fixed[static_cast<std::size_t>(c)] > 0 ? fixed[static_cast<std::size_t>(c)] : share) + cellExtra;
    edges.push_back(x + width);
    x += width + spacing;
  }
  return edges;
}

TRVCellVAlign EffectiveAlignment(const TRVTableItemInfo& table, const TRVRTFSlot& slot) {
  TRVCellVAlign alignment = slot.cell->VAlign;
  if (alignment == rvcVDefault) {
    const std::uint8_t rowAlignment = table.Row(slot.originRow).VAlign;
    alignment = rowAlignment <= rvcBottom ? static_cast<TRVCellVAlign>(rowAlignment) : rvcMiddle;
  }
  return alignment;
}

}  // namespace

class TRVRTFTableWriter {
 public:
  TRVRTFTableWriter(TRVRTFWriter& writer, const TRVRTFCall& call, const TRVTableItemInfo& table)
      : writer_(writer), sink_(writer.Sink()), table_(table), level_(call.Level), nested_(call.Level > 0),
        edges_(ColumnRightEdges(table)) {}

  void Write() {
    for (int r = 0; r < table_.TableRowCount(); ++r) WriteRow(r);
  }

 private:
  void WriteRow(int row) {
    sink_.Put(nested_ ? "{\\*\\nesttableprops" : "{");
    WriteRowProperties(row);
    std::vector<TRVRTFSlot> slots;
    for (int c = 0; c < table_.TableColumnCount(); ++c) {
      TRVRTFSlot slot = SlotAt(table_, row, c);
      if (slot.cell == nullptr) continue;
      WriteCellProperties(row, c, slot);
      slots.push_back(slot);
    }
    sink_.PutKeyword("pard\\intbl\\itap", level_ + 1);
    sink_.Put('{');
    for (const TRVRTFSlot& slot : slots) {
      sink_.Put('{');
      if (slot.own) writer_.WriteNested(*slot.cell, level_ + 1);
      sink_.Put(nested_ ? "\\nestcell}" : "\\cell}");
    }
    sink_.Put('}');
    sink_.PutKeyword("pard\\intbl\\itap", level_ + 1);
    sink_.Put(nested_ ? "\\nestrow}" : "\\row}");
  }

  void WriteRowProperties(int row) {
    const TParaInfo& para = writer_.Style().ParaStyleAt(table_.ParaNo);
    sink_.Put("\\trowd");
    if (para.Alignment == rvaRight) sink_.Put("\\trqr");
    if (para.Alignment == rvaCenter) sink_.Put("\\trqc");
    sink_.PutKeyword("trgaph",
                     Half(((static_cast<double>(table_.CellHPadding) + table_.CellBorderWidth) * 2 + table_.CellHSpacing)));
    sink_.Put("\\trleft0");
    sink_.PutKeyword("itap", level_ + 1);
    if (row < table_.HeadingRowCount) sink_.Put("\\trhdr");
    std::int32_t height = 0;
    for (int c = 0; c < table_.TableColumnCount(); ++c) {
      const TRVTableCellData* cell = table_.CellAt(row, c);
      if (cell != nullptr && cell->SpanRows() == 1) height = std::max(height, cell->BestHeight);
    }
    if (height > 0) sink_.PutKeyword("trrh", writer_.Twips(height));
    const std::int32_t hPadding = writer_.Twips(table_.CellHPadding);
    const std::int32_t vPadding = writer_.Twips(table_.CellVPadding);
    sink_.PutKeyword("trpaddl", hPadding);
    sink_.PutKeyword("trpaddt", vPadding);
    sink_.PutKeyword("trpaddr", hPadding);
    sink_.PutKeyword("trpaddb", vPadding);
    sink_.Put("\\trpaddfl3\\trpaddft3\\trpaddfr3\\trpaddfb3");
    const std::int32_t hSpacing = Half(table_.CellHSpacing);
    sink_.PutKeyword("trspdl", hSpacing);
    sink_.PutKeyword("trspdr", hSpacing);
    sink_.Put("\\trspdfl3\\trspdfr3");
    const bool last = row == table_.TableRowCount() - 1;
    sink_.PutKeyword("trspdt", Half(row == 0 ? table_.BorderVSpacing : table_.CellVSpacing));
    sink_.Put("\\trspdft3");
    sink_.PutKeyword("trspdb", Half(last ? table_.BorderVSpacing : table_.CellVSpacing));
    sink_.Put("\\trspdfb3");
    WriteTableWidth();
    if (!table_.PrintOptions.Contains(rvtoRowsSplit)) sink_.Put("\\trkeep\\trkeepfollow");
    if (last && !nested_) sink_.Put("\\lastrow");
    sink_.PutKeyword("richdoctbw", table_.BestWidth);
    WriteBorder("tr", table_.BorderStyle, table_.BorderWidth, table_.BorderColor, table_.BorderLightColor,
                table_.VisibleBorders);
    writer_.WriteExtra(rv_rtfs_RowProps, &table_, -1, row, false);
  }

  void WriteTableWidth() {
    if (table_.BestWidth < 0) {
      sink_.PutKeyword("trwWidth", -50 * std::int64_t{table_.BestWidth});
      sink_.Put("\\trftsWidth2");
    } else if (table_.BestWidth == 0) {
      sink_.Put("\\trftsWidth1");
      if (table_.Options.Contains(rvtoRTFAllowAutofit)) sink_.Put("\\trautofit1");
    } else {
      sink_.PutKeyword("trwWidth", writer_.Twips(static_cast<double>(table_.BestWidth) + 2.0 * table_.BorderWidth));
      sink_.Put("\\trftsWidth3");
    }
  }

  void WriteCellProperties(int row, int column, const TRVRTFSlot& slot) {
    const TRVTableCellData& cell = *slot.cell;
    if (slot.own && cell.SpanRows() > 1) sink_.Put("\\clvmgf");
    if (slot.fromAbove) sink_.Put("\\clvmrg");
    if (slot.own) {
      if (cell.BestWidth < 0) {
        sink_.PutKeyword("clwWidth", -50 * std::int64_t{cell.BestWidth});
        sink_.Put("\\clftsWidth2");
      } else if (cell.BestWidth == 0) {
        sink_.Put("\\clftsWidth1");
      } else if (table_.Options.Contains(rvtoRTFSaveCellPixelBestWidth)) {
        sink_.PutKeyword("clwWidth", writer_.Twips(cell.BestWidth));
        sink_.Put("\\clftsWidth3");
      } else {
        sink_.Put("\\clwWidth0");
      }
      sink_.PutKeyword("richdoccbw", cell.BestWidth);
      sink_.PutKeyword("richdoccbh", cell.BestHeight);
    }
    WriteBorder("cl", table_.CellBorderStyle, table_.CellBorderWidth,
                cell.BorderColor != kRVColorNone ? cell.BorderColor : table_.CellBorderColor,
                cell.BorderLightColor != kRVColorNone ? cell.BorderLightColor : table_.CellBorderLightColor,
                cell.VisibleBorders);
    const TColor background = cell.Color != kRVColorNone ? cell.Color : table_.Color;
    if (background != kRVColorNone) sink_.PutKeyword("clcbpat", writer_.ColorIndex(background));
    const TRVCellVAlign alignment = EffectiveAlignment(table_, slot);
    if (alignment == rvcMiddle) sink_.Put("\\clvertalc");
    if (alignment == rvcBottom) sink_.Put("\\clvertalb");
    writer_.WriteExtra(rv_rtfs_CellProps, &table_, column, row, false);
    const double spacing = table_.CellHSpacing;
    const double right = edges_.at(static_cast<std::size_t>(slot.lastColumn));
    sink_.PutKeyword("cellx", static_cast<std::int64_t>(
                                  std::nearbyint(right * writer_.TwipsPerPixel() + writer_.TwipsPerPixel() * spacing / 2)));
  }

  void WriteBorder(const char* prefix, TRVTableBorderStyle style, std::int32_t width, TColor color, TColor lightColor,
                   const TRVBooleanRect& visible) {
    if (width <= 0) return;
    const std::int32_t twips = writer_.Twips(width);
    const bool raised = style == rvtbRaisedColor;
    const bool lowered = style == rvtbLoweredColor;
    const struct {
      bool shown;
      const char* side;
      TColor color;
    } sides[] = {
        {visible.Left, "brdrl", raised ? lightColor : color},
        {visible.Top, "brdrt", raised ? lightColor : color},
        {visible.Right, "brdrr", lowered ? lightColor : color},
        {visible.Bottom, "brdrb", lowered ? lightColor : color},
    };
    for (const auto& side : sides) {
      if (!side.shown) continue;
      sink_.Put('\\');
      sink_.Put(prefix);
      sink_.Put(side.side);
      if (style == rvtbRaised) {
        sink_.PutKeyword("brdroutset\\brdrw", twips);
      } else if (style == rvtbLowered) {
        sink_.PutKeyword("brdrinset\\brdrw", twips);
      } else {
        sink_.PutKeyword("brdrs\\brdrw", twips);
        sink_.PutKeyword("brdrcf", writer_.ColorIndex(side.color));
      }
    }
  }

  std::int32_t Half(double pixels) const { return writer_.Twips(pixels / 2); }

  TRVRTFWriter& writer_;
  TRVRTFSink& sink_;
  const TRVTableItemInfo& table_;
  int level_;
  bool nested_;
  std::vector<double> edges_;
};

void TRVRTFWriter::WriteTable(TRVRTFCall& call, const TRVTableItemInfo& table) {
  TRVRTFTableWriter(*this, call, table).Write();
  call.NoParaBreak = true;
}

}  // namespace varnolt
