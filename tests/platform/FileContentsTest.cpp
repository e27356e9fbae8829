#include "platform/FileContents.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "tests/support/TestData.h"

namespace varnolt {
namespace {

TEST(FileContentsTest, ReadsTheWholeFileWithEveryByte) {
  test::ScratchDir dir;
  const std::string bytes("a\r\nb\0c\xFF", 7);
  test::WriteFileBytes(dir / "text.txt", bytes);
  auto contents = ReadFileContents(dir / "text.txt");
  EXPECT_EQ(contents.failedStep, FileReadStep::kNone);
  EXPECT_EQ(contents.bytes, bytes);
}

TEST(FileContentsTest, TellsWhichStepFailed) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "empty.txt", "");
  auto empty = ReadFileContents(dir / "empty.txt");
  EXPECT_EQ(empty.failedStep, FileReadStep::kSize);
  EXPECT_EQ(empty.systemError, kEmptyFileReason);
  EXPECT_TRUE(empty.bytes.empty());

  auto folder = ReadFileContents(dir.path());
  EXPECT_EQ(folder.failedStep, FileReadStep::kOpen);
  EXPECT_EQ(folder.systemError, "Is a directory");

  auto missing = ReadFileContents(dir / "nothing-here.txt");
  EXPECT_TRUE(missing.fileMissing);
  EXPECT_EQ(missing.failedStep, FileReadStep::kNone);
  EXPECT_TRUE(ReadFileContents("").fileMissing);
}

// A file cut short by another process while it is read gives what is left;
// it never kills the reader.
TEST(FileContentsTest, SurvivesAFileTruncatedWhileItIsRead) {
  test::ScratchDir dir;
  const auto path = dir / "shrinking.txt";
  const std::string block(16 << 20, 'x');
  test::WriteFileBytes(path, block);
  EXPECT_EXIT(
      {
        std::atomic<bool> done{false};
        std::thread shrinker([&] {
          while (!done) {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd < 0) continue;
            if (::ftruncate(fd, 0) == 0 && ::write(fd, block.data(), block.size()) < 0) break;
            ::close(fd);
          }
        });
        bool onlyWholeBytes = true;
        for (int i = 0; i < 200; ++i) {
          const auto contents = ReadFileContents(path);
          onlyWholeBytes = onlyWholeBytes && contents.bytes.find_first_not_of('x') == std::string::npos;
        }
        done = true;
        shrinker.join();
        std::exit(onlyWholeBytes ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace varnolt
