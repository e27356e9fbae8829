// RTF as other programs write it: files LibreOffice wrote from documents of
// ours, a hand-written file in the code-page style of older word processors,
// and hostile files that once crashed other readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

#include "richtext/rtf/reader/RVRTFReader.h"
#include "tests/richtext/rtf/reader/RVRTFTestRecorder.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using test::ParseRtf;
using test::RecorderOptions;
using test::TRVRTFRecorder;

std::vector<std::string> NonEmptyLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

std::size_t CountEvents(const std::vector<std::string>& events, const std::string& prefix) {
  return static_cast<std::size_t>(std::count_if(events.begin(), events.end(), [&](const std::string& event) {
    return event.rfind(prefix, 0) == 0;
  }));
}

struct ReadFile {
  std::uint8_t result = 0;
  std::vector<std::string> events;
  std::string text;
};

ReadFile Read(const std::string& name, bool unicode = true) {
  TRVRTFReader reader;
  RecorderOptions options;
  options.convertText = true;
  options.unicode = unicode;
  TRVRTFRecorder recorder(reader, options);
  ReadFile read;
  read.result = ParseRtf(reader, test::ReadFileBytes(test::TestDataDir() / "rtf" / name));
  read.events = recorder.events;
  read.text = recorder.Text();
  return read;
}

// Our text equals LibreOffice's own reading of the same file, line by line.
TEST(RVRTFRealFilesTest, TextMatchesLibreOfficeReading) {
  for (const char* name : {"tables", "scripts", "codepages"}) {
    const ReadFile read = Read(std::string(name) + ".rtf");
    EXPECT_EQ(read.result, kRtfOk) << name;
    const std::string expected = test::ReadFileBytes(test::TestDataDir() / "rtf" / (std::string(name) + ".txt"));
    EXPECT_EQ(NonEmptyLines(read.text), NonEmptyLines(expected)) << name;
  }
}

TEST(RVRTFRealFilesTest, CodePageTextWithoutUnicodeHandler) {
  const ReadFile read = Read("codepages.rtf", false);
  ASSERT_EQ(read.result, kRtfOk);
  const auto lines = NonEmptyLines(read.text);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "Привет, мир");
  EXPECT_EQ(lines[2], "你好世界");
  EXPECT_EQ(lines[3], "こんにちは世界");
  // Without Unicode the fallbacks count, in the code page of their font.
  EXPECT_EQ(lines[5], "Mixed: \xC3\x8F and \xC3\x84\xC3\xA3 end");
}

TEST(RVRTFRealFilesTest, TablesKeepTheirNesting) {
  const ReadFile read = Read("tables.rtf");
  EXPECT_EQ(CountEvents(read.events, "table:start"), 2u);
  EXPECT_EQ(CountEvents(read.events, "table:end") + CountEvents(read.events, "table:forced-end"), 2u);
  EXPECT_EQ(CountEvents(read.events, "table:row"), 3u);
  const auto innerStart = std::find(read.events.begin(), read.events.end(), "NP:Inner one");
  ASSERT_NE(innerStart, read.events.end());
  // The inner table opens after the outer one has a cell and closes before "Gamma".
  const auto starts = std::find(read.events.begin(), innerStart, "table:start");
  EXPECT_NE(std::find(starts + 1, innerStart, "table:start"), innerStart);
}

