// Pages as they look against LibreOffice's own PDF of the same RTF: flat
// OpenDocument files (tests/data/pagesetup, written by make_corpus.py) that
// LibreOffice turns into RTF in the set-up, each exported to PDF by varnolt
// and by LibreOffice, compared by page sizes, page counts, words and where
// chosen words stand; both rendered side by side into the build folder's
// side-by-side/ for a person to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <regex>

#include "tests/support/LibreOfficePdf.h"
#include "tests/support/OfficeChecks.h"
#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

namespace fs = std::filesystem;

const fs::path kTestData = fs::path(VARNOLT_RTF_FIXTURES).parent_path();
const fs::path kCorpus = kTestData / "pagesetup";

// Where a word stands may differ by the fonts' ascents (our standard Times
// against LibreOffice's metric-compatible Liberation Serif: under 2 points
// at 12 points) and by the first line's leading (its line gap, about 1.5
// points at 12 points); page sizes by the rounding to whole points.
constexpr double kPositionTolerance = 3.5;
constexpr double kPageSizeTolerance = 1;

test::SplitCommandResult Varnolt(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), VARNOLT_EXECUTABLE);
  return test::RunCommandSplit(arguments);
}

struct TAnchor {
  TAnchor(std::string word, int page, std::optional<double> ourLeft = std::nullopt)
      : Word(std::move(word)), Page(page), OurLeft(ourLeft) {}
  std::string Word;
  int Page = 1;
  // Where we put the word's left edge when it differs from LibreOffice on
  // purpose: the format's default margin of 1.25 inch where LibreOffice
  // takes 1 inch.
  std::optional<double> OurLeft;
};

struct TCorpusCase {
  std::string Source;  // in tests/data/pagesetup: .fodt through LibreOffice's RTF, or .rtf as it is
  int Pages = 0;
  std::vector<TAnchor> Anchors;
};

const TCorpusCase kCases[] = {
    // A title page with a header of its own; later pages under a header that
    // is taller than the top margin; page numbers in every footer.
    {"headers-fields.fodt",
     3,
     {{"Titlepageheader", 1}, {"Firstpage", 1}, {"Page", 1}, {"Reportheader", 2}, {"Head3left", 2}, {"Page", 2}}},
    // Letter, a landscape section with smaller margins, Letter again.
    {"sections.fodt", 3, {{"Firstsection", 1}, {"Widesection", 2}, {"Lastsection", 3}}},
    // A heading across the page, two columns with a rule, three columns.
    {"columns.fodt", 2, {{"Columnsheading", 1}, {"Para1", 1}}},
    // No paper named at all: Letter with margins of 1.25 and 1 inch.
    {"no-paper.rtf", 1, {{"Nopaper", 1, 90}}},
};

void PrintTo(const TCorpusCase& c, std::ostream* out) { *out << c.Source; }

fs::path RtfOf(const fs::path& source) {
  return source.extension() == ".fodt" ? test::OfficeRtfOf(source) : source;
}

// All conversions of the corpus in two LibreOffice runs, shared through the
// helper's cache by every test of this program.
void ConvertCorpus() {
  std::vector<fs::path> sources;
  std::vector<fs::path> rtfs;
  for (const TCorpusCase& c : kCases) {
    if (c.Source.ends_with(".fodt")) sources.push_back(kCorpus / c.Source);
  }
  rtfs = test::OfficeConverted(sources, "rtf");
  for (const TCorpusCase& c : kCases) {
    if (c.Source.ends_with(".rtf")) rtfs.push_back(kCorpus / c.Source);
  }
  test::OfficeConverted(rtfs, "pdf");
}

struct TCompared {
  fs::path Ours;
  fs::path Theirs;
};

TCompared Compare(const TCorpusCase& c) {
  ConvertCorpus();
  const fs::path rtf = RtfOf(kCorpus / c.Source);
  const std::string name = fs::path(c.Source).stem().string();
  fs::create_directories(fs::current_path() / "pagesetup-ours");
  TCompared compared{fs::current_path() / "pagesetup-ours" / (name + ".pdf"), test::OfficePdfOf(rtf)};
  const auto result = Varnolt({rtf.string(), "-o", compared.Ours.string(), "-q"});
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_TRUE(test::PassesQpdfCheck(compared.Ours));
  test::RenderSideBySide(compared.Ours, compared.Theirs, test::SideBySideFolder(), name);
  return compared;
}

std::vector<std::string> SortedWords(const fs::path& pdf) {
  std::vector<std::string> words = test::WordsOf(test::RunCommand({"pdftotext", pdf.string(), "-"}).output);
  std::sort(words.begin(), words.end());
  return words;
}

std::string PageText(const fs::path& pdf, int page) {
  return test::RunCommand({"pdftotext", "-f", std::to_string(page), "-l", std::to_string(page), pdf.string(), "-"})
      .output;
}

