#include "platform/Paths.h"

#include <gtest/gtest.h>

namespace varnolt {
namespace {

TEST(PathsTest, FileNamesSurviveTheTripThroughUtf16ByteForByte) {
  struct Case {
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"plain.pdf", u"plain.pdf"},
      {"caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80", u"caf\u00E9 \u4E2D \U0001F600"},
      // Latin-1 bytes, a lone continuation byte, a cut-off sequence, an encoded surrogate.
      {"caf\xE9.rtf", u"caf\xDCE9.rtf"},
      {"\x80x", u"\xDC80x"},
      {"a\xE4\xB8", u"a\xDCE4\xDCB8"},
      {"\xED\xB2\x80", u"\xDCED\xDCB2\xDC80"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileNameToUtf16(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(Utf16ToFileName(c.text), c.bytes) << c.bytes;
  }
}

TEST(PathsTest, OtherLoneSurrogatesBecomeTheReplacementCharacter) {
  EXPECT_EQ(Utf16ToFileName(u"a\xD800" "b\xDC10"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

}  // namespace
}  // namespace varnolt
