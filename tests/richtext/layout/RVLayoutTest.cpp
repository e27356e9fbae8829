// The layout with fixed metrics: a character of a 10-point style is 6 pixels
// wide, its line 10 high (ascent 8, descent 2), so every figure is exact.
#include "richtext/layout/RVLayout.h"

#include <gtest/gtest.h>

#include <random>

#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/editor/RVEdit.h"
#include "richtext/table/RVTable.h"

namespace varnolt {
namespace {

class TestPicture : public TGraphic {
 public:
  TestPicture(int width, int height) : width_(width), height_(height) {}
  std::string ClassName() const override { return "TBitmap"; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  std::string SaveToBytes() const override { return "BM"; }
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TestPicture>(width_, height_); }

 private:
  int width_;
  int height_;
};

class RVLayoutTest : public ::testing::Test {
 protected:
  RVLayoutTest() { data.SetRVStyle(&style); }

  void AddText(std::u16string_view text, bool newParagraph = true, std::int32_t styleNo = 0) {
    data.AppendTextItemW(text, styleNo, newParagraph ? 0 : -1);
  }

  TRVGraphicItemInfo& AddPicture(int width, int height, TRVVAlign vAlign) {
    auto picture = std::make_unique<TRVGraphicItemInfo>(std::make_unique<TestPicture>(width, height), vAlign);
    picture->SetSpacing(0);
    picture->ParaNo = -1;
    auto& added = *picture;
    data.AppendItem({}, std::move(picture));
    return added;
  }

  void AddTab() {
    auto tab = std::make_unique<TRVTabItemInfo>(0);
    tab->ParaNo = -1;
    data.AppendItem({}, std::move(tab));
  }

  void Format(double width) {
    layout.SetWidth(width);
    layout.Format(data);
  }

  // Each line's characters; objects as "*", tabs as TAB, markers and labels as their text.
  std::vector<std::u16string> Lines() const {
    std::vector<std::u16string> lines;
    for (int p = 0; p < layout.ParagraphCount(); ++p) {
      const TRVParagraphLayout& paragraph = layout.Paragraph(p);
      for (const TRVLine& line : paragraph.Lines) {
        std::u16string text;
        for (int b = line.FirstBox; b < line.FirstBox + line.BoxCount; ++b) {
          const TRVBox& box = paragraph.Boxes[static_cast<std::size_t>(b)];
          if (box.Kind == TRVBoxKind::Text) text += data.ItemTextAt(box.ItemNo).substr(box.Start, box.Length);
          if (box.Kind == TRVBoxKind::Tab) text += u'\t';
          if (box.Kind == TRVBoxKind::Object) text += u'*';
          if (box.Kind == TRVBoxKind::Label || box.Kind == TRVBoxKind::Marker) text += box.Text;
        }
        lines.push_back(text);
      }
    }
    return lines;
  }

  const TRVBox& Box(int paragraph, int index) const {
    return layout.Paragraph(paragraph).Boxes.at(static_cast<std::size_t>(index));
  }

  TParaInfo& NewParaStyle() {
    TParaInfo& para = style.AppendParaStyle();
    data.ItemAt(0).ParaNo = style.ParaStyles.Count() - 1;
    data.PropagateParaNo(0);
    return para;
  }

  TRVStyle style;
  TCustomRVData data;
  TRVLayout layout;
};

// --- breaking ---

struct BreakCase {
  const char16_t* text;
  double width;
  std::vector<std::u16string> lines;
};

TEST_F(RVLayoutTest, LinesBreakWhereTheLineBreakRulesAllow) {
  const BreakCase cases[] = {
      {u"aaa bbb ccc", 48, {u"aaa bbb ", u"ccc"}},
      {u"well-known words", 36, {u"well-", u"known ", u"words"}},
      {u"\u4E2D\u6587\u4E2D\u6587\u4E2D\u6587", 24, {u"\u4E2D\u6587\u4E2D\u6587", u"\u4E2D\u6587"}},
      {u"abcdefghij", 24, {u"abcd", u"efgh", u"ij"}},
      {u"ab      cd", 24, {u"ab      ", u"cd"}},
      {u"aaa bbb ccc", kRVUnlimitedWidth, {u"aaa bbb ccc"}},
  };
  for (const BreakCase& c : cases) {
    data.ClearItems();
    AddText(c.text);
    Format(c.width);
    EXPECT_EQ(Lines(), c.lines) << "width " << c.width;
  }
}

TEST_F(RVLayoutTest, AParagraphBreaksAcrossItsItemsAndLineBreaks) {
  AddText(u"aaa b");
  AddText(u"bb ccc", false, 1);
  AddText(u"dd", true);
  data.ItemAt(2).SetLineBreakBefore(true);
  Format(48);
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"aaa bbb ", u"ccc", u"dd"}));
  ASSERT_EQ(layout.ParagraphCount(), 1);
  EXPECT_EQ(layout.Paragraph(0).Lines.size(), 3u);
  EXPECT_EQ(Box(0, 1).X, 30) << "the second item continues the first one's word";
}

