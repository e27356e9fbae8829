// The formatted PDF export's text: measuring office text with PDF font
// metrics as the layout does (word by word and whole lines), and drawing
// runs onto pages.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/PdfFontMetrics.h"
#include "bench/OfficeRtf.h"
#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"
#include "richtext/layout/RVLayout.h"

namespace {

using namespace varnolt;

constexpr std::u16string_view kOfficeText =
    u"An ordinary paragraph of body text with bold and coloured italic words, the way word processors "
    u"write each change of formatting. Invoices, minutes and reports: 12.5% more in Q3 (see table 4), "
    u"“quoted” and naïve café text – with dashes — and numbers 1,234.56 € for the year 2025.";

// Each word with its trailing space, as the layout measures them.
std::vector<std::u16string_view> Words(std::u16string_view text) {
  std::vector<std::u16string_view> words;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t space = text.find(u' ', start);
    const std::size_t end = space == text.npos ? text.size() : space + 1;
    words.push_back(text.substr(start, end - start));
    start = end;
  }
  return words;
}

TFontInfo BodyStyle() {
  TFontInfo font;
  font.FontName = u"Times New Roman";
  font.Size = 12;
  return font;
}

void BM_RunAdvanceWords(benchmark::State& state) {
  TPdfDoc doc;
  doc.StartDocument();
  TPdfFontMetrics metrics(doc);
  const TFontInfo font = BodyStyle();
  const std::vector<std::u16string_view> words = Words(kOfficeText);
  for (auto _ : state) {
    double width = 0;
    for (std::u16string_view word : words) width += metrics.RunAdvance(font, word);
    benchmark::DoNotOptimize(width);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kOfficeText.size() * sizeof(char16_t)));
}
BENCHMARK(BM_RunAdvanceWords);

// Words of other scripts: font choice, shaping, and then the word cache.
void BM_RunAdvanceCyrillicAndArabicWords(benchmark::State& state) {
  TPdfDoc doc;
  doc.StartDocument();
  TPdfFontMetrics metrics(doc);
  const TFontInfo font = BodyStyle();
  constexpr std::u16string_view kText = u"Привет, мир! Отчёт за третий квартал. مرحبا بالعالم تقرير الربع الثالث";
  const std::vector<std::u16string_view> words = Words(kText);
  for (auto _ : state) {
    double width = 0;
    for (std::u16string_view word : words) width += metrics.RunAdvance(font, word);
    benchmark::DoNotOptimize(width);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kText.size() * sizeof(char16_t)));
}
BENCHMARK(BM_RunAdvanceCyrillicAndArabicWords);

void BM_RunAdvanceParagraph(benchmark::State& state) {
  TPdfDoc doc;
  doc.StartDocument();
  TPdfFontMetrics metrics(doc);
  const TFontInfo font = BodyStyle();
  for (auto _ : state) benchmark::DoNotOptimize(metrics.RunAdvance(font, kOfficeText));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kOfficeText.size() * sizeof(char16_t)));
}
BENCHMARK(BM_RunAdvanceParagraph);

// The office-style RTF imported, then laid out from nothing at a page's text
// width with PDF metrics: what the formatted export's layout costs.
void BM_FormatOfficeDocumentWithPdfMetrics(benchmark::State& state) {
  const std::string rtf = bench::GenerateOfficeRtf(static_cast<std::size_t>(state.range(0)) << 20);
  TRVStyle style;
  TCustomRVData document;
  document.SetRVStyle(&style);
  if (bench::ImportAsPageEditors(rtf, document) != 0) state.SkipWithError("the import failed");
  for (auto _ : state) {
    TPdfDoc doc;
    doc.StartDocument();
    TPdfFontMetrics metrics(doc);
    TRVLayout layout;
    layout.SetMetrics(&metrics);
    layout.SetWidth(624);
    layout.Format(document);
    benchmark::DoNotOptimize(layout.TotalHeight());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}
BENCHMARK(BM_FormatOfficeDocumentWithPdfMetrics)->Arg(25)->Unit(benchmark::kMillisecond)->Iterations(2);

// Lines of office text drawn onto pages, forty to a page, justified.
void DrawLines(benchmark::State& state, std::u16string_view text) {
  constexpr int kLinesPerPage = 40;
  constexpr int kPagesPerDocument = 200;
  const TFontInfo font = BodyStyle();
  std::size_t drawn = 0;
  while (state.KeepRunningBatch(kLinesPerPage * kPagesPerDocument)) {
    TPdfDoc doc;
    doc.StartDocument();
    TPdfFontMetrics metrics(doc);
    for (int page = 0; page < kPagesPerDocument; ++page) {
      doc.AddPage();
      for (int line = 0; line < kLinesPerPage; ++line) {
        metrics.DrawRun(doc.GetCanvas(), font, text, 72, static_cast<float>(770 - line * 16), 0.5f);
        drawn += text.size();
      }
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(drawn * sizeof(char16_t)));
}

void BM_DrawRunLatin(benchmark::State& state) { DrawLines(state, kOfficeText.substr(0, 96)); }
BENCHMARK(BM_DrawRunLatin);

void BM_DrawRunLatinAndChinese(benchmark::State& state) {
  DrawLines(state, u"Quarterly report 季度报告 for the board, 董事会 minutes and 结论 in brief.");
}
BENCHMARK(BM_DrawRunLatinAndChinese);

void BM_DrawRunCyrillicAndArabic(benchmark::State& state) {
  DrawLines(state, u"Отчёт за третий квартал: مرحبا بالعالم, итоги и выводы.");
}
BENCHMARK(BM_DrawRunCyrillicAndArabic);

// One long justified run of alternating Latin and Hebrew words: thousands
// of bidi runs and font segments; the rate should not fall with the length.
void BM_DrawRunAlternatingDirections(benchmark::State& state) {
  std::u16string text;
  while (text.size() < static_cast<std::size_t>(state.range(0))) text += u"word שלום ";
  const TFontInfo font = BodyStyle();
  TPdfDoc doc;
  doc.StartDocument();
  doc.AddPage();
  TPdfFontMetrics metrics(doc);
  for (auto _ : state) {
    doc.GetCanvas().Contents()->Data().clear();
    metrics.DrawRun(doc.GetCanvas(), font, text, 72, 700, 0.5f);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size() * sizeof(char16_t)));
}
BENCHMARK(BM_DrawRunAlternatingDirections)->Arg(1 << 10)->Arg(1 << 16);

}  // namespace
