#include "pdf/PdfAnnotations.h"

#include <gtest/gtest.h>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"
#include "tests/pdf/PdfTestHelpers.h"
#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using test::MessageOf;

std::string Saved(TPdfDoc& doc) {
  MemoryOutputStream stream;
  doc.SaveToStream(stream);
  return stream.Bytes();
}

// Two pages: a link to an address and one to a name on the first; names
// on both, one of them given twice, one outside ASCII.
std::string LinkedDocument() {
  TPdfDoc doc;
  doc.StartDocument();
  doc.AddPage();
  AddUriLink(doc, {72, 700, 200, 714.5f}, "https://example.org/a b?q=\xC3\xA9");
  AddNamedLink(doc, {72, 600, 200, 614}, u"Zebra");
  AddNamedDestination(doc, u"Zebra", 800);
  doc.AddPage();
  AddNamedDestination(doc, u"Alpha", 500);
  AddNamedDestination(doc, u"Zebra", 100);
  AddNamedDestination(doc, u"\u00C4rger", 300);
  return Saved(doc);
}

class PdfAnnotationsTest : public testing::Test {
 protected:
  void SetUp() override {
    pdf_ = scratch_ / "linked.pdf";
    test::WriteFileBytes(pdf_, LinkedDocument());
  }
  std::string Run(std::vector<std::string> argv) {
    argv.push_back(pdf_.string());
    test::CommandResult result = test::RunCommand(argv);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    return result.output;
  }

  test::ScratchDir scratch_;
  std::filesystem::path pdf_;
};

TEST_F(PdfAnnotationsTest, PassesQpdfCheck) { EXPECT_TRUE(test::PassesQpdfCheck(pdf_)); }

TEST_F(PdfAnnotationsTest, ReadersFindEveryNameOnItsPageAndTheFirstPlaceOfATwiceGivenName) {
  std::string dests = test::FoldedWhiteSpace(Run({"pdfinfo", "-dests"}));
  EXPECT_NE(dests.find("1 [ XYZ null 800 null ] \"Zebra\""), std::string::npos) << dests;
  EXPECT_NE(dests.find("2 [ XYZ null 500 null ] \"Alpha\""), std::string::npos) << dests;
  EXPECT_NE(dests.find("2 [ XYZ null 300 null ] \"\xC3\x84rger\""), std::string::npos) << dests;
  EXPECT_EQ(dests.find(" 100 "), std::string::npos) << dests;
}

TEST_F(PdfAnnotationsTest, ReadersFindTheAddressWithItsUnsafeBytesEncoded) {
  std::string urls = test::FoldedWhiteSpace(Run({"pdfinfo", "-url"}));
  EXPECT_NE(urls.find("1 Annotation https://example.org/a%20b?q=%C3%A9"), std::string::npos) << urls;
}

TEST_F(PdfAnnotationsTest, TheNamedLinkGoesToItsNameWithoutABorder) {
  std::string json = test::FoldedWhiteSpace(Run({"qpdf", "--json=2", "--json-key=qpdf"}));
  EXPECT_NE(json.find("\"/Dest\": \"u:Zebra\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"/Border\": [ 0, 0, 0 ]"), std::string::npos) << json;
}

TEST_F(PdfAnnotationsTest, TheNameTreeIsSortedByTheNamesBytes) {
  std::string bytes = test::ReadFileBytes(pdf_);
  std::size_t alpha = bytes.find("<416C706861>");
  std::size_t zebra = bytes.find("<5A65627261> [");
  std::size_t wide = bytes.find("<FEFF00C40072006700650072>");
  ASSERT_NE(wide, std::string::npos);
  EXPECT_LT(alpha, zebra);
  EXPECT_LT(zebra, wide);
}

TEST(PdfAnnotationsPageTest, NeedsAPage) {
  TPdfDoc doc;
  doc.StartDocument();
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { AddUriLink(doc, {}, "https://example.org"); }),
            "GetPage --the Page is nil");
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { AddNamedDestination(doc, u"a", 0); }),
            "GetPage --the Page is nil");
}

TEST(PdfVersionTest, TheHeaderAnnouncesTheHighestVersionAskedFor) {
  struct Case {
    std::vector<int> required;
    std::string header;
  };
  const Case cases[] = {
      {{}, "%PDF-1.2 \r\n"},
      {{1}, "%PDF-1.2 \r\n"},
      {{4}, "%PDF-1.4 \r\n"},
      {{5, 3}, "%PDF-1.5 \r\n"},
      {{3, 7, 4}, "%PDF-1.7 \r\n"},
  };
  for (const Case& c : cases) {
    TPdfDoc doc;
    doc.StartDocument();
    doc.AddPage();
    for (int minor : c.required) doc.RequireVersion(minor);
    EXPECT_EQ(Saved(doc).substr(0, c.header.size()), c.header);
  }
}

TEST(PdfVersionTest, ANewDocumentStartsAgainFromTheDefault) {
  TPdfDoc doc;
  doc.StartDocument();
  doc.AddPage();
  doc.RequireVersion(6);
  doc.StartDocument();
  doc.AddPage();
  EXPECT_EQ(Saved(doc).substr(0, 11), "%PDF-1.2 \r\n");
}

TEST(PdfVersionTest, RefusesVersionsThatDoNotExist) {
  TPdfDoc doc;
  for (int minor : {-1, 8}) {
    EXPECT_EQ(MessageOf<EPdfInvalidValue>([&] { doc.RequireVersion(minor); }), "RequireVersion --invalid version");
  }
}

}  // namespace
}  // namespace varnolt
