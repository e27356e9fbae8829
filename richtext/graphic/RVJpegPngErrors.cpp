#include "richtext/graphic/RVJpegPngErrors.h"

namespace varnolt {

namespace {

[[noreturn]] void JumpOnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr, int) {}

[[noreturn]] void JumpOnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void IgnorePngWarning(png_structp, png_const_charp) {}

}  // namespace

void UseJumpingErrors(jpeg_decompress_struct& info, JpegErrorManager& errors) {
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = JumpOnJpegError;
  errors.base.emit_message = IgnoreJpegMessage;
}

png_structp CreateJumpingPngReader() {
  return png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnPngError, IgnorePngWarning);
}

png_structp CreateJumpingPngWriter() {
  return png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnPngError, IgnorePngWarning);
}

}  // namespace varnolt
