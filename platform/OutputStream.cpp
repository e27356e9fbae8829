#include "platform/OutputStream.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Exception.h"
#include "platform/Paths.h"
#include "platform/TemporaryCleanup.h"

namespace varnolt {

namespace {

// As the kernel's own limit on nested links.
constexpr int kMaxLinkHops = 40;
constexpr int kMaxNamingAttempts = 100;

// The file a save replaces: a symbolic link's final target, so the link stays.
std::filesystem::path FollowLinks(std::filesystem::path path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) return path;
    std::filesystem::path target = std::filesystem::read_symlink(path, error);
    if (error) return path;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return path;
}

// Renaming over a file needs no right to write it, so a file its owner
// made read-only would be replaced without a word. It is refused as a
// shell's redirection refuses it; root may write any file, yet a file with
// no write bit at all is one somebody protected on purpose, so it is
// refused for root too.
bool IsWriteProtected(const std::filesystem::path& file) {
  struct stat existing {};
  if (stat(file.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode)) return false;
  const bool noWriteBit = (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  return noWriteBit || access(file.c_str(), W_OK) != 0;
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  std::filesystem::path folder = file.parent_path();
  return folder.empty() ? std::filesystem::path(".") : folder;
}

std::filesystem::path TemporaryPattern(const std::filesystem::path& destination) {
  return FolderOf(destination) / std::string(".").append(destination.filename().string()).append(".XXXXXX");
}

}  // namespace

AtomicFileOutputStream::AtomicFileOutputStream(std::filesystem::path target, TTemporaryFile temporary)
    : target_(std::move(target)), destination_(FollowLinks(target_)) {
  if (IsWriteProtected(destination_)) Fail("Cannot create file", std::strerror(EACCES));
  const std::filesystem::path folder = FolderOf(destination_);
  if (temporary == TTemporaryFile::kNamed || !OpenUnnamed(folder)) OpenNamed();
  file_ = fdopen(descriptor_, "w+b");
  if (file_ == nullptr) {
    std::string reason = std::strerror(errno);
    RemoveTemporary();
    Fail("Cannot create file", reason);
  }
}

AtomicFileOutputStream::~AtomicFileOutputStream() {
  if (file_ != nullptr) std::fclose(file_);
  RemoveTemporary();
}

bool AtomicFileOutputStream::OpenUnnamed(const std::filesystem::path& folder) {
  descriptor_ = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  return descriptor_ >= 0;
}

void AtomicFileOutputStream::OpenNamed() {
  std::string pattern = TemporaryPattern(destination_).native();
  descriptor_ = mkostemp(pattern.data(), O_CLOEXEC);
  if (descriptor_ < 0) Fail("Cannot create file");
  temporary_ = pattern;
  WatchTemporaryPath(temporary_);
  // mkstemp creates the file for the owner only; a saved document gets the
  // usual permissions.
  mode_t mask = umask(0);
  umask(mask);
  fchmod(descriptor_, 0666 & ~mask);
}

void AtomicFileOutputStream::Write(std::string_view bytes) {
  if (file_ == nullptr) Fail("Cannot write file");
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail("Cannot write file");
  position_ += static_cast<std::int64_t>(bytes.size());
}

void AtomicFileOutputStream::Restart() {
  if (file_ == nullptr) Fail("Cannot write file");
  if (std::fflush(file_) != 0 || ftruncate(descriptor_, 0) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
    Fail("Cannot write file");
  }
  position_ = 0;
}


// Who may read the file must not change by saving over it.
void AtomicFileOutputStream::TakeOverReplacedFileAttributes() {
  struct stat replaced {};
  if (stat(destination_.c_str(), &replaced) != 0 || !S_ISREG(replaced.st_mode)) return;
  // Owner first: changing it clears set-user-ID bits that the mode then restores.
  if (fchown(descriptor_, replaced.st_uid, replaced.st_gid) != 0) {
    [[maybe_unused]] int groupOnly = fchown(descriptor_, static_cast<uid_t>(-1), replaced.st_gid);
  }
  fchmod(descriptor_, replaced.st_mode & 07777);
}

// linkat cannot replace a file, so the unnamed file gets a passing name that
// rename then moves over the destination in one step.
void AtomicFileOutputStream::NameTemporary() {
  static std::atomic<unsigned> serial{0};
  const std::string descriptorPath = "/proc/self/fd/" + std::to_string(descriptor_);
  const std::string prefix =
      std::string(".").append(destination_.filename().string()).append(".").append(std::to_string(getpid())).append("-");
  for (int attempt = 0; attempt < kMaxNamingAttempts; ++attempt) {
    std::filesystem::path name = FolderOf(destination_) / (prefix + std::to_string(serial++));
    // Watched before it exists, so no moment passes with a name that a signal would leave.
    WatchTemporaryPath(name);
    if (linkat(AT_FDCWD, descriptorPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      temporary_ = name;
      return;
    }
    const int error = errno;
    UnwatchTemporaryPath(name);
    if (error != EEXIST) Fail("Cannot create file", std::strerror(error));
  }
  Fail("Cannot create file", "no free temporary name");
}

void AtomicFileOutputStream::Commit() {
  if (file_ == nullptr) Fail("Cannot write file");
  bool flushed = std::fflush(file_) == 0 && fsync(descriptor_) == 0;
  if (flushed) TakeOverReplacedFileAttributes();
  if (flushed && Unnamed()) NameTemporary();
  bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || !closed) {
    std::string reason = std::strerror(errno);
    RemoveTemporary();
    Fail("Cannot write file", reason);
  }
  std::error_code error;
  std::filesystem::rename(temporary_, destination_, error);
  if (error) {
    std::string reason = error.message();
    RemoveTemporary();
    Fail("Cannot create file", reason);
  }
  UnwatchTemporaryPath(temporary_);
  temporary_.clear();
}

void AtomicFileOutputStream::RemoveTemporary() {
  if (temporary_.empty()) return;
  UnwatchTemporaryPath(temporary_);
  std::error_code ignored;
  std::filesystem::remove(temporary_, ignored);
  temporary_.clear();
}

void AtomicFileOutputStream::Fail(const std::string& what) const {
  Fail(what, errno != 0 ? std::strerror(errno) : "unknown error");
}

void AtomicFileOutputStream::Fail(const std::string& what, const std::string& reason) const {
  throw Exception(what + " " + QuotedFileName(target_) + ". " + reason);
}

}  // namespace varnolt
