#pragma once
// The style sheet's tables as property streams: a collection with one entry
// per style, each the style's properties that differ from a new entry's.
#include <string>
#include <string_view>

#include "richtext/style/RVStyle.h"

namespace varnolt {

// A stored table with more entries fails to read; no real document comes
// near it, and merging grows with the square of the count.
inline constexpr int kMaxStoredStyles = 4096;

std::string WriteTextStyleTable(const TFontInfos& table);
std::string WriteParaStyleTable(const TParaInfos& table);
std::string WriteListStyleTable(const TRVListInfos& table);

// Each fills an empty table; EReadError for a malformed stream.
void ReadTextStyleTable(std::string_view bytes, TFontInfos& table);
void ReadParaStyleTable(std::string_view bytes, TParaInfos& table);
void ReadListStyleTable(std::string_view bytes, TRVListInfos& table);

}  // namespace varnolt
