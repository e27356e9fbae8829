// The tables an RTF file declares and the properties in force at each run.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

#include "richtext/rtf/reader/RVRTFReader.h"
#include "tests/richtext/rtf/reader/RVRTFTestRecorder.h"

namespace varnolt {
namespace {

using test::ParseRtf;
using test::TRVRTFRecorder;

// The group state at every non-empty 8-bit run, by the run's text.
struct StateAtRuns {
  std::map<std::string, TRVRTFReaderState> states;
  std::uint8_t result = 0;
};

StateAtRuns ReadStates(TRVRTFReader& reader, const std::string& rtf) {
  StateAtRuns read;
  reader.OnNewText = [&read](TRVRTFReader& sender, const TRVAnsiString& text, TRVRTFPosition) {
    if (!text.empty()) read.states[text] = sender.RTFState();
  };
  read.result = ParseRtf(reader, rtf);
  return read;
}

TEST(RVRTFPropertiesTest, FontTableNamesAndCharsets) {
  TRVRTFReader reader;
  ASSERT_EQ(ParseRtf(reader, R"({\rtf1{\fonttbl{\f0\fswiss\fcharset204 Arial Cyr;}{\f1\fcharset204 Arial Greek;})"
                             R"({\f2\fnil\fcharset134 \'cb\'ce\'cc\'e5;}{\f3\froman\fcharset300 Old;}{\f4 Sym\u946?;}}})"),
            kRtfOk);
  const TRVRTFFontList& fonts = reader.FontList();
  ASSERT_EQ(fonts.Count(), 5);
  EXPECT_EQ(fonts.At(0)->name, u"Arial");
  EXPECT_EQ(fonts.At(0)->family, 2);
  EXPECT_EQ(fonts.At(1)->name, u"Arial Greek");
  // A double-byte name is converted whole, in its own charset.
  EXPECT_EQ(fonts.At(2)->name, u"\u5B8B\u4F53");
  EXPECT_EQ(fonts.At(3)->charset, 77);
  EXPECT_EQ(fonts.At(3)->family, 1);
  EXPECT_EQ(fonts.At(4)->name, u"Sym\u03B2");
  EXPECT_EQ(fonts.At(4)->charset, 1);
  EXPECT_EQ(fonts.At(5), nullptr);
  EXPECT_EQ(fonts.IndexOfNumber(3), 3);
  EXPECT_EQ(fonts.IndexOfNumber(9), -1);
}

TEST(RVRTFPropertiesTest, ColorTableAndColorReferences) {
  TRVRTFReader reader;
  const auto read = ReadStates(reader, R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green300\blue0;})"
                                       R"({\cf1 red}{\cf5 five}{\cf1\cf0 zero}{\cf2 green}})");
  ASSERT_EQ(read.result, kRtfOk);
  EXPECT_EQ(reader.ColorList(), (TRVRTFColorList{kRVRTFAutoColor, 0x0000FF, 0x00FF00}));
  EXPECT_EQ(read.states.at("red").charProps.color, 0x0000FFu);
  EXPECT_EQ(read.states.at("five").charProps.color, kRVRTFAutoColor);
  EXPECT_EQ(read.states.at("zero").charProps.color, kRVRTFAutoColor);
  EXPECT_EQ(read.states.at("green").charProps.color, 0x00FF00u);
}

TEST(RVRTFPropertiesTest, CharacterProperties) {
  TRVRTFReader reader;
  const auto read = ReadStates(
      reader, R"({\rtf1{\colortbl;\red0\green0\blue255;}{\fs25 a}{\fs27 b}{\fs c}{\b\i\ul\strike d}{\uldb e}{\uldb0 f})"
              R"({\super\up6 g}{\caps\charscalex80\expndtw20 h}{\highlight7 i}{\highlight7\chcbpat1 j}{\chcbpat1 k})"
              R"({\b\plain l}{\lang1049 m}})");
  ASSERT_EQ(read.result, kRtfOk);
  EXPECT_EQ(read.states.at("a").charProps.size, 12);
  EXPECT_EQ(read.states.at("b").charProps.size, 14);
  EXPECT_EQ(read.states.at("c").charProps.size, 12);
  EXPECT_EQ(read.states.at("d").charProps.fontStyle, kRtfBold | kRtfItalic | kRtfUnderline | kRtfStrikeOut);
  EXPECT_EQ(read.states.at("e").charProps.underlineType, 2);
  EXPECT_EQ(read.states.at("f").charProps.fontStyle & kRtfUnderline, 0);
  EXPECT_EQ(read.states.at("g").charProps.subSuperScript, 2);
  EXPECT_EQ(read.states.at("g").charProps.vShift, 6);
  EXPECT_EQ(read.states.at("h").charProps.styleEx, kRtfAllCaps);
  EXPECT_EQ(read.states.at("h").charProps.charScaleX, 80);
  EXPECT_EQ(read.states.at("h").charProps.charSpacing, 20);
  EXPECT_EQ(read.states.at("i").charProps.backColor, 0x00FFFFu);
  EXPECT_EQ(read.states.at("j").charProps.backColor, 0x00FFFFu) << "highlight wins over chcbpat";
  EXPECT_EQ(read.states.at("k").charProps.backColor, 0xFF0000u);
  EXPECT_EQ(read.states.at("l").charProps.fontStyle, 0);
  EXPECT_EQ(read.states.at("m").charProps.language, 1049);
}

