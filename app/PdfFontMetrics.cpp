#include "app/PdfFontMetrics.h"

#include <unicode/ubidi.h>
#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <functional>
#include <span>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfEmbeddedFont.h"
#include "pdf/PdfFonts.h"
#include "platform/Color.h"

namespace varnolt {

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr std::int32_t kDefaultSize = 10;

float PointSizeOf(const TCustomRVFontInfo& font) {
  double size = font.Size > 0 ? font.Size : kDefaultSize;
  if (font.SubSuperScriptType != rvsssNormal) size *= kRVSubSuperScriptScale;
  return static_cast<float>(std::min<double>(size, TPdfCanvasAttribute::kMaxFontSize));
}

std::uint8_t StyleBits(const TCustomRVFontInfo& font) {
  return static_cast<std::uint8_t>(font.Style.Contains(fsBold) | font.Style.Contains(fsItalic) << 1);
}

// Texts without a right-to-left character (nearly all) skip the bidi
// algorithm: Hebrew, Arabic and their neighbours, their presentation forms,
// the right-to-left marks and embeddings, and surrogates (the supplementary
// right-to-left scripts; rare enough to always ask).
bool MayHoldRightToLeft(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) {
    return c >= 0x0590 && ((c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF) ||
                           (c >= 0xD800 && c <= 0xDFFF) || c == 0x200F || c == 0x202B || c == 0x202E || c == 0x2067);
  });
}

bool IsRightToLeft(std::u16string_view text) {
  return MayHoldRightToLeft(text) &&
         ubidi_getBaseDirection(text.data(), static_cast<std::int32_t>(text.size())) == UBIDI_RTL;
}

std::size_t CountSpaces(std::u16string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), u' '));
}

// Right-to-left text in a font that is not shaped is written in visual
// order, code points reversed and brackets mirrored.
void AppendReversed(std::u16string_view text, std::u16string& out) {
  for (std::size_t end = text.size(); end > 0;) {
    std::size_t start = end - 1;
    if (start > 0 && U16_IS_TRAIL(text[start]) && U16_IS_LEAD(text[start - 1])) --start;
    if (end - start == 1) {
      out.push_back(static_cast<char16_t>(u_charMirror(text[start])));
    } else {
      out.append(text.substr(start, 2));
    }
    end = start;
  }
}

constexpr std::size_t kLongestCachedRun = 24;
constexpr std::size_t kCachedRunsPerFont = 200000;

struct TWordHash {
  using is_transparent = void;
  std::size_t operator()(std::u16string_view text) const { return std::hash<std::u16string_view>()(text); }
};

// Text without a colour of its own shows in the window text colour, as on
// the screen; ColorToRGB alone would make it white.
TColor TextColor(TColor color) { return ColorToRGB(color == kRVColorNone ? kRVColorWindowText : color); }

struct TBidiCloser {
  void operator()(UBiDi* bidi) const { ubidi_close(bidi); }
};

}  // namespace

struct TPdfFontMetrics::TEntry {
  TPdfStyleFonts* Fonts = nullptr;
  TPdfFastWidths* FastWidths = nullptr;
  float PointSize = 0;
  double PixelsPerUnit = 0;  // per thousandth of the font size
  TRVFontExtents Extents;
  // Runs that needed font choice and shaping; lines are fitted word by word
  // and documents repeat their words.
  std::unordered_map<std::u16string, double, TWordHash, std::equal_to<>> Words;
};

// Style entries keep their addresses, so measuring mostly skips the key; the
// cheap check catches an entry changed or replaced.
struct TPdfFontMetrics::TKnown {
  TEntry* Entry = nullptr;
  std::u16string Name;
  std::int32_t Size = 0;
  std::uint8_t Styles = 0;
  std::uint8_t SubSuper = 0;

  bool Matches(const TCustomRVFontInfo& font) const {
    return Entry != nullptr && Size == font.Size && Styles == StyleBits(font) && SubSuper == font.SubSuperScriptType &&
           Name == font.FontName;
  }
};

// A part of a run in one font and one direction, in visual order.
struct TPdfFontMetrics::TPiece {
  std::size_t Start = 0;
  std::size_t Length = 0;
  std::size_t Segment = 0;
  bool RightToLeft = false;
};

TPdfFontMetrics::TPdfFontMetrics(TPdfDoc& doc) : doc_(doc) {}

TPdfFontMetrics::~TPdfFontMetrics() = default;

TPdfStyleFonts& TPdfFontMetrics::StyleFontsFor(const std::u16string& family, bool bold, bool italic) {
  std::u16string key = family;
  key.push_back(static_cast<char16_t>(u'0' + (bold ? 1 : 0) + (italic ? 2 : 0)));
  std::unique_ptr<TPdfStyleFonts>& fonts = styleFonts_[key];
  if (!fonts) fonts = std::make_unique<TPdfStyleFonts>(doc_, family, bold, italic);
  return *fonts;
}

