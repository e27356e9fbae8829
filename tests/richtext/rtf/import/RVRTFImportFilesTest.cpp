// Real RTF files: LibreOffice's own fixtures arrive with all their text, and
// hostile samples that once crashed other readers import without harm.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "richtext/editor/RVEdit.h"
#include "richtext/rtf/reader/RVRTFReader.h"
#include "tests/richtext/rtf/import/RVRTFImportTestSupport.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

std::vector<std::string> Words(const std::string& utf8) {
  std::vector<std::string> words;
  std::istringstream in(utf8);
  std::string word;
  while (in >> word) {
    if (word.rfind("\xEF\xBB\xBF", 0) == 0) word.erase(0, 3);
    if (!word.empty()) words.push_back(word);
  }
  return words;
}

std::string DocumentText(const TCustomRVData& doc) {
  std::string bytes;
  EXPECT_TRUE(doc.ExtractText({}, bytes, 80, false, true, true, false));
  return Utf16ToUtf8(BytesToUtf16(bytes));
}

// LibreOffice writes list numbers into its text; ours go without them.
bool IsListNumber(const std::string& word) {
  static const std::set<std::string> kNumbers = {"\xE2\x80\xA2", "1.", "2.", "a)"};
  return kNumbers.count(word) != 0;
}

TEST(RVRTFImportFilesTest, LibreOfficeFilesArriveWithAllTheirText) {
  for (const char* name : {"tables", "scripts", "codepages", "lists", "notes-pictures"}) {
    for (TRVReaderStyleMode mode : {rvrsUseClosest, rvrsAddIfNeeded}) {
      test::TRVImportedRTF imported;
      imported.props.TextStyleMode = mode;
      imported.props.ParaStyleMode = mode;
      const auto folder = test::TestDataDir() / "rtf";
      EXPECT_EQ(imported.Load(test::ReadFileBytes(folder / (std::string(name) + ".rtf"))), kRtfOk) << name;
      std::vector<std::string> expected;
      for (const auto& word : Words(test::ReadFileBytes(folder / (std::string(name) + ".txt")))) {
        if (!IsListNumber(word)) expected.push_back(word);
      }
      EXPECT_EQ(Words(DocumentText(imported.doc)), expected) << name << " mode " << int{mode};
    }
  }
}

TEST(RVRTFImportFilesTest, LibreOfficeTablesListsNotesAndPicturesBecomeItems) {
  const auto folder = test::TestDataDir() / "rtf";
  test::TRVImportedRTF tables;
  tables.Load(test::ReadFileBytes(folder / "tables.rtf"));
  const TRVTableItemInfo* table = test::FirstTable(tables.doc);
  ASSERT_NE(table, nullptr);
  EXPECT_GE(table->TableRowCount(), 2);
  bool nested = false;
  for (int i = 0; i < table->SubDocumentCount(); ++i) nested = nested || test::FirstTable(*table->SubDocument(i));
  EXPECT_TRUE(nested);

  test::TRVImportedRTF lists;
  lists.props.ParaStyleMode = rvrsAddIfNeeded;
  lists.Load(test::ReadFileBytes(folder / "lists.rtf"));
  int markers = 0;
  for (int i = 0; i < lists.doc.CountItems(); ++i) markers += lists.doc.ItemAt(i).StyleNo == ItemKindListMarker;
  EXPECT_EQ(markers, 5);
  EXPECT_GE(lists.style.ListStyles.Count(), 2);

  test::TRVImportedRTF notes;
  notes.Load(test::ReadFileBytes(folder / "notes-pictures.rtf"));
  int footnotes = 0;
  int pictures = 0;
  for (int i = 0; i < notes.doc.CountItems(); ++i) {
    footnotes += notes.doc.ItemAt(i).StyleNo == ItemKindFootnote;
    pictures += notes.doc.ItemAt(i).StyleNo == ItemKindPicture;
  }
  EXPECT_EQ(footnotes, 1);
  EXPECT_EQ(pictures, 1);
}

TEST(RVRTFImportFilesTest, LibreOfficeFormattingLinksBookmarksAndMergedCells) {
  const auto folder = test::TestDataDir() / "rtfimport";
  test::TRVImportedRTF imported;
  ASSERT_EQ(imported.Load(test::ReadFileBytes(folder / "features.rtf")), kRtfOk);
  EXPECT_EQ(Words(DocumentText(imported.doc)), Words(test::ReadFileBytes(folder / "features.txt")));
  EXPECT_EQ(imported.Structure(),
            "Centred +bold+ and +italic+ words|A +link to a page+ and a+ bookmark.|Before+<tab>+after a tab/"
            "next line|<-60>#On a new page")
      << "the office suite's page break before the last paragraph is kept";
  const TCustomRVData& doc = imported.doc;
  EXPECT_EQ(imported.style.ParaStyleAt(doc.ItemAt(0).ParaNo).Alignment, rvaCenter);
  EXPECT_TRUE(imported.style.TextStyleAt(doc.ItemAt(1).StyleNo).Style.Contains(fsBold));
  EXPECT_TRUE(imported.style.TextStyleAt(doc.ItemAt(3).StyleNo).Style.Contains(fsItalic));
  EXPECT_TRUE(imported.style.TextStyleAt(doc.ItemAt(6).StyleNo).Jump);
  ASSERT_NE(doc.ItemCheckpoint(8), nullptr);
  EXPECT_EQ(doc.ItemCheckpoint(8)->Name, u"mark");
  const TRVTableItemInfo* table = test::FirstTable(doc);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(test::DumpTable(*table), "Tall cell<1x2>|Right one|Right two/Wide bottom<2x1>");
}

// Every hostile sample ends with a result code, in a document and in an
// editor; a crash, hang or sanitizer report fails the run.
TEST(RVRTFImportFilesTest, CrashSamplesImportWithoutHarm) {
  const std::set<std::uint8_t> documented = {kRtfOk,           kRtfUnmatchedClose,  kRtfTooDeep,
                                             kRtfUnexpectedEnd, kRtfBadHex,         kRtfEndAfterBackslash,
                                             kRtfInternalError, kRtfBadPictureOrObject, kRtfHandlerError};
  int files = 0;
  for (const char* folder : {"pass", "fail"}) {
    for (const auto& entry : std::filesystem::directory_iterator(test::SharedDataDir() / "rtf-crash" / folder)) {
      if (entry.path().extension() != ".rtf") continue;
      const std::string bytes = test::ReadFileBytes(entry.path());
      for (TRVReaderStyleMode mode : {rvrsUseClosest, rvrsAddIfNeeded}) {
        test::TRVImportedRTF imported;
        imported.props.TextStyleMode = mode;
        imported.props.ParaStyleMode = mode;
        imported.props.SkipHiddenText = mode == rvrsUseClosest;
        EXPECT_TRUE(documented.count(imported.Load(bytes))) << entry.path();
        DocumentText(imported.doc);
      }
      TRVStyle style;
      TRichDocEdit editor;
      editor.SetStyle(&style);
      TRVRTFReaderProperties props;
      EXPECT_TRUE(documented.count(editor.InsertRTF(props, bytes))) << entry.path();
      editor.UndoLastGroup();
      EXPECT_LE(editor.CountItems(), 1) << entry.path();
      ++files;
    }
  }
  EXPECT_GE(files, 28);
}

}  // namespace
}  // namespace varnolt
