#include "pdf/PdfCanvas.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "pdf/PdfDoc.h"
#include "pdf/PdfEmbeddedFont.h"
#include "pdf/PdfFonts.h"

namespace varnolt {

namespace {

constexpr char16_t kSpace = u' ';
constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';
// The first baseline sits this many font sizes below the top of a text rectangle.
constexpr double kFirstBaselineDrop = 0.85;
// Thousandths of the font size the viewer's pen may stray from HarfBuzz's.
constexpr double kGlyphDriftTolerance = 0.25;
// Marked content with ActualText came with PDF 1.5.
constexpr int kActualTextMinorVersion = 5;
// Below this FormatReal's general notation would switch to an exponent.
constexpr double kLargestPlainReal = 1e15;

// Below this a number of hundredths is printed by integer arithmetic, which
// gives the very digits of the general notation many times faster: every
// text position and colour goes through it.
constexpr double kLargestExactHundredths = 1e15;

std::string FormatHundredths(std::int64_t hundredths) {
  char text[32];
  char* end = text;
  if (hundredths < 0) *end++ = '-';
  const std::uint64_t magnitude = hundredths < 0 ? 0 - static_cast<std::uint64_t>(hundredths) : hundredths;
  end = std::to_chars(end, text + sizeof text, magnitude / 100).ptr;
  const auto fraction = static_cast<unsigned>(magnitude % 100);
  if (fraction != 0) {
    *end++ = '.';
    *end++ = static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) *end++ = static_cast<char>('0' + fraction % 10);
  }
  return std::string(text, end);
}

// Keys of the hidden page entries that keep a page's text state while the
// canvas is elsewhere.
constexpr std::u16string_view kFontKey = u"_Font";
constexpr std::u16string_view kFontSizeKey = u"_Font_Size";
constexpr std::u16string_view kWordSpaceKey = u"_Word_Space";
constexpr std::u16string_view kCharSpaceKey = u"_Char_Space";
constexpr std::u16string_view kHorizontalScalingKey = u"_HScalling";
constexpr std::u16string_view kLeadingKey = u"_Leading";

float ToFloat(double value) { return static_cast<float>(value); }

std::string AsciiOf(std::u16string_view text) {
  std::string bytes;
  for (char16_t c : text) bytes.push_back(static_cast<char>(c));
  return bytes;
}

float RealOr(const TPdfDictionary& page, std::u16string_view key, float fallback) {
  TPdfReal* real = page.LookupReal(key);
  return real != nullptr ? static_cast<float>(real->Value()) : fallback;
}

// Measures a line as it grows at its end, one code unit at a time, with
// exactly the float steps of measuring the whole line each time (a code
// unit's width never depends on what follows it): the advances of all but
// the last code unit are final, the last one has no word spacing yet. It
// keeps each code unit's scaled advance and the sums of the line's starts,
// so that counting what fits needs neither the font nor a second walk.
class LineMeter {
 public:
  LineMeter(const TPdfCanvasAttribute& attribute, const std::array<float, 65536>* scaledWidths, float width)
      : attribute_(attribute), scaledWidths_(scaledWidths), width_(width) {}

  // line ends with the code unit just added.
  void Push(std::u16string_view line) {
    saved_ = state_;
    if (line.size() > 1) {
      const float sum = ToFloat(sums_.back() + attribute_.Spaced(advances_.back(), line[line.size() - 2], true, true));
      if (state_.firstOver == 0 && sum > width_) state_.firstOver = sums_.size();
      sums_.push_back(sum);
    }
    advances_.push_back(scaledWidths_ != nullptr ? (*scaledWidths_)[line.back()]
                                                 : attribute_.ScaledAdvance(line, line.size()));
    state_.last = attribute_.Spaced(advances_.back(), line.back(), true, false);
  }

