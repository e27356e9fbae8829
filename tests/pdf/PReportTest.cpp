#include "pdf/PReport.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <filesystem>
#include <functional>

#include "pdf/PdfCanvas.h"
#include "platform/CodePage.h"
#include "tests/pdf/PdfTestHelpers.h"
#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using test::MessageOf;

constexpr LocalDateTime kCreationDate{2009, 6, 18, 18, 19, 25};
constexpr LocalDateTime kSaveMoment{2024, 1, 31, 12, 0, 0};

// One hidden page holding one layout panel holding one text frame, as the
// PDF export sets them up.
struct ExportPage {
  TPRPage page;
  TPRLayoutPanel panel;
  TPRText text;

  ExportPage() {
    page.SetVisible(false);
    panel.SetParent(&page);
    text.SetParent(&panel);
  }

  void Fit(int width, int height, int leftMargin, int topMargin, int frameWidth) {
    page.SetWidth(width);
    page.SetHeight(height);
    text.SetLineWidth(1);
    text.SetLineColor(clWhite);
    text.SetAlign(alTop);
    text.SetWordWrap(true);
    text.SetTextMarginTop(static_cast<std::uint32_t>(topMargin));
    text.SetTextMarginLeft(static_cast<std::uint32_t>(leftMargin));
    text.SetTextMarginRight(static_cast<std::uint32_t>(leftMargin));
    text.SetTextMarginBottom(static_cast<std::uint32_t>(topMargin));
    text.SetBounds(leftMargin, topMargin, frameWidth, height - 2 * topMargin);
    text.SetFontName(fnArial);
    text.SetFontSize(12);
    text.SetCharSpace(-2);
    text.SetLeading(12);
  }
};

std::string ContentsOfPage(TPReport& report, int pageIndex) {
  TPdfDoc& doc = *report.Document();
  auto* kids = doc.CurrentPages()->LookupArray(u"Kids");
  auto* page = dynamic_cast<TPdfDictionary*>(kids->GetItem(static_cast<std::size_t>(pageIndex)));
  return dynamic_cast<TPdfStream*>(page->Lookup(u"Contents"))->Data();
}

// The saved file, checked by the real readers.
std::string Closed(TPReport& report, const std::string& expectedText = "",
                   test::Spaces spaces = test::Spaces::kFolded) {
  ScopedClock clock(kSaveMoment);
  MemoryOutputStream stream;
  report.CloseDocument(stream);
  EXPECT_TRUE(test::IsReadablePdfWithText(stream.Bytes(), expectedText, spaces));
  return stream.Bytes();
}

TEST(PReportTest, TheExportFrameWritesTheKnownContentStream) {
  TPReport report;
  report.OpenDocument();
  ExportPage page;
  page.Fit(495, 614, 15, 15, 345);
  page.text.SetText(u"Hello\r\nWorld");
  EXPECT_EQ(page.text.BoundsRect(), (TRect{15, 15, 360, 599}));
  report.PrintPage(page.page);
  EXPECT_EQ(ContentsOfPage(report, 0),
            "/F0 10 Tf\n15 599 m\n359 599 l\n359 16 l\n15 16 l\n1 1 1 rg\n1 1 1 RG\n1 w\ns\n/F0 12 Tf\n0 0 0 rg\n"
            "-2 Tc\n12 TL\nBT\n30 573.8 Td\n<48656C6C6F> Tj\nT*\n<576F726C64> Tj\nET\n");
  EXPECT_EQ(page.text.StopIndex(), 12u);
  std::string file = Closed(report, "Hello\nWorld");
  EXPECT_NE(file.find("/MediaBox [0 0 495 614 ]"), std::string::npos);
}

TEST(PReportTest, AnEmptyPageOfTheDefaultReportIsTheKnownFile) {
  TPReport report;
  report.SetCreationDate(kCreationDate);
  report.OpenDocument();
  TPRPage page;
  page.SetWidth(596);
  page.SetHeight(842);
  report.PrintPage(page);
  EXPECT_EQ(report.PrintedPages(), 1);
  std::string file = Closed(report);
  ASSERT_EQ(file.size(), 992u);
  EXPECT_EQ(file.substr(111, 176),
            "2 0 obj\r\n<<\r\n/Producer (Varnolt 1.2)\r\n/Author ()\r\n/CreationDate (D:20090618181925)\r\n"
            "/Creator ()\r\n/Keywords ()\r\n/Subject ()\r\n/Title ()\r\n/ModDate (D:20240131120000)\r\n>>\r\n"
            "endobj\r\n");
  EXPECT_EQ(file.substr(917), "trailer\r\n<<\r\n/Size 7\r\n/Root 1 0 R\r\n/Info 2 0 R\r\n>>\r\nstartxref\r\n766\r\n%%EOF\r\n");
  EXPECT_FALSE(report.HasDocument());
}

