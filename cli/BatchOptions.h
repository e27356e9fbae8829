#pragma once
// The command line of the batch mode: varnolt INPUT... -o OUTPUT [options].
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace varnolt {

struct TPageGeometry {
  std::int32_t first = 0;
  std::int32_t second = 0;
};

struct TBatchOptions {
  std::vector<std::string> inputs;
  std::string output;
  std::optional<std::u16string> title, subject, author, keywords;
  std::optional<TPageGeometry> pageSize;  // width, height
  std::optional<TPageGeometry> margins;   // left, top
  bool quiet = false;
};

enum class TBatchRequest { kConvert, kHelp, kVersion, kWindow };

struct TParsedCommandLine {
  TBatchRequest request = TBatchRequest::kConvert;
  TBatchOptions options;
};

struct TUsageError {
  std::string message;  // one line
};

std::variant<TParsedCommandLine, TUsageError> ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText();

}  // namespace varnolt
