// The batch mode's .pdf output, pages as they look, checked by the real
// readers: qpdf for the structure, pdftotext for the words, pdffonts for the
// fonts, pdftoppm and mutool for rendering, and the office suite's own PDF
// of the same RTF.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>

#include "tests/support/JpegFixtures.h"
#include "tests/support/LibreOfficePdf.h"
#include "tests/support/OfficeChecks.h"
#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

const std::filesystem::path kFixtures = VARNOLT_RTF_FIXTURES;
const std::filesystem::path kFeatures = kFixtures.parent_path() / "formatted" / "features.rtf";

test::SplitCommandResult Varnolt(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), VARNOLT_EXECUTABLE);
  return test::RunCommandSplit(arguments);
}

std::string PageText(const std::filesystem::path& pdf, int page) {
  return test::RunCommand({"pdftotext", "-f", std::to_string(page), "-l", std::to_string(page), pdf.string(), "-"})
      .output;
}

int PageCount(const std::filesystem::path& pdf) {
  const std::string info = test::RunCommand({"pdfinfo", pdf.string()}).output;
  const auto at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// The file with its streams uncompressed, for looking at its objects.
std::string Uncompressed(const std::filesystem::path& pdf, const test::ScratchDir& dir) {
  const auto qdf = dir / "qdf.pdf";
  test::RunCommand({"qpdf", "--qdf", "--object-streams=disable", pdf.string(), qdf.string()});
  return test::ReadFileBytes(qdf);
}

// Every page renders, and no reader says "error".
testing::AssertionResult RendersWithoutErrors(const std::filesystem::path& pdf, const test::ScratchDir& dir) {
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"mutool", "draw", "-o", (dir / "page%d.png").string(), pdf.string()},
        std::vector<std::string>{"pdftoppm", "-r", "30", "-png", pdf.string(), (dir / "pp").string()}}) {
    const auto result = test::RunCommandSplit(command);
    if (result.exitCode != 0 || result.standardError.find("rror") != std::string::npos) {
      return testing::AssertionFailure() << command.front() << ": " << result.standardError;
    }
  }
  return testing::AssertionSuccess();
}

// Tab leaders print as runs of dots glued to the word before them.
std::vector<std::string> WordsWithoutLeaders(const std::string& text) {
  return test::WordsOf(std::regex_replace(text, std::regex(R"(\.{3,})"), " "));
}

// Whether every word of expected stands in actual, in order (actual may hold
// more: headers, footers, the notes' text).
testing::AssertionResult InOrderWithin(const std::vector<std::string>& expected, const std::vector<std::string>& actual) {
  std::size_t at = 0;
  for (const std::string& word : expected) {
    while (at < actual.size() && actual[at] != word) ++at;
    if (at == actual.size()) return testing::AssertionFailure() << "\"" << word << "\" is missing or out of order";
    ++at;
  }
  return testing::AssertionSuccess();
}

