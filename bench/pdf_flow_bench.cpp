// Flows a large prose text through the PDF export's own page and frame,
// printed as often as needed, and writes the PDF to memory, as the export
// does with a long page. Throughput is megabytes of text per second. The
// counters show the pages, the file size, the heap the open document holds
// just before saving, how much of it is content-stream bytes still in
// memory (finished pages wait in a temporary file), and what is left per
// page: a constant per-page figure means memory grows only with the
// document's own objects.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string>

#include "app/PdfExportFrame.h"
#include "app/Unit2.h"

namespace varnolt {
namespace {

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

// Content still in memory; finished pages wait for the save in the
// document's temporary file, and reading them would bring them back.
std::size_t ContentBytes(TPdfDoc& doc) {
  std::size_t bytes = 0;
  for (std::int32_t number = 1; number < doc.Xref().Count(); ++number) {
    auto* stream = dynamic_cast<TPdfStream*>(doc.Xref().ObjectByNumber(number));
    if (stream != nullptr && !stream->DataMovedOut()) bytes += stream->Data().size();
  }
  return bytes;
}

void BM_FlowProseIntoReportPages(benchmark::State& state) {
  const std::u16string prose = Prose(static_cast<std::size_t>(state.range(0)) * kMegabyte);
  TPdfExportFrame page;
  page.SetUp(TForm2::kDefaultPageWidth, TForm2::kDefaultPageHeight, TForm2::kDefaultPageMargin,
             TForm2::kDefaultPageMargin, prose);
  if (page.Frame().FontName() != fnArial) state.SkipWithError("the export did not pick Arial");

  int pages = 0;
  std::size_t fileSize = 0;
  std::size_t documentHeap = 0;
  std::size_t contentBytes = 0;
  for (auto _ : state) {
    std::size_t heapBefore = HeapInUse();
    TPReport report;
    report.OpenDocument();
    page.PrintAll(report);
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

BENCHMARK(BM_FlowProseIntoReportPages)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnolt
