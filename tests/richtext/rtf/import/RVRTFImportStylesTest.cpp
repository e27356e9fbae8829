// How imported runs and paragraphs find their styles in the shared sheet:
// the closest one, an equal one added when needed, or the one named.
#include <gtest/gtest.h>

#include "richtext/rtf/import/RVRTFImport.h"
#include "richtext/rtf/reader/RVRTFReader.h"
#include "tests/richtext/rtf/import/RVRTFImportTestSupport.h"

namespace varnolt {
namespace {

using test::Rtf;
using test::TRVImportedRTF;

const std::string kRedColorTable = "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";

TEST(RVRTFImportStylesTest, ClosestTextStyleOfTheDefaultSheet) {
  TRVImportedRTF imported;
  imported.Load(Rtf(kRedColorTable + "plain {\\b\\cf1 red bold} {\\i italic} {\\ul\\cf2 underlined}"));
  ASSERT_EQ(imported.doc.CountItems(), 6);
  EXPECT_EQ(imported.doc.ItemAt(0).StyleNo, 0);  // Normal text
  // Both bold styles agree in everything but colour; navy lies nearer red than blue does.
  EXPECT_EQ(imported.doc.ItemAt(1).StyleNo, 2);
  EXPECT_EQ(imported.doc.ItemAt(3).StyleNo, 3);  // Keywords: italic
  // Outside a link the underlined link styles are not candidates.
  EXPECT_FALSE(imported.style.TextStyleAt(imported.doc.ItemAt(5).StyleNo).Jump);
  EXPECT_EQ(imported.style.TextStyles.Count(), 6);
  EXPECT_EQ(imported.style.ParaStyles.Count(), 2);
}

TEST(RVRTFImportStylesTest, AnExactDuplicateAlwaysWins) {
  TRVImportedRTF imported;
  TFontInfo& exact = imported.style.AppendTextStyle();
  exact.FontName = u"Times New Roman";
  exact.Size = 13;
  exact.Color = 0x0000FF;
  exact.Style = TFontStyles{fsBold};
  imported.Load(Rtf(kRedColorTable + "{\\f1\\fs26\\b\\cf1 exact}"));
  ASSERT_EQ(imported.doc.CountItems(), 1);
  EXPECT_EQ(imported.doc.ItemAt(0).StyleNo, 6);
}

TEST(RVRTFImportStylesTest, AddedTextStylesAreSharedAndCarryTheFormatting) {
  TRVImportedRTF imported;
  imported.props.TextStyleMode = rvrsAddIfNeeded;
  std::vector<std::int32_t> announced;
  imported.doc.Events.StyleAdded = [&](TCustomRVInfo&, std::int32_t number) { announced.push_back(number); };
  imported.Load(Rtf(kRedColorTable +
                    "{\\f1\\fs28\\i\\cf1\\ul\\ulc2\\expndtw30\\charscalex80\\up6 one}\\par "
                    "{\\f1\\fs28\\i\\cf1\\ul\\ulc2\\expndtw30\\charscalex80\\up6 two}\\par "
                    "{\\caps caps}{\\caps again}"));
  ASSERT_EQ(imported.doc.CountItems(), 4);
  const std::int32_t first = imported.doc.ItemAt(0).StyleNo;
  EXPECT_EQ(imported.doc.ItemAt(1).StyleNo, first);
  const TFontInfo& info = imported.style.TextStyleAt(first);
  EXPECT_EQ(info.FontName, u"Times New Roman");
  EXPECT_EQ(info.Size, 14);
  EXPECT_EQ(info.Color, 0x0000FFu);
  EXPECT_EQ(info.UnderlineColor, 0xFF0000u);
  EXPECT_TRUE(info.Style.Contains(fsItalic));
  EXPECT_TRUE(info.Style.Contains(fsUnderline));
  EXPECT_EQ(info.CharSpacing, 2);
  EXPECT_EQ(info.CharScale, 80);
  EXPECT_EQ(info.VShift, 21);  // 6 half-points of 14 points
  EXPECT_FALSE(info.Standard());
  // Runs in capitals share one style too.
  EXPECT_EQ(imported.doc.ItemAt(2).StyleNo, imported.doc.ItemAt(3).StyleNo);
  EXPECT_TRUE(imported.style.TextStyleAt(imported.doc.ItemAt(2).StyleNo).StyleEx.Contains(rvfsAllCaps));
  EXPECT_EQ(announced.size(), 2u);
  EXPECT_EQ(imported.style.TextStyles.Count(), 8);
}

// More formattings than an import keeps at hand, taken in turn twice: each
// run of the second round gets the style its formatting got in the first.
TEST(RVRTFImportStylesTest, FormattingsTakenInTurnKeepTheirStyles) {
  std::string round;
  for (int size = 8; size < 20; ++size) {
    round += "{\\f" + std::to_string(size % 2) + "\\fs" + std::to_string(size * 2) + " x}{\\b y}";
  }
  for (TRVReaderStyleMode mode : {rvrsUseClosest, rvrsAddIfNeeded}) {
    TRVImportedRTF imported;
    imported.props.TextStyleMode = mode;
    imported.Load(Rtf(round + round));
    ASSERT_EQ(imported.doc.CountItems(), 48) << mode;
    for (int i = 0; i < 24; ++i) {
      EXPECT_EQ(imported.doc.ItemAt(i + 24).StyleNo, imported.doc.ItemAt(i).StyleNo) << mode << " item " << i;
    }
    if (mode != rvrsAddIfNeeded) continue;
    for (int i = 0; i < 24; i += 2) {
      const TFontInfo& info = imported.style.TextStyleAt(imported.doc.ItemAt(i).StyleNo);
      EXPECT_EQ(info.Size, 8 + i / 2) << i;
      EXPECT_EQ(info.FontName, i / 2 % 2 == 0 ? u"Arial" : u"Times New Roman") << i;
      EXPECT_TRUE(imported.style.TextStyleAt(imported.doc.ItemAt(i + 1).StyleNo).Style.Contains(fsBold)) << i;
    }
  }
}

TEST(RVRTFImportStylesTest, AddIfNeededFindsStylesOfAnEarlierImport) {
  TRVStyle style;
  const std::string rtf = Rtf("{\\b\\fs30 big} {\\i small}\\par {\\qc centred}");
  int textStyles = 0;
  int paraStyles = 0;
  for (int round = 0; round < 2; ++round) {
    TCustomRVData doc;
    doc.SetRVStyle(&style);
    TRVRTFReaderProperties props;
    props.TextStyleMode = rvrsAddIfNeeded;
    props.ParaStyleMode = rvrsAddIfNeeded;
    props.LoadRTF(rtf, doc);
    if (round == 0) {
      textStyles = style.TextStyles.Count();
      paraStyles = style.ParaStyles.Count();
    }
  }
  EXPECT_EQ(style.TextStyles.Count(), textStyles);
  EXPECT_EQ(style.ParaStyles.Count(), paraStyles);
}

TEST(RVRTFImportStylesTest, SpecifiedStyles) {
  TRVImportedRTF imported;
  imported.props.TextStyleMode = rvrsUseSpecified;
  imported.props.ParaStyleMode = rvrsUseSpecified;
  imported.props.SetTextStyleNo(3);
  imported.props.SetParaStyleNo(1);
  imported.Load(Rtf("{\\b a}\\par {\\qr b}"));
  ASSERT_EQ(imported.doc.CountItems(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(imported.doc.ItemAt(i).StyleNo, 3);
    EXPECT_EQ(imported.doc.ItemAt(i).ParaNo, 1);
  }
}

TEST(RVRTFImportStylesTest, ClosestParagraphStyle) {
  TRVImportedRTF imported;
  imported.Load(Rtf("left\\par\\pard\\qc centred\\par\\pard\\qc\\li720 indented centred"));
  ASSERT_EQ(imported.doc.CountItems(), 3);
  EXPECT_EQ(imported.doc.ItemAt(0).ParaNo, 0);
  EXPECT_EQ(imported.doc.ItemAt(1).ParaNo, 1);
  EXPECT_EQ(imported.doc.ItemAt(2).ParaNo, 1);
  EXPECT_EQ(imported.style.ParaStyles.Count(), 2);
}

struct ParagraphCase {
  const char* name;
  std::string properties;
  void (*check)(const TParaInfo& info);
};

TEST(RVRTFImportStylesTest, ParagraphPropertiesConverted) {
  const ParagraphCase cases[] = {
      {"indents and spacing", "\\li720\\ri1440\\fi-360\\sb120\\sa240\\qj",
       [](const TParaInfo& p) {
         EXPECT_EQ(p.LeftIndent, 48);
         EXPECT_EQ(p.RightIndent, 96);
         EXPECT_EQ(p.FirstIndent, -24);
         EXPECT_EQ(p.SpaceBefore, 8);
         EXPECT_EQ(p.SpaceAfter, 16);
         EXPECT_EQ(p.Alignment, rvaJustify);
       }},
      {"multiple line spacing", "\\sl360\\slmult1",
       [](const TParaInfo& p) {
         EXPECT_EQ(p.LineSpacingType, rvlsPercent);
         EXPECT_EQ(p.LineSpacing, 150);
       }},
      {"at least", "\\sl300\\slmult0",
       [](const TParaInfo& p) {
         EXPECT_EQ(p.LineSpacingType, rvlsLineHeightAtLeast);
         EXPECT_EQ(p.LineSpacing, 20);
       }},
      {"exact", "\\sl-300\\slmult0",
       [](const TParaInfo& p) {
         EXPECT_EQ(p.LineSpacingType, rvlsLineHeightExact);
         EXPECT_EQ(p.LineSpacing, 20);
       }},
      {"too small for exact", "\\sl-30\\slmult0",
       [](const TParaInfo& p) {
         EXPECT_EQ(p.LineSpacingType, rvlsPercent);
         EXPECT_EQ(p.LineSpacing, 100);
       }},
      {"keep and background", "\\keep\\keepn\\cbpat1",
       [](const TParaInfo& p) {
         EXPECT_TRUE(p.Options.Contains(rvpaoKeepLinesTogether));
         EXPECT_TRUE(p.Options.Contains(rvpaoKeepWithNext));
         EXPECT_EQ(p.Background.Color, 0x0000FFu);
       }},
      {"tabs", "\\tqr\\tldot\\tx2880\\tx720",
       [](const TParaInfo& p) {
         ASSERT_EQ(p.Tabs.Count(), 2);
         EXPECT_EQ(p.Tabs.Items(0).Position, 48);
         EXPECT_EQ(p.Tabs.Items(0).Align, rvtaLeft);
         EXPECT_EQ(p.Tabs.Items(1).Position, 192);
         EXPECT_EQ(p.Tabs.Items(1).Align, rvtaRight);
         EXPECT_EQ(p.Tabs.Items(1).Leader, u".");
       }},
      {"single top border", "\\brdrt\\brdrs\\brdrw30\\brsp60\\brdrcf2",
       [](const TParaInfo& p) {
         EXPECT_EQ(p.Border.Style, rvbSingle);
         EXPECT_EQ(p.Border.Width, 2);
         EXPECT_EQ(p.Border.Color, 0xFF0000u);
         EXPECT_EQ(p.Border.BorderOffsets.Top, 4);
         EXPECT_EQ(p.Background.BorderOffsets.Top, 4);
         EXPECT_TRUE(p.Border.VisibleBorders.Top);
         EXPECT_FALSE(p.Border.VisibleBorders.Left);
         EXPECT_EQ(p.SpaceBefore, 5);  // raised to the offset plus the border
       }},
      {"double border all round", "\\brdrt\\brdrdb\\brdrw45\\brdrl\\brdrdb\\brdrw45\\brdrb\\brdrdb\\brdrw45"
                                  "\\brdrr\\brdrdb\\brdrw45",
       [](const TParaInfo& p) {
         EXPECT_EQ(p.Border.Style, rvbDouble);
         EXPECT_EQ(p.Border.Width, 3);
         EXPECT_EQ(p.Border.InternalWidth, 5);
         EXPECT_TRUE(p.Border.VisibleBorders.Right);
         EXPECT_EQ(p.LeftIndent, 10);
       }},
      {"thin-thick on the left side", "\\brdrl\\brdrtnthsg\\brdrw60",
       [](const TParaInfo& p) {
         EXPECT_EQ(p.Border.Style, rvbThickOutside);
         EXPECT_EQ(p.Border.Width, 2);
         EXPECT_EQ(p.Border.InternalWidth, 3);
       }},
      {"thin-thick on the bottom side", "\\brdrb\\brdrtnthsg\\brdrw60",
       [](const TParaInfo& p) { EXPECT_EQ(p.Border.Style, rvbThickInside); }},
  };
  for (const auto& c : cases) {
    TRVImportedRTF imported;
    imported.props.ParaStyleMode = rvrsAddIfNeeded;
    imported.Load(Rtf(kRedColorTable + "\\pard" + c.properties + " text"));
    ASSERT_EQ(imported.doc.CountItems(), 1) << c.name;
    SCOPED_TRACE(c.name);
    c.check(imported.style.ParaStyleAt(imported.doc.ItemAt(0).ParaNo));
  }
}

// Each paragraph of one formatting shares one added style, also with exact
// line spacing and borders.
TEST(RVRTFImportStylesTest, AddedParagraphStylesAreShared) {
  TRVImportedRTF imported;
  imported.props.ParaStyleMode = rvrsAddIfNeeded;
  imported.Load(Rtf("\\pard\\sl-300\\slmult0 a\\par b\\par\\pard\\sl200\\slmult0\\brdrt\\brdrs c\\par d\\par"
                    "\\pard\\qr e\\par f"));
  ASSERT_EQ(imported.doc.CountItems(), 6);
  for (int i = 0; i < 6; i += 2) {
    EXPECT_EQ(imported.doc.ItemAt(i).ParaNo, imported.doc.ItemAt(i + 1).ParaNo) << i;
  }
  EXPECT_EQ(imported.style.ParaStyles.Count(), 5);
}

TEST(RVRTFImportStylesTest, HostileFormattingCannotGrowTheSheetWithoutEnd) {
  std::string body;
  for (int size = 1; size <= kMaxRTFImportNewStyles + 200; ++size) {
    body += "{\\fs" + std::to_string(size * 2) + "\\li" + std::to_string(size) + " x\\par}";
  }
  TRVImportedRTF imported;
  imported.props.TextStyleMode = rvrsAddIfNeeded;
  imported.props.ParaStyleMode = rvrsAddIfNeeded;
  EXPECT_EQ(imported.Load(Rtf(body)), kRtfOk);
  EXPECT_EQ(imported.doc.CountItems(), kMaxRTFImportNewStyles + 200);
  EXPECT_EQ(imported.style.TextStyles.Count(), 6 + kMaxRTFImportNewStyles);
  EXPECT_LE(imported.style.ParaStyles.Count(), 2 + kMaxRTFImportNewStyles);
}

TEST(RVRTFImportStylesTest, CharsetOfTheFontAndOfSymbolFields) {
  TRVImportedRTF imported;
  imported.props.TextStyleMode = rvrsAddIfNeeded;
  imported.Load("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 Arial Cyr;}{\\f1\\fcharset254 Terminal;}}"
                "{\\f0 a}{\\f1 b}{\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\" \\\\s 10}{\\fldrslt x}}}");
  ASSERT_GE(imported.doc.CountItems(), 3);
  const TFontInfo& cyrillic = imported.style.TextStyleAt(imported.doc.ItemAt(0).StyleNo);
  EXPECT_EQ(cyrillic.FontName, u"Arial");
  EXPECT_EQ(cyrillic.Charset, 204);
  EXPECT_EQ(imported.style.TextStyleAt(imported.doc.ItemAt(1).StyleNo).Charset, 0);
  const TFontInfo& symbol = imported.style.TextStyleAt(imported.doc.ItemAt(2).StyleNo);
  EXPECT_EQ(symbol.FontName, u"Symbol");
  EXPECT_EQ(symbol.Charset, 2);
  EXPECT_EQ(symbol.Size, 10);
}

}  // namespace
}  // namespace varnolt
