#include "platform/XmlStream.h"

#include <libxml/parser.h>
#include <libxml/xmlreader.h>

#include <climits>
#include <mutex>

namespace varnolt {

namespace {

constexpr std::string_view kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";

std::string_view View(const xmlChar* text) {
  return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

std::string XmlMessage(const std::string& file, const std::string& part, int line, const std::string& reason) {
  std::string message = file + ", part " + part;
  if (line > 0) message += ", line " + std::to_string(line);
  return message + ": " + reason;
}

// libxml2's message without its trailing line end.
std::string Trimmed(const char* text) {
  std::string message = text ? text : "";
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  return message;
}

}  // namespace

EXmlError::EXmlError(std::string file, std::string part, int line, std::string reason)
    : Exception(XmlMessage(file, part, line, reason)),
      file_(std::move(file)),
      part_(std::move(part)),
      line_(line),
      reason_(std::move(reason)) {}

struct XmlStream::Reader {
  ~Reader() {
    if (reader) xmlFreeTextReader(reader);
  }
  static void TakeError(void* self, xmlErrorPtr error) {
    auto* reader = static_cast<Reader*>(self);
    if (!error || error->level < XML_ERR_ERROR || !reader->error.empty()) return;
    reader->error = Trimmed(error->message);
    reader->errorLine = error->line;
  }
  xmlTextReaderPtr reader = nullptr;
  std::string error;  // the first error libxml2 reported
  int errorLine = 0;
  std::vector<std::string> attributeValues;  // owned, since libxml2 may reuse its buffer
};

XmlStream::XmlStream(std::string_view bytes, std::string file, std::string part, int maxDepth)
    : reader_(std::make_unique<Reader>()), file_(std::move(file)), part_(std::move(part)), maxDepth_(maxDepth) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { xmlInitParser(); });
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) Fail("the part is too large to read");
  // No XML_PARSE_NOENT (entities stay unexpanded), no DTD loading, no network.
  reader_->reader = xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                       XML_PARSE_NONET | XML_PARSE_NOCDATA);
  if (!reader_->reader) Fail("the XML reader cannot be started");
  xmlTextReaderSetStructuredErrorHandler(reader_->reader, &Reader::TakeError, reader_.get());
}

XmlStream::~XmlStream() = default;

void XmlStream::Fail(const std::string& reason) const {
  const int line = reader_->reader ? xmlTextReaderGetParserLineNumber(reader_->reader) : 0;
  throw EXmlError(file_, part_, line, reason);
}

XmlToken XmlStream::Next() {
  attributes_.clear();
  text_ = {};
  if (pendingEnd_) {
    pendingEnd_ = false;
    return token_ = XmlToken::kEndElement;
  }
  if (started_ && token_ == XmlToken::kEnd) return token_;
  started_ = true;
  for (;;) {
    const int status = xmlTextReaderRead(reader_->reader);
    if (status == 0) {
      localName_ = namespaceUri_ = {};
      depth_ = 0;
      return token_ = XmlToken::kEnd;
    }
    if (status < 0 || !reader_->error.empty()) {
      if (reader_->error.empty()) Fail("the XML is not well-formed");
      throw EXmlError(file_, part_, reader_->errorLine, reader_->error);
    }
    switch (xmlTextReaderNodeType(reader_->reader)) {
      case XML_READER_TYPE_ELEMENT:
        TakeElement();
        return token_ = XmlToken::kStartElement;
      case XML_READER_TYPE_END_ELEMENT:
        depth_ = xmlTextReaderDepth(reader_->reader);
        localName_ = View(xmlTextReaderConstLocalName(reader_->reader));
        namespaceUri_ = View(xmlTextReaderConstNamespaceUri(reader_->reader));
        return token_ = XmlToken::kEndElement;
      case XML_READER_TYPE_TEXT:
      case XML_READER_TYPE_CDATA:
      case XML_READER_TYPE_WHITESPACE:
      case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
        depth_ = xmlTextReaderDepth(reader_->reader);
        text_ = View(xmlTextReaderConstValue(reader_->reader));
        return token_ = XmlToken::kText;
      case XML_READER_TYPE_DOCUMENT_TYPE:
        Fail("a document type declaration is not allowed");
      case XML_READER_TYPE_ENTITY_REFERENCE:
        Fail("an entity reference is not allowed");
      default:
        break;  // comments, processing instructions
    }
  }
}

void XmlStream::TakeElement() {
  xmlTextReaderPtr reader = reader_->reader;
  depth_ = xmlTextReaderDepth(reader);
  if (depth_ > maxDepth_) Fail("elements nest deeper than " + std::to_string(maxDepth_) + " levels");
  localName_ = View(xmlTextReaderConstLocalName(reader));
  namespaceUri_ = View(xmlTextReaderConstNamespaceUri(reader));
  pendingEnd_ = xmlTextReaderIsEmptyElement(reader) == 1;
  auto& values = reader_->attributeValues;
  std::size_t count = 0;
  // Values are copied first and viewed after, so that no view sees a string move.
  for (int more = xmlTextReaderMoveToFirstAttribute(reader); more == 1; more = xmlTextReaderMoveToNextAttribute(reader)) {
    const std::string_view uri = View(xmlTextReaderConstNamespaceUri(reader));
    if (uri == kXmlnsNamespace) continue;
    if (count == values.size()) values.emplace_back();
    values[count].assign(View(xmlTextReaderConstValue(reader)));
    attributes_.push_back({uri, View(xmlTextReaderConstLocalName(reader)), {}});
    ++count;
  }
  for (std::size_t i = 0; i < count; ++i) attributes_[i].value = values[i];
  if (count > 0) xmlTextReaderMoveToElement(reader);
}

std::optional<std::string_view> XmlStream::Attribute(std::string_view localName) const {
  for (const auto& attribute : attributes_) {
    if (attribute.localName == localName) return attribute.value;
  }
  return std::nullopt;
}

std::optional<std::string_view> XmlStream::Attribute(std::string_view localName, std::string_view namespaceUri) const {
  for (const auto& attribute : attributes_) {
    if (attribute.localName == localName && attribute.namespaceUri == namespaceUri) return attribute.value;
  }
  return std::nullopt;
}

bool XmlStream::NextInside(int elementDepth) {
  Next();
  if (token_ == XmlToken::kEnd) Fail("the part ends inside an element");
  return !(token_ == XmlToken::kEndElement && depth_ == elementDepth);
}

void XmlStream::Skip() {
  if (token_ != XmlToken::kStartElement) return;
  const int depth = depth_;
  while (NextInside(depth)) {
  }
}

std::string XmlStream::ElementText() {
  std::string text;
  if (token_ != XmlToken::kStartElement) return text;
  const int depth = depth_;
  while (NextInside(depth)) {
    if (token_ == XmlToken::kText) text += text_;
  }
  return text;
}

}  // namespace varnolt
