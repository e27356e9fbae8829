#include "app/FormattedPdfPages.h"

#include <algorithm>
#include <map>

#include "richtext/document/RVLabelItems.h"

namespace varnolt {

namespace {

struct TInterval {
  double Top = 0;
  double Bottom = 0;
};

double NotesOfLine(const TRVLayout& layout, const TRVParagraphLayout& paragraph, const TRVLine& line,
                   const TFootnoteHeight& footnoteHeight) {
  double height = 0;
  for (int b = line.FirstBox; b < line.FirstBox + line.BoxCount; ++b) {
    const TRVBox& box = paragraph.Boxes[static_cast<std::size_t>(b)];
    if (box.Kind != TRVBoxKind::Label) continue;
    const TCustomRVItemInfo& item = layout.Data()->ItemAt(box.ItemNo);
    if (item.StyleNo != ItemKindFootnote) continue;
    height += footnoteHeight(static_cast<const TRVNoteItemInfo&>(item));
  }
  return height;
}

double NotesOfLayout(const TRVLayout& layout, const TFootnoteHeight& footnoteHeight) {
  double height = 0;
  for (int p = 0; p < layout.ParagraphCount(); ++p) {
    const TRVParagraphLayout& paragraph = layout.Paragraph(p);
    if (paragraph.Table != nullptr) {
      for (const TRVCellLayout& cell : paragraph.Table->Cells) height += NotesOfLayout(*cell.Content, footnoteHeight);
      continue;
    }
    for (const TRVLine& line : paragraph.Lines) height += NotesOfLine(layout, paragraph, line, footnoteHeight);
  }
  return height;
}

// Each cell's lines, in the table's pixels: where a row too tall for a page may be split.
void CellLines(const TRVCellLayout& cell, std::vector<TInterval>& lines) {
  const TRVLayout& content = *cell.Content;
  for (int p = 0; p < content.ParagraphCount(); ++p) {
    const TRVParagraphLayout& paragraph = content.Paragraph(p);
    const double top = cell.ContentTop + paragraph.Top;
    if (paragraph.Table != nullptr) {
      lines.push_back({top, top + paragraph.Height});
      continue;
    }
    for (const TRVLine& line : paragraph.Lines) lines.push_back({top + line.Top, top + line.Top + line.Height});
  }
}

// The row split where no cell's line is cut.
std::vector<double> RowBreaks(std::span<const TRVCellLayout* const> cells, TInterval row) {
  std::vector<TInterval> lines;
  for (const TRVCellLayout* cell : cells) CellLines(*cell, lines);
  std::vector<double> breaks;
  for (const TInterval& candidate : lines) {
    if (candidate.Top <= row.Top || candidate.Top >= row.Bottom) continue;
    const bool cuts = std::any_of(lines.begin(), lines.end(), [&](const TInterval& line) {
      return line.Top < candidate.Top && candidate.Top < line.Bottom;
    });
    if (!cuts) breaks.push_back(candidate.Top);
  }
  std::sort(breaks.begin(), breaks.end());
  breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
  return breaks;
}

void AppendTableUnits(const TRVTableLayout& table, double tableTop, bool breakBefore, double pageHeight,
                      const TFootnoteHeight& footnoteHeight, std::vector<TFlowUnit>& units) {
  // Rows by the top of their cells; a merged cell belongs to the row it starts in.
  std::map<int, std::vector<const TRVCellLayout*>> rows;
  for (const TRVCellLayout& cell : table.Cells) rows[cell.Row].push_back(&cell);
  std::vector<double> tops;
  for (const auto& [row, cells] : rows) {
    double top = cells.front()->Frame.Top;
    for (const TRVCellLayout* cell : cells) top = std::min(top, cell->Frame.Top);
    tops.push_back(top);
  }
  if (tops.empty()) {
    units.push_back({tableTop, tableTop + table.Height, breakBefore, 0});
    return;
  }
  tops.front() = 0;
  std::size_t index = 0;
  for (const auto& [row, cells] : rows) {
    const TInterval span{tops[index], index + 1 < tops.size() ? tops[index + 1] : table.Height};
    ++index;
    double notes = 0;
    for (const TRVCellLayout* cell : cells) notes += NotesOfLayout(*cell->Content, footnoteHeight);
    std::vector<double> edges{span.Top};
    if (span.Bottom - span.Top > pageHeight) {
      const std::vector<double> breaks = RowBreaks(cells, span);
      edges.insert(edges.end(), breaks.begin(), breaks.end());
    }
    edges.push_back(span.Bottom);
    for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
      units.push_back({tableTop + edges[e], tableTop + edges[e + 1], breakBefore, e == 0 ? notes : 0});
      breakBefore = false;
    }
  }
}

}  // namespace

void AppendFlowUnits(const TRVLayout& layout, double offset, double pageHeight, const TFootnoteHeight& footnoteHeight,
                     std::vector<TFlowUnit>& units) {
  for (int p = 0; p < layout.ParagraphCount(); ++p) {
    const TRVParagraphLayout& paragraph = layout.Paragraph(p);
    const double top = offset + paragraph.Top;
    if (paragraph.Table != nullptr) {
      AppendTableUnits(*paragraph.Table, top, paragraph.PageBreakBefore, pageHeight, footnoteHeight, units);
      continue;
    }
    bool breakBefore = paragraph.PageBreakBefore;
    for (const TRVLine& line : paragraph.Lines) {
      units.push_back({top + line.Top, top + line.Top + line.Height, breakBefore,
                       NotesOfLine(layout, paragraph, line, footnoteHeight)});
      breakBefore = false;
    }
  }
}

std::vector<TPageBand> SplitIntoPages(std::span<const TFlowUnit> units, double pageHeight) {
  return SplitIntoBands(units, [pageHeight](int) { return pageHeight; }, 1);
}

std::vector<TPageBand> SplitIntoBands(std::span<const TFlowUnit> units, const TBandHeight& bandHeight,
                                      int bandsPerPage) {
  std::vector<TPageBand> bands{{0, kRVUnlimitedWidth}};
  const auto perPage = static_cast<std::size_t>(std::max(bandsPerPage, 1));
  double notes = 0;
  bool holdsUnits = false;
  double height = bandHeight(0);
  for (const TFlowUnit& unit : units) {
    const double top = bands.back().Top;
    const bool overflows = unit.Bottom - top + notes + unit.NotesHeight > height;
    if (holdsUnits && unit.Top > top && (unit.BreakBefore || overflows)) {
      bands.back().Bottom = unit.Top;
      // A page break skips the columns left on the page.
      while (unit.BreakBefore && bands.size() % perPage != 0) bands.push_back({unit.Top, unit.Top});
      bands.push_back({unit.Top, kRVUnlimitedWidth});
      height = bandHeight(static_cast<int>(bands.size()) - 1);
      notes = 0;
    }
    notes += unit.NotesHeight;
    holdsUnits = true;
  }
  return bands;
}

}  // namespace varnolt
