#include "pdf/PdfJpegImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"
#include "tests/pdf/PdfTestHelpers.h"
#include "tests/support/JpegFixtures.h"
#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using test::MessageOf;
using test::SolidJpeg;
using test::Written;

TEST(PdfJpegImageTest, KeepsTheBytesAndTakesSizeAndColoursFromTheHeader) {
  struct Case {
    J_COLOR_SPACE space;
    std::vector<unsigned char> pixel;
    int width, height;
    std::string expected;
  };
  const Case cases[] = {
      {JCS_GRAYSCALE, {128}, 5, 3, "/ColorSpace /DeviceGray\r\n/Width 5\r\n/Height 3\r\n/BitsPerComponent 8\r\n>>"},
      {JCS_RGB, {10, 20, 30}, 8, 4, "/ColorSpace /DeviceRGB\r\n/Width 8\r\n/Height 4\r\n/BitsPerComponent 8\r\n>>"},
      {JCS_CMYK, {0, 255, 255, 255}, 2, 9,
       "/ColorSpace /DeviceCMYK\r\n/Width 2\r\n/Height 9\r\n/BitsPerComponent 8\r\n/Decode [1 0 1 0 1 0 1 0 ]\r\n>>"},
  };
  for (const Case& c : cases) {
    std::string jpeg = SolidJpeg(c.width, c.height, c.space, c.pixel);
    std::unique_ptr<TPdfImage> image = CreateJpegImage(jpeg);
    std::string written = Written(*image);
    EXPECT_EQ(written.substr(0, written.find("/ColorSpace")),
              "<<\r\n/Length " + std::to_string(jpeg.size()) +
                  "\r\n/Filter [/DCTDecode ]\r\n/Type /XObject\r\n/Subtype /Image\r\n");
    EXPECT_NE(written.find(c.expected + "\r\nstream\r\n" + jpeg + "\nendstream"), std::string::npos) << written;
  }
}

TEST(PdfJpegImageTest, RefusesWhatIsNoJpegOrIsCutInItsHeader) {
  const std::string jpeg = SolidJpeg(4, 4, JCS_RGB, {1, 2, 3});
  const std::string inputs[] = {"", "\xFF", "GIF89a not a jpeg", "\x89PNG\r\n\x1A\n", jpeg.substr(0, 40),
                                jpeg.substr(0, jpeg.find("\xFF\xDA"))};
  for (const std::string& input : inputs) {
    EXPECT_EQ(MessageOf<EPdfInvalidImageFormat>([&] { CreateJpegImage(input); }),
              "not a JPEG image, or its header is cut short.")
        << input.size() << " bytes";
  }
}

struct Rgb {
  int red, green, blue;
};

// The pixel at (x, y) from the top left of a binary PPM as pdftoppm writes it.
Rgb PixelAt(const std::string& ppm, int x, int y) {
  std::istringstream header(ppm);
  std::string magic;
  int width = 0, height = 0, maximum = 0;
  header >> magic >> width >> height >> maximum;
  const auto data = static_cast<std::size_t>(header.tellg()) + 1;
  const std::size_t at = data + 3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x);
  auto byte = [&](std::size_t i) { return static_cast<int>(static_cast<unsigned char>(ppm.at(i))); };
  return {byte(at), byte(at + 1), byte(at + 2)};
}

testing::AssertionResult Near(Rgb actual, Rgb expected, int tolerance) {
  if (std::abs(actual.red - expected.red) <= tolerance && std::abs(actual.green - expected.green) <= tolerance &&
      std::abs(actual.blue - expected.blue) <= tolerance) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "got " << actual.red << " " << actual.green << " " << actual.blue
                                     << ", expected near " << expected.red << " " << expected.green << " "
                                     << expected.blue;
}

