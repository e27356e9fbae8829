// Shaping and drawing through an embedded font the way the formatted export
// does: a Cyrillic and an Arabic prose text shaped word by word (justified
// lines are drawn word by word), the glyphs shown on pages, and the document
// saved with and without Flate. Counters give the file sizes.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfEmbeddedFont.h"

namespace varnolt {
namespace {

struct Prose {
  std::u16string family;
  std::vector<std::u16string> vocabulary;
  bool rightToLeft;
};

const Prose kCyrillic{u"DejaVu Sans",
                      {u"Широкая", u"электрификация", u"южных", u"губерний", u"даст", u"мощный", u"толчок",
                       u"подъёму", u"сельского", u"хозяйства", u"и", u"в", u"на", u"с", u"работы", u"года",
                       u"отчёт", u"страница", u"текст", u"строки"},
                      false};
const Prose kArabic{u"Noto Sans Arabic",
                    {u"السلام", u"عليكم", u"ومرحبا", u"بالعالم", u"في", u"من", u"على", u"التقرير", u"الصفحة",
                     u"النص", u"كل", u"سطر", u"يكتب", u"الأرقام", u"التي", u"تقيس"},
                    true};

// Words in a fixed, varied order, as a document repeats its vocabulary.
std::vector<std::u16string> Words(const Prose& prose, std::size_t count) {
  std::vector<std::u16string> words;
  for (std::size_t i = 0; i < count; ++i) words.push_back(prose.vocabulary[(i * 7 + i / 5) % prose.vocabulary.size()]);
  return words;
}

void ShapeWords(benchmark::State& state, const Prose& prose) {
  TPdfXref xref;
  TPdfEmbeddedFont font(xref, u"bench", FindFontFace(prose.family, false, false, prose.vocabulary[0][0]).value());
  const std::vector<std::u16string> words = Words(prose, 10000);
  std::size_t glyphs = 0;
  for (auto _ : state) {
    for (const std::u16string& word : words) glyphs += font.Shape(word, prose.rightToLeft).size();
  }
  benchmark::DoNotOptimize(glyphs);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * words.size()));
}

// Forty lines of twelve words a page, every word shaped and shown.
void DrawAndSave(benchmark::State& state, const Prose& prose, TPdfCompressionMethod method) {
  const std::vector<std::u16string> words = Words(prose, 48000);
  std::size_t fileSize = 0;
  for (auto _ : state) {
    TPdfDoc doc;
    doc.SetCompressionMethod(method);
    doc.StartDocument();
    TPdfEmbeddedFont& font =
        doc.GetEmbeddedFont(FindFontFace(prose.family, false, false, prose.vocabulary[0][0]).value());
    for (std::size_t i = 0; i < words.size(); ++i) {
      if (i % 480 == 0) {
        doc.AddPage();
        doc.GetCanvas().SelectFont(font, 10);
      }
      TPdfCanvas& canvas = doc.GetCanvas();
      if (i % 12 == 0) {
        canvas.TextBegin();
        canvas.TextMoveTo(40, 800 - static_cast<float>(i % 480) * 1.5f);
      }
      canvas.ShowGlyphs(font.Shape(words[i], prose.rightToLeft), words[i], prose.rightToLeft);
      if (i % 12 == 11) canvas.TextEnd();
    }
    MemoryOutputStream stream;
    doc.SaveToStream(stream);
    fileSize = stream.Bytes().size();
  }
  state.counters["file_bytes"] = static_cast<double>(fileSize);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * words.size()));
}

BENCHMARK_CAPTURE(ShapeWords, cyrillic, kCyrillic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ShapeWords, arabic, kArabic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawAndSave, cyrillic_plain, kCyrillic, cmNone)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawAndSave, cyrillic_flate, kCyrillic, cmFlateDecode)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawAndSave, arabic_flate, kArabic, cmFlateDecode)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnolt
