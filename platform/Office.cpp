#include "platform/Office.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string_view>
#include <thread>

#include "platform/FileContents.h"
#include "platform/TemporaryCleanup.h"

extern char** environ;

namespace varnolt {

namespace {

constexpr std::chrono::seconds kDefaultOfficeTimeLimit{120};
// How long a stopped group gets to end by itself before it is killed.
constexpr std::chrono::milliseconds kTerminateGrace{500};
constexpr std::string_view kSheetWritten = "Writing sheet ";
constexpr std::string_view kWrittenTo = " -> ";

using Clock = std::chrono::steady_clock;

bool IsExecutableFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

// Closes both ends of a pipe and the spawn settings however the start ends.
struct SpawnResources {
  int pipeEnds[2] = {-1, -1};
  posix_spawn_file_actions_t actions{};
  posix_spawnattr_t attributes{};
  bool initialised = false;

  ~SpawnResources() {
    for (int end : pipeEnds) {
      if (end >= 0) ::close(end);
    }
    if (initialised) {
      posix_spawn_file_actions_destroy(&actions);
      posix_spawnattr_destroy(&attributes);
    }
  }
};

// The environment with TMPDIR replaced, when a folder is given.
std::vector<std::string> EnvironmentWith(const std::optional<std::filesystem::path>& temporaryFolder) {
  std::vector<std::string> variables;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (!temporaryFolder || !std::string_view(*variable).starts_with("TMPDIR=")) variables.emplace_back(*variable);
  }
  if (temporaryFolder) variables.push_back("TMPDIR=" + temporaryFolder->string());
  return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (auto& string : strings) pointers.push_back(string.data());
  pointers.push_back(nullptr);
  return pointers;
}

pid_t SpawnInOwnGroup(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const std::optional<std::filesystem::path>& temporaryFolder, SpawnResources& resources) {
  if (::pipe2(resources.pipeEnds, O_CLOEXEC) != 0) throw EOfficeError("Cannot start " + program.string());
  posix_spawn_file_actions_init(&resources.actions);
  posix_spawnattr_init(&resources.attributes);
  resources.initialised = true;
  posix_spawn_file_actions_addopen(&resources.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&resources.actions, resources.pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&resources.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  // The caller blocks the clean-up signals until the group is watched; the
  // office suite starts with none blocked.
  sigset_t noSignals;
  sigemptyset(&noSignals);
  posix_spawnattr_setsigmask(&resources.attributes, &noSignals);
  posix_spawnattr_setflags(&resources.attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
  posix_spawnattr_setpgroup(&resources.attributes, 0);

  const std::string programName = program.string();
  std::vector<std::string> copies = arguments;
  copies.insert(copies.begin(), programName);
  std::vector<char*> argv = Pointers(copies);
  std::vector<std::string> variables = EnvironmentWith(temporaryFolder);
  std::vector<char*> envp = Pointers(variables);
  pid_t child = 0;
  const int error =
      posix_spawn(&child, programName.c_str(), &resources.actions, &resources.attributes, argv.data(), envp.data());
  if (error != 0) throw EOfficeError("Cannot start " + programName + ": " + std::strerror(error));
  ::close(resources.pipeEnds[1]);
  resources.pipeEnds[1] = -1;
  return child;
}

// Reads what is there without waiting; false once the pipe is closed.
bool DrainPipe(int descriptor, std::string& into, int waitMilliseconds) {
  pollfd ready{descriptor, POLLIN, 0};
  if (::poll(&ready, 1, waitMilliseconds) <= 0) return true;
  std::array<char, 4096> buffer;
  const ssize_t count = ::read(descriptor, buffer.data(), buffer.size());
  if (count > 0) {
    into.append(buffer.data(), static_cast<size_t>(count));
    return true;
  }
  return count < 0 && errno == EINTR;
}

void StopGroup(pid_t group) {
  ::kill(-group, SIGTERM);
  const auto until = Clock::now() + kTerminateGrace;
  while (Clock::now() < until && ::kill(-group, 0) == 0) {
    ::waitpid(group, nullptr, WNOHANG);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(-group, SIGKILL);
}

std::string ExtensionOfFilter(const std::string& filter) { return filter.substr(0, filter.find(':')); }

std::string LimitText() {
  return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(OfficeTimeLimit()).count()) + " s";
}

// The sheet files LibreOffice reports writing for input, in sheet order.
std::vector<std::filesystem::path> SheetFilesOf(const std::string& output, const std::filesystem::path& input) {
  std::vector<std::filesystem::path> files;
  const std::string start = "convert " + input.string() + " ";
  bool inInput = false;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("convert ")) inInput = line.starts_with(start);
    const auto arrow = line.rfind(kWrittenTo);
    if (inInput && line.starts_with(kSheetWritten) && arrow != std::string::npos) {
      std::filesystem::path file = line.substr(arrow + kWrittenTo.size());
      std::error_code error;
      if (std::filesystem::is_regular_file(file, error)) files.push_back(file);
    }
  }
  return files;
}

bool IsNonEmptyFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error) && std::filesystem::file_size(path, error) > 0;
}

// Inputs split so that no two in one group share a file name (their
// outputs would overwrite each other).
std::vector<std::vector<std::filesystem::path>> GroupsWithDistinctNames(const std::vector<std::filesystem::path>& inputs) {
  std::vector<std::vector<std::filesystem::path>> groups;
  std::vector<std::set<std::string>> names;
  for (const auto& input : inputs) {
    const std::string stem = input.stem().string();
    size_t group = 0;
    while (group < groups.size() && names[group].contains(stem)) ++group;
    if (group == groups.size()) {
      groups.emplace_back();
      names.emplace_back();
    }
    groups[group].push_back(input);
    names[group].insert(stem);
  }
  return groups;
}

}  // namespace

OfficeProcessResult RunInOwnProcessGroup(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                                         std::chrono::milliseconds limit,
                                         const std::optional<std::filesystem::path>& temporaryFolder) {
  SpawnResources resources;
  // A signal between the start and the watch would leave the group running.
  sigset_t cleanupSignals;
  sigset_t previous;
  sigemptyset(&cleanupSignals);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&cleanupSignals, signal);
  pthread_sigmask(SIG_BLOCK, &cleanupSignals, &previous);
  pid_t child = 0;
  try {
    child = SpawnInOwnGroup(program, arguments, temporaryFolder, resources);
  } catch (...) {
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    throw;
  }
  WatchProcessGroup(child);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  struct Unwatch {
    pid_t group;
    ~Unwatch() { UnwatchProcessGroup(group); }
  } unwatch{child};
  OfficeProcessResult result;
  const auto deadline = Clock::now() + limit;
  bool pipeOpen = true;
  int status = 0;
  for (;;) {
    const pid_t ended = ::waitpid(child, &status, WNOHANG);
    if (ended == child) break;
    if (Clock::now() >= deadline) {
      result.timedOut = true;
      StopGroup(child);
      ::waitpid(child, &status, 0);
      return result;
    }
    if (pipeOpen) {
      pipeOpen = DrainPipe(resources.pipeEnds[0], result.standardOutput, 50);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  // What is left in the pipe, without waiting for what the program left behind.
  while (pipeOpen) {
    pollfd ready{resources.pipeEnds[0], POLLIN, 0};
    if (::poll(&ready, 1, 0) <= 0) break;
    pipeOpen = DrainPipe(resources.pipeEnds[0], result.standardOutput, 0);
  }
  // Whatever the program left running in its group goes with it.
  ::kill(-child, SIGKILL);
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  return result;
}

namespace {

struct TOfficeTimeLimit {
  std::chrono::milliseconds limit = kDefaultOfficeTimeLimit;
  std::optional<std::string> problem;
};

// Read each time: tests and a long-running window may change it.
TOfficeTimeLimit ReadOfficeTimeLimit() {
  const char* value = std::getenv("VARNOLT_OFFICE_TIMEOUT");
  if (value == nullptr || *value == '\0') return {};
  const char* end = value + std::strlen(value);
  double seconds = 0;
  auto [stop, error] = std::from_chars(value, end, seconds);
  if (error == std::errc() && stop == end && seconds > 0 && seconds < 86400) {
    return {std::chrono::milliseconds(static_cast<std::int64_t>(seconds * 1000)), std::nullopt};
  }
  return {kDefaultOfficeTimeLimit, "VARNOLT_OFFICE_TIMEOUT=" + std::string(value) +
                                       " is no number of seconds above 0 and below 86400; " +
                                       std::to_string(kDefaultOfficeTimeLimit.count()) + " s are used"};
}

}  // namespace

std::chrono::milliseconds OfficeTimeLimit() { return ReadOfficeTimeLimit().limit; }

std::optional<std::string> OfficeTimeLimitProblem() { return ReadOfficeTimeLimit().problem; }

bool StartsAsZipPackage(const std::filesystem::path& file) {
  // A local file header, or the end record of an empty package.
  constexpr std::string_view kSignatures[] = {{"PK\x03\x04", 4}, {"PK\x05\x06", 4}};
  std::ifstream in(file, std::ios::binary);
  char start[4] = {};
  if (!in.read(start, sizeof start)) return false;
  const std::string_view bytes(start, sizeof start);
  return std::any_of(std::begin(kSignatures), std::end(kSignatures), [&](std::string_view s) { return s == bytes; });
}

bool IsPackageNameWithoutPackage(const std::filesystem::path& file) {
  static const std::set<std::string> kPackageExtensions = {".docx", ".xlsx", ".odt", ".ods"};
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return kPackageExtensions.contains(extension) && !StartsAsZipPackage(file);
}

std::optional<std::filesystem::path> FindSoffice() {
  if (const char* chosen = std::getenv("VARNOLT_SOFFICE"); chosen != nullptr && *chosen != '\0') {
    if (IsExecutableFile(chosen)) return std::filesystem::path(chosen);
    return std::nullopt;
  }
  const char* path = std::getenv("PATH");
  std::istringstream folders(path == nullptr ? "" : path);
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (folder.empty()) continue;
    const auto candidate = std::filesystem::path(folder) / "soffice";
    if (IsExecutableFile(candidate)) return candidate;
  }
  return std::nullopt;
}

