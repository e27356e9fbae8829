#include "pdf/PdfFonts.h"

#include <gtest/gtest.h>

#include "pdf/PdfCanvas.h"
#include "tests/pdf/PdfTestHelpers.h"
#include "tests/support/PdfReaders.h"

namespace varnolt {
namespace {

using test::MessageOf;
using test::Written;

const char16_t* const kStandardFontNames[] = {
    u"FixedWidth",  u"FixedWidth-Bold",  u"FixedWidth-BoldItalic",  u"FixedWidth-Italic",
    u"Arial",       u"Arial-Bold",       u"Arial-BoldItalic",       u"Arial-Italic",
    u"Times-Roman", u"Times-Bold",       u"Times-Italic",           u"Times-BoldItalic",
};

struct WidthCase {
  const char16_t* font;
  int code;
  int width;
};

TEST(PdfFontsTest, WidthTablesHoldThePublishedMetrics) {
  const WidthCase cases[] = {
      {u"Arial", ' ', 278},        {u"Arial", 'A', 667},        {u"Arial", 'a', 556},
      {u"Arial", 'i', 222},        {u"Arial", 'W', 944},        {u"Arial", 128, 556},
      {u"Arial", 149, 350},        {u"Times-Roman", ' ', 250},  {u"Times-Roman", 'A', 722},
      {u"Times-Roman", 'a', 444},  {u"Times-Roman", 64, 921},   {u"Arial-Bold", 'A', 722},
      {u"Arial-Bold", 'i', 278},   {u"Arial-Bold", 64, 975},    {u"FixedWidth", 'i', 600},
      {u"FixedWidth-Bold", 'W', 600},
      // No glyph of their own, the no-break space and the soft hyphen: zero
      // in the proportional families, the fixed pitch in Courier.
      {u"Arial", 127, 0},          {u"Arial", 129, 0},          {u"Arial-Italic", 141, 0},
      {u"Arial-BoldItalic", 143, 0}, {u"Times-Bold", 144, 0},   {u"Times-Italic", 157, 0},
      {u"Arial", 160, 0},          {u"Arial", 173, 0},          {u"Times-Roman", 160, 0},
      {u"Times-BoldItalic", 173, 0}, {u"FixedWidth", 160, 600}, {u"FixedWidth-Italic", 173, 600},
      {u"FixedWidth-BoldItalic", 127, 600},
      // Below 32 nothing is measured, TAB included.
      {u"Arial", 9, 0},            {u"FixedWidth", 0, 0},
  };
  TPdfDoc doc;
  doc.StartDocument();
  for (const WidthCase& c : cases) {
    auto& font = dynamic_cast<TPdfType1Font&>(doc.GetFont(c.font));
    EXPECT_EQ(font.CharWidth(static_cast<std::uint8_t>(c.code)), c.width)
        << std::string(font.RegistryName().begin(), font.RegistryName().end()) << " code " << c.code;
  }
}

TEST(PdfFontsTest, RegistryHoldsTheTwelveStandardFontsInOrderAndIgnoresCase) {
  std::vector<std::u16string> names = PdfClassRegistry().Names();
  ASSERT_GE(names.size(), std::size(kStandardFontNames));
  for (std::size_t i = 0; i < std::size(kStandardFontNames); ++i) EXPECT_EQ(names[i], kStandardFontNames[i]);

  ASSERT_NE(PdfClassRegistry().FindClass(u"arial"), nullptr);
  EXPECT_EQ(PdfClassRegistry().FindClass(u"arial")->ClassName(), "TPdfArial");
  EXPECT_EQ(PdfClassRegistry().FindClass(u"TIMES-BOLDITALIC")->ClassName(), "TPdfTimesBoldItalic");
  EXPECT_EQ(PdfClassRegistry().FindClass(u"NoSuchFont"), nullptr);
  EXPECT_EQ(MessageOf<EClassNotFound>([] { PdfClassRegistry().FindFontClass(u"NoSuchFont"); }),
            "Class NoSuchFont not found");
}

TEST(PdfFontsTest, TheFirstRegistrationOfANameWins) {
  TPdfClassRegistry registry;
  registry.RegisterFont<TPdfArial>(u"Arial", "TPdfArial");
  registry.RegisterFont<TPdfTimesRoman>(u"ARIAL", "TPdfTimesRoman");
  EXPECT_EQ(registry.FindClass(u"arial")->ClassName(), "TPdfArial");
  TPdfXref xref;
  std::unique_ptr<TPdfFont> font = registry.FindFontClass(u"Arial").Create(xref, u"Arial");
  EXPECT_EQ(font->Dictionary().LookupName(u"BaseFont")->Value(), u"Helvetica");
  registry.UnregisterClass(u"arial");
  EXPECT_EQ(registry.FindClass(u"Arial")->ClassName(), "TPdfTimesRoman");
}

TEST(PdfFontsTest, AStandardFontDictionaryNamesTheFontWithoutWidths) {
  TPdfDoc doc;
  doc.StartDocument();
  TPdfFont& font = doc.GetFont(u"Times-BoldItalic");
  EXPECT_EQ(font.RegistryName(), u"Times-BoldItalic");
  EXPECT_EQ(Written(font.Dictionary()), std::to_string(font.Dictionary().ObjectNumber()) + " 0 R");
  MemoryOutputStream out;
  font.Dictionary().WriteValue(out);
  EXPECT_EQ(out.Bytes(),
            "<<\r\n/Type /Font\r\n/Subtype /Type1\r\n/Encoding /WinAnsiEncoding\r\n/FirstChar 32\r\n"
            "/LastChar 255\r\n/BaseFont /Times-BoldItalic\r\n/Name /F0\r\n>>");
  ASSERT_NE(font.Dictionary().LookupArray(u"Widths"), nullptr);
  EXPECT_EQ(font.Dictionary().LookupArray(u"Widths")->Count(), 224u);
}

struct WinAnsiCase {
  char16_t character;
  int code;
};

TEST(PdfFontsTest, CharactersMapToTheirWinAnsiCodeOrQuestionMark) {
  const WinAnsiCase cases[] = {
      {u'A', 0x41},       {u'\\', 0x5C},      {u'\t', 0x09},      {u'\r', 0x0D},     {u'\u00E9', 0xE9},
      {u'\u00A0', 0xA0},  {u'\u00FF', 0xFF},  {u'\u20AC', 0x80},  {u'\u2022', 0x95}, {u'\u0152', 0x8C},
      {u'\u2122', 0x99},  {u'\u0178', 0x9F},  {u'\u4E2D', '?'},   {u'\u0100', '?'},  {static_cast<char16_t>(0xD83D), '?'},
      {u'\uFFFD', '?'},   {u'?', '?'},
  };
  for (const WinAnsiCase& c : cases) {
    EXPECT_EQ(WinAnsiCode(c.character), c.code) << "U+" << std::hex << static_cast<int>(c.character);
  }
}

TEST(PdfFontsTest, SingleByteFontsWriteAndMeasureTheWinAnsiCode) {
  TPdfDoc doc;
  doc.StartDocument();
  TPdfFont& arial = doc.GetFont(u"Arial");
  std::u16string text = u"\u20AC\u2022\\\u4E2Da";
  std::string hex;
  arial.AppendHexCodes(text, hex);
  EXPECT_EQ(hex, "80955C3F61");
  EXPECT_EQ(arial.WidthOf(text, 1), 556);  // as code 128
  EXPECT_EQ(arial.WidthOf(text, 2), 350);
  EXPECT_EQ(arial.WidthOf(text, 3), 278);
  EXPECT_EQ(arial.WidthOf(text, 4), 556);  // written as "?", measured as "?"
  EXPECT_EQ(arial.WidthOf(text, 6), 0);    // past the end

  // Two-byte fonts keep four digits per code unit; the base measures nothing.
  TPdfXref xref;
  TPdfFont wide(xref, u"Wide");
  hex.clear();
  wide.AppendHexCodes(u"\\\u4E2D", hex);
  EXPECT_EQ(hex, "005C4E2D");
  EXPECT_EQ(wide.WidthOf(u"A", 1), 0);
}

TEST(PdfFontsTest, RealReadersShowEveryStandardFontsText) {
  TPdfDoc doc;
  doc.StartDocument();
  doc.AddPage();
  TPdfCanvas& canvas = doc.GetCanvas();
  std::string expected;
  float y = 800;
  for (const char16_t* name : kStandardFontNames) {
    canvas.SelectFont(name, 11);
    canvas.TextBegin();
    canvas.TextMoveTo(40, y);
    canvas.TextShow(u"Caf\u00E9 \u20AC5 \u2022 back\\slash \u00C6\u00DF\u00FF");
    canvas.TextEnd();
    expected += "Café €5 • back\\slash Æßÿ\n";
    y -= 20;
  }
  MemoryOutputStream stream;
  doc.SaveToStream(stream);
  EXPECT_TRUE(test::IsReadablePdfWithText(stream.Bytes(), expected));
}

}  // namespace
}  // namespace varnolt