TEST(RVRTFPropertiesTest, ParagraphProperties) {
  TRVRTFReader reader;
  const auto read = ReadStates(
      reader, R"({\rtf1{\colortbl;\red255\green255\blue255;\red0\green0\blue0;})"
              R"(\li99999999999\ri-120\fi360\sb100\sa200\qc\sl-300\slmult0 a\par)"
              R"(\pard\cbpat1\cfpat2\shading2500 b\par)"
              R"(\pard\shading20000\cfpat2 c\par)"
              R"(\pard\tx720\tqr\tx1440\jclisttab\tx2000\tldot d\par}
)");
  ASSERT_EQ(read.result, kRtfOk);
  const TRVRTFParaProperties& a = read.states.at("a").paraProps;
  EXPECT_EQ(a.leftIndent, 0) << "a parameter beyond 32 bits is 0";
  EXPECT_EQ(a.rightIndent, -120);
  EXPECT_EQ(a.firstIndent, 360);
  EXPECT_EQ(a.spaceBefore, 100);
  EXPECT_EQ(a.spaceAfter, 200);
  EXPECT_EQ(a.alignment, 2);
  EXPECT_EQ(a.lineSpacing, -300);
  EXPECT_FALSE(a.lineSpacingMultiple);
  // Shading mixes the pattern into the background once the run goes out.
  EXPECT_EQ(read.states.at("b").paraProps.backColor, 0xBFBFBFu);
  EXPECT_EQ(read.states.at("b").paraProps.shading, 0);
  EXPECT_EQ(read.states.at("c").paraProps.backColor, 0x000000u) << "shading is clamped to 100%";
  const TRVRTFParaProperties& d = read.states.at("d").paraProps;
  ASSERT_EQ(d.tabs.size(), 2u);
  EXPECT_EQ(d.tabs[0].position, 720);
  EXPECT_EQ(d.tabs[1].position, 1440);
  EXPECT_EQ(d.tabs[1].alignment, 1);
  EXPECT_EQ(d.listTabPosition, 2000);
  EXPECT_TRUE(d.tabsFinalized);
}

TEST(RVRTFPropertiesTest, SectionAndDocumentProperties) {
  TRVRTFReader reader;
  const auto read = ReadStates(reader, R"({\rtf1\paperw11906\paperh16838\margl1134\landscape\facingp\viewscale80)"
                                       R"(\sectd\cols2\sbkodd\pgnlcrm\headery500 a})");
  ASSERT_EQ(read.result, kRtfOk);
  const TRVRTFReaderState& state = read.states.at("a");
  EXPECT_EQ(state.docProps.paperWidth, 11906);
  EXPECT_EQ(state.docProps.paperHeight, 16838);
  EXPECT_EQ(state.docProps.leftMargin, 1134);
  EXPECT_EQ(state.docProps.rightMargin, 1800);
  EXPECT_TRUE(state.docProps.landscape);
  EXPECT_TRUE(state.docProps.facingPages);
  EXPECT_EQ(state.docProps.viewScale, 80);
  EXPECT_EQ(state.sectProps.columnCount, 2);
  EXPECT_EQ(state.sectProps.breakKind, 3);
  EXPECT_EQ(state.sectProps.pageNumberFormat, 2);
  EXPECT_EQ(state.sectProps.headerY, 500);
}

