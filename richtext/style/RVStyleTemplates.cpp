#include <string>

#include "richtext/style/RVStyle.h"

namespace varnolt {

namespace {

std::u16string NumberedName(const std::u16string& pattern, int number) {
  std::u16string digits;
  for (char c : std::to_string(number)) digits.push_back(static_cast<char16_t>(c));
  std::u16string name = pattern;
  const auto place = name.find(u"%d");
  if (place != std::u16string::npos) name.replace(place, 2, digits);
  return name;
}

}  // namespace

std::int32_t TRVStyleTemplate::Id() const {
  while (id_ == 0) {
    const std::int32_t candidate = DrawRandomId();
    if (collection_ == nullptr || !collection_->IdTaken(candidate, this)) id_ = candidate;
  }
  return id_;
}

void TRVStyleTemplate::SetParentId(std::int32_t parentId) {
  parentId_ = parentId;
  if (collection_ == nullptr) return;
  // Each step leaves one template behind, so a chain without this template
  // ends within the collection's count.
  std::int32_t id = parentId;
  for (int steps = 0; id != -1 && steps <= collection_->Count(); ++steps) {
    if (id == Id()) {
      parentId_ = -1;
      throw ERichDocError("Circular references are not allowed");
    }
    const TRVStyleTemplate* parent = collection_->FindById(id);
    if (parent == nullptr) break;
    id = parent->ParentId();
  }
}

TRVStyleTemplate* TRVStyleTemplateCollection::Find(int index) {
  return index >= 0 && index < Count() ? templates_[static_cast<std::size_t>(index)].get() : nullptr;
}

const TRVStyleTemplate* TRVStyleTemplateCollection::Find(int index) const {
  return index >= 0 && index < Count() ? templates_[static_cast<std::size_t>(index)].get() : nullptr;
}

TRVStyleTemplate* TRVStyleTemplateCollection::FindById(std::int32_t id) {
  for (auto& entry : templates_) {
    if (entry->Id() == id) return entry.get();
  }
  return nullptr;
}

const TRVStyleTemplate* TRVStyleTemplateCollection::FindById(std::int32_t id) const {
  for (const auto& entry : templates_) {
    if (entry->Id() == id) return entry.get();
  }
  return nullptr;
}

bool TRVStyleTemplateCollection::IdTaken(std::int32_t id, const TRVStyleTemplate* except) const {
  for (const auto& entry : templates_) {
    if (entry.get() != except && entry->id_ == id) return true;
  }
  return false;
}

TRVStyleTemplate& TRVStyleTemplateCollection::Add() {
  int number = 1;
  auto taken = [this](const std::u16string& name) {
    for (const auto& entry : templates_) {
      if (entry->Name == name) return true;
    }
    return false;
  };
  while (taken(NumberedName(DefStyleName, number)) && number <= Count()) ++number;
  auto& entry = templates_.emplace_back(std::make_unique<TRVStyleTemplate>(this));
  entry->Name = NumberedName(DefStyleName, number);
  return *entry;
}

const TRVStyleTemplate* TRVStyleTemplateCollection::NormalStyle() const {
  for (const auto& entry : templates_) {
    if (entry->Name == u"Normal") return entry.get();
  }
  return nullptr;
}

}  // namespace varnolt
