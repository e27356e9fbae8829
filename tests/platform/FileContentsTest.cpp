#include "platform/FileContents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <istream>
#include <iterator>
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

  ASSERT_EQ(::mkfifo((dir / "fifo.txt").c_str(), 0600), 0);
  auto fifo = ReadFileContents(dir / "fifo.txt");
  EXPECT_EQ(fifo.failedStep, FileReadStep::kOpen) << "refused without waiting for a writer";
  EXPECT_EQ(fifo.systemError, "It is not a regular file.");

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

// Every byte arrives whatever the chunk size, also after the seeks by which
// a reader learns the size.
TEST(FileInputBufferTest, ReadsEveryByteInChunksOfAnySize) {
  test::ScratchDir dir;
  std::string bytes;
  for (int i = 0; i < 10000; ++i) bytes += static_cast<char>(i * 7 % 256);
  test::WriteFileBytes(dir / "bytes.bin", bytes);
  for (const std::size_t chunkSize : {std::size_t{1}, std::size_t{3}, std::size_t{4096}, std::size_t{10000},
                                      FileInputBuffer::kDefaultChunkSize}) {
    FileInputBuffer buffer(dir / "bytes.bin", chunkSize);
    ASSERT_TRUE(buffer.IsOpen());
    std::istream stream(&buffer);
    std::string read(5, '\0');
    stream.read(read.data(), 5);
    const auto start = stream.tellg();
    ASSERT_TRUE(stream.seekg(0, std::ios::end));
    EXPECT_EQ(stream.tellg(), std::streampos(10000)) << chunkSize;
    ASSERT_TRUE(stream.seekg(start));
    read += std::string(std::istreambuf_iterator<char>(stream), {});
    EXPECT_EQ(read, bytes) << "chunks of " << chunkSize;
    EXPECT_EQ(buffer.Status().failedStep, FileReadStep::kNone);
  }
}

TEST(FileInputBufferTest, SaysWhyAFileCannotBeRead) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "empty.rtf", "");
  ASSERT_EQ(::mkfifo((dir / "fifo.rtf").c_str(), 0600), 0);
  struct Case {
    std::string name;
    bool open;
    FileReadStep step;
    std::string reason;
    bool missing;
  };
  const Case cases[] = {
      {"empty.rtf", true, FileReadStep::kNone, "", false},
      {"missing.rtf", false, FileReadStep::kNone, "", true},
      {".", false, FileReadStep::kOpen, "Is a directory", false},
      {"fifo.rtf", false, FileReadStep::kOpen, "It is not a regular file.", false},
  };
  for (const auto& c : cases) {
    FileInputBuffer buffer(dir / c.name);
    EXPECT_EQ(buffer.IsOpen(), c.open) << c.name;
    EXPECT_EQ(buffer.Status().failedStep, c.step) << c.name;
    EXPECT_EQ(buffer.Status().systemError, c.reason) << c.name;
    EXPECT_EQ(buffer.Status().fileMissing, c.missing) << c.name;
    std::istream stream(&buffer);
    EXPECT_EQ(stream.get(), std::istream::traits_type::eof()) << c.name;
  }
}

// A read that fails part way ends the input where it failed and says so;
// it does not pass for the end of the file.
TEST(FileInputBufferTest, AReadFailingPartWayIsKept) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "big.rtf", std::string(3000, 'x'));
  FileInputBuffer buffer(dir / "big.rtf", 1000);
  std::istream stream(&buffer);
  std::string first(1500, '\0');
  ASSERT_TRUE(stream.read(first.data(), 1500));
  ASSERT_EQ(test::BreakReadsOf(dir / "big.rtf"), 1);
  const std::string rest(std::istreambuf_iterator<char>(stream), {});
  EXPECT_EQ(rest, std::string(500, 'x')) << "the chunk already read is still there";
  EXPECT_EQ(buffer.Status().failedStep, FileReadStep::kRead);
  EXPECT_EQ(buffer.Status().systemError, "Bad file descriptor");
}

}  // namespace
}  // namespace varnolt
