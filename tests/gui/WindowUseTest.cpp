// The window as a person uses it: keys, focus, dialogs, the window manager,
// many pages, long clipboard texts and missing pictures.
#include <QAbstractItemView>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <fstream>

#include "app/FormattedPdfPainter.h"
#include "gui/Pictures.h"
#include "tests/gui/GuiFixture.h"
#include "tests/support/Environment.h"
#include "tests/support/LoopbackWebServer.h"

namespace varnolt {
namespace {

using test::GuiFixture;

class WindowUseTest : public GuiFixture {
 protected:
  QTemporaryDir folder;
  QString Path(const QString& name) const { return folder.filePath(name); }
  QString WriteFile(const QString& name, const std::string& bytes) const {
    std::ofstream(Path(name).toStdString(), std::ios::binary) << bytes;
    return Path(name);
  }
  void AddPages(int count) {
    for (int i = 0; i < count; ++i) Press("New Page");
  }
  // The options dialog, answered by a script that gets its four fields.
  void AnswerOptions(std::function<void(QDialog&, const QList<QLineEdit*>&)> script) {
    answers.push_back([script](QWidget* modal) {
      auto* dialog = qobject_cast<QDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      ASSERT_EQ(dialog->objectName(), "TForm3");
      script(*dialog, dialog->findChildren<QLineEdit*>());
    });
  }
  static void PressButton(QDialog& dialog, const QString& caption) {
    for (auto* button : dialog.findChildren<QPushButton*>()) {
      if (button->text() == caption) button->click();
    }
  }
  static void Key(QWidget* widget, Qt::Key key, int times = 1) {
    for (int i = 0; i < times; ++i) QTest::keyClick(widget, key);
  }
  QRect InPageBar(QWidget* tab) const {
    auto* bar = window->findChild<QScrollArea*>("panel8");
    return {tab->mapTo(bar->viewport(), QPoint(0, 0)), tab->size()};
  }
};

// The window manager restores, minimizes and maximizes the window on its own;
// the model follows, and the menu's states still work afterwards.
TEST_F(WindowUseTest, TheWindowFollowsWhatTheWindowManagerDoes) {
  Trigger("Window", "Minimized");
  EXPECT_TRUE(window->isMinimized());
  // Restored by the window manager, which then sizes it.
  window->setWindowState(Qt::WindowNoState);
  window->resize(1000, 700);
  Settle();
  EXPECT_FALSE(window->isMinimized());
  EXPECT_EQ(Form().Frame.State(), TWindowState::wsNormal);
  Trigger("Window", "Minimized");
  EXPECT_TRUE(window->isMinimized());
  window->setWindowState(Qt::WindowMaximized);
  Settle();
  EXPECT_EQ(Form().Frame.State(), TWindowState::wsMaximized);
  Trigger("Window", "Normal");
  EXPECT_FALSE(window->isMaximized());
  EXPECT_FALSE(window->isMinimized());
}

TEST_F(WindowUseTest, ClosingAsksBeforeDiscardingWhatNoExportWrote) {
  Form().CurrentEditor().InsertTextAtCaret(u"typed ");
  AnswerQuestion(QMessageBox::No);
  window->close();
  Settle();
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(Form().Closed());
  EXPECT_EQ(questions.size(), 1);

  AnswerFileDialog(Path("pages.rtf"));
  ExpectMessage();
  Trigger("File/Export", "Rich Text Format(*.rtf)");
  window->close();
  Settle();
  EXPECT_TRUE(Form().Closed());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(questions.size(), 1);
}

TEST_F(WindowUseTest, ClosingWithChangesGoesOnAfterYes) {
  Form().CurrentEditor().InsertTextAtCaret(u"typed ");
  AnswerQuestion(QMessageBox::Yes);
  Trigger("File", "Exit");
  EXPECT_TRUE(Form().Closed());
  EXPECT_FALSE(window->isVisible());
  ASSERT_EQ(questions.size(), 1);
  EXPECT_TRUE(questions[0].contains("no export has written")) << questions[0].toStdString();
}

// Dialogs start in the documents folder, then where the last file was.
TEST_F(WindowUseTest, FileDialogsStartWhereTheUserWorks) {
  QTemporaryDir documents;
  test::ScopedEnvironment xdg("XDG_DOCUMENTS_DIR", documents.path().toStdString());
  const QString text = WriteFile("notes.txt", "imported text");
  AnswerFileDialog(text);
  Trigger("File/Import", "Textfile to import(*.txt)");
  AnswerFileDialog({});
  Trigger("File/Export", "Portable Document Format(*.pdf)");
  EXPECT_EQ(dialogFolders, (QStringList{documents.path(), folder.path()}));
}

TEST_F(WindowUseTest, TheOptionsDialogShowsThePageAndItsFieldsTakeTabBackspaceAndDelete) {
  QStringList shown;
  AnswerOptions([&](QDialog& dialog, const QList<QLineEdit*>& edits) {
    ASSERT_EQ(edits.size(), 4);
    for (QLineEdit* edit : edits) shown << edit->text();
    // Width: "495" becomes "300" by BackSpace; Tab moves on.
    edits[0]->setFocus();
    edits[0]->end(false);
    Key(edits[0], Qt::Key_Backspace, 3);
    QTest::keyClicks(edits[0], "3x00");
    Key(edits[0], Qt::Key_Tab);
    ASSERT_EQ(dialog.focusWidget(), edits[1]);
    // Height: "614" becomes "400" by Delete from the start.
    edits[1]->home(false);
    Key(edits[1], Qt::Key_Delete, 3);
    QTest::keyClicks(edits[1], "400");
    Key(edits[1], Qt::Key_Tab);
    ASSERT_EQ(dialog.focusWidget(), edits[2]);
    edits[2]->end(false);
    Key(edits[2], Qt::Key_Backspace);
    QTest::keyClicks(edits[2], "0");
    PressButton(dialog, "save");
  });
  Press("OptionsEdit0");
  EXPECT_EQ(shown, (QStringList{"495", "614", "15", "15"}));
  EXPECT_EQ(Form().PageWidths[0], 300);
  EXPECT_EQ(Form().PageHeights[0], 400);
  EXPECT_EQ(Form().PageLeftMargins[0], 10);
  EXPECT_EQ(Form().PageTopMargins[0], 15);
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WindowUseTest, TheEditorKeysWorkFromTheKeyboard) {
  ActivateWindow();
  ASSERT_EQ(QApplication::focusWidget(), ShownView());
  Keys(QKeySequence::SelectAll);
  EXPECT_TRUE(Form().CurrentEditor().HasSelection());
  const std::vector<std::pair<QKeySequence::StandardKey, bool TForm2::*>> toggles = {
      {QKeySequence::Bold, &TForm2::BoldOn},
      {QKeySequence::Italic, &TForm2::ItalicOn},
      {QKeySequence::Underline, &TForm2::UnderlineOn},
  };
  for (const auto& [keys, flag] : toggles) {
    Keys(keys);
    EXPECT_TRUE(Form().*flag) << QKeySequence(keys).toString().toStdString();
    Keys(keys);
    EXPECT_FALSE(Form().*flag) << QKeySequence(keys).toString().toStdString();
  }
  // Plain typing still reaches the page.
  Keys(QKeySequence(Qt::Key_End));
  Type("!");
  EXPECT_EQ(PageText(), u"welcome to apply Varnolt!!");
}

// At start and after every dialog the keyboard is the page's: the next
// shortcut works without a click into the page.
TEST_F(WindowUseTest, TheKeyboardGoesToThePageAtStartAndAfterEveryDialog) {
  ActivateWindow();
  EXPECT_EQ(QApplication::focusWidget(), ShownView());
  window->findChild<QTabWidget*>("PageControl1")->setFocus();
  AnswerFileDialog(WriteFile("notes.txt", "imported"));
  Trigger("File/Import", "Textfile to import(*.txt)");
  EXPECT_EQ(PageText(), u"importedwelcome to apply Varnolt!");
  EXPECT_EQ(window->focusWidget(), ShownView());
  ExpectMessage();
  Press("Delete the current page");
  EXPECT_EQ(window->focusWidget(), ShownView());
  ActivateWindow();
  Keys(QKeySequence("Ctrl+N"));
  EXPECT_EQ(Form().PageSlotCount(), 2);
  Type("second");
  EXPECT_EQ(TextOfPage(1), u"second");
}

// However long the clipboard's text, the status bar keeps one line.
TEST_F(WindowUseTest, TheClipboardStatusStaysOneLineWithTheWholeTextAsItsTooltip) {
  const QSize before = window->size();
  QStringList lines;
  for (int i = 1; i <= 60; ++i) lines << QString("line %1 of the clipboard").arg(i);
  QApplication::clipboard()->setText(lines.join("\n"));
  Settle();
  auto* status = window->findChild<QLabel*>("StatusPanel1");
  EXPECT_EQ(window->size(), before);
  EXPECT_LE(status->height(), 2 * status->fontMetrics().height());
  EXPECT_FALSE(status->text().contains('\n'));
  EXPECT_TRUE(status->toolTip().endsWith("line 60 of the clipboard")) << status->toolTip().right(40).toStdString();
  EXPECT_LE(status->mapTo(window.get(), QPoint(0, status->height())).y(), window->height());
  SaveScreenshot(window->grab().toImage(), "main_window_long_clipboard.png");
  Trigger("Edit", "Clear the clipboard");
  EXPECT_EQ(window->size(), before);
}

// What each open dialog lists in a folder of real files, by its first filter.
TEST_F(WindowUseTest, OpenDialogsListEveryFileTheirImportReads) {
  for (const char* name : {"a.doc", "b.docx", "c.odt", "d.rtf", "e.txt", "f.xls", "g.xlsx", "h.ods", "i.htm"}) {
    WriteFile(name, "x");
  }
  auto listed = [this](QStringList& names) {
    answers.push_back([this, &names](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      dialog->setDirectory(folder.path());
      auto* view = dialog->findChild<QAbstractItemView*>("listView");
      ASSERT_NE(view, nullptr);
      auto* model = qobject_cast<QFileSystemModel*>(view->model());
      ASSERT_NE(model, nullptr);
      // Loaded in the background: the files come when the folder is read.
      EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(view->rootIndex()) > 0; }, 3000));
      QTest::qWait(50);
      for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
        names << model->index(row, 0, view->rootIndex()).data().toString();
      }
      names.sort();
      dialog->reject();
    });
  };
  struct Row {
    const char* item;
    QStringList expected;
  };
  const Row rows[] = {
      {"Rtf to import(*.rtf)", {"d.rtf"}},
      {"Textfile to import(*.txt)", {"e.txt"}},
      {"Word to import(*.doc)", {"a.doc", "b.docx", "c.odt", "d.rtf"}},
      {"Excel to import(*.xls)", {"f.xls", "g.xlsx", "h.ods"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.item);
    QStringList names;
    listed(names);
    Trigger("File/Import", row.item);
    EXPECT_EQ(names, row.expected);
  }
}

