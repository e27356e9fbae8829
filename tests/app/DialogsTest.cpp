#include <gtest/gtest.h>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "tests/app/TestHost.h"

namespace varnolt {
namespace {

class DialogsTest : public ::testing::Test {
 protected:
  test::TestHost host;
  MemoryClipboard clipboard;
  TForm2 form{host, clipboard};

  void SaveOptions(std::u16string width, std::u16string height, std::u16string left, std::u16string top) {
    host.optionsScript = [&](TForm3& dialog) {
      dialog.Edit1.SetText(width);
      dialog.Edit2.SetText(height);
      dialog.Edit3.SetText(left);
      dialog.Edit4.SetText(top);
      form.Dispatch([&] { dialog.Button1Click(); });
    };
    form.OptionsEditClick();
  }
};

TEST_F(DialogsTest, PropertiesGoToTheReportAndTheLabels) {
  struct Case {
    std::u16string typed;
    std::u16string fileName;
  };
  const Case cases[] = {{u"report", u"report.pdf"}, {u"report.pdf", u"report.pdf"}, {u"Report.PDF", u"Report.pdf"},
                        {u"a.pdf.txt", u"a.pdf.txt.pdf"}};
  for (const auto& c : cases) {
    host.propertiesScript = [&](TForm1& dialog) {
      EXPECT_EQ(dialog.Caption, u"Properties");
      EXPECT_TRUE(dialog.Edit1.Text().empty());
      dialog.Edit1.SetText(c.typed);
      dialog.Edit2.SetText(u"The title");
      dialog.Edit3.SetText(u"");
      dialog.Edit4.SetText(u"An author");
      dialog.Memo1.SetText(u"one\r\ntwo");
      dialog.Button3Click();
      EXPECT_TRUE(dialog.Closed());
    };
    form.PropertiesEditClick();
    EXPECT_EQ(form.PReport1.FileName(), c.fileName);
    EXPECT_EQ(form.FileNameLabel.Caption(), u"Filename\uFF1A" + c.fileName);
  }
  EXPECT_EQ(form.PReport1.Title(), u"The title");
  EXPECT_EQ(form.PReport1.Subject(), u"");
  EXPECT_EQ(form.PReport1.Author(), u"An author");
  EXPECT_EQ(form.PReport1.Keywords(), u"one\r\ntwo");
  EXPECT_EQ(form.TitleLabel.Caption(), u"Title\uFF1AThe title");
  EXPECT_EQ(form.SubjectLabel.Caption(), u"Subject\uFF1A");
  EXPECT_EQ(form.AuthorLabel.Caption(), u"Author\uFF1AAn author");
  EXPECT_EQ(form.KeywordLabel.Caption(), u"Keyword\uFF1Aone\r\ntwo");
}

TEST_F(DialogsTest, PropertiesNeedAFileNameAndResetEmptiesTheFields) {
  EXPECT_EQ(form.FileNameLabel.Caption(), u"Filename\uFF1Anone");
  host.propertiesScript = [&](TForm1& dialog) {
    dialog.Edit2.SetText(u"T");
    dialog.Button3Click();
    EXPECT_FALSE(dialog.Closed());
    dialog.Edit1.SetText(u"x");
    dialog.Memo1.SetText(u"k");
    dialog.Button4Click();
    EXPECT_TRUE(dialog.Edit1.Text().empty());
    EXPECT_TRUE(dialog.Edit2.Text().empty());
    EXPECT_TRUE(dialog.Memo1.Text().empty());
  };
  form.PropertiesEditClick();
  EXPECT_EQ(host.MessageTexts(), (std::vector<std::u16string>{u"Filename is none"}));
  EXPECT_EQ(form.PReport1.Title(), u"");
  EXPECT_EQ(form.PReport1.FileName(), u"default.pdf");
}

TEST_F(DialogsTest, OptionsChangeOnlyTheCurrentPage) {
  form.Label24Click();
  form.Label24Click();
  SaveOptions(u"0595", u"842", u"36", u"0");
  EXPECT_EQ(form.PageWidths[2], 595);
  EXPECT_EQ(form.PageHeights[2], 842);
  EXPECT_EQ(form.PageLeftMargins[2], 36);
  EXPECT_EQ(form.PageTopMargins[2], 0);
  EXPECT_EQ(form.Label14.Caption(), u"Width\uFF1A0595");
  EXPECT_EQ(form.Label15.Caption(), u"Height\uFF1A842");
  EXPECT_EQ(form.Label19.Caption(), u"The current page\uFF1APage3");
  EXPECT_EQ(form.Label20.Caption(), u"Left margin\uFF1A36");
  EXPECT_EQ(form.Label21.Caption(), u"Top margin\uFF1A0");
  form.ButtonClick(0, TMouseButton::mbLeft);
  EXPECT_EQ(form.Label14.Caption(), u"Width\uFF1A495");
  EXPECT_EQ(form.Label19.Caption(), u"Current page\uFF1APage1");
  EXPECT_EQ(form.PageWidths[0], 495);
}

TEST_F(DialogsTest, OptionsRefuseEmptyFieldsAndStopAtABadNumber) {
  SaveOptions(u"600", u"", u"10", u"10");
  EXPECT_EQ(host.MessageTexts(), (std::vector<std::u16string>{u"Please enter a number"}));
  EXPECT_EQ(form.PageWidths[0], 495);

  SaveOptions(u"600", u"700", u"99999999999", u"10");
  EXPECT_EQ(host.errors, (std::vector<std::u16string>{u"'99999999999' is not a valid integer value"}));
  EXPECT_EQ(form.PageWidths[0], 600);
  EXPECT_EQ(form.PageHeights[0], 700);
  EXPECT_EQ(form.PageLeftMargins[0], 15);
  EXPECT_EQ(form.Label14.Caption(), u"Width\uFF1A495");
}

TEST_F(DialogsTest, OptionsRefuseAGeometryThatLeavesTheTextNoRoomAndSayWhatFits) {
  // The export's text area is the page side less four times its margin;
  // "w" is the widest character of the text at 8.664 points.
  struct Case {
    const char* name;
    const char16_t* width;
    const char16_t* height;
    const char16_t* left;
    const char16_t* top;
    std::u16string refusal;  // empty: accepted
  };
  const Case cases[] = {
      {"widest character just fits", u"495", u"614", u"121", u"15", u""},
      {"widest character does not fit", u"495", u"614", u"122", u"15",
       u"The text frame leaves its text 7 points wide, less than its widest character (9 points). On a page 495 points "
       u"wide a left margin of at most 121 fits."},
      {"margins past the middle", u"495", u"614", u"300", u"300",
       u"The text frame leaves its text no room, less than its widest character (9 points). On a page 495 points wide a "
       u"left margin of at most 121 fits."},
      {"one line just fits", u"495", u"614", u"15", u"150", u""},
      {"lower than one line", u"495", u"614", u"15", u"151",
       u"The text frame leaves its text 10 points high, less than one line (12 points). On a page 614 points high a top "
       u"margin of at most 150 fits."},
      {"a page of nothing", u"0", u"0", u"15", u"15",
       u"The text frame leaves its text no room, less than its widest character (9 points). A page at least 69 points "
       u"wide fits with a left margin of 15."},
      {"the largest PDF page", u"14400", u"14400", u"15", u"15", u""},
      {"larger than a PDF page", u"14401", u"800", u"15", u"15",
       u"A page of 14401 x 800 points is too large: a PDF page fits at most 14400 x 14400."},
  };
  for (const Case& c : cases) {
    form.PageEditors.at(0)->ClearDocument();
    form.PageEditors.at(0)->InsertTextAtCaret(u"Hello world");
    form.PageWidths[0] = 495;
    form.PageLeftMargins[0] = 15;
    host.messages.clear();
    form.Label14.SetCaption(u"before");
    bool closed = false;
    host.optionsScript = [&](TForm3& dialog) {
      dialog.Edit1.SetText(c.width);
      dialog.Edit2.SetText(c.height);
      dialog.Edit3.SetText(c.left);
      dialog.Edit4.SetText(c.top);
      form.Dispatch([&] { dialog.Button1Click(); });
      closed = dialog.Closed();
    };
    form.OptionsEditClick();
    if (c.refusal.empty()) {
      EXPECT_TRUE(host.messages.empty()) << c.name;
      EXPECT_TRUE(closed) << c.name;
      EXPECT_EQ(form.PageWidths[0], StrToInt(c.width)) << c.name;
      EXPECT_EQ(form.PageLeftMargins[0], StrToInt(c.left)) << c.name;
      continue;
    }
    ASSERT_EQ(host.MessageTexts(), std::vector<std::u16string>{c.refusal}) << c.name;
    EXPECT_EQ(host.messages[0].kind, TMessageKind::kWarning) << c.name;
    EXPECT_FALSE(closed) << c.name;
    EXPECT_EQ(form.PageWidths[0], 495) << c.name;
    EXPECT_EQ(form.PageLeftMargins[0], 15) << c.name;
    EXPECT_EQ(form.Label14.Caption(), u"before") << c.name;
  }
}

TEST_F(DialogsTest, TheWidestCharacterIsMeasuredInTheFontTheExportPicks) {
  struct Case {
    const char16_t* text;
    float widest;
  };
  // An empty page has no character; Chinese text is set in the Gothic font,
  // whose full-width characters are 12 points at size 12.
  const Case cases[] = {{u"", 0}, {u"iii", 2.664f}, {u"iWi", 11.328f}, {u"\u4E2D\u6587", 12}};
  for (const Case& c : cases) {
    form.PageEditors.at(0)->ClearDocument();
    form.PageEditors.at(0)->InsertTextAtCaret(c.text);
    const TTextFrameNeeds needs = form.ExportFrameNeeds(0);
    EXPECT_FLOAT_EQ(needs.widestCharacter, c.widest);
    EXPECT_FLOAT_EQ(needs.lineHeight, 12);
  }
}

// Typed characters other than digits are dropped; the keys that correct a
// field or leave it (Backspace, Tab, Delete, Return) pass.
TEST_F(DialogsTest, OptionsFieldsTakeOnlyDigitsAndTheControlKeys) {
  std::u16string kept;
  for (char16_t key : std::u16string(u"1a2-3 \b4\u0665\t\x7F\r")) {
    TForm3::Edit1KeyPress(key);
    if (key != 0) kept += key;
  }
  EXPECT_EQ(kept, u"123\b4\t\x7F\r");
  host.optionsScript = [&](TForm3& dialog) {
    dialog.Button2Click();
    EXPECT_TRUE(dialog.Closed());
  };
  form.OptionsEditClick();
  EXPECT_EQ(form.PageWidths[0], 495);
}

// The dialog opens with the current page's values, so changing one of them
// is all a person has to do.
TEST_F(DialogsTest, OptionsOpenWithTheCurrentPagesValues) {
  form.Label24Click();
  SaveOptions(u"300", u"400", u"20", u"25");
  form.ButtonClick(0, TMouseButton::mbLeft);
  const std::vector<std::pair<int, std::vector<std::u16string>>> pages = {
      {0, {u"495", u"614", u"15", u"15"}}, {1, {u"300", u"400", u"20", u"25"}}};
  for (const auto& [page, values] : pages) {
    form.ButtonClick(page, TMouseButton::mbLeft);
    std::vector<std::u16string> shown;
    host.optionsScript = [&](TForm3& dialog) {
      for (const TEdit* field : {&dialog.Edit1, &dialog.Edit2, &dialog.Edit3, &dialog.Edit4}) {
        shown.push_back(field->Text());
      }
      dialog.Edit2.SetText(u"500");
      dialog.Button1Click();
      EXPECT_TRUE(dialog.Closed());
    };
    form.OptionsEditClick();
    EXPECT_EQ(shown, values) << page;
    EXPECT_TRUE(host.messages.empty()) << page;
    EXPECT_EQ(form.PageHeights.at(static_cast<size_t>(page)), 500) << page;
    EXPECT_EQ(form.PageWidths.at(static_cast<size_t>(page)), StrToInt(values[0])) << page;
  }
}

}  // namespace
}  // namespace varnolt
