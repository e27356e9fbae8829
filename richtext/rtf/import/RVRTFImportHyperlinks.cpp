// Links: the HYPERLINK field around a run gives its target, location and
// hint; a relative target is taken from the base path of the inserted file.
#include <algorithm>

#include "richtext/rtf/import/RVRTFImport.h"

namespace varnolt {

namespace {

using TextView = std::u16string_view;

constexpr TextView kHyperlink = u"HYPERLINK";

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }
bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

TextView Trimmed(TextView text) {
  while (!text.empty() && text.front() <= u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() <= u' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == u'\\') text.remove_prefix(1);
  return text;
}

bool StartsWithUpper(TextView text, TextView prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (UpperAscii(text[i]) != prefix[i]) return false;
  }
  return true;
}

// Reads one argument at `at` (after spaces): quoted ones keep their spaces
// and lose their quotes. `at` moves past it.
std::u16string Argument(TextView text, std::size_t& at) {
  while (at < text.size() && text[at] == u' ') ++at;
  if (at < text.size() && text[at] == u'"') {
    const std::size_t close = text.find(u'"', at + 1);
    const std::size_t end = close == TextView::npos ? text.size() : close;
    std::u16string argument(text.substr(at + 1, end - at - 1));
    at = close == TextView::npos ? text.size() : close + 1;
    return argument;
  }
  const std::size_t end = std::min(text.find(u' ', at), text.size());
  std::u16string argument(text.substr(at, end - at));
  at = end;
  return argument;
}

void HalveBackslashes(std::u16string& text) {
  for (std::size_t at = text.find(u"\\\\"); at != std::u16string::npos; at = text.find(u"\\\\", at + 1)) {
    text.erase(at, 1);
  }
}

bool StartsWithScheme(TextView target) {
  std::size_t i = 0;
  while (i < target.size() && (IsAsciiLetter(target[i]) || (i > 0 && (target[i] == u'+' || target[i] == u'-' ||
                                                                       target[i] == u'.' ||
                                                                       (target[i] >= u'0' && target[i] <= u'9')))))
    ++i;
  return i >= 2 && i < target.size() && target[i] == u':';
}

// "http://host/dir/" gives "http://host"; a path without a scheme gives nothing.
std::u16string SchemeAndHost(TextView basePath) {
  const std::size_t scheme = basePath.find(u"://");
  if (scheme == TextView::npos) return {};
  const std::size_t end = basePath.find_first_of(u"/\\?", scheme + 3);
  return std::u16string(basePath.substr(0, end == TextView::npos ? basePath.size() : end));
}

std::u16string Resolved(std::u16string target, const std::u16string& basePath) {
  if (target.empty() || target[0] == u'#') return target;
  if (target.size() >= 2 && (target[0] == u'/' || target[0] == u'\\') && target[1] == target[0]) return target;
  if (StartsWithScheme(target) || (target.size() >= 2 && target[1] == u':')) return target;
  if (target[0] == u'/' || target[0] == u'\\') return SchemeAndHost(basePath) + target;
  return basePath + target;
}

}  // namespace

TRVRTFLinkInfo ParseHyperlinkInstruction(const std::u16string& instruction, const std::u16string& basePath,
                                         bool basePathLinks) {
  TRVRTFLinkInfo link;
  const TextView text = Trimmed(instruction);
  if (!StartsWithUpper(text, kHyperlink)) return link;
  link.InLink = true;
  std::size_t at = kHyperlink.size();
  while (at < text.size() && text[at] == u' ') ++at;
  // A link to a place in the same document may come with no target at all.
  std::u16string target = at < text.size() && text[at] == u'\\' ? std::u16string() : Argument(text, at);
  HalveBackslashes(target);
  link.Extras = std::u16string(Trimmed(text.substr(at)));
  std::u16string location;
  while (at < text.size()) {
    while (at < text.size() && text[at] == u' ') ++at;
    if (at + 1 < text.size() && text[at] == u'\\' && (text[at + 1] == u'l' || text[at + 1] == u'o') &&
        at + 2 < text.size() && text[at + 2] == u' ') {
      const char16_t which = text[at + 1];
      at += 2;
      (which == u'l' ? location : link.Hint) = Argument(text, at);
    } else {
      // Other switches and their arguments change nothing here.
      const std::size_t next = text.find(u' ', at);
      at = next == TextView::npos ? text.size() : next;
    }
  }
  if (!location.empty()) target += location[0] == u'#' ? location : u"#" + location;
  target = RTFPercentDecode(target);
  link.Target = basePathLinks ? Resolved(std::move(target), basePath) : std::move(target);
  return link;
}

const TRVRTFLinkInfo& TRVRTFImporter::CurrentLink() {
  const std::u16string& instruction = reader_->RTFState().FieldInstruction();
  if (instruction != linkInstruction_) {
    linkInstruction_ = instruction;
    link_ = ParseHyperlinkInstruction(instruction, props_.BasePath, props_.BasePathLinks);
  }
  return link_;
}

void TRVRTFImporter::ReadHyperlink(TCustomRVItemInfo& item, std::int32_t& styleNo) {
  if (!props_.OnReadHyperlink) return;
  std::u16string name;
  props_.OnReadHyperlink(link_.Target, link_.Extras, styleNo, item.MutableItemTag(), name);
  if (!name.empty() && !item.IsText()) item.ItemText = UnicodeToAnsi(CodePageOfStyle(&style_, item.StyleNo), name);
}

}  // namespace varnolt
