#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <sstream>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfImages.h"
#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using Rgb = std::array<int, 3>;

constexpr int kPageWidth = 100;
constexpr int kPageHeight = 60;
constexpr int kPixelSize = 10;  // points per bitmap pixel, one device pixel per point at 72 dpi

// The 4 x 3 picture both bitmaps show, top row first.
const Rgb kPicture[3][4] = {
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}},
    {{0, 0, 0}, {255, 128, 0}, {10, 20, 30}, {200, 100, 50}},
    {{0, 255, 0}, {0, 0, 0}, {255, 0, 0}, {90, 90, 90}},
};

// 4 bits per pixel: the palette holds the picture's colours in order of
// first appearance.
TPdfBitmap PaletteBitmap() {
  TPdfBitmap bitmap;
  bitmap.Width = 4;
  bitmap.Height = 3;
  bitmap.BitsPerPixel = 4;
  bitmap.RowBytes = 4;
  for (const auto& row : kPicture) {
    std::array<std::uint8_t, 4> indexes{};
    for (std::size_t x = 0; x < 4; ++x) {
      auto known = std::find_if(bitmap.Palette.begin(), bitmap.Palette.end(), [&](const TPdfPaletteEntry& entry) {
        return entry == TPdfPaletteEntry{static_cast<std::uint8_t>(row[x][0]), static_cast<std::uint8_t>(row[x][1]),
                                         static_cast<std::uint8_t>(row[x][2])};
      });
      if (known == bitmap.Palette.end()) {
        bitmap.Palette.push_back({static_cast<std::uint8_t>(row[x][0]), static_cast<std::uint8_t>(row[x][1]),
                                  static_cast<std::uint8_t>(row[x][2])});
        known = bitmap.Palette.end() - 1;
      }
      indexes[x] = static_cast<std::uint8_t>(known - bitmap.Palette.begin());
    }
    bitmap.Rows += static_cast<char>(indexes[0] << 4 | indexes[1]);
    bitmap.Rows += static_cast<char>(indexes[2] << 4 | indexes[3]);
    bitmap.Rows += std::string(2, '\0');
  }
  return bitmap;
}

// 32 bits per pixel, blue first.
TPdfBitmap TrueColourBitmap() {
  TPdfBitmap bitmap;
  bitmap.Width = 4;
  bitmap.Height = 3;
  bitmap.BitsPerPixel = 32;
  bitmap.RowBytes = 16;
  for (const auto& row : kPicture) {
    for (const Rgb& pixel : row) {
      bitmap.Rows += {static_cast<char>(pixel[2]), static_cast<char>(pixel[1]), static_cast<char>(pixel[0]), '\0'};
    }
  }
  return bitmap;
}

struct Raster {
  int width = 0;
  int height = 0;
  std::string pixels;

  Rgb At(int x, int y) const {
    std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
    return {static_cast<std::uint8_t>(pixels.at(at)), static_cast<std::uint8_t>(pixels.at(at + 1)),
            static_cast<std::uint8_t>(pixels.at(at + 2))};
  }
};

// A binary PPM as pdftoppm writes it: "P6", width, height, 255, pixels.
Raster ReadPpm(const std::string& bytes) {
  std::istringstream in(bytes);
  std::string magic;
  int maxValue = 0;
  Raster raster;
  in >> magic >> raster.width >> raster.height >> maxValue;
  in.get();
  if (magic != "P6" || maxValue != 255) return {};
  raster.pixels.assign(std::istreambuf_iterator<char>(in), {});
  return raster;
}

TEST(PdfImagesPageTest, PlacedImagesRenderAsTheirBitmaps) {
  TPdfDoc doc;
  doc.StartDocument();
  doc.AddPage();
  TPdfCanvas& canvas = doc.GetCanvas();
  canvas.SetPageWidth(kPageWidth);
  canvas.SetPageHeight(kPageHeight);
  TPdfBitmapImage creator;
  TPdfDictionary* xObjects = canvas.GetPage().LookupDictionary(u"Resources")->LookupDictionary(u"XObject");
  ASSERT_NE(xObjects, nullptr);
  xObjects->Put(u"Im1", doc.Xref().AddObject(creator.CreateImage(PaletteBitmap())));
  xObjects->Put(u"Im2", doc.Xref().AddObject(creator.CreateImage(TrueColourBitmap())));
  // Each 40 x 30 points, bottom edge 15 points up: left at 5 and at 55.
  canvas.WriteContent("q\n40 0 0 30 5 15 cm\n/Im1 Do\nQ\nq\n40 0 0 30 55 15 cm\n/Im2 Do\nQ\n");
  MemoryOutputStream stream;
  doc.SaveToStream(stream);

  test::ScratchDir scratch;
  std::filesystem::path pdf = scratch / "images.pdf";
  test::WriteFileBytes(pdf, stream.Bytes());
  ASSERT_TRUE(test::PassesQpdfCheck(pdf));
  test::CommandResult rendered =
      test::RunCommand({"pdftoppm", "-r", "72", "-singlefile", pdf.string(), (scratch / "page").string()});
  ASSERT_EQ(rendered.exitCode, 0) << rendered.output;
  EXPECT_EQ(rendered.output, "");
  Raster raster = ReadPpm(test::ReadFileBytes(scratch / "page.ppm"));
  ASSERT_EQ(raster.width, kPageWidth);
  ASSERT_EQ(raster.height, kPageHeight);

  const int imageTop = kPageHeight - (15 + 30);  // device rows run downwards
  for (int left : {5, 55}) {
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 4; ++x) {
        // The middle of each bitmap pixel's square.
        Rgb pixel = raster.At(left + x * kPixelSize + kPixelSize / 2, imageTop + y * kPixelSize + kPixelSize / 2);
        EXPECT_EQ(pixel, kPicture[y][x]) << "image at " << left << ", pixel " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(raster.At(1, 1), (Rgb{255, 255, 255}));  // the page around them stays white
}

}  // namespace
}  // namespace varnolt
