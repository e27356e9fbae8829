#include "pdf/PdfJpFonts.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfClassRegistry.h"
#include "tests/pdf/PdfTestHelpers.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using test::MessageOf;

struct StyleCase {
  const char16_t* name;
  const char* className;
  const char16_t* baseFont;
  int flags;
  int italicAngle;
  int stemV;
  bool proportional;
};

// In registry order.
const StyleCase kStyles[] = {
    {u"Gothic", "TPdfGothic", u"Stone_Song", 5, 0, 78, false},
    {u"Gothic,Bold", "TPdfGothicBold", u"Stone_Song,Bold", 262149, 0, 156, false},
    {u"Gothic,Italic", "TPdfGothicItalic", u"Stone_Song,Italic", 5, -11, 78, false},
    {u"Gothic,BoldItalic", "TPdfGothicBoldItalic", u"Stone_Song,BoldItalic", 262149, -11, 156, false},
    {u"Mincyo", "TPdfMincyo", u"MS-Mincyo", 7, 0, 78, false},
    {u"Mincyo,Bold", "TPdfMincyoBold", u"MS-Mincyo,Bold", 262151, 0, 156, false},
    {u"Mincyo,Italic", "TPdfMincyoItalic", u"MS-Mincyo,Italic", 7, -11, 78, false},
    {u"Mincyo,BoldItalic", "TPdfMincyoBoldItalic", u"MS-Mincyo,BoldItalic", 262151, -11, 156, false},
    {u"PGothic", "TPdfPGothic", u"Stone_Song", 4, 0, 78, true},
    {u"PGothic,Bold", "TPdfPGothicBold", u"Stone_Song,Bold", 262148, 0, 156, true},
    {u"PGothic,Italic", "TPdfPGothicItalic", u"Stone_Song,Italic", 4, -11, 78, true},
    {u"PGothic,BoldItalic", "TPdfPGothicBoldItalic", u"Stone_Song,BoldItalic", 262148, -11, 156, true},
    {u"PMincyo", "TPdfPMincyo", u"stone_song", 6, 0, 78, true},
    {u"PMincyo,Bold", "TPdfPMincyoBold", u"MS-PMincyo,Bold", 262150, 0, 156, true},
    {u"PMincyo,Italic", "TPdfPMincyoItalic", u"MS-PMincyo,Italic", 6, -11, 78, true},
    {u"PMincyo,BoldItalic", "TPdfPMincyoBoldItalic", u"MS-PMincyo,BoldItalic", 262150, -11, 156, true},
};

std::string Utf8(std::u16string_view text) { return std::string(text.begin(), text.end()); }

std::string WrittenIndirect(TPdfObject& object) {
  MemoryOutputStream stream;
  object.WriteIndirect(stream);
  return stream.Bytes();
}

TPdfDictionary& Descendant(TPdfFont& font) {
  return *dynamic_cast<TPdfDictionary*>(font.Dictionary().LookupArray(u"DescendantFonts")->GetItem(0));
}

TEST(PdfJpFontsTest, TheSixteenFontsFollowTheImageCreatorInTheRegistry) {
  std::vector<std::u16string> names = PdfClassRegistry().Names();
  ASSERT_GE(names.size(), 13 + std::size(kStyles));
  EXPECT_EQ(names[12], u"Pdf-Bitmap");
  for (std::size_t i = 0; i < std::size(kStyles); ++i) {
    EXPECT_EQ(names[13 + i], kStyles[i].name);
    EXPECT_EQ(PdfClassRegistry().FindClass(kStyles[i].name)->ClassName(), kStyles[i].className);
  }
  EXPECT_EQ(PdfClassRegistry().FindClass(u"pgothic,ITALIC")->ClassName(), "TPdfPGothicItalic");
  // The composite names take a comma; the hyphen form is no font.
  EXPECT_EQ(PdfClassRegistry().FindClass(u"Gothic-Bold"), nullptr);
}

