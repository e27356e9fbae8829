#include "app/FormattedPdfSections.h"

#include <algorithm>
#include <cmath>

#include "app/FormattedPdfPainter.h"
#include "app/PageGeometry.h"

namespace varnolt {

namespace {

float PaperLength(double points, float least, float most) {
  return std::clamp(static_cast<float>(points), least, most);
}

bool SharesThePage(const TSectionRun& before, const TSectionRun& run) {
  return run.Break == TRVSectionBreak::Continuous && run.Paper == before.Paper && run.Columns == before.Columns &&
         run.ColumnSpace == before.ColumnSpace && run.LineBetweenColumns == before.LineBetweenColumns;
}

}  // namespace

double TPaperFrame::TextWidthPixels() const { return std::max(1.0, (Width - Left - Right) / kPointsPerPixel); }

double TPaperFrame::TextHeightPixels() const { return std::max(1.0, (Height - Top - Bottom) / kPointsPerPixel); }

TPaperFrame DocumentFrameOf(const TRVDocParameters& paper) {
  TPaperFrame frame;
  // A PDF page of whole points, as the media box holds it.
  frame.Width = std::round(PaperLength(paper.PageWidth, 1, kMaxPageSide));
  frame.Height = std::round(PaperLength(paper.PageHeight, 1, kMaxPageSide));
  frame.Left = PaperLength(paper.LeftMargin, 0, frame.Width / 4);
  frame.Right = PaperLength(paper.RightMargin, 0, frame.Width / 4);
  frame.Top = PaperLength(paper.TopMargin, 0, frame.Height / 4);
  frame.Bottom = PaperLength(paper.BottomMargin, 0, frame.Height / 4);
  frame.HeaderY = PaperLength(paper.HeaderY, 0, frame.Top);
  frame.FooterY = PaperLength(paper.FooterY, 0, frame.Bottom);
  return frame;
}

double TSectionRun::ColumnWidthPixels() const {
  const double spaces = (Columns - 1) * ColumnSpace / kPointsPerPixel;
  return std::max(1.0, (Paper.TextWidthPixels() - spaces) / Columns);
}

std::vector<TSectionRun> SectionRuns(const TRVPageSetup& setup, int itemCount, const TFrameOfPaper& frameOf) {
  std::vector<TSectionRun> runs;
  for (std::size_t s = 0; s < setup.Sections.size(); ++s) {
    const TRVSection& section = setup.Sections[s];
    const int first = std::clamp(s == 0 ? 0 : section.FirstItem, 0, itemCount);
    const int end = s + 1 < setup.Sections.size() ? std::clamp(setup.Sections[s + 1].FirstItem, first, itemCount)
                                                   : itemCount;
    if (first >= end) continue;
    TSectionRun run{s, first, end, frameOf(section.Paper ? section.Paper : setup.Paper), section.Columns,
                    static_cast<float>(section.ColumnSpace), section.LineBetweenColumns, section.Break};
    // The columns and their spaces must leave each column some room.
    const double least = run.Paper.TextWidthPixels() / 8;
    while (run.Columns > 1 && run.ColumnWidthPixels() < least) --run.Columns;
    if (!runs.empty() && SharesThePage(runs.back(), run)) {
      runs.back().EndItem = end;
      continue;
    }
    runs.push_back(run);
  }
  if (runs.empty()) runs.push_back({0, 0, itemCount, frameOf(setup.Paper), 1, 0, false, TRVSectionBreak::Page});
  // A document that leads with an empty section starts with the next.
  runs.front().FirstItem = 0;
  return runs;
}

}  // namespace varnolt
