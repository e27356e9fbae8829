#include "richtext/rvf/RVFPropertyStream.h"

#include <array>
#include <limits>
#include <utility>

#include "platform/CodePage.h"

namespace varnolt {

namespace {

constexpr std::size_t kMaxShortString = 255;

struct TColorName {
  TColor Color;
  std::string_view Name;
};

// The toolkit's colour identifiers; the system colours are 0xFF0000nn.
constexpr std::array<TColorName, 52> kColorNames = {{
    {0x000000, "clBlack"},        {0x000080, "clMaroon"},     {0x008000, "clGreen"},
    {0x008080, "clOlive"},        {0x800000, "clNavy"},       {0x800080, "clPurple"},
    {0x808000, "clTeal"},         {0x808080, "clGray"},       {0xC0C0C0, "clSilver"},
    {0x0000FF, "clRed"},          {0x00FF00, "clLime"},       {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},         {0xFF00FF, "clFuchsia"},    {0xFFFF00, "clAqua"},
    {0xFFFFFF, "clWhite"},        {0xC0DCC0, "clMoneyGreen"}, {0xF0CAA6, "clSkyBlue"},
    {0xF0FBFF, "clCream"},        {0xA4A0A0, "clMedGray"},    {0x1FFFFFFF, "clNone"},
    {0x20000000, "clDefault"},    {0xFF000000, "clScrollBar"}, {0xFF000001, "clBackground"},
    {0xFF000002, "clActiveCaption"}, {0xFF000003, "clInactiveCaption"}, {0xFF000004, "clMenu"},
    {0xFF000005, "clWindow"},     {0xFF000006, "clWindowFrame"}, {0xFF000007, "clMenuText"},
    {0xFF000008, "clWindowText"}, {0xFF000009, "clCaptionText"}, {0xFF00000A, "clActiveBorder"},
    {0xFF00000B, "clInactiveBorder"}, {0xFF00000C, "clAppWorkSpace"}, {0xFF00000D, "clHighlight"},
    {0xFF00000E, "clHighlightText"}, {0xFF00000F, "clBtnFace"}, {0xFF000010, "clBtnShadow"},
    {0xFF000011, "clGrayText"},   {0xFF000012, "clBtnText"},  {0xFF000013, "clInactiveCaptionText"},
    {0xFF000014, "clBtnHighlight"}, {0xFF000015, "cl3DDkShadow"}, {0xFF000016, "cl3DLight"},
    {0xFF000017, "clInfoText"},   {0xFF000018, "clInfoBk"},   {0xFF00001A, "clHotLight"},
    {0xFF00001B, "clGradientActiveCaption"}, {0xFF00001C, "clGradientInactiveCaption"},
    {0xFF00001D, "clMenuHighlight"}, {0xFF00001E, "clMenuBar"},
}};

void AppendCount(std::string& out, std::size_t count) {
  auto value = static_cast<std::uint32_t>(count);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool IsSevenBit(std::u16string_view text) {
  for (char16_t c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

bool ColorToIdent(TColor color, std::string_view& name) {
  for (const TColorName& entry : kColorNames) {
    if (entry.Color == color) {
      name = entry.Name;
      return true;
    }
  }
  return false;
}

bool IdentToColor(std::string_view name, TColor& color) {
  for (const TColorName& entry : kColorNames) {
    if (entry.Name == name) {
      color = entry.Color;
      return true;
    }
  }
  return false;
}

// --- writing ---

void TRVFPropertyWriter::ShortString(std::string_view text) {
  if (text.size() > kMaxShortString) throw EReadError("Name too long to store");
  out_.push_back(static_cast<char>(text.size()));
  out_.append(text);
}

void TRVFPropertyWriter::Int(std::int32_t value) {
  int bytes = 4;
  if (value >= std::numeric_limits<std::int8_t>::min() && value <= std::numeric_limits<std::int8_t>::max()) {
    Code(rvvaInt8);
    bytes = 1;
  } else if (value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max()) {
    Code(rvvaInt16);
    bytes = 2;
  } else {
    Code(rvvaInt32);
  }
  auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < bytes; ++i) out_.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

void TRVFPropertyWriter::Ident(std::string_view name) {
  Code(rvvaIdent);
  ShortString(name);
}

void TRVFPropertyWriter::AnsiString(std::string_view bytes) {
  if (bytes.size() <= kMaxShortString) {
    Code(rvvaString);
    ShortString(bytes);
    return;
  }
  Code(rvvaLString);
  AppendCount(out_, bytes.size());
  out_.append(bytes);
}

void TRVFPropertyWriter::String(std::u16string_view text) {
  if (IsSevenBit(text)) {
    AnsiString(std::string(text.begin(), text.end()));
    return;
  }
  Code(rvvaWString);
  AppendCount(out_, text.size());
  for (char16_t c : text) {
    out_.push_back(static_cast<char>(c & 0xFF));
    out_.push_back(static_cast<char>(c >> 8));
  }
}

void TRVFPropertyWriter::Binary(std::string_view bytes) {
  Code(rvvaBinary);
  AppendCount(out_, bytes.size());
  out_.append(bytes);
}

void TRVFPropertyWriter::Set(const std::vector<std::string_view>& names) {
  Code(rvvaSet);
  for (std::string_view name : names) ShortString(name);
  ShortString({});
}

void TRVFPropertyWriter::Color(TColor color) {
  std::string_view name;
  if (ColorToIdent(color, name)) {
    Ident(name);
  } else {
    Int(static_cast<std::int32_t>(color));
  }
}

// --- reading ---

std::uint8_t TRVFPropertyReader::Peek() const {
  if (AtEnd()) throw EReadError("Stream read error");
  return static_cast<std::uint8_t>(bytes_[pos_]);
}

std::uint8_t TRVFPropertyReader::ReadByte() {
  std::uint8_t byte = Peek();
  ++pos_;
  return byte;
}

bool TRVFPropertyReader::EndOfList() {
  if (Peek() != rvvaNull) return false;
  ++pos_;
  return true;
}

std::string_view TRVFPropertyReader::ReadBytes(std::size_t count) {
  if (count > bytes_.size() - pos_) throw EReadError("Stream read error");
  std::string_view bytes = bytes_.substr(pos_, count);
  pos_ += count;
  return bytes;
}

std::string TRVFPropertyReader::ReadShortString() { return std::string(ReadBytes(ReadByte())); }

std::int32_t TRVFPropertyReader::ReadRawInt32() {
  std::string_view bytes = ReadBytes(4);
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(i)]);
  return static_cast<std::int32_t>(value);
}

std::int32_t TRVFPropertyReader::ReadInt() {
  switch (ReadByte()) {
    case rvvaInt8: return static_cast<std::int8_t>(ReadByte());
    case rvvaInt16: {
      std::string_view bytes = ReadBytes(2);
      auto value = static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[0]) |
                                              (static_cast<std::uint8_t>(bytes[1]) << 8));
      return static_cast<std::int16_t>(value);
    }
    case rvvaInt32: return ReadRawInt32();
    default: throw EReadError("Invalid property value");
  }
}

bool TRVFPropertyReader::ReadBool() {
  switch (ReadByte()) {
    case rvvaFalse: return false;
    case rvvaTrue: return true;
    default: throw EReadError("Invalid property value");
  }
}

std::string TRVFPropertyReader::ReadIdent() {
  std::uint8_t code = ReadByte();
  if (code == rvvaFalse) return "False";
  if (code == rvvaTrue) return "True";
  if (code == rvvaNil) return "nil";
  if (code == rvvaNull) return "Null";
  if (code != rvvaIdent) throw EReadError("Invalid property value");
  return ReadShortString();
}

std::u16string TRVFPropertyReader::ReadString() {
  std::uint8_t code = ReadByte();
  switch (code) {
    case rvvaString: return AnsiToUnicode(kCpAcp, ReadShortString());
    case rvvaLString: {
      std::int32_t count = ReadRawInt32();
      if (count < 0) throw EReadError("Invalid property value");
      return AnsiToUnicode(kCpAcp, ReadBytes(static_cast<std::size_t>(count)));
    }
    case rvvaWString: {
      std::int32_t units = ReadRawInt32();
      if (units < 0 || static_cast<std::size_t>(units) > (bytes_.size() - pos_) / 2) {
        throw EReadError("Invalid property value");
      }
      std::string_view bytes = ReadBytes(static_cast<std::size_t>(units) * 2);
      std::u16string text(static_cast<std::size_t>(units), u'\0');
      for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                        (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
      }
      return text;
    }
    case rvvaUTF8String: {
      std::int32_t count = ReadRawInt32();
      if (count < 0) throw EReadError("Invalid property value");
      return Utf8ToUtf16(ReadBytes(static_cast<std::size_t>(count)));
    }
    default: throw EReadError("Invalid property value");
  }
}

std::string TRVFPropertyReader::ReadAnsiString() {
  std::uint8_t code = Peek();
  if (code == rvvaString) {
    ++pos_;
    return ReadShortString();
  }
  if (code == rvvaLString) {
    ++pos_;
    std::int32_t count = ReadRawInt32();
    if (count < 0) throw EReadError("Invalid property value");
    return std::string(ReadBytes(static_cast<std::size_t>(count)));
  }
  return UnicodeToAnsi(kCpAcp, ReadString());
}

std::string TRVFPropertyReader::ReadBinary() {
  if (ReadByte() != rvvaBinary) throw EReadError("Invalid property value");
  std::int32_t count = ReadRawInt32();
  if (count < 0) throw EReadError("Invalid property value");
  return std::string(ReadBytes(static_cast<std::size_t>(count)));
}

std::vector<std::string> TRVFPropertyReader::ReadSet() {
  if (ReadByte() != rvvaSet) throw EReadError("Invalid property value");
  std::vector<std::string> names;
  while (true) {
    std::string name = ReadShortString();
    if (name.empty()) return names;
    names.push_back(std::move(name));
  }
}

TColor TRVFPropertyReader::ReadColor() {
  if (Peek() != rvvaIdent) return static_cast<TColor>(ReadInt());
  TColor color = 0;
  if (!IdentToColor(ReadIdent(), color)) throw EReadError("Invalid property value");
  return color;
}

void TRVFPropertyReader::SkipValue() { SkipValue(0); }

void TRVFPropertyReader::SkipValue(int depth) {
  if (depth > kMaxValueNesting) throw EReadError("Stream read error");
  std::uint8_t code = ReadByte();
  switch (code) {
    case rvvaNull:
    case rvvaFalse:
    case rvvaTrue:
    case rvvaNil: return;
    case rvvaInt8: ReadBytes(1); return;
    case rvvaInt16: ReadBytes(2); return;
    case rvvaInt32:
    case rvvaSingle: ReadBytes(4); return;
    case rvvaCurrency:
    case rvvaDate:
    case rvvaInt64: ReadBytes(8); return;
    case rvvaExtended: ReadBytes(10); return;
    case rvvaString:
    case rvvaIdent: ReadShortString(); return;
    case rvvaBinary:
    case rvvaLString:
    case rvvaUTF8String: {
      std::int32_t count = ReadRawInt32();
      if (count < 0) throw EReadError("Stream read error");
      ReadBytes(static_cast<std::size_t>(count));
      return;
    }
    case rvvaWString: {
      std::int32_t units = ReadRawInt32();
      if (units < 0 || static_cast<std::size_t>(units) > (bytes_.size() - pos_) / 2) throw EReadError("Stream read error");
      ReadBytes(static_cast<std::size_t>(units) * 2);
      return;
    }
    case rvvaSet:
      while (!ReadShortString().empty()) {
      }
      return;
    case rvvaList:
      while (!EndOfList()) SkipValue(depth + 1);
      return;
    case rvvaCollection:
      while (!EndOfList()) {
        if (ReadByte() != rvvaList) throw EReadError("Stream read error");
        while (!EndOfList()) {
          ReadShortString();
          SkipValue(depth + 1);
        }
      }
      return;
    default: throw EReadError("Stream read error");
  }
}

}  // namespace varnolt