TEST(PdfJpFontsTest, EveryStyleCarriesItsNameFlagsAngleAndStem) {
  TPdfDoc doc;
  doc.StartDocument();
  for (const StyleCase& style : kStyles) {
    SCOPED_TRACE(Utf8(style.name));
    auto* font = dynamic_cast<TPdfJpFont*>(&doc.GetFont(style.name));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->RegistryName(), style.name);
    EXPECT_EQ(font->BaseFontName(), style.baseFont);
    EXPECT_EQ(font->Dictionary().LookupName(u"BaseFont")->Value(), style.baseFont);
    TPdfDictionary& descendant = Descendant(*font);
    EXPECT_EQ(descendant.LookupName(u"BaseFont")->Value(), style.baseFont);
    TPdfDictionary* descriptor = descendant.LookupDictionary(u"FontDescriptor");
    ASSERT_NE(descriptor, nullptr);
    EXPECT_EQ(descriptor->LookupName(u"FontName")->Value(), style.baseFont);
    EXPECT_EQ(descriptor->LookupNumber(u"Flags")->Value(), style.flags);
    EXPECT_EQ(descriptor->LookupNumber(u"ItalicAngle")->Value(), style.italicAngle);
    EXPECT_EQ(descriptor->LookupNumber(u"StemV")->Value(), style.stemV);
    EXPECT_EQ(font->CidWidths().size(), style.proportional ? 461u : 1u);
    EXPECT_EQ(dynamic_cast<TPdfJpProportionalFont*>(font) != nullptr, style.proportional);
    // Type0, descendant and descriptor are numbered in that order.
    EXPECT_EQ(descendant.ObjectNumber(), font->Dictionary().ObjectNumber() + 1);
    EXPECT_EQ(descriptor->ObjectNumber(), font->Dictionary().ObjectNumber() + 2);
  }
  EXPECT_NE(dynamic_cast<TPdfPGothicItalic*>(&doc.GetFont(u"PGothic,Italic")), nullptr);
  EXPECT_NE(dynamic_cast<TPdfPGothic*>(&doc.GetFont(u"PGothic,BoldItalic")), nullptr);
  EXPECT_NE(dynamic_cast<TPdfPMincyo*>(&doc.GetFont(u"PMincyo,Bold")), nullptr);
}

TEST(PdfJpFontsTest, GothicIsWrittenAsTypeZeroDescendantAndDescriptor) {
  TPdfDoc doc;
  doc.StartDocument();
  doc.AddPage();  // pages 3, 4 and 5, the opening Arial 6
  TPdfFont& font = doc.GetFont(u"Gothic");
  TPdfDictionary& descendant = Descendant(font);
  EXPECT_EQ(WrittenIndirect(font.Dictionary()),
            "7 0 obj\r\n<<\r\n/BaseFont /Stone_Song\r\n/DescendantFonts [8 0 R ]\r\n/Type /Font\r\n"
            "/Subtype /Type0\r\n/Encoding /UniGB-UCS2-H\r\n/Name /F1\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(WrittenIndirect(descendant),
            "8 0 obj\r\n<<\r\n/Type /Font\r\n/Subtype /CIDFontType2\r\n/WinCharSet /128\r\n"
            "/BaseFont /Stone_Song\r\n/CIDSystemInfo <<\r\n/Registry (Adobe)\r\n/Ordering (GB1)\r\n"
            "/Supplement 2\r\n>>\r\n/DW 1000\r\n/W [231 631 500 ]\r\n/FontDescriptor 9 0 R\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(WrittenIndirect(*descendant.LookupDictionary(u"FontDescriptor")),
            "9 0 obj\r\n<<\r\n/Type /FontDescriptor\r\n/FontName /Stone_Song\r\n/Ascent 859\r\n"
            "/CapHeight 859\r\n/Descent -141\r\n/MissingWidth 500\r\n/Flags 5\r\n/ItalicAngle 0\r\n"
            "/StemV 78\r\n/FontBBox [0 -141 1000 859 ]\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(doc.Xref().Count(), 10);
}

std::vector<int> PublishedAsciiWidths() {
  std::istringstream lines(test::ReadFileBytes(test::SharedDataDir() / "proportional-ascii-widths.txt"));
  std::vector<int> widths;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("#")) continue;
    std::istringstream numbers(line);
    for (int width; numbers >> width;) widths.push_back(width);
  }
  return widths;
}