  // Pushes the code units of the line (from lineStart) from at on while
  // each fits the width or is a space, which may hang past the edge when
  // spacesHang; stops at a CR LF or the end of the text, or after pushing
  // one that does not fit (then Overflowing). Returns where it stopped. One
  // loop with its state in registers: this is where a long text spends its
  // time.
  std::size_t PushWhileFitting(std::u16string_view text, std::size_t lineStart, std::size_t at, bool spacesHang) {
    overflowing_ = false;
    for (; at < text.size(); ++at) {
      if (text[at] == kCr && at + 1 < text.size() && text[at + 1] == kLf) break;
      Push(text.substr(lineStart, at + 1 - lineStart));
      if (Width() <= width_ || (spacesHang && text[at] == kSpace)) continue;
      overflowing_ = true;
      break;
    }
    return at;
  }
  bool Overflowing() const { return overflowing_; }

  // Undoes the last Push.
  void Pop() {
    state_ = saved_;
    advances_.pop_back();
    if (sums_.size() > std::max<std::size_t>(advances_.size(), 1)) sums_.pop_back();
  }

  float Width() const {
    float sum = advances_.empty() ? 0.0f : ToFloat(sums_.back() + state_.last);
    return ToFloat(sum - attribute_.CharSpace());
  }

  // TPdfCanvasAttribute::CountFitting over the measured line or a start of
  // it (width as given at construction): every code unit but the last adds
  // its spaced advance, so the sums kept answer for them.
  std::size_t CountFitting(std::u16string_view line) const {
    if (line.empty()) return 0;
    const std::size_t n = line.size();
    if (state_.firstOver != 0 && state_.firstOver <= n - 1) return state_.firstOver - 1;
    const float sum = ToFloat(sums_[n - 1] + attribute_.Spaced(advances_[n - 1], line[n - 1], false, false));
    return sum > width_ ? n - 1 : n;
  }

  void Clear() {
    state_ = saved_ = State{};
    advances_.clear();
    sums_.assign(1, 0.0f);
  }

 private:
  struct State {
    float last = 0;
    // The fewest leading code units whose spaced advances pass the width; 0
    // while none do.
    std::size_t firstOver = 0;
  };

  const TPdfCanvasAttribute& attribute_;
  const std::array<float, 65536>* scaledWidths_;
  const float width_;
  State state_;
  State saved_;
  std::vector<float> advances_;
  // sums_[k]: the spaced advances of the first k code units, as counted.
  std::vector<float> sums_ = {0.0f};
  bool overflowing_ = false;
};

}  // namespace

// ---------------------------------------------------------------- attribute

void TPdfCanvasAttribute::SetWordSpace(float value) {
  if (!(value >= 0)) throw EPdfInvalidValue("SetWordSpace --invalid word space");
  wordSpace_ = value;
}

void TPdfCanvasAttribute::SetCharSpace(float value) {
  if (!(value >= kMinCharSpace && value <= kMaxCharSpace)) throw EPdfInvalidValue("SetCharSpace --invalid char space");
  charSpace_ = value;
}

void TPdfCanvasAttribute::SetFontSize(float value) {
  if (!(value >= 0 && value <= kMaxFontSize)) throw EPdfInvalidValue("SetCharSpace --invalid font size");
  fontSize_ = value;
}

void TPdfCanvasAttribute::SetLeading(float value) {
  if (!(value >= 0 && value <= kMaxLeading)) throw EPdfInvalidValue("SetLeading --invalid font size");
  leading_ = value;
}

void TPdfCanvasAttribute::SetHorizontalScaling(std::uint16_t value) {
  if (value < kMinHorizontalScaling || value > kMaxHorizontalScaling) {
    throw EPdfInvalidValue("SetHorizontalScaling --invalid font size");
  }
  horizontalScaling_ = value;
}

float TPdfCanvasAttribute::ScaledAdvance(std::u16string_view text, std::size_t position) const {
  return ScaledWidth(font_ != nullptr ? font_->WidthOf(text, position) : 0);
}

float TPdfCanvasAttribute::ScaledWidth(std::uint16_t width) const {
  float advance = ToFloat(static_cast<double>(width) * fontSize_ / 1000);
  if (horizontalScaling_ != 100) advance = ToFloat(horizontalScaling_ * static_cast<double>(advance) / 100);
  return advance;
}

