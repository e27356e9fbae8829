#include "tests/support/PdfReaders.h"

#include <cctype>

#include "tests/support/TestData.h"

namespace varnolt::test {

testing::AssertionResult PassesQpdfCheck(const std::filesystem::path& pdf) {
  CommandResult result = RunCommand({"qpdf", "--check", pdf.string()});
  // qpdf exits 2 on errors and 3 on warnings; some warnings only show in the text.
  bool warned = result.output.find("WARNING") != std::string::npos;
  if (result.exitCode != 0 || warned) {
    return testing::AssertionFailure() << "qpdf --check exit " << result.exitCode << ":\n" << result.output;
  }
  return testing::AssertionSuccess();
}

std::string ExtractedText(const std::filesystem::path& pdf) {
  std::filesystem::path textFile = pdf;
  textFile += ".txt";
  // Content-stream order: tight character spacing can make the layout
  // analysis take lines for columns.
  CommandResult result = RunCommand({"pdftotext", "-raw", "-enc", "UTF-8", pdf.string(), textFile.string()});
  if (result.exitCode != 0) return "pdftotext failed: " + result.output;
  return ReadFileBytes(textFile);
}

std::string FoldedWhiteSpace(const std::string& text) {
  std::string folded;
  bool pendingSpace = false;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      pendingSpace = !folded.empty();
      continue;
    }
    if (pendingSpace) folded.push_back(' ');
    pendingSpace = false;
    folded.push_back(c);
  }
  return folded;
}

std::string WithoutWhiteSpace(const std::string& text) {
  std::string kept;
  for (char c : text) {
    if (!std::isspace(static_cast<unsigned char>(c))) kept.push_back(c);
  }
  return kept;
}

testing::AssertionResult IsReadablePdfWithText(const std::string& pdfBytes, const std::string& expectedText,
                                               Spaces spaces) {
  ScratchDir scratch;
  std::filesystem::path pdf = scratch / "checked.pdf";
  WriteFileBytes(pdf, pdfBytes);
  testing::AssertionResult checked = PassesQpdfCheck(pdf);
  if (!checked) return checked;
  auto normalized = spaces == Spaces::kFolded ? FoldedWhiteSpace : WithoutWhiteSpace;
  std::string extracted = normalized(ExtractedText(pdf));
  std::string expected = normalized(expectedText);
  if (extracted != expected) {
    return testing::AssertionFailure() << "pdftotext gave \"" << extracted << "\", expected \"" << expected << "\"";
  }
  return testing::AssertionSuccess();
}

}  // namespace varnolt::test
