// The .docx reader on documents LibreOffice wrote (from tests/data/office
// sources, converted once per program) and on damaged packages.
#include "richtext/docx/DocxReader.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <functional>
#include <map>
#include <memory>

#include "platform/XmlStream.h"
#include "richtext/document/RVLabelItems.h"
#include "tests/richtext/rtf/import/RVRTFImportTestSupport.h"
#include "tests/support/OfficeChecks.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

class DocxReaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<test::ScratchDir>();
    const auto source = *dir_ / "docx-features.fodt";
    std::filesystem::copy_file(test::TestDataDir() / "office" / "docx-features.fodt", source);
    test::ConvertWithOffice({source}, "docx", dir_->path());
  }
  static void TearDownTestSuite() { dir_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(Docx())) << "LibreOffice wrote no .docx";
    imported_.props.TextStyleMode = rvrsAddIfNeeded;
    imported_.props.ParaStyleMode = rvrsAddIfNeeded;
    ASSERT_EQ(imported_.Load(DocxToRtf(Docx())), 0);
  }

  static std::filesystem::path Docx() { return *dir_ / "docx-features.docx"; }

  // The text style of the item holding exactly text, searched in cells too.
  const TFontInfo* TextStyleOf(const TCustomRVData& data, std::u16string_view text) const {
    for (int i = 0; i < data.CountItems(); ++i) {
      if (data.ItemAt(i).IsText() && data.ItemTextAt(i) == text) {
        return &imported_.style.TextStyleAt(data.ItemAt(i).StyleNo);
      }
    }
    return nullptr;
  }
  const TParaInfo* ParaStyleOf(std::u16string_view text) const {
    const auto& doc = imported_.doc;
    for (int i = 0; i < doc.CountItems(); ++i) {
      if (doc.ItemAt(i).IsText() && doc.ItemTextAt(i).starts_with(text)) {
        return &imported_.style.ParaStyleAt(doc.ItemAt(i).ParaNo);
      }
    }
    return nullptr;
  }

  static std::unique_ptr<test::ScratchDir> dir_;
  test::TRVImportedRTF imported_;
};

std::unique_ptr<test::ScratchDir> DocxReaderTest::dir_;

TEST_F(DocxReaderTest, RunsKeepTheirCharacterFormats) {
  const struct {
    const char16_t* word;
    std::function<bool(const TFontInfo&)> check;
  } cases[] = {
      {u"boldword", [](const TFontInfo& f) { return f.Style.Contains(fsBold) && !f.Style.Contains(fsItalic); }},
      {u"italicword", [](const TFontInfo& f) { return f.Style.Contains(fsItalic); }},
      {u"underlineword", [](const TFontInfo& f) { return f.Style.Contains(fsUnderline); }},
      {u"strikeword", [](const TFontInfo& f) { return f.Style.Contains(fsStrikeOut); }},
      {u"redword", [](const TFontInfo& f) { return f.Color == TColor(0x0000FF); }},
      {u"highlightword", [](const TFontInfo& f) { return f.BackColor == TColor(0x00FFFF); }},
      {u"2", [](const TFontInfo& f) { return f.SubSuperScriptType != rvsssNormal; }},
      {u"capsword", [](const TFontInfo& f) { return f.StyleEx.Contains(rvfsAllCaps); }},
      {u"monoword", [](const TFontInfo& f) { return f.FontName == u"Liberation Mono" && f.Size == 16; }},
      {u"Plain words, ", [](const TFontInfo& f) { return f.FontName == u"Liberation Serif" && f.Size == 11; }},
  };
  for (const auto& c : cases) {
    const TFontInfo* style = TextStyleOf(imported_.doc, c.word);
    ASSERT_NE(style, nullptr) << Utf16ToUtf8(c.word) << " in " << imported_.Structure();
    EXPECT_TRUE(c.check(*style)) << Utf16ToUtf8(c.word);
  }
  EXPECT_EQ(TextStyleOf(imported_.doc, u"hiddenword"), nullptr) << "hidden text is not shown";
}

