// Changing the grid of a table: rows and columns in and out, with the cells
// whose spans cross the place of the change.
#include <gtest/gtest.h>

#include <functional>

#include "richtext/table/RVTable.h"
#include "tests/richtext/table/RVTableTestGrid.h"

namespace varnolt {
namespace {

using test::Grid;
using test::Numbered;

struct TGridCase {
  const char* Name;
  int Rows;
  int Columns;
  std::function<void(TRVTableItemInfo&)> Change;
  const char* Expected;
};

TEST(RVTableEditingTest, SpansFollowRowsAndColumnsInAndOut) {
  const TGridCase cases[] = {
      {"a column inserted through a cell widens it", 2, 3,
       [](TRVTableItemInfo& t) {
         t.JoinCells(0, 0, 1, 3);
         t.AddColumns(1, 1);
       },
       "00|01|02[1x4] - - - / 10 {} 11 12"},
      {"columns at the left and at the right", 2, 2,
       [](TRVTableItemInfo& t) {
         t.AddColumns(0, 2);
         t.AddColumns(4, 1);
       },
       "{} {} 00 01 {} / {} {} 10 11 {}"},
      {"a row inserted through a cell lengthens it", 3, 2,
       [](TRVTableItemInfo& t) {
         t.JoinCells(0, 0, 2, 1);
         t.AddRows(1, 1);
       },
       "00|10[3x1] 01 / - {} / - 11 / 20 21"},
      {"a row inserted where a cell ends does not", 3, 2,
       [](TRVTableItemInfo& t) {
         t.JoinCells(0, 0, 2, 1);
         t.AddRows(2, 1);
       },
       "00|10[2x1] 01 / - 11 / {} {} / 20 21"},
      {"copied rows take the column spans of their model", 2, 3,
       [](TRVTableItemInfo& t) {
         t.JoinCells(0, 0, 1, 2);
         t.AddRows(2, 2, false, 0);
       },
       "00|01[1x2] - 02 / 10 11 12 / {}[1x2] - {} / {}[1x2] - {}"},
      {"copied columns take the row spans of their model", 3, 2,
       [](TRVTableItemInfo& t) {
         t.JoinCells(0, 0, 2, 1);
         t.AddColumns(2, 1, false, 0);
       },
       "00|10[2x1] 01 {}[2x1] / - 11 - / 20 21 {}"},
      {"a copied span stops at a cell that grew", 3, 4,
       [](TRVTableItemInfo& t) {
         t.JoinCells(0, 0, 2, 1);
         t.JoinCells(1, 1, 1, 3);
         t.AddColumns(2, 1, false, 0);
       },
       "00|10[2x1] 01 {} 02 03 / - 11|12|13[1x4] - - - / 20 21 {} 22 23"},
      {"removing the first row of a cell moves it down", 3, 2,
       [](TRVTableItemInfo& t) {
         t.JoinCells(0, 0, 3, 1);
         t.RemoveRows(0, 1);
       },
       "00|10|20[2x1] 11 / - 21"},
      {"removing a middle row shortens a cell from above", 3, 2,
       [](TRVTableItemInfo& t) {
         t.JoinCells(0, 0, 3, 1);
         t.RemoveRows(1, 1);
       },
       "00|10|20[2x1] 01 / - 21"},
      {"a count past the last row is cut there", 3, 1, [](TRVTableItemInfo& t) { t.RemoveRows(1, 10); }, "00"},
      {"removing the first column of a cell moves it right", 2, 3,
       [](TRVTableItemInfo& t) {
         t.JoinCells(0, 1, 1, 2);
         t.RemoveColumns(1, 1);
       },
       "00 01|02 / 10 12"},
      {"a row left without cells goes", 2, 2,
       [](TRVTableItemInfo& t) {
         t.JoinCells(0, 1, 2, 1);
         t.RemoveColumns(0, 1);
       },
       "01|11"},
      {"removing every row leaves no grid", 2, 2, [](TRVTableItemInfo& t) { t.RemoveRows(0, 2); }, ""},
  };
  for (const TGridCase& entry : cases) {
    SCOPED_TRACE(entry.Name);
    auto table = Numbered(entry.Rows, entry.Columns);
    entry.Change(*table);
    EXPECT_EQ(Grid(*table), entry.Expected);
  }
}

TEST(RVTableEditingTest, CopiedCellsTakeTheLookOfTheirModel) {
  auto table = Numbered(2, 2);
  TRVTableCellData& model = *table->CellAt(1, 0);
  model.Color = clRed;
  model.SetHint(u"hint");
  model.VAlign = rvcMiddle;
  model.BestWidth = 300;
  table->AddColumns(1, 1, true, 0);
  const TRVTableCellData& copy = *table->CellAt(1, 1);
  EXPECT_EQ(copy.Color, clRed);
  EXPECT_EQ(copy.Hint(), u"hint");
  EXPECT_EQ(copy.VAlign, rvcMiddle);
  EXPECT_EQ(table->CellAt(1, 0)->BestWidth, 150) << "the model's width is shared with the new column";
  EXPECT_EQ(copy.BestWidth, 150);
  EXPECT_EQ(test::Dump(copy), "{}") << "content is not copied";
}

TEST(RVTableEditingTest, APlainModelTakesAwayTheRareLookOfACell) {
  auto table = Numbered(1, 2);
  TRVTableCellData& fancy = *table->CellAt(0, 0);
  fancy.SetHint(u"hint");
  fancy.SetBackgroundImageFileName(u"back.png");
  fancy.SetBackgroundStyle(rvbsTiled);
  fancy.AssignAppearance(*table->CellAt(0, 1));
  EXPECT_EQ(fancy.Hint(), u"");
  EXPECT_EQ(fancy.BackgroundImageFileName(), u"");
  EXPECT_EQ(fancy.BackgroundStyle(), rvbsColor);
  EXPECT_EQ(fancy.BackgroundImage(), nullptr);

  fancy.SetBackgroundStyle(rvbsCentered);
  table->AddRows(1, 1, false, 0);
  EXPECT_EQ(table->CellAt(1, 0)->BackgroundStyle(), rvbsCentered) << "a new row takes the look of its model";
  EXPECT_EQ(table->CellAt(1, 1)->BackgroundStyle(), rvbsColor);
}

TEST(RVTableEditingTest, RemovingRowsOfATallCellCanScaleItsHeight) {
  auto table = Numbered(3, 2);
  table->JoinCells(0, 0, 3, 1);
  table->CellAt(0, 0)->BestHeight = 90;
  table->RemoveRows(2, 1, true);
  EXPECT_EQ(table->CellAt(0, 0)->BestHeight, 60);
  table->RemoveRows(1, 1);
  EXPECT_EQ(table->CellAt(0, 0)->BestHeight, 60);
}

TEST(RVTableEditingTest, IndicesOutOfRangeAreRefused) {
  auto table = Numbered(2, 2);
  std::function<void()> wrong[] = {
      [&] { table->AddRows(-1, 1); },          [&] { table->AddRows(3, 1); },
      [&] { table->AddRows(0, 1, false, 2); }, [&] { table->AddColumns(0, 1, false, -2); },
      [&] { table->RemoveRows(2, 1); },        [&] { table->RemoveRows(0, 0); },
      [&] { table->RemoveRows(0, 3); },        [&] { table->RemoveColumns(-1, 1); },
  };
  for (const auto& action : wrong) {
    try {
      action();
      ADD_FAILURE() << "accepted";
    } catch (const ERichDocError& error) {
      EXPECT_EQ(error.Message(), "Invalid row or column index");
    }
  }
  EXPECT_EQ(Grid(*table), "00 01 / 10 11");
  auto empty = TRVTableItemInfo::CreateTable(0, 0, nullptr);
  empty->RemoveRows(5, 5);
  empty->RemoveColumns(0, 1);
  EXPECT_EQ(empty->TableRowCount(), 0) << "a table without rows ignores removals";
}

TEST(RVTableEditingTest, RowsWithOnlyCoveredSlotsAreRemoved) {
  auto table = TRVTableItemInfo::CreateTable(0, 0, nullptr);
  table->ResetGrid(3, 2);
  table->PlaceCell(0, 0, 3, 1, table->NewCell());
  table->PlaceCell(0, 1, 2, 1, table->NewCell());
  table->PlaceCell(2, 1, 1, 1, table->NewCell());
  table->RemoveEmptyRows();
  EXPECT_EQ(Grid(*table), "{}[2x1] {} / - {}");
}

}  // namespace
}  // namespace varnolt
