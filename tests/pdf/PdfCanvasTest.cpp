#include "pdf/PdfCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "pdf/PdfDoc.h"
#include "pdf/PdfFonts.h"
#include "tests/pdf/PdfTestHelpers.h"
#include "tests/support/PdfReaders.h"

namespace varnolt {
namespace {

using test::MessageOf;

constexpr std::string_view kOpeningFont = "/F0 10 Tf\n";

class PdfCanvasTest : public testing::Test {
 protected:
  void SetUp() override {
    doc_.StartDocument();
    doc_.AddPage();
  }

  TPdfCanvas& Canvas() { return doc_.GetCanvas(); }
  // What was written after the opening font selection of the page.
  std::string Ops() { return Canvas().Contents()->Data().substr(kOpeningFont.size()); }
  void ClearOps() { Canvas().Contents()->Data() = kOpeningFont; }
  // The text state of the export's frame: Helvetica 12, char space -2, leading 12.
  void UseExampleTextState() {
    Canvas().SelectFont(u"Arial", 12);
    Canvas().SetCharSpace(-2);
    Canvas().SetLeading(12);
    ClearOps();
  }
  // The saved file, checked by the real readers.
  std::string Saved(const std::string& expectedText = "", test::Spaces spaces = test::Spaces::kFolded) {
    MemoryOutputStream stream;
    doc_.SaveToStream(stream);
    EXPECT_TRUE(test::IsReadablePdfWithText(stream.Bytes(), expectedText, spaces));
    return stream.Bytes();
  }

