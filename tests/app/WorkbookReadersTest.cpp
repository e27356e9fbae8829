// Our .xlsx and .ods readers on workbooks the office suite wrote from a
// source we keep, beside the office suite's own sheets as the import's
// LibreOffice road takes them (one CSV per sheet, cells as shown).
#include <gtest/gtest.h>

#include <cstdio>

#include "app/SheetTable.h"
#include "app/Unit2.h"
#include "platform/Office.h"
#include "platform/XmlStream.h"
#include "platform/ZipPackage.h"
#include "richtext/sheet/WorkbookReader.h"
#include "richtext/table/RVTable.h"
#include "tests/app/TestHost.h"
#include "tests/support/Environment.h"
#include "tests/support/OfficeChecks.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

const std::vector<std::string> kVisibleSheets = {"Values", "Dates", "Merged", "Scripts", "Wide"};

class WorkbookReadersTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::ScratchDir;
    const auto source = *dir_ / "workbook.fods";
    std::filesystem::copy_file(test::TestDataDir() / "office" / "workbook.fods", source);
    for (const char* format : {"xlsx", "ods"}) {
      test::ConvertWithOffice({source}, format, dir_->path());
      std::filesystem::rename(*dir_ / (std::string("workbook.") + format),
                              *dir_ / (std::string("book-") + format + "." + format));
    }
    test::ConvertWithOffice({Book("xlsx"), Book("ods")}, kOfficeSheetsCsvFilter, dir_->path());
  }
  static void TearDownTestSuite() { delete dir_; }

  static std::filesystem::path Book(const std::string& format) { return *dir_ / ("book-" + format + "." + format); }
  static TSheetCells OfficeSheet(const std::string& format, const std::string& sheet) {
    return ImportedRange(ParseCsv(test::ReadFileBytes(*dir_ / ("book-" + format + "-" + sheet + ".csv"))));
  }

  static inline test::ScratchDir* dir_ = nullptr;
};

TEST_F(WorkbookReadersTest, EveryVisibleSheetInOrderWithTheCellsTheOfficeSuiteShows) {
  for (const std::string format : {"xlsx", "ods"}) {
    const auto sheets = ReadWorkbook(Book(format), kSheetImportRange);
    std::vector<std::string> names;
    for (const auto& sheet : sheets) names.push_back(sheet.name);
    ASSERT_EQ(names, kVisibleSheets) << format;
    int differences = 0;
    int cells = 0;
    for (const auto& sheet : sheets) {
      const TSheetCells ours = ImportedRange(sheet.cells);
      const TSheetCells office = OfficeSheet(format, sheet.name);
      ASSERT_EQ(ours.size(), office.size()) << format << " " << sheet.name;
      for (size_t row = 0; row < ours.size(); ++row) {
        ASSERT_EQ(ours[row].size(), office[row].size()) << format << " " << sheet.name;
        for (size_t column = 0; column < ours[row].size(); ++column) {
          ++cells;
          if (ours[row][column] == office[row][column]) continue;
          ++differences;
          ADD_FAILURE() << format << " " << sheet.name << " R" << row + 1 << "C" << column + 1 << ": ours \""
                        << ours[row][column] << "\", office \"" << office[row][column] << "\"";
        }
      }
    }
    std::printf("%s: %d of %d cells differ from the office suite's\n", format.c_str(), differences, cells);
  }
}

TEST_F(WorkbookReadersTest, MergedCellsCarryTheirAreas) {
  for (const std::string format : {"xlsx", "ods"}) {
    const auto sheets = ReadWorkbook(Book(format), kSheetImportRange);
    const auto& merged = sheets.at(2);
    ASSERT_EQ(merged.name, "Merged");
    std::vector<std::array<int, 4>> areas;
    for (const auto& m : merged.merges) areas.push_back({m.firstRow, m.firstColumn, m.lastRow, m.lastColumn});
    std::sort(areas.begin(), areas.end());
    EXPECT_EQ(areas, (std::vector<std::array<int, 4>>{{0, 0, 0, 2}, {1, 0, 2, 0}, {3, 0, 4, 1}})) << format;
  }
}

TEST_F(WorkbookReadersTest, TheExcelImportReadsThemWithoutTheOfficeSuite) {
  test::ScopedEnvironment noOffice("VARNOLT_SOFFICE", (*dir_ / "absent" / "soffice").string());
  test::ScopedEnvironment noPath("PATH", "/nonexistent");
  for (const std::string format : {"xlsx", "ods"}) {
    test::TestHost host;
    MemoryClipboard clipboard;
    TForm2 form{host, clipboard};
    host.openAnswers.push_back(Book(format));
    ASSERT_TRUE(form.Dispatch([&] { form.Label16Click(); }));
    EXPECT_TRUE(host.messages.empty()) << format;
    EXPECT_EQ(form.Progress.bar.Position(), 5);
    std::vector<const TRVTableItemInfo*> tables;
    auto& editor = form.CurrentEditor();
    for (int i = 0; i < editor.CountItems(); ++i) {
      if (auto* table = dynamic_cast<const TRVTableItemInfo*>(&editor.ItemAt(i))) tables.push_back(table);
    }
    ASSERT_EQ(tables.size(), 5u) << format;
    const auto* merged = tables[2];
    EXPECT_EQ(merged->CellAt(0, 0)->SpanColumns(), 3);
    EXPECT_EQ(merged->CellAt(1, 0)->SpanRows(), 2);
    EXPECT_EQ(merged->CellAt(3, 0)->SpanRows(), 2);
    EXPECT_EQ(merged->CellAt(3, 0)->SpanColumns(), 2);
    EXPECT_EQ(merged->CellAt(3, 0)->ItemTextAt(0), u"Block");
    // The wide sheet ends at AZ150.
    EXPECT_EQ(tables[4]->TableRowCount(), kSheetImportRows);
    EXPECT_EQ(tables[4]->TableColumnCount(), kSheetImportColumns);
  }
}

TEST_F(WorkbookReadersTest, TheOfficeReaderSwitchSendsThemThroughTheOfficeSuite) {
  test::ScopedEnvironment officeReader("VARNOLT_OFFICE_READER", "libreoffice");
  test::ScopedEnvironment noOffice("VARNOLT_SOFFICE", (*dir_ / "absent" / "soffice").string());
  test::ScopedEnvironment noPath("PATH", "/nonexistent");
  test::TestHost host;
  MemoryClipboard clipboard;
  TForm2 form{host, clipboard};
  host.openAnswers.push_back(Book("xlsx"));
  ASSERT_TRUE(form.Dispatch([&] { form.Label16Click(); }));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text,
            u"Microsoft Office Excel is not installed.\rPlease confirm your Microsoft Office Excel had already installed!");
  EXPECT_FALSE(ReadsWorkbookItself(Book("xlsx")));
}

}  // namespace
}  // namespace varnolt
