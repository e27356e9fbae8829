#include "pdf/PdfJpCMap.h"

#include <algorithm>
#include <array>

namespace varnolt {

namespace {

#include "data/unigb-ucs2-h.inc"

constexpr char16_t kHighSurrogateFirst = 0xD800;
constexpr char16_t kHighSurrogateLast = 0xDBFF;
constexpr char16_t kLowSurrogateFirst = 0xDC00;
constexpr char16_t kLowSurrogateLast = 0xDFFF;

bool IsHighSurrogate(char16_t c) { return c >= kHighSurrogateFirst && c <= kHighSurrogateLast; }
bool IsLowSurrogate(char16_t c) { return c >= kLowSurrogateFirst && c <= kLowSurrogateLast; }

// Where the rows starting in each block of 16 codes begin: a search then
// only halves the few rows near the code, which keeps measuring Chinese
// text fast.
class TRowIndex {
 public:
  static constexpr unsigned kBlockBits = 4;
  static constexpr std::size_t kBlocks = 0x10000 >> kBlockBits;

  constexpr explicit TRowIndex(std::span<const TPdfCMapRow> rows) : rows_(rows) {
    std::size_t row = 0;
    for (std::size_t block = 0; block <= kBlocks; ++block) {
      while (row < rows.size() && rows[row].FirstCode < (block << kBlockBits)) ++row;
      starts_[block] = static_cast<std::uint16_t>(row);
    }
  }

  std::int32_t Cid(std::uint32_t code) const {
    if (code > 0xFFFF) return 0;
    // A row holding the code starts in the code's block or is the last one before it.
    std::size_t block = code >> kBlockBits;
    std::size_t from = starts_[block] > 0 ? starts_[block] - 1u : 0u;
    return CidOfCode(rows_.subspan(from, starts_[block + 1] - from), code);
  }

 private:
  std::span<const TPdfCMapRow> rows_;
  std::array<std::uint16_t, kBlocks + 1> starts_{};
};

static_assert(std::size(kUniGbUcs2HRows) <= 0xFFFF, "row positions must fit the index");
constexpr TRowIndex kUniGbUcs2HIndex(kUniGbUcs2HRows);

}  // namespace

std::span<const TPdfCMapRow> UniGbUcs2HRows() { return kUniGbUcs2HRows; }

std::int32_t CidOfCode(std::span<const TPdfCMapRow> rows, std::uint32_t code) {
  // The last row starting at or before the code is the only one that can hold it.
  auto after = std::upper_bound(rows.begin(), rows.end(), code,
                                [](std::uint32_t value, const TPdfCMapRow& row) { return value < row.FirstCode; });
  if (after == rows.begin()) return 0;
  const TPdfCMapRow& row = *(after - 1);
  if (code > row.LastCode) return 0;
  return static_cast<std::int32_t>(row.FirstCid + (code - row.FirstCode));
}

std::int32_t UniGbUcs2HCharToCid(std::u16string_view text, std::size_t position) {
  if (position < 1 || position > text.size()) return -1;
  char16_t unit = text[position - 1];
  if (IsLowSurrogate(unit)) return -1;
  std::uint32_t code = unit;
  if (IsHighSurrogate(unit)) {
    // Joined with the next unit the code lies above every 16-bit row.
    std::uint32_t next = position < text.size() ? text[position] : 0;
    code = code * 256 + next;
  }
  return kUniGbUcs2HIndex.Cid(code);
}

}  // namespace varnolt
