#pragma once
// The RTF a Word document is read into: our RTF import then builds the
// items, styles, lists, tables, notes and page setup exactly as for an RTF
// file, so a .docx keeps every formatting the RTF road keeps. This is the
// output side: escaped text and the font, colour and list tables that
// grow while the document is read.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/docx/DocxStyles.h"

namespace varnolt {

class TDocxRtfTables {
 public:
  // The index of a font or colour (RRGGBB) in the tables, added if new.
  int Font(const std::string& name);
  // 0 (the automatic colour) for "auto" or anything that is no colour.
  int Color(std::string_view rrggbb);
  // The list override number of a numbering; 0 when it has none.
  int List(std::int32_t numId, const TDocxNumbering& numbering);

  // The header groups: fonts, colours, lists and overrides.
  std::string Header();

 private:
  std::string ListTable();
  std::vector<std::string> fonts_;
  std::map<std::string, int> fontIndex_;
  std::vector<std::string> colors_;
  std::map<std::string, int> colorIndex_;
  std::vector<std::pair<std::int32_t, const std::vector<TDocxLevel>*>> lists_;  // numId, levels
  std::map<std::int32_t, int> listIndex_;
};

// UTF-8 text as RTF: 7-bit characters as they are (RTF's own escaped), the
// rest as \u with "?" for readers without Unicode.
void AppendRtfText(std::string& rtf, std::string_view utf8);
// The colour of a Word highlight name (yellow, darkBlue, ...); empty for none.
std::string HighlightColor(std::string_view name);

}  // namespace varnolt