TEST_F(WindowUseTest, FilterStringsBecomeTheToolkitsForm) {
  const std::vector<std::pair<std::u16string, QStringList>> rows = {
      {u"rich text format(*.rtf)|*.rtf", {"rich text format(*.rtf)"}},
      {u"all files|*.doc;*.docx|word document(*.doc)|*.doc", {"all files (*.doc *.docx)", "word document(*.doc)"}},
      {u"pages(*.htm;*.html)|*.htm;*.html", {"pages(*.htm *.html)"}},
  };
  for (const auto& [filter, expected] : rows) EXPECT_EQ(NameFilters(filter), expected);
}

// The page-tab menu pops up at the tab that was pressed.
TEST_F(WindowUseTest, TheDeleteMenuPopsUpAtItsTab) {
  window->move(0, 0);
  AddPages(4);
  auto* menu = window->findChild<QMenu*>("PopupMenu2");
  std::vector<int> lefts;
  for (const char* name : {"pagelabel1", "pagelabel4"}) {
    SCOPED_TRACE(name);
    auto* tab = window->findChild<QLabel*>(name);
    ASSERT_NE(tab, nullptr);
    Press(name, Qt::RightButton);
    ASSERT_TRUE(menu->isVisible());
    // The menu's own frame may shift it by a pixel or two.
    EXPECT_NEAR(menu->pos().x(), tab->mapToGlobal(QPoint(0, 0)).x(), 3);
    EXPECT_GT(menu->pos().y(), tab->mapToGlobal(QPoint(0, 0)).y());
    EXPECT_LT(menu->pos().y(), window->mapToGlobal(QPoint(0, window->height())).y());
    lefts.push_back(menu->pos().x());
    QImage shot = window->grab().toImage();
    QPainter painter(&shot);
    painter.drawPixmap(window->mapFromGlobal(menu->pos()), menu->grab());
    painter.end();
    SaveScreenshot(shot, std::string("page_tab_menu_") + name + ".png");
    menu->hide();
  }
  EXPECT_GT(lefts[1], lefts[0]);
}