TEST(RVRTFPropertiesTest, StyleSheetEntriesKeepTheFormattingBeforeTheSheet) {
  TRVRTFReader reader;
  ASSERT_EQ(ParseRtf(reader, R"({\rtf1{\stylesheet{\ql Normal;}{\s1\b\sbasedon0\snext0 Heading;})"
                             R"({\*\cs2\additive\i Emphasis;}}\s1 text})"),
            kRtfOk);
  const TRVRTFStyleSheet& sheet = reader.StyleSheet();
  ASSERT_EQ(sheet.Count(), 3);
  EXPECT_EQ(sheet.At(0)->name, "Normal");
  EXPECT_EQ(sheet.At(1)->name, "Heading");
  EXPECT_EQ(sheet.At(1)->number, 1);
  EXPECT_EQ(sheet.At(1)->kind, 1);
  EXPECT_EQ(sheet.At(1)->charProps.fontStyle & kRtfBold, 0);
  EXPECT_EQ(sheet.At(1)->basedOn, 0);
  EXPECT_EQ(sheet.At(1)->next, 0);
  EXPECT_EQ(sheet.At(2)->kind, 0);
  EXPECT_TRUE(sheet.At(2)->additive);
  EXPECT_EQ(sheet.At(2)->next, 2);
}

TEST(RVRTFPropertiesTest, ListTablesAndOverrides) {
  TRVRTFReader reader;
  TRVRTFRecorder recorder(reader);
  std::map<std::string, std::pair<int, int>> listAtText;
  reader.OnNewText = [&](TRVRTFReader& sender, const TRVAnsiString& text, TRVRTFPosition) {
    listAtText[text] = {sender.RTFState().paraProps.listOverrideIndex, sender.RTFState().paraProps.listLevel};
  };
  ASSERT_EQ(ParseRtf(reader, R"({\rtf1{\fonttbl{\f0 Times;}{\f1\fcharset134 Song;}})"
                             R"({\*\listtable{\list\listtemplateid1\listsimple0)"
                             R"({\listlevel\levelnfc23\leveljc0\levelstartat1\levelfollow1{\leveltext\'01\u8226 ?;})"
                             R"({\levelnumbers;}\f1\fs20\li720\fi-360\b\cf9})"
                             R"({\listlevel\levelnfc4\leveljc1\levelstartat3{\leveltext\'02\'00);garbage}{\levelnumbers\'01;}})"
                             R"({\listname Mine;}\listid77})})"
                             R"({\*\listoverridetable{\listoverride\listid77\listoverridecount1{\lfolevel\listoverridestartat\levelstartat5}\ls3})"
                             R"({\listoverride\listid12\ls4}})"
                             R"(\pard\ls3\ilvl1 item\par\pard\ls9 none\par})"),
            kRtfOk);
  ASSERT_EQ(reader.ListTable().Count(), 1);
  const TRVRTFList97& list = *reader.ListTable().At(0);
  EXPECT_EQ(list.listId, 77);
  EXPECT_EQ(list.name, "Mine");
  ASSERT_EQ(list.levels.size(), 2u);
  const TRVRTFListLevel97& bullet = list.levels[0];
  EXPECT_EQ(bullet.listType, 6);
  EXPECT_EQ(bullet.text, u"\u0001\u2022");
  EXPECT_TRUE(bullet.textHasUnicode);
  EXPECT_EQ(bullet.follow, 1);
  EXPECT_EQ(bullet.fontIndex, 1);
  EXPECT_EQ(bullet.fontSize, 10);
  EXPECT_EQ(bullet.leftIndent, 720);
  EXPECT_EQ(bullet.firstIndent, -360);
  EXPECT_EQ(bullet.fontStyle, kRtfBold);
  EXPECT_EQ(bullet.givenProperties, kRtfMarkerGivenFont | kRtfMarkerGivenSize) << "colour 9 does not exist";
  const TRVRTFListLevel97& letters = list.levels[1];
  EXPECT_EQ(letters.listType, 2);
  EXPECT_EQ(letters.alignment, 2);
  EXPECT_EQ(letters.start, 3);
  EXPECT_EQ(letters.text, std::u16string(u"\u0002\u0000)", 3)) << "cut after the counted characters";
  EXPECT_EQ(letters.numbers, std::string("\x01;", 2));
  ASSERT_EQ(reader.ListOverrideTable().Count(), 2);
  const TRVRTFListOverride97& first = *reader.ListOverrideTable().At(0);
  EXPECT_EQ(first.listIndex, 0);
  EXPECT_EQ(first.number, 3);
  EXPECT_EQ(first.overrideCount, 1);
  ASSERT_EQ(first.levels.size(), 1u);
  EXPECT_TRUE(first.levels[0].startAt);
  EXPECT_EQ(first.levels[0].start, 5);
  EXPECT_EQ(reader.ListOverrideTable().At(1)->listIndex, -1) << "list id 12 was never declared";
  EXPECT_EQ(listAtText.at("item"), std::make_pair(0, 1));
  EXPECT_EQ(listAtText.at("none"), std::make_pair(-1, 0)) << "ls 9 was never declared";
}

