#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/Unit2.h"
#include "richtext/document/RVItem.h"
#include "richtext/graphic/RVBitmap.h"
#include "tests/app/TestHost.h"
#include "tests/support/Environment.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

class ShellTest : public ::testing::Test {
 protected:
  ShellTest() {
    // Shown as the window is: the welcome text is there, though the
    // test has no start-up pictures beside it.
    form.Dispatch([&] { form.FormShow(); });
  }

  TRichDocEdit& Page() { return form.CurrentEditor(); }
  std::u16string PageText() {
    std::u16string text;
    for (int i = 0; i < Page().CountItems(); ++i) text += Page().ItemTextAt(i);
    return text;
  }
  int PictureIndex() {
    for (int i = 0; i < Page().CountItems(); ++i) {
      if (Page().ItemAt(i).StyleNo == -3) return i;
    }
    return -1;
  }
  TFontStyles StyleZero() { return form.RVStyle1.TextStyleAt(0).Style; }

  static std::unique_ptr<TGraphic> GalleryPicture() {
    return TBitmap::FromDeviceBits(90, 90, 1, 24, 0, std::string(90 * 90 * 3 + 90 * 2, '\x7f'));
  }

  test::TestHost host;
  MemoryClipboard clipboard;
  TForm2 form{host, clipboard};
};

TEST_F(ShellTest, AMissingStartupPictureIsReportedAndLeavesTheStatusBarAlone) {
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find(u"images/foot.jpg"), std::u16string::npos);
  EXPECT_FALSE(form.ProgressInStatusBar);
  EXPECT_TRUE(form.Image1.FileName().empty());
  EXPECT_EQ(Page().ItemTextAt(0), u"welcome to apply Varnolt!");
}

