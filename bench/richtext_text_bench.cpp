// A large plain text through an empty page, as the text import and the PDF
// export drive it: inserting it at the caret, selecting all and copying it as
// Unicode text, and undoing the insertion. Throughput is megabytes of the
// text (one byte per character) per second; the two sizes show whether a
// step grows faster than the document.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/Clipboard.h"
#include "richtext/editor/RVEdit.h"

namespace varnolt {
namespace {

// Deterministic paragraphs of words with tabs between some of them.
std::u16string MixedText(std::size_t size) {
  const char16_t* const words[] = {u"engine", u"item",  u"style", u"para",  u"caf\u00E9", u"text",
                                   u"undo",   u"line",  u"a",     u"of",    u"\u4E2D\u6587", u"group",
                                   u"caret",  u"table", u"mark",  u"order", u"width", u"number"};
  std::u16string text;
  text.reserve(size + 64);
  std::size_t word = 0;
  int lineWords = 0;
  while (text.size() < size) {
    text += words[(word * 7 + word / 3) % std::size(words)];
    ++word;
    if (++lineWords >= 12 + static_cast<int>(word % 17)) {
      text += u"\r\n";
      lineWords = 0;
    } else {
      text += word % 5 == 0 ? u'\t' : u' ';
    }
  }
  return text;
}

struct Page {
  TRVStyle style;
  MemoryClipboard clipboard;
  TRichDocEdit editor;

  Page() {
    editor.SetStyle(&style);
    editor.SetClipboard(&clipboard);
    editor.Format();
  }
};

void SetThroughput(benchmark::State& state, std::size_t characters) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(characters));
}

void BM_InsertTextIntoEmptyPage(benchmark::State& state) {
  const std::u16string text = MixedText(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    Page page;
    state.ResumeTiming();
    page.editor.InsertTextAtCaret(text);
    benchmark::DoNotOptimize(page.editor.CountItems());
    state.PauseTiming();
    state.counters["items"] = page.editor.CountItems();
    // Freeing the page is not part of the step.
    page.editor.ClearDocument();
    state.ResumeTiming();
  }
  SetThroughput(state, text.size());
}

void BM_SelectAllAndCopyAsUnicodeText(benchmark::State& state) {
  const std::u16string text = MixedText(static_cast<std::size_t>(state.range(0)));
  Page page;
  page.editor.InsertTextAtCaret(text);
  for (auto _ : state) {
    page.editor.SelectWholeDocument();
    page.editor.CopyAsUnicodeText();
  }
  auto copied = page.clipboard.UnicodeText();
  if (!copied || *copied != text) state.SkipWithError("the copied text differs from the inserted one");
  SetThroughput(state, text.size());
}

void BM_UndoTheInsertion(benchmark::State& state) {
  const std::u16string text = MixedText(static_cast<std::size_t>(state.range(0)));
  Page page;
  for (auto _ : state) {
    state.PauseTiming();
    page.editor.InsertTextAtCaret(text);
    state.ResumeTiming();
    page.editor.UndoLastGroup();
    benchmark::DoNotOptimize(page.editor.CountItems());
  }
  if (page.editor.CountItems() != 1) state.SkipWithError("undo left items behind");
  SetThroughput(state, text.size());
}

constexpr std::int64_t kOneMegabyte = 1'000'000;
constexpr std::int64_t kTenMegabytes = 10'000'000;

BENCHMARK(BM_InsertTextIntoEmptyPage)->Arg(kOneMegabyte)->Arg(kTenMegabytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAllAndCopyAsUnicodeText)->Arg(kOneMegabyte)->Arg(kTenMegabytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoTheInsertion)->Arg(kOneMegabyte)->Arg(kTenMegabytes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnolt
