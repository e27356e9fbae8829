#include "tests/support/TestData.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace varnolt::test {

namespace {
std::filesystem::path DirFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') {
    throw std::runtime_error(std::string(name) + " is not set; run the tests through ctest");
  }
  return value;
}
}  // namespace

std::filesystem::path TestDataDir() { return DirFromEnvironment("VARNOLT_TEST_DATA"); }
std::filesystem::path SharedDataDir() { return DirFromEnvironment("VARNOLT_SHARED_DATA"); }

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

ScratchDir::ScratchDir() {
  std::random_device seed;
  auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("varnolt-test-" + std::to_string(::getpid()) + "-" + std::to_string(seed()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch folder");
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

namespace {

// Runs the command with standard output in a pipe; standard error goes to the
// pipe too, or into errorFile when one is given.
std::pair<int, std::string> RunAndCollect(const std::vector<std::string>& argv, const std::filesystem::path* errorFile) {
  int pipeEnds[2];
  if (argv.empty() || ::pipe(pipeEnds) != 0) return {-1, ""};
  pid_t child = ::fork();
  if (child == 0) {
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    if (errorFile == nullptr) {
      ::dup2(pipeEnds[1], STDERR_FILENO);
    } else {
      FILE* errors = std::fopen(errorFile->c_str(), "wb");
      if (errors == nullptr) ::_exit(127);
      ::dup2(fileno(errors), STDERR_FILENO);
    }
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  ::close(pipeEnds[1]);
  std::string output;
  std::array<char, 4096> buffer;
  ssize_t n;
  while ((n = ::read(pipeEnds[0], buffer.data(), buffer.size())) > 0) output.append(buffer.data(), static_cast<size_t>(n));
  ::close(pipeEnds[0]);
  int status = 0;
  int exitCode = -1;
  if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) exitCode = WEXITSTATUS(status);
  return {exitCode, output};
}

}  // namespace

bool ProcessIsRunning(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pidField, name, state;
  if (!(stat >> pidField >> name >> state)) return false;
  return state != "Z" && state != "X";
}

CommandResult RunCommand(const std::vector<std::string>& argv) {
  auto [exitCode, output] = RunAndCollect(argv, nullptr);
  return {exitCode, std::move(output)};
}

SplitCommandResult RunCommandSplit(const std::vector<std::string>& argv) {
  ScratchDir scratch;
  const auto errorFile = scratch / "stderr";
  auto [exitCode, output] = RunAndCollect(argv, &errorFile);
  SplitCommandResult result{exitCode, std::move(output), ""};
  std::error_code ignored;
  if (std::filesystem::exists(errorFile, ignored)) result.standardError = ReadFileBytes(errorFile);
  return result;
}

int BreakReadsOf(const std::filesystem::path& path) {
  const auto target = std::filesystem::canonical(path);
  const int writeOnly = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (writeOnly < 0) return 0;
  int replaced = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    const auto linked = std::filesystem::read_symlink(entry.path(), error);
    if (error || linked != target) continue;
    const int descriptor = std::stoi(entry.path().filename().string());
    if (descriptor != writeOnly && ::dup2(writeOnly, descriptor) >= 0) ++replaced;
  }
  ::close(writeOnly);
  return replaced;
}

}  // namespace varnolt::test
