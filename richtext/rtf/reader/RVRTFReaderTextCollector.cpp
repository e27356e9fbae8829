// Names and texts that the reader collects byte by byte (font names,
// bookmarks, field instructions, level texts) are converted once a run of
// bytes in one code page is complete, so that double-byte characters are
// never split.
#include <algorithm>
#include <array>
#include <utility>
#include <cmath>
#include <limits>

#include "richtext/rtf/reader/RVRTFDingbats.h"
#include "richtext/rtf/reader/RVRTFReaderInternal.h"

namespace varnolt {

namespace {

struct CharsetCodePage {
  int charset;
  CodePageId codePage;
};

constexpr CharsetCodePage kCharsetCodePages[] = {
    {0, 1252},    {254, 1252},  {77, kCpMaccp}, {78, 10001},  {79, 10003},  {80, 10008},  {81, 10002},
    {82, 1361},   {83, 10005},  {84, 10004},    {85, 10006},  {86, 10081},  {87, 10021},  {88, 10029},
    {89, 10007},  {128, 932},   {129, 949},     {130, 1361},  {134, 936},   {136, 950},   {161, 1253},
    {162, 1254},  {163, 1258},  {177, 1255},    {178, 1256},  {186, 1257},  {204, 1251},  {222, 874},
    {238, 1250},  {255, kCpOemcp},
};

// DOS and Mac charsets and the Windows ones whose text they stand for.
constexpr std::pair<int, int> kWindowsCharsets[] = {
    {254, 0},   {77, 0},    {78, 128},  {79, 129},  {80, 134},  {81, 136},  {82, 130},
    {83, 177},  {84, 178},  {85, 161},  {86, 162},  {87, 222},  {88, 238},  {89, 204},
};

// Document code pages that are not Windows ones, and the Windows one the
// client reads their text in.
constexpr std::pair<CodePageId, CodePageId> kWindowsCodePages[] = {
    {kCpOemcp, kCpAcp}, {kCpMaccp, kCpAcp}, {437, kCpAcp},  {850, kCpAcp},   {10000, kCpAcp},
    {10001, 932},       {10002, 950},       {10003, 949},   {10004, 1256},   {10005, 1255},
    {10006, 1253},      {10007, 1251},      {10008, 936},   {10021, 874},    {10029, 1250},
    {10081, 1254},
};

constexpr int kCharsetSymbol = 2;
constexpr int kCharsetOem = 254;

// Dingbat fonts are marked as symbol fonts too, but do not use its encoding.
bool IsDingbatFont(std::u16string_view name) {
  for (std::u16string_view prefix : {u"Wingdings", u"Webdings", u"Marlett", u"Zapf"}) {
    if (name.size() >= prefix.size() && SameFontName(name.substr(0, prefix.size()), prefix)) return true;
  }
  return false;
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

int RTFCharsetOfCodePage(CodePageId codePage, int otherwise) {
  for (const auto& entry : kCharsetCodePages) {
    if (entry.codePage == codePage) return entry.charset;
  }
  return otherwise;
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

int RTFWindowsCharset(int charset) {
  for (const auto& [from, to] : kWindowsCharsets) {
    if (from == charset) return to;
  }
  return charset;
}

const TRVRTFReader::SymbolFontAnswer* TRVRTFReader::SymbolFontOfText() const {
  const TRVRTFFont* font = fonts_.At(stack_.back().charProps.fontIndex);
  if (font == nullptr) return nullptr;
  // Every run asks; names compare case-folded, which costs more than the run.
  if (lastSymbolAnswer_.charset != font->charset || lastSymbolAnswer_.fontName != font->name) {
    lastSymbolAnswer_.fontName = font->name;
    lastSymbolAnswer_.charset = font->charset;
    lastSymbolAnswer_.symbol =
        SameFontName(font->name, u"Symbol") || (font->charset == kCharsetSymbol && !IsDingbatFont(font->name));
    lastSymbolAnswer_.dingbat = DingbatFontOf(font->name);
  }
  return &lastSymbolAnswer_;
}

int TRVRTFReader::FirstFontUnlessSymbol() const {
  // A default font the table lacks is its first font, as writers that forget
  // "deff" expect; but text in no font must not turn Greek or into dingbats
  // because a table's only font is Symbol, so that font is not taken.
  const TRVRTFFont* first = fonts_.At(0);
  if (first == nullptr) return -1;
  const bool symbol = SameFontName(first->name, u"Symbol") || first->charset == kCharsetSymbol ||
                      DingbatFontOf(first->name) != TRVRTFDingbatFont::kNone;
  return symbol ? -1 : 0;
}

bool TRVRTFReader::InSymbolFont() const {
  const TRVRTFCharProperties& chars = stack_.back().charProps;
  if (!chars.fontNameOverride.empty()) return SameFontName(chars.fontNameOverride, u"Symbol");
  const SymbolFontAnswer* answer = SymbolFontOfText();
  return answer != nullptr && answer->symbol;
}

TRVRTFDingbatFont TRVRTFReader::DingbatFontOfText() const {
  const TRVRTFCharProperties& chars = stack_.back().charProps;
  if (!chars.fontNameOverride.empty()) return DingbatFontOf(chars.fontNameOverride);
  const SymbolFontAnswer* answer = SymbolFontOfText();
  return answer != nullptr ? answer->dingbat : TRVRTFDingbatFont::kNone;
}

void TRVRTFReader::MapDingbats(TRVRTFDingbatFont font) {
  for (char byte : pendingText_) {
    AppendDingbat(pendingUnicode_, font, static_cast<unsigned char>(byte));
  }
  pendingText_.clear();
}

CodePageId TRVRTFReader::SourceCodePage() const {
  const TRVRTFFont* font = fonts_.At(stack_.back().charProps.fontIndex);
  if (font != nullptr && font->charset == kCharsetOem) return kCpOemcp;
  const CodePageId codePage = font != nullptr ? RTFCharsetToCodePage(font->charset) : kCpAcp;
  return codePage != kCpAcp ? codePage : codePage_;
}

CodePageId TRVRTFReader::TextCodePage() const {
  const TRVRTFFont* font = fonts_.At(stack_.back().charProps.fontIndex);
  const CodePageId codePage = font != nullptr ? RTFCharsetToCodePage(RTFWindowsCharset(font->charset)) : kCpAcp;
  if (codePage != kCpAcp) return codePage;
  for (const auto& [from, to] : kWindowsCodePages) {
    if (from == codePage_) return to;
  }
  return codePage_;
}

void TRVRTFReader::WidenPendingText() {
  const auto isHigh = [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; };
  if (InSymbolFont()) {
    for (char byte : pendingText_) pendingUnicode_.push_back(SymbolToUnicode(static_cast<unsigned char>(byte)));
  } else if (const TRVRTFDingbatFont dingbat = DingbatFontOfText(); dingbat != TRVRTFDingbatFont::kNone) {
    MapDingbats(dingbat);
  } else if (std::none_of(pendingText_.begin(), pendingText_.end(), isHigh)) {
    pendingUnicode_.append(pendingText_.begin(), pendingText_.end());
  } else {
    pendingUnicode_ += AnsiToUnicode(SourceCodePage(), pendingText_);
  }
  pendingText_.clear();
}

void TRVRTFReader::DecodeForeignText() {
  if (InSymbolFont()) {
    // Without a Unicode client the bytes stay the font's own.
    if (!OnNewUnicodeText) return;
    WidenPendingText();
    // Word writes Symbol characters as the font's private-use characters.
    for (char16_t& unit : pendingUnicode_) {
      if (unit >= 0xF020 && unit <= 0xF0FF) unit = SymbolToUnicode(unit - 0xF000u);
    }
    return;
  }
  if (const TRVRTFDingbatFont dingbat = DingbatFontOfText(); dingbat != TRVRTFDingbatFont::kNone) {
    if (!OnNewUnicodeText) return;
    // Word writes dingbats as the font's private-use characters too.
    TRVUnicodeString mapped;
    for (std::size_t i = 0; i < pendingUnicode_.size(); ++i) {
      const char16_t unit = pendingUnicode_[i];
      const bool privateCode = unit >= 0xF020 && unit <= 0xF0FF;
      if (privateCode) {
        AppendDingbat(mapped, dingbat, unit);
      } else {
        mapped.push_back(unit);
      }
    }
    pendingUnicode_ = std::move(mapped);
    MapDingbats(dingbat);
    return;
  }
  const auto isHigh = [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; };
  if (std::none_of(pendingText_.begin(), pendingText_.end(), isHigh)) return;
  const CodePageId source = SourceCodePage();
  const CodePageId target = TextCodePage();
  if (ResolveCodePage(source) == ResolveCodePage(target)) return;
  std::u16string decoded = AnsiToUnicode(source, pendingText_);
  if (OnNewUnicodeText) {
    pendingUnicode_ = std::move(decoded);
    pendingText_.clear();
  } else {
    pendingText_ = UnicodeToAnsi(target, decoded);
  }
}

}  // namespace varnolt
