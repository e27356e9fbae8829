#include <QBuffer>
#include <QImage>
#include <QMimeData>

#include "richtext/document/RVItem.h"
#include "tests/gui/GuiFixture.h"

namespace varnolt {
namespace {

class QtClipboardTest : public test::GuiFixture {
 protected:
  QString Status() const { return window->findChild<QLabel*>("StatusPanel1")->text(); }
  // What another program would offer: set straight on the system clipboard.
  static void OfferFromElsewhere(QMimeData* data) {
    QApplication::clipboard()->setMimeData(data);
    Settle();
  }
};

TEST_F(QtClipboardTest, CopyingOffersEveryFormatUnderItsMimeTypes) {
  Form().CurrentEditor().SelectWholeDocument();
  Trigger("Edit", "Copy");
  const QMimeData* data = QApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->text(), "welcome to apply Varnolt!");
  EXPECT_EQ(QString::fromUtf8(data->data("text/plain;charset=utf-8")), "welcome to apply Varnolt!");
  for (const char* type : {"text/rtf", "application/rtf", "application/x-varnolt-rich-text-format"}) {
    EXPECT_TRUE(data->data(type).startsWith("{\\rtf1")) << type;
  }
  EXPECT_TRUE(data->hasFormat("application/x-varnolt-richdoc-format"));
  EXPECT_TRUE(Status().endsWith("welcome to apply Varnolt!"));
}

TEST_F(QtClipboardTest, RtfFromAnotherProgramPastesWithItsFormatting) {
  auto* data = new QMimeData;
  data->setData("text/rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b bold} end\\par}");
  data->setText("plain bold end");
  OfferFromElsewhere(data);
  EXPECT_EQ(Status(), QString::fromUtf16(u"Current page\uFF1APage1\u3000\u3000Clipboard\uFF1Aplain bold end"));
  Trigger("Edit", "Clear the current page");
  Trigger("Edit", "Paste");
  auto& editor = Form().CurrentEditor();
  std::u16string text;
  bool boldSeen = false;
  for (int i = 0; i < editor.CountItems(); ++i) {
    text += editor.ItemTextAt(i);
    const int style = editor.ItemAt(i).StyleNo;
    if (editor.ItemTextAt(i) == u"bold" && style >= 0) {
      boldSeen = Form().RVStyle1.TextStyleAt(style).Style.Contains(fsBold);
    }
  }
  EXPECT_EQ(text, u"plain bold end");
  EXPECT_TRUE(boldSeen);
}

TEST_F(QtClipboardTest, PlainTextAndPicturesFromAnotherProgram) {
  auto* text = new QMimeData;
  text->setText(QString::fromUtf16(u"caf\u00E9 \u4E2D"));
  OfferFromElsewhere(text);
  EXPECT_TRUE(Status().endsWith(QString::fromUtf16(u"caf\u00E9 \u4E2D")));
  Trigger("Edit", "Clear the current page");
  Trigger("Edit", "Paste");
  EXPECT_EQ(PageText(), u"caf\u00E9 \u4E2D");

  QImage image(30, 20, QImage::Format_RGB32);
  image.fill(Qt::red);
  auto* picture = new QMimeData;
  picture->setImageData(image);
  OfferFromElsewhere(picture);
  EXPECT_TRUE(Status().endsWith(QString::fromUtf16(u"Clipboard\uFF1A(Picture)")));
  Trigger("Edit", "Paste");
  auto& editor = Form().CurrentEditor();
  int found = -1;
  for (int i = 0; i < editor.CountItems(); ++i) {
    if (auto* item = dynamic_cast<TRVGraphicItemInfo*>(&editor.ItemAt(i))) {
      if (item->Image->Width() == 30 && item->Image->Height() == 20) found = i;
    }
  }
  ASSERT_GE(found, 0);

  // And a picture copied here reaches others as PNG and BMP.
  editor.SetSelectionBounds(found, 0, found, 1);
  Trigger("Edit", "Copy");
  const QMimeData* offered = QApplication::clipboard()->mimeData();
  EXPECT_FALSE(QImage::fromData(offered->data("image/png"), "PNG").isNull());
  EXPECT_FALSE(QImage::fromData(offered->data("image/bmp"), "BMP").isNull());
}

TEST_F(QtClipboardTest, AnEmptiedSystemClipboardShowsNothing) {
  auto* data = new QMimeData;
  data->setText("x");
  OfferFromElsewhere(data);
  QApplication::clipboard()->clear();
  Settle();
  EXPECT_TRUE(Status().endsWith("Nothing(empty)")) << Status().toStdString();
}

}  // namespace
}  // namespace varnolt
