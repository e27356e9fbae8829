#include <unistd.h>

#include <iostream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/Batch.h"
#include "cli/BatchOptions.h"

#ifdef VARNOLT_WITH_WINDOW
#include "gui/MainWindow.h"

namespace {

// No input, or --window, opens the window; that is decided here, before
// anything of Qt is started, so the batch mode never loads a display platform.
std::optional<varnolt::TParsedCommandLine> WindowLine(const std::vector<std::string>& arguments) {
  const auto parsed = varnolt::ParseCommandLine(arguments);
  const auto* line = std::get_if<varnolt::TParsedCommandLine>(&parsed);
  if (line == nullptr || line->request != varnolt::TBatchRequest::kWindow) return std::nullopt;
  return *line;
}

}  // namespace
#endif

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
#ifdef VARNOLT_WITH_WINDOW
  if (const auto window = WindowLine(arguments)) {
    if (!varnolt::DisplayAvailable()) {
      std::cerr << "varnolt: no display found; to convert without a window run varnolt INPUT... -o OUTPUT "
                   "(see varnolt --help)\n";
      return varnolt::kExitUsage;
    }
    const bool joinRunningWindow = !arguments.empty();
    return varnolt::RunMainWindow(argc, argv, window->options.inputs, joinRunningWindow);
  }
#endif
  varnolt::RunVarnoltAndExit(arguments, std::cout, std::cerr, ::isatty(STDERR_FILENO) != 0);
}
