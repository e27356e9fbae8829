#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "platform/Clipboard.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/editor/RVEdit.h"
#include "richtext/rtf/import/RVRTFProps.h"
#include "richtext/rtf/writer/RVRTFWriter.h"
#include "richtext/style/RVStyle.h"
#include "tests/richtext/RVTestDocuments.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

class RVEditClipboardTest : public ::testing::Test {
 protected:
  RVEditClipboardTest() {
    formats = RegisterEngineFormats(clipboard);
    for (auto* editor : {&source, &target}) {
      editor->SetStyle(&style);
      editor->SetClipboard(&clipboard);
    }
  }

  // "a" in Normal text, then "b" in Heading, then a second paragraph.
  void LoadStyledSource() {
    source.ClearDocument();
    source.RVData().AppendTextItemW(u"plain ", 0, 0);
    source.RVData().AppendTextItemW(u"heading", 1, 0);
    source.RVData().ItemAt(1).SetContinuesPara(true);
    source.RVData().AppendTextItemW(u"second \u4E2D", 3, 1);
    source.Format();
  }

  TRVStyle style;
  MemoryClipboard clipboard;
  EngineClipboardFormats formats;
  TRichDocEdit source;
  TRichDocEdit target;
};

TEST_F(RVEditClipboardTest, CopyAllFormatsPutsFiveFormatsInOrderWithTheirLayouts) {
  LoadStyledSource();
  source.SelectWholeDocument();
  source.CopyAllFormats();
  const auto formatsPut = clipboard.Formats();
  ASSERT_GE(formatsPut.size(), 4u);
  EXPECT_EQ((std::vector<ClipboardFormat>(formatsPut.begin(), formatsPut.begin() + 4)),
            (std::vector<ClipboardFormat>{formats.richDoc, kCfText, kCfUnicodeText, formats.richText}));
  const std::string rvf = *clipboard.GetData(formats.richDoc);
  const std::uint32_t length = static_cast<unsigned char>(rvf[0]) | static_cast<unsigned char>(rvf[1]) << 8 |
                               static_cast<unsigned char>(rvf[2]) << 16 |
                               static_cast<std::uint32_t>(static_cast<unsigned char>(rvf[3])) << 24;
  EXPECT_EQ(length, rvf.size() - 4);
  EXPECT_EQ(*clipboard.GetData(kCfText), std::string("plain heading\r\nsecond ?") + '\0');
  EXPECT_EQ(clipboard.UnicodeText(), u"plain heading\r\nsecond \u4E2D");
  EXPECT_EQ(clipboard.GetData(kCfUnicodeText)->size() % 2, 0u);
  EXPECT_TRUE(clipboard.GetData(formats.richText)->starts_with("{\\rtf1"));
}

TEST_F(RVEditClipboardTest, CopyingNothingLeavesTheClipboardAlone) {
  clipboard.SetUnicodeText(u"kept");
  source.InsertTextAtCaret(u"not selected");
  source.CopyAllFormats();
  EXPECT_FALSE(source.CopyByOptions()) << "no format is asked for";
  source.SetOptions(TRVOptions{rvoAutoCopyUnicodeText, rvoAutoCopyRTF});
  EXPECT_TRUE(source.CopyByOptions());
  EXPECT_EQ(clipboard.Formats(), (std::vector<ClipboardFormat>{kCfUnicodeText, kCfText, kCfOemText}));
  EXPECT_EQ(clipboard.UnicodeText(), u"kept");
}

TEST_F(RVEditClipboardTest, APastedPageKeepsItsItemsAndStyles) {
  LoadStyledSource();
  source.SelectWholeDocument();
  source.CopyAllFormats();
  target.PasteFromClipboard();
  EXPECT_EQ(test::Dump(target.RVData()), "plain +heading|second \xE4\xB8\xAD");
  ASSERT_EQ(target.CountItems(), 3);
  EXPECT_EQ(target.ItemAt(0).StyleNo, 0);
  EXPECT_EQ(target.ItemAt(1).StyleNo, 1);
  EXPECT_EQ(target.ItemAt(2).StyleNo, 3);
  EXPECT_EQ(target.ItemAt(2).ParaNo, 1);
  // One undo step, and the caret after the pasted content.
  EXPECT_EQ(target.Caret(), (TRVPosition{2, 9}));
  target.UndoLastGroup();
  EXPECT_EQ(test::Dump(target.RVData()), "{}");
}

