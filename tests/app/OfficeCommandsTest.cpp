// The Word and Excel commands of the window model over the real office
// suite: what reaches the page, the clipboard and the progress display.
#include <gtest/gtest.h>

#include "app/Unit2.h"
#include "platform/Workbook.h"
#include "richtext/table/RVTable.h"
#include "tests/app/PageText.h"
#include "tests/app/TestHost.h"
#include "tests/support/Environment.h"
#include "tests/support/OfficeChecks.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

constexpr char16_t kWordNotInstalled[] =
    u"Microsoft Office Word is not installed.\rPlease confirm your Microsoft Office Word had already installed!";
constexpr char16_t kExcelNotInstalled[] =
    u"Microsoft Office Excel is not installed.\rPlease confirm your Microsoft Office Excel had already installed!";

class OfficeCommandsTest : public ::testing::Test {
 protected:
  test::TestHost host;
  MemoryClipboard clipboard;
  TForm2 form{host, clipboard};
  test::ScratchDir dir;

  std::vector<const TRVTableItemInfo*> TablesOnPage() {
    std::vector<const TRVTableItemInfo*> tables;
    auto& editor = form.CurrentEditor();
    for (int i = 0; i < editor.CountItems(); ++i) {
      if (auto* table = dynamic_cast<const TRVTableItemInfo*>(&editor.ItemAt(i))) tables.push_back(table);
    }
    return tables;
  }
  static std::u16string CellText(const TRVTableItemInfo& table, int row, int column) {
    const auto* cell = table.CellAt(row, column);
    std::u16string text;
    for (int i = 0; cell != nullptr && i < cell->CountItems(); ++i) text += cell->ItemTextAt(i);
    return text;
  }
  void ImportRtf(const std::string& rtf) {
    test::WriteFileBytes(dir / "page.rtf", rtf);
    host.openAnswers.push_back(dir / "page.rtf");
    ASSERT_TRUE(form.Dispatch([&] { form.Label36Click(); }));
  }
};

TEST_F(OfficeCommandsTest, AWordDocumentIsPastedWithItsFormattingAndTheClipboardEmptied) {
  std::filesystem::copy_file(test::TestDataDir() / "office" / "sample.fodt", dir / "sample.fodt");
  test::ConvertWithOffice({dir / "sample.fodt"}, "docx", dir.path());
  host.openAnswers.push_back(dir / "sample.docx");
  ASSERT_TRUE(form.Dispatch([&] { form.Label6Click(); })) << std::string(host.errors.at(0).begin(), host.errors.at(0).end());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(host.openRequests.at(0).filter,
            u"all files|*.doc;*.docx;*.odt;*.rtf|word document(*.doc)|*.doc|word document(*.docx)|*.docx|"
            u"OpenDocument text(*.odt)|*.odt|rich text format(*.rtf)|*.rtf");
  EXPECT_EQ(clipboard.FormatCount(), 0);
  EXPECT_EQ(form.Progress.percentLabel.Caption(), u"100%");
  EXPECT_EQ(form.Progress.bar.Position(), 1);

  auto& editor = form.CurrentEditor();
  bool boldFound = false;
  for (int i = 0; i < editor.CountItems(); ++i) {
    if (editor.ItemTextAt(i) != u"boldword") continue;
    boldFound = form.RVStyle1.TextStyleAt(editor.ItemAt(i).StyleNo).Style.Contains(fsBold);
  }
  EXPECT_TRUE(boldFound);
  const auto tables = TablesOnPage();
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(CellText(*tables[0], 1, 0), u"Coffee");
  EXPECT_EQ(CellText(*tables[0], 1, 1), u"3,20");
}

