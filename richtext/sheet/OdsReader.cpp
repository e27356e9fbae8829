#include "richtext/sheet/OdsReader.h"

#include <algorithm>
#include <charconv>
#include <set>

#include "platform/XmlStream.h"
#include "platform/ZipPackage.h"
#include "richtext/sheet/NumberFormat.h"

namespace varnolt {

namespace {

constexpr char kContentPart[] = "content.xml";
constexpr size_t kMaxSheets = 4096;
// More spaces than a cell shows are damage or an attack.
constexpr long kMaxSpaces = 1000;

long CountAttribute(const XmlStream& xml, std::string_view name) {
  const auto value = xml.Attribute(name);
  long count = 1;
  if (value) std::from_chars(value->data(), value->data() + value->size(), count);
  return std::max(count, 1L);
}

// Paragraph text as ODF has it: runs of white space are one space, more
// spaces come as <text:s/>, tabs and line breaks as elements.
class TParagraphText {
 public:
  void Characters(std::string_view text) {
    for (char c : text) {
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
        if (!text_.empty() && !collapsedSpace_) text_ += ' ';
        collapsedSpace_ = true;
      } else {
        text_ += c;
        collapsedSpace_ = false;
      }
    }
  }
  void Literal(std::string_view text) {
    text_ += text;
    collapsedSpace_ = false;
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
  bool collapsedSpace_ = false;
};

std::string ParagraphText(XmlStream& xml) {
  TParagraphText text;
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.Token() == XmlToken::kText) {
      text.Characters(xml.Text());
    } else if (xml.IsStart("s")) {
      text.Literal(std::string(static_cast<size_t>(std::min(CountAttribute(xml, "c"), kMaxSpaces)), ' '));
    } else if (xml.IsStart("tab")) {
      text.Literal("\t");
    } else if (xml.IsStart("line-break")) {
      text.Literal("\n");
    } else if (xml.IsStart("note") || xml.IsStart("annotation") || xml.IsStart("ruby-text")) {
      xml.Skip();
    }
  }
  return text.Take();
}

// The shown paragraphs of a cell, or its value when it carries none.
std::string CellText(XmlStream& xml) {
  const std::string type(xml.Attribute("value-type").value_or(""));
  const std::string value(xml.Attribute(type == "boolean" ? "boolean-value" : "value").value_or(""));
  const std::string stringValue(xml.Attribute("string-value").value_or(""));
  std::string text;
  bool hasParagraph = false;
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.IsStart("p")) {
      if (hasParagraph) text += '\n';
      text += ParagraphText(xml);
      hasParagraph = true;
    } else if (xml.Token() == XmlToken::kStartElement) {
      xml.Skip();
    }
  }
  if (hasParagraph) return text;
  if (type == "boolean") return value == "true" ? "TRUE" : "FALSE";
  if (type == "string") return stringValue;
  if (!value.empty()) {
    double number = 0;
    if (std::from_chars(value.data(), value.data() + value.size(), number).ec == std::errc()) return GeneralNumber(number);
  }
  return {};
}

struct TRowCell {
  long column;
  long repeat;
  std::string text;
  long columnsSpanned;
  long rowsSpanned;
};

class TTableReader {
 public:
  TTableReader(const TSheetRange& range, TSheetGrid& grid) : range_(range), grid_(grid) {}

  void Read(XmlStream& xml) {
    const int depth = xml.Depth();
    while (xml.NextInside(depth)) {
      if (xml.IsStart("table-row")) {
        ReadRow(xml);
      } else if (xml.IsStart("table-column") || xml.IsStart("shapes") || xml.IsStart("named-expressions")) {
        xml.Skip();
      }
    }
  }

 private:
  void ReadRow(XmlStream& xml) {
    const long repeat = CountAttribute(xml, "number-rows-repeated");
    if (row_ >= range_.rows) {
      xml.Skip();
      row_ += 1;
      return;
    }
    std::vector<TRowCell> cells;
    long column = 0;
    const int depth = xml.Depth();
    while (xml.NextInside(depth)) {
      const bool covered = xml.IsStart("covered-table-cell");
      if (!covered && !xml.IsStart("table-cell")) continue;
      TRowCell cell{column, CountAttribute(xml, "number-columns-repeated"), {},
                    CountAttribute(xml, "number-columns-spanned"), CountAttribute(xml, "number-rows-spanned")};
      if (column < range_.columns) {
        cell.text = CellText(xml);
        if (!covered) cells.push_back(std::move(cell));
      } else {
        xml.Skip();
      }
      column += std::min(cell.repeat, static_cast<long>(range_.columns) + 1);
    }
    const long rows = std::min(repeat, static_cast<long>(range_.rows) - row_);
    for (long k = 0; k < rows; ++k) PutRow(static_cast<int>(row_ + k), cells);
    row_ += rows;
  }

  void PutRow(int row, const std::vector<TRowCell>& cells) {
    for (const auto& cell : cells) {
      const long columns = std::min(cell.repeat, static_cast<long>(range_.columns) - cell.column);
      for (long k = 0; k < columns; ++k) {
        const int column = static_cast<int>(cell.column + k);
        grid_.SetCell(row, column, cell.text);
        if (cell.columnsSpanned > 1 || cell.rowsSpanned > 1) {
          grid_.AddMerge({row, column, static_cast<int>(std::min<long>(row + cell.rowsSpanned - 1, range_.rows)),
                          static_cast<int>(std::min<long>(column + cell.columnsSpanned - 1, range_.columns))},
                         range_);
        }
      }
    }
  }

  TSheetRange range_;
  TSheetGrid& grid_;
  long row_ = 0;
};

// The table styles that hide a sheet (table:display="false").
std::set<std::string> HiddenTableStyles(XmlStream& xml) {
  std::set<std::string> hidden;
  const int depth = xml.Depth();
  std::string style;
  while (xml.NextInside(depth)) {
    if (xml.IsStart("style")) style = std::string(xml.Attribute("name").value_or(""));
    if (xml.IsStart("table-properties") && xml.Attribute("display").value_or("true") == "false") hidden.insert(style);
  }
  return hidden;
}

}  // namespace

std::vector<TSheetGrid> ReadOds(ZipPackage& package, const TSheetRange& range) {
  const std::string bytes = package.ReadPart(kContentPart);
  XmlStream xml(bytes, package.FileName(), kContentPart);
  std::set<std::string> hidden;
  std::vector<TSheetGrid> sheets;
  size_t tables = 0;
  while (xml.Next() != XmlToken::kEnd) {
    if (xml.IsStart("automatic-styles")) {
      hidden = HiddenTableStyles(xml);
    } else if (xml.IsStart("table")) {
      if (++tables > kMaxSheets) xml.Fail("more than " + std::to_string(kMaxSheets) + " sheets");
      if (hidden.contains(std::string(xml.Attribute("style-name").value_or("")))) {
        xml.Skip();
        continue;
      }
      TSheetGrid grid;
      grid.name = std::string(xml.Attribute("name").value_or(""));
      TTableReader(range, grid).Read(xml);
      sheets.push_back(std::move(grid));
    }
  }
  return sheets;
}

}  // namespace varnolt
