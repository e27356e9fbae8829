#include "platform/ZipPackage.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace varnolt {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr char kEmptyPackageReason[] = "the file is empty";

std::string ZipErrorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

std::string ZipErrorText(zip_error_t* error) { return zip_error_strerror(error); }

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

std::string_view WithoutLeadingSlash(std::string_view name) {
  while (name.starts_with('/')) name.remove_prefix(1);
  return name;
}

std::string PackageMessage(const std::string& file, const std::string& part, const std::string& reason) {
  std::string message = file;
  if (!part.empty()) message += ", part " + part;
  return message + ": " + reason;
}

struct FileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};

}  // namespace

EPackageError::EPackageError(std::string file, std::string part, std::string reason)
    : Exception(PackageMessage(file, part, reason)), file_(std::move(file)), part_(std::move(part)), reason_(std::move(reason)) {}

struct ZipPackage::Archive {
  ~Archive() {
    if (zip) zip_discard(zip);
  }
  std::string bytes;  // the package itself when it came from memory; libzip reads from it
  zip_t* zip = nullptr;
  std::unordered_map<std::string, std::uint64_t> byLowerName;
};

ZipPackage::ZipPackage(const std::filesystem::path& file, ZipLimits limits) : fileName_(file.string()), limits_(limits) {
  archive_ = std::make_unique<Archive>();
  std::error_code ignored;
  if (std::filesystem::is_directory(file, ignored)) Fail({}, "is a directory");
  // libzip takes an empty file for an empty package; a document it is not.
  if (std::filesystem::exists(file, ignored) && std::filesystem::file_size(file, ignored) == 0) {
    Fail({}, kEmptyPackageReason);
  }
  int code = 0;
  archive_->zip = zip_open(file.c_str(), ZIP_RDONLY, &code);
  if (!archive_->zip) {
    if (code == ZIP_ER_NOZIP) Fail({}, "it is no zip package");
    if (code == ZIP_ER_NOENT) Fail({}, "no such file");
    Fail({}, ZipErrorText(code));
  }
  ListEntries();
}

ZipPackage::ZipPackage(std::unique_ptr<Archive> archive, std::string fileName, ZipLimits limits)
    : archive_(std::move(archive)), fileName_(std::move(fileName)), limits_(limits) {}

ZipPackage ZipPackage::FromBytes(std::string bytes, std::string name, ZipLimits limits) {
  if (bytes.empty()) throw EPackageError(std::move(name), {}, kEmptyPackageReason);
  auto archive = std::make_unique<Archive>();
  archive->bytes = std::move(bytes);
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(archive->bytes.data(), archive->bytes.size(), 0, &error);
  if (source) {
    archive->zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!archive->zip) zip_source_free(source);
  }
  ZipPackage package(std::move(archive), std::move(name), limits);
  if (!package.archive_->zip) {
    const bool noZip = zip_error_code_zip(&error) == ZIP_ER_NOZIP;
    const std::string reason = noZip ? "it is no zip package" : ZipErrorText(&error);
    zip_error_fini(&error);
    package.Fail({}, reason);
  }
  zip_error_fini(&error);
  package.ListEntries();
  return package;
}

ZipPackage::~ZipPackage() = default;
ZipPackage::ZipPackage(ZipPackage&&) noexcept = default;
ZipPackage& ZipPackage::operator=(ZipPackage&&) noexcept = default;

void ZipPackage::Fail(const std::string& part, const std::string& reason) const {
  throw EPackageError(fileName_, part, reason);
}

void ZipPackage::ListEntries() {
  const zip_int64_t count = zip_get_num_entries(archive_->zip, 0);
  if (count < 0) Fail({}, "its list of entries cannot be read");
  if (static_cast<std::uint64_t>(count) > limits_.maxEntries) {
    Fail({}, "it has " + std::to_string(count) + " entries, more than the " + std::to_string(limits_.maxEntries) +
                 " allowed");
  }
  names_.reserve(static_cast<std::size_t>(count));
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
    const char* name = zip_get_name(archive_->zip, i, ZIP_FL_ENC_GUESS);
    if (!name) Fail({}, "entry " + std::to_string(i) + " has no readable name");
    names_.emplace_back(name);
    archive_->byLowerName.try_emplace(LowerAscii(WithoutLeadingSlash(names_.back())), i);
  }
}

std::optional<std::uint64_t> ZipPackage::IndexOf(std::string_view name) const {
  const auto found = archive_->byLowerName.find(LowerAscii(WithoutLeadingSlash(name)));
  if (found == archive_->byLowerName.end()) return std::nullopt;
  return found->second;
}

std::string ZipPackage::ReadPart(std::string_view name) {
  const auto index = IndexOf(name);
  if (!index) Fail(std::string(name), "no such part in the package");
  return ReadEntry(*index);
}

std::optional<std::string> ZipPackage::TryReadPart(std::string_view name) {
  const auto index = IndexOf(name);
  if (!index) return std::nullopt;
  return ReadEntry(*index);
}

std::string ZipPackage::ReadEntry(std::uint64_t index) {
  const std::string& part = names_.at(index);
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(archive_->zip, index, 0, &stat) != 0) Fail(part, ZipErrorText(zip_get_error(archive_->zip)));
  if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
    Fail(part, "the part is encrypted");
  }
  const std::uint64_t packed = (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0;
  const std::uint64_t ratioLimit = std::max(limits_.ratioFreeSize, packed * limits_.maxRatio);
  const std::uint64_t sizeLimit = std::min({limits_.maxPartSize, ratioLimit, limits_.maxTotalSize - unpackedTotal_});
  auto tooLarge = [&](std::uint64_t size) {
    if (size > limits_.maxPartSize) {
      Fail(part, "the part unpacks to more than " + std::to_string(limits_.maxPartSize) + " bytes");
    }
    if (size > ratioLimit) {
      Fail(part, "the part unpacks to more than " + std::to_string(limits_.maxRatio) +
                     " times its packed size of " + std::to_string(packed) + " bytes");
    }
    Fail(part, "the package unpacks to more than " + std::to_string(limits_.maxTotalSize) + " bytes");
  };
  const bool sizeKnown = (stat.valid & ZIP_STAT_SIZE) != 0;
  if (sizeKnown && stat.size > sizeLimit) tooLarge(stat.size);

  std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(archive_->zip, index, 0));
  if (!file) Fail(part, ZipErrorText(zip_get_error(archive_->zip)));
  std::string bytes;
  // The claimed size is only a hint: a damaged or hostile header may lie.
  if (sizeKnown) bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(stat.size, sizeLimit)));
  auto chunk = std::make_unique<char[]>(kReadChunk);
  for (;;) {
    const zip_int64_t got = zip_fread(file.get(), chunk.get(), kReadChunk);
    if (got < 0) Fail(part, ZipErrorText(zip_file_get_error(file.get())));
    if (got == 0) break;
    bytes.append(chunk.get(), static_cast<std::size_t>(got));
    if (bytes.size() > sizeLimit) tooLarge(bytes.size());
  }
  unpackedTotal_ += bytes.size();
  return bytes;
}

}  // namespace varnolt
