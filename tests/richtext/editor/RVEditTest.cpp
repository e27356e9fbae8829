#include "richtext/editor/RVEdit.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/Clipboard.h"
#include "tests/richtext/RVTestDocuments.h"

namespace varnolt {
namespace {

class TestPicture : public TGraphic {
 public:
  std::string ClassName() const override { return "TBitmap"; }
  int Width() const override { return 2; }
  int Height() const override { return 2; }
  std::string SaveToBytes() const override { return "BM"; }
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TestPicture>(); }
};

class RVEditTest : public ::testing::Test {
 protected:
  RVEditTest() {
    editor.SetStyle(&style);
    editor.SetClipboard(&clipboard);
  }

  std::string Text() const { return test::Dump(editor.RVData()); }

  // Builds paragraphs from "|"-separated texts and formats them.
  void Load(std::u16string_view paragraphs) {
    editor.ClearDocument();
    std::size_t start = 0;
    while (true) {
      std::size_t bar = paragraphs.find(u'|', start);
      editor.RVData().AppendTextItemW(paragraphs.substr(start, bar - start), 0, 0);
      if (bar == std::u16string_view::npos) break;
      start = bar + 1;
    }
    editor.Format();
  }

  TRVPosition Caret() const { return editor.Caret(); }

  TRVStyle style;
  MemoryClipboard clipboard;
  TRichDocEdit editor;
};

// --- inserting text ---

TEST_F(RVEditTest, InsertingIntoANewEditor) {
  EXPECT_FALSE(editor.Modified());
  editor.InsertTextAtCaret(u"ab\r\ncd");
  EXPECT_EQ(Text(), "ab|cd");
  EXPECT_EQ(Caret(), (TRVPosition{1, 3}));
  EXPECT_TRUE(editor.Modified());
  EXPECT_EQ(editor.UndoList().Count(), 1);
  EXPECT_EQ(editor.UndoList().LastGroup()->GroupKind, kUndoKindInsert);
}

struct InsertCase {
  const char16_t* document;
  TRVPosition caret;
  const char16_t* text;
  const char* result;
  TRVPosition caretAfter;
  TRVPosition caretBefore;
};

TEST_F(RVEditTest, InsertedTextJoinsTheCaretsLine) {
  const InsertCase cases[] = {
      {u"abcd", {0, 3}, u"X", "abXcd", {0, 4}, {0, 3}},
      {u"abcd", {0, 3}, u"1\r\n2", "ab1|2cd", {1, 2}, {0, 3}},
      {u"abcd", {0, 1}, u"X", "Xabcd", {0, 2}, {0, 1}},
      {u"abcd", {0, 5}, u"X\r\n", "abcdX|{}", {1, 1}, {0, 5}},
      {u"a|b", {1, 1}, u"X", "a|Xb", {1, 2}, {1, 1}},
      {u"a|b", {0, 2}, u"\r\n", "a|{}|b", {1, 1}, {0, 2}},
      {u"ab", {0, 2}, u"\t", "a+<tab>+b", {1, 1}, {0, 2}},
      {u"", {0, 1}, u"\fx", "{}#x", {1, 2}, {0, 1}},
  };
  for (bool before : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(Utf16ToUtf8(c.document) + " + " + Utf16ToUtf8(c.text) + (before ? " caret before" : ""));
      Load(c.document);
      std::string original = Text();
      editor.SetCaret(c.caret.ItemNo, c.caret.Offset);
      editor.InsertTextAtCaret(c.text, before);
      EXPECT_EQ(Text(), c.result);
      EXPECT_EQ(Caret(), before ? c.caretBefore : c.caretAfter);
      editor.UndoLastGroup();
      EXPECT_EQ(Text(), original);
      EXPECT_EQ(Caret(), c.caret);
      editor.RedoLastGroup();
      EXPECT_EQ(Text(), c.result);
    }
  }
}

TEST_F(RVEditTest, AnEmptyTextChangesNothing) {
  Load(u"a");
  editor.InsertTextAtCaret(u"");
  editor.InsertTextAtCaret(u"\uFEFF");
  EXPECT_FALSE(editor.Modified());
  EXPECT_EQ(editor.UndoList().Count(), 0);
}

TEST_F(RVEditTest, SelectedContentIsReplaced) {
  Load(u"abcd|efgh");
  editor.SetSelectionBounds(0, 2, 1, 3);
  editor.InsertTextAtCaret(u"X");
  EXPECT_EQ(Text(), "aXgh");
  EXPECT_EQ(editor.UndoList().Count(), 1) << "deletion and insertion are one step";
  editor.UndoLastGroup();
  EXPECT_EQ(Text(), "abcd|efgh");
}

