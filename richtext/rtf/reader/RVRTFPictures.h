#pragma once
// Pictures and embedded objects as an RTF "pict" or "object" group describes
// them, and the graphic built from a picture's data.
#include <cstdint>
#include <memory>
#include <string>

#include "richtext/graphic/RVGraphic.h"

namespace varnolt {

enum TRVRTFPictureKind : std::uint8_t {
  rtf_pk_EnhancedMetafile,
  rtf_pk_Png,
  rtf_pk_Jpeg,
  rtf_pk_MacPict,
  rtf_pk_Os2Metafile,
  rtf_pk_WindowsMetafile,
  rtf_pk_DeviceIndependentBitmap,
  rtf_pk_DeviceDependentBitmap
};

struct TRVRTFPicture {
  // A bitmap file header is put in front of device-independent bits later.
  static constexpr std::size_t kBitmapFileHeaderSize = 14;

  std::uint8_t kind = rtf_pk_EnhancedMetafile;
  std::int32_t mapMode = 0;
  std::int32_t picw = 0;  // metafiles: hundredths of a millimetre; bitmaps: pixels
  std::int32_t pich = 0;
  std::int32_t picwGoal = 0;  // twips
  std::int32_t pichGoal = 0;
  std::int32_t scaleX = 100;
  std::int32_t scaleY = 100;
  std::int32_t widthBytes = 0;
  std::int32_t bitsPerPixel = 1;
  std::int32_t planes = 1;
  bool wrapsBitmap = false;
  bool insideShpPict = false;
  std::string data;
  std::size_t dataPosition = 0;  // where the next data bytes go
  std::int32_t width = 0;        // pixels, 0 when unknown
  std::int32_t height = 0;

  void WriteData(const char* bytes, std::size_t count);
};

struct TRVRTFObject {
  std::uint8_t kind = 0;  // 0 embedded ... 7 control, in keyword order
  std::string data;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Builds the graphic of a completed picture and sets its pixel size. nullptr
// when the kind has no graphic class or there is no data; EInvalidGraphic
// when the data does not decode.
std::unique_ptr<TGraphic> BuildRTFPictureGraphic(TRVRTFPicture& picture, bool extractMetafileBitmaps,
                                                 int pixelsPerInch);

}  // namespace varnolt