TEST_F(ShellTest, TheWindowSnapsToItsMinimumSizeInBothDimensionsAtOnce) {
  struct Case {
    int width, height, expectedWidth, expectedHeight;
  };
  for (const Case& c : {Case{1200, 600, 951, 650}, Case{900, 700, 951, 650}, Case{1000, 700, 1000, 700},
                        Case{951, 650, 951, 650}}) {
    form.Frame.SetSize(c.width, c.height);
    form.FormResize();
    EXPECT_EQ(form.Frame.Width(), c.expectedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(form.Frame.Height(), c.expectedHeight) << c.width << "x" << c.height;
  }
}

TEST_F(ShellTest, StyleTogglesChangeTheCaretIndexStyleForEveryPage) {
  form.ToolButton1Click();
  EXPECT_EQ(StyleZero(), TFontStyles{fsBold});
  form.ToolButton2Click();
  EXPECT_EQ(StyleZero(), (TFontStyles{fsBold, fsItalic}));
  form.ToolButton1Click();
  EXPECT_EQ(StyleZero(), TFontStyles{fsItalic});
  EXPECT_FALSE(form.BoldOn);
  EXPECT_TRUE(form.ItalicOn);
  form.ToolButton3Click();
  EXPECT_EQ(StyleZero(), (TFontStyles{fsItalic, fsUnderline}));
  form.ToolButton2Click();
  EXPECT_EQ(StyleZero(), TFontStyles{fsUnderline});
  // Nothing recorded: the one undo step is still the welcome text's.
  EXPECT_EQ(Page().UndoList().Count(), 1);
}

TEST_F(ShellTest, StyleTogglesAndAlignmentLeaveStylesBeyondTheSheetAlone) {
  const int items = form.RVStyle1.TextStyles.Count() + 2;
  for (int i = 1; i < items; ++i) Page().InsertTextAtCaret(u"x" + std::u16string(1, u'\r'));
  Page().SetCaret(Page().CountItems() - 1, 0);
  ASSERT_GE(Page().CaretItemIndex(), form.RVStyle1.TextStyles.Count());
  auto fontStyles = [&] {
    std::vector<TFontStyles> styles;
    for (int i = 0; i < form.RVStyle1.TextStyles.Count(); ++i) styles.push_back(form.RVStyle1.TextStyleAt(i).Style);
    return styles;
  };
  auto alignments = [&] {
    std::vector<TRVAlignment> all;
    for (int i = 0; i < form.RVStyle1.ParaStyles.Count(); ++i) all.push_back(form.RVStyle1.ParaStyleAt(i).Alignment);
    return all;
  };
  const auto stylesBefore = fontStyles();
  const auto alignmentsBefore = alignments();
  form.ToolButton1Click();
  form.ToolButton5Click();
  EXPECT_FALSE(form.BoldOn);
  EXPECT_EQ(fontStyles(), stylesBefore);
  EXPECT_EQ(alignments(), alignmentsBefore);
}

TEST_F(ShellTest, AlignmentButtonsSetTheCaretIndexParagraphStyle) {
  const std::vector<std::pair<std::function<void()>, TRVAlignment>> cases = {
      {[&] { form.ToolButton6Click(); }, rvaRight},
      {[&] { form.ToolButton5Click(); }, rvaCenter},
      {[&] { form.ToolButton7Click(); }, rvaLeft},
  };
  for (const auto& [press, alignment] : cases) {
    press();
    EXPECT_EQ(form.RVStyle1.ParaStyleAt(0).Alignment, alignment);
  }
}

TEST_F(ShellTest, TemplatesGiveTheCaretTextItemTheirStyleNumber) {
  const std::vector<std::pair<std::function<void()>, int>> cases = {
      {[&] { form.N42Click(); }, 2}, {[&] { form.N43Click(); }, 3}, {[&] { form.N44Click(); }, 4},
      {[&] { form.N45Click(); }, 5}, {[&] { form.N41Click(); }, 1}, {[&] { form.ToolButton9Click(); }, 1},
  };
  for (const auto& [press, styleNo] : cases) {
    Page().ItemAt(0).StyleNo = 0;
    press();
    EXPECT_EQ(Page().ItemAt(0).StyleNo, styleNo);
  }
  // Templates record no undo step.
  const auto undoSteps = Page().UndoList().Count();
  form.N43Click();
  EXPECT_EQ(Page().UndoList().Count(), undoSteps);
}

TEST_F(ShellTest, TemplatesLeaveAPictureAndAnEmptyPageAlone) {
  form.Label27Click();
  form.N42Click();
  EXPECT_EQ(Page().CountItems(), 0);
  form.ImageList2.push_back(GalleryPicture());
  form.ToolButton10Click();
  form.SelectItem(0);
  const int picture = PictureIndex();
  ASSERT_GE(picture, 0);
  Page().SetCaret(picture, 0);
  form.N42Click();
  EXPECT_EQ(Page().ItemAt(picture).StyleNo, -3);
}

TEST_F(ShellTest, TheGalleryClosesOnItsSecondOpeningAndAfterAChoice) {
  for (int i = 0; i < TForm2::kGalleryPictureCount; ++i) form.ImageList2.push_back(GalleryPicture());
  form.ToolButton10Click();
  EXPECT_TRUE(form.GalleryOpen);
  form.ToolButton10Click();
  EXPECT_FALSE(form.GalleryOpen);

  form.Label27Click();
  form.ToolButton10Click();
  form.SelectItem(7);
  EXPECT_FALSE(form.GalleryOpen);
  const int index = PictureIndex();
  ASSERT_GE(index, 0);
  auto& picture = dynamic_cast<TRVGraphicItemInfo&>(Page().ItemAt(index));
  EXPECT_EQ(picture.VAlign, rvvaAbsTop);
  EXPECT_EQ(picture.Image->Width(), 90);
  EXPECT_EQ(picture.Image->Height(), 90);
  // A choice with the gallery closed inserts nothing.
  const int items = Page().CountItems();
  form.SelectItem(3);
  EXPECT_EQ(Page().CountItems(), items);
}

TEST_F(ShellTest, UndoAfterStartUpRemovesTheWelcomeTextAndRedoBringsItBack) {
  form.N32Click();
  EXPECT_EQ(PageText(), u"");
  form.N9Click();
  EXPECT_EQ(PageText(), u"welcome to apply Varnolt!");
}

TEST_F(ShellTest, UndoOnAJustClearedPageDoesNothing) {
  Page().InsertTextAtCaret(u"typed ");
  form.Label27Click();
  EXPECT_FALSE(Page().Modified());
  form.N32Click();
  form.N9Click();
  EXPECT_EQ(PageText(), u"");
}

TEST_F(ShellTest, ARightClickInAPagePopsUpTheContextMenuBesideIt) {
  form.Label24Click();
  auto& editor = Page();
  ASSERT_TRUE(editor.OnRVMouseDown);
  editor.OnRVMouseDown(TRVMouseButton::mbLeft, 10, 20);
  EXPECT_FALSE(form.EditorMenu.LastPopup());
  editor.OnRVMouseDown(TRVMouseButton::mbRight, 10, 20);
  EXPECT_EQ(form.EditorMenu.LastPopup(), (TPoint{257 + 156 + 10 + 35, 113 + 31 + 20 + 140}));
}

TEST_F(ShellTest, ContextMenuDeleteAndSelectAll) {
  form.N38Click();
  EXPECT_TRUE(Page().HasSelection());
  form.N37Click();
  EXPECT_EQ(Page().ItemTextAt(0), u"");
  EXPECT_EQ(form.StatusBar1.PanelText(1), u"Current page\uFF1APage1\u3000\u3000Clipboard\uFF1ANothing(empty)");
}

TEST_F(ShellTest, MenusSelectTabsAndWindowStates) {
  form.N10Click();
  EXPECT_EQ(form.PageControl1.ActivePageIndex(), 2);
  form.N8Click();
  EXPECT_EQ(form.PageControl1.ActivePageIndex(), 1);
  form.design1Click();
  EXPECT_EQ(form.PageControl1.ActivePageIndex(), 0);
  form.N17Click();
  EXPECT_EQ(form.Frame.State(), TWindowState::wsMaximized);
  form.N19Click();
  EXPECT_EQ(form.Frame.State(), TWindowState::wsMinimized);
  form.N18Click();
  EXPECT_EQ(form.Frame.State(), TWindowState::wsNormal);
}

TEST_F(ShellTest, HelpLinksAndTheAboutBoxOpenTheirAddressesThroughTheHost) {
  form.xxxx1Click();
  form.xxxxHomepage1Click();
  form.N12Click();
  EXPECT_EQ(host.aboutBoxes, std::vector<std::u16string>{u"About Varnolt"});
  TForm4 about(host);
  about.HomePageClick();
  about.MailClick();
  EXPECT_EQ(host.openedUrls, (std::vector<std::u16string>{
                                 u"https://varnolt.example/index.htm", u"https://varnolt.example/index.htm",
                                 u"https://varnolt.example/index.htm", u"mailto:contact@varnolt.example"}));
}

TEST_F(ShellTest, TheTrayShowsTheWindowAndItsExitShutsDown) {
  for (const auto& show : std::vector<std::function<void()>>{[&] { form.N25Click(); }, [&] { form.TrayIcon1DblClick(); }}) {
    form.Frame.SetVisible(false);
    show();
    EXPECT_TRUE(form.Frame.Visible());
  }
  form.Label24Click();
  form.N1Click();
  EXPECT_TRUE(form.Closed());
  EXPECT_TRUE(form.Terminated());
  EXPECT_FALSE(form.PageEditors[0]);
  EXPECT_FALSE(form.PageEditors[1]);
  // Out of the viewer chain: a later change of the clipboard is not shown.
  const auto status = form.StatusBar1.PanelText(1);
  clipboard.SetUnicodeText(u"after");
  EXPECT_EQ(form.StatusBar1.PanelText(1), status);
}

TEST_F(ShellTest, FileExitClosesWithoutEndingTheApplication) {
  form.N22Click();
  EXPECT_TRUE(form.Closed());
  EXPECT_FALSE(form.Terminated());
}

// The menu items forward to the office and web commands: each first asks
// for its file or address, and cancelled it changes nothing.
TEST_F(ShellTest, OfficeMenuItemsForwardToTheirCommands) {
  const std::u16string before = form.CurrentEditor().ItemTextAt(0);
  const std::size_t errorsBefore = host.errors.size();
  form.worddoc1Click();
  ASSERT_EQ(host.openRequests.size(), 1u);
  EXPECT_NE(host.openRequests.back().filter.find(u"word document(*.doc)"), std::u16string::npos);
  form.excel1Click();
  ASSERT_EQ(host.openRequests.size(), 2u);
  EXPECT_NE(host.openRequests.back().filter.find(u"excel file(*.xls)|*.xls"), std::u16string::npos);
  form.htmhtml1Click();
  EXPECT_EQ(host.inputBoxes, 1);
  form.WORDdoc2Click();
  ASSERT_EQ(host.saveRequests.size(), 1u);
  EXPECT_EQ(host.saveRequests.back().filter, u"microsoft office word format(*.doc)|*.doc");
  form.Excelxls1Click();
  ASSERT_EQ(host.saveRequests.size(), 2u);
  EXPECT_EQ(host.saveRequests.back().filter, u"microsoft office excel format(*.xls)|*.xls");
  EXPECT_EQ(host.errors.size(), errorsBefore);
  EXPECT_EQ(form.CurrentEditor().ItemTextAt(0), before);
}

// Closing asks only when a page holds content that no export has written
// since it last changed; "no" keeps the window and its pages.
TEST_F(ShellTest, ClosingAsksBeforeDiscardingWhatNoExportHasWritten) {
  test::ScratchDir folder;
  struct Case {
    const char* name;
    std::function<void(TForm2&, test::TestHost&)> before;
    bool asks;
  };
  auto type = [](TForm2& form, test::TestHost&) { form.CurrentEditor().InsertTextAtCaret(u"typed "); };
  auto exportRtf = [&folder](TForm2& form, test::TestHost& host) {
    host.saveAnswers.push_back(folder / "pages.rtf");
    form.Image6Click();
  };
  const std::vector<Case> cases = {
      {"the welcome text only", [](TForm2&, test::TestHost&) {}, false},
      {"typed", type, true},
      {"typed, then exported", [&](TForm2& f, test::TestHost& h) { type(f, h); exportRtf(f, h); }, false},
      {"typed, exported, typed again",
       [&](TForm2& f, test::TestHost& h) { type(f, h); exportRtf(f, h); type(f, h); }, true},
      {"typed, then the page cleared", [&](TForm2& f, test::TestHost& h) { type(f, h); f.Label27Click(); }, false},
      {"typed on a new page", [&](TForm2& f, test::TestHost& h) { f.Label24Click(); type(f, h); }, true},
  };
  for (const Case& c : cases) {
    for (const bool answer : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (answer ? ", yes" : ", no"));
      test::TestHost caseHost;
      MemoryClipboard caseClipboard;
      TForm2 caseForm(caseHost, caseClipboard);
      caseForm.Dispatch([&] { caseForm.FormShow(); });
      c.before(caseForm, caseHost);
      EXPECT_EQ(caseForm.HasUnexportedChanges(), c.asks);
      caseHost.confirmAnswers.push_back(answer);
      caseForm.N22Click();
      EXPECT_EQ(caseHost.questions.size(), c.asks ? 1u : 0u);
      EXPECT_EQ(caseForm.Closed(), answer || !c.asks);
      if (!caseForm.Closed()) {
        EXPECT_GT(caseForm.CurrentEditor().CountItems(), 0);
      }
    }
  }
  // The tray's exit asks the same, and "no" keeps the application running.
  type(form, host);
  form.N1Click();
  EXPECT_EQ(host.questions.size(), 1u);
  EXPECT_FALSE(form.Closed());
  EXPECT_FALSE(form.Terminated());
}

