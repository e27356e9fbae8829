#pragma once
// The one base of every error the system raises; subclasses carry the
// behaviour's own names and exact messages.
#include <stdexcept>
#include <string>

namespace varnolt {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

}  // namespace varnolt
