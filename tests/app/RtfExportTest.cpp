#include <gtest/gtest.h>

#include <regex>

#include "app/Unit2.h"
#include "richtext/rtf/import/RVRTFProps.h"
#include "tests/app/PageText.h"
#include "tests/app/TestHost.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

// A project exported to RTF, in the window or in the batch mode.
struct ExportProject {
  test::TestHost host;
  MemoryClipboard clipboard;
  TForm2 form{host, clipboard};

  explicit ExportProject(bool batchMode) { form.BatchMode = batchMode; }

  std::string Export(const std::filesystem::path& target) {
    host.saveAnswers.push_back(target);
    EXPECT_TRUE(form.Dispatch([&] { form.Image6Click(); }));
    return test::ReadFileBytes(target);
  }
};

// Formatted, empty and plain pages.
struct RtfProject : ExportProject {
  explicit RtfProject(bool batchMode) : ExportProject(batchMode) {
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

// The page setup stays in the file, yet one page exported and imported
// again gives back its paragraphs and no extra empty one.
TEST(RtfExportTest, OnePageExportedAndImportedAgainGivesBackItsParagraphs) {
  test::ScratchDir dir;
  for (const bool batchMode : {false, true}) {
    for (const char16_t* text : {u"first\rsecond", u"only one"}) {
      ExportProject project(batchMode);
      auto& page = project.form.CurrentEditor();
      page.ClearDocument();
      page.InsertTextAtCaret(text);
      const auto paragraphs = test::Paragraphs(page);  // the batch mode hands the items over
      const auto written = project.Export(dir / "one.rtf");
      EXPECT_NE(written.find("\\paperw"), std::string::npos);
      ExportProject reader(false);
      reader.form.CurrentEditor().ClearDocument();
      reader.host.openAnswers.push_back(dir / "one.rtf");
      ASSERT_TRUE(reader.form.Dispatch([&] { reader.form.Label36Click(); }));
      EXPECT_EQ(test::Paragraphs(reader.form.CurrentEditor()), paragraphs)
          << batchMode << " " << std::string(text, text + std::char_traits<char16_t>::length(text));
    }
  }
}

// List ids are drawn at random for every RTF written.
std::string WithoutListIds(const std::string& rtf) {
  static const std::regex kIds(R"(\\(listid|listtemplateid)-?[0-9]+)");
  return std::regex_replace(rtf, kIds, "\\$1");
}

// Pages of tables, lists, notes, pictures and styles, each read as the RTF
// import reads a file into a page.
struct FixtureProject : ExportProject {
  explicit FixtureProject(bool batchMode) : ExportProject(batchMode) {
    bool first = true;
    for (const char* fixture : {"rtf/tables.rtf", "rtf/lists.rtf", "rtf/notes-pictures.rtf", "rtf/scripts.rtf",
                                "rtfimport/features.rtf", "rtf/tables.rtf"}) {
      if (!first) form.Label24Click();
      first = false;
      auto& page = form.CurrentEditor();
      page.ClearDocument();
      page.InsertRTF(page.RTFReadProperties, test::ReadFileBytes(test::TestDataDir() / fixture));
    }
    // Text as the text import leaves it, with empty paragraphs at both ends.
    form.Label24Click();
    form.CurrentEditor().ClearDocument();
    form.CurrentEditor().InsertTextAtCaret(u"\r\rtyped\r\r");
  }
};

TEST(RtfExportTest, TheBatchModeWritesTheWindowsBytesForPagesOfEveryKindOfContent) {
  test::ScratchDir dir;
  FixtureProject window(false);
  FixtureProject batch(true);
  const std::string written = WithoutListIds(window.Export(dir / "window.rtf"));
  EXPECT_EQ(WithoutListIds(batch.Export(dir / "batch.rtf")), written);
  for (const char* part : {"\\trowd", "\\ls", "\\footnote", "\\pict"}) {
    EXPECT_NE(written.find(part), std::string::npos) << part;
  }
  EXPECT_TRUE(batch.host.messages.at(0).text.starts_with(u"Total 7 pages has been found!"));
}

}  // namespace
}  // namespace varnolt
