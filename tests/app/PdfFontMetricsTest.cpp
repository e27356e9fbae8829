#include "app/PdfFontMetrics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfEmbeddedFont.h"
#include "pdf/PdfFonts.h"
#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;

TFontInfo Style(std::u16string family, std::int32_t size, TFontStyles styles = {}) {
  TFontInfo font;
  font.FontName = std::move(family);
  font.Size = size;
  font.Style = styles;
  return font;
}

class PdfFontMetricsTest : public testing::Test {
 protected:
  PdfFontMetricsTest() {
    doc_.StartDocument();
    doc_.AddPage();
  }

  static std::string Ascii(std::u16string_view text) { return std::string(text.begin(), text.end()); }

  std::string FontNameOf(const TFontInfo& font, std::u16string_view text) {
    const std::vector<TPdfFontSegment>& segments = metrics_.Segments(font, text);
    if (segments.size() != 1) return "(" + std::to_string(segments.size()) + " segments)";
    return Ascii(segments[0].Font->RegistryName());
  }

  TPdfDoc doc_;
  TPdfFontMetrics metrics_{doc_};
};

TEST_F(PdfFontMetricsTest, StandardFontAdvancesAreTheFontWidthsAtTheSizeInPixels) {
  const TFontInfo helvetica = Style(u"Helvetica", 12);
  // H 722, e 556, l 222, l 222, o 556.
  EXPECT_DOUBLE_EQ(metrics_.RunAdvance(helvetica, u"Hello"), 2278 * 12 / 1000.0 * kPixelsPerPoint);
  EXPECT_DOUBLE_EQ(metrics_.CharAdvance(helvetica, u'H'), 722 * 12 / 1000.0 * kPixelsPerPoint);
  // Times-Bold W is 1000 wide; Courier is 600 everywhere.
  EXPECT_DOUBLE_EQ(metrics_.RunAdvance(Style(u"Times", 10, {fsBold}), u"W"), 10 * kPixelsPerPoint);
  EXPECT_DOUBLE_EQ(metrics_.RunAdvance(Style(u"Courier", 10), u"iiWW"), 4 * 6 * kPixelsPerPoint);
  // A character without a WinAnsi code and outside every font is measured
  // as the "?" it is written as.
  EXPECT_DOUBLE_EQ(metrics_.RunAdvance(helvetica, u"\uFFFF"), metrics_.RunAdvance(helvetica, u"?"));
  EXPECT_EQ(metrics_.RunAdvance(helvetica, u""), 0);
}

TEST_F(PdfFontMetricsTest, SubAndSuperscriptAreMeasuredSmaller) {
  TFontInfo superscript = Style(u"Helvetica", 12);
  superscript.SubSuperScriptType = rvsssSuperScript;
  EXPECT_NEAR(metrics_.RunAdvance(superscript, u"Hello"), 2278 * 12 * kRVSubSuperScriptScale / 1000 * kPixelsPerPoint,
              1e-4);
}

// Word processors pitch a line by the face's ascent, descent and line gap:
// 12-point Liberation Serif (Times New Roman) and Liberation Sans (Arial)
// both make lines of about 13.8 points. A standard family is pitched like
// the installed face that stands for it, whose line gap may be wider.
TEST_F(PdfFontMetricsTest, ExtentsAreTheFacesAscentDescentAndLineGap) {
  const struct {
    const char16_t* family;
    double pitch, tolerance;
  } cases[] = {{u"Times New Roman", 13.8, 0.03}, {u"Arial", 13.8, 0.03}, {u"Helvetica", 14, 0.5}, {u"Times", 14, 0.5}};
  for (const auto& c : cases) {
    const TRVFontExtents extents = metrics_.Extents(Style(c.family, 12));
    const double pitch = (extents.Ascent + extents.Descent + extents.LineGap) / kPixelsPerPoint;
    EXPECT_NEAR(pitch, c.pitch, c.tolerance) << std::string(c.family, c.family + std::char_traits<char16_t>::length(c.family));
    EXPECT_GT(extents.LineGap, 0);
  }
  const TRVFontExtents carlito = metrics_.Extents(Style(u"Calibri", 11));
  EXPECT_NEAR((carlito.Ascent + carlito.Descent + carlito.LineGap) / kPixelsPerPoint, 11 * 1.2207, 0.03);
}

