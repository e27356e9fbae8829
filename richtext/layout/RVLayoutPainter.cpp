#include "richtext/layout/RVLayoutPainter.h"

#include <cmath>

#include "richtext/document/RVItemKinds.h"
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
    FrameRect(frame, ShownColor(para.Border.Color, 0), std::max(1, para.Border.Width), TRVPenStyle::Solid);
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
    case TRVBoxKind::Marker: DrawText(font, box.Text, baseline, box.Width, 0); return;
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
  DrawText(font, shown, baseline, box.Width, box.SpaceExtra);
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
    const double half = table.BorderWidth / 2.0;
    FrameRect({outline.Left + half, outline.Top + half, outline.Width - 2 * half, outline.Height - 2 * half},
              ShownColor(table.BorderColor, 0), table.BorderWidth, TRVPenStyle::Solid);
  }
  for (const TRVCellLayout& cell : layout.Cells) {
    if (cell.Frame.Bottom() < top || cell.Frame.Top > bottom) continue;
    PaintCellFrame(table, cell, Offset(cell.Frame, tableOrigin));
    PaintLayout(*cell.Content, *cell.Cell, {tableOrigin.X + cell.ContentLeft, tableOrigin.Y + cell.ContentTop},
                top - cell.ContentTop, bottom - cell.ContentTop);
  }
}

void TRVLayoutPainter::PaintCellFrame(const TRVTableItemInfo& table, const TRVCellLayout& cell, const TRVRectF& frame) {
  if (cell.Cell->Color != kRVColorNone) FillRect(frame, ShownColor(cell.Cell->Color, 0xFFFFFF));
  if (table.CellBorderWidth > 0) {
    const TColor color = cell.Cell->BorderColor != kRVColorNone ? cell.Cell->BorderColor : table.CellBorderColor;
    const double half = table.CellBorderWidth / 2.0;
    FrameRect({frame.Left + half, frame.Top + half, frame.Width - 2 * half, frame.Height - 2 * half},
              ShownColor(color, 0), table.CellBorderWidth, TRVPenStyle::Solid);
  } else if (ShowsGridLines() && !table.Options.Contains(rvtoHideGridLines)) {
    FrameRect({frame.Left, frame.Top, frame.Width - 1, frame.Height - 1}, 0xC8C8C8, 1, TRVPenStyle::Dotted);
  }
}

}  // namespace varnolt
