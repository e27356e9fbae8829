// Files and addresses into the window: dropped, pasted as a file list, and
// handed over by a second "varnolt --window FILE" started as its own process.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <fstream>

#include "gui/WindowInbox.h"
#include "tests/gui/GuiFixture.h"
#include "tests/support/LoopbackWebServer.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using test::GuiFixture;

class OpenFilesTest : public GuiFixture {
 protected:
  OpenFilesTest() {
    std::ofstream(Path("notes.txt").toStdString()) << "Dropped note\r\nsecond line";
    std::ofstream(Path("picture.png").toStdString()) << "not a document";
  }

  QString Path(const QString& name) const { return folder.filePath(name); }
  static QString Fixture(const char* name) { return QString::fromStdString((test::TestDataDir() / name).string()); }
  int PageCount() { return Form().ExistingPageCount(); }

  static std::unique_ptr<QMimeData> Urls(const QList<QUrl>& urls) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls(urls);
    return data;
  }

  // A drop as a file manager makes it: over the page view, into the window.
  bool Drop(const QMimeData& data) {
    QWidget* target = window->PageViewSlot();
    const QPointF at(20, 20);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    Settle();
    return drop.isAccepted();
  }

  // Waits, pumping the window's events, until the window has a page more.
  bool WaitForPages(int count) {
    for (int i = 0; i < 500 && PageCount() < count; ++i) {
      QTest::qWait(10);
    }
    Settle();
    return PageCount() == count;
  }

  QTemporaryDir folder;
};

TEST_F(OpenFilesTest, DroppedFilesBecomeNewPagesThroughTheImportCommands) {
  ASSERT_EQ(PageCount(), 1);
  const auto data = Urls({QUrl::fromLocalFile(Fixture("rtf/lists.rtf")), QUrl::fromLocalFile(Path("notes.txt"))});
  ASSERT_TRUE(Drop(*data));
  ASSERT_EQ(PageCount(), 3);
  EXPECT_EQ(TextOfPage(0), u"welcome to apply Varnolt!");
  EXPECT_NE(TextOfPage(1).find(u"First bullet"), std::u16string::npos);
  EXPECT_NE(TextOfPage(1).find(u"Nested letter"), std::u16string::npos);
  EXPECT_EQ(TextOfPage(2), u"Dropped notesecond line");
  EXPECT_EQ(Form().CurrentPage, 2);
  // As the import link leaves it: the progress emptied once it is done.
  EXPECT_TRUE(window->findChild<QLabel*>("PercentLabel")->text().isEmpty());

  // A look at the window opened on a dropped document.
  Form().ButtonClick(1, TMouseButton::mbLeft);
  window->Run([] {});
  Settle();
  const QImage shot = window->grab().toImage();
  EXPECT_TRUE(shot.save(QString::fromStdString((ScreenshotFolder() / "window_dropped_rtf.png").string())));
}

TEST_F(OpenFilesTest, WhatCannotBeImportedIsNamedAndSkipped) {
  ExpectMessage();
  ExpectMessage();
  const auto data = Urls({QUrl::fromLocalFile(Path("picture.png")), QUrl::fromLocalFile(Path("gone.txt")),
                          QUrl::fromLocalFile(Path("notes.txt"))});
  ASSERT_TRUE(Drop(*data));
  EXPECT_EQ(messages, (QStringList{"Varnolt|cannot import " + Path("picture.png") + ": unknown kind of input",
                                   "Varnolt|" + Path("gone.txt") + ": no such file"}));
  ASSERT_EQ(PageCount(), 2);
  EXPECT_EQ(TextOfPage(1), u"Dropped notesecond line");
}

TEST_F(OpenFilesTest, DroppedAddressesAreWebPageImports) {
  test::LoopbackWebServer server;
  const auto data = Urls({QUrl(QString::fromStdString(server.Address("/latin1")))});
  ASSERT_TRUE(Drop(*data));
  ASSERT_EQ(PageCount(), 2);
  EXPECT_NE(TextOfPage(1).find(u"Gar\u00e7on \u00e0 la cr\u00e8me"), std::u16string::npos);
  // The address went to the command's input box, which asked nobody.
  EXPECT_TRUE(unexpected.isEmpty());
}

TEST_F(OpenFilesTest, DropsWithoutFilesAreRefused) {
  QMimeData text;
  text.setText("just words");
  EXPECT_FALSE(Drop(text));
  EXPECT_EQ(PageCount(), 1);
}

