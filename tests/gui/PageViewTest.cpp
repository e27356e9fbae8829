// The page view offscreen: input changes the editor as a person expects, and
// the grabbed pixels show styles, pictures and the selection where the
// layout put them. Screenshots of the office fixtures go to <build>/screenshots.
#include "gui/PageView.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <cstdlib>

#include "richtext/document/RVItemKinds.h"
#include "richtext/graphic/RVJpegPng.h"
#include "tests/gui/GuiTestApplication.h"
#include "tests/richtext/RVTestDocuments.h"

namespace varnolt {
namespace {

constexpr TColor kRed = 0x0000FF;

class PageViewTest : public ::testing::Test {
 protected:
  PageViewTest() {
    TestApplication();
    editor.SetStyle(&style);
    style.TextStyles.Items(0).FontName = u"DejaVu Sans";
    style.TextStyles.Items(0).Size = 12;
  }

  void Load(std::u16string_view text, std::int32_t styleNo = 0) {
    editor.RVData().AppendTextItemW(text, styleNo, 0);
  }

  TRVPageView& Show(int width = 400, int height = 300) {
    view = std::make_unique<TRVPageView>(editor);
    view->resize(width, height);
    view->show();
    view->DocumentChanged();
    return *view;
  }

  QPoint PointOf(TRVPosition position) const {
    const TRVRectF caret = editor.Layout().CaretRect(position);
    return view->ToViewport(caret.Left, caret.Top + caret.Height / 2).toPoint();
  }

  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
             Qt::KeyboardModifiers modifiers = {}) {
    QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), button, buttons, modifiers, &mouse);
    QApplication::sendEvent(view->viewport(), &event);
  }

  void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {}) {
    Mouse(QEvent::MouseButtonPress, at, button, button, modifiers);
    Mouse(QEvent::MouseButtonRelease, at, button, {}, modifiers);
  }

  void Key(int key, const QString& text = {}, Qt::KeyboardModifiers modifiers = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, 0, 0, 0, text, false, 1, &keyboard);
    QApplication::sendEvent(view.get(), &press);
  }

  QImage Grab() const { return view->viewport()->grab().toImage(); }

  // Pixels of the line's rectangle that the test counts.
  QRect LineArea(TRVLineRef ref) const {
    const TRVRectF line = editor.Layout().LineRect(ref);
    const QPointF at = view->ToViewport(line.Left, line.Top);
    return QRectF(at.x(), at.y(), line.Width, line.Height).toAlignedRect();
  }

  static int CountPixels(const QImage& image, QRect area, const std::function<bool(QColor)>& wanted) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        if (image.rect().contains(x, y) && wanted(image.pixelColor(x, y))) ++count;
      }
    }
    return count;
  }

  static bool Dark(QColor c) { return c.lightness() < 128; }

  std::string Text() const { return test::Dump(editor.RVData()); }

  // Events carry devices of the test's own: Qt's default ones, made on
  // first use, do not survive the test program's exit.
  QPointingDevice mouse{QStringLiteral("test mouse"), 1, QInputDevice::DeviceType::Mouse,
                        QPointingDevice::PointerType::Generic, QInputDevice::Capability::Position, 1, 3};
  QInputDevice keyboard{QStringLiteral("test keyboard"), 2, QInputDevice::DeviceType::Keyboard};
  TRVStyle style;
  TRichDocEdit editor;
  std::unique_ptr<TRVPageView> view;
};

TEST_F(PageViewTest, TypingInsertsTextAndEnterStartsAParagraph) {
  Load(u"");
  Show();
  Key(Qt::Key_H, "H");
  Key(Qt::Key_I, "i");
  Key(Qt::Key_Return, "\r");
  Key(Qt::Key_X, "x");
  Key(Qt::Key_Backspace);
  Key(Qt::Key_Y, "y");
  EXPECT_EQ(Text(), "Hi|y");
  QInputMethodEvent composed;
  composed.setCommitString(QString::fromUtf16(u"\u4E2D\u6587"));
  QApplication::sendEvent(view.get(), &composed);
  EXPECT_EQ(Text(), "Hi|y\u4E2D\u6587") << "an input method's text goes in at the caret";
}

TEST_F(PageViewTest, ClickingPlacesTheCaretAndDraggingSelects) {
  Load(u"hello wide world");
  Show();
  Click(PointOf({0, 7}));
  EXPECT_EQ(editor.Caret(), (TRVPosition{0, 7}));

  const QPoint from = PointOf({0, 1});
  const QPoint to = PointOf({0, 6});
  Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(editor.SelectedText(true), std::string("h\0e\0l\0l\0o\0", 10));

  Click(PointOf({0, 12}), Qt::LeftButton, Qt::ShiftModifier);
  EXPECT_EQ(editor.SelectedText(true), std::string("h\0e\0l\0l\0o\0 \0w\0i\0d\0e\0 \0", 22)) << "shift+click extends";
}

