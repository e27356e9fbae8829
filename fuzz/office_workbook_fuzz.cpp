// Feeds arbitrary bytes to the workbook readers: as a package read as .xlsx
// and as .ods, and as a number format code. A damaged workbook is refused
// with an error; none crashes, hangs or grows without bound.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Exception.h"
#include "platform/ZipPackage.h"
#include "richtext/sheet/NumberFormat.h"
#include "richtext/sheet/OdsReader.h"
#include "richtext/sheet/XlsxReader.h"

namespace {

constexpr varnolt::TSheetRange kRange{150, 52};

template <typename Reader>
void ReadAs(const std::string& bytes, Reader read) {
  try {
    auto package = varnolt::ZipPackage::FromBytes(bytes, "fuzz");
    volatile std::size_t sheets = read(package, kRange).size();
    (void)sheets;
  } catch (const varnolt::Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  ReadAs(bytes, varnolt::ReadXlsx);
  ReadAs(bytes, varnolt::ReadOds);
  if (size < 256) {
    for (const double value : {0.0, -1234.5678, 45366.75, 1e300}) {
      volatile std::size_t shown = varnolt::FormatCellNumber(value, bytes).size();
      (void)shown;
    }
  }
  return 0;
}
