#include "richtext/layout/RVShownText.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cmath>

namespace varnolt {

namespace {

// One unit for one unit, so that boxes and carets keep their offsets.
char16_t UpperOf(char16_t c) {
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  const UChar32 upper = u_toupper(c);
  return upper <= 0xFFFF ? static_cast<char16_t>(upper) : c;
}

bool IsLowerCase(char16_t c) { return !(c >= 0xD800 && c <= 0xDFFF) && UpperOf(c) != c; }

bool AllCaps(const TCustomRVFontInfo& font) { return font.StyleEx.Contains(rvfsAllCaps); }
bool SmallCaps(const TCustomRVFontInfo& font) { return font.StyleEx.Contains(rvfsSmallCaps) && !AllCaps(font); }

}  // namespace

bool ChangesShownText(const TCustomRVFontInfo& font) {
  return AllCaps(font) || SmallCaps(font) || CharScaleOf(font) != 1.0 || font.CharSpacing != 0;
}

std::vector<TRVShownPiece> ShownPieces(const TCustomRVFontInfo& font, std::u16string_view text) {
  std::vector<TRVShownPiece> pieces;
  if (!SmallCaps(font)) {
    std::u16string shown(text);
    if (AllCaps(font)) std::transform(shown.begin(), shown.end(), shown.begin(), UpperOf);
    pieces.push_back({std::move(shown), false});
    return pieces;
  }
  for (char16_t c : text) {
    const bool small = IsLowerCase(c);
    if (pieces.empty() || pieces.back().Small != small) pieces.push_back({{}, small});
    pieces.back().Text += UpperOf(c);
  }
  return pieces;
}

TFontInfo SmallCapsFont(const TCustomRVFontInfo& font) {
  TFontInfo small;
  small.Assign(font);
  small.Size = std::max(1, static_cast<std::int32_t>(std::lround(font.Size * kRVSmallCapsScale)));
  return small;
}

double CharSpacingOf(const TCustomRVFontInfo& font) { return font.CharSpacing; }

double CharScaleOf(const TCustomRVFontInfo& font) {
  // Writers keep scaling between 1 and 600 percent; 0 means none given.
  if (font.CharScale <= 0) return 1.0;
  return std::min(font.CharScale, 600) / 100.0;
}

double TRVShownTextMetrics::RunAdvance(const TCustomRVFontInfo& font, std::u16string_view text) {
  if (!ChangesShownText(font)) return inner_.RunAdvance(font, text);
  double natural = 0;
  for (const TRVShownPiece& piece : ShownPieces(font, text)) {
    natural += piece.Small ? inner_.RunAdvance(SmallCapsFont(font), piece.Text) : inner_.RunAdvance(font, piece.Text);
  }
  return natural * CharScaleOf(font) + CharSpacingOf(font) * static_cast<double>(text.size());
}

double TRVShownTextMetrics::CharAdvance(const TCustomRVFontInfo& font, char16_t character) {
  if (!ChangesShownText(font)) return inner_.CharAdvance(font, character);
  return RunAdvance(font, std::u16string_view(&character, 1));
}

}  // namespace varnolt
