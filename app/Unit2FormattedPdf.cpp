// The formatted PDF export: every non-empty page formatted with PDF font
// metrics at its text width, split into PDF pages of its size and painted
// through the canvas with its notes, links and anchors.
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "app/FormattedPdfPages.h"
#include "app/FormattedPdfPainter.h"
#include "app/PdfFontMetrics.h"
#include "app/Unit2.h"
#include "pdf/PdfCanvas.h"
#include "richtext/document/RVLabelItems.h"

namespace varnolt {

namespace {

// Between the text and the footnotes, and between the text and the endnotes.
constexpr double kNotesGap = 12;
constexpr float kNotesRuleLength = 144;
constexpr float kNotesRuleWidth = 0.5F;

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
  double TextWidthPixels() const { return std::max(1.0, (Width - Left - Right) / kPointsPerPixel); }
  double TextHeightPixels() const { return std::max(1.0, (Height - Top - Bottom) / kPointsPerPixel); }
};

float PaperLength(double points, float least, float most) {
  return std::clamp(static_cast<float>(points), least, most);
}

// What the document brought, made sane: a page a PDF may have, margins that
// leave the text at least half of it.
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

// The page's own geometry wins when the user set it; otherwise the paper
// its document brought, when it brought one.
TPaperFrame FrameOf(const TForm2& form, int index, const TRVPageSetup& setup) {
  const auto i = static_cast<size_t>(index);
  if (setup.Paper && !form.PageGeometrySet.at(i)) return DocumentFrameOf(*setup.Paper);
  const auto left = static_cast<float>(form.PageLeftMargins.at(i));
  const auto top = static_cast<float>(form.PageTopMargins.at(i));
  return {static_cast<float>(form.PageWidths.at(i)), static_cast<float>(form.PageHeights.at(i)), left, left, top, top,
          top / 2, top / 2};
}

void AddPdfPage(TPdfDoc& doc, const TPaperFrame& paper) {
  // The page left is finished: it waits for the save compressed.
  if (TPdfStream* finished = doc.GetCanvas().Contents(); finished != nullptr) finished->DeflateNow();
  doc.AddPage();
  doc.GetCanvas().SetPageWidth(static_cast<int>(paper.Width));
  doc.GetCanvas().SetPageHeight(static_cast<int>(paper.Height));
}

// One document of the flow, offset pixels below the flow's top.
struct TFlowPart {
  const TRVLayout* Layout = nullptr;
  const TCustomRVData* Data = nullptr;
  double Offset = 0;
};

std::unique_ptr<TRVLayout> FormatDocument(const TCustomRVData& data, TPdfFontMetrics& metrics, double width) {
  auto layout = std::make_unique<TRVLayout>();
  layout->SetMetrics(&metrics);
  layout->SetWidth(width);
  layout->Format(data);
  return layout;
}

// The notes of one kind that the layout shows, in the order they show, cells included.
void CollectNotes(const TRVLayout& layout, std::int32_t kind, std::vector<const TRVNoteItemInfo*>& notes) {
  for (int p = 0; p < layout.ParagraphCount(); ++p) {
    const TRVParagraphLayout& paragraph = layout.Paragraph(p);
    if (paragraph.Table != nullptr) {
      for (const TRVCellLayout& cell : paragraph.Table->Cells) CollectNotes(*cell.Content, kind, notes);
      continue;
    }
    for (const TRVBox& box : paragraph.Boxes) {
      const TCustomRVItemInfo& item = layout.Data()->ItemAt(box.ItemNo);
      if (box.Kind == TRVBoxKind::Label && item.StyleNo == kind) {
        notes.push_back(static_cast<const TRVNoteItemInfo*>(&item));
      }
    }
  }
}

// One project page on its way to PDF pages.
class TFormattedPage {
 public:
  TFormattedPage(const TCustomRVData& document, const TRVPageSetup& setup, const TPaperFrame& paper, TPdfDoc& doc,
                 TPdfFontMetrics& metrics, TFormattedPdfPainter& painter)
      : paper_(paper), setup_(setup), doc_(doc), metrics_(metrics), painter_(painter) {
    body_ = FormatDocument(document, metrics_, paper_.TextWidthPixels());
    flow_.push_back({body_.get(), &document, 0});
    AppendEndnotes();
    // A table wider than the page would lose its far columns: the flow
    // shrinks to fit instead, every word kept.
    for (const TFlowPart& part : flow_) {
      scale_ = std::min(scale_, paper_.TextWidthPixels() / std::max(part.Layout->TotalWidth(), 1.0));
    }
    if (setup_.Header != nullptr) header_ = FormatDocument(*setup_.Header, metrics_, paper_.TextWidthPixels());
    if (setup_.Footer != nullptr) footer_ = FormatDocument(*setup_.Footer, metrics_, paper_.TextWidthPixels());
  }