float TPdfCanvasAttribute::Spaced(float scaledAdvance, char16_t c, bool charSpace, bool wordSpace) const {
  // Zero-width code units get no character spacing.
  float advance = scaledAdvance > 0 ? (charSpace ? ToFloat(scaledAdvance + charSpace_) : scaledAdvance) : 0.0f;
  if (c == kSpace && wordSpace_ > 0 && wordSpace) advance = ToFloat(advance + wordSpace_);
  return advance;
}

float TPdfCanvasAttribute::MeasureWidth(std::u16string_view text) const {
  float sum = 0;
  for (std::size_t i = 1; i <= text.size(); ++i) {
    sum = ToFloat(sum + Spaced(ScaledAdvance(text, i), text[i - 1], true, i != text.size()));
  }
  return ToFloat(sum - charSpace_);
}

std::size_t TPdfCanvasAttribute::CountFitting(std::u16string_view text, float width) const {
  float sum = 0;
  for (std::size_t i = 1; i <= text.size(); ++i) {
    bool last = i == text.size();
    sum = ToFloat(sum + Spaced(ScaledAdvance(text, i), text[i - 1], !last, !last));
    if (sum > width) return i - 1;
  }
  return text.size();
}

// ---------------------------------------------------------------- numbers

std::string FormatReal(float x) {
  // Not a number a content stream could carry.
  if (!std::isfinite(x)) return "0";
  const double hundredths = std::floor(static_cast<double>(x) * 100 + 0.5);
  if (std::fabs(hundredths) < kLargestExactHundredths) return FormatHundredths(static_cast<std::int64_t>(hundredths));
  double rounded = hundredths / 100;
  char text[64];
  const char* format = std::fabs(rounded) < kLargestPlainReal ? "%.15g" : "%.0f";
  int length = std::snprintf(text, sizeof text, format, rounded);
  return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::string FormatColor(TColor color) {
  std::uint32_t value = static_cast<std::int32_t>(color) > 0 ? color : 0;
  auto component = [value](int shift) { return FormatReal(ToFloat(((value >> shift) & 0xFF) / 255.0)); };
  return component(0) + " " + component(8) + " " + component(16);
}

// ---------------------------------------------------------------- pages

void TPdfCanvas::AttachPage(TPdfDictionary& page) {
  if (page_ != nullptr) SaveTextState();
  page_ = &page;
  savedAttributes_.clear();
  contents_ = dynamic_cast<TPdfStream*>(page.Lookup(u"Contents"));
  if (page.Lookup(kFontKey) != nullptr) {
    LoadTextState();
  } else {
    ResetTextState();
  }
}

void TPdfCanvas::Detach() {
  // The next document's fonts may come to the same addresses.
  scaledWidths_ = {};
  page_ = nullptr;
  contents_ = nullptr;
  attribute_.SetFont(nullptr);
  // Only a measuring document is silent; the next document may write.
  silent_ = false;
}

TPdfDictionary& TPdfCanvas::GetPage() const {
  if (page_ == nullptr) throw EPdfInvalidOperation("GetPage --the Page is nil");
  return *page_;
}

void TPdfCanvas::SetMediaBoxItem(std::size_t index, int value) {
  TPdfArray* mediaBox = GetPage().LookupArray(u"MediaBox");
  if (mediaBox == nullptr) return;
  if (auto* number = dynamic_cast<TPdfNumber*>(mediaBox->GetItem(index))) number->SetValue(value);
}

void TPdfCanvas::SaveTextState() {
  if (attribute_.Font() != nullptr) {
    page_->PutHidden(kFontKey, std::make_unique<TPdfName>(attribute_.Font()->RegistryName()));
  }
  page_->PutHidden(kFontSizeKey, std::make_unique<TPdfReal>(attribute_.FontSize()));
  page_->PutHidden(kWordSpaceKey, std::make_unique<TPdfReal>(attribute_.WordSpace()));
  page_->PutHidden(kCharSpaceKey, std::make_unique<TPdfReal>(attribute_.CharSpace()));
  page_->PutHidden(kHorizontalScalingKey, std::make_unique<TPdfNumber>(attribute_.HorizontalScaling()));
  page_->PutHidden(kLeadingKey, std::make_unique<TPdfReal>(attribute_.Leading()));
}

void TPdfCanvas::LoadTextState() {
  TPdfName* font = page_->LookupName(kFontKey);
  attribute_.SetFont(font != nullptr ? &doc_.GetFont(font->Value()) : nullptr);
  attribute_.SetFontSize(RealOr(*page_, kFontSizeKey, attribute_.FontSize()));
  attribute_.SetWordSpace(RealOr(*page_, kWordSpaceKey, attribute_.WordSpace()));
  attribute_.SetCharSpace(RealOr(*page_, kCharSpaceKey, attribute_.CharSpace()));
  if (TPdfNumber* scaling = page_->LookupNumber(kHorizontalScalingKey)) {
    attribute_.SetHorizontalScaling(static_cast<std::uint16_t>(scaling->Value()));
  }
  attribute_.SetLeading(RealOr(*page_, kLeadingKey, attribute_.Leading()));
}

// Every new page's content opens with the default font selection.
void TPdfCanvas::ResetTextState() {
  attribute_.SetFont(nullptr);
  if (selectsDefaultFont_) SelectFont(u"Arial", 10);
  attribute_.SetCharSpace(0);
  attribute_.SetWordSpace(0);
  attribute_.SetHorizontalScaling(100);
  attribute_.SetLeading(0);
}

void TPdfCanvas::WriteContent(std::string_view bytes) {
  if (silent_ || contents_ == nullptr) return;
  contents_->Data().append(bytes);
}

// ---------------------------------------------------------------- operators

void TPdfCanvas::PathMoveTo(float x, float y) { WriteContent(FormatReal(x) + " " + FormatReal(y) + " m\n"); }

void TPdfCanvas::PathLineTo(float x, float y) { WriteContent(FormatReal(x) + " " + FormatReal(y) + " l\n"); }

void TPdfCanvas::SetPenWidth(float width) { WriteContent(FormatReal(width) + " w\n"); }

void TPdfCanvas::SetDashPattern(std::span<const std::uint8_t> lengths, std::uint8_t phase) {
  if (lengths.empty() || lengths[0] == 0) {
    WriteContent("[] 0 d\n");
    return;
  }
  std::string pattern = "[";
  for (std::uint8_t length : lengths) pattern += std::to_string(length) + " ";
  WriteContent(pattern + "] " + std::to_string(phase) + " d\n");
}

void TPdfCanvas::SetFillRgb(TColor color) { WriteContent(FormatColor(color) + " rg\n"); }

void TPdfCanvas::SetStrokeRgb(TColor color) { WriteContent(FormatColor(color) + " RG\n"); }

void TPdfCanvas::SaveState() {
  WriteContent("q\n");
  savedAttributes_.push_back(attribute_);
}

void TPdfCanvas::RestoreState() {
  if (savedAttributes_.empty()) throw EPdfInvalidOperation("RestoreState --no state saved");
  WriteContent("Q\n");
  attribute_ = savedAttributes_.back();
  savedAttributes_.pop_back();
}

void TPdfCanvas::ClipToRect(float left, float bottom, float right, float top) {
  WriteContent(FormatReal(left) + " " + FormatReal(bottom) + " " + FormatReal(right - left) + " " +
               FormatReal(top - bottom) + " re\nW\nn\n");
}

void TPdfCanvas::Scale(float factor) {
  // Four decimals: a hundredth would move the far side of a wide table.
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", static_cast<double>(factor));
  WriteContent(std::string(text) + " 0 0 " + text + " 0 0 cm\n");
}

void TPdfCanvas::SetCharSpace(float value) {
  if (value == attribute_.CharSpace()) return;
  attribute_.SetCharSpace(value);
  WriteContent(FormatReal(value) + " Tc\n");
}

void TPdfCanvas::SetWordSpace(float value) {
  if (value == attribute_.WordSpace()) return;
  attribute_.SetWordSpace(value);
  WriteContent(FormatReal(value) + " Tw\n");
}

void TPdfCanvas::SetHorizontalScaling(std::uint16_t percent) {
  if (percent == attribute_.HorizontalScaling()) return;
  attribute_.SetHorizontalScaling(percent);
  WriteContent(std::to_string(percent) + " Tz\n");
}

void TPdfCanvas::SetLeading(float value) {
  if (value == attribute_.Leading()) return;
  attribute_.SetLeading(value);
  WriteContent(FormatReal(value) + " TL\n");
}

void TPdfCanvas::SelectFont(std::u16string_view registryName, float size) {
  SelectFont(doc_.GetFont(registryName), size);
}

void TPdfCanvas::SelectFont(TPdfFont& font, float size) {
  if (&font == attribute_.Font() && size == attribute_.FontSize()) return;
  TPdfName* resourceName = font.Dictionary().LookupName(u"Name");
  std::u16string name = resourceName != nullptr ? resourceName->Value() : std::u16string();
  TPdfDictionary* resources = GetPage().LookupDictionary(u"Resources");
  TPdfDictionary* fonts = resources != nullptr ? resources->LookupDictionary(u"Font") : nullptr;
  if (fonts != nullptr && fonts->Lookup(name) == nullptr) fonts->Put(name, font.Dictionary());
  if (contents_ != nullptr) WriteContent("/" + AsciiOf(name) + " " + FormatReal(size) + " Tf\n");
  attribute_.SetFont(&font);
  // A size out of range is refused after the operator went out.
  attribute_.SetFontSize(size);
}

void TPdfCanvas::TextMoveTo(float x, float y) { WriteContent(FormatReal(x) + " " + FormatReal(y) + " Td\n"); }

void TPdfCanvas::TextShow(std::u16string_view text) {
  if (silent_ || contents_ == nullptr) return;
  std::string& data = contents_->Data();
  data.push_back('<');
  if (attribute_.Font() != nullptr) {
    attribute_.Font()->AppendHexCodes(text, data);
  } else {
    AppendUtf16Hex(text, data);
  }
  data.append("> Tj\n");
}

void TPdfCanvas::ShowGlyphs(std::span<const TPdfGlyph> glyphs, std::u16string_view text, bool rightToLeft) {
  auto* font = dynamic_cast<TPdfEmbeddedFont*>(attribute_.Font());
  if (font == nullptr) throw EPdfInvalidOperation("ShowGlyphs --the selected font is not an embedded font.");
  if (silent_ || contents_ == nullptr || glyphs.empty()) return;
  const bool extractsExactly = font->RecordShown(glyphs, text, rightToLeft);
  std::string& data = contents_->Data();
  if (!extractsExactly) {
    doc_.RequireVersion(kActualTextMinorVersion);
    data.append("/Span <</ActualText <FEFF");
    AppendUtf16Hex(text, data);
    data.append(">>> BDC\n");
  }
  AppendGlyphArrays(data, glyphs);
  if (!extractsExactly) data.append("EMC\n");
}

// The glyphs as TJ arrays of two-byte glyph ids. The viewer advances each
// glyph by its W width plus the character spacing; a number in the array
// moves the pen to where HarfBuzz put the next glyph, and the run ends where
// its advances end. A glyph raised or lowered gets a TJ of its own under a
// text rise.
void TPdfCanvas::AppendGlyphArrays(std::string& data, std::span<const TPdfGlyph> glyphs) {
  const auto& font = static_cast<const TPdfEmbeddedFont&>(*attribute_.Font());
  const float size = attribute_.FontSize();
  const double charSpace = size > 0 ? attribute_.CharSpace() * 1000.0 / size : 0;
  double viewerX = 0;  // where the viewer's pen is, thousandths of the font size
  float rise = 0;
  bool open = false;
  bool inHex = false;  // glyphs with no number between them share one string
  auto openArray = [&] {
    if (!open) data.push_back('[');
    open = true;
  };
  auto closeHex = [&] {
    if (inHex) data.push_back('>');
    inHex = false;
  };
  auto moveTo = [&](double x) {
    // Drift below a quarter of a thousandth of an em is invisible; letting
    // it add up spares a number after nearly every glyph.
    if (std::fabs(viewerX - x) < kGlyphDriftTolerance) return;
    openArray();
    closeHex();
    if (data.back() != '[') data.push_back(' ');
    data.append(FormatReal(ToFloat(viewerX - x)));
    viewerX = x;
  };
  auto close = [&] {
    closeHex();
    if (open) data.append("] TJ\n");
    open = false;
  };
  auto show = [&](const TPdfGlyph& glyph, double penX) {
    if (glyph.OffsetY != rise) {
      close();
      rise = glyph.OffsetY;
      data.append(FormatReal(ToFloat(rise * static_cast<double>(size) / 1000)) + " Ts\n");
    }
    moveTo(penX + glyph.OffsetX);
    openArray();
    if (!inHex) {
      if (data.back() != '[') data.push_back(' ');
      data.push_back('<');
      inHex = true;
    }
    AppendCodeHex(static_cast<std::uint16_t>(glyph.Id), data);
    viewerX += font.GlyphWidth(glyph.Id) + charSpace;
  };

  double penX = 0;  // where HarfBuzz's pen is
  for (const TPdfGlyph& glyph : glyphs) {
    show(glyph, penX);
    penX += glyph.Advance;
  }
  moveTo(penX);
  close();
  if (rise != 0) data.append("0 Ts\n");
}

// ---------------------------------------------------------------- flowing

const std::array<float, 65536>* TPdfCanvas::ScaledUnitWidths() {
  const TPdfFont* font = attribute_.Font();
  const std::array<std::uint16_t, 65536>* unitWidths = font != nullptr ? font->UnitWidths() : nullptr;
  if (unitWidths == nullptr) return nullptr;
  ScaledWidthTable& table = scaledWidths_;
  if (table.widths == nullptr || table.font != font || table.fontSize != attribute_.FontSize() ||
      table.horizontalScaling != attribute_.HorizontalScaling()) {
    if (table.widths == nullptr) table.widths = std::make_unique<std::array<float, 65536>>();
    for (std::size_t unit = 0; unit < unitWidths->size(); ++unit) {
      (*table.widths)[unit] = attribute_.ScaledWidth((*unitWidths)[unit]);
    }
    table.font = font;
    table.fontSize = attribute_.FontSize();
    table.horizontalScaling = attribute_.HorizontalScaling();
  }
  return table.widths.get();
}

std::size_t TPdfCanvas::FlowTextInRect(float left, float top, float right, float bottom, std::u16string_view text,
                                       bool wrap, TLineBreaks breaks) {
  const float fontSize = attribute_.FontSize();
  const float width = ToFloat(static_cast<double>(right) - left);
  // Lines advance by the leading rounded half to even, the viewer by the exact TL.
  const float lineStep = ToFloat(std::nearbyint(static_cast<double>(attribute_.Leading())));
  const bool atOpportunities = wrap && breaks == TLineBreaks::kOpportunities;
  if (atOpportunities) {
    if (!lineBreaks_) lineBreaks_ = std::make_unique<TLineBreakOpportunities>();
    lineBreaks_->Reset(text);
  }
  TextBegin();
  TextMoveTo(left, ToFloat(top - kFirstBaselineDrop * fontSize));

  // The line is always a run of the text: it starts at lineStart and holds
  // lineLength code units.
  std::size_t lineStart = 0;
  std::size_t lineLength = 0;
  LineMeter meter(attribute_, ScaledUnitWidths(), width);
  float y = top;
  std::size_t i = 0;
  std::size_t stopAt = text.size();
  auto line = [&] { return text.substr(lineStart, lineLength); };
  // What fits of the line; a code unit wider than the whole rectangle is
  // shown all the same rather than lost.
  auto showLine = [&] { TextShow(line().substr(0, std::max<std::size_t>(meter.CountFitting(line()), 1))); };
  // Shows the line, moves down and starts the next line at next; true when
  // that line would fall below the bottom.
  auto endLine = [&](std::size_t next) {
    if (lineLength > 0) {
      showLine();
    } else {
      TextShow({});
    }
    meter.Clear();
    lineStart = next;
    lineLength = 0;
    y = ToFloat(y - lineStep);
    return static_cast<double>(bottom) + fontSize > y;
  };
  // Where a wrapped line that cannot take the code unit at overflow ends.
  auto wrapAt = [&](std::size_t overflow) {
    if (!atOpportunities) return overflow;
    std::size_t opportunity = lineBreaks_->LastAtOrBefore(overflow);
    return opportunity > lineStart ? opportunity : overflow;
  };

  while (i < text.size()) {
    if (i + 1 < text.size() && text[i] == kCr && text[i + 1] == kLf) {
      i += 2;
      if (endLine(i)) {
        stopAt = i;
        break;
      }
      TextNextLine();
      continue;
    }
    // Spaces before a break may hang past the right edge: the break comes after them.
    i = meter.PushWhileFitting(text, lineStart, i, atOpportunities);
    lineLength = i - lineStart;
    if (!meter.Overflowing()) continue;
    ++lineLength;
    if (lineLength == 1) {
      // Too wide on its own: it gets a line of its own.
      ++i;
      if (endLine(i)) {
        stopAt = i;
        break;
      }
      TextNextLine();
      continue;
    }
    --lineLength;
    meter.Pop();
    if (wrap) {
      i = wrapAt(i);
      lineLength = i - lineStart;
      if (endLine(i)) {
        stopAt = i;
        break;
      }
      TextNextLine();
      continue;
    }
    // No wrap: the rest of the source line is dropped, narrow code units
    // that would still fit included, so the line is cut, not garbled.
    std::size_t lineEnd = std::min(text.find(u"\r\n", i), text.size());
    if (static_cast<double>(bottom) + fontSize > y) {
      stopAt = lineEnd == text.size() ? lineEnd : lineEnd + 2;
      break;
    }
    i = lineEnd;
  }
  if (lineLength > 0) showLine();
  TextEnd();
  return stopAt;
}

// ---------------------------------------------------------------- images

TPdfImage& TPdfCanvas::DrawImage(std::unique_ptr<TPdfImage> image, const TPdfRect& rect) {
  GetPage();
  TPdfImage& registered = doc_.AddImage(std::move(image));
  DrawImage(registered, rect);
  return registered;
}

void TPdfCanvas::DrawImage(TPdfImage& image, const TPdfRect& rect) {
  TPdfDictionary& page = GetPage();
  if (!doc_.OwnsImage(image)) throw EPdfInvalidOperation("DrawImage --the image is not in this document.");
  TPdfName* resourceName = image.Dictionary().LookupName(u"Name");
  const std::u16string name = resourceName != nullptr ? resourceName->Value() : std::u16string();
  TPdfDictionary* resources = page.LookupDictionary(u"Resources");
  if (resources == nullptr) resources = &page.Put(u"Resources", std::make_unique<TPdfDictionary>(&doc_.Xref()));
  TPdfDictionary* xObjects = resources->LookupDictionary(u"XObject");
  if (xObjects == nullptr) xObjects = &resources->Put(u"XObject", std::make_unique<TPdfDictionary>(&doc_.Xref()));
  if (xObjects->Lookup(name) == nullptr) xObjects->Put(name, image);
  WriteContent("q\n" + FormatReal(rect.Width()) + " 0 0 " + FormatReal(rect.Height()) + " " + FormatReal(rect.Left) +
               " " + FormatReal(rect.Bottom) + " cm\n/" + AsciiOf(name) + " Do\nQ\n");
}

}  // namespace varnolt