TEST(PdfJpFontsTest, TheProportionalWidthArrayHasTheTenRuns) {
  TPdfDoc doc;
  doc.StartDocument();
  TPdfFont& font = doc.GetFont(u"PMincyo,Italic");
  TPdfArray* w = Descendant(font).LookupArray(u"W");
  ASSERT_NE(w, nullptr);
  const std::pair<int, std::size_t> runs[] = {{1, 95},   {326, 64}, {633, 63}, {771, 8},  {780, 10},
                                              {790, 26}, {816, 26}, {842, 83}, {925, 63}, {988, 23}};
  ASSERT_EQ(w->Count(), 2 * std::size(runs));
  for (std::size_t i = 0; i < std::size(runs); ++i) {
    EXPECT_EQ(dynamic_cast<TPdfNumber*>(w->GetItem(2 * i))->Value(), runs[i].first);
    EXPECT_EQ(dynamic_cast<TPdfArray*>(w->GetItem(2 * i + 1))->Count(), runs[i].second);
  }

  auto& measured = dynamic_cast<TPdfType0Font&>(font);
  auto widthOf = [&](int cid) {
    for (const TPdfCIDWidthItem& item : measured.CidWidths()) {
      if (item.FirstCid == cid && item.LastCid == cid) return static_cast<int>(item.Width);
    }
    return -1;
  };
  std::vector<int> ascii = PublishedAsciiWidths();
  ASSERT_EQ(ascii.size(), 95u);
  for (int cid = 1; cid <= 95; ++cid) EXPECT_EQ(widthOf(cid), ascii[cid - 1]) << "CID " << cid;
  const int firstEight[] = {305, 219, 500, 500, 500, 500, 594, 203};
  for (int cid = 1; cid <= 8; ++cid) EXPECT_EQ(widthOf(cid), firstEight[cid - 1]);
  for (int cid = 771; cid <= 775; ++cid) EXPECT_EQ(widthOf(cid), 1000);
  for (int cid = 776; cid <= 778; ++cid) EXPECT_EQ(widthOf(cid), 500);
  EXPECT_EQ(widthOf(779), -1);
  for (int cid = 780; cid <= 789; ++cid) EXPECT_EQ(widthOf(cid), 684);
  EXPECT_EQ(widthOf(790), 715);
  EXPECT_EQ(widthOf(791), 777);
  EXPECT_EQ(widthOf(792), 742);
  EXPECT_EQ(widthOf(793), 758);
  // Unpublished values take the fixed-pitch width of the CID.
  EXPECT_EQ(widthOf(326), 500);
  EXPECT_EQ(widthOf(389), 500);
  EXPECT_EQ(widthOf(633), 1000);
  EXPECT_EQ(widthOf(794), 1000);
  EXPECT_EQ(widthOf(1010), 1000);
}

struct MeasureCase {
  const char16_t* font;
  std::u16string text;
  std::size_t position;
  int width;
};

TEST(PdfJpFontsTest, WidthOfFollowsCidWidthsThenMissingOrDefaultWidth) {
  const MeasureCase cases[] = {
      {u"Gothic", u"\u4E2D", 1, 1000},          // an ideograph: DW
      {u"Gothic", u"A", 1, 500},                // ASCII: MissingWidth
      {u"PGothic", u"A", 1, 633},               // CID 34 of the ASCII run
      {u"PGothic", u" ", 1, 305},
      {u"PGothic,Bold", u"~", 1, 414},          // the subclasses inherit the runs
      {u"Gothic", u"\u00E9", 1, 500},           // CID 673, beyond W, Latin-1: MissingWidth
      {u"PGothic", u"\u00E9", 1, 1000},         // CID 673 in the run from 633
      {u"Gothic", u"\u0391", 1, 500},           // Greek, CID 525 among the half-width CIDs
      {u"Gothic", u"\uFFE5", 1, 500},           // CID 265
      {u"PGothic", u"\uFFE5", 1, 1000},         // CID 265 between two runs: DW
      {u"Gothic", u"\uFF61", 1, 500},           // half-width form without a row
      {u"Mincyo", u"\u3000", 1, 1000},
      {u"Gothic", u"\t", 1, 500},               // no row, below 256
      {u"PGothic", u"\U00020000", 1, 1000},     // surrogate pair: DW, then nothing
      {u"PGothic", u"\U00020000", 2, 0},
      {u"Gothic", u"A", 0, 0},
      {u"Gothic", u"A", 2, 0},
  };
  TPdfDoc doc;
  doc.StartDocument();
  for (const MeasureCase& c : cases) {
    EXPECT_EQ(doc.GetFont(c.font).WidthOf(c.text, c.position), c.width)
        << Utf8(c.font) << " U+" << std::hex << static_cast<int>(c.text[0]) << " at " << c.position;
  }
  auto& gothic = dynamic_cast<TPdfType0Font&>(doc.GetFont(u"Gothic"));
  EXPECT_EQ(gothic.CharToCid(u"\u4E2D", 1), 4559);
  EXPECT_EQ(gothic.DefaultWidth(), 1000);
  EXPECT_EQ(gothic.MissingWidth(), 500);
  EXPECT_EQ(gothic.CidWidths(), (std::vector<TPdfCIDWidthItem>{{231, 631, 500}}));
}