TPdfFontMetrics::TEntry& TPdfFontMetrics::EntryFor(const TCustomRVFontInfo& font) {
  if (&font == lastStyle_ && lastKnown_->Matches(font)) return *lastKnown_->Entry;
  std::unique_ptr<TKnown>& known = byStyle_[&font];
  if (!known) known = std::make_unique<TKnown>();
  lastStyle_ = &font;
  lastKnown_ = known.get();
  if (known->Matches(font)) return *known->Entry;

  const bool bold = font.Style.Contains(fsBold);
  const bool italic = font.Style.Contains(fsItalic);
  const float pointSize = PointSizeOf(font);
  std::u16string key = font.FontName;
  key += u'/';
  key.push_back(static_cast<char16_t>(u'0' + StyleBits(font)));
  for (char c : std::to_string(pointSize)) key.push_back(static_cast<char16_t>(c));
  std::unique_ptr<TEntry>& entry = entries_[key];
  if (!entry) {
    entry = std::make_unique<TEntry>();
    entry->Fonts = &StyleFontsFor(font.FontName, bold, italic);
    entry->FastWidths = &entry->Fonts->FastWidths();
    entry->PointSize = pointSize;
    entry->PixelsPerUnit = pointSize * kPixelsPerPoint / 1000;
    const TPdfLineMetrics line = entry->Fonts->LineMetrics();
    entry->Extents = {line.Ascent * entry->PixelsPerUnit, line.Descent * entry->PixelsPerUnit,
                      line.LineGap * entry->PixelsPerUnit};
  }
  *known = {entry.get(), font.FontName, font.Size, StyleBits(font), static_cast<std::uint8_t>(font.SubSuperScriptType)};
  return *entry;
}

TRVFontExtents TPdfFontMetrics::Extents(const TCustomRVFontInfo& font) { return EntryFor(font).Extents; }

double TPdfFontMetrics::RunAdvance(const TCustomRVFontInfo& font, std::u16string_view text) {
  TEntry& entry = EntryFor(font);
  TPdfFastWidths& widths = *entry.FastWidths;
  double units = 0;
  for (char16_t c : text) {
    const float width = widths.At(c);
    if (width < 0) return MixedAdvance(entry, text);
    units += width;
  }
  return units * entry.PixelsPerUnit;
}

double TPdfFontMetrics::CharAdvance(const TCustomRVFontInfo& font, char16_t character) {
  return RunAdvance(font, std::u16string_view(&character, 1));
}

const std::vector<TPdfFontSegment>& TPdfFontMetrics::Segments(const TCustomRVFontInfo& font, std::u16string_view text) {
  EntryFor(font).Fonts->Split(text, segments_);
  return segments_;
}

double TPdfFontMetrics::SegmentUnits(const TPdfFontSegment& segment, std::u16string_view text, bool rightToLeft) const {
  const std::u16string_view part = text.substr(segment.Start, segment.Length);
  double units = 0;
  switch (segment.Kind) {
    case TPdfFontKind::kStandard: {
      const TPdfWidthTable& table = static_cast<const TPdfType1Font&>(*segment.Font).WidthTable();
      for (char16_t c : part) units += table[c];
      break;
    }
    case TPdfFontKind::kPlain: {
      const auto& font = static_cast<const TPdfEmbeddedFont&>(*segment.Font);
      // A character no font has may be a surrogate pair: one glyph.
      for (std::size_t i = 0; i < part.size();) {
        UChar32 c = 0;
        U16_NEXT(part.data(), i, part.size(), c);
        units += font.NominalWidth(static_cast<char32_t>(c));
      }
      break;
    }
    case TPdfFontKind::kEmbedded:
      for (const TPdfGlyph& glyph : static_cast<const TPdfEmbeddedFont&>(*segment.Font).Shape(part, rightToLeft)) {
        units += glyph.Advance;
      }
      break;
  }
  return units;
}

double TPdfFontMetrics::MixedAdvance(TEntry& entry, std::u16string_view text) {
  const bool cached = text.size() <= kLongestCachedRun;
  if (cached) {
    if (auto found = entry.Words.find(text); found != entry.Words.end()) return found->second;
  }
  entry.Fonts->Split(text, segments_);
  double units = 0;
  for (const TPdfFontSegment& segment : segments_) {
    const bool rightToLeft =
        segment.Kind == TPdfFontKind::kEmbedded && IsRightToLeft(text.substr(segment.Start, segment.Length));
    units += SegmentUnits(segment, text, rightToLeft);
  }
  const double advance = units * entry.PixelsPerUnit;
  if (cached) {
    if (entry.Words.size() >= kCachedRunsPerFont) entry.Words.clear();
    entry.Words.emplace(text, advance);
  }
  return advance;
}

