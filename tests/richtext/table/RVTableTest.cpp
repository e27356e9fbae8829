// Tables: creating, reaching cells, finding the cell that covers a slot,
// merging, the plain text of a table, copies, and the table as an item of
// a document.
#include <gtest/gtest.h>

#include "richtext/document/RVLabelItems.h"
#include "richtext/editor/RVEdit.h"
#include "richtext/table/RVTable.h"
#include "richtext/table/RVTableUndo.h"
#include "tests/richtext/RVTestDocuments.h"
#include "tests/richtext/table/RVTableTestGrid.h"

namespace varnolt {
namespace {

using test::Grid;
using test::Numbered;

void ExpectError(const std::function<void()>& action, const std::string& message) {
  try {
    action();
    ADD_FAILURE() << "expected \"" << message << "\"";
  } catch (const ERichDocError& error) {
    EXPECT_EQ(error.Message(), message);
  }
}

TEST(RVTableTest, ANewTableHasAnEmptyParagraphInEveryCell) {
  auto table = TRVTableItemInfo::CreateTable(2, 3, nullptr);
  EXPECT_EQ(table->TableRowCount(), 2);
  EXPECT_EQ(table->TableColumnCount(), 3);
  EXPECT_EQ(table->SubDocumentCount(), 6);
  EXPECT_EQ(Grid(*table), "{} {} {} / {} {} {}");
  ASSERT_NE(table->CellAt(1, 2), nullptr);
  EXPECT_EQ(table->CellAt(1, 2)->ItemAt(0).StyleNo, 0);
  ExpectError([&] { table->CellAt(2, 0); }, "Invalid row or column index");
  ExpectError([&] { table->CellAt(0, -1); }, "Invalid row or column index");
  EXPECT_EQ(TRVTableItemInfo::CreateTable(0, 0, nullptr)->TableColumnCount(), 0);
}

TEST(RVTableTest, TheEngineMakesTablesForTheirKind) {
  auto item = CreateItemOfKind(ItemKindTable, nullptr);
  ASSERT_NE(dynamic_cast<TRVTableItemInfo*>(item.get()), nullptr);
  EXPECT_TRUE(item->OccupiesWholeLine());
  EXPECT_TRUE(item->IncludedInTextOnly());
}

TEST(RVTableTest, MergingTwoByTwoLeavesThreeCoveredSlotsAndKeepsTheContentInRowOrder) {
  auto table = Numbered(3, 3);
  table->JoinCells(0, 0, 2, 2);
  EXPECT_EQ(Grid(*table), "00|01|10|11[2x2] - 02 / - - 12 / 20 21 22");
  for (auto [r, c] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{1, 1}}) {
    int originRow = -1;
    int originColumn = -1;
    EXPECT_EQ(table->FindCellOrigin(r, c, originRow, originColumn), table->CellAt(0, 0));
    EXPECT_EQ(originRow, 0);
    EXPECT_EQ(originColumn, 0);
  }
  int originRow = -1;
  int originColumn = -1;
  EXPECT_EQ(table->FindCellOrigin(1, 2, originRow, originColumn), table->CellAt(1, 2));
  EXPECT_EQ(table->SubDocumentCount(), 6);
}

TEST(RVTableTest, MergesThatCannotBeAreLeftAlone) {
  auto table = Numbered(3, 3);
  table->JoinCells(0, 1, 2, 2);
  std::string merged = Grid(*table);
  table->JoinCells(0, 0, 1, 2);  // would cut the merged cell
  EXPECT_EQ(Grid(*table), merged);
  table->JoinCells(2, 0, 1, 1);
  table->JoinCells(0, 1, 2, 2);  // already one cell
  EXPECT_EQ(Grid(*table), merged);
  table->JoinCells(2, 1, 5, 5);  // spans are clipped to the grid
  EXPECT_EQ(Grid(*table), "00 01|02|11|12[2x2] - / 10 - - / 20 21|22[1x2] -");
  ExpectError([&] { table->JoinCells(0, 0, 0, 2); }, "Parameters for cell merging are not correct");
  ExpectError([&] { table->JoinCells(0, 0, 2, -1); }, "Parameters for cell merging are not correct");
}

TEST(RVTableTest, StrictMergingKeepsACellStartingInEveryRowAndColumn) {
  auto table = Numbered(2, 2);
  table->JoinCells(0, 0, 2, 1, true);  // row 1 would keep cell 11
  EXPECT_EQ(Grid(*table), "00|10[2x1] 01 / - 11");
  table->JoinCells(0, 1, 2, 1, true);  // row 1 would have no cell left
  EXPECT_EQ(Grid(*table), "00|10[2x1] 01 / - 11");
  table->JoinCells(0, 1, 2, 1);
  EXPECT_EQ(Grid(*table), "00|10[2x1] 01|11[2x1] / - -");
}

TEST(RVTableTest, PlainTextSeparatesCellsAndEndsEveryRow) {
  TRVStyle style;
  TCustomRVData data;
  data.SetRVStyle(&style);
  data.AppendTextItemW(u"x", 0, 0);
  auto table = TRVTableItemInfo::CreateTable(2, 2, &data);
  const char16_t* texts[] = {u"1", u"2", u"3", u"4"};
  for (int i = 0; i < 4; ++i) {
    TRVTableCellData& cell = *table->CellAt(i / 2, i % 2);
    cell.ClearItems();
    cell.AppendTextItemW(texts[i], 0, 0);
  }
  data.AppendItem({}, std::move(table));
  data.AppendTextItemW(u"y", 0, -1);
  EXPECT_TRUE(data.ItemStartsPara(2)) << "nothing continues the line of a table";

  std::string ansi;
  ASSERT_TRUE(data.ExtractText({}, ansi, 80, false, true, false, false));
  EXPECT_EQ(ansi, "x\r\n1\r\n2\r\n3\r\n4\r\n\r\ny");
  std::string unicode;
  ASSERT_TRUE(data.ExtractText({}, unicode, 80, false, true, true, false));
  EXPECT_EQ(BytesToUtf16(unicode), u"x\r\n1\r\n2\r\n3\r\n4\r\n\r\ny");

  auto& stored = data.ItemAs<TRVTableItemInfo>(1);
  stored.SetTextColSeparator(u"\t");
  stored.SetTextRowSeparator(u";");
  stored.JoinCells(0, 0, 1, 2);
  std::string merged;
  ASSERT_TRUE(data.ExtractText({}, merged, 80, false, true, false, false));
  EXPECT_EQ(merged, "x\r\n1\r\n2\t;3\t4;\r\ny") << "a covered slot gives only its separator";
}

TEST(RVTableTest, ASelectionInsideATableIsTheTextOfItsSelectedCells) {
  TRVStyle style;
  TRVEditRVData data;
  data.SetRVStyle(&style);
  data.AppendTextItemW(u"x", 0, 0);
  data.AppendItem({}, Numbered(3, 3));
  data.SelectionAnchor = {1, 0};
  data.SelectionEnd = {1, 1};
  data.ItemAs<TRVTableItemInfo>(1).SelectCells(1, 1, 2, 2);
  std::string text;
  ASSERT_TRUE(data.ExtractText({}, text, 80, true, true, false, false));
  EXPECT_EQ(text, "11\r\n12\r\n21\r\n22\r\n");
}

TEST(RVTableTest, ACopyHasItsOwnCells) {
  auto table = Numbered(2, 2);
  table->JoinCells(0, 0, 1, 2);
  table->BorderWidth = 3;
  table->CellAt(1, 1)->Color = clRed;
  auto copy = table->Clone();
  auto& copied = dynamic_cast<TRVTableItemInfo&>(*copy);
  EXPECT_EQ(Grid(copied), Grid(*table));
  EXPECT_EQ(copied.BorderWidth, 3);
  EXPECT_EQ(copied.CellAt(1, 1)->Color, clRed);
  EXPECT_EQ(copied.CellAt(1, 1)->Table(), &copied);
  EXPECT_NE(copied.CellAt(1, 1), table->CellAt(1, 1));
}

TEST(RVTableTest, RarePropertiesTravelWithCopiesAndGoBackToTheirDefaults) {
  auto table = Numbered(1, 2);
  EXPECT_EQ(table->TextRowSeparator(), u"\r\n");
  EXPECT_EQ(table->TextColSeparator(), u"\r\n");
  table->SetTextColSeparator(u"\t");
  table->SetBackgroundStyle(rvbsStretched);
  auto copy = table->Clone();
  auto& copied = dynamic_cast<TRVTableItemInfo&>(*copy);
  EXPECT_EQ(copied.TextColSeparator(), u"\t");
  EXPECT_EQ(copied.TextRowSeparator(), u"\r\n");
  EXPECT_EQ(copied.BackgroundStyle(), rvbsStretched);

  copied.AssignProperties(TRVTableItemInfo());
  EXPECT_EQ(copied.TextColSeparator(), u"\r\n");
  EXPECT_EQ(copied.BackgroundStyle(), rvbsColor);
  EXPECT_EQ(table->TextColSeparator(), u"\t") << "the original keeps its own";
}

TEST(RVTableTest, CellsInADocumentNumberTheirNotesAndLetGoOfThemWhenRemoved) {
  TRVStyle style;
  TCustomRVData data;
  data.SetRVStyle(&style);
  data.AppendItem({}, std::make_unique<TRVFootnoteItemInfo>());
  auto table = TRVTableItemInfo::CreateTable(2, 1, &data);
  table->CellAt(0, 0)->AppendItem({}, std::make_unique<TRVFootnoteItemInfo>());
  table->CellAt(1, 0)->AppendItem({}, std::make_unique<TRVFootnoteItemInfo>());
  data.AppendItem({}, std::move(table));
  data.AppendItem({}, std::make_unique<TRVFootnoteItemInfo>());
  auto& stored = data.ItemAs<TRVTableItemInfo>(1);
  EXPECT_EQ(test::Dump(data), "<label:1>|<-60>|<label:4>");
  EXPECT_EQ(test::Dump(*stored.CellAt(0, 0)), "{}|<label:2>");
  EXPECT_EQ(test::Dump(*stored.CellAt(1, 0)), "{}|<label:3>");

  stored.RemoveRows(0, 1);
  EXPECT_EQ(test::Dump(*stored.CellAt(0, 0)), "{}|<label:2>");
  EXPECT_EQ(test::Dump(data), "<label:1>|<-60>|<label:3>");

  stored.AddRows(1, 1);
  stored.CellAt(1, 0)->AppendItem({}, std::make_unique<TRVFootnoteItemInfo>());
  EXPECT_EQ(test::Dump(*stored.CellAt(1, 0)), "{}|<label:3>") << "a new cell is part of the document";
  EXPECT_EQ(test::Dump(data), "<label:1>|<-60>|<label:4>");
}

TEST(RVTableTest, SelectingCellsTakesInWholeMergedCells) {
  auto table = Numbered(3, 3);
  table->JoinCells(1, 1, 2, 2);
  table->SelectCells(0, 0, 2, 2);
  TRVCellRange range;
  ASSERT_TRUE(table->GetCellSelection(range));
  EXPECT_EQ(range, (TRVCellRange{0, 0, 3, 3}));
  table->AddRows(0, 1);
  EXPECT_FALSE(table->GetCellSelection(range)) << "changing the grid resets the selection";
}

TEST(RVTableTest, AChangedTableIsUndoneAndRedoneWhole) {
  TRVStyle style;
  TCustomRVData data;
  data.SetRVStyle(&style);
  data.AppendTextItemW(u"before", 0, 0);
  data.AddCheckpoint(u"mark");
  data.AppendItem({}, Numbered(2, 2));
  data.AppendTextItemW(u"after", 0, 0);
  TRVUndoList undo;
  TRVRedoList redo;
  undo.BeginGroup(kUndoKindModifyItem, {}, {0, 1});
  ChangeTable(data, 1, &undo, [](TRVTableItemInfo& table) { table.JoinCells(0, 0, 2, 2); });
  EXPECT_EQ(Grid(data.ItemAs<TRVTableItemInfo>(1)), "00|01|10|11[2x2] - / - -");

  redo.BeginGroup(kUndoKindModifyItem, {}, {0, 1});
  std::unique_ptr<TRVUndoInfos> group = undo.PopLastGroup();
  group->Actions.back()->Revert(data, &redo);
  EXPECT_EQ(Grid(data.ItemAs<TRVTableItemInfo>(1)), "00 01 / 10 11");
  EXPECT_EQ(test::Dump(data), "before|<-60>|after");
  ASSERT_NE(data.ItemCheckpoint(1), nullptr) << "the table keeps its checkpoint";
  EXPECT_EQ(data.ItemCheckpoint(1)->Name, u"mark");
  EXPECT_EQ(data.CheckpointCount(), 1);

  redo.LastGroup()->Actions.back()->Revert(data, nullptr);
  EXPECT_EQ(Grid(data.ItemAs<TRVTableItemInfo>(1)), "00|01|10|11[2x2] - / - -");
  ExpectError([&] { ChangeTable(data, 0, &undo, [](TRVTableItemInfo&) {}); },
              "Can't get or set this kind of information for this item");
}

}  // namespace
}  // namespace varnolt
