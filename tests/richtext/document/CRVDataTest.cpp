#include "richtext/document/CRVData.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "tests/richtext/RVTestDocuments.h"

namespace varnolt {
namespace {

using test::Dump;

std::unique_ptr<TCustomRVItemInfo> Item(std::int32_t kind, std::int32_t paraNo = -1) {
  auto item = CreateItemOfKind(kind, nullptr);
  item->ParaNo = paraNo;
  return item;
}

class CRVDataTest : public ::testing::Test {
 protected:
  CRVDataTest() { data.SetRVStyle(&style); }
  TRVStyle style;
  TCustomRVData data;
};

// --- paragraph rules of adding ---

struct AppendCase {
  const char* name;
  std::function<void(TCustomRVData&)> build;
  const char* expected;
  std::vector<std::int32_t> paraNos;
};

TEST_F(CRVDataTest, AppendingFollowsTheParagraphRules) {
  const AppendCase cases[] = {
      {"first item starts a paragraph in style 0", [](TCustomRVData& d) { d.AppendTextItem("a", 0, -1); }, "a", {0}},
      {"-1 continues the last line with its paragraph style",
       [](TCustomRVData& d) {
         d.AppendTextItem("a", 0, 1);
         d.AppendTextItem("b", 1, -1);
       },
       "a+b", {1, 1}},
      {"a paragraph number starts a paragraph",
       [](TCustomRVData& d) {
         d.AppendTextItem("a", 0, 0);
         d.AppendTextItem("b", 0, 1);
       },
       "a|b", {0, 1}},
      {"nothing continues a horizontal line",
       [](TCustomRVData& d) {
         d.AppendItem({}, Item(ItemKindBreak));
         d.AppendTextItem("b", 0, -1);
       },
       "<line>|b", {0, 0}},
      {"a horizontal line never continues a line",
       [](TCustomRVData& d) {
         d.AppendTextItem("a", 0, 1);
         d.AppendItem({}, Item(ItemKindBreak));
       },
       "a|<line>", {1, 0}},
      {"an item after a marker that starts a paragraph first gets an empty text after the marker",
       [](TCustomRVData& d) {
         d.AppendItem({}, Item(ItemKindListMarker, 1));
         d.AppendTextItem("b", 0, 0);
       },
       "<marker>+{}|b", {1, 1, 0}},
      {"a line break is kept when asked for",
       [](TCustomRVData& d) {
         d.AppendTextItem("a", 0, 0);
         auto item = Item(ItemKindTab, 0);
         item->SetLineBreakBefore(true);
         d.AppendItem({}, std::move(item));
       },
       "a/<tab>", {0, 0}},
      {"without new paragraphs a paragraph start becomes a line break",
       [](TCustomRVData& d) {
         d.AllowNewParagraphs = false;
         d.AppendTextItem("a", 0, 0);
         d.AppendTextItem("b", 0, 0);
       },
       "a/b", {0, 0}},
      {"a page break is kept on a paragraph start",
       [](TCustomRVData& d) {
         d.AppendTextItem("a", 0, 0);
         auto item = Item(ItemKindTab, 0);
         item->SetPageBreakBefore(true);
         d.AppendItem({}, std::move(item));
       },
       "a#<tab>", {0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TCustomRVData document;
    document.SetRVStyle(&style);
    c.build(document);
    EXPECT_EQ(Dump(document), c.expected);
    std::vector<std::int32_t> paraNos;
    for (int i = 0; i < document.CountItems(); ++i) paraNos.push_back(document.ItemParaNo(i));
    EXPECT_EQ(paraNos, c.paraNos);
  }
}

TEST(CRVItemFlagsTest, SettingOneLineFlagClearsTheOthers) {
  TRVTextItemInfo text(0);
  text.SetUnicodeText(true);
  text.SetLineBreakBefore(true);
  text.SetContinuesPara(true);
  EXPECT_EQ(text.ItemFlags(), rvifContinuesPara | rvifUnicodeText);
  text.SetPageBreakBefore(true);
  EXPECT_EQ(text.ItemFlags(), rvifPageBreakBefore | rvifUnicodeText);
  text.SetContinuesPara(true);
  text.SetLineBreakBefore(true);
  EXPECT_EQ(text.ItemFlags(), rvifLineBreakBefore | rvifUnicodeText);

  TRVBreakItemInfo line;
  line.SetContinuesPara(true);
  line.SetLineBreakBefore(true);
  EXPECT_EQ(line.ItemFlags(), 0) << "a full-line item refuses a line break";
}

// The flags share a word with the address of the item's rare fields: making,
// filling and cloning that block must leave every combination of them alone,
// and the flags must leave the block alone.
TEST(CRVItemFlagsTest, FlagsAndRareFieldsKeepEachOtherWhateverTheOrder) {
  for (std::uint8_t flags = 0; flags <= kRVItemFlagsMask; ++flags) {
    SCOPED_TRACE(int(flags));
    TRVTextItemInfo item(0);
    item.SetItemFlags(flags);
    EXPECT_EQ(item.JumpId(), -1);
    EXPECT_EQ(item.Checkpoint(), nullptr);
    item.SetItemHint(u"hint");
    item.SetItemTag(std::string("tag"));
    auto checkpoint = std::make_unique<TRVCPInfo>();
    checkpoint->Name = u"cp";
    item.SetCheckpoint(std::move(checkpoint));
    item.SetJumpId(7);
    EXPECT_EQ(item.ItemFlags(), flags);

    item.SetItemFlags(static_cast<std::uint8_t>(~flags));
    EXPECT_EQ(item.ItemFlags(), static_cast<std::uint8_t>(~flags) & kRVItemFlagsMask);
    ASSERT_NE(item.Checkpoint(), nullptr);
    EXPECT_EQ(item.Checkpoint()->Name, u"cp");
    EXPECT_EQ(item.ItemHint(), u"hint");
    EXPECT_EQ(item.ItemTag(), TRVTag(std::string("tag")));
    EXPECT_EQ(item.JumpId(), 7);

    item.SetItemFlags(flags);
    auto copy = item.Clone();
    EXPECT_EQ(copy->ItemFlags(), flags);
    EXPECT_EQ(copy->ItemHint(), u"hint");
    EXPECT_EQ(copy->JumpId(), 7);
    EXPECT_EQ(copy->Checkpoint(), nullptr) << "a copy is made without the checkpoint";
    EXPECT_EQ(item.TakeCheckpoint()->Name, u"cp");
    EXPECT_EQ(item.ItemFlags(), flags);
  }
}

TEST_F(CRVDataTest, ParagraphQueriesAndPropagation) {
  data.AppendTextItem("a", 0, 0);
  data.AppendTextItem("b", 0, -1);
  auto lineItem = Item(ItemKindTab, 0);
  lineItem->SetLineBreakBefore(true);
  data.AppendItem({}, std::move(lineItem));
  data.AppendTextItem("c", 0, 1);
  EXPECT_EQ(Dump(data), "a+b/<tab>|c");
  EXPECT_TRUE(data.ItemStartsPara(0));
  EXPECT_FALSE(data.ItemStartsPara(1));
  EXPECT_FALSE(data.ItemStartsPara(2));
  EXPECT_TRUE(data.StartsNewLine(2));
  EXPECT_FALSE(data.StartsNewLine(1));
  EXPECT_EQ(data.ParagraphStart(2), 0);
  EXPECT_EQ(data.LineStart(2), 2);
  data.ItemAt(0).ParaNo = 1;
  data.PropagateParaNo(0);
  TCustomRVData single;
  auto broken = Item(ItemKindTab, 0);
  broken->SetLineBreakBefore(true);
  single.AppendItem({}, std::move(broken));
  EXPECT_TRUE(single.ItemStartsPara(0)) << "the first item never starts with a line break";
  EXPECT_EQ(data.ItemParaNo(2), 1);
  EXPECT_EQ(data.ItemParaNo(3), 1);
}

// --- text of items ---

TEST_F(CRVDataTest, AppendedTextIsStoredInTheEncodingOfItsStyle) {
  TFontInfo& cyrillic = style.AppendTextStyle();
  cyrillic.Unicode = false;
  cyrillic.Charset = 204;
  data.AppendTextItem("caf\xE9", 0, 0);
  data.AppendTextItemW(u"\u041F\u0440\u0438", 6, 0);
  data.AppendTextItem("\xCF\xF0\xE8", 6, 0);

  EXPECT_TRUE(data.ItemAt(0).UnicodeText());
  EXPECT_EQ(data.ItemAt(0).ItemText, std::string("c\0a\0f\0\xE9\0", 8));
  EXPECT_FALSE(data.ItemAt(1).UnicodeText());
  EXPECT_EQ(data.ItemAt(1).ItemText, "\xCF\xF0\xE8");
  EXPECT_EQ(data.ItemTextAt(1), u"\u041F\u0440\u0438");
  EXPECT_EQ(data.ItemTextAt(2), u"\u041F\u0440\u0438");
}

TEST_F(CRVDataTest, TabsInAppendedTextBecomeSpacesInTab) {
  data.AppendTextItem("a\tb", 0, 0);
  style.SpacesInTab = 3;
  data.AppendTextItemW(u"a\tb", 0, 0);
  TCustomRVData bare;
  bare.AppendTextItem("a\tb", 0, 0);
  EXPECT_EQ(data.ItemTextAt(0), u"ab");
  EXPECT_EQ(data.ItemTextAt(1), u"a   b");
  EXPECT_EQ(bare.ItemTextAt(0), u"a        b");
}

TEST_F(CRVDataTest, CreatedTextItemsNeverHoldTheStoredLineTerminators) {
  TFontInfo& ansi = style.AppendTextStyle();
  ansi.Unicode = false;
  data.AppendTextItem(std::string("a\r\nb\0c", 6), 6, 0);
  data.AppendTextItemW(u"x\u2029y", 0, 0);
  EXPECT_EQ(data.ItemAt(0).ItemText, "a  bc");
  EXPECT_EQ(data.ItemTextAt(1), u"x y");
}

TEST_F(CRVDataTest, TextConversionsNeverFailNorReadPastTheText) {
  TFontInfo& japanese = style.AppendTextStyle();
  japanese.Unicode = false;
  japanese.Charset = 128;
  data.AppendTextItem("\x82", 6, 0);
  EXPECT_EQ(data.ItemTextAt(0), u"?") << "a lone lead byte";

  auto odd = std::make_unique<TRVTextItemInfo>(0);
  odd->SetUnicodeText(true);
  data.InsertItemAt(1, std::string("a\0b", 3), std::move(odd));
  EXPECT_EQ(data.ItemTextAt(1), u"a") << "the odd last byte is dropped";
  EXPECT_EQ(data.ItemEndOffset(1), 2);
}

TEST_F(CRVDataTest, ParagraphDefaultStyleResolvesThroughTheParagraphStyle) {
  data.AppendTextItem("a", -5, 0);
  EXPECT_EQ(data.ItemAt(0).StyleNo, ParaDefaultStyle);
  EXPECT_EQ(data.EffectiveStyleOf(0), 0);
  style.ParaStyles.Items(1).DefStyleNo = 3;
  data.AppendTextItem("b", ParaDefaultStyle, 1);
  EXPECT_EQ(data.EffectiveStyleOf(1), 3);
  EXPECT_EQ(data.ResolveStyleNo(4, 1), 4);
}

// --- inserting and removing ---

TEST_F(CRVDataTest, IndexChecksAndRemovingPastTheEnd) {
  for (const char* text : {"a", "b", "c", "d"}) data.AppendTextItem(text, 0, 0);
  EXPECT_THROW(data.ItemAt(4), ERichDocError);
  try {
    data.ItemHasPageBreakBefore(-1);
    FAIL();
  } catch (const ERichDocError& error) {
    EXPECT_EQ(error.Message(), "Item index is out of bounds");
  }
  data.RemoveItems(2, 100);
  EXPECT_EQ(Dump(data), "a|b");
  data.InsertItemAt(1, {}, Item(ItemKindBreak, 0));
  EXPECT_EQ(Dump(data), "a|<line>|b");
  EXPECT_THROW(data.InsertItemAt(5, {}, Item(ItemKindBreak, 0)), ERichDocError);
}

// Inserting a list larger than the document takes the document's items into
// the list when it has room for them; the order must not depend on which way.
struct InsertRangeCase {
  std::vector<const char*> present;
  int index;
  std::vector<const char*> inserted;
  std::size_t room;  // capacity reserved in the inserted list
  std::string expected;
};

TEST_F(CRVDataTest, InsertedRangesLandAtTheirIndexWhicheverListHasRoom) {
  const std::vector<InsertRangeCase> cases = {
      {{}, 0, {"x", "y"}, 2, "x|y"},
      {{"a"}, 0, {"x", "y"}, 8, "x|y|a"},
      {{"a"}, 1, {"x", "y"}, 8, "a|x|y"},
      {{"a", "b"}, 1, {"x", "y", "z"}, 8, "a|x|y|z|b"},
      {{"a", "b"}, 1, {"x", "y", "z"}, 3, "a|x|y|z|b"},
      {{"a", "b", "c"}, 2, {"x"}, 8, "a|b|x|c"},
      {{"a", "b"}, 2, {}, 0, "a|b"},
  };
  for (const InsertRangeCase& c : cases) {
    SCOPED_TRACE(c.expected);
    TCustomRVData document;
    for (const char* text : c.present) document.AppendTextItem(text, 0, 0);
    TRVItemList items;
    items.reserve(c.room);
    for (const char* text : c.inserted) {
      auto item = CreateItemOfKind(0, nullptr);
      item->ItemText = text;
      items.push_back(std::move(item));
    }
    std::vector<std::string> announced;
    document.Events.ItemInserted = [&](TCustomRVItemInfo& item) { announced.push_back(item.ItemText); };
    document.InsertItemsAt(c.index, std::move(items));
    EXPECT_EQ(Dump(document), c.expected);
    EXPECT_EQ(announced, std::vector<std::string>(c.inserted.begin(), c.inserted.end()))
        << "each inserted item, and only those, is announced";
  }
}

TEST_F(CRVDataTest, OwnerIsToldOfInsertionsAndRemovals) {
  std::vector<std::string> told;
  data.Events.ItemBeingInserted = [&](TCustomRVItemInfo&, std::string& text) {
    told.push_back("inserting " + text);
    text = "changed";
  };
  data.Events.ItemInserted = [&](TCustomRVItemInfo& item) { told.push_back("inserted " + item.ItemText); };
  data.Events.ItemBeingRemoved = [&](TCustomRVItemInfo&, const std::string& text) {
    told.push_back("removing " + text);
  };
  data.AppendItem("name", Item(ItemKindBreak));
  data.RemoveItems(0, 1);
  EXPECT_EQ(told, (std::vector<std::string>{"inserting name", "inserted changed", "removing changed"}));
}

TEST_F(CRVDataTest, HandlersAreCopiedSetAndUnsetAsFunctionsAre) {
  std::vector<std::int32_t> added;
  TFontInfo entry;
  EXPECT_FALSE(data.Events.StyleAdded);
  std::function<void(TCustomRVInfo&, std::int32_t)> unsetCopy = data.Events.StyleAdded;
  unsetCopy(entry, 1);  // an unset handler taken into a function does nothing

  data.Events.StyleAdded = [&](TCustomRVInfo&, std::int32_t number) { added.push_back(number); };
  TCustomRVData scratch;
  scratch.Events.StyleAdded = data.Events.StyleAdded;
  std::function<void(TCustomRVInfo&, std::int32_t)> taken = data.Events.StyleAdded;
  data.Events.StyleAdded = nullptr;
  EXPECT_FALSE(data.Events.StyleAdded);
  ASSERT_TRUE(scratch.Events.StyleAdded) << "a copy outlives the original's unsetting";
  scratch.Events.StyleAdded(entry, 2);
  taken(entry, 3);
  EXPECT_EQ(added, (std::vector<std::int32_t>{2, 3}));

  scratch.Events.StyleAdded = std::function<void(TCustomRVInfo&, std::int32_t)>();
  EXPECT_FALSE(scratch.Events.StyleAdded) << "an empty function unsets the handler";
  EXPECT_EQ(data.Events.SaveItemAsText(TRVTextItemInfo(0), u"", false), std::nullopt);
}

TEST_F(CRVDataTest, CheckpointsAreChainedInDocumentOrder) {
  data.AddCheckpoint(u"first");
  EXPECT_EQ(data.CheckpointCount(), 1) << "a pending checkpoint counts";
  data.AppendTextItem("a", 0, 0);
  data.AppendTextItem("b", 0, 0);
  data.AddCheckpoint(u"last");
  data.AppendTextItem("c", 0, 0);
  auto middle = Item(ItemKindBreak, 0);
  middle->SetCheckpoint(std::make_unique<TRVCPInfo>());
  middle->Checkpoint()->Name = u"middle";
  data.InsertItemAt(1, {}, std::move(middle));

  std::vector<std::u16string> names;
  for (TRVCPInfo* cp = data.FirstCheckpoint(); cp != nullptr; cp = cp->Next) names.push_back(cp->Name);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"first", u"middle", u"last"}));
  EXPECT_EQ(data.LastCheckpoint()->ItemInfo, &data.ItemAt(3));
  EXPECT_EQ(data.CheckpointCount(), 3);