// With 25 pages the current tab stays in sight, and so does the whole
// "Clear the current page(Page25)" link.
TEST_F(WindowUseTest, ManyPagesKeepTheCurrentTabAndTheLinksInSight) {
  AddPages(24);
  Settle();
  auto* bar = window->findChild<QScrollArea*>("panel8");
  auto* last = window->findChild<QLabel*>("pagelabel24");
  ASSERT_NE(last, nullptr);
  EXPECT_TRUE(bar->viewport()->rect().contains(InPageBar(last))) << InPageBar(last).x();
  auto* link = window->findChild<QLabel*>("Clear the current page");
  EXPECT_EQ(link->text(), "Clear the current page(Page25)");
  EXPECT_GE(link->width(), link->sizeHint().width());
  SaveScreenshot(window->grab().toImage(), "main_window_25_pages.png");
  Press("pagelabel0");
  Settle();
  EXPECT_TRUE(bar->viewport()->rect().contains(InPageBar(window->findChild<QLabel*>("pagelabel0"))));
}

// Without pictures the export buttons still say what they do.
TEST_F(WindowUseTest, ExportButtonsKeepTheirCaptionsWithoutPictures) {
  QTemporaryDir empty;
  SetPictureFolder(empty.path().toStdU16String());
  MainWindow bare(*clipboard);
  SetPictureFolder({});
  bare.show();
  Settle();
  const std::pair<const char*, const char*> buttons[] = {
      {"Image6", "RTF export"}, {"Image4", "Word export"}, {"image5", "Excel export"}};
  for (const auto& [name, caption] : buttons) {
    auto* button = bare.findChild<QLabel*>(name);
    ASSERT_NE(button, nullptr) << name;
    EXPECT_TRUE(button->pixmap().isNull()) << name;
    EXPECT_EQ(button->text(), caption);
    EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(caption)) << name;
  }
  SaveScreenshot(bare.grab().toImage(), "main_window_without_pictures.png");
}

