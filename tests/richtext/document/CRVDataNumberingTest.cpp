#include "richtext/document/CRVDataNumbering.h"

#include <gtest/gtest.h>

#include "richtext/document/CRVData.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"

namespace varnolt {
namespace {

class NumberingTest : public ::testing::Test {
 protected:
  NumberingTest() {
    data.SetRVStyle(&style);
    data.AppendTextItem("start", 0, 0);
  }

  template <typename T>
  T& Append(std::unique_ptr<T> item) {
    T& added = *item;
    item->ParaNo = -1;
    data.AppendItem({}, std::move(item));
    return added;
  }

  std::vector<std::u16string> LabelTexts() const {
    std::vector<std::u16string> texts;
    for (int i = 0; i < data.CountItems(); ++i) {
      if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&data.ItemAt(i))) texts.push_back(label->Text);
    }
    return texts;
  }

  // A list style whose levels are numbered as given, with "%0:s." ... formats.
  int AddList(std::vector<TRVListType> types, TRVListLevelOptions options = {rvloContinuous, rvloLevelReset}) {
    TRVListInfo& list = style.AppendListStyle();
    std::string format;
    for (std::size_t i = 0; i < types.size(); ++i) {
      TRVListLevel& level = list.Levels.Add();
      level.ListType = types[i];
      level.Options = options;
      format += "%" + std::to_string(i) + ":s.";
      level.FormatString = format;
    }
    return style.ListStyles.Count() - 1;
  }

  TRVMarkerItemInfo& AddListParagraph(int listNo, int level) {
    auto marker = std::make_unique<TRVMarkerItemInfo>(listNo, level);
    TRVMarkerItemInfo& added = *marker;
    marker->ParaNo = 0;
    data.AppendItem({}, std::move(marker));
    data.AppendTextItem("item", 0, -1);
    return added;
  }

  TRVStyle style;
  TCustomRVData data;
};

TEST(SeqNumberTextTest, NumberTextsOfEveryType) {
  struct Case {
    std::int32_t counter;
    TRVSeqType type;
    const char16_t* text;
  };
  const Case cases[] = {
      {12, rvseqDecimal, u"12"},        {0, rvseqDecimal, u"0"},          {-3, rvseqDecimal, u"-3"},
      {1, rvseqUpperAlpha, u"A"},       {26, rvseqUpperAlpha, u"Z"},      {27, rvseqUpperAlpha, u"AA"},
      {28, rvseqUpperAlpha, u"AB"},     {702, rvseqUpperAlpha, u"ZZ"},    {703, rvseqUpperAlpha, u"AAA"},
      {0, rvseqUpperAlpha, u""},        {-5, rvseqLowerAlpha, u""},       {28, rvseqLowerAlpha, u"ab"},
      {1994, rvseqUpperRoman, u"MCMXCIV"}, {4000, rvseqUpperRoman, u"MMMM"}, {0, rvseqUpperRoman, u"?"},
      {-1, rvseqLowerRoman, u"?"},      {9, rvseqLowerRoman, u"ix"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SeqNumberText(c.counter, c.type), c.text) << c.counter << " type " << int(c.type);
  }
}

TEST(FormatWithStringsTest, StringPlaceholdersOnly) {
  const std::vector<std::u16string> args = {u"one", u"two"};
  struct Case {
    const char16_t* format;
    std::optional<std::u16string> result;
  };
  const Case cases[] = {
      {u"(%s)", u"(one)"},
      {u"%0:s.%1:s", u"one.two"},
      {u"%1:s %0:s %s", u"two one two"},
      {u"[%5s]", u"[  one]"},
      {u"[%-5s]", u"[one  ]"},
      {u"[%.2s]", u"[on]"},
      {u"100%%", u"100%"},
      {u"%d", std::nullopt},
      {u"%2:s", std::nullopt},
      {u"end%", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatWithStrings(c.format, args, false), c.result) << Utf16ToUtf8(c.format);
  }
  EXPECT_EQ(FormatWithStrings(u"%3:s-", {}, true), u"-");
}

