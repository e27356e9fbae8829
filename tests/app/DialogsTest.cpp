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

TEST_F(DialogsTest, OptionsFieldsTakeOnlyDigits) {
  std::u16string kept;
  for (char16_t key : std::u16string(u"1a2-3 \b4\u0665")) {
    TForm3::Edit1KeyPress(key);
    if (key != 0) kept += key;
  }
  EXPECT_EQ(kept, u"1234");
  host.optionsScript = [&](TForm3& dialog) {
    dialog.Button2Click();
    EXPECT_TRUE(dialog.Closed());
  };
  form.OptionsEditClick();
  EXPECT_EQ(form.PageWidths[0], 495);
}

}  // namespace
}  // namespace varnolt
