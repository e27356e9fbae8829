#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "tests/app/TestHost.h"
#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

class PdfExportTest : public ::testing::Test {
 protected:
  test::TestHost host;
  MemoryClipboard clipboard;
  TForm2 form{host, clipboard};
  test::ScratchDir dir;

  void SetPageText(int index, std::u16string_view text) {
    auto& editor = *form.PageEditors.at(static_cast<size_t>(index));
    editor.ClearDocument();
    editor.InsertTextAtCaret(text);
  }
  bool Export(const std::filesystem::path& target) {
    host.saveAnswers.push_back(target);
    return form.Dispatch([&] { form.Image2Click(); });
  }
  static int PdfPageCount(const std::string& pdf) {
    int count = 0;
    for (size_t at = pdf.find("/Type /Page\r\n"); at != std::string::npos; at = pdf.find("/Type /Page\r\n", at + 1)) {
      ++count;
    }
    return count;
  }
};

TEST_F(PdfExportTest, EmptyPagesCountButMakeNoPdfPage) {
  SetPageText(0, u"first page");
  form.Label24Click();
  form.Label24Click();
  SetPageText(2, u"third page");
  std::vector<std::u16string> percents;
  form.Progress.percentLabel.Subscribe([&] {
    if (!form.Progress.percentLabel.Caption().empty()) percents.push_back(form.Progress.percentLabel.Caption());
  });

  ASSERT_TRUE(Export(dir / "out.pdf"));
  const auto pdf = test::ReadFileBytes(dir / "out.pdf");
  EXPECT_EQ(PdfPageCount(pdf), 2);
  EXPECT_TRUE(test::PassesQpdfCheck(dir / "out.pdf"));
  EXPECT_EQ(test::WithoutWhiteSpace(test::ExtractedText(dir / "out.pdf")), "firstpagethirdpage");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"Total 3 Pages has been found!\rCreate Success" + (dir / "out.pdf").u16string() + u"!");
  EXPECT_EQ(host.messages[0].caption, u"INFOMATION");
  EXPECT_EQ(host.messages[0].kind, TMessageKind::kInformation);
  EXPECT_EQ(percents, (std::vector<std::u16string>{u"33%", u"67%", u"100%"}));
  EXPECT_EQ(host.saveRequests.at(0).title, u"export");
  EXPECT_EQ(host.saveRequests.at(0).filter, u"Portable Document Format(*.pdf)|*.pdf");
  EXPECT_EQ(form.PReport1.FileName(), (dir / "out.pdf").u16string());
  EXPECT_FALSE(clipboard.UnicodeText().has_value());
  // The report's stored settings reach the file.
  EXPECT_NE(pdf.find("/FitWindow true"), std::string::npos);
  EXPECT_NE(pdf.find("/CenterWindow true"), std::string::npos);
}

TEST_F(PdfExportTest, EachExportIsDatedWhenItIsMade) {
  SetPageText(0, u"dated");
  const struct {
    LocalDateTime moment;
    bool formatted;
    std::string date;
  } cases[] = {
      {{2026, 12, 11, 1, 2, 3}, false, "/CreationDate (D:20261211010203)"},
      {{2027, 1, 31, 23, 59, 58}, false, "/CreationDate (D:20270131235958)"},
      {{2026, 12, 11, 4, 5, 6}, true, "/CreationDate (D:20261211040506)"},
  };
  for (const auto& c : cases) {
    ScopedClock clock(c.moment);
    host.saveAnswers.push_back(dir / "dated.pdf");
    ASSERT_TRUE(form.Dispatch([&] { c.formatted ? form.FormattedPdfExport() : form.Image2Click(); }));
    EXPECT_NE(test::ReadFileBytes(dir / "dated.pdf").find(c.date), std::string::npos) << c.date;
  }
}

