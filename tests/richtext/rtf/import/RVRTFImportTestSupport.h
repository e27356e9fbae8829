#pragma once
// An RTF import into a fresh document on a fresh default style sheet, and
// ways to write the result as one line so that tests compare structures.
#include <string>
#include <string_view>

#include "richtext/rtf/import/RVRTFProps.h"
#include "richtext/table/RVTable.h"
#include "tests/richtext/RVTestDocuments.h"

namespace varnolt::test {

struct TRVImportedRTF {
  TRVStyle style;
  TCustomRVData doc;
  TRVRTFReaderProperties props;
  std::uint8_t result = 0;

  TRVImportedRTF() { doc.SetRVStyle(&style); }
  std::uint8_t Load(std::string_view rtf) {
    result = props.LoadRTF(rtf, doc);
    return result;
  }
  std::string Structure() const { return Dump(doc); }
};

// A document of one Arial font around the body.
inline std::string Rtf(const std::string& body) {
  return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}" + body + "}";
}

// A table written row by row ("/" between rows), cells by "|", each cell as
// its document's Dump, with "<c x r>" after a merged cell.
inline std::string DumpTable(const TRVTableItemInfo& table) {
  std::string out;
  for (int r = 0; r < table.TableRowCount(); ++r) {
    if (r > 0) out += "/";
    bool first = true;
    for (int c = 0; c < table.TableColumnCount(); ++c) {
      const TRVTableCellData* cell = table.CellAt(r, c);
      if (cell == nullptr) continue;
      if (!first) out += "|";
      first = false;
      out += Dump(*cell);
      if (cell->SpanColumns() > 1 || cell->SpanRows() > 1) {
        out += "<" + std::to_string(cell->SpanColumns()) + "x" + std::to_string(cell->SpanRows()) + ">";
      }
    }
  }
  return out;
}

// The first table item of a document, nullptr when there is none.
inline const TRVTableItemInfo* FirstTable(const TCustomRVData& doc) {
  for (int i = 0; i < doc.CountItems(); ++i) {
    if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&doc.ItemAt(i))) return table;
  }
  return nullptr;
}

}  // namespace varnolt::test