TEST(RVRTFPropertiesTest, OldStyleMarkers) {
  TRVRTFReader reader;
  std::optional<TRVRTFMarkerProperties> marker;
  std::optional<TRVRTFMarkerProperties> sectionLevel3;
  reader.OnNewText = [&](TRVRTFReader& sender, const TRVAnsiString&, TRVRTFPosition) {
    marker = sender.RTFState().paraProps.marker;
    if (const auto& markers = sender.RTFState().sectProps.defaultMarkers) sectionLevel3 = (*markers)[2];
  };
  reader.OnUpdateMarker = [](TRVRTFReader&) {};
  ASSERT_EQ(ParseRtf(reader, R"({\rtf1{\fonttbl{\f0 Times;}{\f1 Symbol;}}{\colortbl;\red255\green0\blue0;})"
                             R"({\*\pnseclvl3\pnlcrm\pnstart2\pnindent720{\pntxta )}}\fs28\b)"
                             R"({\pn\pnlvlblt\pnf1\pnindent360\pncf1{\pntxtb \u-3913 ?}{\pntxta x}}item\par})"),
            kRtfOk);
  ASSERT_TRUE(marker.has_value());
  EXPECT_EQ(marker->level, 11);
  EXPECT_EQ(marker->fontIndex, 1);
  EXPECT_EQ(marker->indent, 360);
  EXPECT_EQ(marker->color, 0x0000FFu);
  EXPECT_EQ(marker->textBefore, "\xB7") << "a Symbol character keeps its low byte";
  EXPECT_EQ(marker->textAfter, "x");
  // Size and bold come from the text when the group did not give them.
  EXPECT_EQ(marker->fontSize, 14);
  EXPECT_EQ(marker->fontStyle & kRtfBold, kRtfBold);
  ASSERT_TRUE(sectionLevel3.has_value());
  EXPECT_EQ(sectionLevel3->listType, 4);
  EXPECT_EQ(sectionLevel3->start, 2);
  EXPECT_EQ(sectionLevel3->textAfter, ")");
}

TEST(RVRTFPropertiesTest, ShadingBlendsTheAutomaticColourAndNoColour) {
  // Colour 0 is the automatic colour (the system's window text, black);
  // a paragraph without a background colour blends from white.
  struct Case {
    const char* paragraph;
    TRVRTFColor backColor;
  };
  const Case cases[] = {
      {R"(\pard\shading5000 a\par)", 0x7F7F7F},
      {R"(\pard\cbpat0\cfpat1\shading2500 b\par)", 0x00003F},
      {R"(\pard\cbpat1\cfpat0\shading5000 c\par)", 0x00007F},
      {R"(\pard\cfpat1\shading5000 d\par)", 0x7F7FFF},
  };
  for (const Case& c : cases) {
    TRVRTFReader reader;
    const auto read = ReadStates(reader, std::string(R"({\rtf1{\colortbl;\red255\green0\blue0;})") + c.paragraph + "}");
    ASSERT_EQ(read.result, kRtfOk) << c.paragraph;
    ASSERT_EQ(read.states.size(), 1u) << c.paragraph;
    EXPECT_EQ(read.states.begin()->second.paraProps.backColor, c.backColor) << c.paragraph;
  }
}

