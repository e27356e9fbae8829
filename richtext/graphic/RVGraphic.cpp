#include "richtext/graphic/RVGraphic.h"

#include "richtext/graphic/RVBitmap.h"
#include "richtext/graphic/RVGraphicBytes.h"
#include "richtext/graphic/RVJpegPng.h"
#include "richtext/graphic/RVMetafile.h"

namespace varnolt {

namespace {

std::unique_ptr<TGraphic> BuildByContent(std::string_view bytes, int pixelsPerInch) {
  TGraphicBytesReader in(bytes, "Unknown picture format");
  if (LooksLikeJpeg(bytes)) return TJPEGImage::FromBytes(bytes);
  if (LooksLikePng(bytes)) return TPngGraphic::FromBytes(bytes);
  if (in.Has(0, 2) && bytes.substr(0, 2) == "BM") return TBitmap::FromBitmapFile(bytes);
  if (in.Has(0, 44) && in.U32(0) == 1 && in.U32(40) == 0x464D4520) {
    return TMetafile::FromEnhancedBits(bytes, pixelsPerInch);
  }
  return TMetafile::FromWindowsBits(bytes, 8, 0, 0, pixelsPerInch);
}

}  // namespace

std::unique_ptr<TGraphic> LoadGraphicFromBytes(std::string_view bytes, int pixelsPerInch) {
  try {
    return BuildByContent(bytes, pixelsPerInch);
  } catch (const EInvalidGraphic&) {
    return nullptr;
  }
}

}  // namespace varnolt
