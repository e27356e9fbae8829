#include "pdf/PdfDoc.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <regex>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfFonts.h"
#include "tests/pdf/PdfTestHelpers.h"
#include "tests/support/Environment.h"
#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using test::MessageOf;

constexpr LocalDateTime kCreationDate{2009, 6, 18, 18, 19, 25};
constexpr LocalDateTime kSaveMoment{2024, 1, 31, 12, 0, 0};
constexpr LocalDateTime kZeroDate{1899, 12, 30, 0, 0, 0};

std::string CrLfLines(std::initializer_list<std::string_view> lines) {
  std::string joined;
  for (std::string_view line : lines) {
    joined += line;
    joined += "\r\n";
  }
  return joined;
}

// The file of a document with the report's defaults and one page that
// prints nothing.
const std::string kEmptyPageFile =
    CrLfLines({"%PDF-1.2 "}) +
    CrLfLines({"1 0 obj", "<<", "/Type /Catalog", "/Pages 3 0 R", "/PageMode /UseNone", "/PageLayout /SinglePage",
               ">>", "endobj"}) +
    CrLfLines({"2 0 obj", "<<", "/Producer (Varnolt 1.2)", "/Author ()", "/CreationDate (D:20090618181925)",
               "/Creator ()", "/Keywords ()", "/Subject ()", "/Title ()", "/ModDate (D:20240131120000)", ">>",
               "endobj"}) +
    CrLfLines({"3 0 obj", "<<", "/Type /Pages", "/Kids [4 0 R ]", "/Count 1", ">>", "endobj"}) +
    CrLfLines({"4 0 obj", "<<", "/Type /Page", "/Parent 3 0 R", "/MediaBox [0 0 596 842 ]", "/Resources <<",
               "/Font <<", "/F0 6 0 R", ">>", "/XObject <<", ">>", "/ProcSet [/PDF /Text /ImageC ]", ">>",
               "/Contents 5 0 R", ">>", "endobj"}) +
    CrLfLines({"5 0 obj", "<<", "/Length 10", "/Filter []", ">>", "stream"}) + "/F0 10 Tf\n\nendstream\r\n" +
    CrLfLines({"endobj"}) +
    CrLfLines({"6 0 obj", "<<", "/Type /Font", "/Subtype /Type1", "/Encoding /WinAnsiEncoding", "/FirstChar 32",
               "/LastChar 255", "/BaseFont /Helvetica", "/Name /F0", ">>", "endobj"}) +
    CrLfLines({"xref", "0 7", "0000000000 65535 f", "0000000011 00000 n", "0000000111 00000 n", "0000000287 00000 n",
               "0000000352 00000 n", "0000000541 00000 n", "0000000620 00000 n"}) +
    CrLfLines({"trailer", "<<", "/Size 7", "/Root 1 0 R", "/Info 2 0 R", ">>", "startxref", "766", "%%EOF"});

// What the report does when it opens a document with its defaults.
void OpenLikeTheReport(TPdfDoc& doc) {
  doc.StartDocument();
  doc.GetRoot().SetPageMode(pmUseNone);
  doc.GetRoot().SetPageLayout(plSinglePage);
  TPdfInfo& info = doc.GetInfo();
  info.SetAuthor(u"");
  info.SetCreationDate(kCreationDate);
  info.SetCreator(u"");
  info.SetKeywords(u"");
  info.SetModDate(kZeroDate);
  info.SetSubject(u"");
  info.SetTitle(u"");
}

// The saved file, checked by the real readers (no text is shown here).
std::string Saved(TPdfDoc& doc) {
  ScopedClock clock(kSaveMoment);
  MemoryOutputStream stream;
  doc.SaveToStream(stream);
  EXPECT_TRUE(test::IsReadablePdfWithText(stream.Bytes(), ""));
  return stream.Bytes();
}

TEST(PdfDocTest, AnEmptyPageGivesTheKnownFileByteForByte) {
  ASSERT_EQ(kEmptyPageFile.size(), 992u);
  TPdfDoc doc;
  OpenLikeTheReport(doc);
  doc.AddPage();
  EXPECT_EQ(Saved(doc), kEmptyPageFile);
}

