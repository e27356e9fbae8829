#include "richtext/editor/RVUndo.h"

#include <gtest/gtest.h>

#include "platform/Random.h"
#include "richtext/editor/RVEdit.h"
#include "tests/richtext/RVTestDocuments.h"

namespace varnolt {
namespace {

class RecordedAction : public TRVUndoInfo {
 public:
  void Revert(TCustomRVData&, TRVUndoList*) override {}
};

std::unique_ptr<TRVUndoInfo> Action() { return std::make_unique<RecordedAction>(); }

TEST(RVUndoListTest, AddingWithoutAGroupOrToTypingFails) {
  TRVUndoList list;
  try {
    list.AddAction(Action());
    FAIL();
  } catch (const ERichDocError& error) {
    EXPECT_EQ(error.Message(), "Can't modify empty undo list");
  }
  RecordTyping(list, 0, 1, {}, {0, 1});
  try {
    list.AddAction(Action());
    FAIL();
  } catch (const ERichDocError& error) {
    EXPECT_EQ(error.Message(), "Incorrect adding into undo list");
  }
}

TEST(RVUndoListTest, LimitZeroRecordsNothingAndNeverFails) {
  TRVUndoList list;
  list.Limit = 0;
  list.BeginGroup(kUndoKindInsert, u"insert", {0, 1});
  EXPECT_NO_THROW(list.AddAction(Action()));
  RecordTyping(list, 0, 1, {}, {0, 1});
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.CanUndo());
}

TEST(RVUndoListTest, GroupingKeepsActionsInTheOpenGroup) {
  TRVUndoList list;
  list.BeginGroup(kUndoKindInsert, {}, {0, 1});
  ++list.GroupingLevel;
  list.AddAction(Action());
  list.BeginGroup(kUndoKindDelete, {}, {3, 1});
  list.AddAction(Action());
  --list.GroupingLevel;
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.LastGroup()->GroupKind, kUndoKindInsert);
  EXPECT_EQ(list.LastGroup()->Actions.size(), 2u);
  list.BeginGroup(kUndoKindDelete, {}, {3, 1});
  EXPECT_EQ(list.Count(), 2) << "outside a grouping every opening starts a group";
}

TEST(RVUndoListTest, AnEmptyLastGroupGivesWayAndTheOldestGoesAtTheLimit) {
  TRVUndoList list;
  list.Limit = 2;
  list.BeginGroup(kUndoKindInsert, u"first", {1, 1});
  list.AddAction(Action());
  list.BeginGroup(kUndoKindInsert, u"empty", {7, 3});
  list.BeginGroup(kUndoKindTyping, u"typing", {9, 9});
  ASSERT_EQ(list.Count(), 2) << "the empty group went before any real one";
  EXPECT_EQ(list.LastGroup()->GroupKind, kUndoKindTyping);
  EXPECT_EQ(list.LastGroup()->CaretItemNo, 7);
  EXPECT_EQ(list.LastGroup()->CaretOffset, 3);
  EXPECT_EQ(list.LastGroup()->GroupCaption, u"empty");
  list.AddAction(Action());
  list.BeginGroup(kUndoKindDelete, u"third", {0, 0});
  list.AddAction(Action());
  EXPECT_EQ(list.Count(), 2);
  list.PopLastGroup();
  EXPECT_EQ(list.LastGroup()->GroupCaption, u"empty") << "the oldest was dropped";

  list.Limit = 1;
  list.BeginGroup(kUndoKindDelete, u"fourth", {0, 0});
  EXPECT_EQ(list.Count(), 1) << "groups go while the count is at or above the limit";
}

class UndoEditorTest : public ::testing::Test {
 protected:
  UndoEditorTest() {
    editor.SetStyle(&style);
    editor.Format();
  }
  std::string Text() const { return test::Dump(editor.RVData()); }
  TRVStyle style;
  TRichDocEdit editor;
};

