// Feeds arbitrary bytes to the web page's text extraction: the character
// set found and decoded, the HTML parsed and walked. Every input gives some
// text, in bounded time, without a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/HtmlText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  volatile std::size_t sink = varnolt::WebPageText(bytes, "").size();
  // The header's character set taken from the input's first line, so that
  // every decoder is reached.
  const auto lineEnd = bytes.find('\n');
  if (lineEnd != std::string_view::npos && lineEnd < 64) {
    sink = sink + varnolt::WebPageText(bytes.substr(lineEnd + 1), bytes.substr(0, lineEnd)).size();
  }
  (void)sink;
  return 0;
}
