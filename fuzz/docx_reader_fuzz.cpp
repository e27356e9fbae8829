// Feeds arbitrary bytes to the .docx reader as a package, and what it makes
// of them to the RTF import: the whole road of a Word document into a page.
// Each input is read or refused with an exception naming file and part,
// without a crash, in bounded time and memory.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Exception.h"
#include "richtext/docx/DocxReader.h"
#include "richtext/rtf/import/RVRTFProps.h"
#include "richtext/style/RVStyle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  varnolt::ZipLimits limits;
  limits.maxPartSize = 8 << 20;
  limits.maxTotalSize = 32 << 20;
  limits.maxEntries = 1000;
  std::string rtf;
  try {
    auto package = varnolt::ZipPackage::FromBytes(std::string(reinterpret_cast<const char*>(data), size), "fuzz.docx",
                                                  limits);
    rtf = varnolt::DocxToRtf(package);
  } catch (const varnolt::Exception&) {
    return 0;
  }
  varnolt::TRVStyle style;
  varnolt::TCustomRVData document;
  document.SetRVStyle(&style);
  varnolt::TRVRTFReaderProperties props;
  props.TextStyleMode = varnolt::rvrsAddIfNeeded;
  props.ParaStyleMode = varnolt::rvrsAddIfNeeded;
  props.LoadRTF(rtf, document);
  return 0;
}
