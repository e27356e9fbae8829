#pragma once
// What a document brought for its pages when it was read: paper and
// margins, header and footer. The header and footer are documents of their
// own on the style sheet of the document they came with, like a note's text.
#include <memory>
#include <optional>

#include "richtext/document/CRVData.h"
#include "richtext/document/RVDocParameters.h"

namespace varnolt {

// The text of a header or footer: a page break means nothing there.
class TRVHeaderFooterData : public TCustomRVData {
 public:
  bool AcceptsPageBreaks() const override { return false; }
};

struct TRVPageSetup {
  std::optional<TRVDocParameters> Paper;  // Units rvuPoints; only when the source carried a paper size
  std::unique_ptr<TCustomRVData> Header;  // a TRVHeaderFooterData; nullptr when none
  std::unique_ptr<TCustomRVData> Footer;

  void Clear();
  bool Empty() const { return !Paper && Header == nullptr && Footer == nullptr; }
  // Takes from brought what this setup does not have yet.
  void TakeMissing(TRVPageSetup&& brought);
};

}  // namespace varnolt
