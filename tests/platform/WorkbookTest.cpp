// The workbook writer says its failures once, in its own words: the
// library's own error lines never reach standard error.
#include "platform/Workbook.h"

#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "tests/support/Folders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

TEST(WorkbookTest, AWorkbookThatCannotBeWrittenSaysWhyWithoutTheLibrarysLines) {
  test::ScratchDir dir;
  const struct {
    std::filesystem::path file;
    std::filesystem::path scratch;
    std::string reason;
  } cases[] = {
      {dir / "missing" / "out.xlsx", dir.path(), "the file could not be created (No such file or directory)"},
      {dir / "out.xlsx", dir / "missing",
       "no temporary file could be made in \"" + (dir / "missing").string() + "\" (No such file or directory)"},
  };
  for (const auto& c : cases) {
    testing::internal::CaptureStderr();
    std::string error;
    try {
      TWorkbookWriter workbook(c.file, c.scratch);
      workbook.WriteCell(0, 0, 0, "cell");
      workbook.Close();
    } catch (const Exception& caught) {
      error = caught.what();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.file;
    if (c.scratch == dir.path()) {
      EXPECT_EQ(error, c.reason);
    } else if (!error.empty()) {
      // Where the library keeps its parts in memory it needs no scratch file
      // and the workbook is written; where it does not, the reason is ours.
      EXPECT_EQ(error, c.reason);
    } else {
      // Written whole: not a half-written one to look for below.
      EXPECT_TRUE(std::filesystem::remove(c.file)) << c.file;
    }
  }
  EXPECT_EQ(test::NamesIn(dir.path()), std::vector<std::string>{}) << "no half-written workbook is left";
}

}  // namespace
}  // namespace varnolt
