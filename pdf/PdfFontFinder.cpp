#include "pdf/PdfFontFinder.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <memory>
#include <mutex>
#include <tuple>
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

  std::optional<TPdfFontFace> FirstWith(char32_t character) const {
    for (const Candidate& candidate : candidates_) {
      if (FcCharSetHasChar(candidate.Characters, character)) return candidate.Face;
    }
    return std::nullopt;
  }

 private:
  // Faces without TrueType outlines (CFF, Type 1, bitmaps) and named
  // instances of variable fonts cannot go into a CIDFontType2 font.
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
    if (std::string_view(reinterpret_cast<const char*>(format)) != "TrueType") return;
    if (FcPatternGetBool(font, FC_OUTLINE, 0, &outline) == FcResultMatch && !outline) return;
    if (FcPatternGetBool(font, FC_VARIABLE, 0, &variable) == FcResultMatch && variable) return;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    if (index < 0 || index > 0xFFFF) return;
    candidates_.push_back({TPdfFontFace{reinterpret_cast<const char*>(file), index}, characters});
  }

  FontSetPtr sorted_;
  std::vector<Candidate> candidates_;
};

class FontFinder {
 public:
  std::optional<TPdfFontFace> Find(std::u16string_view family, bool bold, bool italic, char32_t character) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::u16string familyKey(family);
    auto found = faces_.find(std::tie(familyKey, bold, italic, character));
    if (found != faces_.end()) return found->second;
    std::optional<TPdfFontFace> face = Sorted(familyKey, bold, italic).FirstWith(character);
    faces_.emplace(std::make_tuple(std::move(familyKey), bold, italic, character), face);
    return face;
  }

 private:
  using StyleKey = std::tuple<std::u16string, bool, bool>;

  const SortedFaces& Sorted(const std::u16string& family, bool bold, bool italic) {
    StyleKey key{family, bold, italic};
    auto found = sorted_.find(key);
    if (found == sorted_.end()) {
      found = sorted_.emplace(key, std::make_unique<SortedFaces>(Utf16ToUtf8(family), bold, italic)).first;
    }
    return *found->second;
  }

  std::mutex mutex_;
  std::map<StyleKey, std::unique_ptr<SortedFaces>> sorted_;
  std::map<std::tuple<std::u16string, bool, bool, char32_t>, std::optional<TPdfFontFace>, std::less<>> faces_;
};

FontFinder& TheFontFinder() {
  static FontFinder finder;
  return finder;
}

}  // namespace

std::optional<TPdfFontFace> FindFontFace(std::u16string_view family, bool bold, bool italic, char32_t character) {
  return TheFontFinder().Find(family, bold, italic, character);
}

}  // namespace varnolt