TEST(PdfJpFontsTest, TheCanvasWritesAndMeasuresTwoBytesPerCodeUnit) {
  TPdfDoc doc;
  doc.StartDocument();
  doc.AddPage();
  TPdfCanvas& canvas = doc.GetCanvas();
  canvas.SelectFont(u"Gothic", 10);
  canvas.TextShow(u"\u4E2DA\\");
  EXPECT_TRUE(canvas.Contents()->Data().ends_with("/F1 10 Tf\n<4E2D0041005C> Tj\n"));
  EXPECT_FLOAT_EQ(canvas.MeasureWidth(u"\u4E2DA\\"), 10 + 5 + 5);
  canvas.SelectFont(u"PGothic", 10);
  EXPECT_FLOAT_EQ(canvas.MeasureWidth(u"A\u4E2D"), 6.33f + 10);
}

// A Type0 dictionary whose descendant holds the W array under test.
struct WrappedWidths {
  TPdfXref xref;
  TPdfDictionary& type0 = xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
  TPdfDictionary& descendant = xref.AddObject(std::make_unique<TPdfDictionary>(&xref));

  explicit WrappedWidths(std::unique_ptr<TPdfArray> w) {
    auto descendants = std::make_unique<TPdfArray>(&xref);
    descendants->Append(descendant);
    type0.Put(u"DescendantFonts", std::move(descendants));
    descendant.PutNumber(u"DW", 900);
    auto descriptor = std::make_unique<TPdfDictionary>(&xref);
    descriptor->PutNumber(u"MissingWidth", 450);
    descendant.Put(u"FontDescriptor", std::move(descriptor));
    descendant.Put(u"W", std::move(w));
  }
};

std::unique_ptr<TPdfArray> Array(std::initializer_list<std::function<std::unique_ptr<TPdfObject>()>> items) {
  auto array = std::make_unique<TPdfArray>();
  for (const auto& make : items) array->Append(make());
  return array;
}
auto Num(int value) {
  return [value] { return std::unique_ptr<TPdfObject>(std::make_unique<TPdfNumber>(value)); };
}
auto Name() {
  return [] { return std::unique_ptr<TPdfObject>(std::make_unique<TPdfName>(u"N")); };
}
auto Sub(std::initializer_list<int> widths) {
  std::vector<int> copy(widths);
  return [copy] {
    auto array = std::make_unique<TPdfArray>();
    for (int width : copy) array->Append(std::make_unique<TPdfNumber>(width));
    return std::unique_ptr<TPdfObject>(std::move(array));
  };
}

TEST(PdfJpFontsTest, WrapReadsBothFormsOfTheWidthArray) {
  WrappedWidths wrapped(Array({Num(1), Sub({305, 219}), Num(10), Num(20), Num(600), Num(30), Sub({}), Num(40)}));
  TPdfType0Font font(wrapped.xref, u"Test");
  font.Wrap(wrapped.type0);
  EXPECT_EQ(font.CidWidths(), (std::vector<TPdfCIDWidthItem>{{1, 1, 305}, {2, 2, 219}, {10, 20, 600}}));
  EXPECT_EQ(font.DefaultWidth(), 900);
  EXPECT_EQ(font.MissingWidth(), 450);
  // Without a code-to-CID function every code is CID 0.
  EXPECT_EQ(font.WidthOf(u"A", 1), 450);
  EXPECT_EQ(font.WidthOf(u"\u4E2D", 1), 900);
  font.SetCharToCid([](std::u16string_view text, std::size_t position) {
    return static_cast<std::int32_t>(text[position - 1]) - 'a';
  });
  EXPECT_EQ(font.WidthOf(u"b", 1), 305);   // CID 1
  EXPECT_EQ(font.WidthOf(u"c", 1), 219);   // CID 2
  EXPECT_EQ(font.WidthOf(u"f", 1), 450);   // CID 5: the range 10-20 decides, and holds it not
  EXPECT_EQ(font.WidthOf(u"u", 1), 600);   // CID 20
  EXPECT_EQ(font.WidthOf(u"v", 1), 450);   // CID 21: beyond every entry
  EXPECT_EQ(font.WidthOf(u"`", 1), 0);     // CID -1: no character
}

