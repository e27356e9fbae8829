#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/Random.h"
#include "richtext/style/RVStyle.h"

namespace varnolt {
namespace {

using Map = std::vector<std::int32_t>;

// Collects the numbers a document is told of.
struct Announcements {
  std::vector<std::int32_t> numbers;
  TRVStyleAddedEvent Event() {
    return [this](TCustomRVInfo&, std::int32_t number) { numbers.push_back(number); };
  }
};

TEST(RVStyleMergeTest, MergingAnEqualTableGivesTheIdentityMap) {
  TRVStyle target;
  TRVStyle source;
  Announcements told;
  Map map{42};
  MergeStyleTable(target.TextStyles, source.TextStyles, rvmmMerge, told.Event(), map);
  EXPECT_EQ(map, (Map{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(target.TextStyles.Count(), 6);
  EXPECT_TRUE(told.numbers.empty());

  MergeStyleTable(target.ParaStyles, source.ParaStyles, rvmmMerge, told.Event(), map, nullptr);
  EXPECT_EQ(map, (Map{0, 1}));
  EXPECT_EQ(target.ParaStyles.Count(), 2);
}

TEST(RVStyleMergeTest, MergingIntoAnEmptyTableAppendsEverythingAsNotStandard) {
  TRVStyle target;
  target.TextStyles.Clear();
  TRVStyle source;
  source.TextStyles.Items(0).NextStyleNo = 3;
  source.TextStyles.Items(3).NextStyleNo = 0;
  source.TextStyles.Items(1).SetBaseStyleNo(2);
  // The two link styles differ only in name, which merging does not compare.
  source.TextStyles.Items(5).Size = 11;
  Announcements told;
  Map map;
  MergeStyleTable(target.TextStyles, source.TextStyles, rvmmMerge, told.Event(), map);
  EXPECT_EQ(map, (Map{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(told.numbers, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5}));
  ASSERT_EQ(target.TextStyles.Count(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_FALSE(target.TextStyles.Items(i).Standard()) << i;
  EXPECT_EQ(target.TextStyles.Items(0).NextStyleNo, 3);
  EXPECT_EQ(target.TextStyles.Items(3).NextStyleNo, 0);
  EXPECT_EQ(target.TextStyles.Items(1).BaseStyleNo(), 2);
  EXPECT_EQ(target.TextStyles.Items(0).StyleName(), u"Normal text");
  EXPECT_TRUE(source.TextStyles.Items(0).Standard()) << "the source is left alone";
}

TEST(RVStyleMergeTest, AppendedEntriesAreRenumberedThroughTheMap) {
  TRVStyle target;
  TFontInfos source;
  TFontInfo& big = source.Add();  // new: appended as 6
  big.Size = 20;
  big.NextStyleNo = 1;
  source.Add();  // equal to target 0
  TFontInfo& bigger = source.Add();  // new: appended as 7
  bigger.Size = 30;
  bigger.NextStyleNo = 0;
  bigger.SetBaseStyleNo(2);
  TFontInfo& dangling = source.Add();  // new: appended as 8, links past the table
  dangling.Size = 40;
  dangling.NextStyleNo = 99;
  Announcements told;
  Map map;
  MergeStyleTable(target.TextStyles, source, rvmmMerge, told.Event(), map);
  EXPECT_EQ(map, (Map{6, 0, 7, 8}));
  EXPECT_EQ(told.numbers, (std::vector<std::int32_t>{6, 7, 8}));
  EXPECT_EQ(target.TextStyles.Items(6).NextStyleNo, 0);
  EXPECT_EQ(target.TextStyles.Items(7).NextStyleNo, 6);
  EXPECT_EQ(target.TextStyles.Items(7).BaseStyleNo(), 7);
  EXPECT_EQ(target.TextStyles.Items(8).NextStyleNo, -1) << "a link past the stored table is dropped";
  EXPECT_TRUE(target.TextStyles.Items(0).Standard()) << "entries that were there keep their flags";
}

TEST(RVStyleMergeTest, TheSameNumberIsPreferredAmongEqualEntries) {
  TFontInfos target;
  target.Add();
  target.Add();
  TFontInfos source;
  source.Add().Size = 30;
  source.Add();
  Map map;
  MergeStyleTable(target, source, rvmmMerge, {}, map);
  EXPECT_EQ(map, (Map{2, 1}));
}

TEST(RVStyleMergeTest, NextStyleLinksDecideEquality) {
  // Target: 0 default, 1 size 12 followed by 0.
  auto makeTarget = [](TFontInfos& target) {
    target.Add();
    TFontInfo& linked = target.Add();
    linked.Size = 12;
    linked.NextStyleNo = 0;
  };
  struct Case {
    const char* name;
    std::int32_t sourceNext;
    Map map;
  };
  // Source: 0 size 20 (appended as 2), 1 size 12 followed by sourceNext.
  const Case kCases[] = {
      {"links to an appended entry", 0, {2, 3}},
      {"links to itself, not yet mapped", 1, {2, 1}},
      {"no link", -1, {2, 1}},
      {"links past the table", 50, {2, 1}},
  };
  for (const Case& c : kCases) {
    TFontInfos target;
    makeTarget(target);
    TFontInfos source;
    source.Add().Size = 20;
    TFontInfo& linked = source.Add();
    linked.Size = 12;
    linked.NextStyleNo = c.sourceNext;
    Map map;
    MergeStyleTable(target, source, rvmmMerge, {}, map);
    EXPECT_EQ(map, c.map) << c.name;
  }
}

TEST(RVStyleMergeTest, ParagraphStylesRenumberTheirLinksAndDefaultTextStyles) {
  TRVStyle target;
  TParaInfos source;
  TParaInfo& indented = source.Add();
  indented.LeftIndent = 30;
  indented.NextParaNo = 1;
  indented.DefStyleNo = 1;
  TParaInfo& right = source.Add();
  right.Alignment = rvaRight;
  right.NextParaNo = 0;
  right.DefStyleNo = 4;  // past the text map
  const Map textMap{5, 9};
  Map map;
  MergeStyleTable(target.ParaStyles, source, rvmmMerge, {}, map, &textMap);
  EXPECT_EQ(map, (Map{2, 3}));
  EXPECT_EQ(target.ParaStyles.Items(2).NextParaNo, 3);
  EXPECT_EQ(target.ParaStyles.Items(2).DefStyleNo, 9);
  EXPECT_EQ(target.ParaStyles.Items(3).NextParaNo, 2);
  EXPECT_EQ(target.ParaStyles.Items(3).DefStyleNo, -1);

  TRVStyle withoutTextMap;
  MergeStyleTable(withoutTextMap.ParaStyles, source, rvmmMerge, {}, map, nullptr);
  EXPECT_EQ(withoutTextMap.ParaStyles.Items(2).DefStyleNo, 1);
}

TEST(RVStyleMergeTest, MapModeNeverChangesTheTarget) {
  TRVStyle target;
  TFontInfos source;
  TFontInfo& link = source.Add();
  link.Jump = true;
  link.Color = 0x00FF00;
  TFontInfo& eightBit = source.Add();
  eightBit.Unicode = false;
  eightBit.Style = {fsItalic};
  eightBit.Color = 0x000080;
  TFontInfo& bold = source.Add();
  bold.Style = {fsBold};
  bold.Color = 0x900000;
  Announcements told;
  Map map;
  MergeStyleTable(target.TextStyles, source, rvmmMap, told.Event(), map);
  EXPECT_EQ(map, (Map{4, 3, 2}));
  EXPECT_EQ(target.TextStyles.Count(), 6);
  EXPECT_TRUE(told.numbers.empty());
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(target.TextStyles.Items(i).Standard());
}

TEST(RVStyleMergeTest, MapModeSearchesLinksAndUnicodeFirst) {
  TFontInfos target;
  TFontInfo& plain = target.Add();  // 0: the most similar, but a Unicode style
  plain.Size = 12;
  TFontInfo& eightBitLink = target.Add();  // 1: same link flag and same Unicode flag
  eightBitLink.Jump = true;
  eightBitLink.Unicode = false;
  eightBitLink.Size = 40;
  TFontInfos source;
  TFontInfo& wanted = source.Add();
  wanted.Size = 12;
  wanted.Jump = true;
  wanted.Unicode = false;
  Map map;
  MergeStyleTable(target, source, rvmmMap, {}, map);
  EXPECT_EQ(map, (Map{1}));
}

TEST(RVStyleMergeTest, MapModeIntoAnEmptyTableGivesNumberZero) {
  TFontInfos target;
  TFontInfos source;
  source.Add();
  Map map;
  MergeStyleTable(target, source, rvmmMap, {}, map);
  EXPECT_EQ(map, (Map{0}));
  EXPECT_EQ(target.Count(), 0);
}

TEST(RVStyleMergeTest, AppendModeAppendsEveryEntry) {
  TRVStyle target;
  TRVStyle source;
  source.ParaStyles.Items(1).NextParaNo = 0;
  Announcements told;
  Map map;
  MergeStyleTable(target.ParaStyles, source.ParaStyles, rvmmAppend, told.Event(), map, nullptr);
  EXPECT_EQ(map, (Map{2, 3}));
  EXPECT_EQ(told.numbers, (std::vector<std::int32_t>{2, 3}));
  EXPECT_EQ(target.ParaStyles.Count(), 4);
  EXPECT_EQ(target.ParaStyles.Items(3).NextParaNo, 2);
  EXPECT_FALSE(target.ParaStyles.Items(3).Standard());
}

TRVListInfo& AddList(TRVListInfos& lists, TRVListType type) {
  TRVListInfo& list = lists.Add();
  list.Levels.Add().ListType = type;
  return list;
}

TEST(RVStyleMergeTest, NumberedListsDoNotShareATargetList) {
  ScopedRandomSeed seed(11);
  TRVListInfos target;
  AddList(target, rvlstDecimal);
  AddList(target, rvlstBullet);
  TRVListInfos source;
  AddList(source, rvlstDecimal);
  TRVListInfo& secondNumbered = AddList(source, rvlstDecimal);
  AddList(source, rvlstBullet);
  AddList(source, rvlstBullet);
  Announcements told;
  Map map;
  MergeStyleTable(target, source, rvmmMerge, told.Event(), map);
  EXPECT_EQ(map, (Map{0, 2, 1, 1}));
  EXPECT_EQ(told.numbers, (std::vector<std::int32_t>{2}));
  EXPECT_EQ(target.Items(2).ListID(), secondNumbered.ListID()) << "an appended list keeps its identifier";
  EXPECT_FALSE(target.Items(2).Standard());
}

TEST(RVStyleMergeTest, ListLevelsDecideEquality) {
  TRVListLevel a;
  TRVListLevel b;
  a.ListType = b.ListType = rvlstBullet;
  b.StartFrom = 5;
  EXPECT_TRUE(a.Equals(b)) << "the start of a bullet level does not count";
  a.ListType = b.ListType = rvlstLowerRoman;
  EXPECT_FALSE(a.Equals(b));
  b.StartFrom = 1;
  b.Font.Size = 12;
  EXPECT_FALSE(a.Equals(b));
  b.Font.Size = a.Font.Size;
  b.Picture = "GIF";
  EXPECT_FALSE(a.Equals(b));

  TRVListInfo first;
  TRVListInfo second;
  first.Levels.Add();
  second.Levels.Add();
  EXPECT_TRUE(first.EqualsFully(second, true));
  EXPECT_FALSE(first.EqualsFully(second, false)) << "their identifiers differ";
  second.SetListID(first.ListID());
  EXPECT_TRUE(first.EqualsFully(second, false));
  second.Levels.Add();
  EXPECT_FALSE(first.EqualsFully(second, true));
}

}  // namespace
}  // namespace varnolt
