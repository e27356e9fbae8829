// Feeds arbitrary bytes to the package reader as a zip file: the directory
// listed, every part read under tight limits. Each input is read or refused
// with a package error, in bounded time and memory, without a crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ZipPackage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  varnolt::ZipLimits limits;
  limits.maxPartSize = 8 << 20;
  limits.maxTotalSize = 32 << 20;
  limits.maxEntries = 1000;
  try {
    auto package = varnolt::ZipPackage::FromBytes(std::string(reinterpret_cast<const char*>(data), size), "fuzz.zip",
                                                  limits);
    for (const auto& name : package.PartNames()) {
      try {
        volatile std::size_t sink = package.ReadPart(name).size();
        (void)sink;
      } catch (const varnolt::EPackageError&) {
      }
    }
  } catch (const varnolt::EPackageError&) {
  }
  return 0;
}
