#pragma once
// JPEG pictures as image external objects that keep the JPEG bytes as they
// are (DCTDecode): the reader decodes them, so nothing is recompressed.
#include <memory>
#include <string>

#include "pdf/PdfImages.h"
#include "pdf/PdfTypes.h"

namespace varnolt {

// A new, unregistered image of the JPEG: width, height and colour space
// (gray, RGB, CMYK; CMYK written by Adobe software inverted through
// /Decode) from its header. EPdfInvalidImageFormat for data that is not a
// baseline-or-progressive 8-bit JPEG of 1, 3 or 4 components, or whose
// header is cut short.
std::unique_ptr<TPdfImage> CreateJpegImage(std::string jpeg);

}  // namespace varnolt
