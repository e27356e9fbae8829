#pragma once
// The command line of the batch mode: varnolt INPUT... -o OUTPUT [options].
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/PageGeometry.h"

namespace varnolt {

struct TBatchOptions {
  std::vector<std::string> inputs;
  std::string output;
  std::optional<std::u16string> title, subject, author, keywords;
  std::optional<TPageSize> pageSize;
  std::optional<TPageMargins> margins;
  bool quiet = false;
  bool plainPdf = false;  // the text-only PDF export instead of the formatted one
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
