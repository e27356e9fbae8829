#pragma once
// Runs the real varnolt program in the ways the batch mode meets in use: with
// its standard output on a full device, as an ordinary user that cannot read
// root's files, with a given environment, or on a terminal.
#include <fcntl.h>
#include <grp.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/TestData.h"

namespace varnolt::test {

struct VarnoltRun {
  int exitCode = -1;
  std::string standardOutput;
  std::string standardError;  // on a terminal: everything the terminal showed
};

struct VarnoltSetting {
  std::vector<std::pair<std::string, std::string>> environment;
  std::string standardOutputFile;  // empty: captured
  bool asNobody = false;           // drop root's rights before starting
  rlim_t addressSpaceLimit = RLIM_INFINITY;
};

inline std::vector<char*> ArgumentVector(std::vector<std::string>& arguments) {
  arguments.insert(arguments.begin(), VARNOLT_EXECUTABLE);
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return argv;
}

inline int ExitCodeOf(pid_t child) {
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline VarnoltRun RunVarnoltWith(std::vector<std::string> arguments, const VarnoltSetting& setting) {
  ScratchDir capture;
  const auto outPath = setting.standardOutputFile.empty() ? (capture / "out").string() : setting.standardOutputFile;
  const auto errPath = (capture / "err").string();
  auto argv = ArgumentVector(arguments);
  const pid_t child = ::fork();
  if (child == 0) {
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || ::dup2(out, STDOUT_FILENO) < 0 || ::dup2(err, STDERR_FILENO) < 0) ::_exit(126);
    for (const auto& [name, value] : setting.environment) ::setenv(name.c_str(), value.c_str(), 1);
    const rlimit limit{setting.addressSpaceLimit, setting.addressSpaceLimit};
    if (setting.addressSpaceLimit != RLIM_INFINITY && ::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(126);
    constexpr uid_t kNobody = 65534;
    if (setting.asNobody && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(126);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  VarnoltRun run;
  run.exitCode = ExitCodeOf(child);
  if (setting.standardOutputFile.empty()) run.standardOutput = ReadFileBytes(outPath);
  run.standardError = ReadFileBytes(errPath);
  return run;
}

// Standard error (and output) on a terminal, as a person at a console sees them.
inline VarnoltRun RunVarnoltOnTerminal(std::vector<std::string> arguments) {
  auto argv = ArgumentVector(arguments);
  int terminal = -1;
  const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  VarnoltRun run;
  char buffer[4096];
  for (;;) {
    const ssize_t count = ::read(terminal, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;  // EIO once the program has ended
    run.standardError.append(buffer, static_cast<size_t>(count));
  }
  ::close(terminal);
  run.exitCode = ExitCodeOf(child);
  return run;
}

}  // namespace varnolt::test
