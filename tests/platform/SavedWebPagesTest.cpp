// Saved pages of the kinds people import (news, encyclopaedia, documentation,
// forms, workbooks saved as web pages, pages without a declared character
// set), our text beside the office suite's text export of the same files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "platform/CodePage.h"
#include "platform/HtmlText.h"
#include "tests/support/OfficeChecks.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

std::filesystem::path SavedPagesDir() { return test::TestDataDir() / "html" / "saved"; }

// How far two word sequences agree: twice their longest common subsequence
// over their lengths together (1 when equal, 0 when nothing is shared).
double WordAgreement(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.empty() && b.empty()) return 1.0;
  std::vector<size_t> previous(b.size() + 1, 0);
  std::vector<size_t> current(b.size() + 1, 0);
  for (const auto& word : a) {
    for (size_t j = 0; j < b.size(); ++j) {
      current[j + 1] = word == b[j] ? previous[j] + 1 : std::max(previous[j + 1], current[j]);
    }
    std::swap(previous, current);
  }
  return 2.0 * static_cast<double>(previous[b.size()]) / static_cast<double>(a.size() + b.size());
}

std::vector<std::string> Missing(const std::vector<std::string>& words, const std::vector<std::string>& from) {
  std::multiset<std::string> remaining(from.begin(), from.end());
  std::vector<std::string> missing;
  for (const auto& word : words) {
    const auto at = remaining.find(word);
    if (at == remaining.end()) {
      missing.push_back(word);
    } else {
      remaining.erase(at);
    }
  }
  return missing;
}

class SavedWebPagesTest : public ::testing::Test {
 protected:
  struct TPage {
    std::vector<std::string> ours;
    std::vector<std::string> office;
  };

  static void SetUpTestSuite() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(SavedPagesDir())) {
      if (entry.path().extension() == ".html") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    out_ = new test::ScratchDir;
    test::ConvertWithOffice(files, "txt:Text (encoded):UTF8", out_->path());
    pages_ = new std::map<std::string, TPage>;
    for (const auto& file : files) {
      const std::string name = file.stem().string();
      (*pages_)[name] = {test::WordsOf(Utf16ToUtf8(WebPageText(test::ReadFileBytes(file), ""))),
                         test::WordsOf(test::ReadFileBytes(out_->path() / (name + ".txt")))};
    }
  }
  static void TearDownTestSuite() {
    delete pages_;
    delete out_;
  }

  static const TPage& Page(const std::string& name) { return pages_->at(name); }
  static inline test::ScratchDir* out_ = nullptr;
  static inline std::map<std::string, TPage>* pages_ = nullptr;
};

// Where the two differ by design, the tests below check our words exactly:
// forms (the suite leaves out what fields show) and a Windows-1252 page
// without a declaration (which the suite does not read as Windows-1252).
bool DiffersByDesign(const std::string& name) { return name.starts_with("form-") || name == "undeclared-1252"; }

TEST_F(SavedWebPagesTest, OurTextAgreesWithTheOfficeSuitesWordForWord) {
  ASSERT_GE(pages_->size(), 25u);
  double sum = 0;
  double comparableSum = 0;
  size_t comparable = 0;
  for (const auto& [name, page] : *pages_) {
    const double agreement = WordAgreement(page.ours, page.office);
    sum += agreement;
    std::printf("%-22s %5zu words, office %5zu, agreement %.3f\n", name.c_str(), page.ours.size(), page.office.size(),
                agreement);
    if (DiffersByDesign(name)) continue;
    comparableSum += agreement;
    ++comparable;
    EXPECT_GE(agreement, 0.97) << name;
  }
  const double mean = sum / static_cast<double>(pages_->size());
  const double comparableMean = comparableSum / static_cast<double>(comparable);
  std::printf("mean agreement over %zu pages: %.3f; over the %zu that do not differ by design: %.3f\n",
              pages_->size(), mean, comparable, comparableMean);
  RecordProperty("mean_word_agreement", std::to_string(mean));
  EXPECT_GE(comparableMean, 0.97);
}

TEST_F(SavedWebPagesTest, WorkbooksSavedAsPagesShowNoConditionalMarkers) {
  for (const char* name : {"sheet-1", "sheet-2", "sheet-3", "sheet-4"}) {
    for (const auto& word : Page(name).ours) EXPECT_EQ(word.find("<!["), std::string::npos) << name;
    EXPECT_EQ(Page(name).ours, Page(name).office) << name;
  }
}

TEST_F(SavedWebPagesTest, FormsShowTheChosenOptionsWhereTheSuiteShowsNoFieldAtAll) {
  const struct {
    const char* name;
    std::vector<std::string> shown;
  } cases[] = {
      {"form-1", {"Norway", "Economy", "(5", "days)", "Leave", "the", "parcel", "at", "the", "back", "door."}},
      {"form-2", {"Chile", "Economy", "(5", "days)", "Leave", "the", "parcel", "at", "the", "back", "door."}},
      {"form-3", {"Argentina", "Economy", "(5", "days)", "Leave", "the", "parcel", "at", "the", "back", "door."}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Missing(Page(c.name).ours, Page(c.name).office), c.shown) << c.name;
    EXPECT_TRUE(Missing(Page(c.name).office, Page(c.name).ours).empty()) << c.name;
  }
}

TEST_F(SavedWebPagesTest, UndeclaredPagesReadAsTheirBytesAre) {
  for (const char* name : {"undeclared-utf8-1", "undeclared-utf8-2", "undeclared-utf8-3", "undeclared-utf8-4"}) {
    const auto& page = Page(name);
    for (const auto& word : page.ours) EXPECT_EQ(word.find("\xC3\x83"), std::string::npos) << name << ": " << word;
    EXPECT_EQ(page.ours, page.office) << name;
  }
  const std::vector<std::string> windows1252 = {
      "R\xC3\xA9sum\xC3\xA9", "Na\xC3\xAFve", "caf\xC3\xA9", "owner", "seeks", "a", "fa\xC3\xA7\x61\x64\x65",
      "painter", "\xE2\x80\x94", "\xC2\xA3\x32\x30\x30", "per", "day."};
  EXPECT_EQ(Page("undeclared-1252").ours, windows1252);
  std::string office;
  for (const auto& word : Page("undeclared-1252").office) office += word + " ";
  std::printf("the office suite's words of undeclared-1252: %s\n", office.c_str());
}

}  // namespace
}  // namespace varnolt
