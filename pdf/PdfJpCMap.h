#pragma once
// The code-to-CID table of the predefined CMap "UniGB-UCS2-H": UTF-16 code
// units to CIDs of the Adobe-GB1 character collection, for measuring text
// that the composite fonts show.
#include <cstdint>
#include <span>
#include <string_view>

namespace varnolt {

// Codes FirstCode..LastCode map to FirstCid, FirstCid + 1, ...
struct TPdfCMapRow {
  std::uint16_t FirstCode;
  std::uint16_t LastCode;
  std::uint16_t FirstCid;
};

// (text, 1-based position) -> CID; -1 when the position holds no character
// of its own (the second half of a surrogate pair, or out of range).
using TPdfCharToCid = std::int32_t (*)(std::u16string_view text, std::size_t position);

// The rows of "UniGB-UCS2-H", sorted by first code and without overlaps.
std::span<const TPdfCMapRow> UniGbUcs2HRows();

// The CID of a code in rows sorted by first code without overlaps, found by
// binary search; 0 when no row holds the code.
std::int32_t CidOfCode(std::span<const TPdfCMapRow> rows, std::uint32_t code);

// The composite fonts' lookup through "UniGB-UCS2-H". A high surrogate
// stands for a code beyond every row (CID 0); a low surrogate has no CID of
// its own (-1).
std::int32_t UniGbUcs2HCharToCid(std::u16string_view text, std::size_t position);

}  // namespace varnolt
