#pragma once
// Image external objects made from bitmaps, with raw, uncompressed samples:
// palette pictures become indexed images, all others 24-bit RGB images.
// Creators are registered by name beside the fonts; whoever places an image
// registers it in the document's cross-reference table.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/PdfClassRegistry.h"
#include "pdf/PdfTypes.h"
#include "platform/Exception.h"

namespace varnolt {

class EPdfInvalidImageFormat : public Exception {
 public:
  using Exception::Exception;
};

struct TPdfPaletteEntry {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;
  friend bool operator==(const TPdfPaletteEntry&, const TPdfPaletteEntry&) = default;
};

// A device-independent bitmap as the image creator reads it. Rows go from
// the top row down, RowBytes apart (padding allowed). Pixel layouts by
// BitsPerPixel:
//   1, 4, 8  palette indexes, the leftmost pixel in the highest bits
//   16       little-endian 16-bit words, 5 bits each of red, green, blue
//            from bit 14 down (bit 15 unused)
//   24       blue, green, red
//   32       blue, green, red, one unused byte
struct TPdfBitmap {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t BitsPerPixel = 24;
  std::vector<TPdfPaletteEntry> Palette;
  std::int64_t RowBytes = 0;
  std::string Rows;

  // The bytes one row of width pixels takes without padding; 0 for a layout
  // not listed above.
  static std::int64_t PackedRowBytes(std::int32_t width, std::int32_t bitsPerPixel);
};

class TPdfImageCreator {
 public:
  virtual ~TPdfImageCreator() = default;

  // A new, unregistered image of the picture; the base makes none.
  virtual std::unique_ptr<TPdfImage> CreateImage(const TPdfBitmap& picture);

  // [/Indexed /DeviceRGB 255 <lookup>] with 256 lookup entries, those past
  // the palette black. EPdfInvalidImageFormat for a bitmap that is not 8 bits
  // per pixel or has no palette.
  std::unique_ptr<TPdfArray> MakeIndexedColorSpace(const TPdfBitmap& bitmap) const;
};

// Accepts every layout of TPdfBitmap. EPdfInvalidImageFormat for a bitmap
// without pixels, of another layout, or whose rows are shorter than it
// says; no half-built image survives a failure.
class TPdfBitmapImage final : public TPdfImageCreator {
 public:
  std::unique_ptr<TPdfImage> CreateImage(const TPdfBitmap& picture) override;
};

class TPdfImageCreatorClass : public TPdfRegisteredClass {
 public:
  virtual std::unique_ptr<TPdfImageCreator> Create() const = 0;
};

template <class Creator>
class TPdfImageCreatorClassOf final : public TPdfImageCreatorClass {
 public:
  explicit TPdfImageCreatorClassOf(std::string_view className) : className_(className) {}
  std::string_view ClassName() const override { return className_; }
  std::unique_ptr<TPdfImageCreator> Create() const override { return std::make_unique<Creator>(); }

 private:
  std::string_view className_;
};

// A creator of the class registered under the name; EClassNotFound when the
// name is not registered or names no image creator.
std::unique_ptr<TPdfImageCreator> CreateImageCreator(std::u16string_view name);

}  // namespace varnolt
