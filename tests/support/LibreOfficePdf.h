#pragma once
// Comparing our formatted PDF with the office suite's PDF of the same file:
// conversions by LibreOffice (cached on disk in the test program's build
// folder, so the many test processes of one program share one conversion),
// page sizes through pdfinfo, words with their boxes through pdftotext
// -bbox, and both PDFs rendered side by side for a person to look at.
#include <filesystem>
#include <string>
#include <vector>

namespace varnolt::test {

// Converts each file with LibreOffice to the extension (as --convert-to
// takes it: "rtf", "pdf"), all missing ones in one run, and returns the
// converted files in order. A file converted before (same bytes, same name)
// is not converted again. Fails the test (and returns what exists) when
// LibreOffice does not run or writes nothing.
std::vector<std::filesystem::path> OfficeConverted(const std::vector<std::filesystem::path>& files,
                                                   const std::string& extension);
// The .fodt as LibreOffice writes it as RTF.
std::filesystem::path OfficeRtfOf(const std::filesystem::path& fodt);
// The file as LibreOffice prints it to PDF.
std::filesystem::path OfficePdfOf(const std::filesystem::path& file);

struct PdfPageSize {
  double Width = 0;  // points, as pdfinfo rounds them
  double Height = 0;
};
// One entry per page; empty when pdfinfo cannot read the file.
std::vector<PdfPageSize> PdfPageSizes(const std::filesystem::path& pdf);

struct PdfWord {
  int Page = 0;  // from 1
  double XMin = 0;
  double YMin = 0;  // from the page's top, in points
  double XMax = 0;
  double YMax = 0;
  std::string Text;
};
// Every word pdftotext finds, in its reading order.
std::vector<PdfWord> PdfWords(const std::filesystem::path& pdf);
// The first word of each page (pages without words are left out).
std::vector<PdfWord> FirstWordOfEachPage(const std::vector<PdfWord>& words);
// The first word of the page whose text is text, nullptr when there is none.
const PdfWord* FindWord(const std::vector<PdfWord>& words, const std::string& text, int page = 0);

// Renders both PDFs at the resolution (pixels per inch) and writes one PNG
// per page into folder, named name-N.png, ours on the left and theirs on
// the right; a page only one of them has stands alone. Returns the files.
std::vector<std::filesystem::path> RenderSideBySide(const std::filesystem::path& ours,
                                                    const std::filesystem::path& theirs,
                                                    const std::filesystem::path& folder, const std::string& name,
                                                    int resolution = 50);

// <build folder of the test program>/side-by-side: where the pictures go.
std::filesystem::path SideBySideFolder();

}  // namespace varnolt::test
