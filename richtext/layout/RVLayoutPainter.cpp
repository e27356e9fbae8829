#include "richtext/layout/RVLayoutPainter.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "richtext/document/RVItemKinds.h"
#include "richtext/layout/RVShownText.h"
#include "richtext/table/RVTable.h"

namespace varnolt {

namespace {

struct TSystemShade {
  TColor color;
  TColor shown;  // 0x00BBGGRR
};

const TSystemShade kSystemShades[] = {
    {kRVColorWindow, 0xFFFFFF},          {kRVColorWindowText, 0x000000},
    {kRVColorHighlight, 0xFF9933},       {kRVColorHighlightText, 0xFFFFFF},
    {kRVColorButtonFace, 0xF0F0F0},      {kRVColorButtonShadow, 0xA0A0A0},
    {TRVTableItemInfo::kColorBtnHighlight, 0xFFFFFF},
};

const TCustomRVFontInfo& FontOf(const TCustomRVData& data, std::int32_t textStyleNo) {
  static const TFontInfo kDefault;
  const TRVStyle* style = data.GetRVStyle();
  return style != nullptr ? style->TextStyleAt(textStyleNo) : kDefault;
}

TRVRectF Offset(const TRVRectF& rect, TRVPointF by) {
  return {rect.Left + by.X, rect.Top + by.Y, rect.Width, rect.Height};
}

}  // namespace

TColor TRVLayoutPainter::ShownColor(TColor color, TColor fallback) {
  if (color == kRVColorNone) return fallback;
  for (const TSystemShade& system : kSystemShades) {
    if (system.color == color) return system.shown;
  }
  if ((color & 0xFF000000u) != 0) return fallback;
  return color;
}

std::u16string TabLeader(TRVFontMetrics& metrics, const TCustomRVFontInfo& font, const TRVBox& box) {
  if (box.Text.empty()) return {};
  const double advance = metrics.RunAdvance(font, box.Text);
  if (advance <= 0) return {};
  const int count = static_cast<int>(std::floor(box.Width / advance)) - 1;
  std::u16string leader;
  for (int i = 0; i < count; ++i) leader += box.Text;
  return leader;
}

void TRVLayoutPainter::PaintLayout(const TRVLayout& layout, const TCustomRVData& data, TRVPointF origin, double top,
                                   double bottom) {
  const TRVLayout* outer = layout_;
  layout_ = &layout;
  int paintedParagraph = -1;
  for (const TRVLineRef ref : layout.LinesIn(top, bottom)) {
    const TRVParagraphLayout& paragraph = layout.Paragraph(ref.Paragraph);
    const TRVPointF paragraphOrigin{origin.X, origin.Y + paragraph.Top};
    if (ref.Paragraph != paintedParagraph) {
      paintedParagraph = ref.Paragraph;
      if (paragraph.PageBreakBefore) {
        PageBreakBefore(paragraphOrigin.Y, origin.X, origin.X + layout.TotalWidth());
      }
      if (paragraph.Table != nullptr) {
        PaintTable(paragraph, data, paragraphOrigin, top - paragraph.Top, bottom - paragraph.Top);
        continue;
      }
      PaintParagraphFrame(paragraph, data, paragraphOrigin);
    }
    if (paragraph.Table != nullptr) continue;
    const TRVLine& line = paragraph.Lines[static_cast<std::size_t>(ref.Line)];
    const TRVPointF lineOrigin{paragraphOrigin.X, paragraphOrigin.Y + line.Top};
    for (int b = line.FirstBox; b < line.FirstBox + line.BoxCount; ++b) {
      PaintBox(paragraph.Boxes[static_cast<std::size_t>(b)], data, lineOrigin);
    }
  }
  layout_ = outer;
}

void TRVLayoutPainter::PaintParagraphFrame(const TRVParagraphLayout& paragraph, const TCustomRVData& data,
                                           TRVPointF origin) {
  const TRVStyle* style = data.GetRVStyle();
  if (style == nullptr) return;
  const TParaInfo& para = style->ParaStyleAt(data.ItemParaNo(paragraph.FirstItem));
  const TRVRectF frame = Offset(paragraph.Frame, origin);
  if (para.Background.Color != kRVColorNone) FillRect(frame, ShownColor(para.Background.Color, 0xFFFFFF));
  if (para.Border.Style != rvbNone) {
    const TColor color = ShownColor(para.Border.Color, 0);
    PaintSides(frame, std::max(1, para.Border.Width), para.Border.VisibleBorders, color, color);
  }
}

void TRVLayoutPainter::PaintBox(const TRVBox& box, const TCustomRVData& data, TRVPointF lineOrigin) {
  const TRVRectF rect{lineOrigin.X + box.X, lineOrigin.Y + box.Top, box.Width, box.Height};
  switch (box.Kind) {
    case TRVBoxKind::Text:
    case TRVBoxKind::Tab:
    case TRVBoxKind::Label:
    case TRVBoxKind::Marker: PaintTextBox(box, data, lineOrigin, rect); break;
    case TRVBoxKind::Object: {
      const TCustomRVItemInfo& item = data.ItemAt(box.ItemNo);
      const auto* rectItem = dynamic_cast<const TRVRectItemInfo*>(&item);
      const double spacing = rectItem != nullptr ? rectItem->Spacing() : 0;
      DrawObject(item, {rect.Left + spacing, rect.Top + spacing, std::max(0.0, rect.Width - 2 * spacing),
                        std::max(0.0, rect.Height - 2 * spacing)});
      break;
    }
    case TRVBoxKind::Rule: {
      const auto& rule = static_cast<const TRVBreakItemInfo&>(data.ItemAt(box.ItemNo));
      FillRect(rect, ShownColor(rule.Color, 0));
      break;
    }
    case TRVBoxKind::Table: break;
  }
  BoxPainted(box, data, rect);
}

void TRVLayoutPainter::PaintTextBox(const TRVBox& box, const TCustomRVData& data, TRVPointF lineOrigin,
                                    const TRVRectF& rect) {
  const TCustomRVFontInfo& font = FontOf(data, box.TextStyleNo);
  const TRVPointF baseline{lineOrigin.X + box.X, lineOrigin.Y + box.Baseline};
  switch (box.Kind) {
    case TRVBoxKind::Label:
    case TRVBoxKind::Marker: DrawShownText(font, box.Text, baseline, box.Width, 0); return;
    case TRVBoxKind::Tab: {
      const std::u16string leader = TabLeader(layout_->Metrics(), font, box);
      if (!leader.empty()) DrawText(font, leader, baseline, box.Width, 0);
      return;
    }
    default: break;
  }
  if (font.BackColor != kRVColorNone) FillRect(rect, ShownColor(font.BackColor, 0xFFFFFF));
  const std::u16string& text = ItemText(data, box.ItemNo);
  const auto start = std::min(static_cast<std::size_t>(std::max(box.Start, 0)), text.size());
  const auto shown = std::u16string_view(text).substr(start, static_cast<std::size_t>(std::max(box.Length, 0)));
  // Spaces alone show nothing unless a line runs under or through them.
  const bool lined = font.Style.Contains(fsUnderline) || font.Style.Contains(fsStrikeOut);
  if (!lined && shown.find_first_not_of(u' ') == std::u16string_view::npos) return;
  DrawShownText(font, shown, baseline, box.Width, box.SpaceExtra);
  PaintTextLines(font, baseline, box.Width);
}

namespace {

// Where underline and strike-out sit and how thick they are, in font sizes.
constexpr double kUnderlineBelow = 0.12;
constexpr double kStrikeOutAbove = 0.28;
constexpr double kTextLineThickness = 0.06;
constexpr double kPixelsPerPoint = 96.0 / 72.0;

struct TDashKind {
  TRVUnderlineType Type;
  bool Thick;
  std::array<double, 6> Pattern;  // on, off, on, off...: in line thicknesses; 0 ends it
};

constexpr TDashKind kDashKinds[] = {
    {rvutDotted, false, {1, 1}},           {rvutThickDotted, true, {1, 1}},
    {rvutDashed, false, {4, 2}},           {rvutThickDashed, true, {4, 2}},
    {rvutLongDashed, false, {8, 3}},       {rvutThickLongDashed, true, {8, 3}},
    {rvutDashDotted, false, {4, 2, 1, 2}}, {rvutThickDashDotted, true, {4, 2, 1, 2}},
    {rvutDashDotDotted, false, {4, 2, 1, 2, 1, 2}}, {rvutThickDashDotDotted, true, {4, 2, 1, 2, 1, 2}},
};

}  // namespace

// Underline (of every kind) and strike-out, from rectangles so that every
// painter draws them alike.
void TRVLayoutPainter::PaintTextLines(const TCustomRVFontInfo& font, TRVPointF baseline, double width) {
  const bool underline = font.Style.Contains(fsUnderline);
  const bool strikeOut = font.Style.Contains(fsStrikeOut);
  if ((!underline && !strikeOut) || width <= 0) return;
  const double size = font.Size * kPixelsPerPoint;
  const double thickness = std::max(1.0, kTextLineThickness * size);
  const TColor color = ShownColor(font.Color, 0);
  if (strikeOut) FillRect({baseline.X, baseline.Y - kStrikeOutAbove * size - thickness / 2, width, thickness}, color);
  if (!underline) return;
  const TColor lineColor = ShownColor(font.UnderlineColor, color);
  const double top = baseline.Y + kUnderlineBelow * size - thickness / 2;
  const TRVUnderlineType type = font.UnderlineType;
  if (type == rvutDouble) {
    FillRect({baseline.X, top - thickness, width, thickness}, lineColor);
    FillRect({baseline.X, top + thickness, width, thickness}, lineColor);
    return;
  }
  const auto* dash = std::find_if(std::begin(kDashKinds), std::end(kDashKinds),
                                  [type](const TDashKind& kind) { return kind.Type == type; });
  const double line = (type == rvutThick || (dash != std::end(kDashKinds) && dash->Thick)) ? 2 * thickness : thickness;
  if (dash == std::end(kDashKinds)) {
    FillRect({baseline.X, top, width, line}, lineColor);
    return;
  }
  const double right = baseline.X + width;
  std::size_t step = 0;
  for (double x = baseline.X; x < right;) {
    if (dash->Pattern[step] <= 0) step = 0;
    const double length = dash->Pattern[step] * line;
    if (step % 2 == 0) FillRect({x, top, std::min(length, right - x), line}, lineColor);
    x += length;
    step = (step + 1) % dash->Pattern.size();
  }
}

// Capitals drawn as such, small capitals piece by piece at their two sizes,
// each piece as wide as the layout measured it.
void TRVLayoutPainter::DrawShownText(const TCustomRVFontInfo& font, std::u16string_view text, TRVPointF baseline,
                                     double width, double spaceExtra) {
  if (!ChangesShownText(font)) {
    DrawText(font, text, baseline, width, spaceExtra);
    return;
  }
  const std::vector<TRVShownPiece> pieces = ShownPieces(font, text);
  if (pieces.size() == 1 && !pieces.front().Small) {
    DrawText(font, pieces.front().Text, baseline, width, spaceExtra);
    return;
  }
  TRVFontMetrics& metrics = layout_->Metrics();
  double x = baseline.X;
  for (const TRVShownPiece& piece : pieces) {
    const TFontInfo small = SmallCapsFont(font);
    const TCustomRVFontInfo& pieceFont = piece.Small ? small : font;
    const auto spaces = std::count(piece.Text.begin(), piece.Text.end(), u' ');
    const double pieceWidth = metrics.RunAdvance(pieceFont, piece.Text) * CharScaleOf(font) +
                              CharSpacingOf(font) * static_cast<double>(piece.Text.size()) +
                              spaceExtra * static_cast<double>(spaces);
    DrawText(pieceFont, piece.Text, {x, baseline.Y}, pieceWidth, spaceExtra);
    x += pieceWidth;
  }
}

const std::u16string& TRVLayoutPainter::ItemText(const TCustomRVData& data, int itemNo) {
  if (textData_ != &data || textItem_ != itemNo) {
    text_ = data.ItemTextAt(itemNo);
    textData_ = &data;
    textItem_ = itemNo;
  }
  return text_;
}

void TRVLayoutPainter::PaintTable(const TRVParagraphLayout& paragraph, const TCustomRVData& data, TRVPointF origin,
                                  double top, double bottom) {
  const auto& table = static_cast<const TRVTableItemInfo&>(data.ItemAt(paragraph.FirstItem));
  const TRVTableLayout& layout = *paragraph.Table;
  const TRVPointF tableOrigin{origin.X + paragraph.Boxes.front().X, origin.Y};
  const TRVRectF outline{tableOrigin.X, tableOrigin.Y, layout.Width, layout.Height};
  if (table.Color != kRVColorNone && table.Color != kRVColorWindow) FillRect(outline, ShownColor(table.Color, 0xFFFFFF));
  if (table.BorderWidth > 0) {
    const TColor dark = ShownColor(table.BorderColor, 0);
    const TColor light = table.BorderStyle == rvtbColor ? dark : ShownColor(table.BorderLightColor, dark);
    PaintSides(outline, table.BorderWidth, table.VisibleBorders, light, dark);
  }
  for (const TRVCellLayout& cell : layout.Cells) {
    if (cell.Frame.Bottom() < top || cell.Frame.Top > bottom) continue;
    PaintCellFrame(table, cell, Offset(cell.Frame, tableOrigin));
    PaintLayout(*cell.Content, *cell.Cell, {tableOrigin.X + cell.ContentLeft, tableOrigin.Y + cell.ContentTop},
                top - cell.ContentTop, bottom - cell.ContentTop);
  }
}

// Only the sides asked for, inside the rectangle: a table with top and
// bottom rules alone is no grid.
void TRVLayoutPainter::PaintSides(const TRVRectF& rect, double width, const TRVBooleanRect& sides, TColor light,
                                  TColor dark) {
  const double w = std::min({width, rect.Width, rect.Height});
  if (w <= 0) return;
  if (sides.Left) FillRect({rect.Left, rect.Top, w, rect.Height}, light);
  if (sides.Top) FillRect({rect.Left, rect.Top, rect.Width, w}, light);
  if (sides.Right) FillRect({rect.Right() - w, rect.Top, w, rect.Height}, dark);
  if (sides.Bottom) FillRect({rect.Left, rect.Bottom() - w, rect.Width, w}, dark);
}

void TRVLayoutPainter::PaintCellFrame(const TRVTableItemInfo& table, const TRVCellLayout& cell, const TRVRectF& frame) {
  if (cell.Cell->Color != kRVColorNone) FillRect(frame, ShownColor(cell.Cell->Color, 0xFFFFFF));
  const TRVBooleanRect& sides = cell.Cell->VisibleBorders;
  const bool anySide = sides.Left || sides.Top || sides.Right || sides.Bottom;
  if (table.CellBorderWidth > 0 && anySide) {
    const TColor given = cell.Cell->BorderColor != kRVColorNone ? cell.Cell->BorderColor : table.CellBorderColor;
    const TColor dark = ShownColor(given, 0);
    const TColor lightGiven = cell.Cell->BorderLightColor != kRVColorNone ? cell.Cell->BorderLightColor : given;
    const TColor light = table.CellBorderStyle == rvtbColor ? dark : ShownColor(lightGiven, dark);
    PaintSides(frame, table.CellBorderWidth, sides, light, dark);
  } else if (ShowsGridLines() && !table.Options.Contains(rvtoHideGridLines)) {
    FrameRect({frame.Left, frame.Top, frame.Width - 1, frame.Height - 1}, 0xC8C8C8, 1, TRVPenStyle::Dotted);
  }
}

}  // namespace varnolt
