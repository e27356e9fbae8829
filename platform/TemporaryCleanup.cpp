#include "platform/TemporaryCleanup.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/Exception.h"

namespace varnolt {

namespace {

// A signal handler may only read plain memory and make system calls, so
// the watched names live in fixed slots and folders are removed with raw
// directory reads.
constexpr std::size_t kMaxWatchedPaths = 32;
constexpr std::size_t kMaxWatchedPath = 4096;
constexpr std::size_t kMaxWatchedGroups = 8;
// Deeper than any folder a conversion makes; bounds the handler's stack.
constexpr int kMaxRemovedDepth = 24;
constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP};

enum WatchState : int { kFree, kFilling, kWatched };
struct WatchedPath {
  std::atomic<int> state{kFree};
  char path[kMaxWatchedPath] = {};
};
WatchedPath watchedPaths[kMaxWatchedPaths];
std::atomic<pid_t> watchedGroups[kMaxWatchedGroups];
struct sigaction previousActions[std::size(kCleanedSignals)];

// As the kernel gives directory entries.
struct DirectoryEntry {
  std::uint64_t inode;
  std::int64_t offset;
  unsigned short length;
  unsigned char type;
  char name[1];
};

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

void RemoveTreeAt(int parent, const char* name, int depth);

// Removes every entry of an open folder; reads again until a pass finds
// nothing, since removing while reading may hide entries.
void EmptyFolder(int folder, int depth) {
  alignas(8) char entries[2048];
  for (bool removedAny = true; removedAny;) {
    removedAny = false;
    if (lseek(folder, 0, SEEK_SET) < 0) return;
    for (;;) {
      const long count = syscall(SYS_getdents64, folder, entries, sizeof entries);
      if (count <= 0) break;
      for (long at = 0; at < count;) {
        const auto* entry = reinterpret_cast<const DirectoryEntry*>(entries + at);
        at += entry->length;
        if (IsDotOrDotDot(entry->name)) continue;
        RemoveTreeAt(folder, entry->name, depth + 1);
        removedAny = true;
      }
    }
  }
}

void RemoveTreeAt(int parent, const char* name, int depth) {
  if (unlinkat(parent, name, 0) == 0 || errno == ENOENT) return;
  if (depth > kMaxRemovedDepth) return;
  const int folder = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder < 0) return;
  EmptyFolder(folder, depth);
  close(folder);
  unlinkat(parent, name, AT_REMOVEDIR);
}

void RemoveWatchedPaths() {
  for (auto& watched : watchedPaths) {
    if (watched.state.load() == kWatched) RemoveTreeAt(AT_FDCWD, watched.path, 0);
  }
}

void CleanUpAndRaise(int signal) {
  for (auto& group : watchedGroups) {
    if (const pid_t watched = group.load(); watched > 0) kill(-watched, SIGKILL);
  }
  RemoveWatchedPaths();
  for (std::size_t i = 0; i < std::size(kCleanedSignals); ++i) {
    if (kCleanedSignals[i] == signal) sigaction(signal, &previousActions[i], nullptr);
  }
  raise(signal);
}

void InstallSignalCleanup() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action {};
    action.sa_handler = CleanUpAndRaise;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kCleanedSignals); ++i) {
      sigaction(kCleanedSignals[i], &action, &previousActions[i]);
    }
  });
}

}  // namespace

void WatchTemporaryPath(const std::filesystem::path& path) {
  const std::string& name = path.native();
  if (name.empty() || name.size() >= kMaxWatchedPath) return;
  InstallSignalCleanup();
  for (auto& watched : watchedPaths) {
    int expected = kFree;
    if (!watched.state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(watched.path, name.c_str(), name.size() + 1);
    watched.state.store(kWatched);
    return;
  }
}

void UnwatchTemporaryPath(const std::filesystem::path& path) {
  for (auto& watched : watchedPaths) {
    if (watched.state.load() == kWatched && path.native() == watched.path) {
      watched.state.store(kFree);
      return;
    }
  }
}

void WatchProcessGroup(pid_t group) {
  InstallSignalCleanup();
  for (auto& watched : watchedGroups) {
    pid_t free = 0;
    if (watched.compare_exchange_strong(free, group)) return;
  }
}

void UnwatchProcessGroup(pid_t group) {
  for (auto& watched : watchedGroups) {
    pid_t expected = group;
    if (watched.compare_exchange_strong(expected, 0)) return;
  }
}

void RemoveWatchedTemporaries() {
  RemoveWatchedPaths();
  for (auto& watched : watchedPaths) {
    int expected = kWatched;
    watched.state.compare_exchange_strong(expected, kFree);
  }
}

TemporaryFolder::TemporaryFolder(std::string_view prefix) {
  std::error_code error;
  std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) base = "/tmp";
  std::string pattern = (base / (std::string(prefix) + "XXXXXX")).native();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw Exception("Cannot create a temporary folder in " + base.string() + ": " + std::strerror(errno));
  }
  path_ = pattern;
  WatchTemporaryPath(path_);
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
  UnwatchTemporaryPath(path_);
}

}  // namespace varnolt
