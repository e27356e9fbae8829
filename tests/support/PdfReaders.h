#pragma once
// Checks of written PDF files by real readers: qpdf for the structure,
// pdftotext for the text a viewer would extract.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace varnolt::test {

// qpdf --check exits 0 and reports neither an error nor a warning.
testing::AssertionResult PassesQpdfCheck(const std::filesystem::path& pdf);

// The text pdftotext extracts (UTF-8, content-stream order, pages ended by
// form feeds).
std::string ExtractedText(const std::filesystem::path& pdf);

enum class Spaces {
  kFolded,   // every run of white space counts as one space
  kIgnored,  // white space does not count: under a negative character
             // spacing word gaps are too narrow for pdftotext to see
};

// Both checks on bytes held in memory: saved into a scratch file, checked by
// qpdf, and the extracted text compared with expectedText, both trimmed and
// with their white space treated as spaces says.
testing::AssertionResult IsReadablePdfWithText(const std::string& pdfBytes, const std::string& expectedText,
                                               Spaces spaces = Spaces::kFolded);

// Folds every run of white space to one space and trims both ends.
std::string FoldedWhiteSpace(const std::string& text);
// Drops all white space.
std::string WithoutWhiteSpace(const std::string& text);

}  // namespace varnolt::test
