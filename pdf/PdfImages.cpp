#include "pdf/PdfImages.h"

#include <algorithm>

namespace varnolt {

namespace {

constexpr std::int32_t kIndexedBits = 8;
constexpr std::int32_t kRgbBits = 24;
constexpr std::size_t kLookupEntries = 256;
constexpr std::int32_t kHighestIndex = 255;
constexpr std::int32_t kBitsPerComponent = 8;
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsPaletteLayout(std::int32_t bitsPerPixel) {
  return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8;
}

std::uint8_t ByteAt(std::string_view row, std::int64_t index) {
  return static_cast<std::uint8_t>(row[static_cast<std::size_t>(index)]);
}

std::uint8_t PaletteIndex(std::string_view row, std::int32_t bitsPerPixel, std::int32_t x) {
  switch (bitsPerPixel) {
    case 1:
      return (ByteAt(row, x / 8) >> (7 - x % 8)) & 0x1;
    case 4:
      return (ByteAt(row, x / 2) >> (x % 2 == 0 ? 4 : 0)) & 0xF;
    default:
      return ByteAt(row, x);
  }
}

// 5 bits to 8, so that full intensity stays full.
std::uint8_t Widen5(unsigned value) { return static_cast<std::uint8_t>((value << 3) | (value >> 2)); }

// Appends the pixel at x as blue, green, red.
void AppendBgr(std::string_view row, std::int32_t bitsPerPixel, std::int32_t x, std::string& out) {
  if (bitsPerPixel == 16) {
    unsigned word = ByteAt(row, 2 * std::int64_t{x}) | (ByteAt(row, 2 * std::int64_t{x} + 1) << 8);
    out.push_back(static_cast<char>(Widen5(word & 0x1F)));
    out.push_back(static_cast<char>(Widen5((word >> 5) & 0x1F)));
    out.push_back(static_cast<char>(Widen5((word >> 10) & 0x1F)));
    return;
  }
  std::int64_t offset = std::int64_t{x} * (bitsPerPixel / 8);
  out.append(row.substr(static_cast<std::size_t>(offset), 3));
}

void CheckLayout(const TPdfBitmap& picture) {
  if (picture.Width < 1 || picture.Height < 1) throw EPdfInvalidImageFormat("the bitmap has no pixels.");
  std::int64_t packed = TPdfBitmap::PackedRowBytes(picture.Width, picture.BitsPerPixel);
  if (packed == 0) {
    throw EPdfInvalidImageFormat("unsupported pixel format: " + std::to_string(picture.BitsPerPixel) +
                                 " bits per pixel.");
  }
  if (picture.RowBytes < packed ||
      static_cast<std::int64_t>(picture.Rows.size()) / picture.RowBytes < picture.Height) {
    throw EPdfInvalidImageFormat("the bitmap rows are shorter than its size.");
  }
}

std::string_view RowOf(const TPdfBitmap& bitmap, std::int32_t y) {
  return std::string_view(bitmap.Rows).substr(static_cast<std::size_t>(y * bitmap.RowBytes),
                                               static_cast<std::size_t>(bitmap.RowBytes));
}

// The picture in one of the two layouts images are made from: 8-bit palette
// indexes or 24-bit blue, green, red, rows packed.
TPdfBitmap WorkingBitmap(const TPdfBitmap& picture) {
  CheckLayout(picture);
  TPdfBitmap working;
  working.Width = picture.Width;
  working.Height = picture.Height;
  bool indexed = IsPaletteLayout(picture.BitsPerPixel);
  working.BitsPerPixel = indexed ? kIndexedBits : kRgbBits;
  working.RowBytes = TPdfBitmap::PackedRowBytes(working.Width, working.BitsPerPixel);
  working.Rows.reserve(static_cast<std::size_t>(working.RowBytes * working.Height));
  if (indexed) working.Palette = picture.Palette;
  for (std::int32_t y = 0; y < picture.Height; ++y) {
    std::string_view row = RowOf(picture, y);
    for (std::int32_t x = 0; x < picture.Width; ++x) {
      if (indexed) {
        working.Rows.push_back(static_cast<char>(PaletteIndex(row, picture.BitsPerPixel, x)));
      } else {
        AppendBgr(row, picture.BitsPerPixel, x, working.Rows);
      }
    }
  }
  return working;
}

void AppendRgbSamples(const TPdfBitmap& working, std::string& data) {
  for (std::int32_t y = 0; y < working.Height; ++y) {
    std::string_view row = RowOf(working, y);
    for (std::size_t x = 0; x + 2 < row.size(); x += 3) {
      data.push_back(row[x + 2]);
      data.push_back(row[x + 1]);
      data.push_back(row[x]);
    }
  }
}

void AppendHexByte(std::uint8_t value, std::string& out) {
  out.push_back(kHexDigits[value >> 4]);
  out.push_back(kHexDigits[value & 0xF]);
}

}  // namespace

std::int64_t TPdfBitmap::PackedRowBytes(std::int32_t width, std::int32_t bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      return (std::int64_t{width} * bitsPerPixel + 7) / 8;
    default:
      return 0;
  }
}

