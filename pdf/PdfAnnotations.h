#pragma once
// Links on a page (to an address or to a named place of the document) and
// the named places themselves, which the document writes at save as the
// catalog's name tree of destinations.
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "pdf/PdfTypes.h"

namespace varnolt {

class TPdfDoc;

// A rectangle in PDF user space (points, origin bottom-left, y upwards).
struct TPdfRect {
  float Left = 0, Bottom = 0, Right = 0, Top = 0;
  float Width() const { return Right - Left; }
  float Height() const { return Top - Bottom; }
};

// A link annotation on the canvas's current page that opens the address;
// bytes an address may not hold (non-ASCII, blanks, controls) are
// percent-encoded. EPdfInvalidOperation "GetPage --the Page is nil" without
// a page.
void AddUriLink(TPdfDoc& doc, const TPdfRect& rect, std::string_view uri);
// A link annotation on the current page that goes to a named destination of
// the document (which may be added later, or on a later page).
void AddNamedLink(TPdfDoc& doc, const TPdfRect& rect, std::u16string_view name);
// A named destination at the top y of the current page; a name already
// given keeps its first place.
void AddNamedDestination(TPdfDoc& doc, std::u16string_view name, float top);

// The named destinations of one document, by the bytes of their names.
class TPdfNamedDestinations {
 public:
  // False when the name is taken; the first one stays.
  bool Add(std::u16string_view name, TPdfDictionary& page, float top);
  bool Empty() const { return destinations_.empty(); }
  void Clear() { destinations_.clear(); }
  // << /Names [name [page /XYZ null top null] ...] >>, sorted by name.
  std::unique_ptr<TPdfDictionary> NameTree(TPdfXref& xref) const;

 private:
  struct Destination {
    TPdfDictionary* Page;  // registered; the xref owns it
    float Top;
  };
  std::map<std::string, Destination> destinations_;
};

// A name as the bytes of a PDF text string: ASCII as it is, anything else
// UTF-16BE after a byte-order mark.
std::string PdfTextStringBytes(std::u16string_view text);

}  // namespace varnolt
