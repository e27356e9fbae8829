// Pictures as "\pict" groups: the scale against the picture's natural size,
// the picture kind's keywords and its bytes, in hexadecimal or binary.
#include <cmath>

#include "richtext/graphic/RVBitmap.h"
#include "richtext/graphic/RVJpegPng.h"
#include "richtext/graphic/RVMetafile.h"
#include "richtext/rtf/writer/RVRTFWriterInternal.h"
#include "richtext/rtf/writer/RVRTFWriterPictureConversion.h"

namespace varnolt {

namespace {

constexpr std::string_view kPlaceableKey("\xD7\xCD\xC6\x9A", 4);
constexpr std::size_t kPlaceableHeaderSize = 22;
constexpr std::size_t kBitmapFileHeaderSize = 14;
constexpr double kHundredthsOfMmPerInch = 2540.0;

std::string_view WithoutPlaceableHeader(std::string_view bytes) {
  if (bytes.size() >= kPlaceableHeaderSize && bytes.substr(0, 4) == kPlaceableKey) {
    return bytes.substr(kPlaceableHeaderSize);
  }
  return bytes;
}

}  // namespace

void TRVRTFWriter::WritePicture(const TGraphic* graphic, std::int32_t widthOverride, std::int32_t heightOverride) {
  if (graphic == nullptr) return;
  sink_.Put("{\\pict");
  WritePictureScale(*graphic, widthOverride, heightOverride);
  WritePictureBody(*graphic);
  sink_.Put('}');
}

// The scale relates the wanted size to the size a reader gives the picture:
// its physical size for a Windows metafile, else its pixels. A picture with
// no such size gets no scale.
void TRVRTFWriter::WritePictureScale(const TGraphic& graphic, std::int32_t widthOverride,
                                     std::int32_t heightOverride) {
  const auto* metafile = dynamic_cast<const TMetafile*>(&graphic);
  const bool physical = metafile != nullptr && (!metafile->Enhanced() || Option(rvrtfSaveEMFAsWMF));
  const auto basis = [&](std::int32_t extent, int pixels) {
    if (physical && extent > 0) return std::nearbyint(extent * 72.0 / (twipsPerPixel_ * 127.0));
    return static_cast<double>(pixels);
  };
  if (widthOverride > 0 && graphic.Width() > 0) {
    const double base = basis(metafile != nullptr ? metafile->ExtentWidth() : 0, graphic.Width());
    if (base > 0) sink_.PutKeyword("picscalex", static_cast<std::int64_t>(std::nearbyint(widthOverride * 100.0 / base)));
  }
  if (heightOverride > 0 && graphic.Height() > 0) {
    const double base = basis(metafile != nullptr ? metafile->ExtentHeight() : 0, graphic.Height());
    if (base > 0) {
      sink_.PutKeyword("picscaley", static_cast<std::int64_t>(std::nearbyint(heightOverride * 100.0 / base)));
    }
  }
}

void TRVRTFWriter::WritePictureBody(const TGraphic& graphic) {
  const auto physicalSize = [&](std::int32_t extent, int pixels) -> std::int64_t {
    if (extent > 0) return extent;
    return static_cast<std::int64_t>(std::nearbyint(pixels * kHundredthsOfMmPerInch / pixelsPerInch_));
  };
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic)) {
    WriteBitmapPicture(*bitmap, true, false);
    return;
  }
  if (const auto* metafile = dynamic_cast<const TMetafile*>(&graphic)) {
    // An enhanced metafile cannot be turned into a Windows one without the
    // drawing it holds, so it goes out as itself.
    sink_.Put(metafile->Enhanced() ? "\\emfblip" : "\\wmetafile8");
    sink_.PutKeyword("picw", physicalSize(metafile->ExtentWidth(), metafile->Width()));
    sink_.PutKeyword("pich", physicalSize(metafile->ExtentHeight(), metafile->Height()));
    sink_.Put(' ');
    const std::string bytes = metafile->SaveToBytes();
    WritePictureData(metafile->Enhanced() ? std::string_view(bytes) : WithoutPlaceableHeader(bytes), false);
    return;
  }
  const bool jpeg = dynamic_cast<const TJPEGImage*>(&graphic) != nullptr;
  if ((jpeg && Option(rvrtfSaveJpegAsJpeg)) || dynamic_cast<const TPngGraphic*>(&graphic) != nullptr) {
    sink_.Put(jpeg ? "\\jpegblip" : "\\pngblip");
    sink_.PutKeyword("picw", graphic.Width());
    sink_.PutKeyword("pich", graphic.Height());
    sink_.Put(' ');
    WritePictureData(graphic.SaveToBytes(), false);
    return;
  }
  std::unique_ptr<TBitmap> drawn = jpeg ? DecodeJpegToBitmap(graphic.SaveToBytes()) : nullptr;
  if (drawn == nullptr) drawn = WhiteBitmap(graphic.Width(), graphic.Height());
  if (drawn == nullptr) return;
  if (Option(rvrtfSaveBitmapDefault)) {
    WriteBitmapPicture(*drawn, true, false);
  } else if (Option(rvrtfSaveEMFDefault)) {
    sink_.Put("\\emfblip");
    sink_.PutKeyword("picw", physicalSize(0, graphic.Width()));
    sink_.PutKeyword("pich", physicalSize(0, graphic.Height()));
    sink_.Put(' ');
    WritePictureData(EnhancedMetafileOfBitmap(*drawn, graphic.Width(), graphic.Height(), pixelsPerInch_), false);
  } else {
    sink_.PutKeyword("wmetafile1\\picw", graphic.Width());
    sink_.PutKeyword("pich", graphic.Height());
    sink_.Put(' ');
    WritePictureData(WindowsMetafileOfBitmap(*drawn, graphic.Width(), graphic.Height()), false);
  }
}

