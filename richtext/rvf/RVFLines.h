#pragma once
// The three encodings an RVF stream mixes (text lines ending at CR LF,
// binary blocks with a 32-bit length, UTF-16 lines ending at U+2029), the
// fields of record headers, and the escaping of strings inside lines.
// Readers throw ERichDocError "Invalid RVF format" on anything malformed or
// cut short, and never read past the data.
#include <cstdint>
#include <string>
#include <string_view>

#include "richtext/style/RVStyleTypes.h"

namespace varnolt {

[[noreturn]] void ThrowInvalidRVF();

class TRVFInput {
 public:
  explicit TRVFInput(std::string_view bytes) : bytes_(bytes) {}

  bool AtEnd() const { return pos_ >= bytes_.size(); }
  std::size_t Remaining() const { return bytes_.size() - pos_; }

  // Up to CR LF, a lone CR or LF, a zero byte or the end of the data.
  std::string_view ReadLine();
  // A 32-bit little-endian count, then that many bytes.
  std::string_view ReadBlock();
  // UTF-16LE units up to U+2029.
  std::u16string ReadUnicodeLine();
  // A text line of hexadecimal digits, decoded.
  std::string ReadHexLine();
  // A binary block, or a hexadecimal line.
  std::string ReadData(bool binary);

 private:
  void RequireMore() const;

  std::string_view bytes_;
  std::size_t pos_ = 0;
};

class TRVFOutput {
 public:
  explicit TRVFOutput(std::string& stream) : stream_(stream) {}

  std::string& Stream() { return stream_; }
  void Line(std::string_view text);
  void Block(std::string_view bytes);
  void UnicodeLine(std::u16string_view text);
  void HexLine(std::string_view bytes);
  void Data(std::string_view bytes, bool binary);

 private:
  std::string& stream_;
};

// The fields of a header line, one after the other.
class TRVFHeaderReader {
 public:
  explicit TRVFHeaderReader(std::string_view line) : line_(line) {}

  bool AtEnd() const { return pos_ >= line_.size(); }
  // An optional minus and decimal digits ended by a space or the line's end;
  // anything else, or a number beyond 32 bits, is malformed.
  std::int32_t Number();
  bool NextIsQuoted() const { return pos_ < line_.size() && line_[pos_] == '"'; }
  // A string in double quotes with inner quotes doubled.
  std::string Quoted();
  // A number, or a quoted string when quoted is set.
  std::int32_t NumberOrQuoted(bool& quoted, std::string& text);

 private:
  void EndField();

  std::string_view line_;
  std::size_t pos_ = 0;
};

std::string QuoteRVFString(std::string_view bytes);

// Strings inside lines: UTF-8 (8-bit in the system code page for old
// streams), CR as the byte 01 and LF as the byte 02.
std::string EncodeRVFString(std::u16string_view text);
std::u16string DecodeRVFString(std::string_view bytes, bool utf8);
std::string EscapeLineBreaks(std::string_view bytes);
std::string UnescapeLineBreaks(std::string_view bytes);

// Two uppercase digits per byte; decoding accepts either case and stops at
// the first pair that is not hexadecimal.
std::string HexEncode(std::string_view bytes);
std::string HexDecode(std::string_view digits);

void AppendInt32(std::string& out, std::int32_t value);
// Reads a 32-bit little-endian number at pos and moves past it; malformed
// when fewer than four bytes remain.
std::int32_t ReadInt32(std::string_view bytes, std::size_t& pos);

}  // namespace varnolt
