#pragma once
// A Windows or enhanced metafile kept as its bytes, with its size in pixels.
// Nothing draws it here; the record walker only looks for the common case of
// a metafile that wraps a single bitmap.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "richtext/graphic/RVGraphic.h"

namespace varnolt {

class TBitmap;

class TMetafile : public TGraphic {
 public:
  static constexpr const char* kInvalidMetafile = "Invalid metafile";

  // Windows metafile bits, with or without the placeable header. The extent
  // (hundredths of a millimetre) gives the pixel size when both parts are
  // positive; a placeable header gives it otherwise.
  static std::unique_ptr<TMetafile> FromWindowsBits(std::string_view bits, int mapMode, std::int32_t extentWidth,
                                                    std::int32_t extentHeight, int pixelsPerInch);
  static std::unique_ptr<TMetafile> FromEnhancedBits(std::string_view bits, int pixelsPerInch);

  std::string ClassName() const override { return "TMetafile"; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  std::string SaveToBytes() const override { return bytes_; }
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TMetafile>(*this); }

  bool Enhanced() const { return enhanced_; }
  int MapMode() const { return mapMode_; }
  std::int32_t ExtentWidth() const { return extentWidth_; }
  std::int32_t ExtentHeight() const { return extentHeight_; }

  // Calls visit(function, parameters) for each record of a Windows metafile
  // until it returns false, the end-of-file record, a record of size 0 or a
  // record that would run past the data.
  void WalkRecords(const std::function<bool(std::uint16_t, std::string_view)>& visit) const;
  // The bitmap when the metafile draws exactly one DIB and otherwise only
  // sets up state; nullptr in every other case.
  std::unique_ptr<TBitmap> ExtractSingleBitmap() const;

 private:
  std::string bytes_;
  std::size_t recordsOffset_ = 0;  // first record after the headers
  bool enhanced_ = false;
  int mapMode_ = 0;
  std::int32_t extentWidth_ = 0;
  std::int32_t extentHeight_ = 0;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace varnolt