TEST_F(OpenFilesTest, PastingAFileListImportsTheFiles) {
  auto data = Urls({QUrl::fromLocalFile(Path("notes.txt"))});
  data->setText(Path("notes.txt"));  // file managers add the names as text
  QApplication::clipboard()->setMimeData(data.release());
  Settle();
  Trigger("Edit", "Paste");
  ASSERT_EQ(PageCount(), 2);
  EXPECT_EQ(TextOfPage(1), u"Dropped notesecond line");
  EXPECT_EQ(TextOfPage(0), u"welcome to apply Varnolt!");

  // Plain text is pasted as text, into the current page.
  QApplication::clipboard()->setText("typed words");
  Settle();
  Press("Paste(Ctrl+V)");
  EXPECT_EQ(PageCount(), 2);
  EXPECT_NE(TextOfPage(1).find(u"typed words"), std::u16string::npos);
}

class SecondStartTest : public OpenFilesTest {
 protected:
  SecondStartTest() { qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8()); }
  ~SecondStartTest() override { qputenv("XDG_RUNTIME_DIR", previousRuntime); }

  // The real program, started in the files' folder with a relative name.
  int StartSecond(const QStringList& arguments) {
    QProcess second;
    second.setWorkingDirectory(folder.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(environment);
    second.start(VARNOLT_EXECUTABLE, arguments);
    EXPECT_TRUE(second.waitForStarted());
    // The window answers while the second start waits for it.
    for (int i = 0; i < 1000 && second.state() != QProcess::NotRunning; ++i) {
      QApplication::processEvents();
      second.waitForFinished(10);
    }
    EXPECT_EQ(second.state(), QProcess::NotRunning) << "the second start kept running: it opened a window";
    if (second.state() != QProcess::NotRunning) second.kill(), second.waitForFinished();
    return second.exitCode();
  }

  QByteArray previousRuntime = qgetenv("XDG_RUNTIME_DIR");
  QTemporaryDir runtime;
};

TEST_F(SecondStartTest, ASecondStartHandsItsFilesToTheOpenWindow) {
  WindowInbox inbox([this](const std::vector<std::string>& inputs) { window->OpenInputs(inputs); });
  ASSERT_TRUE(inbox.Listen());
  EXPECT_EQ(StartSecond({"--window", "notes.txt", Fixture("rtf/lists.rtf")}), 0);
  ASSERT_TRUE(WaitForPages(3));
  EXPECT_EQ(TextOfPage(1), u"Dropped notesecond line");
  EXPECT_NE(TextOfPage(2).find(u"First bullet"), std::u16string::npos);

  // Only one window listens per user.
  WindowInbox another([](const std::vector<std::string>&) {});
  EXPECT_FALSE(another.Listen());
}

TEST_F(SecondStartTest, TheFirstStartOpensAWindowThatLaterStartsJoin) {
  QProcess first;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  first.setProcessEnvironment(environment);
  first.start(VARNOLT_EXECUTABLE, {"--window", Path("notes.txt")});
  ASSERT_TRUE(first.waitForStarted());
  for (int i = 0; i < 1000 && !QFile::exists(WindowSocketName()); ++i) first.waitForFinished(10);
  ASSERT_EQ(first.state(), QProcess::Running) << first.readAllStandardError().toStdString();
  ASSERT_TRUE(QFile::exists(WindowSocketName()));
  EXPECT_EQ(StartSecond({"--window", "notes.txt"}), 0);
  EXPECT_EQ(first.state(), QProcess::Running);
  first.terminate();
  ASSERT_TRUE(first.waitForFinished(10000));
}

TEST_F(SecondStartTest, ASocketLeftByAWindowThatDiedIsTakenOver) {
  EXPECT_FALSE(SendToRunningWindow({"/nowhere.txt"}));
  // What a killed window leaves: its socket's name taken, nobody listening.
  std::ofstream(WindowSocketName().toStdString()) << "";
  WindowInbox inbox([this](const std::vector<std::string>& inputs) { window->OpenInputs(inputs); });
  ASSERT_TRUE(inbox.Listen());
  EXPECT_EQ(StartSecond({"--window", Path("notes.txt")}), 0);
  ASSERT_TRUE(WaitForPages(2));
}

}  // namespace
}  // namespace varnolt
