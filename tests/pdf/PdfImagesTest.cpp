#include "pdf/PdfImages.h"

#include <gtest/gtest.h>

#include "pdf/PdfDoc.h"
#include "tests/pdf/PdfTestHelpers.h"

namespace varnolt {
namespace {

using test::MessageOf;

const std::vector<TPdfPaletteEntry> kPalette = {
    {0, 0, 0}, {255, 255, 255}, {255, 128, 0}, {10, 20, 30}, {1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {11, 12, 13},
    {14, 15, 16}, {17, 18, 19}, {20, 21, 22}, {23, 24, 25}, {26, 27, 28}, {29, 30, 31}, {32, 33, 34}, {35, 36, 37},
};

TPdfBitmap Bitmap(std::int32_t bitsPerPixel, std::int64_t rowBytes, std::string rows,
                  std::vector<TPdfPaletteEntry> palette = {}) {
  TPdfBitmap bitmap;
  bitmap.Width = 3;
  bitmap.Height = 2;
  bitmap.BitsPerPixel = bitsPerPixel;
  bitmap.RowBytes = rowBytes;
  bitmap.Rows = std::move(rows);
  bitmap.Palette = std::move(palette);
  return bitmap;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int value : values) bytes.push_back(static_cast<char>(value));
  return bytes;
}

const std::string kRgbSamples = Bytes({3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16});

struct LayoutCase {
  const char* layout;
  TPdfBitmap bitmap;
  bool indexed;
  std::string samples;
};

TEST(PdfImagesTest, EveryLayoutBecomesAnIndexedOrAnRgbImage) {
  const LayoutCase cases[] = {
      {"1 bit, rows padded to 4 bytes",
       Bitmap(1, 4, Bytes({0xA0, 0, 0, 0, 0x60, 0, 0, 0}), {kPalette[0], kPalette[1]}), true,
       Bytes({1, 0, 1, 0, 1, 1})},
      {"4 bits, packed rows", Bitmap(4, 2, Bytes({0x20, 0xF0, 0x13, 0x20}), kPalette), true,
       Bytes({2, 0, 15, 1, 3, 2})},
      {"8 bits", Bitmap(8, 4, Bytes({0, 200, 255, 0xCC, 7, 8, 9, 0xCC}), kPalette), true,
       Bytes({0, 200, 255, 7, 8, 9})},
      {"16 bits, 5-5-5",
       Bitmap(16, 8, Bytes({0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0, 0xFF, 0x7F, 0x01, 0x41, 0x00, 0x00, 0, 0})),
       false, Bytes({255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 132, 66, 8, 0, 0, 0})},
      {"24 bits, blue first",
       Bitmap(24, 12, Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0})),
       false, kRgbSamples},
      {"32 bits, blue first, fourth byte unused",
       Bitmap(32, 12, Bytes({1, 2, 3, 0xEE, 4, 5, 6, 0xEE, 7, 8, 9, 0xEE,  //
                             10, 11, 12, 0xEE, 13, 14, 15, 0xEE, 16, 17, 18, 0xEE})),
       false, kRgbSamples},
  };
  TPdfBitmapImage creator;
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.layout);
    std::unique_ptr<TPdfImage> image = creator.CreateImage(c.bitmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Data(), c.samples);
    TPdfDictionary& dictionary = image->Dictionary();
    EXPECT_EQ(dictionary.TypeName(), u"XObject");
    EXPECT_EQ(dictionary.LookupName(u"Subtype")->Value(), u"Image");
    EXPECT_EQ(dictionary.LookupNumber(u"Width")->Value(), 3);
    EXPECT_EQ(dictionary.LookupNumber(u"Height")->Value(), 2);
    EXPECT_EQ(dictionary.LookupNumber(u"BitsPerComponent")->Value(), 8);
    if (c.indexed) {
      TPdfArray* colorSpace = dictionary.LookupArray(u"ColorSpace");
      ASSERT_NE(colorSpace, nullptr);
      EXPECT_EQ(dynamic_cast<TPdfName*>(colorSpace->GetItem(0))->Value(), u"Indexed");
    } else {
      ASSERT_NE(dictionary.LookupName(u"ColorSpace"), nullptr);
      EXPECT_EQ(dictionary.LookupName(u"ColorSpace")->Value(), u"DeviceRGB");
    }
    EXPECT_EQ(image->Kind(), okDirect);
  }
}

