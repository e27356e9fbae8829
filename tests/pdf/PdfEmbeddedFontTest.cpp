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

// Each line needs shaping of its own kind: Cyrillic plain (and an emoji
// above the BMP, two code units in the ToUnicode map), Arabic joined,
// right to left and with the lam-alef ligature, Devanagari with the conjunct "क्ष" and the vowel sign
// "ि" drawn before its consonant, Latin with the "ffi" ligature.
const ScriptLine kLines[] = {
    {"Cyrillic", u"DejaVu Sans", u"Съешь же ещё этих мягких булок \U0001F600", false},
    {"Arabic", u"Noto Sans Arabic", u"السلام عليكم ومرحبا", true},
    {"Devanagari", u"Noto Sans Devanagari", u"क्षत्रिय किताब", false},
    {"Ligature", u"Noto Serif", u"office affine", false},
};

TPdfFontFace FaceFor(const ScriptLine& line) {
  char32_t first = line.text[0];
  if (first >= 0xD800 && first < 0xDC00 && line.text.size() > 1) {
    first = 0x10000 + ((first - 0xD800) << 10) + (line.text[1] - 0xDC00);
  }
  std::optional<TPdfFontFace> face = FindFontFace(line.family, false, false, first);
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

  // A one-page document and the font of the family for the character.
  TPdfEmbeddedFont& StartWithFont(std::u16string_view family, char32_t character,
                                  TPdfCompressionMethod method = cmNone) {
    doc_.SetCompressionMethod(method);
    doc_.StartDocument();
    doc_.AddPage();
    return doc_.GetEmbeddedFont(FindFontFace(family, false, false, character).value());
  }

  // The document saved and checked by qpdf.
  std::filesystem::path SaveChecked(const std::string& name) {
    MemoryOutputStream stream;
    doc_.SaveToStream(stream);
    std::filesystem::path pdf = Save(stream.Bytes(), name);
    EXPECT_TRUE(test::PassesQpdfCheck(pdf));
    return pdf;
  }

  test::ScratchDir scratch_;
  TPdfDoc doc_;
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

struct ShapeCase {
  const char* name;
  std::u16string family;
  std::u16string text;
  bool rightToLeft;
  std::vector<std::uint32_t> clusters;  // of the glyphs as drawn, left to right
};

TEST_F(PdfEmbeddedFontTest, ShapingGivesGlyphsInDrawingOrderWithUtf16Clusters) {
  const ShapeCase cases[] = {
      {"the ffi ligature is one glyph", u"Noto Serif", u"office", false, {0, 1, 4, 5}},
      {"a conjunct is one glyph, the vowel sign goes before its consonant", u"Noto Sans Devanagari", u"क्ष कि",
       false, {0, 3, 4, 4}},
      {"right to left comes reversed", u"Noto Sans Arabic", u"سلام", true, {3, 1, 0}},
      {"a character above the BMP takes two code units", u"DejaVu Sans", u"a\U0001F600b", false, {0, 1, 3}},
  };
  for (const ShapeCase& c : cases) {
    TPdfXref xref;
    std::optional<TPdfFontFace> face = FindFontFace(c.family, false, false, c.text[0]);
    ASSERT_TRUE(face.has_value()) << c.name;
    TPdfEmbeddedFont font(xref, u"probe", *face);
    std::vector<std::uint32_t> clusters;
    for (const TPdfGlyph& glyph : font.Shape(c.text, c.rightToLeft)) {
      clusters.push_back(glyph.Cluster);
      EXPECT_NE(glyph.Id, 0u) << c.name << ": a missing glyph";
    }
    EXPECT_EQ(clusters, c.clusters) << c.name;
  }
}

TEST_F(PdfEmbeddedFontTest, MetricsComeInThousandthsOfTheFontSize) {
  // DejaVu Sans: 2048 units per em, hhea ascender 1901, descender -483, line gap 0.
  TPdfXref xref;
  TPdfEmbeddedFont font(xref, u"probe", FindFontFace(u"DejaVu Sans", false, false, U'A').value());
  EXPECT_NEAR(font.Ascent(), 1901 * 1000.0 / 2048, 0.01);
  EXPECT_NEAR(font.Descent(), 483 * 1000.0 / 2048, 0.01);
  EXPECT_EQ(font.LineGap(), 0);
  EXPECT_TRUE(font.HasCharacter(U'Ж'));
  EXPECT_FALSE(font.HasCharacter(U'क'));
}

struct DescriptorCase {
  std::u16string family;
  bool bold;
  bool italic;
  std::int32_t flags;  // symbolic 4, plus fixed pitch 1 and italic 64
  bool slanted;        // a negative italic angle
  const char* postScriptName;
};

TEST_F(PdfEmbeddedFontTest, TheDescriptorTellsTheFacesStyle) {
  const DescriptorCase cases[] = {
      {u"Noto Sans", false, false, 4, false, "NotoSans-Regular"},
      {u"Noto Sans", true, true, 68, true, "NotoSans-BoldItalic"},
      {u"DejaVu Sans Mono", false, false, 5, false, "DejaVuSansMono"},
  };
  for (const DescriptorCase& c : cases) {
    doc_.StartDocument();
    doc_.AddPage();
    TPdfEmbeddedFont& font = doc_.GetEmbeddedFont(FindFontFace(c.family, c.bold, c.italic, U'a').value());
    std::filesystem::path pdf = SaveChecked("descriptor.pdf");
    TPdfDictionary* descendant = dynamic_cast<TPdfDictionary*>(font.Dictionary().LookupArray(u"DescendantFonts")->GetItem(0));
    ASSERT_NE(descendant, nullptr);
    TPdfDictionary* descriptor = descendant->LookupDictionary(u"FontDescriptor");
    ASSERT_NE(descriptor, nullptr);
    EXPECT_EQ(descriptor->LookupNumber(u"Flags")->Value(), c.flags) << c.postScriptName;
    EXPECT_EQ(descriptor->LookupReal(u"ItalicAngle")->Value() < 0, c.slanted) << c.postScriptName;
    EXPECT_GT(descriptor->LookupNumber(u"StemV")->Value(), c.bold ? 120 : 60) << c.postScriptName;
    std::u16string baseFont = font.Dictionary().LookupName(u"BaseFont")->Value();
    EXPECT_TRUE(std::regex_match(Utf16ToUtf8(baseFont), std::regex(std::string("[A-Z]{6}\\+") + c.postScriptName)))
        << Utf16ToUtf8(baseFont);
  }
}

// The canvas keeps a page's font by registry name while it is on another page.
TEST_F(PdfEmbeddedFontTest, APageComesBackWithItsEmbeddedFont) {
  TPdfEmbeddedFont& font = StartWithFont(u"DejaVu Sans", U'Ж');
  TPdfCanvas& canvas = doc_.GetCanvas();
  canvas.SelectFont(font, 11);
  TPdfDictionary& first = canvas.GetPage();
  doc_.AddPage();
  ASSERT_NE(canvas.Attribute().Font(), &font);
  canvas.AttachPage(first);
  EXPECT_EQ(canvas.Attribute().Font(), &font);
  EXPECT_EQ(canvas.Attribute().FontSize(), 11);
  EXPECT_EQ(&doc_.GetEmbeddedFont(font.Face()), &font) << "one font per face";
}

struct CharPosition {
  std::string character;
  double x;
  double y;  // from the top of the page
};

// Where mutool finds each character's origin.
std::vector<CharPosition> CharPositions(const std::filesystem::path& pdf) {
  test::SplitCommandResult result = test::RunCommandSplit({"mutool", "draw", "-F", "stext", "-o", "-", pdf.string()});
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  std::vector<CharPosition> positions;
  std::regex charElement(R"re(<char [^>]*x="([-0-9.]+)" y="([-0-9.]+)"[^>]*c="([^"]*)")re");
  for (std::sregex_iterator it(result.standardOutput.begin(), result.standardOutput.end(), charElement), end;
       it != end; ++it) {
    positions.push_back({(*it)[3], std::stod((*it)[1]), std::stod((*it)[2])});
  }
  return positions;
}

TEST_F(PdfEmbeddedFontTest, GlyphsSitWhereTheirAdvancesAndOffsetsPutThem) {
  TPdfEmbeddedFont& font = StartWithFont(u"DejaVu Sans", U'A');
  TPdfCanvas& canvas = doc_.GetCanvas();
  // Kerning pulls V towards the A's: HarfBuzz's advances are narrower than the widths.
  std::vector<TPdfGlyph> kerned = font.Shape(u"AVA", false);
  ASSERT_EQ(kerned.size(), 3u);
  ASSERT_LT(kerned[0].Advance, font.GlyphWidth(kerned[0].Id) - 10);
  std::vector<TPdfGlyph> moved = font.Shape(u"xyz", false);
  moved[1].OffsetX = 100;
  moved[1].OffsetY = 500;
  canvas.SelectFont(font, 20);
  // Character spacing does not move shaped glyphs: their advances are the whole placement.
  canvas.SetCharSpace(3);
  canvas.TextBegin();
  canvas.TextMoveTo(40, 700);
  canvas.ShowGlyphs(kerned, u"AVA", false);
  canvas.ShowGlyphs(moved, u"xyz", false);
  canvas.TextEnd();
  std::filesystem::path pdf = SaveChecked("positions.pdf");
  // Every glyph's ToUnicode entry holds, so no ActualText asks for a later version.
  EXPECT_EQ(test::ReadFileBytes(pdf).substr(0, 9), "%PDF-1.2 ");

  std::vector<CharPosition> expected;
  double x = 40;
  for (const auto& [glyphs, text] : {std::pair{kerned, std::string("AVA")}, std::pair{moved, std::string("xyz")}}) {
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
      const double top = 842 - 700;
      expected.push_back({text.substr(i, 1), x + glyphs[i].OffsetX * 20 / 1000, top - glyphs[i].OffsetY * 20 / 1000});
      x += glyphs[i].Advance * 20 / 1000;
    }
  }
  std::vector<CharPosition> found = CharPositions(pdf);
  ASSERT_EQ(found.size(), expected.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(found[i].character, expected[i].character);
    EXPECT_NEAR(found[i].x, expected[i].x, 0.01) << expected[i].character;
    EXPECT_NEAR(found[i].y, expected[i].y, 0.01) << expected[i].character;
  }
}

struct ShownRun {
  std::u16string shaped;  // the text whose glyphs are shown
  std::u16string text;    // the text the run stands for
};

struct ReusedGlyphCase {
  const char* name;
  std::u16string family;
  std::vector<ShownRun> runs;  // one line each
};

// A glyph's ToUnicode entry is fixed the first time it is shown, for text
// or, as a cluster's second glyph, for nothing; a run that needs it
// otherwise carries its text as ActualText, and every line still extracts.
TEST_F(PdfEmbeddedFontTest, AGlyphShownForAnotherTextStillExtractsThatText) {
  const ReusedGlyphCase cases[] = {
      {"the same glyphs for other text", u"DejaVu Sans", {{u"Ab", u"Ab"}, {u"Ab", u"Xy"}}},
      // The vowel sign is drawn first and carries "कि"; the consonant after it stands for nothing.
      {"a consonant silent after its vowel sign, then alone", u"Noto Sans Devanagari",
       {{u"कि", u"कि"}, {u"क", u"क"}}},
      {"a consonant alone, then silent after its vowel sign", u"Noto Sans Devanagari",
       {{u"क", u"क"}, {u"कि", u"कि"}}},
  };
  for (const ReusedGlyphCase& c : cases) {
    TPdfEmbeddedFont& font = StartWithFont(c.family, c.runs[0].shaped[0]);
    TPdfCanvas& canvas = doc_.GetCanvas();
    canvas.SelectFont(font, 20);
    canvas.TextBegin();
    canvas.TextMoveTo(40, 700);
    std::vector<std::string> expected;
    for (const ShownRun& run : c.runs) {
      canvas.ShowGlyphs(font.Shape(run.shaped, false), run.text, false);
      canvas.TextMoveTo(0, -40);
      expected.push_back(Utf16ToUtf8(run.text));
    }
    canvas.TextEnd();
    std::filesystem::path pdf = SaveChecked("reused.pdf");
    EXPECT_EQ(ReadingOrderLines(pdf), expected) << c.name;
    EXPECT_EQ(test::ReadFileBytes(pdf).substr(0, 9), "%PDF-1.5 ") << c.name << ": ActualText came with 1.5";
  }
}

// Text shown unshaped through an embedded font is written as its nominal glyphs.
TEST_F(PdfEmbeddedFontTest, PlainTextShownWithAnEmbeddedFontExtracts) {
  TPdfEmbeddedFont& font = StartWithFont(u"DejaVu Sans", U'Ж', cmFlateDecode);
  TPdfCanvas& canvas = doc_.GetCanvas();
  canvas.SelectFont(font, 12);
  canvas.SetLeading(14);
  canvas.FlowTextInRect(40, 800, 300, 100, u"Широкая электрификация южных губерний даст мощный толчок", true,
                        TLineBreaks::kOpportunities);
  std::filesystem::path pdf = SaveChecked("plain.pdf");
  EXPECT_EQ(test::FoldedWhiteSpace(test::ExtractedText(pdf)),
            "Широкая электрификация южных губерний даст мощный толчок");
  std::vector<std::string> lines = ReadingOrderLines(pdf);
  EXPECT_GT(lines.size(), 1u) << "measured with the font's widths, the text wraps";
}

TEST_F(PdfEmbeddedFontTest, ChineseBeyondTheBmpIsEmbeddedWhereAFontHasIt) {
  const std::u16string text = u"\U00020000\U0002A6D6";
  std::optional<TPdfFontFace> face = FindFontFace(u"", false, false, U'\U00020000');
  if (!face) GTEST_SKIP() << "no installed font has U+20000 (CJK Extension B)";
  const ScriptLine line{"Extension B", u"", text, false};
  std::filesystem::path pdf = Save(WriteLines(std::span(&line, 1), cmFlateDecode), "extb.pdf");
  EXPECT_TRUE(test::PassesQpdfCheck(pdf));
  EXPECT_EQ(ReadingOrderLines(pdf), (std::vector<std::string>{Utf16ToUtf8(text)}));
}

}  // namespace
}  // namespace varnolt
