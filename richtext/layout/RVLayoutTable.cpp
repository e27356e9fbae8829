// Tables: column widths from the preferred widths (pixels, or percent when
// negative) and the cells' content, cells laid out as documents of their own,
// rows as tall as their tallest cell. A table that cannot fit keeps its width.
#include <algorithm>
#include <numeric>

#include "richtext/layout/RVLayout.h"
#include "richtext/table/RVTable.h"

namespace varnolt {

namespace {

struct TColumnNeeds {
  std::vector<double> Min;
  std::vector<double> Max;
  std::vector<double> Fixed;    // pixels, 0 for none
  std::vector<double> Percent;  // 0 for none
};

// Spacing of -1 makes neighbouring cell borders coincide.
double Spacing(std::int32_t spacing, std::int32_t cellBorder) {
  return spacing < 0 ? -1.0 * cellBorder : 1.0 * spacing;
}

double HorizontalFrame(const TRVTableItemInfo& table) {
  return 2.0 * table.CellBorderWidth + 2.0 * table.CellHPadding;
}

double OuterWidth(const TRVTableItemInfo& table, int columns) {
  return 2.0 * table.BorderWidth + 2.0 * table.BorderHSpacing +
         Spacing(table.CellHSpacing, table.CellBorderWidth) * std::max(0, columns - 1);
}

double SpannedWidth(const std::vector<double>& widths, int column, int span, double spacing) {
  const auto from = widths.begin() + column;
  return std::accumulate(from, from + span, 0.0) + spacing * (span - 1);
}

// Widens the spanned columns evenly until `need` fits.
void WidenSpan(std::vector<double>& widths, int column, int span, double spacing, double need) {
  const double have = SpannedWidth(widths, column, span, spacing);
  if (have >= need) return;
  for (int c = column; c < column + span; ++c) widths[static_cast<std::size_t>(c)] += (need - have) / span;
}

// Auto columns get their content's wish when there is room, a share between
// least and most when there is some, and their least when there is none.
void ShareAutoColumns(const TColumnNeeds& needs, double room, bool fillRoom, std::vector<double>& widths) {
  double sumMin = 0;
  double sumMax = 0;
  std::vector<std::size_t> autos;
  for (std::size_t c = 0; c < widths.size(); ++c) {
    if (needs.Fixed[c] > 0 || needs.Percent[c] > 0) continue;
    autos.push_back(c);
    sumMin += needs.Min[c];
    sumMax += needs.Max[c];
  }
  for (std::size_t c : autos) {
    if (room <= sumMin) {
      widths[c] = needs.Min[c];
    } else if (room < sumMax) {
      widths[c] = needs.Min[c] + (needs.Max[c] - needs.Min[c]) * (room - sumMin) / (sumMax - sumMin);
    } else {
      const double share = sumMax > 0 ? needs.Max[c] / sumMax : 1.0 / static_cast<double>(autos.size());
      widths[c] = fillRoom ? needs.Max[c] + (room - sumMax) * share : needs.Max[c];
    }
  }
}

}  // namespace

std::pair<double, double> TRVLayout::ContentWidths(const TCustomRVData& data) const {
  TRVLayout unbroken;
  unbroken.SetMetrics(metrics_);
  unbroken.Format(data);
  double least = 0;
  for (const TRVParagraphLayout& paragraph : unbroken.paragraphs_) {
    if (paragraph.Table != nullptr) {
      // Its columns at their least: what the unlimited layout measured as minimums.
      least = std::max(least, paragraph.Table->MinWidth);
    } else {
      least = std::max(least, unbroken.WidestUnbreakable(paragraph));
    }
  }
  return {least, std::max(least, unbroken.TotalWidth())};
}

void TRVLayout::FormatTable(int itemNo, TRVParagraphLayout& paragraph) const {
  const auto& table = static_cast<const TRVTableItemInfo&>(data_->ItemAt(itemNo));
  auto layout = std::make_unique<TRVTableLayout>();
  const int rows = table.TableRowCount();
  const int columns = table.TableColumnCount();
  const double hSpacing = Spacing(table.CellHSpacing, table.CellBorderWidth);
  const double vSpacing = Spacing(table.CellVSpacing, table.CellBorderWidth);
  const double outer = OuterWidth(table, columns);
  const bool unlimited = width_ >= kRVUnlimitedWidth;

  TColumnNeeds needs;
  for (auto* v : {&needs.Min, &needs.Max, &needs.Fixed, &needs.Percent}) v->assign(static_cast<std::size_t>(columns), 0);
  struct TSpanned {
    int Row, Column, Span;
    double Min;
  };
  std::vector<TSpanned> spanned;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const TRVTableCellData* cell = table.CellAt(r, c);
      if (cell == nullptr) continue;
      const auto [least, most] = ContentWidths(*cell);
      const double frame = HorizontalFrame(table);
      const auto col = static_cast<std::size_t>(c);
      if (cell->SpanColumns() > 1) {
        spanned.push_back({r, c, cell->SpanColumns(), least + frame});
        continue;
      }
      needs.Min[col] = std::max(needs.Min[col], least + frame);
      needs.Max[col] = std::max(needs.Max[col], most + frame);
      if (cell->BestWidth > 0) needs.Fixed[col] = std::max(needs.Fixed[col], 1.0 * cell->BestWidth);
      if (cell->BestWidth < 0) needs.Percent[col] = std::max(needs.Percent[col], -1.0 * cell->BestWidth);
    }
  }
  for (const TSpanned& s : spanned) WidenSpan(needs.Min, s.Column, s.Span, hSpacing, s.Min);
  for (std::size_t c = 0; c < needs.Max.size(); ++c) needs.Max[c] = std::max(needs.Max[c], needs.Min[c]);
  layout->MinWidth = outer + std::accumulate(needs.Min.begin(), needs.Min.end(), 0.0);

  double wanted = 0;
  if (table.BestWidth > 0) wanted = table.BestWidth;
  if (table.BestWidth < 0 && !unlimited) wanted = width_ * -table.BestWidth / 100.0;
  const double available = wanted > 0 ? wanted : (unlimited ? kRVUnlimitedWidth : width_);
  const double inner = std::max(0.0, available - outer);
  std::vector<double>& widths = layout->ColumnWidths;
  widths.assign(static_cast<std::size_t>(columns), 0);
  double taken = 0;
  for (std::size_t c = 0; c < widths.size(); ++c) {
    if (needs.Fixed[c] > 0) widths[c] = std::max(needs.Fixed[c], needs.Min[c]);
    if (needs.Percent[c] > 0 && !unlimited) widths[c] = std::max(inner * needs.Percent[c] / 100, needs.Min[c]);
    if (needs.Percent[c] > 0 && unlimited) widths[c] = needs.Max[c];
    taken += widths[c];
  }
  ShareAutoColumns(needs, inner - taken, wanted > 0, widths);
  for (const TSpanned& s : spanned) WidenSpan(widths, s.Column, s.Span, hSpacing, s.Min);
  layout->Width = outer + std::accumulate(widths.begin(), widths.end(), 0.0);

  // Cells at their widths, then rows as tall as the cells that end in them.
  std::vector<double> heights(static_cast<std::size_t>(rows), 0);
  std::vector<std::pair<int, double>> rowSpanning;  // cell index, height
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const TRVTableCellData* cell = table.CellAt(r, c);
      if (cell == nullptr) continue;
      TRVCellLayout& cellLayout = layout->Cells.emplace_back();
      cellLayout.Row = r;
      cellLayout.Column = c;
      cellLayout.Cell = cell;
      cellLayout.Content = std::make_unique<TRVLayout>();
      cellLayout.Content->SetMetrics(metrics_);
      const double cellWidth = SpannedWidth(widths, c, cell->SpanColumns(), hSpacing);
      cellLayout.Content->SetWidth(std::max(1.0, cellWidth - HorizontalFrame(table)));
      cellLayout.Content->Format(*cell);
      cellLayout.Frame.Width = cellWidth;
      const double height = std::max(1.0 * cell->BestHeight, cellLayout.Content->TotalHeight() +
                                                                2.0 * table.CellVPadding + 2.0 * table.CellBorderWidth);
      cellLayout.Frame.Height = height;
      if (cell->SpanRows() > 1) {
        rowSpanning.emplace_back(static_cast<int>(layout->Cells.size()) - 1, height);
      } else {
        heights[static_cast<std::size_t>(r)] = std::max(heights[static_cast<std::size_t>(r)], height);
      }
    }
  }
  for (const auto& [index, height] : rowSpanning) {
    const TRVCellLayout& cell = layout->Cells[static_cast<std::size_t>(index)];
    const int lastRow = std::min(rows, cell.Row + cell.Cell->SpanRows()) - 1;
    WidenSpan(heights, cell.Row, lastRow - cell.Row + 1, vSpacing, height);
  }

  std::vector<double> columnX(static_cast<std::size_t>(columns), 0);
  double x = table.BorderWidth + table.BorderHSpacing;
  for (std::size_t c = 0; c < columnX.size(); ++c) {
    columnX[c] = x;
    x += widths[c] + hSpacing;
  }
  std::vector<double> rowY(static_cast<std::size_t>(rows), 0);
  double y = table.BorderWidth + table.BorderVSpacing;
  for (std::size_t r = 0; r < rowY.size(); ++r) {
    rowY[r] = y;
    y += heights[r] + vSpacing;
  }
  layout->Height = y - (rows > 0 ? vSpacing : 0) + table.BorderVSpacing + table.BorderWidth;

  for (TRVCellLayout& cell : layout->Cells) {
    const int lastRow = std::min(rows, cell.Row + cell.Cell->SpanRows()) - 1;
    cell.Frame.Left = columnX[static_cast<std::size_t>(cell.Column)];
    cell.Frame.Top = rowY[static_cast<std::size_t>(cell.Row)];
    cell.Frame.Height = SpannedWidth(heights, cell.Row, lastRow - cell.Row + 1, vSpacing);
    const double content = cell.Content->TotalHeight();
    const double room = cell.Frame.Height - 2.0 * table.CellVPadding - 2.0 * table.CellBorderWidth - content;
    TRVCellVAlign vAlign = cell.Cell->VAlign;
    if (vAlign == rvcVDefault) vAlign = static_cast<TRVCellVAlign>(std::min<int>(table.Row(cell.Row).VAlign, rvcBottom));
    const double offset = vAlign == rvcMiddle ? room / 2 : (vAlign == rvcBottom ? room : 0);
    cell.ContentLeft = cell.Frame.Left + table.CellBorderWidth + table.CellHPadding;
    cell.ContentTop = cell.Frame.Top + table.CellBorderWidth + table.CellVPadding + std::max(0.0, offset);
  }

  TRVBox box;
  box.Kind = TRVBoxKind::Table;
  box.ItemNo = itemNo;
  box.Width = layout->Width;
  box.Height = layout->Height;
  paragraph.Boxes.push_back(std::move(box));
  paragraph.Lines.push_back({0, layout->Height, layout->Height, 0, 1});
  paragraph.Frame = {0, 0, layout->Width, layout->Height};
  paragraph.Height = layout->Height;
  paragraph.Table = std::move(layout);
}

}  // namespace varnolt
