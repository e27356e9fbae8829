#include "platform/Clock.h"
#include "platform/Random.h"

#include <gtest/gtest.h>

#include <vector>

namespace varnolt {
namespace {

TEST(ClockTest, ScopedClockFixesAndRestoresTheTime) {
  const LocalDateTime fixed{2024, 2, 29, 23, 59, 58};
  {
    ScopedClock guard(fixed);
    EXPECT_EQ(Now(), fixed);
    {
      ScopedClock inner(LocalDateTime{2000, 1, 1, 0, 0, 0});
      EXPECT_EQ(Now().year, 2000);
    }
    EXPECT_EQ(Now(), fixed);
  }
  EXPECT_GE(Now().year, 2024);
}

TEST(RandomTest, SeedMakesTheSequenceRepeatable) {
  auto draw = [] {
    std::vector<std::int32_t> values;
    for (int i = 0; i < 20; ++i) values.push_back(Random::Next(1000));
    return values;
  };
  std::vector<std::int32_t> first, second;
  {
    ScopedRandomSeed seed(42);
    first = draw();
  }
  {
    ScopedRandomSeed seed(42);
    second = draw();
  }
  EXPECT_EQ(first, second);
  for (auto v : first) {
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 1000);
  }
  EXPECT_EQ(Random::Next(0), 0);
  EXPECT_EQ(Random::Next(-5), 0);
}

}  // namespace
}  // namespace varnolt
