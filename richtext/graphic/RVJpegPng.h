#pragma once
// JPEG and PNG pictures, kept as the bytes they came in; the libraries read
// only their headers, for the size.
#include <memory>
#include <string>
#include <string_view>

#include "richtext/graphic/RVGraphic.h"

namespace varnolt {

// A picture kept as the bytes it came in, with the size its header gives.
template <typename Derived>
class TEncodedGraphic : public TGraphic {
 public:
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  std::string SaveToBytes() const override { return bytes_; }
  std::unique_ptr<TGraphic> Clone() const override {
    return std::make_unique<Derived>(static_cast<const Derived&>(*this));
  }

 protected:
  std::string bytes_;
  int width_ = 0;
  int height_ = 0;
};

class TJPEGImage : public TEncodedGraphic<TJPEGImage> {
 public:
  static std::unique_ptr<TJPEGImage> FromBytes(std::string_view bytes);
  std::string ClassName() const override { return "TJPEGImage"; }
};

class TPngGraphic : public TEncodedGraphic<TPngGraphic> {
 public:
  static std::unique_ptr<TPngGraphic> FromBytes(std::string_view bytes);
  std::string ClassName() const override { return "TPngGraphic"; }
};

bool LooksLikeJpeg(std::string_view bytes);
bool LooksLikePng(std::string_view bytes);

}  // namespace varnolt
