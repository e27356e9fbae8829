#include "app/InputKinds.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "app/Unit2.h"
#include "platform/WebPage.h"

namespace varnolt {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::string LowerExtension(const std::string& name) {
  return Lower(std::filesystem::path(name).extension().string());
}

bool IsWebAddress(const std::string& input) {
  const std::string start = Lower(input.substr(0, 8));
  return start.starts_with("http://") || start.starts_with("https://") || start.starts_with("file://");
}

TInputKind InputKindOf(const std::string& input) {
  static const std::map<std::string, TInputKind> kinds = {
      {".txt", TInputKind::kText},     {".rtf", TInputKind::kRtf},      {".doc", TInputKind::kWord},
      {".docx", TInputKind::kWord},    {".odt", TInputKind::kWord},     {".xls", TInputKind::kExcel},
      {".xlsx", TInputKind::kExcel},   {".ods", TInputKind::kExcel},    {".htm", TInputKind::kWebPage},
      {".html", TInputKind::kWebPage}};
  if (IsWebAddress(input)) return TInputKind::kWebPage;
  auto found = kinds.find(LowerExtension(input));
  return found == kinds.end() ? TInputKind::kUnsupported : found->second;
}

std::string UnknownInputMessage(const std::string& input) {
  return "cannot import " + input + ": unknown kind of input";
}

std::optional<std::string> UnreadableInputProblem(const std::string& input) {
  if (IsWebAddress(input)) return std::nullopt;
  std::error_code error;
  const auto type = std::filesystem::status(input, error).type();
  if (type == std::filesystem::file_type::not_found) return input + ": no such file";
  if (type == std::filesystem::file_type::directory) return input + ": is a directory";
  if (error) return input + ": " + error.message();
  if (type != std::filesystem::file_type::regular) return input + ": not a regular file";
  return std::nullopt;
}

TImportStep ImportStepFor(const std::string& input) {
  switch (InputKindOf(input)) {
    case TInputKind::kWebPage: return {&TForm2::Label13Click, true, IsWebAddress(input) ? input : FileAddress(input)};
    case TInputKind::kRtf: return {&TForm2::Label36Click, false, input};
    case TInputKind::kWord: return {&TForm2::Label6Click, false, input};
    case TInputKind::kExcel: return {&TForm2::Label16Click, false, input};
    default: return {&TForm2::Label12Click, false, input};
  }
}

}  // namespace varnolt
