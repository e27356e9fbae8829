#include "pdf/PdfEmbeddedFont.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"
#include "platform/CodePage.h"
#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

struct ScriptLine {
  const char* name;
  std::u16string family;
  std::u16string text;
  bool rightToLeft;
};

// Each line needs shaping of its own kind: Cyrillic plain, Arabic joined,
// right to left and with the lam-alef ligature, Devanagari with the conjunct "क्ष" and the vowel sign
// "ि" drawn before its consonant, Latin with the "ffi" ligature.
const ScriptLine kLines[] = {
    {"Cyrillic", u"DejaVu Sans", u"Съешь же ещё этих мягких булок", false},
    {"Arabic", u"Noto Sans Arabic", u"السلام عليكم ومرحبا", true},
    {"Devanagari", u"Noto Sans Devanagari", u"क्षत्रिय किताब", false},
    {"Ligature", u"Noto Serif", u"office affine", false},
};

TPdfFontFace FaceFor(const ScriptLine& line) {
  std::optional<TPdfFontFace> face = FindFontFace(line.family, false, false, line.text[0]);
  if (!face) ADD_FAILURE() << "no installed font has the first character of the " << line.name << " line";
  return face.value_or(TPdfFontFace{});
}

// Draws each line on its own baseline with the font found for it.
std::string WriteLines(std::span<const ScriptLine> lines, TPdfCompressionMethod method) {
  TPdfDoc doc;
  doc.SetCompressionMethod(method);
  doc.StartDocument();
  doc.AddPage();
  TPdfCanvas& canvas = doc.GetCanvas();
  float baseline = 780;
  for (const ScriptLine& line : lines) {
    TPdfEmbeddedFont& font = doc.GetEmbeddedFont(FaceFor(line));
    std::vector<TPdfGlyph> glyphs = font.Shape(line.text, line.rightToLeft);
    canvas.SelectFont(font, 14);
    canvas.TextBegin();
    canvas.TextMoveTo(40, baseline);
    canvas.ShowGlyphs(glyphs, line.text, line.rightToLeft);
    canvas.TextEnd();
    baseline -= 30;
  }
  MemoryOutputStream stream;
  doc.SaveToStream(stream);
  return stream.Bytes();
}

// The lines pdftotext reads in its reading-order mode, which orders
// right-to-left text by the bidi rules; the embedding marks it puts around
// such text are dropped.
std::vector<std::string> ReadingOrderLines(const std::filesystem::path& pdf) {
  test::CommandResult result = test::RunCommand({"pdftotext", "-enc", "UTF-8", pdf.string(), "-"});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  std::string text = std::regex_replace(result.output, std::regex("\xE2\x80[\xAA-\xAE]"), "");
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line, '\n');) {
    while (!line.empty() && (line.back() == '\f' || line.back() == ' ')) line.pop_back();
    while (!line.empty() && line.front() == '\f') line.erase(0, 1);
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// The font rows of pdffonts: name, type, encoding, emb, sub, uni.
struct FontRow {
  std::string name, type, encoding, embedded, subset, unicode;
};

std::vector<FontRow> FontsOf(const std::filesystem::path& pdf) {
  test::CommandResult result = test::RunCommand({"pdffonts", pdf.string()});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  std::vector<FontRow> rows;
  // name, then "CID TrueType", "Identity-H", emb sub uni, object id.
  std::regex row(R"(^(\S+)\s+(CID TrueType|Type 1|Type 0|TrueType|Type 1C)\s+(\S+)\s+(yes|no)\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+\s*$)");
  std::istringstream in(result.output);
  for (std::string line; std::getline(in, line);) {
    std::smatch match;
    if (std::regex_match(line, match, row)) rows.push_back({match[1], match[2], match[3], match[4], match[5], match[6]});
  }
  return rows;
}

// Runs a renderer and returns what it said about the file when it failed or
// complained; mutool's note that it was built without colour management is
// about itself, not the file.
std::string RenderingComplaints(const std::vector<std::string>& command) {
  test::SplitCommandResult result = test::RunCommandSplit(command);
  std::string said = std::regex_replace(result.standardError, std::regex("warning: ICC support is not available\n"), "");
  if (result.exitCode != 0 || !said.empty()) {
    return command[0] + " exit " + std::to_string(result.exitCode) + ": " + said;
  }
  return "";
}

class PdfEmbeddedFontTest : public testing::Test {
 protected:
  std::filesystem::path Save(const std::string& bytes, const std::string& name) {
    std::filesystem::path pdf = scratch_ / name;
    test::WriteFileBytes(pdf, bytes);
    return pdf;
  }

  test::ScratchDir scratch_;
};

TEST_F(PdfEmbeddedFontTest, EveryScriptRendersAndExtractsExactly) {
  std::filesystem::path pdf = Save(WriteLines(kLines, cmNone), "scripts.pdf");
  EXPECT_TRUE(test::PassesQpdfCheck(pdf));

  std::vector<std::string> expected;
  for (const ScriptLine& line : kLines) expected.push_back(Utf16ToUtf8(line.text));
  EXPECT_EQ(ReadingOrderLines(pdf), expected);

  std::vector<FontRow> fonts = FontsOf(pdf);
  std::erase_if(fonts, [](const FontRow& font) { return font.name == "Helvetica"; });  // each page's opening font
  ASSERT_EQ(fonts.size(), 4u);
  for (const FontRow& font : fonts) {
    EXPECT_TRUE(std::regex_match(font.name, std::regex("[A-Z]{6}\\+[A-Za-z0-9-]+"))) << font.name;
    EXPECT_EQ(font.type, "CID TrueType") << font.name;
    EXPECT_EQ(font.encoding, "Identity-H") << font.name;
    EXPECT_EQ(font.embedded + font.subset + font.unicode, "yesyesyes") << font.name;
  }

  EXPECT_EQ(RenderingComplaints({"mutool", "draw", "-q", "-o", (scratch_ / "mutool%d.png").string(), pdf.string()}), "");
  EXPECT_EQ(RenderingComplaints({"pdftoppm", "-r", "50", "-png", pdf.string(), (scratch_ / "poppler").string()}), "");
}

TEST_F(PdfEmbeddedFontTest, FlateKeepsTheTextAndMakesTheFileSmaller) {
  std::string plain = WriteLines(kLines, cmNone);
  std::string deflated = WriteLines(kLines, cmFlateDecode);
  std::filesystem::path plainPdf = Save(plain, "plain.pdf");
  std::filesystem::path deflatedPdf = Save(deflated, "deflated.pdf");
  EXPECT_TRUE(test::PassesQpdfCheck(deflatedPdf));
  EXPECT_NE(deflated.find("/FlateDecode"), std::string::npos);
  EXPECT_EQ(plain.find("/FlateDecode"), std::string::npos);
  EXPECT_EQ(ReadingOrderLines(deflatedPdf), ReadingOrderLines(plainPdf));
  EXPECT_LT(deflated.size(), plain.size());
  EXPECT_EQ(RenderingComplaints({"mutool", "draw", "-q", "-o", (scratch_ / "m%d.png").string(), deflatedPdf.string()}),
            "");
}

}  // namespace
}  // namespace varnolt