class PageSetupCorpusTest : public ::testing::TestWithParam<TCorpusCase> {};

TEST_P(PageSetupCorpusTest, PageSizesCountsWordsAndPlacesAgreeWithTheOfficeSuite) {
  const TCorpusCase& c = GetParam();
  const TCompared compared = Compare(c);
  const std::vector<test::PdfPageSize> ours = test::PdfPageSizes(compared.Ours);
  const std::vector<test::PdfPageSize> theirs = test::PdfPageSizes(compared.Theirs);
  ASSERT_EQ(theirs.size(), static_cast<std::size_t>(c.Pages)) << "the corpus itself changed";
  ASSERT_EQ(ours.size(), theirs.size());
  for (std::size_t p = 0; p < ours.size(); ++p) {
    EXPECT_NEAR(ours[p].Width, theirs[p].Width, kPageSizeTolerance) << "page " << p + 1;
    EXPECT_NEAR(ours[p].Height, theirs[p].Height, kPageSizeTolerance) << "page " << p + 1;
  }
  EXPECT_EQ(SortedWords(compared.Ours), SortedWords(compared.Theirs));

  const std::vector<test::PdfWord> ourWords = test::PdfWords(compared.Ours);
  const std::vector<test::PdfWord> theirWords = test::PdfWords(compared.Theirs);
  for (const TAnchor& anchor : c.Anchors) {
    SCOPED_TRACE(anchor.Word + " on page " + std::to_string(anchor.Page));
    const test::PdfWord* our = test::FindWord(ourWords, anchor.Word, anchor.Page);
    const test::PdfWord* their = test::FindWord(theirWords, anchor.Word, anchor.Page);
    ASSERT_NE(their, nullptr) << "the corpus itself changed";
    ASSERT_NE(our, nullptr);
    EXPECT_NEAR(our->XMin, anchor.OurLeft.value_or(their->XMin), kPositionTolerance);
    EXPECT_NEAR(our->YMin, their->YMin, kPositionTolerance);
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, PageSetupCorpusTest, ::testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<TCorpusCase>& info) {
                           std::string name = fs::path(info.param.Source).stem().string();
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(PageSetupFieldsTest, EveryFooterCountsItsOwnPageAndThePages) {
  const TCompared compared = Compare(kCases[0]);
  for (int page = 1; page <= 3; ++page) {
    const std::string expected = "Page " + std::to_string(page) + " of 3";
    EXPECT_NE(test::FoldedWhiteSpace(PageText(compared.Ours, page)).find(expected), std::string::npos)
        << expected << " in:\n"
        << PageText(compared.Ours, page);
  }
}

// A header taller than the top margin pushes the body down, on every page
// it stands on; the title page's shorter header leaves the margin alone.
// (LibreOffice keeps its own header spacing below a grown header as well,
// and draws the header's lines and cells a little taller: its body starts
// 12.6 points lower on these pages.)
TEST(PageSetupHeadersTest, TheBodyStartsBelowAHeaderTallerThanTheMargin) {
  const TCompared compared = Compare(kCases[0]);
  const std::vector<test::PdfWord> words = test::PdfWords(compared.Ours);
  constexpr double kSectionTopMargin = 1268 / 20.0;
  for (const auto& [opener, page] : {std::pair{"Secondpage", 2}, std::pair{"Thirdpage", 3}}) {
    const test::PdfWord* header = test::FindWord(words, "Head3left", page);
    const test::PdfWord* body = test::FindWord(words, opener, page);
    ASSERT_NE(header, nullptr);
    ASSERT_NE(body, nullptr);
    EXPECT_GT(body->YMin, header->YMax) << opener;
    EXPECT_GT(body->YMin, kSectionTopMargin + 20) << opener;
  }
  const test::PdfWord* first = test::FindWord(words, "Firstpage", 1);
  ASSERT_NE(first, nullptr);
  EXPECT_NEAR(first->YMin, kSectionTopMargin, kPositionTolerance);
}

// The second column starts where LibreOffice starts it: the columns and the
// space between them share the text's width alike.
TEST(PageSetupColumnsTest, TheSecondColumnStartsWhereTheOfficeSuiteStartsIt) {
  const TCompared compared = Compare(kCases[2]);
  const auto secondColumnLeft = [](const fs::path& pdf) {
    double left = 1e9;
    for (const test::PdfWord& word : test::PdfWords(pdf)) {
      if (word.Page == 1 && word.XMin > 595.0 / 2) left = std::min(left, word.XMin);
    }
    return left;
  };
  const double theirs = secondColumnLeft(compared.Theirs);
  ASSERT_LT(theirs, 595);
  EXPECT_NEAR(secondColumnLeft(compared.Ours), theirs, kPositionTolerance);
}

}  // namespace
}  // namespace varnolt