// --- paragraph styles ---

struct AlignCase {
  TRVAlignment alignment;
  double firstX;
  double secondX;
};

TEST_F(RVLayoutTest, AlignmentsPlaceTheLineInTheWidth) {
  // "aaa bbb " fills 42 of 48 pixels without its trailing space; "ccc" 18.
  const AlignCase cases[] = {
      {rvaLeft, 0, 0},
      {rvaRight, 6, 30},
      {rvaCenter, 3, 15},
      {rvaJustify, 0, 0},
  };
  for (const AlignCase& c : cases) {
    data.ClearItems();
    AddText(u"aaa bbb ccc");
    NewParaStyle().Alignment = c.alignment;
    Format(48);
    ASSERT_EQ(Lines(), (std::vector<std::u16string>{u"aaa bbb ", u"ccc"})) << int(c.alignment);
    ASSERT_EQ(Box(0, 1).Length, 1) << "the space it broke at is a box of its own";
    EXPECT_EQ(Box(0, 0).X, c.firstX) << int(c.alignment);
    EXPECT_EQ(Box(0, 2).X, c.secondX) << int(c.alignment);
  }
}

TEST_F(RVLayoutTest, JustifyStretchesSpacesButNotTheLastLine) {
  AddText(u"aa b c dddd");
  NewParaStyle().Alignment = rvaJustify;
  Format(42);
  ASSERT_EQ(Lines(), (std::vector<std::u16string>{u"aa b c ", u"dddd"}));
  EXPECT_EQ(Box(0, 0).SpaceExtra, 3) << "6 free pixels over two spaces";
  EXPECT_EQ(layout.CaretRect({0, 4}).Left, 21) << "after \"aa \": 18 and one widened space";
  EXPECT_EQ(layout.CaretRect({0, 7}).Left, 42) << "the line's visible end at the right edge";
  EXPECT_EQ(Box(0, 2).SpaceExtra, 0);
}

TEST_F(RVLayoutTest, IndentsAndSpacingFrameTheLines) {
  AddText(u"aaa bbb ccc");
  TParaInfo& para = NewParaStyle();
  para.LeftIndent = 12;
  para.FirstIndent = 6;
  para.RightIndent = 6;
  para.SpaceBefore = 4;
  para.SpaceAfter = 3;
  AddText(u"next");
  Format(72);
  // First line 18..66 holds "aaa bbb " (42 visible), the rest start at 12.
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"aaa bbb ", u"ccc", u"next"}));
  const TRVParagraphLayout& first = layout.Paragraph(0);
  EXPECT_EQ(first.Boxes[0].X, 18);
  EXPECT_EQ(first.Boxes[2].X, 12);
  EXPECT_EQ(first.Lines[0].Top, 4);
  EXPECT_EQ(first.Height, 4 + 20 + 3);
  EXPECT_EQ(layout.Paragraph(1).Top, 27);
  EXPECT_EQ(layout.TotalHeight(), 37);
}

struct SpacingCase {
  TRVLineSpacingType type;
  int value;
  double height;
  double baseline;
};

