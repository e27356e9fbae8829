#pragma once
// Printable text items: the label properties and the multi-line text frame
// with an optional outline.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/PRControls.h"
#include "pdf/PdfCanvas.h"

namespace varnolt {

enum TPRFontName : std::uint8_t { fnFixedWidth, fnArial, fnTimesRoman, fnGothic, fnMincyo, fnPGothic, fnPMincyo };

enum TPenStyle : std::uint8_t {
  psSolid,
  psDash,
  psDot,
  psDashDot,
  psDashDotDot,
  psClear,
  psInsideFrame,
  psUserStyle,
  psAlternate
};

class TPRCustomLabel : public TPRItem {
 public:
  // Above this a colour value is refused (system colours are negative).
  static constexpr TColor kMaxFontColor = 0x0FFFFFFF;

  std::string_view ClassName() const override { return "TPRCustomLabel"; }

  TColor FontColor() const { return fontColor_; }
  // EPdfInvalidValue above kMaxFontColor; the old colour stays.
  void SetFontColor(TColor color);
  TPRFontName FontName() const { return fontName_; }
  void SetFontName(TPRFontName name) { fontName_ = name; }
  float FontSize() const { return fontSize_; }
  // Stored only when above 0.
  void SetFontSize(float size);
  bool FontBold() const { return fontBold_; }
  void SetFontBold(bool bold) { fontBold_ = bold; }
  bool FontItalic() const { return fontItalic_; }
  void SetFontItalic(bool italic) { fontItalic_ = italic; }
  // Any value; the canvas checks the range when printing.
  float CharSpace() const { return charSpace_; }
  void SetCharSpace(float space) { charSpace_ = space; }
  float WordSpace() const { return wordSpace_; }
  // Any value; the canvas refuses a negative one when printing.
  void SetWordSpace(float space) { wordSpace_ = space; }

  // The font registry name for the name, weight and slant.
  std::u16string_view PdfFontName() const;

 private:
  TColor fontColor_ = clBlack;
  TPRFontName fontName_ = fnGothic;
  float fontSize_ = 9;
  bool fontBold_ = false;
  bool fontItalic_ = false;
  float charSpace_ = 0;
  float wordSpace_ = 0;
};

// A text frame: its lines flowed into its bounds less the text margins,
// with an outline drawn around the bounds.
class TPRText final : public TPRCustomLabel {
 public:
  std::string_view ClassName() const override { return "TPRText"; }

  float Leading() const { return leading_; }
  // Stored only when not negative.
  void SetLeading(float leading);
  const std::vector<std::u16string>& Lines() const;
  void SetLines(std::vector<std::u16string> lines);
  // The lines each followed by CR LF, trimmed of code units up to U+0020 at
  // both ends; valid until the text changes.
  std::u16string_view Text() const { return std::u16string_view(joined_).substr(textStart_, textLength_); }
  // Split into lines at CR LF, CR or LF; a NUL ends the text. Kept as given
  // (moved in) when its line ends are CR LF already.
  void SetText(std::u16string text);

  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wrap) { wordWrap_ = wrap; }
  // Where wrapped lines break; any code unit unless set.
  TLineBreaks LineBreaks() const { return lineBreaks_; }
  void SetLineBreaks(TLineBreaks breaks) { lineBreaks_ = breaks; }
  float LineWidth() const { return lineWidth_; }
  void SetLineWidth(float width) { lineWidth_ = width; }
  TColor LineColor() const { return lineColor_; }
  void SetLineColor(TColor color) { lineColor_ = color; }
  TPenStyle LineStyle() const { return lineStyle_; }
  void SetLineStyle(TPenStyle style) { lineStyle_ = style; }
  TColor FillColor() const { return fillColor_; }
  void SetFillColor(TColor color) { fillColor_ = color; }
  std::uint32_t TextMarginTop() const { return textMarginTop_; }
  std::uint32_t TextMarginBottom() const { return textMarginBottom_; }
  std::uint32_t TextMarginLeft() const { return textMarginLeft_; }
  std::uint32_t TextMarginRight() const { return textMarginRight_; }
  void SetTextMarginTop(std::uint32_t margin) { textMarginTop_ = margin; }
  void SetTextMarginBottom(std::uint32_t margin) { textMarginBottom_ = margin; }
  void SetTextMarginLeft(std::uint32_t margin) { textMarginLeft_ = margin; }
  void SetTextMarginRight(std::uint32_t margin) { textMarginRight_ = margin; }

  // Printing flows Text from StartIndex on, so that a long text can go on
  // over several report pages; StopIndex is where the last print stopped
  // (the first code unit of Text it did not place, Text's length when all
  // of it was placed).
  std::size_t StartIndex() const { return startIndex_; }
  void SetStartIndex(std::size_t index) { startIndex_ = index; }
  std::size_t StopIndex() const { return stopIndex_; }

  void PrintTo(TPRCanvas& canvas, const TRect& rect) override;

 private:
  void PrintOutline(TPdfCanvas& canvas, const TRect& rect, int pageHeight) const;
  void PrintLines(TPdfCanvas& canvas, const TRect& rect, int pageHeight);

  float leading_ = 12;
  void SetJoined(std::u16string joined);

  // The lines joined with CR LF: Text is a part of it, Lines split from it
  // when first asked for.
  std::u16string joined_;
  std::size_t textStart_ = 0;
  std::size_t textLength_ = 0;
  mutable std::optional<std::vector<std::u16string>> lines_ = std::vector<std::u16string>();
  bool wordWrap_ = true;
  TLineBreaks lineBreaks_ = TLineBreaks::kAnyCodeUnit;
  float lineWidth_ = 1;
  TColor lineColor_ = clBlack;
  TPenStyle lineStyle_ = psClear;
  TColor fillColor_ = clNone;
  std::uint32_t textMarginTop_ = 0;
  std::uint32_t textMarginBottom_ = 0;
  std::uint32_t textMarginLeft_ = 0;
  std::uint32_t textMarginRight_ = 0;
  std::size_t startIndex_ = 0;
  std::size_t stopIndex_ = 0;
};

}  // namespace varnolt
