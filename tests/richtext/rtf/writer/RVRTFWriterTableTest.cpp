// Tables in the RTF writer: row and cell properties, the engine's width
// keywords, merged and nested cells, tables next to each other, and what the
// reader makes of them.
#include <gtest/gtest.h>

#include <algorithm>

#include "richtext/document/RVItemKinds.h"
#include "richtext/rtf/reader/RVRTFReader.h"
#include "richtext/rtf/writer/RVRTFWriter.h"
#include "richtext/table/RVTable.h"
#include "tests/richtext/rtf/reader/RVRTFTestRecorder.h"
#include "tests/richtext/rtf/writer/RVRTFWriterTestDocuments.h"

namespace varnolt {
namespace {

using test::RtfBody;
using test::Count;
using test::TestDocument;
using test::WriteRtfString;

class RVRTFWriterTableTest : public ::testing::Test {
 protected:
  RVRTFWriterTableTest() { test::MakeMinimalStyle(style_); }

  // A table whose cells hold their row and column ("00", "01", ...).
  TRVTableItemInfo& AddTable(TCustomRVData& doc, int rows, int columns) {
    auto table = TRVTableItemInfo::CreateTable(rows, columns, &doc);
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        TRVTableCellData* cell = table->CellAt(r, c);
        cell->ClearItems();
        cell->AppendTextItemW(Utf8ToUtf16(std::to_string(r) + std::to_string(c)), 0, 0);
      }
    }
    TRVTableItemInfo& added = *table;
    doc.AppendItem({}, std::move(table));
    return added;
  }

  TRVStyle style_;
  TestDocument doc_{style_};
};

TEST_F(RVRTFWriterTableTest, DefaultTableRowByRow) {
  AddTable(doc_, 2, 2);
  const std::string rowStart =
      "{\\trowd\\trgaph30\\trleft0\\itap1\\trpaddl15\\trpaddt15\\trpaddr15\\trpaddb15\\trpaddfl3\\trpaddft3"
      "\\trpaddfr3\\trpaddfb3\\trspdl15\\trspdr15\\trspdfl3\\trspdfr3\\trspdt15\\trspdft3\\trspdb15\\trspdfb3"
      "\\trftsWidth1";
  // The window colour of the table is entry 18, after the styles' no-colour.
  const std::string cells = "\\clftsWidth1\\richdoccbw0\\richdoccbh0\\clcbpat18\\cellx4500"
                            "\\clftsWidth1\\richdoccbw0\\richdoccbh0\\clcbpat18\\cellx8985";
  const auto cell = [](const char* text) {
    return std::string("{\r\n\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap1\\intbl \\plain \\f0\\fs20 ") + text + "\\cell}";
  };
  EXPECT_EQ(RtfBody(WriteRtfString(doc_)),
            "\r\n\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 " + rowStart + "\\richdoctbw0" + cells +
                "\\pard\\intbl\\itap1{" + cell("00") + cell("01") + "}\\pard\\intbl\\itap1\\row}" + rowStart +
                "\\lastrow\\richdoctbw0" + cells + "\\pard\\intbl\\itap1{" + cell("10") + cell("11") +
                "}\\pard\\intbl\\itap1\\row}\\par}");
}

TEST_F(RVRTFWriterTableTest, TableProperties) {
  style_.ParaStyles.Items(0).Alignment = rvaRight;
  TRVTableItemInfo& table = AddTable(doc_, 2, 2);
  table.BestWidth = 300;
  table.BorderWidth = 1;
  table.BorderStyle = rvtbRaisedColor;
  table.BorderColor = clRed;
  table.BorderLightColor = clBlue;
  table.VisibleBorders.Bottom = false;
  table.CellBorderWidth = 2;
  table.CellBorderStyle = rvtbLowered;
  table.HeadingRowCount = 1;
  table.PrintOptions = {};
  table.Color = kRVColorNone;
  table.Options.Include(rvtoRTFSaveCellPixelBestWidth);
  TRVTableCellData& first = *table.CellAt(0, 0);
  first.BestWidth = 100;
  first.BestHeight = 20;
  first.Color = 0x00FFFF;
  first.VAlign = rvcBottom;
  table.CellAt(0, 1)->BestWidth = -40;
  table.Row(1).VAlign = rvcMiddle;
  const std::string body = RtfBody(WriteRtfString(doc_));
  EXPECT_NE(body.find("{\\trowd\\trqr\\trgaph60\\trleft0\\itap1\\trhdr\\trrh300\\trpaddl15"), std::string::npos) << body;
  EXPECT_NE(body.find("\\trwWidth4530\\trftsWidth3\\trkeep\\trkeepfollow\\richdoctbw300"
                      "\\trbrdrl\\brdrs\\brdrw15\\brdrcf2\\trbrdrt\\brdrs\\brdrw15\\brdrcf2\\trbrdrr\\brdrs\\brdrw15\\brdrcf6"
                      "\\clwWidth1500\\clftsWidth3\\richdoccbw100\\richdoccbh20"
                      "\\clbrdrl\\brdrinset\\brdrw30\\clbrdrt\\brdrinset\\brdrw30\\clbrdrr\\brdrinset\\brdrw30"
                      "\\clbrdrb\\brdrinset\\brdrw30\\clcbpat7\\clvertalb\\cellx"),
            std::string::npos)
      << body;
  EXPECT_NE(body.find("\\clwWidth2000\\clftsWidth2\\richdoccbw-40\\richdoccbh0"), std::string::npos) << body;
  // The second row takes the alignment of its row; it is no heading.
  EXPECT_EQ(Count(body, "\\clvertalc"), 2u);
  EXPECT_EQ(Count(body, "\\trhdr"), 1u);
  EXPECT_EQ(Count(body, "\\lastrow"), 1u);
}

