#include "pdf/PRText.h"

#include <algorithm>
#include <array>
#include <span>

#include "pdf/PdfCanvas.h"

namespace varnolt {

namespace {

// Registry names by style (regular, bold, italic, bold italic) and font name.
constexpr std::array<std::array<std::u16string_view, 7>, 4> kPdfFontNames = {{
    {u"FixedWidth", u"Arial", u"Times-Roman", u"Gothic", u"Mincyo", u"PGothic", u"PMincyo"},
    {u"FixedWidth-Bold", u"Arial-Bold", u"Times-Bold", u"Gothic,Bold", u"Mincyo,Bold", u"PGothic,Bold",
     u"PMincyo,Bold"},
    {u"FixedWidth-Italic", u"Arial-Italic", u"Times-Italic", u"Gothic,Italic", u"Mincyo,Italic", u"PGothic,Italic",
     u"PMincyo,Italic"},
    {u"FixedWidth-BoldItalic", u"Arial-BoldItalic", u"Times-BoldItalic", u"Gothic,BoldItalic", u"Mincyo,BoldItalic",
     u"PGothic,BoldItalic", u"PMincyo,BoldItalic"},
}};

constexpr std::uint8_t kDash[] = {16, 8};
constexpr std::uint8_t kDot[] = {3};
constexpr std::uint8_t kDashDot[] = {8, 7, 2, 7};
constexpr std::uint8_t kDashDotDot[] = {8, 4, 2, 4, 2, 4};

bool IsTrimmed(char16_t c) { return c <= u' '; }

}  // namespace

// ---------------------------------------------------------------- label

void TPRCustomLabel::SetFontColor(TColor color) {
  if (!IsSystemColor(color) && color > kMaxFontColor) throw EPdfInvalidValue("the color you selected is not allowed.");
  fontColor_ = color;
}

void TPRCustomLabel::SetFontSize(float size) {
  if (size > 0) fontSize_ = size;
}

std::u16string_view TPRCustomLabel::PdfFontName() const {
  std::size_t style = (fontBold_ ? 1 : 0) + (fontItalic_ ? 2 : 0);
  return kPdfFontNames.at(style).at(fontName_);
}

// ---------------------------------------------------------------- text

void TPRText::SetLeading(float leading) {
  if (leading >= 0) leading_ = leading;
}

void TPRText::SetLines(std::vector<std::u16string> lines) {
  lines_ = std::move(lines);
  text_.reset();
}

void TPRText::SetText(std::u16string_view text) {
  text = text.substr(0, text.find(u'\0'));
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = std::min(text.find_first_of(u"\r\n", start), text.size());
    lines.emplace_back(text.substr(start, end - start));
    if (end == text.size()) break;
    bool crLf = text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n';
    start = end + (crLf ? 2 : 1);
  }
  SetLines(std::move(lines));
}

const std::u16string& TPRText::Text() const {
  if (!text_) {
    std::u16string joined;
    for (const std::u16string& line : lines_) {
      joined += line;
      joined += u"\r\n";
    }
    auto first = std::find_if_not(joined.begin(), joined.end(), IsTrimmed);
    auto last = std::find_if_not(joined.rbegin(), joined.rend(), IsTrimmed).base();
    text_ = first < last ? std::u16string(first, last) : std::u16string();
  }
  return *text_;
}

void TPRText::PrintTo(TPRCanvas& canvas, const TRect& rect) {
  TPdfCanvas* pdfCanvas = canvas.PdfCanvas();
  if (pdfCanvas == nullptr) throw EPdfInvalidOperation("PrintTo --canvas is null.");
  TPRPage* page = GetPage();
  int pageHeight = page != nullptr ? page->Height() : 0;
  if (Width() <= 1 && Height() <= 1) {
    stopIndex_ = startIndex_;
    return;
  }
  PrintOutline(*pdfCanvas, rect, pageHeight);
  PrintLines(*pdfCanvas, rect, pageHeight);
}

void TPRText::PrintOutline(TPdfCanvas& canvas, const TRect& rect, int pageHeight) const {
  const int width = Width();
  const int height = Height();
  const float x1 = static_cast<float>(rect.Left);
  const float y1 = static_cast<float>(pageHeight - rect.Top);
  const float x2 = static_cast<float>(width > 1 ? rect.Right - 1 : rect.Right);
  const float y2 = static_cast<float>(height > 1 ? pageHeight - rect.Bottom + 1 : pageHeight - rect.Bottom);

  switch (lineStyle_) {
    case psSolid:
    case psInsideFrame: canvas.SetDashPattern({}, 0); break;
    case psDash: canvas.SetDashPattern(kDash, 0); break;
    case psDot: canvas.SetDashPattern(kDot, 0); break;
    case psDashDot: canvas.SetDashPattern(kDashDot, 0); break;
    case psDashDotDot: canvas.SetDashPattern(kDashDotDot, 0); break;
    default: break;
  }

  canvas.PathMoveTo(x1, y1);
  if (width > 1) {
    canvas.PathLineTo(x2, y1);
    if (height > 1) canvas.PathLineTo(x2, y2);
  }
  if (height > 1) canvas.PathLineTo(x1, y2);

  const bool filled = fillColor_ != clNone;
  canvas.SetFillRgb(filled && width > 0 && height > 0 ? fillColor_ : clNone);
  if (lineColor_ != clNone) {
    canvas.SetStrokeRgb(lineColor_);
    canvas.SetPenWidth(lineWidth_);
  }

  const bool thin = width < 2 || height < 2;
  if (thin) {
    canvas.StrokePath();
    canvas.PathEnd();
  } else if (!filled) {
    canvas.CloseAndStrokePath();
  } else if (lineColor_ == clNone || lineStyle_ == psClear) {
    canvas.PathClose();
    canvas.FillPath();
  } else {
    canvas.CloseFillAndStrokePath();
  }
}

void TPRText::PrintLines(TPdfCanvas& canvas, const TRect& rect, int pageHeight) {
  // Text margins are unsigned: widen before subtracting.
  const std::int64_t left = std::int64_t{rect.Left} + textMarginLeft_;
  const std::int64_t top = std::int64_t{rect.Top} + textMarginTop_;
  const std::int64_t right = std::int64_t{rect.Right} - textMarginRight_;
  const std::int64_t bottom = std::int64_t{rect.Bottom} - textMarginBottom_;

  canvas.SelectFont(PdfFontName(), FontSize());
  canvas.SetFillRgb(FontColor());
  canvas.SetCharSpace(CharSpace());
  canvas.SetWordSpace(WordSpace());
  canvas.SetLeading(leading_);

  const std::u16string& text = Text();
  std::size_t start = std::min(startIndex_, text.size());
  std::size_t placed =
      canvas.FlowTextInRect(static_cast<float>(left), static_cast<float>(pageHeight - top), static_cast<float>(right),
                            static_cast<float>(pageHeight - bottom), std::u16string_view(text).substr(start), wordWrap_,
                            lineBreaks_);
  stopIndex_ = start + placed;
}

}  // namespace varnolt
