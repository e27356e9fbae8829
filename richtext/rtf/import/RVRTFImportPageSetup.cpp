// What an RTF says about its pages: the paper size and margins, and the
// header and footer, whose text goes into documents of their own.
#include "richtext/rtf/import/RVRTFImport.h"

namespace varnolt {

namespace {

constexpr double kTwipsPerPoint = 20;

double Points(std::int32_t twips) { return twips / kTwipsPerPoint; }

}  // namespace

void TRVRTFImporter::HeaderFooter(TRVRTFHeaderFooterType type, bool starting, bool& supported) {
  if (!starting) {
    // Tables the header left open close with it, and the reading returns
    // to where it was, as at the end of a note.
    NoteEnd();
    return;
  }
  const bool header = type == rtf_hf_Header;
  std::optional<TRVRTFHeaderFooterPages>& taken = header ? headerPages_ : footerPages_;
  const TRVRTFHeaderFooterPages pages = reader_->HeaderFooterPages();
  // Only the main text has headers; of several, the one for the most pages.
  if (target_ != &main_ || (taken && *taken <= pages)) {
    supported = false;
    return;
  }
  auto document = std::make_unique<TRVHeaderFooterData>();
  document->SetRVStyle(&style_);
  document->SetTagsArePChars(main_.TagsArePChars());
  TCustomRVData* text = document.get();
  (header ? pageSetup_->Header : pageSetup_->Footer) = std::move(document);
  taken = pages;
  TRVRTFSubData saved;
  saved.SavedTarget = target_;
  saved.SavedRow = row_;
  saved.SavedColumn = column_;
  subData_.push_back(std::move(saved));
  SetTarget(text);
  supported = true;
}

void TRVRTFImporter::TakePaper() {
  const TRVRTFDocProperties& doc = reader_->RTFState().docProps;
  if (!doc.paperSizeGiven) return;
  const TRVRTFSectionProperties& section = reader_->RTFState().sectProps;
  TRVDocParameters paper;
  paper.Units = rvuPoints;
  paper.PageWidth = Points(doc.paperWidth);
  paper.PageHeight = Points(doc.paperHeight);
  paper.LeftMargin = Points(doc.leftMargin);
  paper.RightMargin = Points(doc.rightMargin);
  paper.TopMargin = Points(doc.topMargin);
  paper.BottomMargin = Points(doc.bottomMargin);
  paper.HeaderY = Points(section.headerY);
  paper.FooterY = Points(section.footerY);
  paper.Orientation = doc.landscape ? poLandscape : poPortrait;
  paper.MirrorMargins = doc.mirrorMargins;
  pageSetup_->Paper = paper;
}

}  // namespace varnolt