TEST_F(OfficeCommandsTest, EverySheetOfAWorkbookBecomesOneTableInSheetOrder) {
  {
    TWorkbookWriter workbook(dir / "three.xlsx", dir.path());
    workbook.WriteCell(0, 0, 0, "first");
    workbook.WriteCell(1, 1, 1, "second");
    workbook.WriteCell(2, 0, 0, "3");
    workbook.WriteCell(2, 2, 0, "third");
    workbook.Close();
  }
  host.openAnswers.push_back(dir / "three.xlsx");
  ASSERT_TRUE(form.Dispatch([&] { form.Label16Click(); }));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(host.openRequests.at(0).filter, u"all workbooks|*.xls;*.xlsx;*.ods|excel file(*.xls)|*.xls|"
                                            u"excel file(*.xlsx)|*.xlsx|OpenDocument spreadsheet(*.ods)|*.ods");
  EXPECT_EQ(clipboard.FormatCount(), 0);
  EXPECT_EQ(form.Progress.bar.Max(), 3);
  EXPECT_EQ(form.Progress.bar.Position(), 3);

  const auto tables = TablesOnPage();
  ASSERT_EQ(tables.size(), 3u);
  EXPECT_EQ(tables[0]->TableRowCount(), 1);
  EXPECT_EQ(CellText(*tables[0], 0, 0), u"first");
  // Empty leading cells keep the cell where the sheet has it.
  EXPECT_EQ(tables[1]->TableRowCount(), 2);
  EXPECT_EQ(tables[1]->TableColumnCount(), 2);
  EXPECT_EQ(CellText(*tables[1], 1, 1), u"second");
  EXPECT_EQ(tables[2]->TableRowCount(), 3);
  EXPECT_EQ(CellText(*tables[2], 0, 0), u"3");
  EXPECT_EQ(CellText(*tables[2], 2, 0), u"third");
}

TEST_F(OfficeCommandsTest, AWorkbookWithNothingToPasteStillLeavesTheClipboardEmpty) {
  {
    TWorkbookWriter workbook(dir / "empty.xlsx", dir.path());
    workbook.Close();
  }
  clipboard.SetData(clipboard.RegisterFormat(kRichTextFormatName), "{\\rtf1 earlier copy}");
  host.openAnswers.push_back(dir / "empty.xlsx");
  ASSERT_TRUE(form.Dispatch([&] { form.Label16Click(); }));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(clipboard.FormatCount(), 0);
  EXPECT_TRUE(TablesOnPage().empty());
}

// The window converts every time: a document changed since its last import
// shows its new content, not what an earlier conversion kept.
TEST_F(OfficeCommandsTest, ADocumentChangedSinceItsLastImportArrivesAsItIsNow) {
  const auto document = dir / "letter.doc";  // RTF inside, which the office suite finds by its content
  test::WriteFileBytes(document, "{\\rtf1\\ansi first version\\par}");
  host.openAnswers.push_back(document);
  ASSERT_TRUE(form.Dispatch([&] { form.Label6Click(); }));
  form.Label24Click();
  test::WriteFileBytes(document, "{\\rtf1\\ansi second, longer version\\par}");
  host.openAnswers.push_back(document);
  ASSERT_TRUE(form.Dispatch([&] { form.Label6Click(); }));
  EXPECT_EQ(test::Paragraphs(*form.PageEditors.at(0)).at(0), u"first version");
  EXPECT_EQ(test::Paragraphs(*form.PageEditors.at(1)).at(0), u"second, longer version");
}

// The collecting editor's copy is what the Word export leaves on the
// clipboard: every page, not the last one alone.
TEST_F(OfficeCommandsTest, TheWordExportLeavesEveryPageOnTheClipboard) {
  form.CurrentEditor().InsertTextAtCaret(u"first page");
  form.Label24Click();
  form.CurrentEditor().InsertTextAtCaret(u"second page");
  host.saveAnswers.push_back(dir / "out.doc");
  ASSERT_TRUE(form.Dispatch([&] { form.Image4Click(); }));
  ASSERT_TRUE(std::filesystem::is_regular_file(dir / "out.doc"));
  const std::u16string copied = clipboard.UnicodeText().value_or(u"");
  EXPECT_NE(copied.find(u"first page"), std::u16string::npos) << std::string(copied.begin(), copied.end());
  EXPECT_NE(copied.find(u"second page"), std::u16string::npos);
  EXPECT_TRUE(clipboard.HasFormat(clipboard.RegisterFormat(kRichTextFormatName)));
}

