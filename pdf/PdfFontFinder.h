#pragma once
// Installed fonts found through fontconfig: the face a document's family is
// shown in, and faces for the characters that face lacks.
#include <optional>
#include <string>
#include <string_view>

namespace varnolt {

struct TPdfFontFace {
  std::string File;  // path of the font file
  int Index = 0;     // face within a collection
  friend bool operator==(const TPdfFontFace&, const TPdfFontFace&) = default;
};

// The installed face fontconfig prefers for the family and style, whatever
// it holds: a family that is not installed gets the face fontconfig puts in
// its place (a metric-compatible one where its configuration names one).
// Empty only when no embeddable face is installed at all.
std::optional<TPdfFontFace> FindFamilyFace(std::u16string_view family, bool bold, bool italic);

// The installed face fontconfig prefers for the family and style among those
// that have the character; empty when no installed face has it. Only faces
// with TrueType or CFF outlines count, since those are what can be embedded. Results
// are cached per family, style and character; safe to call from any thread.
std::optional<TPdfFontFace> FindFontFace(std::u16string_view family, bool bold, bool italic, char32_t character);

}  // namespace varnolt
