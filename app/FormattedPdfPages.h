#pragma once
// Splitting formatted documents into PDF pages: lines are never cut, a
// table row moves whole to the next page unless it is taller than a page,
// when it is split between its cells' lines; page breaks are kept, and a
// page keeps room for the footnotes its lines refer to.
#include <functional>
#include <span>
#include <vector>

#include "richtext/layout/RVLayout.h"

namespace varnolt {

class TRVNoteItemInfo;

// What must stay on one page, in the flow's pixels from its top.
struct TFlowUnit {
  double Top = 0;
  double Bottom = 0;
  bool BreakBefore = false;
  double NotesHeight = 0;  // of the footnotes referred to inside
};

// One PDF page's share of the flow: [Top, Bottom).
struct TPageBand {
  double Top = 0;
  double Bottom = 0;
  friend bool operator==(const TPageBand&, const TPageBand&) = default;
};

// The height a footnote takes at the foot of a page.
using TFootnoteHeight = std::function<double(const TRVNoteItemInfo& note)>;

// The units of one layout placed offset pixels down the flow, appended to units.
void AppendFlowUnits(const TRVLayout& layout, double offset, double pageHeight, const TFootnoteHeight& footnoteHeight,
                     std::vector<TFlowUnit>& units);

// At least one band; the first starts at 0 and the last ends at kRVUnlimitedWidth.
std::vector<TPageBand> SplitIntoPages(std::span<const TFlowUnit> units, double pageHeight);

// The height of the band with this index (from 0).
using TBandHeight = std::function<double(int band)>;

// The same for columns of bands that may differ in height: bandsPerPage
// bands make a page, and a page break leaves the page's further bands empty
// (each [Top, Top)).
std::vector<TPageBand> SplitIntoBands(std::span<const TFlowUnit> units, const TBandHeight& bandHeight,
                                      int bandsPerPage);

}  // namespace varnolt
