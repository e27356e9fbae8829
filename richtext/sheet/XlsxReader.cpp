#include "richtext/sheet/XlsxReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <optional>

#include "platform/CodePage.h"
#include "platform/XmlStream.h"
#include "platform/ZipPackage.h"
#include "richtext/sheet/NumberFormat.h"
#include "richtext/sheet/PackageRelations.h"

namespace varnolt {

namespace {

// Past this many sheets a workbook is taken for damage, not a document.
constexpr size_t kMaxSheets = 4096;

struct TSheetEntry {
  std::string name;
  std::string part;
};

struct TWorkbookParts {
  bool date1904 = false;
  std::vector<TSheetEntry> visibleSheets;
  std::optional<std::string> sharedStrings;
  std::optional<std::string> styles;
};

bool IsTrue(std::optional<std::string_view> value) { return value && (*value == "1" || *value == "true"); }

TWorkbookParts ReadWorkbookPart(ZipPackage& package, const std::string& part) {
  const auto relations = ReadRelations(package, part);
  TWorkbookParts workbook;
  workbook.sharedStrings = TargetOfType(relations, "/sharedStrings");
  workbook.styles = TargetOfType(relations, "/styles");
  const std::string bytes = package.ReadPart(part);
  XmlStream xml(bytes, package.FileName(), part);
  while (xml.Next() != XmlToken::kEnd) {
    if (xml.IsStart("workbookPr")) workbook.date1904 = IsTrue(xml.Attribute("date1904"));
    if (!xml.IsStart("sheet")) continue;
    const std::string name(xml.Attribute("name").value_or(""));
    const auto state = xml.Attribute("state");
    if (state && (*state == "hidden" || *state == "veryHidden")) continue;
    const auto id = xml.Attribute("id", kRelationshipsNamespace);
    const auto target = id ? TargetOfId(relations, *id) : std::nullopt;
    if (!target) xml.Fail("the sheet \"" + name + "\" names no part");
    if (workbook.visibleSheets.size() == kMaxSheets) xml.Fail("more than " + std::to_string(kMaxSheets) + " sheets");
    workbook.visibleSheets.push_back({name, *target});
  }
  return workbook;
}

// Open XML escapes characters XML cannot carry as _xHHHH_; line ends
// come out as "\n", as the other cells have them.
std::string Unescaped(std::string text) {
  if (text.find("_x") == std::string::npos && text.find('\r') == std::string::npos) return text;
  std::u16string out;
  const std::u16string wide = Utf8ToUtf16(text);
  for (size_t i = 0; i < wide.size(); ++i) {
    unsigned code = 0;
    if (wide.compare(i, 2, u"_x") == 0 && i + 7 <= wide.size() && wide[i + 6] == u'_' &&
        std::all_of(wide.begin() + static_cast<std::ptrdiff_t>(i) + 2, wide.begin() + static_cast<std::ptrdiff_t>(i) + 6,
                    [](char16_t c) { return c < 0x80 && std::isxdigit(c); })) {
      const std::string hex = Utf16ToUtf8(wide.substr(i + 2, 4));
      std::from_chars(hex.data(), hex.data() + 4, code, 16);
      out += static_cast<char16_t>(code);
      i += 6;
    } else {
      out += wide[i];
    }
  }
  std::u16string lines;
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] == u'\r') {
      if (i + 1 < out.size() && out[i + 1] == u'\n') continue;
      lines += u'\n';
    } else {
      lines += out[i];
    }
  }
  return Utf16ToUtf8(lines);
}

// A string item's text: its runs, without the phonetic guides.
std::string StringItemText(XmlStream& xml) {
  std::string text;
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.IsStart("rPh")) {
      xml.Skip();
    } else if (xml.IsStart("t")) {
      text += xml.ElementText();
    }
  }
  return Unescaped(std::move(text));
}

std::vector<std::string> ReadSharedStrings(ZipPackage& package, const std::string& part) {
  std::vector<std::string> strings;
  const std::string bytes = package.ReadPart(part);
  XmlStream xml(bytes, package.FileName(), part);
  while (xml.Next() != XmlToken::kEnd) {
    if (xml.IsStart("si")) strings.push_back(StringItemText(xml));
  }
  return strings;
}

int NumberAttribute(const XmlStream& xml, std::string_view name, int fallback) {
  const auto value = xml.Attribute(name);
  int number = fallback;
  if (value) std::from_chars(value->data(), value->data() + value->size(), number);
  return number;
}

// The format code of each cell format (the s of a cell), in order.
std::vector<std::string> ReadCellFormats(ZipPackage& package, const std::string& part) {
  std::map<int, std::string> codes;
  std::vector<std::string> formats;
  const std::string bytes = package.ReadPart(part);
  XmlStream xml(bytes, package.FileName(), part);
  while (xml.Next() != XmlToken::kEnd) {
    if (xml.IsStart("numFmt")) {
      codes[NumberAttribute(xml, "numFmtId", -1)] = std::string(xml.Attribute("formatCode").value_or("General"));
    } else if (xml.IsStart("cellXfs")) {
      const int depth = xml.Depth();
      while (xml.NextInside(depth)) {
        if (!xml.IsStart("xf")) continue;
        const int id = NumberAttribute(xml, "numFmtId", 0);
        const auto own = codes.find(id);
        formats.push_back(own != codes.end() ? own->second : std::string(BuiltInNumberFormat(id)));
        xml.Skip();
      }
    }
  }
  return formats;
}