void TRVRTFWriter::WriteBitmapPicture(const TBitmap& bitmap, bool allowPng, bool forceHex) {
  if (allowPng && Option(rvrtfPNGInsteadOfBitmap)) {
    sink_.PutKeyword("pngblip\\picw", bitmap.Width());
    sink_.PutKeyword("pich", bitmap.Height());
    sink_.Put(' ');
    WritePictureData(EncodeBitmapAsPng(bitmap), forceHex);
    return;
  }
  sink_.PutKeyword("dibitmap0\\wbmwidthbytes", bitmap.RowBytes());
  sink_.PutKeyword("picw", bitmap.Width());
  sink_.PutKeyword("pich", bitmap.Height());
  sink_.PutKeyword("picwgoal", Twips(bitmap.Width()));
  sink_.PutKeyword("pichgoal", Twips(bitmap.Height()));
  sink_.Put(' ');
  const std::string file = bitmap.SaveToBytes();
  WritePictureData(std::string_view(file).substr(kBitmapFileHeaderSize), forceHex);
}

void TRVRTFWriter::WriteImageListImage(std::int32_t imageListTag, const void* imageList, std::int32_t index) {
  if (!settings_.OnGetImageListImage || index < 0) return;
  const TBitmap* image = settings_.OnGetImageListImage(imageListTag, imageList, index);
  if (image == nullptr) return;
  sink_.Put("{\\pict");
  if (Option(rvrtfSaveBitmapDefault)) {
    WriteBitmapPicture(*image, false, true);
  } else {
    sink_.PutKeyword("wmetafile1\\picw", image->Width());
    sink_.PutKeyword("pich", image->Height());
    sink_.Put(' ');
    WritePictureData(WindowsMetafileOfBitmap(*image, image->Width(), image->Height()), true);
  }
  sink_.Put('}');
}

void TRVRTFWriter::WritePictureData(std::string_view bytes, bool forceHex) {
  if (Option(rvrtfSavePicturesBinary) && !forceHex) {
    if (bytes.empty()) return;
    sink_.Put('{');
    sink_.PutKeyword("bin", static_cast<std::int64_t>(bytes.size()));
    sink_.Put(' ');
    sink_.Put(bytes);
    sink_.Put('}');
    return;
  }
  static constexpr char kDigits[] = "0123456789ABCDEF";
  constexpr std::size_t kChunk = 4096;
  char hex[kChunk * 2];
  for (std::size_t start = 0; start < bytes.size(); start += kChunk) {
    const std::size_t count = std::min(kChunk, bytes.size() - start);
    for (std::size_t i = 0; i < count; ++i) {
      const auto byte = static_cast<std::uint8_t>(bytes[start + i]);
      hex[2 * i] = kDigits[byte >> 4];
      hex[2 * i + 1] = kDigits[byte & 15];
    }
    sink_.Put(std::string_view(hex, count * 2));
  }
}

}  // namespace varnolt
