#pragma once
// What a document brought for its pages when it was read: paper and
// margins, headers and footers, and its sections. The headers and footers
// are documents of their own on the style sheet of the document they came
// with, like a note's text.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "richtext/document/CRVData.h"
#include "richtext/document/RVDocParameters.h"

namespace varnolt {

// The text of a header or footer: a page break means nothing there.
class TRVHeaderFooterData : public TCustomRVData {
 public:
  bool AcceptsPageBreaks() const override { return false; }
};

// Which pages of a section a header or footer serves.
enum class TRVHeaderFooterPages : std::uint8_t { All, Left, First };
inline constexpr std::size_t kRVHeaderFooterPagesCount = 3;

// How a section starts: on the same page, in the next column, on the next
// page, or on the next even or odd page.
enum class TRVSectionBreak : std::uint8_t { Continuous, Column, Page, EvenPage, OddPage };

struct TRVSection {
  int FirstItem = 0;                      // of the document's items
  std::optional<TRVDocParameters> Paper;  // Units rvuPoints; none: the page setup's
  TRVSectionBreak Break = TRVSectionBreak::Page;
  int Columns = 1;
  double ColumnSpace = 36;  // points
  bool LineBetweenColumns = false;
  bool TitlePage = false;  // the first page shows the First header and footer
  // Its own, by TRVHeaderFooterPages; nullptr: the earlier section's.
  std::array<std::unique_ptr<TCustomRVData>, kRVHeaderFooterPagesCount> Headers;
  std::array<std::unique_ptr<TCustomRVData>, kRVHeaderFooterPagesCount> Footers;
};

struct TRVPageSetup {
  std::optional<TRVDocParameters> Paper;  // Units rvuPoints; only when the source carried a page setup
  bool PaperIsDefault = false;  // the format's own defaults: the source named no paper
  std::unique_ptr<TCustomRVData> Header;  // a TRVHeaderFooterData for every page; nullptr when none
  std::unique_ptr<TCustomRVData> Footer;
  bool FacingPages = false;  // left pages show the Left header and footer
  // In the order of the document; empty: one section of the Paper, with the
  // Header and Footer alone. The first section's All header and footer are
  // Header and Footer.
  std::vector<TRVSection> Sections;

  void Clear();
  bool Empty() const { return !Paper && Header == nullptr && Footer == nullptr && Sections.empty(); }
  // Takes from brought what this setup does not have yet; brought's sections
  // start firstItem items further into this setup's document. Default paper
  // is taken only into an empty document: a snippet pasted into a page
  // leaves the page its geometry.
  void TakeMissing(TRVPageSetup&& brought, int firstItem = 0, bool intoEmptyDocument = true);

  // The header or footer a page of the section shows: its own, else the
  // nearest earlier section's; nullptr for none. Checked: std::out_of_range
  // for a section that does not exist (a setup without sections has 0).
  const TCustomRVData* HeaderFor(std::size_t section, TRVHeaderFooterPages pages) const;
  const TCustomRVData* FooterFor(std::size_t section, TRVHeaderFooterPages pages) const;
  // Which of them a page shows: its number counts from 1 in the whole
  // document, first tells whether it opens its section.
  TRVHeaderFooterPages PagesKind(std::size_t section, int pageNumber, bool first) const;
  // Every header and footer document held, for whoever visits them all.
  std::vector<TCustomRVData*> Documents() const;
};

}  // namespace varnolt
