// Writing the stored format: the exact bytes of the records, binary and
// text modes, selections and their cut items, and the document records.
#include <gtest/gtest.h>

#include "richtext/editor/RVEdit.h"
#include "richtext/rvf/RVFReader.h"
#include "richtext/rvf/RVFWriter.h"
#include "tests/richtext/RVTestDocuments.h"
#include "tests/richtext/rvf/RVFTestDocuments.h"

namespace varnolt {
namespace {

using test::TestView;

std::string Written(const TCustomRVData& data, TRVFSaveMode mode, const TRVFView& view) {
  std::string stream;
  EXPECT_TRUE(WriteRVF(data, stream, mode, view));
  return stream;
}

std::string Raw(std::u16string_view text) { return Utf16ToBytes(text); }

const std::string kVersionLine = "-8 1 3 1\r\n";

class RVFWriterTest : public ::testing::Test {
 protected:
  RVFWriterTest() { data_.SetRVStyle(&style_); }
  TRVStyle style_;
  TRVEditRVData data_;
  TRVFView view_ = TestView();
};

TEST_F(RVFWriterTest, TwoWholeParagraphsAreTheKnownFortySevenBytes) {
  data_.AppendTextItemW(u"a", 0, 0);
  data_.AppendTextItemW(u"b", 0, 0);
  data_.SelectionAnchor = {0, 1};
  data_.SelectionEnd = {1, 2};
  std::string expected = std::string("-8 1 3 1\r\n-9 0 0 0 0 0 7\r\n0 2 0 8 0 0\r\n") + std::string("a\0\x29\x20", 4) +
                         std::string("b\0\x29\x20", 4);
  std::string stream = Written(data_, rvfsmSelection, view_);
  EXPECT_EQ(stream.size(), 47u);
  EXPECT_EQ(stream, expected);
}

TEST_F(RVFWriterTest, Utf16TextIsRawInBinaryModeAndHexadecimalInTextMode) {
  data_.AppendTextItemW(u"\u00e9", 0, 0);
  view_.RVFOptions.Exclude(rvfoSaveDocProperties);
  std::string binary = Written(data_, rvfsmWhole, view_);
  EXPECT_EQ(binary, std::string("-8 1 3 1\r\n0 1 0 8 0 0\r\n\xE9\x00\x29\x20", 27));
  view_.RVFOptions.Exclude(rvfoSaveBinary);
  EXPECT_EQ(Written(data_, rvfsmWhole, view_), "-8 1 3 1\r\n0 1 0 8 3 0\r\nE900\r\n");
}

TEST_F(RVFWriterTest, EightBitTextIsItsBytesAndCrLf) {
  test::AddTestStyles(style_);
  data_.AppendTextItem("\xC0\xE1", 6, 0);
  view_.RVFOptions = {};
  EXPECT_EQ(Written(data_, rvfsmWhole, view_), "-8 1 3 1\r\n6 1 0 0 0 0\r\n\xC0\xE1\r\n");
}

TEST_F(RVFWriterTest, AnEmptyDocumentOrSelectionWritesNothing) {
  EXPECT_EQ(Written(data_, rvfsmWhole, view_), "");
  data_.AppendTextItemW(u"text", 0, 0);
  EXPECT_EQ(Written(data_, rvfsmSelection, view_), "");
  TRVEditRVData target;
  EXPECT_TRUE(ReadRVF(target, "", 0, true, view_));
  EXPECT_EQ(target.CountItems(), 0);
}

TEST_F(RVFWriterTest, ASelectionFromTheMiddleOfAParagraphContinuesTheCaretsLine) {
  data_.AppendTextItemW(u"Hello world", 0, 1);
  data_.AppendTextItemW(u"next", 0, 0);
  data_.SelectionAnchor = {0, 7};
  data_.SelectionEnd = {1, 3};
  view_.RVFOptions.Exclude(rvfoSaveDocProperties);
  std::string stream = Written(data_, rvfsmSelection, view_);
  EXPECT_EQ(stream, "-8 1 3 1\r\n0 1 -1 9 0 0\r\n" + Raw(u"world\u2029") + "0 1 0 8 0 0\r\n" + Raw(u"ne\u2029"));

  TRVEditRVData target;
  target.SetRVStyle(&style_);
  target.AppendTextItemW(u"Say ", 0, 1);
  ASSERT_TRUE(ReadRVF(target, stream, 1, false, view_));
  ASSERT_EQ(target.CountItems(), 3);
  EXPECT_TRUE(target.ItemAt(1).ContinuesPara()) << "pasted into the caret's line";
  EXPECT_EQ(target.ItemParaNo(1), 1) << "and takes its paragraph style";
  EXPECT_EQ(target.ItemTextAt(1), u"world");
  EXPECT_TRUE(target.ItemStartsPara(2));
  EXPECT_EQ(target.ItemTextAt(2), u"ne");
}

TEST_F(RVFWriterTest, ASelectionInsideOneTextItemIsThatPartAlone) {
  data_.AppendTextItemW(u"abcdef", 0, 0);
  data_.SelectionAnchor = {0, 1};
  data_.SelectionEnd = {0, 3};
  view_.RVFOptions.Exclude(rvfoSaveDocProperties);
  EXPECT_EQ(Written(data_, rvfsmSelection, view_), "-8 1 3 1\r\n0 1 0 8 0 0\r\n" + Raw(u"ab\u2029"));
}

TEST_F(RVFWriterTest, ASelectionInAListParagraphTakesItsMarkerAlong) {
  test::AddTestStyles(style_);
  data_.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(0, 0));
  data_.AppendTextItemW(u"first ", 0, -1);
  data_.AppendTextItemW(u"second", 1, -1);
  data_.SelectionAnchor = {2, 1};
  data_.SelectionEnd = {2, 7};
  view_.RVFOptions.Exclude(rvfoSaveDocProperties);
  std::string stream = Written(data_, rvfsmSelection, view_);
  EXPECT_EQ(stream, "-8 1 3 1\r\n-11 0 0 0 0 0 0 0 1 0\r\n1 1 -1 9 0 0\r\n" + Raw(u"second\u2029"));
}

TEST_F(RVFWriterTest, TextItemsSharingEverythingShareARecord) {
  data_.AppendTextItemW(u"one", 0, 0);
  data_.AppendTextItemW(u"two", 0, 0);
  data_.AppendTextItemW(u"three", 0, -1);  // continues the line: a record of its own
  data_.AppendTextItemW(u"four", 0, 0, std::int32_t{3});
  view_.RVFOptions.Exclude(rvfoSaveDocProperties);
  EXPECT_EQ(Written(data_, rvfsmWhole, view_), "-8 1 3 1\r\n0 2 0 8 0 0\r\n" + Raw(u"one\u2029two\u2029") +
                                                   "0 1 0 9 0 0\r\n" + Raw(u"three\u2029") + "0 1 0 8 0 3\r\n" +
                                                   Raw(u"four\u2029"));
}

TEST_F(RVFWriterTest, TagsHintsAndQuotedNames) {
  data_.SetTagsArePChars(true);
  style_.TextStyleAt(1).SetStyleName(u"say \"hi\"\r\n");
  data_.AppendTextItemW(u"x", 1, 0, std::string());
  data_.AppendTextItemW(u"y", 0, 0, std::string("my \"tag\"\r\n"));
  data_.ItemAt(1).SetItemHint(u"h\"i");
  view_.RVFOptions = {rvfoSaveBinary, rvfoUseStyleNames};
  std::string stream = Written(data_, rvfsmWhole, view_);
  EXPECT_EQ(stream, "-8 1 3 1\r\n\"say \"\"hi\"\"\x01\x02\" 1 \"Paragraph Style\" 8 0 0\r\n" + Raw(u"x\u2029") +
                        "\"Normal text\" 1 \"Paragraph Style\" 8 0 \"my \"\"tag\"\"\x01\x02\" \"h\"\"i\"\r\n" + Raw(u"y\u2029"));

  TRVEditRVData target;
  target.SetRVStyle(&style_);
  target.SetTagsArePChars(true);
  ASSERT_TRUE(ReadRVF(target, stream, 0, true, view_));
  EXPECT_EQ(test::DeepDump(target), test::DeepDump(data_));
  EXPECT_TRUE(TagIsEmpty(target.ItemTag(0))) << "an empty string tag comes back as no tag";
}

TEST_F(RVFWriterTest, CheckpointsComeBeforeTheirItemsAndAPendingOneLast) {
  data_.AddCheckpoint(u"first", std::int32_t{4}, true).Persistent = true;
  data_.AppendTextItemW(u"a", 0, 0);
  data_.AddCheckpoint(u"end\r\n");
  view_.RVFOptions.Exclude(rvfoSaveDocProperties);
  std::string stream = Written(data_, rvfsmWhole, view_);
  EXPECT_EQ(stream, "-8 1 3 1\r\n-2 1 0 0 0 4 1 1\r\nfirst\r\n0 1 0 8 0 0\r\n" + Raw(u"a\u2029") +
                        "-2 1 0 0 0 0 0 0\r\nend\x01\x02\r\n");
  TRVEditRVData target;
  ASSERT_TRUE(ReadRVF(target, stream, 0, true, view_));
  EXPECT_EQ(test::DeepDump(target), test::DeepDump(data_));
}

TEST_F(RVFWriterTest, DocumentRecords) {
  data_.AppendTextItemW(u"a", 0, 0);
  view_.DocProperties = {u"Title=Report", u"two\r\nlines"};
  view_.DocParameters.Orientation = poLandscape;
  view_.DocParameters.PageWidth = 11.5;
  view_.DocParameters.MirrorMargins = true;
  view_.Background.Style = 2;
  view_.Background.Color = clRed;
  view_.RVFOptions.Include(rvfoSaveBack);
  view_.RVFOptions.Include(rvfoSaveLayout);
  view_.Layout.LeftMargin = 12;
  view_.Layout.BiDiMode = rvbdRightToLeft;
  std::string stream = Written(data_, rvfsmWhole, view_);
  std::string layout = std::string("\x21\x00\x00\x00", 4) + std::string(4, '\0') + std::string("\x19\0\0\0", 4) +
                       std::string("\x0C\0\0\0\x05\0\0\0\x05\0\0\0\x05\0\0\0", 16) + std::string(8, '\0') + "\x02";
  EXPECT_EQ(stream, "-8 1 3 1\r\n-7 0 -1 0 0 0 2 255\r\n-9 2 0 0 0 0 5\r\nTitle=Report\r\ntwo\x01\x02lines\r\n"
                    "-9 3 0 0 0 0 7\r\nOrientation=1\r\nPageWidth=11.5\r\nMirrorMargins=1\r\n"
                    "-9 2 0 0 2 0 3\r\n\r\n" +
                        layout + "0 1 0 8 0 0\r\n" + Raw(u"a\u2029"));

  TRVFView loaded = TestView();
  loaded.RVFOptions.Include(rvfoLoadBack);
  loaded.RVFOptions.Include(rvfoLoadLayout);
  TRVEditRVData target;
  ASSERT_TRUE(ReadRVF(target, stream, 0, true, loaded));
  EXPECT_EQ(loaded.DocProperties, view_.DocProperties);
  EXPECT_EQ(loaded.DocParameters, view_.DocParameters);
  EXPECT_EQ(loaded.Layout, view_.Layout);
  EXPECT_EQ(loaded.Background.Style, 2);
  EXPECT_EQ(loaded.Background.Color, clRed);
}

TEST_F(RVFWriterTest, ARecordForEachKind) {
  test::AddTestStyles(style_);
  auto line = std::make_unique<TRVBreakItemInfo>();
  data_.AppendItem({}, std::move(line));
  data_.AppendItem({}, std::make_unique<TRVTabItemInfo>(2));
  auto label = std::make_unique<TRVLabelItemInfo>(1, u"L");
  label->ParaNo = -1;
  data_.AppendItem("name", std::move(label));
  auto table = TRVTableItemInfo::CreateTable(1, 1, &data_);
  data_.AppendItem({}, std::move(table));
  view_.RVFOptions = {rvfoSavePicturesBody};
  std::string stream = Written(data_, rvfsmWhole, view_);
  EXPECT_TRUE(stream.starts_with("-8 1 3 1\r\n-1 0 0 0 0 0 536870911 0 1\r\n-12 0 0 0 0 0 2\r\n"
                                 "-200 6 0 1 0 0 0\r\nL\r\n1\r\n0\r\n0\r\nno-protect\r\nname\r\n-60 3 0 0 0 0 \r\n\r\n1\r\n"
                                 "54504630"))
      << stream;
}

TEST_F(RVFWriterTest, APartCarriesTheLayoutAndTheNumberingItContinues) {
  test::AddTestStyles(style_);
  data_.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(0, 0));
  data_.AppendTextItemW(u"first", 0, -1);
  data_.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(0, 0));
  data_.AppendTextItemW(u"second item", 0, -1);
  data_.AppendTextItemW(u"plain", 0, 0);
  view_.PartStart = {2, 0};
  view_.PartEnd = {4, 6};
  std::string stream = Written(data_, rvfsmPart, view_);
  std::string layout = std::string("\x21\0\0\0", 4) + std::string(4, '\0') + std::string("\x19\0\0\0", 4) +
                       std::string("\x05\0\0\0\x05\0\0\0\x05\0\0\0\x05\0\0\0", 16) + std::string(9, '\0');
  std::string numbering = std::string("\x19\0\0\0", 4) + std::string(4, '\0') + std::string("\x01\0\0\0", 4) +
                          std::string(8, '\0') + std::string(1, '\0') + std::string("\x01\0\0\0\x01\0\0\0", 8);
  EXPECT_EQ(stream, kVersionLine + "-9 2 0 0 2 0 3\r\n\r\n" + layout + "-9 2 0 0 2 0 6\r\n\r\n" + numbering +
                        "-11 0 0 0 0 0 0 0 2 1\r\n0 1 0 9 0 0\r\n" + Raw(u"second item\u2029") + "0 1 0 8 0 0\r\n" +
                        Raw(u"plain\u2029"))
      << "a marker of a part restarts at the number it shows";

  view_.PartStart = {3, 4};
  TRVFView loaded = TestView();
  loaded.RVFOptions.Include(rvfoLoadLayout);
  TRVEditRVData target;
  target.SetRVStyle(&style_);
  ASSERT_TRUE(ReadRVF(target, Written(data_, rvfsmPart, view_), 0, true, loaded));
  EXPECT_EQ(loaded.PartCuts, (TRVFPartCuts{true, false, 0, 0})) << "the part starts inside a list paragraph";
  ASSERT_EQ(loaded.PartNumbering.size(), 2u);
  EXPECT_EQ(loaded.PartNumbering[1], (TRVFMarkerState{0, 0, false, 1, 2}));
  EXPECT_EQ(target.PrevMarkerListNo, 0);
  EXPECT_EQ(test::Dump(target), "ond item|plain");
}

}  // namespace
}  // namespace varnolt