TEST_F(NumberingTest, FootnotesAndEndnotesNumberInDocumentOrder) {
  for (int i = 0; i < 3; ++i) Append(std::make_unique<TRVFootnoteItemInfo>());
  for (int i = 0; i < 3; ++i) Append(std::make_unique<TRVEndnoteItemInfo>());
  EXPECT_EQ(LabelTexts(), (std::vector<std::u16string>{u"1", u"2", u"3", u"i", u"ii", u"iii"}));

  auto first = std::make_unique<TRVFootnoteItemInfo>();
  data.InsertItemAt(1, {}, std::move(first));
  EXPECT_EQ(LabelTexts(), (std::vector<std::u16string>{u"1", u"2", u"3", u"4", u"i", u"ii", u"iii"}));

  data.RemoveItems(2, 1);
  EXPECT_EQ(LabelTexts(), (std::vector<std::u16string>{u"1", u"2", u"3", u"i", u"ii", u"iii"}));
}

TEST_F(NumberingTest, SequencesAreNamedWithoutRegardToCase) {
  Append(std::make_unique<TRVSeqItemInfo>(u"Figure", rvseqDecimal));
  Append(std::make_unique<TRVSeqItemInfo>(u"table", rvseqUpperAlpha));
  Append(std::make_unique<TRVSeqItemInfo>(u"FIGURE", rvseqDecimal));
  auto restart = std::make_unique<TRVSeqItemInfo>(u"figure", rvseqUpperRoman);
  restart->Reset = true;
  restart->StartFrom = 5;
  Append(std::move(restart));
  auto formatted = std::make_unique<TRVSeqItemInfo>(u"Figure", rvseqDecimal);
  formatted->FormatString = u"(%s)";
  Append(std::move(formatted));
  Append(std::make_unique<TRVSeqItemInfo>(u"Table", rvseqUpperAlpha));
  EXPECT_EQ(LabelTexts(), (std::vector<std::u16string>{u"1", u"A", u"2", u"V", u"(6)", u"B"}));
}

TEST_F(NumberingTest, EachNameCountsAloneThroughInsertionsAndRemovals) {
  for (const char16_t* name : {u"a", u"b", u"a", u"c", u"B", u"a"}) {
    Append(std::make_unique<TRVSeqItemInfo>(name, rvseqDecimal));
  }
  EXPECT_EQ(LabelTexts(), (std::vector<std::u16string>{u"1", u"1", u"2", u"1", u"2", u"3"}));
  data.InsertItemAt(1, {}, std::make_unique<TRVSeqItemInfo>(u"A", rvseqDecimal));  // a A b a c B a
  EXPECT_EQ(LabelTexts(), (std::vector<std::u16string>{u"1", u"2", u"1", u"3", u"1", u"2", u"4"}));
  const auto removeLabel = [&](std::size_t n) {
    for (int i = 0; i < data.CountItems(); ++i) {
      if (dynamic_cast<const TRVLabelItemInfo*>(&data.ItemAt(i)) != nullptr && n-- == 0) {
        data.RemoveItems(i, 1);
        return;
      }
    }
  };
  removeLabel(1);  // a b a c B a
  EXPECT_EQ(LabelTexts(), (std::vector<std::u16string>{u"1", u"1", u"2", u"1", u"2", u"3"}));
  removeLabel(1);  // a a c B a
  EXPECT_EQ(LabelTexts(), (std::vector<std::u16string>{u"1", u"2", u"1", u"1", u"3"}));
}

TEST_F(NumberingTest, NoteReferencesShowTheirNotesNumber) {
  auto note = std::make_unique<TRVFootnoteItemInfo>();
  auto reference = std::make_unique<TRVNoteReferenceItemInfo>();
  const TRVNoteReferenceItemInfo& shown = *reference;
  reference->ParaNo = 0;
  note->Document().AppendItem({}, std::move(reference));
  note->Document().AppendTextItem(" note text", 0, -1);
  Append(std::make_unique<TRVFootnoteItemInfo>());
  Append(std::move(note));
  EXPECT_EQ(shown.Text, u"2");
  data.InsertItemAt(1, {}, std::make_unique<TRVFootnoteItemInfo>());
  EXPECT_EQ(shown.Text, u"3");
}

TEST_F(NumberingTest, SequenceItemsInsideNotesCountAtTheirNote) {
  auto note = std::make_unique<TRVEndnoteItemInfo>();
  auto inner = std::make_unique<TRVSeqItemInfo>(u"n", rvseqDecimal);
  const TRVSeqItemInfo& innerShown = *inner;
  inner->ParaNo = 0;
  note->Document().AppendItem({}, std::move(inner));
  const auto& before = Append(std::make_unique<TRVSeqItemInfo>(u"n", rvseqDecimal));
  Append(std::move(note));
  const auto& after = Append(std::make_unique<TRVSeqItemInfo>(u"n", rvseqDecimal));
  EXPECT_EQ(before.Text, u"1");
  EXPECT_EQ(innerShown.Text, u"2");
  EXPECT_EQ(after.Text, u"3");
}

