#include "platform/FileMapping.h"

#include <gtest/gtest.h>

#include "tests/support/TestData.h"

namespace varnolt {
namespace {

TEST(FileMappingTest, ReadsTheWholeFileWithEveryByte) {
  test::ScratchDir dir;
  const std::string bytes("a\r\nb\0c\xFF", 7);
  test::WriteFileBytes(dir / "text.txt", bytes);
  auto contents = MapFileToString(dir / "text.txt");
  EXPECT_EQ(contents.failedStep, FileMappingStep::kNone);
  EXPECT_EQ(contents.bytes, bytes);
}

TEST(FileMappingTest, TellsWhichStepFailed) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "empty.txt", "");
  auto empty = MapFileToString(dir / "empty.txt");
  EXPECT_EQ(empty.failedStep, FileMappingStep::kCreateMapping);
  EXPECT_FALSE(empty.systemError.empty());
  EXPECT_TRUE(empty.bytes.empty());

  auto folder = MapFileToString(dir.path());
  EXPECT_EQ(folder.failedStep, FileMappingStep::kOpen);

  auto missing = MapFileToString(dir / "nothing-here.txt");
  EXPECT_TRUE(missing.fileMissing);
  EXPECT_EQ(missing.failedStep, FileMappingStep::kNone);
  EXPECT_TRUE(MapFileToString("").fileMissing);
}

}  // namespace
}  // namespace varnolt
