#include <algorithm>

#include "platform/Random.h"
#include "richtext/style/RVStyle.h"

namespace varnolt {

namespace {

// Identifiers are drawn in 1..0x7FFFFFFE.
constexpr std::int32_t kLargestRandomId = 0x7FFFFFFE;

}  // namespace

std::int32_t DrawRandomId() { return Random::Next(kLargestRandomId) + 1; }

// --- levels ---

bool TRVListLevel::HasNumbers() const {
  switch (ListType) {
    case rvlstDecimal:
    case rvlstLowerAlpha:
    case rvlstUpperAlpha:
    case rvlstLowerRoman:
    case rvlstUpperRoman:
    case rvlstImageListCounter:
      return true;
    default:
      return false;
  }
}

bool TRVListLevel::Equals(const TRVListLevel& other) const {
  if (ListType != other.ListType) return false;
  if (HasNumbers() && StartFrom != other.StartFrom) return false;
  if (ImageList != other.ImageList || ImageIndex != other.ImageIndex || FormatString != other.FormatString ||
      FormatStringW != other.FormatStringW || LeftIndent != other.LeftIndent || FirstIndent != other.FirstIndent ||
      MarkerIndent != other.MarkerIndent || MarkerAlignment != other.MarkerAlignment) {
    return false;
  }
  const TRVMarkerFont defaultFont;
  const bool fontMatters = !(Font == defaultFont) || !(other.Font == defaultFont);
  if (fontMatters && !(Font == other.Font)) return false;
  return Options == other.Options && Picture == other.Picture;
}

TRVListLevel& TRVListLevelCollection::Items(int index) {
  if (index < 0 || index >= Count()) throw ERichDocError("List level index is out of bounds");
  return levels_[static_cast<std::size_t>(index)];
}

const TRVListLevel& TRVListLevelCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw ERichDocError("List level index is out of bounds");
  return levels_[static_cast<std::size_t>(index)];
}

const TRVListLevel* TRVListLevelCollection::Find(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &levels_[static_cast<std::size_t>(index)];
}

TRVListLevel& TRVListLevelCollection::Add() { return levels_.emplace_back(); }

void TRVListLevelCollection::Delete(int index) {
  Items(index);
  levels_.erase(levels_.begin() + index);
}

// --- TRVListInfo ---

TRVListInfo::TRVListInfo(const TRVListInfo& source) : TCustomRVInfo(source), Levels(source.Levels),
                                                       OneLevelPreview(source.OneLevelPreview) {}

TRVListInfo& TRVListInfo::operator=(const TRVListInfo& source) {
  Assign(source);
  return *this;
}

std::int32_t TRVListInfo::ListID() const {
  if (listId_ == 0) listId_ = DrawRandomId();
  return listId_;
}

void TRVListInfo::Assign(const TCustomRVInfo& source) {
  TCustomRVInfo::Assign(source);
  if (const auto* list = dynamic_cast<const TRVListInfo*>(&source)) {
    Levels = list->Levels;
    OneLevelPreview = list->OneLevelPreview;
  }
}

bool TRVListInfo::EqualsFully(const TCustomRVInfo& otherInfo, bool ignoreNext) const {
  const auto* other = dynamic_cast<const TRVListInfo*>(&otherInfo);
  if (other == nullptr) return false;
  if (OneLevelPreview != other->OneLevelPreview || Levels.Count() != other->Levels.Count()) return false;
  if (!ignoreNext && ListID() != other->ListID()) return false;
  return std::equal(Levels.begin(), Levels.end(), other->Levels.begin(),
                    [](const TRVListLevel& a, const TRVListLevel& b) { return a.Equals(b); });
}

bool TRVListInfo::EqualsUsingMap(const TCustomRVInfo& other, const std::vector<std::int32_t>&) const {
  return EqualsFully(other, true);
}

bool TRVListInfo::HasNumbering() const {
  return std::any_of(Levels.begin(), Levels.end(), [](const TRVListLevel& level) { return level.HasNumbers(); });
}

}  // namespace varnolt
