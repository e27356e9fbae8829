#pragma once
// The parts of a zip package (office documents are zip files of XML parts),
// read over libzip with limits, since a package is untrusted input: a part's
// size, the total unpacked, the packing ratio (a zip bomb unpacks a few
// kilobytes into gigabytes) and the number of entries. The limits are
// enforced on the bytes actually unpacked, not on the sizes the package
// claims.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Exception.h"

namespace varnolt {

// A package that cannot be read: the message names the file, the part (when
// one is concerned) and the reason.
class EPackageError : public Exception {
 public:
  EPackageError(std::string file, std::string part, std::string reason);
  const std::string& File() const { return file_; }
  const std::string& Part() const { return part_; }  // empty for the package as a whole
  const std::string& Reason() const { return reason_; }

 private:
  std::string file_;
  std::string part_;
  std::string reason_;
};

struct ZipLimits {
  std::uint64_t maxPartSize = std::uint64_t{512} << 20;
  std::uint64_t maxTotalSize = std::uint64_t{2} << 30;
  // Unpacked bytes per packed byte; office XML packs about 10 to 1, the
  // worst honest parts (runs of one repeated element) stay under 200.
  std::uint64_t maxRatio = 500;
  // Parts this small may have any ratio: the container's overhead dominates.
  std::uint64_t ratioFreeSize = std::uint64_t{4} << 20;
  std::uint64_t maxEntries = 20000;
};

class ZipPackage {
 public:
  // Opens a package file. Throws EPackageError when the file cannot be read,
  // is no zip file, is damaged or has more entries than the limits allow.
  explicit ZipPackage(const std::filesystem::path& file, ZipLimits limits = {});
  // A package held in memory; name stands for the file in messages.
  static ZipPackage FromBytes(std::string bytes, std::string name, ZipLimits limits = {});
  ~ZipPackage();
  ZipPackage(ZipPackage&&) noexcept;
  ZipPackage& operator=(ZipPackage&&) noexcept;

  // Every entry's name, in the package's order (folders included).
  const std::vector<std::string>& PartNames() const { return names_; }
  // Part names as links inside a package give them: a leading "/" is
  // dropped and case does not matter. Never fails.
  bool HasPart(std::string_view name) const { return IndexOf(name).has_value(); }
  // The part's unpacked bytes. Throws EPackageError when there is no such
  // part, it is encrypted or damaged, or unpacking it breaks a limit.
  std::string ReadPart(std::string_view name);
  // The same, but nothing when there is no such part.
  std::optional<std::string> TryReadPart(std::string_view name);
  // Bytes unpacked so far, counted against the total limit.
  std::uint64_t UnpackedTotal() const { return unpackedTotal_; }
  const std::string& FileName() const { return fileName_; }

 private:
  struct Archive;
  ZipPackage(std::unique_ptr<Archive> archive, std::string fileName, ZipLimits limits);
  void ListEntries();
  std::optional<std::uint64_t> IndexOf(std::string_view name) const;
  std::string ReadEntry(std::uint64_t index);
  [[noreturn]] void Fail(const std::string& part, const std::string& reason) const;

  std::unique_ptr<Archive> archive_;
  std::string fileName_;
  ZipLimits limits_;
  std::vector<std::string> names_;
  std::uint64_t unpackedTotal_ = 0;
};

}  // namespace varnolt
