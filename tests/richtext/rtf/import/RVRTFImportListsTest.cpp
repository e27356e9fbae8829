// Lists: paragraphs of RTF lists start with markers of list styles that the
// import finds or adds (only when paragraph styles may be added).
#include <gtest/gtest.h>

#include "richtext/document/RVItemKinds.h"
#include "richtext/rtf/reader/RVRTFReader.h"
#include "tests/richtext/rtf/import/RVRTFImportTestSupport.h"

namespace varnolt {
namespace {

using test::TRVImportedRTF;

const std::string kListTables =
    "{\\*\\listtable"
    "{\\list\\listtemplateid1\\listsimple{\\listlevel\\levelnfc23\\leveljc0\\levelstartat1\\levelfollow0"
    "{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}\\f0\\fi-360\\li720}\\listid100}"
    "{\\list\\listtemplateid2"
    "{\\listlevel\\levelnfc0\\leveljc0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}"
    "{\\listlevel\\levelnfc4\\leveljc2\\levelstartat1{\\leveltext\\'02\\'01);}{\\levelnumbers\\'01;}\\fi-360\\li1440}"
    "\\listid200}"
    "{\\list\\listtemplateid3{\\listlevel\\levelnfc0\\levellegal\\levelnorestart"
    "{\\leveltext\\'05\\'00%\\'09x\\'0A;}{\\levelnumbers\\'01;}\\fi-360\\li720\\tx1080}\\listid300}}"
    "{\\*\\listoverridetable{\\listoverride\\listid100\\listoverridecount0\\ls1}"
    "{\\listoverride\\listid200\\listoverridecount0\\ls2}"
    "{\\listoverride\\listid200\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat5}\\ls3}"
    "{\\listoverride\\listid300\\listoverridecount0\\ls4}}";

const std::string kListBody =
    "\\pard\\ls1\\fi-360\\li720 First bullet\\par "
    "\\pard\\ls1\\fi-360\\li720 Second bullet\\par "
    "\\pard\\ls2\\fi-360\\li720 Numbered one\\par "
    "\\pard\\ls2\\ilvl1\\fi-360\\li1440 Nested letter\\par "
    "\\pard\\ls2\\fi-360\\li720 Numbered two\\par "
    "\\pard Plain";

std::string ListDocument(const std::string& body) {
  return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f2\\fcharset2 Symbol;}}" + kListTables + body + "}";
}

std::vector<const TRVMarkerItemInfo*> Markers(const TCustomRVData& doc) {
  std::vector<const TRVMarkerItemInfo*> markers;
  for (int i = 0; i < doc.CountItems(); ++i) {
    if (auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&doc.ItemAt(i))) markers.push_back(marker);
  }
  return markers;
}

TEST(RVRTFImportListsTest, WordListsBecomeListStyles) {
  TRVImportedRTF imported;
  imported.props.ParaStyleMode = rvrsAddIfNeeded;
  ASSERT_EQ(imported.Load(ListDocument(kListBody)), kRtfOk);
  EXPECT_EQ(imported.Structure(),
            "<marker>+First bullet|<marker>+Second bullet|<marker>+Numbered one|<marker>+Nested letter|"
            "<marker>+Numbered two|Plain");
  const auto markers = Markers(imported.doc);
  ASSERT_EQ(markers.size(), 5u);
  EXPECT_EQ(markers[0]->ListNo, markers[1]->ListNo);
  EXPECT_EQ(markers[2]->ListNo, markers[3]->ListNo);
  EXPECT_NE(markers[0]->ListNo, markers[2]->ListNo);
  EXPECT_EQ(markers[3]->Level, 1);
  EXPECT_EQ(markers[2]->DisplayString, u"1.");
  EXPECT_EQ(markers[3]->DisplayString, u"a)");
  EXPECT_EQ(markers[4]->DisplayString, u"2.");

  ASSERT_EQ(imported.style.ListStyles.Count(), 2);
  const TRVListLevel& bullet = imported.style.ListStyles.Items(markers[0]->ListNo).Levels.Items(0);
  EXPECT_EQ(bullet.ListType, rvlstUnicodeBullet);
  EXPECT_EQ(bullet.FormatStringW, u"\u2022");
  EXPECT_EQ(bullet.LeftIndent, 48);
  EXPECT_EQ(bullet.MarkerIndent, 24);
  EXPECT_EQ(bullet.Font.Name, u"Arial");
  const TRVListInfo& numbered = imported.style.ListStyles.Items(markers[2]->ListNo);
  ASSERT_EQ(numbered.Levels.Count(), 2);
  EXPECT_EQ(numbered.Levels.Items(0).ListType, rvlstDecimal);
  EXPECT_EQ(numbered.Levels.Items(0).FormatString, "%s.");
  EXPECT_EQ(numbered.Levels.Items(1).ListType, rvlstLowerAlpha);
  EXPECT_EQ(numbered.Levels.Items(1).FormatString, "%1:s)");
  EXPECT_EQ(numbered.Levels.Items(1).MarkerAlignment, rvmaRight);
  EXPECT_EQ(numbered.Levels.Items(1).LeftIndent, 96);
}

