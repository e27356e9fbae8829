// The formatted PDF export's text: measuring office text with PDF font
// metrics as the layout does (word by word and whole lines), and drawing
// runs onto pages.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/PdfFontMetrics.h"
#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"

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

}  // namespace
