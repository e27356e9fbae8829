#include "richtext/graphic/RVJpegPng.h"

#include <algorithm>

#include "richtext/graphic/RVJpegPngErrors.h"

namespace varnolt {

namespace {

constexpr const char* kInvalidJpeg = "Invalid JPEG image";
constexpr const char* kInvalidPng = "Invalid PNG image";
constexpr std::string_view kPngSignature("\x89PNG\r\n\x1A\n", 8);
constexpr long kMaxSide = 1 << 20;

bool ReadJpegSize(std::string_view bytes, int& width, int& height) {
  std::optional<JpegHeader> header = ReadJpegHeader(bytes);
  if (!header) return false;
  width = header->Width;
  height = header->Height;
  return true;
}

struct PngSource {
  std::string_view bytes;
  std::size_t offset = 0;
};

void ReadPngBytes(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (count > source->bytes.size() - source->offset) png_error(png, "short");
  std::copy_n(source->bytes.data() + source->offset, count, out);
  source->offset += count;
}

bool ReadPngSize(std::string_view bytes, int& width, int& height) {
  PngSource source{bytes, 0};
  png_structp png = CreateJumpingPngReader();
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &source, ReadPngBytes);
  png_read_info(png, info);
  width = static_cast<int>(png_get_image_width(png, info));
  height = static_cast<int>(png_get_image_height(png, info));
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

bool IsUsableSize(int width, int height) { return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide; }

}  // namespace

bool LooksLikeJpeg(std::string_view bytes) { return bytes.size() >= 3 && bytes.substr(0, 3) == "\xFF\xD8\xFF"; }
bool LooksLikePng(std::string_view bytes) { return bytes.substr(0, kPngSignature.size()) == kPngSignature; }

std::unique_ptr<TJPEGImage> TJPEGImage::FromBytes(std::string_view bytes) {
  auto image = std::make_unique<TJPEGImage>();
  if (!LooksLikeJpeg(bytes) || !ReadJpegSize(bytes, image->width_, image->height_) ||
      !IsUsableSize(image->width_, image->height_)) {
    throw EInvalidGraphic(kInvalidJpeg);
  }
  image->bytes_.assign(bytes);
  return image;
}

std::unique_ptr<TPngGraphic> TPngGraphic::FromBytes(std::string_view bytes) {
  auto image = std::make_unique<TPngGraphic>();
  if (!LooksLikePng(bytes) || !ReadPngSize(bytes, image->width_, image->height_) ||
      !IsUsableSize(image->width_, image->height_)) {
    throw EInvalidGraphic(kInvalidPng);
  }
  image->bytes_.assign(bytes);
  return image;
}

}  // namespace varnolt