  TPdfDoc doc_;
};

struct AttributeCase {
  const char* name;
  std::function<void(TPdfCanvasAttribute&)> set;
  const char* message;  // nullptr when accepted
};

TEST_F(PdfCanvasTest, AttributeSettersCheckTheirInclusiveRanges) {
  const AttributeCase cases[] = {
      {"word space 0", [](auto& a) { a.SetWordSpace(0); }, nullptr},
      {"word space 1000", [](auto& a) { a.SetWordSpace(1000); }, nullptr},
      {"word space -0.01", [](auto& a) { a.SetWordSpace(-0.01f); }, "SetWordSpace --invalid word space"},
      {"word space NaN", [](auto& a) { a.SetWordSpace(std::nanf("")); }, "SetWordSpace --invalid word space"},
      {"char space NaN", [](auto& a) { a.SetCharSpace(std::nanf("")); }, "SetCharSpace --invalid char space"},
      {"char space -30", [](auto& a) { a.SetCharSpace(-30); }, nullptr},
      {"char space 300", [](auto& a) { a.SetCharSpace(300); }, nullptr},
      {"char space -30.5", [](auto& a) { a.SetCharSpace(-30.5f); }, "SetCharSpace --invalid char space"},
      {"char space 300.5", [](auto& a) { a.SetCharSpace(300.5f); }, "SetCharSpace --invalid char space"},
      {"font size 0", [](auto& a) { a.SetFontSize(0); }, nullptr},
      {"font size 300", [](auto& a) { a.SetFontSize(300); }, nullptr},
      {"font size -1", [](auto& a) { a.SetFontSize(-1); }, "SetCharSpace --invalid font size"},
      {"font size 301", [](auto& a) { a.SetFontSize(301); }, "SetCharSpace --invalid font size"},
      {"leading 0", [](auto& a) { a.SetLeading(0); }, nullptr},
      {"leading 300", [](auto& a) { a.SetLeading(300); }, nullptr},
      {"leading 300.01", [](auto& a) { a.SetLeading(300.01f); }, "SetLeading --invalid font size"},
      {"leading -1", [](auto& a) { a.SetLeading(-1); }, "SetLeading --invalid font size"},
      {"scaling 10", [](auto& a) { a.SetHorizontalScaling(10); }, nullptr},
      {"scaling 300", [](auto& a) { a.SetHorizontalScaling(300); }, nullptr},
      {"scaling 9", [](auto& a) { a.SetHorizontalScaling(9); }, "SetHorizontalScaling --invalid font size"},
      {"scaling 301", [](auto& a) { a.SetHorizontalScaling(301); }, "SetHorizontalScaling --invalid font size"},
  };
  for (const AttributeCase& c : cases) {
    TPdfCanvasAttribute attribute;
    std::string message = MessageOf<EPdfInvalidValue>([&] { c.set(attribute); });
    EXPECT_EQ(message, c.message != nullptr ? c.message : "(nothing thrown)") << c.name;
  }
}

TEST(FormatRealTest, RoundsToHundredthsHalvesUp) {
  const std::pair<float, const char*> cases[] = {
      {12, "12"},      {0.75f, "0.75"},       {10.005f, "10.01"}, {1.0f / 255, "0"},  {-2, "-2"},
      {-0.004f, "0"},  {-0.006f, "-0.01"},    {573.8f, "573.8"},  {0.125f, "0.13"},  {1e6f, "1000000"},
      {0, "0"},        {599.999f, "600"},     {-15.5f, "-15.5"},  {std::nanf(""), "0"},
      {INFINITY, "0"}, {0x1p60f, "1152921504606846976"},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(FormatReal(value), expected) << value;
}

TEST(FormatRealTest, ColoursTakeTheThreeLowBytes) {
  const std::pair<TColor, const char*> cases[] = {
      {0, "0 0 0"},          {0xFFFFFF, "1 1 1"},        {clNone, "1 1 1"},       {0x0000FF, "1 0 0"},
      {0xFF0000, "0 0 1"},   {0x00FF80, "0.5 1 0"},      {0xFF00000F, "0 0 0"},  // system colours print black
      {0x7F000000, "0 0 0"},
  };
  for (const auto& [color, expected] : cases) EXPECT_EQ(FormatColor(color), expected) << color;
}

struct OperatorCase {
  const char* name;
  std::function<void(TPdfCanvas&)> draw;
  std::string expected;
};

TEST_F(PdfCanvasTest, OperatorsWriteTheirSyntax) {
  const std::uint8_t dash[] = {8, 4, 2, 4, 2, 4};
  const std::uint8_t zeroFirst[] = {0, 3};
  const OperatorCase cases[] = {
      {"move", [](auto& c) { c.PathMoveTo(15, 599); }, "15 599 m\n"},
      {"line", [](auto& c) { c.PathLineTo(359.5f, -16); }, "359.5 -16 l\n"},
      {"close", [](auto& c) { c.PathClose(); }, "h\n"},
      {"end", [](auto& c) { c.PathEnd(); }, "n\n"},
      {"stroke", [](auto& c) { c.StrokePath(); }, "S\n"},
      {"close stroke", [](auto& c) { c.CloseAndStrokePath(); }, "s\n"},
      {"fill", [](auto& c) { c.FillPath(); }, "f\n"},
      {"close fill stroke", [](auto& c) { c.CloseFillAndStrokePath(); }, "b\n"},
      {"pen", [](auto& c) { c.SetPenWidth(1); }, "1 w\n"},
      {"dash", [&](auto& c) { c.SetDashPattern(dash, 0); }, "[8 4 2 4 2 4 ] 0 d\n"},
      {"dash phase", [](auto& c) { c.SetDashPattern(std::vector<std::uint8_t>{3}, 1); }, "[3 ] 1 d\n"},
      {"no dash", [](auto& c) { c.SetDashPattern({}, 5); }, "[] 0 d\n"},
      {"zero dash", [&](auto& c) { c.SetDashPattern(zeroFirst, 2); }, "[] 0 d\n"},
      {"fill colour", [](auto& c) { c.SetFillRgb(0); }, "0 0 0 rg\n"},
      {"stroke colour", [](auto& c) { c.SetStrokeRgb(0xFFFFFF); }, "1 1 1 RG\n"},
      {"char space", [](auto& c) { c.SetCharSpace(-2); }, "-2 Tc\n"},
      {"word space", [](auto& c) { c.SetWordSpace(1.5f); }, "1.5 Tw\n"},
      {"leading", [](auto& c) { c.SetLeading(12); }, "12 TL\n"},
      {"unchanged leading", [](auto& c) { c.SetLeading(0); }, ""},
      {"text", [](auto& c) { c.TextBegin(); c.TextMoveTo(30, 573.8f); c.TextNextLine(); c.TextEnd(); },
       "BT\n30 573.8 Td\nT*\nET\n"},
      {"empty show", [](auto& c) { c.TextShow(u""); }, "<> Tj\n"},
      {"backslash", [](auto& c) { c.TextShow(u"a\\b"); }, "<615C62> Tj\n"},
      {"same font", [](auto& c) { c.SelectFont(u"Arial", 10); }, ""},
      {"font size", [](auto& c) { c.SelectFont(u"arial", 12); }, "/F1 12 Tf\n"},
  };
  for (const OperatorCase& c : cases) {
    doc_.StartDocument();
    doc_.AddPage();
    c.draw(Canvas());
    EXPECT_EQ(Ops(), c.expected) << c.name;
  }
}

TEST_F(PdfCanvasTest, RejectedSpacingWritesNothingAndRejectedSizeKeepsItsOperator) {
  Canvas().SetCharSpace(-2);
  Canvas().SetCharSpace(-2);
  EXPECT_EQ(Ops(), "-2 Tc\n");
  EXPECT_THROW(Canvas().SetCharSpace(-31), EPdfInvalidValue);
  EXPECT_THROW(Canvas().SetWordSpace(-1), EPdfInvalidValue);
  EXPECT_THROW(Canvas().SetLeading(301), EPdfInvalidValue);
  EXPECT_EQ(Ops(), "-2 Tc\n");
  EXPECT_EQ(Canvas().Attribute().CharSpace(), -2);

  EXPECT_EQ(MessageOf<EPdfInvalidValue>([&] { Canvas().SelectFont(u"Times-Roman", 301); }),
            "SetCharSpace --invalid font size");
  EXPECT_EQ(Ops(), "-2 Tc\n/F1 301 Tf\n");
  EXPECT_EQ(Canvas().Attribute().FontSize(), 10);
  EXPECT_EQ(MessageOf<EClassNotFound>([&] { Canvas().SelectFont(u"Nowhere", 10); }), "Class Nowhere not found");
}

TEST_F(PdfCanvasTest, SelectingAFontAddsItToThePageResourcesOnce) {
  Canvas().SelectFont(u"Times-Roman", 12);
  Canvas().SelectFont(u"Arial", 12);
  Canvas().SelectFont(u"Times-Roman", 14);
  EXPECT_EQ(Ops(), "/F1 12 Tf\n/F0 12 Tf\n/F1 14 Tf\n");
  std::string file = Saved();
  EXPECT_NE(file.find("/Font <<\r\n/F0 6 0 R\r\n/F1 7 0 R\r\n>>"), std::string::npos);
}

TEST_F(PdfCanvasTest, EachNewPageResetsTheTextStateAndAReturnRestoresIt) {
  Canvas().SelectFont(u"Times-Bold", 14);
  Canvas().SetCharSpace(-2);
  Canvas().SetLeading(16);
  Canvas().Attribute().SetHorizontalScaling(80);
  TPdfDictionary& first = Canvas().GetPage();

  doc_.AddPage();
  EXPECT_EQ(Canvas().Contents()->Data(), kOpeningFont);
  EXPECT_EQ(Canvas().Attribute().Font()->RegistryName(), u"Arial");
  EXPECT_EQ(Canvas().Attribute().CharSpace(), 0);
  EXPECT_EQ(Canvas().Attribute().Leading(), 0);
  EXPECT_EQ(Canvas().Attribute().HorizontalScaling(), 100);

  Canvas().AttachPage(first);
  EXPECT_EQ(Canvas().Attribute().Font()->RegistryName(), u"Times-Bold");
  EXPECT_EQ(Canvas().Attribute().FontSize(), 14);
  EXPECT_EQ(Canvas().Attribute().CharSpace(), -2);
  EXPECT_EQ(Canvas().Attribute().Leading(), 16);
  EXPECT_EQ(Canvas().Attribute().HorizontalScaling(), 80);
  EXPECT_EQ(Ops(), "/F1 14 Tf\n-2 Tc\n16 TL\n");

  // The saved state lives in hidden entries that are never written.
  std::string file = Saved();
  EXPECT_EQ(file.find("_Font"), std::string::npos);
}

TEST_F(PdfCanvasTest, PageSizeGoesIntoTheMediaBox) {
  Canvas().SetPageWidth(495);
  Canvas().SetPageHeight(614);
  EXPECT_NE(Saved().find("/MediaBox [0 0 495 614 ]"), std::string::npos);
}

TEST_F(PdfCanvasTest, MeasuringAppliesSizeSpacingAndScaling) {
  UseExampleTextState();
  EXPECT_FLOAT_EQ(Canvas().MeasureWidth(u"Hello"), 19.336f);
  EXPECT_FLOAT_EQ(Canvas().MeasureWidth(u""), 2);  // minus the char space
  // Zero-width code units get no char space.
  EXPECT_FLOAT_EQ(Canvas().MeasureWidth(u"a\ta"), 6.672f * 2 - 2);
  EXPECT_EQ(Canvas().CountFitting(u"Hello", 19.336f), 5u);
  EXPECT_EQ(Canvas().CountFitting(u"Hello", 10), 1u);
  EXPECT_EQ(Canvas().CountFitting(u"Hello", 6), 0u);

  Canvas().SelectFont(u"FixedWidth", 10);
  Canvas().SetCharSpace(0);
  Canvas().SetWordSpace(1);
  EXPECT_FLOAT_EQ(Canvas().MeasureWidth(u"a b"), 19);
  EXPECT_FLOAT_EQ(Canvas().MeasureWidth(u"a "), 12);  // no word space on the last position
  EXPECT_EQ(Canvas().CountFitting(u"a b", 18.9f), 2u);
  Canvas().Attribute().SetHorizontalScaling(50);
  Canvas().SetWordSpace(0);
  EXPECT_FLOAT_EQ(Canvas().MeasureWidth(u"ab"), 6);
  // Three spaces of Helvetica measure three space widths.
  Canvas().SelectFont(u"Arial", 1);
  Canvas().Attribute().SetHorizontalScaling(100);
  EXPECT_FLOAT_EQ(Canvas().MeasureWidth(u"   ") * 1000, 3 * 278);
}

TEST_F(PdfCanvasTest, FlowingTheHelloExample) {
  UseExampleTextState();
  std::size_t stop = Canvas().FlowTextInRect(10, 800, 110, 700, u"Hello", true);
  EXPECT_EQ(Ops(), "BT\n10 789.8 Td\n<48656C6C6F> Tj\nET\n");
  EXPECT_EQ(stop, 5u);
}

struct FlowCase {
  const char* name;
  std::u16string text;
  float right;
  float bottom;
  bool wrap;
  std::string lines;  // the operators between Td and ET
  std::size_t stop;
};

TEST_F(PdfCanvasTest, FlowingBreaksLinesAndTellsWhereItStopped) {
  // Helvetica 12 with char space -2: "Hello " measures 20.672, "Hello W" 30,
  // "World" 23.332, "W" alone 11.328, "i" alone 2.664.
  const FlowCase cases[] = {
      {"last line without line end", u"Hello\r\nWorld", 110, 700, true, "<48656C6C6F> Tj\nT*\n<576F726C64> Tj\n", 12},
      {"empty middle line", u"AB\r\n\r\nC", 110, 700, true, "<4142> Tj\nT*\n<> Tj\nT*\n<43> Tj\n", 7},
      {"line end at the very end", u"AB\r\n", 110, 700, true, "<4142> Tj\nT*\n", 4},
      {"lone CR and LF are characters", u"A\rB\nC", 110, 700, true, "<410D420A43> Tj\n", 5},
      {"breaks at any code unit", u"Hello World", 25, 700, true, "<48656C6C6F20> Tj\nT*\n<576F726C64> Tj\n", 11},
      {"too wide alone still gets a line", u"WiW", 5, 700, true, "<57> Tj\nT*\n<69> Tj\nT*\n<57> Tj\nT*\n", 3},
      {"no wrap cuts each source line", u"Hello World\r\nAB", 25, 700, false, "<48656C6C6F20> Tj\nT*\n<4142> Tj\n", 15},
      // "Hello r" would fit, but the source line is cut once it overflows.
      {"no wrap drops to the end", u"Hello World", 25, 700, false, "<48656C6C6F20> Tj\n", 11},
      {"backslash and euro as WinAnsi", u"\\\u20AC", 110, 700, true, "<5C80> Tj\n", 2},
      {"no code becomes a question mark", u"\u4E2D", 110, 700, true, "<3F> Tj\n", 1},
      // 100 units high: the 8th line is the last (y = top - 96 < bottom + 12).
      {"stops at the bottom after a line end", u"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10", 110, 700, true,
       "<31> Tj\nT*\n<32> Tj\nT*\n<33> Tj\nT*\n<34> Tj\nT*\n<35> Tj\nT*\n<36> Tj\nT*\n<37> Tj\nT*\n<38> Tj\n", 24},
      // Lower than one line: the first line is always shown.
      {"stops at the bottom inside a line", u"Hello World", 25, 795, true, "<48656C6C6F20> Tj\n", 6},
      {"stops after a code unit too wide", u"WWi", 5, 795, true, "<57> Tj\n", 1},
      {"no wrap still shows a first code unit too wide", u"Wi\r\nA", 5, 700, false,
       "<57> Tj\nT*\n<69> Tj\nT*\n<41> Tj\nT*\n", 5},
      {"no wrap stops after the source line", u"Hello World\r\nAB", 25, 795, false, "<48656C6C6F20> Tj\n", 13},
  };
  UseExampleTextState();
  for (const FlowCase& c : cases) {
    ClearOps();
    std::size_t stop = Canvas().FlowTextInRect(10, 800, 10 + c.right, c.bottom, c.text, c.wrap);
    EXPECT_EQ(Ops(), "BT\n10 789.8 Td\n" + c.lines + "ET\n") << c.name;
    EXPECT_EQ(stop, c.stop) << c.name;
  }
}

TEST_F(PdfCanvasTest, WrappingAtOpportunitiesKeepsWordsWhole) {
  // Helvetica 12 with char space -2: "Hello W" measures 30, "well-" 22.672.
  const FlowCase cases[] = {
      {"breaks after the space, not inside the word", u"Hello World", 30, 700, true,
       "<48656C6C6F20> Tj\nT*\n<576F726C64> Tj\n", 11},
      {"breaks after a hyphen", u"well-known", 30, 700, true, "<77656C6C2D> Tj\nT*\n<6B6E6F776E> Tj\n", 10},
      {"spaces hang past the edge and the next word starts the line", u"Hello      World", 25, 700, true,
       "<48656C6C6F2020202020> Tj\nT*\n<576F726C64> Tj\n", 16},
      {"a word wider than the line breaks inside it", u"a WonderfulWorld", 30, 700, true,
       "<6120> Tj\nT*\n<576F6E64> Tj\nT*\n<657266756C576F> Tj\nT*\n<726C64> Tj\n", 16},
      {"the next page starts with the word that did not fit", u"Hello World", 30, 795, true, "<48656C6C6F20> Tj\n", 6},
      {"no wrap is unchanged", u"Hello World", 30, 700, false, "<48656C6C6F2057> Tj\n", 11},
  };
  UseExampleTextState();
  for (const FlowCase& c : cases) {
    ClearOps();
    std::size_t stop =
        Canvas().FlowTextInRect(10, 800, 10 + c.right, c.bottom, c.text, c.wrap, TLineBreaks::kOpportunities);
    EXPECT_EQ(Ops(), "BT\n10 789.8 Td\n" + c.lines + "ET\n") << c.name;
    EXPECT_EQ(stop, c.stop) << c.name;
  }
}

TEST_F(PdfCanvasTest, LinesAdvanceByTheLeadingRoundedHalfToEven) {
  // Font size 10 in a rectangle from 100 down to 0: lines go on while y >= 10.
  const std::pair<float, std::size_t> cases[] = {{12, 8}, {12.5f, 8}, {13, 7}, {13.5f, 7}};
  std::u16string text;
  for (int i = 0; i < 20; ++i) text += u"x\r\n";
  for (const auto& [leading, lines] : cases) {
    Canvas().SelectFont(u"Arial", 10);
    Canvas().SetLeading(leading);
    EXPECT_EQ(Canvas().FlowTextInRect(0, 100, 100, 0, text, true), lines * 3) << leading;
  }
  // 13.5 rounds to 14, not 13: from 105 a leading of 13 would fit 8 lines.
  Canvas().SetLeading(13.5f);
  EXPECT_EQ(Canvas().FlowTextInRect(0, 105, 100, 0, text, true), 7u * 3);
  Canvas().SetLeading(13);
  EXPECT_EQ(Canvas().FlowTextInRect(0, 105, 100, 0, text, true), 8u * 3);
}

// The strings of the Tj operators in order (single-byte codes, ASCII here).
std::vector<std::u16string> ShownStrings(const std::string& ops) {
  std::vector<std::u16string> shown;
  for (std::size_t open = ops.find('<'); open != std::string::npos; open = ops.find('<', open + 1)) {
    std::size_t close = ops.find('>', open);
    std::u16string line;
    for (std::size_t i = open + 1; i + 1 < close; i += 2) {
      line.push_back(static_cast<char16_t>(std::stoi(ops.substr(i, 2), nullptr, 16)));
    }
    shown.push_back(line);
  }
  return shown;
}

TEST_F(PdfCanvasTest, EveryWrappedLineIsTheLongestThatMeasuresWithinTheWidth) {
  Canvas().SelectFont(u"Times-Italic", 11);
  Canvas().SetCharSpace(0.7f);
  Canvas().SetWordSpace(1.5f);
  Canvas().Attribute().SetHorizontalScaling(90);
  Canvas().SetLeading(1);
  const char16_t* const words[] = {u"lorem", u"ipsum", u"WWW", u"dolor", u"sit", u"amet,", u"ill", u"MM", u"a"};
  std::u16string text;
  for (int i = 0; i < 400; ++i) text += std::u16string(words[(i * 7) % std::size(words)]) + u" ";
  for (float width : {23.0f, 57.5f, 100.25f, 233.0f}) {
    ClearOps();
    ASSERT_EQ(Canvas().FlowTextInRect(0, 800, width, 0, text, true), text.size());
    std::vector<std::u16string> lines = ShownStrings(Ops());
    std::u16string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      joined += lines[i];
      EXPECT_LE(Canvas().MeasureWidth(lines[i]), width);
      if (i + 1 < lines.size()) {
        EXPECT_GT(Canvas().MeasureWidth(lines[i] + text[joined.size()]), width);
      }
    }
    EXPECT_EQ(joined, text) << width;
  }
}

TEST_F(PdfCanvasTest, EachFlowMeasuresWithTheFontSizeAndScalingInForce) {
  // One canvas through changes of font, size and scaling, and a new
  // document whose fonts are new objects: every flow measures anew.
  const struct {
    const char16_t* font;
    float size;
    std::uint16_t scaling;
    bool newDocument;
  } states[] = {
      {u"Arial", 12, 100, false},      {u"Arial", 7, 100, false},  {u"Arial", 7, 250, false},
      {u"Times-Roman", 7, 250, false}, {u"Gothic", 9, 100, false}, {u"Arial", 12, 100, true},
      {u"FixedWidth", 12, 100, true},
  };
  std::u16string text;
  for (int i = 0; i < 120; ++i) text += i % 3 == 0 ? u"Wide WORDS " : u"ill fitting \u4E2D ";
  constexpr float kWidth = 80;
  for (const auto& state : states) {
    SCOPED_TRACE(std::string(state.font, state.font + std::char_traits<char16_t>::length(state.font)) + " " +
                 std::to_string(state.size) + " " + std::to_string(state.scaling));
    if (state.newDocument) {
      doc_.StartDocument();
      doc_.AddPage();
    }
    Canvas().SelectFont(state.font, state.size);
    Canvas().Attribute().SetHorizontalScaling(state.scaling);
    Canvas().SetCharSpace(-1);
    Canvas().SetLeading(1);
    const std::size_t before = Canvas().Contents()->Data().size();
    ASSERT_EQ(Canvas().FlowTextInRect(0, 800, kWidth, 0, text, true), text.size());
    const std::string ops = Canvas().Contents()->Data().substr(before);
    // Each shown line is the longest start of what is left that measures
    // within the width; a code unit too wide alone has a line of its own.
    std::size_t shown = 0;
    for (std::size_t open = ops.find('<'); open != std::string::npos; open = ops.find('<', open + 1)) {
      const std::size_t digits = ops.find('>', open) - open - 1;
      const std::size_t units = digits / (state.font == std::u16string_view(u"Gothic") ? 4 : 2);
      const std::u16string_view line = std::u16string_view(text).substr(shown, units);
      if (units > 1) {
        EXPECT_LE(Canvas().MeasureWidth(line), kWidth) << shown;
      }
      if (shown + units < text.size()) {
        EXPECT_GT(Canvas().MeasureWidth(std::u16string_view(text).substr(shown, units + 1)), kWidth) << shown;
      }
      shown += units;
    }
    EXPECT_EQ(shown, text.size());
  }
}

TEST_F(PdfCanvasTest, RealReadersGetTheFlowedTextBack) {
  UseExampleTextState();
  const std::u16string text =
      u"The quick brown fox jumps over the lazy dog.\r\nPack my box with five dozen liquor jugs; "
      u"caf\u00E9 cr\u00E8me br\u00FBl\u00E9e costs \u20AC5 \u2022 back\\slash.";
  std::size_t stop = Canvas().FlowTextInRect(30, 800, 200, 40, text, true);
  EXPECT_EQ(stop, text.size());
  Saved("The quick brown fox jumps over the lazy dog.Pack my box with five dozen liquor jugs; café crème brûlée "
        "costs €5 • back\\slash.",
        test::Spaces::kIgnored);
}

}  // namespace
}  // namespace varnolt
