#include <gtest/gtest.h>

#include "app/Unit2.h"
#include "richtext/rtf/import/RVRTFProps.h"
#include "tests/app/TestHost.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

// A project of formatted, empty and plain pages, exported to RTF.
struct RtfProject {
  test::TestHost host;
  MemoryClipboard clipboard;
  TForm2 form{host, clipboard};

  explicit RtfProject(bool batchMode) {
    form.BatchMode = batchMode;
    auto& first = *form.PageEditors.at(0);
    first.ClearDocument();
    TRVRTFReaderProperties props;
    first.InsertRTF(props, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b bold}\\par {\\i second}\\par}");
    form.Label24Click();  // left empty
    for (const char16_t* text : {u"third page", u"fourth\rpage"}) {
      form.Label24Click();
      form.CurrentEditor().ClearDocument();
      form.CurrentEditor().InsertTextAtCaret(text);
    }
  }

  std::string Export(const std::filesystem::path& target) {
    host.saveAnswers.push_back(target);
    EXPECT_TRUE(form.Dispatch([&] { form.Image6Click(); }));
    return test::ReadFileBytes(target);
  }
};

TEST(RtfExportTest, TheBatchModeWritesTheWindowsBytesWithoutTouchingTheClipboard) {
  test::ScratchDir dir;
  RtfProject window(false);
  RtfProject batch(true);
  const std::string written = window.Export(dir / "window.rtf");
  EXPECT_EQ(batch.Export(dir / "batch.rtf"), written);
  for (const char* text : {"plain", "bold", "second", "third page", "fourth", "page"}) {
    EXPECT_NE(written.find(text), std::string::npos) << text;
  }
  // The window copied every page in turn: the last one is what it holds.
  EXPECT_EQ(window.clipboard.UnicodeText().value_or(u""), u"fourth\r\npage");
  EXPECT_EQ(batch.clipboard.FormatCount(), 0);
  EXPECT_TRUE(batch.host.messages.at(0).text.starts_with(u"Total 4 pages has been found!"));
}

}  // namespace
}  // namespace varnolt
