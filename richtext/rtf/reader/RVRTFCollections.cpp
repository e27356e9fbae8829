#include "richtext/rtf/reader/RVRTFCollections.h"

namespace varnolt {

namespace {

template <typename Vector>
auto AtOrNull(Vector& items, int index) -> decltype(&items[0]) {
  if (index < 0 || index >= static_cast<int>(items.size())) return nullptr;
  return &items[static_cast<std::size_t>(index)];
}

template <typename Vector, typename Key>
int IndexWhere(const Vector& items, Key key) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (key(items[i])) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

void TRVRTFFontList::Clear() {
  fonts_.clear();
  byNumber_.clear();
}

TRVRTFFont& TRVRTFFontList::Add(std::int32_t number) {
  byNumber_.emplace(number, static_cast<int>(fonts_.size()));
  auto& font = fonts_.emplace_back();
  font.number = number;
  return font;
}

const TRVRTFFont* TRVRTFFontList::At(int index) const { return AtOrNull(fonts_, index); }
TRVRTFFont* TRVRTFFontList::At(int index) { return AtOrNull(fonts_, index); }

int TRVRTFFontList::IndexOfNumber(std::int32_t number) const {
  auto found = byNumber_.find(number);
  return found == byNumber_.end() ? -1 : found->second;
}

TRVRTFStyleSheetEntry& TRVRTFStyleSheet::Add() {
  auto& entry = entries_.emplace_back();
  entry.next = static_cast<int>(entries_.size()) - 1;
  return entry;
}

const TRVRTFStyleSheetEntry* TRVRTFStyleSheet::At(int index) const { return AtOrNull(entries_, index); }

int TRVRTFStyleSheet::IndexOfNumber(std::int32_t number) const {
  return IndexWhere(entries_, [number](const TRVRTFStyleSheetEntry& e) { return e.number == number; });
}

const TRVRTFList97* TRVRTFListTable97::At(int index) const { return AtOrNull(lists_, index); }

int TRVRTFListTable97::IndexOfListId(std::int32_t listId) const {
  return IndexWhere(lists_, [listId](const TRVRTFList97& l) { return l.listId == listId; });
}

const TRVRTFListOverride97* TRVRTFListOverrideTable97::At(int index) const { return AtOrNull(overrides_, index); }

void TRVRTFListOverrideTable97::SetNumber(int index, std::int32_t number) {
  if (index < 0 || index >= Count()) return;
  overrides_[static_cast<std::size_t>(index)].number = number;
  byNumber_.emplace(number, index);
}

int TRVRTFListOverrideTable97::IndexOfNumber(std::int32_t number) const {
  auto found = byNumber_.find(number);
  return found == byNumber_.end() ? -1 : found->second;
}

}  // namespace varnolt
