// RTF through the batch mode, checked against the office suite itself: it
// reads the same files and opens the files we write.
#include <gtest/gtest.h>

#include "tests/support/OfficeChecks.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

const std::filesystem::path kFixtures = VARNOLT_RTF_FIXTURES;

test::SplitCommandResult Varnolt(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), VARNOLT_EXECUTABLE);
  return test::RunCommandSplit(arguments);
}

TEST(RtfBatchTest, OfficeWrittenRtfArrivesWithAllItsText) {
  std::vector<std::filesystem::path> fixtures;
  for (const auto& entry : std::filesystem::directory_iterator(kFixtures)) {
    if (entry.path().extension() == ".rtf") fixtures.push_back(entry.path());
  }
  ASSERT_GE(fixtures.size(), 4u);
  test::ScratchDir office;
  test::ConvertWithOffice(fixtures, "txt:Text (encoded):UTF8", office.path());
  test::ScratchDir ours;
  for (const auto& fixture : fixtures) {
    const auto name = fixture.stem().string();
    ASSERT_TRUE(std::filesystem::exists(office / (name + ".txt"))) << "the office suite did not convert " << name;
    auto result = Varnolt({fixture.string(), "-o", (ours / (name + ".txt")).string(), "-q"});
    ASSERT_EQ(result.exitCode, 0) << name << ": " << result.standardError;
    EXPECT_EQ(test::WordsOf(test::ReadFileBytes(ours / (name + ".txt"))),
              test::WordsOf(test::ReadFileBytes(office / (name + ".txt"))))
        << name;
  }
}

// Each line without the white space around it; empty lines, form feeds and
// the byte-order mark do not count.
std::vector<std::string> TrimmedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    const std::size_t first = line.find_first_not_of(" \t\r\f");
    if (first != std::string::npos) {
      lines.push_back(line.substr(first, line.find_last_not_of(" \t\r\f") - first + 1));
    }
    start = end + 1;
  }
  return lines;
}

// A text file of a list holds its labels as the page shows them, as the
// office suite's text export (written when the fixtures were made) does.
TEST(RtfBatchTest, TextExportWritesListLabels) {
  test::ScratchDir dir;
  const auto out = dir / "lists.txt";
  auto result = Varnolt({(kFixtures / "lists.rtf").string(), "-o", out.string(), "-q"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(TrimmedLines(test::ReadFileBytes(out)), TrimmedLines(test::ReadFileBytes(kFixtures / "lists.txt")));
}

TEST(RtfBatchTest, RtfWeWriteOpensInTheOfficeSuiteWithTextRunsAndTables) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "intro.txt", "Plain \xC3\xA9t\xC3\xA9 text\r\nwith \xE4\xB8\xAD\xE6\x96\x87 too");
  test::WriteFileBytes(dir / "runs.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 normal {\\b boldword} and "
                                          "{\\i italicword}\\par}");
  const auto out = dir / "project.rtf";
  auto result = Varnolt({(dir / "intro.txt").string(), (dir / "runs.rtf").string(), (kFixtures / "tables.rtf").string(),
                         "-o", out.string()});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput, "Total 3 pages has been found! Create success" + out.string() + "!\n");

  test::ScratchDir office;
  test::ConvertWithOffice({out}, "txt:Text (encoded):UTF8", office.path());
  test::ConvertWithOffice({out}, "odt", office.path());
  ASSERT_TRUE(std::filesystem::exists(office / "project.txt"));
  ASSERT_TRUE(std::filesystem::exists(office / "project.odt"));

  // Every word of the three pages, in order.
  test::ScratchDir ours;
  ASSERT_EQ(Varnolt({out.string(), "-o", (ours / "again.txt").string()}).exitCode, 0);
  std::vector<std::string> expected = test::WordsOf(test::ReadFileBytes(dir / "intro.txt"));
  for (const char* word : {"normal", "boldword", "and", "italicword"}) expected.push_back(word);
  auto tableWords = test::WordsOf(test::ReadFileBytes(kFixtures / "tables.txt"));
  expected.insert(expected.end(), tableWords.begin(), tableWords.end());
  EXPECT_EQ(test::WordsOf(test::ReadFileBytes(office / "project.txt")), expected);

  const auto content = test::OdtPart(office / "project.odt", "content.xml");
  const auto styles = content + test::OdtPart(office / "project.odt", "styles.xml");
  EXPECT_NE(content.find("<table:table "), std::string::npos);
  EXPECT_TRUE(test::RunHasProperty(content, styles, "boldword", "fo:font-weight=\"bold\""));
  EXPECT_TRUE(test::RunHasProperty(content, styles, "italicword", "fo:font-style=\"italic\""));
  EXPECT_FALSE(test::RunHasProperty(content, styles, "italicword", "fo:font-weight=\"bold\""));
}

// Runs keep their own formatting through an RTF import and export: the page
// editors add the styles they need instead of taking the closest shared one.
TEST(RtfBatchTest, RunFormattingSurvivesRtfToRtf) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "runs.rtf",
                       "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
                       "{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs24 plainword {\\b boldword} {\\i italicword} "
                       "{\\ul underword} {\\cf1 redword} {\\fs40 bigword} {\\f1 courierword}\\par}");
  const auto out = dir / "again.rtf";
  auto result = Varnolt({(dir / "runs.rtf").string(), "-o", out.string(), "-q"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  test::ScratchDir office;
  test::ConvertWithOffice({out}, "odt", office.path());
  ASSERT_TRUE(std::filesystem::exists(office / "again.odt"));
  const auto content = test::OdtPart(office / "again.odt", "content.xml");
  const auto styles = content + test::OdtPart(office / "again.odt", "styles.xml");

  const struct {
    const char* word;
    const char* property;
  } kept[] = {
      {"boldword", "fo:font-weight=\"bold\""},
      {"italicword", "fo:font-style=\"italic\""},
      {"underword", "style:text-underline-style=\"solid\""},
      {"redword", "fo:color=\"#ff0000\""},
      {"bigword", "fo:font-size=\"20pt\""},
      {"courierword", "style:font-name=\"Courier New\""},
  };
  for (const auto& run : kept) EXPECT_TRUE(test::RunHasProperty(content, styles, run.word, run.property)) << run.word;
  // Nothing the run did not have: no colour on the bold run, no bold on the others.
  EXPECT_FALSE(test::RunHasProperty(content, styles, "boldword", "fo:color="));
  EXPECT_FALSE(test::RunHasProperty(content, styles, "boldword", "fo:font-style=\"italic\""));
  for (const char* word : {"italicword", "underword", "redword", "bigword", "courierword"}) {
    EXPECT_FALSE(test::RunHasProperty(content, styles, word, "fo:font-weight=\"bold\"")) << word;
  }
}

}  // namespace
}  // namespace varnolt
