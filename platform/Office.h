#pragma once
// The office applications: LibreOffice started headless for each conversion.
// Every run gets its own profile folder (two runs sharing one fail
// silently), its own process group and a time limit; what it wrote is
// checked, since it exits 0 even when it converted nothing. Arguments go to
// the process as a vector, never through a shell.
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Exception.h"

namespace varnolt {

// A conversion that failed or ran out of time.
class EOfficeError : public Exception {
 public:
  using Exception::Exception;
};

// Filters as LibreOffice's --convert-to takes them.
inline constexpr char kOfficeRtfFilter[] = "rtf";
// One UTF-8 CSV file per sheet, cells as the sheet shows them.
inline constexpr char kOfficeSheetsCsvFilter[] =
    "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,-1";

// What one LibreOffice process did.
struct OfficeProcessResult {
  int exitStatus = -1;  // -1 when it did not exit by itself
  bool timedOut = false;
  std::string standardOutput;
};

// Runs program with arguments in a process group of its own and standard
// output collected; past the limit the whole group is killed. Throws
// EOfficeError when the program cannot be started.
OfficeProcessResult RunInOwnProcessGroup(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                                         std::chrono::milliseconds limit);

// The conversion time limit: VARNOLT_OFFICE_TIMEOUT seconds, 120 by default.
std::chrono::milliseconds OfficeTimeLimit();

// True when VARNOLT_OFFICE_READER is "libreoffice": every office input then
// goes through LibreOffice, for comparison and as a way out; otherwise the
// formats Varnolt reads itself are read without it.
bool OfficeReadsEveryInput();

// The soffice to start: VARNOLT_SOFFICE when set, else the first on PATH;
// empty when there is none that can be executed.
std::optional<std::filesystem::path> FindSoffice();

class Office {
 public:
  Office() = default;
  // Removes every file the conversions wrote.
  ~Office();
  Office(const Office&) = delete;
  Office& operator=(const Office&) = delete;

  // True when LibreOffice can be started.
  bool Connect();

  // The files the conversion of input with filter wrote: one document, or
  // one CSV file per sheet in sheet order. They live until this object goes.
  // Throws EOfficeError when nothing was converted or the time ran out.
  std::vector<std::filesystem::path> Convert(const std::filesystem::path& input, const std::string& filter);
  // Converts several inputs in one LibreOffice run (more when two share a
  // name), so that later Convert calls for them find their results. Failures
  // are left for those calls to report.
  void ConvertAhead(const std::vector<std::filesystem::path>& inputs, const std::string& filter);

  // A new private folder for scratch files, removed with this object.
  std::filesystem::path NewScratchFolder() { return NewFolder("scratch-"); }

 private:
  using Key = std::pair<std::string, std::filesystem::path>;  // filter, absolute input
  // One soffice run over inputs whose names differ; records what each wrote.
  OfficeProcessResult RunConversion(const std::vector<std::filesystem::path>& inputs, const std::string& filter);
  std::filesystem::path NewFolder(const std::string& prefix);
  std::filesystem::path WorkFolder();

  std::optional<std::filesystem::path> soffice_;
  std::filesystem::path workFolder_;
  int folderCount_ = 0;
  std::map<Key, std::vector<std::filesystem::path>> converted_;
  // Inputs of a run ahead that ran out of time: trying each again would
  // wait the whole limit once more.
  std::set<Key> timedOut_;
};

}  // namespace varnolt
