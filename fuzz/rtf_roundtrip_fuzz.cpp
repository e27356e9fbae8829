// Arbitrary bytes along the whole road: imported into a document, written
// back as RTF with options picked by the input's size, and the written RTF
// imported again. Writing into memory never fails, and what the writer
// writes always parses; a broken promise stops the run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/OutputStream.h"
#include "platform/Random.h"
#include "richtext/rtf/import/RVRTFProps.h"
#include "richtext/rtf/reader/RVRTFReader.h"
#include "richtext/rtf/writer/RVRTFWriter.h"

namespace {

using namespace varnolt;

constexpr std::uint16_t kAllOptions = 0x3FF;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view rtf(reinterpret_cast<const char*>(data), size);
  Random::Seed(static_cast<std::uint32_t>(size));
  TRVStyle style;
  TCustomRVData doc;
  doc.SetRVStyle(&style);
  TRVRTFReaderProperties props;
  props.TextStyleMode = rvrsAddIfNeeded;
  props.ParaStyleMode = rvrsAddIfNeeded;
  props.BasePath = u"/nonexistent/";
  props.LoadRTF(rtf, doc);

  TRVRTFWriteSettings settings;
  settings.RTFOptions = TRVRTFOptions::FromBits(static_cast<std::uint16_t>((size * 2654435761u) & kAllOptions));
  settings.PixelsPerInch = (size & 8) != 0 ? 120 : 0;
  MemoryOutputStream written;
  if (!WriteRTF(doc, written, u"", false, 0xFFFFFF, nullptr, nullptr, settings)) std::abort();
  if (written.Bytes().empty()) return 0;

  TCustomRVData back;
  back.SetRVStyle(&style);
  TRVRTFReaderProperties again;
  again.TextStyleMode = rvrsAddIfNeeded;
  again.ParaStyleMode = rvrsAddIfNeeded;
  if (again.LoadRTF(written.Bytes(), back) != kRtfOk) std::abort();
  return 0;
}