TEST(PdfJpFontsTest, WrappingAgainMeasuresWithTheNewWidths) {
  WrappedWidths first(Array({Num(1), Num(1), Num(700)}));
  WrappedWidths second(Array({Num(1), Num(1), Num(300)}));
  TPdfType0Font font(first.xref, u"Test", [](std::u16string_view text, std::size_t position) {
    return static_cast<std::int32_t>(text[position - 1]) - 'a';
  });
  font.Wrap(first.type0);
  EXPECT_EQ(font.WidthOf(u"ab", 2), 700);
  font.Wrap(second.type0);
  EXPECT_EQ(font.WidthOf(u"ab", 2), 300);
  EXPECT_EQ(font.WidthOf(u"ab", 1), 450);  // CID 0 below every entry, ASCII: MissingWidth
}

TEST(PdfJpFontsTest, AnUnsortedWidthArrayIsSearchedInItsOwnOrder) {
  WrappedWidths wrapped(Array({Num(50), Num(60), Num(700), Num(1), Num(5), Num(300)}));
  TPdfType0Font font(wrapped.xref, u"Test");
  font.Wrap(wrapped.type0);
  font.SetCharToCid([](std::u16string_view text, std::size_t position) {
    return static_cast<std::int32_t>(text[position - 1]);
  });
  // The first entry whose last CID is not below the CID decides.
  EXPECT_EQ(font.WidthOf(u"\x37", 1), 700);   // CID 55
  EXPECT_EQ(font.WidthOf(u"\x03", 1), 450);   // CID 3: 50-60 decides, and holds it not
}

TEST(PdfJpFontsTest, AMalformedWidthArrayIsRefusedWithItsMessage) {
  const struct {
    std::function<std::unique_ptr<TPdfArray>()> w;
    const char* message;
  } cases[] = {
      {[] { return Array({Name()}); }, "invalid W array start pos.."},
      {[] { return Array({Num(1), Sub({500}), Sub({500})}); }, "invalid W array start pos.."},
      {[] { return Array({Num(1), Num(2)}); }, "invalid W array end pos.."},
      {[] { return Array({Num(1), Num(2), Name()}); }, "invalid W array end pos.."},
      {[] { return Array({Num(1), Name()}); }, "invalid W array value.."},
      {[] { return Array({Num(1), Sub({500}), Num(3), Name(), Num(500)}); }, "invalid W array value.."},
  };
  for (const auto& c : cases) {
    WrappedWidths wrapped(c.w());
    TPdfType0Font font(wrapped.xref, u"Test");
    EXPECT_EQ(MessageOf<EPdfInvalidValue>([&] { font.Wrap(wrapped.type0); }), c.message);
  }
  // A start with nothing after it ends the array.
  WrappedWidths lone(Array({Num(1), Sub({500}), Num(7)}));
  TPdfType0Font font(lone.xref, u"Test");
  font.Wrap(lone.type0);
  EXPECT_EQ(font.CidWidths(), (std::vector<TPdfCIDWidthItem>{{1, 1, 500}}));
}

// A composite font whose own W array is malformed.
class TPdfBrokenWidthsFont final : public TPdfType0Font {
 public:
  TPdfBrokenWidthsFont(TPdfXref& xref, std::u16string name) : TPdfType0Font(xref, std::move(name)) {
    auto& type0 = xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
    auto descendant = std::make_unique<TPdfDictionary>(&xref);
    descendant->Put(u"W", TPdfArray::CreateNumberArray(&xref, {1, 2}));
    auto descendants = std::make_unique<TPdfArray>(&xref);
    descendants->Append(std::move(descendant));
    type0.Put(u"DescendantFonts", std::move(descendants));
    Wrap(type0);
  }
};

TEST(PdfJpFontsTest, AFontWhoseWidthsAreRefusedIsNotAddedToTheDocument) {
  PdfClassRegistry().RegisterFont<TPdfBrokenWidthsFont>(u"Test-BrokenWidths", "TPdfBrokenWidthsFont");
  TPdfDoc doc;
  doc.StartDocument();
  doc.GetFont(u"Gothic");
  EXPECT_EQ(MessageOf<EPdfInvalidValue>([&] { doc.GetFont(u"Test-BrokenWidths"); }), "invalid W array end pos..");
  EXPECT_EQ(doc.Fonts().size(), 1u);
  EXPECT_EQ(doc.GetFont(u"PGothic").Dictionary().LookupName(u"Name")->Value(), u"F1");
  PdfClassRegistry().UnregisterClass(u"Test-BrokenWidths");
}

}  // namespace
}  // namespace varnolt
