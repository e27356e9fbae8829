#include "richtext/document/CRVData.h"

#include <algorithm>

#include "richtext/document/CRVDataNumbering.h"
#include "richtext/document/RVItemKinds.h"

namespace varnolt {

namespace {

constexpr int kSpacesInTabWithoutStyle = 8;

template <typename Char>
std::basic_string<Char> ReplaceTabs(std::basic_string<Char> text, int spaces) {
  if (text.find(Char{9}) == std::basic_string<Char>::npos) return text;
  std::basic_string<Char> result;
  result.reserve(text.size());
  for (Char c : text) {
    if (c == Char{9}) {
      result.append(static_cast<std::size_t>(std::max(spaces, 0)), Char{' '});
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace

std::string UnicodeItemText(std::u16string_view text) {
  if (text.find(u'\u2029') == std::u16string_view::npos) return Utf16ToBytes(text);
  std::u16string copy(text);
  std::replace(copy.begin(), copy.end(), u'\u2029', u' ');
  return Utf16ToBytes(copy);
}

std::string AnsiItemText(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    if (c == '\0') continue;
    result += (c == '\r' || c == '\n') ? ' ' : c;
  }
  return result;
}

int TextItemLength(const TCustomRVItemInfo& item) {
  auto size = item.ItemText.size();
  return static_cast<int>(item.UnicodeText() ? size / 2 : size);
}

// --- the document ---

TCustomRVData::TCustomRVData() = default;

TCustomRVData::~TCustomRVData() {
  // Items go without announcements; only the numbering lists must not outlive them.
  numbering_.reset();
}

TRVStyle* TCustomRVData::GetRVStyle() const {
  if (style_ != nullptr || parent_ == nullptr) return style_;
  return parent_->GetRVStyle();
}

bool TCustomRVData::TagsArePChars() const { return parent_ != nullptr ? parent_->TagsArePChars() : tagsArePChars_; }

void TCustomRVData::SetParent(TCustomRVData* parent, TCustomRVItemInfo* ownerItem) {
  parent_ = parent;
  ownerItem_ = ownerItem;
}

TCustomRVData& TCustomRVData::RootData() {
  TCustomRVData* data = this;
  while (data->parent_ != nullptr) data = data->parent_;
  return *data;
}

const TCustomRVData& TCustomRVData::RootData() const {
  const TCustomRVData* data = this;
  while (data->parent_ != nullptr) data = data->parent_;
  return *data;
}

void TCustomRVData::CheckIndex(int index) const {
  if (index < 0 || index >= CountItems()) throw ERichDocError("Item index is out of bounds");
}

TCustomRVItemInfo& TCustomRVData::ItemAt(int index) {
  CheckIndex(index);
  return *items_[static_cast<std::size_t>(index)];
}

const TCustomRVItemInfo& TCustomRVData::ItemAt(int index) const {
  CheckIndex(index);
  return *items_[static_cast<std::size_t>(index)];
}

int TCustomRVData::IndexOfItem(const TCustomRVItemInfo* item) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == item) return static_cast<int>(i);
  }
  return -1;
}

std::int32_t TCustomRVData::ResolveStyleNo(std::int32_t styleNo, std::int32_t paraNo) const {
  if (styleNo != ParaDefaultStyle) return styleNo;
  const TRVStyle* style = GetRVStyle();
  if (style == nullptr) return 0;
  std::int32_t defStyle = style->ParaStyleAt(paraNo).DefStyleNo;
  return defStyle < 0 ? 0 : defStyle;
}

std::int32_t TCustomRVData::EffectiveStyleOf(int index) const {
  const TCustomRVItemInfo& item = ItemAt(index);
  return ResolveStyleNo(item.StyleNo, item.ParaNo);
}

bool TCustomRVData::ItemStartsPara(int index) const {
  const TCustomRVItemInfo& item = ItemAt(index);
  return !item.ContinuesPara() && !item.LineBreakBefore();
}

bool TCustomRVData::ItemHasPageBreakBefore(int index) const { return ItemAt(index).PageBreakBefore(); }

std::u16string TCustomRVData::ItemTextAt(int index) const {
  const TCustomRVItemInfo& item = ItemAt(index);
  if (item.IsText() && item.UnicodeText()) return BytesToUtf16(item.ItemText);
  return AnsiToUnicode(CodePageOfStyle(GetRVStyle(), EffectiveStyleOf(index)), item.ItemText);
}

int TCustomRVData::ItemEndOffset(int index) const {
  const TCustomRVItemInfo& item = ItemAt(index);
  return item.IsText() ? TextItemLength(item) + 1 : 1;
}

int TCustomRVData::FindControlItemNo(const TRVEmbeddedControl* control) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    auto* holder = dynamic_cast<const TRVControlItemInfo*>(items_[i].get());
    if (holder != nullptr && holder->Control.get() == control) return static_cast<int>(i);
  }
  return -1;
}

