// DocxStory: tables, row by row. A row's cells are read first, since RTF
// wants the row's cell boundaries before (top level) or after (nested) the
// cells' text.
#include <algorithm>

#include "platform/XmlStream.h"
#include "richtext/docx/DocxStory.h"

namespace varnolt {

std::string BorderRtf(const TDocxBorder& border, TDocxRtfTables& tables);

namespace {

// Rows and cells past these are damage or hostile; they are skipped.
constexpr std::size_t kMaxGridColumns = 64;
constexpr std::int32_t kDefaultColumnTwips = 1440;
// Widths are bounded so that a row's sum stays far inside 32 bits.
constexpr std::int32_t kMaxWidthTwips = 1'000'000;

enum TSide { kLeft, kTop, kRight, kBottom, kInsideH, kInsideV };

struct TTableInfo {
  std::vector<std::int32_t> grid;  // column widths in twips
  TDocxTableLook direct;
  TDocxTableLook style;
  std::int32_t indent = 0;
  std::string align;
  int rows = 0;

  const std::optional<TDocxBorder>& Border(int side) const {
    return direct.Borders[side] ? direct.Borders[side] : style.Borders[side];
  }
  std::int32_t ColumnWidth(std::size_t column) const {
    return column < grid.size() && grid[column] > 0 ? grid[column] : kDefaultColumnTwips;
  }
};

struct TCellInfo {
  int span = 1;
  std::string verticalMerge;  // restart, continue, or empty
  std::string verticalAlign;
  std::optional<TDocxBorder> borders[6];
  std::optional<std::string> shading;
  std::optional<std::int32_t> width;
  std::string content;
};

void ReadTableProps(XmlStream& xml, TTableInfo& table, const TDocxStyles& styles) {
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.Token() != XmlToken::kStartElement) continue;
    if (xml.IsStart("tblStyle")) {
      table.style = styles.TableLook(std::string(xml.Attribute("val").value_or("")));
    } else if (xml.IsStart("tblBorders")) {
      ReadTableBorders(xml, table.direct.Borders);
      continue;
    } else if (xml.IsStart("tblInd")) {
      table.indent = std::clamp(IntAttribute(xml, "w").value_or(0), -kMaxWidthTwips, kMaxWidthTwips);
    } else if (xml.IsStart("jc")) {
      table.align = xml.Attribute("val").value_or("");
    }
    xml.Skip();
  }
}

void ReadGrid(XmlStream& xml, TTableInfo& table) {
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.IsStart("gridCol") && table.grid.size() < kMaxGridColumns) {
      table.grid.push_back(std::clamp(IntAttribute(xml, "w").value_or(0), 0, kMaxWidthTwips));
    }
  }
}

void ReadCellProps(XmlStream& xml, TCellInfo& cell) {
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.Token() != XmlToken::kStartElement) continue;
    const std::string_view name = xml.LocalName();
    if (name == "gridSpan") {
      cell.span = std::clamp(IntAttribute(xml, "val").value_or(1), 1, static_cast<int>(kMaxGridColumns));
    } else if (name == "vMerge") {
      cell.verticalMerge = xml.Attribute("val").value_or("continue");
    } else if (name == "vAlign") {
      cell.verticalAlign = xml.Attribute("val").value_or("");
    } else if (name == "shd") {
      cell.shading = ShadingFill(xml);
    } else if (name == "tcW" && xml.Attribute("type").value_or("dxa") == "dxa") {
      if (const auto width = IntAttribute(xml, "w")) cell.width = std::clamp(*width, 1, kMaxWidthTwips);
    } else if (name == "tcBorders") {
      ReadTableBorders(xml, cell.borders);
      continue;
    }
    xml.Skip();
  }
}

}  // namespace