TEST_F(RVEditClipboardTest, PasteTakesTheRichestFormatOffered) {
  // RVF wins over RTF.
  source.InsertTextAtCaret(u"from rvf");
  source.SelectWholeDocument();
  source.CopyAllFormats();
  clipboard.SetData(formats.richText, "{\\rtf1\\ansi from rtf}");
  target.PasteFromClipboard();
  EXPECT_EQ(test::Dump(target.RVData()), "from rvf");

  // RTF when there is no RVF.
  target.ClearDocument();
  clipboard.Empty();
  clipboard.SetData(formats.richText, "{\\rtf1\\ansi from {\\b rtf}}");
  target.PasteFromClipboard();
  EXPECT_EQ(Utf16ToUtf8(target.ItemTextAt(0)) + Utf16ToUtf8(target.ItemTextAt(target.CountItems() - 1)),
            "from rtf");

  // Unicode text when the current style is a Unicode style.
  target.ClearDocument();
  clipboard.Empty();
  clipboard.SetUnicodeText(u"\u4E2D text");
  target.PasteFromClipboard();
  EXPECT_EQ(test::Dump(target.RVData()), "\xE4\xB8\xAD text");
}

TEST_F(RVEditClipboardTest, EightBitTextIsTakenInTheCurrentStylesCodePage) {
  style.TextStyleAt(0).Unicode = false;
  target.CurTextStyleNo = 0;
  clipboard.SetData(kCfText, std::string("caf\xE9") + '\0');
  target.PasteFromClipboard();
  EXPECT_EQ(target.ItemTextAt(0), u"caf\u00E9");
}

TEST_F(RVEditClipboardTest, CutCopiesByOptionsAndDeletes) {
  source.SetOptions(TRVOptions{rvoAllowSelection, rvoAutoCopyUnicodeText, rvoAutoCopyRVF});
  source.InsertTextAtCaret(u"cut me");
  source.SelectWholeDocument();
  source.CutSelection();
  EXPECT_EQ(clipboard.UnicodeText(), u"cut me");
  EXPECT_TRUE(clipboard.HasFormat(formats.richDoc));
  EXPECT_FALSE(clipboard.HasFormat(formats.richText));
  EXPECT_EQ(test::Dump(source.RVData()), "{}");

  source.SetOptions(TRVOptions{rvoAllowSelection});
  source.InsertTextAtCaret(u"stays");
  source.SelectWholeDocument();
  source.CutSelection();
  EXPECT_EQ(test::Dump(source.RVData()), "stays");
}

TEST_F(RVEditClipboardTest, RtfFilesGoInAtTheCaretAndComeOutWhole) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "in.rtf", "{\\rtf1\\ansi first\\par second\\par}");
  EXPECT_TRUE(target.ImportRtfFileAtCaret((dir / "in.rtf").string()));
  EXPECT_EQ(test::Dump(target.RVData()).substr(0, 12), "first|second");

  EXPECT_FALSE(target.ImportRtfFileAtCaret((dir / "missing.rtf").string()));
  EXPECT_EQ(target.RTFReadProperties.ErrorCode(), kRtfFileError);

  ASSERT_TRUE(target.WriteRtfFile(dir / "out.rtf", false));
  const std::string written = test::ReadFileBytes(dir / "out.rtf");
  EXPECT_TRUE(written.starts_with("{\\rtf1"));
  EXPECT_NE(written.find("first"), std::string::npos);
  EXPECT_NE(written.find("second"), std::string::npos);
}

TEST_F(RVEditClipboardTest, KeysEditAndMoveTheCaret) {
  target.InsertTextAtCaret(u"abc\r\ndef");
  target.KeyDown(rvkHome, {ssCtrl});
  EXPECT_EQ(target.Caret(), (TRVPosition{0, 1}));
  target.KeyDown(rvkRight, {ssShift});
  target.KeyDown(rvkRight, {ssShift});
  target.KeyPress(u'X');
  EXPECT_EQ(test::Dump(target.RVData()), "Xc|def");
  target.KeyDown(rvkEnd, {});
  // Deleting the paragraph end joins the two paragraphs.
  target.KeyDown(rvkDelete, {});
  EXPECT_EQ(test::Dump(target.RVData()), "Xc+def");
  target.KeyDown(rvkBack, {});
  EXPECT_EQ(test::Dump(target.RVData()), "X+def");
  target.KeyDown(rvkReturn, {});
  EXPECT_EQ(test::Dump(target.RVData()), "X|def");
  target.KeyDown(rvkZ, {ssCtrl});
  EXPECT_EQ(test::Dump(target.RVData()), "X+def");
  target.KeyDown(rvkZ, {ssCtrl, ssShift});
  EXPECT_EQ(test::Dump(target.RVData()), "X|def");
  target.KeyDown(rvkUp, {});
  EXPECT_EQ(target.Caret().ItemNo, 0);
  target.KeyDown(rvkEnd, {ssCtrl});
  EXPECT_EQ(target.Caret(), (TRVPosition{1, 4}));

  target.EditorOptions.Include(rvoDoNotWantReturns);
  target.KeyDown(rvkReturn, {});
  EXPECT_EQ(test::Dump(target.RVData()), "X|def");
  target.KeyDown(rvkHome, {ssCtrl});
  target.KeyDown(rvkEnd, {ssCtrl, ssShift});
  target.SetOptions(TRVOptions{rvoAllowSelection, rvoAutoCopyUnicodeText});
  target.KeyDown(rvkC, {ssCtrl});
  EXPECT_EQ(clipboard.UnicodeText(), u"X\r\ndef");
}

