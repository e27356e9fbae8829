#include "richtext/graphic/RVBitmap.h"

#include <algorithm>

#include "richtext/graphic/RVGraphicBytes.h"

namespace varnolt {

namespace {

constexpr const char* kInvalidBitmap = "Invalid bitmap";
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::uint32_t kPlainPixels = 0;
constexpr std::uint32_t kBitFieldPixels = 3;

bool IsSupportedDepth(std::int64_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::int64_t AlignedRowBytes(std::int64_t width, std::int64_t bitsPerPixel, std::int64_t alignBytes) {
  const std::int64_t alignBits = alignBytes * 8;
  return (width * bitsPerPixel + alignBits - 1) / alignBits * alignBytes;
}

struct DibLayout {
  std::size_t headerSize = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: top row first
  std::int64_t bitsPerPixel = 0;
  std::uint32_t compression = kPlainPixels;
  std::int64_t paletteCount = 0;
  std::size_t paletteEntrySize = 4;
  std::size_t masksSize = 0;  // bit-field masks after a 40-byte header
};

DibLayout ReadLayout(const TGraphicBytesReader& in) {
  DibLayout layout;
  layout.headerSize = in.U32(0);
  std::int64_t colorsUsed = 0;
  if (layout.headerSize == kCoreHeaderSize) {
    layout.width = in.U16(4);
    layout.height = in.U16(6);
    if (in.U16(8) != 1) in.Fail();
    layout.bitsPerPixel = in.U16(10);
    layout.paletteEntrySize = 3;
  } else if (layout.headerSize >= kInfoHeaderSize && layout.headerSize <= 124) {
    layout.width = in.S32(4);
    layout.height = in.S32(8);
    if (in.U16(12) != 1) in.Fail();
    layout.bitsPerPixel = in.U16(14);
    layout.compression = in.U32(16);
    colorsUsed = in.U32(32);
    if (layout.compression == kBitFieldPixels && layout.headerSize == kInfoHeaderSize) layout.masksSize = 12;
  } else {
    in.Fail();
  }
  if (!IsSupportedDepth(layout.bitsPerPixel)) in.Fail();
  if (layout.compression != kPlainPixels && layout.compression != kBitFieldPixels) in.Fail();
  if (layout.compression == kBitFieldPixels && layout.bitsPerPixel != 16 && layout.bitsPerPixel != 32) in.Fail();
  const std::int64_t absHeight = layout.height < 0 ? -layout.height : layout.height;
  if (layout.width <= 0 || absHeight == 0 || layout.width > TBitmap::kMaxSide || absHeight > TBitmap::kMaxSide) {
    in.Fail();
  }
  const std::int64_t maxPalette = layout.bitsPerPixel <= 8 ? (std::int64_t{1} << layout.bitsPerPixel) : 0;
  if (colorsUsed < 0 || colorsUsed > 256) in.Fail();
  layout.paletteCount = colorsUsed != 0 ? colorsUsed : maxPalette;
  return layout;
}

}  // namespace

std::unique_ptr<TBitmap> TBitmap::FromDib(std::string_view dib) { return Parse(dib, 0); }

std::unique_ptr<TBitmap> TBitmap::FromBitmapFile(std::string_view file) {
  TGraphicBytesReader in(file, kInvalidBitmap);
  if (in.U8(0) != 'B' || in.U8(1) != 'M') in.Fail();
  const std::uint32_t pixelOffset = in.U32(10);
  std::size_t bitsOffset = 0;
  if (pixelOffset != 0) {
    if (pixelOffset < kFileHeaderSize || pixelOffset > file.size()) in.Fail();
    bitsOffset = pixelOffset - kFileHeaderSize;
  }
  return Parse(file.substr(kFileHeaderSize), bitsOffset);
}

std::unique_ptr<TBitmap> TBitmap::Parse(std::string_view dib, std::size_t bitsOffset) {
  TGraphicBytesReader in(dib, kInvalidBitmap);
  const DibLayout layout = ReadLayout(in);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->width_ = static_cast<int>(layout.width);
  bitmap->height_ = static_cast<int>(layout.height < 0 ? -layout.height : layout.height);
  bitmap->bitsPerPixel_ = static_cast<int>(layout.bitsPerPixel);
  bitmap->compression_ = layout.compression;

  if (layout.compression == kBitFieldPixels) {
    // Right after a 40-byte header, or inside the longer headers at the same place.
    for (std::size_t i = 0; i < 3; ++i) bitmap->bitMasks_.push_back(in.U32(kInfoHeaderSize + 4 * i));
  }
  std::size_t offset = layout.headerSize + layout.masksSize;
  in.Require(offset, static_cast<std::size_t>(layout.paletteCount) * layout.paletteEntrySize);
  for (std::int64_t i = 0; i < layout.paletteCount; ++i) {
    const std::size_t entry = offset + static_cast<std::size_t>(i) * layout.paletteEntrySize;
    if (layout.bitsPerPixel <= 8) bitmap->palette_.push_back({in.U8(entry + 2), in.U8(entry + 1), in.U8(entry)});
  }
  offset += static_cast<std::size_t>(layout.paletteCount) * layout.paletteEntrySize;
  if (bitsOffset != 0) offset = bitsOffset;

  const std::int64_t rowBytes = AlignedRowBytes(layout.width, layout.bitsPerPixel, 4);
  const std::int64_t total = rowBytes * bitmap->height_;
  const std::string_view bits = in.Slice(offset, static_cast<std::size_t>(total));
  bitmap->rowBytes_ = static_cast<int>(rowBytes);
  bitmap->rows_.reserve(static_cast<std::size_t>(total));
  for (int row = 0; row < bitmap->height_; ++row) {
    const int stored = layout.height < 0 ? row : bitmap->height_ - 1 - row;
    bitmap->rows_.append(bits.substr(static_cast<std::size_t>(stored * rowBytes), static_cast<std::size_t>(rowBytes)));
  }
  return bitmap;
}

std::unique_ptr<TBitmap> TBitmap::FromDeviceBits(std::int32_t width, std::int32_t height, std::int32_t planes,
                                                 std::int32_t bitsPerPixel, std::int32_t widthBytes,
                                                 std::string_view bits) {
  TGraphicBytesReader in(bits, kInvalidBitmap);
  const std::int64_t depth = std::int64_t{planes} * bitsPerPixel;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || planes <= 0 || !IsSupportedDepth(depth)) {
    in.Fail();
  }
  const std::int64_t sourceRowBytes = widthBytes > 0 ? widthBytes : AlignedRowBytes(width, depth, 2);
  if (sourceRowBytes < AlignedRowBytes(width, depth, 1)) in.Fail();
  in.Require(0, static_cast<std::size_t>(sourceRowBytes * height));