TEST_F(PageViewTest, DoubleClickSelectsAWordAndTheRightButtonRaisesTheHook) {
  Load(u"hello wide world");
  Show();
  const QPoint inWide = PointOf({0, 9});
  Mouse(QEvent::MouseButtonDblClick, inWide, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(editor.SelectedText(true), std::string("w\0i\0d\0e\0", 8));

  TRVMouseButton seen = TRVMouseButton::mbLeft;
  editor.OnRVMouseDown = [&](TRVMouseButton button, int, int) { seen = button; };
  Click(PointOf({0, 2}), Qt::RightButton);
  EXPECT_EQ(seen, TRVMouseButton::mbRight);
  EXPECT_EQ(editor.SelectedText(true), std::string("w\0i\0d\0e\0", 8)) << "the right button leaves the selection";
}

TEST_F(PageViewTest, TheWheelScrollsAndTheViewFollowsTheCaret) {
  for (int i = 0; i < 100; ++i) Load(u"line of text");
  Show(300, 200);
  ASSERT_GT(view->verticalScrollBar()->maximum(), 0);
  const QPoint centre(100, 100);
  QWheelEvent wheel(centre, view->viewport()->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton, {},
                    Qt::NoScrollPhase, false, Qt::MouseEventNotSynthesized, &mouse);
  QApplication::sendEvent(view->viewport(), &wheel);
  EXPECT_GT(view->verticalScrollBar()->value(), 0);
  Key(Qt::Key_End, {}, Qt::ControlModifier);
  EXPECT_EQ(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
  Key(Qt::Key_Home, {}, Qt::ControlModifier);
  EXPECT_EQ(view->verticalScrollBar()->value(), 0);
}

TEST_F(PageViewTest, BoldTextHasMoreInkAndARedStylePaintsRed) {
  TFontInfo& bold = style.TextStyles.AddCopy(style.TextStyles.Items(0));
  bold.Style = {fsBold};
  TFontInfo& red = style.TextStyles.AddCopy(style.TextStyles.Items(0));
  red.Color = kRed;
  Load(u"Ink on the page");
  Load(u"Ink on the page", style.TextStyles.Count() - 2);
  Load(u"Ink on the page", style.TextStyles.Count() - 1);
  Show();
  const QImage image = Grab();
  const int regularInk = CountPixels(image, LineArea({0, 0}), Dark);
  const int boldInk = CountPixels(image, LineArea({1, 0}), Dark);
  EXPECT_GT(regularInk, 20);
  EXPECT_GT(boldInk, regularInk * 11 / 10);
  const auto isRed = [](QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };
  EXPECT_GT(CountPixels(image, LineArea({2, 0}), isRed), 20);
  EXPECT_EQ(CountPixels(image, LineArea({0, 0}), isRed), 0);
}

TEST_F(PageViewTest, APicturesPixelsAppearWhereItWasLaidOut) {
  QImage green(30, 20, QImage::Format_RGB32);
  green.fill(QColor(0, 200, 0));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  green.save(&buffer, "PNG");
  Load(u"before ");
  auto picture = std::make_unique<TRVGraphicItemInfo>(
      TPngGraphic::FromBytes(std::string_view(png.constData(), static_cast<std::size_t>(png.size()))),
      rvvaBaseline);
  picture->ParaNo = -1;
  editor.RVData().AppendItem({}, std::move(picture));
  Show();
  const TRVBox& box = editor.Layout().Paragraph(0).Boxes.at(1);
  ASSERT_EQ(box.Kind, TRVBoxKind::Object);
  const TRVRectF line = editor.Layout().LineRect({0, 0});
  const QPoint centre = view->ToViewport(box.X + box.Width / 2, line.Top + box.Top + box.Height / 2).toPoint();
  EXPECT_EQ(Grab().pixelColor(centre), QColor(0, 200, 0));
  const QPoint left = view->ToViewport(box.X - 3, line.Top + box.Top + box.Height / 2).toPoint();
  EXPECT_NE(Grab().pixelColor(left), QColor(0, 200, 0)) << "nothing green beside it";
}

TEST_F(PageViewTest, ASelectedWordIsHighlighted) {
  Load(u"plain chosen plain");
  Show();
  const auto isHighlight = [](QColor c) { return c.blue() > 200 && c.red() < 120; };
  const QRect word = QRect(PointOf({0, 7}), PointOf({0, 13})).adjusted(0, -3, 0, 3);
  EXPECT_EQ(CountPixels(Grab(), word, isHighlight), 0);
  editor.SetSelectionBounds(0, 7, 0, 13);
  view->viewport()->update();
  const QImage image = Grab();
  EXPECT_GT(CountPixels(image, word, isHighlight), word.width() * word.height() / 3);
  const QRect before = QRect(PointOf({0, 1}), PointOf({0, 6})).adjusted(0, -3, 0, 3);
  EXPECT_EQ(CountPixels(image, before, isHighlight), 0);
}

// A person looks at these; the checks only say something was drawn.
TEST_F(PageViewTest, ScreenshotsOfTheOfficeFixtures) {
  const char* folder = std::getenv("VARNOLT_TEST_DATA");
  ASSERT_NE(folder, nullptr) << "run through ctest";
  for (const char* name : {"tables", "lists", "notes-pictures", "scripts", "codepages"}) {
    editor.ClearDocument();
    editor.RTFReadProperties.TextStyleMode = rvrsAddIfNeeded;
    editor.RTFReadProperties.ParaStyleMode = rvrsAddIfNeeded;
    editor.Format();
    editor.InsertRTFFile(editor.RTFReadProperties, std::string(folder) + "/rtf/" + name + ".rtf");
    editor.SetCaret(0, 0);
    Show(800, 1000);
    const QImage image = Grab();
    ASSERT_TRUE(image.save(QString::fromStdString((ScreenshotFolder() / (std::string(name) + ".png")).string())));
    EXPECT_GT(editor.Layout().ParagraphCount(), 1) << name;
    EXPECT_GT(CountPixels(image, image.rect(), Dark), 500) << name;
  }
}

}  // namespace
}  // namespace varnolt
