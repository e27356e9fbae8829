// The paper, margins, header and footer an RTF brings to a page editor:
// kept on the editor's page setup when the page has none yet.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Clipboard.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/editor/RVEdit.h"
#include "richtext/rtf/reader/RVRTFReader.h"
#include "tests/richtext/rtf/import/RVRTFImportTestSupport.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using test::Dump;
using test::Rtf;

// Letter paper, landscape, margins of 1, 0.5, 0.75 and 1.5 inches; a header
// with a bold word and a footer around one line of body text.
const std::string kLetterLandscape =
    Rtf("\\paperw15840\\paperh12240\\margl1440\\margr720\\margt1080\\margb2160\\landscape\\headery360"
        "{\\header \\pard Head {\\b bold}\\par}{\\footer \\pard Foot\\par}\\pard Body text\\par");

class RVRTFImportPageSetupTest : public ::testing::Test {
 protected:
  RVRTFImportPageSetupTest() { editor.SetStyle(&style); }

  std::uint8_t Insert(const std::string& rtf) { return editor.InsertRTF(props, rtf); }
  std::string Header() const {
    return editor.PageSetup().Header ? Dump(*editor.PageSetup().Header) : std::string("(none)");
  }
  std::string Footer() const {
    return editor.PageSetup().Footer ? Dump(*editor.PageSetup().Footer) : std::string("(none)");
  }
  // What a page of the kind in the section shows.
  std::string HeaderOf(std::size_t section, TRVHeaderFooterPages pages) const {
    const TCustomRVData* header = editor.PageSetup().HeaderFor(section, pages);
    return header != nullptr ? Dump(*header) : std::string("(none)");
  }
  std::string FooterOf(std::size_t section, TRVHeaderFooterPages pages) const {
    const TCustomRVData* footer = editor.PageSetup().FooterFor(section, pages);
    return footer != nullptr ? Dump(*footer) : std::string("(none)");
  }

  TRVStyle style;
  TRichDocEdit editor;
  TRVRTFReaderProperties props;
};

TEST_F(RVRTFImportPageSetupTest, PaperMarginsHeaderAndFooterGoToThePageSetupNotIntoTheText) {
  editor.Format();
  ASSERT_EQ(Insert(kLetterLandscape), kRtfOk);
  EXPECT_EQ(Dump(editor.RVData()), "Body text");
  ASSERT_TRUE(editor.PageSetup().Paper.has_value());
  const TRVDocParameters& paper = *editor.PageSetup().Paper;
  EXPECT_EQ(paper.Units, rvuPoints);
  EXPECT_EQ(paper.Orientation, poLandscape);
  EXPECT_DOUBLE_EQ(paper.PageWidth, 792);
  EXPECT_DOUBLE_EQ(paper.PageHeight, 612);
  EXPECT_DOUBLE_EQ(paper.LeftMargin, 72);
  EXPECT_DOUBLE_EQ(paper.RightMargin, 36);
  EXPECT_DOUBLE_EQ(paper.TopMargin, 54);
  EXPECT_DOUBLE_EQ(paper.BottomMargin, 108);
  EXPECT_DOUBLE_EQ(paper.HeaderY, 18);
  EXPECT_EQ(Header(), "Head +bold");
  EXPECT_EQ(Footer(), "Foot");
  // The header's styles are the editor's: its bold run names a bold style there.
  const TCustomRVData& header = *editor.PageSetup().Header;
  EXPECT_EQ(header.GetRVStyle(), &style);
  EXPECT_TRUE(style.TextStyleAt(header.ItemAt(1).StyleNo).Style.Contains(fsBold));
  EXPECT_FALSE(style.TextStyleAt(header.ItemAt(0).StyleNo).Style.Contains(fsBold));
}

