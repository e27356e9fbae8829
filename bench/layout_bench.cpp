// Formatting a 10 MB RTF-imported document from nothing with the fixed
// metrics (the engine alone), and the heap it takes against the document's.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include "bench/OfficeRtf.h"
#include "richtext/layout/RVLayout.h"

namespace {

using namespace varnolt;

std::size_t HeapInUse() { return mallinfo2().uordblks; }

void BM_FormatImportedDocument(benchmark::State& state) {
  const std::string rtf = bench::GenerateOfficeRtf(static_cast<std::size_t>(state.range(0)) << 20);
  TRVStyle style;
  TCustomRVData document;
  document.SetRVStyle(&style);
  const std::size_t empty = HeapInUse();
  if (bench::ImportAsPageEditors(rtf, document) != 0) state.SkipWithError("the import failed");
  const std::size_t documentBytes = HeapInUse() - empty;
  std::size_t layoutBytes = 0;
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    TRVLayout layout;
    layout.SetWidth(624);
    layout.Format(document);
    layoutBytes = HeapInUse() - before;
    benchmark::DoNotOptimize(layout.TotalHeight());
  }
  state.counters["document_MB"] = static_cast<double>(documentBytes) / (1 << 20);
  state.counters["layout_MB"] = static_cast<double>(layoutBytes) / (1 << 20);
  state.counters["layout_per_document"] = static_cast<double>(layoutBytes) / static_cast<double>(documentBytes);
}
BENCHMARK(BM_FormatImportedDocument)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
