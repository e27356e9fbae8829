#include "pdf/PdfSpillFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "pdf/PdfTypes.h"
#include "tests/pdf/PdfTestHelpers.h"
#include "tests/support/Environment.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using test::MessageOf;

std::string Pattern(std::size_t length, char seed) {
  std::string bytes(length, '\0');
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(seed + i * 7);
  return bytes;
}

TEST(PdfSpillFileTest, WhatIsAppendedComesBackFromItsRange) {
  // Nothing, a page's content, bytes a C string would cut, and more than
  // one piece of the copy back.
  const std::vector<std::string> chunks = {"", "/F0 10 Tf\nBT\n<48656C6C6F> Tj\nET\n", std::string("a\0b\r\n", 5),
                                           Pattern(600 * 1024 + 3, 'x'), Pattern(700 * 1024, 'y'), "last"};
  // Written through, held and written in one go, and held a little.
  for (std::size_t holdUpTo : {std::size_t{0}, TPdfSpillFile::kHeldBytes, std::size_t{8}}) {
    SCOPED_TRACE(holdUpTo);
    test::ScratchDir folder;
    const int descriptor = ::open((folder / "pages").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(descriptor, 0);
    TPdfSpillFile file(descriptor, holdUpTo);
    std::vector<TPdfSpillFile::TRange> ranges;
    for (const std::string& chunk : chunks) ranges.push_back(file.Append(chunk));

    std::int64_t expectedOffset = 0;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(ranges[i].Offset, expectedOffset);
      EXPECT_EQ(ranges[i].Length, chunks[i].size());
      expectedOffset += static_cast<std::int64_t>(chunks[i].size());
    }
    // Read back out of order: nothing depends on a read position.
    for (std::size_t i = chunks.size(); i-- > 0;) {
      SCOPED_TRACE(i);
      EXPECT_EQ(file.Read(ranges[i]), chunks[i]);
      MemoryOutputStream copied;
      copied.Write("head ");
      file.CopyTo(ranges[i], copied);
      EXPECT_EQ(copied.Bytes(), "head " + chunks[i]);
    }
  }
}

TEST(PdfSpillFileTest, TheTemporaryFileHasNoNameInTheTemporaryFolder) {
  test::ScratchDir folder;
  test::ScopedEnvironment tmpdir("TMPDIR", folder.path().string());
  std::unique_ptr<TPdfSpillFile> file = TPdfSpillFile::OpenTemporary();
  ASSERT_NE(file, nullptr);
  const std::string content = Pattern(TPdfSpillFile::kHeldBytes + 1, 'c');
  const TPdfSpillFile::TRange range = file->Append(content);
  EXPECT_EQ(file->Read(range), content);
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(PdfSpillFileTest, NoFileWhereTheTemporaryFolderCannotTakeOne) {
  test::ScratchDir folder;
  test::ScopedEnvironment tmpdir("TMPDIR", (folder / "missing").string());
  EXPECT_EQ(TPdfSpillFile::OpenTemporary(), nullptr);
}

TEST(PdfSpillFileTest, AFullDiskFailsTheAppendWithTheSystemsReason) {
  const int full = ::open("/dev/full", O_RDWR | O_CLOEXEC);
  ASSERT_GE(full, 0) << "the test needs /dev/full";
  TPdfSpillFile file(full);
  const std::string page = "page content";
  // Held, so not written yet.
  const TPdfSpillFile::TRange held = file.Append(page);
  const std::string message = "Append --the temporary file of finished pages cannot be written: No space left on device.";
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { file.Append(Pattern(TPdfSpillFile::kHeldBytes, 'z')); }), message);
  // Nothing held is lost, and nothing to write needs no room.
  EXPECT_EQ(file.Read(held), page);
  EXPECT_EQ(file.Append("").Length, 0u);
  TPdfSpillFile through(::open("/dev/full", O_RDWR | O_CLOEXEC), 0);
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { through.Append(page); }), message);
}

TEST(PdfSpillFileTest, BytesThatAreGoneFailTheReadBack) {
  test::ScratchDir folder;
  const std::string path = (folder / "pages").string();
  const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(descriptor, 0);
  TPdfSpillFile file(descriptor, 0);
  const TPdfSpillFile::TRange range = file.Append("some page content");
  std::filesystem::resize_file(path, 4);
  const std::string expected = "Read --the temporary file of finished pages cannot be read: the file ended early.";
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { file.Read(range); }), expected);
  MemoryOutputStream copied;
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { file.CopyTo(range, copied); }), expected);
}

}  // namespace
}  // namespace varnolt
