#pragma once
// The batch mode: every input becomes one page through the window's own
// commands, and the project is written by the export the output names.
#include <ostream>
#include <string>
#include <vector>

namespace varnolt {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitCommandFailed = 1;
inline constexpr int kExitUsage = 2;

// The whole program: arguments without the program name; returns the exit status.
int RunVarnolt(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, bool showProgress);
// The same for the program itself: ends the process with the exit status,
// leaving the project's pages to the system instead of freeing them.
[[noreturn]] void RunVarnoltAndExit(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                                    bool showProgress);

}  // namespace varnolt
