#include "richtext/style/RVStyle.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/Random.h"

namespace varnolt {
namespace {

TEST(RVStyleTest, ANewStyleSheetHoldsTheSixTextStylesAndTwoParagraphStyles) {
  struct Expected {
    const char16_t* name;
    TFontStyles style;
    TColor color;
    bool jump;
  };
  const Expected kTextStyles[] = {
      {u"Normal text", {}, 0xFF000008, false}, {u"Heading", {fsBold}, 0xFF0000, false},
      {u"Subheading", {fsBold}, 0x800000, false}, {u"Keywords", {fsItalic}, 0x000080, false},
      {u"Jump 1", {fsUnderline}, 0x008000, true},  {u"Jump 2", {fsUnderline}, 0x008000, true},
  };
  TRVStyle sheet;
  ASSERT_EQ(sheet.TextStyles.Count(), 6);
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const TFontInfo& style = sheet.TextStyles.Items(i);
    EXPECT_EQ(style.StyleName(), kTextStyles[i].name);
    EXPECT_EQ(style.Style, kTextStyles[i].style);
    EXPECT_EQ(style.Color, kTextStyles[i].color);
    EXPECT_EQ(style.Jump, kTextStyles[i].jump);
    EXPECT_EQ(style.JumpCursor, 101);
    EXPECT_EQ(style.FontName, u"Arial");
    EXPECT_EQ(style.Size, 10);
    EXPECT_EQ(style.Charset, 1);
    EXPECT_TRUE(style.Unicode);
    EXPECT_TRUE(style.Standard());
    EXPECT_EQ(style.BackColor, kRVColorNone);
    EXPECT_EQ(style.NextStyleNo, -1);
  }
  ASSERT_EQ(sheet.ParaStyles.Count(), 2);
  EXPECT_EQ(sheet.ParaStyles.Items(0).StyleName(), u"Paragraph Style");
  EXPECT_EQ(sheet.ParaStyles.Items(0).Alignment, rvaLeft);
  EXPECT_EQ(sheet.ParaStyles.Items(1).StyleName(), u"Centered");
  EXPECT_EQ(sheet.ParaStyles.Items(1).Alignment, rvaCenter);
  EXPECT_EQ(sheet.ParaStyles.Items(1).LineSpacing, 100);
  EXPECT_EQ(sheet.ListStyles.Count(), 0);
  EXPECT_EQ(sheet.StyleTemplates.Count(), 0);

