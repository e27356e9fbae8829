#include "richtext/rtf/writer/RVRTFWriterPictureConversion.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

#include "richtext/graphic/RVGraphicBytes.h"
#include "richtext/graphic/RVJpegPngErrors.h"

namespace varnolt {

namespace {

constexpr const char* kPictureConversionFailed = "Picture conversion failed";
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
// Pixels a picture may be drawn into: beyond this no picture of a document
// is real, and the memory would run out first.
constexpr std::int64_t kMaxDrawnPixels = std::int64_t{1} << 26;
// Metafile coordinates are 16-bit.
constexpr int kMaxMetafileCoordinate = 32767;
constexpr std::uint32_t kSourceCopy = 0x00CC0020;

// --- reading pixels of a bitmap ---

struct ChannelMask {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t maximum = 1;

  explicit ChannelMask(std::uint32_t value) : mask(value) {
    if (value == 0) return;
    shift = std::countr_zero(value);
    maximum = value >> shift;
  }
  std::uint8_t Level(std::uint32_t pixel) const {
    if (mask == 0) return 0;
    return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255 / maximum);
  }
};

// The red, green and blue masks of a 16- or 32-bit bitmap, as its file says.
std::vector<ChannelMask> PixelMasks(const TBitmap& bitmap) {
  const std::string file = bitmap.SaveToBytes();
  TGraphicBytesReader in(file, kPictureConversionFailed);
  if (in.U32(kFileHeaderSize + 16) == 3) {
    const std::size_t masks = kFileHeaderSize + kInfoHeaderSize;
    return {ChannelMask(in.U32(masks)), ChannelMask(in.U32(masks + 4)), ChannelMask(in.U32(masks + 8))};
  }
  if (bitmap.BitsPerPixel() == 16) return {ChannelMask(0x7C00), ChannelMask(0x03E0), ChannelMask(0x001F)};
  return {ChannelMask(0xFF0000), ChannelMask(0x00FF00), ChannelMask(0x0000FF)};
}

// One row of the bitmap as red, green, blue bytes.
void RowToRgb(const TBitmap& bitmap, int row, const std::vector<ChannelMask>& masks, std::vector<png_byte>& rgb) {
  const std::string_view line = bitmap.ScanLine(row);
  const auto byte = [&](std::size_t i) -> std::uint32_t { return static_cast<std::uint8_t>(line[i]); };
  const int bits = bitmap.BitsPerPixel();
  const auto& palette = bitmap.Palette();
  for (int x = 0; x < bitmap.Width(); ++x) {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    const auto column = static_cast<std::size_t>(x);
    if (bits <= 8) {
      const std::size_t bitOffset = column * static_cast<std::size_t>(bits);
      const std::uint32_t index = (byte(bitOffset / 8) >> (8 - bits - bitOffset % 8)) & ((1u << bits) - 1);
      if (index < palette.size()) {
        red = palette[index].red;
        green = palette[index].green;
        blue = palette[index].blue;
      }
    } else if (bits == 24) {
      blue = static_cast<std::uint8_t>(byte(column * 3));
      green = static_cast<std::uint8_t>(byte(column * 3 + 1));
      red = static_cast<std::uint8_t>(byte(column * 3 + 2));
    } else {
      const std::size_t size = static_cast<std::size_t>(bits / 8);
      std::uint32_t pixel = 0;
      for (std::size_t b = 0; b < size; ++b) pixel |= byte(column * size + b) << (8 * b);
      red = masks.at(0).Level(pixel);
      green = masks.at(1).Level(pixel);
      blue = masks.at(2).Level(pixel);
    }
    rgb[column * 3] = red;
    rgb[column * 3 + 1] = green;
    rgb[column * 3 + 2] = blue;
  }
}

// --- PNG ---

void AppendPngBytes(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void FlushPng(png_structp) {}

// The rows are read before the library takes over, so that nothing between
// setjmp and a jump needs destroying.
bool WritePng(const std::vector<std::vector<png_byte>>& rows, int width, std::string& out) {
  png_structp png = CreateJumpingPngWriter();
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, AppendPngBytes, FlushPng);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(rows.size()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (const auto& row : rows) png_write_row(png, row.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

// --- JPEG ---

// Decodes into rgb (rows of width * 3 bytes, top first).
bool ReadJpegPixels(std::string_view bytes, std::string& rgb, int& width, int& height) {
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
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  width = static_cast<int>(info.output_width);
  height = static_cast<int>(info.output_height);
  if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxDrawnPixels || info.output_components != 3) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const auto rowBytes = static_cast<std::size_t>(width) * 3;
  rgb.assign(rowBytes * static_cast<std::size_t>(height), '\0');
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(rgb.data() + rowBytes * info.output_scanline);
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

// A top-down 24-bit DIB of RGB rows.
std::unique_ptr<TBitmap> BitmapOfRgb(const std::string& rgb, int width, int height) {
  const auto rowBytes = static_cast<std::size_t>((width * 3 + 3) / 4 * 4);
  std::string dib;
  dib.reserve(kInfoHeaderSize + rowBytes * static_cast<std::size_t>(height));
  AppendU32(dib, kInfoHeaderSize);
  AppendU32(dib, static_cast<std::uint32_t>(width));
  AppendU32(dib, static_cast<std::uint32_t>(-height));
  AppendU16(dib, 1);
  AppendU16(dib, 24);
  for (int i = 0; i < 6; ++i) AppendU32(dib, 0);
  for (int y = 0; y < height; ++y) {
    const std::size_t start = dib.size();
    for (int x = 0; x < width; ++x) {
      const std::size_t pixel = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * 3;
      dib.push_back(rgb[pixel + 2]);
      dib.push_back(rgb[pixel + 1]);
      dib.push_back(rgb[pixel]);
    }
    dib.resize(start + rowBytes, '\0');
  }
  return TBitmap::FromDib(dib);
}

// --- metafiles ---

std::int16_t Coordinate(int value) { return static_cast<std::int16_t>(std::clamp(value, 0, kMaxMetafileCoordinate)); }

void AppendWindowsRecord(std::string& out, std::uint16_t function, const std::string& parameters,
                         std::uint32_t& largest) {
  const auto words = static_cast<std::uint32_t>(3 + (parameters.size() + 1) / 2);
  largest = std::max(largest, words);
  AppendU32(out, words);
  AppendU16(out, function);
  out += parameters;
  if (parameters.size() % 2 != 0) out.push_back('\0');
}

std::string Words(std::initializer_list<int> values) {
  std::string out;
  for (int value : values) AppendU16(out, static_cast<std::uint16_t>(Coordinate(value)));
  return out;
}

void AppendRect(std::string& out, int left, int top, int right, int bottom) {
  for (int value : {left, top, right, bottom}) AppendU32(out, static_cast<std::uint32_t>(value));
}

}  // namespace

std::string EncodeBitmapAsPng(const TBitmap& bitmap) {
  const std::vector<ChannelMask> masks = bitmap.BitsPerPixel() > 8 && bitmap.BitsPerPixel() != 24
                                             ? PixelMasks(bitmap)
                                             : std::vector<ChannelMask>{};
  std::vector<std::vector<png_byte>> rows(static_cast<std::size_t>(bitmap.Height()));
  for (int y = 0; y < bitmap.Height(); ++y) {
    rows[static_cast<std::size_t>(y)].assign(static_cast<std::size_t>(bitmap.Width()) * 3, 0);
    RowToRgb(bitmap, y, masks, rows[static_cast<std::size_t>(y)]);
  }
  std::string out;
  if (!WritePng(rows, bitmap.Width(), out)) throw EInvalidGraphic(kPictureConversionFailed);
  return out;
}

std::unique_ptr<TBitmap> DecodeJpegToBitmap(std::string_view jpeg) {
  std::string rgb;
  int width = 0;
  int height = 0;
  if (!ReadJpegPixels(jpeg, rgb, width, height)) return nullptr;
  return BitmapOfRgb(rgb, width, height);
}

std::unique_ptr<TBitmap> DecodePngToBitmap(std::string_view png) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&image, png.data(), png.size()) == 0) return nullptr;
  const auto width = static_cast<int>(image.width);
  const auto height = static_cast<int>(image.height);
  if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxDrawnPixels) {
    png_image_free(&image);
    return nullptr;
  }
  // Transparent parts show the white of paper.
  image.format = PNG_FORMAT_RGB;
  const png_color white{255, 255, 255};
  std::string rgb(PNG_IMAGE_SIZE(image), '\0');
  if (png_image_finish_read(&image, &white, rgb.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return nullptr;
  }
  return BitmapOfRgb(rgb, width, height);
}

