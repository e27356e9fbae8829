// What an RTF says about its pages: the paper size and margins of each
// section, how sections break and how many columns they have, and the
// headers and footers, whose text goes into documents of their own.
#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/CodePage.h"

#include "richtext/rtf/import/RVRTFImport.h"

namespace varnolt {

namespace {

constexpr double kTwipsPerPoint = 20;
// The format's own defaults where a document names no paper: Letter.
constexpr std::int32_t kDefaultPaperWidth = 12240;
constexpr std::int32_t kDefaultPaperHeight = 15840;
constexpr int kMaxColumns = 20;

double Points(std::int32_t twips) { return twips / kTwipsPerPoint; }

TRVHeaderFooterPages KindOf(TRVRTFHeaderFooterPages pages) {
  switch (pages) {
    case rtf_hfp_Left: return TRVHeaderFooterPages::Left;
    case rtf_hfp_First: return TRVHeaderFooterPages::First;
    default: return TRVHeaderFooterPages::All;
  }
}

TRVSectionBreak BreakOf(std::uint8_t kind) {
  constexpr TRVSectionBreak kBreaks[] = {TRVSectionBreak::Continuous, TRVSectionBreak::Column,
                                         TRVSectionBreak::EvenPage, TRVSectionBreak::OddPage, TRVSectionBreak::Page};
  return kind < std::size(kBreaks) ? kBreaks[kind] : TRVSectionBreak::Page;
}

std::optional<TRVPageFieldKind> PageFieldOf(std::u16string_view instruction) {
  while (!instruction.empty() && (instruction.front() <= u' ' || instruction.front() == u'\\')) {
    instruction.remove_prefix(1);
  }
  std::u16string name;
  for (char16_t c : instruction.substr(0, instruction.find(u' '))) {
    name.push_back(c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c);
  }
  if (name == u"PAGE") return TRVPageFieldKind::Page;
  if (name == u"NUMPAGES") return TRVPageFieldKind::NumPages;
  if (name == u"SECTIONPAGES") return TRVPageFieldKind::SectionPages;
  return std::nullopt;
}

std::int32_t Given(std::int32_t section, std::int32_t document) { return section >= 0 ? section : document; }

// The section's own values where it has them, else the document's, else the format's defaults.
TRVDocParameters SectionPaper(const TRVRTFDocProperties& doc, const TRVRTFSectionProperties& section) {
  TRVDocParameters paper;
  paper.Units = rvuPoints;
  const std::int32_t width = doc.paperSizeGiven ? doc.paperWidth : kDefaultPaperWidth;
  const std::int32_t height = doc.paperSizeGiven ? doc.paperHeight : kDefaultPaperHeight;
  paper.PageWidth = Points(section.pageWidth > 0 ? section.pageWidth : width);
  paper.PageHeight = Points(section.pageHeight > 0 ? section.pageHeight : height);
  paper.Orientation = section.landscape || doc.landscape ? poLandscape : poPortrait;
  // Landscape named on portrait paper turns the paper.
  if (paper.Orientation == poLandscape && paper.PageWidth < paper.PageHeight) {
    std::swap(paper.PageWidth, paper.PageHeight);
  }
  paper.LeftMargin = Points(Given(section.leftMargin, doc.leftMargin));
  paper.RightMargin = Points(Given(section.rightMargin, doc.rightMargin));
  paper.TopMargin = Points(Given(section.topMargin, doc.topMargin));
  paper.BottomMargin = Points(Given(section.bottomMargin, doc.bottomMargin));
  paper.HeaderY = Points(section.headerY);
  paper.FooterY = Points(section.footerY);
  paper.MirrorMargins = doc.mirrorMargins;
  return paper;
}

}  // namespace

void TRVRTFImporter::HeaderFooter(TRVRTFHeaderFooterType type, bool starting, bool& supported) {
  if (!starting) {
    // Tables the header left open close with it, and the reading returns
    // to where it was, as at the end of a note.
    NoteEnd();
    return;
  }
  const bool header = type == rtf_hf_Header;
  const TRVRTFHeaderFooterPages pages = reader_->HeaderFooterPages();
  const auto slot = static_cast<std::size_t>(KindOf(pages));
  std::optional<TRVRTFHeaderFooterPages>& taken = (header ? headerPages_ : footerPages_)[slot];
  // Only the main text has headers; of several for the same pages, the one for the most.
  if (target_ != &main_ || (taken && *taken <= pages)) {
    supported = false;
    return;
  }
  auto document = std::make_unique<TRVHeaderFooterData>();
  document->SetRVStyle(&style_);
  document->SetTagsArePChars(main_.TagsArePChars());
  TCustomRVData* text = document.get();
  (header ? section_.Headers : section_.Footers)[slot] = std::move(document);
  taken = pages;
  TRVRTFSubData saved;
  saved.SavedTarget = target_;
  saved.SavedRow = row_;
  saved.SavedColumn = column_;
  subData_.push_back(std::move(saved));
  SetTarget(text);
  supported = true;
}

bool TRVRTFImporter::InsertPageField(const std::string& stored, bool unicode, std::int32_t styleNo,
                                     TRVRTFPosition position) {
  const std::u16string& instruction = reader_->RTFState().FieldInstruction();
  const std::optional<TRVPageFieldKind> kind = PageFieldOf(instruction);
  if (!kind) return false;
  const std::u16string text =
      unicode ? BytesToUtf16(stored) : AnsiToUnicode(CodePageOfStyle(&style_, styleNo), stored);
  TCustomRVData& data = *target_;
  // A result read in several runs is one field.
  if (position == rtf_ts_ContinuePara && pageFieldInstruction_ == &instruction && data.CountItems() > 0) {
    if (auto* field = dynamic_cast<TRVPageFieldItemInfo*>(&data.ItemAt(data.CountItems() - 1))) {
      field->Text += text;
      return true;
    }
  }
  pageFieldInstruction_ = &instruction;
  InsertItem(std::make_unique<TRVPageFieldItemInfo>(*kind, styleNo, text), {}, position);
  return true;
}

void TRVRTFImporter::SectionEnd() {
  CloseSection();
  section_ = TRVSection{};
  section_.FirstItem = main_.CountItems();
  headerPages_ = {};
  footerPages_ = {};
}

// The properties in force at a section's end are the section's.
void TRVRTFImporter::CloseSection() {
  const TRVRTFReaderState& state = reader_->RTFState();
  const TRVRTFSectionProperties& properties = state.sectProps;
  section_.Paper = SectionPaper(state.docProps, properties);
  section_.Break = BreakOf(properties.breakKind);
  section_.Columns = std::clamp(properties.columnCount, 1, kMaxColumns);
  section_.ColumnSpace = Points(std::max(properties.columnSpace, 0));
  section_.LineBetweenColumns = properties.lineBetweenColumns;
  section_.TitlePage = properties.titlePage;
  pageSetup_->Sections.push_back(std::move(section_));
}

void TRVRTFImporter::TakePaper() {
  CloseSection();
  TRVPageSetup& setup = *pageSetup_;
  TRVSection& first = setup.Sections.front();
  setup.Paper = first.Paper;
  setup.PaperIsDefault = !reader_->RTFState().docProps.paperSizeGiven && first.Paper->PageWidth ==
                                                                             Points(kDefaultPaperWidth);
  setup.FacingPages = reader_->RTFState().docProps.facingPages;
  constexpr auto kAll = static_cast<std::size_t>(TRVHeaderFooterPages::All);
  setup.Header = std::move(first.Headers[kAll]);
  setup.Footer = std::move(first.Footers[kAll]);
}

}  // namespace varnolt