TEST_F(RVLayoutTest, LineSpacingKinds) {
  const SpacingCase cases[] = {
      {rvlsPercent, 100, 10, 8},        {rvlsPercent, 150, 15, 8},         {rvlsSpaceBetween, 4, 14, 8},
      // The room an at-least height adds goes above the text; an exact line
      // keeps its baseline at four fifths of its height, as word processors do.
      {rvlsLineHeightAtLeast, 20, 20, 18}, {rvlsLineHeightAtLeast, 5, 10, 8}, {rvlsLineHeightExact, 7, 7, 5.6},
  };
  for (const SpacingCase& c : cases) {
    data.ClearItems();
    AddText(u"a");
    TParaInfo& para = NewParaStyle();
    para.LineSpacingType = c.type;
    para.LineSpacing = c.value;
    Format(100);
    const TRVLine& line = layout.Paragraph(0).Lines.at(0);
    EXPECT_EQ(line.Height, c.height) << int(c.type) << " " << c.value;
    EXPECT_DOUBLE_EQ(line.Baseline, c.baseline) << int(c.type) << " " << c.value;
  }
}

// --- tabs ---

TEST_F(RVLayoutTest, TabsGoToDefaultStopsEveryHalfInch) {
  AddText(u"a");
  AddTab();
  AddText(u"b", false);
  AddTab();
  AddText(u"c", false);
  Format(500);
  EXPECT_EQ(Box(0, 1).X, 6);
  EXPECT_EQ(Box(0, 1).Width, 42);
  EXPECT_EQ(Box(0, 2).X, 48);
  EXPECT_EQ(Box(0, 4).X, 96);
}

TEST_F(RVLayoutTest, TabStopsAlignTheFollowingTextAndCarryTheirLeader) {
  AddText(u"a");
  AddTab();
  AddText(u"bb", false);
  AddTab();
  AddText(u"cccc", false);
  AddTab();
  AddText(u"dd", false);
  TParaInfo& para = NewParaStyle();
  para.Tabs.Add({30, rvtaLeft, {}});
  para.Tabs.Add({120, rvtaRight, u"."});
  para.Tabs.Add({200, rvtaCenter, {}});
  Format(500);
  EXPECT_EQ(Box(0, 2).X, 30) << "left stop";
  EXPECT_EQ(Box(0, 4).X + Box(0, 4).Width, 120) << "right stop: the text ends there";
  EXPECT_EQ(Box(0, 3).Text, u".") << "the leader fills the tab";
  EXPECT_EQ(Box(0, 6).X + Box(0, 6).Width / 2, 200) << "centre stop";
}

// --- objects and markers ---

struct VAlignCase {
  TRVVAlign vAlign;
  double top;
  double lineHeight;
};

TEST_F(RVLayoutTest, PicturesTakeTheirSizeAndVerticalAlignment) {
  // Text of ascent 8 and descent 2 beside a picture 6 high.
  const VAlignCase cases[] = {
      {rvvaBaseline, 2, 10}, {rvvaMiddle, 5, 11}, {rvvaAbsTop, 0, 10}, {rvvaAbsBottom, 4, 10}, {rvvaAbsMiddle, 2, 10},
  };
  for (const VAlignCase& c : cases) {
    data.ClearItems();
    AddText(u"ab");
    AddPicture(9, 6, c.vAlign);
    Format(500);
    const TRVBox& picture = Box(0, 1);
    EXPECT_EQ(picture.Kind, TRVBoxKind::Object);
    EXPECT_EQ(picture.X, 12);
    EXPECT_EQ(picture.Width, 9);
    EXPECT_EQ(picture.Top, c.top) << int(c.vAlign);
    EXPECT_EQ(layout.Paragraph(0).Lines[0].Height, c.lineHeight) << int(c.vAlign);
  }
}

TEST_F(RVLayoutTest, AStoredSizeWinsOverTheImagesAndATallPictureRaisesTheLine) {
  AddText(u"a");
  TRVGraphicItemInfo& picture = AddPicture(9, 6, rvvaBaseline);
  picture.ImageWidth = 40;
  picture.ImageHeight = 30;
  Format(500);
  EXPECT_EQ(Box(0, 1).Width, 40);
  EXPECT_EQ(layout.Paragraph(0).Lines[0].Baseline, 30);
  EXPECT_EQ(Box(0, 0).Baseline, 30) << "text sits on the raised baseline";
}