std::unique_ptr<TPdfImage> TPdfImageCreator::CreateImage(const TPdfBitmap&) { return nullptr; }

std::unique_ptr<TPdfArray> TPdfImageCreator::MakeIndexedColorSpace(const TPdfBitmap& bitmap) const {
  if (bitmap.BitsPerPixel != kIndexedBits) throw EPdfInvalidImageFormat("only 8 bit color image is allowed.");
  if (bitmap.Palette.empty()) throw EPdfInvalidImageFormat("failed to get Palette..");
  auto lookup = std::make_unique<TPdfBinary>();
  std::string& bytes = lookup->Data();
  bytes.push_back('<');
  for (std::size_t i = 0; i < kLookupEntries; ++i) {
    TPdfPaletteEntry entry = i < bitmap.Palette.size() ? bitmap.Palette[i] : TPdfPaletteEntry{};
    AppendHexByte(entry.Red, bytes);
    AppendHexByte(entry.Green, bytes);
    AppendHexByte(entry.Blue, bytes);
    bytes.push_back(' ');
  }
  bytes.push_back('>');
  auto colorSpace = std::make_unique<TPdfArray>();
  colorSpace->Append(std::make_unique<TPdfName>(u"Indexed"));
  colorSpace->Append(std::make_unique<TPdfName>(u"DeviceRGB"));
  colorSpace->Append(std::make_unique<TPdfNumber>(kHighestIndex));
  colorSpace->Append(std::move(lookup));
  return colorSpace;
}

std::unique_ptr<TPdfImage> TPdfBitmapImage::CreateImage(const TPdfBitmap& picture) {
  // Owned until handed back, so a failure below frees the half-built image.
  auto image = std::make_unique<TPdfImage>();
  TPdfDictionary& dictionary = image->Dictionary();
  dictionary.PutName(u"Type", u"XObject");
  dictionary.PutName(u"Subtype", u"Image");
  TPdfBitmap working = WorkingBitmap(picture);
  if (working.BitsPerPixel == kIndexedBits) {
    image->Data() = working.Rows;
    dictionary.Put(u"ColorSpace", MakeIndexedColorSpace(working));
  } else {
    AppendRgbSamples(working, image->Data());
    dictionary.PutName(u"ColorSpace", u"DeviceRGB");
  }
  dictionary.PutNumber(u"Width", working.Width);
  dictionary.PutNumber(u"Height", working.Height);
  dictionary.PutNumber(u"BitsPerComponent", kBitsPerComponent);
  return image;
}

std::unique_ptr<TPdfImageCreator> CreateImageCreator(std::u16string_view name) {
  auto* creatorClass = dynamic_cast<const TPdfImageCreatorClass*>(PdfClassRegistry().FindClass(name));
  if (creatorClass == nullptr) throw EClassNotFound(name);
  return creatorClass->Create();
}

void RegisterImageCreators(TPdfClassRegistry& registry) {
  registry.RegisterClass(u"Pdf-Bitmap", std::make_shared<const TPdfImageCreatorClassOf<TPdfBitmapImage>>("TPdfBitmapImage"));
}

}  // namespace varnolt
