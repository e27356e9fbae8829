#include "platform/OutputStream.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/Exception.h"
#include "tests/support/Folders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

constexpr TTemporaryFile kBothKinds[] = {TTemporaryFile::kUnnamedWhereSupported, TTemporaryFile::kNamed};

void Save(const std::filesystem::path& target, const std::string& bytes, TTemporaryFile kind) {
  AtomicFileOutputStream out(target, kind);
  out.Write(bytes);
  out.Commit();
}

struct stat StatOf(const std::filesystem::path& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
  return status;
}

TEST(AtomicFileOutputStreamTest, ANewFileGetsTheUsualPermissionsAndNoTemporaryStaysBehind) {
  for (TTemporaryFile kind : kBothKinds) {
    test::ScratchDir dir;
    const mode_t mask = umask(022);
    Save(dir / "new.pdf", "new", kind);
    umask(mask);
    EXPECT_EQ(test::ReadFileBytes(dir / "new.pdf"), "new");
    EXPECT_EQ(StatOf(dir / "new.pdf").st_mode & 07777, 0644u);
    EXPECT_EQ(test::NamesIn(dir.path()), std::vector<std::string>{"new.pdf"});
  }
}

TEST(AtomicFileOutputStreamTest, AReplacedFileKeepsItsPermissionBits) {
  for (TTemporaryFile kind : kBothKinds) {
    for (mode_t mode : {0600u, 0640u, 0200u, 0755u, 02750u}) {
      test::ScratchDir dir;
      test::WriteFileBytes(dir / "out.pdf", "old");
      ASSERT_EQ(chmod((dir / "out.pdf").c_str(), mode), 0);
      Save(dir / "out.pdf", "new", kind);
      EXPECT_EQ(test::ReadFileBytes(dir / "out.pdf"), "new");
      EXPECT_EQ(StatOf(dir / "out.pdf").st_mode & 07777, mode) << std::oct << mode;
    }
  }
}

// Refused as a shell's ">" refuses it, whoever runs the save: a file
// without any write bit even for root, who could write it.
TEST(AtomicFileOutputStreamTest, AFileWithoutWriteBitsIsNotReplaced) {
  for (TTemporaryFile kind : kBothKinds) {
    for (mode_t mode : {0444u, 0400u, 0000u, 0555u}) {
      test::ScratchDir dir;
      test::WriteFileBytes(dir / "out.pdf", "old");
      ASSERT_EQ(chmod((dir / "out.pdf").c_str(), mode), 0);
      try {
        Save(dir / "out.pdf", "new", kind);
        ADD_FAILURE() << "replaced a file of mode " << std::oct << mode;
      } catch (const Exception& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + (dir / "out.pdf").string() + "\". Permission denied");
      }
      EXPECT_EQ(test::ReadFileBytes(dir / "out.pdf"), "old");
      EXPECT_EQ(StatOf(dir / "out.pdf").st_mode & 07777, mode);
      EXPECT_EQ(test::NamesIn(dir.path()), std::vector<std::string>{"out.pdf"});
    }
  }
}