TEST(PReportTest, CloseDocumentWritesTheFileNamed) {
  test::ScratchDir scratch;
  std::filesystem::path target = scratch / "caf\u00E9 report.pdf";
  TPReport report;
  report.SetFileName(u"");
  report.SetFileName(Utf8ToUtf16(target.string()));
  report.SetTitle(u"Quarterly \u6570\u5B57");
  report.SetViewerPreference({vpFitWindow, vpCenterWindow});
  report.OpenDocument();
  ExportPage page;
  page.Fit(400, 300, 20, 20, 360);
  page.text.SetCharSpace(0);
  page.text.SetText(u"Written to a file.");
  report.PrintPage(page.page);
  report.CloseDocument();
  EXPECT_FALSE(report.HasDocument());
  std::string file = test::ReadFileBytes(target);
  EXPECT_NE(file.find("/Title <FEFF0051007500610072007400650072006C0079002065705B57>"), std::string::npos);
  EXPECT_NE(file.find("/ViewerPreferences <<\r\n/FitWindow true\r\n/CenterWindow true\r\n>>"), std::string::npos);
  EXPECT_TRUE(test::PassesQpdfCheck(target));
  EXPECT_EQ(test::FoldedWhiteSpace(test::ExtractedText(target)), "Written to a file.");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()), {}), 2);  // the PDF and its .txt
}

TEST(PReportTest, AFailedCloseLeavesTheOldFileAndTheDocumentOpen) {
  test::ScratchDir scratch;
  std::filesystem::path target = scratch / "kept.pdf";
  test::WriteFileBytes(target, "old bytes");
  TPReport report;
  report.SetFileName(Utf8ToUtf16(target.string()));
  report.OpenDocument();
  // No page: the document cannot be saved.
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { report.CloseDocument(); }), "GetPage --the Page is nil");
  EXPECT_EQ(test::ReadFileBytes(target), "old bytes");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()), {}), 1);
  EXPECT_TRUE(report.HasDocument());
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { report.SetAuthor(u"x"); }), "SetAuthor --invalid operation.");

  report.SetFileName(Utf8ToUtf16((scratch / "missing" / "folder.pdf").string()));
  TPRPage page;
  report.PrintPage(page);
  EXPECT_THROW(report.CloseDocument(), Exception);
  EXPECT_TRUE(report.HasDocument());
  report.AbandonDocument();
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { report.CloseDocument(); }), "document is null..");
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { report.PrintPage(page); }), "PrintPage --document is null..");
}

struct GuardedCase {
  const char* message;
  std::function<void(TPReport&)> set;
};

TEST(PReportTest, PropertiesAreRefusedWhileADocumentIsOpen) {
  const GuardedCase cases[] = {
      {"SetAuthor --invalid operation.", [](TPReport& r) { r.SetAuthor(u"A"); }},
      {"SetCreationDate --invalid operation.", [](TPReport& r) { r.SetCreationDate(kCreationDate); }},
      {"SetCreator --invalid operation.", [](TPReport& r) { r.SetCreator(u"C"); }},
      {"SetKeyWords --invalid operation.", [](TPReport& r) { r.SetKeywords(u"K"); }},
      {"SetModDate --invalid operation.", [](TPReport& r) { r.SetModDate(kSaveMoment); }},
      {"SetSubject --invalid operation.", [](TPReport& r) { r.SetSubject(u"S"); }},
      {"SetTitle --invalid operation.", [](TPReport& r) { r.SetTitle(u"T"); }},
      {"SetPageLayout --invalid operation.", [](TPReport& r) { r.SetPageLayout(plOneColumn); }},
      {"SetPageMode --invalid operation.", [](TPReport& r) { r.SetPageMode(pmUseThumbs); }},
      {"SetNonFullScreenPageMode --invalid operation.", [](TPReport& r) { r.SetNonFullScreenPageMode(pmUseThumbs); }},
      {"SetUseOutlines --invalid operation.", [](TPReport& r) { r.SetUseOutlines(true); }},
      {"SetViewerPreference --invalid operation.", [](TPReport& r) { r.SetViewerPreference({vpHideMenubar}); }},
  };
  for (const GuardedCase& c : cases) {
    TPReport report;
    EXPECT_NO_THROW(c.set(report)) << c.message;
    report.OpenDocument();
    EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { c.set(report); }), c.message);
    TPRPage page;
    report.PrintPage(page);
    Closed(report);
    EXPECT_NO_THROW(c.set(report)) << c.message;
  }
  TPReport report;
  report.OpenDocument();
  EXPECT_NO_THROW(report.SetFileName(u"other.pdf"));
  EXPECT_NO_THROW(report.SetCompressionMethod(cmNone));
}

