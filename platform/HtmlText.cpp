#include "platform/HtmlText.h"

#include <libxml/HTMLparser.h>
#include <unicode/ucnv.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <unordered_set>

#include "platform/CodePage.h"

namespace varnolt {

namespace {

constexpr std::string_view kFallbackCharset = "windows-1252";
// Browsers look for <meta charset> only this far into the page.
constexpr size_t kCharsetPrescanBytes = 4096;

std::string Lowercase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// The value after "charset=" in text (a Content-Type value or a meta tag).
std::string CharsetParameter(std::string_view text) {
  const std::string lower = Lowercase(text);
  const auto at = lower.find("charset");
  if (at == std::string::npos) return {};
  size_t i = at + 7;
  while (i < lower.size() && (lower[i] == ' ' || lower[i] == '\t')) ++i;
  if (i >= lower.size() || lower[i] != '=') return {};
  ++i;
  while (i < lower.size() && (lower[i] == ' ' || lower[i] == '\t' || lower[i] == '"' || lower[i] == '\'')) ++i;
  size_t end = i;
  while (end < lower.size() && std::string_view(" \t\"';>/\r\n").find(lower[end]) == std::string_view::npos) ++end;
  return lower.substr(i, end - i);
}

std::string CharsetOfByteOrderMark(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return "utf-8";
  if (bytes.starts_with("\xFE\xFF")) return "utf-16be";
  if (bytes.starts_with("\xFF\xFE")) return "utf-16le";
  return {};
}

std::string CharsetOfMetaTags(std::string_view bytes) {
  const std::string head = Lowercase(bytes.substr(0, kCharsetPrescanBytes));
  for (size_t at = head.find("<meta"); at != std::string::npos; at = head.find("<meta", at + 5)) {
    const auto end = head.find('>', at);
    auto charset = CharsetParameter(std::string_view(head).substr(at, end == std::string::npos ? end : end - at));
    if (!charset.empty()) return charset;
  }
  return {};
}

// Browsers' detection takes UTF-8 for undeclared bytes that are valid as
// such; plain ASCII reads the same either way.
std::string CharsetOfUndeclaredBytes(std::string_view bytes) {
  const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
  return !ascii && IsValidUtf8(bytes) ? "utf-8" : std::string(kFallbackCharset);
}

std::string BrowserLabel(std::string label) {
  static const std::unordered_set<std::string_view> kReadAsWindows1252 = {
      "iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "l1", "us-ascii", "ascii", "cp1252", "x-cp1252"};
  if (kReadAsWindows1252.contains(label)) return std::string(kFallbackCharset);
  return label;
}

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};

std::unique_ptr<UConverter, ConverterCloser> OpenConverter(const std::string& charset) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open(charset.c_str(), &status));
  if (U_FAILURE(status)) converter.reset();
  return converter;
}

// --- markup browsers read as comments ---

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != prefix[i]) return false;
  }
  return true;
}

// Where the markup starting at at ends (one past it), and whether a browser
// reads it as text or as a bogus comment to drop.
struct TMarkupSpan {
  size_t end;
  bool dropped;
};

size_t EndAfter(std::string_view html, size_t from, std::string_view terminator) {
  const auto at = html.find(terminator, from);
  return at == std::string_view::npos ? html.size() : at + terminator.size();
}

size_t EndOfRawText(std::string_view html, size_t from, std::string_view closingTag) {
  for (size_t at = html.find("</", from); at != std::string_view::npos; at = html.find("</", at + 2)) {
    if (StartsWithNoCase(html, at + 2, closingTag)) return at;
  }
  return html.size();
}

TMarkupSpan MarkupAt(std::string_view html, size_t at) {
  if (html.compare(at, 4, "<!--") == 0) return {EndAfter(html, at + 4, "-->"), false};
  // Downlevel-revealed conditional comments (<![if ...]>, <![endif]>) and
  // any other <![...> (CDATA too, outside SVG and MathML) are bogus comments
  // to a browser: markers, not text.
  if (html.compare(at, 3, "<![") == 0) return {EndAfter(html, at + 3, ">"), true};
  for (std::string_view raw : {"script", "style", "textarea", "title", "xmp"}) {
    if (StartsWithNoCase(html, at + 1, raw)) return {EndOfRawText(html, at + 1 + raw.size(), raw), false};
  }
  return {at + 1, false};
}

// The page without the bogus comments libxml2 would keep as text.
std::string WithoutBogusComments(std::string_view html) {
  if (html.find("<![") == std::string_view::npos) return std::string(html);
  std::string kept;
  kept.reserve(html.size());
  size_t copied = 0;
  for (size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at)) {
    const TMarkupSpan span = MarkupAt(html, at);
    if (span.dropped) {
      kept.append(html, copied, at - copied);
      copied = span.end;
    }
    at = span.end;
  }
  kept.append(html, copied);
  return kept;
}

// --- the walk ---

enum class TNodeRole { kInline, kSkipped, kBlock, kLineBreak, kCell, kPreformatted, kChoice };

TNodeRole RoleOf(const xmlNode* node) {
  static const std::unordered_set<std::string_view> kSkipped = {"script", "style", "noscript", "template",
                                                                 "head",   "title", "iframe",   "object"};
  static const std::unordered_set<std::string_view> kBlocks = {
      "address", "article", "aside",  "blockquote", "body",    "caption", "center",   "dd",     "details",
      "dialog",  "dir",     "div",    "dl",         "dt",      "fieldset", "figcaption", "figure", "footer",
      "form",    "h1",      "h2",     "h3",         "h4",      "h5",       "h6",       "header", "hgroup",
      "hr",      "legend",  "li",     "main",       "menu",    "nav",      "ol",       "p",      "section",
      "summary", "table",   "tbody",  "tfoot",      "thead",   "tr",       "ul",       "option", "html"};
  static const std::unordered_set<std::string_view> kPreformatted = {"pre", "listing", "xmp", "plaintext",
                                                                      "textarea"};
  if (node->type == XML_COMMENT_NODE || node->type == XML_PI_NODE || node->type == XML_DTD_NODE) {
    return TNodeRole::kSkipped;
  }
  if (node->type != XML_ELEMENT_NODE || node->name == nullptr) return TNodeRole::kInline;
  const std::string_view name = reinterpret_cast<const char*>(node->name);
  if (kSkipped.contains(name)) return TNodeRole::kSkipped;
  if (name == "br") return TNodeRole::kLineBreak;
  if (name == "select") return TNodeRole::kChoice;
  if (name == "td" || name == "th") return TNodeRole::kCell;
  if (kPreformatted.contains(name)) return TNodeRole::kPreformatted;
  if (kBlocks.contains(name)) return TNodeRole::kBlock;
  return TNodeRole::kInline;
}

bool IsCollapsibleSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Collects text with the line and space rules of outerText: breaks and
// spaces wait until text follows, so none lead or trail.
class TTextCollector {
 public:
  void RequireLineBreak() {
    lineBreakPending_ = true;
    spacePending_ = false;
  }
  void LineBreak() {
    if (lineBreakPending_ && !atLineStart_) out_ += "\r\n";
    out_ += "\r\n";
    lineBreakPending_ = false;
    spacePending_ = false;
    atLineStart_ = true;
  }
  void CellSeparator() {
    FlushPending();
    out_ += '\t';
    spacePending_ = false;
  }
  void CollapsedText(std::string_view text) {
    for (char c : text) {
      if (IsCollapsibleSpace(c)) {
        spacePending_ = !atLineStart_ || spacePending_;
        continue;
      }
      FlushPending();
      if (spacePending_ && !atLineStart_ && !out_.empty() && out_.back() != '\t') out_ += ' ';
      spacePending_ = false;
      out_ += c;
      atLineStart_ = false;
    }
  }
  void PreformattedText(std::string_view text) {
    if (text.empty()) return;
    FlushPending();
    if (spacePending_ && !atLineStart_) out_ += ' ';
    spacePending_ = false;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
      if (text[i] == '\n' || text[i] == '\r') {
        out_ += "\r\n";
        atLineStart_ = true;
      } else {
        out_ += text[i];
        atLineStart_ = false;
      }
    }
  }
  std::string Take() { return std::move(out_); }

 private:
  void FlushPending() {
    if (lineBreakPending_ && !out_.empty() && !atLineStart_) {
      out_ += "\r\n";
      atLineStart_ = true;
      spacePending_ = false;
    }
    lineBreakPending_ = false;
  }

  std::string out_;
  bool lineBreakPending_ = false;
  bool spacePending_ = false;
  bool atLineStart_ = true;
};

bool IsElement(const xmlNode* node, std::string_view name) {
  return node->type == XML_ELEMENT_NODE && node->name != nullptr &&
         std::string_view(reinterpret_cast<const char*>(node->name)) == name;
}

struct XmlStringFreer {
  void operator()(xmlChar* text) const { xmlFree(text); }
};
using TXmlString = std::unique_ptr<xmlChar, XmlStringFreer>;

bool HasAttribute(const xmlNode* node, const char* name) {
  return xmlHasProp(node, reinterpret_cast<const xmlChar*>(name)) != nullptr;
}

// A list box shows its options; a drop-down only the chosen one.
bool IsDropDown(const xmlNode* select) {
  if (HasAttribute(select, "multiple")) return false;
  const TXmlString size(xmlGetProp(select, reinterpret_cast<const xmlChar*>("size")));
  return size == nullptr || std::atoi(reinterpret_cast<const char*>(size.get())) <= 1;
}

// The last option marked selected, else the first (options sit in the
// select or in its optgroups).
const xmlNode* ChosenOption(const xmlNode* select) {
  const xmlNode* first = nullptr;
  const xmlNode* chosen = nullptr;
  auto consider = [&](const xmlNode* option) {
    if (!IsElement(option, "option")) return;
    if (first == nullptr) first = option;
    if (HasAttribute(option, "selected")) chosen = option;
  };
  for (const xmlNode* child = select->children; child != nullptr; child = child->next) {
    consider(child);
    if (IsElement(child, "optgroup")) {
      for (const xmlNode* inner = child->children; inner != nullptr; inner = inner->next) consider(inner);
    }
  }
  return chosen != nullptr ? chosen : first;
}

std::string ShownTextOf(const xmlNode* option) {
  const char* attribute = HasAttribute(option, "label") ? "label" : nullptr;
  const TXmlString text(attribute != nullptr ? xmlGetProp(option, reinterpret_cast<const xmlChar*>(attribute))
                                             : xmlNodeGetContent(option));
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text.get()));
}

bool IsCell(const xmlNode* node) { return node != nullptr && RoleOf(node) == TNodeRole::kCell; }

bool HasEarlierCell(const xmlNode* cell) {
  for (const xmlNode* before = cell->prev; before != nullptr; before = before->prev) {
    if (IsCell(before)) return true;
  }
  return false;
}

const xmlNode* FindBody(const xmlNode* node) {
  // Iterative: a hostile page may nest without end.
  while (node != nullptr) {
    if (node->type == XML_ELEMENT_NODE && node->name != nullptr &&
        std::string_view(reinterpret_cast<const char*>(node->name)) == "body") {
      return node;
    }
    if (node->children != nullptr && RoleOf(node) != TNodeRole::kSkipped) {
      node = node->children;
      continue;
    }
    while (node != nullptr && node->next == nullptr) node = node->parent;
    if (node != nullptr) node = node->next;
  }
  return nullptr;
}

class TBodyWalk {
 public:
  std::string Run(const xmlNode* root) {
    const xmlNode* node = root;
    while (node != nullptr) {
      if (Enter(node) && node->children != nullptr) {
        node = node->children;
        continue;
      }
      // Leave finished nodes upwards until one has a next sibling.
      for (;;) {
        Leave(node);
        if (node == root) return collector_.Take();
        if (node->next != nullptr) {
          node = node->next;
          break;
        }
        node = node->parent;
      }
    }
    return collector_.Take();
  }

 private:
  // False when the node's children are not to be walked.
  bool Enter(const xmlNode* node) {
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      const std::string_view text = node->content == nullptr ? "" : reinterpret_cast<const char*>(node->content);
      if (preformattedDepth_ > 0) {
        collector_.PreformattedText(text);
      } else {
        collector_.CollapsedText(text);
      }
      return false;
    }
    switch (RoleOf(node)) {
      case TNodeRole::kSkipped: return false;
      case TNodeRole::kLineBreak: collector_.LineBreak(); return false;
      case TNodeRole::kBlock: collector_.RequireLineBreak(); return true;
      case TNodeRole::kPreformatted:
        collector_.RequireLineBreak();
        ++preformattedDepth_;
        return true;
      case TNodeRole::kCell:
        if (HasEarlierCell(node)) collector_.CellSeparator();
        return true;
      case TNodeRole::kChoice:
        if (!IsDropDown(node)) return true;
        if (const xmlNode* option = ChosenOption(node)) collector_.CollapsedText(ShownTextOf(option));
        return false;
      case TNodeRole::kInline: return true;
    }
    return true;
  }

  void Leave(const xmlNode* node) {
    switch (RoleOf(node)) {
      case TNodeRole::kBlock: collector_.RequireLineBreak(); break;
      case TNodeRole::kPreformatted:
        --preformattedDepth_;
        collector_.RequireLineBreak();
        break;
      default: break;
    }
  }

  TTextCollector collector_;
  int preformattedDepth_ = 0;
};

}  // namespace

std::string HtmlCharset(std::string_view bytes, std::string_view contentType) {
  std::string charset = CharsetParameter(contentType);
  if (charset.empty()) charset = CharsetOfByteOrderMark(bytes);
  if (charset.empty()) charset = CharsetOfMetaTags(bytes);
  if (charset.empty()) charset = CharsetOfUndeclaredBytes(bytes);
  return BrowserLabel(charset);
}

std::u16string DecodeHtml(std::string_view bytes, std::string_view charset) {
  if (bytes.size() > INT32_MAX) bytes = bytes.substr(0, INT32_MAX);
  auto converter = OpenConverter(std::string(charset));
  if (!converter) converter = OpenConverter(std::string(kFallbackCharset));
  if (!converter) return Utf8ToUtf16(bytes);
  const auto length = static_cast<int32_t>(bytes.size());
  UErrorCode status = U_ZERO_ERROR;
  const int32_t needed = ucnv_toUChars(converter.get(), nullptr, 0, bytes.data(), length, &status);
  std::u16string text(static_cast<size_t>(needed), u'\0');
  status = U_ZERO_ERROR;
  ucnv_toUChars(converter.get(), text.data(), needed, bytes.data(), length, &status);
  if (!text.empty() && text.front() == u'\uFEFF') text.erase(0, 1);
  return text;
}

void THtmlDocument::Freer::operator()(xmlDoc* document) const { xmlFreeDoc(document); }

THtmlDocument::THtmlDocument(std::string_view utf8Html) {
  if (utf8Html.empty()) return;
  const std::string html = WithoutBogusComments(utf8Html);
  const std::string_view parsed = html.size() > INT_MAX ? std::string_view(html).substr(0, INT_MAX) : html;
  // Without XML_PARSE_HUGE the parser drops whatever is nested deeper than
  // 256 elements; the walk below needs no stack, so depth costs only memory.
  constexpr int kOptions = HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                           HTML_PARSE_IGNORE_ENC | HTML_PARSE_COMPACT | XML_PARSE_HUGE;
  document_.reset(htmlReadMemory(parsed.data(), static_cast<int>(parsed.size()), nullptr, "UTF-8", kOptions));
}

THtmlDocument::~THtmlDocument() = default;

std::u16string THtmlDocument::BodyText() const {
  const xmlNode* root = document_ ? xmlDocGetRootElement(document_.get()) : nullptr;
  if (root == nullptr) return {};
  const xmlNode* body = FindBody(root);
  return Utf8ToUtf16(TBodyWalk().Run(body != nullptr ? body : root));
}

std::u16string HtmlBodyText(std::string_view utf8Html) { return THtmlDocument(utf8Html).BodyText(); }

std::u16string WebPageText(std::string_view bytes, std::string_view contentType) {
  return HtmlBodyText(Utf16ToUtf8(DecodeHtml(bytes, HtmlCharset(bytes, contentType))));
}

}  // namespace varnolt
