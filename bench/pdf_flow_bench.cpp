// Flows a large prose text through one report page printed as often as
// needed and writes the PDF to memory, as the PDF export does with a long
// page. Throughput is megabytes of text per second. The counters show the
// pages, the file size, the heap the open document holds just before saving,
// how much of it is content-stream bytes, and what is left per page: a
// constant per-page figure means memory grows only with the document's own
// objects.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string>

#include "pdf/PReport.h"

namespace varnolt {
namespace {

constexpr int kPageWidth = 495;
constexpr int kPageHeight = 614;
constexpr int kMargin = 15;
constexpr std::size_t kMegabyte = 1024 * 1024;

// Deterministic prose: sentences of common words, paragraphs ended by CR LF.
std::u16string Prose(std::size_t size) {
  const char16_t* const words[] = {u"the",    u"report", u"page",    u"of",      u"a",     u"text",
                                   u"frame",  u"flows",  u"every",   u"line",    u"into",  u"its",
                                   u"bounds", u"and",    u"writing", u"numbers", u"which", u"measure",
                                   u"widths", u"caf\u00E9", u"\u20AC12", u"quickly", u"along", u"margins"};
  std::u16string text;
  text.reserve(size + 64);
  std::size_t word = 0;
  int sentenceWords = 0;
  int paragraphSentences = 0;
  while (text.size() < size) {
    std::u16string next = words[(word * 7 + word / 5) % std::size(words)];
    if (sentenceWords == 0) next[0] = static_cast<char16_t>(next[0] >= u'a' && next[0] <= u'z' ? next[0] - 32 : next[0]);
    text += next;
    ++word;
    if (++sentenceWords < 9 + static_cast<int>(word % 7)) {
      text += u' ';
      continue;
    }
    sentenceWords = 0;
    text += u'.';
    if (++paragraphSentences < 5) {
      text += u' ';
    } else {
      paragraphSentences = 0;
      text += u"\r\n\r\n";
    }
  }
  text.resize(size);
  return text;
}

std::size_t HeapInUse() { return mallinfo2().uordblks; }

std::size_t ContentBytes(TPdfDoc& doc) {
  std::size_t bytes = 0;
  for (std::int32_t number = 1; number < doc.Xref().Count(); ++number) {
    if (auto* stream = dynamic_cast<TPdfStream*>(doc.Xref().ObjectByNumber(number))) bytes += stream->Data().size();
  }
  return bytes;
}

void BM_FlowProseIntoReportPages(benchmark::State& state) {
  const std::u16string prose = Prose(static_cast<std::size_t>(state.range(0)) * kMegabyte);
  TPRPage page;
  page.SetWidth(kPageWidth);
  page.SetHeight(kPageHeight);
  TPRLayoutPanel panel;
  panel.SetParent(&page);
  TPRText frame;
  frame.SetParent(&panel);
  frame.SetBounds(kMargin, kMargin, kPageWidth - 2 * kMargin, kPageHeight - 2 * kMargin);
  frame.SetTextMarginLeft(kMargin);
  frame.SetTextMarginRight(kMargin);
  frame.SetTextMarginTop(kMargin);
  frame.SetTextMarginBottom(kMargin);
  frame.SetLineColor(clWhite);
  frame.SetFontName(fnArial);
  frame.SetFontSize(12);
  frame.SetCharSpace(-2);
  frame.SetLeading(12);
  // The second argument breaks lines between words with spaces of their own width, as the export does.
  if (state.range(1) != 0) {
    frame.SetLineBreaks(TLineBreaks::kOpportunities);
    frame.SetWordSpace(2);
  }
  frame.SetText(prose);
  const std::size_t length = frame.Text().size();

  int pages = 0;
  std::size_t fileSize = 0;
  std::size_t documentHeap = 0;
  std::size_t contentBytes = 0;
  for (auto _ : state) {
    std::size_t heapBefore = HeapInUse();
    TPReport report;
    report.OpenDocument();
    frame.SetStartIndex(0);
    do {
      report.PrintPage(page);
      frame.SetStartIndex(frame.StopIndex());
    } while (frame.StopIndex() < length);
    documentHeap = HeapInUse() - heapBefore;
    contentBytes = ContentBytes(*report.Document());
    MemoryOutputStream stream;
    report.CloseDocument(stream);
    pages = report.PrintedPages();
    fileSize = stream.Bytes().size();
    benchmark::DoNotOptimize(stream.Bytes().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * prose.size()));
  state.counters["pages"] = pages;
  state.counters["pdf_MB"] = static_cast<double>(fileSize) / kMegabyte;
  state.counters["doc_heap_MB"] = static_cast<double>(documentHeap) / kMegabyte;
  state.counters["content_MB"] = static_cast<double>(contentBytes) / kMegabyte;
  state.counters["other_KB_per_page"] = (static_cast<double>(documentHeap) - contentBytes) / 1024 / pages;
}

BENCHMARK(BM_FlowProseIntoReportPages)
    ->ArgsProduct({{1, 10}, {0, 1}})
    ->ArgNames({"MB", "words"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnolt
