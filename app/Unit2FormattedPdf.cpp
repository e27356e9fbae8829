// The formatted PDF export: every non-empty page formatted with PDF font
// metrics, section by section at its columns' width, split into PDF pages
// of its paper and painted through the canvas with its headers, footers,
// notes, links and anchors.
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "app/FormattedPdfPages.h"
#include "app/FormattedPdfPainter.h"
#include "app/FormattedPdfSections.h"
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
constexpr float kColumnRuleWidth = 0.5F;
// A header or footer taller than the margin pushes the body, but leaves it
// at least this share of the page.
constexpr float kLeastBodyShare = 0.25F;

// The page's own geometry wins when the user set it; otherwise the paper
// its document brought, when it brought one.
TPaperFrame FrameOf(const TForm2& form, int index, const std::optional<TRVDocParameters>& paper) {
  const auto i = static_cast<size_t>(index);
  if (paper && !form.PageGeometrySet.at(i)) return DocumentFrameOf(*paper);
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

std::unique_ptr<TRVLayout> NewLayout(TPdfFontMetrics& metrics, double width) {
  auto layout = std::make_unique<TRVLayout>();
  layout->SetMetrics(&metrics);
  layout->SetWidth(width);
  return layout;
}

std::unique_ptr<TRVLayout> FormatDocument(const TCustomRVData& data, TPdfFontMetrics& metrics, double width) {
  auto layout = NewLayout(metrics, width);
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

// Sets each page field of the document (and its cells) to its page's number.
void SetPageFields(TCustomRVData& data, int page, int pages, int sectionPages) {
  for (int i = 0; i < data.CountItems(); ++i) {
    TCustomRVItemInfo& item = data.ItemAt(i);
    if (auto* field = dynamic_cast<TRVPageFieldItemInfo*>(&item)) {
      const int number = field->Field == TRVPageFieldKind::Page       ? page
                         : field->Field == TRVPageFieldKind::NumPages ? pages
                                                                      : sectionPages;
      field->Text = SeqNumberText(number, rvseqDecimal);
    }
    for (int d = 0; d < item.SubDocumentCount(); ++d) {
      if (TCustomRVData* part = item.SubDocument(d)) SetPageFields(*part, page, pages, sectionPages);
    }
  }
}

// One section run formatted: its body at the columns' width, and the
// endnotes after the last run's text.
struct TFormattedRun {
  TSectionRun Run;
  std::unique_ptr<TRVLayout> Body;
  std::vector<TFlowPart> Flow;
  // At most 1: below it when the flow is wider than a column.
  double Scale = 1;
};

// One run's share of a PDF page: the band of its flow each column shows.
struct TPageSlice {
  std::size_t Run = 0;
  float Top = 0;     // points below the body's top
  float Height = 0;  // points its tallest column takes
  std::vector<TPageBand> Columns;
};

// Where a PDF page's body goes and what it shows.
struct TPlannedPage {
  std::size_t Run = 0;  // the run that opened it: its paper, its section's headers
  int SectionPage = 1;  // from 1 in its section
  TRVHeaderFooterPages Kind = TRVHeaderFooterPages::All;
  float BodyTop = 0;     // points from the top edge
  float BodyBottom = 0;  // points from the bottom edge
  std::vector<TPageSlice> Slices;  // none: a page left blank to start a section on the right side
  float BodyHeight(const TPaperFrame& paper) const { return std::max(1.0F, paper.Height - BodyTop - BodyBottom); }
  float Used() const { return Slices.empty() ? 0 : Slices.back().Top + Slices.back().Height; }
};

// For each band, the height of the units that start inside it, from its
// top; units and bands both go down the flow, so one pass does.
std::vector<double> ContentHeights(std::span<const TFlowUnit> units, std::span<const TPageBand> bands) {
  std::vector<double> heights(bands.size(), 0);
  std::size_t b = 0;
  for (const TFlowUnit& unit : units) {
    while (b + 1 < bands.size() && unit.Top >= bands[b].Bottom) ++b;
    if (unit.Top >= bands[b].Top && unit.Top < bands[b].Bottom) {
      heights[b] = std::max(heights[b], unit.Bottom - bands[b].Top);
    }
  }
  return heights;
}

// The least column height at which the units fill no more than the columns,
// so that the last page's columns end alike.
double BalancedHeight(std::span<const TFlowUnit> units, int columns, double most) {
  double low = 0;
  double high = most;
  for (int step = 0; step < 24 && high - low > 0.5; ++step) {
    const double middle = (low + high) / 2;
    const auto fits = SplitIntoBands(units, [middle](int) { return middle; }, 1).size() <= static_cast<std::size_t>(columns);
    (fits ? high : low) = middle;
  }
  return high;
}

// One project page on its way to PDF pages.
class TFormattedPage {
 public:
  TFormattedPage(TCustomRVData& document, TRVPageSetup& setup, std::vector<TSectionRun> runs, TPdfDoc& doc,
                 TPdfFontMetrics& metrics, TFormattedPdfPainter& painter)
      : document_(document), setup_(setup), doc_(doc), metrics_(metrics), painter_(painter) {
    for (TSectionRun& run : runs) FormatRun(run);
    AppendEndnotes(runs_.back());
    for (TFormattedRun& run : runs_) {
      // A table wider than a column would lose its far columns: the flow
      // shrinks to fit instead, every word kept.
      for (const TFlowPart& part : run.Flow) {
        run.Scale = std::min(run.Scale, run.Run.ColumnWidthPixels() / std::max(part.Layout->TotalWidth(), 1.0));
      }
    }
  }

  void Print() {
    for (std::size_t r = 0; r < runs_.size(); ++r) PlanRun(r);
    std::map<std::size_t, int> sectionPages;
    for (const TPlannedPage& page : pages_) ++sectionPages[runs_[page.Run].Run.Section];
    const int total = static_cast<int>(pages_.size());
    for (std::size_t p = 0; p < pages_.size(); ++p) {
      const TPlannedPage& page = pages_[p];
      PrintPage(page, static_cast<int>(p) + 1, total, sectionPages[runs_[page.Run].Run.Section]);
    }
  }

 private:
  void FormatRun(const TSectionRun& run) {
    TFormattedRun& formatted = runs_.emplace_back();
    formatted.Run = run;
    formatted.Body = NewLayout(metrics_, run.ColumnWidthPixels());
    formatted.Body->FormatItems(document_, run.FirstItem, run.EndItem);
    formatted.Flow.push_back({formatted.Body.get(), &document_, 0});
  }

  // Endnotes follow the page's text, each formatted on its own.
  void AppendEndnotes(TFormattedRun& last) {
    std::vector<const TRVNoteItemInfo*> endnotes;
    for (const TFormattedRun& run : runs_) CollectNotes(*run.Body, ItemKindEndnote, endnotes);
    double offset = last.Body->TotalHeight() + kNotesGap;
    for (const TRVNoteItemInfo* note : endnotes) {
      notes_.push_back(FormatDocument(note->Document(), metrics_, last.Run.ColumnWidthPixels()));
      last.Flow.push_back({notes_.back().get(), &note->Document(), offset});
      offset += notes_.back()->TotalHeight();
    }
  }

  const TRVLayout& Footnote(const TRVNoteItemInfo& note, const TPaperFrame& paper) {
    auto [it, added] = footnotes_.try_emplace(&note);
    if (added) it->second = FormatDocument(note.Document(), metrics_, paper.TextWidthPixels());
    return *it->second;
  }

  // The header or footer formatted at the text's width of the paper, once.
  const TRVLayout* HeaderFooter(const TCustomRVData* data, const TPaperFrame& paper) {
    if (data == nullptr) return nullptr;
    auto& layout = headersAndFooters_[{data, paper.TextWidthPixels()}];
    if (layout == nullptr) layout = FormatDocument(*data, metrics_, paper.TextWidthPixels());
    return layout.get();
  }

  float HeightOf(const TRVLayout* layout) const {
    return layout == nullptr ? 0 : static_cast<float>(layout->TotalHeight() * kPointsPerPixel);
  }

  // The body starts below the header and ends above the footer where they
  // are taller than their margins, as word processors place it.
  void PlaceBody(TPlannedPage& page) {
    const TSectionRun& run = runs_[page.Run].Run;
    const TPaperFrame& paper = run.Paper;
    const float header = HeightOf(HeaderFooter(setup_.HeaderFor(run.Section, page.Kind), paper));
    const float footer = HeightOf(HeaderFooter(setup_.FooterFor(run.Section, page.Kind), paper));
    const float most = paper.Height * (1 - kLeastBodyShare) / 2;
    page.BodyTop = std::max(paper.Top, std::min(paper.HeaderY + header, most));
    page.BodyBottom = std::max(paper.Bottom, std::min(paper.FooterY + footer, most));
  }

  TPlannedPage NewPage(std::size_t r, int number, int sectionPage) {
    const TSectionRun& run = runs_[r].Run;
    TPlannedPage page{r, sectionPage, setup_.PagesKind(run.Section, number, sectionPage == 1), 0, 0, {}};
    PlaceBody(page);
    return page;
  }

  // A continuous section goes on below the one before when the page is the same.
  bool ContinuesThePage(std::size_t r) const {
    const TSectionRun& run = runs_[r].Run;
    return r > 0 && !pages_.empty() && run.Break == TRVSectionBreak::Continuous &&
           runs_[pages_.back().Run].Run.Paper == run.Paper && !pages_.back().Slices.empty();
  }

  // An odd or even section break may leave a page blank.
  void LeaveABlankPageIfAsked(std::size_t r) {
    const TRVSectionBreak kind = runs_[r].Run.Break;
    const bool wantsOdd = kind == TRVSectionBreak::OddPage;
    const bool nextIsOdd = pages_.size() % 2 == 0;
    if (pages_.empty() || (kind != TRVSectionBreak::OddPage && kind != TRVSectionBreak::EvenPage)) return;
    if (nextIsOdd != wantsOdd) pages_.push_back(NewPage(r, static_cast<int>(pages_.size()) + 1, 1));
  }

  // Plans the pages of a run: which band of its flow each column shows.
  void PlanRun(std::size_t r) {
    const TFormattedRun& formatted = runs_[r];
    const TSectionRun& run = formatted.Run;
    const bool continues = ContinuesThePage(r);
    if (!continues) LeaveABlankPageIfAsked(r);
    const std::size_t firstPage = continues ? pages_.size() - 1 : pages_.size();
    const float used = continues ? pages_.back().Used() : 0;
    const int sectionPagesBefore = continues ? pages_.back().SectionPage - 1 : 0;
    const auto pageOfBand = [&](int band) -> TPlannedPage& {
      const std::size_t index = firstPage + static_cast<std::size_t>(band / run.Columns);
      while (pages_.size() <= index) {
        const int number = static_cast<int>(pages_.size()) + 1;
        pages_.push_back(NewPage(r, number, sectionPagesBefore + static_cast<int>(pages_.size() - firstPage) + 1));
      }
      return pages_[index];
    };
    const auto room = [&](int band) {
      const TPlannedPage& page = pageOfBand(band);
      const float taken = band < run.Columns ? used : 0;
      return std::max(1.0, (page.BodyHeight(run.Paper) - taken) / kPointsPerPixel / formatted.Scale);
    };
    std::vector<TFlowUnit> units;
    // Footnotes are printed at full size below a flow that may be shrunk.
    const TFootnoteHeight footnoteHeight = [this, &run, &formatted](const TRVNoteItemInfo& note) {
      return (Footnote(note, run.Paper).TotalHeight() + kNotesGap) / formatted.Scale;
    };
    const double tallest = run.Paper.TextHeightPixels() / formatted.Scale;
    for (const TFlowPart& part : formatted.Flow) AppendFlowUnits(*part.Layout, part.Offset, tallest, footnoteHeight, units);
    std::vector<TPageBand> bands = SplitIntoBands(units, room, run.Columns);
    if (run.Columns > 1) BalanceLastPage(units, bands, run.Columns, room);
    const std::vector<double> heights = ContentHeights(units, bands);
    for (std::size_t b = 0; b < bands.size(); ++b) {
      TPlannedPage& page = pageOfBand(static_cast<int>(b));
      if (b % static_cast<std::size_t>(run.Columns) == 0) {
        page.Slices.push_back({r, b < static_cast<std::size_t>(run.Columns) ? used : 0, 0, {}});
      }
      TPageSlice& slice = page.Slices.back();
      slice.Columns.push_back(bands[b]);
      const double height = heights[b] * kPointsPerPixel * formatted.Scale;
      slice.Height = std::max(slice.Height, static_cast<float>(height));
    }
  }

  // The last page's columns share its units evenly, as word processors end a
  // section of columns.
  static void BalanceLastPage(std::span<const TFlowUnit> units, std::vector<TPageBand>& bands, int columns,
                              const TBandHeight& room) {
    const std::size_t first = (bands.size() - 1) / static_cast<std::size_t>(columns) * static_cast<std::size_t>(columns);
    const double top = bands[first].Top;
    std::vector<TFlowUnit> tail;
    for (const TFlowUnit& unit : units) {
      if (unit.Top < top) continue;
      if (unit.BreakBefore && unit.Top > top) return;
      tail.push_back(unit);
    }
    if (tail.empty()) return;
    const double height = BalancedHeight(tail, columns, room(static_cast<int>(first)));
    std::vector<TPageBand> balanced = SplitIntoBands(tail, [height](int) { return height; }, 1);
    if (balanced.size() > static_cast<std::size_t>(columns)) return;
    balanced.front().Top = top;
    bands.erase(bands.begin() + static_cast<std::ptrdiff_t>(first), bands.end());
    bands.insert(bands.end(), balanced.begin(), balanced.end());
  }

  void PrintPage(const TPlannedPage& page, int number, int total, int sectionPages) {
    const TPaperFrame& paper = runs_[page.Run].Run.Paper;
    AddPdfPage(doc_, paper);
    painter_.NewPage();
    for (const TPageSlice& slice : page.Slices) {
      const TFormattedRun& formatted = runs_[slice.Run];
      const TSectionRun& run = formatted.Run;
      const auto columnWidth = static_cast<float>(run.ColumnWidthPixels() * kPointsPerPixel);
      for (std::size_t c = 0; c < slice.Columns.size(); ++c) {
        const float left = paper.Left + static_cast<float>(c) * (columnWidth + run.ColumnSpace);
        PrintColumn(formatted, page, slice, slice.Columns[c], left, columnWidth);
        if (c > 0 && run.LineBetweenColumns) {
          const float top = paper.Height - page.BodyTop - slice.Top;
          painter_.VerticalLine(0, left - run.ColumnSpace / 2, top - slice.Height, top, kColumnRuleWidth);
        }
      }
    }
    PrintFootnotes(paper, page.BodyBottom);
    PrintHeaderAndFooter(page, number, total, sectionPages);
    painter_.AddLinksAndAnchors();
  }

  void PrintColumn(const TFormattedRun& formatted, const TPlannedPage& page, const TPageSlice& slice,
                   const TPageBand& band, float left, float width) {
    const TPaperFrame& paper = formatted.Run.Paper;
    const double scale = formatted.Scale;
    const float textTop = paper.Height - page.BodyTop - slice.Top;
    // A row taller than the page may run on into the bottom margin, no further.
    const double most = textTop / kPointsPerPixel / scale;
    const double bandHeight = std::min(band.Bottom - band.Top, most);
    // Columns side by side keep to their own width; one column may spill into the margins.
    const bool columns = formatted.Run.Columns > 1;
    painter_.BeginClip(columns ? left : 0, textTop - static_cast<float>(bandHeight * kPointsPerPixel * scale),
                       columns ? left + width : paper.Width, textTop);
    painter_.SetScale(static_cast<float>(scale));
    painter_.SetPlacement(static_cast<float>(left / scale),
                          static_cast<float>(textTop / scale + band.Top * kPointsPerPixel));
    for (const TFlowPart& part : formatted.Flow) {
      painter_.PaintLayout(*part.Layout, *part.Data, {0, part.Offset}, band.Top - part.Offset,
                           band.Bottom - part.Offset);
    }
    painter_.EndClip();
    painter_.SetScale(1);
  }

  void PrintHeaderAndFooter(const TPlannedPage& page, int number, int total, int sectionPages) {
    const TSectionRun& run = runs_[page.Run].Run;
    const TPaperFrame& paper = run.Paper;
    for (const bool footer : {false, true}) {
      const TCustomRVData* data =
          footer ? setup_.FooterFor(run.Section, page.Kind) : setup_.HeaderFor(run.Section, page.Kind);
      if (data == nullptr) continue;
      // The setup's own documents: the page numbers are set in them for this page.
      SetPageFields(const_cast<TCustomRVData&>(*data), number, total, sectionPages);
      const std::unique_ptr<TRVLayout> layout = FormatDocument(*data, metrics_, paper.TextWidthPixels());
      const float top = footer ? paper.FooterY + HeightOf(layout.get()) : paper.Height - paper.HeaderY;
      painter_.SetPlacement(paper.Left, top);
      painter_.PaintLayout(*layout, *data, {0, 0}, 0, kRVUnlimitedWidth);
    }
  }

  // At the foot of the page, above the footer, under a short rule.
  void PrintFootnotes(const TPaperFrame& paper, float bottom) {
    const std::vector<const TRVNoteItemInfo*> footnotes = painter_.Footnotes();
    if (footnotes.empty()) return;
    double height = 0;
    for (const TRVNoteItemInfo* note : footnotes) height += Footnote(*note, paper).TotalHeight();
    float top = bottom + static_cast<float>(height * kPointsPerPixel);
    painter_.HorizontalLine(0, paper.Left, paper.Left + kNotesRuleLength, top + static_cast<float>(kNotesGap / 2),
                            kNotesRuleWidth);
    for (const TRVNoteItemInfo* note : footnotes) {
      const TRVLayout& layout = Footnote(*note, paper);
      painter_.SetPlacement(paper.Left, top);
      painter_.PaintLayout(layout, note->Document(), {0, 0}, 0, kRVUnlimitedWidth);
      top -= static_cast<float>(layout.TotalHeight() * kPointsPerPixel);
    }
  }

  TCustomRVData& document_;
  TRVPageSetup& setup_;
  TPdfDoc& doc_;
  TPdfFontMetrics& metrics_;
  TFormattedPdfPainter& painter_;
  std::vector<TFormattedRun> runs_;
  std::vector<TPlannedPage> pages_;
  std::vector<std::unique_ptr<TRVLayout>> notes_;
  std::map<const TRVNoteItemInfo*, std::unique_ptr<TRVLayout>> footnotes_;
  std::map<std::pair<const TCustomRVData*, double>, std::unique_ptr<TRVLayout>> headersAndFooters_;
};

}  // namespace

TForm2::TPaper TForm2::PaperOf(int index) const {
  const auto& editor = PageEditors.at(static_cast<size_t>(index));
  std::optional<TRVDocParameters> paper;
  if (editor) paper = editor->PageSetup().Paper;
  const TPaperFrame frame = FrameOf(*this, index, paper);
  return {frame.Width, frame.Left, frame.Top, frame.Width - frame.Left - frame.Right};
}

void TForm2::FormattedPdfExport() {
  statusbarinit();
  if (!ChoosePdfFile(u"Formatted PDF(*.pdf)|*.pdf")) return;
  PReport1.OpenDocument();
  TPdfDoc& doc = *PReport1.Document();
  doc.SetCompressionMethod(cmFlateDecode);
  doc.SetShareResources(true);
  // Every run selects its own font.
  doc.GetCanvas().SetSelectsDefaultFont(false);
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
      TRVPageSetup& setup = editor->PageSetup();
      const TFrameOfPaper frameOf = [this, i](const std::optional<TRVDocParameters>& paper) {
        return FrameOf(*this, i, paper);
      };
      TCustomRVData& document = editor->RVData();
      TFormattedPage(document, setup, SectionRuns(setup, document.CountItems(), frameOf), doc, metrics, painter)
          .Print();
      printed = true;
    }
    Progress.Step();
    host_.ProcessMessages();
  }
  // A project of empty pages still makes a complete file: one blank page.
  if (!printed) {
    const int first = FirstExistingPage();
    AddPdfPage(doc, FrameOf(*this, first, PageEditors.at(static_cast<size_t>(first))->PageSetup().Paper));
  }
  Progress.End(slots);
  PReport1.CloseDocument();
  MarkExported();
  ShowPdfSummary(pageCount);
}

}  // namespace varnolt
