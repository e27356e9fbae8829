// Parsing speed of the RTF reader on generated RTF (styled paragraphs,
// tables, Unicode text, a small picture now and then) with a sink that only
// counts, and how far the resident memory grows while parsing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <istream>
#include <streambuf>
#include <string>

#include "bench/support/ResidentMemory.h"
#include "richtext/rtf/reader/RVRTFReader.h"

namespace {

using namespace varnolt;

// Reads a string in place, so the input is not copied for each run.
class MemoryBuffer : public std::streambuf {
 public:
  explicit MemoryBuffer(const std::string& bytes) {
    char* begin = const_cast<char*>(bytes.data());
    setg(begin, begin, begin + bytes.size());
  }

 protected:
  pos_type seekoff(off_type offset, std::ios_base::seekdir dir, std::ios_base::openmode) override {
    char* target = dir == std::ios_base::beg ? eback() + offset : dir == std::ios_base::end ? egptr() + offset
                                                                                            : gptr() + offset;
    if (target < eback() || target > egptr()) return pos_type(off_type(-1));
    setg(eback(), target, egptr());
    return pos_type(target - eback());
  }
  pos_type seekpos(pos_type position, std::ios_base::openmode mode) override {
    return seekoff(off_type(position), std::ios_base::beg, mode);
  }
};

std::string GenerateRtf(std::size_t targetBytes) {
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}"
      "{\\f1\\fswiss\\fcharset0 Arial;}{\\f2\\fswiss\\fcharset204 Arial Cyr;}}"
      "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
      "{\\stylesheet{\\ql \\f0\\fs24 Normal;}{\\s1\\ql\\b\\f1\\fs32 heading 1;}}\n";
  const std::string paragraph =
      "\\pard\\plain\\s0\\ql\\li0\\ri0\\sb120\\sa120\\f0\\fs24\\cf1 The quick brown fox jumps over the lazy dog, "
      "{\\b bold words} and {\\i\\cf2 red italic words} follow, with {\\ul underlined} text and a tab\\tab here.\\par\n"
      "\\pard\\plain\\s1\\f1\\fs32\\b A heading with \\'e9\\'e8 accents\\par\n";
  const std::string table =
      "\\trowd\\trgaph108\\trleft-108\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\cellx3000"
      "\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\cellx6000\\pard\\intbl\\plain\\f0\\fs20 first cell\\cell "
      "second cell with more text\\cell\\row\n\\pard\\plain ";
  const std::string unicode =
      "\\pard\\plain\\f2\\fs24\\uc1 \\u1055\\'cf\\u1088\\'f0\\u1080\\'e8\\u1074\\'e2\\u1077\\'e5\\u1090\\'f2, "
      "\\u1084\\'ec\\u1080\\'e8\\u1088\\'f0 and \\ldblquote quoted\\rdblquote\\par\n";
  const std::string picture =
      "{\\pict\\wmetafile8\\picw100\\pich100 "
      "010009000003120000000000030000000000050000000c0264006400030000000000}\\par\n";
  for (int block = 0; rtf.size() < targetBytes; ++block) {
    rtf += paragraph;
    rtf += table;
    rtf += unicode;
    if (block % 64 == 0) rtf += picture;
  }
  rtf += "}";
  return rtf;
}

void BM_ParseGeneratedRtf(benchmark::State& state) {
  const std::string rtf = GenerateRtf(static_cast<std::size_t>(state.range(0)) << 20);
  std::size_t characters = 0;
  std::size_t tableEvents = 0;
  std::size_t pictures = 0;
  long peakGrowth = 0;
  long before = 0;
  int blocks = 0;
  TRVRTFReader reader;
  reader.OnNewText = [&](TRVRTFReader&, const TRVAnsiString& text, TRVRTFPosition) { characters += text.size(); };
  reader.OnNewUnicodeText = [&](TRVRTFReader&, const TRVUnicodeString& text, TRVRTFPosition) {
    characters += text.size();
  };
  reader.OnTable = [&](TRVRTFReader&, TRVRTFTableEventKind, bool&) { ++tableEvents; };
  reader.OnNewPicture = [&](TRVRTFReader&, const TRVRTFPicture*, std::unique_ptr<TGraphic>&, TRVRTFPosition,
                            const TRVUnicodeString&, bool& inserted) {
    ++pictures;
    inserted = true;
  };
  // Progress comes every block; the resident size is sampled every 4 MiB.
  reader.OnProgress = [&](TRVRTFReader&, TRVRTFProgressStage, std::uint8_t) {
    if (++blocks % 1024 == 0) peakGrowth = std::max(peakGrowth, ResidentKilobytes() - before);
  };
  std::uint8_t result = 0;
  for (auto _ : state) {
    MemoryBuffer buffer(rtf);
    std::istream stream(&buffer);
    before = ResidentKilobytes();
    result = reader.ParseStream(stream);
    benchmark::DoNotOptimize(characters);
  }
  if (result != kRtfOk) state.SkipWithError("the generated RTF did not parse");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(rtf.size()));
  state.counters["input_MB"] = static_cast<double>(rtf.size()) / (1 << 20);
  state.counters["rss_before_KB"] = static_cast<double>(before);
  state.counters["rss_growth_KB"] = static_cast<double>(peakGrowth);
  state.counters["table_events"] = benchmark::Counter(static_cast<double>(tableEvents), benchmark::Counter::kAvgIterations);
  state.counters["pictures"] = benchmark::Counter(static_cast<double>(pictures), benchmark::Counter::kAvgIterations);
}

// 5 MB and 50 MB: the memory growth should not depend on the size.
BENCHMARK(BM_ParseGeneratedRtf)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
