// Tables: rows laid on the column boundaries of the whole table, merges,
// borders, padding and spacing, and tables that end untidily.
#include <gtest/gtest.h>

#include "richtext/rtf/reader/RVRTFReader.h"
#include "tests/richtext/rtf/import/RVRTFImportTestSupport.h"

namespace varnolt {
namespace {

using test::DumpTable;
using test::FirstTable;
using test::Rtf;
using test::TRVImportedRTF;

std::string Row(const std::string& definition, const std::vector<std::string>& cells, const std::string& end = "\\row") {
  std::string row = "\\trowd" + definition;
  row += "\\pard\\intbl";
  for (const auto& cell : cells) row += " " + cell + "\\cell";
  return row + end;
}

struct TableCase {
  const char* name;
  std::string body;
  std::string table;      // DumpTable of the first table
  std::string structure;  // the document around it
};

TEST(RVRTFImportTablesTest, RowsOnTheTablesBoundaries) {
  const TableCase cases[] = {
      {"two equal rows", Row("\\cellx1000\\cellx2000\\cellx3000", {"a", "b", "c"}) +
                             Row("\\cellx1000\\cellx2000\\cellx3000", {"d", "e", "f"}) + "\\pard after",
       "a|b|c/d|e|f", "<-60>|after"},
      {"a boundary inside the second cell splits its column",
       Row("\\cellx1000\\cellx2000\\cellx3000", {"a", "b", "c"}) +
           Row("\\cellx1000\\cellx1500\\cellx2000\\cellx3000", {"d", "e1", "e2", "f"}),
       "a|b<2x1>|c/d|e1|e2|f", "<-60>"},
      {"boundaries a twip apart are one", Row("\\cellx1000\\cellx2000", {"a", "b"}) +
                                              Row("\\cellx1001\\cellx1999", {"c", "d"}),
       "a|b/c|d", "<-60>"},
      {"a row of continuations is one cell",
       Row("\\clmgf\\cellx1000\\clmrg\\cellx2000\\clmrg\\cellx3000", {"wide", "", ""}) +
           Row("\\cellx1000\\cellx2000\\cellx3000", {"a", "b", "c"}),
       "wide<3x1>/a|b|c", "<-60>"},
      {"a vertical merge", Row("\\clvmgf\\cellx1000\\cellx2000", {"tall", "b"}) +
                               Row("\\clvmrg\\cellx1000\\cellx2000", {"", "d"}),
       "tall<1x2>|b/d", "<-60>"},
      {"a shorter row leaves its last columns empty", Row("\\cellx1000\\cellx2000", {"a", "b"}) +
                                                          Row("\\cellx1000", {"c"}),
       "a|b/c|{}", "<-60>"},
      {"no final row: the unfinished row follows the table",
       Row("\\cellx1000\\cellx2000", {"a", "b"}) + "\\trowd\\cellx1000\\cellx2000\\pard\\intbl c\\cell d",
       "a|b", "<-60>|c|d"},
      {"a last row ends the table", Row("\\lastrow\\cellx1000", {"a"}) + Row("\\cellx1000", {"b"}),
       "a", "<-60>|<-60>"},
      {"more cells than boundaries", Row("\\cellx1000", {"a", "b", "c"}), "a|b|c", "<-60>"},
      {"boundaries that go backwards", Row("\\cellx2000\\cellx1000\\cellx1000", {"a", "b", "c"}), "a|b|c", "<-60>"},
      {"a vertical merge with nothing above", Row("\\clvmrg\\cellx1000\\cellx2000", {"a", "b"}), "a|b", "<-60>"},
      {"a row that starts further right", Row("\\trleft-108\\cellx1000\\cellx2000", {"a", "b"}) +
                                              Row("\\trleft0\\cellx1000\\cellx2000", {"c", "d"}),
       "a<2x1>|b/{}|c|d", "<-60>"},
      {"text around", "before\\par " + Row("\\cellx1000", {"x"}) + "\\pard after", "x", "before|<-60>|after"},
      // Writers leave out "intbl": after "trowd" a cell still belongs to the row.
      {"a row without intbl", "\\trowd\\cellx2000\\cellx4000 A1\\cell A2\\cell\\row \\pard After\\par", "A1|A2",
       "<-60>|After"},
      {"two rows without intbl", "\\trowd\\cellx2000\\pard a\\cell\\row\\trowd\\cellx2000\\pard b\\cell\\row after",
       "a/b", "<-60>|after"},
  };
  for (const auto& c : cases) {
    TRVImportedRTF imported;
    EXPECT_EQ(imported.Load(Rtf(c.body)), kRtfOk) << c.name;
    const TRVTableItemInfo* table = FirstTable(imported.doc);
    ASSERT_NE(table, nullptr) << c.name;
    EXPECT_EQ(DumpTable(*table), c.table) << c.name;
    EXPECT_EQ(imported.Structure(), c.structure) << c.name;
  }
}

TEST(RVRTFImportTablesTest, TheSecondOfTwoTablesAfterALastRow) {
  TRVImportedRTF imported;
  imported.Load(Rtf(Row("\\lastrow\\cellx1000", {"a"}) + Row("\\cellx1000\\cellx2000", {"b", "c"})));
  ASSERT_EQ(imported.doc.CountItems(), 2);
  EXPECT_EQ(DumpTable(static_cast<const TRVTableItemInfo&>(imported.doc.ItemAt(1))), "b|c");
}

TEST(RVRTFImportTablesTest, NestedTable) {
  TRVImportedRTF imported;
  imported.Load(Rtf("\\trowd\\cellx2000\\cellx4000\\pard\\intbl outer\\cell"
                    "\\pard\\intbl\\itap2 inner1\\nestcell inner2\\nestcell"
                    "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
                    "\\pard\\intbl\\itap1 \\cell\\row\\pard after"));
  const TRVTableItemInfo* outer = FirstTable(imported.doc);
  ASSERT_NE(outer, nullptr);
  ASSERT_EQ(outer->TableColumnCount(), 2);
  const TRVTableItemInfo* inner = FirstTable(*outer->CellAt(0, 1));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(DumpTable(*inner), "inner1|inner2");
  EXPECT_EQ(imported.Structure(), "<-60>|after");
}

TEST(RVRTFImportTablesTest, BordersPaddingAndWidths) {
  TRVImportedRTF imported;
  const std::string borders = "\\clbrdrt\\brdrs\\brdrw15\\clbrdrl\\brdrs\\brdrw15\\clbrdrb\\brdrs\\brdrw15"
                              "\\clbrdrr\\brdrs\\brdrw15";
  const std::string row = "\\trgaph108\\trleft-108\\trpaddl108\\trpaddr108\\trpaddfl3\\trpaddfr3"
                          "\\trbrdrt\\brdrs\\brdrw15\\trbrdrb\\brdrs\\brdrw15\\trrh400\\trqc" +
                          borders + "\\clcbpat1\\clvertalc\\cellx1332" + borders + "\\cellx2772";
  imported.Load(Rtf("{\\colortbl;\\red255\\green0\\blue0;}" + Row(row, {"a", "b"}) + Row(row, {"c", "d"})));
  const TRVTableItemInfo* table = FirstTable(imported.doc);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(DumpTable(*table), "a|b/c|d");
  EXPECT_EQ(table->CellHPadding, 7);
  EXPECT_EQ(table->CellVPadding, 0);
  EXPECT_EQ(table->CellBorderWidth, 1);
  EXPECT_EQ(table->CellBorderStyle, rvtbColor);
  EXPECT_TRUE(table->VisibleBorders.Top);
  EXPECT_TRUE(table->VisibleBorders.Bottom);
  EXPECT_FALSE(table->VisibleBorders.Left);
  EXPECT_EQ(table->CellHSpacing, -1);
  EXPECT_EQ(table->CellVSpacing, -1);
  const TRVTableCellData* first = table->CellAt(0, 0);
  EXPECT_EQ(first->Color, 0x0000FFu);
  EXPECT_EQ(first->VAlign, rvcMiddle);
  EXPECT_EQ(first->BestHeight, 27);
  EXPECT_TRUE(first->VisibleBorders.Left);
  // The span of the boundaries, less the padding on both sides.
  EXPECT_EQ(first->BestWidth, 96 - 14);
  EXPECT_EQ(imported.style.ParaStyleAt(imported.doc.ItemAt(0).ParaNo).Alignment, rvaCenter);
}

// Spreadsheets paste tables with neither borders nor padding.
TEST(RVRTFImportTablesTest, BorderlessTableWithoutPadding) {
  TRVImportedRTF imported;
  imported.props.AutoHideTableGridLines = true;
  EXPECT_EQ(imported.Load(Rtf(Row("\\cellx1000\\cellx2000", {"1", "2"}))), kRtfOk);
  const TRVTableItemInfo* table = FirstTable(imported.doc);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->CellHPadding, 0);
  EXPECT_EQ(table->CellBorderWidth, 0);
  EXPECT_EQ(table->BorderWidth, 0);
  EXPECT_TRUE(table->Options.Contains(rvtoHideGridLines));
  EXPECT_EQ(table->Color, kRVColorNone);
}

// Rows that give only the gap between cells (as word processors write
// them) pad their cells by it; a padding given outright wins.
TEST(RVRTFImportTablesTest, TheGapPadsCellsThatGiveNoPadding) {
  const std::pair<const char*, int> cases[] = {
      {"\\trgaph108\\trleft-108\\cellx1000\\cellx2000", 7},
      {"\\trgaph108\\trpaddl30\\trpaddr30\\trpaddfl3\\trpaddfr3\\cellx1000\\cellx2000", 2},
      {"\\cellx1000\\cellx2000", 0},
  };
  for (const auto& [row, padding] : cases) {
    SCOPED_TRACE(row);
    TRVImportedRTF imported;
    ASSERT_EQ(imported.Load(Rtf(Row(row, {"1", "2"}))), kRtfOk);
    const TRVTableItemInfo* table = FirstTable(imported.doc);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->CellHPadding, padding);
  }
}