TEST(PdfImagesTest, ARgbImageIsWrittenWithItsEntriesInOrder) {
  TPdfBitmapImage creator;
  std::unique_ptr<TPdfImage> image = creator.CreateImage(
      Bitmap(24, 9, Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18})));
  EXPECT_EQ(test::Written(*image),
            "<<\r\n/Length 18\r\n/Filter []\r\n/Type /XObject\r\n/Subtype /Image\r\n/ColorSpace /DeviceRGB\r\n"
            "/Width 3\r\n/Height 2\r\n/BitsPerComponent 8\r\n>>\r\nstream\r\n" +
                kRgbSamples + "\nendstream");
}

TEST(PdfImagesTest, TheIndexedColourSpaceHoldsAll256LookupEntries) {
  TPdfImageCreator creator;
  TPdfBitmap bitmap = Bitmap(8, 3, std::string(6, '\0'), {{255, 128, 0}, {0, 10, 171}});
  std::string written = test::Written(*creator.MakeIndexedColorSpace(bitmap));
  std::string blackEntries;
  for (int i = 2; i < 256; ++i) blackEntries += "000000 ";
  EXPECT_EQ(written, "[/Indexed /DeviceRGB 255 <FF8000 000AAB " + blackEntries + "> ]");

  // A palette longer than 256 entries is cut to the first 256.
  bitmap.Palette.assign(300, TPdfPaletteEntry{1, 2, 3});
  written = test::Written(*creator.MakeIndexedColorSpace(bitmap));
  std::string entries;
  for (int i = 0; i < 256; ++i) entries += "010203 ";
  EXPECT_EQ(written, "[/Indexed /DeviceRGB 255 <" + entries + "> ]");
}

TEST(PdfImagesTest, BadBitmapsAreRefusedWithTheirMessages) {
  TPdfBitmap wrongDepth = Bitmap(24, 9, std::string(18, '\0'));
  TPdfBitmap noPalette = Bitmap(8, 3, std::string(6, '\0'));
  TPdfImageCreator base;
  EXPECT_EQ(MessageOf<EPdfInvalidImageFormat>([&] { base.MakeIndexedColorSpace(wrongDepth); }),
            "only 8 bit color image is allowed.");
  EXPECT_EQ(MessageOf<EPdfInvalidImageFormat>([&] { base.MakeIndexedColorSpace(noPalette); }),
            "failed to get Palette..");

  const struct {
    TPdfBitmap bitmap;
    const char* message;
  } cases[] = {
      {Bitmap(1, 1, std::string(2, '\0')), "failed to get Palette.."},
      {Bitmap(8, 3, std::string(6, '\0')), "failed to get Palette.."},
      {Bitmap(7, 3, std::string(6, '\0')), "unsupported pixel format: 7 bits per pixel."},
      {Bitmap(0, 3, std::string(6, '\0')), "unsupported pixel format: 0 bits per pixel."},
      {Bitmap(24, 9, std::string(17, '\0')), "the bitmap rows are shorter than its size."},
      {Bitmap(24, 8, std::string(18, '\0')), "the bitmap rows are shorter than its size."},
      {Bitmap(24, -9, std::string(18, '\0')), "the bitmap rows are shorter than its size."},
      {TPdfBitmap{}, "the bitmap has no pixels."},
      {TPdfBitmap{3, -2, 24, {}, 9, std::string(18, '\0')}, "the bitmap has no pixels."},
  };
  TPdfBitmapImage creator;
  for (const auto& c : cases) {
    // The half-built image goes with the error (the sanitizer build watches for leaks).
    EXPECT_EQ(MessageOf<EPdfInvalidImageFormat>([&] { creator.CreateImage(c.bitmap); }), c.message);
  }
  EXPECT_EQ(base.CreateImage(Bitmap(24, 9, std::string(18, '\0'))), nullptr);
}

TEST(PdfImagesTest, TheCreatorIsRegisteredAsPdfBitmapAndIsNoFont) {
  const TPdfRegisteredClass* registered = PdfClassRegistry().FindClass(u"Pdf-Bitmap");
  ASSERT_NE(registered, nullptr);
  EXPECT_EQ(registered->ClassName(), "TPdfBitmapImage");
  std::unique_ptr<TPdfImageCreator> creator = CreateImageCreator(u"PDF-BITMAP");
  EXPECT_NE(dynamic_cast<TPdfBitmapImage*>(creator.get()), nullptr);
  EXPECT_EQ(MessageOf<EClassNotFound>([] { CreateImageCreator(u"Gothic"); }), "Class Gothic not found");
  EXPECT_EQ(MessageOf<EClassNotFound>([] { CreateImageCreator(u"Pdf-Picture"); }), "Class Pdf-Picture not found");
  TPdfDoc doc;
  doc.StartDocument();
  EXPECT_EQ(MessageOf<EClassNotFound>([&] { doc.GetFont(u"Pdf-Bitmap"); }), "Class Pdf-Bitmap not found");
}

}  // namespace
}  // namespace varnolt
