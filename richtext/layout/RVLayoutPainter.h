#pragma once
// The walk over a formatted document that every painter shares: which lines
// a band holds, paragraph backgrounds and borders, boxes by kind, tables with
// their cells' own layouts. A painter supplies only the drawing primitives,
// in the layout's pixels, so the screen and a PDF page draw the same things.
#include <string_view>

#include "richtext/layout/RVLayout.h"

namespace varnolt {

class TRVTableItemInfo;

struct TRVPointF {
  double X = 0;
  double Y = 0;
};

enum class TRVPenStyle : std::uint8_t { Solid, Dotted };

class TRVLayoutPainter {
 public:
  virtual ~TRVLayoutPainter() = default;

  // Paints every line of the layout that reaches into [top, bottom) (layout
  // coordinates), the layout's top left being at origin.
  void PaintLayout(const TRVLayout& layout, const TCustomRVData& data, TRVPointF origin, double top, double bottom);

  // The colour shown for a style sheet colour (system colours included);
  // fallback for "none" and for system colours without a shade of their own.
  static TColor ShownColor(TColor color, TColor fallback);

 protected:
  virtual void FillRect(const TRVRectF& rect, TColor color) = 0;
  // The pen's middle runs on the rectangle's edge.
  virtual void FrameRect(const TRVRectF& rect, TColor color, double width, TRVPenStyle style) = 0;
  // A text box, a label, a list marker or a tab leader, whose shown text is
  // text (logical order); width is the box's width.
  virtual void DrawText(const TCustomRVFontInfo& font, std::u16string_view text, TRVPointF baseline, double width,
                        double spaceExtra) = 0;
  // A picture, control or other object inside its spacing.
  virtual void DrawObject(const TCustomRVItemInfo& item, const TRVRectF& rect) = 0;
  // After each box: what a painter does beyond drawing (links, notes, anchors).
  virtual void BoxPainted(const TRVBox& /*box*/, const TCustomRVData& /*data*/, const TRVRectF& /*rect*/) {}
  // A paragraph that starts a new page, at the y of its top.
  virtual void PageBreakBefore(double /*y*/, double /*left*/, double /*right*/) {}
  // Dotted lines around borderless cells help an editor, not paper.
  virtual bool ShowsGridLines() const { return false; }

 private:
  void PaintParagraphFrame(const TRVParagraphLayout& paragraph, const TCustomRVData& data, TRVPointF origin);
  void PaintBox(const TRVBox& box, const TCustomRVData& data, TRVPointF lineOrigin);
  void PaintTextBox(const TRVBox& box, const TCustomRVData& data, TRVPointF lineOrigin, const TRVRectF& rect);
  void PaintTextLines(const TCustomRVFontInfo& font, TRVPointF baseline, double width);
  void DrawShownText(const TCustomRVFontInfo& font, std::u16string_view text, TRVPointF baseline, double width,
                     double spaceExtra);
  void PaintTable(const TRVParagraphLayout& paragraph, const TCustomRVData& data, TRVPointF origin, double top,
                  double bottom);
  void PaintCellFrame(const TRVTableItemInfo& table, const TRVCellLayout& cell, const TRVRectF& frame);
  void PaintSides(const TRVRectF& rect, double width, const TRVBooleanRect& sides, TColor light, TColor dark);
  // An item's text, converted once for all the boxes of its lines: a painter
  // lives no longer than the documents it paints stay unchanged.
  const std::u16string& ItemText(const TCustomRVData& data, int itemNo);
  const TRVLayout* layout_ = nullptr;
  const TCustomRVData* textData_ = nullptr;
  int textItem_ = -1;
  std::u16string text_;
};

// The leader of a tab box: its text repeated as often as it fits, less one
// so that the leader stops short of what follows; empty without a leader.
std::u16string TabLeader(TRVFontMetrics& metrics, const TCustomRVFontInfo& font, const TRVBox& box);

}  // namespace varnolt
