#pragma once
// The text of a web page as a browser's outerText of its body gives it:
// scripts, styles and the head left out, block elements and <br> on lines of
// their own, table cells apart by tabs, white space collapsed outside <pre>.
// The page is parsed by libxml2's HTML parser (recovering, never reaching
// the network). Line breaks are CR LF, as text on the clipboard has them.
#include <memory>
#include <string>
#include <string_view>

typedef struct _xmlDoc xmlDoc;

namespace varnolt {

// The label of the character set the page's bytes are in: the HTTP
// header's (its Content-Type value, may be empty), then a byte-order mark,
// then <meta charset> or http-equiv, else "windows-1252".
std::string HtmlCharset(std::string_view bytes, std::string_view contentType);

// The bytes decoded with ICU; a label ICU does not know is read as
// windows-1252, as is Latin-1 (browsers do the same). Never fails.
std::u16string DecodeHtml(std::string_view bytes, std::string_view charset);

// A page parsed, so that parsing and the walk over it can be measured apart.
class THtmlDocument {
 public:
  // Never fails: any byte sequence parses into some document.
  explicit THtmlDocument(std::string_view utf8Html);
  ~THtmlDocument();
  THtmlDocument(const THtmlDocument&) = delete;
  THtmlDocument& operator=(const THtmlDocument&) = delete;

  std::u16string BodyText() const;

 private:
  struct Freer {
    void operator()(xmlDoc* document) const;
  };
  std::unique_ptr<xmlDoc, Freer> document_;
};

// The body's text of an HTML document given as UTF-8. Never fails: any
// byte sequence gives some text.
std::u16string HtmlBodyText(std::string_view utf8Html);

// All three: the page's bytes as fetched to its text.
std::u16string WebPageText(std::string_view bytes, std::string_view contentType);

}  // namespace varnolt
