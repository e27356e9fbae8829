#include "platform/Random.h"

namespace varnolt {

std::mt19937& Random::Engine() {
  static std::mt19937 engine{std::random_device{}()};
  return engine;
}

void Random::Seed(std::uint32_t seed) { Engine().seed(seed); }

std::int32_t Random::Next(std::int32_t range) {
  if (range <= 0) return 0;
  std::uniform_int_distribution<std::int32_t> pick(0, range - 1);
  return pick(Engine());
}

}  // namespace varnolt
