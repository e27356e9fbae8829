#pragma once
// Character formatting that changes what a run shows and how wide it is:
// all capitals, small capitals, character scaling and spacing. The layout
// measures through TRVShownTextMetrics and the painters draw the same
// pieces, so the screen and the PDF agree on every line.
#include <string>
#include <string_view>
#include <vector>

#include "richtext/layout/RVFontMetrics.h"

namespace varnolt {

// Small capitals: lower-case letters as capitals at this share of the size.
inline constexpr double kRVSmallCapsScale = 0.8;

struct TRVShownPiece {
  std::u16string Text;
  bool Small = false;  // drawn in SmallCapsFont
};

// Whether the font shows its text other than as stored or at other widths.
bool ChangesShownText(const TCustomRVFontInfo& font);
// The run as shown: capitals for all caps; for small caps cut into pieces
// of capitals at the full and at the smaller size. One piece, the text
// itself, for other fonts.
std::vector<TRVShownPiece> ShownPieces(const TCustomRVFontInfo& font, std::u16string_view text);
// The font of a small-caps piece.
TFontInfo SmallCapsFont(const TCustomRVFontInfo& font);
// Pixels added after each character (character spacing).
double CharSpacingOf(const TCustomRVFontInfo& font);
// Share of the natural width each glyph takes (character scaling).
double CharScaleOf(const TCustomRVFontInfo& font);

// Measures runs as they are shown, through the metrics of whoever draws.
class TRVShownTextMetrics final : public TRVFontMetrics {
 public:
  explicit TRVShownTextMetrics(TRVFontMetrics& inner) : inner_(inner) {}
  TRVFontExtents Extents(const TCustomRVFontInfo& font) override { return inner_.Extents(font); }
  double RunAdvance(const TCustomRVFontInfo& font, std::u16string_view text) override;
  double CharAdvance(const TCustomRVFontInfo& font, char16_t character) override;

 private:
  TRVFontMetrics& inner_;
};

}  // namespace varnolt