TEST_F(PdfFontMetricsTest, AChangedStyleIsMeasuredAnew) {
  TFontInfo font = Style(u"Helvetica", 12);
  const double before = metrics_.RunAdvance(font, u"Hello");
  font.Size = 24;
  EXPECT_DOUBLE_EQ(metrics_.RunAdvance(font, u"Hello"), 2 * before);
  font.FontName = u"Courier";
  EXPECT_DOUBLE_EQ(metrics_.RunAdvance(font, u"Hello"), 5 * 600 * 24 / 1000.0 * kPixelsPerPoint);
}

TEST_F(PdfFontMetricsTest, OnlyHelveticaTimesAndCourierByNameAreStandardFonts) {
  const struct {
    std::u16string Family;
    TFontStyles Styles;
    std::string Expected;
  } cases[] = {
      {u"Helvetica", {}, "Arial"},
      {u"helvetica", {fsBold}, "Arial-Bold"},
      {u"Times", {fsItalic}, "Times-Italic"},
      {u"Times-Roman", {fsBold, fsItalic}, "Times-BoldItalic"},
      {u"Courier", {fsBold}, "FixedWidth-Bold"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FontNameOf(Style(c.Family, 10, c.Styles), u"Text"), c.Expected)
        << std::string(c.Family.begin(), c.Family.end());
  }
}

// Every other family is the installed face fontconfig shows it in, embedded:
// the metric-compatible stand-ins where the family itself is not installed.
TEST_F(PdfFontMetricsTest, FamiliesAreEmbeddedInTheirMetricCompatibleFaces) {
  const struct {
    std::u16string Family;
    TFontStyles Styles;
    std::string File;
  } cases[] = {
      {u"Times New Roman", {}, "LiberationSerif-Regular.ttf"},
      {u"Arial", {fsBold}, "LiberationSans-Bold.ttf"},
      {u"Courier New", {fsItalic}, "LiberationMono-Italic.ttf"},
      {u"Calibri", {}, "Carlito-Regular.ttf"},
      {u"Cambria", {fsBold, fsItalic}, "Caladea-BoldItalic.ttf"},
      {u"DejaVu Sans", {}, "DejaVuSans.ttf"},
  };
  for (const auto& c : cases) {
    const std::vector<TPdfFontSegment>& segments = metrics_.Segments(Style(c.Family, 10, c.Styles), u"Text");
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_EQ(segments[0].Kind, TPdfFontKind::kPlain);
    const auto& font = dynamic_cast<const TPdfEmbeddedFont&>(*segments[0].Font);
    EXPECT_EQ(std::filesystem::path(font.Face().File).filename(), c.File)
        << std::string(c.Family.begin(), c.Family.end());
  }
  // Liberation Sans has Arial's (and Helvetica's) advances, to the rounding of its 2048 units.
  EXPECT_NEAR(metrics_.RunAdvance(Style(u"Arial", 12), u"Hello"), 2278 * 12 / 1000.0 * kPixelsPerPoint, 0.02);
}

TEST_F(PdfFontMetricsTest, ChineseJapaneseAndKoreanAreInNotoCjkOfTheFamilysClass) {
  const struct {
    std::u16string Family;
    std::u16string Text;
    std::string File;
  } cases[] = {
      {u"Arial", u"中文", "NotoSansCJK-Regular.ttc"},
      {u"Times New Roman", u"記録戦", "NotoSerifCJK-Regular.ttc"},
      {u"Arial", u"ひらがなカタカナ", "NotoSansCJK-Regular.ttc"},
      {u"Cambria", u"한국어", "NotoSerifCJK-Regular.ttc"},
  };
  for (const auto& c : cases) {
    const std::vector<TPdfFontSegment>& segments = metrics_.Segments(Style(c.Family, 10), c.Text);
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_EQ(segments[0].Kind, TPdfFontKind::kPlain);
    EXPECT_EQ(segments[0].Missing, 0u);
    const auto& font = dynamic_cast<const TPdfEmbeddedFont&>(*segments[0].Font);
    EXPECT_EQ(std::filesystem::path(font.Face().File).filename(), c.File);
  }
  // Ideographs are a full em wide; the space between them is the main face's.
  const auto& sans = *dynamic_cast<const TPdfEmbeddedFont*>(metrics_.Segments(Style(u"Arial", 10), u" ")[0].Font);
  EXPECT_NEAR(metrics_.RunAdvance(Style(u"Arial", 10), u"中 文"),
              (2000 + sans.NominalWidth(u' ')) * 10 / 1000.0 * kPixelsPerPoint, 1e-6);
}