int TCustomRVData::ParagraphStart(int index) const {
  CheckIndex(index);
  while (index > 0 && !ItemStartsPara(index)) --index;
  return index;
}

int TCustomRVData::LineStart(int index) const {
  CheckIndex(index);
  while (index > 0 && !StartsNewLine(index)) --index;
  return index;
}

// --- adding ---

std::string TCustomRVData::TextForStyle(std::u16string text, std::int32_t styleNo, std::int32_t paraNo,
                                        bool& unicode) const {
  const TRVStyle* style = GetRVStyle();
  int spaces = style != nullptr ? style->SpacesInTab : kSpacesInTabWithoutStyle;
  text = ReplaceTabs(std::move(text), spaces);
  std::int32_t resolved = ResolveStyleNo(styleNo, paraNo);
  unicode = style == nullptr || style->TextStyleAt(resolved).Unicode;
  if (unicode) return UnicodeItemText(text);
  return AnsiItemText(UnicodeToAnsi(CodePageOfStyle(style, resolved), text));
}

void TCustomRVData::AppendTextItem(std::string_view text, std::int32_t styleNo, std::int32_t paraNo, TRVTag tag) {
  if (styleNo < 0) styleNo = ParaDefaultStyle;
  const TRVStyle* style = GetRVStyle();
  std::int32_t checkPara = paraNo == -1 ? (items_.empty() ? 0 : items_.back()->ParaNo) : paraNo;
  std::int32_t resolved = ResolveStyleNo(styleNo, checkPara);
  if (style != nullptr && style->TextStyleAt(resolved).Unicode) {
    AppendTextItemW(AnsiToUnicode(CodePageOfStyle(style, resolved), text), styleNo, paraNo, std::move(tag));
    return;
  }
  int spaces = style != nullptr ? style->SpacesInTab : kSpacesInTabWithoutStyle;
  AppendTextPrepared(AnsiItemText(ReplaceTabs(std::string(text), spaces)), false, styleNo, paraNo, std::move(tag));
}

void TCustomRVData::AppendTextItemW(std::u16string_view text, std::int32_t styleNo, std::int32_t paraNo,
                                    TRVTag tag) {
  if (styleNo < 0) styleNo = ParaDefaultStyle;
  std::int32_t checkPara = paraNo == -1 ? (items_.empty() ? 0 : items_.back()->ParaNo) : paraNo;
  bool unicode = false;
  std::string stored = TextForStyle(std::u16string(text), styleNo, checkPara, unicode);
  AppendTextPrepared(std::move(stored), unicode, styleNo, paraNo, std::move(tag));
}

void TCustomRVData::AppendTextPrepared(std::string stored, bool unicode, std::int32_t styleNo, std::int32_t paraNo,
                                       TRVTag tag) {
  auto item = std::make_unique<TRVTextItemInfo>(styleNo);
  item->ParaNo = paraNo;
  item->SetItemTag(std::move(tag));
  item->SetUnicodeText(unicode);
  AppendItem(std::move(stored), std::move(item));
}

