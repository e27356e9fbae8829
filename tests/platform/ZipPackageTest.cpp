#include "platform/ZipPackage.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <utility>
#include <vector>

#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// A zip file written by libzip itself, each entry deflated.
std::string ZipOf(const Entries& entries) {
  test::ScratchDir dir;
  const auto path = dir / "made.zip";
  int code = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  EXPECT_NE(zip, nullptr);
  for (const auto& [name, bytes] : entries) {
    zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    EXPECT_GE(index, 0) << name;
    zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9);
  }
  EXPECT_EQ(zip_close(zip), 0);
  return test::ReadFileBytes(path);
}

const Entries kSmallPackage = {
    {"[Content_Types].xml", "<Types/>"},
    {"word/document.xml", std::string(5000, 'x') + "<end/>"},
    {"word/media/image1.png", std::string("\x89PNG\0\1\2", 7)},
};

TEST(ZipPackageTest, ListsAndReadsPartsFromFileAndMemory) {
  test::ScratchDir dir;
  const std::string bytes = ZipOf(kSmallPackage);
  test::WriteFileBytes(dir / "a.docx", bytes);
  ZipPackage fromFile(dir / "a.docx");
  ZipPackage fromMemory = ZipPackage::FromBytes(bytes, "memory.docx");
  for (ZipPackage* package : {&fromFile, &fromMemory}) {
    EXPECT_EQ(package->PartNames(), (std::vector<std::string>{"[Content_Types].xml", "word/document.xml",
                                                              "word/media/image1.png"}));
    for (const auto& [name, content] : kSmallPackage) EXPECT_EQ(package->ReadPart(name), content) << name;
    // Links inside a package name parts from its root, in any case.
    EXPECT_EQ(package->ReadPart("/Word/Media/IMAGE1.png"), kSmallPackage[2].second);
    EXPECT_TRUE(package->HasPart("/word/document.xml"));
    EXPECT_FALSE(package->HasPart("word/styles.xml"));
    EXPECT_EQ(package->TryReadPart("word/styles.xml"), std::nullopt);
    EXPECT_EQ(package->UnpackedTotal(), 8u + 5006u + 7u + 7u);
  }
}

TEST(ZipPackageTest, AMissingPartIsATypedErrorNamingFileAndPart) {
  ZipPackage package = ZipPackage::FromBytes(ZipOf(kSmallPackage), "report.docx");
  try {
    package.ReadPart("word/styles.xml");
    FAIL() << "no error";
  } catch (const EPackageError& error) {
    EXPECT_EQ(error.File(), "report.docx");
    EXPECT_EQ(error.Part(), "word/styles.xml");
    EXPECT_EQ(error.Message(), "report.docx, part word/styles.xml: no such part in the package");
  }
}

// What a failing read says; empty when it did not fail.
template <typename Read>
std::string ErrorOf(Read read) {
  try {
    read();
  } catch (const EPackageError& error) {
    return error.Message();
  }
  return {};
}

TEST(ZipPackageTest, LimitsHoldOnTheBytesUnpacked) {
  // Ten megabytes of zeros pack into about ten kilobytes: a bomb's ratio.
  const std::string bomb = ZipOf({{"word/document.xml", std::string(10 << 20, '\0')}, {"small.xml", "<a/>"}});
  const std::string twoParts = ZipOf({{"a.xml", std::string(3000, 'a')}, {"b.xml", std::string(3000, 'b')}});
  ZipLimits ratio;
  ratio.maxRatio = 100;
  ratio.ratioFreeSize = 4096;
  ZipLimits partSize;
  partSize.maxPartSize = 2000;
  ZipLimits total;
  total.maxTotalSize = 5000;
  ZipLimits entries;
  entries.maxEntries = 1;
  struct Case {
    const char* name;
    const std::string& zip;
    ZipLimits limits;
    const char* part;
    std::string message;
  };
  const Case cases[] = {
      {"ratio", bomb, ratio, "word/document.xml",
       "b.zip, part word/document.xml: the part unpacks to more than 100 times its packed size of "},
      {"default ratio", bomb, ZipLimits{}, "word/document.xml",
       "b.zip, part word/document.xml: the part unpacks to more than 500 times its packed size of "},
      {"part size", twoParts, partSize, "a.xml", "b.zip, part a.xml: the part unpacks to more than 2000 bytes"},
      {"entries", twoParts, entries, nullptr, "b.zip: it has 2 entries, more than the 1 allowed"},
  };
  for (const auto& c : cases) {
    const std::string message = ErrorOf([&] {
      ZipPackage package = ZipPackage::FromBytes(c.zip, "b.zip", c.limits);
      if (c.part) package.ReadPart(c.part);
    });
    EXPECT_TRUE(message.starts_with(c.message)) << c.name << ": " << message;
  }
  // The bomb's small neighbour stays readable.
  EXPECT_EQ(ZipPackage::FromBytes(bomb, "b.zip").ReadPart("small.xml"), "<a/>");
  // Each part fits alone; together they pass the total.
  ZipPackage package = ZipPackage::FromBytes(twoParts, "b.zip", total);
  EXPECT_EQ(package.ReadPart("a.xml").size(), 3000u);
  EXPECT_EQ(ErrorOf([&] { package.ReadPart("b.xml"); }),
            "b.zip, part b.xml: the package unpacks to more than 5000 bytes");
}

TEST(ZipPackageTest, DamagedOrForeignFilesAreRefusedWithTheReason) {
  const std::string good = ZipOf({{"word/document.xml", std::string(20000, 'w') + "tail"}});
  std::string flipped = good;
  // The deflated data starts after the 30-byte local header and the name.
  for (std::size_t i = 30 + 17 + 10; i < 30 + 17 + 20; ++i) flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
  struct Case {
    const char* name;
    std::string bytes;
    const char* part;
    std::string message;
  };
  const Case cases[] = {
      {"text", "{\\rtf1 not a package}", nullptr, "c.docx: it is no zip package"},
      {"empty", "", nullptr, "c.docx: the file is empty"},
      {"cut short", good.substr(0, good.size() / 2), nullptr, "c.docx: "},
      {"damaged data", flipped, "word/document.xml", "c.docx, part word/document.xml: "},
  };
  for (const auto& c : cases) {
    const std::string message = ErrorOf([&] {
      ZipPackage package = ZipPackage::FromBytes(c.bytes, "c.docx");
      if (c.part) package.ReadPart(c.part);
    });
    EXPECT_TRUE(message.starts_with(c.message)) << c.name << ": " << message;
    if (c.message.ends_with(": ")) {
      EXPECT_GT(message.size(), c.message.size() + 2) << c.name << " gives a reason";
    }
  }
}

TEST(ZipPackageTest, FilesThatCannotBeOpenedSaySo) {
  test::ScratchDir dir;
  EXPECT_EQ(ErrorOf([&] { ZipPackage package(dir / "none.docx"); }), (dir / "none.docx").string() + ": no such file");
  EXPECT_EQ(ErrorOf([&] { ZipPackage package(dir.path()); }), dir.path().string() + ": is a directory");
  test::WriteFileBytes(dir / "empty.docx", "");
  EXPECT_EQ(ErrorOf([&] { ZipPackage package(dir / "empty.docx"); }), (dir / "empty.docx").string() + ": the file is empty");
  test::WriteFileBytes(dir / "text.docx", "plain text, no package");
  EXPECT_EQ(ErrorOf([&] { ZipPackage package(dir / "text.docx"); }),
            (dir / "text.docx").string() + ": it is no zip package");
}

}  // namespace
}  // namespace varnolt
