// Names and texts that the reader collects byte by byte (font names,
// bookmarks, field instructions, level texts) are converted once a run of
// bytes in one code page is complete, so that double-byte characters are
// never split.
#include <array>
#include <cmath>
#include <limits>

#include "richtext/rtf/reader/RVRTFReaderInternal.h"

namespace varnolt {

namespace {

struct CharsetCodePage {
  int charset;
  CodePageId codePage;
};

constexpr CharsetCodePage kCharsetCodePages[] = {
    {0, 1252},   {254, 1252}, {77, kCpMaccp}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},
    {136, 950},  {161, 1253}, {162, 1254},   {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
    {204, 1251}, {222, 874},  {238, 1250},   {255, kCpOemcp},
};

constexpr int kCharsetOem = 254;
constexpr int kCharsetMac = 77;

using HighByteTable = std::array<char, 128>;

// Bytes 0x80-0xFF of a DOS or Macintosh font, as the system code page has them.
HighByteTable BuildHighByteTable(CodePageId from) {
  HighByteTable table{};
  for (int i = 0; i < 128; ++i) {
    const char byte = static_cast<char>(0x80 + i);
    const std::string converted = UnicodeToAnsi(kCpAcp, AnsiToUnicode(from, std::string_view(&byte, 1)));
    table[static_cast<std::size_t>(i)] = converted.size() == 1 ? converted[0] : '?';
  }
  return table;
}

struct CharsetSuffix {
  int charset;
  std::u16string_view suffix;
};

constexpr CharsetSuffix kCharsetSuffixes[] = {
    {161, u" greek"}, {162, u" tur"}, {186, u" baltic"}, {204, u" cyr"}, {238, u" ce"},
};

bool EndsWithIgnoringCase(const std::u16string& text, std::u16string_view suffix) {
  if (text.size() < suffix.size()) return false;
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    char16_t c = text[text.size() - suffix.size() + i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

}  // namespace

CodePageId RTFCharsetToCodePage(int charset) {
  for (const auto& entry : kCharsetCodePages) {
    if (entry.charset == charset) return entry.codePage;
  }
  return kCpAcp;
}

void RemoveCharsetSuffixes(TRVRTFFontList& fonts) {
  for (TRVRTFFont& font : fonts) {
    for (const auto& entry : kCharsetSuffixes) {
      if (font.charset == entry.charset && EndsWithIgnoringCase(font.name, entry.suffix)) {
        font.name.resize(font.name.size() - entry.suffix.size());
      }
    }
  }
}

std::int32_t RoundHalfEven(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
  if (rounded > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(rounded);
}

void TRVRTFReader::Collect(TRVUnicodeString& target, CodePageId codePage, std::uint8_t byte) {
  if (collector_.target != &target || collector_.codePage != codePage) FlushCollected();
  collector_.target = &target;
  collector_.codePage = codePage;
  collector_.bytes.push_back(static_cast<char>(byte));
}

void TRVRTFReader::CollectUnit(TRVUnicodeString& target, char16_t unit) {
  FlushCollected();
  target.push_back(unit);
}

void TRVRTFReader::FlushCollected() {
  if (collector_.target != nullptr && !collector_.bytes.empty()) {
    collector_.target->append(AnsiToUnicode(collector_.codePage, collector_.bytes));
  }
  collector_.bytes.clear();
  collector_.target = nullptr;
}

CodePageId TRVRTFReader::FontNameCodePage(const TRVRTFFont& font) const {
  // A name is written in its own font's charset; the default charset says nothing.
  if (font.charset == 1) return DefCodePage;
  return RTFCharsetToCodePage(font.charset);
}

CodePageId TRVRTFReader::FontCodePage() const {
  const TRVRTFFont* font = fonts_.At(stack_.back().charProps.fontIndex);
  return font != nullptr ? RTFCharsetToCodePage(font->charset) : DefCodePage;
}

void TRVRTFReader::TranslateCharsetBytes(std::string& text) const {
  const TRVRTFFont* font = fonts_.At(stack_.back().charProps.fontIndex);
  if (font == nullptr || (font->charset != kCharsetOem && font->charset != kCharsetMac)) return;
  static const HighByteTable oemTable = BuildHighByteTable(kCpOemcp);
  static const HighByteTable macTable = BuildHighByteTable(kCpMaccp);
  const HighByteTable& table = font->charset == kCharsetOem ? oemTable : macTable;
  for (char& byte : text) {
    const auto value = static_cast<unsigned char>(byte);
    if (value >= 0x80) byte = table[value - 0x80];
  }
}

}  // namespace varnolt