void TCustomRVData::AppendEmptyTextAfterMarker() {
  auto filler = std::make_unique<TRVTextItemInfo>(0);
  filler->ParaNo = -1;
  bool unicode = false;
  filler->ItemText = TextForStyle({}, 0, items_.back()->ParaNo, unicode);
  filler->SetUnicodeText(unicode);
  AppendPrepared({}, std::move(filler));
}

bool TCustomRVData::ContinuesLastLine(const TCustomRVItemInfo& item) const {
  return item.ParaNo == -1 && !items_.empty() && !items_.back()->OccupiesWholeLine() && !item.OccupiesWholeLine();
}

void TCustomRVData::AppendItem(std::string text, std::unique_ptr<TCustomRVItemInfo> item) {
  if (!ContinuesLastLine(*item) && !items_.empty() && items_.back()->StyleNo == ItemKindListMarker) {
    AppendEmptyTextAfterMarker();
  }
  AppendPrepared(std::move(text), std::move(item));
}

void TCustomRVData::AppendPrepared(std::string text, std::unique_ptr<TCustomRVItemInfo> item) {
  if (ContinuesLastLine(*item)) {
    item->SetContinuesPara(true);
    item->ParaNo = items_.back()->ParaNo;
  } else {
    bool lineBreak = (item->LineBreakBefore() || !AllowNewParagraphs) && !item->OccupiesWholeLine() &&
                     !items_.empty();
    bool pageBreak = item->PageBreakBefore();
    item->SetStartsParagraph();
    if (lineBreak) {
      item->SetLineBreakBefore(true);
    } else if (pageBreak) {
      item->SetPageBreakBefore(true);
    }
    if (item->ParaNo == -1) item->ParaNo = 0;
  }
  if (!item->Checkpoint() && pendingCheckpoint_) {
    item->SetCheckpoint(std::move(pendingCheckpoint_));
  }
  if (Events.ItemBeingInserted) Events.ItemBeingInserted(*item, text);
  item->ItemText = std::move(text);
  PlaceItem(CountItems(), std::move(item));
}

void TCustomRVData::InsertItemAt(int index, std::string text, std::unique_ptr<TCustomRVItemInfo> item) {
  if (index < 0 || index > CountItems()) throw ERichDocError("Item index is out of bounds");
  if (Events.ItemBeingInserted) Events.ItemBeingInserted(*item, text);
  item->ItemText = std::move(text);
  PlaceItem(index, std::move(item));
}

void TCustomRVData::InsertItemsAt(int index, TRVItemList items) {
  if (index < 0 || index > CountItems()) throw ERichDocError("Item index is out of bounds");
  PlaceItems(index, std::move(items));
}

void TCustomRVData::PlaceItem(int index, std::unique_ptr<TCustomRVItemInfo> item) {
  ++itemsVersion_;
  items_.insert(items_.begin() + index, std::move(item));
  AttachItem(index);
}

