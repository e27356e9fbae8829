#include "app/FormattedPdfPainter.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/PdfFontMetrics.h"
#include "pdf/PdfAnnotations.h"
#include "pdf/PdfCanvas.h"
#include "pdf/PdfImages.h"
#include "pdf/PdfJpegImage.h"
#include "platform/CodePage.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/graphic/RVBitmap.h"
#include "richtext/layout/RVShownText.h"
#include "richtext/rtf/writer/RVRTFWriterPictureConversion.h"

namespace varnolt {

namespace {

constexpr TColor kPictureFrame = 0xAAAAAA;

TPdfBitmap PdfBitmapOf(const TBitmap& bitmap) {
  TPdfBitmap picture;
  picture.Width = bitmap.Width();
  picture.Height = bitmap.Height();
  picture.BitsPerPixel = bitmap.BitsPerPixel();
  for (const TBitmapPaletteEntry& entry : bitmap.Palette()) picture.Palette.push_back({entry.red, entry.green, entry.blue});
  picture.RowBytes = bitmap.RowBytes();
  picture.Rows.reserve(static_cast<std::size_t>(picture.RowBytes) * static_cast<std::size_t>(picture.Height));
  for (int row = 0; row < picture.Height; ++row) picture.Rows += bitmap.ScanLine(row);
  return picture;
}

// JPEG keeps its own compressed data; everything else goes through a bitmap.
std::unique_ptr<TPdfImage> NewImageOf(const TGraphic& graphic) {
  const std::string kind = graphic.ClassName();
  if (kind == "TJPEGImage") {
    try {
      return CreateJpegImage(graphic.SaveToBytes());
    } catch (const EPdfInvalidImageFormat&) {
      // A JPEG the PDF reader could not decode itself is decoded here instead.
    }
  }
  std::unique_ptr<TBitmap> decoded;
  const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic);
  if (kind == "TJPEGImage") bitmap = (decoded = DecodeJpegToBitmap(graphic.SaveToBytes())).get();
  if (kind == "TPngGraphic") bitmap = (decoded = DecodePngToBitmap(graphic.SaveToBytes())).get();
  if (bitmap == nullptr) return nullptr;
  try {
    return CreateImageCreator(u"Pdf-Bitmap")->CreateImage(PdfBitmapOf(*bitmap));
  } catch (const EPdfInvalidImageFormat&) {
    return nullptr;
  }
}

}  // namespace

TFormattedPdfPainter::TFormattedPdfPainter(TPdfDoc& doc, TPdfFontMetrics& metrics)
    : doc_(doc), canvas_(doc.GetCanvas()), metrics_(metrics) {}

TFormattedPdfPainter::~TFormattedPdfPainter() = default;

void TFormattedPdfPainter::NewPage() {
  footnotes_.clear();
  links_.clear();
  anchors_.clear();
}

void TFormattedPdfPainter::AddLinksAndAnchors() {
  for (const TPdfPageLink& link : links_) {
    // "#name" is a place in the document itself: a bookmark's destination.
    if (link.Uri.starts_with('#')) {
      AddNamedLink(doc_, link.Rect, Utf8ToUtf16(std::string_view(link.Uri).substr(1)));
    } else {
      AddUriLink(doc_, link.Rect, link.Uri);
    }
  }
  for (const TPdfPageAnchor& anchor : anchors_) AddNamedDestination(doc_, anchor.Name, anchor.Top);
}

void TFormattedPdfPainter::BeginClip(float left, float bottom, float right, float top) {
  canvas_.SaveState();
  canvas_.ClipToRect(left, bottom, right, top);
}

void TFormattedPdfPainter::EndClip() { canvas_.RestoreState(); }

void TFormattedPdfPainter::SetScale(float factor) {
  // Only inside a clip: EndClip's restore takes the scale away again.
  if (factor < 1) canvas_.Scale(factor);
  scale_ = factor;
}

void TFormattedPdfPainter::Rectangle(const TRVRectF& rect) {
  canvas_.PathMoveTo(X(rect.Left), Y(rect.Top));
  canvas_.PathLineTo(X(rect.Right()), Y(rect.Top));
  canvas_.PathLineTo(X(rect.Right()), Y(rect.Bottom()));
  canvas_.PathLineTo(X(rect.Left), Y(rect.Bottom()));
  canvas_.PathClose();
}

void TFormattedPdfPainter::FillRect(const TRVRectF& rect, TColor color) {
  if (rect.Width <= 0 || rect.Height <= 0) return;
  canvas_.SetFillRgb(color);
  Rectangle(rect);
  canvas_.FillPath();
}