TEST_F(RVLayoutTest, ListMarkersShowTheirTextAtTheLevelsIndents) {
  TRVListLevel& level = style.AppendListStyle().Levels.Add();
  level.MarkerIndent = 6;
  level.LeftIndent = 36;
  auto marker = std::make_unique<TRVMarkerItemInfo>(0, 0);
  marker->DisplayString = u"1.";
  data.AppendItem({}, std::move(marker));
  data.ItemAs<TRVMarkerItemInfo>(0).DisplayString = u"1.";
  AddText(u"aaa bbb", false);
  Format(72);
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"1.aaa ", u"bbb"}));
  EXPECT_EQ(Box(0, 0).Kind, TRVBoxKind::Marker);
  EXPECT_EQ(Box(0, 0).X, 6);
  EXPECT_EQ(Box(0, 1).X, 36) << "text after the marker starts at the level's indent";
  EXPECT_EQ(Box(0, 3).X, 36) << "and so do the following lines";
}

TEST_F(RVLayoutTest, LabelsNotesRulesAndPageBreaks) {
  AddText(u"see");
  auto note = std::make_unique<TRVFootnoteItemInfo>(0);
  note->Text = u"12";
  note->ParaNo = -1;
  data.AppendItem({}, std::move(note));
  data.ItemAs<TRVFootnoteItemInfo>(1).Text = u"12";
  auto rule = std::make_unique<TRVBreakItemInfo>();
  rule->LineWidth = 2;
  data.AppendItem({}, std::move(rule));
  AddText(u"after");
  data.ItemAt(3).SetPageBreakBefore(true);
  Format(120);
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"see12", u"", u"after"}));
  EXPECT_EQ(Box(0, 1).Kind, TRVBoxKind::Label);
  EXPECT_EQ(Box(0, 1).Width, 12);
  EXPECT_LT(Box(0, 1).Baseline, Box(0, 0).Baseline) << "a note's number is raised";
  EXPECT_EQ(Box(1, 0).Kind, TRVBoxKind::Rule);
  EXPECT_EQ(Box(1, 0).Width, 120);
  EXPECT_EQ(Box(1, 0).Height, 2);
  EXPECT_TRUE(layout.Paragraph(2).PageBreakBefore);
}

// --- tables ---

class RVLayoutTableTest : public RVLayoutTest {
 protected:
  // Borders, spacing and padding at 0, so columns are their content.
  static void WithoutFrames(TRVTableItemInfo& table) {
    for (auto* value : {&table.BorderWidth, &table.BorderHSpacing, &table.BorderVSpacing, &table.CellHSpacing,
                        &table.CellVSpacing, &table.CellBorderWidth, &table.CellHPadding, &table.CellVPadding}) {
      *value = 0;
    }
  }

  TRVTableItemInfo& AddTable(int rows, int columns) {
    auto made = TRVTableItemInfo::CreateTable(rows, columns, &data);
    TRVTableItemInfo& table = *made;
    WithoutFrames(table);
    data.AppendItem({}, std::move(made));
    return table;
  }

  static void SetCellText(TRVTableItemInfo& table, int row, int column, std::u16string_view text) {
    TRVTableCellData* cell = table.CellAt(row, column);
    cell->ClearItems();
    cell->AppendTextItemW(text, 0, 0);
  }

  const TRVTableLayout& Table(int paragraph) const { return *layout.Paragraph(paragraph).Table; }
};

struct WidthCase {
  const char* name;
  TRVHTMLLength tableWidth;
  TRVHTMLLength firstCellWidth;
  double viewWidth;
  std::vector<double> columns;
};

TEST_F(RVLayoutTableTest, ColumnWidthsFromPreferredWidthsAndContent) {
  const WidthCase cases[] = {
      {"content", 0, 0, 600, {12, 36}},
      {"fixed cell", 0, 100, 600, {100, 36}},
      {"percent table and cell", -50, -20, 600, {60, 240}},
      {"squeezed between least and most", 0, 0, 30, {12, 36}},
      {"fixed table shared by content", 96, 0, 600, {24, 72}},
  };
  for (const WidthCase& c : cases) {
    data.ClearItems();
    TRVTableItemInfo& table = AddTable(1, 2);
    table.BestWidth = c.tableWidth;
    table.CellAt(0, 0)->BestWidth = c.firstCellWidth;
    SetCellText(table, 0, 0, u"ab");
    SetCellText(table, 0, 1, u"abcdef");
    Format(c.viewWidth);
    EXPECT_EQ(Table(0).ColumnWidths, c.columns) << c.name;
  }
}

