// The RTF writer's items: every item kind, hyperlinks, bookmarks, lists
// with their tables and overrides, and selections.
#include <gtest/gtest.h>

#include "platform/Random.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/editor/RVEdit.h"
#include "richtext/graphic/RVBitmap.h"
#include "richtext/rtf/writer/RVRTFWriter.h"
#include "tests/richtext/graphic/RVGraphicTestImages.h"
#include "tests/richtext/rtf/writer/RVRTFWriterTestDocuments.h"

namespace varnolt {
namespace {

using test::RtfBody;
using test::RtfHeader;
using test::TestDocument;
using test::WriteRtfString;

constexpr const char* kPlainParagraph = "\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 ";

class RVRTFWriterItemsTest : public ::testing::Test {
 protected:
  RVRTFWriterItemsTest() { test::MakeMinimalStyle(style_); }

  std::string Body(const TRVRTFWriteSettings& settings = {}) { return RtfBody(WriteRtfString(doc_, settings)); }

  void AppendToLine(std::unique_ptr<TCustomRVItemInfo> item) {
    item->ParaNo = -1;
    doc_.AppendItem({}, std::move(item));
  }

  // A list of one decimal level "1." indented by 24 pixels.
  TRVListInfo& AddDecimalList() {
    TRVListInfo& list = style_.ListStyles.Add();
    TRVListLevel& level = list.Levels.Add();
    level.ListType = rvlstDecimal;
    level.FormatString = "%0:s.";
    level.LeftIndent = 24;
    return list;
  }