// Pieces of the segments, in visual order: the bidi runs left to right, the
// segments inside a right-to-left run from its logical end. Fonts that are
// not single-byte get no word spacing from the viewer, so under
// justification they are cut after each space and placed word by word.
void TPdfFontMetrics::OrderVisually(std::u16string_view text, float spaceExtra) {
  pieces_.clear();
  const auto addRun = [&](std::size_t runStart, std::size_t runLength, bool rightToLeft) {
    const std::size_t first = pieces_.size();
    const std::size_t runEnd = runStart + runLength;
    // Segments ascend: start from the one that holds runStart, so that texts
    // of many runs and many segments stay linear.
    const auto holding = std::upper_bound(segments_.begin(), segments_.end(), runStart,
                                          [](std::size_t at, const TPdfFontSegment& s) { return at < s.Start; });
    for (auto s = static_cast<std::size_t>(std::max<std::ptrdiff_t>(holding - segments_.begin() - 1, 0));
         s < segments_.size() && segments_[s].Start < runEnd; ++s) {
      const TPdfFontSegment& segment = segments_[s];
      std::size_t start = std::max(runStart, segment.Start);
      const std::size_t end = std::min(runEnd, segment.Start + segment.Length);
      const bool byWord = spaceExtra > 0 && segment.Kind != TPdfFontKind::kStandard;
      while (start < end) {
        std::size_t cut = end;
        if (byWord) {
          const std::size_t space = text.substr(0, end - 1).find(u' ', start);
          if (space != text.npos) cut = space + 1;
        }
        pieces_.push_back({start, cut - start, s, rightToLeft});
        start = cut;
      }
    }
    if (rightToLeft) std::reverse(pieces_.begin() + static_cast<std::ptrdiff_t>(first), pieces_.end());
  };
  if (!MayHoldRightToLeft(text)) {
    addRun(0, text.size(), false);
    return;
  }
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UBiDi, TBidiCloser> bidi(ubidi_open());
  ubidi_setPara(bidi.get(), text.data(), static_cast<std::int32_t>(text.size()), UBIDI_DEFAULT_LTR, nullptr, &status);
  const std::int32_t runs = U_SUCCESS(status) ? ubidi_countRuns(bidi.get(), &status) : 0;
  if (U_FAILURE(status)) {
    addRun(0, text.size(), false);
    return;
  }
  for (std::int32_t run = 0; run < runs; ++run) {
    std::int32_t start = 0;
    std::int32_t length = 0;
    const UBiDiDirection direction = ubidi_getVisualRun(bidi.get(), run, &start, &length);
    addRun(static_cast<std::size_t>(start), static_cast<std::size_t>(length), direction == UBIDI_RTL);
  }
}

double TPdfFontMetrics::DrawPiece(TPdfCanvas& canvas, const TEntry& entry, const TPiece& piece,
                                  std::u16string_view text) {
  TPdfFontSegment segment = segments_[piece.Segment];
  segment.Start = piece.Start;
  segment.Length = piece.Length;
  canvas.SelectFont(*segment.Font, entry.PointSize);
  const std::u16string_view part = text.substr(piece.Start, piece.Length);
  if (segment.Kind == TPdfFontKind::kEmbedded) {
    const auto& font = static_cast<const TPdfEmbeddedFont&>(*segment.Font);
    const std::vector<TPdfGlyph> glyphs = font.Shape(part, piece.RightToLeft);
    canvas.ShowGlyphs(glyphs, part, piece.RightToLeft);
    double units = 0;
    for (const TPdfGlyph& glyph : glyphs) units += glyph.Advance;
    return units;
  }
  if (piece.RightToLeft) {
    scratch_.clear();
    AppendReversed(part, scratch_);
    canvas.TextShow(scratch_);
  } else {
    canvas.TextShow(part);
  }
  return SegmentUnits(segment, text, piece.RightToLeft);
}

void TPdfFontMetrics::DrawRun(TPdfCanvas& canvas, const TCustomRVFontInfo& font, std::u16string_view text, float x,
                              float baseline, float spaceExtra) {
  if (text.empty()) return;
  const TEntry& entry = EntryFor(font);
  entry.Fonts->Split(text, segments_);
  for (const TPdfFontSegment& segment : segments_) missingCharacters_ += segment.Missing;
  spaceExtra = std::max(spaceExtra, 0.0f);
  OrderVisually(text, spaceExtra);

  canvas.SetFillRgb(TextColor(font.Color));
  canvas.SetWordSpace(spaceExtra);
  canvas.TextBegin();
  const double pointsPerUnit = entry.PointSize / 1000.0;
  double penX = x;
  double lineX = 0;
  bool first = true;
  for (const TPiece& piece : pieces_) {
    const TPdfFontSegment& segment = segments_[piece.Segment];
    const std::u16string_view part = text.substr(piece.Start, piece.Length);
    const double extra = static_cast<double>(spaceExtra) * static_cast<double>(CountSpaces(part));
    // A right-to-left word shows its trailing space on its left.
    const bool extraBefore = piece.RightToLeft && segment.Kind != TPdfFontKind::kStandard;
    if (extraBefore) penX += extra;
    canvas.TextMoveTo(static_cast<float>(penX - lineX), first ? baseline : 0.0f);
    first = false;
    lineX = penX;
    penX += DrawPiece(canvas, entry, piece, text) * pointsPerUnit;
    if (!extraBefore) penX += extra;
  }
  canvas.TextEnd();
}

}  // namespace varnolt