TEST_F(PdfFontMetricsTest, AMixedRunSplitsIntoTheFontsOfItsScripts) {
  const std::u16string_view text = u"Hello Привет 中文 مرحبا!";
  const std::vector<TPdfFontSegment>& segments = metrics_.Segments(Style(u"Arial", 10), text);
  const struct {
    std::u16string_view Text;
    TPdfFontKind Kind;
  } expected[] = {
      // Liberation Sans has Cyrillic.
      {u"Hello Привет ", TPdfFontKind::kPlain},
      {u"中文", TPdfFontKind::kPlain},
      {u" ", TPdfFontKind::kPlain},
      // The mark after a shaped word stays in the word's font, which has one.
      {u"مرحبا!", TPdfFontKind::kEmbedded},
  };
  ASSERT_EQ(segments.size(), std::size(expected));
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const TPdfFontSegment& segment = segments[i];
    EXPECT_TRUE(text.substr(segment.Start, segment.Length) == expected[i].Text) << "segment " << i;
    EXPECT_EQ(segment.Kind, expected[i].Kind) << "segment " << i;
    EXPECT_EQ(segment.Missing, 0u);
    const auto& embedded = dynamic_cast<const TPdfEmbeddedFont&>(*segment.Font);
    for (char16_t c : expected[i].Text) EXPECT_TRUE(embedded.HasCharacter(c)) << embedded.Face().File;
  }
  EXPECT_EQ(segments[0].Font, segments[2].Font);
  EXPECT_NE(segments[0].Font, segments[1].Font);
}

TEST_F(PdfFontMetricsTest, PlainRunsMeasureNominalAdvancesAndShapedRunsTheirShapes) {
  const TFontInfo font = Style(u"Arial", 12);
  const std::u16string_view word = u"Привет";
  const auto& embedded = dynamic_cast<const TPdfEmbeddedFont&>(*metrics_.Segments(font, word).at(0).Font);
  double units = 0;
  for (char16_t c : word) units += embedded.NominalWidth(c);
  EXPECT_GT(units, 0);
  // Widths are kept as floats.
  EXPECT_NEAR(metrics_.RunAdvance(font, word), units * 12 / 1000 * kPixelsPerPoint, 1e-4);
  // Arabic letters join: the shaped word is narrower than its letters alone.
  const std::u16string_view arabic = u"سلام";
  double letters = 0;
  for (char16_t c : arabic) letters += metrics_.CharAdvance(font, c);
  EXPECT_LT(metrics_.RunAdvance(font, arabic), letters);
}

TEST_F(PdfFontMetricsTest, LongShapedRunsAreCutAfterSpacesOrElseBetweenLetters) {
  const TFontInfo font = Style(u"Arial", 10);
  std::u16string words;
  while (words.size() < 9000) words += u"שלום ";
  for (const TPdfFontSegment& segment : metrics_.Segments(font, words)) {
    EXPECT_LE(segment.Length, 4096u + 5u);
    EXPECT_EQ(words[segment.Start + segment.Length - 1], u' ');
  }
  const std::u16string word(10000, u'ש');
  const std::vector<TPdfFontSegment>& segments = metrics_.Segments(font, word);
  EXPECT_GT(segments.size(), 2u);
  std::size_t covered = 0;
  for (const TPdfFontSegment& segment : segments) covered += segment.Length;
  EXPECT_EQ(covered, word.size());
  EXPECT_NEAR(metrics_.RunAdvance(font, word), 10000 * metrics_.CharAdvance(font, u'ש'), 1e-6);
}

TEST_F(PdfFontMetricsTest, ACharacterNoFontHasStaysInTheRunAndIsCounted) {
  // U+10FFFD is a private-use character no installed font draws.
  const std::u16string text = u"ab\U0010FFFDc";
  const std::vector<TPdfFontSegment>& segments = metrics_.Segments(Style(u"Arial", 10), text);
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_EQ(segments[0].Length, text.size());
  EXPECT_EQ(segments[0].Missing, 1u);
  metrics_.DrawRun(doc_.GetCanvas(), Style(u"Arial", 10), text, 10, 10, 0);
  EXPECT_EQ(metrics_.MissingCharacters(), 1u);
}

