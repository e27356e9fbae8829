#include "richtext/editor/RVUndo.h"

#include <algorithm>
#include <utility>

namespace varnolt {

namespace {

int UnitSize(const TCustomRVItemInfo& item) { return item.UnicodeText() ? 2 : 1; }

std::size_t BytePosition(const TCustomRVItemInfo& item, int offset) {
  int units = std::clamp(offset - 1, 0, TextItemLength(item));
  return static_cast<std::size_t>(units) * static_cast<std::size_t>(UnitSize(item));
}

class TRVUndoInsertItemsInfo : public TRVUndoInfo {
 public:
  TRVUndoInsertItemsInfo(int index, int count) : index_(index), count_(count) {}
  void Revert(TCustomRVData& data, TRVUndoList* inverse) override {
    TRVDocChanges(data, inverse).DeleteItems(index_, count_);
  }

 private:
  int index_;
  int count_;
};

class TRVUndoDeleteItemsInfo : public TRVUndoInfo {
 public:
  TRVUndoDeleteItemsInfo(int index, TRVItemList items) : index_(index), items_(std::move(items)) {}
  void Revert(TCustomRVData& data, TRVUndoList* inverse) override {
    TRVDocChanges(data, inverse).InsertItems(index_, std::move(items_));
  }

 private:
  int index_;
  TRVItemList items_;
};

class TRVUndoInsertSubstringInfo : public TRVUndoInfo {
 public:
  TRVUndoInsertSubstringInfo(int itemNo, int offset, int length) : itemNo_(itemNo), offset_(offset), length_(length) {}
  void Revert(TCustomRVData& data, TRVUndoList* inverse) override {
    TRVDocChanges(data, inverse).DeleteSubstring(itemNo_, offset_, length_);
  }

 private:
  int itemNo_;
  int offset_;
  int length_;
};

class TRVUndoDeleteSubstringInfo : public TRVUndoInfo {
 public:
  TRVUndoDeleteSubstringInfo(int itemNo, int offset, std::string units)
      : itemNo_(itemNo), offset_(offset), units_(std::move(units)) {}
  void Revert(TCustomRVData& data, TRVUndoList* inverse) override {
    TRVDocChanges(data, inverse).InsertSubstring(itemNo_, offset_, std::move(units_));
  }

 private:
  int itemNo_;
  int offset_;
  std::string units_;
};

class TRVUndoNewLineInfo : public TRVUndoInfo {
 public:
  TRVUndoNewLineInfo(int itemNo, std::uint8_t flags) : itemNo_(itemNo), flags_(flags) {}
  void Revert(TCustomRVData& data, TRVUndoList* inverse) override {
    TRVDocChanges(data, inverse).SetLineFlags(itemNo_, flags_);
  }

 private:
  int itemNo_;
  std::uint8_t flags_;
};

class TRVUndoParaInfo : public TRVUndoInfo {
 public:
  TRVUndoParaInfo(int itemNo, std::int32_t paraNo) : itemNo_(itemNo), paraNo_(paraNo) {}
  void Revert(TCustomRVData& data, TRVUndoList* inverse) override {
    TRVDocChanges(data, inverse).SetParaNo(itemNo_, paraNo_);
  }

 private:
  int itemNo_;
  std::int32_t paraNo_;
};

class TRVUndoStyleNoInfo : public TRVUndoInfo {
 public:
  TRVUndoStyleNoInfo(int itemNo, std::int32_t styleNo, bool unicode)
      : itemNo_(itemNo), styleNo_(styleNo), unicode_(unicode) {}
  void Revert(TCustomRVData& data, TRVUndoList* inverse) override {
    TRVDocChanges(data, inverse).SetStyleNo(itemNo_, styleNo_, unicode_);
  }

 private:
  int itemNo_;
  std::int32_t styleNo_;
  bool unicode_;
};

class TRVUndoTagInfo : public TRVUndoInfo {
 public:
  TRVUndoTagInfo(int itemNo, TRVTag tag) : itemNo_(itemNo), tag_(std::move(tag)) {}
  void Revert(TCustomRVData& data, TRVUndoList* inverse) override {
    TRVDocChanges(data, inverse).SetTag(itemNo_, std::move(tag_));
  }

