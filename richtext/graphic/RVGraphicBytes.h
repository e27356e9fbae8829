#pragma once
// Little-endian reading and writing for the picture formats; reads past the
// end throw EInvalidGraphic with the message the caller chose.
#include <cstdint>
#include <string>
#include <string_view>

#include "richtext/graphic/RVGraphic.h"

namespace varnolt {

class TGraphicBytesReader {
 public:
  TGraphicBytesReader(std::string_view bytes, const char* failureMessage)
      : bytes_(bytes), failureMessage_(failureMessage) {}

  std::size_t Size() const { return bytes_.size(); }
  bool Has(std::size_t offset, std::size_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  void Require(std::size_t offset, std::size_t count) const {
    if (!Has(offset, count)) throw EInvalidGraphic(failureMessage_);
  }
  std::uint8_t U8(std::size_t offset) const {
    Require(offset, 1);
    return static_cast<std::uint8_t>(bytes_[offset]);
  }
  std::uint16_t U16(std::size_t offset) const {
    Require(offset, 2);
    return static_cast<std::uint16_t>(Byte(offset) | (Byte(offset + 1) << 8));
  }
  std::uint32_t U32(std::size_t offset) const {
    Require(offset, 4);
    return Byte(offset) | (Byte(offset + 1) << 8) | (Byte(offset + 2) << 16) |
           (static_cast<std::uint32_t>(Byte(offset + 3)) << 24);
  }
  std::int16_t S16(std::size_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
  std::int32_t S32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
  std::string_view Slice(std::size_t offset, std::size_t count) const {
    Require(offset, count);
    return bytes_.substr(offset, count);
  }
  std::string_view From(std::size_t offset) const {
    Require(offset, 0);
    return bytes_.substr(offset);
  }
  [[noreturn]] void Fail() const { throw EInvalidGraphic(failureMessage_); }

 private:
  std::uint32_t Byte(std::size_t offset) const { return static_cast<std::uint8_t>(bytes_[offset]); }

  std::string_view bytes_;
  const char* failureMessage_;
};

inline void AppendU16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

inline void AppendU32(std::string& out, std::uint32_t value) {
  AppendU16(out, value & 0xFFFF);
  AppendU16(out, value >> 16);
}

}  // namespace varnolt