  void Print() {
    std::vector<TFlowUnit> units;
    // Footnotes are printed at full size below a flow that may be shrunk.
    const TFootnoteHeight footnoteHeight = [this](const TRVNoteItemInfo& note) {
      return (Footnote(note).TotalHeight() + kNotesGap) / scale_;
    };
    const double pageHeight = paper_.TextHeightPixels() / scale_;
    for (const TFlowPart& part : flow_) AppendFlowUnits(*part.Layout, part.Offset, pageHeight, footnoteHeight, units);
    for (const TPageBand& band : SplitIntoPages(units, pageHeight)) PrintBand(band);
  }

 private:
  // Endnotes follow the page's text, each formatted on its own.
  void AppendEndnotes() {
    std::vector<const TRVNoteItemInfo*> endnotes;
    CollectNotes(*body_, ItemKindEndnote, endnotes);
    double offset = body_->TotalHeight() + kNotesGap;
    for (const TRVNoteItemInfo* note : endnotes) {
      notes_.push_back(FormatDocument(note->Document(), metrics_, paper_.TextWidthPixels()));
      flow_.push_back({notes_.back().get(), &note->Document(), offset});
      offset += notes_.back()->TotalHeight();
    }
  }

  const TRVLayout& Footnote(const TRVNoteItemInfo& note) {
    auto [it, added] = footnotes_.try_emplace(&note);
    if (added) it->second = FormatDocument(note.Document(), metrics_, paper_.TextWidthPixels());
    return *it->second;
  }

  void PrintBand(const TPageBand& band) {
    AddPdfPage(doc_, paper_);
    painter_.NewPage();
    const float textTop = paper_.Height - paper_.Top;
    // A row taller than the page may run on into the bottom margin, no further.
    const double bandHeight =
        std::min(band.Bottom - band.Top, (paper_.TextHeightPixels() + paper_.Bottom / kPointsPerPixel) / scale_);
    painter_.BeginClip(0, textTop - static_cast<float>(bandHeight * kPointsPerPixel * scale_), paper_.Width, textTop);
    painter_.SetScale(static_cast<float>(scale_));
    painter_.SetPlacement(static_cast<float>(paper_.Left / scale_),
                          static_cast<float>(textTop / scale_ + band.Top * kPointsPerPixel));
    for (const TFlowPart& part : flow_) {
      painter_.PaintLayout(*part.Layout, *part.Data, {0, part.Offset}, band.Top - part.Offset,
                           band.Bottom - part.Offset);
    }
    painter_.EndClip();
    painter_.SetScale(1);
    PrintFootnotes();
    PrintHeaderAndFooter();
    painter_.AddLinksAndAnchors();
  }

  void PrintHeaderAndFooter() {
    if (header_ != nullptr) {
      painter_.SetPlacement(paper_.Left, paper_.Height - paper_.HeaderY);
      painter_.PaintLayout(*header_, *setup_.Header, {0, 0}, 0, kRVUnlimitedWidth);
    }
    if (footer_ != nullptr) {
      painter_.SetPlacement(paper_.Left, paper_.FooterY + static_cast<float>(footer_->TotalHeight() * kPointsPerPixel));
      painter_.PaintLayout(*footer_, *setup_.Footer, {0, 0}, 0, kRVUnlimitedWidth);
    }
  }

