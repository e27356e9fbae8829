#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace varnolt {
namespace {

struct ToWideCase {
  CodePageId codePage;
  std::string bytes;
  std::u16string expected;
};

TEST(CodePageTest, MultiByteToWideFollowsTheWindowsTables) {
  const ToWideCase cases[] = {
      {1252, "caf\xE9 \x80", u"caf\u00E9 \u20AC"},
      // The five bytes that Windows passes through as C1 controls.
      {1252, "\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"},
      {kCpAcp, "\x93quoted\x94", u"\u201Cquoted\u201D"},
      {kCpOemcp, "\x81\xC9", u"\u00FC\u2554"},
      {kCpMaccp, "\x8E", u"\u00E9"},
      {1251, "\xCF\xF0\xE8", u"\u041F\u0440\u0438"},
      {1253, "\xC1\xE2", u"\u0391\u03B2"},
      {936, "\xD6\xD0\xCE\xC4", u"\u4E2D\u6587"},
      {932, "\x82\xA0", u"\u3042"},
      // A lead byte with nothing after it cannot be a character.
      {936, "A\xD6", u"A?"},
      {932, "\x82", u"?"},
      {1252, "", u""},
  };
  for (const auto& c : cases) {
    auto converted = TryMultiByteToWide(c.codePage, c.bytes);
    ASSERT_TRUE(converted.has_value()) << c.codePage;
    EXPECT_EQ(*converted, c.expected) << "code page " << c.codePage << " bytes " << c.bytes;
  }
}

struct ToMultiByteCase {
  CodePageId codePage;
  std::u16string text;
  std::string expected;
};

TEST(CodePageTest, WideToMultiByteWritesQuestionMarksForTheUnconvertible) {
  const ToMultiByteCase cases[] = {
      {1252, u"\u20AC\u2022\u00E9", "\x80\x95\xE9"},
      {1252, u"\u0081\u009D", "\x81\x9D"},
      {1252, u"\u4E2D\u0416x", "??x"},
      {1252, u"\u0101", "?"},  // no best-fit "a"
      {936, u"\u4E2D", "\xD6\xD0"},
      {1251, u"\u0416", "\xC6"},
      {1252, u"\xD83D\xDE00", "?"},
  };
  for (const auto& c : cases) {
    auto converted = TryWideToMultiByte(c.codePage, c.text);
    ASSERT_TRUE(converted.has_value());
    EXPECT_EQ(*converted, c.expected) << "code page " << c.codePage;
  }
}

TEST(CodePageTest, UnsupportedCodePagesFallBackToTheSystemCodePage) {
  EXPECT_FALSE(IsCodePageSupported(12345));
  EXPECT_FALSE(TryMultiByteToWide(12345, "x").has_value());
  EXPECT_EQ(AnsiToUnicode(12345, "\xE9"), u"\u00E9");
  EXPECT_EQ(UnicodeToAnsi(12345, u"\u20AC"), "\x80");
  EXPECT_EQ(SystemAnsiCodePage(), 1252u);
  EXPECT_EQ(ResolveCodePage(kCpAcp), 1252u);
  EXPECT_EQ(ResolveCodePage(kCpOemcp), 437u);
  EXPECT_EQ(ResolveCodePage(kCpMaccp), 10000u);
}

TEST(CodePageTest, Utf8RoundTripsAndRejectsMalformedInput) {
  const std::u16string text = u"Gr\u00FC\u00DFe \u4E2D \xD83D\xDE00";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_TRUE(IsValidUtf8("plain"));
  EXPECT_TRUE(IsValidUtf8("\xE2\x82\xAC"));
  EXPECT_FALSE(IsValidUtf8("\xE9t\xE9"));
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
  EXPECT_EQ(Utf8ToUtf16("a\xFF"), u"a\uFFFD");
}

TEST(CodePageTest, FontNamesCompareWithoutCase) {
  EXPECT_TRUE(SameFontName(u"Times New Roman", u"TIMES NEW ROMAN"));
  EXPECT_TRUE(SameFontName(u"\u00C9l\u00E9gance", u"\u00E9L\u00C9GANCE"));
  EXPECT_FALSE(SameFontName(u"Arial", u"Arial Cyr"));
  EXPECT_LT(CompareFontNames(u"arial", u"Courier"), 0);
  EXPECT_GT(CompareFontNames(u"Tahoma", u"arial"), 0);
}

TEST(CodePageTest, AlphaNumericTest) {
  for (char16_t c : std::u16string(u"aZ09\u00E9\u4E2D\u0416")) EXPECT_TRUE(IsCharAlphaNumeric(c)) << int(c);
  for (char16_t c : std::u16string(u" _-.\u3000!")) EXPECT_FALSE(IsCharAlphaNumeric(c)) << int(c);
}

}  // namespace
}  // namespace varnolt
