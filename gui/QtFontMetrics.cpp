#include "gui/QtFontMetrics.h"

namespace varnolt {

namespace {

constexpr std::size_t kLongestCachedRun = 24;
constexpr std::size_t kCachedRunsPerFont = 200000;

QString Key(const TCustomRVFontInfo& font) {
  return QString::fromStdU16String(font.FontName) + QLatin1Char('/') + QString::number(font.Size) +
         QLatin1Char('/') + QString::number(font.Style.Contains(fsBold)) +
         QString::number(font.Style.Contains(fsItalic)) + QString::number(font.Style.Contains(fsUnderline)) +
         QString::number(font.Style.Contains(fsStrikeOut)) + QString::number(font.SubSuperScriptType);
}

}  // namespace

QFont MakeQFont(const TCustomRVFontInfo& font) {
  QFont made(QString::fromStdU16String(font.FontName));
  double size = font.Size > 0 ? font.Size : 10;
  if (font.SubSuperScriptType != rvsssNormal) size *= kRVSubSuperScriptScale;
  made.setPointSizeF(size);
  made.setBold(font.Style.Contains(fsBold));
  made.setItalic(font.Style.Contains(fsItalic));
  made.setUnderline(font.Style.Contains(fsUnderline));
  made.setStrikeOut(font.Style.Contains(fsStrikeOut));
  return made;
}

TRVQtFontMetrics::TEntry& TRVQtFontMetrics::EntryFor(const TCustomRVFontInfo& font) {
  const auto styles = static_cast<std::uint8_t>(font.Style.Contains(fsBold) | font.Style.Contains(fsItalic) << 1 |
                                                font.Style.Contains(fsUnderline) << 2 |
                                                font.Style.Contains(fsStrikeOut) << 3);
  TKnown& known = byStyle_[&font];
  if (known.Entry != nullptr && known.Size == font.Size && known.Styles == styles &&
      known.SubSuper == font.SubSuperScriptType && known.Name == font.FontName) {
    return *known.Entry;
  }
  const QString key = Key(font);
  std::unique_ptr<TEntry>& entry = entries_[key];
  if (!entry) {
    QFont made = MakeQFont(font);
    entry = std::make_unique<TEntry>(TEntry{made, QFontMetricsF(made), {}});
  }
  known = {entry.get(), font.FontName, font.Size, styles, static_cast<std::uint8_t>(font.SubSuperScriptType)};
  return *entry;
}

void TRVQtFontMetrics::Forget() {
  byStyle_.clear();
  entries_.clear();
}

const QFont& TRVQtFontMetrics::Font(const TCustomRVFontInfo& font) { return EntryFor(font).Font; }

TRVFontExtents TRVQtFontMetrics::Extents(const TCustomRVFontInfo& font) {
  const QFontMetricsF& metrics = EntryFor(font).Metrics;
  return {metrics.ascent(), metrics.descent(), std::max(0.0, metrics.leading())};
}

double TRVQtFontMetrics::RunAdvance(const TCustomRVFontInfo& font, std::u16string_view text) {
  TEntry& entry = EntryFor(font);
  const auto measure = [&] {
    return entry.Metrics.horizontalAdvance(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
  };
  if (text.size() > kLongestCachedRun) return measure();
  const std::u16string key(text);
  if (auto found = entry.Words.find(key); found != entry.Words.end()) return found->second;
  if (entry.Words.size() >= kCachedRunsPerFont) entry.Words.clear();
  const double advance = measure();
  entry.Words.emplace(key, advance);
  return advance;
}

double TRVQtFontMetrics::CharAdvance(const TCustomRVFontInfo& font, char16_t character) {
  return EntryFor(font).Metrics.horizontalAdvance(QChar(character));
}

}  // namespace varnolt
