#include "richtext/document/CRVDataText.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "richtext/document/CRVData.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/editor/RVEdit.h"
#include "tests/richtext/RVTestDocuments.h"

namespace varnolt {
namespace {

std::string Utf16Bytes(std::u16string_view text) { return Utf16ToBytes(text); }

class ExtractTextTest : public ::testing::Test {
 protected:
  ExtractTextTest() { data.SetRVStyle(&style); }

  void AppendObject(std::unique_ptr<TCustomRVItemInfo> item, std::int32_t paraNo) {
    item->ParaNo = paraNo;
    data.AppendItem({}, std::move(item));
  }

  std::string Whole(bool unicode, bool textOnly = true, int lineWidth = 80, bool bom = false) const {
    std::string out;
    EXPECT_TRUE(data.ExtractText({}, out, lineWidth, false, textOnly, unicode, bom));
    return out;
  }

  TRVStyle style;
  TRVEditRVData data;
};

TEST_F(ExtractTextTest, ParagraphsAndLinesEndInCrLfWithNoneAtTheEnd) {
  data.AppendTextItem("a", 0, 0);
  data.AppendTextItem("b", 0, -1);
  data.AppendTextItem("", 0, 0);
  data.AppendTextItem("c", 0, 0);
  auto lineBreak = std::make_unique<TRVTabItemInfo>();
  lineBreak->SetLineBreakBefore(true);
  AppendObject(std::move(lineBreak), 0);
  auto page = std::make_unique<TRVTextItemInfo>(0);
  page->SetPageBreakBefore(true);
  data.AppendItem(Utf16Bytes(u"d"), std::move(page));
  data.ItemAt(5).SetUnicodeText(true);

  EXPECT_EQ(Whole(false), "ab\r\n\r\nc\r\n\t\r\nd");
  EXPECT_EQ(Whole(true), Utf16Bytes(u"ab\r\n\r\nc\r\n\t\r\nd"));
  EXPECT_EQ(Whole(true, true, 80, true), Utf16Bytes(u"\uFEFFab\r\n\r\nc\r\n\t\r\nd"));
}

TEST_F(ExtractTextTest, AnEmptyDocumentWritesNothing) {
  std::string out = "kept";
  EXPECT_TRUE(data.ExtractText({}, out, 80, false, true, true, true));
  EXPECT_EQ(out, "kept");
}

TEST_F(ExtractTextTest, HorizontalLinesOnlyWhenNotTextOnly) {
  data.AppendTextItem("a", 0, 0);
  AppendObject(std::make_unique<TRVBreakItemInfo>(), 0);
  auto thick = std::make_unique<TRVBreakItemInfo>();
  thick->LineWidth = 2;
  AppendObject(std::move(thick), 0);
  data.AppendTextItem("b", 0, 0);
  EXPECT_EQ(Whole(false), "a\r\n\r\n\r\nb");
  std::string lines = "a\r\n";
  lines.append(80, '-').append("\r\n").append(80, '=').append("\r\nb");
  EXPECT_EQ(Whole(false, false, 80), lines);
  EXPECT_EQ(Whole(true, false, 0), Utf16Bytes(u"a\r\n-\r\n=\r\nb")) << "a line is at least one character";
}

TEST_F(ExtractTextTest, WhatEachKindContributes) {
  data.AppendTextItem("t", 0, 0);
  AppendObject(std::make_unique<TRVLabelItemInfo>(0, u"label"), -1);
  AppendObject(std::make_unique<TRVFootnoteItemInfo>(), -1);
  AppendObject(std::make_unique<TRVEndnoteItemInfo>(), -1);
  AppendObject(std::make_unique<TRVGraphicItemInfo>(), -1);
  AppendObject(std::make_unique<TRVBulletItemInfo>(), -1);
  AppendObject(std::make_unique<TRVControlItemInfo>(), -1);
  AppendObject(std::make_unique<TRVTabItemInfo>(), -1);
  TRVListInfo& list = style.AppendListStyle();
  list.Levels.Add().ListType = rvlstDecimal;
  list.Levels.Items(0).FormatString = "%0:s.";
  AppendObject(std::make_unique<TRVMarkerItemInfo>(0, 0), 0);
  data.AppendTextItem("m", 0, -1);

  EXPECT_EQ(Whole(false), "tlabel1i\t\r\nm") << "clipboard text leaves markers out";
  EXPECT_EQ(Whole(false, false), "tlabel1i\t\r\n1. m");
}

TEST_F(ExtractTextTest, EncodingsOfTextItems) {
  TFontInfo& cyrillic = style.AppendTextStyle();
  cyrillic.Unicode = false;
  cyrillic.Charset = 204;
  data.AppendTextItemW(u"\u20AC\u4E2D", 0, 0);
  data.AppendTextItem("\xCF", 6, -1);
  EXPECT_EQ(Whole(false), "\x80?\xCF") << "UTF-16 text goes out in the default code page";
  EXPECT_EQ(Whole(true), Utf16Bytes(u"\u20AC\u4E2D\u041F")) << "8-bit text comes in from its style's code page";
}

TEST_F(ExtractTextTest, MarkerTextsByListType) {
  TRVListInfo& list = style.AppendListStyle();
  struct Case {
    TRVListType type;
    const char* eightBit;
    std::u16string unicode;
  };
  const Case cases[] = {
      {rvlstUnicodeBullet, "* ", u"\u25CF "},
      {rvlstPicture, "* ", u"* "},
      {rvlstImageListCounter, "* ", u"* "},
      {rvlstBullet, "\xB7 ", u"\u00B7 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.type));
    list.Levels.Clear();
    TRVListLevel& level = list.Levels.Add();
    level.ListType = c.type;
    level.FormatString = "\xB7";
    level.FormatStringW.assign(1, u'\u25CF');
    data.ClearItems();
    AppendObject(std::make_unique<TRVMarkerItemInfo>(0, 0), 0);
    data.AppendTextItem("", 0, -1);
    EXPECT_EQ(Whole(false, false), c.eightBit);
    EXPECT_EQ(Whole(true, false), Utf16Bytes(c.unicode));
  }
}

TEST_F(ExtractTextTest, TheSaveItemHookMaySupplyText) {
  data.AppendTextItem("a", 0, 0);
  AppendObject(std::make_unique<TRVControlItemInfo>(), -1);
  data.Events.SaveItemAsText = [](const TCustomRVItemInfo& item, const std::u16string& path,
                                  bool unicode) -> std::optional<std::string> {
    if (item.StyleNo != ItemKindControl || unicode) return std::nullopt;
    return "[control in " + Utf16ToUtf8(path) + "]";
  };
  std::string out;
  EXPECT_TRUE(data.ExtractText(u"folder", out, 80, false, false, false, false));
  EXPECT_EQ(out, "a[control in folder]");
}

TEST_F(ExtractTextTest, SelectionsAreCutAtTheirOffsets) {
  data.AppendTextItem("abc", 0, 0);
  data.AppendTextItem("def", 0, 0);
  TRVListInfo& list = style.AppendListStyle();
  list.Levels.Add().ListType = rvlstDecimal;
  list.Levels.Items(0).FormatString = "%0:s)";
  AppendObject(std::make_unique<TRVMarkerItemInfo>(0, 0), 0);
  data.AppendTextItem("ghi", 0, -1);
  struct Case {
    TRVPosition anchor;
    TRVPosition end;
    bool textOnly;
    const char* text;
  };
  const Case cases[] = {
      {{0, 2}, {1, 3}, true, "bc\r\nde"},
      {{1, 3}, {0, 2}, true, "bc\r\nde"},
      {{0, 2}, {0, 3}, true, "b"},
      {{3, 2}, {3, 4}, false, "1) hi"},
      {{2, 0}, {3, 2}, false, "1) g"},
      {{1, 4}, {3, 1}, true, "\r\n"},
      {{1, 2}, {1, 2}, true, ""},
  };
  for (const auto& c : cases) {
    data.SelectionAnchor = c.anchor;
    data.SelectionEnd = c.end;
    std::string out;
    EXPECT_TRUE(data.ExtractText({}, out, 80, true, c.textOnly, false, false));
    EXPECT_EQ(out, c.text) << c.anchor.ItemNo << ":" << c.anchor.Offset << "-" << c.end.ItemNo << ":" << c.end.Offset;
  }
}

// An item holding cells of its own, as a table does.
class CellsItem : public TRVTabItemInfo {
 public:
  bool WriteSelectedText(TRVTextOutput& out) const override {
    out.WriteUnicode(u"selected cells");
    return true;
  }
};

TEST_F(ExtractTextTest, ASelectionInsideOneItemIsThatItemsToWrite) {
  data.AppendTextItem("a", 0, 0);
  AppendObject(std::make_unique<CellsItem>(), -1);
  data.SelectionAnchor = {1, 0};
  data.SelectionEnd = {1, 1};
  std::string out;
  EXPECT_TRUE(data.ExtractText({}, out, 80, true, true, true, true));
  EXPECT_EQ(out, Utf16Bytes(u"selected cells"));
  EXPECT_EQ(Whole(false), "a\t") << "the whole document writes the item as usual";
}

// A long text goes to a sink chunk by chunk; the chunks are all full but
// the last and join to exactly the text a string receives, whatever their
// size and wherever they cut a character or a line end.
TEST_F(ExtractTextTest, ChunksJoinToTheWholeText) {
  data.AppendTextItem("caf\xE9", 0, 0);
  data.AppendTextItemW(u"x\U0001F600\u4E2D", 0, -1);
  AppendObject(std::make_unique<TRVTabItemInfo>(), -1);
  data.AppendTextItem("", 0, 0);
  data.AppendTextItemW(u"\U0001F601", 0, 0);
  for (const bool unicode : {true, false}) {
    const std::string whole = Whole(unicode);
    for (const std::size_t chunkSize : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5},
                                        std::size_t{7}, whole.size(), std::size_t{1} << 20}) {
      std::vector<std::string> chunks;
      TRVTextOutput out([&](std::string_view chunk) { chunks.emplace_back(chunk); }, chunkSize, unicode, 80, true,
                        &style);
      ASSERT_TRUE(data.ExtractText({}, out, false, false));
      std::string joined;
      for (std::size_t i = 0; i < chunks.size(); ++i) {
        if (i + 1 < chunks.size()) {
          EXPECT_EQ(chunks[i].size(), chunkSize) << "chunk " << i;
        }
        EXPECT_FALSE(chunks[i].empty());
        joined += chunks[i];
      }
      EXPECT_EQ(joined, whole) << "unicode " << unicode << ", chunks of " << chunkSize;
    }
  }
}

TEST_F(ExtractTextTest, ASinkThatFailsStopsTheExtraction) {
  data.AppendTextItem("first", 0, 0);
  data.AppendTextItem("second", 0, 0);
  std::string received;
  TRVTextOutput out(
      [&](std::string_view chunk) {
        received += chunk;
        throw std::runtime_error("disk full");
      },
      4, false, 80, true, &style);
  EXPECT_FALSE(data.ExtractText({}, out, false, false));
  EXPECT_EQ(received, "firs");
}

// --- cutting text into items ---

class CutTextTest : public ::testing::Test {
 protected:
  std::string Cut(std::u16string_view text, bool acceptsPageBreaks = true) {
    TCustomRVData data;
    data.SetRVStyle(&style);
    data.AppendTextItem("X", 0, 0);
    data.InsertItemsAt(1, CutTextIntoItems(text, {&style, 0, 0, acceptsPageBreaks}));
    return test::Dump(data);
  }
  TRVStyle style;
};

TEST_F(CutTextTest, BreakCharactersCutTheTextIntoItems) {
  struct Case {
    std::u16string text;
    const char* items;
  };
  const Case cases[] = {
      {u"", "X"},
      {u"\uFEFF", "X"},
      {u"ab", "X+ab"},
      {u"a\r\n\r\nb", "X+a|{}|b"},
      {u"a\r\n", "X+a|{}"},
      {u"\r\r\n", "X+{}|{}|{}"},
      {u"\n\r", "X+{}|{}"},
      {u"a\nb\rc\u2029d", "X+a|b|c|d"},
      {u"a\vb\u2028c", "X+a/b/c"},
      {u"a\fb", "X+a#b"},
      {u"a\tb\t", "X+a+<tab>+b+<tab>"},
      {u"\tb", "X+{}+<tab>+b"},
      {u"\uFEFFab", "X+ab"},
      {u"\uFFFE\u6100\u6200\u0D00\u0A00\u6300", "X+ab|c"},
  };
  for (const auto& c : cases) EXPECT_EQ(Cut(c.text), c.items) << Utf16ToUtf8(c.text);
}

TEST_F(CutTextTest, TabsAndPageBreaksByTheDocument) {
  EXPECT_EQ(Cut(u"a\fb", false), "X+a|b") << "a table cell takes no page breaks";
  style.SpacesInTab = 4;
  EXPECT_EQ(Cut(u"a\tb"), "X+a    b");
}

TEST_F(CutTextTest, TextForAn8BitStyleIsConvertedPerChunk) {
  TFontInfo& cyrillic = style.AppendTextStyle();
  cyrillic.Unicode = false;
  cyrillic.Charset = 204;
  TRVItemList items = CutTextIntoItems(std::u16string(u"\u041F\0x\u4E2D\u2029z", 6), {&style, 6, 1, true});
  ASSERT_EQ(items.size(), 2u);
  EXPECT_FALSE(items[0]->UnicodeText());
  EXPECT_EQ(items[0]->ItemText, "\xCFx?") << "NUL never stays in 8-bit text";
  EXPECT_EQ(items[1]->ItemText, "z");
  EXPECT_EQ(items[1]->ParaNo, 1);
  EXPECT_EQ(items[1]->StyleNo, 6);
}

}  // namespace
}  // namespace varnolt
