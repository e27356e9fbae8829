// The web page import of the window model, from a server the test starts
// on 127.0.0.1.
#include <gtest/gtest.h>

#include "app/Unit2.h"
#include "tests/app/PageText.h"
#include "tests/app/TestHost.h"
#include "tests/support/LoopbackWebServer.h"

namespace varnolt {
namespace {

class WebImportTest : public ::testing::Test {
 protected:
  test::TestHost host;
  MemoryClipboard clipboard;
  TForm2 form{host, clipboard};
  test::LoopbackWebServer server;

  std::vector<std::u16string> Paragraphs() { return test::Paragraphs(form.CurrentEditor()); }
  void Import(const std::string& address) {
    host.inputAnswer = std::u16string(address.begin(), address.end());
    ASSERT_TRUE(form.Dispatch([&] { form.Label13Click(); }));
  }
};

TEST_F(WebImportTest, ThePagesTextIsPastedAndTheClipboardEmptied) {
  Import(server.Address("/cp1251"));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(Paragraphs(), std::vector<std::u16string>{u"\u041F\u0440\u0438\u0432\u0435\u0442 \u043C\u0438\u0440"});
  EXPECT_EQ(clipboard.FormatCount(), 0);
  EXPECT_EQ(form.Progress.bar.Max(), 10000);
  EXPECT_EQ(form.Progress.bar.Position(), 10000);
  EXPECT_EQ(form.Progress.percentLabel.Caption(), u"100%");
}

// What an earlier copy left on the clipboard, richer than text, must not be
// pasted in the page's place.
TEST_F(WebImportTest, ThePageNotAnEarlierCopyIsPasted) {
  clipboard.SetData(clipboard.RegisterFormat(kRichTextFormatName), "{\\rtf1 stale copy}");
  clipboard.SetData(clipboard.RegisterFormat(kRichDocFormatName), "stale document");
  Import(server.Address("/cp1251"));
  EXPECT_EQ(Paragraphs(), std::vector<std::u16string>{u"\u041F\u0440\u0438\u0432\u0435\u0442 \u043C\u0438\u0440"});
  EXPECT_EQ(clipboard.FormatCount(), 0);
}

TEST_F(WebImportTest, AFailedLoadSaysSoAndPastesNothing) {
  form.WebPageLimits.totalTimeout = std::chrono::milliseconds(1000);
  const struct {
    std::string path;
    std::string reason;
  } cases[] = {{"/missing", "HTTP status 404"}, {"/endless", "Timeout was reached"}};
  for (const auto& c : cases) {
    host.messages.clear();
    Import(server.Address(c.path));
    ASSERT_EQ(host.messages.size(), 1u);
    const std::string expected = "Cannot load " + server.Address(c.path) + ": " + c.reason;
    EXPECT_EQ(host.messages[0].text, std::u16string(expected.begin(), expected.end()));
    EXPECT_EQ(host.messages[0].kind, TMessageKind::kError);
  }
  EXPECT_EQ(form.CurrentEditor().CountItems(), 0);
}

TEST_F(WebImportTest, AnEmptyAnswerOrCancelDoesNothing) {
  for (std::optional<std::u16string> answer : {std::optional<std::u16string>(u""), std::optional<std::u16string>()}) {
    host.inputAnswer = answer;
    ASSERT_TRUE(form.Dispatch([&] { form.Label13Click(); }));
  }
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(form.Progress.bar.Max(), TProgressBar().Max());
}

}  // namespace
}  // namespace varnolt
