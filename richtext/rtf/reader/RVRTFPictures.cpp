#include "richtext/rtf/reader/RVRTFPictures.h"

#include <cmath>
#include <cstring>

#include "richtext/graphic/RVBitmap.h"
#include "richtext/graphic/RVGraphicBytes.h"
#include "richtext/graphic/RVJpegPng.h"
#include "richtext/graphic/RVMetafile.h"

namespace varnolt {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kHundredthsOfMmPerInch = 2540.0;

std::int32_t ScaledSize(double value, double unitsPerInch, double pixelsPerInch) {
  const double pixels = std::nearbyint(value * pixelsPerInch / unitsPerInch);
  if (!(pixels > -2147483648.0 && pixels < 2147483647.0)) return 0;
  return static_cast<std::int32_t>(pixels);
}

// "picw" and "pich" of a Windows metafile are in the units of its mapping
// mode: pixels for MM_TEXT, which the writer uses for pictures it draws, and
// hundredths of a millimetre for the scalable modes.
double MetafileUnitsPerInch(int mapMode, int pixelsPerInch) {
  switch (mapMode) {
    case 1: return pixelsPerInch;
    case 2: return 254.0;
    case 4: return 100.0;
    case 5: return 1000.0;
    case 6: return kTwipsPerInch;
    default: return kHundredthsOfMmPerInch;
  }
}

// Device-independent bits arrive without the file header; the reader left
// room for it in front of the data.
void PutBitmapFileHeader(std::string& data) {
  std::string header = "BM";
  AppendU32(header, static_cast<std::uint32_t>(data.size()));
  header.resize(TRVRTFPicture::kBitmapFileHeaderSize, '\0');
  data.replace(0, header.size(), header);
}

std::unique_ptr<TGraphic> BuildWindowsMetafile(TRVRTFPicture& picture, bool extractMetafileBitmaps,
                                               int pixelsPerInch) {
  const double unitsPerInch = MetafileUnitsPerInch(picture.mapMode, pixelsPerInch);
  auto metafile = TMetafile::FromWindowsBits(picture.data, picture.mapMode,
                                             ScaledSize(picture.picw, unitsPerInch, kHundredthsOfMmPerInch),
                                             ScaledSize(picture.pich, unitsPerInch, kHundredthsOfMmPerInch), pixelsPerInch);
  if (extractMetafileBitmaps) {
    if (auto bitmap = metafile->ExtractSingleBitmap()) return bitmap;
  }
  return metafile;
}

}  // namespace

void TRVRTFPicture::WriteData(const char* bytes, std::size_t count) {
  if (dataPosition > data.size()) data.resize(dataPosition, '\0');
  const std::size_t overwritten = std::min(count, data.size() - dataPosition);
  data.replace(dataPosition, overwritten, bytes, count);
  dataPosition += count;
}

std::unique_ptr<TGraphic> BuildRTFPictureGraphic(TRVRTFPicture& picture, bool extractMetafileBitmaps,
                                                 int pixelsPerInch) {
  if (picture.kind == rtf_pk_WindowsMetafile && picture.picw > 0 && picture.pich > 0) {
    const double unitsPerInch = MetafileUnitsPerInch(picture.mapMode, pixelsPerInch);
    picture.width = ScaledSize(picture.picw, unitsPerInch, pixelsPerInch);
    picture.height = ScaledSize(picture.pich, unitsPerInch, pixelsPerInch);
  }
  if (picture.picwGoal != 0 && picture.pichGoal != 0) {
    picture.width = ScaledSize(picture.picwGoal, kTwipsPerInch, pixelsPerInch);
    picture.height = ScaledSize(picture.pichGoal, kTwipsPerInch, pixelsPerInch);
  }
  if (picture.data.empty()) return nullptr;
  switch (picture.kind) {
    case rtf_pk_EnhancedMetafile:
      return TMetafile::FromEnhancedBits(picture.data, pixelsPerInch);
    case rtf_pk_WindowsMetafile:
      return BuildWindowsMetafile(picture, extractMetafileBitmaps, pixelsPerInch);
    case rtf_pk_Jpeg:
      return TJPEGImage::FromBytes(picture.data);
    case rtf_pk_Png:
      return TPngGraphic::FromBytes(picture.data);
    case rtf_pk_DeviceIndependentBitmap:
      if (picture.data.size() <= TRVRTFPicture::kBitmapFileHeaderSize) return nullptr;
      PutBitmapFileHeader(picture.data);
      return TBitmap::FromBitmapFile(picture.data);
    case rtf_pk_DeviceDependentBitmap:
      return TBitmap::FromDeviceBits(picture.picw, picture.pich, picture.planes, picture.bitsPerPixel,
                                     picture.widthBytes, picture.data);
    default:
      return nullptr;
  }
}

}  // namespace varnolt