TEST_F(RVEditTest, ANonUnicodeCurrentStyleGivesWayToDefUnicodeStyle) {
  TFontInfo& ansi = style.AppendTextStyle();
  ansi.Unicode = false;
  Load(u"");
  editor.CurTextStyleNo = 6;
  editor.InsertTextAtCaret(u"\u4E2D");
  EXPECT_EQ(editor.ItemTextAt(0), u"?") << "without DefUnicodeStyle the text goes into the 8-bit style";
  style.DefUnicodeStyle = 1;
  editor.CurTextStyleNo = 6;
  editor.InsertTextAtCaret(u"\u4E2D");
  EXPECT_EQ(editor.CurTextStyleNo, 1);
  EXPECT_EQ(editor.ItemTextAt(editor.CountItems() - 1), u"\u4E2D");
}

TEST_F(RVEditTest, ListParagraphsSplitIntoListParagraphs) {
  TRVListInfo& list = style.AppendListStyle();
  list.Levels.Add().ListType = rvlstDecimal;
  list.Levels.Items(0).FormatString = "%0:s.";
  editor.ClearDocument();
  auto marker = std::make_unique<TRVMarkerItemInfo>(0, 0);
  marker->Reset = true;
  marker->ResetValue = 4;
  marker->ParaNo = 0;
  editor.RVData().AppendItem({}, std::move(marker));
  editor.RVData().AppendTextItem("ab", 0, -1);
  editor.Format();
  editor.SetCaret(1, 2);
  editor.InsertTextAtCaret(u"1\r\n2");
  EXPECT_EQ(Text(), "<marker>+a1|<marker>+2b");
  EXPECT_EQ(editor.RVData().ItemAs<TRVMarkerItemInfo>(2).DisplayString, u"5.");
  std::string text;
  editor.SelectWholeDocument();
  EXPECT_TRUE(editor.RVData().ExtractText({}, text, 80, true, false, false, false));
  EXPECT_EQ(text, "4. a1\r\n5. 2b");
}

// --- the editability check ---