TEST_F(RVLayoutTableTest, ATableWiderThanTheViewKeepsItsWidth) {
  TRVTableItemInfo& table = AddTable(1, 2);
  SetCellText(table, 0, 0, u"abcdefgh");
  SetCellText(table, 0, 1, u"abcdefgh");
  Format(60);
  EXPECT_EQ(Table(0).Width, 96);
  EXPECT_EQ(layout.TotalWidth(), 96) << "the view scrolls to it";
}

TEST_F(RVLayoutTableTest, PaddingSpacingAndBordersPlaceTheCells) {
  TRVTableItemInfo& table = AddTable(2, 2);
  table.BorderWidth = 1;
  table.BorderHSpacing = table.BorderVSpacing = 2;
  table.CellHSpacing = table.CellVSpacing = 3;
  table.CellBorderWidth = 1;
  table.CellHPadding = table.CellVPadding = 4;
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 2; ++c) SetCellText(table, r, c, u"ab");
  }
  Format(600);
  // Each column: 12 of text, 2 x 4 padding, 2 x 1 border.
  EXPECT_EQ(Table(0).ColumnWidths, (std::vector<double>{22, 22}));
  const TRVCellLayout& last = Table(0).Cells.back();
  EXPECT_EQ(last.Frame, (TRVRectF{1 + 2 + 22 + 3, 1 + 2 + 20 + 3, 22, 20}));
  EXPECT_EQ(last.ContentLeft, last.Frame.Left + 5);
  EXPECT_EQ(Table(0).Width, 1 + 2 + 22 + 3 + 22 + 2 + 1);
  EXPECT_EQ(Table(0).Height, 1 + 2 + 20 + 3 + 20 + 2 + 1);
}

TEST_F(RVLayoutTableTest, MergedCellsSpanColumnsAndRows) {
  TRVTableItemInfo& table = AddTable(2, 2);
  table.JoinCells(0, 0, 1, 2);
  SetCellText(table, 0, 0, u"abcdefghij");
  SetCellText(table, 1, 0, u"a");
  SetCellText(table, 1, 1, u"b");
  data.AppendTextItemW(u"-", 0, 0);
  auto rows = TRVTableItemInfo::CreateTable(2, 2, &data);
  rows->JoinCells(0, 0, 2, 1);
  data.AppendItem({}, std::move(rows));
  auto& tall = static_cast<TRVTableItemInfo&>(data.ItemAt(2));
  WithoutFrames(tall);
  SetCellText(tall, 0, 0, u"x");
  tall.CellAt(0, 0)->BestHeight = 50;
  Format(600);
  EXPECT_EQ(Table(0).ColumnWidths, (std::vector<double>{30, 30})) << "the wide cell's text spread over its columns";
  EXPECT_EQ(Table(0).Cells[0].Frame.Width, 60);
  const TRVTableLayout& second = Table(2);
  EXPECT_EQ(second.Cells[0].Frame.Height, 50);
  EXPECT_EQ(second.Height, 50) << "the spanned rows grow to the tall cell";
}

TEST_F(RVLayoutTableTest, NestedTablesAreLaidOutInsideTheirCells) {
  TRVTableItemInfo& outer = AddTable(1, 2);
  SetCellText(outer, 0, 0, u"ab");
  TRVTableCellData* cell = outer.CellAt(0, 1);
  cell->ClearItems();
  auto inner = TRVTableItemInfo::CreateTable(1, 2, cell);
  WithoutFrames(*inner);
  SetCellText(*inner, 0, 0, u"abc");
  SetCellText(*inner, 0, 1, u"abcd");
  cell->AppendItem({}, std::move(inner));
  Format(600);
  EXPECT_EQ(Table(0).ColumnWidths, (std::vector<double>{12, 42}));
  const TRVLayout& innerLayout = *Table(0).Cells[1].Content;
  ASSERT_EQ(innerLayout.ParagraphCount(), 1);
  EXPECT_EQ(innerLayout.Paragraph(0).Table->ColumnWidths, (std::vector<double>{18, 24}));
  const TRVHit hit = layout.PositionAt(12 + 18 + 7, 5);
  EXPECT_EQ(hit.Data, innerLayout.Paragraph(0).Table->Cells[1].Cell) << "a click reaches the nested cell";
  EXPECT_EQ(hit.Position, (TRVPosition{0, 2}));
}

