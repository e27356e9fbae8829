#pragma once
// Layout metrics over PDF fonts, and the drawing of text runs with them.
// Layout units are pixels at 96 per inch (font sizes are points): everything
// returned is in pixels; DrawRun takes PDF points.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "app/PdfFontChoice.h"
#include "richtext/layout/RVFontMetrics.h"

namespace varnolt {

class TPdfCanvas;
class TPdfDoc;

class TPdfFontMetrics : public TRVFontMetrics {
 public:
  // Fonts are created in doc on first use, so it must have an open
  // document; they are kept, so each document needs metrics of its own.
  explicit TPdfFontMetrics(TPdfDoc& doc);
  ~TPdfFontMetrics() override;

  // From the style's main font: its ascent, descent and line gap.
  TRVFontExtents Extents(const TCustomRVFontInfo& font) override;
  double RunAdvance(const TCustomRVFontInfo& font, std::u16string_view text) override;
  double CharAdvance(const TCustomRVFontInfo& font, char16_t character) override;

  // Draws the run (logical order) with its left end at x and its baseline at
  // y, in PDF points, each space widened by spaceExtra points
  // (justification): fonts chosen per character, bidi ordered, shaped;
  // colour and size from font. The baseline is the run's own: the layout has
  // already raised or lowered it for VShift and sub- or superscript.
  // Underline and strike-out are the caller's.
  void DrawRun(TPdfCanvas& canvas, const TCustomRVFontInfo& font, std::u16string_view text, float x, float baseline,
               float spaceExtra);

  // Characters drawn so far that no font has (shown in a neighbour's font).
  std::size_t MissingCharacters() const { return missingCharacters_; }
  // The runs one font shows, as measuring and drawing split the text.
  const std::vector<TPdfFontSegment>& Segments(const TCustomRVFontInfo& font, std::u16string_view text);

 private:
  struct TEntry;
  struct TKnown;
  struct TPiece;
  TEntry& EntryFor(const TCustomRVFontInfo& font);
  TPdfStyleFonts& StyleFontsFor(const std::u16string& family, bool bold, bool italic);
  double SegmentUnits(const TPdfFontSegment& segment, std::u16string_view text, bool rightToLeft) const;
  double MixedAdvance(TEntry& entry, std::u16string_view text);
  void OrderVisually(std::u16string_view text, float spaceExtra);
  // Returns the piece's advance in thousandths of the font size.
  double DrawPiece(TPdfCanvas& canvas, const TEntry& entry, const TPiece& piece, std::u16string_view text);

  TPdfDoc& doc_;
  std::unordered_map<std::u16string, std::unique_ptr<TEntry>> entries_;
  std::unordered_map<const TCustomRVFontInfo*, std::unique_ptr<TKnown>> byStyle_;
  const TCustomRVFontInfo* lastStyle_ = nullptr;
  TKnown* lastKnown_ = nullptr;
  std::unordered_map<std::u16string, std::unique_ptr<TPdfStyleFonts>> styleFonts_;
  // Reused between runs so that measuring mixed text does not allocate.
  std::vector<TPdfFontSegment> segments_;
  std::vector<TPiece> pieces_;
  std::u16string scratch_;
  std::size_t missingCharacters_ = 0;
};

}  // namespace varnolt
