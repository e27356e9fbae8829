#include "richtext/rtf/reader/RVRTFReader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "tests/richtext/rtf/reader/RVRTFTestRecorder.h"

namespace varnolt {
namespace {

using test::ParseRtf;
using test::RecorderOptions;
using test::TRVRTFRecorder;
using Events = std::vector<std::string>;

struct EventCase {
  const char* name;
  std::string rtf;
  Events events;
  std::uint8_t result = kRtfOk;
  RecorderOptions options = {};
};

RecorderOptions NoUnicode() {
  RecorderOptions options;
  options.unicode = false;
  return options;
}

RecorderOptions WithMarkers() {
  RecorderOptions options;
  options.markers = true;
  return options;
}

RecorderOptions WithHeaders() {
  RecorderOptions options;
  options.headers = true;
  return options;
}

const EventCase kEventCases[] = {
    // Runs and their positions.
    {"one run", R"({\rtf1 abc})", {"NP:abc", "end"}},
    {"markers around the end", R"({\rtf1 abc})", {"NP:abc", "marker", "end", "marker"}, kRtfOk, WithMarkers()},
    {"empty paragraph between two", R"({\rtf1 a\par\par b})", {"NP:a", "NP:", "NP:b", "end"}},
    {"no trailing empty run", R"({\rtf1 a\par})", {"NP:a", "end"}},
    {"line break", R"({\rtf1 x\line y})", {"NP:x", "NL:y", "end"}},
    {"two line breaks", R"({\rtf1 x\line\line y})", {"NP:x", "NL:", "NL:y", "end"}},
    {"property splits a word", R"({\rtf1 ab\b cd})", {"NP:ab", "CP:cd", "end"}},
    {"bytes after the last brace are not read", "{\\rtf1 a}\\'zz", {"NP:a", "end"}},
    {"line breaks in the input are not text", "{\\rtf1 a\r\nb\n}", {"NP:ab", "end"}},
    {"backslash before a line break is a paragraph", "{\\rtf1 a\\\nb}", {"NP:a", "NP:b", "end"}},
    // Unicode characters and their fallbacks.
    {"u drops one fallback", R"({\rtf1 \u1234?x})", {"NP:u'\xD3\x92'", "CP:x", "end"}},
    {"uc 2 drops two", R"({\rtf1\uc2 \u1234ab c})", {"NP:u'\xD3\x92'", "CP: c", "end"}},
    {"uc 0 keeps the fallback", R"({\rtf1\uc0 \u1234?})", {"NP:u'\xD3\x92'", "CP:?", "end"}},
    {"negative u wraps", R"({\rtf1 \u-3913?})", {"NP:u'\xEF\x82\xB7'", "end"}},
    {"without a Unicode handler the fallback is text", R"({\rtf1 \u1234?})", {"NP:?", "end"}, kRtfOk, NoUnicode()},
    {"uc belongs to its group",
     R"({\rtf1 {\uc2 \u1234ab}\u1234?c})",
     {"NP:u'\xD3\x92'", "CP:u'\xD3\x92'", "CP:c", "end"}},
    {"fallback keyword is dropped like a byte", R"({\rtf1 \u1234\'41b})", {"NP:u'\xD3\x92'", "CP:b", "end"}},
    // "bin" and its data are one unit of the fallback, however long.
    {"bin is one fallback unit", R"({\rtf1 {\uc2 \u9731\bin2 xyZ!}})", {"NP:u'\xE2\x98\x83'", "CP:!", "end"}},
    {"bin as the last fallback unit", R"({\rtf1 {\uc1 \u9731\bin3 {}\Z}})", {"NP:u'\xE2\x98\x83'", "CP:Z", "end"}},
    // Escapes and fixed characters.
    {"hex escape", R"({\rtf1 caf\'e9})", {"NP:caf\xE9", "end"}},
    {"fixed characters", R"({\rtf1 a\tab b\~c\bullet\{\}\\})", {"NP:a\tb\xA0" "c\x95{}\\", "end"}},
    {"quotes and dashes", R"({\rtf1 \ldblquote x\rdblquote\endash\emdash})",
     {"NP:u'\xE2\x80\x9C'", "CP:x", "CP:u'\xE2\x80\x9D\xE2\x80\x93\xE2\x80\x94'", "end"}},
    {"quotes and dashes without Unicode", R"({\rtf1 \ldblquote x\rdblquote\endash\emdash\-\_})",
     {"NP:\x93x\x94\x96\x97\xAD-", "end"}, kRtfOk, NoUnicode()},
    // Destinations.
    {"ignorable unknown destination is skipped", R"({\rtf1 a{\*\unknown b}c})", {"NP:ac", "end"}},
    {"unknown control word alone is ignored", R"({\rtf1 a{\unknown b}c})", {"NP:ab", "CP:c", "end"}},
    {"skipped groups raise nothing", R"({\rtf1{\*\unknown \page\intbl x\cell}{\info \row}y})", {"NP:y", "end"}},
    {"upr reads its Unicode part", R"({\rtf1{\upr{ansi}{\*\ud{uni}}}})", {"NP:uni", "end"}},
    {"bin 0 then a closing brace", R"({\rtf1 a{\bin0}b})", {"NP:a", "CP:b", "end"}},
    {"bin bytes are text", "{\\rtf1 \\bin3 {}\\x}", {"NP:{}\\x", "end"}},
    {"bin inside a skipped group", "{\\rtf1 {\\*\\x \\bin2 }}}b}", {"NP:b", "end"}},
    {"hidden text", R"({\rtf1 a{\v b}c})", {"NP:a", "CP:", "CP:b", "CP:c", "end"}},
    {"bookmark", R"({\rtf1 a{\*\bkmkstart mark}b})", {"NP:a", "bookmark:mark", "CP:b", "end"}},
    {"page break", R"({\rtf1 a\page b})", {"NP:a", "page", "CP:b", "end"}},
    {"page break before a paragraph", R"({\rtf1 a\par\pard\pagebb b})", {"NP:a", "page", "NP:b", "end"}},
    {"pagebb0 breaks nothing", R"({\rtf1 a\par\pard\pagebb0 b})", {"NP:a", "NP:b", "end"}},
    {"pagebb in a style definition breaks nothing",
     R"({\rtf1{\stylesheet{\s1\pagebb Heading;}}a\par b})", {"NP:a", "NP:b", "end"}},
    {"page number", R"({\rtf1 Page {\chpgn} of 3})", {"NP:Page 1", "CP: of 3", "end"}},
    // Rows without "intbl": from "trowd" to "row" the text is the row's.
    {"row without intbl", R"({\rtf1 \trowd\cellx2000\cellx4000 A1\cell A2\cell\row \pard After\par})",
     {"table:start", "NP:A1", "table:cell", "NP:A2", "table:cell", "table:row", "table:end", "NP:After", "end"}},
    {"row without intbl after pard", R"({\rtf1 \trowd\cellx2000\pard A1\par B1\cell\row After})",
     {"table:start", "NP:A1", "NP:B1", "table:cell", "table:row", "table:end", "NP:After", "end"}},
    {"row defined in a group after its cells", R"({\rtf1 \intbl A1\cell{\trowd\cellx2000\row}\pard After})",
     {"table:start", "NP:A1", "table:cell", "table:row", "table:end", "NP:After", "end"}},
    {"cell and row with no row started", R"({\rtf1 a\cell b\row c})", {"NP:abc", "end"}},
    {"footnote",
     R"({\rtf1 a{\super\chftn}{\footnote \pard{\super\chftn} note}b})",
     {"NP:a", "note:char@CP", "note:start@CP", "note:char@NP", "CP: note", "note:end@CP", "CP:b", "end"}},
    {"endnote", R"({\rtf1{\footnote\ftnalt x}})", {"note:start@NP", "note:endnote@NP", "NP:x", "note:end@CP", "end"}},
    {"no footnote inside a footnote", R"({\rtf1{\footnote a{\footnote b}c}})",
     {"note:start@NP", "NP:ac", "note:end@CP", "end"}},
    {"header read when the client takes it", R"({\rtf1{\header hello}b})",
     {"hf:1+", "NP:hello", "hf:1-", "NP:b", "end"}, kRtfOk, WithHeaders()},
    {"no header inside a header or a footnote", R"({\rtf1{\header a{\footer b}}{\footnote c{\header d}}})",
     {"hf:1+", "NP:a", "hf:1-", "note:start@NP", "NP:c", "note:end@CP", "end"}, kRtfOk, WithHeaders()},
    {"the text around a header goes on after it", R"({\rtf1 a{\headerr hello\par}b})",
     {"NP:a", "hf:1+", "NP:hello", "hf:1-", "CP:b", "end"}, kRtfOk, WithHeaders()},
    {"header skipped without a handler", R"({\rtf1{\header hello\intbl x\cell}b})", {"NP:b", "end"}},
    {"footer", R"({\rtf1{\footer f}})", {"hf:2+", "NP:f", "hf:2-", "end"}, kRtfOk, WithHeaders()},
    // Result codes.
    {"closing brace first", "}", {}, kRtfUnmatchedClose},
    // Data cut off still ends the document, so that what it gathered is kept.
    {"missing last brace", R"({\rtf1 abc)", {"NP:abc", "end"}, kRtfUnexpectedEnd},
    {"truncated input delivers its last paragraph", R"({\rtf1 Hello world.\par More text)",
     {"NP:Hello world.", "NP:More text", "end"}, kRtfUnexpectedEnd},
    {"truncated inside a group", R"({\rtf1 a{\b b{\i c)", {"NP:a", "CP:b", "CP:c", "end"}, kRtfUnexpectedEnd},
    {"missing brace closes open tables", R"({\rtf1\intbl abc)", {"table:start", "NP:abc", "table:forced-end", "end"},
     kRtfUnexpectedEnd},
    {"bad hex escape", R"({\rtf1 a\'zz})", {}, kRtfBadHex},
    {"input ends after a backslash", "{\\rtf1 a\\", {}, kRtfEndAfterBackslash},
    {"picture inside a picture", R"({\rtf1{\pict{\pict}}})", {}, kRtfBadPictureOrObject},
    {"no group at all", "plain", {"NP:plain"}},
    {"empty input", "", {}},
};

TEST(RVRTFReaderTest, ReportsEventsAndResults) {
  for (const auto& c : kEventCases) {
    TRVRTFReader reader;
    TRVRTFRecorder recorder(reader, c.options);
    EXPECT_EQ(ParseRtf(reader, c.rtf), c.result) << c.name;
    EXPECT_EQ(recorder.events, c.events) << c.name;
  }
}

std::string Nested(int depth, const std::string& inside) {
  return std::string(static_cast<std::size_t>(depth), '{') + inside + std::string(static_cast<std::size_t>(depth), '}');
}

TEST(RVRTFReaderTest, DeepGroupsAreReadAndTooDeepOnesSkippedWhole) {
  const struct {
    const char* name;
    std::string rtf;
    std::string text;
    std::uint8_t result;
  } cases[] = {
      {"mail-program depth", "{\\rtf1 before\\par" + Nested(2500, "deep") + "\\par after\\par}",
       "before\ndeep\nafter", kRtfOk},
      {"at the limit", Nested(kMaxRTFGroupDepth, "x"), "x", kRtfOk},
      {"past the limit", "{\\rtf1 before\\par" + Nested(kMaxRTFGroupDepth, "deep") + "\\par after\\par}",
       "before\n\nafter", kRtfTooDeep},
      {"escaped braces and binary data inside the skipped group",
       "{\\rtf1 a" + Nested(kMaxRTFGroupDepth, "\\} \\bin2 }} {\\{") + "b}", "ab", kRtfTooDeep},
      {"input ends inside the skipped group", "{\\rtf1 a" + std::string(kMaxRTFGroupDepth + 1, '{') + "x",
       "a", kRtfTooDeep},
  };
  for (const auto& c : cases) {
    TRVRTFReader reader;
    TRVRTFRecorder recorder(reader);
    EXPECT_EQ(ParseRtf(reader, c.rtf), c.result) << c.name;
    EXPECT_EQ(recorder.Text(), c.text) << c.name;
  }
}

TEST(RVRTFReaderTest, TablesAndCopiedStateAreBounded) {
  std::string rtf = "{\\rtf1{\\stylesheet";
  for (int i = 0; i < kMaxRTFTableEntries + 10; ++i) rtf += "{x;}";
  rtf += "}{\\fonttbl";
  for (int i = 0; i < kMaxRTFTableEntries + 10; ++i) rtf += "{\\f" + std::to_string(i) + " F;}";
  rtf += "}\\pard";
  for (int i = 0; i < 200; ++i) rtf += "\\tx" + std::to_string(i * 10);
  rtf += "{\\pn{\\pntxta " + std::string(500, '.') + "}}text}";
  TRVRTFReader reader;
  std::size_t tabs = 0;
  std::size_t markerText = 0;
  reader.OnNewText = [&](TRVRTFReader& sender, const TRVAnsiString&, TRVRTFPosition) {
    tabs = sender.RTFState().paraProps.tabs.size();
    markerText = sender.RTFState().paraProps.marker->textAfter.size();
  };
  ASSERT_EQ(ParseRtf(reader, rtf), kRtfOk);
  EXPECT_EQ(reader.StyleSheet().Count(), kMaxRTFTableEntries);
  EXPECT_EQ(reader.FontList().Count(), kMaxRTFTableEntries);
  EXPECT_EQ(reader.FontList().At(kMaxRTFTableEntries - 1)->name, u"F");
  EXPECT_EQ(tabs, kMaxRTFTabsPerParagraph);
  EXPECT_EQ(markerText, kMaxRTFMarkerTextLength);
}

TEST(RVRTFReaderTest, StopOffsetTellsHowFarTheInputWasRead) {
  const std::string big = "{\\rtf1 " + std::string(10000, 'x') + "\\'zz" + std::string(100, 'y') + "}";
  const struct {
    const char* name;
    std::string rtf;
    std::uint64_t offset;
  } cases[] = {
      {"whole document", R"({\rtf1 a})", 9},
      {"white space after the document counts as read", "{\\rtf1 a}\r\n \t", 13},
      {"bytes after the document are not read", "{\\rtf1 a}\r\nmore", 11},
      {"truncated input is read to its end", R"({\rtf1 Hello world.\par More text)", 33},
      {"a bad escape stops at its byte", R"({\rtf1 ab\'zq})", 12},
      {"in a later block", big, 10010},
      {"empty input", "", 0},
  };
  for (const auto& c : cases) {
    TRVRTFReader reader;
    ParseRtf(reader, c.rtf);
    EXPECT_EQ(reader.StopOffset(), c.offset) << c.name;
  }
}

TEST(RVRTFReaderTest, HandlerExceptionsEndTheParse) {
  TRVRTFReader reader;
  reader.OnNewText = [](TRVRTFReader&, const TRVAnsiString&, TRVRTFPosition) { throw std::runtime_error("full"); };
  EXPECT_EQ(ParseRtf(reader, R"({\rtf1 a})"), kRtfHandlerError);

  TRVRTFReader other;
  other.OnTable = [](TRVRTFReader&, TRVRTFTableEventKind, bool&) { throw std::runtime_error("no tables"); };
  EXPECT_EQ(ParseRtf(other, R"({\rtf1\intbl a})"), kRtfInternalError);
}

TEST(RVRTFReaderTest, TranslatedKeywordsDeliverTheirText) {
  TRVRTFReader reader;
  TRVRTFRecorder recorder(reader);
  std::vector<std::string> seen;
  reader.OnTranslateKeyword = [&](TRVRTFReader&, const TRVAnsiString& keyword, std::int32_t param, bool fParam,
                                  TRVAnsiString& text, bool& doDefault) {
    seen.push_back(keyword + (fParam ? std::to_string(param) : ""));
    if (keyword == "mine") {
      text = "[" + std::to_string(param) + "]";
      doDefault = false;
    }
  };
  EXPECT_EQ(ParseRtf(reader, R"({\rtf1 a\mine7 b\par c})"), kRtfOk);
  EXPECT_EQ(recorder.events, (Events{"NP:a[7]b", "NP:c", "end"}));
  EXPECT_EQ(seen, (Events{"rtf1", "mine7", "par"}));
}

TEST(RVRTFReaderTest, DosAndMacintoshFontsAreDecodedWithTheirOwnTables) {
  const std::string rtf = R"({\rtf1{\fonttbl{\f0\fcharset254 Terminal;}{\f1\fcharset77 Geneva;}{\f2 Arial;}})"
                          R"(\f0 caf\'82\'b3{\f1 caf\'8e\'ad}{\f2 caf\'e9}})";
  const struct {
    const char* name;
    RecorderOptions options;
    Events events;
  } cases[] = {
      {"as UTF-16", {}, {"NP:u'caf\xC3\xA9\xE2\x94\x82'", "CP:u'caf\xC3\xA9\xE2\x89\xA0'", "CP:caf\xE9", "end"}},
      // Line drawing and the not-equal sign have no place in the system code page.
      {"as system code page bytes", NoUnicode(), {"NP:caf\xE9?", "CP:caf\xE9?", "CP:caf\xE9", "end"}},
  };
  for (const auto& c : cases) {
    TRVRTFReader reader;
    TRVRTFRecorder recorder(reader, c.options);
    EXPECT_EQ(ParseRtf(reader, rtf), kRtfOk) << c.name;
    EXPECT_EQ(recorder.events, c.events) << c.name;
  }
}

TEST(RVRTFReaderTest, HighlightFollowsTheConversionSetting) {
  const std::pair<TRVRTFHighlightConvert, TRVRTFColor> cases[] = {
      {rtf_hl_FixedColors, 0x00FF00},  // 4 is green
      {rtf_hl_ColorTable, 0x0000FF},   // the colour table's entry 4
      {rtf_hl_Ignore, kRVRTFNoColor},
  };
  for (const auto& [mode, expected] : cases) {
    TRVRTFReader reader;
    reader.ConvertHighlight = mode;
    TRVRTFColor back = 0;
    reader.OnNewText = [&](TRVRTFReader& sender, const TRVAnsiString&, TRVRTFPosition) {
      back = sender.RTFState().charProps.backColor;
    };
    EXPECT_EQ(ParseRtf(reader, R"({\rtf1{\colortbl;;;;\red255\green0\blue0;}\highlight4 x})"), kRtfOk);
    EXPECT_EQ(back, expected) << int{mode};
  }
}

TEST(RVRTFReaderTest, TabAsSeparateTextGivesEachTabItsOwnRun) {
  TRVRTFReader reader;
  reader.TabAsSeparateText = true;
  TRVRTFRecorder recorder(reader);
  EXPECT_EQ(ParseRtf(reader, "{\\rtf1 a\\tab b\tc}"), kRtfOk);
  EXPECT_EQ(recorder.events, (Events{"NP:a", "CP:\t", "CP:b", "CP:\t", "CP:c", "end"}));
}

TEST(RVRTFReaderTest, ProgressIsReportedForLargeInputs) {
  TRVRTFReader reader;
  std::vector<std::pair<TRVRTFProgressStage, int>> reports;
  reader.OnProgress = [&](TRVRTFReader&, TRVRTFProgressStage stage, std::uint8_t percent) {
    reports.emplace_back(stage, percent);
  };
  EXPECT_EQ(ParseRtf(reader, "{\\rtf1 " + std::string(30000, 'x') + "}"), kRtfOk);
  ASSERT_GE(reports.size(), 3u);
  EXPECT_EQ(reports.front(), std::make_pair(rvprtfprStarting, 0));
  EXPECT_EQ(reports.back(), std::make_pair(rvprtfprEnding, 0));
  int last = -1;
  for (std::size_t i = 1; i + 1 < reports.size(); ++i) {
    EXPECT_EQ(reports[i].first, rvprtfprRunning);
    EXPECT_GE(reports[i].second, last);
    EXPECT_LE(reports[i].second, 100);
    last = reports[i].second;
  }

  reports.clear();
  EXPECT_EQ(ParseRtf(reader, R"({\rtf1 small})"), kRtfOk);
  EXPECT_TRUE(reports.empty());
  reports.clear();
  EXPECT_EQ(ParseRtf(reader, "{\\rtf1 " + std::string(30000, 'x')), kRtfUnexpectedEnd);
  EXPECT_EQ(reports.back(), std::make_pair(rvprtfprEnding, 0));
}

TEST(RVRTFReaderTest, ReaderCanParseAgainAfterAFailure) {
  TRVRTFReader reader;
  TRVRTFRecorder recorder(reader);
  EXPECT_EQ(ParseRtf(reader, R"({\rtf1{\fonttbl{\f0 A;}}\pict{\pict)"), kRtfBadPictureOrObject);
  recorder.events.clear();
  EXPECT_EQ(ParseRtf(reader, R"({\rtf1 ok})"), kRtfOk);
  EXPECT_EQ(recorder.events, (Events{"NP:ok", "end"}));
  EXPECT_EQ(reader.FontList().Count(), 0);
}

}  // namespace
}  // namespace varnolt