  EXPECT_EQ(sheet.SpacesInTab, 0);
  EXPECT_EQ(sheet.DefTabWidth, 48);
  EXPECT_EQ(sheet.DefUnicodeStyle, -1);
  EXPECT_EQ(sheet.DefCodePage, 0u);
  EXPECT_EQ(sheet.FootnoteNumbering, rvseqDecimal);
  EXPECT_EQ(sheet.EndnoteNumbering, rvseqLowerRoman);
  EXPECT_EQ(sheet.Color, 0xFF000005u);
}

TEST(RVStyleTest, JumpStylesTakeTheSheetsJumpCursorWhenReloaded) {
  TRVStyle sheet;
  sheet.JumpCursor = 7;
  sheet.TextStyles.Items(0).Size = 30;
  sheet.LoadDefaultTextStyles();
  EXPECT_EQ(sheet.TextStyles.Items(0).Size, 10);
  EXPECT_EQ(sheet.TextStyles.Items(0).JumpCursor, 101);
  EXPECT_EQ(sheet.TextStyles.Items(4).JumpCursor, 7);
  EXPECT_EQ(sheet.TextStyles.Items(5).JumpCursor, 7);
}

TEST(RVStyleTest, TheInvalidPictureIsA32By32Bitmap) {
  const std::string& picture = TRVStyle().InvalidPicture;
  ASSERT_GE(picture.size(), 26u);
  EXPECT_EQ(picture.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(picture[18]), 32);  // width
  EXPECT_EQ(static_cast<unsigned char>(picture[22]), 32);  // height
  EXPECT_EQ(static_cast<unsigned char>(picture[2]), picture.size());
}

TEST(RVStyleTest, OutOfRangeTextNumbersGiveOneConspicuousCopyOfStyleZero) {
  TRVStyle sheet;
  sheet.TextStyles.Items(0).FontName = u"Courier New";
  TFontInfo& low = sheet.TextStyleAt(-1);
  TFontInfo& high = sheet.TextStyleAt(sheet.TextStyles.Count());
  EXPECT_EQ(&low, &high);
  EXPECT_EQ(&low, &sheet.TextStyleAt(1000000));
  EXPECT_EQ(low.FontName, u"Courier New") << "copied from style 0 at first use";
  EXPECT_EQ(low.BackColor, 0x0000FFu);
  EXPECT_EQ(low.Color, 0xFFFFFFu);

  sheet.TextStyles.Items(0).FontName = u"Times New Roman";
  EXPECT_EQ(sheet.TextStyleAt(-5).FontName, u"Courier New") << "later changes of style 0 are not followed";
  EXPECT_EQ(&sheet.TextStyleAt(0), &sheet.TextStyles.Items(0));
}

TEST(RVStyleTest, OutOfRangeParagraphNumbersGiveABorderedEntry) {
  TRVStyle sheet;
  sheet.ParaStyles.Items(0).FirstIndent = 9;
  const TParaInfo& invalid = sheet.ParaStyleAt(2);
  EXPECT_EQ(&invalid, &sheet.ParaStyleAt(-1));
  EXPECT_EQ(invalid.FirstIndent, 9);
  EXPECT_EQ(invalid.LeftIndent, 1);
  EXPECT_EQ(invalid.RightIndent, 1);
  EXPECT_EQ(invalid.SpaceBefore, 1);
  EXPECT_EQ(invalid.SpaceAfter, 1);
  EXPECT_EQ(invalid.Border.Style, rvbSingle);
  EXPECT_EQ(invalid.Border.Color, 0x0000FFu);
  EXPECT_EQ(invalid.Border.Width, 2);
  EXPECT_EQ(invalid.Border.BorderOffsets, (TRVRect{1, 1, 1, 1}));
}

TEST(RVStyleTest, AnEmptyTableStillHasAnInvalidIndexEntry) {
  TRVStyle sheet;
  sheet.TextStyles.Clear();
  const TFontInfo& invalid = sheet.TextStyleAt(0);
  EXPECT_EQ(invalid.FontName, u"Arial");
  EXPECT_EQ(invalid.BackColor, 0x0000FFu);
}

TEST(RVStyleTest, CheckedAccessRefusesNumbersOutOfRange) {
  TRVStyle sheet;
  EXPECT_THROW(sheet.TextStyles.Items(6), ERichDocError);
  EXPECT_THROW(sheet.ParaStyles.Items(-1), ERichDocError);
  EXPECT_THROW(sheet.ListStyles.Items(0), ERichDocError);
  EXPECT_EQ(sheet.TextStyles.Find(6), nullptr);
  EXPECT_EQ(sheet.ListStyles.Find(0), nullptr);
  EXPECT_EQ(sheet.TextStyles.Find(5), &sheet.TextStyles.Items(5));
}

TEST(RVStyleTest, AppendedEntriesHaveTheClassDefaultsAndTheOldCountAsNumber) {
  TRVStyle sheet;
  TFontInfo& first = sheet.TextStyles.Items(0);
  TFontInfo& text = sheet.AppendTextStyle();
  EXPECT_EQ(&sheet.TextStyles.Items(6), &text);
  EXPECT_EQ(&sheet.TextStyles.Items(0), &first) << "entries do not move";
  EXPECT_EQ(text.StyleName(), u"Font Style");
  EXPECT_EQ(text.Color, 0xFF000008u);
  EXPECT_TRUE(text.Unicode);
  EXPECT_EQ(text.BaseStyleNo(), -1);
  EXPECT_EQ(text.StyleTemplateId(), -1);

  TParaInfo& para = sheet.AppendParaStyle();
  EXPECT_EQ(&sheet.ParaStyles.Items(2), &para);
  EXPECT_EQ(para.StyleName(), u"Paragraph Style");
  EXPECT_EQ(para.Border.Color, 0xFF000008u);
  EXPECT_EQ(para.Border.VisibleBorders, (TRVBooleanRect{true, true, true, true}));

  TRVListInfo& list = sheet.AppendListStyle();
  EXPECT_EQ(list.StyleName(), u"List Style");
  TRVListLevel& level = list.Levels.Add();
  EXPECT_EQ(level.FirstIndent, 10);
  EXPECT_EQ(level.Font.Name, u"Arial");
  EXPECT_EQ(level.Options, (TRVListLevelOptions{rvloContinuous, rvloLevelReset}));
}

TEST(RVStyleTest, AssigningATableReplacesEveryEntryByACopy) {
  TRVStyle from;
  from.AppendTextStyle().Size = 33;
  TRVStyle to;
  to.TextStyles.Assign(from.TextStyles);
  ASSERT_EQ(to.TextStyles.Count(), 7);
  EXPECT_EQ(to.TextStyles.Items(6).Size, 33);
  from.TextStyles.Items(6).Size = 1;
  EXPECT_EQ(to.TextStyles.Items(6).Size, 33);
}

TEST(RVStyleTest, CodePageOfStyleFollowsTheCharsetTable) {
  struct Case {
    std::uint8_t charset;
    CodePageId codePage;
  };
  const Case kCases[] = {
      {0, 1252},   {77, 2},     {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950},
      {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251},
      {222, 874},  {238, 1250}, {254, 1252}, {255, 1},    {2, 0},      {3, 0},      {200, 0},
  };
  TRVStyle sheet;
  sheet.DefCodePage = 1251;
  TFontInfo& style = sheet.AppendTextStyle();
  for (const Case& c : kCases) {
    style.Charset = c.charset;
    EXPECT_EQ(sheet.CodePageOfStyle(6), c.codePage) << "charset " << int{c.charset};
    EXPECT_EQ(CodePageOfCharset(c.charset), c.codePage);
  }
}

TEST(RVStyleTest, DefaultCharsetAndNegativeNumbersUseTheSheetsCodePage) {
  TRVStyle sheet;
  EXPECT_EQ(sheet.CodePageOfStyle(0), 0u);
  sheet.DefCodePage = 1250;
  EXPECT_EQ(sheet.CodePageOfStyle(0), 1250u);
  EXPECT_EQ(sheet.CodePageOfStyle(-12), 1250u);
  sheet.TextStyles.Items(0).Charset = 204;
  EXPECT_EQ(sheet.CodePageOfStyle(99), 1251u) << "an unknown number takes the copy of style 0";
  EXPECT_EQ(CodePageOfStyle(&sheet, 0), 1251u);
  EXPECT_EQ(CodePageOfStyle(nullptr, 0), 0u);
}

TEST(RVStyleTest, TabsStaySortedByPosition) {
  TRVTabInfos tabs;
  EXPECT_EQ(tabs.Add({200, rvtaRight, u""}), 0);
  EXPECT_EQ(tabs.Add({50, rvtaLeft, u"."}), 0);
  EXPECT_EQ(tabs.Add({120, rvtaCenter, u""}), 1);
  tabs.SetPosition(0, 300);
  ASSERT_EQ(tabs.Count(), 3);
  EXPECT_EQ(tabs.Items(0).Position, 120);
  EXPECT_EQ(tabs.Items(1).Position, 200);
  EXPECT_EQ(tabs.Items(2).Position, 300);
  EXPECT_EQ(tabs.Items(2).Leader, u".");
  tabs.Delete(1);
  EXPECT_EQ(tabs.Count(), 2);
  EXPECT_THROW(tabs.Items(2), ERichDocError);
  EXPECT_THROW(tabs.SetPosition(-1, 5), ERichDocError);
}

TEST(RVStyleTest, TabDisplayNames) {
  EXPECT_EQ((TRVTabInfo{96, rvtaLeft, u""}.DisplayName()), u"Left at 96");
  EXPECT_EQ((TRVTabInfo{20, rvtaRight, u"."}.DisplayName()), u"Right at 20 (......)");
  EXPECT_EQ((TRVTabInfo{-4, rvtaCenter, u"-="}.DisplayName()), u"Center at -4 (-=-=-=-=-=-=)");
}

TEST(RVStyleTest, ListIdentifiersAreDrawnOnceFromTheSeededGenerator) {
  std::int32_t first = 0;
  {
    ScopedRandomSeed seed(7);
    TRVListInfo list;
    first = list.ListID();
    EXPECT_EQ(list.ListID(), first);
  }
  ScopedRandomSeed seed(7);
  TRVListInfo again;
  EXPECT_EQ(again.ListID(), first);
  EXPECT_GE(first, 1);
  EXPECT_LE(first, 0x7FFFFFFE);
  TRVListInfo copy(again);
  EXPECT_NE(copy.ListID(), first) << "a copy draws its own identifier";
}

TEST(RVStyleTest, TemplatePartsRefuseTheEntryProperties) {
  TRVStyleTemplateCollection templates;
  TRVStyleTemplate& entry = templates.Add();
  TRVSTListInfo list;
  TCustomRVInfo* parts[] = {&entry.TextStyle, &entry.ParaStyle, &list};
  for (TCustomRVInfo* part : parts) {
    for (int setter = 0; setter < 4; ++setter) {
      try {
        switch (setter) {
          case 0: part->SetBaseStyleNo(1); break;
          case 1: part->SetStyleName(u"x"); break;
          case 2: part->SetStandard(false); break;
          default: part->SetStyleTemplateId(3); break;
        }
        ADD_FAILURE() << "setter " << setter << " was accepted";
      } catch (const ERichDocError& error) {
        EXPECT_STREQ(error.what(), "This property is not valid here");
      }
    }
  }
  entry.TextStyle.Size = 14;  // the style properties themselves are fine
  EXPECT_EQ(entry.TextStyle.Size, 14);
}

TEST(RVStyleTest, TemplatesGetNumberedNamesAndUniqueIds) {
  ScopedRandomSeed seed(3);
  TRVStyleTemplateCollection templates;
  TRVStyleTemplate& first = templates.Add();
  TRVStyleTemplate& second = templates.Add();
  EXPECT_EQ(first.Name, u"Style 1");
  EXPECT_EQ(second.Name, u"Style 2");
  first.Name = u"Normal";
  EXPECT_EQ(templates.Add().Name, u"Style 1");
  EXPECT_EQ(templates.NormalStyle(), &first);

  std::set<std::int32_t> ids;
  for (int i = 0; i < templates.Count(); ++i) {
    const std::int32_t id = templates.Find(i)->Id();
    EXPECT_GE(id, 1);
    EXPECT_LE(id, 0x7FFFFFFE);
    EXPECT_EQ(templates.Find(i)->Id(), id);
    ids.insert(id);
  }
  EXPECT_EQ(ids.size(), 3u);
  EXPECT_EQ(templates.FindById(second.Id()), &second);
  EXPECT_EQ(templates.Find(3), nullptr);
}

TEST(RVStyleTest, AParentChainBackToItselfIsRefused) {
  TRVStyleTemplateCollection templates;
  TRVStyleTemplate& a = templates.Add();
  TRVStyleTemplate& b = templates.Add();
  TRVStyleTemplate& c = templates.Add();
  b.SetParentId(a.Id());
  c.SetParentId(b.Id());
  EXPECT_EQ(c.ParentId(), b.Id());
  try {
    a.SetParentId(c.Id());
    FAIL() << "a circle was accepted";
  } catch (const ERichDocError& error) {
    EXPECT_STREQ(error.what(), "Circular references are not allowed");
  }
  EXPECT_EQ(a.ParentId(), -1);
  EXPECT_THROW(a.SetParentId(a.Id()), ERichDocError);
  EXPECT_EQ(a.ParentId(), -1);
  a.SetParentId(12345);  // an unknown parent ends the chain
  EXPECT_EQ(a.ParentId(), 12345);
}

}  // namespace
}  // namespace varnolt
