#include "platform/Paths.h"

namespace varnolt {

std::filesystem::path ExecutableDir() {
  std::error_code error;
  auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error);
  return executable.parent_path();
}

}  // namespace varnolt
