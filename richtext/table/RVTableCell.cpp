#include "richtext/table/RVTableCell.h"

namespace varnolt {

void TRVTableCellData::AssignAppearance(const TRVTableCellData& source) {
  Color = source.Color;
  BorderColor = source.BorderColor;
  BorderLightColor = source.BorderLightColor;
  VisibleBorders = source.VisibleBorders;
  VAlign = source.VAlign;
  BackgroundImage = source.BackgroundImage ? source.BackgroundImage->Clone() : nullptr;
  BackgroundStyle = source.BackgroundStyle;
  BackgroundImageFileName = source.BackgroundImageFileName;
  Hint = source.Hint;
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
