#pragma once
// Draws formatted documents onto the current PDF page through the canvas:
// the layout's pixels (96 per inch) become points, y turned upwards. It
// remembers what the page needs beyond drawing: the footnotes referred to,
// the links and the anchors painted.
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pdf/PdfAnnotations.h"
#include "pdf/PdfDoc.h"
#include "richtext/layout/RVLayoutPainter.h"

namespace varnolt {

class TPdfFontMetrics;
class TPdfImage;
class TGraphic;
class TRVNoteItemInfo;

inline constexpr double kPointsPerPixel = 72.0 / 96.0;

struct TPdfPageLink {
  TPdfRect Rect;
  std::string Uri;
};

struct TPdfPageAnchor {
  std::u16string Name;
  float Top = 0;
};

class TFormattedPdfPainter final : public TRVLayoutPainter {
 public:
  TFormattedPdfPainter(TPdfDoc& doc, TPdfFontMetrics& metrics);
  ~TFormattedPdfPainter() override;

  // Layout point (0, 0) lands at (left, top) in points on the page.
  void SetPlacement(float left, float top) {
    left_ = left;
    top_ = top;
  }
  // What follows is drawn scaled about the page's origin by factor (at most
  // 1), inside the clip; SetPlacement is then in the scaled space.
  void SetScale(float factor);
  // Only what lies inside the rectangle shows, until EndClip.
  void BeginClip(float left, float bottom, float right, float top);
  void EndClip();
  // In points.
  void HorizontalLine(TColor color, float left, float right, float y, float thickness);
  void VerticalLine(TColor color, float x, float bottom, float top, float thickness);

  // What the page painted since the last NewPage.
  const std::vector<const TRVNoteItemInfo*>& Footnotes() const { return footnotes_; }
  const std::vector<TPdfPageLink>& Links() const { return links_; }
  const std::vector<TPdfPageAnchor>& Anchors() const { return anchors_; }
  void NewPage();
  // The links and named destinations of what the page painted.
  void AddLinksAndAnchors();

 protected:
  void FillRect(const TRVRectF& rect, TColor color) override;
  void FrameRect(const TRVRectF& rect, TColor color, double width, TRVPenStyle style) override;
  void DrawText(const TCustomRVFontInfo& font, std::u16string_view text, TRVPointF baseline, double width,
                double spaceExtra) override;
  void DrawObject(const TCustomRVItemInfo& item, const TRVRectF& rect) override;
  void BoxPainted(const TRVBox& box, const TCustomRVData& data, const TRVRectF& rect) override;

 private:
  float X(double x) const { return static_cast<float>(left_ + x * kPointsPerPixel); }
  float Y(double y) const { return static_cast<float>(top_ - y * kPointsPerPixel); }
  void Rectangle(const TRVRectF& rect);
  void DrawScaledRun(const TCustomRVFontInfo& font, std::u16string_view text, float x, float y, double spaceExtra);
  // From and to in points, (x, y) on the page.
  void Line(TColor color, std::pair<float, float> from, std::pair<float, float> to, float thickness);
  // Annotations are placed in the page's own space, whatever the scale.
  TPdfRect OnPage(const TPdfRect& rect) const {
    return {rect.Left * scale_, rect.Bottom * scale_, rect.Right * scale_, rect.Top * scale_};
  }

  TPdfDoc& doc_;
  TPdfCanvas& canvas_;
  TPdfFontMetrics& metrics_;
  float left_ = 0;
  float top_ = 0;
  float scale_ = 1;
  std::vector<const TRVNoteItemInfo*> footnotes_;
  std::vector<TPdfPageLink> links_;
  std::vector<TPdfPageAnchor> anchors_;
  // Each picture's image, registered once; nullptr for what cannot be drawn.
  std::map<const TGraphic*, TPdfImage*> images_;
};

}  // namespace varnolt
