#include <gtest/gtest.h>

#include "tests/cli/VarnoltProcess.h"
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
                         "--author", "A", "--page-size", "595,842", "--margins", "36,36", "--plain-pdf"});
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
  auto result =
      Varnolt({(dir / "latin.txt").string(), (dir / "chinese.txt").string(), "-o", out.string(), "--plain-pdf"});
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

TEST(BatchModeTest, PlainTextOutputHoldsEveryPageWithLfLineEndsAndSumsUp) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "a.txt", "one\r\ntwo");
  test::WriteFileBytes(dir / "b.txt", "\xE4\xB8\xAD");
  test::WriteFileBytes(dir / "c.txt", std::string("\xFF\xFEU\0T\0F\0-\0\x31\0\x36\0", 14));
  const auto out = dir / "out.txt";
  auto result = Varnolt({(dir / "a.txt").string(), (dir / "b.txt").string(), (dir / "c.txt").string(), "-o",
                         out.string()});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput, "Total 3 pages has been found! Create success" + out.string() + "!\n");
  EXPECT_EQ(result.standardError, "");
  EXPECT_EQ(test::ReadFileBytes(out), "one\ntwo\f\xE4\xB8\xAD\fUTF-16\f");
}

// The RTF file is read and the text written a chunk at a time; an input of
// many chunks, with characters beyond the 16-bit range on every line,
// arrives whole.
TEST(BatchModeTest, AnRtfFileOfManyChunksArrivesWholeInTheTextFile) {
  test::ScratchDir dir;
  std::string rtf = "{\\rtf1\\ansi ";
  std::string text;
  for (int line = 0; line < 100000; ++line) {
    if (line > 0) text += '\n';
    rtf += "line " + std::to_string(line) + " \\u-10179?\\u-8704? end\\par\r\n";
    text += "line " + std::to_string(line) + " \xF0\x9F\x98\x80 end";
  }
  rtf += "}";
  ASSERT_GT(rtf.size(), std::size_t{3} << 20);
  test::WriteFileBytes(dir / "long.rtf", rtf);
  const auto out = dir / "out.txt";
  auto result = Varnolt({(dir / "long.rtf").string(), "-o", out.string(), "-q"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_TRUE(test::ReadFileBytes(out) == text + "\f") << "the text differs";
}

TEST(BatchModeTest, UsageErrorsExitTwoWithOneLine) {
  const std::vector<std::vector<std::string>> cases = {
      {"a.txt"},
      {"-o", "x.pdf"},
      {"a.txt", "-o", "x.pdf", "--margins", "1"},
      {"a.txt", "-o", "x.pdf", "--margins=1"},
      {"a.txt", "-o", "x.pdf", "--bogus"},
      {"a.txt", "-o", "x.pdf", "--bogus=1"},
      {"a.doc2", "-o", "x.pdf"},
      {"a.txt", "-o", "x.png"},
      {"a.txt", "-o", "x.pdf", "-o", "y.pdf"},
      {"a.txt", "-o", "--title", "T"},
      {"a.txt", "--", "-o", "x.pdf"},
  };
  for (const auto& arguments : cases) {
    auto result = Varnolt(arguments);
    EXPECT_EQ(result.exitCode, 2) << testing::PrintToString(arguments);
    EXPECT_EQ(result.standardOutput, "");
    ASSERT_FALSE(result.standardError.empty());
    EXPECT_EQ(result.standardError.find('\n'), result.standardError.size() - 1) << result.standardError;
  }
  EXPECT_EQ(Varnolt({"a.txt", "-o", "x.pdf", "-o", "y.pdf"}).standardError,
            "varnolt: -o given twice (see varnolt --help)\n");
  EXPECT_EQ(Varnolt({"a.txt", "-o", "--title", "T"}).standardError,
            "varnolt: -o needs the output file, not the option --title (see varnolt --help)\n");
}

// One test of what each import's result means for the run: content that is
// complete exits 0 (warnings may be printed), content lost exits 1 and
// writes nothing, and every line names its file.
TEST(BatchModeTest, EachImportsResultDecidesTheExitStatus) {
  struct Case {
    std::string name;
    std::string bytes;
    int exitCode;
    std::string message;  // after "varnolt: <file>: "; empty: no line at all
  };
  const Case cases[] = {
      {"empty.txt", "", 0, "Unable to create file mapping. The file is empty."},
      {"empty.rtf", "", 0, "The file is empty."},
      {"zero.txt", std::string("\0text", 5), 0, ""},
      {"whole.rtf", "{\\rtf1 Hello world.\\par}", 0, ""},
      {"truncated.rtf", "{\\rtf1 Hello world.\\par More text", 0, "the data ends inside 1 open group"},
      {"cut.rtf", "{\\rtf1 Hello {\\b world.\\par {\\i More", 0, "the data ends inside 3 open groups"},
      {"badhex.rtf", "{\\rtf1 Hello \\'zz}", 1, "reading stopped at byte 16: \\' is not followed by two hexadecimal digits"},
  };
  for (const auto& c : cases) {
    test::ScratchDir dir;
    test::WriteFileBytes(dir / "ok.txt", "first page");
    test::WriteFileBytes(dir / c.name, c.bytes);
    const auto out = dir / "out.pdf";
    auto result = Varnolt({(dir / "ok.txt").string(), (dir / c.name).string(), "-o", out.string(), "-q"});
    EXPECT_EQ(result.exitCode, c.exitCode) << c.name << ": " << result.standardError;
    const std::string line = c.message.empty() ? "" : "varnolt: " + (dir / c.name).string() + ": " + c.message + "\n";
    EXPECT_EQ(result.standardError, line) << c.name;
    EXPECT_EQ(std::filesystem::exists(out), c.exitCode == 0) << c.name;
    if (c.exitCode == 0) {
      EXPECT_TRUE(test::PassesQpdfCheck(out)) << c.name;
    }
  }
}

TEST(BatchModeTest, AProjectOfEmptyInputsStillMakesACompletePdf) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "empty.rtf", "");
  const auto out = dir / "out.pdf";
  auto result = Varnolt({(dir / "empty.rtf").string(), "-o", out.string(), "--page-size", "300,400"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput, "Total 1 Pages has been found! Create Success" + out.string() + "!\n");
  ASSERT_TRUE(test::PassesQpdfCheck(out));
  EXPECT_NE(test::ReadFileBytes(out).find("/MediaBox [0 0 300 400 ]"), std::string::npos);
}

TEST(BatchModeTest, InputsThatCannotBeReadExitOneNamingTheFileAndTheReason) {
  test::ScratchDir dir;
  std::filesystem::create_directory(dir / "folder.txt");
  auto folder = Varnolt({(dir / "folder.txt").string(), "-o", (dir / "out.pdf").string()});
  EXPECT_EQ(folder.exitCode, 1);
  EXPECT_EQ(folder.standardError, "varnolt: " + (dir / "folder.txt").string() + ": is a directory\n");

  auto missing = Varnolt({(dir / "missing.rtf").string(), "-o", (dir / "out.pdf").string()});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.standardError, "varnolt: " + (dir / "missing.rtf").string() + ": no such file\n");

  // Unreadable for the user running the program; root runs it as nobody.
  std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
  for (const std::string name : {"locked.txt", "locked.rtf"}) {
    test::WriteFileBytes(dir / name, "{\\rtf1 secret\\par}");
    std::filesystem::permissions(dir / name, std::filesystem::perms::none);
    test::VarnoltSetting setting;
    setting.asNobody = ::geteuid() == 0;
    auto locked = test::RunVarnoltWith({(dir / name).string(), "-o", (dir / "out.pdf").string()}, setting);
    EXPECT_EQ(locked.exitCode, 1) << name;
    EXPECT_EQ(locked.standardError.rfind("varnolt: " + (dir / name).string() + ": ", 0), 0u) << locked.standardError;
    EXPECT_NE(locked.standardError.find("Permission denied\n"), std::string::npos) << locked.standardError;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.pdf"));
  }
}