TEST(PReportTest, PropertiesReachTheDocument) {
  TPReport report;
  EXPECT_EQ(report.FileName(), u"default.pdf");
  EXPECT_EQ(report.ModDate(), TPReport::kZeroDate);
  report.SetNonFullScreenPageMode(pmFullScreen);
  EXPECT_EQ(report.NonFullScreenPageMode(), pmUseNone);
  report.SetNonFullScreenPageMode(pmUseOutlines);
  report.SetUseOutlines(true);
  report.SetPageMode(pmUseOutlines);
  report.SetPageLayout(plTwoColumnLeft);
  report.SetAuthor(u"Ann (Editor)");
  report.SetKeywords(u"a\\b");
  report.OpenDocument();
  ASSERT_NE(report.Document(), nullptr);
  EXPECT_NO_THROW(report.Document()->GetOutlineRoot());
  TPRPage page;
  report.PrintPage(page);
  std::string file = Closed(report);
  EXPECT_NE(file.find("/PageMode /UseOutlines\r\n/PageLayout /TwoColumnLeft\r\n/ViewerPreferences <<\r\n"
                      "/NonFullScreenPageMode /UseOutlines\r\n>>"),
            std::string::npos);
  EXPECT_NE(file.find("/Author (Ann \\(Editor\\))"), std::string::npos);
  EXPECT_NE(file.find("/Keywords (a\\\\b)"), std::string::npos);
}

TEST(PReportTest, TextIsSplitIntoLinesAndReadBackTrimmed) {
  const std::tuple<std::u16string, std::vector<std::u16string>, std::u16string> cases[] = {
      {u"", {}, u""},
      {u"one", {u"one"}, u"one"},
      {u"a\r\nb\rc\nd", {u"a", u"b", u"c", u"d"}, u"a\r\nb\r\nc\r\nd"},
      {u"a\r\n", {u"a"}, u"a"},
      {u"\r\n", {u""}, u""},
      {u"a\n\nb", {u"a", u"", u"b"}, u"a\r\n\r\nb"},
      {u"a\r\r\nb\n\rc", {u"a", u"", u"b", u"", u"c"}, u"a\r\n\r\nb\r\n\r\nc"},
      {u"  \t lead and trail \r\n \r\n", {u"  \t lead and trail ", u" "}, u"lead and trail"},
      {std::u16string(u"cut\0here", 8), {u"cut"}, u"cut"},
  };
  for (const auto& [text, lines, readBack] : cases) {
    TPRText frame;
    frame.SetText(text);
    EXPECT_EQ(frame.Lines(), lines);
    EXPECT_EQ(frame.Text(), readBack);
  }
  TPRText frame;
  frame.SetText(u"first");
  frame.SetLines({u"x", u"y"});
  EXPECT_EQ(frame.Text(), u"x\r\ny");
}

