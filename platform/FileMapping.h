#pragma once
// Reads a whole file through a read-only memory mapping, telling which step
// failed so that the text import can show its own warning for each.
#include <filesystem>
#include <string>

namespace varnolt {

enum class FileMappingStep { kNone, kOpen, kCreateMapping, kMapView };

struct MappedFileContents {
  std::string bytes;
  FileMappingStep failedStep = FileMappingStep::kNone;
  std::string systemError;  // the system's text for the failure, when a step failed
  bool fileMissing = false;  // no such file: callers stay silent
};

MappedFileContents MapFileToString(const std::filesystem::path& path);

}  // namespace varnolt