bool Office::Connect() {
  soffice_ = FindSoffice();
  return soffice_.has_value();
}

Office::Key Office::KeyOf(const std::string& filter, const std::filesystem::path& absolute) {
  std::error_code error;
  const auto size = std::filesystem::file_size(absolute, error);
  const auto modified = std::filesystem::last_write_time(absolute, error);
  return {filter, absolute, error ? 0 : size, error ? std::filesystem::file_time_type() : modified};
}

OfficeProcessResult Office::RunConversion(const std::vector<std::filesystem::path>& inputs, const std::string& filter,
                                          std::map<Key, std::vector<std::string>>& results) {
  if (!soffice_ && !Connect()) throw EOfficeError("LibreOffice is not installed");
  std::vector<Key> keys;
  for (const auto& input : inputs) keys.push_back(KeyOf(filter, input));
  // The documents it converted are users' documents: none outlives the run.
  TemporaryFolder work("varnolt-office-");
  const auto profile = work / "profile";
  const auto outFolder = work / "out";
  std::filesystem::create_directory(outFolder);
  // What LibreOffice itself leaves in its temporary folder goes with ours.
  const auto officeTemporary = work / "tmp";
  std::filesystem::create_directory(officeTemporary);
  std::vector<std::string> arguments = {"--headless", "--norestore", "--nologo", "--nolockcheck",
                                        "-env:UserInstallation=file://" + profile.string(), "--convert-to", filter,
                                        "--outdir", outFolder.string()};
  for (const auto& input : inputs) arguments.push_back(input.string());
  auto result = RunInOwnProcessGroup(*soffice_, arguments, OfficeTimeLimit(), officeTemporary);

  const std::string extension = ExtensionOfFilter(filter);
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    std::vector<std::filesystem::path> files;
    if (filter == kOfficeSheetsCsvFilter) {
      files = SheetFilesOf(result.standardOutput, inputs[i]);
    } else if (auto file = outFolder / (inputs[i].stem().string() + "." + extension); IsNonEmptyFile(file)) {
      files.push_back(file);
    }
    std::vector<std::string> contents;
    for (const auto& file : files) {
      FileContents read = ReadFileContents(file);
      if (read.failedStep == FileReadStep::kOpen || read.failedStep == FileReadStep::kRead) {
        throw EOfficeError("Cannot read what LibreOffice wrote for " + inputs[i].string() + ": " + read.systemError);
      }
      contents.push_back(std::move(read.bytes));
    }
    if (!contents.empty()) results[keys[i]] = std::move(contents);
  }
  return result;
}

void Office::ConvertAhead(const std::vector<std::filesystem::path>& inputs, const std::string& filter) {
  std::vector<std::filesystem::path> pending;
  for (const auto& input : inputs) {
    auto absolute = std::filesystem::absolute(input);
    if (!convertedAhead_.contains(KeyOf(filter, absolute))) pending.push_back(absolute);
  }
  for (const auto& group : GroupsWithDistinctNames(pending)) {
    try {
      if (!RunConversion(group, filter, convertedAhead_).timedOut) continue;
      for (const auto& input : group) timedOut_.insert(KeyOf(filter, input));
    } catch (const Exception&) {
      return;  // each input's own conversion says what went wrong
    }
  }
}

std::vector<std::string> Office::Convert(const std::filesystem::path& input, const std::string& filter) {
  const auto absolute = std::filesystem::absolute(input);
  const Key key = KeyOf(filter, absolute);
  if (auto found = convertedAhead_.find(key); found != convertedAhead_.end()) return found->second;
  std::map<Key, std::vector<std::string>> results;
  if (timedOut_.contains(key) || RunConversion({absolute}, filter, results).timedOut) {
    throw EOfficeError("LibreOffice did not convert " + input.string() + " within " + LimitText() + " and was stopped");
  }
  auto found = results.find(key);
  if (found == results.end()) throw EOfficeError("LibreOffice could not convert " + input.string());
  return std::move(found->second);
}

bool OfficeReaderIsLibreOffice() {
  const char* reader = std::getenv("VARNOLT_OFFICE_READER");
  return reader != nullptr && std::string_view(reader) == "libreoffice";
}

bool OfficeInputNeedsLibreOffice(const std::filesystem::path& input) {
  if (OfficeReaderIsLibreOffice()) return true;
  std::string extension = input.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension != ".docx";
}

}  // namespace varnolt