std::unique_ptr<TBitmap> WhiteBitmap(int width, int height) {
  if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxDrawnPixels) return nullptr;
  return BitmapOfRgb(std::string(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, '\xFF'),
                     width, height);
}

std::string WindowsMetafileOfBitmap(const TBitmap& bitmap, int width, int height) {
  const std::string dib = bitmap.SaveToBytes().substr(kFileHeaderSize);
  std::string records;
  std::uint32_t largest = 0;
  AppendWindowsRecord(records, 0x020B, Words({0, 0}), largest);           // window origin
  AppendWindowsRecord(records, 0x020C, Words({height, width}), largest);  // window extent
  std::string stretch;
  AppendU32(stretch, kSourceCopy);
  AppendU16(stretch, 0);  // colours are RGB values
  stretch += Words({bitmap.Height(), bitmap.Width(), 0, 0, height, width, 0, 0});
  stretch += dib;
  AppendWindowsRecord(records, 0x0F43, stretch, largest);
  AppendWindowsRecord(records, 0x0000, {}, largest);

  std::string out;
  AppendU16(out, 1);  // in memory
  AppendU16(out, 9);  // header words
  AppendU16(out, 0x0300);
  AppendU32(out, static_cast<std::uint32_t>((18 + records.size()) / 2));
  AppendU16(out, 0);  // objects
  AppendU32(out, largest);
  AppendU16(out, 0);
  return out + records;
}

