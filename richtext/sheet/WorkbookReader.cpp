#include "richtext/sheet/WorkbookReader.h"

#include <algorithm>

#include "platform/ZipPackage.h"
#include "richtext/sheet/OdsReader.h"
#include "richtext/sheet/XlsxReader.h"

namespace varnolt {

namespace {

std::string LowerExtension(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

}  // namespace

bool IsOwnWorkbookFormat(const std::filesystem::path& file) {
  const std::string extension = LowerExtension(file);
  return extension == ".xlsx" || extension == ".ods";
}

std::vector<TSheetGrid> ReadWorkbook(const std::filesystem::path& file, const TSheetRange& range) {
  ZipPackage package(file);
  if (LowerExtension(file) == ".ods") return ReadOds(package, range);
  return ReadXlsx(package, range);
}

}  // namespace varnolt
