// Field instructions the reader acts on itself: pictures named by
// INCLUDEPICTURE (or IMPORT), SYMBOL characters and SEQ numbers. Every other
// field reaches the client as its instruction text and its result.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "richtext/rtf/reader/RVRTFReaderInternal.h"

namespace varnolt {

namespace {

using Text = TRVUnicodeString;
using TextView = std::u16string_view;

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool StartsWithIgnoringCase(TextView text, TextView prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (UpperAscii(text[i]) != UpperAscii(prefix[i])) return false;
  }
  return true;
}

bool IsBlank(char16_t c) { return c <= u' '; }

Text TrimmedInstruction(const Text& instruction) {
  std::size_t begin = 0;
  std::size_t end = instruction.size();
  while (begin < end && IsBlank(instruction[begin])) ++begin;
  while (end > begin && IsBlank(instruction[end - 1])) --end;
  if (begin < end && instruction[begin] == u'\\') ++begin;
  return instruction.substr(begin, end - begin);
}

// The first argument after the field's name: quoted arguments keep their
// spaces and lose their quotes.
Text FirstArgument(TextView rest) {
  std::size_t i = 0;
  while (i < rest.size() && rest[i] == u' ') ++i;
  if (i < rest.size() && rest[i] == u'"') {
    const std::size_t close = rest.find(u'"', i + 1);
    return Text(rest.substr(i + 1, close == TextView::npos ? TextView::npos : close - i - 1));
  }
  const std::size_t end = rest.find(u' ', i);
  return Text(rest.substr(i, end == TextView::npos ? TextView::npos : end - i));
}

void ReplaceAll(Text& text, TextView from, TextView to) {
  for (std::size_t at = text.find(from); at != Text::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// Leading digits after any spaces; nothing when there are none or they do
// not fit 32 bits.
std::optional<std::int32_t> LeadingNumber(TextView text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  std::int64_t value = 0;
  const std::size_t start = i;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > 0x7FFFFFFF) return std::nullopt;
  }
  if (i == start) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::optional<double> LeadingDecimal(TextView text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  std::string digits;
  for (; i < text.size() && ((text[i] >= u'0' && text[i] <= u'9') || text[i] == u'.') && digits.size() < 16; ++i) {
    digits.push_back(static_cast<char>(text[i]));
  }
  char* end = nullptr;
  const double value = std::strtod(digits.c_str(), &end);
  if (end == digits.c_str()) return std::nullopt;
  return value;
}

std::optional<Text> QuotedAfter(TextView text, TextView marker) {
  const std::size_t at = text.find(marker);
  if (at == TextView::npos) return std::nullopt;
  const std::size_t open = text.find(u'"', at + marker.size());
  if (open == TextView::npos) return std::nullopt;
  const std::size_t close = text.find(u'"', open + 1);
  if (close == TextView::npos) return std::nullopt;
  return Text(text.substr(open + 1, close - open - 1));
}

std::string ReadRegularFile(const std::string& path, std::int64_t limit) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {};
  std::string bytes;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 && info.st_size <= limit) {
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
  }
  ::close(fd);
  return bytes;
}

struct SeqFormat {
  TextView word;
  TRVRTFSeqType type;
};

constexpr SeqFormat kSeqFormats[] = {
    {u"alphabetic", rtf_seqLowerAlpha},
    {u"ALPHABETIC", rtf_seqUpperAlpha},
    {u"roman", rtf_seqLowerRoman},
    {u"ROMAN", rtf_seqUpperRoman},
};

TRVRTFSeqType SeqNumberingType(TextView instruction) {
  for (const TextView separator : {TextView(u"\\* "), TextView(u"\\*")}) {
    for (const auto& format : kSeqFormats) {
      if (instruction.find(Text(separator) + Text(format.word)) != TextView::npos) return format.type;
    }
  }
  return rtf_seqDecimal;
}

}  // namespace

TRVUnicodeString RTFPercentDecode(const TRVUnicodeString& text) {
  Text decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'%' && i + 2 < text.size()) {
      const int high = text[i + 1] < 128 ? HexDigitValue(text[i + 1]) : -1;
      const int low = text[i + 2] < 128 ? HexDigitValue(text[i + 2]) : -1;
      const int code = high * 16 + low;
      if (high >= 0 && low >= 0 && code != 13 && code != 10) {
        decoded.push_back(static_cast<char16_t>(code));
        i += 2;
        continue;
      }
    }
    decoded.push_back(text[i]);
  }
  return decoded;
}

void TRVRTFReader::InterpretFieldInstruction() {
  const Text instruction = TrimmedInstruction(State().FieldInstruction());
  if (StartsWithIgnoringCase(instruction, u"INCLUDEPICTURE") || StartsWithIgnoringCase(instruction, u"IMPORT")) {
    if (OnNewPicture) IncludePicture(instruction);
  } else if (StartsWithIgnoringCase(instruction, u"SYMBOL")) {
    InsertSymbol(instruction);
  } else if (StartsWithIgnoringCase(instruction, u"SEQ")) {
    if (OnNewSeq) InsertSequence(instruction);
  }
}

