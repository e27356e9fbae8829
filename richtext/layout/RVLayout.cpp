#include "richtext/layout/RVLayout.h"

#include <algorithm>
#include <functional>

#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/table/RVTable.h"

namespace varnolt {

// What the layout remembers of an item to see whether it changed: the record
// itself, and what editing changes in place without making a new record.
struct TRVLayout::TItemKey {
  const TCustomRVItemInfo* Item = nullptr;
  std::size_t TextSize = 0;
  std::size_t ContentHash = 0;
  std::int32_t StyleNo = 0;
  std::int32_t ParaNo = 0;
  std::uint8_t Flags = 0;
  friend bool operator==(const TItemKey&, const TItemKey&) = default;
};

namespace {

std::size_t HashText(std::u16string_view text) { return std::hash<std::u16string_view>{}(text); }

// Cells are edited in place by their own editors: their item versions and
// text sizes stand for their content.
std::size_t TableContentHash(const TRVTableItemInfo& table) {
  std::size_t hash = static_cast<std::size_t>(table.TableRowCount()) * 31 + table.TableColumnCount();
  for (int i = 0; i < table.SubDocumentCount(); ++i) {
    const TCustomRVData* cell = table.SubDocument(i);
    hash = hash * 1000003 + cell->ItemsVersion();
    for (int j = 0; j < cell->CountItems(); ++j) hash = hash * 31 + cell->ItemAt(j).ItemText.size();
  }
  return hash;
}

// By kind number rather than by cast: every update computes it for every item.
std::size_t ContentHash(const TCustomRVItemInfo& item) {
  switch (item.StyleNo) {
    case ItemKindTable: return TableContentHash(static_cast<const TRVTableItemInfo&>(item));
    case ItemKindLabel:
    case ItemKindSequence:
    case ItemKindFootnote:
    case ItemKindEndnote:
    case ItemKindNoteReference: return HashText(static_cast<const TRVLabelItemInfo&>(item).Text);
    case ItemKindListMarker: return HashText(static_cast<const TRVMarkerItemInfo&>(item).DisplayString);
    default: return 0;
  }
}

bool StartsParagraphLayout(const TCustomRVData& data, int itemNo) {
  if (itemNo == 0 || data.ItemStartsPara(itemNo)) return true;
  return data.ItemAt(itemNo).OccupiesWholeLine() || data.ItemAt(itemNo - 1).OccupiesWholeLine();
}

}  // namespace

TRVLayout::TRVLayout() = default;
TRVLayout::~TRVLayout() = default;

void TRVLayout::SetMetrics(TRVFontMetrics* metrics) {
  if (metrics == metrics_) return;
  metrics_ = metrics;
  formatAll_ = true;
}

void TRVLayout::SetWidth(double width) {
  if (width == width_) return;
  width_ = width;
  formatAll_ = true;
}

void TRVLayout::Clear() {
  paragraphs_.clear();
  keys_.clear();
  data_ = nullptr;
  formatAll_ = true;
}

TRVLayout::TItemKey TRVLayout::KeyOf(const TCustomRVItemInfo& item) {
  return {&item, item.ItemText.size(), ContentHash(item), item.StyleNo, item.ParaNo, item.ItemFlags()};
}

std::vector<TRVLayout::TItemKey> TRVLayout::ItemKeys(const TCustomRVData& data) const {
  std::vector<TItemKey> keys;
  keys.reserve(static_cast<std::size_t>(data.CountItems()));
  for (int i = 0; i < data.CountItems(); ++i) keys.push_back(KeyOf(data.ItemAt(i)));
  return keys;
}

void TRVLayout::UpdateItem(const TCustomRVData& data, int itemNo) {
  const int p = ParagraphOfItem(itemNo);
  if (formatAll_ || data_ != &data || p < 0 || keys_.size() != static_cast<std::size_t>(data.CountItems())) {
    Update(data);
    return;
  }
  TRVParagraphLayout& paragraph = paragraphs_[static_cast<std::size_t>(p)];
  const double oldHeight = paragraph.Height;
  std::vector<TRVParagraphLayout> fresh;
  FormatParagraphs(paragraph.FirstItem, paragraph.FirstItem + paragraph.ItemCount, fresh);
  if (fresh.size() != 1) {
    Update(data);
    return;
  }
  const double oldTotal = TotalHeight();
  fresh.front().Top = paragraph.Top;
  NoteReplaced(paragraph);
  NoteAdded(fresh.front());
  paragraph = std::move(fresh.front());
  keys_[static_cast<std::size_t>(itemNo)] = KeyOf(data.ItemAt(itemNo));
  if (paragraph.Height != oldHeight) PlaceParagraphs(p + 1);
  changedTop_ = paragraph.Top;
  changedBottom_ = paragraph.Height == oldHeight ? paragraph.Top + paragraph.Height : std::max(oldTotal, TotalHeight());
  if (OnReformat) OnReformat();
}

void TRVLayout::Format(const TCustomRVData& data) {
  data_ = &data;
  paragraphs_.clear();
  widest_ = -1;
  FormatParagraphs(0, data.CountItems(), paragraphs_);
  PlaceParagraphs(0);
  keys_ = ItemKeys(data);
  formatAll_ = false;
  changedTop_ = 0;
  changedBottom_ = TotalHeight();
  if (OnReformat) OnReformat();
}

void TRVLayout::FormatItems(const TCustomRVData& data, int firstItem, int endItem) {
  data_ = &data;
  paragraphs_.clear();
  widest_ = -1;
  firstItem = std::clamp(firstItem, 0, data.CountItems());
  FormatParagraphs(firstItem, std::clamp(endItem, firstItem, data.CountItems()), paragraphs_);
  PlaceParagraphs(0);
  keys_.clear();
  formatAll_ = true;
  changedTop_ = 0;
  changedBottom_ = TotalHeight();
  if (OnReformat) OnReformat();
}

void TRVLayout::Update(const TCustomRVData& data) {
  if (formatAll_ || data_ != &data || paragraphs_.empty()) {
    Format(data);
    return;
  }
  std::vector<TItemKey> keys = ItemKeys(data);
  const std::size_t oldCount = keys_.size();
  const std::size_t newCount = keys.size();
  std::size_t prefix = 0;
  while (prefix < oldCount && prefix < newCount && keys_[prefix] == keys[prefix]) ++prefix;
  if (prefix == oldCount && prefix == newCount) {
    changedTop_ = changedBottom_ = 0;
    return;
  }
  std::size_t suffix = 0;
  while (suffix < oldCount - prefix && suffix < newCount - prefix &&
         keys_[oldCount - 1 - suffix] == keys[newCount - 1 - suffix]) {
    ++suffix;
  }
  if (newCount == 0 || oldCount == 0) {
    Format(data);
    return;
  }
  const int delta = static_cast<int>(newCount) - static_cast<int>(oldCount);
  // The item before the change may have lost or gained the paragraph that follows it.
  const int firstPara = ParagraphOfItem(std::max(0, static_cast<int>(prefix) - 1));
  int lastPara = ParagraphOfItem(std::min(static_cast<int>(oldCount - suffix), static_cast<int>(oldCount) - 1));
  auto newEnd = [&](int para) { return paragraphs_[static_cast<std::size_t>(para)].FirstItem +
                                       paragraphs_[static_cast<std::size_t>(para)].ItemCount + delta; };
  while (lastPara + 1 < ParagraphCount() && !StartsParagraphLayout(data, newEnd(lastPara))) ++lastPara;
  const double oldBottom = paragraphs_[static_cast<std::size_t>(lastPara)].Top +
                           paragraphs_[static_cast<std::size_t>(lastPara)].Height;
  const double oldTotal = TotalHeight();
  const int firstItem = paragraphs_[static_cast<std::size_t>(firstPara)].FirstItem;
  const int endItem = lastPara + 1 < ParagraphCount() ? newEnd(lastPara) : static_cast<int>(newCount);

  std::vector<TRVParagraphLayout> fresh;
  FormatParagraphs(firstItem, endItem, fresh);
  const auto first = paragraphs_.begin() + firstPara;
  const auto freshCount = static_cast<int>(fresh.size());
  for (auto it = first; it != paragraphs_.begin() + lastPara + 1; ++it) NoteReplaced(*it);
  for (const TRVParagraphLayout& added : fresh) NoteAdded(added);
  paragraphs_.erase(first, paragraphs_.begin() + lastPara + 1);
  paragraphs_.insert(paragraphs_.begin() + firstPara, std::make_move_iterator(fresh.begin()),
                     std::make_move_iterator(fresh.end()));
  if (delta != 0) {
    for (std::size_t p = static_cast<std::size_t>(firstPara + freshCount); p < paragraphs_.size(); ++p) {
      paragraphs_[p].FirstItem += delta;
      for (TRVBox& box : paragraphs_[p].Boxes) box.ItemNo += delta;
    }
  }
  PlaceParagraphs(firstPara);
  keys_ = std::move(keys);

  changedTop_ = paragraphs_[static_cast<std::size_t>(firstPara)].Top;
  const TRVParagraphLayout& lastFresh = paragraphs_[static_cast<std::size_t>(firstPara + freshCount - 1)];
  const double newBottom = lastFresh.Top + lastFresh.Height;
  changedBottom_ = newBottom == oldBottom ? newBottom : std::max(oldTotal, TotalHeight());
  if (OnReformat) OnReformat();
}

void TRVLayout::FormatParagraphs(int firstItem, int endItem, std::vector<TRVParagraphLayout>& out) const {
  for (int i = firstItem; i < endItem;) {
    int end = i + 1;
    while (end < endItem && !StartsParagraphLayout(*data_, end)) ++end;
    TRVParagraphLayout& paragraph = out.emplace_back();
    paragraph.FirstItem = i;
    paragraph.ItemCount = end - i;
    paragraph.PageBreakBefore = data_->ItemHasPageBreakBefore(i) && data_->AcceptsPageBreaks();
    if (data_->ItemAt(i).StyleNo == ItemKindTable) {
      FormatTable(i, paragraph);
    } else {
      FormatTextParagraph(paragraph);
    }
    for (const TRVBox& box : paragraph.Boxes) paragraph.Right = std::max(paragraph.Right, box.X + box.Width);
    i = end;
  }
}

void TRVLayout::PlaceParagraphs(int from) {
  double top = 0;
  if (from > 0) {
    const TRVParagraphLayout& previous = paragraphs_[static_cast<std::size_t>(from - 1)];
    top = previous.Top + previous.Height;
  }
  for (std::size_t p = static_cast<std::size_t>(from); p < paragraphs_.size(); ++p) {
    paragraphs_[p].Top = top;
    top += paragraphs_[p].Height;
  }
}

const TRVLine& TRVLayout::Line(TRVLineRef ref) const {
  return Paragraph(ref.Paragraph).Lines.at(static_cast<std::size_t>(ref.Line));
}

double TRVLayout::TotalHeight() const {
  if (paragraphs_.empty()) return 0;
  return paragraphs_.back().Top + paragraphs_.back().Height;
}

double TRVLayout::TotalWidth() const {
  if (widest_ < 0) {
    widest_ = 0;
    for (const TRVParagraphLayout& paragraph : paragraphs_) widest_ = std::max(widest_, paragraph.Right);
  }
  return width_ >= kRVUnlimitedWidth ? widest_ : std::max(widest_, width_);
}

// The widest edge is kept without visiting every paragraph after each change.
void TRVLayout::NoteReplaced(const TRVParagraphLayout& removed) const {
  if (widest_ >= 0 && removed.Right >= widest_) widest_ = -1;
}

void TRVLayout::NoteAdded(const TRVParagraphLayout& added) const {
  if (widest_ >= 0) widest_ = std::max(widest_, added.Right);
}

const TCustomRVFontInfo& TRVLayout::FontOf(std::int32_t textStyleNo) const {
  static const TFontInfo kDefaultFont;
  const TRVStyle* style = data_ != nullptr ? data_->GetRVStyle() : nullptr;
  return style != nullptr ? style->TextStyleAt(textStyleNo) : kDefaultFont;
}

void TRVLayout::Repaint() {
  if (OnRepaint) OnRepaint();
}

}  // namespace varnolt