TEST_F(RVRTFWriterTableTest, MergedCells) {
  TRVTableItemInfo& table = AddTable(doc_, 3, 3);
  table.JoinCells(0, 0, 2, 2);
  const std::string body = RtfBody(WriteRtfString(doc_));
  const auto rowAt = [&](int n) {
    std::size_t at = 0;
    for (int i = 0; i <= n; ++i) at = body.find("{\\trowd", at + 1);
    return body.substr(at, body.find("\\row}", at) - at);
  };
  const std::string top = rowAt(0);
  const std::string middle = rowAt(1);
  // The merged cell reaches over two columns: one boundary for both.
  EXPECT_EQ(Count(top, "\\cellx"), 2u) << top;
  EXPECT_EQ(Count(top, "\\clvmgf"), 1u);
  EXPECT_EQ(Count(middle, "\\cellx"), 2u) << middle;
  EXPECT_EQ(Count(middle, "\\clvmrg"), 1u);
  EXPECT_EQ(Count(middle, "\\richdoccbw"), 1u);  // only the cell that starts there
  EXPECT_EQ(top.substr(top.find("\\cellx"), 11), middle.substr(middle.find("\\cellx"), 11));
  EXPECT_NE(middle.find("{\\cell}{\r\n"), std::string::npos) << middle;
}

TEST_F(RVRTFWriterTableTest, NestedTables) {
  TRVTableItemInfo& outer = AddTable(doc_, 1, 2);
  TRVTableCellData& cell = *outer.CellAt(0, 1);
  cell.ClearItems();
  cell.AppendTextItemW(u"before", 0, 0);
  AddTable(cell, 1, 1);
  const std::string body = RtfBody(WriteRtfString(doc_));
  EXPECT_NE(body.find("before\r\n\\par {\\*\\nesttableprops\\trowd\\trgaph30\\trleft0\\itap2"), std::string::npos) << body;
  EXPECT_NE(body.find("\\pard\\intbl\\itap2{{\r\n\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap2 \\plain \\f0\\fs20 00"
                      "\\nestcell}}\\pard\\intbl\\itap2\\nestrow}\\cell}}"),
            std::string::npos)
      << body;
  EXPECT_EQ(Count(body, "\\lastrow"), 1u);
}

TEST_F(RVRTFWriterTableTest, HorizontalLineInACell) {
  TRVTableItemInfo& table = AddTable(doc_, 1, 1);
  table.CellAt(0, 0)->AppendItem({}, std::make_unique<TRVBreakItemInfo>());
  const std::string body = RtfBody(WriteRtfString(doc_));
  EXPECT_NE(body.find("\\pard\\intbl\\itap1\\plain\\fs6\\brdrb\\brdrs\\brdrw15\\brdrcf0\\par\\pard\\intbl\\itap1\\cell}"),
            std::string::npos)
      << body;
}

TEST_F(RVRTFWriterTableTest, TablesNextToEachOther) {
  AddTable(doc_, 1, 1);
  AddTable(doc_, 1, 1);
  std::string body = RtfBody(WriteRtfString(doc_));
  EXPECT_NE(body.find("\\row}\r\n{\\trowd"), std::string::npos) << body;
  doc_.ItemAt(1).SetPageBreakBefore(true);
  body = RtfBody(WriteRtfString(doc_));
  EXPECT_NE(body.find("\\row}\r\n\\page \\par {\\trowd"), std::string::npos) << body;
  // A paragraph after a table gets no "\par" of its own.
  doc_.AppendTextItemW(u"after", 0, 0);
  body = RtfBody(WriteRtfString(doc_));
  EXPECT_NE(body.find("\\row}\r\n\\plain \\f0\\fs20 after\\par}"), std::string::npos) << body;
}

TEST_F(RVRTFWriterTableTest, TheReaderSeesTheSameGrid) {
  TRVTableItemInfo& table = AddTable(doc_, 2, 3);
  table.JoinCells(0, 1, 1, 2);
  doc_.AppendTextItemW(u"after", 0, 0);
  TRVRTFReader reader;
  test::TRVRTFRecorder recorder(reader);
  ASSERT_EQ(test::ParseRtf(reader, WriteRtfString(doc_)), kRtfOk);
  std::vector<std::string> structure;
  for (const std::string& event : recorder.events) {
    if (event.rfind("table:", 0) == 0 || event.rfind("NP:", 0) == 0) structure.push_back(event);
  }
  // The merged cell holds the paragraphs of both cells it was made of.
  EXPECT_EQ(structure, (std::vector<std::string>{"table:start", "NP:00", "table:cell", "NP:01", "NP:02", "table:cell",
                                                 "table:row", "NP:10", "table:cell", "NP:11", "table:cell", "NP:12",
                                                 "table:cell", "table:row", "table:end", "NP:after"}))
      << ::testing::PrintToString(recorder.events);
}

}  // namespace
}  // namespace varnolt
