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

  // Takes the descriptor over; it is read and written at offsets only, so
  // it may be any file open for reading and writing.
  explicit TPdfSpillFile(int descriptor);
  ~TPdfSpillFile();
  TPdfSpillFile(const TPdfSpillFile&) = delete;
  TPdfSpillFile& operator=(const TPdfSpillFile&) = delete;

  // A file without a name in $TMPDIR (else /tmp), which the system removes
  // when it is closed; nullptr when no such file can be made.
  static std::unique_ptr<TPdfSpillFile> OpenTemporary();

  // Appends the bytes and says where they went. EPdfInvalidOperation with
  // the system's reason (a full disk among them) when the file cannot take
  // all of them.
  TRange Append(std::string_view bytes);
  // The bytes of a range; EPdfInvalidOperation when they cannot be read back
  // whole.
  std::string Read(TRange range) const;
  // Writes the bytes of a range to the stream piece by piece, never holding
  // more than a piece; errors as Read.
  void CopyTo(TRange range, OutputStream& stream) const;

 private:
  void ReadExactly(std::int64_t offset, char* into, std::size_t length) const;

  int descriptor_;
  std::int64_t end_ = 0;
};

}  // namespace varnolt
