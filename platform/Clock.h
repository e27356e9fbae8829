#pragma once
// The system's only source of the current time, so that tests can fix it
// (a PDF's ModDate, a stored creation date).
#include <functional>

namespace varnolt {

// Local civil time, as the writer prints it.
struct LocalDateTime {
  int year = 0;
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int second = 0;  // 0..59

  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

LocalDateTime Now();

using ClockFunction = std::function<LocalDateTime()>;

// Replaces the clock until the guard goes; nesting restores in order.
class ScopedClock {
 public:
  explicit ScopedClock(ClockFunction clock);
  explicit ScopedClock(LocalDateTime fixed);
  ~ScopedClock();
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  ClockFunction previous_;
};

}  // namespace varnolt
