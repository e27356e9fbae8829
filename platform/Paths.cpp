#include "platform/Paths.h"

#include <cstdlib>

#include <unicode/utf16.h>
#include <unicode/utf8.h>

namespace varnolt {

namespace {

constexpr char16_t kEscapedByteBase = 0xDC00;
constexpr char16_t kFirstEscapedByte = 0xDC80;
constexpr char16_t kLastEscapedByte = 0xDCFF;

}  // namespace

std::filesystem::path ExecutableDir() {
  std::error_code error;
  auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error);
  return executable.parent_path();
}

std::filesystem::path DocumentsFolder() {
  std::error_code error;
  auto isFolder = [&error](const std::filesystem::path& folder) {
    return !folder.empty() && std::filesystem::is_directory(folder, error);
  };
  if (const char* documents = std::getenv("XDG_DOCUMENTS_DIR"); documents != nullptr && isFolder(documents)) {
    return documents;
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return std::filesystem::current_path(error);
  if (isFolder(std::filesystem::path(home) / "Documents")) return std::filesystem::path(home) / "Documents";
  return home;
}

std::u16string FileNameToUtf16(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const auto length = static_cast<std::int32_t>(bytes.size());
  for (std::int32_t i = 0; i < length;) {
    const std::int32_t start = i;
    UChar32 c = 0;
    U8_NEXT(data, i, length, c);
    if (c < 0) {
      text += static_cast<char16_t>(kEscapedByteBase + data[start]);
      i = start + 1;
    } else if (U_IS_BMP(c)) {
      text += static_cast<char16_t>(c);
    } else {
      text += static_cast<char16_t>(U16_LEAD(c));
      text += static_cast<char16_t>(U16_TRAIL(c));
    }
  }
  return text;
}

std::string Utf16ToFileName(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t i = 0; i < length;) {
    UChar32 c = 0;
    U16_NEXT(text.data(), i, length, c);
    if (c >= kFirstEscapedByte && c <= kLastEscapedByte) {
      bytes += static_cast<char>(c - kEscapedByteBase);
      continue;
    }
    if (U_IS_SURROGATE(c)) c = 0xFFFD;
    std::uint8_t buffer[U8_MAX_LENGTH];
    std::int32_t written = 0;
    U8_APPEND_UNSAFE(buffer, written, c);
    bytes.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(written));
  }
  return bytes;
}

std::string EscapedFileName(std::string_view name) {
  std::string escaped;
  escaped.reserve(name.size());
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\n': escaped += "\\n"; break;
      case '\r': escaped += "\\r"; break;
      case '\t': escaped += "\\t"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          constexpr char kHex[] = "0123456789ABCDEF";
          escaped += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
        } else {
          escaped += c;
        }
    }
  }
  return escaped;
}

std::string QuotedFileName(const std::filesystem::path& name) { return '"' + EscapedFileName(name.native()) + '"'; }

}  // namespace varnolt