TEST_F(ShellTest, DialogsStartInTheDocumentsFolderThenWhereTheLastFileWas) {
  test::ScratchDir documents;
  test::ScratchDir other;
  test::ScopedEnvironment xdg("XDG_DOCUMENTS_DIR", documents.path().string());
  const auto rtf = other / "import.rtf";
  test::WriteFileBytes(rtf, "{\\rtf1 imported}");
  form.Label36Click();  // cancelled: the folder stays
  host.openAnswers.push_back(rtf);
  form.Label36Click();
  host.saveAnswers.push_back(documents / "sub.pdf");
  form.Image2Click();
  form.Image6Click();
  std::vector<std::filesystem::path> folders;
  for (const auto& request : host.openRequests) folders.push_back(request.initialDir);
  for (const auto& request : host.saveRequests) folders.push_back(request.initialDir);
  EXPECT_EQ(folders, (std::vector<std::filesystem::path>{documents.path(), documents.path(), other.path(),
                                                          documents.path()}));
  EXPECT_NE(PageText().find(u"imported"), std::u16string::npos);
}

TEST_F(ShellTest, TheDocumentsFolderFallsBackToHome) {
  test::ScratchDir home;
  test::ScopedEnvironment xdg("XDG_DOCUMENTS_DIR", std::nullopt);
  test::ScopedEnvironment homeVariable("HOME", home.path().string());
  EXPECT_EQ(form.DialogFolder(), home.path());
  std::filesystem::create_directory(home / "Documents");
  EXPECT_EQ(form.DialogFolder(), home / "Documents");
}

}  // namespace
}  // namespace varnolt