// A page drawn with runs, saved, and read back by the real tools.
class PdfFontMetricsPageTest : public PdfFontMetricsTest {
 protected:
  void Draw(const TFontInfo& font, std::u16string_view text, float spaceExtra = 0) {
    metrics_.DrawRun(doc_.GetCanvas(), font, text, 50, nextBaseline_, spaceExtra);
    nextBaseline_ -= 30;
  }

  std::filesystem::path Saved() {
    MemoryOutputStream stream;
    doc_.SaveToStream(stream);
    const std::filesystem::path pdf = scratch_ / "runs.pdf";
    test::WriteFileBytes(pdf, stream.Bytes());
    return pdf;
  }

  // Each word pdftotext finds with the left end of its box in points, line
  // by line from the top, left to right.
  std::vector<std::pair<std::string, double>> WordLefts(const std::filesystem::path& pdf) {
    const std::filesystem::path html = scratch_ / "words.html";
    test::RunCommand({"pdftotext", "-bbox", pdf.string(), html.string()});
    const std::string boxes = test::ReadFileBytes(html);
    std::vector<std::tuple<double, double, std::string>> found;
    const std::string marker = "<word xMin=\"";
    for (std::size_t at = boxes.find(marker); at != std::string::npos; at = boxes.find(marker, at + 1)) {
      const double left = std::stod(boxes.substr(at + marker.size()));
      const double top = std::stod(boxes.substr(boxes.find("yMin=\"", at) + 6));
      const std::size_t textStart = boxes.find('>', at) + 1;
      found.emplace_back(std::round(top), left, boxes.substr(textStart, boxes.find('<', textStart) - textStart));
    }
    std::sort(found.begin(), found.end());
    std::vector<std::pair<std::string, double>> words;
    for (const auto& [top, left, word] : found) words.emplace_back(word, left);
    return words;
  }

  std::string ReadingOrderText(const std::filesystem::path& pdf) {
    const std::filesystem::path text = scratch_ / "reading.txt";
    test::RunCommand({"pdftotext", "-enc", "UTF-8", pdf.string(), text.string()});
    return test::ReadFileBytes(text);
  }

  // Without U+202A to U+202E (E2 80 AA to E2 80 AE in UTF-8).
  static std::string WithoutEmbeddingMarks(std::string text) {
    for (std::size_t at = text.find("\xE2\x80"); at != std::string::npos; at = text.find("\xE2\x80", at)) {
      const auto third = static_cast<unsigned char>(text[at + 2]);
      if (third >= 0xAA && third <= 0xAE) {
        text.erase(at, 3);
      } else {
        at += 3;
      }
    }
    return text;
  }

  static std::string FontsListed(const std::filesystem::path& pdf) {
    return test::RunCommand({"pdffonts", pdf.string()}).output;
  }

  test::ScratchDir scratch_;
  float nextBaseline_ = 780;
};

