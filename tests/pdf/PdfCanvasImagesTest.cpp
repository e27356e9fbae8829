#include <gtest/gtest.h>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfImages.h"
#include "tests/pdf/PdfTestHelpers.h"
#include "tests/support/PdfReaders.h"

namespace varnolt {
namespace {

using test::MessageOf;
using test::Written;

std::unique_ptr<TPdfImage> RedPixel() {
  TPdfBitmap bitmap;
  bitmap.Width = 1;
  bitmap.Height = 1;
  bitmap.RowBytes = 3;
  bitmap.Rows = std::string("\x00\x00\xFF", 3);
  return TPdfBitmapImage().CreateImage(bitmap);
}

class PdfCanvasImagesTest : public testing::Test {
 protected:
  void SetUp() override {
    doc_.StartDocument();
    doc_.AddPage();
  }
  TPdfCanvas& Canvas() { return doc_.GetCanvas(); }
  std::string Content() { return Canvas().Contents()->Data(); }
  std::string PageXObjects() { return Written(*Canvas().GetPage().LookupDictionary(u"Resources")->Lookup(u"XObject")); }

  TPdfDoc doc_;
};

TEST_F(PdfCanvasImagesTest, PaintsTheImageStretchedOverTheRectangle) {
  const std::size_t before = Content().size();
  Canvas().DrawImage(RedPixel(), {10.5f, 20, 110.5f, 50.25f});
  EXPECT_EQ(Content().substr(before), "q\n100 0 0 30.25 10.5 20 cm\n/Im0 Do\nQ\n");
}

TEST_F(PdfCanvasImagesTest, RegistersAnImageOnceHoweverOftenAndWhereverItIsDrawn) {
  TPdfImage& first = Canvas().DrawImage(RedPixel(), {0, 0, 1, 1});
  TPdfImage& second = Canvas().DrawImage(RedPixel(), {0, 0, 1, 1});
  const std::int32_t objects = doc_.Xref().Count();
  Canvas().DrawImage(first, {5, 5, 6, 6});
  EXPECT_EQ(PageXObjects(), "<<\r\n/Im0 " + std::to_string(first.ObjectNumber()) + " 0 R\r\n/Im1 " +
                                std::to_string(second.ObjectNumber()) + " 0 R\r\n>>");
  doc_.AddPage();
  Canvas().DrawImage(second, {0, 0, 1, 1});
  EXPECT_EQ(PageXObjects(), "<<\r\n/Im1 " + std::to_string(second.ObjectNumber()) + " 0 R\r\n>>");
  EXPECT_EQ(doc_.Xref().Count(), objects + 2);  // the new page and its content stream
  MemoryOutputStream stream;
  doc_.SaveToStream(stream);
  EXPECT_TRUE(test::IsReadablePdfWithText(stream.Bytes(), ""));
}

TEST_F(PdfCanvasImagesTest, RefusesAnImageOfNoDocumentOrOfAnother) {
  TPdfDoc other;
  other.StartDocument();
  other.AddPage();
  TPdfImage& foreign = other.GetCanvas().DrawImage(RedPixel(), {0, 0, 1, 1});
  std::unique_ptr<TPdfImage> loose = RedPixel();
  for (TPdfImage* image : {&foreign, loose.get()}) {
    EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { Canvas().DrawImage(*image, {0, 0, 1, 1}); }),
              "DrawImage --the image is not in this document.");
  }
}

TEST(PdfCanvasImagesPageTest, NeedsAPage) {
  TPdfDoc doc;
  doc.StartDocument();
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { doc.GetCanvas().DrawImage(RedPixel(), {0, 0, 1, 1}); }),
            "GetPage --the Page is nil");
}

}  // namespace
}  // namespace varnolt
