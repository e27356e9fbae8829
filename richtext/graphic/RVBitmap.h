#pragma once
// A device-independent bitmap: size, bits per pixel, palette and rows, built
// from DIB data (with or without the 14-byte file header) or from
// device-dependent bits. Rows are kept top-down with 4-byte aligned rows.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/graphic/RVGraphic.h"

namespace varnolt {

struct TBitmapPaletteEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const TBitmapPaletteEntry&, const TBitmapPaletteEntry&) = default;
};

class TBitmap : public TGraphic {
 public:
  // Largest side accepted; beyond it no real picture exists and row sizes
  // would stop fitting the arithmetic of the formats.
  static constexpr std::int64_t kMaxSide = 1 << 20;

  // DIB data: an info header (12, 40, 52, 56, 108 or 124 bytes), the palette
  // and the rows. Uncompressed or bit-field pixels only.
  static std::unique_ptr<TBitmap> FromDib(std::string_view dib);
  // A bitmap file; a zero pixel offset in its header means "right after the
  // palette".
  static std::unique_ptr<TBitmap> FromBitmapFile(std::string_view file);
  // Device-dependent bits: planes times bits per pixel, rows of widthBytes
  // bytes (0: word-aligned rows), top row first.
  static std::unique_ptr<TBitmap> FromDeviceBits(std::int32_t width, std::int32_t height, std::int32_t planes,
                                                 std::int32_t bitsPerPixel, std::int32_t widthBytes,
                                                 std::string_view bits);

  std::string ClassName() const override { return "TBitmap"; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  std::string SaveToBytes() const override;  // a bitmap file
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TBitmap>(*this); }

  int BitsPerPixel() const { return bitsPerPixel_; }
  const std::vector<TBitmapPaletteEntry>& Palette() const { return palette_; }
  int RowBytes() const { return rowBytes_; }
  // Row 0 is the top row; nothing for a row outside the bitmap.
  std::string_view ScanLine(int row) const;

 private:
  static std::unique_ptr<TBitmap> Parse(std::string_view dib, std::size_t bitsOffset);

  int width_ = 0;
  int height_ = 0;
  int bitsPerPixel_ = 0;
  int rowBytes_ = 0;
  std::uint32_t compression_ = 0;        // 0 plain, 3 bit fields
  std::vector<std::uint32_t> bitMasks_;  // red, green, blue with bit fields
  std::vector<TBitmapPaletteEntry> palette_;
  std::string rows_;
};

}  // namespace varnolt
