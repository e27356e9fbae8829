#include "richtext/rvf/RVFPictures.h"

#include <array>

#include "platform/Screen.h"
#include "richtext/graphic/RVBitmap.h"
#include "richtext/graphic/RVGraphicBytes.h"
#include "richtext/graphic/RVJpegPng.h"
#include "richtext/graphic/RVMetafile.h"

namespace varnolt {

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeaderSize = 22;
constexpr std::size_t kPlaceableInchOffset = 14;
constexpr int kDefaultUnitsPerInch = 1440;
constexpr int kMaxPlaceableCoordinate = 32767;

constexpr std::array<std::string_view, 4> kPictureClasses = {"TBitmap", "TMetafile", "TJPEGImage", "TPngGraphic"};

bool IsPlaceable(std::string_view bytes) {
  TGraphicBytesReader in(bytes, "Invalid metafile");
  return in.Has(0, 4) && in.U32(0) == kPlaceableKey;
}

bool IsEnhanced(std::string_view bytes) {
  TGraphicBytesReader in(bytes, "Invalid metafile");
  return in.Has(0, 44) && in.U32(0) == 1 && in.U32(40) == 0x464D4520;
}

// The placeable header of a metafile of that size in pixels; empty when the
// size does not fit the header's 16-bit box.
std::string PlaceableHeader(int width, int height) {
  int unitsPerInch = kDefaultUnitsPerInch;
  auto units = [&](int pixels) { return static_cast<std::int64_t>(pixels) * unitsPerInch / kScreenPixelsPerInch; };
  if (units(width) > kMaxPlaceableCoordinate || units(height) > kMaxPlaceableCoordinate) unitsPerInch = kScreenPixelsPerInch;
  if (units(width) > kMaxPlaceableCoordinate || units(height) > kMaxPlaceableCoordinate) return {};
  std::string header;
  AppendU32(header, kPlaceableKey);
  AppendU16(header, 0);  // handle
  AppendU16(header, 0);  // box: left, top, right, bottom
  AppendU16(header, 0);
  AppendU16(header, static_cast<std::uint32_t>(units(width)));
  AppendU16(header, static_cast<std::uint32_t>(units(height)));
  AppendU16(header, static_cast<std::uint32_t>(unitsPerInch));
  AppendU32(header, 0);
  std::uint32_t checksum = 0;
  for (std::size_t i = 0; i + 1 < header.size(); i += 2) {
    checksum ^= static_cast<std::uint8_t>(header[i]) | (static_cast<std::uint8_t>(header[i + 1]) << 8);
  }
  AppendU16(header, checksum);
  return header;
}

}  // namespace

bool IsKnownPictureClass(std::string_view className) {
  for (std::string_view known : kPictureClasses) {
    if (known == className) return true;
  }
  return false;
}

std::string PictureBytesForRVF(const TGraphic& picture) {
  std::string bytes = picture.SaveToBytes();
  const auto* metafile = dynamic_cast<const TMetafile*>(&picture);
  if (metafile == nullptr || metafile->Enhanced() || IsPlaceable(bytes) || picture.Width() <= 0 ||
      picture.Height() <= 0) {
    return bytes;
  }
  return PlaceableHeader(picture.Width(), picture.Height()) + bytes;
}

std::unique_ptr<TGraphic> LoadRVFPicture(std::string_view className, std::string_view bytes) {
  try {
    if (className == "TBitmap") return TBitmap::FromBitmapFile(bytes);
    if (className == "TJPEGImage") return TJPEGImage::FromBytes(bytes);
    if (className == "TPngGraphic") return TPngGraphic::FromBytes(bytes);
    if (className != "TMetafile") return nullptr;
    if (IsEnhanced(bytes)) return TMetafile::FromEnhancedBits(bytes, kScreenPixelsPerInch);
    std::string copy(bytes);
    if (IsPlaceable(copy) && copy.size() >= kPlaceableHeaderSize && copy[kPlaceableInchOffset] == 0 &&
        copy[kPlaceableInchOffset + 1] == 0) {
      copy[kPlaceableInchOffset] = static_cast<char>(kDefaultUnitsPerInch & 0xFF);
      copy[kPlaceableInchOffset + 1] = static_cast<char>(kDefaultUnitsPerInch >> 8);
    }
    return TMetafile::FromWindowsBits(copy, 8, 0, 0, kScreenPixelsPerInch);
  } catch (const Exception&) {
    return nullptr;
  }
}

}  // namespace varnolt
