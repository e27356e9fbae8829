// Documents written by the RTF writer and imported again on the same style
// sheet: the same items, styles and tables come back, and no style is added.
#include <gtest/gtest.h>

#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/graphic/RVBitmap.h"
#include "richtext/graphic/RVJpegPng.h"
#include "richtext/rtf/import/RVRTFProps.h"
#include "richtext/rtf/reader/RVRTFReader.h"
#include "richtext/rtf/writer/RVRTFWriter.h"
#include "richtext/table/RVTable.h"
#include "tests/richtext/graphic/RVGraphicTestImages.h"
#include "tests/richtext/rtf/writer/RVRTFWriterTestDocuments.h"

namespace varnolt {
namespace {

using test::TestDocument;
using test::WriteRtfString;

// What RTF carries of a document, one item a line: the line flags, the
// style numbers, the text, and the kind's own content; nested documents
// indented below their item.
std::string Describe(const TCustomRVData& data, const std::string& indent = "");

std::string DescribeTable(const TRVTableItemInfo& table, const std::string& indent) {
  std::string out = " " + std::to_string(table.TableRowCount()) + "x" + std::to_string(table.TableColumnCount()) +
                    " width " + std::to_string(table.BestWidth) + "\n";
  for (int r = 0; r < table.TableRowCount(); ++r) {
    for (int c = 0; c < table.TableColumnCount(); ++c) {
      const TRVTableCellData* cell = table.CellAt(r, c);
      if (cell == nullptr) continue;
      out += indent + "  cell " + std::to_string(r) + "," + std::to_string(c) + " span " +
             std::to_string(cell->SpanRows()) + "x" + std::to_string(cell->SpanColumns()) + " size " +
             std::to_string(cell->BestWidth) + "x" + std::to_string(cell->BestHeight) + "\n" +
             Describe(*cell, indent + "    ");
    }
  }
  return out;
}

std::string DescribeKind(const TCustomRVItemInfo& item, const std::string& indent) {
  if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&item)) return "table" + DescribeTable(*table, indent);
  if (const auto* note = dynamic_cast<const TRVNoteItemInfo*>(&item)) {
    return std::string(item.StyleNo == ItemKindEndnote ? "endnote" : "footnote") + " style " +
           std::to_string(note->TextStyleNo) + "\n" + Describe(note->Document(), indent + "    ");
  }
  if (const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&item)) {
    return "marker " + std::to_string(marker->ListNo) + "/" + std::to_string(marker->Level) +
           (marker->Reset ? " from " + std::to_string(marker->ResetValue) : "") + "\n";
  }
  if (const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&item)) {
    const TGraphic* image = picture->Image.get();
    if (image == nullptr) return "picture none\n";
    return "picture " + image->ClassName() + " " + std::to_string(image->Width()) + "x" +
           std::to_string(image->Height()) + "\n";
  }
  if (item.StyleNo == ItemKindTab) return "tab\n";
  return "kind " + std::to_string(item.StyleNo) + "\n";
}

// Text items that continue a run of the same style count as one run: the
// reader may deliver a run in pieces.
std::string Describe(const TCustomRVData& data, const std::string& indent) {
  std::string out;
  for (int i = 0; i < data.CountItems(); ++i) {
    const TCustomRVItemInfo& item = data.ItemAt(i);
    out += indent + (item.ContinuesPara() ? "+" : item.LineBreakBefore() ? "/" : item.PageBreakBefore() ? "#" : "|");
    if (item.Checkpoint()) out += "[" + Utf16ToUtf8(item.Checkpoint()->Name) + "]";
    out += " para " + std::to_string(item.ParaNo) + " ";
    if (!item.IsText()) {
      out += DescribeKind(item, indent);
      continue;
    }
    std::string text = Utf16ToUtf8(data.ItemTextAt(i));
    const std::int32_t style = data.EffectiveStyleOf(i);
    while (i + 1 < data.CountItems() && data.ItemAt(i + 1).IsText() && data.ItemAt(i + 1).ContinuesPara() &&
           !data.ItemAt(i + 1).Checkpoint() && data.EffectiveStyleOf(i + 1) == style) {
      text += Utf16ToUtf8(data.ItemTextAt(++i));
    }
    out += "text " + std::to_string(style) + " '" + text + "'\n";
  }
  return out;
}

class RVRTFWriterImportRoundTripTest : public ::testing::Test {
 protected:
  RVRTFWriterImportRoundTripTest() { test::MakeRoundTripStyle(style_); }

  // The document written and imported into a fresh document on the same
  // style sheet, described.
  std::string ThroughRtf(const TCustomRVData& doc, TRVRTFOptions options) {
    TRVRTFWriteSettings settings;
    settings.RTFOptions = options;
    TestDocument back(style_);
    TRVRTFReaderProperties props;
    props.TextStyleMode = rvrsAddIfNeeded;
    props.ParaStyleMode = rvrsAddIfNeeded;
    EXPECT_EQ(props.LoadRTF(WriteRtfString(doc, settings), back), kRtfOk);
    return Describe(back);
  }

