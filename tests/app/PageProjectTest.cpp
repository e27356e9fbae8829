#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/Unit2.h"
#include "platform/CodePage.h"
#include "tests/app/TestHost.h"

namespace varnolt {
namespace {

class PageProjectTest : public ::testing::Test {
 protected:
  test::TestHost host;
  MemoryClipboard clipboard;
  TForm2 form{host, clipboard};

  std::vector<std::u16string> TabCaptions() const {
    std::vector<std::u16string> captions;
    for (const auto& tab : form.PageLabels) captions.push_back(tab ? tab->Caption() : u"<none>");
    return captions;
  }
  std::u16string PageText(int index) {
    auto& editor = *form.PageEditors.at(static_cast<size_t>(index));
    std::u16string text;
    for (int i = 0; i < editor.CountItems(); ++i) text += editor.ItemTextAt(i);
    return text;
  }
};

TEST_F(PageProjectTest, StartsWithOnePageAndShowsTheWelcomeTextWhenShown) {
  EXPECT_EQ(form.PageSlotCount(), 1);
  EXPECT_EQ(TabCaptions(), (std::vector<std::u16string>{u"Page 1"}));
  EXPECT_EQ(form.PageLabels[0]->Name(), "pagelabel0");
  EXPECT_EQ(form.PageLabels[0]->FontStyle(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(form.PageLabels[0]->FontColor(), clRed);
  EXPECT_EQ(form.PageWidths[0], 495);
  EXPECT_EQ(form.PageHeights[0], 614);
  EXPECT_EQ(form.PageLeftMargins[0], 15);
  EXPECT_EQ(form.PageTopMargins[0], 15);
  EXPECT_EQ(form.Label19.Caption(), u"Current page\uFF1APage1");
  EXPECT_EQ(form.Label14.Caption(), u"Width\uFF1A495");
  EXPECT_EQ(form.Label15.Caption(), u"Height\uFF1A614");
  EXPECT_EQ(form.Label20.Caption(), u"Left margin\uFF1A15");
  EXPECT_EQ(form.Label21.Caption(), u"Top margin\uFF1A15");
  EXPECT_EQ(form.Label27.Caption(), u"Clear the current page(Page1)");
  EXPECT_EQ(PageText(0), u"");

  form.Dispatch([&] { form.FormShow(); });
  auto& editor = *form.PageEditors[0];
  ASSERT_EQ(editor.CountItems(), 1);
  EXPECT_EQ(editor.ItemTextAt(0), u"welcome to apply Varnolt!");
  EXPECT_EQ(editor.ItemAt(0).StyleNo, 0);
  EXPECT_EQ(editor.ItemAt(0).ParaNo, 0);
  EXPECT_EQ(form.PReport1.FileName(), u"");
  // Its insertion is one undo step that marks the page modified.
  EXPECT_TRUE(editor.Modified());
  editor.UndoLastGroup();
  EXPECT_EQ(PageText(0), u"");
}

TEST_F(PageProjectTest, NewPagesAreNumberedByTheirSlotAndDeletionLeavesGaps) {
  form.Label24Click();
  form.Label24Click();
  EXPECT_EQ(TabCaptions(), (std::vector<std::u16string>{u"Page 1", u"Page2", u"Page3"}));
  EXPECT_EQ(form.CurrentPage, 2);
  EXPECT_EQ(form.PageLabels[1]->FontStyle(), TFontStyles{fsUnderline});
  EXPECT_EQ(form.PageLabels[1]->FontColor(), clBlue);
  EXPECT_EQ(form.PageLabels[2]->FontStyle(), TFontStyles{fsBold});
  EXPECT_EQ(form.PageLabels[2]->FontColor(), clRed);
  EXPECT_EQ(form.PageLabels[2]->Tag(), 2);

  form.ButtonClick(1, TMouseButton::mbLeft);
  EXPECT_EQ(form.CurrentPage, 1);
  form.Label28Click();
  EXPECT_EQ(form.PageSlotCount(), 3);
  EXPECT_EQ(form.PageEditors[1], nullptr);
  EXPECT_EQ(form.PageWidths[1], 0);
  EXPECT_EQ(form.PageTopMargins[1], 0);
  EXPECT_EQ(form.CurrentPage, 2);
  EXPECT_EQ(form.PageLabels[2]->FontStyle(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(TabCaptions(), (std::vector<std::u16string>{u"Page 1", u"<none>", u"Page3"}));
  EXPECT_EQ(form.Label19.Caption(), u"Current page\uFF1APage3");
  EXPECT_EQ(form.Label27.Caption(), u"Clear the current page(Page3)");
  EXPECT_EQ(form.ExistingPageCount(), 2);

  form.Label24Click();
  EXPECT_EQ(form.PageSlotCount(), 4);
  EXPECT_EQ(form.PageLabels[3]->Caption(), u"Page4");
  EXPECT_EQ(form.PageLabels[3]->Name(), "pagelabel3");
}

TEST_F(PageProjectTest, DeletionKeepsTheDeletedPagesGeometryTexts) {
  form.Label24Click();
  form.PageWidths[1] = 700;
  form.ButtonClick(1, TMouseButton::mbLeft);
  EXPECT_EQ(form.Label14.Caption(), u"Width\uFF1A700");
  form.ButtonClick(0, TMouseButton::mbLeft);
  form.Label28Click();
  // Page 2 becomes current, yet the width still shows page 1's value.
  EXPECT_EQ(form.CurrentPage, 1);
  EXPECT_EQ(form.Label14.Caption(), u"Width\uFF1A495");
  EXPECT_EQ(form.Label19.Caption(), u"Current page\uFF1APage2");
}

TEST_F(PageProjectTest, TheLastPageCannotBeDeletedAndTheTwoMenusSayItDifferently) {
  form.Label28Click();
  form.N3Click();
  EXPECT_EQ(host.MessageTexts(), (std::vector<std::u16string>{u"final page!", u"Final page\uFF01"}));
  EXPECT_EQ(form.ExistingPageCount(), 1);

  form.Label24Click();
  form.ButtonClick(1, TMouseButton::mbRight);
  EXPECT_TRUE(form.PageTabMenuPopup.has_value());
  form.N3Click();
  EXPECT_EQ(form.CurrentPage, 0);
  EXPECT_EQ(form.PageEditors[1], nullptr);
  host.messages.clear();
  form.N3Click();
  EXPECT_EQ(host.MessageTexts(), (std::vector<std::u16string>{u"Final page\uFF01"}));
}

TEST_F(PageProjectTest, TheTabMenuPopsUpAtThePressedTabAsTheWindowLaidItOut) {
  form.Label24Click();
  form.WindowOrigin = TPoint{100, 50};
  form.RightPanelLeft = 170;
  form.PageBarClientHeight = 40;
  form.PageLabels[0]->SetPosition(0, 1);
  form.PageLabels[1]->SetPosition(62, 1);
  const std::pair<int, TPoint> cases[] = {{0, TPoint{100 + 0 + 170, 50 + 1 + 120}},
                                          {1, TPoint{100 + 62 + 170, 50 + 1 + 120}}};
  for (const auto& [tab, popup] : cases) {
    form.PageTabMenuPopup.reset();
    form.ButtonClick(tab, TMouseButton::mbRight);
    EXPECT_EQ(form.PageTabMenuPopup, popup) << "tab " << tab;
  }
  form.PageTabMenuPopup.reset();
  form.ButtonClick(0, TMouseButton::mbLeft);
  EXPECT_FALSE(form.PageTabMenuPopup.has_value());
}

TEST_F(PageProjectTest, ClearingEmptiesThePageButKeepsItsPlaceAndGeometry) {
  form.Dispatch([&] { form.FormShow(); });
  form.PageWidths[0] = 600;
  form.Label27Click();
  EXPECT_EQ(PageText(0), u"");
  EXPECT_FALSE(form.PageEditors[0]->Modified());
  EXPECT_EQ(form.PageWidths[0], 600);
  EXPECT_EQ(form.PageSlotCount(), 1);
}

// Another program's RTF, as small as RTF gets or complete with a font table:
// the paste keeps its bold and italic runs either way.
TEST_F(PageProjectTest, PastedRtfFromAnotherProgramKeepsBoldAndItalic) {
  const char* const offered[] = {
      "{\\rtf1 {\\b Bold} and {\\i italic} pasted}",
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 {\\b Bold} and {\\i italic} pasted\\par}",
  };
  for (const char* rtf : offered) {
    form.Label27Click();
    // As the desktop clipboard offers it: text, and RTF beside it.
    clipboard.Open();
    clipboard.SetUnicodeText(u"Bold and italic pasted");
    clipboard.SetData(clipboard.RegisterFormat(kRichTextFormatName), rtf);
    clipboard.Close();
    form.Label25Click();
    auto& editor = form.CurrentEditor();
    std::u16string text;
    std::map<std::u16string, TFontStyles> styles;
    for (int i = 0; i < editor.CountItems(); ++i) {
      text += editor.ItemTextAt(i);
      styles[editor.ItemTextAt(i)] = form.RVStyle1.TextStyleAt(editor.ItemAt(i).StyleNo).Style;
    }
    EXPECT_EQ(text, u"Bold and italic pasted") << rtf;
    EXPECT_TRUE(styles[u"Bold"].Contains(fsBold)) << rtf;
    EXPECT_FALSE(styles[u"Bold"].Contains(fsItalic)) << rtf;
    EXPECT_TRUE(styles[u"italic"].Contains(fsItalic)) << rtf;
    EXPECT_FALSE(styles[u" and "].Contains(fsBold)) << rtf;
  }
}

TEST_F(PageProjectTest, ClipboardStatusFollowsTheClipboard) {
  const std::u16string prefix = u"Current page\uFF1APage1\u3000\u3000Clipboard\uFF1A";
  EXPECT_EQ(form.StatusBar1.PanelText(1), prefix + u"Nothing(empty)");
  clipboard.SetUnicodeText(u"copied \u4E2D");
  EXPECT_EQ(form.StatusBar1.PanelText(1), prefix + u"copied \u4E2D");
  clipboard.Empty();
  clipboard.SetData(kCfBitmap, std::string(40, '\0'));
  EXPECT_EQ(form.StatusBar1.PanelText(1), prefix + u"(Picture)");
  form.Label26Click();
  EXPECT_EQ(form.StatusBar1.PanelText(1), prefix + u"Nothing(empty)");
  clipboard.SetData(clipboard.RegisterFormat("Rich Text Format"), "{\\rtf1}");
  EXPECT_EQ(form.StatusBar1.PanelText(1), prefix);
}

// A clipboard that counts how often its blocks are read.
class CountingClipboard : public MemoryClipboard {
 public:
  std::optional<std::string> GetData(ClipboardFormat format) const override {
    ++reads;
    return MemoryClipboard::GetData(format);
  }
  mutable int reads = 0;
};

// The clipboard may hold a whole imported file: the status reads it only when
// the panel is shown, once per change, and keeps it when the window leaves the chain.
TEST(ClipboardStatusTest, ReadsTheClipboardOnlyWhenShown) {
  test::TestHost host;
  CountingClipboard clipboard;
  auto form = std::make_unique<TForm2>(host, clipboard);
  const std::u16string text(100000, u'x');
  clipboard.SetUnicodeText(text);
  form->Label24Click();
  EXPECT_EQ(clipboard.reads, 0);
  const std::u16string expected = u"Current page\uFF1APage2\u3000\u3000Clipboard\uFF1A" + text;
  EXPECT_EQ(form->StatusBar1.PanelText(1), expected);
  EXPECT_EQ(form->StatusBar1.PanelText(1), expected);
  EXPECT_EQ(clipboard.reads, 1);
  clipboard.SetUnicodeText(u"second");
  form->FormClose();
  clipboard.SetUnicodeText(u"after closing");
  EXPECT_EQ(form->StatusBar1.PanelText(1), u"Current page\uFF1APage2\u3000\u3000Clipboard\uFF1Asecond");
}

// A front end drops a page's view when told, and the editor must still be
// there then: the view draws from it until it goes.
TEST_F(PageProjectTest, TheFrontEndHearsOfFocusAndOfEachEditorBeforeItIsFreed) {
  std::vector<std::string> heard;
  form.OnFocusPageEditor = [&](int page) { heard.push_back("focus " + std::to_string(page)); };
  form.OnFreePageEditor = [&](int page) {
    const auto& editor = form.PageEditors.at(static_cast<size_t>(page));
    heard.push_back("free " + std::to_string(page) + (editor ? "" : " (already gone)"));
    if (editor) {
      EXPECT_EQ(editor->CountItems(), 0) << "cleared first";
    }
  };
  const std::vector<std::pair<std::function<void()>, std::vector<std::string>>> steps = {
      {[&] { form.Label24Click(); }, {"focus 1"}},
      {[&] { form.Label24Click(); }, {"focus 2"}},
      {[&] { form.ButtonClick(0, TMouseButton::mbLeft); }, {"focus 0"}},
      {[&] { form.ButtonClick(1, TMouseButton::mbRight); }, {"focus 1"}},
      {[&] { form.N3Click(); }, {"free 1"}},
      // A deleted slot is not selected, and the page that became current is not focused.
      {[&] { form.ButtonClick(1, TMouseButton::mbLeft); }, {}},
      {[&] { form.Label28Click(); }, {"free 2"}},
      {[&] { form.Label28Click(); }, {}},
      {[&] { form.FormClose(); }, {"free 0"}},
      {[&] { form.FormClose(); }, {}},
  };
  for (const auto& [step, expected] : steps) {
    heard.clear();
    step();
    EXPECT_EQ(heard, expected);
  }
}

}  // namespace
}  // namespace varnolt