  // At the foot of the page, above the bottom margin, under a short rule.
  void PrintFootnotes() {
    const std::vector<const TRVNoteItemInfo*> footnotes = painter_.Footnotes();
    if (footnotes.empty()) return;
    double height = 0;
    for (const TRVNoteItemInfo* note : footnotes) height += Footnote(*note).TotalHeight();
    float top = paper_.Bottom + static_cast<float>(height * kPointsPerPixel);
    painter_.HorizontalLine(0, paper_.Left, paper_.Left + kNotesRuleLength, top + static_cast<float>(kNotesGap / 2),
                            kNotesRuleWidth);
    for (const TRVNoteItemInfo* note : footnotes) {
      const TRVLayout& layout = Footnote(*note);
      painter_.SetPlacement(paper_.Left, top);
      painter_.PaintLayout(layout, note->Document(), {0, 0}, 0, kRVUnlimitedWidth);
      top -= static_cast<float>(layout.TotalHeight() * kPointsPerPixel);
    }
  }

  TPaperFrame paper_;
  // At most 1: below it when the flow is wider than the text.
  double scale_ = 1;
  const TRVPageSetup& setup_;
  TPdfDoc& doc_;
  TPdfFontMetrics& metrics_;
  TFormattedPdfPainter& painter_;
  std::unique_ptr<TRVLayout> body_;
  std::unique_ptr<TRVLayout> header_;
  std::unique_ptr<TRVLayout> footer_;
  std::vector<std::unique_ptr<TRVLayout>> notes_;
  std::map<const TRVNoteItemInfo*, std::unique_ptr<TRVLayout>> footnotes_;
  std::vector<TFlowPart> flow_;
};

}  // namespace

TForm2::TPaper TForm2::PaperOf(int index) const {
  static const TRVPageSetup kNoSetup;
  const auto& editor = PageEditors.at(static_cast<size_t>(index));
  const TPaperFrame frame = FrameOf(*this, index, editor ? editor->PageSetup() : kNoSetup);
  return {frame.Width, frame.Left, frame.Top, frame.Width - frame.Left - frame.Right};
}

void TForm2::FormattedPdfExport() {
  statusbarinit();
  if (!ChoosePdfFile(u"Formatted PDF(*.pdf)|*.pdf")) return;
  PReport1.OpenDocument();
  TPdfDoc& doc = *PReport1.Document();
  doc.SetCompressionMethod(cmFlateDecode);
  doc.SetShareResources(true);
  TPdfFontMetrics metrics(doc);
  TFormattedPdfPainter painter(doc, metrics);

  const int slots = PageSlotCount();
  Progress.Start(slots);
  int pageCount = 0;
  bool printed = false;
  for (int i = 0; i < slots; ++i) {
    auto& editor = PageEditors.at(static_cast<size_t>(i));
    if (!editor) continue;
    ++pageCount;
    editor->SelectWholeDocument();
    if (editor->HasSelection()) {
      const TRVPageSetup& setup = editor->PageSetup();
      TFormattedPage(editor->RVData(), setup, FrameOf(*this, i, setup), doc, metrics, painter).Print();
      printed = true;
    }
    Progress.Step();
    host_.ProcessMessages();
  }
  // A project of empty pages still makes a complete file: one blank page.
  if (!printed) {
    const int first = FirstExistingPage();
    const TPaperFrame paper = FrameOf(*this, first, PageEditors.at(static_cast<size_t>(first))->PageSetup());
    AddPdfPage(doc, paper);
  }
  Progress.End(slots);
  PReport1.CloseDocument();
  MarkExported();
  ShowPdfSummary(pageCount);
}

}  // namespace varnolt
