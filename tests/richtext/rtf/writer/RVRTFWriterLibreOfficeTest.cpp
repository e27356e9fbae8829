// What the RTF writer writes opens in LibreOffice with the same text, bold
// and italic runs, and tables: converted by soffice to plain text and to
// ODT, each run with its own profile folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "richtext/document/RVItemKinds.h"
#include "richtext/rtf/writer/RVRTFWriter.h"
#include "richtext/table/RVTable.h"
#include "tests/richtext/rtf/writer/RVRTFWriterTestDocuments.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

namespace fs = std::filesystem;
using test::Count;
using test::TestDocument;

class RVRTFWriterLibreOfficeTest : public ::testing::Test {
 protected:
  RVRTFWriterLibreOfficeTest() {
    style_.TextStyles.Items(1).Style = {fsBold};
    style_.TextStyles.Items(3).Style = {fsItalic};
    TFontInfo& boldItalic = style_.TextStyles.Add();
    boldItalic.Style = {fsBold, fsItalic};
    boldItalic.FontName = u"Times New Roman";
    doc_.AppendTextItemW(u"Plain start ", 0, 0);
    doc_.AppendTextItemW(u"bold words", 1, -1);
    doc_.AppendTextItemW(u" \u0436\u0438\u0437\u043D\u044C and \u03B1\u03B2\u03B3 and \u4E2D\u6587 ", 0, -1);
    doc_.AppendTextItemW(u"italic words", 3, -1);
    doc_.AppendTextItemW(u"both at once", 6, 1);
    auto table = TRVTableItemInfo::CreateTable(2, 3, &doc_);
    for (int r = 0; r < 2; ++r) {
      for (int c = 0; c < 3; ++c) {
        TRVTableCellData* cell = table->CellAt(r, c);
        cell->ClearItems();
        cell->AppendTextItemW(u"cell" + Utf8ToUtf16(std::to_string(r * 3 + c)), r == 0 ? 1 : 0, 0);
      }
    }
    doc_.AppendItem({}, std::move(table));
    doc_.AppendTextItemW(u"After the table {braces} \\ and \u201Cquotes\u201D", 0, 0);
  }

  // The file soffice made, or an empty path when it made none (soffice
  // exits with 0 even then).
  fs::path Convert(const fs::path& rtf, const std::string& filter, const std::string& extension) {
    const fs::path profile = dir_ / ("profile-" + std::to_string(++runs_));
    const fs::path out = dir_ / "out";
    const test::CommandResult result =
        test::RunCommand({"soffice", "--headless", "-env:UserInstallation=file://" + profile.string(), "--convert-to",
                          filter, "--outdir", out.string(), rtf.string()});
    const fs::path converted = out / (rtf.stem().string() + "." + extension);
    EXPECT_TRUE(fs::exists(converted)) << result.output;
    return fs::exists(converted) ? converted : fs::path();
  }

  // content.xml and styles.xml of an ODT file, one after the other.
  std::string OdtXml(const fs::path& odt) {
    const test::CommandResult result = test::RunCommand(
        {"python3", "-c",
         "import sys, zipfile\n"
         "z = zipfile.ZipFile(sys.argv[1])\n"
         "sys.stdout.write(z.read('content.xml').decode() + z.read('styles.xml').decode())\n",
         odt.string()});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    return result.output;
  }

  static std::string TextStyleElement(const std::string& xml, const std::string& name) {
    const std::string opening = "<style:style style:name=\"" + name + "\"";
    for (auto style = xml.find(opening); style != std::string::npos; style = xml.find(opening, style + 1)) {
      const std::string element = xml.substr(style, xml.find("</style:style>", style) - style);
      if (element.substr(0, element.find('>')).find("style:family=\"text\"") != std::string::npos) return element;
    }
    return "no style " + name;
  }

  // The text properties of the styles of the spans around exactly text.
  static std::string SpanStyleProperties(const std::string& xml, const std::string& text) {
    auto at = xml.find(">" + text + "</text:span>");
    if (at == std::string::npos) return "no span for " + text;
    std::string properties;
    const std::string opener = "<text:span text:style-name=\"";
    for (auto span = xml.rfind(opener, at); span != std::string::npos && xml.find('>', span) == at;
         span = span == 0 ? std::string::npos : xml.rfind(opener, span - 1)) {
      const auto nameStart = span + opener.size();
      properties += TextStyleElement(xml, xml.substr(nameStart, xml.find('"', nameStart) - nameStart));
      at = span - 1;
    }
    return properties;
  }

  TRVStyle style_;
  TestDocument doc_{style_};
  test::ScratchDir dir_;
  int runs_ = 0;
};

TEST_F(RVRTFWriterLibreOfficeTest, TextRunsAndTablesSurvive) {
  TRVRTFWriteSettings pages;  // the options of the application's pages
  pages.RTFOptions = {rvrtfSaveStyleSheet,     rvrtfDuplicateUnicode,   rvrtfSaveEMFAsWMF,
                      rvrtfSaveJpegAsJpeg,     rvrtfSaveBitmapDefault,  rvrtfSaveEMFDefault,
                      rvrtfSavePicturesBinary, rvrtfSaveDocParameters, rvrtfSaveHeaderFooter};
  for (const TRVRTFWriteSettings& settings : {pages, TRVRTFWriteSettings{}}) {
    const fs::path rtf = dir_ / "document.rtf";
    ASSERT_TRUE(WriteRTFFile(doc_, rtf, false, 0xFFFFFF, nullptr, nullptr, settings));

    const fs::path txt = Convert(rtf, "txt:Text", "txt");
    ASSERT_FALSE(txt.empty());
    std::string text = test::ReadFileBytes(txt);
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    EXPECT_EQ(text, Utf16ToUtf8(u"Plain start bold words \u0436\u0438\u0437\u043D\u044C and \u03B1\u03B2\u03B3 and "
                                u"\u4E2D\u6587 italic words\nboth at once\ncell0\ncell1\ncell2\ncell3\ncell4\ncell5\n"
                                u"After the table {braces} \\ and \u201Cquotes\u201D"));

    const fs::path odt = Convert(rtf, "odt", "odt");
    ASSERT_FALSE(odt.empty());
    const std::string xml = OdtXml(odt);
    EXPECT_NE(SpanStyleProperties(xml, "bold words").find("fo:font-weight=\"bold\""), std::string::npos);
    EXPECT_EQ(SpanStyleProperties(xml, "bold words").find("fo:font-style=\"italic\""), std::string::npos);
    EXPECT_NE(SpanStyleProperties(xml, "italic words").find("fo:font-style=\"italic\""), std::string::npos);
    EXPECT_EQ(SpanStyleProperties(xml, "italic words").find("fo:font-weight=\"bold\""), std::string::npos);
    const std::string both = SpanStyleProperties(xml, "both at once");
    EXPECT_NE(both.find("fo:font-weight=\"bold\""), std::string::npos) << both;
    EXPECT_NE(both.find("fo:font-style=\"italic\""), std::string::npos) << both;
    EXPECT_NE(both.find("Times New Roman"), std::string::npos) << both;
    EXPECT_NE(SpanStyleProperties(xml, "cell1").find("fo:font-weight=\"bold\""), std::string::npos);
    EXPECT_EQ(Count(xml, "<table:table "), 1u);
    EXPECT_EQ(Count(xml, "<table:table-row"), 2u);
    EXPECT_EQ(Count(xml, "<table:table-cell "), 6u);
  }
}

}  // namespace
}  // namespace varnolt
