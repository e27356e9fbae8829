// The style sheet's tables as property streams: every property survives,
// defaults are left out, and malformed or oversized tables are refused.
#include <gtest/gtest.h>

#include "richtext/rvf/RVFPropertyStream.h"
#include "richtext/rvf/RVFStyleTables.h"

namespace varnolt {
namespace {

using namespace std::string_literals;

TEST(RVFStyleTablesTest, ATableOfDefaultEntriesIsTheirCollectionAlone) {
  TFontInfos fonts;
  fonts.Add();
  fonts.Add();
  EXPECT_EQ(WriteTextStyleTable(fonts), std::string("\x0E\x01\x00\x01\x00\x00", 6));
  TFontInfos empty;
  EXPECT_EQ(WriteTextStyleTable(empty), std::string("\x0E\x00", 2));
}

TEST(RVFStyleTablesTest, EveryTextStylePropertySurvives) {
  TFontInfos fonts;
  TFontInfo& font = fonts.Add();
  font.SetStyleName(u"\u0421\u0442\u0438\u043b\u044c");
  font.SetStandard(false);
  font.SetBaseStyleNo(3);
  font.SetStyleTemplateId(77);
  font.FontName = u"Courier New";
  font.Size = 13;
  font.Charset = 204;
  font.Style = {fsBold, fsStrikeOut};
  font.StyleEx = {rvfsAllCaps};
  font.VShift = -30;
  font.Color = 0x00808080;
  font.BackColor = 0x0012ABCD;
  font.HoverColor = clRed;
  font.HoverBackColor = 0xFF00000F;
  font.HoverEffects = {rvheUnderline};
  font.Jump = true;
  font.JumpCursor = -21;
  font.CharScale = 80;
  font.CharSpacing = 2;
  font.BiDiMode = rvbdRightToLeft;
  font.SubSuperScriptType = rvsssSuperScript;
  font.Protection = {rvprStickToBottom, rvprRVFInsertProtect};
  font.Options = {rvteoRTFCode};
  font.UnderlineType = rvutThickDashDotDotted;
  font.UnderlineColor = clBlue;
  font.HoverUnderlineColor = 0x01020304;
  font.NextStyleNo = 2;
  font.Unicode = false;
  font.ModifiedProperties = {rvfiCustom, rvfiFontName};
  TFontInfos read;
  ReadTextStyleTable(WriteTextStyleTable(fonts), read);
  ASSERT_EQ(read.Count(), 1);
  const TFontInfo& copy = read.Items(0);
  EXPECT_TRUE(copy.EqualsFully(font, false));
  EXPECT_EQ(copy.StyleName(), font.StyleName());
  EXPECT_FALSE(copy.Standard());
  EXPECT_EQ(copy.BaseStyleNo(), 3);
  EXPECT_EQ(copy.HoverUnderlineColor, font.HoverUnderlineColor);
}

TEST(RVFStyleTablesTest, EveryParagraphStylePropertySurvives) {
  TParaInfos paras;
  TParaInfo& para = paras.Add();
  para.SetStyleName(u"Indented");
  para.FirstIndent = -12;
  para.LeftIndent = 24;
  para.RightIndent = 3;
  para.SpaceBefore = 4;
  para.SpaceAfter = 5;
  para.LineSpacing = 150;
  para.LineSpacingType = rvlsLineHeightExact;
  para.Alignment = rvaJustify;
  para.Border.Style = rvbThickOutside;
  para.Border.Color = clRed;
  para.Border.Width = 2;
  para.Border.InternalWidth = 3;
  para.Border.BorderOffsets = {1, 2, 3, 4};
  para.Border.VisibleBorders = {true, false, true, false};
  para.Background.Color = 0x00F0F0F0;
  para.Background.BorderOffsets = {5, 6, 7, 8};
  para.Options = {rvpaoKeepWithNext, rvpaoWidowOrphanControl};
  para.BiDiMode = rvbdLeftToRight;
  para.Tabs.Add({96, rvtaRight, u"."});
  para.Tabs.Add({48, rvtaCenter, u""});
  para.NextParaNo = 1;
  para.DefStyleNo = 4;
  para.ModifiedProperties1 = {rvpiCustom, rvpiTabs, rvpiFirstIndent};
  para.ModifiedProperties2 = TRVParaInfoProperties2::FromBits(5);
  TParaInfos read;
  ReadParaStyleTable(WriteParaStyleTable(paras), read);
  ASSERT_EQ(read.Count(), 1);
  EXPECT_TRUE(read.Items(0).EqualsFully(para, false));
  EXPECT_EQ(read.Items(0).Tabs.Items(0).Position, 48);
}

TEST(RVFStyleTablesTest, ListStylesKeepTheirLevelsAndIdentity) {
  TRVListInfos lists;
  TRVListInfo& list = lists.Add();
  list.SetListID(12345);
  list.OneLevelPreview = true;
  TRVListLevel& level = list.Levels.Add();
  level.ListType = rvlstUpperRoman;
  level.StartFrom = 4;
  level.FormatString = "%0:s)";
  level.FormatStringW = u"\u2022";
  level.LeftIndent = 30;
  level.FirstIndent = -10;
  level.MarkerIndent = 6;
  level.MarkerAlignment = rvmaRight;
  level.Font.Name = u"Symbol";
  level.Font.Size = 8;
  level.Font.Color = clRed;
  level.Font.Style = {fsItalic};
  level.Font.Charset = 2;
  level.Options = {rvloLegalStyleNumbering};
  level.Picture = std::string("BM\0\x01", 4);
  list.Levels.Add();
  TRVListInfos read;
  ReadListStyleTable(WriteListStyleTable(lists), read);
  ASSERT_EQ(read.Count(), 1);
  EXPECT_TRUE(read.Items(0).EqualsFully(list, false));
  EXPECT_EQ(read.Items(0).ListID(), 12345);
  EXPECT_EQ(read.Items(0).Levels.Count(), 2);
}

TEST(RVFStyleTablesTest, MalformedAndOversizedTablesAreRefused) {
  TFontInfos fonts;
  std::string many(1, '\x0E');
  for (int i = 0; i <= kMaxStoredStyles; ++i) many += std::string("\x01\x00", 2);
  many += '\0';
  std::string longFormat = "\x0E\x01\x06" "Levels\x0E\x01\x0C" "FormatString\x0C";
  longFormat += std::string("\x01\x08\x00\x00", 4) + std::string(2049, '%') + std::string(4, '\0');
  const std::pair<const char*, std::string> cases[] = {
      {"not a collection", std::string("\x01\x00", 2)},
      {"cut short", "\x0E\x01\x09StyleName\x06\x05" "ab"s},
      {"a value of the wrong code", "\x0E\x01\x04Size\x06\x01x\x00\x00"s},
      {"an unknown identifier", "\x0E\x01\x05" "Color\x07\x06" "clPink\x00\x00"s},
      {"more entries than any document has", many},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    EXPECT_THROW(ReadTextStyleTable(bytes, fonts), EReadError);
  }
  TRVListInfos lists;
  EXPECT_THROW(ReadListStyleTable(longFormat, lists), EReadError) << "a level text of 2049 characters";
}

TEST(RVFStyleTablesTest, UnknownPropertiesArePassedOver) {
  std::string bytes = "\x0E\x01\x07Unknown\x01\x02\x05\x07\x07Nothing\x00\x04Size\x02\x0C\x00\x00"s;
  TFontInfos fonts;
  ReadTextStyleTable(bytes, fonts);
  ASSERT_EQ(fonts.Count(), 1);
  EXPECT_EQ(fonts.Items(0).Size, 12);
}

}  // namespace
}  // namespace varnolt
