#pragma once
// Pictures turned into the forms RTF takes: a bitmap as PNG, a JPEG drawn
// into a bitmap, a bitmap drawn on a Windows or enhanced metafile.
#include <memory>
#include <string>
#include <string_view>

#include "richtext/graphic/RVBitmap.h"

namespace varnolt {

// The bitmap's pixels as an 8-bit RGB PNG file; throws EInvalidGraphic
// when the encoder fails.
std::string EncodeBitmapAsPng(const TBitmap& bitmap);
// A 24-bit bitmap of the JPEG's pixels; nullptr when it does not decode.
std::unique_ptr<TBitmap> DecodeJpegToBitmap(std::string_view jpeg);
// A 24-bit bitmap of the PNG's pixels, transparency over white; nullptr when
// it does not decode or is too large to draw.
std::unique_ptr<TBitmap> DecodePngToBitmap(std::string_view png);
// A white 24-bit bitmap, for pictures that cannot be drawn otherwise.
std::unique_ptr<TBitmap> WhiteBitmap(int width, int height);
// A metafile whose one drawing record stretches the bitmap over
// width x height pixels. The Windows one has no placeable header; the
// enhanced one's frame takes its size at pixelsPerInch.
std::string WindowsMetafileOfBitmap(const TBitmap& bitmap, int width, int height);
std::string EnhancedMetafileOfBitmap(const TBitmap& bitmap, int width, int height, int pixelsPerInch);

}  // namespace varnolt