TEST(RVRTFImportTablesTest, SpacingAndSinglePadding) {
  TRVImportedRTF imported;
  imported.props.UseSingleCellPadding = true;
  const std::string row = "\\trspdl30\\trspdr30\\trspdt30\\trspdb30\\trspdfl3\\trspdfr3\\trspdft3\\trspdfb3"
                          "\\trpaddl90\\trpaddt30\\trpaddfl3\\trpaddft3\\cellx1000";
  imported.Load(Rtf(Row(row, {"a"}) + Row(row, {"b"})));
  const TRVTableItemInfo* table = FirstTable(imported.doc);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->CellHPadding, 4);
  EXPECT_EQ(table->CellVPadding, 4);
  EXPECT_EQ(table->CellHSpacing, 4);
  EXPECT_EQ(table->BorderHSpacing, 4);
  EXPECT_EQ(table->CellVSpacing, 2);
  EXPECT_EQ(table->BorderVSpacing, 6);
}

TEST(RVRTFImportTablesTest, WidthsOfTheEnginesOwnKeywords) {
  TRVImportedRTF imported;
  imported.Load(Rtf(Row("\\richdoctbw-50\\richdoccbw120\\richdoccbh30\\cellx1000\\richdoccbw-25\\cellx2000",
                        {"a", "b"})));
  const TRVTableItemInfo* table = FirstTable(imported.doc);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->BestWidth, -50);
  EXPECT_EQ(table->CellAt(0, 0)->BestWidth, 120);
  EXPECT_EQ(table->CellAt(0, 0)->BestHeight, 30);
  EXPECT_EQ(table->CellAt(0, 1)->BestWidth, -25);
}

