// A sheet's CSV text to the table the Excel import pastes.
#include "app/SheetTable.h"

#include <gtest/gtest.h>

#include "app/Unit2.h"
#include "richtext/table/RVTable.h"
#include "tests/app/TestHost.h"

namespace varnolt {
namespace {

TEST(SheetTableTest, CsvFieldsKeepSeparatorsQuotesAndLineBreaks) {
  const struct {
    const char* csv;
    TSheetCells cells;
  } cases[] = {
      {"a,b\nc,d\n", {{"a", "b"}, {"c", "d"}}},
      {"\"x, y\",\"say \"\"hi\"\"\"\r\n,z", {{"x, y", "say \"hi\""}, {"", "z"}}},
      {"\"two\nlines\",end\n", {{"two\nlines", "end"}}},
      {"\n\n", {{""}, {""}}},
      {"\"never closed,\nstill", {{"never closed,\nstill"}}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseCsv(c.csv), c.cells) << c.csv;
}

TEST(SheetTableTest, TheRangeIsCutToA1AZ150WithEmptyEndsDropped) {
  TSheetCells cells(200, std::vector<std::string>(60));
  cells[0][0] = "A1";
  cells[3][2] = "C4";
  cells[0][kSheetImportColumns] = "BA1";
  cells[kSheetImportRows][0] = "A151";
  EXPECT_EQ(ImportedRange(cells), (TSheetCells{{"A1", "", ""}, {"", "", ""}, {"", "", ""}, {"", "", "C4"}}));
  cells[kSheetImportRows - 1][kSheetImportColumns - 1] = "AZ150";
  const auto full = ImportedRange(cells);
  EXPECT_EQ(full.size(), static_cast<size_t>(kSheetImportRows));
  EXPECT_EQ(full.back().size(), static_cast<size_t>(kSheetImportColumns));
  EXPECT_TRUE(ImportedRange(TSheetCells{{"", ""}, {""}}).empty());
  EXPECT_EQ(SheetTableAsRtf({}), "");
}

class PastedSheetTest : public ::testing::Test {
 protected:
  test::TestHost host;
  MemoryClipboard clipboard;
  TForm2 form{host, clipboard};

  const TRVTableItemInfo* Paste(const std::string& rtf) {
    clipboard.SetData(clipboard.RegisterFormat(kRichTextFormatName), rtf);
    EXPECT_TRUE(form.Dispatch([&] { form.Label25Click(); }));
    auto& editor = form.CurrentEditor();
    for (int i = 0; i < editor.CountItems(); ++i) {
      if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&editor.ItemAt(i))) return table;
    }
    return nullptr;
  }
};

TEST_F(PastedSheetTest, TheRtfPastesAsATableWithEveryCellsText) {
  const TSheetCells cells = {{"{braces} \\ back", "\xE2\x82\xAC \xD0\x96 \xE4\xB8\xAD"}, {"", "two\nlines"}};
  const TRVTableItemInfo* table = Paste(SheetTableAsRtf(cells));
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->TableRowCount(), 2);
  ASSERT_EQ(table->TableColumnCount(), 2);
  auto text = [&](int row, int column) {
    const auto* cell = table->CellAt(row, column);
    std::u16string joined;
    for (int i = 0; i < cell->CountItems(); ++i) joined += (i > 0 && cell->StartsNewLine(i) ? u"|" : u"") + cell->ItemTextAt(i);
    return joined;
  };
  EXPECT_EQ(text(0, 0), u"{braces} \\ back");
  EXPECT_EQ(text(0, 1), u"\u20AC \u0416 \u4E2D");
  EXPECT_EQ(text(1, 0), u"");
  EXPECT_EQ(text(1, 1), u"two|lines");
}

TEST_F(PastedSheetTest, MergedAreasBecomeCellsSpanningColumnsAndRows) {
  const TSheetCells cells = {{"head", "", "", "x"}, {"side", "b", "c", "d"}, {"", "e", "f", "g"}, {"h", "i", "", ""}};
  // The last one reaches past the cells and is cut to them; the one-cell merge is no merge.
  const std::vector<TSheetMerge> merges = {{0, 0, 0, 2}, {1, 0, 2, 0}, {3, 1, 9, 9}, {1, 1, 1, 1}};
  const TRVTableItemInfo* table = Paste(SheetTableAsRtf(cells, merges));
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->TableRowCount(), 4);
  ASSERT_EQ(table->TableColumnCount(), 4);
  const struct {
    int row, column, spanRows, spanColumns;
    std::u16string text;
  } owners[] = {
      {0, 0, 1, 3, u"head"}, {0, 3, 1, 1, u"x"}, {1, 0, 2, 1, u"side"},
      {1, 1, 1, 1, u"b"},    {2, 3, 1, 1, u"g"}, {3, 1, 1, 3, u"i"},
  };
  for (const auto& owner : owners) {
    const auto* cell = table->CellAt(owner.row, owner.column);
    ASSERT_NE(cell, nullptr) << owner.row << "," << owner.column;
    EXPECT_EQ(cell->SpanRows(), owner.spanRows) << owner.row << "," << owner.column;
    EXPECT_EQ(cell->SpanColumns(), owner.spanColumns) << owner.row << "," << owner.column;
    EXPECT_EQ(cell->ItemTextAt(0), owner.text);
  }
  for (const auto& [row, column] : std::vector<std::pair<int, int>>{{0, 1}, {0, 2}, {2, 0}, {3, 2}, {3, 3}}) {
    EXPECT_EQ(table->CellAt(row, column), nullptr) << row << "," << column;
  }
}

}  // namespace
}  // namespace varnolt
