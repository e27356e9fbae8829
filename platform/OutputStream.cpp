#include "platform/OutputStream.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Exception.h"

namespace varnolt {

AtomicFileOutputStream::AtomicFileOutputStream(std::filesystem::path target) : target_(std::move(target)) {
  std::filesystem::path folder = target_.parent_path();
  if (folder.empty()) folder = ".";
  std::string pattern = (folder / std::string(".").append(target_.filename().string()).append(".XXXXXX")).string();
  int descriptor = mkstemp(pattern.data());
  if (descriptor < 0) Fail("Cannot create file");
  temporary_ = pattern;
  file_ = fdopen(descriptor, "w+b");
  if (file_ == nullptr) {
    std::string reason = std::strerror(errno);
    close(descriptor);
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    Fail("Cannot create file", reason);
  }
  // mkstemp creates the file for the owner only; a saved document gets the
  // usual permissions.
  mode_t mask = umask(0);
  umask(mask);
  fchmod(descriptor, 0666 & ~mask);
}

AtomicFileOutputStream::~AtomicFileOutputStream() {
  if (file_ != nullptr) {
    std::fclose(file_);
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
  }
}

void AtomicFileOutputStream::Write(std::string_view bytes) {
  if (file_ == nullptr) Fail("Cannot write file");
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail("Cannot write file");
  position_ += static_cast<std::int64_t>(bytes.size());
}

void AtomicFileOutputStream::Restart() {
  if (file_ == nullptr) Fail("Cannot write file");
  if (std::fflush(file_) != 0 || ftruncate(fileno(file_), 0) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
    Fail("Cannot write file");
  }
  position_ = 0;
}

void AtomicFileOutputStream::Commit() {
  if (file_ == nullptr) Fail("Cannot write file");
  bool flushed = std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
  bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  std::error_code error;
  if (!flushed || !closed) {
    std::string reason = std::strerror(errno);
    std::filesystem::remove(temporary_, error);
    Fail("Cannot write file", reason);
  }
  std::filesystem::rename(temporary_, target_, error);
  if (error) {
    std::string reason = error.message();
    std::filesystem::remove(temporary_, error);
    Fail("Cannot create file", reason);
  }
}

void AtomicFileOutputStream::Fail(const std::string& what) const {
  Fail(what, errno != 0 ? std::strerror(errno) : "unknown error");
}

void AtomicFileOutputStream::Fail(const std::string& what, const std::string& reason) const {
  throw Exception(what + " \"" + target_.string() + "\". " + reason);
}

}  // namespace varnolt
