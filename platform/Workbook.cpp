#include "platform/Workbook.h"

#include <xlsxwriter.h>

#include <charconv>
#include <string>

#include "platform/Exception.h"

namespace varnolt {

namespace {

constexpr int kSheetsOfANewWorkbook = 3;

bool IsPlainNumber(std::string_view text, double& value) {
  if (text.empty() || text.front() == '+' || text.find_first_of(" \t") != std::string_view::npos) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

TWorkbookWriter::TWorkbookWriter(const std::filesystem::path& file) {
  workbook_ = workbook_new(file.c_str());
  if (workbook_ == nullptr) throw Exception("Cannot create the workbook " + file.string());
  for (int i = 0; i < kSheetsOfANewWorkbook; ++i) AddSheet();
}

TWorkbookWriter::~TWorkbookWriter() {
  // A workbook never closed is dropped unwritten: libxlsxwriter writes on
  // close only, so free it through a close into a file that is then removed.
  if (workbook_ != nullptr) {
    const std::string file = workbook_->filename;
    workbook_close(workbook_);
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
  }
}

int TWorkbookWriter::AddSheet() {
  const std::string name = "Sheet" + std::to_string(sheetCount_ + 1);
  if (workbook_add_worksheet(workbook_, name.c_str()) == nullptr) throw Exception("Cannot add the sheet " + name);
  return sheetCount_++;
}

void TWorkbookWriter::WriteCell(int sheet, int row, int column, std::string_view utf8) {
  if (utf8.empty() || sheet < 0 || sheet >= sheetCount_) return;
  const std::string name = "Sheet" + std::to_string(sheet + 1);
  lxw_worksheet* worksheet = workbook_get_worksheet_by_name(workbook_, name.c_str());
  if (worksheet == nullptr) return;
  double number = 0;
  if (IsPlainNumber(utf8, number)) {
    worksheet_write_number(worksheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), number, nullptr);
  } else {
    worksheet_write_string(worksheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                           std::string(utf8).c_str(), nullptr);
  }
}

void TWorkbookWriter::Close() {
  lxw_workbook* workbook = workbook_;
  workbook_ = nullptr;
  const lxw_error error = workbook_close(workbook);
  if (error != LXW_NO_ERROR) throw Exception(std::string("Cannot write the workbook: ") + lxw_strerror(error));
}

}  // namespace varnolt
