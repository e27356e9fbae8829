#include "pdf/PdfAnnotations.h"

#include <algorithm>
#include <cmath>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"

namespace varnolt {

namespace {

// Hundredths, as the canvas writes its numbers, so that a float does not
// reach the file as 0.100000001490116.
std::unique_ptr<TPdfReal> Real(float value) {
  return std::make_unique<TPdfReal>(std::floor(static_cast<long double>(value) * 100 + 0.5L) / 100);
}

bool IsUriByte(unsigned char byte) { return byte > 0x20 && byte < 0x7F; }

std::string PercentEncoded(std::string_view uri) {
  constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(uri.size());
  for (char c : uri) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUriByte(byte)) {
      encoded.push_back(c);
      continue;
    }
    encoded.push_back('%');
    encoded.push_back(kHexDigits[byte >> 4]);
    encoded.push_back(kHexDigits[byte & 0xF]);
  }
  return encoded;
}

// A string object written as the given bytes in hexadecimal.
std::unique_ptr<TPdfBinary> HexStringObject(std::string_view bytes) {
  auto object = std::make_unique<TPdfBinary>();
  object->Data() = PdfHexString(bytes);
  return object;
}

// A link annotation on the current page, registered, its action still to come.
TPdfDictionary& AddLinkAnnotation(TPdfDoc& doc, const TPdfRect& rect) {
  TPdfDictionary& page = doc.GetCanvas().GetPage();
  TPdfXref& xref = doc.Xref();
  TPdfDictionary& link = xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
  link.PutName(u"Type", u"Annot");
  link.PutName(u"Subtype", u"Link");
  auto box = std::make_unique<TPdfArray>(&xref);
  for (float edge : {rect.Left, rect.Bottom, rect.Right, rect.Top}) box->Append(Real(edge));
  link.Put(u"Rect", std::move(box));
  link.Put(u"Border", TPdfArray::CreateNumberArray(&xref, {0, 0, 0}));
  TPdfArray* annotations = page.LookupArray(u"Annots");
  if (annotations == nullptr) annotations = &page.Put(u"Annots", std::make_unique<TPdfArray>(&xref));
  annotations->Append(link);
  return link;
}

void AppendUtf16BE(std::string& bytes, char16_t unit) {
  bytes.push_back(static_cast<char>(unit >> 8));
  bytes.push_back(static_cast<char>(unit & 0xFF));
}

}  // namespace

std::string PdfTextStringBytes(std::u16string_view text) {
  std::string bytes;
  const bool ascii = std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
  if (ascii) {
    for (char16_t c : text) bytes.push_back(static_cast<char>(c));
    return bytes;
  }
  AppendUtf16BE(bytes, 0xFEFF);
  for (char16_t c : text) AppendUtf16BE(bytes, c);
  return bytes;
}

void AddUriLink(TPdfDoc& doc, const TPdfRect& rect, std::string_view uri) {
  TPdfDictionary& link = AddLinkAnnotation(doc, rect);
  auto action = std::make_unique<TPdfDictionary>(&doc.Xref());
  action->PutName(u"S", u"URI");
  action->Put(u"URI", HexStringObject(PercentEncoded(uri)));
  link.Put(u"A", std::move(action));
}

void AddNamedLink(TPdfDoc& doc, const TPdfRect& rect, std::u16string_view name) {
  TPdfDictionary& link = AddLinkAnnotation(doc, rect);
  link.Put(u"Dest", HexStringObject(PdfTextStringBytes(name)));
}

void AddNamedDestination(TPdfDoc& doc, std::u16string_view name, float top) {
  doc.NamedDestinations().Add(name, doc.GetCanvas().GetPage(), top);
}

bool TPdfNamedDestinations::Add(std::u16string_view name, TPdfDictionary& page, float top) {
  return destinations_.try_emplace(PdfTextStringBytes(name), Destination{&page, top}).second;
}

std::unique_ptr<TPdfDictionary> TPdfNamedDestinations::NameTree(TPdfXref& xref) const {
  auto names = std::make_unique<TPdfArray>(&xref);
  // std::map orders its keys as unsigned bytes, which is the order the tree needs.
  for (const auto& [key, destination] : destinations_) {
    names->Append(HexStringObject(key));
    auto target = std::make_unique<TPdfArray>(&xref);
    target->Append(*destination.Page);
    target->Append(std::make_unique<TPdfName>(u"XYZ"));
    target->Append(std::make_unique<TPdfNull>());
    target->Append(Real(destination.Top));
    target->Append(std::make_unique<TPdfNull>());
    names->Append(std::move(target));
  }
  auto tree = std::make_unique<TPdfDictionary>(&xref);
  tree->Put(u"Names", std::move(names));
  return tree;
}

}  // namespace varnolt
