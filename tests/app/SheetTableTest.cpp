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

TEST(SheetTableTest, TheRtfPastesAsATableWithEveryCellsText) {
  test::TestHost host;
  MemoryClipboard clipboard;
  TForm2 form{host, clipboard};
  const TSheetCells cells = {{"{braces} \\ back", "\xE2\x82\xAC \xD0\x96 \xE4\xB8\xAD"}, {"", "two\nlines"}};
  clipboard.SetData(clipboard.RegisterFormat(kRichTextFormatName), SheetTableAsRtf(cells));
  ASSERT_TRUE(form.Dispatch([&] { form.Label25Click(); }));
  auto& editor = form.CurrentEditor();
  const TRVTableItemInfo* table = nullptr;
  for (int i = 0; i < editor.CountItems() && table == nullptr; ++i) {
    table = dynamic_cast<const TRVTableItemInfo*>(&editor.ItemAt(i));
  }
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

}  // namespace
}  // namespace varnolt