TEST(PReportTest, LabelSettersKeepTheirRules) {
  TPRText frame;
  EXPECT_EQ(frame.FontName(), fnGothic);
  EXPECT_EQ(frame.FontSize(), 9);
  EXPECT_EQ(frame.FillColor(), clNone);
  EXPECT_EQ(frame.LineStyle(), psClear);
  EXPECT_EQ(frame.Leading(), 12);
  EXPECT_EQ(frame.Width(), 100);
  EXPECT_EQ(frame.Height(), 30);
  frame.SetFontColor(0x0FFFFFFF);
  EXPECT_EQ(MessageOf<EPdfInvalidValue>([&] { frame.SetFontColor(0x10000000); }),
            "the color you selected is not allowed.");
  EXPECT_EQ(frame.FontColor(), 0x0FFFFFFF);
  frame.SetFontColor(-16777201);  // a system colour
  EXPECT_EQ(frame.FontColor(), -16777201);
  frame.SetFontSize(0);
  frame.SetFontSize(-3);
  EXPECT_EQ(frame.FontSize(), 9);
  frame.SetLeading(-1);
  frame.SetLeading(0);
  EXPECT_EQ(frame.Leading(), 0);
  frame.SetCharSpace(400);  // checked only when printing
  EXPECT_EQ(frame.CharSpace(), 400);
}

TEST(PReportTest, FontNamesFollowNameWeightAndSlant) {
  const std::tuple<TPRFontName, bool, bool, std::u16string_view> cases[] = {
      {fnFixedWidth, false, false, u"FixedWidth"},       {fnArial, false, false, u"Arial"},
      {fnTimesRoman, true, false, u"Times-Bold"},        {fnArial, false, true, u"Arial-Italic"},
      {fnFixedWidth, true, true, u"FixedWidth-BoldItalic"}, {fnGothic, false, false, u"Gothic"},
      {fnMincyo, true, false, u"Mincyo,Bold"},           {fnPGothic, false, true, u"PGothic,Italic"},
      {fnPMincyo, true, true, u"PMincyo,BoldItalic"},    {fnTimesRoman, true, true, u"Times-BoldItalic"},
  };
  for (const auto& [name, bold, italic, expected] : cases) {
    TPRText frame;
    frame.SetFontName(name);
    frame.SetFontBold(bold);
    frame.SetFontItalic(italic);
    EXPECT_EQ(frame.PdfFontName(), expected);
  }
}

TEST(PReportTest, ComponentsAcceptOnlyTheirParents) {
  TPRPage page;
  TPRLayoutPanel panel;
  TPRText text;
  EXPECT_EQ(MessageOf<Exception>([&] { text.SetParent(&page); }), "this component must set on TPRPanel");
  EXPECT_EQ(text.Parent(), nullptr);
  text.SetParent(&panel);
  EXPECT_EQ(MessageOf<Exception>([&] { panel.SetParent(&text); }), "TPRPage can not set on TPRText");
  panel.SetParent(&page);
  TPRLayoutPanel inner;
  inner.SetParent(&panel);
  EXPECT_EQ(MessageOf<Exception>([&] { panel.SetParent(&inner); }), "A control cannot have itself as its parent");
  EXPECT_EQ(inner.GetPage(), &page);
  EXPECT_EQ(text.GetPage(), &page);
  EXPECT_NE(text.GetPageDocument(), nullptr);
  EXPECT_TRUE(text.GetPageDocument()->GetCanvas().Silent());
  {
    TPRText shortLived;
    shortLived.SetParent(&inner);
    EXPECT_EQ(inner.Children().size(), 1u);
  }
  EXPECT_TRUE(inner.Children().empty());
}

TEST(PReportTest, MarginsAndAlignmentPlaceAlignedChildren) {
  TPRPage page;
  page.SetWidth(400);
  page.SetMarginLeft(250);  // not below half the width: ignored
  page.SetMarginTop(-5);    // negative: ignored
  EXPECT_EQ(page.MarginLeft(), 32);
  EXPECT_EQ(page.MarginTop(), 32);
  TPRLayoutPanel panel;
  panel.SetParent(&page);
  panel.SetAlign(alTop);
  EXPECT_EQ(panel.BoundsRect(), (TRect{32, 32, 368, 132}));
  page.SetMarginLeft(10);
  page.SetMarginRight(199);
  EXPECT_EQ(panel.BoundsRect(), (TRect{10, 32, 201, 132}));
  TPRLayoutPanel client;
  client.SetParent(&page);
  client.SetAlign(alClient);
  EXPECT_EQ(client.BoundsRect(), (TRect{10, 132, 201, 810}));
  // Explicit bounds stand until the parent aligns again.
  panel.SetBounds(0, 0, 50, 50);
  EXPECT_EQ(panel.BoundsRect(), (TRect{0, 0, 50, 50}));
}