TEST_F(UndoEditorTest, TenTypedCharactersAreTenUndoAndTenRedoSteps) {
  for (char16_t c : std::u16string_view(u"abcdefghij")) editor.TypeCharacter(c);
  EXPECT_EQ(Text(), "abcdefghij");
  EXPECT_EQ(editor.UndoList().Count(), 1);
  EXPECT_EQ(editor.UndoList().LastGroup()->GroupKind, kUndoKindTyping);
  std::vector<std::string> afterEachUndo;
  for (int i = 0; i < 10; ++i) {
    editor.UndoLastGroup();
    afterEachUndo.push_back(Text());
  }
  EXPECT_EQ(afterEachUndo.front(), "abcdefghi");
  EXPECT_EQ(afterEachUndo.back(), "{}");
  EXPECT_EQ(editor.Caret(), (TRVPosition{0, 1}));
  EXPECT_EQ(editor.UndoList().Count(), 0);
  EXPECT_EQ(editor.RedoList().Count(), 1) << "the taken characters are collected in one redo action";
  EXPECT_EQ(editor.BeepCount(), 0);
  for (int i = 0; i < 10; ++i) editor.RedoLastGroup();
  EXPECT_EQ(Text(), "abcdefghij");
  EXPECT_EQ(editor.Caret(), (TRVPosition{0, 11}));
  EXPECT_EQ(editor.RedoList().Count(), 0);
  editor.RedoLastGroup();
  EXPECT_EQ(editor.BeepCount(), 1);
  editor.UndoLastGroup();
  EXPECT_EQ(Text(), "abcdefghi") << "redone typing is typing again";
}

TEST_F(UndoEditorTest, TypingElsewhereStartsAnotherGroup) {
  editor.TypeCharacter(u'a');
  editor.TypeCharacter(u'b');
  editor.SetCaret(0, 1);
  editor.TypeCharacter(u'c');
  EXPECT_EQ(Text(), "cab");
  EXPECT_EQ(editor.UndoList().Count(), 2);
  editor.UndoLastGroup();
  EXPECT_EQ(Text(), "ab");
}

TEST_F(UndoEditorTest, WithLimitThreeOnlyTheLastThreeChangesUndo) {
  editor.SetUndoLimit(3);
  for (const char16_t* text : {u"1", u"2", u"3", u"4"}) editor.InsertTextAtCaret(text);
  EXPECT_EQ(editor.UndoList().Count(), 3);
  for (int i = 0; i < 3; ++i) editor.UndoLastGroup();
  EXPECT_EQ(Text(), "1");
  EXPECT_EQ(editor.BeepCount(), 0);
  editor.UndoLastGroup();
  EXPECT_EQ(editor.BeepCount(), 1);
  EXPECT_EQ(Text(), "1");
}

TEST_F(UndoEditorTest, WithLimitZeroChangesWorkAndNothingUndoes) {
  editor.SetUndoLimit(0);
  editor.InsertTextAtCaret(u"a");
  editor.TypeCharacter(u'b');
  editor.SelectWholeDocument();
  editor.DeleteSelected();
  EXPECT_EQ(Text(), "{}");
  EXPECT_TRUE(editor.Modified());
  editor.UndoLastGroup();
  EXPECT_EQ(editor.BeepCount(), 1);
}

TEST_F(UndoEditorTest, UndoRestoresTheCaretAndANewChangeEmptiesRedo) {
  editor.InsertTextAtCaret(u"abc");
  editor.SetCaret(0, 2);
  editor.InsertTextAtCaret(u"\r\n");
  EXPECT_EQ(Text(), "a|bc");
  int changes = 0;
  editor.OnChange = [&] { ++changes; };
  editor.UndoLastGroup();
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ(editor.Caret(), (TRVPosition{0, 2}));
  EXPECT_EQ(editor.RedoList().Count(), 1);
  EXPECT_EQ(changes, 1) << "undo is a change too";
  EXPECT_TRUE(editor.Modified());
  editor.TypeCharacter(u'x');
  EXPECT_EQ(editor.RedoList().Count(), 0);
  EXPECT_EQ(Text(), "axbc");
}