// The Design view wraps at the page's text width, as the formatted PDF
// does, on paper with its edge drawn.
TEST_F(WindowUseTest, TheDesignViewLaysThePageOutAtItsTextWidth) {
  const std::u16string sentence =
      u"A long sentence that a page of three hundred points cannot hold on one line, so it wraps.";
  Press("Clear the current page");
  Form().CurrentEditor().InsertTextAtCaret(sentence);
  Settle();
  TRVPageView* view = ShownView();
  ASSERT_NE(view, nullptr);
  const int wideLines = static_cast<int>(view->Editor().Layout().Paragraph(0).Lines.size());
  AnswerOptions([](QDialog& dialog, const QList<QLineEdit*>& edits) {
    edits[0]->setText("300");
    edits[1]->setText("400");
    PressButton(dialog, "save");
  });
  Press("OptionsEdit0");
  Trigger("Edit", "Design");
  const double textWidth = (300 - 2 * 15) / kPointsPerPixel;
  EXPECT_DOUBLE_EQ(view->Editor().Layout().Width(), textWidth);
  ASSERT_TRUE(view->Sheet().has_value());
  EXPECT_DOUBLE_EQ(view->Sheet()->width, 300 / kPointsPerPixel);
  EXPECT_EQ(wideLines, 1);
  EXPECT_GT(view->Editor().Layout().Paragraph(0).Lines.size(), 1u);
  EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
  const QImage shot = view->grab().toImage();
  SaveScreenshot(window->grab().toImage(), "main_window_300pt_page.png");
  // The paper's right edge is drawn, the desk lies beyond it.
  const QPoint edge = view->viewport()->mapTo(view, QPoint(TRVPageView::kMargin + 400, 40));
  int darkest = 255;
  for (int x = edge.x() - 2; x <= edge.x() + 2; ++x) darkest = std::min(darkest, qGray(shot.pixel(x, edge.y())));
  EXPECT_LT(darkest, 200);
  EXPECT_LT(qGray(shot.pixel(edge.x() + 10, edge.y())), 240);
  EXPECT_EQ(qGray(shot.pixel(edge.x() - 10, edge.y())), 255);
}

// A command's progress shows while it runs and is gone once it is done; the
// two PDF exports say how they differ.
TEST_F(WindowUseTest, ProgressEmptiesAfterACommandAndThePdfExportsExplainThemselves) {
  auto* bar = window->findChild<QProgressBar*>("ProgressBar1");
  int highest = 0;
  QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) { highest = std::max(highest, value); });
  AnswerFileDialog(WriteFile("notes.txt", "imported"));
  Trigger("File/Import", "Textfile to import(*.txt)");
  EXPECT_EQ(highest, bar->maximum());
  EXPECT_LT(bar->value(), bar->minimum() + 1);
  EXPECT_TRUE(window->findChild<QLabel*>("PercentLabel")->text().isEmpty());
  EXPECT_FALSE(ShownView()->horizontalScrollBar()->isVisible());

  QAction* plain = MenuAction("File/Export", "Portable Document Format(*.pdf)");
  QAction* formatted = MenuAction("File/Export", "Formatted PDF(*.pdf)");
  ASSERT_TRUE(plain && formatted);
  EXPECT_FALSE(plain->statusTip().isEmpty());
  EXPECT_FALSE(formatted->toolTip().isEmpty());
  EXPECT_NE(plain->statusTip(), formatted->statusTip());
  EXPECT_TRUE(window->findChild<QMenu*>("File/Export")->toolTipsVisible());
  AnswerFileDialog({});
  Trigger("File/Export", "Formatted PDF(*.pdf)");
  EXPECT_EQ(fileDialogs.last(), "export|Formatted PDF(*.pdf)|pdf");
}

// The web address dialog is wide enough for its whole title.
TEST_F(WindowUseTest, TheWebAddressDialogKeepsItsTitle) {
  answers.push_back([](QWidget* modal) {
    auto* dialog = qobject_cast<QInputDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Webpage to import");
    EXPECT_GE(dialog->width(), QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(dialog->windowTitle()) + 150);
    dialog->reject();
  });
  Trigger("File/Import", "Webpage to import(*.htm;*.html)");
}

// A web page that never finishes: the window keeps painting and showing
// progress, takes no other command, and Cancel stops the load with the page
// left as it was.
TEST_F(WindowUseTest, AWebImportCanBeCancelledAndLeavesThePageAsItWas) {
  test::LoopbackWebServer server;
  const std::u16string before = PageText();
  answers.push_back([&server](QWidget* modal) {
    auto* dialog = qobject_cast<QInputDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->setTextValue(QString::fromStdString(server.Address("/endless")));
    dialog->accept();
  });
  auto* cancel = window->findChild<QPushButton*>("CancelButton");
  ASSERT_NE(cancel, nullptr);
  auto* bar = window->findChild<QProgressBar*>("ProgressBar1");
  int highest = 0;
  QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) { highest = std::max(highest, value); });
  bool menusOff = false;
  bool cancelShown = false;
  QImage during;
  QTimer::singleShot(800, [&] {
    menusOff = !window->menuBar()->isEnabled();
    cancelShown = cancel->isVisible();
    // A command asked for meanwhile is not run.
    MenuAction("Project", "New Page")->trigger();
    during = window->grab().toImage();
    cancel->click();
  });
  QElapsedTimer clock;
  clock.start();
  Trigger("File/Import", "Webpage to import(*.htm;*.html)");
  EXPECT_LT(clock.elapsed(), 10'000);
  EXPECT_TRUE(menusOff);
  EXPECT_TRUE(cancelShown);
  EXPECT_GT(highest, 0);
  EXPECT_EQ(Form().PageSlotCount(), 1);
  EXPECT_EQ(PageText(), before);
  EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
  EXPECT_TRUE(window->menuBar()->isEnabled());
  EXPECT_FALSE(cancel->isVisible());
  SaveScreenshot(during, "main_window_web_import_running.png");
  // The window works on as before.
  Press("New Page");
  EXPECT_EQ(Form().PageSlotCount(), 2);
}

}  // namespace
}  // namespace varnolt
