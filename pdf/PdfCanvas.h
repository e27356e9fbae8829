#pragma once
// The content stream of the current page: paths, colours, line style and
// text, with the text state and the measuring that layout relies on.
// Coordinates are PDF user space, origin bottom-left, y upwards.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/PdfAnnotations.h"
#include "pdf/PdfTypes.h"
#include "platform/Color.h"
#include "platform/LineBreaks.h"

namespace varnolt {

class TPdfDoc;
class TPdfFont;
struct TPdfGlyph;

// Where a wrapped line may break.
enum class TLineBreaks : std::uint8_t {
  kAnyCodeUnit,    // after the last code unit that fits
  kOpportunities,  // after the last space or other line-break opportunity that fits; inside a word only when
                   // the word alone is wider than the line
};

class TPdfCanvasAttribute {
 public:
  static constexpr float kMinCharSpace = -30;
  static constexpr float kMaxCharSpace = 300;
  static constexpr float kMaxFontSize = 300;
  static constexpr float kMaxLeading = 300;
  static constexpr std::uint16_t kMinHorizontalScaling = 10;
  static constexpr std::uint16_t kMaxHorizontalScaling = 300;

  float WordSpace() const { return wordSpace_; }
  float CharSpace() const { return charSpace_; }
  float FontSize() const { return fontSize_; }
  TPdfFont* Font() const { return font_; }
  float Leading() const { return leading_; }
  std::uint16_t HorizontalScaling() const { return horizontalScaling_; }

  // Each validates (EPdfInvalidValue) and stores.
  void SetWordSpace(float value);
  void SetCharSpace(float value);
  void SetFontSize(float value);
  void SetFont(TPdfFont* font) { font_ = font; }
  void SetLeading(float value);
  void SetHorizontalScaling(std::uint16_t value);

  // Width of text with this state (see TPdfCanvas::MeasureWidth).
  float MeasureWidth(std::u16string_view text) const;
  // How many leading code units fit into width.
  std::size_t CountFitting(std::u16string_view text, float width) const;
  // Advance of the code unit at the 1-based position before spacing.
  float ScaledAdvance(std::u16string_view text, std::size_t position) const;
  // The same for a width in thousandths of the font size.
  float ScaledWidth(std::uint16_t width) const;
  // A scaled advance with the spacing that follows the code unit c:
  // character spacing after any code unit with a width, word spacing after
  // a space, each only where asked (the last code unit of a run has none).
  float Spaced(float scaledAdvance, char16_t c, bool charSpace, bool wordSpace) const;

 private:
  float wordSpace_ = 0;
  float charSpace_ = 0;
  float fontSize_ = 0;
  TPdfFont* font_ = nullptr;
  float leading_ = 0;
  std::uint16_t horizontalScaling_ = 100;
};

// x rounded to the nearest hundredth (halves up), at most 15 significant
// digits, no trailing zeros, "." as separator; "0" for infinities and NaN.
std::string FormatReal(float x);
// "r g b" from a colour value 0x00BBGGRR; 0 and system colours (negative
// when read signed) give black.
std::string FormatColor(TColor color);

class TPdfCanvas {
 public:
  explicit TPdfCanvas(TPdfDoc& doc) : doc_(doc) {}

  // Makes page current; saves the text state of the page left and loads
  // (or resets, writing the opening font selection) that of the new one.
  void AttachPage(TPdfDictionary& page);
  // Forgets the page without touching it (its document is gone) and ends
  // silence.
  void Detach();
  TPdfDictionary& GetPage() const;
  TPdfStream* Contents() const { return contents_; }
  void SetPageWidth(int width) { SetMediaBoxItem(2, width); }
  void SetPageHeight(int height) { SetMediaBoxItem(3, height); }

  bool Silent() const { return silent_; }
  void SetSilent(bool silent) { silent_ = silent; }
  // Appends to the current content stream unless silent or without one.
  void WriteContent(std::string_view bytes);

  TPdfCanvasAttribute& Attribute() { return attribute_; }
  const TPdfCanvasAttribute& Attribute() const { return attribute_; }

