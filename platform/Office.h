#pragma once
// The office applications: LibreOffice started headless for each conversion.
// Every run gets its own profile folder (two runs sharing one fail
// silently), its own process group and a time limit; what it wrote is
// checked, since it exits 0 even when it converted nothing. Arguments go to
// the process as a vector, never through a shell.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
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
// output collected, with TMPDIR set to temporaryFolder when one is given;
// past the limit the whole group is killed. Throws EOfficeError when the
// program cannot be started.
OfficeProcessResult RunInOwnProcessGroup(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                                         std::chrono::milliseconds limit,
                                         const std::optional<std::filesystem::path>& temporaryFolder = std::nullopt);

// The conversion time limit: VARNOLT_OFFICE_TIMEOUT seconds, 120 by default.
std::chrono::milliseconds OfficeTimeLimit();

// Whether an office input goes through LibreOffice: the binary formats
// always, every format when VARNOLT_OFFICE_READER is "libreoffice"; the
// formats our own readers know otherwise not.
bool OfficeInputNeedsLibreOffice(const std::filesystem::path& input);
// Whether VARNOLT_OFFICE_READER sends every office input through LibreOffice.
bool OfficeReaderIsLibreOffice();

// The soffice to start: VARNOLT_SOFFICE when set, else the first on PATH;
// empty when there is none that can be executed.
std::optional<std::filesystem::path> FindSoffice();

// Why VARNOLT_OFFICE_TIMEOUT was not followed, for a front end to say once;
// empty when it was followed or is not set.
std::optional<std::string> OfficeTimeLimitProblem();

// Whether the file starts as a zip package does (.docx, .xlsx, .odt, .ods
// are such packages); false for a file that cannot be read.
bool StartsAsZipPackage(const std::filesystem::path& file);
// True for a file named as a package format (.docx, .xlsx, .odt, .ods, in
// any letter case) that does not start as one.
bool IsPackageNameWithoutPackage(const std::filesystem::path& file);

class Office {
 public:
  Office() = default;
  Office(const Office&) = delete;
  Office& operator=(const Office&) = delete;

  // True when LibreOffice can be started.
  bool Connect();

  // What the conversion of input with filter wrote: one document, or one
  // CSV file per sheet in sheet order. Every conversion runs anew, except
  // for inputs converted ahead and unchanged since. Whatever happens, the
  // conversion's folder and LibreOffice's profile are gone by the return.
  // Throws EOfficeError when nothing was converted or the time ran out.
  std::vector<std::string> Convert(const std::filesystem::path& input, const std::string& filter);
  // Converts several inputs in one LibreOffice run (more when two share a
  // name) and keeps the results, so that later Convert calls for them find
  // them while the files stay as they were (same size and modification
  // time). Failures are left for those calls to report.
  void ConvertAhead(const std::vector<std::filesystem::path>& inputs, const std::string& filter);

 private:
  // Filter, absolute input, and the input's size and modification time.
  using Key = std::tuple<std::string, std::filesystem::path, std::uintmax_t, std::filesystem::file_time_type>;
  static Key KeyOf(const std::string& filter, const std::filesystem::path& absolute);
  // One soffice run over inputs whose names differ, in a folder removed
  // before it returns; records what each wrote.
  OfficeProcessResult RunConversion(const std::vector<std::filesystem::path>& inputs, const std::string& filter,
                                    std::map<Key, std::vector<std::string>>& results);

  std::optional<std::filesystem::path> soffice_;
  std::map<Key, std::vector<std::string>> convertedAhead_;
  // Inputs of a run ahead that ran out of time: trying each again would
  // wait the whole limit once more.
  std::set<Key> timedOut_;
};

}  // namespace varnolt