TEST_F(RVLayoutTableTest, SelectionAcrossATableCoversItWhole) {
  AddText(u"ab");
  TRVTableItemInfo& table = AddTable(1, 2);
  SetCellText(table, 0, 0, u"abc");
  SetCellText(table, 0, 1, u"abc");
  AddText(u"cd");
  Format(600);
  const std::vector<TRVRectF> rects = layout.SelectionRects({0, 2}, {2, 2});
  EXPECT_EQ(rects, (std::vector<TRVRectF>{{6, 0, 6, 10}, {0, 10, 36, 10}, {0, 20, 6, 10}}));
}

// --- queries ---

TEST_F(RVLayoutTest, EveryPositionOfAMixedDocumentSurvivesPointAndBack) {
  AddText(u"aaa bbb ccc ddd");
  AddPicture(9, 14, rvvaMiddle);
  AddTab();
  AddText(u"eee", false, 1);
  AddText(u"ff gg");
  data.ItemAt(4).SetLineBreakBefore(true);
  AddText(u"");
  AddText(u"hh");
  NewParaStyle().Alignment = rvaJustify;
  Format(60);
  ASSERT_GT(Lines().size(), 4u);
  for (int item = 0; item < data.CountItems(); ++item) {
    for (int offset = data.ItemStartOffset(item); offset <= data.ItemEndOffset(item); ++offset) {
      const TRVRectF caret = layout.CaretRect({item, offset});
      ASSERT_GT(caret.Height, 0) << item << ":" << offset;
      const TRVHit hit = layout.PositionAt(caret.Left, caret.Top + caret.Height / 2);
      EXPECT_EQ(layout.CaretRect(hit.Position), caret) << item << ":" << offset;
    }
  }
}

TEST_F(RVLayoutTest, UpAndDownKeepTheColumnAcrossShortLines) {
  AddText(u"aaaaaaaaaa");
  AddText(u"bb");
  AddText(u"cccccccccc");
  Format(600);
  const double x = layout.CaretRect({0, 9}).Left;
  EXPECT_EQ(layout.LinesAway({0, 9}, 1, x), (TRVPosition{1, 3})) << "the short line's end";
  EXPECT_EQ(layout.LinesAway({1, 3}, 1, x), (TRVPosition{2, 9})) << "back at the first column";
  EXPECT_EQ(layout.LinesAway({2, 9}, 5, x), (TRVPosition{2, 9})) << "the last line stops it";
  EXPECT_EQ(layout.LinesAway({2, 4}, -2, layout.CaretRect({2, 4}).Left), (TRVPosition{0, 4}));
}

TEST_F(RVLayoutTest, LinesInAVerticalRangeAndPagesAway) {
  for (int i = 0; i < 30; ++i) AddText(u"line");
  Format(600);
  const std::vector<TRVLineRef> visible = layout.LinesIn(25, 55);
  ASSERT_EQ(visible.size(), 4u);
  EXPECT_EQ(visible.front(), (TRVLineRef{2, 0}));
  EXPECT_EQ(visible.back(), (TRVLineRef{5, 0}));
  EXPECT_EQ(layout.PagesAway({3, 1}, 1, 100, 0), (TRVPosition{13, 1}));
  EXPECT_EQ(layout.PagesAway({13, 1}, -1, 100, 0), (TRVPosition{3, 1}));
  EXPECT_EQ(layout.PagesAway({25, 1}, 1, 100, 0), (TRVPosition{29, 1}));
}

TEST_F(RVLayoutTest, HomeAndEndStopBeforeTheSpacesALineBrokeAt) {
  AddText(u"aaa bbb ccc");
  Format(48);
  EXPECT_EQ(layout.LineStart(layout.LineOf({0, 10})), (TRVPosition{0, 9}));
  EXPECT_EQ(layout.LineEnd({0, 0}), (TRVPosition{0, 8}));
  EXPECT_EQ(layout.LineOf({0, 9}), (TRVLineRef{0, 1})) << "a wrap point belongs to the line it starts";
}

// --- incremental formatting ---

void ExpectSameLayout(const TRVLayout& a, const TRVLayout& b, const std::string& where);

