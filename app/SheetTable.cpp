#include "app/SheetTable.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/Office.h"
#include "richtext/sheet/WorkbookReader.h"

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

// Which merged area, if any, each cell belongs to.
class TMergeMap {
 public:
  TMergeMap(const TSheetCells& cells, const std::vector<TSheetMerge>& merges) : columns_(cells.front().size()) {
    TSheetGrid clipped;
    const TSheetRange range{static_cast<int>(cells.size()), static_cast<int>(columns_)};
    for (const auto& merge : merges) clipped.AddMerge(merge, range);
    merges_ = std::move(clipped.merges);
    owner_.assign(cells.size() * columns_, -1);
    for (size_t i = 0; i < merges_.size(); ++i) {
      for (int row = merges_[i].firstRow; row <= merges_[i].lastRow; ++row) {
        for (int column = merges_[i].firstColumn; column <= merges_[i].lastColumn; ++column) {
          auto& owner = owner_[static_cast<size_t>(row) * columns_ + static_cast<size_t>(column)];
          // Overlapping areas (damage): the first keeps the cell.
          if (owner < 0) owner = static_cast<int>(i);
        }
      }
    }
  }
  const TSheetMerge* At(size_t row, size_t column) const {
    const int owner = owner_[row * columns_ + column];
    return owner < 0 ? nullptr : &merges_[static_cast<size_t>(owner)];
  }

 private:
  size_t columns_;
  std::vector<TSheetMerge> merges_;
  std::vector<int> owner_;
};

}  // namespace

bool ReadsWorkbookItself(const std::filesystem::path& file) {
  return !OfficeReaderIsLibreOffice() && IsOwnWorkbookFormat(file);
}

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

std::string SheetTableAsRtf(const TSheetCells& cells, const std::vector<TSheetMerge>& merges) {
  if (cells.empty() || cells.front().empty()) return {};
  const TMergeMap mergeMap(cells, merges);
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 ";
  for (size_t row = 0; row < cells.size(); ++row) {
    std::string definitions = "\\trowd\\trgaph108";
    std::string texts;
    for (size_t column = 0; column < cells[row].size(); ++column) {
      const TSheetMerge* merge = mergeMap.At(row, column);
      const bool covered = merge != nullptr && static_cast<int>(row) > merge->firstRow;
      if (merge != nullptr) {
        definitions += covered ? "\\clvmrg" : (merge->lastRow > merge->firstRow ? "\\clvmgf" : "");
        column = static_cast<size_t>(merge->lastColumn);
      }
      definitions += "\\cellx" + std::to_string((column + 1) * kCellWidthTwips);
      texts += "\\pard\\intbl ";
      if (!covered) AppendRtfText(texts, cells[row][merge != nullptr ? static_cast<size_t>(merge->firstColumn) : column]);
      texts += "\\cell\n";
    }
    rtf += definitions + "\n" + texts + "\\row\n";
  }
  rtf += "\\pard\\par}";
  return rtf;
}

}  // namespace varnolt
