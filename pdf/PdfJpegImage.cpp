#include "pdf/PdfJpegImage.h"

#include <cstdint>

#include "platform/Jpeg.h"

namespace varnolt {

namespace {

constexpr int kBitsPerComponent = 8;

std::u16string ColorSpaceOf(int components) {
  switch (components) {
    case 1: return u"DeviceGray";
    case 3: return u"DeviceRGB";
    case 4: return u"DeviceCMYK";
    default: return {};
  }
}

JpegHeader CheckedHeader(const std::string& jpeg) {
  std::optional<JpegHeader> header = ReadJpegHeader(jpeg);
  if (!header) throw EPdfInvalidImageFormat("not a JPEG image, or its header is cut short.");
  if (header->BitsPerSample != kBitsPerComponent || ColorSpaceOf(header->Components).empty()) {
    throw EPdfInvalidImageFormat("unsupported JPEG image: " + std::to_string(header->Components) + " components of " +
                                 std::to_string(header->BitsPerSample) + " bits.");
  }
  return *header;
}

}  // namespace

std::unique_ptr<TPdfImage> CreateJpegImage(std::string jpeg) {
  const JpegHeader header = CheckedHeader(jpeg);
  auto image = std::make_unique<TPdfImage>();
  TPdfDictionary& dictionary = image->Dictionary();
  if (TPdfArray* filter = dictionary.LookupArray(u"Filter")) filter->Append(std::make_unique<TPdfName>(u"DCTDecode"));
  dictionary.PutName(u"Type", u"XObject");
  dictionary.PutName(u"Subtype", u"Image");
  dictionary.PutName(u"ColorSpace", ColorSpaceOf(header.Components));
  dictionary.PutNumber(u"Width", header.Width);
  dictionary.PutNumber(u"Height", header.Height);
  dictionary.PutNumber(u"BitsPerComponent", kBitsPerComponent);
  // Adobe's applications store CMYK inverted and say so with their marker.
  if (header.Components == 4 && header.AdobeMarker) {
    dictionary.Put(u"Decode", TPdfArray::CreateNumberArray(nullptr, {1, 0, 1, 0, 1, 0, 1, 0}));
  }
  image->Data() = std::move(jpeg);
  return image;
}

}  // namespace varnolt
