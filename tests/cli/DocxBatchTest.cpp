// .docx inputs read by our own reader in the batch mode: no office suite
// needed, the text as LibreOffice itself reads the same file, and the
// failures of damaged input.
#include <gtest/gtest.h>

#include "tests/support/OfficeChecks.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

test::SplitCommandResult Varnolt(std::vector<std::string> arguments, std::vector<std::string> environment) {
  arguments.insert(arguments.begin(), VARNOLT_EXECUTABLE);
  environment.insert(environment.begin(), "/usr/bin/env");
  arguments.insert(arguments.begin(), environment.begin(), environment.end());
  return test::RunCommandSplit(arguments);
}

class DocxBatchTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<test::ScratchDir>();
    const auto source = *dir_ / "docx-features.fodt";
    std::filesystem::copy_file(test::TestDataDir() / "office" / "docx-features.fodt", source);
    test::ConvertWithOffice({source}, "docx", dir_->path());
    test::ConvertWithOffice({*dir_ / "docx-features.docx"}, "txt:Text (encoded):UTF8", *dir_ / "office");
  }
  static void TearDownTestSuite() { dir_.reset(); }
  static std::unique_ptr<test::ScratchDir> dir_;
  // No office suite to be found: whatever works, works without it.
  std::string noOffice_ = "VARNOLT_SOFFICE=/nonexistent/soffice";
};

std::unique_ptr<test::ScratchDir> DocxBatchTest::dir_;

TEST_F(DocxBatchTest, TextAgreesWithTheOfficeSuitesOwnWithoutStartingIt) {
  test::ScratchDir out;
  test::ScratchDir tmp;
  const auto result = Varnolt({(*dir_ / "docx-features.docx").string(), "-o", (out / "out.txt").string()},
                              {noOffice_, "TMPDIR=" + tmp.path().string()});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  const auto ours = test::WordsOf(test::ReadFileBytes(out / "out.txt"));
  const auto theirs = test::WordsOf(test::ReadFileBytes(*dir_ / "office" / "docx-features.txt"));
  const double agreement = test::WordAgreement(ours, theirs);
  EXPECT_GE(agreement, 0.97) << test::ReadFileBytes(out / "out.txt");
  RecordProperty("word_agreement", std::to_string(agreement));
  EXPECT_TRUE(std::filesystem::is_empty(tmp.path())) << "nothing left in TMPDIR";
}

TEST_F(DocxBatchTest, DamagedDocumentsFailNamingTheFileAndTheReason) {
  test::ScratchDir out;
  test::WriteFileBytes(out / "text.docx", "These are words, not a package.");
  const auto whole = test::ReadFileBytes(*dir_ / "docx-features.docx");
  test::WriteFileBytes(out / "cut.docx", whole.substr(0, whole.size() / 2));
  for (const char* name : {"text.docx", "cut.docx"}) {
    const auto input = (out / name).string();
    const auto result = Varnolt({input, "-o", (out / "out.pdf").string()}, {noOffice_});
    EXPECT_EQ(result.exitCode, 1) << name;
    EXPECT_NE(result.standardError.find(input), std::string::npos) << result.standardError;
    EXPECT_FALSE(std::filesystem::exists(out / "out.pdf")) << name;
  }
  EXPECT_NE(Varnolt({(out / "text.docx").string(), "-o", (out / "o.txt").string()}, {noOffice_})
                .standardError.find("zip package"),
            std::string::npos);
}

TEST_F(DocxBatchTest, TheOfficeReaderSettingSendsDocxThroughLibreOffice) {
  test::ScratchDir out;
  const auto result = Varnolt({(*dir_ / "docx-features.docx").string(), "-o", (out / "out.txt").string()},
                              {noOffice_, "VARNOLT_OFFICE_READER=libreoffice"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.standardError.find("Microsoft Office Word is not installed"), std::string::npos)
      << result.standardError;
}

}  // namespace
}  // namespace varnolt
