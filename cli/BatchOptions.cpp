#include "cli/BatchOptions.h"

#include <charconv>
#include <functional>
#include <map>

#include "platform/CodePage.h"

namespace varnolt {

namespace {

std::optional<std::int32_t> ParseNonNegative(std::string_view text) {
  std::int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

std::optional<TPageGeometry> ParsePair(const std::string& text) {
  auto comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  auto first = ParseNonNegative(std::string_view(text).substr(0, comma));
  auto second = ParseNonNegative(std::string_view(text).substr(comma + 1));
  if (!first || !second) return std::nullopt;
  return TPageGeometry{*first, *second};
}

using ValueSetter = std::function<std::optional<std::string>(TBatchOptions&, const std::string&)>;

ValueSetter TextInto(std::optional<std::u16string> TBatchOptions::*field) {
  return [field](TBatchOptions& options, const std::string& value) -> std::optional<std::string> {
    options.*field = Utf8ToUtf16(value);
    return std::nullopt;
  };
}

ValueSetter PairInto(std::optional<TPageGeometry> TBatchOptions::*field, std::string what) {
  return [field, what](TBatchOptions& options, const std::string& value) -> std::optional<std::string> {
    auto pair = ParsePair(value);
    if (!pair) return what + " takes two whole numbers as A,B, not '" + value + "'";
    options.*field = *pair;
    return std::nullopt;
  };
}

const std::map<std::string, ValueSetter>& OptionsWithValues() {
  static const std::map<std::string, ValueSetter> options = {
      {"-o", [](TBatchOptions& o, const std::string& v) -> std::optional<std::string> {
         o.output = v;
         return std::nullopt;
       }},
      {"--title", TextInto(&TBatchOptions::title)},
      {"--subject", TextInto(&TBatchOptions::subject)},
      {"--author", TextInto(&TBatchOptions::author)},
      {"--keywords", TextInto(&TBatchOptions::keywords)},
      {"--page-size", PairInto(&TBatchOptions::pageSize, "--page-size")},
      {"--margins", PairInto(&TBatchOptions::margins, "--margins")},
  };
  return options;
}

}  // namespace

std::variant<TParsedCommandLine, TUsageError> ParseCommandLine(const std::vector<std::string>& arguments) {
  TParsedCommandLine parsed;
  if (arguments.empty()) {
    parsed.request = TBatchRequest::kWindow;
    return parsed;
  }
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      parsed.request = TBatchRequest::kHelp;
      return parsed;
    }
    if (argument == "--version") {
      parsed.request = TBatchRequest::kVersion;
      return parsed;
    }
    if (argument == "-q" || argument == "--quiet") {
      parsed.options.quiet = true;
      continue;
    }
    auto option = OptionsWithValues().find(argument);
    if (option != OptionsWithValues().end()) {
      if (i + 1 >= arguments.size()) return TUsageError{argument + " needs a value"};
      if (auto error = option->second(parsed.options, arguments[++i])) return TUsageError{*error};
      continue;
    }
    if (argument.size() > 1 && argument[0] == '-') return TUsageError{"unknown option " + argument};
    parsed.options.inputs.push_back(argument);
  }
  if (parsed.options.inputs.empty()) return TUsageError{"no input given"};
  if (parsed.options.output.empty()) return TUsageError{"no output given (-o OUTPUT)"};
  return parsed;
}

std::string UsageText() {
  return "usage: varnolt INPUT... -o OUTPUT [options]\n"
         "\n"
         "Converts every INPUT into one page of a project and writes the project as OUTPUT.\n"
         "Inputs: .txt text files, .rtf files, .doc/.docx/.odt documents, .xls/.xlsx/.ods\n"
         "workbooks, .htm/.html files and http://, https://, file:// addresses.\n"
         "Outputs: .pdf, .rtf, .doc/.docx/.odt, .xls/.xlsx/.ods, and .txt (the plain text of\n"
         "every page). Word and Excel documents need LibreOffice (soffice on PATH, or\n"
         "VARNOLT_SOFFICE; VARNOLT_OFFICE_TIMEOUT seconds per conversion, 120 by default).\n"
         "\n"
         "options:\n"
         "  -o OUTPUT          the file to write\n"
         "  --title TEXT       PDF title\n"
         "  --subject TEXT     PDF subject\n"
         "  --author TEXT      PDF author\n"
         "  --keywords TEXT    PDF keywords\n"
         "  --page-size W,H    page width and height in points, for every page\n"
         "  --margins L,T      left (and right) and top (and bottom) margins in points\n"
         "  -q, --quiet        no progress line\n"
         "  --help             this text\n"
         "  --version          the program's version\n";
}

}  // namespace varnolt
