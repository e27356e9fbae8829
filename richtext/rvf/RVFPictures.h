#pragma once
// Pictures inside the stored format: a class name line and the picture in
// its own file format.
#include <memory>
#include <string>
#include <string_view>

#include "richtext/graphic/RVGraphic.h"

namespace varnolt {

bool IsKnownPictureClass(std::string_view className);

// The stored bytes of a picture. A Windows metafile without a placeable
// header gets one, so that its size survives.
std::string PictureBytesForRVF(const TGraphic& picture);

// A picture of a known class from its stored bytes; nullptr when they do not
// load. A placeable metafile header without a resolution means 1440 units
// per inch.
std::unique_ptr<TGraphic> LoadRVFPicture(std::string_view className, std::string_view bytes);

}  // namespace varnolt