TEST(BatchModeTest, AnInputTooLargeForMemorySaysSoAndNamesItsFile) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
  test::ScratchDir dir;
  const auto big = dir / "big.txt";
  test::WriteFileBytes(big, "");
  std::filesystem::resize_file(big, 400 << 20);  // sparse: no disk space taken
  test::VarnoltSetting setting;
  setting.addressSpaceLimit = 300 << 20;
  auto result = test::RunVarnoltWith({big.string(), "-o", (dir / "out.pdf").string()}, setting);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError, "varnolt: " + big.string() + ": ? out of memory\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "out.pdf"));
}

TEST(BatchModeTest, OutputNamesThatAreNotUtf8AreWrittenAsGiven) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "in.txt", "text");
  for (const std::string extension : {".pdf", ".rtf", ".txt"}) {
    const std::string out = (dir / ("caf\xE9-\xFF" + extension)).string();
    auto result = Varnolt({(dir / "in.txt").string(), "-o", out});
    EXPECT_EQ(result.exitCode, 0) << extension << ": " << result.standardError;
    EXPECT_EQ(result.standardError, "");
    EXPECT_NE(result.standardOutput.find("Create " ), std::string::npos);
    EXPECT_NE(result.standardOutput.find(out + "!\n"), std::string::npos) << result.standardOutput;
    EXPECT_TRUE(std::filesystem::is_regular_file(out)) << extension;
  }
}