TEST(RVRTFPropertiesTest, RowAndCellPropertiesAtTheRowEnd) {
  TRVRTFReader reader;
  std::vector<TRVRTFRowProperties> rows;
  reader.OnTable = [&](TRVRTFReader& sender, TRVRTFTableEventKind kind, bool&) {
    if (kind == rvf_tbl_RowEnd) rows.push_back(*sender.RTFState().rowProps);
  };
  ASSERT_EQ(ParseRtf(reader, R"({\rtf1{\colortbl;\red255\green255\blue255;\red0\green0\blue0;})"
                             R"(\trowd\trgaph108\trleft-108\trrh-300\trqc\trpaddl55\trpaddfl3\trftsWidth2\trwWidth2500)"
                             R"(\clvmgf\clvertalc\clbrdrb\brdrs\brdrw15\brdrcf2\cellx1000)"
                             R"(\clcbpat1\clcfpat2\clshdng5000\clmgf\clmrg\cellx2000)"
                             R"(\intbl a\cell b\cell\row})"),
            kRtfOk);
  ASSERT_EQ(rows.size(), 1u);
  const TRVRTFRowProperties& row = rows[0];
  EXPECT_EQ(row.gap, 108);
  EXPECT_EQ(row.left, -108);
  EXPECT_EQ(row.height, 300);
  EXPECT_EQ(row.alignment, 2);
  EXPECT_TRUE(row.alignmentGiven);
  EXPECT_EQ(row.padding[0], 55);
  EXPECT_TRUE(row.usePadding[0]);
  EXPECT_TRUE(row.widthIsPercent);
  EXPECT_EQ(row.preferredWidth, -2500);
  ASSERT_EQ(row.cells.size(), 2u) << "the cell assumed after the last boundary is gone";
  EXPECT_EQ(row.cells[0].verticalMerge, 1);
  EXPECT_EQ(row.cells[0].verticalAlignment, 2);
  ASSERT_NE(row.cells[0].border.FindSide(kRtfSideBottom), nullptr);
  EXPECT_EQ(row.cells[0].border.FindSide(kRtfSideBottom)->kind, 1);
  EXPECT_EQ(row.cells[0].border.FindSide(kRtfSideBottom)->width, 15);
  EXPECT_EQ(row.cells[0].border.FindSide(kRtfSideBottom)->color, 0u);
  EXPECT_EQ(row.cells[0].rightBoundary, 1000);
  EXPECT_EQ(row.cells[1].backColor, 0x7F7F7Fu);
  EXPECT_EQ(row.cells[1].shading, 0);
  EXPECT_EQ(row.cells[1].horizontalMerge, 1) << "a first-of-merge cell stays first";
}

TEST(RVRTFPropertiesTest, TableNesting) {
  struct Case {
    const char* rtf;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {R"({\rtf1\trowd\cellx1000\cellx2000\intbl a\cell b\cell\row\pard c\par})",
       {"table:start", "NP:a", "table:cell", "NP:b", "table:cell", "table:row", "table:end", "NP:c", "end"}},
      {R"({\rtf1\intbl a\cell\itap2 b\nestcell{\*\nesttableprops\trowd\cellx500\nestrow}\itap1 \cell\row})",
       {"table:start", "NP:a", "table:cell", "table:start", "NP:b", "table:cell", "table:row", "table:end",
        "table:cell", "table:row", "end", "table:forced-end"}},
      // Cell and row ends with no table open are ignored.
      {R"({\rtf1 a\cell b\row c\nestcell d\nestrow})", {"NP:abcd", "end"}},
      {R"({\rtf1\itap-5 a})", {"NP:a", "end"}},
      // Tables inside a footnote end with it.
      {R"({\rtf1\intbl x{\footnote\intbl\itap2 y\cell}z})",
       {"table:start", "NP:x", "note:start@CP", "table:start", "table:start", "NP:y", "table:cell",
        "table:forced-end", "table:forced-end", "note:end@NP", "CP:z", "end", "table:forced-end"}},
      // Without a handler the keep-open flag holds the table open.
      {R"({\rtf1\intbl a\cell\row\pard\intbl\absnoovrlp\itap0 b})",
       {"table:start", "NP:a", "table:cell", "table:row", "NP:b", "end", "table:forced-end"}},
  };
  for (const auto& c : cases) {
    TRVRTFReader reader;
    TRVRTFRecorder recorder(reader);
    EXPECT_EQ(ParseRtf(reader, c.rtf), kRtfOk) << c.rtf;
    EXPECT_EQ(recorder.events, c.events) << c.rtf;
  }
}

TEST(RVRTFPropertiesTest, TableNestingIsClamped) {
  TRVRTFReader reader;
  TRVRTFRecorder recorder(reader);
  ASSERT_EQ(ParseRtf(reader, R"({\rtf1\itap100 x})"), kRtfOk);
  EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(), "table:start"), kMaxRTFTableNesting);
  EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(), "table:forced-end"), kMaxRTFTableNesting);
}

TEST(RVRTFPropertiesTest, RefusedTableEndKeepsTheTableOpen) {
  TRVRTFReader reader;
  TRVRTFRecorder recorder(reader);
  auto record = reader.OnTable;
  reader.OnTable = [&](TRVRTFReader& sender, TRVRTFTableEventKind kind, bool& processed) {
    record(sender, kind, processed);
    processed = kind != rvf_tbl_TableEnd;
  };
  ASSERT_EQ(ParseRtf(reader, R"({\rtf1\intbl a\cell\pard b\par c})"), kRtfOk);
  EXPECT_EQ(recorder.events,
            (std::vector<std::string>{"table:start", "NP:a", "table:cell", "table:end", "table:end", "NP:b",
                                      "table:end", "NP:c", "end", "table:forced-end"}));
}

}  // namespace
}  // namespace varnolt
