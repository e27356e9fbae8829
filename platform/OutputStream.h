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

// Writes into a temporary file beside the target and renames it over the
// target on Commit, so a failed save leaves an existing file untouched and
// no half-written file behind. Throws varnolt::Exception when the folder
// cannot take the file or a write fails.
class AtomicFileOutputStream final : public OutputStream {
 public:
  explicit AtomicFileOutputStream(std::filesystem::path target);
  ~AtomicFileOutputStream() override;
  AtomicFileOutputStream(const AtomicFileOutputStream&) = delete;
  AtomicFileOutputStream& operator=(const AtomicFileOutputStream&) = delete;

  void Write(std::string_view bytes) override;
  std::int64_t Position() const override { return position_; }
  void Restart() override;
  void Commit();

 private:
  [[noreturn]] void Fail(const std::string& what) const;
  [[noreturn]] void Fail(const std::string& what, const std::string& reason) const;

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::FILE* file_ = nullptr;
  std::int64_t position_ = 0;
};

}  // namespace varnolt
