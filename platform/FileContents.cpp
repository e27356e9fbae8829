#include "platform/FileContents.h"

#include <fcntl.h>
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

FileContents Failure(FileReadStep step, std::string systemError) {
  FileContents result;
  result.failedStep = step;
  result.systemError = std::move(systemError);
  return result;
}

// Reads to the end of the file, however long it is by then: a file that
// shrank gives fewer bytes, one that grew gives more.
bool ReadToEnd(int fd, std::string& bytes, std::size_t expected) {
  constexpr std::size_t kChunk = 1 << 16;
  bytes.resize(expected + 1);
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() + kChunk);
    const ssize_t count = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    if (count == 0) break;
    filled += static_cast<std::size_t>(count);
  }
  bytes.resize(filled);
  return true;
}

}  // namespace

FileContents ReadFileContents(const std::filesystem::path& path) {
  std::error_code ignored;
  if (path.empty() || !std::filesystem::exists(path, ignored)) {
    FileContents missing;
    missing.fileMissing = true;
    return missing;
  }
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return Failure(FileReadStep::kOpen, std::strerror(errno));
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) return Failure(FileReadStep::kOpen, std::strerror(errno));
  if (S_ISDIR(status.st_mode)) return Failure(FileReadStep::kOpen, std::strerror(EISDIR));
  if (!S_ISREG(status.st_mode)) return Failure(FileReadStep::kOpen, "It is not a regular file.");
  // An empty file fails as a mapping of nothing did on the system the command was made for.
  if (status.st_size == 0) return Failure(FileReadStep::kSize, kEmptyFileReason);
  const auto size = static_cast<std::uint64_t>(status.st_size);
  if (size >= std::string().max_size() || size >= SIZE_MAX) {
    return Failure(FileReadStep::kSize, "The file is too large to be read.");
  }
  FileContents result;
  if (!ReadToEnd(file.get(), result.bytes, static_cast<std::size_t>(size))) {
    return Failure(FileReadStep::kRead, std::strerror(errno));
  }
  return result;
}

}  // namespace varnolt
