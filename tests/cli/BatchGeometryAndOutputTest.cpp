// The batch mode's page geometry and the files it replaces, through the real program.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/cli/VarnoltProcess.h"
#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

test::SplitCommandResult Varnolt(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), VARNOLT_EXECUTABLE);
  return test::RunCommandSplit(arguments);
}

TEST(BatchGeometryTest, AGeometryThatLeavesTheTextNoRoomIsRefusedWithWhatFits) {
  struct Case {
    const char* option;
    const char* value;
    const char* fits;  // the end of the message
  };
  // The default page is 495 x 614 with margins 15; "w" is the widest letter.
  const Case cases[] = {
      {"--margins", "122,15", "On a page 495 points wide a left margin of at most 121 fits.\n"},
      {"--margins", "300,300", "On a page 495 points wide a left margin of at most 121 fits.\n"},
      {"--margins", "15,151", "On a page 614 points high a top margin of at most 150 fits.\n"},
      {"--page-size", "0,0", "A page at least 69 points wide fits with a left margin of 15.\n"},
      {"--page-size", "14401,800", "a PDF page fits at most 14400 x 14400.\n"},
  };
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "hello.txt", "Hello world");
  for (const Case& c : cases) {
    const auto out = dir / "out.pdf";
    auto result = Varnolt({(dir / "hello.txt").string(), "-o", out.string(), c.option, c.value});
    EXPECT_EQ(result.exitCode, 1) << c.value;
    EXPECT_EQ(result.standardError.rfind("varnolt: ", 0), 0u) << result.standardError;
    const std::string fits = c.fits;
    EXPECT_TRUE(result.standardError.size() > fits.size() &&
                result.standardError.compare(result.standardError.size() - fits.size(), fits.size(), fits) == 0)
        << result.standardError;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.value;
  }
}

TEST(BatchGeometryTest, ATextAreaJustWideEnoughForTheWidestLetterLosesNoLetter) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "hello.txt", "Hello world");
  const auto out = dir / "out.pdf";
  auto result =
      Varnolt({(dir / "hello.txt").string(), "-o", out.string(), "--margins", "121,15", "-q", "--plain-pdf"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_TRUE(test::PassesQpdfCheck(out));
  EXPECT_EQ(test::WithoutWhiteSpace(test::ExtractedText(out)), "Helloworld");
}

mode_t ModeOf(const std::filesystem::path& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0);
  return status.st_mode & 07777;
}

TEST(BatchOutputTest, ReplacingAnOutputKeepsItsPermissionsAndItsSymbolicLink) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "a.txt", "some text");
  for (const char* output : {"out.pdf", "out.txt", "out.rtf"}) {
    test::WriteFileBytes(dir / output, "old");
    ASSERT_EQ(chmod((dir / output).c_str(), 0600), 0);
    auto result = Varnolt({(dir / "a.txt").string(), "-o", (dir / output).string(), "-q"});
    ASSERT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_NE(test::ReadFileBytes(dir / output), "old") << output;
    EXPECT_EQ(ModeOf(dir / output), 0600u) << output;
  }

  std::filesystem::create_directory(dir / "keep");
  test::WriteFileBytes(dir / "keep" / "real.pdf", "old");
  std::filesystem::create_symlink("keep/real.pdf", dir / "link.pdf");
  auto result = Varnolt({(dir / "a.txt").string(), "-o", (dir / "link.pdf").string(), "-q"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.pdf"));
  EXPECT_TRUE(test::PassesQpdfCheck(dir / "keep" / "real.pdf"));
}

// Refused as a shell's ">" refuses it. Root may write any file, so the
// run as root is refused for the file having no write bit at all; the run
// as an ordinary user is refused for the file being another user's.
TEST(BatchOutputTest, AWriteProtectedOutputIsRefusedAndStaysAsItWas) {
  test::ScratchDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  test::WriteFileBytes(dir / "a.txt", "new words");
  ASSERT_EQ(chmod((dir / "a.txt").c_str(), 0644), 0);
  for (const std::string extension : {".pdf", ".rtf", ".txt", ".xlsx"}) {
    const auto out = dir / ("out" + extension);
    test::WriteFileBytes(out, "old");
    ASSERT_EQ(chmod(out.c_str(), 0444), 0);
    auto result = Varnolt({(dir / "a.txt").string(), "-o", out.string()});
    EXPECT_EQ(result.exitCode, 1) << extension;
    EXPECT_EQ(result.standardError, "varnolt: Cannot create file \"" + out.string() + "\". Permission denied\n");
    EXPECT_EQ(test::ReadFileBytes(out), "old") << extension;
  }
  if (geteuid() != 0) return;
  ASSERT_EQ(chmod((dir / "out.pdf").c_str(), 0644), 0);
  test::VarnoltSetting nobody;
  nobody.asNobody = true;
  auto result = test::RunVarnoltWith({(dir / "a.txt").string(), "-o", (dir / "out.pdf").string()}, nobody);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError,
            "varnolt: Cannot create file \"" + (dir / "out.pdf").string() + "\". Permission denied\n");
  EXPECT_EQ(test::ReadFileBytes(dir / "out.pdf"), "old");
}

}  // namespace
}  // namespace varnolt