void TCustomRVData::PlaceItems(int index, TRVItemList items) {
  auto count = static_cast<int>(items.size());
  ++itemsVersion_;
  if (items.size() >= items_.size() && items.capacity() >= items.size() + items_.size()) {
    // A document read or pasted whole: the list that comes takes in the few
    // items already here, so no second array of millions of pointers is made.
    const auto split = items_.begin() + index;
    items.insert(items.begin(), std::make_move_iterator(items_.begin()), std::make_move_iterator(split));
    items.insert(items.end(), std::make_move_iterator(split), std::make_move_iterator(items_.end()));
    items_ = std::move(items);
    // The list grew by doubling where it was made; the document keeps what it
    // holds. Once per insertion at least as large as the document, so linear.
    if (items_.capacity() - items_.size() > items_.size() / 8) items_.shrink_to_fit();
  } else {
    items_.insert(items_.begin() + index, std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
  }
  for (int i = index; i < index + count; ++i) AttachItem(i);
}

void TCustomRVData::AttachItem(int index) {
  TCustomRVItemInfo& item = *items_[static_cast<std::size_t>(index)];
  for (int d = 0; d < item.SubDocumentCount(); ++d) {
    if (TCustomRVData* sub = item.SubDocument(d)) sub->SetParent(this, &item);
  }
  if (item.Checkpoint()) LinkCheckpoint(index);
  RegisterNumberedItems(*this, index);
  if (Events.ItemInserted) Events.ItemInserted(item);
}

void TCustomRVData::MoveItemsFrom(TCustomRVData& source) {
  if (&source == this) return;
  if (source.TagsArePChars() != TagsArePChars()) {
    throw ERichDocError("Can't assign RichDoc to RichDoc - tags types mismatch");
  }
  std::unique_ptr<TRVCPInfo> pending = std::move(source.pendingCheckpoint_);
  TRVItemList moved = source.ExtractItems(0, source.CountItems());
  source.ClearItems();
  for (auto& item : moved) {
    if (item->ContinuesPara()) item->ParaNo = -1;
    std::string text = std::move(item->ItemText);
    AppendItem(std::move(text), std::move(item));
  }
  if (pending && !pendingCheckpoint_) pendingCheckpoint_ = std::move(pending);
}

// --- removing ---

void TCustomRVData::DetachItem(int index) {
  TCustomRVItemInfo& item = *items_[static_cast<std::size_t>(index)];
  if (Events.ItemBeingRemoved) Events.ItemBeingRemoved(item, item.ItemText);
  if (!clearing_) UnregisterNumberedItems(*this, index);
  if (item.Checkpoint()) UnlinkCheckpoint(*item.Checkpoint());
  for (int d = 0; d < item.SubDocumentCount(); ++d) {
    if (TCustomRVData* sub = item.SubDocument(d)) sub->SetParent(nullptr, nullptr);
  }
}

TRVItemList TCustomRVData::ExtractItems(int index, int count) {
  int first = std::max(index, 0);
  int last = std::min(index + std::max(count, 0), CountItems());
  TRVItemList taken;
  if (first >= last) return taken;
  // Taking every item of a document empties its lists: dropping them at once
  // spares renumbering what is left after each marker taken.
  const bool wasClearing = clearing_;
  if (first == 0 && last == CountItems() && parent_ == nullptr) {
    DropNumberingLists();
    clearing_ = true;
  }
  for (int i = first; i < last; ++i) DetachItem(i);
  clearing_ = wasClearing;
  ++itemsVersion_;
  taken.assign(std::make_move_iterator(items_.begin() + first), std::make_move_iterator(items_.begin() + last));
  items_.erase(items_.begin() + first, items_.begin() + last);
  // An emptied document lets go of its array at once (nothing is copied).
  if (items_.empty()) items_.shrink_to_fit();
  return taken;
}

void TCustomRVData::RemoveItems(int index, int count) { ExtractItems(index, count); }

void TCustomRVData::ClearItems() {
  clearing_ = true;
  if (parent_ == nullptr) {
    numbering_.reset();
  } else {
    for (int i = 0; i < CountItems(); ++i) UnregisterNumberedItems(*this, i);
  }
  ExtractItems(0, CountItems());
  clearing_ = false;
  pendingCheckpoint_.reset();
  firstCheckpoint_ = lastCheckpoint_ = nullptr;
  linkedCheckpoints_ = 0;
  PrevMarkerListNo = -1;
  PrevMarkerLevel = -1;
}

// --- paragraphs and merging ---

void TCustomRVData::PropagateParaNo(int index) {
  std::int32_t paraNo = ItemAt(index).ParaNo;
  for (int i = index + 1; i < CountItems() && !ItemStartsPara(i); ++i) items_[static_cast<std::size_t>(i)]->ParaNo = paraNo;
}

bool TCustomRVData::CanMergeItems(int index, bool force) const {
  if (index < 0 || index + 1 >= CountItems()) return false;
  const TCustomRVItemInfo& a = *items_[static_cast<std::size_t>(index)];
  const TCustomRVItemInfo& b = *items_[static_cast<std::size_t>(index) + 1];
  if (!a.IsText() || !b.IsText()) return false;
  if (!b.ContinuesPara() && !force) return false;
  // A checkpoint on the second item would be lost with it.
  if (b.Checkpoint()) return false;
  if (a.ItemText.empty() || b.ItemText.empty()) return true;
  if (a.StyleNo != b.StyleNo || a.UnicodeText() != b.UnicodeText() || a.ItemHint() != b.ItemHint() ||
      a.ItemTag() != b.ItemTag()) {
    return false;
  }
  const TRVStyle* style = GetRVStyle();
  if (style == nullptr) return true;
  const TRVProtectOptions protection = style->TextStyleAt(EffectiveStyleOf(index)).Protection;
  return !protection.Contains(rvprModifyProtect) && !protection.Contains(rvprConcateProtect);
}

void TCustomRVData::MergeItems(int index) {
  TCustomRVItemInfo& a = ItemAt(index);
  TCustomRVItemInfo& b = ItemAt(index + 1);
  if (a.ItemText.empty() && !b.ItemText.empty()) {
    a.StyleNo = b.StyleNo;
    a.SetUnicodeText(b.UnicodeText());
    if (TagIsEmpty(a.ItemTag())) a.SetItemTag(b.ItemTag());
  }
  a.ItemText += b.ItemText;
  RemoveItems(index + 1, 1);
}

// --- checkpoints ---

TRVCPInfo& TCustomRVData::AddCheckpoint(std::u16string name, TRVTag tag, bool raiseEvent) {
  pendingCheckpoint_ = std::make_unique<TRVCPInfo>();
  pendingCheckpoint_->Name = std::move(name);
  pendingCheckpoint_->Tag = std::move(tag);
  pendingCheckpoint_->RaiseEvent = raiseEvent;
  return *pendingCheckpoint_;
}

int TCustomRVData::CheckpointCount() const { return linkedCheckpoints_ + (pendingCheckpoint_ ? 1 : 0); }

void TCustomRVData::LinkCheckpoint(int index) {
  TCustomRVItemInfo& item = *items_[static_cast<std::size_t>(index)];
  TRVCPInfo& checkpoint = *item.Checkpoint();
  checkpoint.ItemInfo = &item;
  TRVCPInfo* prev = nullptr;
  if (index == CountItems() - 1) {
    prev = lastCheckpoint_;
  } else {
    for (int i = index - 1; i >= 0 && prev == nullptr; --i) prev = items_[static_cast<std::size_t>(i)]->Checkpoint();
  }
  checkpoint.Prev = prev;
  checkpoint.Next = prev != nullptr ? prev->Next : firstCheckpoint_;
  (prev != nullptr ? prev->Next : firstCheckpoint_) = &checkpoint;
  (checkpoint.Next != nullptr ? checkpoint.Next->Prev : lastCheckpoint_) = &checkpoint;
  ++linkedCheckpoints_;
}

void TCustomRVData::UnlinkCheckpoint(TRVCPInfo& checkpoint) {
  (checkpoint.Prev != nullptr ? checkpoint.Prev->Next : firstCheckpoint_) = checkpoint.Next;
  (checkpoint.Next != nullptr ? checkpoint.Next->Prev : lastCheckpoint_) = checkpoint.Prev;
  checkpoint.Prev = checkpoint.Next = nullptr;
  --linkedCheckpoints_;
}

// --- numbering lists ---

TRVNumberingLists& TCustomRVData::EnsureNumberingLists() {
  if (!numbering_) numbering_ = std::make_unique<TRVNumberingLists>();
  return *numbering_;
}

void TCustomRVData::DropNumberingLists() { numbering_.reset(); }

bool TCustomRVData::GetSelectionBounds(TRVPosition&, TRVPosition&) const { return false; }

}  // namespace varnolt