TEST_F(DocxReaderTest, ParagraphsKeepStylesAlignmentIndentsBordersAndTabs) {
  const TParaInfo* centred = ParaStyleOf(u"Centred line");
  const TParaInfo* right = ParaStyleOf(u"Right aligned");
  const TParaInfo* justified = ParaStyleOf(u"Justified paragraph");
  const TParaInfo* boxed = ParaStyleOf(u"Bordered and shaded");
  const TParaInfo* tabs = ParaStyleOf(u"Chapter one");
  const TParaInfo* styled = ParaStyleOf(u"Styled paragraph");
  for (const TParaInfo* para : {centred, right, justified, boxed, tabs, styled}) ASSERT_NE(para, nullptr);
  EXPECT_EQ(centred->Alignment, rvaCenter);
  EXPECT_EQ(right->Alignment, rvaRight);
  EXPECT_EQ(justified->Alignment, rvaJustify);
  EXPECT_GT(justified->LeftIndent, 60);  // 2 cm at 96 pixels per inch is 76
  EXPECT_GT(justified->RightIndent, 30);
  EXPECT_GT(justified->FirstIndent, 10);
  EXPECT_NE(boxed->Border.Style, rvbNone);
  EXPECT_NE(boxed->Background.Color, kRVColorNone);
  ASSERT_EQ(tabs->Tabs.Count(), 1);
  EXPECT_EQ(tabs->Tabs.Items(0).Align, rvtaRight);
  EXPECT_FALSE(tabs->Tabs.Items(0).Leader.empty());
  // Based on a style that indents and colours: both reach the paragraph and its runs.
  EXPECT_GT(styled->LeftIndent, 30);
  const TFontInfo* styledRun = TextStyleOf(imported_.doc, u"Styled paragraph based on another style.");
  ASSERT_NE(styledRun, nullptr);
  EXPECT_TRUE(styledRun->Style.Contains(fsItalic));
  EXPECT_EQ(styledRun->Size, 13);
}

TEST_F(DocxReaderTest, ListsShowTheirLabelsAsWordDoes) {
  std::vector<std::u16string> labels;
  for (int i = 0; i < imported_.doc.CountItems(); ++i) {
    const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&imported_.doc.ItemAt(i));
    if (!marker) continue;
    const TRVListLevel& level = imported_.style.ListStyles.Items(marker->ListNo).Levels.Items(marker->Level);
    // A bullet shows its level's character; a number, the counted label.
    labels.push_back(marker->DisplayString.empty() ? level.FormatStringW : marker->DisplayString);
  }
  // The heading's outline numbering has no number format: Word shows nothing.
  EXPECT_EQ(labels, (std::vector<std::u16string>{u"", u"1.", u"2.", u"a)", u"b)", u"3.", u"\u2022", u"\u2022"}));
}

TEST_F(DocxReaderTest, TablesKeepRowsSpansAndNestedTables) {
  const TRVTableItemInfo* table = test::FirstTable(imported_.doc);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->TableRowCount(), 3);
  EXPECT_EQ(table->TableColumnCount(), 3);
  const std::string dump = test::DumpTable(*table);
  EXPECT_NE(dump.find("Spanning head<2x1>"), std::string::npos) << dump;
  EXPECT_NE(dump.find("Tall shaded<1x2>"), std::string::npos) << dump;
  EXPECT_NE(dump.find("Alpha cell|Beta cell"), std::string::npos) << dump;
  const TRVTableCellData* outer = table->CellAt(2, 1);
  ASSERT_NE(outer, nullptr);
  const TRVTableItemInfo* inner = test::FirstTable(*outer);
  ASSERT_NE(inner, nullptr) << dump;
  EXPECT_EQ(test::DumpTable(*inner), "Inner one|Inner two");
}

