// A table's component stream: its exact bytes, integers in their smallest
// codes, parts of a table, and stored cell lists that are checked before a
// grid is built from them.
#include <gtest/gtest.h>

#include "richtext/editor/RVEdit.h"
#include "richtext/rvf/RVFPropertyStream.h"
#include "richtext/rvf/RVFReader.h"
#include "richtext/rvf/RVFWriter.h"
#include "richtext/table/RVTableStream.h"
#include "tests/richtext/table/RVTableTestGrid.h"

namespace varnolt {
namespace {

using test::Grid;
using test::Numbered;

// Cell documents as their text alone, so that the stream is readable here.
std::string CellText(const TRVTableCellData& cell) { return Utf16ToUtf8(cell.ItemTextAt(0)); }
void SetCellText(TRVTableCellData& cell, std::string_view data) {
  cell.AppendTextItemW(Utf8ToUtf16(data), 0, 0);
}

// The start of a stored table of rows x columns, up to its first cell.
TRVFPropertyWriter CellsHead(int rows, int columns) {
  TRVFPropertyWriter out;
  out.Bytes() = "TPF0";
  out.ShortString("TRVTableSW");
  out.ShortString("");
  out.ShortString("C");
  out.Code(rvvaList);
  out.Int(rows);
  out.Int(columns);
  return out;
}

void AddCell(TRVFPropertyWriter& out, int spanColumns, int spanRows, std::string_view text) {
  out.Int(spanColumns);
  out.Int(spanRows);
  out.ShortString("TD");
  out.ShortString("");
  out.ShortString("C.Data");
  out.Binary(text);
  out.Code(rvvaNull);
  out.Code(rvvaNull);
}

std::string Finish(TRVFPropertyWriter& out) {
  out.Code(rvvaNull);  // end of the cell list
  out.Code(rvvaNull);  // end of the properties
  out.Code(rvvaNull);  // no child objects
  return out.Bytes();
}

TEST(RVTableStreamTest, ADefaultTableIsItsGridAlone) {
  auto table = TRVTableItemInfo::CreateTable(1, 1, nullptr);
  std::string expected = std::string("TPF0\x0ATRVTableSW\x00", 16) +       // class, empty name
                         std::string("\x01" "C\x01\x02\x01\x02\x01", 7) +     // "C": 1 row, 1 column
                         std::string("\x02\x01\x02\x01\x02TD\x00", 8) +        // spans 1 and 1, a "TD"
                         std::string("\x06" "C.Data\x0A\x00\x00\x00\x00", 12) +  // an empty document
                         std::string(5, '\0');                                   // the ends
  EXPECT_EQ(WriteTableStream(*table, nullptr, CellText), expected);
}

TEST(RVTableStreamTest, PropertiesThatDifferAreWrittenInTheirSmallestCodes) {
  auto table = TRVTableItemInfo::CreateTable(0, 0, nullptr);
  table->BorderWidth = 300;
  table->CellBorderWidth = 70000;
  table->CellVSpacing = -1;
  table->BorderColor = clBlue;
  table->VRuleColor = 0x123456;
  table->VOutermostRule = true;
  table->BorderStyle = rvtbColor;
  std::string stream = WriteTableStream(*table, nullptr, CellText);
  EXPECT_NE(stream.find(std::string("\x0DT.BorderWidth\x03\x2C\x01", 17)), std::string::npos);
  EXPECT_NE(stream.find(std::string("\x11T.CellBorderWidth\x04\x70\x11\x01\x00", 23)), std::string::npos);
  EXPECT_NE(stream.find(std::string("\x0ET.CellVSpacing\x02\xFF", 17)), std::string::npos);
  EXPECT_NE(stream.find("\x0DT.BorderColor\x07\x06" "clBlue"), std::string::npos);
  EXPECT_NE(stream.find(std::string("\x0CT.VRuleColor\x04\x56\x34\x12\x00", 18)), std::string::npos);
  EXPECT_NE(stream.find("\x10T.VOutermostRule\x09"), std::string::npos);
  EXPECT_NE(stream.find("\x0DT.BorderStyle\x07\x09rvtbColor"), std::string::npos);

  TRVTableItemInfo read;
  ReadTableStream(stream, read, SetCellText);
  EXPECT_EQ(read.BorderWidth, 300);
  EXPECT_EQ(read.CellBorderWidth, 70000);
  EXPECT_EQ(read.CellVSpacing, -1);
  EXPECT_EQ(read.BorderColor, clBlue);
  EXPECT_EQ(read.VRuleColor, 0x123456u);
  EXPECT_TRUE(read.VOutermostRule);
  EXPECT_EQ(read.BorderStyle, rvtbColor);
}

TEST(RVTableStreamTest, MergedCellsAndRowListsComeBack) {
  auto table = Numbered(3, 3);
  table->JoinCells(0, 1, 2, 2);
  table->Row(1).VAlign = 1;
  table->Row(2).PageBreakBefore = 1;
  std::string stream = WriteTableStream(*table, nullptr, CellText);
  TRVTableItemInfo read;
  ReadTableStream(stream, read, SetCellText);
  EXPECT_EQ(Grid(read), "00 01[2x2] - / 10 - - / 20 21 22");
  EXPECT_EQ(read.Row(1).VAlign, 1);
  EXPECT_EQ(read.Row(2).PageBreakBefore, 1);
  EXPECT_EQ(read.Row(0).VAlign, 0);
}

TEST(RVTableStreamTest, APartHasItsOwnCountsAndSpans) {
  auto table = Numbered(3, 3);
  table->JoinCells(0, 0, 3, 1);
  TRVCellRange part{1, 0, 2, 2};
  ASSERT_EQ(table->CoveringRange(part), (TRVCellRange{0, 0, 3, 2})) << "the merged cell is taken in whole";
  TRVCellRange lower{1, 1, 2, 2};
  std::string stream = WriteTableStream(*table, &lower, CellText);
  TRVTableItemInfo read;
  ReadTableStream(stream, read, SetCellText);
  EXPECT_EQ(Grid(read), "11 12 / 21 22");
}

TEST(RVTableStreamTest, ASelectionOfCellsWritesOnlyThoseCells) {
  TRVStyle style;
  TRVEditRVData data;
  data.SetRVStyle(&style);
  data.AppendItem({}, Numbered(3, 3));
  data.ItemAs<TRVTableItemInfo>(0).SelectCells(1, 1, 2, 2);
  data.SelectionAnchor = {0, 0};
  data.SelectionEnd = {0, 1};
  TRVFView view;
  std::string stream;
  ASSERT_TRUE(WriteRVF(data, stream, rvfsmSelection, view));
  TCustomRVData pasted;
  pasted.SetRVStyle(&style);
  ASSERT_TRUE(ReadRVF(pasted, stream, 0, false, view));
  EXPECT_EQ(Grid(pasted.ItemAs<TRVTableItemInfo>(0)), "11 12 / 21 22");
}

TEST(RVTableStreamTest, StoredCellListsAreCheckedBeforeAnythingIsBuilt) {
  struct TCase {
    const char* Name;
    int Rows;
    int Columns;
    std::vector<std::pair<int, int>> Spans;  // columns, rows
    const char* Error;
  };
  const TCase cases[] = {
      {"a span of 0", 1, 2, {{0, 1}, {1, 1}}, "Invalid cell span"},
      {"a span past the last column", 1, 2, {{3, 1}}, "Invalid cell span"},
      {"a span past the last row", 2, 1, {{1, 3}}, "Invalid cell span"},
      {"overlapping cells", 2, 2, {{1, 1}, {1, 2}, {2, 1}}, "Invalid cell span"},
      {"more cells than slots", 1, 1, {{1, 1}, {1, 1}}, "Wrong end of cells list"},
      {"fewer cells than slots", 2, 2, {{1, 1}, {1, 1}}, "Wrong end of cells list"},
      {"a negative row count", -1, 1, {}, "Invalid table size"},
      {"a grid far larger than its stream", 100000, 100000, {}, "Invalid table size"},
  };
  for (const TCase& entry : cases) {
    SCOPED_TRACE(entry.Name);
    TRVFPropertyWriter out = CellsHead(entry.Rows, entry.Columns);
    for (auto [columns, rows] : entry.Spans) AddCell(out, columns, rows, "x");
    auto table = Numbered(1, 1);
    try {
      ReadTableStream(Finish(out), *table, SetCellText);
      ADD_FAILURE() << "accepted";
    } catch (const EReadError& error) {
      EXPECT_EQ(error.Message(), entry.Error);
    }
    EXPECT_EQ(Grid(*table), "00") << "the table is left as it was";
  }
}

}  // namespace
}  // namespace varnolt
