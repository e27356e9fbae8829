#include "pdf/PdfJpCMap.h"

#include <gtest/gtest.h>

#include <vector>

namespace varnolt {
namespace {

TEST(PdfJpCMapTest, TheTableHoldsThePublishedRowsSortedWithoutOverlaps) {
  std::span<const TPdfCMapRow> rows = UniGbUcs2HRows();
  ASSERT_EQ(rows.size(), 13825u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ASSERT_LE(rows[i].FirstCode, rows[i].LastCode) << "row " << i;
    if (i > 0) {
      ASSERT_LT(rows[i - 1].LastCode, rows[i].FirstCode) << "row " << i;
    }
  }
  EXPECT_EQ(rows.front().FirstCode, 32);
  EXPECT_EQ(rows.front().LastCode, 126);
  EXPECT_EQ(rows.front().FirstCid, 1);
  EXPECT_EQ(rows.back().FirstCode, 0xFFE5);
  EXPECT_EQ(rows.back().FirstCid, 265);
}

TEST(PdfJpCMapTest, TellingCodesMapToTheirCids) {
  const struct {
    char16_t code;
    std::int32_t cid;
  } cases[] = {
      {32, 1},       {u'A', 34},     {126, 95},      {164, 167},     {165, 22354},  {167, 171},
      {168, 102},    {176, 162},     {177, 127},     {215, 128},     {0x00E9, 673}, {0x0391, 525},
      {0x03B1, 549}, {0x3000, 96},   {0x4E00, 4162}, {0x4E2D, 4559}, {0xFFE0, 168}, {0xFFE1, 169},
      {0xFFE2, 10014}, {0xFFE3, 355}, {0xFFE4, 10015}, {0xFFE5, 265},
      // No row: control codes, DEL, the gap after the last row.
      {9, 0},        {31, 0},        {127, 0},       {0xFFFF, 0},    {0xFF61, 0},
  };
  for (const auto& c : cases) {
    std::u16string text(1, c.code);
    EXPECT_EQ(UniGbUcs2HCharToCid(text, 1), c.cid) << "U+" << std::hex << static_cast<int>(c.code);
  }
}

// Row by row, what the scan of every row finds for each code: with sorted
// rows that do not overlap, the one row that holds it.
std::vector<std::int32_t> CidsByRowScan(std::span<const TPdfCMapRow> rows) {
  std::vector<std::int32_t> cids(0x10000, 0);
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    for (std::uint32_t code = row->FirstCode; code <= row->LastCode; ++code) {
      cids[code] = static_cast<std::int32_t>(row->FirstCid + (code - row->FirstCode));
    }
  }
  return cids;
}

TEST(PdfJpCMapTest, TheSearchFindsWhatTheRowScanFindsForEveryCode) {
  std::vector<std::int32_t> expected = CidsByRowScan(UniGbUcs2HRows());
  for (std::uint32_t code = 0; code < 0x10000; ++code) {
    ASSERT_EQ(CidOfCode(UniGbUcs2HRows(), code), expected[code]) << "code " << code;
  }
  EXPECT_EQ(CidOfCode(UniGbUcs2HRows(), 0xD840DC), 0);
  EXPECT_EQ(CidOfCode({}, u'A'), 0);
}

TEST(PdfJpCMapTest, TheSearchHandlesTheEdgesOfASmallTable) {
  const TPdfCMapRow rows[] = {{10, 12, 100}, {13, 13, 7}, {20, 29, 300}};
  const std::pair<std::uint32_t, std::int32_t> cases[] = {
      {0, 0}, {9, 0}, {10, 100}, {12, 102}, {13, 7}, {14, 0}, {19, 0}, {20, 300}, {29, 309}, {30, 0}, {0x10000, 0},
  };
  for (auto [code, cid] : cases) EXPECT_EQ(CidOfCode(rows, code), cid) << "code " << code;
}

TEST(PdfJpCMapTest, SurrogatesAndPositionsOutsideTheText) {
  const std::u16string pair = u"\U00020000";  // D840 DC00
  EXPECT_EQ(UniGbUcs2HCharToCid(pair, 1), 0);   // beyond every row
  EXPECT_EQ(UniGbUcs2HCharToCid(pair, 2), -1);  // no character of its own
  EXPECT_EQ(UniGbUcs2HCharToCid(pair.substr(0, 1), 1), 0);
  EXPECT_EQ(UniGbUcs2HCharToCid(u"\xDC00" u"A", 1), -1);
  EXPECT_EQ(UniGbUcs2HCharToCid(u"AB", 2), 35);
  EXPECT_EQ(UniGbUcs2HCharToCid(u"AB", 0), -1);
  EXPECT_EQ(UniGbUcs2HCharToCid(u"AB", 3), -1);
}

}  // namespace
}  // namespace varnolt