// List ids are drawn at random for every RTF written.
std::string WithoutListIds(const std::string& rtf) {
  static const std::regex kIds(R"(\\(listid|listtemplateid)-?[0-9]+)");
  return std::regex_replace(rtf, kIds, "\\$1");
}

struct MoveCase {
  const char* name;
  const char* fixture;  // in the test data, or nullptr for rtf
  const char* rtf;
  std::int32_t kind;  // an item kind the page holds; 0 for text
  bool moves;         // false: the content is one the RVF would change
};

// A footnote without pictures; its number and the note's own text are
// documents of their own.
constexpr const char* kFootnoteRtf =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 before{\\super\\chftn}"
    "{\\footnote\\pard\\plain{\\super\\chftn} the note\\par}\\tab after\\par second\\par}";

class RVEditMoveTest : public RVEditClipboardTest, public ::testing::WithParamInterface<MoveCase> {
 protected:
  // The fixture read as a page reads it, into a page-like editor.
  void LoadPage(TRichDocEdit& page) {
    page.RTFReadProperties.TextStyleMode = rvrsAddIfNeeded;
    page.RTFReadProperties.ParaStyleMode = rvrsAddIfNeeded;
    page.ClearDocument();
    const MoveCase& input = GetParam();
    page.InsertRTF(page.RTFReadProperties,
                   input.fixture != nullptr ? test::ReadFileBytes(test::TestDataDir() / input.fixture) : input.rtf);
    page.SelectWholeDocument();
  }

  // What the editor holds, in both stored forms.
  static std::pair<std::string, std::string> Contents(TRichDocEdit& editor) {
    editor.SelectWholeDocument();
    MemoryOutputStream rtf;
    EXPECT_TRUE(WriteRTF(editor.RVData(), rtf, u"", false, clWhite, nullptr, nullptr));
    return {editor.SelectionAsRvfBlock(), WithoutListIds(rtf.Bytes())};
  }
};

