#pragma once
// The workbooks Varnolt reads itself, picked by the file's extension.
#include <filesystem>
#include <vector>

#include "richtext/sheet/SheetGrid.h"

namespace varnolt {

// .xlsx and .ods (in any case); other workbooks need the office suite.
bool IsOwnWorkbookFormat(const std::filesystem::path& file);

// The visible sheets of file. Throws EPackageError or EXmlError naming the
// file and the part when it cannot be read.
std::vector<TSheetGrid> ReadWorkbook(const std::filesystem::path& file, const TSheetRange& range);

}  // namespace varnolt