TEST_F(UndoEditorTest, AReadOnlyEditorBeepsOnUndoAndRedo) {
  editor.InsertTextAtCaret(u"abc");
  editor.ReadOnly = true;
  editor.UndoLastGroup();
  editor.RedoLastGroup();
  EXPECT_EQ(editor.BeepCount(), 2);
  EXPECT_EQ(Text(), "abc");
}

// Random edits, each then undone and redone: every undo gives back exactly
// the document before the change, and redo the one after it.
TEST_F(UndoEditorTest, RandomEditsUndoAndRedoExactly) {
  ScopedRandomSeed seed(20261210);
  const std::u16string pieces[] = {u"ab", u"\r\n", u"c\td", u"\v", u"e\ff", u"\u4E2D", u"g\r\nh\r\n"};
  auto randomPosition = [&] {
    int itemNo = Random::Next(editor.CountItems());
    int first = editor.RVData().ItemStartOffset(itemNo);
    return TRVPosition{itemNo, first + Random::Next(editor.RVData().ItemEndOffset(itemNo) - first + 1)};
  };
  TRVListInfo& list = style.AppendListStyle();
  list.Levels.Add().ListType = rvlstDecimal;
  list.Levels.Items(0).FormatString = "%0:s.";
  for (int i = 0; i < 3; ++i) {
    auto marker = std::make_unique<TRVMarkerItemInfo>(0, 0);
    marker->ParaNo = 0;
    editor.RVData().AppendItem({}, std::move(marker));
    editor.RVData().AppendTextItem("list", 0, -1);
  }
  editor.Format();
  auto markersAreSound = [&] {
    const TCustomRVData& data = editor.RVData();
    for (int i = 0; i < data.CountItems(); ++i) {
      if (data.ItemAt(i).StyleNo != ItemKindListMarker) continue;
      if (!data.ItemStartsPara(i) || i + 1 >= data.CountItems() || !data.ItemAt(i + 1).ContinuesPara()) return false;
    }
    return true;
  };
  int changes = 0;
  editor.OnChange = [&] { ++changes; };
  for (int step = 0; step < 500; ++step) {
    SCOPED_TRACE(step);
    std::string before = Text();
    int changesBefore = changes;
    TRVPosition caret = randomPosition();
    editor.SetCaret(caret.ItemNo, caret.Offset);
    int operation = Random::Next(8);
    SCOPED_TRACE("operation " + std::to_string(operation) + " at " + std::to_string(caret.ItemNo) + ":" +
                 std::to_string(caret.Offset) + " in " + before);
    switch (operation) {
      case 0:
      case 1:
      case 2:
      case 3: editor.InsertTextAtCaret(pieces[Random::Next(std::size(pieces))], Random::Next(2) == 0); break;
      case 4:
      case 5: editor.TypeCharacter(u'x'); break;
      default: {
        TRVPosition end = randomPosition();
        editor.SetSelectionBounds(caret.ItemNo, caret.Offset, end.ItemNo, end.Offset);
        if (operation == 6) {
          editor.DeleteSelected();
        } else {
          editor.InsertTextAtCaret(u"s");
        }
      }
    }
    std::string after = Text();
    ASSERT_TRUE(editor.RVData().ItemStartsPara(0));
    ASSERT_TRUE(markersAreSound()) << after;
    if (changes == changesBefore) continue;
    editor.UndoLastGroup();
    ASSERT_EQ(Text(), before);
    editor.RedoLastGroup();
    ASSERT_EQ(Text(), after);
  }
  EXPECT_EQ(editor.BeepCount(), 0);
}

}  // namespace
}  // namespace varnolt
