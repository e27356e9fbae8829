#pragma once
// Shared by every test program: where fixtures live, scratch folders, and
// running the real external readers (qpdf, pdftotext, soffice) on our output.
#include <filesystem>
#include <string>
#include <vector>

namespace varnolt::test {

// tests/data of the source tree.
std::filesystem::path TestDataDir();
// data/ of the source tree (generated tables, crash-regression RTF files).
std::filesystem::path SharedDataDir();

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// Makes every later read through this process's descriptors open on path
// fail (EBADF), as a failing disk would: each is replaced by a write-only
// descriptor of another file. Returns how many were replaced.
int BreakReadsOf(const std::filesystem::path& path);

// A fresh folder removed again when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

struct CommandResult {
  int exitCode = -1;
  std::string output;  // standard output and standard error together
};

// Runs argv[0] found on PATH with the given arguments, without a shell.
CommandResult RunCommand(const std::vector<std::string>& argv);

struct SplitCommandResult {
  int exitCode = -1;
  std::string standardOutput;
  std::string standardError;
};

// Whether the process lives; a zombie that nobody reaped yet counts as gone.
bool ProcessIsRunning(int pid);

// The same, keeping the two outputs apart.
SplitCommandResult RunCommandSplit(const std::vector<std::string>& argv);

}  // namespace varnolt::test
