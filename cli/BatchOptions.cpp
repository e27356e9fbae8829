#include "cli/BatchOptions.h"

#include <charconv>
#include <functional>
#include <map>
#include <utility>

#include "platform/CodePage.h"

namespace varnolt {

namespace {

bool IsOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

// "--title=T" is "--title" with the value "T".
std::pair<std::string, std::optional<std::string>> SplitInlineValue(const std::string& argument) {
  const auto equals = argument.find('=');
  if (!argument.starts_with("--") || equals == std::string::npos) return {argument, std::nullopt};
  return {argument.substr(0, equals), argument.substr(equals + 1)};
}

std::optional<std::int32_t> ParseNonNegative(std::string_view text) {
  std::int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

// Two whole numbers written as A,B, into a pair of named fields.
template <class TPair>
std::optional<TPair> ParsePair(const std::string& text) {
  auto comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  auto a = ParseNonNegative(std::string_view(text).substr(0, comma));
  auto b = ParseNonNegative(std::string_view(text).substr(comma + 1));
  if (!a || !b) return std::nullopt;
  return TPair{*a, *b};
}

using ValueSetter = std::function<std::optional<std::string>(TBatchOptions&, const std::string&)>;

ValueSetter TextInto(std::optional<std::u16string> TBatchOptions::*field) {
  return [field](TBatchOptions& options, const std::string& value) -> std::optional<std::string> {
    options.*field = Utf8ToUtf16(value);
    return std::nullopt;
  };
}

template <class TPair>
ValueSetter PairInto(std::optional<TPair> TBatchOptions::*field, std::string what) {
  return [field, what](TBatchOptions& options, const std::string& value) -> std::optional<std::string> {
    auto pair = ParsePair<TPair>(value);
    if (!pair) return what + " takes two whole numbers as A,B, not '" + value + "'";
    options.*field = *pair;
    return std::nullopt;
  };
}

std::optional<std::string> OutputInto(TBatchOptions& options, const std::string& value) {
  if (!options.output.empty()) return "-o given twice";
  if (IsOption(value)) return "-o needs the output file, not the option " + value;
  options.output = value;
  return std::nullopt;
}

const std::map<std::string, ValueSetter>& OptionsWithValues() {
  static const std::map<std::string, ValueSetter> options = {
      {"-o", OutputInto},
      {"--title", TextInto(&TBatchOptions::title)},
      {"--subject", TextInto(&TBatchOptions::subject)},
      {"--author", TextInto(&TBatchOptions::author)},
      {"--keywords", TextInto(&TBatchOptions::keywords)},
      {"--page-size", PairInto(&TBatchOptions::pageSize, "--page-size")},
      {"--margins", PairInto(&TBatchOptions::margins, "--margins")},
  };
  return options;
}

// varnolt --window [--] [FILE|URL]...: the files and addresses open in the window.
std::variant<TParsedCommandLine, TUsageError> ParseWindowLine(const std::vector<std::string>& arguments) {
  TParsedCommandLine parsed;
  parsed.request = TBatchRequest::kWindow;
  bool optionsEnded = false;
  for (size_t i = 1; i < arguments.size(); ++i) {
    if (!optionsEnded && arguments[i] == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && IsOption(arguments[i])) {
      return TUsageError{"--window takes only files and addresses, not " + arguments[i]};
    } else {
      parsed.options.inputs.push_back(arguments[i]);
    }
  }
  return parsed;
}

}  // namespace

std::variant<TParsedCommandLine, TUsageError> ParseCommandLine(const std::vector<std::string>& arguments) {
  TParsedCommandLine parsed;
  if (arguments.empty()) {
    parsed.request = TBatchRequest::kWindow;
    return parsed;
  }
  if (arguments.front() == "--window") return ParseWindowLine(arguments);
  bool optionsEnded = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || !IsOption(argument)) {
      parsed.options.inputs.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
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
    if (argument == "--plain-pdf") {
      parsed.options.plainPdf = true;
      continue;
    }
    const auto [name, inlineValue] = SplitInlineValue(argument);
    auto option = OptionsWithValues().find(name);
    if (option == OptionsWithValues().end()) return TUsageError{"unknown option " + argument};
    if (!inlineValue && i + 1 >= arguments.size()) return TUsageError{name + " needs a value"};
    const std::string& value = inlineValue ? *inlineValue : arguments[++i];
    if (auto error = option->second(parsed.options, value)) return TUsageError{*error};
  }
  if (parsed.options.inputs.empty()) return TUsageError{"no input given"};
  if (parsed.options.output.empty()) return TUsageError{"no output given (-o OUTPUT)"};
  return parsed;
}

std::string UsageText() {
  return "usage: varnolt INPUT... -o OUTPUT [options]\n"
         "       varnolt --window [FILE|URL]...\n"
         "\n"
         "Converts every INPUT into one page of a project and writes the project as OUTPUT.\n"
         "Inputs: .txt text files, .rtf files, .doc/.docx/.odt documents, .xls/.xlsx/.ods\n"
         "workbooks, .htm/.html files and http://, https://, file:// addresses.\n"
         "Outputs: .pdf (pages as they look: fonts, colours, tables, pictures, lists, notes,\n"
         "links), .rtf, .doc/.docx/.odt, .xls/.xlsx/.ods, and .txt (the plain text of\n"
         "every page). .docx inputs are read by Varnolt itself; the other Word and Excel\n"
         "documents need LibreOffice (soffice on PATH, or VARNOLT_SOFFICE;\n"
         "VARNOLT_OFFICE_TIMEOUT seconds per conversion, 120 by default), and so does\n"
         "every office input when VARNOLT_OFFICE_READER=libreoffice.\n"
         "\n"
         "options (--name=VALUE works like --name VALUE):\n"
         "  -o OUTPUT          the file to write\n"
         "  --title TEXT       document title (PDF and RTF)\n"
         "  --subject TEXT     document subject\n"
         "  --author TEXT      document author\n"
         "  --keywords TEXT    document keywords\n"
         "  --page-size W,H    page width and height in points, for every page\n"
         "  --margins L,T      left (and right) and top (and bottom) margins in points\n"
         "  --plain-pdf        .pdf output as the window's PDF button writes it: each page's\n"
         "                     plain text in one font\n"
         "  -q, --quiet        no progress line and no summary; warnings and errors stay\n"
         "  --                 every further argument is an input\n"
         "  --window [FILE|URL]...  open the window instead, each file or address imported\n"
         "                     as a page (into the running window when there is one)\n"
         "  --help             this text\n"
         "  --version          the program's version\n"
         "\n"
         "Exit status: 0 the output is complete (warnings may have been printed), 1 a\n"
         "command failed or content was lost (nothing is written then), 2 a usage error.\n";
}

}  // namespace varnolt
