#include "pdf/PdfFontFinder.h"

#include <fontconfig/fontconfig.h>

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/CodePage.h"

namespace varnolt {

namespace {

struct FontSetDeleter {
  void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};
struct PatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetDeleter>;
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

// A face of the sorted list, reduced to what choosing among them needs.
struct Candidate {
  TPdfFontFace Face;
  const FcCharSet* Characters;  // owned by the sorted set
};

// Every embeddable face in fontconfig's order of preference for one family
// and style. Sorting once and taking the first face that has the character
// gives the order a sort with the character's charset in the pattern would:
// that sort only moves the faces lacking the character behind the others.
class SortedFaces {
 public:
  SortedFaces(const std::string& family, bool bold, bool italic) {
    PatternPtr pattern(FcPatternCreate());
    if (!family.empty()) FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    sorted_.reset(FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result));
    if (!sorted_) return;
    for (int i = 0; i < sorted_->nfont; ++i) Keep(sorted_->fonts[i]);
  }

  std::optional<TPdfFontFace> First() const {
    if (candidates_.empty()) return std::nullopt;
    return candidates_.front().Face;
  }

  std::optional<TPdfFontFace> FirstWith(char32_t character) const {
    for (const Candidate& candidate : candidates_) {
      if (FcCharSetHasChar(candidate.Characters, character)) return candidate.Face;
    }
    return std::nullopt;
  }

 private:
  // Faces with TrueType or CFF outlines can be embedded; Type 1 faces,
  // bitmaps and named instances of variable fonts cannot.
  void Keep(FcPattern* font) {
    FcChar8* file = nullptr;
    FcChar8* format = nullptr;
    FcCharSet* characters = nullptr;
    int index = 0;
    FcBool outline = FcFalse;
    FcBool variable = FcFalse;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) return;
    if (FcPatternGetString(font, FC_FONTFORMAT, 0, &format) != FcResultMatch) return;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &characters) != FcResultMatch) return;
    const std::string_view formatName(reinterpret_cast<const char*>(format));
    if (formatName != "TrueType" && formatName != "CFF") return;
    if (FcPatternGetBool(font, FC_OUTLINE, 0, &outline) == FcResultMatch && !outline) return;
    if (FcPatternGetBool(font, FC_VARIABLE, 0, &variable) == FcResultMatch && variable) return;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    if (index < 0 || index > 0xFFFF) return;
    candidates_.push_back({TPdfFontFace{reinterpret_cast<const char*>(file), index}, characters});
  }

  FontSetPtr sorted_;
  std::vector<Candidate> candidates_;
};

// The faces of one family and style, and the choice made for each
// character asked for so far.
struct StyleFaces {
  StyleFaces(const std::string& family, bool bold, bool italic) : Sorted(family, bold, italic) {}
  SortedFaces Sorted;
  std::unordered_map<char32_t, std::optional<TPdfFontFace>> Chosen;
};

class FontFinder {
 public:
  std::optional<TPdfFontFace> Find(std::u16string_view family, bool bold, bool italic, char32_t character) {
    std::lock_guard<std::mutex> lock(mutex_);
    StyleFaces& faces = FacesOf(family, bold, italic);
    auto [chosen, added] = faces.Chosen.try_emplace(character);
    if (added) chosen->second = faces.Sorted.FirstWith(character);
    return chosen->second;
  }

  std::optional<TPdfFontFace> FindFamily(std::u16string_view family, bool bold, bool italic) {
    std::lock_guard<std::mutex> lock(mutex_);
    return FacesOf(family, bold, italic).Sorted.First();
  }

 private:
  static constexpr std::size_t kStyles = 4;

  StyleFaces& FacesOf(std::u16string_view family, bool bold, bool italic) {
    auto found = families_.find(family);
    if (found == families_.end()) found = families_.emplace(std::u16string(family), StyleSlots{}).first;
    std::unique_ptr<StyleFaces>& slot = found->second[(bold ? 1u : 0u) + (italic ? 2u : 0u)];
    if (!slot) slot = std::make_unique<StyleFaces>(Utf16ToUtf8(family), bold, italic);
    return *slot;
  }

  using StyleSlots = std::array<std::unique_ptr<StyleFaces>, kStyles>;
  std::mutex mutex_;
  std::map<std::u16string, StyleSlots, std::less<>> families_;
};

FontFinder& TheFontFinder() {
  static FontFinder finder;
  return finder;
}

}  // namespace

std::optional<TPdfFontFace> FindFamilyFace(std::u16string_view family, bool bold, bool italic) {
  return TheFontFinder().FindFamily(family, bold, italic);
}

std::optional<TPdfFontFace> FindFontFace(std::u16string_view family, bool bold, bool italic, char32_t character) {
  return TheFontFinder().Find(family, bold, italic, character);
}

}  // namespace varnolt

// fontconfig (2.14) drops a few hundred bytes of its configuration while
// loading it, once per process; the leak checker of sanitizer builds is told
// so here, where fontconfig comes in. Inert in every other build.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
