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
  if (buffer_.empty()) return;
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
    const bool plain = byte >= 32 && byte <= 127 && (raw || (byte != '\\' && byte != '{' && byte != '}'));
    if (plain) continue;
    sink.Put(bytes.substr(plainStart, i - plainStart));
    AnsiByte(sink, byte, raw);
    plainStart = i + 1;
  }
  sink.Put(bytes.substr(plainStart));
}

const std::string& TRVRTFEscaper::Fallback(CodePageId codePage, char16_t unit) {
  const std::uint64_t key = (std::uint64_t{codePage} << 16) | unit;
  auto found = fallbacks_.find(key);
  if (found != fallbacks_.end()) return found->second;
  const char16_t text[1] = {unit};
  return fallbacks_.emplace(key, UnicodeToAnsi(codePage, std::u16string_view(text, 1))).first->second;
}

void TRVRTFEscaper::Text(TRVRTFSink& sink, std::u16string_view text, const TRVRTFTextEscaping& escaping) {
  int skipCount = headerSkipCount_;
  for (char16_t unit : text) {
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
    const std::string* fallback = nullptr;
    if (escaping.Fallback) {
      fallback = &Fallback(escaping.CodePage, unit);
      const int length = static_cast<int>(fallback->size());
      if (length != skipCount) {
        sink.PutKeyword("uc", length);
        skipCount = length;
      }
    }
    sink.PutKeyword("u", unit);
    sink.Put(' ');
    if (fallback != nullptr) Ansi(sink, *fallback, escaping.Raw);
  }
  if (skipCount != headerSkipCount_) sink.PutKeyword("uc", headerSkipCount_);
}

void TRVRTFWriter::EscapeName(std::u16string_view text, CodePageId codePage) {
  escaper_.Text(sink_, text, {codePage, false, true, false});
}

void TRVRTFWriter::EscapeFieldText(std::u16string_view text, CodePageId codePage, bool doubleBackslash) {
  escaper_.Text(sink_, text, {codePage, false, Option(rvrtfDuplicateUnicode), doubleBackslash});
}

}  // namespace varnolt
