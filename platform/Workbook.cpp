#include "platform/Workbook.h"

#include <xlsxwriter.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/Exception.h"
#include "platform/Paths.h"

namespace varnolt {

namespace {

constexpr int kSheetsOfANewWorkbook = 3;

bool IsPlainNumber(std::string_view text, double& value) {
  if (text.empty() || text.front() == '+' || text.find_first_of(" \t") != std::string_view::npos) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  return error == std::errc() && end == text.data() + text.size();
}

// The library prints its errors ("[ERROR][packager.c:...]") to standard
// error itself; ours say them once, in our words. Other threads' lines are
// lost for that moment.
class TStandardErrorSilenced {
 public:
  TStandardErrorSilenced() {
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
      ::dup2(null, STDERR_FILENO);
      ::close(null);
    }
  }
  ~TStandardErrorSilenced() {
    std::fflush(stderr);
    if (saved_ < 0) return;
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
  }
  TStandardErrorSilenced(const TStandardErrorSilenced&) = delete;
  TStandardErrorSilenced& operator=(const TStandardErrorSilenced&) = delete;

 private:
  int saved_ = -1;
};

std::string ReasonOf(lxw_error error, int systemError, const std::string& scratchFolder) {
  std::string reason;
  switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE: reason = "the file could not be created"; break;
    case LXW_ERROR_CREATING_TMPFILE: reason = "no temporary file could be made in " + QuotedFileName(scratchFolder); break;
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE: reason = "its zip package could not be written"; break;
    case LXW_ERROR_MEMORY_MALLOC_FAILED: reason = "out of memory"; break;
    default: reason = lxw_strerror(error); break;
  }
  if (systemError != 0) reason += std::string(" (") + std::strerror(systemError) + ")";
  return reason;
}

}  // namespace

TWorkbookWriter::TWorkbookWriter(const std::filesystem::path& file, const std::filesystem::path& scratchFolder)
    : scratchFolder_(scratchFolder.native()) {
  lxw_workbook_options options{};
  options.tmpdir = scratchFolder_.data();
  TStandardErrorSilenced silenced;
  workbook_ = workbook_new_opt(file.c_str(), &options);
  if (workbook_ == nullptr) throw Exception("Cannot create the workbook " + QuotedFileName(file));
  for (int i = 0; i < kSheetsOfANewWorkbook; ++i) AddSheet();
}

TWorkbookWriter::~TWorkbookWriter() {
  // A workbook never closed is dropped unwritten: libxlsxwriter writes on
  // close only, so free it through a close into a file that is then removed.
  if (workbook_ != nullptr) {
    const std::string file = workbook_->filename;
    TStandardErrorSilenced silenced;
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
  errno = 0;
  lxw_error error = LXW_NO_ERROR;
  {
    TStandardErrorSilenced silenced;
    error = workbook_close(workbook);
  }
  const int systemError = errno;
  if (error != LXW_NO_ERROR) throw Exception(ReasonOf(error, systemError, scratchFolder_));
}

}  // namespace varnolt