struct OutlineCase {
  const char* name;
  std::function<void(TPRText&)> setUp;
  std::string outline;  // the operators before the font selection
};

TEST(PReportTest, OutlinesFollowLineStyleFillAndSize) {
  const std::string box = "10 90 m\n49 90 l\n49 71 l\n10 71 l\n";
  const OutlineCase cases[] = {
      {"defaults", [](TPRText&) {}, box + "1 1 1 rg\n0 0 0 RG\n1 w\ns\n"},
      {"solid", [](TPRText& t) { t.SetLineStyle(psSolid); }, "[] 0 d\n" + box + "1 1 1 rg\n0 0 0 RG\n1 w\ns\n"},
      {"dash", [](TPRText& t) { t.SetLineStyle(psDash); }, "[16 8 ] 0 d\n" + box + "1 1 1 rg\n0 0 0 RG\n1 w\ns\n"},
      {"dot", [](TPRText& t) { t.SetLineStyle(psDot); }, "[3 ] 0 d\n" + box + "1 1 1 rg\n0 0 0 RG\n1 w\ns\n"},
      {"dash dot", [](TPRText& t) { t.SetLineStyle(psDashDot); },
       "[8 7 2 7 ] 0 d\n" + box + "1 1 1 rg\n0 0 0 RG\n1 w\ns\n"},
      {"dash dot dot", [](TPRText& t) { t.SetLineStyle(psDashDotDot); },
       "[8 4 2 4 2 4 ] 0 d\n" + box + "1 1 1 rg\n0 0 0 RG\n1 w\ns\n"},
      {"no line colour", [](TPRText& t) { t.SetLineColor(clNone); }, box + "1 1 1 rg\ns\n"},
      {"fill, clear line", [](TPRText& t) { t.SetFillColor(0x0000FF); }, box + "1 0 0 rg\n0 0 0 RG\n1 w\nh\nf\n"},
      {"fill and solid line",
       [](TPRText& t) {
         t.SetFillColor(0x00FF00);
         t.SetLineStyle(psInsideFrame);
         t.SetLineWidth(2.5f);
       },
       "[] 0 d\n" + box + "0 1 0 rg\n0 0 0 RG\n2.5 w\nb\n"},
      {"one unit high",
       [](TPRText& t) {
         t.SetHeight(1);
         t.SetFillColor(0x00FF00);
         t.SetLineStyle(psSolid);
       },
       "[] 0 d\n10 90 m\n49 90 l\n0 1 0 rg\n0 0 0 RG\n1 w\nS\nn\n"},
      {"one unit wide", [](TPRText& t) { t.SetWidth(1); }, "10 90 m\n10 71 l\n1 1 1 rg\n0 0 0 RG\n1 w\nS\nn\n"},
  };
  for (const OutlineCase& c : cases) {
    TPReport report;
    report.OpenDocument();
    TPRPage page;
    page.SetHeight(100);
    TPRPanel panel;
    panel.SetParent(&page);
    TPRText text;
    text.SetParent(&panel);
    text.SetBounds(10, 10, 40, 20);
    text.SetFontName(fnArial);
    c.setUp(text);
    report.PrintPage(page);
    std::string contents = ContentsOfPage(report, 0);
    std::size_t font = contents.find("/F0 9 Tf\n");
    ASSERT_NE(font, std::string::npos) << c.name;
    EXPECT_EQ(contents.substr(10, font - 10), c.outline) << c.name;
  }
}

TEST(PReportTest, TinyAndUnprintableItemsPrintNothing) {
  TPReport report;
  report.OpenDocument();
  TPRPage page;
  TPRPanel panel;
  panel.SetParent(&page);
  TPRText tiny;
  tiny.SetParent(&panel);
  tiny.SetBounds(5, 5, 1, 1);
  tiny.SetText(u"never");
  TPRText hidden;
  hidden.SetParent(&panel);
  hidden.SetPrintable(false);
  hidden.SetText(u"never");
  report.PrintPage(page);
  EXPECT_EQ(ContentsOfPage(report, 0), "/F0 10 Tf\n");
}

