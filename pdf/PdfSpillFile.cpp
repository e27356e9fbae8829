#include "pdf/PdfSpillFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "pdf/PdfTypes.h"

namespace varnolt {

namespace {

// Large enough that copying back costs few system calls, small enough to
// stay out of the peak.
constexpr std::size_t kCopyPiece = 256 * 1024;

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

int OpenUnnamed(const std::string& folder) {
  int descriptor = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (descriptor >= 0) return descriptor;
  // File systems without unnamed files: a named one, unlinked at once.
  std::string pattern = folder + "/varnolt-pages-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  descriptor = ::mkostemp(name.data(), O_CLOEXEC);
  if (descriptor >= 0) ::unlink(name.data());
  return descriptor;
}

[[noreturn]] void Fail(const char* operation, const char* what, int error) {
  const std::string reason = error != 0 ? std::strerror(error) : "the file ended early";
  throw EPdfInvalidOperation(std::string(operation) + " --" + what + ": " + reason + ".");
}

}  // namespace

TPdfSpillFile::TPdfSpillFile(int descriptor, std::size_t holdUpTo) : descriptor_(descriptor), holdUpTo_(holdUpTo) {}

TPdfSpillFile::~TPdfSpillFile() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

std::unique_ptr<TPdfSpillFile> TPdfSpillFile::OpenTemporary() {
  const int descriptor = OpenUnnamed(TemporaryFolder());
  if (descriptor < 0) return nullptr;
  return std::make_unique<TPdfSpillFile>(descriptor);
}

TPdfSpillFile::TRange TPdfSpillFile::Append(std::string_view bytes) {
  if (held_.size() + bytes.size() > holdUpTo_) WriteHeld();
  const TRange range{written_ + static_cast<std::int64_t>(held_.size()), bytes.size()};
  if (bytes.size() > holdUpTo_) {
    WriteAt(written_, bytes);
    written_ += static_cast<std::int64_t>(bytes.size());
  } else {
    held_.append(bytes);
  }
  return range;
}

void TPdfSpillFile::WriteHeld() {
  if (held_.empty()) return;
  WriteAt(written_, held_);
  written_ += static_cast<std::int64_t>(held_.size());
  held_.clear();
}

void TPdfSpillFile::WriteAt(std::int64_t offset, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::pwrite(descriptor_, bytes.data() + done, bytes.size() - done,
                                     static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      Fail("Append", "the temporary file of finished pages cannot be written", written < 0 ? errno : ENOSPC);
    }
    done += static_cast<std::size_t>(written);
  }
}

void TPdfSpillFile::ReadExactly(std::int64_t offset, char* into, std::size_t length) const {
  // A range lies wholly in the file or wholly among the held bytes.
  if (offset >= written_) {
    const auto at = static_cast<std::size_t>(offset - written_);
    if (at + length > held_.size()) Fail("Read", "the temporary file of finished pages cannot be read", 0);
    std::memcpy(into, held_.data() + at, length);
    return;
  }
  std::size_t done = 0;
  while (done < length) {
    const ssize_t read =
        ::pread(descriptor_, into + done, length - done, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (read < 0 && errno == EINTR) continue;
    if (read <= 0) Fail("Read", "the temporary file of finished pages cannot be read", read < 0 ? errno : 0);
    done += static_cast<std::size_t>(read);
  }
}

std::string TPdfSpillFile::Read(TRange range) const {
  std::string bytes(range.Length, '\0');
  ReadExactly(range.Offset, bytes.data(), bytes.size());
  return bytes;
}

void TPdfSpillFile::CopyTo(TRange range, OutputStream& stream) const {
  std::string piece(std::min(range.Length, kCopyPiece), '\0');
  for (std::size_t done = 0; done < range.Length;) {
    const std::size_t length = std::min(range.Length - done, piece.size());
    ReadExactly(range.Offset + static_cast<std::int64_t>(done), piece.data(), length);
    stream.Write(std::string_view(piece.data(), length));
    done += length;
  }
}

}  // namespace varnolt