void TRVRTFReader::IncludePicture(const TRVUnicodeString& instruction) {
  const std::size_t nameLength = StartsWithIgnoringCase(instruction, u"INCLUDEPICTURE") ? 14 : 6;
  Text name = FirstArgument(TextView(instruction).substr(nameLength));
  ReplaceAll(name, u"\\\\", u"\\");
  const bool baseEndsWithSeparator = !BasePath.empty() && (BasePath.back() == u'\\' || BasePath.back() == u'/');
  if (baseEndsWithSeparator && !name.empty() && (name.front() == u'\\' || name.front() == u'/')) name.erase(0, 1);
  if (name.find(u':') == Text::npos) name = BasePath + name;

  bool invalid = false;
  std::unique_ptr<TGraphic> graphic = LoadIncludedPicture(name, invalid);
  if (graphic == nullptr || invalid) {
    const Text decoded = RTFPercentDecode(name);
    if (decoded != name) {
      invalid = false;
      graphic = LoadIncludedPicture(decoded, invalid);
      name = decoded;
    }
  }
  // Without a picture the field's result stands in for it.
  if (graphic == nullptr) return;
  if (invalid) {
    pendingFieldPicture_ = std::move(graphic);
    return;
  }
  SyncTables(true);
  OfferPicture(nullptr, graphic, name);
  position_ = rtf_ts_ContinuePara;
  pictureInsertedByField_ = true;
}

std::unique_ptr<TGraphic> TRVRTFReader::LoadIncludedPicture(const TRVUnicodeString& location, bool& invalid) {
  std::unique_ptr<TGraphic> graphic;
  if (OnImportPicture) {
    OnImportPicture(*this, location, graphic, invalid);
    return graphic;
  }
  std::string path = Utf16ToUtf8(location);
  std::string bytes = ReadRegularFile(path, kMaxRTFIncludedPictureBytes);
  if (bytes.empty() && path.find('\\') != std::string::npos) {
    // Names written on Windows separate folders with backslashes.
    std::replace(path.begin(), path.end(), '\\', '/');
    bytes = ReadRegularFile(path, kMaxRTFIncludedPictureBytes);
  }
  if (bytes.empty()) return nullptr;
  return LoadGraphicFromBytes(bytes, PixelsPerInch);
}

void TRVRTFReader::InsertSymbol(const TRVUnicodeString& instruction) {
  const TextView rest = TextView(instruction).substr(6);
  const std::optional<std::int32_t> code = LeadingNumber(rest);
  const std::optional<Text> fontName = QuotedAfter(rest, u"\\f");
  const std::size_t sizeAt = rest.find(u"\\s");
  const std::optional<double> size =
      sizeAt == TextView::npos ? std::nullopt : LeadingDecimal(rest.substr(sizeAt + 2));
  if (!code || !fontName || !size || *code > 0xFFFF) return;

  TRVRTFCharProperties& chars = State().charProps;
  const TRVRTFCharProperties saved = chars;
  chars.fontNameOverride = *fontName;
  chars.size = RoundHalfEven(*size);
  if (*code < 256) {
    PutTextByte(static_cast<std::uint8_t>(*code));
  } else if (OnNewUnicodeText) {
    PutTextUnicode(static_cast<char16_t>(*code));
  } else {
    const char16_t unit = static_cast<char16_t>(*code);
    for (char byte : UnicodeToAnsi(codePage_, TextView(&unit, 1))) PutTextByte(static_cast<std::uint8_t>(byte));
  }
  Emit(Break::None);
  State().charProps = saved;
  // The result shows the same character; it must not come in a second time.
  EnclosingState().skipFieldResult = true;
}

void TRVRTFReader::InsertSequence(const TRVUnicodeString& instruction) {
  const Text name = FirstArgument(TextView(instruction).substr(3));
  bool reset = false;
  std::int32_t startFrom = 0;
  const std::size_t resetAt = instruction.find(u"\\r ");
  if (resetAt != Text::npos) {
    const TextView digits = TextView(instruction).substr(resetAt + 3);
    if (!digits.empty() && digits.front() >= u'0' && digits.front() <= u'9') {
      if (const auto number = LeadingNumber(digits)) {
        reset = true;
        startFrom = *number;
      }
    }
  }
  FinalizeParagraph();
  CallContentHandler([&] { OnNewSeq(*this, position_, name, SeqNumberingType(instruction), reset, startFrom); });
  position_ = rtf_ts_ContinuePara;
  EnclosingState().skipFieldResult = true;
}

}  // namespace varnolt
