// The office bridge: LibreOffice runs in its own process group under a time
// limit, and a run that wrote nothing is a failure. Fake soffice scripts
// stand in where a misbehaving office suite is the point.
#include "platform/Office.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <thread>

#include "tests/support/Environment.h"
#include "tests/support/Folders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using namespace std::chrono_literals;

std::filesystem::path WriteScript(const std::filesystem::path& path, const std::string& body) {
  test::WriteFileBytes(path, "#!/bin/sh\n" + body);
  ::chmod(path.c_str(), 0755);
  return path;
}

TEST(OfficeTest, APastTheLimitStopsTheWholeProcessGroup) {
  test::ScratchDir dir;
  const auto script = WriteScript(dir / "slow", "sleep 30 &\necho $! > " + (dir / "child.pid").string() + "\nsleep 30\n");
  const auto started = std::chrono::steady_clock::now();
  const auto result = RunInOwnProcessGroup(script, {}, 500ms);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
  EXPECT_TRUE(result.timedOut);
  const std::string child = test::ReadFileBytes(dir / "child.pid");
  ASSERT_FALSE(child.empty());
  EXPECT_FALSE(test::ProcessIsRunning(std::stoi(child))) << "the script's own child was left running";
}

TEST(OfficeTest, AProcessThatEndsGivesItsOutputAndStatus) {
  test::ScratchDir dir;
  const auto script = WriteScript(dir / "talk", "echo \"$1\" \"$2\"\necho to-error >&2\nexit 3\n");
  const auto result = RunInOwnProcessGroup(script, {"one two", "$HOME;"}, 10s);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitStatus, 3);
  // Arguments arrive as they are, never through a shell.
  EXPECT_EQ(result.standardOutput, "one two $HOME;\n");
}

TEST(OfficeTest, TheTimeLimitComesFromTheEnvironment) {
  const struct {
    std::optional<std::string> value;
    std::chrono::milliseconds limit;
  } cases[] = {{std::nullopt, 120s}, {"5", 5s}, {"0.5", 500ms}, {"abc", 120s}, {"-1", 120s}, {"3s", 120s}};
  for (const auto& c : cases) {
    test::ScopedEnvironment timeout("VARNOLT_OFFICE_TIMEOUT", c.value);
    EXPECT_EQ(OfficeTimeLimit(), c.limit) << c.value.value_or("(unset)");
  }
}

TEST(OfficeTest, SofficeIsFoundThroughTheVariableOrOnThePath) {
  test::ScratchDir dir;
  const auto fake = WriteScript(dir / "soffice", "exit 0\n");
  test::WriteFileBytes(dir / "not-executable", "");
  {
    test::ScopedEnvironment chosen("VARNOLT_SOFFICE", fake.string());
    EXPECT_EQ(FindSoffice(), fake);
  }
  {
    test::ScopedEnvironment chosen("VARNOLT_SOFFICE", (dir / "not-executable").string());
    EXPECT_EQ(FindSoffice(), std::nullopt);
    EXPECT_FALSE(Office().Connect());
  }
  test::ScopedEnvironment unset("VARNOLT_SOFFICE", std::nullopt);
  {
    test::ScopedEnvironment path("PATH", "/nonexistent:" + dir.path().string());
    EXPECT_EQ(FindSoffice(), fake);
  }
  test::ScopedEnvironment path("PATH", "/nonexistent");
  EXPECT_EQ(FindSoffice(), std::nullopt);
}

TEST(OfficeTest, ARunThatWritesNothingOrRunsTooLongIsAnError) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "in.docx", "not really a document");
  const struct {
    std::string script;
    std::string error;
  } cases[] = {
      {"exit 0\n", "LibreOffice could not convert " + (dir / "in.docx").string()},
      {"sleep 30\n", "LibreOffice did not convert " + (dir / "in.docx").string() + " within 1 s and was stopped"},
  };
  test::ScopedEnvironment timeout("VARNOLT_OFFICE_TIMEOUT", "1");
  for (const auto& c : cases) {
    test::ScopedEnvironment chosen("VARNOLT_SOFFICE", WriteScript(dir / "soffice", c.script).string());
    Office office;
    ASSERT_TRUE(office.Connect());
    try {
      office.Convert(dir / "in.docx", kOfficeRtfFilter);
      ADD_FAILURE() << "no error for: " << c.script;
    } catch (const EOfficeError& error) {
      EXPECT_EQ(std::string(error.what()), c.error);
    }
  }
}

