#pragma once
// The one pseudo-random source (list and style-template identifiers); tests
// fix the seed so that written files are the same bytes every time.
#include <cstdint>
#include <random>

namespace varnolt {

class Random {
 public:
  // A value in [0, range), as the original's Random(range); 0 for range <= 0.
  static std::int32_t Next(std::int32_t range);
  static void Seed(std::uint32_t seed);

 private:
  static std::mt19937& Engine();
};

// Seeds the generator for a scope and restores a fresh unpredictable one after.
class ScopedRandomSeed {
 public:
  explicit ScopedRandomSeed(std::uint32_t seed) { Random::Seed(seed); }
  ~ScopedRandomSeed() { Random::Seed(std::random_device{}()); }
  ScopedRandomSeed(const ScopedRandomSeed&) = delete;
  ScopedRandomSeed& operator=(const ScopedRandomSeed&) = delete;
};

}  // namespace varnolt
