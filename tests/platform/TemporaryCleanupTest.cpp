// Temporary folders go with their owner, with an exit that skips
// destructors, and with the signals that end a program from outside.
#include "platform/TemporaryCleanup.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/support/Environment.h"
#include "tests/support/TestData.h"

extern char** environ;

namespace varnolt {
namespace {

using namespace std::chrono_literals;

bool IsEmptyFolder(const std::filesystem::path& folder) { return std::filesystem::is_empty(folder); }

// Files and folders a few levels deep, as a conversion leaves them.
void FillTree(const std::filesystem::path& root) {
  std::filesystem::create_directories(root / "profile" / "user" / "cache");
  test::WriteFileBytes(root / "profile" / "user" / "cache" / "entry", "x");
  test::WriteFileBytes(root / "profile" / "user" / "registry.xcu", "y");
  std::filesystem::create_directories(root / "out");
  test::WriteFileBytes(root / "out" / "document.rtf", "z");
  for (int i = 0; i < 200; ++i) test::WriteFileBytes(root / "out" / ("sheet-" + std::to_string(i) + ".csv"), "c");
}

TEST(TemporaryCleanupTest, AFolderIsMadeInTheTemporaryFolderAndGoesWithEverythingInIt) {
  test::ScratchDir temporary;
  test::ScopedEnvironment tmpdir("TMPDIR", temporary.path().string());
  std::filesystem::path made;
  {
    TemporaryFolder folder("varnolt-office-");
    made = folder.Path();
    EXPECT_EQ(made.parent_path(), temporary.path());
    EXPECT_TRUE(made.filename().string().starts_with("varnolt-office-"));
    FillTree(made);
  }
  EXPECT_TRUE(IsEmptyFolder(temporary.path()));
}

TEST(TemporaryCleanupTest, AnExitWithoutDestructorsStillRemovesWhatIsWatched) {
  test::ScratchDir temporary;
  test::ScopedEnvironment tmpdir("TMPDIR", temporary.path().string());
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto* folder = new TemporaryFolder("varnolt-office-");  // never freed: the exit skips it
    FillTree(folder->Path());
    RemoveWatchedTemporaries();
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_TRUE(IsEmptyFolder(temporary.path()));
}

TEST(TemporaryCleanupTest, TheSignalsThatEndAProgramRemoveWatchedFoldersAndKillWatchedGroups) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    test::ScratchDir temporary;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::setenv("TMPDIR", temporary.path().c_str(), 1);
      TemporaryFolder folder("varnolt-office-");
      FillTree(folder.Path());
      // A program in a process group of its own, as LibreOffice runs.
      posix_spawnattr_t attributes;
      posix_spawnattr_init(&attributes);
      posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
      posix_spawnattr_setpgroup(&attributes, 0);
      pid_t sleeper = 0;
      char sleep[] = "sleep";
      char thirty[] = "30";
      char* argv[] = {sleep, thirty, nullptr};
      if (posix_spawnp(&sleeper, "sleep", nullptr, &attributes, argv, environ) != 0) ::_exit(3);
      WatchProcessGroup(sleeper);
      const std::string pid = std::to_string(sleeper) + "\n";
      if (::write(ready[1], pid.data(), pid.size()) < 0) ::_exit(4);
      for (;;) ::pause();
    }
    ::close(ready[1]);
    char buffer[32] = {};
    ASSERT_GT(::read(ready[0], buffer, sizeof buffer - 1), 0);
    ::close(ready[0]);
    const int sleeper = std::atoi(buffer);
    ASSERT_FALSE(IsEmptyFolder(temporary.path()));
    ::kill(child, signal);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "the signal still ends the program";
    EXPECT_TRUE(IsEmptyFolder(temporary.path())) << signal;
    for (int wait = 0; wait < 1000 && test::ProcessIsRunning(sleeper); ++wait) std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(test::ProcessIsRunning(sleeper)) << signal;
  }
}

}  // namespace
}  // namespace varnolt
