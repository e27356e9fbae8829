#pragma once
// A pull reader over libxml2's streaming reader for the XML parts of office
// packages: elements, their attributes and text, one at a time, with
// namespace-aware local names. Untrusted input: no network, no external
// DTD or entity is loaded, a document type declaration (the road to entity
// bombs) is refused, and nesting is bounded.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Exception.h"

namespace varnolt {

// XML that is not well-formed or breaks a limit: the message names the file,
// the part, the line and the reason.
class EXmlError : public Exception {
 public:
  EXmlError(std::string file, std::string part, int line, std::string reason);
  const std::string& File() const { return file_; }
  const std::string& Part() const { return part_; }
  int Line() const { return line_; }
  const std::string& Reason() const { return reason_; }

 private:
  std::string file_;
  std::string part_;
  int line_;
  std::string reason_;
};

enum class XmlToken : std::uint8_t {
  kStartElement,  // an empty element <a/> gives a start and an end
  kEndElement,
  kText,  // character data, CDATA and white space
  kEnd,   // the end of the document
};

struct XmlAttribute {
  std::string_view namespaceUri;
  std::string_view localName;
  std::string_view value;
};

class XmlStream {
 public:
  static constexpr int kDefaultMaxDepth = 200;

  // Reads bytes (which must outlive the stream); file and part name the
  // input in errors.
  XmlStream(std::string_view bytes, std::string file, std::string part, int maxDepth = kDefaultMaxDepth);
  ~XmlStream();
  XmlStream(const XmlStream&) = delete;
  XmlStream& operator=(const XmlStream&) = delete;

  // Moves to the next token. Throws EXmlError on malformed XML, a document
  // type declaration or nesting deeper than the limit. kEnd again and again
  // once the document is done.
  XmlToken Next();

  // The current token; the views below live until the next call of Next.
  XmlToken Token() const { return token_; }
  // The element's depth: the root is 0; text has its parent's depth + 1.
  int Depth() const { return depth_; }
  std::string_view LocalName() const { return localName_; }
  std::string_view NamespaceUri() const { return namespaceUri_; }
  std::string_view Text() const { return text_; }
  bool IsStart(std::string_view localName) const {
    return token_ == XmlToken::kStartElement && localName_ == localName;
  }
  // The current start element's attributes (namespace declarations left out).
  const std::vector<XmlAttribute>& Attributes() const { return attributes_; }
  // The attribute of that local name, in any namespace; nothing when absent.
  std::optional<std::string_view> Attribute(std::string_view localName) const;
  std::optional<std::string_view> Attribute(std::string_view localName, std::string_view namespaceUri) const;

  // On a start element: true while a child token of it follows, false once
  // its end is reached (the stream then sits on that end). Lets a caller
  // loop `while (xml.NextInside(depth))` over an element's content.
  bool NextInside(int elementDepth);
  // On a start element: moves past its content to its end.
  void Skip();
  // On a start element: the text of everything inside it, up to its end.
  std::string ElementText();

  const std::string& FileName() const { return file_; }
  const std::string& PartName() const { return part_; }
  // Throws EXmlError at the current line with reason.
  [[noreturn]] void Fail(const std::string& reason) const;

 private:
  struct Reader;
  void TakeElement();

  std::unique_ptr<Reader> reader_;
  std::string file_;
  std::string part_;
  int maxDepth_;
  XmlToken token_ = XmlToken::kEnd;
  bool started_ = false;
  bool pendingEnd_ = false;  // an empty element's end, still to be given
  int depth_ = 0;
  std::string_view localName_;
  std::string_view namespaceUri_;
  std::string_view text_;
  std::vector<XmlAttribute> attributes_;
};

}  // namespace varnolt