  TRVStyle style_;
  TestDocument doc_{style_};
};

TEST_F(RVRTFWriterItemsTest, SimpleItemKinds) {
  doc_.AppendTextItemW(u"a", 0, 0);
  AppendToLine(std::make_unique<TRVTabItemInfo>());
  AppendToLine(std::make_unique<TRVLabelItemInfo>(0, u"{label}"));
  AppendToLine(std::make_unique<TRVNoteReferenceItemInfo>());
  EXPECT_EQ(Body(), std::string("\r\n") + kPlainParagraph + "\\plain \\f0\\fs20 a\\tab \\plain \\f0\\fs20 \\{label\\}\\chftn \\par}");
}

TEST_F(RVRTFWriterItemsTest, HorizontalLineEndsItsOwnParagraph) {
  style_.ParaStyles.Items(0).Alignment = rvaCenter;
  doc_.AppendTextItemW(u"above", 0, 0);
  auto line = std::make_unique<TRVBreakItemInfo>();
  line->Color = clRed;
  line->LineWidth = 2;
  doc_.AppendItem({}, std::move(line));
  doc_.AppendTextItemW(u"below", 0, 0);
  const std::string centred = "\\pard\\fi0\\li0\\qc\\ri0\\sb0\\sa0\\itap0 ";
  // The paragraph after the line states its properties again: the line's
  // own "\pard" reset them.
  EXPECT_EQ(Body(), "\r\n" + centred + "\\plain \\f0\\fs20 above\r\n\\par \\pard\\plain\\fs6\\brdrb\\brdrs\\brdrw30\\brdrcf6\\par\\pard"
                    "\r\n" + centred + "\\plain \\f0\\fs20 below\\par}");
}

TEST_F(RVRTFWriterItemsTest, SequencesInEveryNumbering) {
  struct Case {
    TRVSeqType type;
    bool reset;
    const char* expected;
  };
  const Case cases[] = {
      {rvseqDecimal, false, "{\\field{\\*\\fldinst {SEQ Figure \\\\* MERGEFORMAT }}{\\fldrslt {1}}}"},
      {rvseqLowerAlpha, true, "{\\field{\\*\\fldinst {SEQ Figure \\\\* alphabetic \\\\r 3 \\\\* MERGEFORMAT }}{\\fldrslt {c}}}"},
      {rvseqUpperAlpha, false, "{\\field{\\*\\fldinst {SEQ Figure \\\\* ALPHABETIC \\\\* MERGEFORMAT }}{\\fldrslt {A}}}"},
      {rvseqLowerRoman, false, "{\\field{\\*\\fldinst {SEQ Figure \\\\* roman \\\\* MERGEFORMAT }}{\\fldrslt {i}}}"},
      {rvseqUpperRoman, true, "{\\field{\\*\\fldinst {SEQ Figure \\\\* ROMAN \\\\r 3 \\\\* MERGEFORMAT }}{\\fldrslt {III}}}"},
  };
  for (const Case& c : cases) {
    TRVStyle style;
    test::MakeMinimalStyle(style);
    TestDocument doc(style);
    auto sequence = std::make_unique<TRVSeqItemInfo>(u"Figure", c.type);
    sequence->Reset = c.reset;
    sequence->StartFrom = 3;
    doc.AppendItem({}, std::move(sequence));
    EXPECT_EQ(RtfBody(WriteRtfString(doc)),
              std::string("\r\n") + kPlainParagraph + "\\plain \\f0\\fs20 " + c.expected + "\\par}");
  }
}

TEST_F(RVRTFWriterItemsTest, FootnotesAndEndnotesWithTheirSeparators) {
  doc_.AppendTextItemW(u"text", 0, 0);
  auto footnote = std::make_unique<TRVFootnoteItemInfo>();
  footnote->Document().SetRVStyle(&style_);
  footnote->Document().AppendTextItemW(u"foot", 0, 0);
  footnote->ParaNo = -1;
  doc_.AppendItem({}, std::move(footnote));
  auto endnote = std::make_unique<TRVEndnoteItemInfo>();
  endnote->Document().AppendTextItemW(u"end", 0, 0);
  endnote->ParaNo = -1;
  doc_.AppendItem({}, std::move(endnote));
  const std::string rtf = WriteRtfString(doc_);
  EXPECT_NE(RtfHeader(rtf).find("\\deflangfe0\\fet2{\\*\\aftnsep\\pard\\plain\\chftnsep }{\\*\\aftnsepc\\pard\\plain"
                                "\\chftnsepc}\\fet2{\\*\\ftnsep\\pard\\plain\\chftnsep }{\\*\\ftnsepc\\pard\\plain"
                                "\\chftnsepc}{\\fonttbl"),
            std::string::npos);
  EXPECT_EQ(RtfBody(rtf), std::string("\r\n") + kPlainParagraph + "\\plain \\f0\\fs20 text\\chftn{\\footnote \r\n" +
                              kPlainParagraph + "\\plain \\f0\\fs20 foot}\\chftn{\\footnote\\ftnalt \r\n" +
                              kPlainParagraph + "\\plain \\f0\\fs20 end}\\par}");
}

TEST_F(RVRTFWriterItemsTest, HooksSupplyControlsImagesAndWholeItems) {
  const auto image = TBitmap::FromDib(test::MakeDib(1, 1));
  doc_.AppendItem({}, std::make_unique<TRVControlItemInfo>(std::make_unique<TRVEmbeddedControl>(), rvvaBaseline));
  auto bullet = std::make_unique<TRVBulletItemInfo>();
  bullet->ImageListTag = 4;
  bullet->ImageIndex = 2;
  AppendToLine(std::move(bullet));
  doc_.AppendTextItemW(u"replaced", 0, -1);
  // Without the hooks the control and the bullet write nothing.
  EXPECT_EQ(Body(), std::string("\r\n") + kPlainParagraph + "\\plain \\f0\\fs20 replaced\\par}");

  TRVRTFWriteSettings settings;
  settings.OnSaveComponentToFile = [](const std::u16string&, const TRVEmbeddedControl&, std::u16string& out) {
    out = u"{\\object}";
  };
  settings.OnGetImageListImage = [&](std::int32_t tag, const void* list, std::int32_t index) -> const TBitmap* {
    return tag == 4 && list == nullptr && index == 2 ? image.get() : nullptr;
  };
  settings.OnSaveItemToFile = [](const std::u16string&, const TCustomRVData& data, int itemNo, std::string& out,
                                 bool& doDefault) {
    if (data.ItemAt(itemNo).IsText()) {
      out = "{\\mine}";
      doDefault = false;
    }
  };
  settings.RTFOptions = {rvrtfSaveBitmapDefault};
  EXPECT_EQ(Body(settings), std::string("\r\n") + kPlainParagraph +
                                "{\\object}{\\pict\\dibitmap0\\wbmwidthbytes4\\picw1\\pich1\\picwgoal15\\pichgoal15 " +
                                test::RtfHex(image->SaveToBytes().substr(14)) + "}\\plain \\f0\\fs20 {\\mine}\\par}");
}

TEST_F(RVRTFWriterItemsTest, Hyperlinks) {
  TFontInfo& jump = style_.TextStyles.Add();
  jump.Jump = true;
  struct Case {
    const char* name;
    std::u16string hint;
    std::u16string target;
    std::u16string extras;  // given by OnWriteHyperlink when not empty
    const char* expected;   // the field start, empty for no field
  };
  const Case cases[] = {
      {"address and hint", u"say \"hi\"", u"http://x/a\\b", u"",
       "{\\field{\\*\\fldinst HYPERLINK \"http://x/a\\\\\\\\b\" \\\\o \"say 'hi'\"}{\\fldrslt "},
      {"local target", u"", u"#Section 2", u"", "{\\field{\\*\\fldinst HYPERLINK \\\\l \"Section_2\"}{\\fldrslt "},
      {"hint only", u"tip", u"", u"", "{\\field{\\*\\fldinst HYPERLINK \"\" \\\\o \"tip\"}{\\fldrslt "},
      {"nothing", u"", u"", u"", ""},
      {"extras on both sides", u"", u"file.txt", std::u16string(u"\\m") + u'\0' + u"\\t \"frame\"",
       "{\\field{\\*\\fldinst HYPERLINK \\\\m \"file.txt\" \\\\t \"frame\"}{\\fldrslt "},
  };
  for (const Case& c : cases) {
    TRVStyle style;
    test::MakeMinimalStyle(style);
    style.TextStyles.Add().Jump = true;
    TestDocument doc(style);
    doc.AppendTextItemW(u"go", 1, 0);
    doc.ItemAt(0).SetItemHint(c.hint);
    doc.ItemAt(0).SetJumpId(2);
    doc.FirstJumpNo = 10;
    TRVRTFWriteSettings settings;
    std::int32_t seenId = -1;
    if (c.extras.empty()) {
      settings.OnURLNeeded = [&](std::int32_t id, std::u16string& url) {
        seenId = id;
        url = c.target;
      };
    } else {
      settings.OnWriteHyperlink = [&](std::int32_t id, const TCustomRVData&, int, std::u16string& target,
                                      std::u16string& extras) {
        seenId = id;
        target = c.target;
        extras = c.extras;
      };
    }
    const std::string body = RtfBody(WriteRtfString(doc, settings));
    const std::string text = "\\plain \\f0\\fs20 go";
    const std::string expected = *c.expected == '\0' ? std::string("\r\n") + kPlainParagraph + text + "\\par}"
                                                     : std::string("\r\n") + kPlainParagraph + c.expected + text + "}}\\par}";
    EXPECT_EQ(body, expected) << c.name;
    EXPECT_EQ(seenId, 12) << c.name;
  }
}

TEST_F(RVRTFWriterItemsTest, Bookmarks) {
  doc_.AddCheckpoint(u"Chapter 1.2");
  doc_.AppendTextItemW(u"a", 0, 0);
  doc_.AddCheckpoint(u"");
  doc_.AppendTextItemW(u"b", 0, -1);
  doc_.AddCheckpoint(u"-");  // nothing usable but the replacement
  EXPECT_EQ(Body(), std::string("\r\n") + kPlainParagraph +
                        "{\\*\\bkmkstart Chapter_1_2}{\\*\\bkmkend Chapter_1_2}\\plain \\f0\\fs20 a"
                        "{\\*\\bkmkstart RichDocCheckpoint1}{\\*\\bkmkend RichDocCheckpoint1}b"
                        "{\\*\\bkmkstart _}{\\*\\bkmkend _}\\par}");
}

TEST_F(RVRTFWriterItemsTest, ListTableAndMarkers) {
  AddDecimalList();
  doc_.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(0, 0));
  doc_.AppendTextItemW(u"first", 0, -1);
  auto restart = std::make_unique<TRVMarkerItemInfo>(0, 0);
  restart->Reset = true;
  restart->ResetValue = 5;
  doc_.AppendItem({}, std::move(restart));
  doc_.AppendTextItemW(u"fifth", 0, -1);
  doc_.AppendTextItemW(u"plain", 0, 0);

