#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "richtext/style/RVStyle.h"

namespace varnolt {
namespace {

using FontChange = std::function<void(TFontInfo&)>;
using ParaChange = std::function<void(TParaInfo&)>;

TFontInfo Font(const FontChange& change = {}) {
  TFontInfo font;
  if (change) change(font);
  return font;
}

TParaInfo Para(const ParaChange& change = {}) {
  TParaInfo para;
  if (change) change(para);
  return para;
}

void MakeLink(TFontInfo& f) { f.Jump = true; }

// --- EqualsFully ---

struct FontEqualityCase {
  const char* name;
  FontChange self;
  FontChange other;
  bool ignoreNext;
  bool equal;
};

TEST(RVStyleCompareTest, TextStylesEqualFully) {
  const FontEqualityCase kCases[] = {
      {"identical", {}, {}, false, true},
      {"font name letter case", {}, [](TFontInfo& f) { f.FontName = u"ARIAL"; }, false, true},
      {"font name", {}, [](TFontInfo& f) { f.FontName = u"Arial Black"; }, false, false},
      {"size", {}, [](TFontInfo& f) { f.Size = 11; }, false, false},
      {"charset", {}, [](TFontInfo& f) { f.Charset = 0; }, false, false},
      {"bold", {}, [](TFontInfo& f) { f.Style = {fsBold}; }, false, false},
      {"all caps", {}, [](TFontInfo& f) { f.StyleEx = {rvfsAllCaps}; }, false, false},
      {"back colour", {}, [](TFontInfo& f) { f.BackColor = 0; }, false, false},
      {"hover colour, no links", {}, [](TFontInfo& f) { f.HoverColor = 0xFF; }, false, true},
      {"hover colour, both links", MakeLink, [](TFontInfo& f) { f.Jump = true; f.HoverColor = 0xFF; }, false, false},
      {"hover underline colour, no links", {}, [](TFontInfo& f) { f.HoverUnderlineColor = 1; }, false, true},
      {"jump cursor, both links", MakeLink, [](TFontInfo& f) { f.Jump = true; f.JumpCursor = 5; }, false, false},
      {"link and not", {}, MakeLink, false, false},
      {"underline colour", {}, [](TFontInfo& f) { f.UnderlineColor = 1; }, false, false},
      {"protection", {}, [](TFontInfo& f) { f.Protection = {rvprDeleteProtect}; }, false, false},
      {"RTF code", {}, [](TFontInfo& f) { f.Options = {rvteoRTFCode}; }, false, false},
      {"style name", {}, [](TFontInfo& f) { f.SetStyleName(u"Other"); }, false, true},
      {"standard", {}, [](TFontInfo& f) { f.SetStandard(false); }, false, true},
      {"base style", {}, [](TFontInfo& f) { f.SetBaseStyleNo(3); }, false, true},
      {"template id", {}, [](TFontInfo& f) { f.SetStyleTemplateId(3); }, false, false},
      {"unicode", {}, [](TFontInfo& f) { f.Unicode = false; }, false, false},
      {"modified properties", {}, [](TFontInfo& f) { f.ModifiedProperties = {rvfiSize}; }, false, false},
      {"next style", {}, [](TFontInfo& f) { f.NextStyleNo = 2; }, false, false},
      {"next style, ignored", {}, [](TFontInfo& f) { f.NextStyleNo = 2; }, true, true},
  };
  for (const auto& c : kCases) {
    const TFontInfo self = Font(c.self);
    const TFontInfo other = Font(c.other);
    EXPECT_EQ(self.EqualsFully(other, c.ignoreNext), c.equal) << c.name;
  }
}

TEST(RVStyleCompareTest, ATemplateTextPartComparesWithoutTheEntryFields) {
  TFontInfo entry;
  entry.NextStyleNo = 4;
  TRVSTFontInfo part;
  EXPECT_TRUE(entry.EqualsFully(part, false));
  part.Size = 20;
  EXPECT_FALSE(entry.EqualsFully(part, false));
  EXPECT_FALSE(entry.EqualsFully(TParaInfo(), false)) << "a paragraph style is never equal to a text style";
}

struct ParaEqualityCase {
  const char* name;
  ParaChange other;
  bool ignoreNext;
  bool equal;
};

TEST(RVStyleCompareTest, ParagraphStylesEqualFully) {
  const ParaEqualityCase kCases[] = {
      {"identical", {}, false, true},
      {"first indent", [](TParaInfo& p) { p.FirstIndent = 1; }, false, false},
      {"line spacing type", [](TParaInfo& p) { p.LineSpacingType = rvlsLineHeightExact; }, false, false},
      {"widow control", [](TParaInfo& p) { p.Options = {rvpaoWidowOrphanControl}; }, false, false},
      {"background offset", [](TParaInfo& p) { p.Background.BorderOffsets.Top = 2; }, false, false},
      {"tab leader", [](TParaInfo& p) { p.Tabs.Add({10, rvtaLeft, u"."}); }, false, false},
      {"hidden border side", [](TParaInfo& p) { p.Border.VisibleBorders.Left = false; }, false, false},
      {"border internal width", [](TParaInfo& p) { p.Border.InternalWidth = 3; }, false, false},
      {"style name", [](TParaInfo& p) { p.SetStyleName(u"x"); }, false, true},
      {"template id", [](TParaInfo& p) { p.SetStyleTemplateId(1); }, false, false},
      {"modified properties 2",
       [](TParaInfo& p) { p.ModifiedProperties2 = TRVParaInfoProperties2::FromBits(1); }, false, false},
      {"next paragraph", [](TParaInfo& p) { p.NextParaNo = 1; }, false, false},
      {"default text style", [](TParaInfo& p) { p.DefStyleNo = 1; }, false, false},
      {"next paragraph, ignored", [](TParaInfo& p) { p.NextParaNo = 1; }, true, true},
      {"default text style, ignored", [](TParaInfo& p) { p.DefStyleNo = 1; }, true, true},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Para().EqualsFully(Para(c.other), c.ignoreNext), c.equal) << c.name;
  }
}

TEST(RVStyleCompareTest, TabsAreComparedInOrder) {
  TParaInfo a;
  TParaInfo b;
  a.Tabs.Add({10, rvtaLeft, u""});
  a.Tabs.Add({20, rvtaRight, u""});
  b.Tabs.Add({20, rvtaRight, u""});
  b.Tabs.Add({10, rvtaLeft, u""});
  EXPECT_TRUE(a.EqualsFully(b, false)) << "both are kept sorted";
  b.Tabs.SetAlign(1, rvtaCenter);
  EXPECT_FALSE(a.EqualsFully(b, false));
}

// --- EqualsIgnoring ---

struct FontIgnoringCase {
  const char* name;
  FontChange other;
  TRVFontInfoProperties ignore;
  bool equal;
};

TEST(RVStyleCompareTest, TextStylesEqualIgnoringAMask) {
  const FontIgnoringCase kCases[] = {
      {"bold, not ignored", [](TFontInfo& f) { f.Style = {fsBold}; }, {rvfiItalic}, false},
      {"bold, ignored", [](TFontInfo& f) { f.Style = {fsBold}; }, {rvfiBold}, true},
      {"bold and italic, bold ignored", [](TFontInfo& f) { f.Style = {fsBold, fsItalic}; }, {rvfiBold}, false},
      {"overline, ignored", [](TFontInfo& f) { f.StyleEx = {rvfsOverline}; }, {rvfiOverline}, true},
      {"font name case", [](TFontInfo& f) { f.FontName = u"arial"; }, {}, true},
      {"font name, ignored", [](TFontInfo& f) { f.FontName = u"Tahoma"; }, {rvfiFontName}, true},
      {"hover colour, not links", [](TFontInfo& f) { f.HoverColor = 0; }, {}, true},
      {"hover colour, links",
       [](TFontInfo& f) {
         f.Jump = true;
         f.HoverColor = 0;
       },
       {rvfiJump}, false},
      {"hover colour, links, ignored",
       [](TFontInfo& f) {
         f.Jump = true;
         f.HoverColor = 0;
       },
       {rvfiJump, rvfiHoverColor}, true},
      {"hover underline colour, not links", [](TFontInfo& f) { f.HoverUnderlineColor = 0; }, {}, false},
      {"HTML code", [](TFontInfo& f) { f.Options = {rvteoHTMLCode}; }, {rvfiRTFCode}, false},
      {"HTML code, ignored", [](TFontInfo& f) { f.Options = {rvteoHTMLCode}; }, {rvfiHTMLCode}, true},
      {"base style", [](TFontInfo& f) { f.SetBaseStyleNo(2); }, {}, false},
      {"base style, ignored", [](TFontInfo& f) { f.SetBaseStyleNo(2); }, {rvfiBaseStyleNo}, true},
      {"unicode, ignored", [](TFontInfo& f) { f.Unicode = false; }, {rvfiUnicode}, true},
      {"next style", [](TFontInfo& f) { f.NextStyleNo = 0; }, {rvfiCharset}, false},
      {"template id, everything ignored", [](TFontInfo& f) { f.SetStyleTemplateId(9); }, kRVAllFontInfoProperties,
       false},
      {"modified properties, everything ignored", [](TFontInfo& f) { f.ModifiedProperties = {rvfiColor}; },
       kRVAllFontInfoProperties, false},
      {"style name, nothing ignored", [](TFontInfo& f) { f.SetStyleName(u"x"); }, {}, true},
  };
  for (const auto& c : kCases) {
    const TFontInfo self = Font(c.other);
    EXPECT_EQ(self.EqualsIgnoring(Font(), c.ignore), c.equal) << c.name;
  }
}

struct ParaIgnoringCase {
  const char* name;
  ParaChange other;
  TRVParaInfoProperties1 ignore;
  bool equal;
};

TEST(RVStyleCompareTest, ParagraphStylesEqualIgnoringAMask) {
  const ParaIgnoringCase kCases[] = {
      {"space after", [](TParaInfo& p) { p.SpaceAfter = 4; }, {rvpiSpaceBefore}, false},
      {"space after, ignored", [](TParaInfo& p) { p.SpaceAfter = 4; }, {rvpiSpaceAfter}, true},
      {"keep with next (bit 32)", [](TParaInfo& p) { p.Options = {rvpaoKeepWithNext}; }, {rvpiKeepLinesTogether},
       false},
      {"keep with next, ignored", [](TParaInfo& p) { p.Options = {rvpaoKeepWithNext}; }, {rvpiKeepWithNext}, true},
      {"widow control has no bit", [](TParaInfo& p) { p.Options = {rvpaoWidowOrphanControl}; }, {}, true},
      {"border bottom offset", [](TParaInfo& p) { p.Border.BorderOffsets.Bottom = 3; }, {rvpiBorder_BO_Top}, false},
      {"border bottom offset, ignored", [](TParaInfo& p) { p.Border.BorderOffsets.Bottom = 3; },
       {rvpiBorder_BO_Bottom}, true},
      {"right side hidden, ignored", [](TParaInfo& p) { p.Border.VisibleBorders.Right = false; },
       {rvpiBorder_Vis_Right}, true},
      {"background left offset", [](TParaInfo& p) { p.Background.BorderOffsets.Left = 1; }, {rvpiBorder_BO_Left},
       false},
      {"tabs, ignored", [](TParaInfo& p) { p.Tabs.Add({5, rvtaLeft, u""}); }, {rvpiTabs}, true},
      {"default text style", [](TParaInfo& p) { p.DefStyleNo = 2; }, {rvpiNextParaNo}, false},
      {"default text style, ignored", [](TParaInfo& p) { p.DefStyleNo = 2; }, {rvpiDefStyleNo}, true},
      {"template id, everything ignored", [](TParaInfo& p) { p.SetStyleTemplateId(2); }, kRVAllParaInfoProperties1,
       false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Para(c.other).EqualsIgnoring(Para(), c.ignore), c.equal) << c.name;
  }
}

// --- lookups ---

TEST(RVStyleCompareTest, FindMatchingTextStylePrefersTheBase) {
  TRVStyle sheet;
  TFontInfo pattern;
  pattern.Style = {fsUnderline};
  const TRVFontInfoProperties styleOnly{rvfiBold, rvfiItalic, rvfiUnderline, rvfiStrikeout};
  EXPECT_EQ(sheet.FindMatchingTextStyle(5, pattern, styleOnly), 5) << "style 4 matches too";
  EXPECT_EQ(sheet.FindMatchingTextStyle(0, pattern, styleOnly), 4);
  pattern.Style = {fsStrikeOut};
  EXPECT_EQ(sheet.FindMatchingTextStyle(0, pattern, styleOnly), -1);

  pattern.Style = {fsBold};
  pattern.Color = 0x800000;
  EXPECT_EQ(sheet.FindMatchingTextStyle(0, pattern, styleOnly), 1);
  EXPECT_EQ(sheet.FindMatchingTextStyle(0, pattern, styleOnly + TRVFontInfoProperties{rvfiColor}), 2);
  EXPECT_EQ(sheet.FindMatchingTextStyle(0, pattern, kRVAllFontInfoProperties), 2) << "names are not compared";
  pattern.Unicode = false;
  EXPECT_EQ(sheet.FindMatchingTextStyle(0, pattern, kRVAllFontInfoProperties), -1);
}

TEST(RVStyleCompareTest, AnOutOfRangeBaseIsNeverTheAnswer) {
  TRVStyle sheet;
  TFontInfo pattern = sheet.TextStyleAt(99);  // the invalid-index entry itself
  EXPECT_EQ(sheet.FindMatchingTextStyle(99, pattern, {rvfiBackColor}), -1);
  pattern.BackColor = kRVColorNone;
  EXPECT_EQ(sheet.FindMatchingTextStyle(99, pattern, {rvfiBackColor}), 0);
}

TEST(RVStyleCompareTest, FindCharsetVariant) {
  TRVStyle sheet;
  TFontInfo& heading = sheet.TextStyles.Items(1);
  EXPECT_EQ(sheet.FindCharsetVariant(1, 204), -1);

  TFontInfo& cyrillic = sheet.AppendTextStyle();  // 6
  cyrillic.Assign(heading);
  cyrillic.Charset = 204;
  EXPECT_EQ(sheet.FindCharsetVariant(1, 204), -1) << "a Unicode style is no variant";
  cyrillic.Unicode = false;
  EXPECT_EQ(sheet.FindCharsetVariant(1, 204), 6);
  EXPECT_EQ(sheet.FindCharsetVariant(6, 204), 6) << "the base itself";
  EXPECT_EQ(sheet.FindCharsetVariant(0, 204), -1) << "differs from the base in more than the charset";
  cyrillic.Size = 12;
  EXPECT_EQ(sheet.FindCharsetVariant(1, 204), -1);
}

TEST(RVStyleCompareTest, FindMatchingParaStyle) {
  TRVStyle sheet;
  TParaInfo pattern;
  pattern.Alignment = rvaCenter;
  pattern.LeftIndent = 40;
  EXPECT_EQ(sheet.FindMatchingParaStyle(0, pattern, {rvpiAlignment}), 1);
  EXPECT_EQ(sheet.FindMatchingParaStyle(1, pattern, {rvpiAlignment}), 1);
  EXPECT_EQ(sheet.FindMatchingParaStyle(0, pattern, {rvpiAlignment, rvpiLeftIndent}), -1);
  EXPECT_EQ(sheet.FindMatchingParaStyle(0, pattern, {rvpiFirstIndent}), 0);
}

// --- similarity ---

// Two default text styles agree in everything.
constexpr std::int32_t kSameTextScore = 656300;
// Two default paragraph styles agree in everything.
constexpr std::int32_t kSameParaScore = 343400;

struct FontScoreCase {
  const char* name;
  FontChange self;
  FontChange candidate;
  std::int32_t score;
};

TEST(RVStyleCompareTest, TextSimilarityScores) {
  const FontScoreCase kCases[] = {
      {"identical", {}, {}, kSameTextScore},
      {"candidate larger", {}, [](TFontInfo& f) { f.Size = 12; }, kSameTextScore - 10000 + 8333},
      {"half rounds down to even", [](TFontInfo& f) { f.CharScale = 7; }, [](TFontInfo& f) { f.CharScale = 8; },
       kSameTextScore - 300 + 262},
      {"half rounds up to even", [](TFontInfo& f) { f.CharScale = 5; }, [](TFontInfo& f) { f.CharScale = 8; },
       kSameTextScore - 300 + 188},
      {"black against white", [](TFontInfo& f) { f.Color = 0; }, [](TFontInfo& f) { f.Color = 0xFFFFFF; },
       kSameTextScore - 3000 - 9999},
      {"colour against none", {}, [](TFontInfo& f) { f.BackColor = 0; }, kSameTextScore - 80000},
      {"default charset", [](TFontInfo& f) { f.Charset = 0; }, {}, kSameTextScore - 37500},
      {"other charsets", [](TFontInfo& f) { f.Charset = 0; }, [](TFontInfo& f) { f.Charset = 204; },
       kSameTextScore - 50000},
      {"protection", {}, [](TFontInfo& f) { f.Protection = {rvprModifyProtect}; }, kSameTextScore - 100000},
      {"bold", {}, [](TFontInfo& f) { f.Style = {fsBold}; }, kSameTextScore - 100000},
      {"font name", {}, [](TFontInfo& f) { f.FontName = u"Tahoma"; }, kSameTextScore - 10000},
      {"both links", MakeLink, MakeLink, kSameTextScore + 10000 + 5000 + 6499 + 40000},
      {"both links, other cursor", MakeLink, [](TFontInfo& f) { f.Jump = true; f.JumpCursor = 1; },
       kSameTextScore + 10000 + 6499 + 40000},
      {"one link", MakeLink, {}, kSameTextScore},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Font(c.self).SimilarityScore(Font(c.candidate)), c.score) << c.name;
  }
}

