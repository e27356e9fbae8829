#include <algorithm>
#include <functional>
#include <set>

#include "richtext/style/RVStyle.h"

namespace varnolt {

namespace {

using NumberMap = std::vector<std::int32_t>;

// A number read from a stored table: a link past the map's end would read
// outside it, so it becomes "none".
std::int32_t Renumbered(std::int32_t number, const NumberMap& map) {
  if (number < 0) return number;
  if (static_cast<std::size_t>(number) >= map.size()) return -1;
  return map[static_cast<std::size_t>(number)];
}

void TakeIdentifier(TCustomRVInfo&, const TCustomRVInfo&) {}

void TakeIdentifier(TRVListInfo& copy, const TRVListInfo& source) { copy.SetListID(source.ListID()); }

template <typename T>
int Append(TCustomRVInfos<T>& target, const T& source, bool takeIdentifier, const TRVStyleAddedEvent& document) {
  T& copy = target.AddCopy(source);
  if (takeIdentifier) TakeIdentifier(copy, source);
  const int number = target.Count() - 1;
  if (document) document(copy, number);
  return number;
}

// The number of an equal target entry, trying the same number first; -1 if none.
template <typename T>
int FindEqual(const TCustomRVInfos<T>& target, const T& source, int sourceIndex, const NumberMap& map,
              const std::function<bool(int)>& excluded) {
  auto matches = [&](int i) { return !excluded(i) && target.Items(i).EqualsUsingMap(source, map); };
  if (sourceIndex < target.Count() && matches(sourceIndex)) return sourceIndex;
  for (int i = 0; i < target.Count(); ++i) {
    if (matches(i)) return i;
  }
  return -1;
}

// The first of the candidates with the strictly highest score; -1 when none is a candidate.
template <typename T, typename Accept>
int MostSimilar(const TCustomRVInfos<T>& target, const T& source, Accept accept) {
  int best = -1;
  std::int32_t bestScore = 0;
  for (int i = 0; i < target.Count(); ++i) {
    const T& candidate = target.Items(i);
    if (!accept(candidate)) continue;
    const std::int32_t score = source.SimilarityScore(candidate);
    if (best < 0 || score > bestScore) {
      best = i;
      bestScore = score;
    }
  }
  return best;
}

template <typename T>
int MapTo(const TCustomRVInfos<T>& target, const T& source) {
  return MostSimilar(target, source, [](const T&) { return true; });
}

int MapTo(const TCustomRVInfos<TFontInfo>& target, const TFontInfo& source) {
  int found = MostSimilar(target, source, [&](const TFontInfo& candidate) {
    return candidate.Jump == source.Jump && candidate.Unicode == source.Unicode;
  });
  if (found < 0) found = MostSimilar(target, source, [&](const TFontInfo& c) { return c.Jump == source.Jump; });
  if (found < 0) found = MostSimilar(target, source, [&](const TFontInfo& c) { return c.Unicode == source.Unicode; });
  if (found < 0) found = MostSimilar(target, source, [](const TFontInfo&) { return true; });
  return found;
}

void RenumberLinks(TFontInfo& entry, const NumberMap& map, const NumberMap*) {
  entry.NextStyleNo = Renumbered(entry.NextStyleNo, map);
}

void RenumberLinks(TParaInfo& entry, const NumberMap& map, const NumberMap* textMap) {
  entry.NextParaNo = Renumbered(entry.NextParaNo, map);
  if (textMap != nullptr) entry.DefStyleNo = Renumbered(entry.DefStyleNo, *textMap);
}

void RenumberLinks(TRVListInfo&, const NumberMap&, const NumberMap*) {}

template <typename T>
bool IsNumberedList(const T&) {
  return false;
}

bool IsNumberedList(const TRVListInfo& list) { return list.HasNumbering(); }

template <typename T>
void Merge(TCustomRVInfos<T>& target, const TCustomRVInfos<T>& source, TRVStyleMergeMode mode,
           const TRVStyleAddedEvent& document, NumberMap& map, const NumberMap* textMap) {
  map.clear();
  map.reserve(static_cast<std::size_t>(source.Count()));
  const int oldCount = target.Count();
  // Numbered lists keep their own counters, so two of them never share one target list.
  std::set<int> takenByNumberedList;
  auto excluded = [&takenByNumberedList](int i) { return takenByNumberedList.count(i) != 0; };
  for (int i = 0; i < source.Count(); ++i) {
    const T& entry = source.Items(i);
    int number = -1;
    switch (mode) {
      case rvmmMerge:
        number = FindEqual(target, entry, i, map, excluded);
        if (number < 0) number = Append(target, entry, true, document);
        if (IsNumberedList(entry)) takenByNumberedList.insert(number);
        break;
      case rvmmMap:
        // An empty table maps to 0, which resolves to the invalid-index entry;
        // -1 would turn a text item into a horizontal line.
        number = std::max(MapTo(target, entry), 0);
        break;
      case rvmmAppend:
        number = Append(target, entry, false, document);
        break;
    }
    map.push_back(number);
  }
  for (int n = oldCount; n < target.Count(); ++n) {
    T& appended = target.Items(n);
    appended.SetStandard(false);
    appended.SetBaseStyleNo(Renumbered(appended.BaseStyleNo(), map));
    RenumberLinks(appended, map, textMap);
  }
}

}  // namespace

void MergeStyleTable(TFontInfos& target, const TFontInfos& source, TRVStyleMergeMode mode,
                     const TRVStyleAddedEvent& document, std::vector<std::int32_t>& map) {
  Merge(target, source, mode, document, map, nullptr);
}

void MergeStyleTable(TParaInfos& target, const TParaInfos& source, TRVStyleMergeMode mode,
                     const TRVStyleAddedEvent& document, std::vector<std::int32_t>& map,
                     const std::vector<std::int32_t>* textMap) {
  Merge(target, source, mode, document, map, textMap);
}

void MergeStyleTable(TRVListInfos& target, const TRVListInfos& source, TRVStyleMergeMode mode,
                     const TRVStyleAddedEvent& document, std::vector<std::int32_t>& map) {
  Merge(target, source, mode, document, map, nullptr);
}

}  // namespace varnolt