 private:
  int itemNo_;
  TRVTag tag_;
};

}  // namespace

// --- groups and lists ---

TRVUndoTypingInfo* TRVUndoInfos::SingleTyping() const {
  return Actions.size() == 1 ? dynamic_cast<TRVUndoTypingInfo*>(Actions.front().get()) : nullptr;
}

TRVRedoTypingInfo* TRVUndoInfos::SingleRedoTyping() const {
  return Actions.size() == 1 ? dynamic_cast<TRVRedoTypingInfo*>(Actions.front().get()) : nullptr;
}

void TRVUndoList::BeginGroup(std::uint8_t kind, const std::u16string& caption, TRVPosition caret) {
  if (Limit == 0) return;
  bool newGroup = GroupingLevel < 1 || groups_.empty() || groups_.back()->SingleTyping() != nullptr ||
                  groups_.back()->SingleRedoTyping() != nullptr;
  if (newGroup) StartGroup(kind, caption, caret);
}

void TRVUndoList::StartGroup(std::uint8_t kind, const std::u16string& caption, TRVPosition caret) {
  auto group = std::make_unique<TRVUndoInfos>();
  group->GroupKind = kind;
  group->GroupCaption = caption;
  group->CaretItemNo = caret.ItemNo;
  group->CaretOffset = caret.Offset;
  // An empty last group gives way first, so that it never costs a real one.
  if (!groups_.empty() && groups_.back()->Actions.empty()) {
    group->CaretItemNo = groups_.back()->CaretItemNo;
    group->CaretOffset = groups_.back()->CaretOffset;
    group->GroupCaption = groups_.back()->GroupCaption;
    groups_.pop_back();
  }
  if (Limit > 0 && Count() >= Limit) {
    groups_.erase(groups_.begin(), groups_.begin() + (Count() - Limit + 1));
  }
  groups_.push_back(std::move(group));
}

void TRVUndoList::AddAction(std::unique_ptr<TRVUndoInfo> action) {
  if (Limit == 0) return;
  if (groups_.empty()) throw ERichDocError("Can't modify empty undo list");
  if (groups_.back()->SingleTyping() != nullptr || groups_.back()->SingleRedoTyping() != nullptr) {
    throw ERichDocError("Incorrect adding into undo list");
  }
  groups_.back()->Actions.push_back(std::move(action));
}

std::unique_ptr<TRVUndoInfos> TRVUndoList::PopLastGroup() {
  if (groups_.empty()) return nullptr;
  auto group = std::move(groups_.back());
  groups_.pop_back();
  return group;
}

// --- elementary changes ---

void TRVDocChanges::Record(std::unique_ptr<TRVUndoInfo> action) {
  if (list_ != nullptr) list_->AddAction(std::move(action));
}

void TRVDocChanges::InsertItems(int index, TRVItemList items) {
  if (items.empty()) return;
  auto count = static_cast<int>(items.size());
  data_.InsertItemsAt(index, std::move(items));
  Record(std::make_unique<TRVUndoInsertItemsInfo>(index, count));
}

void TRVDocChanges::DeleteItems(int index, int count) {
  TRVItemList removed = data_.ExtractItems(index, count);
  if (removed.empty()) return;
  if (list_ != nullptr) Record(std::make_unique<TRVUndoDeleteItemsInfo>(index, std::move(removed)));
}

void TRVDocChanges::InsertSubstring(int itemNo, int offset, std::string units) {
  if (units.empty()) return;
  TCustomRVItemInfo& item = data_.ItemAt(itemNo);
  auto length = static_cast<int>(units.size()) / UnitSize(item);
  item.ItemText.insert(BytePosition(item, offset), units);
  Record(std::make_unique<TRVUndoInsertSubstringInfo>(itemNo, offset, length));
}

void TRVDocChanges::DeleteSubstring(int itemNo, int offset, int length) {
  TCustomRVItemInfo& item = data_.ItemAt(itemNo);
  std::size_t from = BytePosition(item, offset);
  std::size_t to = BytePosition(item, offset + std::max(length, 0));
  if (to <= from) return;
  std::string removed = item.ItemText.substr(from, to - from);
  item.ItemText.erase(from, to - from);
  Record(std::make_unique<TRVUndoDeleteSubstringInfo>(itemNo, offset, std::move(removed)));
}

void TRVDocChanges::SetLineFlags(int itemNo, std::uint8_t flags) {
  constexpr std::uint8_t kLineBits = rvifContinuesPara | rvifPageBreakBefore | rvifLineBreakBefore;
  TCustomRVItemInfo& item = data_.ItemAt(itemNo);
  std::uint8_t old = item.ItemFlags() & kLineBits;
  if (old == (flags & kLineBits)) return;
  item.SetItemFlags(static_cast<std::uint8_t>((item.ItemFlags() & ~kLineBits) | (flags & kLineBits)));
  Record(std::make_unique<TRVUndoNewLineInfo>(itemNo, old));
}

void TRVDocChanges::SetParaNo(int itemNo, std::int32_t paraNo) {
  TCustomRVItemInfo& item = data_.ItemAt(itemNo);
  if (item.ParaNo == paraNo) return;
  std::int32_t old = item.ParaNo;
  item.ParaNo = paraNo;
  Record(std::make_unique<TRVUndoParaInfo>(itemNo, old));
}

void TRVDocChanges::SetStyleNo(int itemNo, std::int32_t styleNo, bool unicode) {
  TCustomRVItemInfo& item = data_.ItemAt(itemNo);
  if (item.StyleNo == styleNo && item.UnicodeText() == unicode) return;
  auto action = std::make_unique<TRVUndoStyleNoInfo>(itemNo, item.StyleNo, item.UnicodeText());
  item.StyleNo = styleNo;
  item.SetUnicodeText(unicode);
  Record(std::move(action));
}

void TRVDocChanges::SetTag(int itemNo, TRVTag tag) {
  TCustomRVItemInfo& item = data_.ItemAt(itemNo);
  if (item.ItemTag() == tag) return;
  TRVTag old = item.ItemTag();
  item.SetItemTag(std::move(tag));
  Record(std::make_unique<TRVUndoTagInfo>(itemNo, std::move(old)));
}

void TRVDocChanges::MergeItems(int index) {
  TCustomRVItemInfo& a = data_.ItemAt(index);
  const TCustomRVItemInfo& b = data_.ItemAt(index + 1);
  if (a.ItemText.empty() && !b.ItemText.empty()) {
    SetStyleNo(index, b.StyleNo, b.UnicodeText());
    if (TagIsEmpty(a.ItemTag())) SetTag(index, b.ItemTag());
  }
  InsertSubstring(index, TextItemLength(a) + 1, b.ItemText);
  DeleteItems(index + 1, 1);
}

void TRVDocChanges::PropagateParaNo(int itemNo) {
  int start = data_.ParagraphStart(itemNo);
  std::int32_t paraNo = data_.ItemAt(start).ParaNo;
  for (int i = start + 1; i < data_.CountItems() && !data_.ItemStartsPara(i); ++i) SetParaNo(i, paraNo);
}

// --- typing ---

TRVPosition TRVUndoTypingInfo::UndoOneCharacter(TCustomRVData& data, TRVUndoList& redo,
                                                 const std::u16string& caption) {
  TCustomRVItemInfo& item = data.ItemAt(ItemNo);
  int position = Offset + Length - 1;
  std::size_t from = BytePosition(item, position);
  std::string unit = item.ItemText.substr(from, static_cast<std::size_t>(UnitSize(item)));
  item.ItemText.erase(from, unit.size());
  --Length;
  TRVUndoInfos* last = redo.LastGroup();
  TRVRedoTypingInfo* run = last != nullptr ? last->SingleRedoTyping() : nullptr;
  if (run != nullptr && run->ItemNo == ItemNo && run->Offset == position + 1) {
    run->Units.insert(0, unit);
    run->Offset = position;
  } else {
    redo.BeginGroup(kUndoKindTyping, caption, {ItemNo, position});
    redo.AddAction(std::make_unique<TRVRedoTypingInfo>(ItemNo, position, std::move(unit)));
  }
  return {ItemNo, position};
}

void TRVUndoTypingInfo::Revert(TCustomRVData& data, TRVUndoList* inverse) {
  TRVDocChanges(data, inverse).DeleteSubstring(ItemNo, Offset, Length);
  Length = 0;
}

TRVPosition TRVRedoTypingInfo::RedoOneCharacter(TCustomRVData& data, TRVUndoList& undo,
                                                 const std::u16string& caption) {
  TCustomRVItemInfo& item = data.ItemAt(ItemNo);
  auto size = std::min(static_cast<std::size_t>(UnitSize(item)), Units.size());
  item.ItemText.insert(BytePosition(item, Offset), Units.substr(0, size));
  Units.erase(0, size);
  RecordTyping(undo, ItemNo, Offset, caption, {ItemNo, Offset});
  ++Offset;
  return {ItemNo, Offset};
}

void TRVRedoTypingInfo::Revert(TCustomRVData& data, TRVUndoList* inverse) {
  TRVDocChanges(data, inverse).InsertSubstring(ItemNo, Offset, std::move(Units));
  Units.clear();
}

void RecordTyping(TRVUndoList& undo, int itemNo, int offset, const std::u16string& caption, TRVPosition caret) {
  TRVUndoInfos* last = undo.LastGroup();
  TRVUndoTypingInfo* run = last != nullptr ? last->SingleTyping() : nullptr;
  if (run != nullptr && run->Continues(itemNo, offset)) {
    ++run->Length;
    return;
  }
  undo.BeginGroup(kUndoKindTyping, caption, caret);
  undo.AddAction(std::make_unique<TRVUndoTypingInfo>(itemNo, offset, 1));
}

}  // namespace varnolt