// A document that names no paper is on the format's own: Letter, margins
// of 1.25 and 1 inch where it names none. A snippet pasted into a page with
// text leaves the page its geometry.
TEST_F(RVRTFImportPageSetupTest, WithoutAPaperSizeTheFormatsLetterDefaultsApply) {
  ASSERT_EQ(Insert(Rtf("\\margl2000 text\\par")), kRtfOk);
  ASSERT_TRUE(editor.PageSetup().Paper.has_value());
  const TRVDocParameters& paper = *editor.PageSetup().Paper;
  EXPECT_DOUBLE_EQ(paper.PageWidth, 612);
  EXPECT_DOUBLE_EQ(paper.PageHeight, 792);
  EXPECT_DOUBLE_EQ(paper.LeftMargin, 100);
  EXPECT_DOUBLE_EQ(paper.RightMargin, 90);
  EXPECT_DOUBLE_EQ(paper.TopMargin, 72);
  EXPECT_DOUBLE_EQ(paper.BottomMargin, 72);
  EXPECT_TRUE(editor.PageSetup().PaperIsDefault);

  editor.ClearDocument();
  editor.InsertTextAtCaret(u"typed");
  ASSERT_EQ(Insert(Rtf("pasted")), kRtfOk);
  EXPECT_FALSE(editor.PageSetup().Paper.has_value());
  ASSERT_EQ(Insert(Rtf("\\paperw5000\\paperh6000 pasted")), kRtfOk);
  ASSERT_TRUE(editor.PageSetup().Paper.has_value());
  EXPECT_DOUBLE_EQ(editor.PageSetup().Paper->PageWidth, 250);
}

TEST_F(RVRTFImportPageSetupTest, EachKindOfHeaderServesItsPagesAndOfSeveralTheOneForMorePagesWins) {
  using enum TRVHeaderFooterPages;
  struct Case {
    std::string groups;
    std::string header;       // every page
    std::string leftHeader;   // left pages
    std::string firstHeader;  // title pages
    std::string footer;
    std::string firstFooter;
    std::string body;
  };
  const Case cases[] = {
      {"{\\headerf First}{\\headerl Left}{\\headerr Right}", "Right", "Left", "First", "(none)", "(none)", "body"},
      {"{\\headerl Left}{\\header All}{\\headerr Right}", "All", "Left", "(none)", "(none)", "(none)", "body"},
      {"{\\header One}{\\header Two}", "One", "One", "(none)", "(none)", "(none)", "body"},
      {"{\\headerf First}{\\footerl Left}{\\footerf First foot}", "(none)", "(none)", "First", "(none)",
       "First foot", "body"},
      // Unclosed: the footer ends with the document and holds the rest.
      {"{\\footer Cut ", "(none)", "(none)", "(none)", "Cut body", "(none)", ""},
  };
  for (const Case& c : cases) {
    editor.ClearDocument();
    Insert(Rtf(c.groups + "body"));
    EXPECT_EQ(HeaderOf(0, All), c.header) << c.groups;
    EXPECT_EQ(HeaderOf(0, Left), c.leftHeader) << c.groups;
    EXPECT_EQ(HeaderOf(0, First), c.firstHeader) << c.groups;
    EXPECT_EQ(FooterOf(0, All), c.footer) << c.groups;
    EXPECT_EQ(FooterOf(0, First), c.firstFooter) << c.groups;
    EXPECT_EQ(Header(), c.header) << c.groups;
    EXPECT_EQ(Dump(editor.RVData()), c.body) << c.groups;
  }
}

// Three sections: the second turns the paper and has a title page of its
// own, the third follows on the same page in two columns with a rule.
TEST_F(RVRTFImportPageSetupTest, SectionsKeepTheirPaperBreaksColumnsAndHeaders) {
  ASSERT_EQ(Insert(Rtf("\\paperw12240\\paperh15840{\\header H1}first\\par\\sect"
                       "\\sectd\\sbkodd\\lndscpsxn\\pgwsxn15840\\pghsxn12240\\marglsxn1000\\titlepg"
                       "{\\headerf F2}second\\par\\sect"
                       "\\sectd\\sbknone\\cols2\\colsx360\\linebetcol third\\par")),
            kRtfOk);
  // A section mark right after a paragraph mark adds no empty paragraph.
  EXPECT_EQ(Dump(editor.RVData()), "first|second|third");
  const TRVPageSetup& setup = editor.PageSetup();
  ASSERT_EQ(setup.Sections.size(), 3U);
  EXPECT_EQ(setup.Sections[0].FirstItem, 0);
  EXPECT_EQ(setup.Sections[1].FirstItem, 1);
  EXPECT_EQ(setup.Sections[2].FirstItem, 2);

  const TRVSection& wide = setup.Sections[1];
  ASSERT_TRUE(wide.Paper.has_value());
  EXPECT_EQ(wide.Paper->Orientation, poLandscape);
  EXPECT_DOUBLE_EQ(wide.Paper->PageWidth, 792);
  EXPECT_DOUBLE_EQ(wide.Paper->PageHeight, 612);
  EXPECT_DOUBLE_EQ(wide.Paper->LeftMargin, 50);
  EXPECT_DOUBLE_EQ(wide.Paper->RightMargin, 90);
  EXPECT_EQ(wide.Break, TRVSectionBreak::OddPage);
  EXPECT_TRUE(wide.TitlePage);
  EXPECT_EQ(HeaderOf(1, TRVHeaderFooterPages::First), "F2");
  // Without a header of its own a section shows the one before it.
  EXPECT_EQ(HeaderOf(1, TRVHeaderFooterPages::All), "H1");
  EXPECT_EQ(setup.PagesKind(1, 3, true), TRVHeaderFooterPages::First);
  EXPECT_EQ(setup.PagesKind(1, 4, false), TRVHeaderFooterPages::All);

  const TRVSection& columns = setup.Sections[2];
  EXPECT_EQ(columns.Break, TRVSectionBreak::Continuous);
  EXPECT_EQ(columns.Columns, 2);
  EXPECT_DOUBLE_EQ(columns.ColumnSpace, 18);
  EXPECT_TRUE(columns.LineBetweenColumns);
  EXPECT_FALSE(columns.TitlePage);
  // The first section's paper is the page's.
  EXPECT_DOUBLE_EQ(setup.Paper->PageWidth, 612);
  EXPECT_EQ(setup.Paper->Orientation, poPortrait);
}