TEST_F(PdfExportTest, TheFrameIsThePageLessBothMarginsInArialTwelve) {
  ScopedClock clock(LocalDateTime{2026, 1, 2, 3, 4, 5});
  SetPageText(0, u"Hello\r\nWorld");
  ASSERT_TRUE(Export(dir / "frame.pdf"));
  const auto pdf = test::ReadFileBytes(dir / "frame.pdf");
  const std::string stream =
      "/F0 10 Tf\n15 599 m\n479 599 l\n479 16 l\n15 16 l\n1 1 1 rg\n1 1 1 RG\n1 w\ns\n"
      "/F0 12 Tf\n0 0 0 rg\n-2 Tc\n2 Tw\n12 TL\nBT\n30 573.8 Td\n<48656C6C6F> Tj\nT*\n<576F726C64> Tj\nET\n";
  EXPECT_NE(pdf.find(stream), std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont /Helvetica"), std::string::npos);
  EXPECT_NE(pdf.find("/MediaBox [0 0 495 614 ]"), std::string::npos);
}

TEST_F(PdfExportTest, LongTextGoesOnOverFurtherPdfPagesOfTheSameSize) {
  std::u16string text;
  for (int line = 1; line <= 150; ++line) text += u"line " + ToU16(std::to_string(line)) + u"\r\n";
  SetPageText(0, text);
  ASSERT_TRUE(Export(dir / "long.pdf"));
  const auto pdf = test::ReadFileBytes(dir / "long.pdf");
  // 584 points less the margins hold 46 lines of leading 12.
  EXPECT_EQ(PdfPageCount(pdf), 4);
  EXPECT_TRUE(test::PassesQpdfCheck(dir / "long.pdf"));
  const std::string extracted = test::WithoutWhiteSpace(test::ExtractedText(dir / "long.pdf"));
  std::string expected;
  for (int line = 1; line <= 150; ++line) expected += "line" + std::to_string(line);
  EXPECT_EQ(extracted, expected);
  EXPECT_EQ(host.messages.at(0).text.substr(0, 29), u"Total 1 Pages has been found!");
}

TEST_F(PdfExportTest, TheWordsOfALongPageComeBackWholeAndApart) {
  // Words of many lengths, so that line ends fall in every part of a word.
  const char* const words[] = {"alpha", "be", "gamma", "delta", "epsilonic", "zeta", "eta", "thetas", "iota",
                               "kappa", "lambdaic", "mu", "nu", "xi", "omicron", "pi", "rhoda", "sigmatic"};
  std::string expected;
  std::u16string text;
  for (int i = 0; i < 2000; ++i) {
    const std::string word = words[(i * 7 + i / 3) % std::size(words)] + std::to_string(i % 97);
    expected += (i > 0 ? " " : "") + word;
    text += (i > 0 ? u" " : u"") + ToU16(word);
  }
  SetPageText(0, text);
  ASSERT_TRUE(Export(dir / "words.pdf"));
  EXPECT_TRUE(test::PassesQpdfCheck(dir / "words.pdf"));
  EXPECT_GT(PdfPageCount(test::ReadFileBytes(dir / "words.pdf")), 1);
  // pdftotext as users run it, reading order rebuilt from positions: word
  // gaps narrower than its threshold glue words together.
  auto extracted = test::RunCommand({"pdftotext", "-enc", "UTF-8", (dir / "words.pdf").string(), "-"});
  ASSERT_EQ(extracted.exitCode, 0) << extracted.output;
  EXPECT_TRUE(test::FoldedWhiteSpace(extracted.output) == expected) << extracted.output.substr(0, 300);
}

TEST_F(PdfExportTest, WhenEveryPageIsEmptyOneBlankPageOfTheFirstPagesSizeIsWritten) {
  form.PageWidths[0] = 300;
  form.PageHeights[0] = 400;
  form.Label24Click();
  ASSERT_TRUE(Export(dir / "blank.pdf"));
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(host.messages.at(0).text.substr(0, 29), u"Total 2 Pages has been found!");
  ASSERT_TRUE(test::PassesQpdfCheck(dir / "blank.pdf"));
  const auto pdf = test::ReadFileBytes(dir / "blank.pdf");
  EXPECT_EQ(PdfPageCount(pdf), 1);
  EXPECT_NE(pdf.find("/MediaBox [0 0 300 400 ]"), std::string::npos);
}

TEST_F(PdfExportTest, WhenTheFileCannotBeWrittenNothingIsLeftAndTheDocumentStaysOpen) {
  SetPageText(0, u"some text");
  EXPECT_FALSE(Export(dir / "missing-folder" / "new.pdf"));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_TRUE(host.errors[0].starts_with(u"Cannot create file")) << Utf16ToUtf8(host.errors[0]);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(dir / "missing-folder"));
  // The document stays open: the guarded setters refuse until the next export.
  host.propertiesScript = [&](TForm1& dialog) {
    dialog.Edit1.SetText(u"report");
    dialog.Edit2.SetText(u"T");
    form.Dispatch([&] { dialog.Button3Click(); });
  };
  form.PropertiesEditClick();
  EXPECT_EQ(host.errors.back(), u"SetTitle --invalid operation.");
  EXPECT_EQ(form.PReport1.FileName(), u"report.pdf");
  EXPECT_EQ(form.TitleLabel.Caption(), u"Title\uFF1Anone");

  ASSERT_TRUE(Export(dir / "ok.pdf"));
  EXPECT_TRUE(test::PassesQpdfCheck(dir / "ok.pdf"));
}