  std::string rtf;
  std::int32_t templateId = 0;
  std::int32_t listId = 0;
  {
    ScopedRandomSeed seed(11);
    templateId = Random::Next(0x7FFFFFFF);
    listId = Random::Next(0x7FFFFFFF);
  }
  {
    ScopedRandomSeed seed(11);
    rtf = WriteRtfString(doc_);
  }
  const std::string ids = "\\listid" + std::to_string(listId);
  EXPECT_NE(RtfHeader(rtf).find(
                "}{\\*\\listtable{\\list\\listtemplateid" + std::to_string(templateId) +
                "\\listsimple1\r\n{\\listlevel\\levelnfc0\\leveljc0\\li360\\fi-360\\jclisttab\\tx510\\levelstartat1"
                "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\f0\\fs20}\r\n" + ids + "}\r\n}\r\n"
                "{\\*\\listoverridetable\r\n{\\listoverride" + ids + "\\listoverridecount0\\ls1}\r\n"
                "{\\listoverride" + ids + "\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat5}\\ls2}\r\n}\r\n"),
            std::string::npos)
      << rtf;
  const std::string listParagraph = "\\pard\\li360\\fi-360\\jclisttab\\tx510\\ql\\ri0\\sb0\\sa0\\itap0 ";
  EXPECT_EQ(RtfBody(rtf), "\r\n" + listParagraph + "{\\listtext\\pard\\plain\\f0\\fs20 1.\\tab}\\ls1\\ilvl0 \\plain \\f0\\fs20 first"
                          "\r\n\\par \\plain{\\listtext\\pard\\plain\\f0\\fs20 5.\\tab}\\ls2\\ilvl0 \\plain \\f0\\fs20 fifth"
                          "\r\n\\par \\plain" + kPlainParagraph + "\\plain \\f0\\fs20 plain\\par}");
}

TEST_F(RVRTFWriterItemsTest, ListLevelsWrittenAsNineOrOne) {
  TRVListInfo& twoLevels = style_.ListStyles.Add();
  twoLevels.Levels.Add().ListType = rvlstUpperRoman;
  TRVListLevel& bullet = twoLevels.Levels.Add();
  bullet.ListType = rvlstBullet;
  bullet.FormatString = std::string(300, 'x');  // longer than a level text holds
  bullet.Font.Name = u"Symbol";
  bullet.Font.Charset = 2;
  bullet.Options = {};
  style_.ListStyles.Add();  // no levels: one default level
  TRVListInfo& unicode = style_.ListStyles.Add();
  TRVListLevel& star = unicode.Levels.Add();
  star.ListType = rvlstUnicodeBullet;
  star.FormatStringW = u"\u2605";
  star.Options = {rvloLegalStyleNumbering, rvloLevelReset};
  doc_.AppendTextItemW(u"x", 0, 0);
  const std::string header = RtfHeader(WriteRtfString(doc_));
  const auto count = [&](const std::string& what) { return test::Count(header, what); };
  EXPECT_EQ(count("{\\listlevel"), 9u + 1u + 1u) << header;
  EXPECT_EQ(count("\\listsimple1"), 2u);
  EXPECT_EQ(count("{\\listlevel\\levelnfc1\\leveljc0\\li0\\fi0\\jclisttab\\tx150\\levelstartat1"), 1u);
  EXPECT_EQ(count("{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}"), 1u);
  EXPECT_EQ(count("\\levelnorestart1{\\leveltext\\'FF" + std::string(255, 'x') + ";}{\\levelnumbers;}\\f1\\fs20\\lang1024}"), 8u);
  EXPECT_EQ(count("{\\listlevel\\levelnfc23\\leveljc0\\li0\\fi0\\jclisttab\\tx150{\\leveltext\\'00;}{\\levelnumbers;}"
                  "\\f0\\fs20}"),
            1u);
  EXPECT_EQ(count("\\levellegal1{\\leveltext\\'01\\u9733 ?;}{\\levelnumbers;}\\f0\\fs20}"), 1u);
  EXPECT_EQ(count("\\listoverridecount0"), 3u);
}

TEST_F(RVRTFWriterItemsTest, NumberedLevelTextsReferToEveryLevel) {
  TRVListInfo& list = style_.ListStyles.Add();
  for (int k = 0; k < 3; ++k) list.Levels.Add().ListType = rvlstDecimal;
  list.Levels.Items(2).FormatString = "%0:s.%1:s.%2:s 100%%";
  list.Levels.Items(1).FormatString = "%1:s %x";  // not a string format: kept as it stands
  doc_.AppendTextItemW(u"x", 0, 0);
  const std::string header = RtfHeader(WriteRtfString(doc_));
  EXPECT_NE(header.find("{\\leveltext\\'0A\\'00.\\'01.\\'02 100%;}{\\levelnumbers\\'01\\'03\\'05;}"), std::string::npos)
      << header;
  EXPECT_NE(header.find("{\\leveltext\\'07%1:s %x;}{\\levelnumbers;}"), std::string::npos) << header;
}

TEST_F(RVRTFWriterItemsTest, SelectionInsideParagraphs) {
  style_.ParaStyles.Add().Alignment = rvaRight;
  TRVEditRVData doc;
  doc.SetRVStyle(&style_);
  doc.AppendTextItemW(u"Hello ", 0, 0);
  doc.AppendTextItemW(u"world", 0, -1);
  doc.AppendTextItemW(u"second", 0, 1);
  doc.SelectionAnchor = {1, 2};
  doc.SelectionEnd = {2, 4};
  const std::string right = "\\pard\\fi0\\li0\\qr\\ri0\\sb0\\sa0\\itap0 ";
  // Starts inside a paragraph: no properties; ends inside one: no "\par".
  EXPECT_EQ(RtfBody(WriteRtfString(doc, {}, true)), "\\plain \\f0\\fs20 orld\r\n\\par " + right + "sec}");
  // Ends at the end of a paragraph: the final "\par".
  doc.SelectionAnchor = {0, 7};  // after the first item: it is skipped
  doc.SelectionEnd = {1, 6};
  EXPECT_EQ(RtfBody(WriteRtfString(doc, {}, true)), "\\plain \\f0\\fs20 world\\par}");
}

TEST_F(RVRTFWriterItemsTest, SelectionInsideACellWritesTheCell) {
  TRVEditRVData cell;
  cell.SetRVStyle(&style_);
  cell.AppendTextItemW(u"inner text", 0, 0);
  cell.SelectionAnchor = {0, 7};
  cell.SelectionEnd = {0, 11};
  doc_.AppendTextItemW(u"outer", 0, 0);
  TRVRTFWriteSettings settings;
  settings.OnGetSelectionDocument = [&](const TCustomRVData& data) -> const TCustomRVData* {
    return &data == &doc_ ? &cell : nullptr;
  };
  EXPECT_EQ(RtfBody(WriteRtfString(doc_, settings, true)),
            std::string("\r\n") + kPlainParagraph + "\\plain \\f0\\fs20 text\\par}");
}

TEST_F(RVRTFWriterItemsTest, SelectionAfterAListMarkerKeepsTheNumbering) {
  AddDecimalList();
  TRVEditRVData doc;
  doc.SetRVStyle(&style_);
  doc.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(0, 0));
  doc.AppendTextItemW(u"one two", 0, -1);
  doc.SelectionAnchor = {1, 5};
  doc.SelectionEnd = {1, 8};
  EXPECT_EQ(RtfBody(WriteRtfString(doc, {}, true)),
            "\\li360\\fi-360\\jclisttab\\tx510\\ql\\ri0\\sb0\\sa0\\itap0 {\\listtext\\pard\\plain\\f0\\fs20 1.\\tab}"
            "\\ls1\\ilvl0 \\plain \\f0\\fs20 two\\par}");
}

TEST_F(RVRTFWriterItemsTest, SelectionBoundariesSkipObjectsOutsideIt) {
  TRVEditRVData doc;
  doc.SetRVStyle(&style_);
  doc.AppendItem({}, std::make_unique<TRVTabItemInfo>());
  doc.ItemAt(0).ParaNo = 0;
  doc.AppendTextItemW(u"ab", 0, -1);
  doc.AppendItem({}, std::make_unique<TRVTabItemInfo>());
  doc.ItemAt(2).ParaNo = -1;
  doc.SelectionAnchor = {0, 1};  // after the first tab
  doc.SelectionEnd = {2, 0};     // before the second
  EXPECT_EQ(RtfBody(WriteRtfString(doc, {}, true)), "\\plain \\f0\\fs20 ab}");
  doc.SelectionEnd = {0, 1};
  doc.SelectionAnchor = {1, 1};  // nothing between the tab's end and the text's start
  EXPECT_EQ(WriteRtfString(doc, {}, true), "");
}

}  // namespace
}  // namespace varnolt