TEST_F(DocxReaderTest, NotesLinksPicturesTextBoxesAndChangesArrive) {
  const std::string structure = imported_.Structure();
  std::vector<std::string> notes;
  for (int i = 0; i < imported_.doc.CountItems(); ++i) {
    if (const auto* note = dynamic_cast<const TRVNoteItemInfo*>(&imported_.doc.ItemAt(i))) {
      notes.push_back(test::Dump(note->Document()));
    }
  }
  EXPECT_EQ(notes,
            (std::vector<std::string>{"<label:1>+<tab>+Footnote body words.", "<label:i>+<tab>+Endnote body words."}));
  for (const char* expected : {"here+<label:1>", "there+<label:i>", "the example site", "<picture>",
                               "Boxed frame words", "insertedword"}) {
    EXPECT_NE(structure.find(expected), std::string::npos) << expected << " in " << structure;
  }
  EXPECT_EQ(structure.find("removedword"), std::string::npos) << "deletions are dropped";
  EXPECT_NE(structure.find("\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7"), std::string::npos) << "Arabic";
  EXPECT_NE(structure.find("\xE4\xB8\xAD\xE6\x96\x87"), std::string::npos) << "Chinese";
  // The East Asian run takes the document's East Asian font.
  const std::string rtf = DocxToRtf(Docx());
  EXPECT_NE(rtf.find("Noto Sans CJK SC"), std::string::npos);
}

// A document's text as a reader sees it: paragraphs on lines, tabs, labels
// (note numbers) where they stand, each table cell on a line of its own.
std::string TextOf(const TCustomRVData& data) {
  std::string text;
  for (int i = 0; i < data.CountItems(); ++i) {
    const TCustomRVItemInfo& item = data.ItemAt(i);
    if (i > 0 && !item.ContinuesPara()) text += '\n';
    if (item.IsText()) text += Utf16ToUtf8(data.ItemTextAt(i));
    if (item.StyleNo == ItemKindTab) text += '\t';
    if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item)) text += Utf16ToUtf8(label->Text);
    if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&item)) {
      for (int row = 0; row < table->TableRowCount(); ++row) {
        for (int column = 0; column < table->TableColumnCount(); ++column) {
          if (const auto* cell = table->CellAt(row, column)) text += "\n" + TextOf(*cell);
        }
      }
    }
  }
  return text;
}

// Our words against LibreOffice's own text of the same .docx. Where they
// differ by design: hidden text and tracked deletions (its text export
// shows both, we drop them as Word's reading view does) and the text box
// (it leaves it out, we keep it).
TEST_F(DocxReaderTest, WordsAgreeWithTheOfficeSuitesText) {
  test::ScratchDir office;
  test::ConvertWithOffice({Docx()}, "txt:Text (encoded):UTF8", office.path());
  const std::string ours = TextOf(imported_.doc);
  const double agreement =
      test::WordAgreement(test::WordsOf(ours), test::WordsOf(test::ReadFileBytes(office / "docx-features.txt")));
  RecordProperty("word_agreement", std::to_string(agreement));
  EXPECT_GE(agreement, 0.97) << ours;
}

TEST_F(DocxReaderTest, ThePageSetupComesFromTheLastSection) {
  TRVStyle style;
  TCustomRVData scratch;
  scratch.SetRVStyle(&style);
  TRVPageSetup setup;
  TRVRTFReaderProperties props;
  props.ParaStyleMode = rvrsAddIfNeeded;
  ASSERT_EQ(props.ImportForInsertion(DocxToRtf(Docx()), scratch, 0, &setup), 0);
  ASSERT_TRUE(setup.Paper.has_value());
  // A5 landscape, 21 x 14.8 cm, in points; a left margin of 2 cm.
  EXPECT_NEAR(setup.Paper->PageWidth, 595.3, 1);
  EXPECT_NEAR(setup.Paper->PageHeight, 419.5, 1);
  EXPECT_NEAR(setup.Paper->LeftMargin, 56.7, 1);
  ASSERT_NE(setup.Header, nullptr);
  EXPECT_NE(test::Dump(*setup.Header).find("Header words of every page"), std::string::npos);
  ASSERT_NE(setup.Footer, nullptr);
  EXPECT_NE(test::Dump(*setup.Footer).find("Footer page"), std::string::npos);
}

