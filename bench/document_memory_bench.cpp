// What a document holds on the heap per paragraph, item and input byte:
// empty and one-character paragraphs typed in as text (a file of line
// breaks), and office-style RTF inserted at the caret. The counters are the
// heap in use after the insertion less the heap before it, as malloc counts
// it (chunk headers and rounding included); peak memory of whole runs is
// measured by bench/whole_runs.sh.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string>

#include "bench/OfficeRtf.h"
#include "richtext/editor/RVEdit.h"
#include "richtext/rtf/import/RVRTFProps.h"

namespace {

using namespace varnolt;
using varnolt::bench::GenerateOfficeRtf;

double HeapInUse() { return static_cast<double>(mallinfo2().uordblks); }

struct THeld {
  double bytes = 0;
  int items = 0;
};

// Runs insert on a fresh editor each iteration; what the editor holds after
// it. Formatted (the window's page) includes the layout; unformatted is the
// document alone, as the batch mode keeps it until an export needs the layout.
template <typename Insert>
THeld MeasureHeld(benchmark::State& state, bool formatted, Insert insert) {
  THeld held;
  for (auto _ : state) {
    TRVStyle style;
    TRichDocEdit editor;
    editor.SetStyle(&style);
    editor.SetFormatOnDemand(!formatted);
    const double before = HeapInUse();
    insert(editor);
    held = {HeapInUse() - before, editor.CountItems()};
    state.PauseTiming();
    editor.ClearDocument();
    state.ResumeTiming();
  }
  state.counters["items"] = held.items;
  return held;
}

// Every line of text is one paragraph: "" for a file of line breaks.
void BM_TypeParagraphs(benchmark::State& state, const std::u16string& line) {
  const auto paragraphs = static_cast<std::size_t>(state.range(0));
  std::u16string text;
  text.reserve(paragraphs * (line.size() + 1));
  for (std::size_t i = 0; i < paragraphs; ++i) text.append(line).push_back(u'\n');
  const THeld held = MeasureHeld(state, state.range(1) != 0,
                                 [&](TRichDocEdit& editor) { editor.InsertTextAtCaret(text); });
  state.counters["heap_bytes_per_paragraph"] = held.bytes / static_cast<double>(paragraphs);
}
BENCHMARK_CAPTURE(BM_TypeParagraphs, empty, std::u16string())
    ->ArgNames({"paragraphs", "formatted"})
    ->Args({1 << 20, 0})
    ->Args({1 << 20, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK_CAPTURE(BM_TypeParagraphs, one_character, std::u16string(u"x"))
    ->ArgNames({"paragraphs", "formatted"})
    ->Args({1 << 20, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

void BM_InsertOfficeRtf(benchmark::State& state) {
  const std::string rtf = GenerateOfficeRtf(static_cast<std::size_t>(state.range(0)) << 20);
  const THeld held = MeasureHeld(state, false, [&](TRichDocEdit& editor) {
    TRVRTFReaderProperties props;
    if (editor.InsertRTF(props, rtf) != 0) state.SkipWithError("the import failed");
  });
  state.counters["heap_bytes_per_rtf_byte"] = held.bytes / static_cast<double>(rtf.size());
}
BENCHMARK(BM_InsertOfficeRtf)->Arg(20)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