  void PathMoveTo(float x, float y);
  void PathLineTo(float x, float y);
  void PathClose() { WriteContent("h\n"); }
  void PathEnd() { WriteContent("n\n"); }
  void StrokePath() { WriteContent("S\n"); }
  void CloseAndStrokePath() { WriteContent("s\n"); }
  void FillPath() { WriteContent("f\n"); }
  void CloseFillAndStrokePath() { WriteContent("b\n"); }
  void SetPenWidth(float width);
  void SetDashPattern(std::span<const std::uint8_t> lengths, std::uint8_t phase);
  void SetFillRgb(TColor color);
  void SetStrokeRgb(TColor color);
  // "q" and "Q": the text state the canvas tracks is saved and restored
  // with the graphics state, so that a font selected inside is selected
  // again after.
  void SaveState();
  void RestoreState();
  // Clips what follows (until RestoreState) to the rectangle.
  void ClipToRect(float left, float bottom, float right, float top);
  // Scales what follows about the origin (until RestoreState).
  void Scale(float factor);

  void SetCharSpace(float value);
  void SetWordSpace(float value);
  void SetLeading(float value);
  // "Tz": glyphs at percent of their width, 10 to 300.
  void SetHorizontalScaling(std::uint16_t percent);
  void SelectFont(std::u16string_view registryName, float size);
  // Whether each new page's content opens by selecting Arial at 10 points;
  // a writer that selects a font before all its text may leave it out,
  // which keeps the standard font out of a file whose fonts are all embedded.
  void SetSelectsDefaultFont(bool selects) { selectsDefaultFont_ = selects; }
  // Any font of this document: standard, composite or embedded.
  void SelectFont(TPdfFont& font, float size);
  void TextBegin() { WriteContent("BT\n"); }
  void TextEnd() { WriteContent("ET\n"); }
  void TextMoveTo(float x, float y);
  void TextNextLine() { WriteContent("T*\n"); }
  void TextShow(std::u16string_view text);
  // Shows shaped glyphs of the selected embedded font at the current text
  // position, each at its advance and offset; text is the run's text in
  // logical order. A run whose glyphs would not give back that text through
  // the font's ToUnicode map (a glyph shown before for other text) carries
  // the text as its ActualText. EPdfInvalidOperation when the selected font
  // is not embedded.
  void ShowGlyphs(std::span<const TPdfGlyph> glyphs, std::u16string_view text, bool rightToLeft);

  float MeasureWidth(std::u16string_view text) const { return attribute_.MeasureWidth(text); }
  std::size_t CountFitting(std::u16string_view text, float width) const {
    return attribute_.CountFitting(text, width);
  }
  void ShowFitting(std::u16string_view text, float width) { TextShow(text.substr(0, CountFitting(text, width))); }

  // Flows text into the rectangle line by line, breaking where breaks says
  // (wrap) or cutting each source line (no wrap); top > bottom. A code unit
  // wider than the rectangle still gets a line of its own. Returns the
  // index of the first code unit not placed: where the next line would have
  // started, text.size() when all of it was placed.
  std::size_t FlowTextInRect(float left, float top, float right, float bottom, std::u16string_view text, bool wrap,
                             TLineBreaks breaks = TLineBreaks::kAnyCodeUnit);

  // Images: the first form hands a new image (from an image creator or
  // CreateJpegImage) to the document, which registers and names it once,
  // and returns it registered; the second draws an image this document
  // already holds again (EPdfInvalidOperation "DrawImage --the image is not
  // in this document." for any other). Both put the image into the current
  // page's /Resources /XObject and paint it stretched over rect.
  TPdfImage& DrawImage(std::unique_ptr<TPdfImage> image, const TPdfRect& rect);
  void DrawImage(TPdfImage& image, const TPdfRect& rect);

 private:
  void SetMediaBoxItem(std::size_t index, int value);
  void AppendGlyphArrays(std::string& data, std::span<const TPdfGlyph> glyphs);
  void SaveTextState();
  void LoadTextState();
  void ResetTextState();

  TPdfDoc& doc_;
  TPdfDictionary* page_ = nullptr;
  TPdfStream* contents_ = nullptr;
  TPdfCanvasAttribute attribute_;
  std::vector<TPdfCanvasAttribute> savedAttributes_;
  bool silent_ = false;
  bool selectsDefaultFont_ = true;
  // Made on first use: most documents never ask for it.
  std::unique_ptr<TLineBreakOpportunities> lineBreaks_;

  // Every code unit's scaled advance for one font, size and scaling: the
  // flow reads it once per code unit. nullptr for a font whose widths
  // depend on the neighbouring code units.
  const std::array<float, 65536>* ScaledUnitWidths();
  struct ScaledWidthTable {
    const TPdfFont* font = nullptr;
    float fontSize = 0;
    std::uint16_t horizontalScaling = 0;
    std::unique_ptr<std::array<float, 65536>> widths;
  };
  ScaledWidthTable scaledWidths_;
};

}  // namespace varnolt