TEST_F(NumberingTest, MarkersCountPerLevelWithLevelReset) {
  int list = AddList({rvlstDecimal, rvlstDecimal});
  std::vector<TRVMarkerItemInfo*> markers;
  for (int level : {0, 1, 1, 0, 1}) markers.push_back(&AddListParagraph(list, level));
  std::vector<std::int32_t> counters;
  std::vector<std::u16string> texts;
  for (auto* marker : markers) {
    counters.push_back(marker->Counter);
    texts.push_back(marker->DisplayString);
  }
  EXPECT_EQ(counters, (std::vector<std::int32_t>{1, 1, 2, 2, 1}));
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"1.", u"1.1.", u"1.2.", u"2.", u"2.1."}));
}

TEST_F(NumberingTest, MarkerCountersWithoutLevelResetAndAfterNestedLevels) {
  int list = AddList({rvlstDecimal, rvlstLowerAlpha}, {rvloContinuous});
  auto& nestedFirst = AddListParagraph(list, 1);
  auto& top = AddListParagraph(list, 0);
  auto& nestedAgain = AddListParagraph(list, 1);
  EXPECT_EQ(nestedFirst.Counter, 1);
  EXPECT_EQ(top.Counter, 2) << "a level-0 marker after only a level-1 marker";
  EXPECT_EQ(nestedAgain.Counter, 2) << "without level reset the nested count goes on";
  EXPECT_EQ(nestedAgain.DisplayString, u"2.b.");
}

TEST_F(NumberingTest, MarkerRestartsLegalNumbersAndLevelsBeyondTheLast) {
  int list = AddList({rvlstUpperRoman, rvlstDecimal});
  style.ListStyles.Items(list).Levels.Items(1).Options.Include(rvloLegalStyleNumbering);
  auto& first = AddListParagraph(list, 0);
  auto& nested = AddListParagraph(list, 1);
  auto& deep = AddListParagraph(list, 7);
  auto restart = std::make_unique<TRVMarkerItemInfo>(list, 0);
  restart->Reset = true;
  restart->ResetValue = 10;
  restart->ParaNo = 0;
  auto& restarted = *restart;
  data.AppendItem({}, std::move(restart));
  data.AppendTextItem("x", 0, -1);
  auto& afterRestart = AddListParagraph(list, 0);

  EXPECT_EQ(first.DisplayString, u"I.");
  EXPECT_EQ(nested.DisplayString, u"1.1.") << "legal numbering writes the enclosing roman number in decimal";
  EXPECT_EQ(deep.Counter, 2) << "level 7 is numbered as the last level";
  EXPECT_EQ(deep.DisplayString, u"1.2.");
  EXPECT_EQ(restarted.DisplayString, u"X.");
  EXPECT_EQ(afterRestart.DisplayString, u"XI.");
}

TEST_F(NumberingTest, BulletsAndMarkersWithoutLevels) {
  TRVListInfo& bullets = style.AppendListStyle();
  TRVListLevel& level = bullets.Levels.Add();
  level.ListType = rvlstBullet;
  level.FormatString = "\xB7%0:s";
  auto& bullet = AddListParagraph(0, 0);
  style.AppendListStyle();
  auto& levelless = AddListParagraph(1, 0);
  auto& noList = AddListParagraph(-1, 0);
  EXPECT_EQ(bullet.DisplayString, u"\u00B7");
  EXPECT_EQ(levelless.Counter, 0);
  EXPECT_EQ(levelless.DisplayString, u"");
  EXPECT_EQ(noList.DisplayString, u"");
}

TEST_F(NumberingTest, InsertingAMarkerBeforeOthersRenumbersThem) {
  int list = AddList({rvlstDecimal});
  auto& a = AddListParagraph(list, 0);
  auto& b = AddListParagraph(list, 0);
  auto marker = std::make_unique<TRVMarkerItemInfo>(list, 0);
  auto& inserted = *marker;
  data.InsertItemAt(1, {}, std::move(marker));
  EXPECT_EQ(inserted.Counter, 1);
  EXPECT_EQ(a.Counter, 2);
  EXPECT_EQ(b.DisplayString, u"3.");
  data.RemoveItems(1, 1);
  EXPECT_EQ(b.DisplayString, u"2.");
}

}  // namespace
}  // namespace varnolt
