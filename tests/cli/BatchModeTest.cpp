#include <gtest/gtest.h>

#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

const std::filesystem::path kSamples = VARNOLT_SAMPLES;

test::SplitCommandResult Varnolt(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), VARNOLT_EXECUTABLE);
  return test::RunCommandSplit(arguments);
}


TEST(BatchModeTest, ConvertsTextFilesIntoOnePdfWithTheGivenPropertiesAndGeometry) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "a.txt", "Caf\xE9 au lait \x80 3\r\nsecond line");
  test::WriteFileBytes(dir / "b.txt", "Grande \xC3\xA9tape");
  const auto out = dir / "out.pdf";
  auto result = Varnolt({(dir / "a.txt").string(), (dir / "b.txt").string(), "-o", out.string(), "--title", "T",
                         "--author", "A", "--page-size", "595,842", "--margins", "36,36"});
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput, "Total 2 Pages has been found! Create Success" + out.string() + "!\n");
  EXPECT_EQ(result.standardError, "");
  ASSERT_TRUE(test::PassesQpdfCheck(out));
  EXPECT_EQ(test::WithoutWhiteSpace(test::ExtractedText(out)),
            "Caf\xC3\xA9" "aulait\xE2\x82\xAC" "3secondlineGrande\xC3\xA9tape");
  const auto pdf = test::ReadFileBytes(out);
  EXPECT_NE(pdf.find("/Title (T)"), std::string::npos);
  EXPECT_NE(pdf.find("/Author (A)"), std::string::npos);
  EXPECT_NE(pdf.find("/MediaBox [0 0 595 842 ]"), std::string::npos);
  // A left margin of 36 puts the text frame's outline there.
  EXPECT_NE(pdf.find("36 806 m"), std::string::npos);
}

TEST(BatchModeTest, TheBundledSamplesConvertAndTheLongOneNeedsSeveralPdfPages) {
  test::ScratchDir dir;
  const auto out = dir / "samples.pdf";
  auto result = Varnolt({(kSamples / "cafe-menu-cp1252.txt").string(), (kSamples / "long-report.txt").string(), "-o",
                         out.string(), "-q"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_TRUE(test::PassesQpdfCheck(out));
  auto info = test::RunCommand({"pdfinfo", out.string()});
  EXPECT_NE(info.output.find("Pages:"), std::string::npos);
  const auto pages = std::stoi(info.output.substr(info.output.find("Pages:") + 6));
  EXPECT_GT(pages, 4);
  const auto text = test::WithoutWhiteSpace(test::ExtractedText(out));
  EXPECT_NE(text.find("Cr\xC3\xA8mebr\xC3\xBBl\xC3\xA9" "e"), std::string::npos);
  EXPECT_NE(text.find("6,50\xE2\x82\xAC"), std::string::npos);
  EXPECT_NE(text.find("90.Theseget"), std::string::npos) << "the last paragraph of the long sample is missing";
}

TEST(BatchModeTest, PagesWithTextBeyondWinAnsiAreSetInTheGothicFont) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "latin.txt", "plain Latin text \xE2\x82\xAC");
  test::WriteFileBytes(dir / "chinese.txt", "\xE4\xB8\xAD\xE6\x96\x87\xE6\xB5\x8B\xE8\xAF\x95 ok");
  const auto out = dir / "mixed.pdf";
  auto result = Varnolt({(dir / "latin.txt").string(), (dir / "chinese.txt").string(), "-o", out.string()});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  ASSERT_TRUE(test::PassesQpdfCheck(out));
  const auto pdf = test::ReadFileBytes(out);
  EXPECT_NE(pdf.find("/Subtype /Type0"), std::string::npos);
  EXPECT_NE(pdf.find("/Encoding /UniGB-UCS2-H"), std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont /Helvetica"), std::string::npos);
  // The Chinese page writes two bytes per character, the Latin page one.
  EXPECT_NE(pdf.find("<4E2D6587"), std::string::npos);
  EXPECT_NE(pdf.find("80> Tj"), std::string::npos);
  EXPECT_EQ(test::WithoutWhiteSpace(test::ExtractedText(out)),
            "plainLatintext\xE2\x82\xAC\xE4\xB8\xAD\xE6\x96\x87\xE6\xB5\x8B\xE8\xAF\x95ok");
}

TEST(BatchModeTest, PlainTextOutputHoldsEveryPage) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "a.txt", "one\r\ntwo");
  test::WriteFileBytes(dir / "b.txt", "\xE4\xB8\xAD");
  auto result = Varnolt({(dir / "a.txt").string(), (dir / "b.txt").string(), "-o", (dir / "out.txt").string()});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput, "");
  EXPECT_EQ(test::ReadFileBytes(dir / "out.txt"), "one\r\ntwo\f\xE4\xB8\xAD\f");
}

TEST(BatchModeTest, UsageErrorsExitTwoWithOneLine) {
  const std::vector<std::vector<std::string>> cases = {
      {"a.txt"},
      {"-o", "x.pdf"},
      {"a.txt", "-o", "x.pdf", "--margins", "1"},
      {"a.txt", "-o", "x.pdf", "--bogus"},
      {"a.doc2", "-o", "x.pdf"},
      {"a.txt", "-o", "x.png"},
  };
  for (const auto& arguments : cases) {
    auto result = Varnolt(arguments);
    EXPECT_EQ(result.exitCode, 2) << arguments.back();
    EXPECT_EQ(result.standardOutput, "");
    ASSERT_FALSE(result.standardError.empty());
    EXPECT_EQ(result.standardError.find('\n'), result.standardError.size() - 1) << result.standardError;
  }
}

TEST(BatchModeTest, AFailedCommandExitsOneWithItsMessageAndWritesNothing) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "empty.txt", "");
  auto result = Varnolt({(dir / "empty.txt").string(), "-o", (dir / "out.pdf").string()});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError.rfind("varnolt: Unable to create file mapping. ", 0), 0u) << result.standardError;
  EXPECT_FALSE(std::filesystem::exists(dir / "out.pdf"));

  auto missing = Varnolt({(dir / "missing.txt").string(), "-o", (dir / "out.pdf").string()});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.standardError.find("missing.txt"), std::string::npos);

  // Text ends at its first zero byte, so this page stays empty.
  test::WriteFileBytes(dir / "blank.txt", std::string("\0text", 5));
  auto blank = Varnolt({(dir / "blank.txt").string(), "-o", (dir / "out.pdf").string()});
  EXPECT_EQ(blank.exitCode, 1);
  EXPECT_EQ(blank.standardError, "varnolt: GetPage --the Page is nil\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "out.pdf"));
}

TEST(BatchModeTest, HelpAndVersion) {
  auto help = Varnolt({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.standardOutput.rfind("usage: varnolt INPUT... -o OUTPUT", 0), 0u);
  auto version = Varnolt({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.standardOutput, "varnolt 1.2\n");
}

}  // namespace
}  // namespace varnolt
