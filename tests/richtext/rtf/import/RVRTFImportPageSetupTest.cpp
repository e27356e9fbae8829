// The paper, margins, header and footer an RTF brings to a page editor:
// kept on the editor's page setup when the page has none yet.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Clipboard.h"
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

TEST_F(RVRTFImportPageSetupTest, WithoutAPaperSizeThereIsNoPaperWhatEverTheMargins) {
  ASSERT_EQ(Insert(Rtf("\\margl2000\\margr2000 text\\par")), kRtfOk);
  EXPECT_FALSE(editor.PageSetup().Paper.has_value());
  EXPECT_TRUE(editor.PageSetup().Empty());
}

TEST_F(RVRTFImportPageSetupTest, OfSeveralHeadersTheOneForMorePagesWins) {
  struct Case {
    std::string groups;
    std::string header;
    std::string footer;
    std::string body;
  };
  const Case cases[] = {
      {"{\\headerf First}{\\headerl Left}{\\headerr Right}", "Right", "(none)", "body"},
      {"{\\headerl Left}{\\header All}{\\headerr Right}", "All", "(none)", "body"},
      {"{\\header One}{\\header Two}", "One", "(none)", "body"},
      {"{\\headerf First}{\\footerl Left}{\\footerf First foot}", "First", "Left", "body"},
      // Unclosed: the footer ends with the document and holds the rest.
      {"{\\footer Cut ", "(none)", "Cut body", ""},
  };
  for (const Case& c : cases) {
    editor.ClearDocument();
    Insert(Rtf(c.groups + "body"));
    EXPECT_EQ(Header(), c.header) << c.groups;
    EXPECT_EQ(Footer(), c.footer) << c.groups;
    EXPECT_EQ(Dump(editor.RVData()), c.body) << c.groups;
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
  Insert(Rtf("\\paperw5000\\paperh5000{\\header Other}more"));
  EXPECT_DOUBLE_EQ(editor.PageSetup().Paper->PageWidth, 792);
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
  EXPECT_NEAR(paper.TopMargin, 1 * kPointsPerCm, 0.05);
  EXPECT_NEAR(paper.BottomMargin, 1.25 * kPointsPerCm, 0.05);
  EXPECT_EQ(paper.Orientation, poPortrait);
}

}  // namespace
}  // namespace varnolt
