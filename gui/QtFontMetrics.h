#pragma once
// Font metrics for the layout from the very QFont the view paints with, so
// what is measured is what is drawn: family through Qt's font matching,
// size in points at the screen's resolution.
#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <memory>
#include <string>
#include <unordered_map>

#include "richtext/layout/RVFontMetrics.h"

namespace varnolt {

class TRVQtFontMetrics : public TRVFontMetrics {
 public:
  TRVFontExtents Extents(const TCustomRVFontInfo& font) override;
  double RunAdvance(const TCustomRVFontInfo& font, std::u16string_view text) override;
  double CharAdvance(const TCustomRVFontInfo& font, char16_t character) override;

  // The font a text style is drawn in.
  const QFont& Font(const TCustomRVFontInfo& font);
  // After the style sheet's fonts changed.
  void Forget();

 private:
  struct TEntry {
    QFont Font;
    QFontMetricsF Metrics;
    // Lines are fitted word by word and documents repeat their words.
    std::unordered_map<std::u16string, double> Words;
  };
  TEntry& EntryFor(const TCustomRVFontInfo& font);
  std::unordered_map<QString, std::unique_ptr<TEntry>> entries_;
  // Style entries keep their addresses, so measuring mostly skips the font
  // matching; the cheap check below catches an entry changed or replaced.
  struct TKnown {
    TEntry* Entry = nullptr;
    std::u16string Name;
    std::int32_t Size = 0;
    std::uint8_t Styles = 0;
    std::uint8_t SubSuper = 0;
  };
  std::unordered_map<const TCustomRVFontInfo*, TKnown> byStyle_;
};

// Sub- and superscript text is drawn smaller; the layout raises or lowers it.
QFont MakeQFont(const TCustomRVFontInfo& font);

}  // namespace varnolt