  data.RemoveItems(1, 1);
  EXPECT_EQ(data.FirstCheckpoint()->Next, data.LastCheckpoint());
  EXPECT_EQ(data.LastCheckpoint()->Prev, data.FirstCheckpoint());
  data.AddCheckpoint(u"pending");
  data.ClearItems();
  EXPECT_EQ(data.CheckpointCount(), 0);
  EXPECT_EQ(data.FirstCheckpoint(), nullptr);
  EXPECT_EQ(data.PendingCheckpoint(), nullptr);
}

TEST_F(CRVDataTest, ClearingResetsTheListNumberingContext) {
  data.PrevMarkerListNo = 2;
  data.PrevMarkerLevel = 1;
  data.AppendTextItem("a", 0, 0);
  data.ClearItems();
  EXPECT_EQ(data.CountItems(), 0);
  EXPECT_EQ(data.PrevMarkerListNo, -1);
  EXPECT_EQ(data.PrevMarkerLevel, -1);
}

TEST_F(CRVDataTest, MovingItemsAppendsThemThroughTheParagraphRules) {
  data.AppendTextItem("x", 0, 1);
  TCustomRVData source;
  source.SetRVStyle(&style);
  source.AppendTextItem("a", 0, 0);
  source.AppendTextItem("b", 0, -1);
  source.AppendTextItem("c", 0, 0);
  source.AddCheckpoint(u"pending");
  source.ItemAt(0).SetContinuesPara(true);
  source.ItemAt(0).ParaNo = 0;

  data.MoveItemsFrom(source);
  EXPECT_EQ(Dump(data), "x+a+b|c");
  EXPECT_EQ(data.ItemParaNo(1), 1) << "a continuing item takes the target's paragraph";
  EXPECT_EQ(data.ItemParaNo(3), 0);
  EXPECT_EQ(source.CountItems(), 0);
  ASSERT_NE(data.PendingCheckpoint(), nullptr);
  EXPECT_EQ(data.PendingCheckpoint()->Name, u"pending");

  TCustomRVData stringTags;
  stringTags.SetTagsArePChars(true);
  stringTags.AppendTextItem("s", 0, 0);
  try {
    data.MoveItemsFrom(stringTags);
    FAIL();
  } catch (const ERichDocError& error) {
    EXPECT_EQ(error.Message(), "Can't assign RichDoc to RichDoc - tags types mismatch");
  }
}

// --- merging ---

struct MergeCase {
  const char* name;
  std::function<void(TCustomRVData&)> change;  // applied to "a" + "b"
  bool mergeable;
};

TEST_F(CRVDataTest, TheMergeRuleOfAdjacentTextItems) {
  style.AppendTextStyle().Protection.Include(rvprConcateProtect);
  const MergeCase cases[] = {
      {"same style on one line", [](TCustomRVData&) {}, true},
      {"second starts a paragraph", [](TCustomRVData& d) { d.ItemAt(1).SetStartsParagraph(); }, false},
      {"different styles", [](TCustomRVData& d) { d.ItemAt(1).StyleNo = 1; }, false},
      {"different hints", [](TCustomRVData& d) { d.ItemAt(1).SetItemHint(u"hint"); }, false},
      {"different tags", [](TCustomRVData& d) { d.ItemAt(1).SetItemTag(5); }, false},
      {"second has a checkpoint",
       [](TCustomRVData& d) { d.ItemAt(1).SetCheckpoint(std::make_unique<TRVCPInfo>()); }, false},
      {"concatenation protected",
       [](TCustomRVData& d) { d.ItemAt(0).StyleNo = d.ItemAt(1).StyleNo = 6; }, false},
      {"empty first item in another style", [](TCustomRVData& d) {
         d.ItemAt(0).ItemText.clear();
         d.ItemAt(0).StyleNo = 3;
       }, true},
      {"empty second item with another hint", [](TCustomRVData& d) {
         d.ItemAt(1).ItemText.clear();
         d.ItemAt(1).SetItemHint(u"hint");
       }, true},
      {"a tab is no text", [](TCustomRVData& d) { d.InsertItemAt(1, {}, Item(ItemKindTab, 0)); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TCustomRVData document;
    document.SetRVStyle(&style);
    document.AppendTextItem("a", 0, 0);
    document.AppendTextItem("b", 0, -1);
    c.change(document);
    EXPECT_EQ(document.CanMergeItems(0), c.mergeable);
  }
}

TEST_F(CRVDataTest, MergingIntoAnEmptyItemTakesTheOthersStyleAndTag) {
  data.AppendTextItem("", 3, 0);
  data.AppendTextItem("b", 1, -1, 7);
  ASSERT_TRUE(data.CanMergeItems(0));
  data.MergeItems(0);
  EXPECT_EQ(Dump(data), "b");
  EXPECT_EQ(data.ItemAt(0).StyleNo, 1);
  EXPECT_EQ(data.ItemAt(0).ItemTag(), TRVTag{7});

  data.AppendTextItem("c", 1, 0, 7);
  EXPECT_FALSE(data.CanMergeItems(0));
  EXPECT_TRUE(data.CanMergeItems(0, true)) << "the caller may force items of two lines";
}

// --- item kinds ---

TEST(CRVItemKindsTest, CreateItemOfKindMakesTheClassOfEachNumber) {
  struct KindCase {
    std::int32_t styleNo;
    bool (*isClass)(const TCustomRVItemInfo&);
  };
  const KindCase cases[] = {
      {0, [](const TCustomRVItemInfo& i) { return dynamic_cast<const TRVTextItemInfo*>(&i) != nullptr; }},
      {ItemKindBreak, [](const TCustomRVItemInfo& i) { return dynamic_cast<const TRVBreakItemInfo*>(&i) != nullptr; }},
      {ItemKindPicture, [](const TCustomRVItemInfo& i) { return typeid(i) == typeid(TRVGraphicItemInfo); }},
      {ItemKindHotspot, [](const TCustomRVItemInfo& i) { return typeid(i) == typeid(TRVHotspotItemInfo); }},
      {ItemKindControl, [](const TCustomRVItemInfo& i) { return typeid(i) == typeid(TRVControlItemInfo); }},
      {ItemKindBullet, [](const TCustomRVItemInfo& i) { return typeid(i) == typeid(TRVBulletItemInfo); }},
      {ItemKindHotPicture, [](const TCustomRVItemInfo& i) { return typeid(i) == typeid(TRVHotGraphicItemInfo); }},
      {ItemKindListMarker, [](const TCustomRVItemInfo& i) { return typeid(i) == typeid(TRVMarkerItemInfo); }},
      {ItemKindTab, [](const TCustomRVItemInfo& i) { return typeid(i) == typeid(TRVTabItemInfo); }},
      {ItemKindLabel, [](const TCustomRVItemInfo& i) { return typeid(i) == typeid(TRVLabelItemInfo); }},
      {ItemKindSequence, [](const TCustomRVItemInfo& i) { return typeid(i) == typeid(TRVSeqItemInfo); }},
      {ItemKindFootnote, [](const TCustomRVItemInfo& i) { return typeid(i) == typeid(TRVFootnoteItemInfo); }},
      {ItemKindEndnote, [](const TCustomRVItemInfo& i) { return typeid(i) == typeid(TRVEndnoteItemInfo); }},
      {ItemKindNoteReference,
       [](const TCustomRVItemInfo& i) { return typeid(i) == typeid(TRVNoteReferenceItemInfo); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.styleNo);
    auto item = CreateItemOfKind(c.styleNo, nullptr);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->StyleNo, c.styleNo);
    EXPECT_TRUE(c.isClass(*item));
  }
  for (std::int32_t unknown : {-2, -7, -8, -9, -300}) EXPECT_EQ(CreateItemOfKind(unknown, nullptr), nullptr) << unknown;
}

std::unique_ptr<TCustomRVItemInfo> MakeCustomLabel(TCustomRVData*) {
  return std::make_unique<TRVLabelItemInfo>(0, u"custom");
}
std::unique_ptr<TCustomRVItemInfo> MakeOtherLabel(TCustomRVData*) { return std::make_unique<TRVLabelItemInfo>(); }

TEST(CRVItemKindsTest, RegisteringAKindNumber) {
  RegisterItemKind(-321, &MakeCustomLabel);
  EXPECT_NO_THROW(RegisterItemKind(-321, &MakeCustomLabel)) << "the same class again";
  auto item = CreateItemOfKind(-321, nullptr);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->StyleNo, -321);
  for (std::int32_t taken : {-321, ItemKindLabel, ItemKindTab, -9}) {
    try {
      RegisterItemKind(taken, &MakeOtherLabel);
      FAIL() << taken;
    } catch (const ERichDocError& error) {
      EXPECT_EQ(error.Message(), "Can't register RichDoc item type - this StyleNo is already registered");
    }
  }
}

class FakeBitmap : public TGraphic {
 public:
  explicit FakeBitmap(std::string className) : className_(std::move(className)) {}
  std::string ClassName() const override { return className_; }
  int Width() const override { return 4; }
  int Height() const override { return 3; }
  std::string SaveToBytes() const override { return "bytes"; }
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<FakeBitmap>(*this); }

 private:
  std::string className_;
};

TEST(CRVItemKindsTest, EachKindAnswersOnlyItsNumberedProperties) {
  // Numbers 1..14; '1' where the kind has the property.
  struct PropertyCase {
    const char* name;
    std::function<std::unique_ptr<TCustomRVItemInfo>()> make;
    const char* answers;
  };
  const PropertyCase cases[] = {
      {"text", [] { return CreateItemOfKind(0, nullptr); }, "00000000000000"},
      {"line", [] { return CreateItemOfKind(ItemKindBreak, nullptr); }, "00000000001000"},
      {"tab", [] { return CreateItemOfKind(ItemKindTab, nullptr); }, "00000000001000"},
      {"marker", [] { return CreateItemOfKind(ItemKindListMarker, nullptr); }, "00000000001000"},
      {"label", [] { return CreateItemOfKind(ItemKindLabel, nullptr); }, "11000000101000"},
      {"bullet", [] { return CreateItemOfKind(ItemKindBullet, nullptr); }, "11000000101100"},
      {"hotspot", [] { return CreateItemOfKind(ItemKindHotspot, nullptr); }, "11000000101100"},
      {"control", [] { return CreateItemOfKind(ItemKindControl, nullptr); }, "11000001111001"},
      {"jpeg picture",
       [] { return std::make_unique<TRVGraphicItemInfo>(std::make_unique<FakeBitmap>("TJPEGImage"), rvvaBaseline); },
       "11110001111110"},
      {"bitmap picture",
       [] { return std::make_unique<TRVGraphicItemInfo>(std::make_unique<FakeBitmap>("TBitmap"), rvvaBaseline); },
       "11111111111110"},
  };
  for (const auto& c : cases) {
    auto item = c.make();
    std::string answers;
    for (std::int32_t number = 1; number <= 14; ++number) {
      std::int32_t value = 0;
      answers += item->GetIntProperty(number, value) ? '1' : '0';
    }
    EXPECT_EQ(answers, c.answers) << c.name;
  }
}

TEST(CRVItemKindsTest, PropertySettersKeepTheirRules) {
  TRVControlItemInfo control(std::make_unique<TRVEmbeddedControl>(), rvvaMiddle);
  EXPECT_TRUE(control.SetIntProperty(rvipSpacing, -4));
  EXPECT_EQ(control.Spacing(), 0) << "spacing is never negative";
  EXPECT_TRUE(control.SetIntProperty(rvipVisible, 0));
  EXPECT_FALSE(control.Control->Visible) << "the control is hidden at once";

  TRVGraphicItemInfo picture(std::make_unique<FakeBitmap>("TBitmap"), rvvaBaseline);
  EXPECT_TRUE(picture.SetStringProperty(rvspAlt, u"alt"));
  EXPECT_TRUE(picture.SetStringProperty(rvspHint, u"hint"));
  EXPECT_TRUE(picture.SetIntProperty(rvipDeleteProtect, 1));
  EXPECT_EQ(picture.Alt, u"alt");
  EXPECT_EQ(picture.ItemHint(), u"hint");
  EXPECT_FALSE(picture.CanBeDeleted());
  TRVTabItemInfo tab;
  EXPECT_FALSE(tab.SetStringProperty(rvspAlt, u"alt"));
}

TEST(CRVItemKindsTest, CapabilitiesOfTheKinds) {
  TRVStyle style;
  struct CapabilityCase {
    std::int32_t styleNo;
    bool wholeLine;
    bool textOnly;
    bool link;
  };
  const CapabilityCase cases[] = {
      {0, false, true, false},
      {4, false, true, true},  // "Jump 1"
      {ItemKindBreak, true, false, false},
      {ItemKindPicture, false, false, false},
      {ItemKindHotPicture, false, false, true},
      {ItemKindHotspot, false, false, true},
      {ItemKindBullet, false, false, false},
      {ItemKindControl, false, false, false},
      {ItemKindListMarker, false, false, false},
      {ItemKindTab, false, true, false},
      {ItemKindLabel, false, true, false},
      {ItemKindSequence, false, true, false},
      {ItemKindFootnote, false, true, false},
      {ItemKindEndnote, false, true, false},
      {ItemKindNoteReference, false, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.styleNo);
    auto item = CreateItemOfKind(c.styleNo, nullptr);
    EXPECT_EQ(item->OccupiesWholeLine(), c.wholeLine);
    EXPECT_EQ(item->IncludedInTextOnly(), c.textOnly);
    EXPECT_EQ(item->IsLink(&style), c.link);
  }
}

TEST_F(CRVDataTest, KindSpecificAccessChecksTheKind) {
  auto control = std::make_unique<TRVControlItemInfo>(std::make_unique<TRVEmbeddedControl>(), rvvaBaseline);
  const TRVEmbeddedControl* embedded = control->Control.get();
  data.AppendTextItem("a", 0, 0);
  data.AppendItem({}, std::move(control));
  EXPECT_EQ(data.FindControlItemNo(embedded), 1);
  EXPECT_EQ(data.FindControlItemNo(nullptr), -1);
  EXPECT_EQ(data.ItemAs<TRVControlItemInfo>(1).VAlign, rvvaBaseline);
  try {
    data.ItemAs<TRVBreakItemInfo>(0);
    FAIL();
  } catch (const ERichDocError& error) {
    EXPECT_EQ(error.Message(), "Can't get or set this kind of information for this item");
  }
}

TEST(CRVItemKindsTest, CloningCopiesOwnedData) {
  TRVFootnoteItemInfo note;
  note.Document().AppendTextItemW(u"note text", 0, 0);
  note.SetItemHint(u"hint");
  auto copy = note.Clone();
  auto& copied = dynamic_cast<TRVFootnoteItemInfo&>(*copy);
  note.Document().ClearItems();
  ASSERT_EQ(copied.Document().CountItems(), 1);
  EXPECT_EQ(copied.Document().ItemTextAt(0), u"note text");
  EXPECT_EQ(copied.ItemHint(), u"hint");

  TRVGraphicItemInfo picture(std::make_unique<FakeBitmap>("TBitmap"), rvvaAbsMiddle);
  auto pictureCopy = picture.Clone();
  auto& copiedPicture = dynamic_cast<TRVGraphicItemInfo&>(*pictureCopy);
  EXPECT_NE(copiedPicture.Image.get(), picture.Image.get());
  EXPECT_EQ(copiedPicture.Image->ClassName(), "TBitmap");
  EXPECT_EQ(copiedPicture.VAlign, rvvaAbsMiddle);
}

}  // namespace
}  // namespace varnolt
