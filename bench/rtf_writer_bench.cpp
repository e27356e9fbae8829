// Writing speed of the RTF writer into a sink that only counts, on a
// generated document (styled runs, Cyrillic text, list paragraphs, a table now
// and then and a small bitmap) and on office-style RTF imported as a page
// imports it, written as the RTF export writes the collected pages; the rate
// is of RTF bytes written.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/OfficeRtf.h"
#include "platform/OutputStream.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/graphic/RVBitmap.h"
#include "richtext/graphic/RVGraphicBytes.h"
#include "richtext/rtf/writer/RVRTFWriter.h"
#include "richtext/table/RVTable.h"

namespace {

using namespace varnolt;

class CountingStream final : public OutputStream {
 public:
  void Write(std::string_view bytes) override { count_ += static_cast<std::int64_t>(bytes.size()); }
  std::int64_t Position() const override { return count_; }
  void Restart() override { count_ = 0; }

 private:
  std::int64_t count_ = 0;
};

std::unique_ptr<TBitmap> SmallBitmap() {
  std::string dib;
  AppendU32(dib, 40);
  AppendU32(dib, 16);
  AppendU32(dib, 16);
  AppendU16(dib, 1);
  AppendU16(dib, 24);
  for (int i = 0; i < 6; ++i) AppendU32(dib, 0);
  dib.append(16 * 16 * 3, '\x7F');
  return TBitmap::FromDib(dib);
}

void PrepareStyle(TRVStyle& style) {
  TRVListInfo& list = style.ListStyles.Add();
  TRVListLevel& level = list.Levels.Add();
  level.ListType = rvlstDecimal;
  level.FormatString = "%0:s.";
  TFontInfo& cyrillic = style.TextStyles.Add();
  cyrillic.FontName = u"Times New Roman";
  cyrillic.Charset = 204;
}

// About targetBytes of RTF once written.
void FillDocument(TCustomRVData& doc, std::size_t targetBytes) {
  const std::u16string prose = u"The quick brown fox jumps over the lazy dog, and then some more words follow here. ";
  const std::u16string cyrillic = u"\u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440! ";
  std::size_t written = 0;
  for (int block = 0; written < targetBytes; ++block) {
    doc.AppendTextItemW(prose + prose, 0, 0);
    doc.AppendTextItemW(u"bold heading words", 1, -1);
    doc.AppendTextItemW(cyrillic + cyrillic, 6, -1);
    doc.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(0, 0));
    doc.AppendTextItemW(u"a list paragraph {with braces} and a \\ backslash", 3, -1);
    written += 600;
    if (block % 20 == 0) {
      auto table = TRVTableItemInfo::CreateTable(2, 3, &doc);
      for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 3; ++c) table->CellAt(r, c)->AppendTextItemW(u"cell text", 0, -1);
      }
      doc.AppendItem({}, std::move(table));
      written += 2400;
    }
    if (block % 50 == 0) {
      doc.AppendItem({}, std::make_unique<TRVGraphicItemInfo>(SmallBitmap(), rvvaBaseline));
      written += 1700;
    }
  }
}

void BM_WriteRtf(benchmark::State& state) {
  TRVStyle style;
  PrepareStyle(style);
  TCustomRVData doc;
  doc.SetRVStyle(&style);
  FillDocument(doc, static_cast<std::size_t>(state.range(0)) << 20);
  TRVRTFWriteSettings settings;
  settings.RTFOptions = {rvrtfSaveStyleSheet,     rvrtfDuplicateUnicode,   rvrtfSaveEMFAsWMF,
                         rvrtfSaveJpegAsJpeg,     rvrtfSaveBitmapDefault,  rvrtfSaveEMFDefault,
                         rvrtfSavePicturesBinary, rvrtfSaveDocParameters, rvrtfSaveHeaderFooter};
  std::int64_t bytes = 0;
  for (auto _ : state) {
    CountingStream out;
    if (!WriteRTF(doc, out, u"", false, 0xFFFFFF, nullptr, nullptr, settings)) state.SkipWithError("write failed");
    bytes += out.Position();
  }
  state.SetBytesProcessed(bytes);
  state.counters["rtf_MB"] = static_cast<double>(bytes) / static_cast<double>(state.iterations()) / (1 << 20);
}
BENCHMARK(BM_WriteRtf)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_WriteImportedOfficeRtf(benchmark::State& state) {
  TRVStyle style;
  TCustomRVData doc;
  doc.SetRVStyle(&style);
  if (bench::ImportAsPageEditors(bench::GenerateOfficeRtf(static_cast<std::size_t>(state.range(0)) << 20), doc) != 0) {
    state.SkipWithError("import failed");
    return;
  }
  TRVRTFWriteSettings settings;
  settings.RTFOptions.Include(rvrtfSaveDocParameters);
  std::int64_t bytes = 0;
  for (auto _ : state) {
    CountingStream out;
    if (!WriteRTF(doc, out, u"", false, clWhite, nullptr, nullptr, settings)) state.SkipWithError("write failed");
    bytes += out.Position();
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_WriteImportedOfficeRtf)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace
