#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QTabWidget>
#include <QStackedLayout>
#include <QTemporaryDir>
#include <QTest>
#include <cctype>
#include <fstream>

#include "richtext/document/RVItem.h"
#include "tests/gui/GuiFixture.h"
#include "tests/support/PdfReaders.h"

namespace varnolt {
namespace {

using test::GuiFixture;

class MainWindowTest : public GuiFixture {
 protected:
  QTemporaryDir folder;
  QString Path(const QString& name) const { return folder.filePath(name); }
  void ClickInto(TRVPageView& view) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(view.viewport()->width() - 5, 20));
    Settle();
  }
};

TEST_F(MainWindowTest, StartsAsTheWindowModelSaysAndSavesAScreenshot) {
  EXPECT_EQ(window->windowTitle(), "Varnolt V1.2");
  EXPECT_EQ(QApplication::applicationName(), "Varnolt");
  EXPECT_EQ(PageText(), u"welcome to apply Varnolt!");
  // Start-up pictures loaded from images/ beside the program; the status bar laid out.
  EXPECT_FALSE(window->findChild<QLabel*>("Image1")->pixmap().isNull());
  EXPECT_FALSE(window->findChild<QLabel*>("Image2")->pixmap().isNull());
  EXPECT_TRUE(Form().ProgressInStatusBar);
  EXPECT_TRUE(window->findChild<QWidget*>("ProgressBar1")->isVisible());
  EXPECT_EQ(window->findChild<QLabel*>("pagelabel0")->text(), "Page 1");
  EXPECT_EQ(Status(), QString::fromUtf16(u"Current page\uFF1APage1\u3000\u3000Clipboard\uFF1ANothing(empty)"));
  auto* tabs = window->findChild<QTabWidget*>("PageControl1");
  EXPECT_EQ(tabs->tabText(0), "Design");
  EXPECT_EQ(tabs->tabText(1), "Properties");
  EXPECT_EQ(tabs->tabText(2), "Options");
  // No window smaller than the minimum.
  EXPECT_GE(window->frameGeometry().width(), TForm2::kMinimumWidth);
  EXPECT_GE(window->frameGeometry().height(), TForm2::kMinimumHeight);
  const QImage shot = window->grab().toImage();
  EXPECT_TRUE(shot.save(QString::fromStdString((ScreenshotFolder() / "main_window_startup.png").string())));
}

// Each menu item with what its handler leaves behind in the model.
TEST_F(MainWindowTest, EveryMenuItemReachesItsHandler) {
  struct Row {
    const char* menu;
    const char* text;
    std::function<void()> before;
    std::function<void()> check;
  };
  auto expectMessage = [this](const QString& text) {
    return [this, text] { EXPECT_TRUE(messages.last().endsWith(text)) << messages.join("\n").toStdString(); };
  };
  qsizetype dialogsBefore = 0;
  const std::vector<Row> rows = {
      {"Edit", "Undo", [] {}, [&] { EXPECT_EQ(PageText(), u""); }},
      {"Edit", "Redo", [] {}, [&] { EXPECT_EQ(PageText(), u"welcome to apply Varnolt!"); }},
      {"Edit", "Copy", [&] { Form().CurrentEditor().SelectWholeDocument(); },
       [&] { EXPECT_EQ(QApplication::clipboard()->text(), "welcome to apply Varnolt!"); }},
      {"Edit", "Cut", [&] { Form().CurrentEditor().SelectWholeDocument(); }, [&] { EXPECT_EQ(PageText(), u""); }},
      {"Edit", "Paste", [] {}, [&] { EXPECT_EQ(PageText(), u"welcome to apply Varnolt!"); }},
      {"Edit", "Clear the clipboard", [] {}, [&] { EXPECT_TRUE(Status().endsWith("Nothing(empty)")); }},
      {"Edit", "Clear the current page", [] {}, [&] { EXPECT_EQ(PageText(), u""); }},
      {"Edit", "Delete the current page", [&] { ExpectMessage(); }, expectMessage("final page!")},
      {"Edit", "Options", [] {}, [&] { EXPECT_EQ(window->findChild<QTabWidget*>()->currentIndex(), 2); }},
      {"Edit", "Properties", [] {}, [&] { EXPECT_EQ(window->findChild<QTabWidget*>()->currentIndex(), 1); }},
      {"Edit", "Design", [] {}, [&] { EXPECT_EQ(window->findChild<QTabWidget*>()->currentIndex(), 0); }},
      {"Project", "New Page", [] {}, [&] { EXPECT_EQ(Form().PageSlotCount(), 2); }},
      {"Window", "Maximized", [] {}, [&] { EXPECT_EQ(Form().Frame.State(), TWindowState::wsMaximized); }},
      {"Window", "Minimized", [] {}, [&] { EXPECT_EQ(Form().Frame.State(), TWindowState::wsMinimized); }},
      {"Window", "Normal", [] {}, [&] { EXPECT_EQ(Form().Frame.State(), TWindowState::wsNormal); }},
      {"Help", "Varnolt Help", [] {}, [&] { EXPECT_EQ(openedUrls.last(), "https://varnolt.example/index.htm"); }},
      {"Help", "Varnolt Home Page", [] {}, [&] { EXPECT_EQ(openedUrls.size(), 2); }},
      {"Help", "About Varnolt", [&] { ExpectMessage(); }, [&] { EXPECT_EQ(messages.last(), "About Varnolt|"); }},
      {"File/Import", "Rtf to import(*.rtf)", [&] { AnswerFileDialog({}); },
       [&] { EXPECT_EQ(fileDialogs.last(), "Open|rich text format(*.rtf)|rtf"); }},
      {"File/Import", "Textfile to import(*.txt)", [&] { AnswerFileDialog({}); },
       [&] { EXPECT_EQ(fileDialogs.last(), "Open|Text files(*.txt)|txt"); }},
      {"File/Import", "Word to import(*.doc)", [&] { AnswerFileDialog({}); },
       [&] { EXPECT_TRUE(fileDialogs.last().contains("word document(*.doc)")) << fileDialogs.last().toStdString(); }},
      {"File/Import", "Excel to import(*.xls)", [&] { AnswerFileDialog({}); },
       [&] { EXPECT_TRUE(fileDialogs.last().contains("excel file(*.xls)")) << fileDialogs.last().toStdString(); }},
      {"File/Import", "Webpage to import(*.htm;*.html)", [&] { ExpectMessage(); },
       [&] { EXPECT_TRUE(messages.last().startsWith("Webpage to import|")) << messages.last().toStdString(); }},
      {"File/Export", "Portable Document Format(*.pdf)", [&] { AnswerFileDialog({}); },
       [&] { EXPECT_EQ(fileDialogs.last(), "export|Portable Document Format(*.pdf)|pdf"); }},
      {"File/Export", "Formatted PDF(*.pdf)", [&] { dialogsBefore = fileDialogs.size(); AnswerFileDialog({}); },
       [&] {
         EXPECT_EQ(fileDialogs.size(), dialogsBefore + 1);
         EXPECT_EQ(fileDialogs.last(), "export|Formatted PDF(*.pdf)|pdf");
       }},
      {"File/Export", "Rich Text Format(*.rtf)", [&] { AnswerFileDialog({}); },
       [&] { EXPECT_EQ(fileDialogs.last(), "Export|rich text format(*.rtf)|rtf"); }},
      {"File/Export", "Microsoft Office Word(*.doc)", [&] { AnswerFileDialog({}); },
       [&] { EXPECT_TRUE(fileDialogs.last().contains("microsoft office word format(*.doc)")) << fileDialogs.last().toStdString(); }},
      {"File/Export", "Microsoft Office Excel(*.xls)", [&] { AnswerFileDialog({}); },
       [&] { EXPECT_TRUE(fileDialogs.last().contains("microsoft office excel format(*.xls)")) << fileDialogs.last().toStdString(); }},
      // Every page is empty by now: nothing to ask about before closing.
      {"File", "Exit", [] {}, [&] { EXPECT_TRUE(Form().Closed()); EXPECT_FALSE(window->isVisible()); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.menu) + " > " + row.text);
    row.before();
    Trigger(row.menu, row.text);
    row.check();
  }
}

TEST_F(MainWindowTest, MenuShortcutsAreThoseOfTheCommandTable) {
  const std::vector<std::tuple<const char*, const char*, const char*>> rows = {
      {"Edit", "Undo", "Ctrl+Z"},  {"Edit", "Redo", "Ctrl+Y"},  {"Edit", "Cut", "Ctrl+X"},
      {"Edit", "Copy", "Ctrl+C"},  {"Edit", "Paste", "Ctrl+V"}, {"Edit", "Delete the current page", "Ctrl+Del"},
      {"Project", "New Page", "Ctrl+N"},
  };
  for (const auto& [menu, text, keys] : rows) {
    QAction* action = MenuAction(menu, text);
    ASSERT_NE(action, nullptr) << text;
    EXPECT_EQ(action->shortcut(), QKeySequence(keys)) << text;
  }
}

TEST_F(MainWindowTest, ToolbarButtonsReachTheirHandlers) {
  const std::vector<std::pair<const char*, std::function<void()>>> rows = {
      {"ToolButton1", [&] { EXPECT_TRUE(Form().BoldOn); }},
      {"ToolButton2", [&] { EXPECT_EQ(Form().RVStyle1.TextStyleAt(0).Style, (TFontStyles{fsBold, fsItalic})); }},
      {"ToolButton3", [&] { EXPECT_TRUE(Form().UnderlineOn); }},
      {"ToolButton6", [&] { EXPECT_EQ(Form().RVStyle1.ParaStyleAt(0).Alignment, rvaRight); }},
      {"ToolButton5", [&] { EXPECT_EQ(Form().RVStyle1.ParaStyleAt(0).Alignment, rvaCenter); }},
      {"ToolButton7", [&] { EXPECT_EQ(Form().RVStyle1.ParaStyleAt(0).Alignment, rvaLeft); }},
      {"ToolButton9", [&] { EXPECT_EQ(Form().CurrentEditor().ItemAt(0).StyleNo, 1); }},
      {"ToolButton10", [&] { ASSERT_NE(window->findChild<QListWidget*>("ListView1"), nullptr); }},
      {"ToolButton13", [&] { EXPECT_EQ(QApplication::clipboard()->text(), "welcome to apply Varnolt!"); }},
      {"ToolButton12", [&] { EXPECT_EQ(PageText(), u""); }},
      {"ToolButton14", [&] { EXPECT_EQ(PageText(), u"welcome to apply Varnolt!"); }},
  };
  for (const auto& [name, check] : rows) {
    SCOPED_TRACE(name);
    if (std::string(name) == "ToolButton13") Form().CurrentEditor().SelectWholeDocument();
    TriggerNamed(name);
    check();
  }
  // The templates of the design button's drop-down.
  for (int n = 5; n >= 1; --n) {
    Trigger("PopupMenu3", QString("Template %1").arg(n));
    EXPECT_EQ(Form().CurrentEditor().ItemAt(0).StyleNo, n);
  }
}

TEST_F(MainWindowTest, TheGalleryOpensClosesAndInsertsTheChosenPicture) {
  TriggerNamed("ToolButton10");
  auto* gallery = window->findChild<QListWidget*>("ListView1");
  ASSERT_NE(gallery, nullptr);
  EXPECT_EQ(gallery->count(), 25);
  EXPECT_EQ(gallery->size(), QSize(321, 304));
  EXPECT_TRUE(gallery->isVisible());
  QImage(window->grab().toImage()).save(QString::fromStdString((ScreenshotFolder() / "main_window_gallery.png").string()));
  TriggerNamed("ToolButton10");
  EXPECT_FALSE(Form().GalleryOpen);
  Settle();

  TriggerNamed("ToolButton10");
  gallery = window->findChild<QListWidget*>("ListView1");
  ASSERT_NE(gallery, nullptr);
  gallery->setCurrentRow(4);
  Settle();
  EXPECT_FALSE(Form().GalleryOpen);
  auto& editor = Form().CurrentEditor();
  bool found = false;
  for (int i = 0; i < editor.CountItems(); ++i) {
    if (auto* picture = dynamic_cast<TRVGraphicItemInfo*>(&editor.ItemAt(i))) {
      found = true;
      EXPECT_EQ(picture->Image->Width(), 90);
      EXPECT_EQ(picture->Image->Height(), 90);
    }
  }
  EXPECT_TRUE(found);
}

TEST_F(MainWindowTest, LeftPanelLinksReachTheirHandlers) {
  const std::vector<std::tuple<const char*, std::function<void()>, std::function<void()>>> rows = {
      {"New Page", [] {}, [&] { EXPECT_EQ(Form().PageSlotCount(), 2); }},
      {"Copy(Ctrl+C)", [&] { Form().PageEditors[0]->SelectWholeDocument(); Press("pagelabel0"); },
       [&] { EXPECT_TRUE(Status().endsWith("welcome to apply Varnolt!")); }},
      {"Cut(Ctrl+X)", [&] { Form().CurrentEditor().SelectWholeDocument(); }, [&] { EXPECT_EQ(PageText(), u""); }},
      {"Paste(Ctrl+V)", [] {}, [&] { EXPECT_EQ(PageText(), u"welcome to apply Varnolt!"); }},
      {"Clear the clipboard", [] {}, [&] { EXPECT_TRUE(Status().endsWith("Nothing(empty)")); }},
      {"Clear the current page", [] {}, [&] { EXPECT_EQ(PageText(), u""); }},
      {"Rtf to import(*.rtf)", [&] { AnswerFileDialog({}); }, [&] { EXPECT_EQ(fileDialogs.size(), 1); }},
      {"Textfile to import(*.txt)", [&] { AnswerFileDialog({}); }, [&] { EXPECT_EQ(fileDialogs.size(), 2); }},
      {"Word to import(*.doc)", [&] { AnswerFileDialog({}); },
       [&] { EXPECT_TRUE(fileDialogs.last().contains("word document(*.doc)")) << fileDialogs.last().toStdString(); }},
      {"Excel to import(*.xls)", [&] { AnswerFileDialog({}); },
       [&] { EXPECT_TRUE(fileDialogs.last().contains("excel file(*.xls)")) << fileDialogs.last().toStdString(); }},
      {"Webpage to import(url)", [&] { ExpectMessage(); },
       [&] { EXPECT_TRUE(messages.last().startsWith("Webpage to import|")) << messages.last().toStdString(); }},
      {"Delete the current page", [] {}, [&] { EXPECT_EQ(Form().ExistingPageCount(), 1); }},
      {"Delete the current page", [&] { ExpectMessage(); }, [&] { EXPECT_EQ(messages.last(), "Varnolt|final page!"); }},
  };
  for (const auto& [link, before, check] : rows) {
    SCOPED_TRACE(link);
    before();
    Press(link);
    check();
  }
  // The clear link follows the current page's number.
  Press("New Page");
  EXPECT_EQ(window->findChild<QLabel*>("Clear the current page")->text(), "Clear the current page(Page3)");
}

TEST_F(MainWindowTest, PictureButtonsAndEditLinksReachTheirHandlers) {
  AnswerFileDialog({});
  Press("Image6");
  AnswerFileDialog({});
  Press("Image2");
  ExpectMessage();
  Press("Image4");
  ExpectMessage();
  Press("image5");
  EXPECT_EQ(fileDialogs, (QStringList{"Export|rich text format(*.rtf)|rtf", "export|Portable Document Format(*.pdf)|pdf"}));
  EXPECT_EQ(messages.size(), 2);

  answers.push_back([](QWidget* dialog) {
    ASSERT_EQ(dialog->objectName(), "TForm1");
    EXPECT_EQ(dialog->windowTitle(), "Properties");
    dialog->findChildren<QLineEdit*>().at(0)->setText("report");
    dialog->findChildren<QLineEdit*>().at(1)->setText("A title");
    for (auto* button : dialog->findChildren<QPushButton*>()) {
      if (button->text() == "save") button->click();
    }
  });
  Press("PropertiesEdit2");
  EXPECT_EQ(Form().FileNameLabel.Caption(), u"Filename\uFF1Areport.pdf");
  EXPECT_EQ(Form().TitleLabel.Caption(), u"Title\uFF1AA title");

  answers.push_back([](QWidget* dialog) {
    ASSERT_EQ(dialog->objectName(), "TForm3");
    EXPECT_EQ(dialog->windowTitle(), "Options");
    const auto edits = dialog->findChildren<QLineEdit*>();
    // Typing passes the key filter: letters are dropped.
    edits.at(0)->clear();
    for (QChar key : QString("6x00")) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(key));
      QApplication::sendEvent(edits.at(0), &press);
    }
    edits.at(1)->setText("800");
    edits.at(2)->setText("20");
    edits.at(3)->setText("30");
    for (auto* button : dialog->findChildren<QPushButton*>()) {
      if (button->text() == "save") button->click();
    }
  });
  Press("OptionsEdit3");
  EXPECT_EQ(Form().PageWidths[0], 600);
  EXPECT_EQ(Form().PageTopMargins[0], 30);
  EXPECT_EQ(Form().Label14.Caption(), u"Width\uFF1A600");
}

TEST_F(MainWindowTest, TheAboutBoxLinksOpenTheHomePageAndANewMail) {
  answers.push_back([this](QWidget* dialog) {
    EXPECT_EQ(dialog->objectName(), "TForm4");
    EXPECT_EQ(dialog->windowTitle(), "About Varnolt");
    QStringList texts;
    for (auto* label : dialog->findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains("Varnolt"));
    EXPECT_TRUE(texts.contains("last update:2009-08-14"));
    dialog->grab().save(QString::fromStdString((ScreenshotFolder() / "about_box.png").string()));
    for (const char* link : {"https://varnolt.example/index.htm", "contact@varnolt.example"}) {
      auto* label = dialog->findChild<QLabel*>(link);
      ASSERT_NE(label, nullptr) << link;
      emit label->linkActivated("#");
    }
    static_cast<QDialog*>(dialog)->accept();
  });
  Trigger("Help", "About Varnolt");
  EXPECT_EQ(openedUrls, (QStringList{"https://varnolt.example/index.htm", "mailto:contact@varnolt.example"}));
}

TEST_F(MainWindowTest, TheExportMenuOffersTheFormattedPdfAfterThePlainOne) {
  auto* menu = window->findChild<QMenu*>("File/Export");
  ASSERT_NE(menu, nullptr);
  QStringList texts;
  for (QAction* action : menu->actions()) texts << action->text();
  EXPECT_EQ(texts.indexOf("Formatted PDF(*.pdf)"), texts.indexOf("Portable Document Format(*.pdf)") + 1)
      << texts.join(", ").toStdString();
  menu->popup(window->mapToGlobal(QPoint(40, 40)));
  Settle();
  EXPECT_TRUE(menu->grab().save(QString::fromStdString((ScreenshotFolder() / "main_window_export_menu.png").string())));
  menu->hide();
}

TEST_F(MainWindowTest, ContextMenusAndTheTray) {
  auto& editor = Form().CurrentEditor();
  editor.OnRVMouseDown(TRVMouseButton::mbRight, 10, 20);
  Settle();
  auto* menu = window->findChild<QMenu*>("PopupMenu1");
  EXPECT_TRUE(menu->isVisible());
  menu->hide();
  const std::vector<std::pair<const char*, std::function<void()>>> rows = {
      {"Select All", [&] { EXPECT_TRUE(Form().CurrentEditor().HasSelection()); }},
      {"Copy", [&] { EXPECT_EQ(QApplication::clipboard()->text(), "welcome to apply Varnolt!"); }},
      {"Delete", [&] { EXPECT_EQ(PageText(), u""); }},
      {"Paste", [&] { EXPECT_EQ(PageText(), u"welcome to apply Varnolt!"); }},
      {"Select All", [] {}},
      {"Cut", [&] { EXPECT_EQ(PageText(), u""); }},
      {"Paste", [] {}},
      {"Clear", [&] { EXPECT_EQ(PageText(), u""); }},
  };
  for (const auto& [text, check] : rows) {
    SCOPED_TRACE(text);
    Trigger("PopupMenu1", text);
    check();
  }

  Press("New Page");
  Press("pagelabel0", Qt::RightButton);
  EXPECT_EQ(Form().CurrentPage, 0);
  EXPECT_TRUE(window->findChild<QMenu*>("PopupMenu2")->isVisible());
  window->findChild<QMenu*>("PopupMenu2")->hide();
  Trigger("PopupMenu2", "Delete!");
  EXPECT_EQ(Form().ExistingPageCount(), 1);
  EXPECT_EQ(window->findChild<QLabel*>("pagelabel0"), nullptr);
  ExpectMessage();
  Trigger("PopupMenu2", "Delete!");
  EXPECT_EQ(messages.last(), QString::fromUtf16(u"Varnolt|Final page\uFF01"));

  Form().Frame.SetVisible(false);
  EXPECT_FALSE(window->isVisible());
  Trigger("PopupMenu4", "Show Varnolt");
  EXPECT_TRUE(window->isVisible());
  // Only an empty page is left: nothing to ask about.
  Trigger("PopupMenu4", "Exit");
  EXPECT_TRUE(Form().Terminated());
  EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, PdfExportThroughTheMenuWritesAPdfThatReadersAccept) {
  Press("New Page");
  Form().CurrentEditor().InsertTextAtCaret(u"The second page.");
  const QString pdf = Path("pages.pdf");
  AnswerFileDialog(pdf);
  ExpectMessage();
  Trigger("File/Export", "Portable Document Format(*.pdf)");
  ASSERT_FALSE(messages.isEmpty());
  EXPECT_EQ(messages.last(), "INFOMATION|Total 2 Pages has been found!\rCreate Success" + pdf + "!");
  // Once the command is done the bar is empty again.
  EXPECT_TRUE(window->findChild<QLabel*>("PercentLabel")->text().isEmpty());
  EXPECT_TRUE(test::PassesQpdfCheck(pdf.toStdString()));
  std::string text = test::ExtractedText(pdf.toStdString());
  std::erase_if(text, [](unsigned char c) { return std::isspace(c) != 0; });
  EXPECT_NE(text.find("welcometoapplyVarnolt!"), std::string::npos) << text;
  EXPECT_NE(text.find("Thesecondpage."), std::string::npos) << text;
}

TEST_F(MainWindowTest, TypingIntoThePageViewEditsTheCurrentPage) {
  ActivateWindow();
  TRVPageView* view = window->PageView(0);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(ShownView(), view);
  EXPECT_EQ(&view->Editor(), &Form().CurrentEditor());
  EXPECT_TRUE(view->isVisible());
  // Clicked right of the welcome text: the caret goes to its end.
  ClickInto(*view);
  EXPECT_EQ(QApplication::focusWidget(), view);
  Type(" Typed.");
  EXPECT_EQ(PageText(), u"welcome to apply Varnolt! Typed.");
  // A handler's change shows without a click into the view.
  Press("Clear the current page");
  EXPECT_EQ(PageText(), u"");
  EXPECT_EQ(view->Editor().Layout().ParagraphCount(), 1);
}

TEST_F(MainWindowTest, CtrlNMakesASecondViewThatTakesTheFocusAndTheTyping) {
  ActivateWindow();
  // Away from the page area, so the focus cannot just follow the shown view.
  window->findChild<QTabWidget*>("PageControl1")->setFocus();
  Keys(QKeySequence("Ctrl+N"));
  ASSERT_EQ(Form().PageSlotCount(), 2);
  TRVPageView* second = window->PageView(1);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, window->PageView(0));
  EXPECT_EQ(&second->Editor(), Form().PageEditors[1].get());
  EXPECT_EQ(ShownView(), second);
  EXPECT_EQ(QApplication::focusWidget(), second);
  EXPECT_FALSE(window->PageView(0)->isVisible());
  Type("Second");
  EXPECT_EQ(TextOfPage(1), u"Second");
  EXPECT_EQ(TextOfPage(0), u"welcome to apply Varnolt!");
}

TEST_F(MainWindowTest, SwitchingPagesShowsAndFocusesTheOtherView) {
  ActivateWindow();
  Press("New Page");
  Type("Two");
  Press("pagelabel0");
  EXPECT_EQ(Form().CurrentPage, 0);
  EXPECT_EQ(ShownView(), window->PageView(0));
  EXPECT_EQ(QApplication::focusWidget(), window->PageView(0));
  EXPECT_TRUE(window->PageView(0)->isVisible());
  EXPECT_FALSE(window->PageView(1)->isVisible());
  QTest::keyClick(window->PageView(0), Qt::Key_End, Qt::ControlModifier);
  Type("!");
  EXPECT_EQ(TextOfPage(0), u"welcome to apply Varnolt!!");
  Press("pagelabel1");
  EXPECT_EQ(ShownView(), window->PageView(1));
  EXPECT_EQ(QApplication::focusWidget(), window->PageView(1));
  EXPECT_EQ(TextOfPage(1), u"Two");
}

// Every way a page goes takes its view with it, and the highest remaining
// page's view comes to the front; typing there still works.
TEST_F(MainWindowTest, DeletingAPageRemovesItsView) {
  const std::vector<std::pair<const char*, std::function<void()>>> ways = {
      {"left link", [&] { Press("Delete the current page"); }},
      {"menu shortcut", [&] { Keys(QKeySequence("Ctrl+Del")); }},
      {"page-tab menu", [&] {
         Press(QString("pagelabel%1").arg(Form().CurrentPage), Qt::RightButton);
         window->findChild<QMenu*>("PopupMenu2")->hide();
         Trigger("PopupMenu2", "Delete!");
       }},
  };
  ActivateWindow();
  for (const auto& [way, remove] : ways) {
    SCOPED_TRACE(way);
    Press("New Page");
    Press("New Page");
    const int deleted = Form().CurrentPage;
    QPointer<TRVPageView> view = window->PageView(deleted);
    ASSERT_FALSE(view.isNull());
    remove();
    EXPECT_TRUE(view.isNull());
    EXPECT_EQ(window->PageView(deleted), nullptr);
    EXPECT_EQ(Form().CurrentPage, deleted - 1);
    EXPECT_EQ(ShownView(), window->PageView(deleted - 1));
    window->PageView(deleted - 1)->setFocus();
    Type("x");
    EXPECT_EQ(TextOfPage(deleted - 1), u"x");
  }
  EXPECT_EQ(window->findChildren<TRVPageView*>().size(), static_cast<size_t>(Form().ExistingPageCount()));
}

// Closing frees every editor; the views went first, so painting and the
// window's own end find nothing dangling.
TEST_F(MainWindowTest, ShutdownTakesTheViewsBeforeTheEditors) {
  Press("New Page");
  Trigger("File", "Exit");
  EXPECT_TRUE(Form().Closed());
  EXPECT_TRUE(window->findChildren<TRVPageView*>().isEmpty());
}

TEST_F(MainWindowTest, ScreenshotOfAnImportedRtfPage) {
  const char* data = std::getenv("VARNOLT_TEST_DATA");
  ASSERT_NE(data, nullptr) << "run through ctest";
  Press("Clear the current page");
  AnswerFileDialog(QString(data) + "/rtf/tables.rtf");
  Trigger("File/Import", "Rtf to import(*.rtf)");
  EXPECT_TRUE(Form().LastImport.complete);
  EXPECT_GT(Form().CurrentEditor().CountItems(), 1);
  TRVPageView* view = ShownView();
  ASSERT_NE(view, nullptr);
  EXPECT_GT(view->Editor().Layout().ParagraphCount(), 1);
  const QImage shot = window->grab().toImage();
  EXPECT_TRUE(shot.save(QString::fromStdString((ScreenshotFolder() / "main_window_rtf_page.png").string())));
  // The page area shows the document, not a blank sheet.
  const QRect area(view->mapTo(window.get(), QPoint(0, 0)), view->size());
  int dark = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) dark += qGray(shot.pixel(x, y)) < 100 ? 1 : 0;
  }
  EXPECT_GT(dark, 500);
}

}  // namespace
}  // namespace varnolt
