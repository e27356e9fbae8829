#pragma once
// Installed fonts for characters the standard and composite fonts cannot
// show, found through fontconfig.
#include <optional>
#include <string>
#include <string_view>

namespace varnolt {

struct TPdfFontFace {
  std::string File;  // path of the font file
  int Index = 0;     // face within a collection
  friend bool operator==(const TPdfFontFace&, const TPdfFontFace&) = default;
};

// The installed face fontconfig prefers for the family and style among those
// that have the character; empty when no installed face has it. Only faces
// with TrueType outlines count, since those are what can be embedded. Results
// are cached per family, style and character; safe to call from any thread.
std::optional<TPdfFontFace> FindFontFace(std::u16string_view family, bool bold, bool italic, char32_t character);

}  // namespace varnolt
