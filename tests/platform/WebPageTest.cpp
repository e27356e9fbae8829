// Fetching pages from a server the test starts on 127.0.0.1.
#include "platform/WebPage.h"

#include <gtest/gtest.h>

#include "platform/HtmlText.h"
#include "tests/support/LoopbackWebServer.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using namespace std::chrono_literals;

std::string FailureOf(const std::string& address, const TWebPageLimits& limits = {}) {
  try {
    FetchWebPage(address, limits, {});
  } catch (const EWebPageError& error) {
    return error.what();
  }
  return "(loaded)";
}

TEST(WebPageTest, PagesAndRedirectsLoadWithTheirContentType) {
  test::LoopbackWebServer server;
  int progressCalls = 0;
  const auto page = FetchWebPage(server.Address("/redirect"), {}, [&] {
    ++progressCalls;
    return true;
  });
  EXPECT_EQ(page.contentType, "text/html; charset=utf-8");
  EXPECT_GT(progressCalls, 0);
  const auto text = WebPageText(page.bytes, page.contentType);
  EXPECT_EQ(text.substr(0, 13), u"Caf\u00E9 \u20AC menu\r\n");
  EXPECT_EQ(text.find(u"hidden"), std::u16string::npos);
}

TEST(WebPageTest, FailuresSayWhy) {
  test::LoopbackWebServer server;
  test::ScratchDir dir;
  TWebPageLimits small;
  small.maxBytes = 1 << 20;
  TWebPageLimits impatient;
  impatient.totalTimeout = 1500ms;
  const struct {
    std::string address;
    TWebPageLimits limits;
    std::string reason;
  } cases[] = {
      {server.Address("/missing"), {}, "HTTP status 404"},
      {server.Address("/loop"), {}, "Number of redirects hit maximum amount"},
      {server.Address("/huge"), small, "the page is larger than 1 MiB"},
      {server.Address("/endless"), impatient, "Timeout was reached"},
      {"ftp://127.0.0.1/file", {}, "Unsupported protocol"},
      {"file://" + (dir / "absent.html").string(), {}, "Couldn't read a file:// file"},
  };
  for (const auto& c : cases) {
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(FailureOf(c.address, c.limits), c.reason) << c.address;
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s) << c.address;
  }
}

// A load that never ends stops as soon as its progress says so.
TEST(WebPageTest, ProgressCanStopALoad) {
  test::LoopbackWebServer server;
  int calls = 0;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_THROW(FetchWebPage(server.Address("/endless"), {}, [&] { return ++calls < 3; }), EWebPageCancelled);
  EXPECT_EQ(calls, 3);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
}

TEST(WebPageTest, LocalFilesLoadThroughTheirFileAddress) {
  test::ScratchDir dir;
  const auto file = dir / "a page #1.html";
  test::WriteFileBytes(file, "<p>local</p>");
  EXPECT_EQ(FileAddress(file.string()).find(' '), std::string::npos);
  EXPECT_EQ(FetchWebPage(FileAddress(file.string()), {}, {}).bytes, "<p>local</p>");
}

}  // namespace
}  // namespace varnolt