TEST(BatchModeTest, WriteFailuresGiveTheirReasonForEveryOutput) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "in.txt", "text");
  for (const std::string extension : {".pdf", ".rtf", ".txt"}) {
    const std::string out = (dir / "no-folder" / ("out" + extension)).string();
    auto result = Varnolt({(dir / "in.txt").string(), "-o", out});
    EXPECT_EQ(result.exitCode, 1) << extension;
    EXPECT_EQ(result.standardError, "varnolt: Cannot create file \"" + out + "\". No such file or directory\n")
        << extension;
  }
}

TEST(BatchModeTest, OptionsAfterDoubleDashAreInputsAndValuesMayFollowAnEqualsSign) {
  test::ScratchDir dir;
  const auto dashed = dir / "-x.txt";
  test::WriteFileBytes(dashed, "dashed name");
  const auto out = dir / "out.pdf";
  // A relative name that starts with a dash, as a shell glob gives it.
  const auto result = test::RunCommandSplit({"sh", "-c",
                                             "cd \"$1\" && \"$2\" -o out.pdf --title=T --author= --page-size=300,400 -- "
                                             "-x.txt",
                                             "sh", dir.path().string(), VARNOLT_EXECUTABLE});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  ASSERT_TRUE(test::PassesQpdfCheck(out));
  const auto pdf = test::ReadFileBytes(out);
  EXPECT_NE(pdf.find("/Title (T)"), std::string::npos);
  EXPECT_NE(pdf.find("/MediaBox [0 0 300 400 ]"), std::string::npos);
  EXPECT_EQ(test::WithoutWhiteSpace(test::ExtractedText(out)), "dashedname");
}

TEST(BatchModeTest, QuietSilencesTheSummaryButNotWarnings) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "empty.txt", "");
  auto result = Varnolt({(dir / "empty.txt").string(), "-o", (dir / "out.rtf").string(), "-q"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.standardOutput, "");
  EXPECT_NE(result.standardError.find("The file is empty."), std::string::npos);
}

TEST(BatchModeTest, OptionsPlainTextCannotCarryAreReportedAsIgnored) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "in.txt", "text");
  const auto out = dir / "out.txt";
  auto result = Varnolt({(dir / "in.txt").string(), "-o", out.string(), "-q", "--page-size", "300,400", "--margins",
                         "20,20", "--title", "T"});
  EXPECT_EQ(result.exitCode, 0);
  const std::string about = "varnolt: " + out.string() + ": ";
  EXPECT_EQ(result.standardError, about + "--page-size is ignored: plain text has no page size\n" + about +
                                      "--margins is ignored: plain text has no margins\n" + about +
                                      "--title is ignored: plain text has no title\n");
  EXPECT_EQ(test::ReadFileBytes(out), "text\f");
}

TEST(BatchModeTest, RtfOutputCarriesPageSizeMarginsAndInformation) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "in.txt", "text");
  const auto out = dir / "out.rtf";
  auto result = Varnolt({(dir / "in.txt").string(), "-o", out.string(), "--page-size", "600,800", "--margins", "36,18",
                         "--title", "T", "--subject", "S", "--author", "A", "--keywords", "K"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  const auto rtf = test::ReadFileBytes(out);
  EXPECT_NE(rtf.find("\\paperw12000\\paperh16000\\margl720\\margr720\\margt360\\margb360"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("{\\info{\\title T}{\\subject S}{\\author A}{\\keywords K}}"), std::string::npos) << rtf;
  // The collecting editor has default settings: no style sheet is written.
  EXPECT_EQ(rtf.find("\\stylesheet"), std::string::npos);
}

TEST(BatchModeTest, AnInvalidCodePageSettingIsReportedOnce) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "a.txt", "caf\xE9");
  test::WriteFileBytes(dir / "b.txt", "na\xEFve");
  test::VarnoltSetting setting;
  setting.environment = {{"VARNOLT_ANSI_CODEPAGE", "12345"}};
  auto result = test::RunVarnoltWith(
      {(dir / "a.txt").string(), (dir / "b.txt").string(), "-o", (dir / "out.txt").string(), "-q"}, setting);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.standardError,
            "varnolt: VARNOLT_ANSI_CODEPAGE=12345 names no supported code page; code page 1252 is used\n");
  EXPECT_EQ(test::ReadFileBytes(dir / "out.txt"), "caf\xC3\xA9\fna\xC3\xAFve\f");
}

