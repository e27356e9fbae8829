// What the RTF writer writes, read again by the RTF reader: the same text
// runs with the same character and paragraph properties.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/rtf/reader/RVRTFReader.h"
#include "richtext/rtf/writer/RVRTFWriter.h"
#include "tests/richtext/rtf/writer/RVRTFWriterTestDocuments.h"

namespace varnolt {
namespace {

using test::TestDocument;
using test::WriteRtfString;

// A text run as the reader reports it, with the properties in force.
struct ReadRun {
  std::string text;  // UTF-8
  TRVRTFPosition position;
  std::string font;
  std::int32_t size;
  std::uint8_t fontStyle;
  TRVRTFColor color;
  TRVRTFColor backColor;
  std::uint8_t alignment;
  std::int32_t leftIndent;
  std::int32_t listLevel;
  friend bool operator==(const ReadRun&, const ReadRun&) = default;
  friend std::ostream& operator<<(std::ostream& out, const ReadRun& run) {
    return out << "{" << run.text << " @" << int{run.position} << " " << run.font << " " << run.size << " style "
               << int{run.fontStyle} << " colour " << run.color << "/" << run.backColor << " align "
               << int{run.alignment} << " li " << run.leftIndent << " level " << run.listLevel << "}";
  }
};

bool SameLook(const ReadRun& a, const ReadRun& b) {
  return std::tie(a.font, a.size, a.fontStyle, a.color, a.backColor, a.alignment, a.leftIndent, a.listLevel) ==
         std::tie(b.font, b.size, b.fontStyle, b.color, b.backColor, b.alignment, b.leftIndent, b.listLevel);
}

std::vector<ReadRun> ReadRuns(const std::string& rtf) {
  TRVRTFReader reader;
  std::vector<ReadRun> runs;
  const auto record = [&](TRVRTFReader& sender, const std::u16string& text, TRVRTFPosition position) {
    const TRVRTFReaderState& state = sender.RTFState();
    const TRVRTFFont* font = sender.FontList().At(state.charProps.fontIndex);
    const TRVRTFParaProperties& para = state.paraProps;
    ReadRun run{Utf16ToUtf8(text), position, font != nullptr ? Utf16ToUtf8(font->name) : "?",
                state.charProps.size, state.charProps.fontStyle, state.charProps.color, state.charProps.backColor,
                para.alignment, para.leftIndent, para.listOverrideIndex >= 0 ? para.listLevel : -1};
    // The reader may cut a run where a keyword stands for a character.
    if (!runs.empty() && position == rtf_ts_ContinuePara && SameLook(runs.back(), run)) {
      runs.back().text += run.text;
      return;
    }
    runs.push_back(run);
  };
  reader.OnNote = [](TRVRTFReader&, TRVRTFNoteEventType, TRVRTFPosition) {};
  reader.OnNewUnicodeText = record;
  reader.OnNewText = [&](TRVRTFReader& sender, const TRVAnsiString& text, TRVRTFPosition position) {
    record(sender, AnsiToUnicode(sender.FontCodePage(), text), position);
  };
  std::istringstream stream(rtf);
  EXPECT_EQ(reader.ParseStream(stream), kRtfOk);
  return runs;
}

class RVRTFWriterRoundTripTest : public ::testing::Test {
 protected:
  RVRTFWriterRoundTripTest() { test::MakeRoundTripStyle(style_); }

  TRVStyle style_;
};

TEST_F(RVRTFWriterRoundTripTest, TextRunsKeepTheirProperties) {
  for (TRVRTFOptions options : {kRVDefaultRTFOptions, TRVRTFOptions{}, TRVRTFOptions{rvrtfSaveStyleSheet}}) {
    TestDocument doc(style_);
    doc.AppendTextItemW(u"Title {1}", 1, 1);
    doc.AppendTextItemW(u"Plain \\ text, ", 0, 0);
    doc.AppendTextItemW(u"\u0436\u0438\u0437\u043D\u044C", 2, -1);
    doc.AppendTextItemW(u" and \u03B1\u03B2\u03B3", 3, -1);
    doc.AppendTextItemW(u"\u4E2D\u6587 \u2014 \u201Cquoted\u201D", 0, 2);
    TRVRTFWriteSettings settings;
    settings.RTFOptions = options;
    const std::vector<ReadRun> expected = {
        {"Title {1}", rtf_ts_NewPara, "Times New Roman", 16, kRtfBold, 0x800000, kRVRTFNoColor, 2, 0, -1},
        {"Plain \\ text, ", rtf_ts_NewPara, "Arial", 10, 0, kRVRTFAutoColor, kRVRTFNoColor, 0, 0, -1},
        {"\u0436\u0438\u0437\u043D\u044C", rtf_ts_ContinuePara, "Arial", 10, kRtfItalic | kRtfUnderline,
         kRVRTFAutoColor, 0x00FFFF, 0, 0, -1},
        {" and \u03B1\u03B2\u03B3", rtf_ts_ContinuePara, "Courier New", 9, 0, kRVRTFAutoColor, kRVRTFNoColor, 0, 0, -1},
        {"\u4E2D\u6587 \u2014 \u201Cquoted\u201D", rtf_ts_NewPara, "Arial", 10, 0, kRVRTFAutoColor, kRVRTFNoColor, 3,
         480, -1},
    };
    EXPECT_EQ(ReadRuns(WriteRtfString(doc, settings)), expected) << options.ToBits();
  }
}

TEST_F(RVRTFWriterRoundTripTest, ListParagraphsAndNotes) {
  TRVListInfo& list = style_.ListStyles.Add();
  TRVListLevel& level = list.Levels.Add();
  level.ListType = rvlstDecimal;
  level.FormatString = "%0:s)";
  level.LeftIndent = 24;
  TestDocument doc(style_);
  doc.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(0, 0));
  doc.AppendTextItemW(u"first", 0, -1);
  doc.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(0, 0));
  doc.AppendTextItemW(u"second", 1, -1);
  auto note = std::make_unique<TRVFootnoteItemInfo>();
  note->Document().AppendTextItemW(u"note", 2, 0);
  note->ParaNo = -1;
  doc.AppendItem({}, std::move(note));
  doc.AppendTextItemW(u"after", 0, 0);
  const std::vector<ReadRun> runs = ReadRuns(WriteRtfString(doc));
  ASSERT_EQ(runs.size(), 4u) << ::testing::PrintToString(runs);
  EXPECT_EQ(runs[0].text, "first");
  EXPECT_EQ(runs[0].listLevel, 0);
  EXPECT_EQ(runs[0].leftIndent, 360);
  EXPECT_EQ(runs[1].text, "second");
  EXPECT_EQ(runs[1].fontStyle, kRtfBold);
  EXPECT_EQ(runs[2].text, "note");
  EXPECT_EQ(runs[2].fontStyle, kRtfItalic | kRtfUnderline);
  EXPECT_EQ(runs[3].text, "after");
  EXPECT_EQ(runs[3].listLevel, -1);
  EXPECT_EQ(runs[3].leftIndent, 0);
}

}  // namespace
}  // namespace varnolt
