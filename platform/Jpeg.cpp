#include "platform/Jpeg.h"

namespace varnolt {

namespace {

[[noreturn]] void JumpOnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr, int) {}

// Plain C data only in here: an error longjmps out.
bool ReadHeaderInto(std::string_view bytes, JpegHeader& header) {
  jpeg_decompress_struct info{};
  JpegErrorManager errors{};
  UseJumpingErrors(info, errors);
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  header.Width = static_cast<std::int32_t>(info.image_width);
  header.Height = static_cast<std::int32_t>(info.image_height);
  header.Components = info.num_components;
  header.BitsPerSample = info.data_precision;
  header.AdobeMarker = info.saw_Adobe_marker != 0;
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

void UseJumpingErrors(jpeg_decompress_struct& info, JpegErrorManager& errors) {
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = JumpOnJpegError;
  errors.base.emit_message = IgnoreJpegMessage;
}

std::optional<JpegHeader> ReadJpegHeader(std::string_view bytes) {
  JpegHeader header;
  if (!ReadHeaderInto(bytes, header)) return std::nullopt;
  return header;
}

}  // namespace varnolt