TEST(PReportTest, BlankTextPrintsAnEmptyTextObject) {
  TPReport report;
  report.OpenDocument();
  ExportPage page;
  page.Fit(495, 614, 15, 15, 345);
  page.text.SetText(u" \r\n\t\r\n  ");
  report.PrintPage(page.page);
  std::string contents = ContentsOfPage(report, 0);
  EXPECT_EQ(contents.substr(contents.find("BT")), "BT\n30 573.8 Td\nET\n");
}

TEST(PReportTest, SpacingOutOfRangeFailsThePrint) {
  TPReport report;
  report.OpenDocument();
  ExportPage page;
  page.Fit(495, 614, 15, 15, 345);
  page.text.SetCharSpace(-31);
  EXPECT_EQ(MessageOf<EPdfInvalidValue>([&] { report.PrintPage(page.page); }), "SetCharSpace --invalid char space");
}

TEST(PReportTest, HandlersRunAroundThePrint) {
  TPReport report;
  report.OpenDocument();
  ExportPage page;
  page.Fit(200, 200, 10, 10, 180);
  std::vector<std::string> calls;
  page.page.OnPrintPage = [&](TPRPage& sender, TPRCanvas& canvas) {
    EXPECT_EQ(&sender, &page.page);
    EXPECT_NE(canvas.PdfCanvas(), nullptr);
    calls.push_back("page");
  };
  page.panel.BeforePrint = [&](TPRLayoutPanel&, TPRCanvas&, const TRect& rect) {
    EXPECT_EQ(rect, page.panel.BoundsRect());
    calls.push_back("before");
  };
  page.panel.AfterPrint = [&](TPRLayoutPanel&, TPRCanvas& canvas, const TRect&) {
    canvas.PdfCanvas()->SetPenWidth(3);
    calls.push_back("after");
  };
  report.PrintPage(page.page);
  EXPECT_EQ(calls, (std::vector<std::string>{"page", "before", "after"}));
  std::string contents = ContentsOfPage(report, 0);
  EXPECT_EQ(contents.substr(contents.size() - 7), "ET\n3 w\n");
}

TEST(PReportTest, AFrameCutsLongTextAndALaterPrintContinuesIt) {
  std::u16string text;
  std::string expected;
  for (int line = 1; line <= 60; ++line) {
    std::string words = "Line " + std::to_string(line) + " of the long text";
    text += std::u16string(words.begin(), words.end()) + u"\r\n";
    expected += words + "\n";
  }
  TPReport report;
  report.OpenDocument();
  ExportPage page;
  page.Fit(300, 200, 10, 10, 280);
  page.text.SetText(text);
  const std::size_t length = page.text.Text().size();
  report.PrintPage(page.page);
  // 180 units less the margins: 13 lines of leading 12 fit above bottom + 12.
  EXPECT_EQ(ContentsOfPage(report, 0).find("Line 14"), std::string::npos);
  EXPECT_LT(page.text.StopIndex(), length);
  int pages = 1;
  while (page.text.StopIndex() < length && pages < 10) {
    page.text.SetStartIndex(page.text.StopIndex());
    report.PrintPage(page.page);
    ++pages;
  }
  EXPECT_EQ(pages, 5);
  EXPECT_EQ(report.PrintedPages(), 5);
  Closed(report, expected, test::Spaces::kIgnored);
}

TEST(PReportTest, FinishedPagesThatCannotBeReadBackFailTheCloseAndWriteNothing) {
  test::ScratchDir folder;
  const std::string pagesPath = (folder / "pages").string();
  const int descriptor = ::open(pagesPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(descriptor, 0);
  TPReport report;
  report.SetFileName(Utf8ToUtf16((folder / "out.pdf").string()));
  report.OpenDocument();
  report.Document()->SetSpillFile(std::make_unique<TPdfSpillFile>(descriptor, 0));
  ExportPage page;
  page.Fit(300, 200, 10, 10, 280);
  page.text.SetText(u"Some text on every page");
  for (int i = 0; i < 3; ++i) report.PrintPage(page.page);
  ASSERT_GT(std::filesystem::file_size(pagesPath), 0u) << "two finished pages went out";
  std::filesystem::resize_file(pagesPath, 0);

  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { report.CloseDocument(); }),
            "Read --the temporary file of finished pages cannot be read: the file ended early.");
  EXPECT_FALSE(std::filesystem::exists(folder / "out.pdf"));
}

}  // namespace
}  // namespace varnolt
