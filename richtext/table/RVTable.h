#pragma once
// A table item: a full-line item holding a grid of rows and columns whose
// cells are documents of their own. A merged cell sits in the top-left slot
// of the rectangle it covers and the other slots of that rectangle are empty;
// rectangles never leave the grid and never overlap.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "richtext/document/RVItem.h"
#include "richtext/table/RVTableCell.h"

namespace varnolt {

enum TRVTableOption : std::uint8_t {
  rvtoEditing,
  rvtoRowSizing,
  rvtoColSizing,
  rvtoRowSelect,
  rvtoColSelect,
  rvtoNoCellSelect,
  rvtoRTFSaveCellPixelBestWidth,
  rvtoRTFAllowAutofit,
  rvtoHideGridLines,
  rvtoOverlappingCorners,
  rvtoCellBelowBorders,
  rvtoIgnoreContentWidth,
  rvtoIgnoreContentHeight,
};
using TRVTableOptions = TRVSet<TRVTableOption, std::uint16_t>;

enum TRVTablePrintOption : std::uint8_t { rvtoHalftoneBorders, rvtoRowsSplit, rvtoWhiteBackground };
using TRVTablePrintOptions = TRVSet<TRVTablePrintOption, std::uint8_t>;

enum TRVTableBorderStyle : std::uint8_t { rvtbRaised, rvtbLowered, rvtbColor, rvtbRaisedColor, rvtbLoweredColor };

// A rectangle of slots: first row and column, and how many of each.
struct TRVCellRange {
  int Row = 0;
  int Column = 0;
  int RowCount = 0;
  int ColumnCount = 0;
  friend bool operator==(const TRVCellRange&, const TRVCellRange&) = default;
};

// Published properties few tables change, in a block of their own.
struct TRVTableExtras {
  std::unique_ptr<TGraphic> BackgroundImage;  // never streamed
  TRVItemBackgroundStyle BackgroundStyle = rvbsColor;
  std::u16string TextRowSeparator = u"\r\n";
  std::u16string TextColSeparator = u"\r\n";
};

class TRVTableItemInfo : public TRVNonTextItemInfo {
 public:
  static constexpr TColor kColorBtnHighlight = 0xFF000014;

  // A table without rows.
  TRVTableItemInfo();
  ~TRVTableItemInfo() override;
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;

  // Rows x columns fresh cells, each one empty paragraph. The owner document
  // (may be nullptr) tells whether the cells' text is UTF-16.
  static std::unique_ptr<TRVTableItemInfo> CreateTable(int rows, int columns, TCustomRVData* owner);

  // --- published properties ---

  TRVTableOptions Options{rvtoEditing, rvtoRowSizing, rvtoColSizing, rvtoRowSelect, rvtoColSelect};
  TRVTablePrintOptions PrintOptions{rvtoHalftoneBorders, rvtoRowsSplit};
  TRVHTMLLength BestWidth = 0;
  TColor Color = kRVColorWindow;
  std::int32_t HeadingRowCount = 0;
  std::int32_t BorderWidth = 0;
  TColor BorderColor = kRVColorWindowText;
  TColor BorderLightColor = kColorBtnHighlight;
  TRVTableBorderStyle BorderStyle = rvtbRaised;
  std::int32_t BorderVSpacing = 2;
  std::int32_t BorderHSpacing = 2;
  TRVBooleanRect VisibleBorders;
  std::int32_t CellBorderWidth = 0;
  TColor CellBorderColor = kRVColorWindowText;
  TColor CellBorderLightColor = kColorBtnHighlight;
  TRVTableBorderStyle CellBorderStyle = rvtbLowered;
  std::int32_t CellHPadding = 1;
  std::int32_t CellVPadding = 1;
  std::int32_t CellVSpacing = 2;  // -1: neighbouring cell borders coincide
  std::int32_t CellHSpacing = 2;
  std::int32_t VRuleWidth = 0;
  TColor VRuleColor = kRVColorWindowText;
  std::int32_t HRuleWidth = 0;
  TColor HRuleColor = kRVColorWindowText;
  bool VOutermostRule = false;
  bool HOutermostRule = false;

  // The rare properties. Office documents hold thousands of small tables, so
  // these live in a block made when one is first set to something other than
  // its default; the getters never make it.
  const TGraphic* BackgroundImage() const { return extras_.Read(&TRVTableExtras::BackgroundImage).get(); }
  void SetBackgroundImage(std::unique_ptr<TGraphic> image) {
    extras_.Write(&TRVTableExtras::BackgroundImage, std::move(image));
  }
  TRVItemBackgroundStyle BackgroundStyle() const { return extras_.Read(&TRVTableExtras::BackgroundStyle); }
  void SetBackgroundStyle(TRVItemBackgroundStyle style) { extras_.Write(&TRVTableExtras::BackgroundStyle, style); }
  const std::u16string& TextRowSeparator() const { return extras_.Read(&TRVTableExtras::TextRowSeparator); }
  void SetTextRowSeparator(std::u16string separator) {
    extras_.Write(&TRVTableExtras::TextRowSeparator, std::move(separator));
  }
  const std::u16string& TextColSeparator() const { return extras_.Read(&TRVTableExtras::TextColSeparator); }
  void SetTextColSeparator(std::u16string separator) {
    extras_.Write(&TRVTableExtras::TextColSeparator, std::move(separator));
  }