TEST_F(RVEditTest, RefusedChangesBeepAndChangeNothing) {
  struct Case {
    const char* name;
    std::function<void(TRichDocEdit&, TRVStyle&)> refuse;
    int beeps;
  };
  const Case cases[] = {
      {"read-only", [](TRichDocEdit& e, TRVStyle&) { e.ReadOnly = true; }, 1},
      {"OnChanging says no", [](TRichDocEdit& e, TRVStyle&) { e.OnChanging = [](bool& allow) { allow = false; }; }, 1},
      {"without sound", [](TRichDocEdit& e, TRVStyle& s) {
         e.ReadOnly = true;
         s.UseSound = false;
       }, 0},
      {"a table holds the mouse", [](TRichDocEdit& e, TRVStyle&) { e.SetCaptureItem(&e.ItemAt(0)); }, 1},
      {"read-only paragraph", [](TRichDocEdit&, TRVStyle& s) { s.ParaStyles.Items(0).Options.Include(rvpaoReadOnly); }, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TRVStyle sheet;
    TRichDocEdit edit;
    edit.SetStyle(&sheet);
    edit.RVData().AppendTextItem("a", 0, 0);
    edit.Format();
    edit.SetCaret(0, 2);
    c.refuse(edit, sheet);
    edit.InsertTextAtCaret(u"x");
    EXPECT_FALSE(edit.InsertPictureAtCaret(u"p", std::make_unique<TestPicture>(), rvvaBaseline));
    EXPECT_EQ(test::Dump(edit.RVData()), "a");
    EXPECT_FALSE(edit.Modified());
    EXPECT_EQ(edit.BeepCount(), 2 * c.beeps);
  }
}

TEST_F(RVEditTest, EnsureEditableWithoutAStyleSheetOrWithCapture) {
  TRichDocEdit bare;
  EXPECT_FALSE(bare.EnsureEditable(false));
  Load(u"a");
  editor.SetCaptureItem(&editor.ItemAt(0));
  EXPECT_FALSE(editor.EnsureEditable(false));
  EXPECT_TRUE(editor.EnsureEditable(true));
  int asked = 0;
  editor.OnChanging = [&](bool& allow) {
    ++asked;
    EXPECT_TRUE(allow);
  };
  EXPECT_TRUE(editor.EnsureEditable(true));
  EXPECT_EQ(asked, 1);
}

// --- pictures ---

TEST_F(RVEditTest, InsertingAPicture) {
  Load(u"ab");
  editor.SetCaret(0, 2);
  EXPECT_TRUE(editor.InsertPictureAtCaret(u"photo", std::make_unique<TestPicture>(), rvvaAbsMiddle));
  EXPECT_EQ(Text(), "a+<picture>+b");
  EXPECT_EQ(Caret(), (TRVPosition{1, 1}));
  const auto& picture = editor.RVData().ItemAs<TRVGraphicItemInfo>(1);
  EXPECT_EQ(picture.VAlign, rvvaAbsMiddle);
  EXPECT_EQ(editor.RVData().ItemTextAt(1), u"photo");
  EXPECT_EQ(editor.ItemTextAt(1), u"") << "the editor gives no text for objects";
  EXPECT_EQ(editor.EffectiveStyleOf(1), ItemKindPicture);
  EXPECT_EQ(editor.IndexOfItem(&picture), 1);
  EXPECT_FALSE(editor.InsertPictureAtCaret(u"none", nullptr, rvvaBaseline));
}

// --- selection, clipboard text ---

TEST_F(RVEditTest, CopyingTheWholeDocumentAsUnicodeText) {
  Load(u"a\u4E2D|b");
  clipboard.SetText("old");
  editor.CopyAsUnicodeText();
  EXPECT_EQ(clipboard.Text(), "old") << "no selection leaves the clipboard alone";
  EXPECT_FALSE(editor.HasSelection());

  int selectionChanges = 0;
  editor.OnSelectionChanged = [&] { ++selectionChanges; };
  editor.SelectWholeDocument();
  EXPECT_EQ(selectionChanges, 1);
  EXPECT_TRUE(editor.HasSelection());
  editor.CopyAsUnicodeText();
  EXPECT_EQ(clipboard.GetData(kCfUnicodeText), Utf16ToBytes(std::u16string(u"a\u4E2D\r\nb\0", 6)));
  EXPECT_EQ(clipboard.UnicodeText(), u"a\u4E2D\r\nb");
  EXPECT_EQ(clipboard.Text(), "a?\r\nb");
  EXPECT_EQ(editor.SelectedText(false), "a?\r\nb");
}

TEST_F(RVEditTest, SelectingAnEmptyDocumentDoesNothing) {
  editor.SelectWholeDocument();
  EXPECT_FALSE(editor.HasSelection());
  EXPECT_EQ(editor.CaretItemIndex(), -1);
}

TEST_F(RVEditTest, PastingUnicodeText) {
  Load(u"ab");
  editor.SetCaret(0, 2);
  editor.PasteUnicodeText();
  EXPECT_FALSE(editor.Modified()) << "nothing on the clipboard";
  clipboard.SetData(kCfUnicodeText, Utf16ToBytes(std::u16string(u"x\r\ny\0ignored", 12)));
  editor.PasteUnicodeText();
  EXPECT_EQ(Text(), "ax|yb");
  EXPECT_EQ(Caret(), (TRVPosition{1, 2}));
  editor.ReadOnly = true;
  editor.PasteUnicodeText();
  EXPECT_EQ(editor.BeepCount(), 1);
}

// --- deleting ---

struct DeleteCase {
  const char16_t* document;
  TRVPosition from;
  TRVPosition to;
  const char* result;
  TRVPosition caret;
};

TEST_F(RVEditTest, DeletingTheSelectionAndUndoingIt) {
  const DeleteCase cases[] = {
      {u"abc|def|ghi", {0, 2}, {2, 2}, "a+hi", {0, 2}},
      {u"abc|def|ghi", {0, 1}, {2, 4}, "{}", {0, 1}},
      {u"abc|def|ghi", {2, 4}, {0, 1}, "{}", {0, 1}},
      {u"abc|def|ghi", {1, 1}, {1, 4}, "abc|{}|ghi", {1, 1}},
      {u"abc|def|ghi", {0, 4}, {1, 4}, "abc|ghi", {0, 4}},
      {u"abc|def|ghi", {0, 4}, {1, 1}, "abc+def|ghi", {0, 4}},
      {u"abc|def|ghi", {1, 1}, {2, 1}, "abc|ghi", {1, 1}},
      {u"abc|def|ghi", {1, 1}, {2, 4}, "abc|{}", {1, 1}},
      {u"abc|def|ghi", {1, 2}, {2, 4}, "abc|d", {1, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.document) + " " + std::to_string(c.from.ItemNo) + ":" + std::to_string(c.from.Offset) +
                 "-" + std::to_string(c.to.ItemNo) + ":" + std::to_string(c.to.Offset));
    Load(c.document);
    std::string original = Text();
    editor.SetSelectionBounds(c.from.ItemNo, c.from.Offset, c.to.ItemNo, c.to.Offset);
    editor.DeleteSelected();
    EXPECT_EQ(Text(), c.result);
    EXPECT_EQ(Caret(), c.caret);
    EXPECT_FALSE(editor.HasSelection());
    EXPECT_EQ(editor.UndoList().LastGroup()->GroupKind, kUndoKindDelete);
    editor.UndoLastGroup();
    EXPECT_EQ(Text(), original);
    editor.RedoLastGroup();
    EXPECT_EQ(Text(), c.result);
  }
}

TEST_F(RVEditTest, DeletingKeepsParagraphsAndObjectsSound) {
  editor.ClearDocument();
  TCustomRVData& data = editor.RVData();
  data.AppendTextItem("a", 0, 1);
  auto line = std::make_unique<TRVBreakItemInfo>();
  line->ParaNo = 0;
  data.AppendItem({}, std::move(line));
  data.AppendTextItem("b", 0, 0);
  data.AppendTextItem("c", 0, 0);
  editor.Format();

  editor.SetSelectionBounds(1, 0, 2, 2);
  editor.DeleteSelected();
  EXPECT_EQ(Text(), "a|{}|c") << "the line and paragraph b go, leaving the paragraph where the selection began";
  EXPECT_EQ(data.ItemParaNo(0), 1);
  editor.UndoLastGroup();
  editor.SetSelectionBounds(0, 2, 2, 1);
  editor.DeleteSelected();
  EXPECT_EQ(Text(), "a+b|c") << "the rest of the last paragraph joins the first";
  EXPECT_EQ(data.ItemParaNo(1), 1);
}

TEST_F(RVEditTest, ProtectedContentIsNotDeleted) {
  Load(u"ab|cd");
  auto picture = std::make_unique<TRVGraphicItemInfo>(std::make_unique<TestPicture>(), rvvaBaseline);
  picture->DeleteProtect = true;
  picture->ParaNo = -1;
  editor.RVData().AppendItem({}, std::move(picture));
  editor.Format();
  editor.SetSelectionBounds(0, 2, 2, 1);
  editor.DeleteSelected();
  editor.InsertTextAtCaret(u"replacement");
  EXPECT_EQ(Text(), "ab|cd+<picture>");
  EXPECT_EQ(editor.BeepCount(), 2);
  EXPECT_FALSE(editor.Modified());
  EXPECT_EQ(editor.UndoList().Count(), 0);
}

// --- clearing, formatting, notices ---

TEST_F(RVEditTest, ClearingEmptiesDocumentLinesAndHistory) {
  Load(u"a|b");
  editor.InsertTextAtCaret(u"x");
  ASSERT_GT(editor.Layout().ParagraphCount(), 0);
  editor.ClearDocument();
  EXPECT_EQ(editor.CountItems(), 0);
  EXPECT_EQ(editor.Layout().ParagraphCount(), 0) << "no repaint may walk the removed items";
  EXPECT_FALSE(editor.Modified());
  EXPECT_EQ(editor.CaretItemIndex(), -1);
  editor.UndoLastGroup();
  editor.RedoLastGroup();
  EXPECT_EQ(editor.BeepCount(), 2) << "both lists are empty";

  editor.Format();
  EXPECT_EQ(Text(), "{}") << "a formatted editor is never empty";
  EXPECT_EQ(editor.CaretItemIndex(), 0);
}

TEST_F(RVEditTest, RepaintAndReformatNotices) {
  Load(u"a");
  int reformats = 0;
  int repaints = 0;
  editor.Layout().OnReformat = [&] { ++reformats; };
  editor.Layout().OnRepaint = [&] { ++repaints; };
  editor.ReformatDocument();
  EXPECT_EQ(reformats, 1);
  EXPECT_EQ(repaints, 1);
  editor.SetOptions(TRVOptions{rvoAllowSelection});
  editor.ReformatDocument();
  EXPECT_EQ(repaints, 1) << "no invalidation without rvoFormatInvalidate";
  editor.RepaintEditor();
  EXPECT_EQ(repaints, 2);
  editor.InsertTextAtCaret(u"b");
  EXPECT_EQ(reformats, 3) << "every change leaves a formatted view";
}

TEST_F(RVEditTest, ChangesBetweenBeginAndEndUpdateLayOutOnce) {
  Load(u"a");
  int reformats = 0;
  editor.Layout().OnReformat = [&] { ++reformats; };
  editor.BeginUpdate();
  editor.BeginUpdate();
  editor.InsertTextAtCaret(u"b\rc");
  editor.InsertTextAtCaret(u"\rd");
  editor.EndUpdate();
  EXPECT_EQ(reformats, 0) << "the outer bracket still holds";
  // What reads the lines gets them even inside the bracket.
  editor.KeyDown(rvkEnd, {ssCtrl});
  EXPECT_EQ(editor.Layout().ParagraphCount(), 3);
  EXPECT_EQ(reformats, 1);
  editor.EndUpdate();
  EXPECT_EQ(reformats, 1) << "nothing changed since the lines were read";
  editor.InsertTextAtCaret(u"e");
  EXPECT_EQ(reformats, 2) << "outside the bracket each change lays out at once";
  editor.EndUpdate();  // unbalanced: nothing happens
  EXPECT_EQ(reformats, 2);
  EXPECT_EQ(Text(), "b|c|dae");
}

// An editor no view shows lays out only when its lines are asked for, once
// for all the changes before.
TEST_F(RVEditTest, FormattingOnDemandWaitsForWhatReadsTheLines) {
  Load(u"a");
  int reformats = 0;
  editor.Layout().OnReformat = [&] { ++reformats; };
  editor.SetFormatOnDemand(true);
  editor.InsertTextAtCaret(u"b\rc");
  editor.TypeCharacter(u'x');
  editor.ReformatDocument();
  EXPECT_EQ(reformats, 1) << "an explicit reformat still lays out";
  editor.InsertTextAtCaret(u"\rd");
  editor.TypeCharacter(u'y');
  EXPECT_EQ(reformats, 1);
  EXPECT_EQ(editor.Layout().ParagraphCount(), 3);
  EXPECT_EQ(reformats, 2);
  EXPECT_EQ(editor.Layout().ParagraphCount(), 3);
  EXPECT_EQ(reformats, 2) << "nothing changed since";
  EXPECT_EQ(Text(), "b|cx|dya") << "inserted before the a, where the caret was";
}

TEST_F(RVEditTest, TheLayoutHoldsEveryItemOnItsLine) {
  editor.ClearDocument();
  TCustomRVData& data = editor.RVData();
  data.AppendTextItem("a", 0, 0);
  data.AppendTextItem("b", 0, -1);
  data.AppendTextItem("c", 0, 0);
  auto broken = std::make_unique<TRVTabItemInfo>();
  broken->ParaNo = 0;
  broken->SetLineBreakBefore(true);
  data.AppendItem({}, std::move(broken));
  editor.Format();
  const TRVLayout& layout = editor.Layout();
  ASSERT_EQ(layout.ParagraphCount(), 2);
  EXPECT_EQ(layout.Paragraph(1).Lines.size(), 2u) << "the line break starts a line in the same paragraph";
  EXPECT_EQ(layout.LineOf({1, 2}), (TRVLineRef{0, 0}));
  EXPECT_EQ(layout.LineOf({3, 1}), (TRVLineRef{1, 1}));
  EXPECT_EQ(layout.LineStart({0, 0}), (TRVPosition{0, 1}));
  EXPECT_EQ(layout.LineEnd({0, 0}), (TRVPosition{1, 2}));
  EXPECT_EQ(layout.LineEnd({1, 1}), (TRVPosition{3, 1}));
  EXPECT_FALSE(layout.LineOf({9, 1}).Valid());
}

// --- the cell editor ---

TEST_F(RVEditTest, AnActiveCellEditorTakesTheOperations) {
  Load(u"outer");
  TRichDocEdit cell;
  cell.SetStyle(&style);
  cell.Format();
  editor.SetInplaceEditor(&cell);
  editor.InsertTextAtCaret(u"in cell");
  EXPECT_EQ(test::Dump(cell.RVData()), "in cell");
  EXPECT_EQ(Text(), "outer");
  EXPECT_EQ(editor.CaretItemIndex(), 0);
  editor.SelectWholeDocument();
  EXPECT_TRUE(editor.HasSelection());
  EXPECT_EQ(editor.SelectedText(false), "in cell");

  editor.UndoLastGroup();
  EXPECT_EQ(test::Dump(cell.RVData()), "{}") << "the cell's own history first";
  editor.SetInplaceEditor(nullptr);
  editor.InsertTextAtCaret(u"!");
  editor.SetInplaceEditor(&cell);
  editor.UndoLastGroup();
  EXPECT_EQ(Text(), "outer") << "then the outer one, leaving the cell";
  EXPECT_EQ(editor.InplaceEditor(), nullptr);
}

}  // namespace
}  // namespace varnolt
