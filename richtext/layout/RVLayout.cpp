#include "richtext/layout/RVLayout.h"

namespace varnolt {

void TRVLayout::Format(TCustomRVData& data) {
  lines_.clear();
  drawItems_.clear();
  drawItems_.reserve(static_cast<std::size_t>(data.CountItems()));
  for (int i = 0; i < data.CountItems(); ++i) {
    if (lines_.empty() || data.StartsNewLine(i)) lines_.push_back({static_cast<int>(drawItems_.size()), 0});
    data.ItemAt(i).DrawItemNo = static_cast<int>(drawItems_.size());
    drawItems_.push_back({i, LineCount() - 1});
    ++lines_.back().DrawItemCount;
  }
  formattedData_ = &data;
  formattedVersion_ = data.ItemsVersion();
  if (OnReformat) OnReformat();
}

void TRVLayout::Clear() {
  lines_.clear();
  drawItems_.clear();
  formattedData_ = nullptr;
}

bool TRVLayout::IsCurrent(const TCustomRVData& data) const {
  return formattedData_ == &data && formattedVersion_ == data.ItemsVersion() && DrawItemCount() == data.CountItems();
}

TRVPosition TRVLayout::LineStartPosition(const TCustomRVData& data, int lineNo) const {
  int itemNo = DrawItem(Line(lineNo).FirstDrawItem).ItemNo;
  return {itemNo, data.ItemStartOffset(itemNo)};
}

TRVPosition TRVLayout::LineEndPosition(const TCustomRVData& data, int lineNo) const {
  const TRVFormattedLine& line = Line(lineNo);
  int itemNo = DrawItem(line.FirstDrawItem + line.DrawItemCount - 1).ItemNo;
  return {itemNo, data.ItemEndOffset(itemNo)};
}

TRVLinePosition TRVLayout::ToLinePosition(TRVPosition position) const {
  if (position.ItemNo < 0 || position.ItemNo >= DrawItemCount()) return {};
  const TRVDrawItem& piece = drawItems_[static_cast<std::size_t>(position.ItemNo)];
  return {piece.LineNo, position.ItemNo, position.Offset};
}

TRVPosition TRVLayout::FromLinePosition(TRVLinePosition position) const {
  if (position.DrawItemNo < 0 || position.DrawItemNo >= DrawItemCount()) return {};
  const TRVDrawItem& piece = drawItems_[static_cast<std::size_t>(position.DrawItemNo)];
  if (piece.LineNo != position.LineNo) return {};
  return {piece.ItemNo, position.Offset};
}

void TRVLayout::Repaint() {
  if (OnRepaint) OnRepaint();
}

}  // namespace varnolt
