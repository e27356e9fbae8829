// The office bridge: LibreOffice runs in its own process group under a time
// limit, and a run that wrote nothing is a failure. Fake soffice scripts
// stand in where a misbehaving office suite is the point.
#include "platform/Office.h"

#include <gtest/gtest.h>
#include <sys/stat.h>


#include "tests/support/Environment.h"
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
  std::filesystem::path work;
  {
    Office office;
    ASSERT_TRUE(office.Connect());
    const std::string filter = "txt:Text (encoded):UTF8";
    office.ConvertAhead({dir / "a" / "doc.rtf", dir / "b" / "doc.rtf"}, filter);
    // Gone inputs prove that the results below come from the run ahead.
    std::filesystem::remove_all(dir / "a");
    std::filesystem::remove_all(dir / "b");
    const auto first = office.Convert(dir / "a" / "doc.rtf", filter);
    const auto second = office.Convert(dir / "b" / "doc.rtf", filter);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_NE(test::ReadFileBytes(first[0]).find("first document"), std::string::npos);
    EXPECT_NE(test::ReadFileBytes(second[0]).find("second document"), std::string::npos);
    work = first[0].parent_path().parent_path();
  }
  EXPECT_FALSE(std::filesystem::exists(work)) << "the work folder outlived the office bridge";
}

}  // namespace
}  // namespace varnolt