  auto bitmap = std::make_unique<TBitmap>();
  bitmap->width_ = width;
  bitmap->height_ = height;
  bitmap->bitsPerPixel_ = static_cast<int>(depth);
  bitmap->rowBytes_ = static_cast<int>(AlignedRowBytes(width, depth, 4));
  if (depth <= 8) {
    // Device bits carry no colours: grey levels, which for one bit is black and white.
    const int count = 1 << depth;
    for (int i = 0; i < count; ++i) {
      const auto level = static_cast<std::uint8_t>(i * 255 / (count - 1));
      bitmap->palette_.push_back({level, level, level});
    }
  }
  const auto copied = static_cast<std::size_t>(std::min<std::int64_t>(sourceRowBytes, bitmap->rowBytes_));
  bitmap->rows_.assign(static_cast<std::size_t>(bitmap->rowBytes_) * static_cast<std::size_t>(height), '\0');
  for (int row = 0; row < height; ++row) {
    bitmap->rows_.replace(static_cast<std::size_t>(row) * static_cast<std::size_t>(bitmap->rowBytes_), copied,
                          bits.substr(static_cast<std::size_t>(row * sourceRowBytes), copied));
  }
  return bitmap;
}

std::string_view TBitmap::ScanLine(int row) const {
  if (row < 0 || row >= height_) return {};
  return std::string_view(rows_).substr(static_cast<std::size_t>(row) * static_cast<std::size_t>(rowBytes_),
                                        static_cast<std::size_t>(rowBytes_));
}

std::string TBitmap::SaveToBytes() const {
  const std::size_t headerBytes = kFileHeaderSize + kInfoHeaderSize + bitMasks_.size() * 4 + palette_.size() * 4;
  std::string out;
  out.reserve(headerBytes + rows_.size());
  out += "BM";
  AppendU32(out, static_cast<std::uint32_t>(headerBytes + rows_.size()));
  AppendU32(out, 0);
  AppendU32(out, static_cast<std::uint32_t>(headerBytes));
  AppendU32(out, kInfoHeaderSize);
  AppendU32(out, static_cast<std::uint32_t>(width_));
  AppendU32(out, static_cast<std::uint32_t>(height_));
  AppendU16(out, 1);
  AppendU16(out, static_cast<std::uint32_t>(bitsPerPixel_));
  AppendU32(out, compression_);
  AppendU32(out, static_cast<std::uint32_t>(rows_.size()));
  AppendU32(out, 0);
  AppendU32(out, 0);
  AppendU32(out, static_cast<std::uint32_t>(palette_.size()));
  AppendU32(out, 0);
  for (std::uint32_t mask : bitMasks_) AppendU32(out, mask);
  for (const auto& entry : palette_) {
    out.push_back(static_cast<char>(entry.blue));
    out.push_back(static_cast<char>(entry.green));
    out.push_back(static_cast<char>(entry.red));
    out.push_back('\0');
  }
  for (int row = height_ - 1; row >= 0; --row) out.append(ScanLine(row));
  return out;
}

}  // namespace varnolt
