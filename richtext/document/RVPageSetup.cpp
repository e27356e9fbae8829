#include "richtext/document/RVPageSetup.h"

namespace varnolt {

void TRVPageSetup::Clear() {
  Paper.reset();
  Header.reset();
  Footer.reset();
}

void TRVPageSetup::TakeMissing(TRVPageSetup&& brought) {
  if (!Paper) Paper = brought.Paper;
  if (Header == nullptr) Header = std::move(brought.Header);
  if (Footer == nullptr) Footer = std::move(brought.Footer);
}

}  // namespace varnolt