TEST(FormattedPdfBatchTest, TheFeaturesFixtureKeepsItsWordsFontsNotesLinksAndPaper) {
  test::ScratchDir dir;
  const auto out = dir / "features.pdf";
  auto result = Varnolt({kFeatures.string(), "-o", out.string(), "-q"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  ASSERT_TRUE(test::PassesQpdfCheck(out));
  EXPECT_TRUE(RendersWithoutErrors(out, dir));
  // For a person to look at: the pages beside the test program.
  test::RunCommand({"pdftoppm", "-r", "60", "-png", out.string(), "formatted-features"});

  ASSERT_EQ(Varnolt({kFeatures.string(), "-o", (dir / "features.txt").string(), "-q"}).exitCode, 0);
  const auto ownWords = WordsWithoutLeaders(test::ReadFileBytes(dir / "features.txt"));
  ASSERT_GT(ownWords.size(), 40u);
  EXPECT_TRUE(InOrderWithin(ownWords, WordsWithoutLeaders(test::ExtractedText(out))));

  const std::string fonts = test::RunCommand({"pdffonts", out.string()}).output;
  EXPECT_NE(fonts.find("LiberationSans-Bold"), std::string::npos) << "the bold Arial title\n" << fonts;
  EXPECT_NE(fonts.find("LiberationSerif"), std::string::npos) << "the Times New Roman paragraph\n" << fonts;

  // The document's A4 paper, its page break, its header and footer on each
  // page, the footnote at the foot of its page and the endnote after the text.
  EXPECT_NE(test::RunCommand({"pdfinfo", out.string()}).output.find("595 x 842 pts"), std::string::npos);
  ASSERT_EQ(PageCount(out), 2);
  const auto first = WordsWithoutLeaders(PageText(out, 1));
  const auto second = WordsWithoutLeaders(PageText(out, 2));
  EXPECT_TRUE(InOrderWithin({"Running", "header", "line", "Quarterly", "After", "the", "table.", "Footnote", "words",
                             "here.", "Running", "footer", "line"},
                            first));
  EXPECT_TRUE(InOrderWithin({"Running", "header", "line", "Second", "page", "words,", "back", "Endnote", "words", "here.",
                             "Running", "footer", "line"},
                            second));

  const std::string objects = Uncompressed(out, dir);
  EXPECT_NE(objects.find("/URI (https://example.com/report)"), std::string::npos);
  EXPECT_TRUE(std::regex_search(objects, std::regex(R"(/Dests <<\s*/Names \[\s*\(summary\))")));
  EXPECT_NE(objects.find("/Dest (summary)"), std::string::npos) << "the link back to the bookmark";
  EXPECT_NE(test::ReadFileBytes(out).find("/FlateDecode"), std::string::npos);
}

TEST(FormattedPdfBatchTest, ThePagesGeometryGivenByTheUserWinsOverTheDocumentsPaper) {
  test::ScratchDir dir;
  const auto out = dir / "out.pdf";
  auto result = Varnolt({kFeatures.string(), "-o", out.string(), "-q", "--page-size", "400,500", "--margins", "30,40"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  ASSERT_TRUE(test::PassesQpdfCheck(out));
  EXPECT_NE(test::ReadFileBytes(out).find("/MediaBox [0 0 400 500 ]"), std::string::npos);
  EXPECT_TRUE(InOrderWithin({"Quarterly", "Report", "Second", "page", "words,", "back"}, test::WordsOf(test::ExtractedText(out))));
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  char digits[3];
  for (unsigned char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", c);
    hex += digits;
  }
  return hex;
}

struct TRgb {
  int red = 0, green = 0, blue = 0;
};

// The pixel of a binary PPM at (x, y).
TRgb PixelAt(const std::string& ppm, int x, int y) {
  std::istringstream header(ppm);
  std::string magic;
  int width = 0, height = 0, maximum = 0;
  header >> magic >> width >> height >> maximum;
  const auto data = static_cast<std::size_t>(header.tellg()) + 1;
  const std::size_t at = data + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * 3;
  if (magic != "P6" || x >= width || y >= height || at + 2 >= ppm.size()) return {-1, -1, -1};
  return {static_cast<unsigned char>(ppm[at]), static_cast<unsigned char>(ppm[at + 1]),
          static_cast<unsigned char>(ppm[at + 2])};
}

testing::AssertionResult Near(TRgb actual, TRgb expected) {
  const int tolerance = 24;
  if (std::abs(actual.red - expected.red) <= tolerance && std::abs(actual.green - expected.green) <= tolerance &&
      std::abs(actual.blue - expected.blue) <= tolerance) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "(" << actual.red << ", " << actual.green << ", " << actual.blue << ")";
}

TEST(FormattedPdfBatchTest, PicturesShowTheirPixelsWhereTheyStand) {
  // A JPEG of 96 x 64 pixels, 72 x 48 points, then the PNG fixture (red,
  // 4 x 3) scaled 15 times to 45 x 33.75 points, each in a paragraph of its own.
  const std::string jpeg = test::SolidJpeg(96, 64, JCS_RGB, {30, 90, 200});
  const std::string png = test::ReadFileBytes(kFixtures / "sources" / "red-4x3.png");
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "pictures.rtf",
                       "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 {\\pict\\jpegblip\\picw96\\pich64 " + Hex(jpeg) +
                           "}\\par {\\pict\\pngblip\\picw4\\pich3\\picscalex1500\\picscaley1500 " +
                           Hex(png) + "}\\par After the pictures.\\par}");
  const auto out = dir / "pictures.pdf";
  auto result = Varnolt({(dir / "pictures.rtf").string(), "-o", out.string(), "-q", "--page-size", "300,400",
                         "--margins", "20,20"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  ASSERT_TRUE(test::PassesQpdfCheck(out));
  EXPECT_NE(test::ReadFileBytes(out).find("/DCTDecode"), std::string::npos) << "the JPEG is kept as it is";
  // At 72 pixels per inch a pixel of the rendering is a point of the page.
  ASSERT_EQ(test::RunCommand({"pdftoppm", "-r", "72", "-singlefile", out.string(), (dir / "page").string()}).exitCode,
            0);
  const std::string ppm = test::ReadFileBytes(dir / "page.ppm");
  test::RunCommand({"pdftoppm", "-r", "144", "-png", "-singlefile", out.string(), "formatted-pictures"});
  const TRgb white{255, 255, 255};
  // The JPEG from about (21, 21) to (93, 69), the PNG below it from about (21, 70) to (66, 104).
  for (const auto& [x, y] : {std::pair{25, 25}, {56, 45}, {88, 64}}) {
    EXPECT_TRUE(Near(PixelAt(ppm, x, y), {30, 90, 200})) << x << ", " << y;
  }
  for (const auto& [x, y] : {std::pair{25, 75}, {42, 86}, {60, 98}}) {
    EXPECT_TRUE(Near(PixelAt(ppm, x, y), {255, 0, 0})) << x << ", " << y;
  }
  for (const auto& [x, y] : {std::pair{10, 45}, {120, 45}, {120, 86}, {200, 300}}) {
    EXPECT_TRUE(Near(PixelAt(ppm, x, y), white)) << x << ", " << y;
  }
}

// The office suite's PDF of the same RTF: as many pages within 15 %, and the
// same words in the same order where both draw the same things (lists draw
// their bullets apart or glued to the text, so their numbers are checked
// on their own).
TEST(FormattedPdfBatchTest, OfficeRtfMatchesTheOfficeSuitesOwnPdf) {
  test::ScratchDir dir;
  const auto office = dir / "office.rtf";
  ASSERT_EQ(test::RunCommand({"python3", VARNOLT_OFFICE_INPUT_SCRIPT, "rtf", "0.05", office.string()}).exitCode, 0);
  std::vector<std::filesystem::path> inputs{office, kFixtures / "tables.rtf", kFixtures / "lists.rtf"};
  test::ScratchDir suite;
  test::ConvertWithOffice(inputs, "pdf", suite.path());
  for (const auto& input : inputs) {
    const auto name = input.stem().string();
    SCOPED_TRACE(name);
    const auto ours = dir / (name + ".ours.pdf");
    auto result = Varnolt({input.string(), "-o", ours.string(), "-q"});
    ASSERT_EQ(result.exitCode, 0) << result.standardError;
    ASSERT_TRUE(test::PassesQpdfCheck(ours));
    const auto theirs = suite / (name + ".pdf");
    ASSERT_TRUE(std::filesystem::exists(theirs));
    const int ourPages = PageCount(ours);
    const int theirPages = PageCount(theirs);
    EXPECT_LE(std::abs(ourPages - theirPages), theirPages * 15 / 100) << ourPages << " pages against " << theirPages;
    if (name == "lists") continue;
    const auto raw = [](const std::filesystem::path& pdf) {
      return test::WordsOf(test::RunCommand({"pdftotext", "-raw", pdf.string(), "-"}).output);
    };
    EXPECT_EQ(raw(ours), raw(theirs));
  }
  std::vector<std::string> listWords;
  std::istringstream lists(test::ExtractedText(dir / "lists.ours.pdf"));
  for (std::string word; lists >> word;) listWords.push_back(word);
  EXPECT_TRUE(InOrderWithin({"1.", "Numbered", "one", "a)", "Nested", "letter", "2.", "Numbered", "two"}, listWords));
}

// A 54 KB report that once drew its first lines on one page while its text
// export held every word: every word of the text export reaches the
// formatted PDF, in order, on about as many pages as the office suite draws.
TEST(FormattedPdfBatchTest, EveryWordOfAReportsTextExportReachesItsPages) {
  const auto report = kFixtures.parent_path() / "formatted" / "report-sections.rtf";
  test::ScratchDir dir;
  const auto text = dir / "report.txt";
  ASSERT_EQ(Varnolt({report.string(), "-o", text.string(), "-q"}).exitCode, 0);
  std::filesystem::create_directories(std::filesystem::current_path() / "pagesetup-ours");
  const auto ours = std::filesystem::current_path() / "pagesetup-ours" / "report-sections.pdf";
  const auto result = Varnolt({report.string(), "-o", ours.string(), "-q"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  ASSERT_TRUE(test::PassesQpdfCheck(ours));
  const std::vector<std::string> words = test::WordsOf(test::ReadFileBytes(text));
  ASSERT_GT(words.size(), 1500U);
  EXPECT_TRUE(InOrderWithin(words, test::WordsOf(test::RunCommand({"pdftotext", "-raw", ours.string(), "-"}).output)));
  const auto theirs = test::OfficePdfOf(report);
  test::RenderSideBySide(ours, theirs, test::SideBySideFolder(), "report-sections");
  const int ourPages = PageCount(ours);
  const int theirPages = PageCount(theirs);
  EXPECT_LE(std::abs(ourPages - theirPages), theirPages * 15 / 100) << ourPages << " pages against " << theirPages;
}

// A table wider than the page (a wide sheet) is shrunk to fit: its far
// columns are not cut off.
TEST(FormattedPdfBatchTest, ATableWiderThanThePageKeepsEveryColumn) {
  std::string row = "\\trowd\\trpaddl108\\trpaddfl3\\trpaddr108\\trpaddfr3";
  std::string cells;
  std::vector<std::string> expected{"before"};
  for (int c = 0; c < 12; ++c) {
    row += "\\cellx" + std::to_string(500 * (c + 1));
    const std::string word = "Quarterly" + std::to_string(c) + "Revenue";
    cells += "\\pard\\intbl " + word + "\\cell ";
    expected.push_back(word);
  }
  expected.push_back("after");
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "in.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs28 before\\par " + row + cells +
                                           "\\row\\pard after\\par}");
  const auto out = dir / "out.pdf";
  auto result = Varnolt({(dir / "in.rtf").string(), "-o", out.string(), "-q"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_TRUE(test::PassesQpdfCheck(out));
  EXPECT_EQ(test::WordsOf(test::ExtractedText(out)), expected);
}

// Layouts built to make a converter run forever or run out of memory end,
// with a file the reader accepts.
TEST(FormattedPdfBatchTest, HostileLayoutsEnd) {
  std::string columns = "\\trowd";
  std::string cells;
  for (int c = 0; c < 1000; ++c) {
    columns += "\\cellx" + std::to_string(100 * (c + 1));
    cells += "c" + std::to_string(c) + "\\cell ";
  }
  std::string rows;
  for (int r = 0; r < 100000; ++r) rows += "\\trowd\\cellx2000\\cellx4000\\pard\\intbl a\\cell b\\cell\\row\n";
  // A JPEG that declares 30,000 x 30,000 pixels in a header of a few hundred bytes.
  std::string huge = test::SolidJpeg(8, 8, JCS_RGB, {0, 0, 0});
  const auto frame = huge.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  huge.replace(frame + 5, 4, std::string("\x75\x30\x75\x30", 4));
  const std::pair<const char*, std::string> cases[] = {
      {"columns", columns + "\\pard\\intbl " + cells + "\\row"},
      {"rows", rows},
      {"picture", "{\\pict\\jpegblip\\picw30000\\pich30000 " + Hex(huge) + "}"},
      {"word", std::string(10'000'000, 'x')},
  };
  for (const auto& [name, body] : cases) {
    SCOPED_TRACE(name);
    test::ScratchDir dir;
    test::WriteFileBytes(dir / "in.rtf",
                         "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 before\\par " + body + "\\par\\pard after\\par}");
    const auto out = dir / "out.pdf";
    auto result = Varnolt({(dir / "in.rtf").string(), "-o", out.string(), "-q"});
    ASSERT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_TRUE(test::PassesQpdfCheck(out));
    const auto words = test::WordsOf(test::ExtractedText(out));
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.front(), "before");
    EXPECT_EQ(words.back(), "after");
  }
}

}  // namespace
}  // namespace varnolt
