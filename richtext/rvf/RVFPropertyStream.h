#pragma once
// The value encoding of the component toolkit's form resources, which the
// stored format uses for style tables and tables: each value starts with a
// code byte, names are length-prefixed 8-bit strings. The reader throws
// EReadError for anything malformed and never reads past its data.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Color.h"
#include "platform/Exception.h"

namespace varnolt {

class EReadError : public Exception {
 public:
  using Exception::Exception;
};

enum TRVFValueCode : std::uint8_t {
  rvvaNull = 0,
  rvvaList = 1,
  rvvaInt8 = 2,
  rvvaInt16 = 3,
  rvvaInt32 = 4,
  rvvaExtended = 5,
  rvvaString = 6,
  rvvaIdent = 7,
  rvvaFalse = 8,
  rvvaTrue = 9,
  rvvaBinary = 10,
  rvvaSet = 11,
  rvvaLString = 12,
  rvvaNil = 13,
  rvvaCollection = 14,
  rvvaSingle = 15,
  rvvaCurrency = 16,
  rvvaDate = 17,
  rvvaWString = 18,
  rvvaInt64 = 19,
  rvvaUTF8String = 20,
};

class TRVFPropertyWriter {
 public:
  const std::string& Bytes() const { return out_; }
  std::string& Bytes() { return out_; }

  // A length-prefixed 8-bit string without a code (names, class names).
  void ShortString(std::string_view text);
  void Code(TRVFValueCode code) { out_.push_back(static_cast<char>(code)); }
  // In the smallest code that holds it.
  void Int(std::int32_t value);
  void Bool(bool value) { Code(value ? rvvaTrue : rvvaFalse); }
  void Ident(std::string_view name);
  // 7-bit text as a short or long 8-bit string, anything else as UTF-16.
  void String(std::u16string_view text);
  // 8-bit bytes as a short or long string.
  void AnsiString(std::string_view bytes);
  void Binary(std::string_view bytes);
  void Set(const std::vector<std::string_view>& names);
  // A colour with a standard name as its identifier, any other as a number.
  void Color(TColor color);

 private:
  std::string out_;
};

class TRVFPropertyReader {
 public:
  explicit TRVFPropertyReader(std::string_view bytes) : bytes_(bytes) {}

  bool AtEnd() const { return pos_ >= bytes_.size(); }
  // The next code byte without taking it.
  std::uint8_t Peek() const;
  std::uint8_t ReadByte();
  // Takes a 0 byte when one is next.
  bool EndOfList();
  std::string ReadShortString();
  std::string_view ReadBytes(std::size_t count);

  std::int32_t ReadInt();
  bool ReadBool();
  std::string ReadIdent();
  std::u16string ReadString();
  std::string ReadAnsiString();
  std::string ReadBinary();
  std::vector<std::string> ReadSet();
  TColor ReadColor();
  // Passes over one value of any code; lists and collections nest at most
  // kMaxValueNesting deep.
  void SkipValue();

  static constexpr int kMaxValueNesting = 64;

 private:
  void SkipValue(int depth);
  std::int32_t ReadRawInt32();

  std::string_view bytes_;
  std::size_t pos_ = 0;
};

// The standard colour names, both ways; false when there is none.
bool ColorToIdent(TColor color, std::string_view& name);
bool IdentToColor(std::string_view name, TColor& color);

}  // namespace varnolt