TEST(PdfDocTest, EveryXrefOffsetPointsAtItsObject) {
  TPdfDoc doc;
  OpenLikeTheReport(doc);
  doc.AddPage();
  doc.AddPage();
  doc.GetCanvas().SelectFont(u"Times-Roman", 12);
  std::string file = Saved(doc);
  std::size_t xref = file.find("\r\nxref\r\n") + 2;
  std::size_t startxref = file.find("startxref\r\n") + 11;
  EXPECT_EQ(std::stoul(file.substr(startxref)), xref);
  std::size_t count = std::stoul(file.substr(xref + 8));
  ASSERT_EQ(count, 10u);  // a second page adds a page and a contents stream; Times one font
  std::size_t entries = file.find("\r\n", xref + 6) + 2;
  for (std::size_t number = 1; number < count; ++number) {
    std::string entry = file.substr(entries + number * 20, 20);
    ASSERT_EQ(entry.substr(10, 9), " 00000 n\r") << entry;
    std::size_t offset = std::stoul(entry.substr(0, 10));
    EXPECT_EQ(file.substr(offset, std::to_string(number).size() + 6), std::to_string(number) + " 0 obj");
  }
  EXPECT_NE(file.find("/Kids [4 0 R 7 0 R ]\r\n/Count 2"), std::string::npos);
}

TEST(PdfDocTest, SharedResourcesAreWrittenOnceAndHoldEveryPagesFonts) {
  TPdfDoc doc;
  OpenLikeTheReport(doc);
  doc.SetShareResources(true);
  doc.AddPage();
  doc.GetCanvas().SelectFont(u"Times-Roman", 12);
  doc.AddPage();
  doc.GetCanvas().SelectFont(u"FixedWidth", 12);
  const std::string file = Saved(doc);
  const std::regex reference("/Resources (\\d+) 0 R");
  std::vector<std::string> numbers;
  for (auto it = std::sregex_iterator(file.begin(), file.end(), reference); it != std::sregex_iterator(); ++it) {
    numbers.push_back((*it)[1]);
  }
  ASSERT_EQ(numbers.size(), 2u) << "each page refers to its resources";
  EXPECT_EQ(numbers[0], numbers[1]) << "both pages refer to the same dictionary";
  const std::size_t shared = file.find("\r\n" + numbers[0] + " 0 obj\r\n");
  ASSERT_NE(shared, std::string::npos);
  const std::string dictionary = file.substr(shared, file.find("endobj", shared) - shared);
  // The pages' opening font, the first page's Times and the second's Courier.
  for (const char* font : {"/F0 ", "/F1 ", "/F2 "}) EXPECT_NE(dictionary.find(font), std::string::npos) << dictionary;
}

TEST(PdfDocTest, OutlinesAndViewerPreferencesGoIntoTheCatalog) {
  TPdfDoc doc;
  doc.SetUseOutlines(true);
  doc.StartDocument();
  TPdfCatalog& catalog = doc.GetRoot();
  catalog.SetPageMode(pmUseOutlines);
  catalog.SetPageLayout(plOneColumn);
  catalog.SetPageMode(pmFullScreen);  // replaced in place
  catalog.SetNonFullScreenPageMode(pmUseThumbs);
  catalog.SetViewerPreference({vpFitWindow, vpCenterWindow});
  catalog.SetViewerPreference({vpHideToolbar, vpCenterWindow});
  EXPECT_EQ(doc.GetOutlineRoot().Dictionary().ObjectNumber(), 2);
  doc.AddPage();
  std::string file = Saved(doc);
  EXPECT_NE(file.find(CrLfLines({"1 0 obj", "<<", "/Type /Catalog", "/Outlines 2 0 R", "/Pages 4 0 R",
                                 "/PageMode /FullScreen", "/PageLayout /OneColumn", "/ViewerPreferences <<",
                                 "/NonFullScreenPageMode /UseThumbs", "/HideToolbar true", "/CenterWindow true",
                                 ">>", ">>"})),
            std::string::npos)
      << file;
  EXPECT_NE(file.find(CrLfLines({"2 0 obj", "<<", "/Type /Outlines", "/Count 0", ">>"})), std::string::npos);
  EXPECT_NE(file.find("/Producer (Varnolt 1.2)"), std::string::npos);
}

