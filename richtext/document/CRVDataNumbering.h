#pragma once
// Numbering of sequence items (sequences, footnotes, endnotes) and of list
// markers. The outermost document keeps one list of each in document order;
// items of nested documents count at the place of the item holding them.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnolt {

class TCustomRVData;
class TCustomRVItemInfo;
class TRVSeqItemInfo;
class TRVMarkerItemInfo;

struct TRVMarkerLevelState {
  int Position = -1;  // in the marker list
  std::int32_t Counter = 0;
};

// The most recent marker of each level of one list style.
using TRVListLevelStates = std::map<std::int32_t, TRVMarkerLevelState>;

struct TRVNumberingLists {
  std::vector<TRVSeqItemInfo*> Sequences;
  std::vector<TRVMarkerItemInfo*> Markers;
  // Level states after the last marker, per list style, so that appending a
  // marker at the end does not walk the whole list again.
  std::map<std::int32_t, TRVListLevelStates> EndStates;
  bool EndStatesValid = false;
};

// Called by a document once the item at index has entered it, and before it
// leaves; both cover the documents the item holds.
void RegisterNumberedItems(TCustomRVData& data, int index);
void UnregisterNumberedItems(TCustomRVData& data, int index);
// Whether the item, or a document it holds, has sequence items or markers.
bool HoldsNumberedItems(const TCustomRVItemInfo& item);

// Format strings with string arguments only: "%s", "%0:s", widths,
// precision and "%%". Empty when the format needs an argument it does not
// have (unless missingAsEmpty) or a conversion other than "s".
std::optional<std::u16string> FormatWithStrings(std::u16string_view format, const std::vector<std::u16string>& args,
                                                bool missingAsEmpty);

}  // namespace varnolt
