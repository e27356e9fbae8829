// Output pieces of the RTF writer: the buffered sink and the escaping of
// 8-bit and UTF-16 text.
#include <charconv>

#include "richtext/rtf/writer/RVRTFWriterInternal.h"

namespace varnolt {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// Characters written as keywords, outside raw text.
const char* SpecialCharacterKeyword(char16_t unit) {
  switch (unit) {
    case 149: return "\\bullet ";
    case 160: return "\\~";
    case 173: return "\\-";
    case 8194: return "\\enspace ";
    case 8195: return "\\emspace ";
    case 8197: return "\\qmspace ";
    case 8211: return "\\endash ";
    case 8212: return "\\emdash ";
    case 8216: return "\\lquote ";
    case 8217: return "\\rquote ";
    case 8220: return "\\ldblquote ";
    case 8221: return "\\rdblquote ";
    default: return nullptr;
  }
}

// Written as it is: 32 to 127, less the RTF syntax characters unless raw.
bool IsPlainByte(char16_t unit, bool raw) {
  return unit >= 32 && unit <= 127 && (raw || (unit != u'\\' && unit != u'{' && unit != u'}'));
}

}  // namespace

void TRVRTFSink::PutNumber(std::int64_t value) {
  char digits[24];
  const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
  buffer_.append(digits, result.ptr);
}

void TRVRTFSink::PutKeyword(std::string_view keyword, std::int64_t value) {
  buffer_.push_back('\\');
  buffer_.append(keyword);
  PutNumber(value);
}

void TRVRTFSink::Flush() {
  if (buffer_.empty() || recording_) return;
  out_.Write(buffer_);
  buffer_.clear();
}

void TRVRTFEscaper::AnsiByte(TRVRTFSink& sink, unsigned char byte, bool raw) {
  if (byte >= 32 && byte <= 127) {
    if (!raw && (byte == '\\' || byte == '{' || byte == '}')) sink.Put('\\');
    sink.Put(static_cast<char>(byte));
  } else if (byte == 149) {
    sink.Put("\\bullet ");
  } else if (byte == 160) {
    sink.Put("\\~");
  } else {
    const char escaped[4] = {'\\', '\'', kHexDigits[byte >> 4], kHexDigits[byte & 15]};
    sink.Put(std::string_view(escaped, 4));
  }
}

void TRVRTFEscaper::Ansi(TRVRTFSink& sink, std::string_view bytes, bool raw) const {
  std::size_t plainStart = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (IsPlainByte(byte, raw)) continue;
    sink.Put(bytes.substr(plainStart, i - plainStart));
    AnsiByte(sink, byte, raw);
    plainStart = i + 1;
  }
  sink.Put(bytes.substr(plainStart));
}

const TRVRTFEscaper::TUnicodeEscape& TRVRTFEscaper::UnicodeEscape(char16_t unit, const TRVRTFTextEscaping& escaping) {
  const std::uint64_t key = (std::uint64_t{static_cast<std::uint32_t>(escaping.CodePage)} << 18) |
                            (std::uint64_t{escaping.Raw} << 17) | (std::uint64_t{escaping.Fallback} << 16) | unit;
  auto found = unicodeEscapes_.find(key);
  if (found != unicodeEscapes_.end()) return found->second;
  MemoryOutputStream written;
  TRVRTFSink sink(written);
  sink.PutKeyword("u", unit);
  sink.Put(' ');
  std::string fallback;
  if (escaping.Fallback) {
    const char16_t text[1] = {unit};
    fallback = UnicodeToAnsi(escaping.CodePage, std::u16string_view(text, 1));
    Ansi(sink, fallback, escaping.Raw);
  }
  sink.Flush();
  TUnicodeEscape escape{written.Bytes(), static_cast<int>(fallback.size())};
  return unicodeEscapes_.emplace(key, std::move(escape)).first->second;
}

// Plain characters go out in runs rather than one call each.
template <typename UnitAt>
void TRVRTFEscaper::Units(TRVRTFSink& sink, std::size_t count, UnitAt unitAt, const TRVRTFTextEscaping& escaping) {
  int skipCount = headerSkipCount_;
  for (std::size_t i = 0; i < count;) {
    std::size_t run = i;
    while (run < count && IsPlainByte(unitAt(run), escaping.Raw)) ++run;
    if (run > i) {
      sink.PutEach(run - i, [&](std::size_t k) { return unitAt(i + k); });
      i = run;
      continue;
    }
    const char16_t unit = unitAt(i++);
    if (unit > 0 && unit < 128) {
      if (unit == u'\\' && escaping.DoubleBackslash && !escaping.Raw) {
        sink.Put("\\\\\\\\");
      } else {
        AnsiByte(sink, static_cast<unsigned char>(unit), escaping.Raw);
      }
      continue;
    }
    if (!escaping.Raw) {
      if (const char* keyword = SpecialCharacterKeyword(unit)) {
        sink.Put(keyword);
        continue;
      }
    }
    const TUnicodeEscape& escape = UnicodeEscape(unit, escaping);
    if (escaping.Fallback && escape.FallbackLength != skipCount) {
      sink.PutKeyword("uc", escape.FallbackLength);
      skipCount = escape.FallbackLength;
    }
    sink.Put(escape.Written);
  }
  if (skipCount != headerSkipCount_) sink.PutKeyword("uc", headerSkipCount_);
}

void TRVRTFEscaper::Text(TRVRTFSink& sink, std::u16string_view text, const TRVRTFTextEscaping& escaping) {
  Units(sink, text.size(), [text](std::size_t i) { return text[i]; }, escaping);
}

void TRVRTFEscaper::TextBytes(TRVRTFSink& sink, std::string_view utf16le, const TRVRTFTextEscaping& escaping) {
  Units(
      sink, utf16le.size() / 2,
      [utf16le](std::size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(utf16le[2 * i]) |
                                     (static_cast<unsigned char>(utf16le[2 * i + 1]) << 8));
      },
      escaping);
}

void TRVRTFWriter::EscapeName(std::u16string_view text, CodePageId codePage) {
  escaper_.Text(sink_, text, {codePage, false, true, false});
}

void TRVRTFWriter::EscapeFieldText(std::u16string_view text, CodePageId codePage, bool doubleBackslash) {
  escaper_.Text(sink_, text, {codePage, false, Option(rvrtfDuplicateUnicode), doubleBackslash});
}

}  // namespace varnolt
