// Web pages through the batch mode: addresses served on 127.0.0.1 by the
// test's own server, file:// addresses and local .html files.
#include <gtest/gtest.h>

#include "tests/support/LoopbackWebServer.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

test::SplitCommandResult Varnolt(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), VARNOLT_EXECUTABLE);
  return test::RunCommandSplit(arguments);
}

TEST(WebBatchTest, PagesInEveryCharacterSetAndFromFilesBecomePagesOfText) {
  test::LoopbackWebServer server;
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "local page.html", "<html><body><h1>Local</h1><p>file &amp; page</p></body></html>");
  test::WriteFileBytes(dir / "other.htm", "<p>short</p>");
  auto result = Varnolt({server.Address("/redirect"), server.Address("/cp1251"), server.Address("/latin1"),
                         (dir / "local page.html").string(), "file://" + (dir / "other.htm").string(), "-o",
                         (dir / "out.txt").string()});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardError, "");
  EXPECT_EQ(test::ReadFileBytes(dir / "out.txt"),
            "Caf\xC3\xA9 \xE2\x82\xAC menu\n"
            "First paragraph with bold words\n"
            "Name\tPrice\n"
            "Tea\t2,50\n"
            "  kept   spaces\n"
            "line two\n"
            "one\n"
            "two\f"
            "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD0\xBC\xD0\xB8\xD1\x80\f"
            "Gar\xC3\xA7on \xC3\xA0 la cr\xC3\xA8me\f"
            "Local\nfile & page\f"
            "short\f");
}

TEST(WebBatchTest, PagesThatCannotBeLoadedFailTheRunWithTheirReason) {
  test::LoopbackWebServer server;
  test::ScratchDir dir;
  const struct {
    std::string address, reason;
  } cases[] = {
      {server.Address("/missing"), "HTTP status 404"},
      {server.Address("/huge"), "the page is larger than 64 MiB"},
      {"file://" + (dir / "absent.html").string(), "Couldn't read a file:// file"},
  };
  for (const auto& c : cases) {
    auto result = Varnolt({c.address, "-o", (dir / "out.txt").string()});
    EXPECT_EQ(result.exitCode, 1) << c.address;
    EXPECT_EQ(result.standardError, "varnolt: Cannot load " + c.address + ": " + c.reason + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
  }
}

}  // namespace
}  // namespace varnolt