TEST(PdfDocTest, TheApplicationsViewerPreferencesFollowThePageLayout) {
  TPdfDoc doc;
  OpenLikeTheReport(doc);
  doc.GetRoot().SetViewerPreference({vpFitWindow, vpCenterWindow});
  doc.AddPage();
  std::string file = Saved(doc);
  EXPECT_NE(file.find(CrLfLines({"/PageLayout /SinglePage", "/ViewerPreferences <<", "/FitWindow true",
                                 "/CenterWindow true", ">>", ">>"})),
            std::string::npos);
}

TEST(PdfDocTest, WrongStatesRaiseTheirMessages) {
  TPdfDoc doc;
  MemoryOutputStream stream;
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { doc.GetCanvas(); }), "GetCanvas --Document is null");
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { doc.GetInfo(); }), "GetInfo --this method can not use this state..");
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { doc.GetRoot(); }), "GetRoot --this method can not use this state..");
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { doc.GetOutlineRoot(); }), "GetOutlineRoot --document is null..");
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { doc.GetFont(u"Arial"); }), "GetFont --document is null.");
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { doc.AddPage(); }), "AddPage --current pages null.");
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { doc.SaveToStream(stream); }),
            "SaveToStream --there is no document to save.");

  doc.StartDocument();
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { doc.GetOutlineRoot(); }), "GetOutlineRoot --not use outline mode..");
  EXPECT_EQ(MessageOf<EClassNotFound>([&] { doc.GetFont(u"NoSuchFont"); }), "Class NoSuchFont not found");
  // A started document without a page cannot be saved.
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { doc.SaveToStream(stream); }), "GetPage --the Page is nil");
}

TEST(PdfDocTest, ReleasingForgetsThePagesOfTheOldDocument) {
  TPdfDoc doc;
  doc.StartDocument();
  doc.AddPage();
  doc.ReleaseDocument();
  EXPECT_FALSE(doc.HasDocument());
  doc.StartDocument();
  MemoryOutputStream stream;
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { doc.SaveToStream(stream); }), "GetPage --the Page is nil");
  doc.AddPage();
  EXPECT_FALSE(Saved(doc).empty());
}

TEST(PdfDocTest, FontsAreNumberedPerDocumentAndComparedExactly) {
  TPdfDoc doc;
  doc.StartDocument();
  TPdfFont& arial = doc.GetFont(u"Arial");
  TPdfFont& times = doc.GetFont(u"Times-Roman");
  EXPECT_EQ(&doc.GetFont(u"Arial"), &arial);
  EXPECT_EQ(arial.Dictionary().LookupName(u"Name")->Value(), u"F0");
  EXPECT_EQ(times.Dictionary().LookupName(u"Name")->Value(), u"F1");
  std::int32_t objects = doc.Xref().Count();
  // The registry ignores case, the document does not: a second Helvetica.
  TPdfFont& lower = doc.GetFont(u"arial");
  EXPECT_NE(&lower, &arial);
  EXPECT_EQ(lower.Dictionary().LookupName(u"BaseFont")->Value(), u"Helvetica");
  EXPECT_EQ(lower.Dictionary().LookupName(u"Name")->Value(), u"F2");
  EXPECT_EQ(doc.Xref().Count(), objects + 1);
  EXPECT_EQ(doc.Fonts().size(), 3u);
}

TEST(PdfDocTest, SavingTwiceRewritesTheWholeFile) {
  TPdfDoc doc;
  OpenLikeTheReport(doc);
  doc.AddPage();
  std::string first = Saved(doc);
  EXPECT_EQ(Saved(doc), first);
}

// How a finished page's content waits for the save.
enum class Compression { kNone, kAtSave, kAhead };

struct PagesSaved {
  std::string file;
  std::vector<bool> movedOut;  // per page, just before the save
};