TEST_P(RVEditMoveTest, MovingAPageGivesWhatPastingItsRvfGives) {
  TRichDocEdit pasteSource;
  pasteSource.SetStyle(&style);
  LoadPage(pasteSource);
  LoadPage(source);
  TRichDocEdit pasted;
  pasted.SetStyle(&style);
  for (auto* editor : {&pasted, &target}) editor->InsertTextAtCaret(u"before\r");

  ASSERT_TRUE(pasted.PasteRvf(pasteSource.SelectionAsRvfBlock()));
  const int itemsBefore = source.CountItems();
  bool holdsKind = false;
  for (int i = 0; i < itemsBefore; ++i) {
    const TCustomRVItemInfo& item = source.ItemAt(i);
    holdsKind = holdsKind || (GetParam().kind == 0 ? item.IsText() : item.StyleNo == GetParam().kind);
  }
  ASSERT_TRUE(holdsKind) << "the page holds what the case is about";
  ASSERT_EQ(source.MoveDocumentInto(target), GetParam().moves);
  if (!GetParam().moves) {
    EXPECT_EQ(source.CountItems(), itemsBefore) << "nothing moves";
    return;
  }
  EXPECT_EQ(source.CountItems(), 0);
  EXPECT_EQ(Contents(target), Contents(pasted));
  // The move is one undo step like the paste, back to the empty paragraph.
  target.UndoLastGroup();
  EXPECT_EQ(test::Dump(target.RVData()), "before|{}");
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RVEditMoveTest,
                         ::testing::Values(MoveCase{"tables", "rtf/tables.rtf", nullptr, ItemKindTable, true},
                                           MoveCase{"lists", "rtf/lists.rtf", nullptr, ItemKindListMarker, true},
                                           MoveCase{"scripts", "rtf/scripts.rtf", nullptr, 0, true},
                                           MoveCase{"codepages", "rtf/codepages.rtf", nullptr, 0, true},
                                           MoveCase{"footnote", nullptr, kFootnoteRtf, ItemKindFootnote, true},
                                           MoveCase{"features", "rtfimport/features.rtf", nullptr, 0, true},
                                           MoveCase{"pictures", "rtf/notes-pictures.rtf", nullptr, ItemKindPicture, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RVEditClipboardTest, MovingTypedPagesLeavesOutWhatTheirRvfLeavesOut) {
  // The RVF of a whole document leaves out an empty paragraph at either end;
  // checkpoints travel with their items, one after the last item is dropped.
  const struct {
    const char16_t* text;
    bool checkpoints;
  } cases[] = {{u"one", false},       {u"\rmiddle\r", false}, {u"\r\r\r", false},
               {u"a\r\rb\r\r", false}, {u"a\rb\rc", true},     {u"\ra\r", true}};
  for (const auto& page : cases) {
    SCOPED_TRACE(Utf16ToUtf8(page.text));
    TRichDocEdit pasted;
    TRichDocEdit moved;
    for (auto* editor : {&source, &pasted, &moved}) {
      editor->SetStyle(&style);
      editor->ClearDocument();
    }
    source.InsertTextAtCaret(page.text);
    if (page.checkpoints) {
      // Set while the item is outside the document, which links it in.
      auto items = source.RVData().ExtractItems(0, source.CountItems());
      items.at(1)->SetCheckpoint(std::make_unique<TRVCPInfo>(TRVCPInfo{u"inside", std::int32_t{7}, true, true}));
      source.RVData().InsertItemsAt(0, std::move(items));
      source.RVData().AddCheckpoint(u"after");
    }
    source.SelectWholeDocument();
    ASSERT_TRUE(pasted.PasteRvf(source.SelectionAsRvfBlock()));
    ASSERT_TRUE(source.MoveDocumentInto(moved));
    EXPECT_EQ(test::Dump(moved.RVData()), test::Dump(pasted.RVData()));
    EXPECT_EQ(moved.RVData().PendingCheckpoint(), nullptr);
    if (page.checkpoints) {
      ASSERT_NE(moved.RVData().FirstCheckpoint(), nullptr);
      EXPECT_EQ(moved.RVData().FirstCheckpoint()->Name, pasted.RVData().FirstCheckpoint()->Name);
    }
    pasted.SelectWholeDocument();
    moved.SelectWholeDocument();
    EXPECT_EQ(moved.SelectionAsRvfBlock(), pasted.SelectionAsRvfBlock());
  }
}

TEST_F(RVEditClipboardTest, ContentTheRvfWouldChangeIsNotMoved) {
  const struct {
    const char* what;
    std::function<void(TCustomRVData&)> change;
  } cases[] = {
      {"UTF-16 text in an 8-bit style, which the reader converts",
       [&](TCustomRVData& data) { data.ItemAt(0).SetUnicodeText(!style.TextStyleAt(0).Unicode); }},
      {"a paragraph style beyond the style sheet, which fails the reading",
       [&](TCustomRVData& data) { data.ItemAt(2).ParaNo = style.ParaStyles.Count(); }},
      {"a picture, whose metafile may gain a header",
       [](TCustomRVData& data) { data.AppendItem({}, std::make_unique<TRVGraphicItemInfo>(nullptr, rvvaBaseline)); }},
      {"a list marker of an unknown list, which the reader renumbers",
       [&](TCustomRVData& data) {
         data.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(style.ListStyles.Count(), 0));
         data.AppendTextItemW(u"item", 0, -1);
       }},
  };
  for (const auto& change : cases) {
    SCOPED_TRACE(change.what);
    LoadStyledSource();
    change.change(source.RVData());
    const int count = source.CountItems();
    target.ClearDocument();
    EXPECT_FALSE(source.MoveDocumentInto(target));
    EXPECT_EQ(source.CountItems(), count);
    EXPECT_EQ(test::Dump(target.RVData()), "");
  }
  LoadStyledSource();
  EXPECT_TRUE(source.MoveDocumentInto(target));
  EXPECT_EQ(test::Dump(target.RVData()), "plain +heading|second \xE4\xB8\xAD");
}

}  // namespace
}  // namespace varnolt
