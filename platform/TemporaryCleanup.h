#pragma once
// What a conversion leaves in temporary places while it runs: files,
// folders and the process groups of programs it started. They are watched
// so that SIGINT, SIGTERM or SIGHUP, and an exit that skips destructors,
// still remove them; otherwise their owners remove them as usual.
#include <sys/types.h>

#include <filesystem>
#include <string_view>

namespace varnolt {

// A file, or a folder with everything in it. A path too long to be kept for
// a signal, or one past the number of places, goes unwatched (its owner
// still removes it on every ordinary way out).
void WatchTemporaryPath(const std::filesystem::path& path);
void UnwatchTemporaryPath(const std::filesystem::path& path);

// A process group killed when a signal ends the process.
void WatchProcessGroup(pid_t group);
void UnwatchProcessGroup(pid_t group);

// Removes every watched path now, for an exit that runs no destructors.
void RemoveWatchedTemporaries();

// A private folder in TMPDIR (or /tmp), named prefix + six random
// characters, watched while it lives and removed with everything in it when
// it goes. Throws varnolt::Exception when it cannot be made.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(std::string_view prefix);
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace varnolt
