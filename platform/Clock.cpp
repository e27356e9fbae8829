#include "platform/Clock.h"

#include <ctime>
#include <utility>

namespace varnolt {

namespace {
LocalDateTime SystemNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

ClockFunction& CurrentClock() {
  static ClockFunction clock = SystemNow;
  return clock;
}
}  // namespace

LocalDateTime Now() { return CurrentClock()(); }

ScopedClock::ScopedClock(ClockFunction clock) : previous_(std::exchange(CurrentClock(), std::move(clock))) {}

ScopedClock::ScopedClock(LocalDateTime fixed) : ScopedClock(ClockFunction([fixed] { return fixed; })) {}

ScopedClock::~ScopedClock() { CurrentClock() = std::move(previous_); }

}  // namespace varnolt