  // Reads CellHPadding, sets both paddings.
  std::int32_t CellPadding() const { return CellHPadding; }
  void SetCellPadding(std::int32_t padding) { CellHPadding = CellVPadding = padding; }
  // Every published property except the background picture.
  void AssignProperties(const TRVTableItemInfo& source);

  // --- the grid ---

  int TableRowCount() const { return static_cast<int>(rows_.size()); }
  // The slot count of row 0; 0 without rows.
  int TableColumnCount() const { return rows_.empty() ? 0 : rows_.front().Count(); }
  // "Invalid row or column index" for an index out of range.
  const TRVTableRow& Row(int row) const;
  TRVTableRow& Row(int row);
  // The cell in the slot, nullptr for a covered slot; "Invalid row or column
  // index" out of range.
  TRVTableCellData* CellAt(int row, int column) const;
  // The cell whose rectangle covers the slot, with its own slot; nullptr
  // when none does (a grid that breaks the rules).
  TRVTableCellData* FindCellOrigin(int row, int column, int& originRow, int& originColumn) const;
  // A fresh cell of this table: one empty paragraph of text style 0.
  std::unique_ptr<TRVTableCellData> NewCell() const;

  // --- changing the grid (RVTableEditing.cpp) ---

  // Inserts before row (column) index, 0..count; copyFrom is a row (column)
  // whose cells the new ones take the look and spans of, -1 for none.
  void AddRows(int index, int count, bool divideHeights = false, int copyFrom = -1);
  void AddColumns(int index, int count, bool divideWidths = false, int copyFrom = -1);
  // Count is cut at the last row (column); index 0 with a count above the
  // row (column) count is refused. A table without rows or columns ignores it.
  void RemoveRows(int index, int count, bool decreaseHeights = false);
  void RemoveColumns(int index, int count, bool decreaseWidths = false);
  // Merges the rectangle into its top-left cell; a rectangle cutting another
  // merged cell, or already one cell, is left alone. Strict (editing) also
  // refuses to leave a row or column in which no cell starts.
  void JoinCells(int row, int column, int rowSpan, int columnSpan, bool strict = false);
  void RemoveEmptyRows();

  // For readers that build a stored grid: rows x columns empty slots, then
  // each cell placed into its top-left slot. PlaceCell checks nothing; the
  // caller has checked that the rectangles tile the grid.
  void ResetGrid(int rows, int columns);
  void PlaceCell(int row, int column, int spanRows, int spanColumns, std::unique_ptr<TRVTableCellData> cell);

  // --- cell selection ---

  // Selects the cells of a rectangle, widened until no merged cell sticks out.
  void SelectCells(int row, int column, int rowCount, int columnCount);
  // False when no cell is selected.
  bool GetCellSelection(TRVCellRange& range) const;

  // --- as an item ---

  bool OccupiesWholeLine() const override { return true; }
  bool IncludedInTextOnly() const override { return true; }
  // Row by row: each cell's text, TextColSeparator between the cells of a
  // row, TextRowSeparator after every row.
  void WritePlainText(TRVTextOutput& out) const override;
  // The same for the selected cells only; false when none is selected.
  bool WriteSelectedText(TRVTextOutput& out) const override;
  // The cells in row order, left to right.
  int SubDocumentCount() const override;
  TCustomRVData* SubDocument(int index) const override;

  // The rectangle grown until every merged cell touching it lies inside.
  TRVCellRange CoveringRange(TRVCellRange range) const;

 private:
  friend class TRVTableGrid;
  TRVTableItemInfo(const TRVTableItemInfo& source);
  // The document holding the table (its cells' parent); nullptr while it is in none.
  TCustomRVData* CellParent() const;
  void GridChanged();
  void WriteCellsText(TRVTextOutput& out, const TRVCellRange& range) const;
  const std::vector<TRVTableCellData*>& CellOrder() const;
  // Frees the cell; one inside a document first takes its items out of the numbering.
  static void DisposeCell(std::unique_ptr<TRVTableCellData> cell);
  TRVRareFields<TRVTableExtras> extras_;
  std::vector<TRVTableRow> rows_;
  TRVCellRange selection_;
  // The sheet of the document the table was made for: whether new cells hold
  // UTF-16 while the table is in no document yet.
  const TRVStyle* styleHint_ = nullptr;
  mutable std::vector<TRVTableCellData*> cellOrder_;
  mutable bool cellOrderValid_ = false;
};

}  // namespace varnolt
