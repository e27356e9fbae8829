#include "richtext/rtf/reader/RVRTFTokenizer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "richtext/rtf/reader/RVRTFKeywords.h"

namespace varnolt {
namespace {

struct WordCase {
  const char* name;
  std::string text;  // what follows the backslash
  std::string keyword;
  std::int32_t param;
  bool hasParam;
  int next;  // the byte read after the word, -1 at the end
};

const WordCase kWordCases[] = {
    {"space ends the word and is taken", "b0 x", "b", 0, true, 'x'},
    {"next control word", "fs24\\b", "fs", 24, true, '\\'},
    {"no parameter", "par}", "par", 0, false, '}'},
    {"negative parameter", "li-360 a", "li", -360, true, 'a'},
    {"minus without digits", "f- x", "f", 0, false, 'x'},
    {"control symbol", "'e9", "'", 0, false, 'e'},
    {"escaped backslash", "\\\\", "\\", 0, false, '\\'},
    {"parameter beyond 32 bits", "u99999999999?", "u", 0, true, '?'},
    {"largest parameter", "u2147483647?", "u", 2147483647, true, '?'},
    {"negative Unicode character", "u-3913?", "u", -3913, true, '?'},
    {"keyword cut at the limit", std::string(70, 'a') + "1 z", std::string(kMaxRTFKeywordLength, 'a'), 1, true, 'z'},
    {"word at the end of the input", "par", "par", 0, false, -1},
    {"parameter at the end of the input", "fs24", "fs", 24, true, -1},
};

// Each word is read with its start at every place around the end of the
// first input block, so that it lies in one block or runs on into the next.
TEST(RVRTFTokenizerTest, ControlWordsReadTheSameWhereverTheBlockEnds) {
  for (const auto& c : kWordCases) {
    for (std::size_t before = TRVRTFInput::kBlockSize - c.text.size() - 2; before <= TRVRTFInput::kBlockSize;
         ++before) {
      const std::string input = std::string(before, 'x') + c.text;
      std::istringstream stream(input);
      TRVRTFInput reader;
      reader.Open(stream, [] {});
      for (std::size_t i = 0; i < before; ++i) reader.Next();
      TRVRTFControlWord word;
      ASSERT_TRUE(ReadRTFControlWord(reader, word)) << c.name << " at " << before;
      EXPECT_EQ(word.Keyword(), c.keyword) << c.name << " at " << before;
      EXPECT_EQ(word.param, c.param) << c.name << " at " << before;
      EXPECT_EQ(word.hasParam, c.hasParam) << c.name << " at " << before;
      EXPECT_EQ(reader.Next(), c.next) << c.name << " at " << before;
    }
  }
}

TEST(RVRTFTokenizerTest, InputEndingAfterTheBackslashHasNoWord) {
  std::istringstream stream("");
  TRVRTFInput reader;
  reader.Open(stream, [] {});
  TRVRTFControlWord word;
  EXPECT_FALSE(ReadRTFControlWord(reader, word));
}

TEST(RVRTFTokenizerTest, APushedBackByteStartsTheWord) {
  std::istringstream stream("ar x");
  TRVRTFInput reader;
  reader.Open(stream, [] {});
  reader.PushBack('p');
  TRVRTFControlWord word;
  ASSERT_TRUE(ReadRTFControlWord(reader, word));
  EXPECT_EQ(word.Keyword(), "par");
  EXPECT_EQ(reader.Next(), 'x');
}

TEST(RVRTFKeywordTableTest, EveryRowIsFoundByItsKeyword) {
  for (const TRVRTFsymbol& row : RTFKeywordTable()) {
    EXPECT_EQ(FindRTFKeyword(row.keyword), &row) << row.keyword;
  }
}

TEST(RVRTFKeywordTableTest, NearMissesAreNotKeywords) {
  const std::string_view misses[] = {"", "B", "Par", "pa", "parx", "loch", "hich", "listoverridestartatx",
                                     std::string_view("par\0", 4)};
  for (std::string_view miss : misses) {
    EXPECT_EQ(FindRTFKeyword(miss), nullptr) << miss;
  }
}

}  // namespace
}  // namespace varnolt
