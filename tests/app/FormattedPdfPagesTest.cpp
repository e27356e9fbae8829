// Splitting layouts into pages, with the layout's fixed metrics: every line
// of the default 10-point style is 10 pixels high, so page edges are exact.
#include "app/FormattedPdfPages.h"

#include <gtest/gtest.h>

#include "richtext/document/RVLabelItems.h"
#include "richtext/table/RVTable.h"

namespace varnolt {

void PrintTo(const TPageBand& band, std::ostream* out) { *out << "[" << band.Top << ", " << band.Bottom << ")"; }

namespace {

class FormattedPdfPagesTest : public ::testing::Test {
 protected:
  FormattedPdfPagesTest() { data.SetRVStyle(&style); }

  void AddLines(int count) {
    for (int i = 0; i < count; ++i) data.AppendTextItemW(u"line", 0, 0);
  }

  // A table without borders or spacing; each cell holds lines paragraphs.
  TRVTableItemInfo& AddTable(int rows, int columns, int lines) {
    auto made = TRVTableItemInfo::CreateTable(rows, columns, &data);
    for (auto* value : {&made->BorderWidth, &made->BorderHSpacing, &made->BorderVSpacing, &made->CellHSpacing,
                        &made->CellVSpacing, &made->CellBorderWidth, &made->CellHPadding, &made->CellVPadding}) {
      *value = 0;
    }
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        TRVTableCellData* cell = made->CellAt(r, c);
        cell->ClearItems();
        for (int i = 0; i < lines; ++i) cell->AppendTextItemW(u"cell", 0, 0);
      }
    }
    TRVTableItemInfo& table = *made;
    data.AppendItem({}, std::move(made));
    return table;
  }

  std::vector<TPageBand> Pages(double pageHeight, const TFootnoteHeight& notes = [](const TRVNoteItemInfo&) {
    return 0.0;
  }) {
    layout.SetWidth(400);
    layout.Format(data);
    std::vector<TFlowUnit> units;
    AppendFlowUnits(layout, 0, pageHeight, notes, units);
    return SplitIntoPages(units, pageHeight);
  }

  TRVStyle style;
  TCustomRVData data;
  TRVLayout layout;
};

constexpr double kEnd = kRVUnlimitedWidth;

TEST_F(FormattedPdfPagesTest, LinesFillEachPageAndAreNeverCut) {
  AddLines(25);
  EXPECT_EQ(Pages(95), (std::vector<TPageBand>{{0, 90}, {90, 180}, {180, kEnd}}));
  EXPECT_EQ(Pages(100), (std::vector<TPageBand>{{0, 100}, {100, 200}, {200, kEnd}}));
  EXPECT_EQ(Pages(1000), (std::vector<TPageBand>{{0, kEnd}}));
}

TEST_F(FormattedPdfPagesTest, APageBreakStartsANewPageButNotAnEmptyOne) {
  AddLines(3);
  data.ItemAt(0).SetPageBreakBefore(true);
  data.ItemAt(2).SetPageBreakBefore(true);
  EXPECT_EQ(Pages(1000), (std::vector<TPageBand>{{0, 20}, {20, kEnd}}));
}

TEST_F(FormattedPdfPagesTest, ARowThatDoesNotFitMovesWholeToTheNextPage) {
  AddLines(1);
  AddTable(3, 2, 2);  // rows of 20 pixels from 10 on
  EXPECT_EQ(Pages(45), (std::vector<TPageBand>{{0, 30}, {30, kEnd}}));
  EXPECT_EQ(Pages(50), (std::vector<TPageBand>{{0, 50}, {50, kEnd}}));
}

TEST_F(FormattedPdfPagesTest, ARowTallerThanAPageIsSplitBetweenItsLines) {
  // Lines of 10 pixels beside lines of 15: the row may only be split where
  // neither cell has a line across, every 30 pixels.
  style.TextStyles.Add().Size = 15;
  const int larger = style.TextStyles.Count() - 1;
  TRVTableItemInfo& table = AddTable(1, 2, 25);
  TRVTableCellData* cell = table.CellAt(0, 1);
  cell->ClearItems();
  for (int i = 0; i < 25; ++i) cell->AppendTextItemW(u"tall", larger, 0);
  EXPECT_EQ(Pages(95), (std::vector<TPageBand>{{0, 90}, {90, 180}, {180, 270}, {270, 360}, {360, kEnd}}));
}

TEST_F(FormattedPdfPagesTest, APageKeepsRoomForTheFootnotesItsLinesReferTo) {
  AddLines(5);
  auto note = std::make_unique<TRVFootnoteItemInfo>(0);
  note->ParaNo = -1;
  data.AppendItem({}, std::move(note));
  data.ItemAs<TRVFootnoteItemInfo>(5).Text = std::u16string(1, u'1');
  AddLines(5);
  const double withoutNotes = Pages(100).front().Bottom;
  // 30 pixels of notes leave 70 for the lines: the first page ends where the
  // first line that would reach below 70 starts.
  const auto pages = Pages(100, [](const TRVNoteItemInfo&) { return 30.0; });
  ASSERT_EQ(pages.size(), 2u);
  double firstTooLow = 0;
  for (int p = layout.ParagraphCount() - 1; p >= 0; --p) {
    const TRVParagraphLayout& paragraph = layout.Paragraph(p);
    if (paragraph.Top + paragraph.Height > 70) firstTooLow = paragraph.Top;
  }
  EXPECT_EQ(pages[0].Bottom, firstTooLow);
  EXPECT_GT(withoutNotes, firstTooLow);
}

}  // namespace
}  // namespace varnolt