// Three pages of text, the first written to again after the others, saved
// with finished pages moved out to a temporary file or, where TMPDIR cannot
// take one, kept in memory.
PagesSaved SaveThreePages(Compression compression, bool temporaryFolderUsable) {
  test::ScratchDir folder;
  // Only while pages are added: the save's readers need a temporary folder.
  auto tmpdir = std::make_unique<test::ScopedEnvironment>(
      "TMPDIR", (temporaryFolderUsable ? folder.path() : folder / "missing").string());
  TPdfDoc doc;
  OpenLikeTheReport(doc);
  if (compression != Compression::kNone) doc.SetCompressionMethod(cmFlateDecode);
  TPdfCanvas& canvas = doc.GetCanvas();
  std::vector<TPdfDictionary*> pages;
  std::string text;
  for (int page = 1; page <= 3; ++page) {
    if (compression == Compression::kAhead && canvas.Contents() != nullptr) canvas.Contents()->DeflateNow();
    doc.AddPage();
    pages.push_back(&canvas.GetPage());
    canvas.TextBegin();
    for (int row = 1; row <= 40; ++row) {
      const std::string line = "Page " + std::to_string(page) + " line of text";
      canvas.TextShow(std::u16string(line.begin(), line.end()));
      canvas.TextNextLine();
      text += line + " ";
    }
    canvas.TextEnd();
    if (page == 1 && compression != Compression::kAhead) text += "Back on the first page ";
  }
  if (compression != Compression::kAhead) {
    canvas.AttachPage(*pages.front());
    canvas.TextShow(u"Back on the first page");
    canvas.AttachPage(*pages.back());
  }
  tmpdir.reset();
  PagesSaved saved;
  for (TPdfDictionary* page : pages) {
    saved.movedOut.push_back(dynamic_cast<TPdfStream*>(page->Lookup(u"Contents"))->DataMovedOut());
  }
  ScopedClock clock(kSaveMoment);
  MemoryOutputStream stream;
  doc.SaveToStream(stream);
  EXPECT_TRUE(test::IsReadablePdfWithText(stream.Bytes(), test::FoldedWhiteSpace(text)));
  saved.file = stream.Bytes();
  return saved;
}

TEST(PdfDocTest, FinishedPagesLeaveMemoryAndTheFileKeepsEveryByte) {
  const struct {
    Compression compression;
    std::vector<bool> movedOut;
  } cases[] = {
      // The first page came back into memory when it was written to again.
      {Compression::kNone, {false, true, false}},
      {Compression::kAtSave, {false, true, false}},
      {Compression::kAhead, {true, true, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.compression));
    const PagesSaved inMemory = SaveThreePages(c.compression, false);
    const PagesSaved movedOut = SaveThreePages(c.compression, true);
    EXPECT_EQ(inMemory.movedOut, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(movedOut.movedOut, c.movedOut);
    EXPECT_EQ(movedOut.file, inMemory.file);
    EXPECT_EQ(movedOut.file.find("<4261636B206F6E20") != std::string::npos, c.compression == Compression::kNone);
  }
}

TEST(PdfDocTest, AFullDiskFailsTheNextPageWithAClearError) {
  TPdfDoc doc;
  OpenLikeTheReport(doc);
  const int full = ::open("/dev/full", O_RDWR | O_CLOEXEC);
  ASSERT_GE(full, 0) << "the test needs /dev/full";
  doc.SetSpillFile(std::make_unique<TPdfSpillFile>(full, 0));
  doc.AddPage();
  doc.GetCanvas().TextShow(u"A");
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { doc.AddPage(); }),
            "Append --the temporary file of finished pages cannot be written: No space left on device.");
  // The page stays in memory, whole.
  EXPECT_EQ(doc.GetCanvas().Contents()->Data(), "/F0 10 Tf\n<41> Tj\n");
}

TEST(PdfDocTest, AMeasuringDocumentWritesNothingIntoItsPage) {
  TPdfDoc doc;
  doc.StartDocumentWithPage();
  TPdfCanvas& canvas = doc.GetCanvas();
  EXPECT_TRUE(canvas.Silent());
  canvas.SelectFont(u"Arial", 12);
  canvas.TextShow(u"Hello");
  // Only the opening font selection, written before the canvas fell silent.
  EXPECT_EQ(canvas.Contents()->Data(), "/F0 10 Tf\n");
  EXPECT_FLOAT_EQ(canvas.MeasureWidth(u"   "), 3 * 278 * 12 / 1000.0f);

  // The next document of the same writer writes again.
  doc.StartDocument();
  doc.AddPage();
  EXPECT_FALSE(canvas.Silent());
  canvas.TextShow(u"A");
  EXPECT_EQ(canvas.Contents()->Data(), "/F0 10 Tf\n<41> Tj\n");
}

}  // namespace
}  // namespace varnolt
