#include "app/SheetTable.h"

#include <algorithm>

#include "platform/CodePage.h"

namespace varnolt {

namespace {

constexpr int kCellWidthTwips = 1440;

bool IsEmptyRow(const std::vector<std::string>& row) {
  return std::all_of(row.begin(), row.end(), [](const std::string& cell) { return cell.empty(); });
}

size_t UsedColumns(const std::vector<std::string>& row) {
  size_t used = row.size();
  while (used > 0 && row[used - 1].empty()) --used;
  return used;
}

// RTF text of a cell: 7-bit characters as they are, the rest as \u with an
// ASCII fallback, line breaks as \line.
void AppendRtfText(std::string& rtf, std::string_view utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    if (c == u'\\' || c == u'{' || c == u'}') {
      rtf += '\\';
      rtf += static_cast<char>(c);
    } else if (c == u'\r' || c == u'\n') {
      rtf += "\\line ";
    } else if (c == u'\t') {
      rtf += "\\tab ";
    } else if (c >= 0x20 && c < 0x80) {
      rtf += static_cast<char>(c);
    } else if (c >= 0x80) {
      rtf += "\\u" + std::to_string(static_cast<std::int16_t>(c)) + "?";
    }
  }
}

}  // namespace

TSheetCells ParseCsv(std::string_view text) {
  TSheetCells rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  bool lineHasContent = false;
  auto endField = [&] {
    row.push_back(std::move(field));
    field.clear();
  };
  auto endRow = [&] {
    endField();
    rows.push_back(std::move(row));
    row.clear();
    lineHasContent = false;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\n' || c == '\r') {
      endRow();
      continue;
    }
    lineHasContent = true;
    if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      endField();
    } else {
      field += c;
    }
  }
  if (lineHasContent || quoted || !row.empty()) endRow();
  return rows;
}

TSheetCells ImportedRange(TSheetCells cells) {
  if (cells.size() > kSheetImportRows) cells.resize(kSheetImportRows);
  for (auto& row : cells) {
    if (row.size() > kSheetImportColumns) row.resize(kSheetImportColumns);
  }
  while (!cells.empty() && IsEmptyRow(cells.back())) cells.pop_back();
  size_t columns = 0;
  for (const auto& row : cells) columns = std::max(columns, UsedColumns(row));
  for (auto& row : cells) row.resize(columns);
  return cells;
}

std::string SheetTableAsRtf(const TSheetCells& cells) {
  if (cells.empty() || cells.front().empty()) return {};
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 ";
  for (const auto& row : cells) {
    rtf += "\\trowd\\trgaph108";
    for (size_t column = 1; column <= row.size(); ++column) {
      rtf += "\\cellx" + std::to_string(column * kCellWidthTwips);
    }
    rtf += "\n";
    for (const auto& cell : row) {
      rtf += "\\pard\\intbl ";
      AppendRtfText(rtf, cell);
      rtf += "\\cell\n";
    }
    rtf += "\\row\n";
  }
  rtf += "\\pard\\par}";
  return rtf;
}

}  // namespace varnolt
