#include "richtext/graphic/RVMetafile.h"

#include <algorithm>
#include <cmath>

#include "richtext/graphic/RVBitmap.h"
#include "richtext/graphic/RVGraphicBytes.h"

namespace varnolt {

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeaderSize = 22;
constexpr std::size_t kWindowsHeaderWords = 9;
constexpr std::uint32_t kEnhancedHeaderType = 1;
constexpr std::uint32_t kEnhancedSignature = 0x464D4520;  // " EMF"
constexpr double kHundredthsOfMmPerInch = 2540.0;

// Records that only set up state around the one bitmap.
enum : std::uint16_t {
  kEndOfFile = 0x0000,
  kSaveState = 0x001E,
  kSetBackColor = 0x0201,
  kSetMapMode = 0x0103,
  kSetStretchMode = 0x0107,
  kRestoreState = 0x0127,
  kSelectClipRegion = 0x012C,
  kSelectObject = 0x012D,
  kSetTextColor = 0x0209,
  kSetWindowOrigin = 0x020B,
  kSetWindowExtent = 0x020C,
  kSetViewportExtent = 0x020E,
  kSelectPalette = 0x0234,
  kEscape = 0x0626,
  kSetDibToDevice = 0x0D33,
  kStretchDib = 0x0F43,
};

bool IsSetupRecord(std::uint16_t function) {
  switch (function) {
    case kSaveState: case kSetBackColor: case kSetMapMode: case kSetStretchMode: case kRestoreState:
    case kSelectClipRegion: case kSelectObject: case kSetTextColor: case kSetWindowOrigin:
    case kSetWindowExtent: case kSetViewportExtent: case kSelectPalette: case kEscape:
      return true;
    default:
      return false;
  }
}

int ToPixels(double hundredthsOfMm, int pixelsPerInch) {
  const double pixels = std::nearbyint(hundredthsOfMm * pixelsPerInch / kHundredthsOfMmPerInch);
  if (!(pixels >= 0) || pixels > TBitmap::kMaxSide) return 0;
  return static_cast<int>(pixels);
}

}  // namespace

std::unique_ptr<TMetafile> TMetafile::FromWindowsBits(std::string_view bits, int mapMode, std::int32_t extentWidth,
                                                      std::int32_t extentHeight, int pixelsPerInch) {
  TGraphicBytesReader in(bits, kInvalidMetafile);
  auto metafile = std::make_unique<TMetafile>();
  std::size_t header = 0;
  int placeableWidth = 0;
  int placeableHeight = 0;
  if (in.Has(0, 4) && in.U32(0) == kPlaceableKey) {
    const int unitsPerInch = in.U16(14);
    const int right = in.S16(10) - in.S16(6);
    const int bottom = in.S16(12) - in.S16(8);
    if (unitsPerInch > 0) {
      placeableWidth = static_cast<int>(std::nearbyint(std::abs(right) * static_cast<double>(pixelsPerInch) / unitsPerInch));
      placeableHeight = static_cast<int>(std::nearbyint(std::abs(bottom) * static_cast<double>(pixelsPerInch) / unitsPerInch));
    }
    header = kPlaceableHeaderSize;
  }
  const std::uint16_t type = in.U16(header);
  if ((type != 1 && type != 2) || in.U16(header + 2) != kWindowsHeaderWords) in.Fail();
  const std::uint16_t version = in.U16(header + 4);
  if (version != 0x0100 && version != 0x0300) in.Fail();

  metafile->bytes_.assign(bits);
  metafile->recordsOffset_ = header + kWindowsHeaderWords * 2;
  metafile->mapMode_ = mapMode;
  metafile->extentWidth_ = extentWidth;
  metafile->extentHeight_ = extentHeight;
  if (extentWidth > 0 && extentHeight > 0) {
    metafile->width_ = ToPixels(extentWidth, pixelsPerInch);
    metafile->height_ = ToPixels(extentHeight, pixelsPerInch);
  } else {
    metafile->width_ = placeableWidth;
    metafile->height_ = placeableHeight;
  }
  return metafile;
}

std::unique_ptr<TMetafile> TMetafile::FromEnhancedBits(std::string_view bits, int pixelsPerInch) {
  TGraphicBytesReader in(bits, kInvalidMetafile);
  if (in.U32(0) != kEnhancedHeaderType || in.U32(40) != kEnhancedSignature) in.Fail();
  const std::uint32_t headerSize = in.U32(4);
  if (headerSize < 88 || headerSize > bits.size()) in.Fail();
  auto metafile = std::make_unique<TMetafile>();
  metafile->bytes_.assign(bits);
  metafile->enhanced_ = true;
  // The frame rectangle is in hundredths of a millimetre, edges inclusive.
  const double frameWidth = static_cast<double>(in.S32(32)) - in.S32(24);
  const double frameHeight = static_cast<double>(in.S32(36)) - in.S32(28);
  // Two 32-bit edges can lie further apart than a 32-bit number reaches.
  metafile->extentWidth_ = static_cast<std::int32_t>(std::min(std::fabs(frameWidth), 2147483647.0));
  metafile->extentHeight_ = static_cast<std::int32_t>(std::min(std::fabs(frameHeight), 2147483647.0));
  metafile->width_ = ToPixels(std::fabs(frameWidth), pixelsPerInch);
  metafile->height_ = ToPixels(std::fabs(frameHeight), pixelsPerInch);
  return metafile;
}

void TMetafile::WalkRecords(const std::function<bool(std::uint16_t, std::string_view)>& visit) const {
  if (enhanced_) return;
  TGraphicBytesReader in(bytes_, kInvalidMetafile);
  std::size_t offset = recordsOffset_;
  while (in.Has(offset, 6)) {
    const std::uint64_t sizeBytes = std::uint64_t{in.U32(offset)} * 2;
    const std::uint16_t function = in.U16(offset + 4);
    if (sizeBytes < 6 || sizeBytes > bytes_.size() - offset) return;
    if (!visit(function, std::string_view(bytes_).substr(offset + 6, static_cast<std::size_t>(sizeBytes - 6)))) return;
    if (function == kEndOfFile) return;
    offset += static_cast<std::size_t>(sizeBytes);
  }
}

std::unique_ptr<TBitmap> TMetafile::ExtractSingleBitmap() const {
  std::string_view dib;
  int bitmapRecords = 0;
  bool onlySetup = true;
  WalkRecords([&](std::uint16_t function, std::string_view parameters) {
    if (function == kSetDibToDevice || function == kStretchDib) {
      // Fixed parameters before the DIB: 9 words, or a raster operation and 10 words.
      const std::size_t skip = function == kSetDibToDevice ? 18 : 22;
      ++bitmapRecords;
      dib = parameters.size() > skip ? parameters.substr(skip) : std::string_view();
    } else if (function != kEndOfFile && !IsSetupRecord(function)) {
      onlySetup = false;
    }
    return onlySetup && bitmapRecords <= 1;
  });
  if (!onlySetup || bitmapRecords != 1 || dib.empty()) return nullptr;
  try {
    return TBitmap::FromDib(dib);
  } catch (const EInvalidGraphic&) {
    return nullptr;
  }
}

}  // namespace varnolt
