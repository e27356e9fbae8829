#pragma once
// An .xlsx workbook built in memory and written on Close, the way the Excel
// export fills one: it starts with three sheets, more are added at the end.
#include <filesystem>
#include <string>
#include <string_view>

typedef struct lxw_workbook lxw_workbook;

namespace varnolt {

class TWorkbookWriter {
 public:
  // The library's own temporary files go into scratchFolder. Throws
  // varnolt::Exception when the workbook cannot be set up.
  TWorkbookWriter(const std::filesystem::path& file, const std::filesystem::path& scratchFolder);
  ~TWorkbookWriter();
  TWorkbookWriter(const TWorkbookWriter&) = delete;
  TWorkbookWriter& operator=(const TWorkbookWriter&) = delete;

  int SheetCount() const { return sheetCount_; }
  // The new sheet's index (0-based).
  int AddSheet();
  // Zero-based row and column; text that is a plain decimal number is
  // written as a number. Never fails: a cell that cannot be written is left.
  void WriteCell(int sheet, int row, int column, std::string_view utf8);
  // Writes the file; throws varnolt::Exception saying why when it cannot.
  // The library's own error lines are kept off standard error.
  void Close();

 private:
  lxw_workbook* workbook_ = nullptr;
  std::string scratchFolder_;  // the library keeps the pointer
  int sheetCount_ = 0;
};

}  // namespace varnolt