TEST_F(OfficeCommandsTest, CancellingTheDialogsChangesNothing) {
  host.openAnswers = {std::nullopt, std::nullopt};
  host.saveAnswers = {std::nullopt, std::nullopt};
  for (auto command : {&TForm2::Label6Click, &TForm2::Label16Click, &TForm2::Image4Click, &TForm2::image5Click}) {
    ASSERT_TRUE(form.Dispatch([&] { (form.*command)(); }));
  }
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(host.openRequests.size(), 2u);
  EXPECT_EQ(host.saveRequests.size(), 2u);
  EXPECT_TRUE(TablesOnPage().empty());
}

TEST_F(OfficeCommandsTest, WithoutTheOfficeSuiteEachCommandShowsItsNotInstalledMessage) {
  test::ScopedEnvironment noOffice("VARNOLT_SOFFICE", (dir / "absent" / "soffice").string());
  host.saveAnswers = {dir / "out.xls"};
  // Both imports read .docx, .xlsx and .ods without the office suite, so each
  // asks for the file first; a .doc or .xls then meets the message.
  host.openAnswers = {dir / "old.doc", dir / "book.xls"};
  const struct {
    void (TForm2::*command)();
    std::u16string message;
  } cases[] = {
      {&TForm2::Label6Click, kWordNotInstalled},
      {&TForm2::Label16Click, kExcelNotInstalled},
      {&TForm2::Image4Click, kWordNotInstalled},
      {&TForm2::image5Click,
       u"Microsoft Office Excel is not installed\u3002\rPlease confirm your Microsoft Office Excel had already "
       u"installed!!"},
  };
  for (const auto& c : cases) {
    host.messages.clear();
    ASSERT_TRUE(form.Dispatch([&] { (form.*c.command)(); }));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, c.message);
  }
  EXPECT_EQ(host.openRequests.size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(dir / "out.xls"));
}

TEST_F(OfficeCommandsTest, TheExcelExportSkipsEmptySlotsFromIndexThreeAndGivesLaterPagesSheets) {
  const std::string table =
      "{\\rtf1\\ansi\\trowd\\cellx2000\\cellx4000\\pard\\intbl a1\\cell b1\\cell\\row"
      "\\trowd\\cellx2000\\cellx4000\\pard\\intbl a2\\cell {\\b two} words\\par second line\\cell\\row\\pard\\par}";
  ImportRtf(table);
  for (int page = 1; page < 5; ++page) {
    form.Label24Click();
    ImportRtf(page == 4 ? table : "{\\rtf1 text only\\par}");
  }
  form.ButtonClick(3, TMouseButton::mbLeft);
  form.Label28Click();
  ASSERT_FALSE(form.PageEditors.at(3));

  host.saveAnswers = {dir / "out.xlsx"};
  ASSERT_TRUE(form.Dispatch([&] { form.image5Click(); }));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"Total 4 pages has been found!\rCreate Success" + (dir / "out.xlsx").u16string() + u"!");
  EXPECT_EQ(host.saveRequests.at(0).title, u"export");
  EXPECT_EQ(host.saveRequests.at(0).filter, u"microsoft office excel format(*.xls)|*.xls");

  test::ConvertWithOffice({dir / "out.xlsx"}, "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1",
                          dir.path());
  // The first table on sheet 1, the second on sheet 2; page 4 added sheet 4.
  const std::string sheet = "a1,b1\na2,\"two words\nsecond line\"\n";
  EXPECT_EQ(test::ReadFileBytes(dir / "out-Sheet1.csv"), sheet);
  EXPECT_EQ(test::ReadFileBytes(dir / "out-Sheet2.csv"), sheet);
  EXPECT_TRUE(std::filesystem::exists(dir / "out-Sheet4.csv"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out-Sheet5.csv"));
}

}  // namespace
}  // namespace varnolt
