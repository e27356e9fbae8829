#pragma once
// A page's document cut into runs of one paper and one set of columns for
// the formatted PDF export: each section of the document, continuous
// sections that keep the page's geometry joined to the one before.
#include <functional>
#include <optional>
#include <vector>

#include "richtext/document/RVPageSetup.h"

namespace varnolt {

// A page's paper, margins and header and footer places, in points.
struct TPaperFrame {
  float Width = 0;
  float Height = 0;
  float Left = 0;
  float Right = 0;
  float Top = 0;
  float Bottom = 0;
  float HeaderY = 0;  // from the top edge to the header's top
  float FooterY = 0;  // from the bottom edge to the footer's bottom
  double TextWidthPixels() const;
  double TextHeightPixels() const;
  friend bool operator==(const TPaperFrame&, const TPaperFrame&) = default;
};

// What a document brought, made sane: a page a PDF may have, margins that
// leave the text at least half of it.
TPaperFrame DocumentFrameOf(const TRVDocParameters& paper);

struct TSectionRun {
  std::size_t Section = 0;  // of the page setup's sections; 0 when it has none
  int FirstItem = 0;
  int EndItem = 0;
  TPaperFrame Paper;
  int Columns = 1;
  float ColumnSpace = 0;  // points
  bool LineBetweenColumns = false;
  TRVSectionBreak Break = TRVSectionBreak::Page;
  // Each column's width; the columns and the spaces between them share the text's.
  double ColumnWidthPixels() const;
};

// The frame a section's paper makes (nullopt: the setup's own paper, which
// may be none either).
using TFrameOfPaper = std::function<TPaperFrame(const std::optional<TRVDocParameters>& paper)>;

// At least one run; runs cover [0, itemCount) in order. A section without
// items makes no run.
std::vector<TSectionRun> SectionRuns(const TRVPageSetup& setup, int itemCount, const TFrameOfPaper& frameOf);

}  // namespace varnolt