// Page numbers are labels that a painter of pages sets for each page; until
// then they show the result the file was written with.
TEST_F(RVRTFImportPageSetupTest, PageNumberFieldsBecomePageFields) {
  ASSERT_EQ(Insert(Rtf("\\facingp{\\footer Page {\\field{\\*\\fldinst PAGE \\\\* MERGEFORMAT}{\\fldrslt 3}} of "
                       "{\\field{\\*\\fldinst {NUMPAGES}}{\\fldrslt {1}{\\b 2}}} in "
                       "{\\field{\\*\\fldinst SECTIONPAGES}{\\fldrslt 9}}"
                       " {\\field{\\*\\fldinst DATE}{\\fldrslt 1 May}}}body")),
            kRtfOk);
  EXPECT_EQ(Footer(), "Page +<label:3>+ of +<label:12>+ in +<label:9>+ +1 May");
  EXPECT_TRUE(editor.PageSetup().FacingPages);
  EXPECT_EQ(editor.PageSetup().PagesKind(0, 2, false), TRVHeaderFooterPages::Left);
  const TCustomRVData& footer = *editor.PageSetup().Footer;
  const TRVPageFieldKind kinds[] = {TRVPageFieldKind::Page, TRVPageFieldKind::NumPages, TRVPageFieldKind::SectionPages};
  for (int i = 0; i < 3; ++i) {
    const auto* field = dynamic_cast<const TRVPageFieldItemInfo*>(&footer.ItemAt(1 + 2 * i));
    ASSERT_NE(field, nullptr) << i;
    EXPECT_EQ(field->Field, kinds[i]);
  }
}

TEST_F(RVRTFImportPageSetupTest, ATableInAHeaderStaysThereAndAHeaderInATableIsDropped) {
  Insert(Rtf("{\\header \\trowd\\cellx1000\\pard\\intbl in cell\\cell\\row}"
             "\\trowd\\cellx1000\\pard\\intbl body {\\footer lost}cell\\cell\\row"));
  ASSERT_NE(editor.PageSetup().Header, nullptr);
  const TRVTableItemInfo* headerTable = test::FirstTable(*editor.PageSetup().Header);
  ASSERT_NE(headerTable, nullptr);
  EXPECT_EQ(test::DumpTable(*headerTable), "in cell");
  EXPECT_EQ(Footer(), "(none)");
  const TRVTableItemInfo* bodyTable = test::FirstTable(editor.RVData());
  ASSERT_NE(bodyTable, nullptr);
  EXPECT_EQ(test::DumpTable(*bodyTable), "body +cell");
}