TEST(RVRTFImportListsTest, OverridesRestartAndLevelTextsKeepTheirCharacters) {
  TRVImportedRTF imported;
  imported.props.ParaStyleMode = rvrsAddIfNeeded;
  imported.Load(ListDocument("\\pard\\ls3\\fi-360\\li720 Five\\par\\pard\\ls4\\fi-360\\li720 Legal"));
  const auto markers = Markers(imported.doc);
  ASSERT_EQ(markers.size(), 2u);
  EXPECT_TRUE(markers[0]->Reset);
  EXPECT_EQ(markers[0]->ResetValue, 5);
  EXPECT_EQ(markers[0]->DisplayString, u"5.");
  const TRVListLevel& legal = imported.style.ListStyles.Items(markers[1]->ListNo).Levels.Items(0);
  // Codes past the ninth level and "%" stay characters.
  EXPECT_EQ(legal.FormatString, "%s%%\tx\n");
  EXPECT_TRUE(legal.Options.Contains(rvloLegalStyleNumbering));
  EXPECT_FALSE(legal.Options.Contains(rvloLevelReset));
  EXPECT_EQ(legal.FirstIndent, 72 - 48);
}

TEST(RVRTFImportListsTest, TheSameListsAgainTakeTheSameListStyles) {
  TRVStyle style;
  for (int round = 0; round < 2; ++round) {
    TCustomRVData doc;
    doc.SetRVStyle(&style);
    TRVRTFReaderProperties props;
    props.ParaStyleMode = rvrsAddIfNeeded;
    props.LoadRTF(ListDocument(kListBody), doc);
    EXPECT_EQ(style.ListStyles.Count(), 2) << round;
  }
}

TEST(RVRTFImportListsTest, OldStyleParagraphNumbers) {
  TRVImportedRTF imported;
  imported.props.ParaStyleMode = rvrsAddIfNeeded;
  imported.Load(ListDocument(
      "{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent360{\\pntxtb\\'b7}}\\fi-360\\li720 Old bullet\\par "
      "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart3{\\pntxta.}}\\fi-360\\li720 Three\\par "
      "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart3{\\pntxta.}}\\fi-360\\li720 Four"));
  const auto markers = Markers(imported.doc);
  ASSERT_EQ(markers.size(), 3u);
  const TRVListLevel& bullet = imported.style.ListStyles.Items(markers[0]->ListNo).Levels.Items(0);
  EXPECT_EQ(bullet.ListType, rvlstBullet);
  EXPECT_EQ(bullet.FormatString, "\xB7");
  EXPECT_EQ(bullet.Font.Name, u"Symbol");
  EXPECT_EQ(markers[1]->ListNo, markers[2]->ListNo);
  EXPECT_EQ(markers[1]->DisplayString, u"3.");
  EXPECT_EQ(markers[2]->DisplayString, u"4.");
}

TEST(RVRTFImportListsTest, NoMarkersWithoutAddingParagraphStyles) {
  TRVImportedRTF imported;
  imported.Load(ListDocument(kListBody));
  EXPECT_EQ(imported.Structure(), "First bullet|Second bullet|Numbered one|Nested letter|Numbered two|Plain");
  EXPECT_EQ(imported.style.ListStyles.Count(), 0);
}

}  // namespace
}  // namespace varnolt
