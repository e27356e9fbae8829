#include "platform/Clipboard.h"

#include <algorithm>
#include <iterator>

#include "platform/CodePage.h"

namespace varnolt {

namespace {

constexpr ClipboardFormat kTextFormats[] = {kCfText, kCfOemText, kCfUnicodeText};

bool IsTextFormat(ClipboardFormat format) {
  return std::find(std::begin(kTextFormats), std::end(kTextFormats), format) != std::end(kTextFormats);
}

CodePageId CodePageOfTextFormat(ClipboardFormat format) { return format == kCfOemText ? kCpOemcp : kCpAcp; }

std::string UntilFirstZero(std::string_view block) { return std::string(block.substr(0, block.find('\0'))); }

// A trailing odd byte cannot be half a code unit of ours; it is dropped.
std::u16string DecodeUnicodeBlock(std::string_view block) {
  std::u16string text;
  text.reserve(block.size() / 2);
  for (std::size_t i = 0; i + 1 < block.size(); i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(block[i]) |
                                            (static_cast<unsigned char>(block[i + 1]) << 8));
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

std::string EncodeUnicodeBlock(std::u16string_view text) {
  std::string block;
  block.reserve(text.size() * 2 + 2);
  for (char16_t unit : text) {
    block.push_back(static_cast<char>(unit & 0xFF));
    block.push_back(static_cast<char>(unit >> 8));
  }
  block.append(2, '\0');
  return block;
}

std::u16string TextOfBlock(ClipboardFormat format, std::string_view block) {
  if (format == kCfUnicodeText) return DecodeUnicodeBlock(block);
  return AnsiToUnicode(CodePageOfTextFormat(format), UntilFirstZero(block));
}

std::string BlockOfText(ClipboardFormat format, std::u16string_view text) {
  if (format == kCfUnicodeText) return EncodeUnicodeBlock(text);
  std::string block = UnicodeToAnsi(CodePageOfTextFormat(format), text);
  block.push_back('\0');
  return block;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

// Text put on the clipboard is all it holds, as with every desktop's copy:
// a format left from an earlier copy would be pasted in its place.
void ReplaceWith(Clipboard& clipboard, ClipboardFormat format, std::string block) {
  clipboard.Open();
  clipboard.Empty();
  clipboard.SetData(format, std::move(block));
  clipboard.Close();
}

}  // namespace

// --- Clipboard ---

void Clipboard::SetUnicodeText(std::u16string_view text) {
  ReplaceWith(*this, kCfUnicodeText, EncodeUnicodeBlock(text));
}

void Clipboard::SetText(std::string_view text) {
  std::string block(text);
  block.push_back('\0');
  ReplaceWith(*this, kCfText, std::move(block));
}

std::optional<std::u16string> Clipboard::UnicodeText() const {
  auto block = GetData(kCfUnicodeText);
  if (!block) return std::nullopt;
  return DecodeUnicodeBlock(*block);
}

std::optional<std::string> Clipboard::Text() const {
  auto block = GetData(kCfText);
  if (!block) return std::nullopt;
  return UntilFirstZero(*block);
}

Clipboard::ObserverId Clipboard::AddChangeObserver(ChangeObserver observer) {
  const ObserverId id = nextObserverId_++;
  observers_.emplace(id, std::move(observer));
  return id;
}

void Clipboard::RemoveChangeObserver(ObserverId id) { observers_.erase(id); }

void Clipboard::NotifyChanged() {
  // A copy, so that an observer may remove itself or others while being told.
  const auto observers = observers_;
  for (const auto& [id, observer] : observers) {
    if (observers_.count(id) != 0) observer();
  }
}

EngineClipboardFormats RegisterEngineFormats(Clipboard& clipboard) {
  EngineClipboardFormats formats;
  formats.richDoc = clipboard.RegisterFormat(kRichDocFormatName);
  formats.richText = clipboard.RegisterFormat(kRichTextFormatName);
  formats.url = clipboard.RegisterFormat(kUrlFormatName);
  formats.html = clipboard.RegisterFormat(kHtmlFormatName);
  return formats;
}

// --- MemoryClipboard ---

ClipboardFormat MemoryClipboard::RegisterFormat(std::string_view name) {
  if (name.empty()) return 0;
  for (std::size_t i = 0; i < registeredNames_.size(); ++i) {
    if (SameNameIgnoringCase(registeredNames_[i], name)) return kCfFirstRegistered + static_cast<ClipboardFormat>(i);
  }
  registeredNames_.emplace_back(name);
  return kCfFirstRegistered + static_cast<ClipboardFormat>(registeredNames_.size() - 1);
}

std::string MemoryClipboard::FormatName(ClipboardFormat format) const {
  if (format < kCfFirstRegistered) return {};
  const std::size_t index = format - kCfFirstRegistered;
  return index < registeredNames_.size() ? registeredNames_[index] : std::string();
}

void MemoryClipboard::Open() { ++openCount_; }

void MemoryClipboard::Close() {
  if (openCount_ == 0) return;
  if (--openCount_ == 0 && changedWhileOpen_) {
    changedWhileOpen_ = false;
    NotifyChanged();
  }
}

void MemoryClipboard::Changed() {
  if (openCount_ > 0) {
    changedWhileOpen_ = true;
  } else {
    NotifyChanged();
  }
}

void MemoryClipboard::Empty() {
  entries_.clear();
  Changed();
}

const MemoryClipboard::Entry* MemoryClipboard::FindEntry(ClipboardFormat format) const {
  auto found = std::find_if(entries_.begin(), entries_.end(), [format](const Entry& e) { return e.format == format; });
  return found == entries_.end() ? nullptr : &*found;
}

// Conversions start from the Unicode text when it was put, else from the
// first 8-bit text put.
const MemoryClipboard::Entry* MemoryClipboard::TextSource() const {
  if (const Entry* unicode = FindEntry(kCfUnicodeText)) return unicode;
  auto found = std::find_if(entries_.begin(), entries_.end(), [](const Entry& e) { return IsTextFormat(e.format); });
  return found == entries_.end() ? nullptr : &*found;
}

std::vector<ClipboardFormat> MemoryClipboard::OfferedTextFormats() const {
  std::vector<ClipboardFormat> offered;
  if (TextSource() == nullptr) return offered;
  for (ClipboardFormat format : kTextFormats) {
    if (FindEntry(format) == nullptr) offered.push_back(format);
  }
  return offered;
}

int MemoryClipboard::FormatCount() const { return static_cast<int>(Formats().size()); }

bool MemoryClipboard::HasFormat(ClipboardFormat format) const {
  if (FindEntry(format) != nullptr) return true;
  return IsTextFormat(format) && TextSource() != nullptr;
}

std::vector<ClipboardFormat> MemoryClipboard::Formats() const {
  std::vector<ClipboardFormat> formats;
  formats.reserve(entries_.size() + std::size(kTextFormats));
  for (const Entry& entry : entries_) formats.push_back(entry.format);
  for (ClipboardFormat format : OfferedTextFormats()) formats.push_back(format);
  return formats;
}

void MemoryClipboard::SetData(ClipboardFormat format, std::string block) {
  if (format == 0) return;
  auto found = std::find_if(entries_.begin(), entries_.end(), [format](const Entry& e) { return e.format == format; });
  if (found != entries_.end()) {
    found->block = std::move(block);
  } else {
    entries_.push_back({format, std::move(block)});
  }
  Changed();
}

std::optional<std::string> MemoryClipboard::GetData(ClipboardFormat format) const {
  if (const Entry* entry = FindEntry(format)) return entry->block;
  if (!IsTextFormat(format)) return std::nullopt;
  const Entry* source = TextSource();
  if (source == nullptr) return std::nullopt;
  return BlockOfText(format, TextOfBlock(source->format, source->block));
}

}  // namespace varnolt