// A user who may not write a file may not replace it either, though the
// folder lets them create files. Run as another user in a child process.
TEST(AtomicFileOutputStreamTest, AnotherUsersFileIsNotReplacedWhereTheFolderIsOpenToAll) {
  if (geteuid() != 0) GTEST_SKIP() << "only the superuser can act as another user";
  test::ScratchDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  test::WriteFileBytes(dir / "theirs.pdf", "old");
  ASSERT_EQ(chmod((dir / "theirs.pdf").c_str(), 0644), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    try {
      Save(dir / "mine.pdf", "mine", TTemporaryFile::kNamed);
      Save(dir / "theirs.pdf", "new", TTemporaryFile::kNamed);
    } catch (const Exception& error) {
      _exit(std::string(error.what()).ends_with(". Permission denied") ? 0 : 2);
    }
    _exit(1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: replaced; 2: another error; 3: could not become another user";
  EXPECT_EQ(test::ReadFileBytes(dir / "theirs.pdf"), "old");
  EXPECT_EQ(test::ReadFileBytes(dir / "mine.pdf"), "mine");
}

TEST(AtomicFileOutputStreamTest, AReplacedFileKeepsItsOwnerAndGroupWhereAllowed) {
  if (geteuid() != 0) GTEST_SKIP() << "only the superuser may give a file to another owner";
  for (TTemporaryFile kind : kBothKinds) {
    test::ScratchDir dir;
    test::WriteFileBytes(dir / "out.pdf", "old");
    ASSERT_EQ(chown((dir / "out.pdf").c_str(), 4321, 8765), 0);
    Save(dir / "out.pdf", "new", kind);
    EXPECT_EQ(StatOf(dir / "out.pdf").st_uid, 4321u);
    EXPECT_EQ(StatOf(dir / "out.pdf").st_gid, 8765u);
  }
}

TEST(AtomicFileOutputStreamTest, SavingThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink) {
  struct Case {
    const char* what;
    bool targetExists;
  };
  for (TTemporaryFile kind : kBothKinds) {
    for (const Case& c : {Case{"existing target", true}, Case{"dangling link", false}}) {
      test::ScratchDir dir;
      std::filesystem::create_directory(dir / "real");
      if (c.targetExists) {
        test::WriteFileBytes(dir / "real" / "out.pdf", "old");
        ASSERT_EQ(chmod((dir / "real" / "out.pdf").c_str(), 0600), 0);
      }
      // A chain of two links, the first one relative.
      std::filesystem::create_symlink(dir / "real" / "out.pdf", dir / "middle.pdf");
      std::filesystem::create_symlink("middle.pdf", dir / "link.pdf");
      Save(dir / "link.pdf", "new", kind);
      EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.pdf")) << c.what;
      EXPECT_TRUE(std::filesystem::is_symlink(dir / "middle.pdf")) << c.what;
      EXPECT_EQ(test::ReadFileBytes(dir / "real" / "out.pdf"), "new") << c.what;
      if (c.targetExists) {
        EXPECT_EQ(StatOf(dir / "real" / "out.pdf").st_mode & 07777, 0600u);
      }
      EXPECT_EQ(test::NamesIn(dir.path()), (std::vector<std::string>{"link.pdf", "middle.pdf", "real"})) << c.what;
      EXPECT_EQ(test::NamesIn(dir / "real"), std::vector<std::string>{"out.pdf"}) << c.what;
    }
  }
}

// A child process writes a megabyte into out.pdf, says so through a pipe and
// waits to be stopped by the signal.
struct Interruption {
  const char* what;
  TTemporaryFile kind;
  int signal;
};

pid_t StartWriterThatWaits(const std::filesystem::path& target, TTemporaryFile kind) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(ready[0]);
    try {
      AtomicFileOutputStream out(target, kind);
      out.Write(std::string(1 << 20, 'x'));
      if (write(ready[1], "!", 1) != 1) _exit(3);
      for (;;) pause();
    } catch (...) {
      _exit(2);
    }
  }
  close(ready[1]);
  char byte = 0;
  const bool started = read(ready[0], &byte, 1) == 1;
  close(ready[0]);
  return started ? child : -1;
}

TEST(AtomicFileOutputStreamTest, AnInterruptedOrKilledWriterLeavesNothingBehind) {
  const Interruption cases[] = {
      {"unnamed, killed", TTemporaryFile::kUnnamedWhereSupported, SIGKILL},
      {"unnamed, terminated", TTemporaryFile::kUnnamedWhereSupported, SIGTERM},
      {"named, terminated", TTemporaryFile::kNamed, SIGTERM},
      {"named, interrupted", TTemporaryFile::kNamed, SIGINT},
  };
  for (const Interruption& c : cases) {
    test::ScratchDir dir;
    test::WriteFileBytes(dir / "out.pdf", "old");
    const pid_t child = StartWriterThatWaits(dir / "out.pdf", c.kind);
    ASSERT_GT(child, 0) << c.what;
    const std::size_t entriesWhileWriting = test::NamesIn(dir.path()).size();
    // Only a named temporary shows while the writer works.
    EXPECT_EQ(entriesWhileWriting, c.kind == TTemporaryFile::kNamed ? 2u : 1u) << c.what;
    ASSERT_EQ(kill(child, c.signal), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << c.what;
    EXPECT_EQ(test::NamesIn(dir.path()), std::vector<std::string>{"out.pdf"}) << c.what;
    EXPECT_EQ(test::ReadFileBytes(dir / "out.pdf"), "old") << c.what;
  }
}

TEST(AtomicFileOutputStreamTest, AStreamDroppedWithoutCommitLeavesTheTargetAsItWas) {
  for (TTemporaryFile kind : kBothKinds) {
    test::ScratchDir dir;
    test::WriteFileBytes(dir / "out.pdf", "old");
    {
      AtomicFileOutputStream out(dir / "out.pdf", kind);
      out.Write("half");
      out.Restart();
      out.Write("new");
    }
    EXPECT_EQ(test::NamesIn(dir.path()), std::vector<std::string>{"out.pdf"});
    EXPECT_EQ(test::ReadFileBytes(dir / "out.pdf"), "old");
  }
}

TEST(AtomicFileOutputStreamTest, AFolderThatCannotTakeTheFileIsReportedWithTheTargetsName) {
  test::ScratchDir dir;
  for (TTemporaryFile kind : kBothKinds) {
    try {
      AtomicFileOutputStream out(dir / "missing" / "out.pdf", kind);
      FAIL() << "a missing folder was accepted";
    } catch (const Exception& error) {
      EXPECT_NE(std::string(error.what()).find("Cannot create file \"" + (dir / "missing" / "out.pdf").string() + "\""),
                std::string::npos)
          << error.what();
    }
  }
}

}  // namespace
}  // namespace varnolt
