// Importing RTF into a page: generated RTF in the manner of office programs
// (a run per formatting change, list paragraphs, tables, Cyrillic text) read
// into a document and inserted at an editor's caret, with how far the
// resident memory grows.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "bench/support/ResidentMemory.h"
#include "richtext/editor/RVEdit.h"
#include "richtext/rtf/import/RVRTFProps.h"

namespace {

using namespace varnolt;

std::string GenerateOfficeRtf(std::size_t targetBytes) {
  std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Liberation Serif;}{\\f1\\fswiss\\fcharset204 Arial;}"
      "{\\f2\\fnil\\fcharset2 Symbol;}}{\\colortbl;\\red0\\green0\\blue0;\\red200\\green30\\blue30;}"
      "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}\\fi-360\\li720}"
      "\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}\n";
  const std::string paragraph =
      "\\pard\\plain\\ql\\sb0\\sa140\\sl276\\slmult1{\\loch\\f0\\fs24 An ordinary paragraph of body text with }"
      "{\\loch\\f0\\fs24\\b bold}{\\loch\\f0\\fs24  and }{\\loch\\f0\\fs24\\i\\cf2 coloured italic}"
      "{\\loch\\f0\\fs24  words, the way word processors write each change of formatting.}\\par\n";
  const std::string list = "\\pard\\plain\\ls1\\fi-360\\li720{\\loch\\f0\\fs24 A list item}\\par\n";
  const std::string cyrillic =
      "\\pard\\plain\\qc{\\loch\\f1\\fs28\\uc1 \\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090?, "
      "\\u1084?\\u1080?\\u1088?}\\par\n";
  const std::string table =
      "\\trowd\\trgaph108\\trleft0\\trpaddl108\\trpaddr108\\trpaddfl3\\trpaddfr3"
      "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx3000"
      "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx6000"
      "\\pard\\plain\\intbl{\\loch\\f0\\fs20 first cell}\\cell{\\loch\\f0\\fs20 second cell}\\cell\\row\\pard\n";
  for (int block = 0; rtf.size() < targetBytes; ++block) {
    rtf += paragraph;
    rtf += list;
    rtf += cyrillic;
    if (block % 8 == 0) rtf += table;
  }
  rtf += "}";
  return rtf;
}

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

}  // namespace
