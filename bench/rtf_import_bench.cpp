// Importing RTF into a page: generated RTF in the manner of office programs
// (a run per formatting change, list paragraphs, tables, Cyrillic text) read
// into a document and inserted at an editor's caret, with how far the
// resident memory grows.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "bench/OfficeRtf.h"
#include "bench/support/ResidentMemory.h"
#include "richtext/editor/RVEdit.h"
#include "richtext/rtf/import/RVRTFProps.h"

namespace {

using namespace varnolt;
using varnolt::bench::GenerateOfficeRtf;

void Report(benchmark::State& state, const std::string& rtf, long residentBefore, long residentAfter, int items) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(rtf.size()));
  state.counters["items"] = items;
  state.counters["resident_growth_per_rtf_byte"] =
      static_cast<double>(residentAfter - residentBefore) * 1024.0 / static_cast<double>(rtf.size());
}

void BM_LoadRtfIntoDocument(benchmark::State& state) {
  const std::string rtf = GenerateOfficeRtf(static_cast<std::size_t>(state.range(0)) << 20);
  const long before = ResidentKilobytes();
  long after = before;
  int items = 0;
  for (auto _ : state) {
    TRVStyle style;
    TCustomRVData doc;
    doc.SetRVStyle(&style);
    TRVRTFReaderProperties props;
    props.ParaStyleMode = static_cast<TRVReaderStyleMode>(state.range(1));
    props.TextStyleMode = props.ParaStyleMode;
    if (props.LoadRTF(rtf, doc) != 0) state.SkipWithError("the import failed");
    items = doc.CountItems();
    after = std::max(after, ResidentKilobytes());
    state.PauseTiming();
    doc.ClearItems();
    state.ResumeTiming();
  }
  Report(state, rtf, before, after, items);
}
BENCHMARK(BM_LoadRtfIntoDocument)
    ->Args({20, rvrsUseClosest})
    ->Args({20, rvrsAddIfNeeded})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_InsertRtfAtCaret(benchmark::State& state) {
  const std::string rtf = GenerateOfficeRtf(static_cast<std::size_t>(state.range(0)) << 20);
  const long before = ResidentKilobytes();
  long after = before;
  int items = 0;
  for (auto _ : state) {
    TRVStyle style;
    TRichDocEdit editor;
    editor.SetStyle(&style);
    TRVRTFReaderProperties props;
    if (editor.InsertRTF(props, rtf) != 0) state.SkipWithError("the import failed");
    items = editor.CountItems();
    after = std::max(after, ResidentKilobytes());
    state.PauseTiming();
    editor.ClearDocument();
    state.ResumeTiming();
  }
  Report(state, rtf, before, after, items);
}
BENCHMARK(BM_InsertRtfAtCaret)->Arg(20)->Unit(benchmark::kMillisecond)->Iterations(3);

// Sequence fields of as many names as fields: numbering one name must not
// walk the items of all the others.
void BM_LoadRtfWithDistinctSequenceNames(benchmark::State& state) {
  std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
  for (std::int64_t i = 0; i < state.range(0); ++i) {
    rtf += "{\\field{\\*\\fldinst SEQ name" + std::to_string(i) + "}{\\fldrslt 1}} ";
  }
  rtf += "}";
  for (auto _ : state) {
    TRVStyle style;
    TCustomRVData doc;
    doc.SetRVStyle(&style);
    TRVRTFReaderProperties props;
    if (props.LoadRTF(rtf, doc) != 0) state.SkipWithError("the import failed");
    state.PauseTiming();
    doc.ClearItems();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadRtfWithDistinctSequenceNames)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
