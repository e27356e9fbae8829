#pragma once
// Reads files with ordinary reads (a mapping would kill the process when the
// file shrinks under it), telling which step failed so that the imports can
// show their own warning for each: a whole file into memory, or a chunk at
// a time through a stream buffer for readers that need not hold it whole.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <streambuf>
#include <string>

namespace varnolt {

enum class FileReadStep {
  kNone,
  kOpen,  // the file cannot be opened, or is no regular file
  kSize,  // the file is empty or too large to hold
  kRead,  // a read failed part way
};

inline constexpr char kEmptyFileReason[] = "The file is empty.";

struct FileContents {
  std::string bytes;
  FileReadStep failedStep = FileReadStep::kNone;
  std::string systemError;   // the system's text for the failure, when a step failed
  bool fileMissing = false;  // no such file: callers stay silent
};

FileContents ReadFileContents(const std::filesystem::path& path);

// The file's bytes chunk by chunk, through one descriptor it owns. Seeking
// is allowed (a reader learns the size by seeking to the end and back). An
// empty file is no failure here: it simply has no bytes. A read that fails
// part way ends the input early and is kept in Status, so that a caller can
// tell a cut-off read from the file's end.
class FileInputBuffer final : public std::streambuf {
 public:
  static constexpr std::size_t kDefaultChunkSize = 1 << 20;

  explicit FileInputBuffer(const std::filesystem::path& path, std::size_t chunkSize = kDefaultChunkSize);
  ~FileInputBuffer() override;
  FileInputBuffer(const FileInputBuffer&) = delete;
  FileInputBuffer& operator=(const FileInputBuffer&) = delete;

  // False when the file could not be opened (Status says why).
  bool IsOpen() const { return descriptor_ >= 0; }
  // The failed step and its reason, with no bytes; kNone while all is well.
  const FileContents& Status() const { return status_; }
  // The size when the file was opened.
  std::uint64_t Size() const { return size_; }

 protected:
  int_type underflow() override;
  pos_type seekoff(off_type offset, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
  pos_type seekpos(pos_type position, std::ios_base::openmode which) override;

 private:
  int_type Fail();
  void ShowChunkFrom(std::uint64_t position);
  std::uint64_t Position() const;

  int descriptor_ = -1;
  std::string chunk_;
  std::uint64_t chunkStart_ = 0;  // the file offset of the chunk's first byte
  std::uint64_t chunkLength_ = 0;
  // Where the next read starts when a seek left the chunk; the descriptor
  // is moved only when that read comes.
  std::optional<std::uint64_t> seekTarget_;
  std::uint64_t size_ = 0;
  FileContents status_;
};

}  // namespace varnolt