TEST(RVStyleCompareTest, ZeroAgainstAValueScoresBelowZero) {
  // With the stored value 0 the closeness is 1 - |b|, whatever the other is.
  TFontInfo self;
  TFontInfo candidate;
  self.VShift = 3;
  candidate.VShift = 0;
  EXPECT_EQ(self.SimilarityScore(candidate), kSameTextScore - 1000 - 2000);
}

TEST(RVStyleCompareTest, HugeValuesDoNotOverflowTheScore) {
  TFontInfo self;
  TFontInfo candidate;
  self.Size = 2147483647;
  candidate.Size = 0;
  self.CharSpacing = -2147483647 - 1;
  const std::int32_t score = self.SimilarityScore(candidate);
  EXPECT_LT(score, 0);
  EXPECT_GE(score, -2147483647 - 1);
}

struct ParaScoreCase {
  const char* name;
  ParaChange self;
  ParaChange candidate;
  std::int32_t score;
};

void SingleBorder(TParaInfo& p) { p.Border.Style = rvbSingle; }

TEST(RVStyleCompareTest, ParagraphSimilarityScores) {
  const ParaScoreCase kCases[] = {
      {"identical", {}, {}, kSameParaScore},
      {"stored indent 0", {}, [](TParaInfo& p) { p.LeftIndent = 2; }, kSameParaScore - 2000},
      {"stored indent 10", [](TParaInfo& p) { p.LeftIndent = 10; }, [](TParaInfo& p) { p.LeftIndent = 5; },
       kSameParaScore - 1000 + 500},
      {"one equal tab each",
       [](TParaInfo& p) { p.Tabs.Add({100, rvtaLeft, u""}); },
       [](TParaInfo& p) { p.Tabs.Add({100, rvtaLeft, u""}); }, kSameParaScore + 350},
      {"one tab against none", [](TParaInfo& p) { p.Tabs.Add({100, rvtaLeft, u""}); }, {}, kSameParaScore - 400},
      {"same single borders", SingleBorder, SingleBorder, kSameParaScore - 80000 + 24400},
      {"border against none", SingleBorder, {}, kSameParaScore - 160000},
      {"top side only in both",
       [](TParaInfo& p) {
         SingleBorder(p);
         p.Border.VisibleBorders = {false, true, false, false};
       },
       [](TParaInfo& p) {
         SingleBorder(p);
         p.Border.VisibleBorders = {false, true, false, false};
       },
       kSameParaScore - 20000 + 6000 + 100},
      {"alignment", {}, [](TParaInfo& p) { p.Alignment = rvaRight; }, kSameParaScore - 50000},
      {"read-only", {}, [](TParaInfo& p) { p.Options = {rvpaoReadOnly}; }, kSameParaScore - 100000},
      {"both special spacing", [](TParaInfo& p) { p.LineSpacing = 150; },
       [](TParaInfo& p) {
         p.LineSpacingType = rvlsLineHeightExact;
         p.LineSpacing = 12;
       },
       kSameParaScore - 5000},
      {"normal against special spacing", {},
       [](TParaInfo& p) {
         p.LineSpacingType = rvlsLineHeightExact;
         p.LineSpacing = 12;
       },
       kSameParaScore - 5000 - 20000},
      {"both normal spacing", {},
       [](TParaInfo& p) {
         p.LineSpacingType = rvlsSpaceBetween;
         p.LineSpacing = 0;
       },
       kSameParaScore - 5000},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Para(c.self).SimilarityScore(Para(c.candidate)), c.score) << c.name;
  }
}

