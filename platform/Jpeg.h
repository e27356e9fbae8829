#pragma once
// What the layers share of libjpeg: its fatal errors turned into a jump, and
// the facts of a JPEG's header.
//
// libjpeg reports a fatal error through a callback that must not return:
// this handler longjmps back to the setjmp the caller made before calling
// the library. Everything between that setjmp and the jump must be plain C
// data, so that nothing is skipped that needs destroying.
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>

#include <jpeglib.h>

namespace varnolt {

struct JpegErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

// An error jumps to errors.jump; warnings and messages are dropped.
void UseJumpingErrors(jpeg_decompress_struct& info, JpegErrorManager& errors);

struct JpegHeader {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  int Components = 0;
  int BitsPerSample = 0;
  // Adobe's marker: CMYK samples are stored inverted.
  bool AdobeMarker = false;
};

// Only the header is read; nothing when libjpeg finds no image header in
// the bytes (not a JPEG, cut short before its first scan, empty).
std::optional<JpegHeader> ReadJpegHeader(std::string_view bytes);

}  // namespace varnolt
