#include <gtest/gtest.h>

#include "pdf/PReport.h"
#include "pdf/PdfCanvas.h"
#include "pdf/PdfJpFonts.h"
#include "platform/CodePage.h"
#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

// Chinese, with Greek, Cyrillic and kana, which the same CMap reaches.
const std::u16string kChinese =
    u"\u4E2D\u6587\u6392\u7248\u6D4B\u8BD5\uFF1A\u6BCF\u4E2A\u5B57\u90FD\u8981\u80FD\u8BFB\u51FA\u6765\u3002\r\n"
    u"\u0391\u03B2\u03B3 \u0416\u0438\u0437\u043D\u044C \u3072\u3089\u304C\u306A \u30AB\u30BF\u30AB\u30CA\r\n"
    u"\u6570\u5B57 2024 \u5E74\u3001ASCII \u4E5F\u53EF\u4EE5\u3002";

// What decides between a standard font and the composite Gothic for a page.
TEST(PdfJpFontsReportTest, TextWithoutAWinAnsiCodeIsTold) {
  const struct {
    std::u16string text;
    bool lacking;
  } cases[] = {
      {u"", false},
      {u"Caf\u00E9 \u20AC5 \u2022 \u00FF\r\n\tback\\slash ?", false},
      {u"\u0152uvre \u2122 \u0178", false},
      {u"\u4E2D", true},
      {u"Latin, then \u0100", true},
      {u"\u0391\u03B2", true},
      {u"\u0416", true},
      {u"\u3072", true},
      {u"\U00020000", true},
      {u"\uFFFD", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HasNonWinAnsiCharacter(c.text), c.lacking) << Utf16ToUtf8(c.text);
  }
}

TEST(PdfJpFontsReportTest, AFrameInProportionalGothicPrintsChineseThatReadersGiveBack) {
  TPReport report;
  report.OpenDocument();
  TPRPage page;
  TPRLayoutPanel panel;
  TPRText text;
  page.SetVisible(false);
  panel.SetParent(&page);
  text.SetParent(&panel);
  page.SetWidth(300);
  page.SetHeight(400);
  text.SetAlign(alTop);
  text.SetBounds(15, 15, 270, 370);
  text.SetFontName(fnPGothic);
  text.SetFontSize(12);
  text.SetCharSpace(-2);
  text.SetLeading(12);
  text.SetText(kChinese);
  report.PrintPage(page);
  EXPECT_EQ(text.StopIndex(), text.Text().size());

  TPdfFont& font = report.Document()->GetFont(u"PGothic");
  EXPECT_NE(dynamic_cast<TPdfPGothic*>(&font), nullptr);
  test::ScratchDir scratch;
  std::filesystem::path target = scratch / "chinese.pdf";
  report.SetFileName(Utf8ToUtf16(target.string()));
  report.CloseDocument();
  std::string file = test::ReadFileBytes(target);
  EXPECT_NE(file.find("/Subtype /Type0\r\n/Encoding /UniGB-UCS2-H"), std::string::npos);
  EXPECT_NE(file.find("<4E2D6587"), std::string::npos);
  EXPECT_TRUE(test::PassesQpdfCheck(target));
  // The frame is narrow: lines break inside words, so only the characters count.
  EXPECT_EQ(test::WithoutWhiteSpace(test::ExtractedText(target)), test::WithoutWhiteSpace(Utf16ToUtf8(kChinese)));
}

}  // namespace
}  // namespace varnolt