std::string EnhancedMetafileOfBitmap(const TBitmap& bitmap, int width, int height, int pixelsPerInch) {
  const std::string file = bitmap.SaveToBytes();
  TGraphicBytesReader in(file, kPictureConversionFailed);
  const std::size_t bitsOffset = in.U32(10);
  const std::string_view info = in.Slice(kFileHeaderSize, bitsOffset - kFileHeaderSize);
  const std::string_view bits = in.From(bitsOffset);
  constexpr std::uint32_t kHeaderSize = 88;
  constexpr std::uint32_t kStretchFixedSize = 80;
  constexpr std::uint32_t kEndSize = 20;
  const auto stretchSize = static_cast<std::uint32_t>(kStretchFixedSize + info.size() + bits.size());
  const auto hundredthsOfMm = [&](int pixels) {
    return static_cast<int>(std::nearbyint(pixels * 2540.0 / pixelsPerInch));
  };

  std::string out;
  AppendU32(out, 1);
  AppendU32(out, kHeaderSize);
  AppendRect(out, 0, 0, width - 1, height - 1);
  AppendRect(out, 0, 0, hundredthsOfMm(width), hundredthsOfMm(height));
  AppendU32(out, 0x464D4520);  // " EMF"
  AppendU32(out, 0x10000);
  AppendU32(out, kHeaderSize + stretchSize + kEndSize);
  AppendU32(out, 3);  // records
  AppendU16(out, 1);  // handles: the reserved one
  AppendU16(out, 0);
  for (int i = 0; i < 3; ++i) AppendU32(out, 0);  // no description, no palette
  // The reference device: pixelsPerInch * 100 pixels over 2540 mm.
  AppendU32(out, static_cast<std::uint32_t>(pixelsPerInch * 100));
  AppendU32(out, static_cast<std::uint32_t>(pixelsPerInch * 100));
  AppendU32(out, 2540);
  AppendU32(out, 2540);

  AppendU32(out, 81);  // stretched device-independent bits
  AppendU32(out, stretchSize);
  AppendRect(out, 0, 0, width - 1, height - 1);
  for (int value : {0, 0, 0, 0, bitmap.Width(), bitmap.Height()}) AppendU32(out, static_cast<std::uint32_t>(value));
  AppendU32(out, kStretchFixedSize);
  AppendU32(out, static_cast<std::uint32_t>(info.size()));
  AppendU32(out, static_cast<std::uint32_t>(kStretchFixedSize + info.size()));
  AppendU32(out, static_cast<std::uint32_t>(bits.size()));
  AppendU32(out, 0);  // colours are RGB values
  AppendU32(out, kSourceCopy);
  AppendU32(out, static_cast<std::uint32_t>(width));
  AppendU32(out, static_cast<std::uint32_t>(height));
  out += info;
  out += bits;

  AppendU32(out, 14);  // end of file
  AppendU32(out, kEndSize);
  AppendU32(out, 0);
  AppendU32(out, 16);
  AppendU32(out, kEndSize);
  return out;
}

}  // namespace varnolt
