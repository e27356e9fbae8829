#include "platform/FileContents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

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
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

FileContents Failure(FileReadStep step, std::string systemError) {
  FileContents result;
  result.failedStep = step;
  result.systemError = std::move(systemError);
  return result;
}

struct OpenedFile {
  int descriptor = -1;  // the caller's to close
  std::uint64_t size = 0;
  FileContents status;
};

// Opens a regular file for reading. Opening does not wait for a writer, so
// a FIFO is refused rather than hanging the reader.
OpenedFile OpenRegularFile(const std::filesystem::path& path) {
  OpenedFile opened;
  std::error_code ignored;
  if (path.empty() || !std::filesystem::exists(path, ignored)) {
    opened.status.fileMissing = true;
    return opened;
  }
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) {
    opened.status = Failure(FileReadStep::kOpen, std::strerror(errno));
    return opened;
  }
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) {
    opened.status = Failure(FileReadStep::kOpen, std::strerror(errno));
  } else if (S_ISDIR(status.st_mode)) {
    opened.status = Failure(FileReadStep::kOpen, std::strerror(EISDIR));
  } else if (!S_ISREG(status.st_mode)) {
    opened.status = Failure(FileReadStep::kOpen, "It is not a regular file.");
  } else {
    opened.size = static_cast<std::uint64_t>(status.st_size);
    opened.descriptor = file.release();
  }
  return opened;
}

// Up to count bytes; 0 at the end of the file, -1 with errno on failure.
ssize_t ReadSome(int fd, char* into, std::size_t count) {
  for (;;) {
    const ssize_t read = ::read(fd, into, count);
    if (read >= 0 || errno != EINTR) return read;
  }
}

// Reads to the end of the file, however long it is by then: a file that
// shrank gives fewer bytes, one that grew gives more.
bool ReadToEnd(int fd, std::string& bytes, std::size_t expected) {
  constexpr std::size_t kChunk = 1 << 16;
  bytes.resize(expected + 1);
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() + kChunk);
    const ssize_t count = ReadSome(fd, bytes.data() + filled, bytes.size() - filled);
    if (count < 0) return false;
    if (count == 0) break;
    filled += static_cast<std::size_t>(count);
  }
  bytes.resize(filled);
  return true;
}

}  // namespace

FileContents ReadFileContents(const std::filesystem::path& path) {
  OpenedFile opened = OpenRegularFile(path);
  if (opened.descriptor < 0) return std::move(opened.status);
  FileDescriptor file(opened.descriptor);
  // An empty file fails as a mapping of nothing did on the system the command was made for.
  if (opened.size == 0) return Failure(FileReadStep::kSize, kEmptyFileReason);
  if (opened.size >= std::string().max_size() || opened.size >= SIZE_MAX) {
    return Failure(FileReadStep::kSize, "The file is too large to be read.");
  }
  FileContents result;
  if (!ReadToEnd(file.get(), result.bytes, static_cast<std::size_t>(opened.size))) {
    return Failure(FileReadStep::kRead, std::strerror(errno));
  }
  return result;
}

// --- FileInputBuffer ---

FileInputBuffer::FileInputBuffer(const std::filesystem::path& path, std::size_t chunkSize) {
  OpenedFile opened = OpenRegularFile(path);
  descriptor_ = opened.descriptor;
  size_ = opened.size;
  status_ = std::move(opened.status);
  if (descriptor_ >= 0) chunk_.resize(std::max<std::size_t>(chunkSize, 1));
  ShowChunkFrom(0);
}

FileInputBuffer::~FileInputBuffer() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

FileInputBuffer::int_type FileInputBuffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (descriptor_ < 0 || status_.failedStep != FileReadStep::kNone) return traits_type::eof();
  if (seekTarget_ && *seekTarget_ >= chunkStart_ && *seekTarget_ < chunkStart_ + chunkLength_) {
    ShowChunkFrom(*std::exchange(seekTarget_, std::nullopt));
    return traits_type::to_int_type(*gptr());
  }
  if (seekTarget_) {
    if (::lseek(descriptor_, static_cast<off_t>(*seekTarget_), SEEK_SET) < 0) return Fail();
    chunkStart_ = *std::exchange(seekTarget_, std::nullopt);
  } else {
    chunkStart_ += chunkLength_;
  }
  chunkLength_ = 0;
  const ssize_t count = ReadSome(descriptor_, chunk_.data(), chunk_.size());
  if (count < 0) return Fail();
  chunkLength_ = static_cast<std::uint64_t>(count);
  ShowChunkFrom(chunkStart_);
  return count > 0 ? traits_type::to_int_type(*gptr()) : traits_type::eof();
}

FileInputBuffer::int_type FileInputBuffer::Fail() {
  status_ = Failure(FileReadStep::kRead, std::strerror(errno));
  chunkLength_ = 0;
  ShowChunkFrom(chunkStart_);
  return traits_type::eof();
}

void FileInputBuffer::ShowChunkFrom(std::uint64_t position) {
  char* begin = chunk_.data();
  setg(begin, begin + (position - chunkStart_), begin + chunkLength_);
}

std::uint64_t FileInputBuffer::Position() const {
  return seekTarget_ ? *seekTarget_ : chunkStart_ + static_cast<std::uint64_t>(gptr() - eback());
}

// Seeking only notes the place; the chunk held stays, so a reader that
// looks at the end for the size and comes back reads nothing twice.
FileInputBuffer::pos_type FileInputBuffer::seekoff(off_type offset, std::ios_base::seekdir dir,
                                                   std::ios_base::openmode which) {
  const pos_type refused(off_type(-1));
  if ((which & std::ios_base::in) == 0 || descriptor_ < 0) return refused;
  off_type base = 0;
  if (dir == std::ios_base::cur) base = static_cast<off_type>(Position());
  if (dir == std::ios_base::end) base = static_cast<off_type>(size_);
  const off_type target = base + offset;
  if (target < 0) return refused;
  const auto position = static_cast<std::uint64_t>(target);
  if (position >= chunkStart_ && position <= chunkStart_ + chunkLength_) {
    seekTarget_.reset();
    ShowChunkFrom(position);
  } else {
    seekTarget_ = position;
    setg(chunk_.data(), chunk_.data(), chunk_.data());
  }
  return pos_type(target);
}

FileInputBuffer::pos_type FileInputBuffer::seekpos(pos_type position, std::ios_base::openmode which) {
  return seekoff(off_type(position), std::ios_base::beg, which);
}

}  // namespace varnolt