TEST(OfficeTest, ConvertingAheadServesLaterConversionsAndKeepsSameNamedInputsApart) {
  test::ScratchDir dir;
  std::filesystem::create_directories(dir / "a");
  std::filesystem::create_directories(dir / "b");
  test::WriteFileBytes(dir / "a" / "doc.rtf", "{\\rtf1\\ansi first document\\par}");
  test::WriteFileBytes(dir / "b" / "doc.rtf", "{\\rtf1\\ansi second document\\par}");
  const auto soffice = FindSoffice();
  ASSERT_TRUE(soffice.has_value());
  // Counts LibreOffice's runs: the later conversions must start none.
  const auto counting =
      WriteScript(dir / "soffice", "echo run >> " + (dir / "runs").string() + "\nexec " + soffice->string() + " \"$@\"\n");
  test::ScopedEnvironment chosen("VARNOLT_SOFFICE", counting.string());
  Office office;
  ASSERT_TRUE(office.Connect());
  const std::string filter = "txt:Text (encoded):UTF8";
  office.ConvertAhead({dir / "a" / "doc.rtf", dir / "b" / "doc.rtf"}, filter);
  EXPECT_EQ(test::ReadFileBytes(dir / "runs"), "run\nrun\n") << "same-named inputs need a run each";
  const auto first = office.Convert(dir / "a" / "doc.rtf", filter);
  const auto second = office.Convert(dir / "b" / "doc.rtf", filter);
  ASSERT_EQ(first.size(), 1u);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_NE(first[0].find("first document"), std::string::npos);
  EXPECT_NE(second[0].find("second document"), std::string::npos);
  EXPECT_EQ(test::ReadFileBytes(dir / "runs"), "run\nrun\n");
}

// Stands in for LibreOffice where only its files matter: it fills its
// profile folder and "converts" each input by copying it.
std::filesystem::path WriteCopyingOffice(const std::filesystem::path& folder) {
  return WriteScript(folder / "soffice",
                     "for a in \"$@\"; do\n"
                     "  case \"$a\" in\n"
                     "    -env:UserInstallation=file://*) p=\"${a#-env:UserInstallation=file://}\";"
                     " mkdir -p \"$p/user\"; echo x > \"$p/user/registrymodifications.xcu\" ;;\n"
                     "  esac\n"
                     "done\n"
                     "while [ $# -gt 0 ]; do\n"
                     "  case \"$1\" in\n"
                     "    --convert-to) ext=\"${2%%:*}\"; shift 2 ;;\n"
                     "    --outdir) out=\"$2\"; shift 2 ;;\n"
                     "    -*) shift ;;\n"
                     "    *) n=$(basename \"$1\"); cp \"$1\" \"$out/${n%.*}.$ext\"; shift ;;\n"
                     "  esac\n"
                     "done\n");
}

TEST(OfficeTest, AChangedFileIsConvertedAgainAndOnlyAnUnchangedOneComesFromTheRunAhead) {
  test::ScratchDir dir;
  test::ScopedEnvironment chosen("VARNOLT_SOFFICE", WriteCopyingOffice(dir.path()).string());
  test::WriteFileBytes(dir / "in.doc", "first");
  Office office;
  ASSERT_TRUE(office.Connect());
  EXPECT_EQ(office.Convert(dir / "in.doc", kOfficeRtfFilter), std::vector<std::string>{"first"});
  test::WriteFileBytes(dir / "in.doc", "second, longer");
  EXPECT_EQ(office.Convert(dir / "in.doc", kOfficeRtfFilter), std::vector<std::string>{"second, longer"});

  office.ConvertAhead({dir / "in.doc"}, kOfficeRtfFilter);
  ::chmod((dir / "soffice").c_str(), 0644);  // nothing converts any more
  EXPECT_EQ(office.Convert(dir / "in.doc", kOfficeRtfFilter), std::vector<std::string>{"second, longer"});
  test::WriteFileBytes(dir / "in.doc", "third");
  EXPECT_THROW(office.Convert(dir / "in.doc", kOfficeRtfFilter), EOfficeError);
}

