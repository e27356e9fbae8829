// Text extraction from a generated 5 MB web page (paragraphs with inline
// markup, tables, lists, pre blocks, scripts and styles), as the web page
// import does it after the fetch: character set, decoding, parsing and the
// walk; the parse and walk alone on UTF-8; and the walk over a parsed page.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "platform/CodePage.h"
#include "platform/HtmlText.h"

namespace {

using namespace varnolt;

constexpr std::size_t kPageBytes = 5 << 20;

std::string GeneratePage(std::size_t targetBytes) {
  static const char* const kWords[] = {"the",  "quick", "brown", "fox",   "jumps", "over",    "a",
                                       "lazy", "dog",   "caf\xC3\xA9", "\xE2\x82\xAC", "\xD0\xBC\xD0\xB8\xD1\x80",
                                       "\xE4\xB8\xAD\xE6\x96\x87"};
  std::mt19937 random(7);
  auto word = [&] { return std::string(kWords[random() % std::size(kWords)]); };
  std::string html =
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Bench</title>"
      "<style>p { margin: 0 } td { padding: 2px }</style></head><body>\n";
  for (int block = 0; html.size() < targetBytes; ++block) {
    switch (block % 5) {
      case 0:
      case 1:
        html += "<p>";
        for (int i = 0; i < 60; ++i) html += (i % 9 == 4 ? "<b>" + word() + "</b>" : word()) + " ";
        html += "</p>\n";
        break;
      case 2:
        html += "<table>";
        for (int row = 0; row < 5; ++row) {
          html += "<tr>";
          for (int column = 0; column < 4; ++column) html += "<td>" + word() + " " + word() + "</td>";
          html += "</tr>";
        }
        html += "</table>\n";
        break;
      case 3: html += "<ul><li>" + word() + "</li><li>" + word() + " <a href=\"#x\">" + word() + "</a></li></ul>\n"; break;
      default:
        html += "<script>var value" + std::to_string(block) + " = 1;</script><pre>  " + word() + "\n   " + word() +
                "</pre>\n";
    }
  }
  return html + "</body></html>\n";
}

void BM_WebPageText(benchmark::State& state) {
  const std::string page = GeneratePage(kPageBytes);
  for (auto _ : state) benchmark::DoNotOptimize(WebPageText(page, "text/html; charset=utf-8"));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(BM_WebPageText)->Unit(benchmark::kMillisecond);

void BM_HtmlBodyText(benchmark::State& state) {
  const std::string page = GeneratePage(kPageBytes);
  for (auto _ : state) benchmark::DoNotOptimize(HtmlBodyText(page));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(BM_HtmlBodyText)->Unit(benchmark::kMillisecond);

void BM_WalkOfParsedPage(benchmark::State& state) {
  const std::string page = GeneratePage(kPageBytes);
  const THtmlDocument document(page);
  for (auto _ : state) benchmark::DoNotOptimize(document.BodyText());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(BM_WalkOfParsedPage)->Unit(benchmark::kMillisecond);

}  // namespace