  void ExpectSameDocument(const TCustomRVData& doc) {
    const int textStyles = style_.TextStyles.Count();
    const int paraStyles = style_.ParaStyles.Count();
    const int listStyles = style_.ListStyles.Count();
    const TRVRTFOptions pages{rvrtfSaveStyleSheet,     rvrtfDuplicateUnicode,   rvrtfSaveEMFAsWMF,
                              rvrtfSaveJpegAsJpeg,     rvrtfSaveBitmapDefault,  rvrtfSaveEMFDefault,
                              rvrtfSavePicturesBinary, rvrtfSaveDocParameters, rvrtfSaveHeaderFooter};
    for (TRVRTFOptions options : {pages, kRVDefaultRTFOptions}) {
      EXPECT_EQ(ThroughRtf(doc, options), Describe(doc)) << options.ToBits();
      EXPECT_EQ(style_.TextStyles.Count(), textStyles);
      EXPECT_EQ(style_.ParaStyles.Count(), paraStyles);
      EXPECT_EQ(style_.ListStyles.Count(), listStyles);
    }
  }

  TRVStyle style_;
};

TEST_F(RVRTFWriterImportRoundTripTest, StyledParagraphs) {
  TestDocument doc(style_);
  doc.AppendTextItemW(u"Title {1}", 1, 1);
  doc.AppendTextItemW(u"Plain \\ text, ", 0, 0);
  doc.AppendTextItemW(u"\u0436\u0438\u0437\u043D\u044C", 2, -1);
  doc.AppendTextItemW(u" and \u03B1\u03B2\u03B3", 3, -1);
  doc.AppendTextItemW(u"next line", 0, 0);
  doc.ItemAt(4).SetLineBreakBefore(true);
  doc.AppendTextItemW(u"\u4E2D\u6587 \u2014 \u201Cquoted\u201D", 0, 2);
  doc.AppendTextItemW(u"on a new page", 0, 0);
  doc.ItemAt(6).SetPageBreakBefore(true);
  ExpectSameDocument(doc);
}

TEST_F(RVRTFWriterImportRoundTripTest, TablesWithMergedCells) {
  TestDocument doc(style_);
  doc.AppendTextItemW(u"before", 0, 0);
  auto table = TRVTableItemInfo::CreateTable(3, 3, &doc);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      TRVTableCellData* cell = table->CellAt(r, c);
      cell->ClearItems();
      cell->AppendTextItemW(Utf8ToUtf16("cell " + std::to_string(r) + std::to_string(c)), r == 0 ? 1 : 0, 0);
      cell->BestWidth = 40 + 10 * c;
    }
  }
  table->JoinCells(1, 0, 2, 1);
  table->JoinCells(0, 1, 1, 2);
  table->BestWidth = 400;
  doc.AppendItem({}, std::move(table));
  doc.AppendTextItemW(u"after", 2, 0);
  ExpectSameDocument(doc);
}

// A list comes back as the same list style when it has one level or nine
// (the writer writes nine levels for any longer list), and its paragraphs
// keep their styles when those have the level's indents; a note's number
// is in a style of its own.
TEST_F(RVRTFWriterImportRoundTripTest, ListsNotesAndPictures) {
  TRVListInfo& list = style_.ListStyles.Add();
  for (int k = 0; k < 9; ++k) {
    TRVListLevel& level = list.Levels.Add();
    level.ListType = k % 2 == 0 ? rvlstDecimal : rvlstLowerAlpha;
    level.FormatString = "%" + std::to_string(k) + ":s.";
    level.LeftIndent = 24 * (k + 1);
  }
  for (int k = 0; k < 2; ++k) {
    TParaInfo& para = style_.ParaStyles.Add();
    para.LeftIndent = 24 * (k + 1);
    para.FirstIndent = -para.LeftIndent;
  }
  TFontInfo& noteNumber = style_.TextStyles.Add();
  noteNumber.Protection = {rvprDoNotAutoSwitch};

  TestDocument doc(style_);
  for (int k = 0; k < 2; ++k) {
    auto marker = std::make_unique<TRVMarkerItemInfo>(0, k);
    marker->ParaNo = 3 + k;
    doc.AppendItem({}, std::move(marker));
    doc.AppendTextItemW(k == 0 ? u"first" : u"nested", 0, -1);
  }
  doc.AddCheckpoint(u"mark");
  doc.AppendTextItemW(u"with a note", 0, 0);
  auto note = std::make_unique<TRVFootnoteItemInfo>(4);
  note->Document().AppendTextItemW(u"the note", 0, 0);
  note->ParaNo = -1;
  doc.AppendItem({}, std::move(note));
  auto bitmap = std::make_unique<TRVGraphicItemInfo>(TBitmap::FromDib(test::MakeDib(4, 3)), rvvaBaseline);
  bitmap->ParaNo = -1;
  doc.AppendItem({}, std::move(bitmap));
  auto png = std::make_unique<TRVGraphicItemInfo>(TPngGraphic::FromBytes(test::MakePng(5, 2)), rvvaBaseline);
  png->ParaNo = -1;
  doc.AppendItem({}, std::move(png));
  ExpectSameDocument(doc);
}

}  // namespace
}  // namespace varnolt
