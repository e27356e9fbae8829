#include "richtext/document/RVPageSetup.h"

#include <stdexcept>

namespace varnolt {

namespace {

using TKindDocuments = std::array<std::unique_ptr<TCustomRVData>, kRVHeaderFooterPagesCount>;

const TCustomRVData* Find(const TRVPageSetup& setup, std::size_t section, TRVHeaderFooterPages pages,
                          const TKindDocuments TRVSection::*kinds, const std::unique_ptr<TCustomRVData>& all) {
  if (setup.Sections.empty() && section > 0) throw std::out_of_range("no such section");
  const auto index = static_cast<std::size_t>(pages);
  for (std::size_t s = std::min(section + 1, setup.Sections.size()); s-- > 0;) {
    if (const auto& own = (setup.Sections.at(s).*kinds)[index]; own != nullptr) return own.get();
  }
  if (pages == TRVHeaderFooterPages::All) return all.get();
  // A left page without one of its own shows the one for every page; a
  // title page without one shows none.
  if (pages == TRVHeaderFooterPages::Left) return Find(setup, section, TRVHeaderFooterPages::All, kinds, all);
  return nullptr;
}

}  // namespace

void TRVPageSetup::Clear() {
  Paper.reset();
  PaperIsDefault = false;
  Header.reset();
  Footer.reset();
  FacingPages = false;
  Sections.clear();
}

void TRVPageSetup::TakeMissing(TRVPageSetup&& brought, int firstItem, bool intoEmptyDocument) {
  if (!Paper && (intoEmptyDocument || !brought.PaperIsDefault)) {
    Paper = brought.Paper;
    PaperIsDefault = brought.PaperIsDefault;
  }
  if (Header == nullptr) Header = std::move(brought.Header);
  if (Footer == nullptr) Footer = std::move(brought.Footer);
  // A snippet's sections mean nothing at a caret.
  if (Sections.empty() && intoEmptyDocument) {
    FacingPages = brought.FacingPages;
    Sections = std::move(brought.Sections);
    for (TRVSection& section : Sections) section.FirstItem += firstItem;
    if (!Sections.empty()) Sections.front().FirstItem = 0;
  }
}

const TCustomRVData* TRVPageSetup::HeaderFor(std::size_t section, TRVHeaderFooterPages pages) const {
  return Find(*this, section, pages, &TRVSection::Headers, Header);
}

const TCustomRVData* TRVPageSetup::FooterFor(std::size_t section, TRVHeaderFooterPages pages) const {
  return Find(*this, section, pages, &TRVSection::Footers, Footer);
}

TRVHeaderFooterPages TRVPageSetup::PagesKind(std::size_t section, int pageNumber, bool first) const {
  if (first && section < Sections.size() && Sections[section].TitlePage) return TRVHeaderFooterPages::First;
  if (FacingPages && pageNumber % 2 == 0) return TRVHeaderFooterPages::Left;
  return TRVHeaderFooterPages::All;
}

std::vector<TCustomRVData*> TRVPageSetup::Documents() const {
  std::vector<TCustomRVData*> documents;
  for (const auto* document : {&Header, &Footer}) {
    if (*document != nullptr) documents.push_back(document->get());
  }
  for (const TRVSection& section : Sections) {
    for (const auto* kinds : {&section.Headers, &section.Footers}) {
      for (const auto& document : *kinds) {
        if (document != nullptr) documents.push_back(document.get());
      }
    }
  }
  return documents;
}

}  // namespace varnolt