// A package written here with libzip; each entry stored as given.
std::string PackageOf(const std::map<std::string, std::string>& parts) {
  test::ScratchDir dir;
  int code = 0;
  zip_t* zip = zip_open((dir / "p.docx").c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  for (const auto& [name, bytes] : parts) {
    zip_file_add(zip, name.c_str(), zip_source_buffer(zip, bytes.data(), bytes.size(), 0), 0);
  }
  zip_close(zip);
  return test::ReadFileBytes(dir / "p.docx");
}

TEST(DocxReaderErrorsTest, DamagedDocumentsAreRefusedNamingFileAndPart) {
  const std::string rels =
      R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="r1" )"
      R"(Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>)";
  struct Case {
    const char* name;
    std::string bytes;
    std::string message;
  };
  const Case cases[] = {
      {"rtf renamed", "{\\rtf1 text}", "d.docx: it is no zip package"},
      {"no document", PackageOf({{"other.xml", "<a/>"}}), "d.docx: it holds no Word document (no main document part)"},
      {"cut XML", PackageOf({{"_rels/.rels", rels}, {"word/document.xml", "<w:document xmlns:w=\"w\"><w:body><w:p>"}}),
       "d.docx, part word/document.xml, line 1: "},
      {"workbook", PackageOf({{"_rels/.rels", rels}, {"word/document.xml", "<workbook/>"}}),
       "d.docx, part word/document.xml: the main part is no Word document"},
      {"styles with a DTD",
       PackageOf({{"_rels/.rels", rels},
                  {"word/_rels/document.xml.rels",
                   R"(<Relationships><Relationship Id="s" Type="x/styles" Target="styles.xml"/></Relationships>)"},
                  {"word/styles.xml", "<!DOCTYPE s [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><styles>&e;</styles>"},
                  {"word/document.xml", "<document><body/></document>"}}),
       "d.docx, part word/styles.xml, line 1: a document type declaration is not allowed"},
  };
  for (const auto& c : cases) {
    std::string message;
    try {
      auto package = ZipPackage::FromBytes(c.bytes, "d.docx");
      DocxToRtf(package);
    } catch (const Exception& error) {
      message = error.Message();
    }
    EXPECT_TRUE(message.starts_with(c.message)) << c.name << ": " << message;
  }
}

TEST(DocxReaderErrorsTest, AMinimalDocumentNeedsNoStylesOrNumbering) {
  const std::string document =
      R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>)"
      R"(<w:p><w:r><w:t>Only words</w:t></w:r><w:r><w:fldChar w:fldCharType="begin"/></w:r>)"
      R"(<w:r><w:instrText>PAGE</w:instrText></w:r><w:r><w:fldChar w:fldCharType="separate"/></w:r>)"
      R"(<w:r><w:t>7</w:t></w:r><w:r><w:fldChar w:fldCharType="end"/></w:r>)"
      R"(<w:del><w:r><w:delText>gone</w:delText></w:r></w:del><w:ins><w:r><w:t> kept</w:t></w:r></w:ins></w:p>)"
      R"(<w:sdt><w:sdtPr/><w:sdtContent><w:p><w:r><w:t>In a control</w:t></w:r></w:p></w:sdtContent></w:sdt>)"
      R"(</w:body></w:document>)";
  auto package = ZipPackage::FromBytes(PackageOf({{"word/document.xml", document}}), "m.docx");
  test::TRVImportedRTF imported;
  ASSERT_EQ(imported.Load(DocxToRtf(package)), 0);
  EXPECT_EQ(imported.Structure(), "Only words+7+ kept|In a control");
}

}  // namespace
}  // namespace varnolt