TEST(RVRTFRealFilesTest, ListsArriveAsListTables) {
  TRVRTFReader reader;
  TRVRTFRecorder recorder(reader);
  std::vector<int> paragraphOverrides;
  std::vector<std::string> lines;
  reader.OnNewText = [&](TRVRTFReader& sender, const TRVAnsiString& text, TRVRTFPosition) {
    if (text.empty()) return;
    paragraphOverrides.push_back(sender.RTFState().paraProps.listOverrideIndex);
    lines.push_back(text);
  };
  ASSERT_EQ(ParseRtf(reader, test::ReadFileBytes(test::TestDataDir() / "rtf" / "lists.rtf")), kRtfOk);
  ASSERT_GE(reader.ListTable().Count(), 2);
  ASSERT_GE(reader.ListOverrideTable().Count(), 2);
  std::set<std::uint8_t> firstLevelTypes;
  for (int i = 0; i < reader.ListTable().Count(); ++i) {
    const TRVRTFList97* list = reader.ListTable().At(i);
    ASSERT_FALSE(list->levels.empty());
    firstLevelTypes.insert(list->levels[0].listType);
    for (const auto& level : list->levels) {
      ASSERT_FALSE(level.text.empty());
      EXPECT_EQ(level.text.size(), static_cast<std::size_t>(level.text[0]) + 1);
    }
  }
  EXPECT_TRUE(firstLevelTypes.count(6)) << "a bullet list";
  EXPECT_TRUE(firstLevelTypes.count(1)) << "a decimal list";
  for (int i = 0; i < reader.ListOverrideTable().Count(); ++i) {
    EXPECT_NE(reader.ListOverrideTable().At(i)->listIndex, -1);
  }
  ASSERT_EQ(paragraphOverrides.size(), 5u);
  for (int index : paragraphOverrides) EXPECT_GE(index, 0);
  EXPECT_EQ(lines, (std::vector<std::string>{"First bullet", "Second bullet", "Numbered one", "Nested letter",
                                      "Numbered two"}));
}

TEST(RVRTFRealFilesTest, NotesAndPicturesArrive) {
  const ReadFile read = Read("notes-pictures.rtf");
  ASSERT_EQ(read.result, kRtfOk);
  EXPECT_EQ(CountEvents(read.events, "note:start"), 1u);
  EXPECT_EQ(CountEvents(read.events, "note:end"), 1u);
  // The PNG of the "shppict" group is taken and its metafile alternative skipped.
  EXPECT_EQ(CountEvents(read.events, "pic:TPngGraphic 4x3"), 1u);
  EXPECT_EQ(CountEvents(read.events, "pic:"), 1u);
  const auto start = std::find_if(read.events.begin(), read.events.end(),
                                  [](const std::string& e) { return e.rfind("note:start", 0) == 0; });
  const auto body = std::find_if(start, read.events.end(), [](const std::string& e) {
    return e.find("The footnote body") != std::string::npos;
  });
  const auto end = std::find_if(start, read.events.end(), [](const std::string& e) {
    return e.rfind("note:end", 0) == 0;
  });
  EXPECT_LT(body, end);
  for (const char* phrase : {"Text with a note", "and more.", "A picture:", "after it.", "Second page"}) {
    EXPECT_NE(read.text.find(phrase), std::string::npos) << phrase;
  }
}

// Every hostile sample ends with a result code; a crash, hang or sanitizer
// report fails the test run.
TEST(RVRTFRealFilesTest, CrashSamplesEndWithAResult) {
  const std::set<std::uint8_t> documented = {kRtfOk,         kRtfUnmatchedClose,   kRtfTooDeep,
                                             kRtfUnexpectedEnd, kRtfBadHex,        kRtfEndAfterBackslash,
                                             kRtfInternalError, kRtfBadPictureOrObject, kRtfHandlerError};
  int files = 0;
  for (const char* folder : {"pass", "fail"}) {
    for (const auto& entry : std::filesystem::directory_iterator(test::SharedDataDir() / "rtf-crash" / folder)) {
      if (entry.path().extension() != ".rtf") continue;
      TRVRTFReader reader;
      RecorderOptions options;
      options.headers = true;
      options.markers = true;
      TRVRTFRecorder recorder(reader, options);
      const std::uint8_t result = ParseRtf(reader, test::ReadFileBytes(entry.path()));
      EXPECT_TRUE(documented.count(result)) << entry.path() << " gave " << int{result};
      ++files;
    }
  }
  EXPECT_GE(files, 28);
}

}  // namespace
}  // namespace varnolt
