#include "platform/Color.h"

#include <gtest/gtest.h>

namespace varnolt {
namespace {

TEST(ColorTest, ColorToRGB) {
  struct Case {
    TColor color;
    TColor rgb;
  };
  const Case cases[] = {
      {0x00336699, 0x336699},  // an RGB colour as it is
      {0x12336699, 0x336699},  // the top byte of an RGB colour is not colour
      {clNone, 0xFFFFFF},      // no colour reads as white (paper)
      {0xFF000000, 0xC8C8C8},  // the first system colour: scroll bars
      {0xFF000005, 0xFFFFFF},  // window background
      {0xFF000008, 0x000000},  // window text, the RTF automatic colour
      {0xFF00001E, 0xF0F0F0},  // the last one in the scheme
      {0xFF00001F, 0x000000},  // beyond the scheme: black
      {0x80000005, 0xFFFFFF},  // any negative value names a system colour
  };
  for (const Case& c : cases) EXPECT_EQ(ColorToRGB(c.color), c.rgb) << std::hex << c.color;
}

}  // namespace
}  // namespace varnolt
