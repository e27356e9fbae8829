#pragma once
// What the layout needs to know of fonts, supplied by whoever draws: the
// screen measures with its toolkit's fonts, a PDF export with PDF metrics.
// Whole runs are measured so that shaping and kerning are included.
#include <string_view>

#include "richtext/style/RVStyle.h"

namespace varnolt {

struct TRVFontExtents {
  double Ascent = 0;
  double Descent = 0;
  double LineGap = 0;
};

// Sub- and superscript text is drawn at this share of its style's size; the
// layout raises or lowers it.
inline constexpr double kRVSubSuperScriptScale = 0.66;

class TRVFontMetrics {
 public:
  virtual ~TRVFontMetrics() = default;
  virtual TRVFontExtents Extents(const TCustomRVFontInfo& font) = 0;
  virtual double RunAdvance(const TCustomRVFontInfo& font, std::u16string_view text) = 0;
  virtual double CharAdvance(const TCustomRVFontInfo& font, char16_t character) = 0;
};

// Every character of a font of Size points is Size * 6 / 10 pixels wide, the
// ascent Size * 8 / 10 and the descent Size * 2 / 10: whole numbers for the
// usual sizes, so layouts made with it are exact. The editor uses it until a
// view supplies real metrics.
class TRVFixedFontMetrics : public TRVFontMetrics {
 public:
  TRVFontExtents Extents(const TCustomRVFontInfo& font) override {
    return {font.Size * 8 / 10.0, font.Size * 2 / 10.0, 0};
  }
  double RunAdvance(const TCustomRVFontInfo& font, std::u16string_view text) override {
    return CharWidth(font) * static_cast<double>(text.size());
  }
  double CharAdvance(const TCustomRVFontInfo& font, char16_t) override { return CharWidth(font); }

 private:
  static double CharWidth(const TCustomRVFontInfo& font) { return font.Size * 6 / 10.0; }
};

}  // namespace varnolt
