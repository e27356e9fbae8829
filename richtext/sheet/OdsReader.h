#pragma once
// Workbooks in the OpenDocument format (.ods): every table that is not
// hidden, in order, its cells in the range as the writing program showed
// them (the paragraphs each cell carries), and its merged areas.
#include <vector>

#include "richtext/sheet/SheetGrid.h"

namespace varnolt {

class ZipPackage;

// Throws EPackageError or EXmlError naming the file and the part.
std::vector<TSheetGrid> ReadOds(ZipPackage& package, const TSheetRange& range);

}  // namespace varnolt
