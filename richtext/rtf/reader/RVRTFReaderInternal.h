#pragma once
// Pieces the reader's source files share and nobody else needs.
#include <cstdint>

#include "richtext/rtf/reader/RVRTFReader.h"

namespace varnolt {

struct TRVRTFReader::ParseStop {
  std::uint8_t result;
};

// Thrown when a content handler raised; the parse ends with kRtfHandlerError.
struct TRVRTFReader::HandlerFailure {};

template <typename Call>
void TRVRTFReader::CallContentHandler(Call&& call) {
  try {
    call();
  } catch (...) {
    throw HandlerFailure{};
  }
}

inline int HexDigitValue(int byte) {
  if (byte >= '0' && byte <= '9') return byte - '0';
  if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
  if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
  return -1;
}

// A byte that goes into the pending text as it is.
inline bool IsPlainTextByte(int byte, bool tabAsSeparateText) {
  switch (byte) {
    case '\\': case '{': case '}': case '\r': case '\n': case 0:
      return false;
    case '\t':
      return !tabAsSeparateText;
    default:
      return true;
  }
}

// Cuts " Cyr", " Greek", ... from the names of fonts whose charset says the same.
void RemoveCharsetSuffixes(TRVRTFFontList& fonts);

// Shading in hundredths of a percent mixes the pattern colour into the
// background channel by channel; no colour counts as white.
TRVRTFColor BlendShading(TRVRTFColor back, TRVRTFColor pattern, std::int32_t shading);

// Round half to even, as the conversions of the reader do; saturates at the
// 32-bit range.
std::int32_t RoundHalfEven(double value);

}  // namespace varnolt
