#pragma once
// Pictures as the documents hold them: each kind keeps what it needs to be
// drawn or written again and knows its size in pixels. Every builder checks
// the sizes it reads against the bytes it was given and throws
// EInvalidGraphic instead of reading past them.
#include <memory>
#include <string>
#include <string_view>

#include "platform/Exception.h"

namespace varnolt {

class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

class TGraphic {
 public:
  virtual ~TGraphic() = default;
  // The class name stored with the picture ("TBitmap", "TMetafile", ...).
  virtual std::string ClassName() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // The picture in its own file format.
  virtual std::string SaveToBytes() const = 0;
  virtual std::unique_ptr<TGraphic> Clone() const = 0;
};

// Recognises a bitmap file, JPEG, PNG, Windows metafile (with or without the
// placeable header) or enhanced metafile by its first bytes. nullptr for
// anything else or for a picture that does not decode.
std::unique_ptr<TGraphic> LoadGraphicFromBytes(std::string_view bytes, int pixelsPerInch);

}  // namespace varnolt
