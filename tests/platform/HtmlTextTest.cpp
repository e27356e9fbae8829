// A page's text as outerText gives it, and the character set it is read in.
#include "platform/HtmlText.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"

namespace varnolt {
namespace {

TEST(HtmlTextTest, BodyTextFollowsTheBrowsersLineAndSpaceRules) {
  const struct {
    const char* html;
    const char16_t* text;
  } cases[] = {
      {"<p>a   b\n c</p>", u"a b c"},
      {"<html><head><title>T</title><style>x{}</style></head><body>  lead <b>bold</b>  trail </body></html>",
       u"lead bold trail"},
      {"<div>one</div><div>two</div>text<p>three</p>", u"one\r\ntwo\r\ntext\r\nthree"},
      {"<p>one<br>two<br><br>four</p>", u"one\r\ntwo\r\n\r\nfour"},
      {"<script>hidden()</script><noscript>hidden</noscript><template>hidden</template>seen<style>p{}</style>",
       u"seen"},
      {"<table><tr><td>a</td><td> b </td></tr><tr><th>c</th><td></td><td>d</td></tr></table>",
       u"a\tb\r\nc\t\td"},
      {"<p>before</p><pre>  two  spaces\n\tand a tab</pre>after", u"before\r\n  two  spaces\r\n\tand a tab\r\nafter"},
      {"<ul><li>first</li><li>second <i>item</i></li></ul>", u"first\r\nsecond item"},
      {"caf&eacute; &amp; &#8364;&nbsp;5", u"caf\u00E9 & \u20AC\u00A05"},
      {"<p>unclosed <b>bold <div>inside", u"unclosed bold\r\ninside"},
      {"<!-- a comment -->visible", u"visible"},
      {"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlBodyText(c.html), c.text) << c.html;
}

TEST(HtmlTextTest, DeepNestingAndBrokenBytesStillGiveText) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<div><span>";
  deep += "bottom";
  EXPECT_NE(HtmlBodyText(deep).find(u"bottom"), std::u16string::npos);
  EXPECT_EQ(HtmlBodyText(std::string("a\xFF\xFE\0b", 5)).substr(0, 1), u"a");
}

TEST(HtmlTextTest, TheCharacterSetComesFromHeaderThenMarkThenMetaThenWindows1252) {
  const struct {
    std::string bytes;
    const char* contentType;
    const char* charset;
  } cases[] = {
      {"<meta charset=\"windows-1251\">", "text/html; charset=UTF-8", "utf-8"},
      {"\xEF\xBB\xBF<meta charset=\"windows-1251\">", "text/html", "utf-8"},
      {"\xFF\xFEx", "", "utf-16le"},
      {"<html><head><META Charset='KOI8-R'>", "text/html", "koi8-r"},
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">", "", "shift_jis"},
      {"<p>no declaration</p>", "text/html", "windows-1252"},
      {"<p>Caf\xC3\xA9, no declaration</p>", "text/html", "utf-8"},
      {"<p>Caf\xE9, no declaration</p>", "", "windows-1252"},
      {"<p>Caf\xC3\xA9 then \xE9</p>", "", "windows-1252"},
      {"<meta charset=\"windows-1252\"><p>Caf\xC3\xA9 declared</p>", "", "windows-1252"},
      {"<p>latin</p>", "text/html; charset=\"ISO-8859-1\"", "windows-1252"},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlCharset(c.bytes, c.contentType), c.charset) << c.bytes;
}

TEST(HtmlTextTest, PagesAreDecodedInTheirCharacterSet) {
  // "Привет" in windows-1251, declared only by the page.
  EXPECT_EQ(WebPageText("<meta charset=\"windows-1251\"><p>\xCF\xF0\xE8\xE2\xE5\xF2</p>", "text/html"),
            u"\u041F\u0440\u0438\u0432\u0435\u0442");
  // Latin-1 declared only in the header; 0x80 is the euro sign as browsers read it.
  EXPECT_EQ(WebPageText("<p>Gar\xE7on \x80</p>", "text/html; charset=ISO-8859-1"), u"Gar\u00E7on \u20AC");
  EXPECT_EQ(WebPageText(std::string("\xFF\xFE<\0p\0>\0\x2C\x4E", 10), "text/html"), u"\u4E2C");
  EXPECT_EQ(DecodeHtml("caf\xE9", "no-such-charset"), u"caf\u00E9");
  EXPECT_EQ(WebPageText("<p>Caf\xC3\xA9 cr\xC3\xA8me</p>", ""), u"Caf\u00E9 cr\u00E8me");
}

TEST(HtmlTextTest, ConditionalCommentMarkersAreNotText) {
  const struct {
    const char* html;
    const char16_t* text;
  } cases[] = {
      {"<p>a<![if !supportMisalignedColumns]>b<![endif]>c</p>", u"abc"},
      {"<table><![if supportMisalignedColumns]><tr><td>x</td><td>y</td></tr><![endif]></table>", u"x\ty"},
      // A hidden block in a real comment stays hidden, its end marker included.
      {"<!--[if gte mso 9]><xml><o:p>hidden</o:p></xml><![endif]-->shown", u"shown"},
      {"<p>1 &lt;![if]&gt; 2</p>", u"1 <![if]> 2"},
      {"<script>var s = \"<![if x]>\";</script><p>after</p>", u"after"},
      {"<pre>keep <![CDATA[raw]]> as is</pre>", u"keep  as is"},
      {"trailing <![if", u"trailing"},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlBodyText(c.html), c.text) << c.html;
}

TEST(HtmlTextTest, ADropDownShowsOnlyItsChosenOption) {
  const struct {
    const char* html;
    const char16_t* text;
  } cases[] = {
      {"Country: <select><option>Albania<option selected>Chad<option>Peru</select> go", u"Country: Chad go"},
      {"<select><option>First</option><option>Second</option></select>", u"First"},
      {"<select><optgroup label=g><option>a</option><option selected>b</option></optgroup></select>", u"b"},
      {"<select><option selected>a<option selected>b</select>", u"b"},
      {"<select><option label=\"Short\">Long name</option></select>", u"Short"},
      {"<select></select>x", u"x"},
      {"<select multiple><option>a<option>b</select>", u"a\r\nb"},
      {"<select size=3><option>a<option>b</select>", u"a\r\nb"},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlBodyText(c.html), c.text) << c.html;
}

}  // namespace
}  // namespace varnolt
