// Feeds arbitrary bytes to the XML pull reader and walks every token,
// looking up attributes and skipping the first element's content. Each input
// is read or refused with an XML error, without a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/XmlStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    varnolt::XmlStream stream(bytes, "fuzz.docx", "fuzz.xml");
    std::size_t sink = 0;
    bool skipped = false;
    while (stream.Next() != varnolt::XmlToken::kEnd) {
      sink += stream.Text().size() + stream.Attribute("val").value_or("").size();
      if (!skipped && stream.Token() == varnolt::XmlToken::kStartElement && stream.Depth() == 1) {
        skipped = true;
        stream.Skip();
      }
    }
    volatile std::size_t keep = sink;
    (void)keep;
  } catch (const varnolt::EXmlError&) {
  }
  return 0;
}