TEST_F(PdfExportTest, CancellingTheSaveDialogWritesNothing) {
  SetPageText(0, u"text");
  host.saveAnswers.push_back(std::nullopt);
  form.Image2Click();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(form.PReport1.HasDocument());
}

TEST_F(PdfExportTest, PlainTextExportWritesEveryPageAsUtf8WithLfAndFormFeedsAndSumsUp) {
  SetPageText(0, u"caf\u00E9\r\nline two");
  form.Label24Click();
  form.Label24Click();
  SetPageText(2, u"\u4E2D\u6587");
  ASSERT_TRUE(form.Dispatch([&] { form.ExportPlainText(dir / "out.txt"); }));
  EXPECT_EQ(test::ReadFileBytes(dir / "out.txt"), "caf\xC3\xA9\nline two\f\f\xE4\xB8\xAD\xE6\x96\x87\f");
  EXPECT_EQ(host.MessageTexts(), (std::vector<std::u16string>{u"Total 3 pages has been found!\rCreate success" +
                                                               (dir / "out.txt").u16string() + u"!"}));
}

// The text goes to the file in chunks; wherever a chunk ends (inside a
// CR LF, inside a surrogate pair, inside a code unit) the file holds the
// bytes that converting the whole page text at once gives.
TEST_F(PdfExportTest, PlainTextExportGivesTheSameBytesForAnyChunkSize) {
  struct Case {
    const char* name;
    std::u16string text;
    std::u16string rawTail;  // appended to the last item as it stands: a CR no insertion keeps
    std::string file;
  };
  const Case cases[] = {
      {"line ends", u"a\r\nb\r\n\r\nc", u"", "a\nb\n\nc\f"},
      {"surrogate pairs", u"x\U0001F600y\U0001F601", u"", "x\xF0\x9F\x98\x80y\xF0\x9F\x98\x81\f"},
      {"lone CR inside and at the end", u"a", u"\rb\r", "a\nb\n\f"},
      {"lone high surrogate at the end", u"a", u"\xD83D", "a\xEF\xBF\xBD\f"},
      {"lone high surrogate before a CR LF", u"a", u"\xD83D\r\n", "a\xEF\xBF\xBD\n\f"},
      {"empty page", u"", u"", "\f"},
  };
  for (const auto& c : cases) {
    SetPageText(0, c.text);
    if (!c.rawTail.empty()) {
      auto& document = form.PageEditors.at(0)->RVData();
      TCustomRVItemInfo& last = document.ItemAt(document.CountItems() - 1);
      ASSERT_TRUE(last.UnicodeText()) << c.name;
      last.ItemText += Utf16ToBytes(c.rawTail);
    }
    for (const std::size_t chunkBytes : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4},
                                         std::size_t{5}, std::size_t{6}, std::size_t{7}, TForm2::kTextChunkBytes}) {
      const auto target = dir / "out.txt";
      ASSERT_TRUE(form.Dispatch([&] { form.ExportPlainText(target, chunkBytes); }));
      EXPECT_EQ(test::ReadFileBytes(target), c.file) << c.name << ", chunks of " << chunkBytes;
    }
  }
}

// A write that fails while a page's text is still being extracted fails the
// export and leaves no file: the file size limit makes the writes fail.
TEST_F(PdfExportTest, PlainTextExportThatCannotWriteLeavesNoFile) {
  SetPageText(0, std::u16string(100000, u'x'));
  const auto target = dir / "limited.txt";
  const auto exportWithLimit = [&] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const bool done = form.Dispatch([&] { form.ExportPlainText(target, 64); });
    const bool named = host.errors.size() == 1 && host.errors[0].find(u"limited.txt") != std::u16string::npos;
    return !done && named && host.messages.empty() && !std::filesystem::exists(target);
  };
  EXPECT_EXIT(std::exit(exportWithLimit() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace varnolt
