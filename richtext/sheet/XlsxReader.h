#pragma once
// Workbooks in the Open XML format (.xlsx): every sheet that is not hidden,
// in the workbook's order, its cells in the range as they are shown
// (numbers through their formats, shared, inline and rich strings,
// booleans, errors, formulas' cached values) and its merged areas.
#include <filesystem>
#include <vector>

#include "richtext/sheet/SheetGrid.h"

namespace varnolt {

class ZipPackage;

// Throws EPackageError or EXmlError naming the file and the part.
std::vector<TSheetGrid> ReadXlsx(ZipPackage& package, const TSheetRange& range);

}  // namespace varnolt
