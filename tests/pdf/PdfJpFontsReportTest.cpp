#include <gtest/gtest.h>

#include "pdf/PReport.h"
#include "pdf/PdfCanvas.h"
#include "pdf/PdfJpFonts.h"
#include "platform/CodePage.h"
#include "tests/pdf/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

// Chinese, with Greek, Cyrillic and kana, which the same CMap reaches.
const std::u16string kChinese =
    u"\u4E2D\u6587\u6392\u7248\u6D4B\u8BD5\uFF1A\u6BCF\u4E2A\u5B57\u90FD\u8981\u80FD\u8BFB\u51FA\u6765\u3002\r\n"
    u"\u0391\u03B2\u03B3 \u0416\u0438\u0437\u043D\u044C \u3072\u3089\u304C\u306A \u30AB\u30BF\u30AB\u30CA\r\n"
    u"\u6570\u5B57 2024 \u5E74\u3001ASCII \u4E5F\u53EF\u4EE5\u3002";

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
