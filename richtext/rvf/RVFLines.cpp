#include "richtext/rvf/RVFLines.h"

#include <charconv>
#include <limits>

#include "platform/CodePage.h"
#include "richtext/document/RVItem.h"

namespace varnolt {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kEscapedCR = '\x01';
constexpr char kEscapedLF = '\x02';
constexpr std::string_view kUnicodeLineEnd{"\x29\x20", 2};
constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

void ThrowInvalidRVF() { throw ERichDocError("Invalid RVF format"); }

// --- reading ---

void TRVFInput::RequireMore() const {
  if (AtEnd()) ThrowInvalidRVF();
}

std::string_view TRVFInput::ReadLine() {
  RequireMore();
  std::size_t start = pos_;
  while (pos_ < bytes_.size() && bytes_[pos_] != kCR && bytes_[pos_] != kLF && bytes_[pos_] != '\0') ++pos_;
  std::string_view line = bytes_.substr(start, pos_ - start);
  if (pos_ < bytes_.size()) {
    bool crlf = bytes_[pos_] == kCR && pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == kLF;
    pos_ += crlf ? 2 : 1;
  }
  return line;
}

std::string_view TRVFInput::ReadBlock() {
  std::int32_t count = ReadInt32(bytes_, pos_);
  if (count < 0 || static_cast<std::size_t>(count) > Remaining()) ThrowInvalidRVF();
  std::string_view block = bytes_.substr(pos_, static_cast<std::size_t>(count));
  pos_ += static_cast<std::size_t>(count);
  return block;
}

std::u16string TRVFInput::ReadUnicodeLine() {
  RequireMore();
  std::size_t end = pos_;
  while (end + 1 < bytes_.size() && bytes_.substr(end, 2) != kUnicodeLineEnd) end += 2;
  if (end + 1 >= bytes_.size()) ThrowInvalidRVF();
  std::u16string text = BytesToUtf16(bytes_.substr(pos_, end - pos_));
  pos_ = end + 2;
  return text;
}

std::string TRVFInput::ReadHexLine() { return HexDecode(ReadLine()); }

std::string TRVFInput::ReadData(bool binary) { return binary ? std::string(ReadBlock()) : ReadHexLine(); }

std::int32_t ReadInt32(std::string_view bytes, std::size_t& pos) {
  if (pos > bytes.size() || bytes.size() - pos < 4) ThrowInvalidRVF();
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[pos + static_cast<std::size_t>(i)]);
  pos += 4;
  return static_cast<std::int32_t>(value);
}

// --- writing ---

void AppendInt32(std::string& out, std::int32_t value) {
  auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

void TRVFOutput::Line(std::string_view text) {
  stream_.append(text);
  stream_.append("\r\n");
}

void TRVFOutput::Block(std::string_view bytes) {
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw ERichDocError("Block too large to store");
  }
  AppendInt32(stream_, static_cast<std::int32_t>(bytes.size()));
  stream_.append(bytes);
}

void TRVFOutput::UnicodeLine(std::u16string_view text) {
  stream_.append(Utf16ToBytes(text));
  stream_.append(kUnicodeLineEnd);
}

void TRVFOutput::HexLine(std::string_view bytes) { Line(HexEncode(bytes)); }

void TRVFOutput::Data(std::string_view bytes, bool binary) {
  if (binary) {
    Block(bytes);
  } else {
    HexLine(bytes);
  }
}

// --- header fields ---

void TRVFHeaderReader::EndField() {
  if (pos_ >= line_.size()) return;
  if (line_[pos_] != ' ') ThrowInvalidRVF();
  ++pos_;
}

std::int32_t TRVFHeaderReader::Number() {
  std::size_t start = pos_;
  if (pos_ < line_.size() && line_[pos_] == '-') ++pos_;
  std::size_t digits = pos_;
  while (pos_ < line_.size() && line_[pos_] >= '0' && line_[pos_] <= '9') ++pos_;
  if (pos_ == digits) ThrowInvalidRVF();
  std::int32_t value = 0;
  auto [end, error] = std::from_chars(line_.data() + start, line_.data() + pos_, value);
  if (error != std::errc() || end != line_.data() + pos_) ThrowInvalidRVF();
  EndField();
  return value;
}

std::string TRVFHeaderReader::Quoted() {
  if (!NextIsQuoted()) ThrowInvalidRVF();
  ++pos_;
  std::string text;
  while (true) {
    if (pos_ >= line_.size()) ThrowInvalidRVF();
    char c = line_[pos_++];
    if (c != '"') {
      text += c;
    } else if (pos_ < line_.size() && line_[pos_] == '"') {
      text += '"';
      ++pos_;
    } else {
      break;
    }
  }
  EndField();
  return text;
}

std::int32_t TRVFHeaderReader::NumberOrQuoted(bool& quoted, std::string& text) {
  quoted = NextIsQuoted();
  if (!quoted) return Number();
  text = Quoted();
  return 0;
}

std::string QuoteRVFString(std::string_view bytes) {
  std::string quoted = "\"";
  for (char c : bytes) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  quoted += '"';
  return quoted;
}

// --- strings ---

std::string EscapeLineBreaks(std::string_view bytes) {
  std::string result(bytes);
  for (char& c : result) {
    if (c == kCR) c = kEscapedCR;
    if (c == kLF) c = kEscapedLF;
  }
  return result;
}

std::string UnescapeLineBreaks(std::string_view bytes) {
  std::string result(bytes);
  for (char& c : result) {
    if (c == kEscapedCR) c = kCR;
    if (c == kEscapedLF) c = kLF;
  }
  return result;
}

std::string EncodeRVFString(std::u16string_view text) { return EscapeLineBreaks(Utf16ToUtf8(text)); }

std::u16string DecodeRVFString(std::string_view bytes, bool utf8) {
  std::string raw = UnescapeLineBreaks(bytes);
  return utf8 ? Utf8ToUtf16(raw) : AnsiToUnicode(kCpAcp, raw);
}

std::string HexEncode(std::string_view bytes) {
  std::string digits;
  digits.reserve(bytes.size() * 2);
  for (char c : bytes) {
    auto byte = static_cast<std::uint8_t>(c);
    digits += kHexDigits[byte >> 4];
    digits += kHexDigits[byte & 0x0F];
  }
  return digits;
}

std::string HexDecode(std::string_view digits) {
  std::string bytes;
  bytes.reserve(digits.size() / 2);
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    int high = HexValue(digits[i]);
    int low = HexValue(digits[i + 1]);
    if (high < 0 || low < 0) break;
    bytes += static_cast<char>((high << 4) | low);
  }
  return bytes;
}

}  // namespace varnolt