void TDocxStory::Table(XmlStream& xml) {
  FlushText();
  TTableInfo table;
  const bool nested = tableDepth_ > 0;
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.Token() != XmlToken::kStartElement) continue;
    const std::string_view name = xml.LocalName();
    if (name == "tblPr") {
      ReadTableProps(xml, table, document_.Styles());
      continue;
    }
    if (name == "tblGrid") {
      ReadGrid(xml, table);
      continue;
    }
    if (name == "sdt" || name == "sdtContent" || name == "customXml" || name == "ins") continue;
    if (name != "tr") {
      xml.Skip();
      continue;
    }
    // A row: its properties, then its cells, each read as a story of its own.
    std::vector<TCellInfo> cells;
    int gridBefore = 0;
    std::string rowProps;
    const int rowDepth = xml.Depth();
    while (xml.NextInside(rowDepth)) {
      if (xml.Token() != XmlToken::kStartElement) continue;
      const std::string_view rowChild = xml.LocalName();
      if (rowChild == "trPr" || rowChild == "tblPrEx") {
        const int propsDepth = xml.Depth();
        while (xml.NextInside(propsDepth)) {
          if (xml.IsStart("gridBefore")) gridBefore = std::clamp(IntAttribute(xml, "val").value_or(0), 0, 63);
          if (xml.IsStart("tblHeader")) rowProps += "\\trhdr";
          if (xml.IsStart("trHeight")) {
            const auto height = IntAttribute(xml, "val").value_or(0);
            rowProps += "\\trrh" + std::to_string(xml.Attribute("hRule").value_or("") == "exact" ? -height : height);
          }
        }
        continue;
      }
      if (rowChild == "sdt" || rowChild == "sdtContent" || rowChild == "customXml" || rowChild == "ins") continue;
      if (rowChild != "tc") {
        xml.Skip();
        continue;
      }
      TCellInfo cell;
      TDocxStory story(document_, rels_, tableDepth_ + 1);
      const int cellDepth = xml.Depth();
      while (xml.NextInside(cellDepth)) {
        if (xml.IsStart("tcPr")) {
          ReadCellProps(xml, cell);
        } else if (xml.IsStart("p")) {
          story.Paragraph(xml);
        } else if (xml.IsStart("tbl")) {
          story.Table(xml);
        } else if (xml.Token() == XmlToken::kStartElement && !xml.IsStart("sdt") && !xml.IsStart("sdtContent") &&
                   !xml.IsStart("customXml")) {
          xml.Skip();
        }
      }
      cell.content = story.TakeRtf(false);
      if (cells.size() < kMaxGridColumns) cells.push_back(std::move(cell));
    }

    // The row's definition: its cells' boundaries, borders and shading.
    std::string definition = "\\trowd\\trgaph108";
    definition += "\\trleft" + std::to_string(table.indent);
    if (table.align == "center") definition += "\\trqc";
    if (table.align == "right" || table.align == "end") definition += "\\trqr";
    definition += rowProps;
    std::size_t column = static_cast<std::size_t>(gridBefore);
    std::int32_t right = table.indent;
    for (std::size_t i = 0; i < column; ++i) right += table.ColumnWidth(i);
    std::string texts;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      TCellInfo& cell = cells[i];
      if (cell.verticalMerge == "restart") definition += "\\clvmgf";
      else if (!cell.verticalMerge.empty()) definition += "\\clvmrg";
      if (cell.verticalAlign == "center") definition += "\\clvertalc";
      if (cell.verticalAlign == "bottom") definition += "\\clvertalb";
      const bool first = i == 0;
      const bool last = i + 1 == cells.size();
      const int sides[4][3] = {{kTop, table.rows == 0 ? kTop : kInsideH, kTop},
                               {kLeft, first ? kLeft : kInsideV, kLeft},
                               {kBottom, kInsideH, kBottom},
                               {kRight, last ? kRight : kInsideV, kRight}};
      static constexpr const char* kKeywords[] = {"\\clbrdrt", "\\clbrdrl", "\\clbrdrb", "\\clbrdrr"};
      for (int s = 0; s < 4; ++s) {
        std::optional<TDocxBorder> border = cell.borders[sides[s][0]];
        if (!border) border = table.Border(sides[s][1]);
        if (!border) border = table.Border(sides[s][2]);
        if (border) definition += kKeywords[s] + BorderRtf(*border, document_.Tables());
      }
      if (cell.shading) {
        if (const int color = document_.Tables().Color(*cell.shading)) definition += "\\clcbpat" + std::to_string(color);
      }
      std::int32_t width = 0;
      if (table.grid.empty() && cell.width) {
        width = *cell.width;
      } else {
        for (int k = 0; k < cell.span; ++k) width += table.ColumnWidth(column + static_cast<std::size_t>(k));
      }
      column += static_cast<std::size_t>(cell.span);
      right += width;
      definition += "\\clwWidth" + std::to_string(width) + "\\clftsWidth3\\cellx" + std::to_string(right);

      // The cell's last paragraph ends the cell instead.
      const std::string_view cellEnd = nested ? "\\nestcell " : "\\cell ";
      std::string& content = cell.content;
      if (content.ends_with("\\par\n")) {
        content.resize(content.size() - 5);
      } else {
        content += "\\pard\\plain\\intbl";
        if (tableDepth_ + 1 > 1) content += "\\itap" + std::to_string(tableDepth_ + 1);
        content += ' ';
      }
      texts += content;
      texts += cellEnd;
    }
    if (cells.empty()) continue;
    ++table.rows;
    if (nested) {
      *out_ += texts + "{\\*\\nesttableprops" + definition + "\\nestrow}{\\nonesttables\\par}\n";
    } else {
      *out_ += definition + "\n" + texts + "\\row\n";
    }
  }
  // What follows the table starts a paragraph of its own.
  if (!nested) *out_ += "\\pard\\plain ";
}

}  // namespace varnolt
