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

namespace {

// Every line end as CR LF; text whose ends are all CR LF comes back as it is.
std::u16string WithCrLfLineEnds(std::u16string text) {
  std::size_t loneEnds = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      ++i;
    } else if (text[i] == u'\r' || text[i] == u'\n') {
      ++loneEnds;
    }
  }
  if (loneEnds == 0) return text;
  std::u16string normalised;
  normalised.reserve(text.size() + loneEnds);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' || text[i] == u'\n') {
      normalised += u"\r\n";
      if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      normalised += text[i];
    }
  }
  return normalised;
}

}  // namespace

void TPRText::SetJoined(std::u16string joined) {
  joined_ = std::move(joined);
  auto first = std::find_if_not(joined_.begin(), joined_.end(), IsTrimmed);
  auto last = std::find_if_not(joined_.rbegin(), joined_.rend(), IsTrimmed).base();
  textStart_ = first < last ? static_cast<std::size_t>(first - joined_.begin()) : 0;
  textLength_ = first < last ? static_cast<std::size_t>(last - first) : 0;
}

void TPRText::SetLines(std::vector<std::u16string> lines) {
  std::u16string joined;
  for (const std::u16string& line : lines) {
    joined += line;
    joined += u"\r\n";
  }
  SetJoined(std::move(joined));
  lines_ = std::move(lines);
}

void TPRText::SetText(std::u16string text) {
  text.resize(std::min(text.find(u'\0'), text.size()));
  SetJoined(WithCrLfLineEnds(std::move(text)));
  lines_.reset();
}

const std::vector<std::u16string>& TPRText::Lines() const {
  if (!lines_) {
    std::vector<std::u16string> lines;
    const std::u16string_view text(joined_);
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t end = std::min(text.find(u"\r\n", start), text.size());
      lines.emplace_back(text.substr(start, end - start));
      start = end + 2;
    }
    lines_ = std::move(lines);
  }
  return *lines_;
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

  const std::u16string_view text = Text();
  std::size_t start = std::min(startIndex_, text.size());
  std::size_t placed =
      canvas.FlowTextInRect(static_cast<float>(left), static_cast<float>(pageHeight - top), static_cast<float>(right),
                            static_cast<float>(pageHeight - bottom), text.substr(start), wordWrap_, lineBreaks_);
  stopIndex_ = start + placed;
}

}  // namespace varnolt
