#include "platform/FileMapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace varnolt {

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

MappedFileContents Failure(FileMappingStep step, std::string systemError) {
  MappedFileContents result;
  result.failedStep = step;
  result.systemError = std::move(systemError);
  return result;
}

}  // namespace

MappedFileContents MapFileToString(const std::filesystem::path& path) {
  std::error_code ignored;
  if (path.empty() || !std::filesystem::exists(path, ignored)) {
    MappedFileContents missing;
    missing.fileMissing = true;
    return missing;
  }
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return Failure(FileMappingStep::kOpen, std::strerror(errno));
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) return Failure(FileMappingStep::kOpen, std::strerror(errno));
  if (!S_ISREG(status.st_mode)) return Failure(FileMappingStep::kOpen, "It is not a regular file.");
  // A mapping of nothing cannot exist, as on the system the command was made for.
  if (status.st_size == 0) return Failure(FileMappingStep::kCreateMapping, "The file is empty.");
  const auto size = static_cast<std::uint64_t>(status.st_size);
  if (size > std::string().max_size() || size > SIZE_MAX) {
    return Failure(FileMappingStep::kCreateMapping, "The file is too large to be read.");
  }
  void* view = ::mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE, file.get(), 0);
  if (view == MAP_FAILED) return Failure(FileMappingStep::kMapView, std::strerror(errno));
  MappedFileContents result;
  result.bytes.assign(static_cast<const char*>(view), static_cast<size_t>(size));
  ::munmap(view, static_cast<size_t>(size));
  return result;
}

}  // namespace varnolt