TEST_F(RVRTFImportPageSetupTest, APageKeepsWhatItHadAndTakesOnlyWhatItLacks) {
  Insert(Rtf("{\\footer First foot}first"));
  Insert(kLetterLandscape);
  EXPECT_EQ(Footer(), "First foot");
  EXPECT_EQ(Header(), "Head +bold");
  ASSERT_TRUE(editor.PageSetup().Paper.has_value());
  // The first RTF named no paper and gave the empty page RTF's own Letter,
  // so the landscape paper after it was not taken either.
  Insert(Rtf("\\paperw5000\\paperh5000{\\header Other}more"));
  EXPECT_DOUBLE_EQ(editor.PageSetup().Paper->PageWidth, 612);
  EXPECT_EQ(Header(), "Head +bold");

  editor.ClearDocument();
  EXPECT_TRUE(editor.PageSetup().Empty());
  Insert(Rtf("\\paperw5000\\paperh6000{\\header Other}more"));
  EXPECT_DOUBLE_EQ(editor.PageSetup().Paper->PageWidth, 250);
  EXPECT_EQ(Header(), "Other");
}

TEST_F(RVRTFImportPageSetupTest, AnImportOutsideAnEditorStillDropsTheHeaderText) {
  test::TRVImportedRTF imported;
  imported.Load(kLetterLandscape);
  EXPECT_EQ(imported.Structure(), "Body text");
}

TEST(RVRTFImportPageSetupPasteTest, PastedRtfBringsItsPageSetup) {
  TRVStyle style;
  MemoryClipboard clipboard;
  EngineClipboardFormats formats = RegisterEngineFormats(clipboard);
  TRichDocEdit editor;
  editor.SetStyle(&style);
  editor.SetClipboard(&clipboard);
  clipboard.Open();
  clipboard.SetData(formats.richText, kLetterLandscape);
  clipboard.Close();
  editor.PasteFromClipboard();
  EXPECT_EQ(Dump(editor.RVData()), "Body text");
  ASSERT_NE(editor.PageSetup().Header, nullptr);
  EXPECT_EQ(Dump(*editor.PageSetup().Header), "Head +bold");
}

// A page of 15 x 20 cm with a header and a footer, written to RTF by
// LibreOffice from an OpenDocument file.
class RVRTFImportPageSetupOfficeTest : public RVRTFImportPageSetupTest {
 protected:
  std::filesystem::path OfficeRtf() {
    const auto source = dir / "header-footer.fodt";
    std::filesystem::copy_file(test::TestDataDir() / "office" / "header-footer.fodt", source);
    const test::CommandResult result =
        test::RunCommand({"soffice", "--headless", "-env:UserInstallation=file://" + (dir / "profile").string(),
                          "--convert-to", "rtf", "--outdir", dir.path().string(), source.string()});
    const auto rtf = dir / "header-footer.rtf";
    EXPECT_TRUE(std::filesystem::exists(rtf)) << result.output;
    return rtf;
  }

  test::ScratchDir dir;
};

TEST_F(RVRTFImportPageSetupOfficeTest, AnOfficeDocumentsPageArrivesWithItsHeaderAndFooter) {
  ASSERT_EQ(editor.InsertRTFFile(props, OfficeRtf().string()), kRtfOk);
  EXPECT_EQ(Dump(editor.RVData()), "Body text of the page.");
  EXPECT_EQ(Header(), "Quarterly header words");
  EXPECT_EQ(Footer(), "Footer line seven");
  ASSERT_TRUE(editor.PageSetup().Paper.has_value());
  const TRVDocParameters& paper = *editor.PageSetup().Paper;
  constexpr double kPointsPerCm = 72 / 2.54;
  // Twips hold a centimetre to within a twentieth of a point.
  EXPECT_NEAR(paper.PageWidth, 15 * kPointsPerCm, 0.05);
  EXPECT_NEAR(paper.PageHeight, 20 * kPointsPerCm, 0.05);
  EXPECT_NEAR(paper.LeftMargin, 2 * kPointsPerCm, 0.05);
  EXPECT_NEAR(paper.RightMargin, 1.5 * kPointsPerCm, 0.05);
  // The header sits at the page's top margin; the section's margin, where
  // the body starts, lies below the header.
  EXPECT_NEAR(paper.HeaderY, 1 * kPointsPerCm, 0.05);
  EXPECT_NEAR(paper.FooterY, 1.25 * kPointsPerCm, 0.05);
  EXPECT_GT(paper.TopMargin, paper.HeaderY + 10);
  EXPECT_GT(paper.BottomMargin, paper.FooterY + 10);
  EXPECT_EQ(paper.Orientation, poPortrait);
}

}  // namespace
}  // namespace varnolt
