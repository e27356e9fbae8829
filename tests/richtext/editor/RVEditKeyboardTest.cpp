// Keys that move over formatted lines and delete words, with the editor's
// layout at a width that wraps (fixed metrics: 6 pixels a character).
#include <gtest/gtest.h>

#include "richtext/editor/RVEdit.h"
#include "tests/richtext/RVTestDocuments.h"

namespace varnolt {
namespace {

class RVEditKeyboardTest : public ::testing::Test {
 protected:
  RVEditKeyboardTest() {
    editor.SetStyle(&style);
    editor.Layout().SetWidth(48);
  }

  void Load(std::u16string_view text) {
    editor.ClearDocument();
    editor.RVData().AppendTextItemW(text, 0, 0);
    editor.Format();
  }

  std::string Text() const { return test::Dump(editor.RVData()); }

  TRVStyle style;
  TRichDocEdit editor;
};

TEST_F(RVEditKeyboardTest, HomeEndUpAndDownMoveByWrappedLines) {
  Load(u"aaa bbb ccc dd eee");  // lines "aaa bbb ", "ccc dd ", "eee"
  editor.SetCaret(0, 3);
  editor.KeyDown(rvkEnd, {});
  EXPECT_EQ(editor.Caret(), (TRVPosition{0, 8})) << "before the space the line broke at";
  editor.KeyDown(rvkHome, {});
  EXPECT_EQ(editor.Caret(), (TRVPosition{0, 1}));
  editor.SetCaret(0, 7);
  editor.KeyDown(rvkDown, {});
  EXPECT_EQ(editor.Caret(), (TRVPosition{0, 15})) << "same x on the next line";
  editor.KeyDown(rvkDown, {});
  EXPECT_EQ(editor.Caret(), (TRVPosition{0, 19})) << "the short last line's end";
  editor.KeyDown(rvkUp, {});
  EXPECT_EQ(editor.Caret(), (TRVPosition{0, 15})) << "the column it started from";
  editor.KeyDown(rvkDown, {ssShift});
  EXPECT_EQ(editor.SelectedText(true), std::string(" \0e\0e\0e\0", 8));
}

TEST_F(RVEditKeyboardTest, PageUpAndDownMoveByTheViewsHeight) {
  editor.ClearDocument();
  for (int i = 0; i < 50; ++i) editor.RVData().AppendTextItemW(u"line", 0, 0);
  editor.Format();
  editor.PageHeight = 100;
  editor.SetCaret(0, 2);
  editor.KeyDown(rvkPageDown, {});
  EXPECT_EQ(editor.Caret(), (TRVPosition{10, 2}));
  editor.KeyDown(rvkPageUp, {});
  EXPECT_EQ(editor.Caret(), (TRVPosition{0, 2}));
}

struct WordCase {
  int caret;
  bool back;
  const char* left;
};

TEST_F(RVEditKeyboardTest, CtrlBackspaceAndCtrlDeleteTakeAWord) {
  const WordCase cases[] = {
      {14, true, "one two "},        // end of "three"
      {9, true, "one three"},        // start of "three": "two " goes
      {1, false, "two three"},       // start: "one " goes
      {6, false, "one tthree"},      // inside "two": its rest and the space
      {1, true, "one two three"},    // nothing before the caret in the item
  };
  for (const WordCase& c : cases) {
    Load(u"one two three");
    editor.SetCaret(0, c.caret);
    editor.KeyDown(c.back ? rvkBack : rvkDelete, {ssCtrl});
    EXPECT_EQ(Text(), c.left) << c.caret << (c.back ? " back" : " delete");
  }
}

}  // namespace
}  // namespace varnolt