class TSheetReader {
 public:
  TSheetReader(const TWorkbookParts& workbook, const std::vector<std::string>& strings,
               const std::vector<std::string>& formats, const TSheetRange& range)
      : workbook_(workbook), strings_(strings), formats_(formats), range_(range) {}

  TSheetGrid Read(ZipPackage& package, const TSheetEntry& sheet) {
    TSheetGrid grid;
    grid.name = sheet.name;
    const std::string bytes = package.ReadPart(sheet.part);
    XmlStream xml(bytes, package.FileName(), sheet.part);
    int row = -1;
    while (xml.Next() != XmlToken::kEnd) {
      if (xml.IsStart("row")) {
        row = PositionOf(xml, row);
        if (row >= range_.rows) {
          xml.Skip();
        } else {
          ReadRow(xml, row, grid);
        }
      } else if (xml.IsStart("mergeCell")) {
        AddMerge(xml, grid);
      }
    }
    return grid;
  }

 private:
  // A row's r (1-based), else the one after the previous.
  static int PositionOf(const XmlStream& xml, int previous) {
    const int number = NumberAttribute(xml, "r", 0);
    return number > 0 ? number - 1 : previous + 1;
  }

  void ReadRow(XmlStream& xml, int row, TSheetGrid& grid) {
    const int depth = xml.Depth();
    int column = -1;
    while (xml.NextInside(depth)) {
      if (!xml.IsStart("c")) continue;
      int cellRow = row;
      const auto reference = xml.Attribute("r");
      if (!reference || !ParseCellReference(*reference, cellRow, column)) ++column;
      std::string text = CellText(xml);
      if (cellRow == row && column < range_.columns) grid.SetCell(row, column, std::move(text));
    }
  }

  std::string CellText(XmlStream& xml) {
    const std::string type(xml.Attribute("t").value_or("n"));
    const int format = NumberAttribute(xml, "s", 0);
    std::string value;
    std::string inlineText;
    const int depth = xml.Depth();
    while (xml.NextInside(depth)) {
      if (xml.IsStart("v")) {
        value = xml.ElementText();
      } else if (xml.IsStart("is")) {
        inlineText = StringItemText(xml);
      } else if (xml.Token() == XmlToken::kStartElement) {
        xml.Skip();
      }
    }
    if (type == "inlineStr") return inlineText;
    if (type == "s") return SharedString(xml, value);
    if (type == "b") return value == "1" || value == "true" ? "TRUE" : "FALSE";
    if (type == "str" || type == "e" || type == "d") return Unescaped(std::move(value));
    return NumberText(value, format);
  }

  std::string SharedString(const XmlStream& xml, std::string_view value) const {
    size_t index = 0;
    const auto parsed = std::from_chars(value.data(), value.data() + value.size(), index);
    if (parsed.ec != std::errc() || index >= strings_.size()) {
      xml.Fail("a cell names shared string " + std::string(value) + ", which does not exist");
    }
    return strings_[index];
  }

  std::string NumberText(std::string_view value, int format) const {
    if (value.empty()) return {};
    double number = 0;
    const auto parsed = std::from_chars(value.data(), value.data() + value.size(), number);
    if (parsed.ec != std::errc()) return std::string(value);
    const std::string& code =
        format >= 0 && static_cast<size_t>(format) < formats_.size() ? formats_[static_cast<size_t>(format)] : kGeneral;
    return FormatCellNumber(number, code.empty() ? kGeneral : code, workbook_.date1904);
  }

  void AddMerge(const XmlStream& xml, TSheetGrid& grid) const {
    const std::string_view reference = xml.Attribute("ref").value_or("");
    const size_t colon = reference.find(':');
    TSheetMerge merge;
    if (colon == std::string_view::npos ||
        !ParseCellReference(reference.substr(0, colon), merge.firstRow, merge.firstColumn) ||
        !ParseCellReference(reference.substr(colon + 1), merge.lastRow, merge.lastColumn)) {
      return;
    }
    grid.AddMerge(merge, range_);
  }

  static inline const std::string kGeneral = "General";
  const TWorkbookParts& workbook_;
  const std::vector<std::string>& strings_;
  const std::vector<std::string>& formats_;
  TSheetRange range_;
};

}  // namespace

std::vector<TSheetGrid> ReadXlsx(ZipPackage& package, const TSheetRange& range) {
  const std::string workbookPart = OfficeDocumentPart(package, "xl/workbook.xml");
  const TWorkbookParts workbook = ReadWorkbookPart(package, workbookPart);
  const auto strings =
      workbook.sharedStrings ? ReadSharedStrings(package, *workbook.sharedStrings) : std::vector<std::string>{};
  const auto formats = workbook.styles ? ReadCellFormats(package, *workbook.styles) : std::vector<std::string>{};
  TSheetReader reader(workbook, strings, formats, range);
  std::vector<TSheetGrid> sheets;
  for (const auto& sheet : workbook.visibleSheets) sheets.push_back(reader.Read(package, sheet));
  return sheets;
}

}  // namespace varnolt