void ExpectSameParagraph(const TRVParagraphLayout& a, const TRVParagraphLayout& b, const std::string& where) {
  EXPECT_EQ(a.FirstItem, b.FirstItem) << where;
  EXPECT_EQ(a.ItemCount, b.ItemCount) << where;
  EXPECT_EQ(a.Top, b.Top) << where;
  EXPECT_EQ(a.Height, b.Height) << where;
  EXPECT_EQ(a.Right, b.Right) << where;
  EXPECT_EQ(a.Lines, b.Lines) << where;
  EXPECT_EQ(a.Boxes, b.Boxes) << where;
  ASSERT_EQ(a.Table == nullptr, b.Table == nullptr) << where;
  if (a.Table == nullptr) return;
  ASSERT_EQ(a.Table->Cells.size(), b.Table->Cells.size()) << where;
  for (std::size_t c = 0; c < a.Table->Cells.size(); ++c) {
    EXPECT_EQ(a.Table->Cells[c].Frame, b.Table->Cells[c].Frame) << where;
    ExpectSameLayout(*a.Table->Cells[c].Content, *b.Table->Cells[c].Content, where + " cell");
  }
}

void ExpectSameLayout(const TRVLayout& a, const TRVLayout& b, const std::string& where) {
  ASSERT_EQ(a.ParagraphCount(), b.ParagraphCount()) << where;
  for (int p = 0; p < a.ParagraphCount(); ++p) {
    ExpectSameParagraph(a.Paragraph(p), b.Paragraph(p), where + " paragraph " + std::to_string(p));
  }
}

TEST(RVLayoutIncrementalTest, UpdatingAfterEachEditEqualsFormattingAnew) {
  TRVStyle style;
  TRichDocEdit editor;
  editor.SetStyle(&style);
  editor.Layout().SetWidth(90);
  editor.RVData().AppendTextItemW(u"first paragraph of some words", 0, 0);
  editor.RVData().AppendTextItemW(u"second", 1, 0);
  editor.Format();
  editor.SetCaret(1, 7);
  auto table = TRVTableItemInfo::CreateTable(2, 2, &editor.RVData());
  table->CellAt(0, 0)->ClearItems();
  table->CellAt(0, 0)->AppendTextItemW(u"cell text", 0, 0);
  editor.InsertTextAtCaret(u"\r");
  TRVItemList items;
  items.push_back(std::move(table));
  editor.InsertImportedItems(std::move(items), false);

  std::mt19937 random(12);
  const std::u16string_view pieces[] = {u"a", u" ", u"word ", u"\r", u"long-hyphenated ", u"\t", u"\u4E2D\u6587"};
  for (int step = 0; step < 300; ++step) {
    const int items = editor.CountItems();
    const int item = static_cast<int>(random() % static_cast<unsigned>(items));
    const int start = editor.RVData().ItemStartOffset(item);
    const int end = editor.RVData().ItemEndOffset(item);
    const int offset = start + static_cast<int>(random() % static_cast<unsigned>(end - start + 1));
    switch (random() % 6) {
      case 0:
      case 1:
        editor.SetCaret(item, offset);
        editor.InsertTextAtCaret(pieces[random() % std::size(pieces)]);
        break;
      case 2:
        editor.SetCaret(item, offset);
        editor.KeyPress(u'x');
        break;
      case 3:
        editor.SetCaret(item, offset);
        editor.KeyDown(random() % 2 ? rvkBack : rvkDelete, {});
        break;
      case 4: {
        const int other = static_cast<int>(random() % static_cast<unsigned>(items));
        const int first = std::min(item, other);
        const int last = std::max(item, other);
        editor.SetSelectionBounds(first, editor.RVData().ItemStartOffset(first), last,
                                  editor.RVData().ItemEndOffset(last) - (random() % 2));
        editor.DeleteSelected();
        break;
      }
      default: editor.UndoLastGroup(); break;
    }
    TRVLayout fresh;
    fresh.SetWidth(90);
    fresh.Format(editor.RVData());
    ExpectSameLayout(editor.Layout(), fresh, "step " + std::to_string(step));
    EXPECT_EQ(editor.Layout().TotalWidth(), fresh.TotalWidth()) << step;
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace varnolt
