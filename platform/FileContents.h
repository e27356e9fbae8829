#pragma once
// Reads a whole file into memory with ordinary reads (a mapping would kill
// the process when the file shrinks under it), telling which step failed so
// that the text import can show its own warning for each.
#include <filesystem>
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

}  // namespace varnolt
