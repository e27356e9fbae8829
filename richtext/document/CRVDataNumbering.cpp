#include "richtext/document/CRVDataNumbering.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "richtext/document/CRVData.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"

namespace varnolt {

namespace {

// --- walking items in document order ---

// Numbered items of the item and of the documents it holds, in document
// order (the holder before what it holds).
struct TRVNumberedItems {
  std::vector<TRVSeqItemInfo*> Sequences;
  std::vector<TRVMarkerItemInfo*> Markers;
  std::vector<TRVNoteReferenceItemInfo*> References;
};

void CollectNumbered(TCustomRVItemInfo& item, TRVNumberedItems& found) {
  if (auto* seq = dynamic_cast<TRVSeqItemInfo*>(&item)) found.Sequences.push_back(seq);
  if (auto* marker = dynamic_cast<TRVMarkerItemInfo*>(&item)) found.Markers.push_back(marker);
  if (auto* reference = dynamic_cast<TRVNoteReferenceItemInfo*>(&item)) found.References.push_back(reference);
  for (int d = 0; d < item.SubDocumentCount(); ++d) {
    TCustomRVData* sub = item.SubDocument(d);
    for (int i = 0; sub != nullptr && i < sub->CountItems(); ++i) CollectNumbered(sub->ItemAt(i), found);
  }
}

// The last item of type T in the item's tree, in document order.
template <typename T>
T* LastInTree(TCustomRVItemInfo& item) {
  for (int d = item.SubDocumentCount() - 1; d >= 0; --d) {
    TCustomRVData* sub = item.SubDocument(d);
    for (int i = sub != nullptr ? sub->CountItems() - 1 : -1; i >= 0; --i) {
      if (T* found = LastInTree<T>(sub->ItemAt(i))) return found;
    }
  }
  return dynamic_cast<T*>(&item);
}

// The nearest item of type T before item index of data in document order:
// backwards through the preceding items, into what they hold, then outwards.
template <typename T>
T* FindPreceding(TCustomRVData& data, int index) {
  TCustomRVData* current = &data;
  int before = index;
  while (current != nullptr) {
    for (int i = before - 1; i >= 0; --i) {
      if (T* found = LastInTree<T>(current->ItemAt(i))) return found;
    }
    TCustomRVData* parent = current->ParentData();
    TCustomRVItemInfo* holder = current->OwnerItem();
    if (parent == nullptr || holder == nullptr) return nullptr;
    // The holder's documents before this one (the earlier cells of a table).
    int own = 0;
    while (own < holder->SubDocumentCount() && holder->SubDocument(own) != current) ++own;
    for (int d = own - 1; d >= 0; --d) {
      TCustomRVData* sibling = holder->SubDocument(d);
      for (int i = sibling != nullptr ? sibling->CountItems() - 1 : -1; i >= 0; --i) {
        if (T* found = LastInTree<T>(sibling->ItemAt(i))) return found;
      }
    }
    if (T* found = dynamic_cast<T*>(holder)) return found;
    before = parent->IndexOfItem(holder);
    current = parent;
  }
  return nullptr;
}

// Where items inserted after `preceding` go in the list.
template <typename T>
std::size_t InsertPosition(const std::vector<T*>& list, T* preceding) {
  if (preceding == nullptr) return 0;
  if (!list.empty() && list.back() == preceding) return list.size();
  auto found = std::find(list.begin(), list.end(), preceding);
  return found == list.end() ? 0 : static_cast<std::size_t>(found - list.begin()) + 1;
}

bool AppendedToRoot(const TCustomRVData& data, int index, int count) {
  return data.ParentData() == nullptr && index + count == data.CountItems();
}

// --- sequences ---

void UpdateNoteReferences(TRVSeqItemInfo& seq) {
  auto* note = dynamic_cast<TRVNoteItemInfo*>(&seq);
  if (note == nullptr) return;
  TRVNumberedItems inside;
  TRVNoteData& text = note->Document();
  for (int i = 0; i < text.CountItems(); ++i) CollectNumbered(text.ItemAt(i), inside);
  for (auto* reference : inside.References) reference->Text = note->Text;
}

// Renumbers the items named name from position `from` on.
void RenumberSequence(std::vector<TRVSeqItemInfo*>& list, std::size_t from, const std::u16string& name,
                      const TRVStyle* style) {
  std::int32_t last = 0;
  bool hasLast = false;
  for (std::size_t i = from; i-- > 0;) {
    if (SameFontName(list[i]->SeqName, name)) {
      last = list[i]->Counter;
      hasLast = true;
      break;
    }
  }
  for (std::size_t i = from; i < list.size(); ++i) {
    TRVSeqItemInfo& seq = *list[i];
    if (!SameFontName(seq.SeqName, name)) continue;
    seq.Counter = seq.Reset ? seq.StartFrom : (hasLast ? last + 1 : 1);
    last = seq.Counter;
    hasLast = true;
    seq.UpdateText(style);
    UpdateNoteReferences(seq);
  }
}

// Renumbers, from position `from` on, every name that the given items carry.
void RenumberSequences(std::vector<TRVSeqItemInfo*>& list, std::size_t from,
                       const std::vector<TRVSeqItemInfo*>& named, const TRVStyle* style) {
  std::vector<std::u16string> names;
  for (const auto* seq : named) {
    bool known = std::any_of(names.begin(), names.end(),
                             [&](const std::u16string& name) { return SameFontName(name, seq->SeqName); });
    if (!known) names.push_back(seq->SeqName);
  }
  for (const auto& name : names) RenumberSequence(list, from, name, style);
}

// --- list markers ---

std::u16string ListNumberText(std::int32_t n, TRVListType type) {
  switch (type) {
    case rvlstDecimal:
    case rvlstImageListCounter: return SeqNumberText(n, rvseqDecimal);
    case rvlstLowerAlpha: return SeqNumberText(n, rvseqLowerAlpha);
    case rvlstUpperAlpha: return SeqNumberText(n, rvseqUpperAlpha);
    case rvlstLowerRoman: return SeqNumberText(n, rvseqLowerRoman);
    case rvlstUpperRoman: return SeqNumberText(n, rvseqUpperRoman);
    default: return {};
  }
}

bool IsAlphaOrRoman(TRVListType type) {
  return type == rvlstLowerAlpha || type == rvlstUpperAlpha || type == rvlstLowerRoman || type == rvlstUpperRoman;
}

// The state entry with the highest position among levels below `limit`.
const std::pair<const std::int32_t, TRVMarkerLevelState>* NearestBelow(const TRVListLevelStates& states,
                                                                       std::int32_t limit) {
  const std::pair<const std::int32_t, TRVMarkerLevelState>* best = nullptr;
  for (const auto& entry : states) {
    if (entry.first >= limit) break;
    if (best == nullptr || entry.second.Position > best->second.Position) best = &entry;
  }
  return best;
}

std::int32_t MarkerCounter(const TRVMarkerItemInfo& marker, const TRVListLevel& level, std::int32_t k,
                           const TRVListLevelStates& states) {
  if (marker.Reset) return marker.ResetValue;
  const std::int32_t startFrom = level.StartFrom;
  const std::pair<const std::int32_t, TRVMarkerLevelState>* terminator = nullptr;
  if (level.Options.Contains(rvloLevelReset)) {
    terminator = NearestBelow(states, k + 1);
  } else if (auto same = states.find(k); same != states.end()) {
    terminator = &*same;
  }
  if (terminator != nullptr) {
    return terminator->first == k ? terminator->second.Counter + 1 : startFrom;
  }
  bool nestedBefore = std::any_of(states.upper_bound(k), states.end(), [](const auto&) { return true; });
  return nestedBefore ? startFrom + 1 : startFrom;
}

std::u16string LevelFormat(const TRVListLevel& level, const TRVStyle& style) {
  CodePageId codePage =
      level.Font.Charset == kRVDefaultCharset ? style.DefCodePage : CodePageOfCharset(level.Font.Charset);
  return AnsiToUnicode(codePage, level.FormatString);
}

std::u16string NumberedMarkerText(const TRVMarkerItemInfo& marker, const TRVListInfo& list,
                                  const TRVListLevel& own, std::int32_t k, const TRVListLevelStates& states,
                                  const TRVStyle& style) {
  std::vector<std::int32_t> numbers(static_cast<std::size_t>(k) + 1, 0);
  std::vector<bool> fromMarker(numbers.size(), false);
  auto startFrom = [&](std::int32_t lvl) { return list.Levels.Items(lvl).StartFrom; };
  numbers[static_cast<std::size_t>(k)] = marker.Counter;
  std::int32_t current = k;
  while (current > 0) {
    const auto* enclosing = NearestBelow(states, current);
    std::int32_t j = enclosing != nullptr ? enclosing->first : -1;
    for (std::int32_t lvl = std::max(j + 1, 0); lvl < current; ++lvl) numbers[static_cast<std::size_t>(lvl)] = startFrom(lvl);
    if (j < 0) break;
    numbers[static_cast<std::size_t>(j)] = enclosing->second.Counter;
    fromMarker[static_cast<std::size_t>(j)] = true;
    current = j;
  }
  bool legal = own.Options.Contains(rvloLegalStyleNumbering);
  std::vector<std::u16string> texts;
  for (std::int32_t lvl = 0; lvl <= k; ++lvl) {
    TRVListType type = list.Levels.Items(lvl).ListType;
    if (legal && lvl < k && fromMarker[static_cast<std::size_t>(lvl)] && IsAlphaOrRoman(type)) type = rvlstDecimal;
    texts.push_back(ListNumberText(numbers[static_cast<std::size_t>(lvl)], type));
  }
  std::u16string format = LevelFormat(own, style);
  auto formatted = FormatWithStrings(format, texts, false);
  return formatted ? *formatted : format;
}

// Numbers one marker from the states of the markers before it, then records it.
void NumberMarker(TRVMarkerItemInfo& marker, TRVListLevelStates& states, int position, const TRVStyle* style) {
  const TRVListLevel* level = marker.LevelInfo(style);
  if (level == nullptr) {
    marker.Counter = marker.Reset ? marker.ResetValue : 0;
    marker.DisplayString.clear();
    return;
  }
  std::int32_t k = marker.EffectiveLevel(style);
  marker.Counter = MarkerCounter(marker, *level, k, states);
  switch (level->ListType) {
    case rvlstBullet: {
      std::u16string format = LevelFormat(*level, *style);
      auto formatted = FormatWithStrings(format, {}, true);
      marker.DisplayString = formatted ? *formatted : format;
      break;
    }
    case rvlstDecimal:
    case rvlstLowerAlpha:
    case rvlstUpperAlpha:
    case rvlstLowerRoman:
    case rvlstUpperRoman:
      marker.DisplayString =
          NumberedMarkerText(marker, *style->ListStyles.Find(marker.ListNo), *level, k, states, *style);
      break;
    default: marker.DisplayString.clear(); break;
  }
  states[k] = {position, marker.Counter};
}

// Records a marker that keeps its counter.
void RecordMarker(const TRVMarkerItemInfo& marker, TRVListLevelStates& states, int position, const TRVStyle* style) {
  std::int32_t k = marker.EffectiveLevel(style);
  if (k >= 0) states[k] = {position, marker.Counter};
}

// Renumbers markers from position `from` on (all lists, or only `listNo`)
// and leaves the level states at the end of the list.
void RenumberMarkers(TRVNumberingLists& lists, std::size_t from, const TRVStyle* style,
                     std::optional<std::int32_t> listNo) {
  std::map<std::int32_t, TRVListLevelStates> states;
  for (std::size_t i = 0; i < lists.Markers.size(); ++i) {
    TRVMarkerItemInfo& marker = *lists.Markers[i];
    auto& listStates = states[marker.ListNo];
    bool renumber = i >= from && marker.ListNo >= 0 && (!listNo || *listNo == marker.ListNo);
    if (renumber) {
      NumberMarker(marker, listStates, static_cast<int>(i), style);
    } else {
      RecordMarker(marker, listStates, static_cast<int>(i), style);
    }
  }
  lists.EndStates = std::move(states);
  lists.EndStatesValid = true;
}

void RegisterMarkers(TRVNumberingLists& lists, TCustomRVData& data, int index, bool appendedToRoot,
                     const std::vector<TRVMarkerItemInfo*>& markers, const TRVStyle* style) {
  TRVMarkerItemInfo* preceding = appendedToRoot ? (lists.Markers.empty() ? nullptr : lists.Markers.back())
                                                : FindPreceding<TRVMarkerItemInfo>(data, index);
  std::size_t position = InsertPosition(lists.Markers, preceding);
  bool atEnd = position == lists.Markers.size();
  lists.Markers.insert(lists.Markers.begin() + static_cast<std::ptrdiff_t>(position), markers.begin(), markers.end());
  if (atEnd && lists.EndStatesValid) {
    for (std::size_t i = position; i < lists.Markers.size(); ++i) {
      TRVMarkerItemInfo& marker = *lists.Markers[i];
      if (marker.ListNo >= 0) NumberMarker(marker, lists.EndStates[marker.ListNo], static_cast<int>(i), style);
    }
    return;
  }
  RenumberMarkers(lists, position, style, std::nullopt);
}

void SetReferenceTexts(TCustomRVData& data, const std::vector<TRVNoteReferenceItemInfo*>& references) {
  for (TCustomRVData* current = &data; current != nullptr; current = current->ParentData()) {
    if (auto* noteText = dynamic_cast<TRVNoteData*>(current)) {
      for (auto* reference : references) reference->Text = noteText->Note()->Text;
      return;
    }
  }
}

template <typename T>
std::size_t EraseAll(std::vector<T*>& list, const std::vector<T*>& gone) {
  std::size_t first = list.size();
  for (T* item : gone) {
    auto found = std::find(list.begin(), list.end(), item);
    if (found == list.end()) continue;
    first = std::min(first, static_cast<std::size_t>(found - list.begin()));
    list.erase(found);
  }
  return first;
}

}  // namespace

bool HoldsNumberedItems(const TCustomRVItemInfo& item) {
  if (item.IsText()) return false;
  if (item.StyleNo == ItemKindListMarker || dynamic_cast<const TRVSeqItemInfo*>(&item) != nullptr ||
      item.StyleNo == ItemKindNoteReference) {
    return true;
  }
  for (int d = 0; d < item.SubDocumentCount(); ++d) {
    const TCustomRVData* sub = item.SubDocument(d);
    for (int i = 0; sub != nullptr && i < sub->CountItems(); ++i) {
      if (HoldsNumberedItems(sub->ItemAt(i))) return true;
    }
  }
  return false;
}

void RegisterNumberedItems(TCustomRVData& data, int index) {
  TCustomRVItemInfo& item = data.ItemAt(index);
  if (!HoldsNumberedItems(item)) return;
  for (int d = 0; d < item.SubDocumentCount(); ++d) {
    if (TCustomRVData* sub = item.SubDocument(d)) sub->DropNumberingLists();
  }
  TRVNumberedItems found;
  CollectNumbered(item, found);
  SetReferenceTexts(data, found.References);
  if (found.Sequences.empty() && found.Markers.empty()) return;

  TCustomRVData& root = data.RootData();
  TRVNumberingLists& lists = root.EnsureNumberingLists();
  const TRVStyle* style = root.GetRVStyle();
  bool appended = AppendedToRoot(data, index, 1);
  if (!found.Sequences.empty()) {
    TRVSeqItemInfo* preceding = appended ? (lists.Sequences.empty() ? nullptr : lists.Sequences.back())
                                         : FindPreceding<TRVSeqItemInfo>(data, index);
    std::size_t position = InsertPosition(lists.Sequences, preceding);
    lists.Sequences.insert(lists.Sequences.begin() + static_cast<std::ptrdiff_t>(position), found.Sequences.begin(),
                           found.Sequences.end());
    RenumberSequences(lists.Sequences, position, found.Sequences, style);
  }
  if (!found.Markers.empty()) RegisterMarkers(lists, data, index, appended, found.Markers, style);
}

void UnregisterNumberedItems(TCustomRVData& data, int index) {
  TCustomRVItemInfo& item = data.ItemAt(index);
  TRVNumberingLists* lists = data.RootData().NumberingLists();
  if (lists == nullptr || !HoldsNumberedItems(item)) return;
  TRVNumberedItems found;
  CollectNumbered(item, found);
  const TRVStyle* style = data.RootData().GetRVStyle();
  if (!found.Sequences.empty()) {
    std::size_t position = EraseAll(lists->Sequences, found.Sequences);
    if (position < lists->Sequences.size()) {
      RenumberSequence(lists->Sequences, position, lists->Sequences[position]->SeqName, style);
    }
  }
  if (!found.Markers.empty()) {
    std::size_t position = EraseAll(lists->Markers, found.Markers);
    if (position < lists->Markers.size()) {
      RenumberMarkers(*lists, position, style, lists->Markers[position]->ListNo);
    } else {
      lists->EndStatesValid = false;
    }
  }
  if (lists->Sequences.empty() && lists->Markers.empty()) data.RootData().DropNumberingLists();
}

// --- formatting ---

namespace {

// Reads a decimal number at pos; false when there is none.
bool ReadNumber(std::u16string_view format, std::size_t& pos, std::size_t& value) {
  constexpr std::size_t kMaxFormatNumber = 100000;
  std::size_t start = pos;
  value = 0;
  while (pos < format.size() && format[pos] >= u'0' && format[pos] <= u'9') {
    value = std::min(value * 10 + static_cast<std::size_t>(format[pos] - u'0'), kMaxFormatNumber);
    ++pos;
  }
  return pos > start;
}

}  // namespace

std::optional<std::u16string> FormatWithStrings(std::u16string_view format, const std::vector<std::u16string>& args,
                                                bool missingAsEmpty) {
  std::u16string result;
  std::size_t nextArg = 0;
  std::size_t pos = 0;
  while (pos < format.size()) {
    char16_t c = format[pos++];
    if (c != u'%') {
      result += c;
      continue;
    }
    if (pos < format.size() && format[pos] == u'%') {
      result += u'%';
      ++pos;
      continue;
    }
    std::size_t number = 0;
    std::size_t argIndex = nextArg;
    std::size_t save = pos;
    if (ReadNumber(format, pos, number) && pos < format.size() && format[pos] == u':') {
      argIndex = number;
      ++pos;
    } else {
      pos = save;
    }
    bool leftAlign = pos < format.size() && format[pos] == u'-';
    if (leftAlign) ++pos;
    std::size_t width = 0;
    ReadNumber(format, pos, width);
    std::optional<std::size_t> precision;
    if (pos < format.size() && format[pos] == u'.') {
      ++pos;
      std::size_t value = 0;
      ReadNumber(format, pos, value);
      precision = value;
    }
    if (pos >= format.size() || (format[pos] != u's' && format[pos] != u'S')) return std::nullopt;
    ++pos;
    std::u16string text;
    if (argIndex < args.size()) {
      text = args[argIndex];
    } else if (!missingAsEmpty) {
      return std::nullopt;
    }
    nextArg = argIndex + 1;
    if (precision && text.size() > *precision) text.resize(*precision);
    std::u16string padding(width > text.size() ? width - text.size() : 0, u' ');
    result += leftAlign ? text + padding : padding + text;
  }
  return result;
}

}  // namespace varnolt