TEST(RVRTFImportTablesTest, PercentWidthsAndHeadingRows) {
  TRVImportedRTF imported;
  imported.Load(Rtf(Row("\\trhdr\\trftsWidth2\\trwWidth2500\\clftsWidth2\\clwWidth2500\\cellx1000", {"h"}) +
                    Row("\\trftsWidth2\\trwWidth2500\\clftsWidth2\\clwWidth2500\\cellx1000", {"b"})));
  const TRVTableItemInfo* table = FirstTable(imported.doc);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->HeadingRowCount, 1);
  EXPECT_EQ(table->BestWidth, -50);
  EXPECT_EQ(table->CellAt(0, 0)->BestWidth, -50);
}

TEST(RVRTFImportTablesTest, TablesIgnoredGiveTheirText) {
  TRVImportedRTF imported;
  imported.props.IgnoreTables = true;
  imported.Load(Rtf(Row("\\cellx1000\\cellx2000", {"a", "b"})));
  EXPECT_EQ(FirstTable(imported.doc), nullptr);
  EXPECT_NE(imported.Structure().find('a'), std::string::npos);
  EXPECT_NE(imported.Structure().find('b'), std::string::npos);
}

TEST(RVRTFImportTablesTest, ColumnsAreBounded) {
  std::string cells;
  for (int i = 1; i <= 3000; ++i) cells += "\\cellx" + std::to_string(i * 10);
  std::string content;
  for (int i = 0; i < 3000; ++i) content += "x\\cell ";
  TRVImportedRTF imported;
  EXPECT_EQ(imported.Load(Rtf("\\trowd" + cells + "\\pard\\intbl " + content + "\\row")), kRtfOk);
  const TRVTableItemInfo* table = FirstTable(imported.doc);
  ASSERT_NE(table, nullptr);
  EXPECT_LE(table->TableColumnCount(), 1024);
  EXPECT_GE(table->TableColumnCount(), 1000);
}

}  // namespace
}  // namespace varnolt
