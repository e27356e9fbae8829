#include "richtext/graphic/RVJpegPngErrors.h"

namespace varnolt {

namespace {

[[noreturn]] void JumpOnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void IgnorePngWarning(png_structp, png_const_charp) {}

}  // namespace

png_structp CreateJumpingPngReader() {
  return png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnPngError, IgnorePngWarning);
}

png_structp CreateJumpingPngWriter() {
  return png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnPngError, IgnorePngWarning);
}

}  // namespace varnolt