// --- copying selected properties ---

TEST(RVStyleCompareTest, CopySelectedPropertiesCopiesExactlyTheMask) {
  TFontInfo source;
  source.Style = {fsBold, fsItalic};
  source.Size = 20;
  source.Color = 0;
  source.NextStyleNo = 3;
  TFontInfo target;
  target.CopySelectedProperties(source, {rvfiBold, rvfiSize, rvfiNextStyleNo});
  EXPECT_EQ(target.Style, TFontStyles{fsBold});
  EXPECT_EQ(target.Size, 20);
  EXPECT_EQ(target.NextStyleNo, 3);
  EXPECT_EQ(target.Color, kRVColorWindowText);
  target.CopySelectedProperties(source, kRVAllFontInfoProperties);
  EXPECT_TRUE(target.EqualsIgnoring(source, {}));

  TParaInfo para;
  TParaInfo paraSource;
  paraSource.Border.BorderOffsets = {1, 2, 3, 4};
  paraSource.Options = {rvpaoNoWrap, rvpaoKeepWithNext};
  para.CopySelectedProperties(paraSource, {rvpiBorder_BO_Top, rvpiKeepWithNext}, {});
  EXPECT_EQ(para.Border.BorderOffsets, (TRVRect{0, 2, 0, 0}));
  EXPECT_EQ(para.Options, TRVParaOptions{rvpaoKeepWithNext});
}

TEST(RVStyleCompareTest, TextStylesAssignToAndFromAFont) {
  TFont font;
  font.Name = u"Courier New";
  font.Size = 14;
  font.Color = 0xFF;
  font.Style = {fsItalic};
  font.Charset = 238;
  TFontInfo style;
  style.AssignFromFont(font);
  EXPECT_EQ(style.FontName, u"Courier New");
  EXPECT_EQ(style.Charset, 238);
  TFont back;
  style.AssignToFont(back);
  EXPECT_EQ(back, font);
}

}  // namespace
}  // namespace varnolt
