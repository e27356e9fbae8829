#include "richtext/table/RVTableCell.h"

namespace varnolt {

// Documents are many and cells are documents: a cell with the usual look
// should stay within one malloc size class of the document itself.
static_assert(sizeof(void*) != 8 || sizeof(TRVTableCellData) <= 224, "keep a cell's rare look in TRVTableCellExtras");

TRVTableCellData::TRVTableCellData(TRVTableItemInfo* table) : table_(table) {}

TRVTableCellData::~TRVTableCellData() = default;

void TRVTableCellData::AssignAppearance(const TRVTableCellData& source) {
  Color = source.Color;
  BorderColor = source.BorderColor;
  BorderLightColor = source.BorderLightColor;
  VisibleBorders = source.VisibleBorders;
  VAlign = source.VAlign;
  SetBackgroundImage(source.BackgroundImage() ? source.BackgroundImage()->Clone() : nullptr);
  SetBackgroundStyle(source.BackgroundStyle());
  SetBackgroundImageFileName(source.BackgroundImageFileName());
  SetHint(source.Hint());
}

TRVTableCellData* TRVTableRow::Cell(int column) const {
  if (column < 0 || column >= Count()) throw ERichDocError("Invalid row or column index");
  return slots_[static_cast<std::size_t>(column)].get();
}

void CopyDocumentItems(const TCustomRVData& source, TCustomRVData& target) {
  for (int i = 0; i < source.CountItems(); ++i) {
    std::unique_ptr<TCustomRVItemInfo> copy = source.ItemAt(i).Clone();
    std::string text = copy->ItemText;
    target.InsertItemAt(target.CountItems(), std::move(text), std::move(copy));
  }
}

}  // namespace varnolt