// A 200 x 200 page: an RGB JPEG drawn twice (the second time on its own
// registration), a gray one, and an Adobe CMYK one of full cyan ink.
class PdfJpegPageTest : public testing::Test {
 protected:
  void SetUp() override {
    TPdfDoc doc;
    doc.SetDefaultPageWidth(200);
    doc.SetDefaultPageHeight(200);
    doc.StartDocument();
    doc.AddPage();
    TPdfCanvas& canvas = doc.GetCanvas();
    TPdfImage& rgb = canvas.DrawImage(CreateJpegImage(SolidJpeg(16, 16, JCS_RGB, {200, 40, 60})), {50, 50, 150, 130});
    canvas.DrawImage(rgb, {0, 180, 20, 200});
    canvas.DrawImage(CreateJpegImage(SolidJpeg(8, 8, JCS_GRAYSCALE, {90})), {160, 0, 200, 40});
    canvas.DrawImage(CreateJpegImage(SolidJpeg(8, 8, JCS_CMYK, {0, 255, 255, 255})), {0, 0, 40, 40});
    MemoryOutputStream stream;
    doc.SaveToStream(stream);
    pdf_ = scratch_ / "images.pdf";
    test::WriteFileBytes(pdf_, stream.Bytes());
  }

  test::ScratchDir scratch_;
  std::filesystem::path pdf_;
};

TEST_F(PdfJpegPageTest, PassesQpdfCheck) { EXPECT_TRUE(test::PassesQpdfCheck(pdf_)); }

TEST_F(PdfJpegPageTest, RendersEachPictureInItsColourAtItsPlace) {
  test::CommandResult rendered =
      test::RunCommand({"pdftoppm", "-r", "72", "-singlefile", pdf_.string(), (scratch_ / "page").string()});
  ASSERT_EQ(rendered.exitCode, 0) << rendered.output;
  EXPECT_EQ(rendered.output, "");
  const std::string ppm = test::ReadFileBytes(scratch_ / "page.ppm");
  // Page y grows upwards, rows downwards: the rectangle 50..150 x 50..130 is
  // rows 70..150.
  EXPECT_TRUE(Near(PixelAt(ppm, 100, 110), {200, 40, 60}, 12));
  EXPECT_TRUE(Near(PixelAt(ppm, 52, 72), {200, 40, 60}, 12));
  EXPECT_TRUE(Near(PixelAt(ppm, 10, 10), {200, 40, 60}, 12));
  EXPECT_TRUE(Near(PixelAt(ppm, 180, 180), {90, 90, 90}, 12));
  EXPECT_TRUE(Near(PixelAt(ppm, 100, 40), {255, 255, 255}, 0));
  EXPECT_TRUE(Near(PixelAt(ppm, 100, 155), {255, 255, 255}, 0));
  // Uninverted, this ink would be black.
  Rgb cyan = PixelAt(ppm, 20, 180);
  EXPECT_LT(cyan.red, 80);
  EXPECT_GT(cyan.green, 120);
  EXPECT_GT(cyan.blue, 180);
}

TEST_F(PdfJpegPageTest, TheOtherRendererDrawsItWithoutComplaint) {
  test::CommandResult drawn =
      test::RunCommand({"mutool", "draw", "-q", "-o", (scratch_ / "page.png").string(), pdf_.string()});
  // Its one warning is about how it was built, not about the file.
  EXPECT_EQ(drawn.exitCode, 0) << drawn.output;
  EXPECT_EQ(drawn.output.find("error"), std::string::npos) << drawn.output;
  EXPECT_TRUE(std::filesystem::exists(scratch_ / "page.png"));
}

TEST_F(PdfJpegPageTest, ReadersListJpegImages) {
  test::CommandResult listed = test::RunCommand({"pdfimages", "-list", pdf_.string()});
  ASSERT_EQ(listed.exitCode, 0) << listed.output;
  const std::string lines = test::FoldedWhiteSpace(listed.output);
  EXPECT_NE(lines.find("1 0 image 16 16 rgb 3 8 jpeg no"), std::string::npos) << listed.output;
  EXPECT_NE(lines.find("1 1 image 16 16 rgb 3 8 jpeg no"), std::string::npos) << listed.output;
  EXPECT_NE(lines.find("1 2 image 8 8 gray 1 8 jpeg no"), std::string::npos) << listed.output;
  EXPECT_NE(lines.find("1 3 image 8 8 cmyk 4 8 jpeg no"), std::string::npos) << listed.output;
}

}  // namespace
}  // namespace varnolt