void TFormattedPdfPainter::FrameRect(const TRVRectF& rect, TColor color, double width, TRVPenStyle style) {
  static constexpr std::array<std::uint8_t, 2> kDots{1, 2};
  canvas_.SetStrokeRgb(color);
  canvas_.SetPenWidth(static_cast<float>(width * kPointsPerPixel));
  if (style == TRVPenStyle::Dotted) canvas_.SetDashPattern(kDots, 0);
  Rectangle(rect);
  canvas_.StrokePath();
  if (style == TRVPenStyle::Dotted) canvas_.SetDashPattern({}, 0);
}

void TFormattedPdfPainter::HorizontalLine(TColor color, float left, float right, float y, float thickness) {
  Line(color, {left, y}, {right, y}, thickness);
}

void TFormattedPdfPainter::VerticalLine(TColor color, float x, float bottom, float top, float thickness) {
  Line(color, {x, bottom}, {x, top}, thickness);
}

void TFormattedPdfPainter::Line(TColor color, std::pair<float, float> from, std::pair<float, float> to,
                                float thickness) {
  canvas_.SetStrokeRgb(color);
  canvas_.SetPenWidth(thickness);
  canvas_.PathMoveTo(from.first, from.second);
  canvas_.PathLineTo(to.first, to.second);
  canvas_.StrokePath();
}

void TFormattedPdfPainter::DrawText(const TCustomRVFontInfo& font, std::u16string_view text, TRVPointF baseline,
                                   double /*width*/, double spaceExtra) {
  if (text.empty()) return;
  const float x = X(baseline.X);
  const float y = Y(baseline.Y);
  DrawScaledRun(font, text, x, y, spaceExtra);
}

// Character scaling and spacing as the text state's own: "Tz" scales the
// spacing too, so the spacing given is divided by the scale.
void TFormattedPdfPainter::DrawScaledRun(const TCustomRVFontInfo& font, std::u16string_view text, float x, float y,
                                         double spaceExtra) {
  const double scale = std::clamp(CharScaleOf(font), TPdfCanvasAttribute::kMinHorizontalScaling / 100.0,
                                  TPdfCanvasAttribute::kMaxHorizontalScaling / 100.0);
  const double spacing = std::clamp(CharSpacingOf(font) * kPointsPerPixel / scale,
                                    double{TPdfCanvasAttribute::kMinCharSpace}, double{TPdfCanvasAttribute::kMaxCharSpace});
  canvas_.SetHorizontalScaling(static_cast<std::uint16_t>(std::lround(scale * 100)));
  canvas_.SetCharSpace(static_cast<float>(spacing));
  metrics_.DrawRun(canvas_, font, text, x, y, static_cast<float>(spaceExtra * kPointsPerPixel / scale));
  canvas_.SetHorizontalScaling(100);
  canvas_.SetCharSpace(0);
}

void TFormattedPdfPainter::DrawObject(const TCustomRVItemInfo& item, const TRVRectF& rect) {
  const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&item);
  if (picture != nullptr && picture->Image != nullptr && rect.Width > 0 && rect.Height > 0) {
    const TPdfRect place{X(rect.Left), Y(rect.Bottom()), X(rect.Right()), Y(rect.Top)};
    auto [known, added] = images_.try_emplace(picture->Image.get(), nullptr);
    if (added) {
      if (auto image = NewImageOf(*picture->Image)) {
        known->second = &canvas_.DrawImage(std::move(image), place);
        return;
      }
    } else if (known->second != nullptr) {
      canvas_.DrawImage(*known->second, place);
      return;
    }
  }
  // Metafiles and pictures that cannot be drawn: a light frame keeps their place.
  FrameRect(rect, kPictureFrame, 1, TRVPenStyle::Solid);
}

void TFormattedPdfPainter::BoxPainted(const TRVBox& box, const TCustomRVData& data, const TRVRectF& rect) {
  const TCustomRVItemInfo& item = data.ItemAt(box.ItemNo);
  if (item.StyleNo == ItemKindFootnote && box.Kind == TRVBoxKind::Label) {
    const auto* note = static_cast<const TRVNoteItemInfo*>(&item);
    if (std::find(footnotes_.begin(), footnotes_.end(), note) == footnotes_.end()) footnotes_.push_back(note);
  }
  if (const TRVCPInfo* checkpoint = item.Checkpoint(); checkpoint != nullptr && box.Start == 0) {
    anchors_.push_back({checkpoint->Name, Y(rect.Top) * scale_});
  }
  const auto* uri = std::get_if<std::string>(&item.ItemTag());
  const TRVStyle* style = data.GetRVStyle();
  if (uri == nullptr || uri->empty() || style == nullptr || box.Kind != TRVBoxKind::Text) return;
  if (!style->TextStyleAt(box.TextStyleNo).Jump) return;
  links_.push_back({OnPage({X(rect.Left), Y(rect.Bottom()), X(rect.Right()), Y(rect.Top)}), *uri});
}

}  // namespace varnolt
