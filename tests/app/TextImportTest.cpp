#include <gtest/gtest.h>

#include "app/Unit2.h"
#include "tests/app/PageText.h"
#include "tests/app/TestHost.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

class TextImportTest : public ::testing::Test {
 protected:
  test::TestHost host;
  MemoryClipboard clipboard;
  TForm2 form{host, clipboard};
  test::ScratchDir dir;

  void Import(const std::string& bytes) {
    test::WriteFileBytes(dir / "in.txt", bytes);
    host.openAnswers.push_back(dir / "in.txt");
    ASSERT_TRUE(form.Dispatch([&] { form.Label12Click(); }));
  }
  bool PageIsEmpty() {
    auto paragraphs = Paragraphs();
    return paragraphs.empty() || paragraphs == std::vector<std::u16string>{u""};
  }
  std::vector<std::u16string> Paragraphs() { return test::Paragraphs(form.CurrentEditor()); }
};

TEST_F(TextImportTest, LinesBecomeParagraphsAndTheCaretEndsAfterTheText) {
  Import("a\r\nb");
  EXPECT_EQ(Paragraphs(), (std::vector<std::u16string>{u"a", u"b"}));
  auto& editor = form.CurrentEditor();
  EXPECT_EQ(editor.CaretItemIndex(), editor.CountItems() - 1);
  EXPECT_EQ(editor.Caret().Offset, 2);
  EXPECT_EQ(form.Progress.percentLabel.Caption(), u"100%");
  EXPECT_EQ(host.openRequests.at(0).filter, u"Text files(*.txt)|*.txt");
  EXPECT_EQ(host.openRequests.at(0).defaultExt, u"txt");
  // The clipboard keeps the file's text.
  EXPECT_EQ(clipboard.UnicodeText(), u"a\r\nb");
}

// The clipboard holds the file's text and nothing an earlier copy left, so
// the next paste gives that text again.
TEST_F(TextImportTest, TheNextPasteGivesTheFilesTextNotAnEarlierCopy) {
  clipboard.SetData(clipboard.RegisterFormat(kRichTextFormatName), "{\\rtf1 stale copy}");
  Import("fresh");
  form.Label27Click();
  form.Label25Click();
  EXPECT_EQ(Paragraphs(), std::vector<std::u16string>{u"fresh"});
}

// The batch mode hands the text to the caret directly: the page gets the same
// items as through the clipboard, and the clipboard keeps what it held.
TEST_F(TextImportTest, TheBatchModeInsertsTheSameTextWithoutTheClipboard) {
  const std::string bytes = "a\r\nb\tc\fd";
  Import(bytes);
  const auto windowParagraphs = Paragraphs();
  const int windowItems = form.CurrentEditor().CountItems();
  EXPECT_EQ(windowParagraphs, (std::vector<std::u16string>{u"a", u"bc", u"d"}));  // the tab is an item of its own
  form.Label27Click();
  form.BatchMode = true;
  clipboard.SetUnicodeText(u"held before");
  Import(bytes);
  EXPECT_EQ(Paragraphs(), windowParagraphs);
  auto& editor = form.CurrentEditor();
  EXPECT_EQ(editor.CountItems(), windowItems);
  EXPECT_EQ(editor.CaretItemIndex(), editor.CountItems() - 1);
  EXPECT_EQ(editor.Caret().Offset, 2);
  EXPECT_EQ(clipboard.UnicodeText(), u"held before");
  EXPECT_EQ(form.Progress.percentLabel.Caption(), u"100%");
}

TEST_F(TextImportTest, DecodesUtf16AndUtf8AndFallsBackToTheSystemCodePage) {
  struct Case {
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"caf\xC3\xA9 \xE2\x82\xAC", u"caf\u00E9 \u20AC"},
      {"\xEF\xBB\xBF\xE4\xB8\xAD", u"\u4E2D"},
      {"caf\xE9 \x80", u"caf\u00E9 \u20AC"},
      // A zero byte is no end of text: it goes, everything after it stays.
      {std::string("before\0after", 12), u"beforeafter"},
      {std::string("caf\xE9\0\0 \x80", 8), u"caf\u00E9 \u20AC"},
      // A UTF-16 byte-order mark, little or big endian.
      {std::string("\xFF\xFEh\0i\0\x3D\xD8\x00\xDE", 10), u"hi\U0001F600"},
      {std::string("\xFE\xFF\0h\0\xE9\x4E\x2D", 8), u"h\u00E9\u4E2D"},
      {std::string("\xFF\xFE" "a\0\0\0b\0", 8), u"ab"},
      // UTF-16 without a mark, known by its zero bytes, in either order.
      {std::string("H\0e\0l\0l\0o\0 \0\xE9\0\x2D\x4E", 16), u"Hello \u00E9\u4E2D"},
      {std::string("\0H\0e\0l\0l\0o\0 \0\xE9\x4E\x2D", 16), u"Hello \u00E9\u4E2D"},
      {std::string("A\0", 2), u"A"},
  };
  for (const auto& c : cases) {
    form.Label27Click();
    Import(c.bytes);
    EXPECT_EQ(Paragraphs(), (std::vector<std::u16string>{c.text})) << c.bytes;
  }
}

TEST_F(TextImportTest, AnEmptyFileWarnsInsertsNothingAndStillEndsAtHundred) {
  Import("");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].kind, TMessageKind::kWarning);
  EXPECT_TRUE(host.messages[0].text.starts_with(u"Unable to create file mapping. "));
  EXPECT_TRUE(PageIsEmpty());
  EXPECT_EQ(form.Progress.percentLabel.Caption(), u"100%");
  // Nothing of the file was lost.
  EXPECT_TRUE(form.LastImport.complete);
}

TEST_F(TextImportTest, CancellingOrAMissingFileChangesNothing) {
  host.openAnswers.push_back(std::nullopt);
  form.Label12Click();
  host.openAnswers.push_back(dir / "missing.txt");
  form.Label12Click();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(PageIsEmpty());
}

TEST_F(TextImportTest, AFolderCannotBeOpened) {
  host.openAnswers.push_back(dir.path());
  form.Label12Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"Unable to open file. Is a directory");
  EXPECT_FALSE(form.LastImport.complete);
}

TEST_F(TextImportTest, AFileThatVanishedIsSilentInTheWindowButReportedAsLost) {
  host.openAnswers.push_back(dir / "gone.txt");
  form.Label12Click();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(form.LastImport.complete);
  EXPECT_EQ(form.LastImport.unshown, u"No such file or directory");
  Import("back again");
  EXPECT_TRUE(form.LastImport.complete);
}

}  // namespace
}  // namespace varnolt
