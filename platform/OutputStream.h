#pragma once
// Byte sinks the writers save into: memory for tests and callers that
// post-process, a file that appears only once it is complete.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace varnolt {

class OutputStream {
 public:
  virtual ~OutputStream() = default;
  virtual void Write(std::string_view bytes) = 0;
  // Bytes written since the last Restart.
  virtual std::int64_t Position() const = 0;
  // Starts over at position 0; what was written before is dropped, so the
  // stream then holds exactly what is written next.
  virtual void Restart() = 0;
};

class MemoryOutputStream final : public OutputStream {
 public:
  void Write(std::string_view bytes) override { bytes_.append(bytes); }
  std::int64_t Position() const override { return static_cast<std::int64_t>(bytes_.size()); }
  void Restart() override { bytes_.clear(); }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

enum class TTemporaryFile : std::uint8_t {
  kUnnamedWhereSupported,  // O_TMPFILE, named only where the file system lacks it
  kNamed,                  // always a named temporary (file systems without O_TMPFILE)
};

// Writes into a temporary file in the target's folder and puts it in the
// target's place on Commit, so a failed save leaves an existing file
// untouched and no half-written file behind; a file without write rights (or any write bit, even for root)
// is refused, "Permission denied". The temporary has no name until Commit where the file system allows;
// a named one is removed on SIGINT, SIGTERM, SIGHUP. A replaced file's permission bits (and, where
// allowed, owner and group) carry over; a symbolic link keeps pointing at
// the new file. Throws varnolt::Exception when the folder cannot take the
// file or a write fails.
class AtomicFileOutputStream final : public OutputStream {
 public:
  explicit AtomicFileOutputStream(std::filesystem::path target,
                                  TTemporaryFile temporary = TTemporaryFile::kUnnamedWhereSupported);
  ~AtomicFileOutputStream() override;
  AtomicFileOutputStream(const AtomicFileOutputStream&) = delete;
  AtomicFileOutputStream& operator=(const AtomicFileOutputStream&) = delete;

  void Write(std::string_view bytes) override;
  std::int64_t Position() const override { return position_; }
  void Restart() override;
  void Commit();

  // Whether the file being written still has no name in its folder.
  bool Unnamed() const { return temporary_.empty(); }

 private:
  bool OpenUnnamed(const std::filesystem::path& folder);
  void OpenNamed();
  void TakeOverReplacedFileAttributes();
  void NameTemporary();
  void RemoveTemporary();
  [[noreturn]] void Fail(const std::string& what) const;
  [[noreturn]] void Fail(const std::string& what, const std::string& reason) const;

  std::filesystem::path target_;       // as given, for messages
  std::filesystem::path destination_;  // the file replaced: the target with its links followed
  std::filesystem::path temporary_;    // empty while unnamed
  int descriptor_ = -1;
  std::FILE* file_ = nullptr;
  std::int64_t position_ = 0;
};

}  // namespace varnolt
