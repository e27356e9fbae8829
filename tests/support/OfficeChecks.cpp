#include "tests/support/OfficeChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "tests/support/TestData.h"

namespace varnolt::test {

void ConvertWithOffice(const std::vector<std::filesystem::path>& files, const std::string& filter,
                       const std::filesystem::path& outDir) {
  ScratchDir profile;
  std::vector<std::string> command = {"soffice", "--headless", "-env:UserInstallation=file://" + profile.path().string(),
                                      "--convert-to", filter, "--outdir", outDir.string()};
  for (const auto& file : files) command.push_back(file.string());
  auto result = RunCommand(command);
  ASSERT_EQ(result.exitCode, 0) << result.output;
}

std::vector<std::string> WordsOf(std::string text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  static const std::regex listMarker(R"(^([0-9]{1,3}|[a-zA-Z]|[ivxIVX]{1,4})[.)]$|^\xE2\x80\xA2$|^-$)");
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) {
    if (!std::regex_match(word, listMarker)) words.push_back(word);
  }
  return words;
}

double WordAgreement(const std::vector<std::string>& ours, const std::vector<std::string>& theirs) {
  if (ours.empty() && theirs.empty()) return 1;
  std::vector<std::size_t> previous(theirs.size() + 1, 0);
  std::vector<std::size_t> current(theirs.size() + 1, 0);
  for (const auto& word : ours) {
    for (std::size_t j = 0; j < theirs.size(); ++j) {
      current[j + 1] = word == theirs[j] ? previous[j] + 1 : std::max(previous[j + 1], current[j]);
    }
    std::swap(previous, current);
  }
  return 2.0 * static_cast<double>(previous.back()) / static_cast<double>(ours.size() + theirs.size());
}

std::string OdtPart(const std::filesystem::path& odt, const std::string& part) {
  return RunCommand({"unzip", "-p", odt.string(), part}).output;
}

bool RunHasProperty(const std::string& content, const std::string& styles, const std::string& word,
                    const std::string& property) {
  std::smatch span;
  if (!std::regex_search(content, span, std::regex("<text:span text:style-name=\"([^\"]+)\">" + word + "</text:span>"))) {
    return false;
  }
  std::smatch style;
  const std::regex definition("<style:style style:name=\"" + span[1].str() + "\"[^>]*>(.*?)</style:style>");
  return std::regex_search(styles, style, definition) && style[1].str().find(property) != std::string::npos;
}

}  // namespace varnolt::test
