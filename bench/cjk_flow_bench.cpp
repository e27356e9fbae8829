// Measures and flows a large Chinese text in the proportional Gothic font:
// measuring alone through the canvas, and the whole road of the PDF export
// (its own page and frame printed as often as needed, the PDF written to
// memory).
// Throughput counts one UTF-16 code unit of text as one byte, as the other
// flow benchmark does.
#include <benchmark/benchmark.h>

#include <string>

#include "app/PdfExportFrame.h"
#include "app/Unit2.h"
#include "pdf/PdfCanvas.h"

namespace varnolt {
namespace {

constexpr std::size_t kMegabyte = 1024 * 1024;
constexpr std::size_t kParagraphLength = 300;

// Deterministic Chinese prose: common ideographs, full-width punctuation, a
// few ASCII digits and Latin letters, paragraphs ended by CR LF.
std::u16string ChineseProse(std::size_t size) {
  const std::u16string sentences[] = {
      u"\u4E2D\u6587\u6587\u672C\u7684\u6392\u7248\u9700\u8981\u6D4B\u91CF\u6BCF\u4E2A\u5B57\u7684\u5BBD\u5EA6\uFF0C",
      u"\u7136\u540E\u628A\u5B83\u4EEC\u6D41\u5165\u9875\u9762\u7684\u6587\u672C\u6846\u91CC\u3002",
      u"\u62A5\u544A\u5305\u542B 2024 \u5E74\u7684\u6570\u636E\u548C PDF \u6587\u4EF6\u3002",
      u"\u6BCF\u4E00\u884C\u90FD\u5728\u53F3\u8FB9\u754C\u6362\u884C\uFF0C\u76F4\u5230\u5168\u90E8\u6587\u5B57\u90FD\u653E\u597D\u4E3A\u6B62\u3002",
      u"\u8FD9\u662F\u4E00\u4E2A\u5173\u4E8E\u5B57\u4F53\u3001\u7F16\u7801\u548C\u5E03\u5C40\u7684\u6D4B\u8BD5\uFF1B",
  };
  std::u16string text;
  text.reserve(size + 64);
  std::size_t sentence = 0;
  std::size_t paragraphStart = 0;
  while (text.size() < size) {
    text += sentences[(sentence * 3 + sentence / 4) % std::size(sentences)];
    ++sentence;
    if (text.size() - paragraphStart >= kParagraphLength) {
      text += u"\r\n";
      paragraphStart = text.size();
    }
  }
  text.resize(size);
  return text;
}

void BM_MeasureChineseInPGothic(benchmark::State& state) {
  const std::u16string text = ChineseProse(static_cast<std::size_t>(state.range(0)) * kMegabyte);
  TPdfDoc doc;
  doc.StartDocumentWithPage();
  TPdfCanvas& canvas = doc.GetCanvas();
  canvas.SelectFont(u"PGothic", 10.5f);
  float width = 0;
  for (auto _ : state) {
    width = canvas.MeasureWidth(text);
    benchmark::DoNotOptimize(width);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_FlowChineseInPGothicIntoReportPages(benchmark::State& state) {
  const std::u16string text = ChineseProse(static_cast<std::size_t>(state.range(0)) * kMegabyte);
  TPdfExportFrame page;
  page.SetUp(TForm2::kDefaultPageWidth, TForm2::kDefaultPageHeight, TForm2::kDefaultPageMargin,
             TForm2::kDefaultPageMargin, text);
  if (page.Frame().FontName() != fnPGothic) state.SkipWithError("the export did not pick the Gothic font");

  int pages = 0;
  std::size_t fileSize = 0;
  for (auto _ : state) {
    TPReport report;
    report.OpenDocument();
    page.PrintAll(report);
    MemoryOutputStream stream;
    report.CloseDocument(stream);
    pages = report.PrintedPages();
    fileSize = stream.Bytes().size();
    benchmark::DoNotOptimize(stream.Bytes().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["pages"] = pages;
  state.counters["pdf_MB"] = static_cast<double>(fileSize) / kMegabyte;
}

BENCHMARK(BM_MeasureChineseInPGothic)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlowChineseInPGothicIntoReportPages)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnolt
