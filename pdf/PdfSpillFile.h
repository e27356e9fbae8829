#pragma once
// Where the content of finished pages waits for the save: an unnamed
// temporary file, so that a long document does not hold every page's
// content in memory until it is written.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/OutputStream.h"

namespace varnolt {

class TPdfSpillFile {
 public:
  // A stretch of the file that Append filled.
  struct TRange {
    std::int64_t Offset = 0;
    std::size_t Length = 0;
  };

  // Appended bytes are held in memory up to this many and then written in
  // one go: most pages are a few kilobytes, a system call each would cost
  // more than the flow that made them.
  static constexpr std::size_t kHeldBytes = 1024 * 1024;

  // Takes the descriptor over; it is read and written at offsets only, so
  // it may be any file open for reading and writing. holdUpTo replaces
  // kHeldBytes (0 writes every append through).
  explicit TPdfSpillFile(int descriptor, std::size_t holdUpTo = kHeldBytes);
  ~TPdfSpillFile();
  TPdfSpillFile(const TPdfSpillFile&) = delete;
  TPdfSpillFile& operator=(const TPdfSpillFile&) = delete;

  // A file without a name in $TMPDIR (else /tmp), which the system removes
  // when it is closed; nullptr when no such file can be made.
  static std::unique_ptr<TPdfSpillFile> OpenTemporary();

  // Appends the bytes and says where they went. EPdfInvalidOperation with
  // the system's reason (a full disk among them) when the file cannot take
  // them or the bytes held before them; nothing is lost then, the bytes
  // held stay held.
  TRange Append(std::string_view bytes);
  // The bytes of a range; EPdfInvalidOperation when they cannot be read back
  // whole.
  std::string Read(TRange range) const;
  // Writes the bytes of a range to the stream piece by piece, never holding
  // more than a piece; errors as Read.
  void CopyTo(TRange range, OutputStream& stream) const;

 private:
  void WriteAt(std::int64_t offset, std::string_view bytes);
  void WriteHeld();
  void ReadExactly(std::int64_t offset, char* into, std::size_t length) const;

  int descriptor_;
  std::size_t holdUpTo_;
  std::int64_t written_ = 0;  // the file's bytes; the held ones follow them
  std::string held_;
};

}  // namespace varnolt