// A text file is no string that ends at its first zero byte: every export
// keeps what follows it, and UTF-16 without a byte-order mark is read whole.
TEST(BatchModeTest, TextAfterAZeroByteAndUtf16WithoutAMarkReachEveryExport) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "zero.txt", std::string("before\0after the zero", 22));
  std::string wide;
  for (const char c : std::string("UTF-16 without a mark")) wide += {c, '\0'};
  test::WriteFileBytes(dir / "wide.txt", wide);
  const struct {
    std::string output;
    std::vector<std::string> options;
  } cases[] = {{"out.txt", {}}, {"out.rtf", {}}, {"out.pdf", {}}, {"plain.pdf", {"--plain-pdf"}}};
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {(dir / "zero.txt").string(), (dir / "wide.txt").string(), "-o",
                                          (dir / c.output).string(), "-q"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    auto result = Varnolt(arguments);
    ASSERT_EQ(result.exitCode, 0) << c.output << ": " << result.standardError;
    // Plain ASCII stands as it is in RTF and text; PDFs are read by pdftotext.
    const std::string text =
        c.output.ends_with(".pdf") ? test::ExtractedText(dir / c.output) : test::ReadFileBytes(dir / c.output);
    const std::string words = test::WithoutWhiteSpace(text);
    EXPECT_NE(words.find("beforeafterthezero"), std::string::npos) << c.output << ": " << text;
    EXPECT_NE(words.find("UTF-16withoutamark"), std::string::npos) << c.output << ": " << text;
  }
}

TEST(BatchModeTest, AFileNameWithALineBreakKeepsItsMessageOnOneLine) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "in.txt", "text");
  const std::string out = (dir / "no-folder" / "two\nlines.pdf").string();
  auto result = Varnolt({(dir / "in.txt").string(), "-o", out});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError, "varnolt: Cannot create file \"" + (dir / "no-folder" / "two\\nlines.pdf").string() +
                                      "\". No such file or directory\n");
  const std::string named = (dir / "new\nline.txt").string();
  result = Varnolt({(dir / "in.txt").string(), "-o", named});
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput,
            "Total 1 pages has been found! Create success" + (dir / "new\\nline.txt").string() + "!\n");
  EXPECT_EQ(test::ReadFileBytes(named), "text\f");
}

TEST(BatchModeTest, AFullStandardOutputFailsTheRun) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "in.txt", "text");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{(dir / "in.txt").string(), "-o", (dir / "out.pdf").string()},
        std::vector<std::string>{"--help"}}) {
    test::VarnoltSetting setting;
    setting.standardOutputFile = "/dev/full";
    auto result = test::RunVarnoltWith(arguments, setting);
    EXPECT_EQ(result.exitCode, 1) << arguments.front();
    EXPECT_EQ(result.standardError, "varnolt: cannot write to standard output: No space left on device\n");
  }
}

TEST(BatchModeTest, OnATerminalTheProgressLineIsClearedBeforeAnyMessage) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "a.txt", "first");
  test::WriteFileBytes(dir / "empty.txt", "");
  auto result = test::RunVarnoltOnTerminal({(dir / "a.txt").string(), (dir / "empty.txt").string(), "-o",
                                            (dir / "out.pdf").string()});
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  const std::string clear = "\r" + std::string(16, ' ') + "\r";
  const auto warning = result.standardError.find("varnolt: ");
  ASSERT_NE(warning, std::string::npos) << result.standardError;
  EXPECT_NE(result.standardError.find("Progress 100%"), std::string::npos);
  EXPECT_EQ(result.standardError.substr(warning - clear.size(), clear.size()), clear) << result.standardError;
  const auto summary = result.standardError.find("Total 2 Pages");
  ASSERT_NE(summary, std::string::npos);
  EXPECT_EQ(result.standardError.substr(summary - clear.size(), clear.size()), clear) << result.standardError;
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
