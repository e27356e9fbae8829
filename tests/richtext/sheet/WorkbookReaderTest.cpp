// The workbook readers on packages written here part by part: what each
// kind of cell shows, hidden sheets, merges, and damaged or hostile input.
#include "richtext/sheet/WorkbookReader.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <chrono>
#include <map>

#include "platform/XmlStream.h"
#include "platform/ZipPackage.h"
#include "richtext/sheet/OdsReader.h"
#include "richtext/sheet/XlsxReader.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

constexpr TSheetRange kRange{150, 52};
using TParts = std::map<std::string, std::string>;

void WriteZip(const std::filesystem::path& file, const TParts& parts) {
  int error = 0;
  zip_t* archive = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(archive, nullptr);
  for (const auto& [name, bytes] : parts) {
    zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0);
  }
  ASSERT_EQ(zip_close(archive), 0);
}

constexpr char kMain[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr char kRel[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string Sheet(const std::string& body) {
  return std::string("<worksheet xmlns=\"") + kMain + "\"><sheetData>" + body + "</sheetData></worksheet>";
}

// A workbook of the given sheets (name, state, part body), with shared strings and styles.
TParts Xlsx(const std::vector<std::tuple<std::string, std::string, std::string>>& sheets,
            const std::string& sharedStrings = "", const std::string& styles = "", bool date1904 = false) {
  TParts parts;
  parts["_rels/.rels"] = std::string("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">") +
                         "<Relationship Id=\"r1\" Type=\"" + kRel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
  std::string workbook = std::string("<workbook xmlns=\"") + kMain + "\" xmlns:r=\"" + kRel + "\"><workbookPr" +
                         (date1904 ? " date1904=\"1\"" : "") + "/><sheets>";
  std::string relations = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  for (size_t i = 0; i < sheets.size(); ++i) {
    const auto& [name, state, body] = sheets[i];
    const std::string id = "rId" + std::to_string(i + 1);
    workbook += "<sheet name=\"" + name + "\" sheetId=\"" + std::to_string(i + 1) + "\"" +
                (state.empty() ? "" : " state=\"" + state + "\"") + " r:id=\"" + id + "\"/>";
    relations += "<Relationship Id=\"" + id + "\" Type=\"" + kRel + "/worksheet\" Target=\"worksheets/sheet" +
                 std::to_string(i + 1) + ".xml\"/>";
    parts["xl/worksheets/sheet" + std::to_string(i + 1) + ".xml"] = body;
  }
  if (!sharedStrings.empty()) {
    relations += std::string("<Relationship Id=\"s\" Type=\"") + kRel + "/sharedStrings\" Target=\"/xl/sharedStrings.xml\"/>";
    parts["xl/sharedStrings.xml"] = std::string("<sst xmlns=\"") + kMain + "\">" + sharedStrings + "</sst>";
  }
  if (!styles.empty()) {
    relations += std::string("<Relationship Id=\"t\" Type=\"") + kRel + "/styles\" Target=\"styles.xml\"/>";
    parts["xl/styles.xml"] = std::string("<styleSheet xmlns=\"") + kMain + "\">" + styles + "</styleSheet>";
  }
  parts["xl/workbook.xml"] = workbook + "</sheets></workbook>";
  parts["xl/_rels/workbook.xml.rels"] = relations + "</Relationships>";
  return parts;
}

std::string Ods(const std::string& tables, const std::string& styles = "") {
  return "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
         "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
         "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
         "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\"><office:automatic-styles>" +
         styles + "</office:automatic-styles><office:body><office:spreadsheet>" + tables +
         "</office:spreadsheet></office:body></office:document-content>";
}

class WorkbookReaderTest : public ::testing::Test {
 protected:
  test::ScratchDir dir;

  std::vector<TSheetGrid> Read(const std::string& name, const TParts& parts) {
    WriteZip(dir / name, parts);
    return ReadWorkbook(dir / name, kRange);
  }
  // The error's message, or "" when reading succeeded.
  std::string ErrorOf(const std::string& name, const TParts& parts) {
    try {
      Read(name, parts);
    } catch (const Exception& error) {
      return error.what();
    }
    return {};
  }
};

TEST_F(WorkbookReaderTest, XlsxCellsShowAsTheirKindAndFormatSay) {
  const std::string strings =
      "<si><t>shared</t></si>"
      "<si><r><t>rich </t></r><r><rPr><b/></rPr><t xml:space=\"preserve\">text</t></r><rPh><t>guide</t></rPh></si>"
      "<si><t>line_x000D_\nbreak _x0041_</t></si>";
  const std::string styles =
      "<numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy\\-mm\\-dd\"/></numFmts>"
      "<cellStyleXfs><xf numFmtId=\"10\"/></cellStyleXfs>"
      "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"10\"/><xf numFmtId=\"4\"/></cellXfs>";
  const auto sheets = Read(
      "kinds.xlsx",
      Xlsx({{"Kinds", "",
             Sheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
                   "<c r=\"C1\" t=\"s\"><v>2</v></c></row>"
                   "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>inline</t></is></c><c r=\"B2\" t=\"b\"><v>1</v></c>"
                   "<c r=\"C2\" t=\"b\"><v>0</v></c><c r=\"D2\" t=\"e\"><v>#DIV/0!</v></c></row>"
                   "<row r=\"3\"><c r=\"A3\" s=\"1\"><v>45366</v></c><c r=\"B3\" s=\"2\"><v>0.1234</v></c>"
                   "<c r=\"C3\" s=\"3\"><f>A1*2</f><v>1234.5</v></c><c r=\"D3\" t=\"str\"><f>\"a\"&amp;\"b\"</f><v>ab</v></c></row>"
                   "<row><c><v>2.5</v></c><c/><c><v>7</v></c></row>"
                   "<row r=\"6\"><c r=\"BA6\"><v>9</v></c><c r=\"AZ6\"><v>52</v></c></row>"
                   "<row r=\"151\"><c r=\"A151\"><v>1</v></c></row>")}},
           strings, styles));
  ASSERT_EQ(sheets.size(), 1u);
  const TSheetCells expected = {{"shared", "rich text", "line\nbreak A"},
                                {"inline", "TRUE", "FALSE", "#DIV/0!"},
                                {"2024-03-15", "12.34%", "1,234.50", "ab"},
                                {"2.5", "", "7"},
                                {},
                                std::vector<std::string>(51)};
  TSheetCells wide = expected;
  wide[5].push_back("52");
  EXPECT_EQ(sheets[0].cells, wide);
}

TEST_F(WorkbookReaderTest, HiddenSheetsAreSkippedAndMergesKept) {
  const auto xlsx =
      Read("hidden.xlsx", Xlsx({{"One", "", Sheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")},
                                {"Two", "hidden", Sheet("")},
                                {"Three", "veryHidden", Sheet("")},
                                {"Four", "visible",
                                 "<worksheet xmlns=\"" + std::string(kMain) +
                                     "\"><sheetData/><mergeCells><mergeCell ref=\"A1:C2\"/><mergeCell ref=\"AZ150:BB200\"/>"
                                     "<mergeCell ref=\"BA1:BC1\"/><mergeCell ref=\"junk\"/></mergeCells></worksheet>"}}));
  ASSERT_EQ(xlsx.size(), 2u);
  EXPECT_EQ(xlsx[0].name, "One");
  EXPECT_EQ(xlsx[1].name, "Four");
  ASSERT_EQ(xlsx[1].merges.size(), 1u);
  EXPECT_EQ(xlsx[1].merges[0].lastColumn, 2);
  EXPECT_EQ(xlsx[1].merges[0].lastRow, 1);

  const auto ods = Read(
      "hidden.ods",
      {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
       {"content.xml",
        Ods("<table:table table:name=\"Shown\"><table:table-row><table:table-cell table:number-columns-spanned=\"2\">"
            "<text:p>a<text:s text:c=\"2\"/>b<text:tab/>c<text:line-break/>d</text:p><text:p>  second   para </text:p>"
            "<office:annotation><text:p>comment</text:p></office:annotation></table:table-cell>"
            "<table:covered-table-cell/></table:table-row></table:table>"
            "<table:table table:name=\"Gone\" table:style-name=\"ta2\"><table:table-row><table:table-cell>"
            "<text:p>secret</text:p></table:table-cell></table:table-row></table:table>",
            "<style:style style:name=\"ta2\" style:family=\"table\"><style:table-properties table:display=\"false\"/>"
            "</style:style>")}});
  ASSERT_EQ(ods.size(), 1u);
  EXPECT_EQ(ods[0].name, "Shown");
  EXPECT_EQ(ods[0].cells, (TSheetCells{{"a  b\tc\nd\nsecond para "}}));
  ASSERT_EQ(ods[0].merges.size(), 1u);
}

TEST_F(WorkbookReaderTest, RepeatsBeyondTheRangeCostNothing) {
  const std::string huge =
      "<table:table table:name=\"Huge\">"
      "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell table:number-columns-repeated=\"16384\">"
      "<text:p>x</text:p></table:table-cell></table:table-row>"
      "<table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell table:number-columns-repeated=\"16384\">"
      "<text:p>y</text:p></table:table-cell></table:table-row>"
      "<table:table-row table:number-rows-repeated=\"99999999999999999999\"><table:table-cell/></table:table-row>"
      "</table:table>";
  const auto start = std::chrono::steady_clock::now();
  const auto sheets = Read("huge.ods", {{"content.xml", Ods(huge)}});
  ASSERT_EQ(sheets.size(), 1u);
  ASSERT_EQ(sheets[0].cells.size(), 150u);
  EXPECT_EQ(sheets[0].cells[0], std::vector<std::string>(52, "x"));
  EXPECT_EQ(sheets[0].cells[149], std::vector<std::string>(52, "y"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(WorkbookReaderTest, DamagedAndHostileWorkbooksAreRefusedNamingFileAndPart) {
  const std::string entityBomb =
      "<!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>" +
      Sheet("<row><c t=\"inlineStr\"><is><t>&b;</t></is></c></row>");
  const struct {
    const char* name;
    TParts parts;
    const char* part;  // what the message must name beside the file
  } cases[] = {
      {"no-workbook.xlsx", {{"docProps/app.xml", "<x/>"}}, "xl/workbook.xml"},
      {"broken-sheet.xlsx", Xlsx({{"S", "", "<worksheet><sheetData><row>"}}), "xl/worksheets/sheet1.xml"},
      {"bad-string.xlsx", Xlsx({{"S", "", Sheet("<row><c t=\"s\"><v>7</v></c></row>")}}, "<si><t>only</t></si>"),
       "xl/worksheets/sheet1.xml"},
      {"entities.xlsx", Xlsx({{"S", "", entityBomb}}), "xl/worksheets/sheet1.xml"},
      {"no-sheet-part.xlsx", [] {
         auto parts = Xlsx({{"S", "", Sheet("")}});
         parts.erase("xl/worksheets/sheet1.xml");
         return parts;
       }(), "xl/worksheets/sheet1.xml"},
      {"no-content.ods", {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}}, "content.xml"},
      {"broken.ods", {{"content.xml", "<office:document-content"}}, "content.xml"},
  };
  for (const auto& c : cases) {
    const std::string message = ErrorOf(c.name, c.parts);
    EXPECT_NE(message.find(c.name), std::string::npos) << c.name << ": " << message;
    EXPECT_NE(message.find(c.part), std::string::npos) << c.name << ": " << message;
  }
  test::WriteFileBytes(dir / "not-a-zip.xlsx", "PK\x03\x04 but nothing more");
  EXPECT_THROW(ReadWorkbook(dir / "not-a-zip.xlsx", kRange), EPackageError);
  EXPECT_THROW(ReadWorkbook(dir / "missing.ods", kRange), EPackageError);
}

}  // namespace
}  // namespace varnolt