// Each conversion's folder and profile go whatever happens: the documents
// in them are users' documents.
TEST(OfficeTest, EveryConversionLeavesTheTemporaryFolderAsItWas) {
  test::ScratchDir dir;
  test::ScratchDir temporary;
  test::ScopedEnvironment tmpdir("TMPDIR", temporary.path().string());
  test::WriteFileBytes(dir / "in.rtf", "{\\rtf1\\ansi content\\par}");
  const auto soffice = FindSoffice();
  ASSERT_TRUE(soffice.has_value());
  const struct {
    const char* what;
    std::string script;
    bool converts;
  } cases[] = {
      {"success", "exec " + soffice->string() + " \"$@\"\n", true},
      {"nothing written", "exit 0\n", false},
      {"failure", "exit 1\n", false},
      {"time limit", "sleep 30\n", false},
  };
  for (const auto& c : cases) {
    test::ScopedEnvironment chosen("VARNOLT_SOFFICE", WriteScript(dir / "soffice", c.script).string());
    test::ScopedEnvironment timeout("VARNOLT_OFFICE_TIMEOUT", c.converts ? "120" : "1");
    Office bridge;
    ASSERT_TRUE(bridge.Connect());
    const std::string filter = "txt:Text (encoded):UTF8";
    if (c.converts) {
      const auto converted = bridge.Convert(dir / "in.rtf", filter);
      ASSERT_EQ(converted.size(), 1u);
      EXPECT_NE(converted[0].find("content"), std::string::npos);
    } else {
      EXPECT_THROW(bridge.Convert(dir / "in.rtf", filter), EOfficeError) << c.what;
    }
    EXPECT_EQ(test::NamesIn(temporary.path()), std::vector<std::string>{}) << c.what;
  }
}

// A signal that ends the program while LibreOffice runs takes LibreOffice's
// processes and the conversion's folder with it.
TEST(OfficeTest, ASignalDuringAConversionLeavesNoFolderAndNoProcess) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    test::ScratchDir dir;
    test::ScratchDir temporary;
    test::WriteFileBytes(dir / "in.doc", "content");
    const auto office =
        WriteScript(dir / "soffice", "echo $$ > " + (dir / "office.pid").string() + "\nexec sleep 30\n");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::setenv("TMPDIR", temporary.path().c_str(), 1);
      ::setenv("VARNOLT_SOFFICE", office.c_str(), 1);
      Office bridge;
      try {
        bridge.Convert(dir / "in.doc", kOfficeRtfFilter);
      } catch (...) {
      }
      ::_exit(0);
    }
    const std::string pid = test::WaitForFileText(dir / "office.pid");
    ASSERT_FALSE(pid.empty()) << "the stand-in office never started";
    EXPECT_EQ(test::NamesIn(temporary.path()).size(), 1u) << "the conversion's folder should exist while it runs";
    ::kill(child, signal);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
    EXPECT_EQ(test::NamesIn(temporary.path()), std::vector<std::string>{}) << signal;
    for (int wait = 0; wait < 1000 && test::ProcessIsRunning(std::stoi(pid)); ++wait) std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(test::ProcessIsRunning(std::stoi(pid))) << "LibreOffice was left running after signal " << signal;
  }
}

TEST(OfficeTest, AnInvalidTimeLimitIsNamedWithTheValueUsedInstead) {
  const struct {
    std::optional<std::string> value;
    std::optional<std::string> problem;
  } cases[] = {
      {std::nullopt, std::nullopt},
      {"30", std::nullopt},
      {"abc", "VARNOLT_OFFICE_TIMEOUT=abc is no number of seconds above 0 and below 86400; 120 s are used"},
      {"0", "VARNOLT_OFFICE_TIMEOUT=0 is no number of seconds above 0 and below 86400; 120 s are used"},
  };
  for (const auto& c : cases) {
    test::ScopedEnvironment timeout("VARNOLT_OFFICE_TIMEOUT", c.value);
    EXPECT_EQ(OfficeTimeLimitProblem(), c.problem) << c.value.value_or("(unset)");
  }
}

TEST(OfficeTest, OnlyAFileStartingWithAZipSignatureIsAPackage) {
  test::ScratchDir dir;
  const struct {
    std::string bytes;
    bool package;
  } cases[] = {
      {std::string("PK\x03\x04rest", 8), true},
      {std::string("PK\x05\x06", 4) + std::string(18, '\0'), true},
      {"{\\rtf1 plain}", false},
      {"PK", false},
      {"", false},
  };
  for (const auto& c : cases) {
    test::WriteFileBytes(dir / "file.docx", c.bytes);
    EXPECT_EQ(StartsAsZipPackage(dir / "file.docx"), c.package) << c.bytes;
  }
  EXPECT_FALSE(StartsAsZipPackage(dir / "missing.docx"));
}

}  // namespace
}  // namespace varnolt
