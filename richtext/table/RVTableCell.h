#pragma once
// The parts of a table grid: a cell is a document of its own with the
// cell's look, a row is a list of slots that hold a cell or nothing (a slot
// covered by a merged cell).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "richtext/document/CRVData.h"
#include "richtext/document/RVRareFields.h"
#include "richtext/graphic/RVGraphic.h"

namespace varnolt {

class TRVTableItemInfo;
class TRVTableGrid;

// Preferred widths: above 0 pixels, below 0 percent (-50 is 50 %), 0 automatic.
using TRVHTMLLength = std::int32_t;

enum TRVItemBackgroundStyle : std::uint8_t { rvbsColor, rvbsStretched, rvbsTiled, rvbsCentered };
enum TRVCellVAlign : std::uint8_t { rvcTop, rvcMiddle, rvcBottom, rvcVDefault };

// The parts of a cell's look that few cells have, in a block of their own.
struct TRVTableCellExtras {
  std::unique_ptr<TGraphic> BackgroundImage;
  TRVItemBackgroundStyle BackgroundStyle = rvbsColor;
  std::u16string BackgroundImageFileName;
  std::u16string Hint;
};

class TRVTableCellData : public TCustomRVData {
 public:
  // An empty document; NewCell of the table gives the usual one empty line.
  explicit TRVTableCellData(TRVTableItemInfo* table);
  ~TRVTableCellData() override;

  TColor Color = kRVColorNone;
  TColor BorderColor = kRVColorNone;       // none: the table's cell border colours
  TColor BorderLightColor = kRVColorNone;
  TRVHTMLLength BestWidth = 0;
  std::int32_t BestHeight = 0;  // minimum height, pixels
  TRVBooleanRect VisibleBorders;
  TRVCellVAlign VAlign = rvcVDefault;  // default: the row's alignment

  // The rare look. A document may hold tens of thousands of cells, so these
  // live in a block made when one is first set to something other than its
  // default; the getters never make it.
  const TGraphic* BackgroundImage() const { return extras_.Read(&TRVTableCellExtras::BackgroundImage).get(); }
  void SetBackgroundImage(std::unique_ptr<TGraphic> image) {
    extras_.Write(&TRVTableCellExtras::BackgroundImage, std::move(image));
  }
  TRVItemBackgroundStyle BackgroundStyle() const { return extras_.Read(&TRVTableCellExtras::BackgroundStyle); }
  void SetBackgroundStyle(TRVItemBackgroundStyle style) { extras_.Write(&TRVTableCellExtras::BackgroundStyle, style); }
  const std::u16string& BackgroundImageFileName() const {
    return extras_.Read(&TRVTableCellExtras::BackgroundImageFileName);
  }
  void SetBackgroundImageFileName(std::u16string fileName) {
    extras_.Write(&TRVTableCellExtras::BackgroundImageFileName, std::move(fileName));
  }
  const std::u16string& Hint() const { return extras_.Read(&TRVTableCellExtras::Hint); }
  void SetHint(std::u16string hint) { extras_.Write(&TRVTableCellExtras::Hint, std::move(hint)); }

  // The rectangle of slots the cell covers; 1 x 1 for an unmerged cell.
  int SpanColumns() const { return spanColumns_; }
  int SpanRows() const { return spanRows_; }
  TRVTableItemInfo* Table() const { return table_; }

  // A cell takes no page breaks: FF in inserted text is a paragraph break.
  bool AcceptsPageBreaks() const override { return false; }

  // Copies the look (colours, borders, alignment, background, file name,
  // hint), not the sizes, spans or content.
  void AssignAppearance(const TRVTableCellData& source);

 private:
  friend class TRVTableItemInfo;
  friend class TRVTableGrid;
  TRVTableItemInfo* table_;
  TRVRareFields<TRVTableCellExtras> extras_;
  int spanColumns_ = 1;
  int spanRows_ = 1;
};

class TRVTableRow {
 public:
  explicit TRVTableRow(int slots = 0) : slots_(static_cast<std::size_t>(slots)) {}

  int Count() const { return static_cast<int>(slots_.size()); }
  // nullptr for a covered slot; "Invalid row or column index" out of range.
  TRVTableCellData* Cell(int column) const;

  std::uint8_t VAlign = 0;
  std::uint8_t PageBreakBefore = 0;

 private:
  friend class TRVTableItemInfo;
  friend class TRVTableGrid;
  std::vector<std::unique_ptr<TRVTableCellData>> slots_;
};

// Copies every item of source to the end of target as it stands.
void CopyDocumentItems(const TCustomRVData& source, TCustomRVData& target);

}  // namespace varnolt