TEST_F(PdfFontMetricsPageTest, RunsShowInTheirFontsAndExtractInOrder) {
  Draw(Style(u"Helvetica", 12, {fsBold}), u"Bold words here");
  Draw(Style(u"Times New Roman", 12), u"Serif words, justified wide", 6);
  Draw(Style(u"Courier New", 10, {fsItalic}), u"code(1);");
  Draw(Style(u"Arial", 12), u"Chinese 中文字 inside");
  Draw(Style(u"Arial", 12), u"Привет, мир");
  Draw(Style(u"Arial", 12), u"مرحبا بالعالم");
  Draw(Style(u"Arial", 12), u"Hebrew שלום עולם in a line", 3);
  Draw(Style(u"Times New Roman", 12), u"नमस्ते दुनिया สวัสดีชาวโลก Ελλάδα 😀");
  const std::filesystem::path pdf = Saved();

  EXPECT_TRUE(test::PassesQpdfCheck(pdf));
  const std::string lines[] = {
      "Bold words here", "Serif words, justified wide", "code(1);", "Chinese 中文字 inside", "Привет, мир",
      "مرحبا بالعالم", "Hebrew שלום עולם in a line", "नमस्ते दुनिया สวัสดีชาวโลก Ελλάδα 😀",
  };
  std::string expected;
  for (const std::string& line : lines) expected += line;
  // Reading order: the reader's own bidi pass gives right-to-left words back
  // in logical order, between embedding marks, and moves the spaces at the
  // direction changes about.
  EXPECT_EQ(test::WithoutWhiteSpace(WithoutEmbeddingMarks(ReadingOrderText(pdf))), test::WithoutWhiteSpace(expected));
  const std::string fonts = FontsListed(pdf);
  for (const char* name : {"Helvetica-Bold", "LiberationSerif", "LiberationMono-Italic", "LiberationSans "}) {
    EXPECT_NE(fonts.find(name), std::string::npos) << name << " missing in\n" << fonts;
  }
  // Subsets carry a six-letter tag before their name.
  std::size_t subsets = 0;
  for (std::size_t at = fonts.find("CID TrueType"); at != std::string::npos; at = fonts.find("CID TrueType", at + 1)) {
    const std::size_t lineStart = fonts.rfind('\n', at) + 1;
    const std::string line = fonts.substr(lineStart, fonts.find('\n', at) - lineStart);
    if (line.size() > 7 && line[6] == '+' && line.find("yes yes") != std::string::npos) ++subsets;
  }
  EXPECT_GE(subsets, 1u) << fonts;
  EXPECT_EQ(metrics_.MissingCharacters(), 0u);
}

TEST_F(PdfFontMetricsPageTest, RunsAreFilledInTheirColourAtTheirSize) {
  TFontInfo red = Style(u"Helvetica", 12);
  red.Color = clRed;
  red.SubSuperScriptType = rvsssSubscript;
  metrics_.DrawRun(doc_.GetCanvas(), red, u"x", 10, 10, 0);
  TFontInfo plain = Style(u"Helvetica", 12);
  plain.Color = kRVColorNone;  // shown in the window text colour
  metrics_.DrawRun(doc_.GetCanvas(), plain, u"y", 20, 10, 0);
  const std::string& content = doc_.GetCanvas().Contents()->Data();
  const std::size_t redRun = content.find("1 0 0 rg\n");
  const std::size_t blackRun = content.find("0 0 0 rg\n");
  ASSERT_NE(redRun, std::string::npos) << content;
  ASSERT_NE(blackRun, std::string::npos) << content;
  EXPECT_LT(redRun, content.find("7.92 Tf", redRun)) << content;
  EXPECT_LT(content.find("<78> Tj"), blackRun) << content;
  EXPECT_LT(blackRun, content.find("12 Tf", blackRun)) << content;
}

TEST_F(PdfFontMetricsPageTest, JustifiedWordsStandWhereTheMeasureSays) {
  // Single-byte fonts widen their spaces through word spacing, the others
  // are placed word by word: either way each word starts at the advance of
  // what precedes it plus the extra of every space.
  const TFontInfo fonts[] = {Style(u"Helvetica", 12), Style(u"Arial", 12), Style(u"Arial", 12), Style(u"Arial", 12)};
  const std::u16string_view texts[] = {u"ab cd ef", u"ab cd ef", u"中文 中文 中文", u"мир мир мир"};
  for (std::size_t run = 0; run < std::size(texts); ++run) {
    metrics_.DrawRun(doc_.GetCanvas(), fonts[run], texts[run], 100, nextBaseline_, 10);
    nextBaseline_ -= 40;
  }
  const std::vector<std::pair<std::string, double>> words = WordLefts(Saved());
  ASSERT_EQ(words.size(), 12u);
  for (std::size_t run = 0; run < std::size(texts); ++run) {
    const std::u16string_view text = texts[run];
    const TFontInfo& font = fonts[run];
    for (std::size_t word = 0; word < 3; ++word) {
      const std::size_t start = word == 0 ? 0 : text.find(u' ', text.find(u' ') + (word - 1) * 3) + 1;
      const double expected = 100 + metrics_.RunAdvance(font, text.substr(0, start)) / kPixelsPerPoint + 10.0 * word;
      EXPECT_NEAR(words[run * 3 + word].second, expected, 0.05) << words[run * 3 + word].first;
    }
  }
}

}  // namespace
}  // namespace varnolt
