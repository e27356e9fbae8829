#pragma once
// Checks against the office suite itself: files converted by its own
// --convert-to, and what its documents hold.
#include <filesystem>
#include <string>
#include <vector>

namespace varnolt::test {

// Converts the files into outDir with the office suite (filter as its
// --convert-to takes it); each run gets a profile of its own. Fails the
// test when the suite does not run.
void ConvertWithOffice(const std::vector<std::filesystem::path>& files, const std::string& filter,
                       const std::filesystem::path& outDir);

// The words of a text in order; list numbers and bullets, which only the
// office suite writes into plain text, do not count.
std::vector<std::string> WordsOf(std::string text);

// How far two texts agree word for word: twice the longest common
// subsequence of their words over the sum of their counts (1 when equal).
double WordAgreement(const std::vector<std::string>& ours, const std::vector<std::string>& theirs);

// One part (content.xml, styles.xml) of an OpenDocument file.
std::string OdtPart(const std::filesystem::path& odt, const std::string& part);

// Whether the span holding exactly word has a style (automatic or named)
// with the given text property.
bool RunHasProperty(const std::string& content, const std::string& styles, const std::string& word,
                    const std::string& property);

}  // namespace varnolt::test
