// Drawing: only the lines in the damaged band, boxes by kind, tables with
// their cells' own layouts, pictures decoded once each.
// The table header names a parameter "slots", which Qt's keyword macro would
// take over, so it comes before any Qt header.
#include "richtext/table/RVTable.h"
// clang-format off
#include "gui/PageView.h"
// clang-format on

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "richtext/document/RVItemKinds.h"

namespace varnolt {

namespace {

const QColor kHighlight(51, 153, 255);
const QColor kGridLine(200, 200, 200);
const QColor kMetafileFrame(170, 170, 170);

struct TSystemColor {
  TColor color;
  QColor shown;
};

const TSystemColor kSystemColors[] = {
    {kRVColorWindow, Qt::white},          {kRVColorWindowText, Qt::black},
    {kRVColorHighlight, kHighlight},      {kRVColorHighlightText, Qt::white},
    {kRVColorButtonFace, {240, 240, 240}}, {kRVColorButtonShadow, {160, 160, 160}},
    {TRVTableItemInfo::kColorBtnHighlight, Qt::white},
};

// Invalid for "none"; colours are stored blue-green-red, low byte red.
QColor ToQColor(TColor color, QColor fallback = {}) {
  if (color == kRVColorNone) return fallback;
  for (const TSystemColor& system : kSystemColors) {
    if (system.color == color) return system.shown;
  }
  if ((color & 0xFF000000u) != 0) return fallback.isValid() ? fallback : QColor(Qt::black);
  return {static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF), static_cast<int>((color >> 16) & 0xFF)};
}

const TCustomRVFontInfo& FontOf(const TCustomRVData& data, std::int32_t textStyleNo) {
  static const TFontInfo kDefault;
  const TRVStyle* style = data.GetRVStyle();
  return style != nullptr ? style->TextStyleAt(textStyleNo) : kDefault;
}

QString ShownText(const TCustomRVData& data, const TRVBox& box) {
  const std::u16string text = data.ItemTextAt(box.ItemNo);
  return QString::fromUtf16(text.data() + box.Start, box.Length);
}

}  // namespace

void TRVPageView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const TRVStyle* style = editor_.Style();
  painter.fillRect(event->rect(), ToQColor(style != nullptr ? style->Color : kRVColorWindow, Qt::white));
  const QPointF origin = ToViewport(0, 0);
  const double top = ToDocument(event->rect().topLeft()).y();
  const double bottom = ToDocument(event->rect().bottomLeft()).y() + 1;
  PaintSelection(painter, origin);
  PaintLayout(painter, Layout(), editor_.RVData(), origin, top, bottom);
  if (caretShown_ && hasFocus() && !editor_.HasSelection()) {
    const TRVRectF caret = Layout().CaretRect(editor_.Caret());
    painter.fillRect(QRectF(origin.x() + caret.Left, origin.y() + caret.Top, caret.Width, caret.Height), Qt::black);
  }
}

void TRVPageView::PaintSelection(QPainter& painter, QPointF origin) {
  TRVPosition start;
  TRVPosition end;
  if (!editor_.RVData().GetSelectionBounds(start, end)) return;
  for (const TRVRectF& rect : Layout().SelectionRects(start, end)) {
    painter.fillRect(QRectF(origin.x() + rect.Left, origin.y() + rect.Top, rect.Width, rect.Height), kHighlight);
  }
}

void TRVPageView::PaintLayout(QPainter& painter, const TRVLayout& layout, const TCustomRVData& data,
                              QPointF origin, double top, double bottom) {
  int paintedParagraph = -1;
  const TRVStyle* style = data.GetRVStyle();
  for (const TRVLineRef ref : layout.LinesIn(top, bottom)) {
    const TRVParagraphLayout& paragraph = layout.Paragraph(ref.Paragraph);
    const QPointF paragraphOrigin = origin + QPointF(0, paragraph.Top);
    if (ref.Paragraph != paintedParagraph) {
      paintedParagraph = ref.Paragraph;
      if (paragraph.Table != nullptr) {
        PaintTable(painter, paragraph, data, paragraphOrigin, top - paragraph.Top, bottom - paragraph.Top);
        continue;
      }
      const TParaInfo* para = style != nullptr ? &style->ParaStyleAt(data.ItemParaNo(paragraph.FirstItem)) : nullptr;
      const QRectF frame(paragraphOrigin.x() + paragraph.Frame.Left, paragraphOrigin.y() + paragraph.Frame.Top,
                         paragraph.Frame.Width, paragraph.Frame.Height);
      if (para != nullptr && para->Background.Color != kRVColorNone) {
        painter.fillRect(frame, ToQColor(para->Background.Color));
      }
      if (para != nullptr && para->Border.Style != rvbNone) {
        painter.setPen(QPen(ToQColor(para->Border.Color, Qt::black), std::max(1, para->Border.Width)));
        painter.drawRect(frame);
      }
      if (paragraph.PageBreakBefore) {
        painter.setPen(QPen(ToQColor(style != nullptr ? style->PageBreakColor : kRVColorButtonShadow), 1,
                            Qt::DashLine));
        painter.drawLine(QPointF(origin.x(), paragraphOrigin.y()),
                         QPointF(origin.x() + std::max(layout.TotalWidth(), 1.0 * viewport()->width()),
                                 paragraphOrigin.y()));
      }
    }
    if (paragraph.Table != nullptr) continue;
    const TRVLine& line = paragraph.Lines[static_cast<std::size_t>(ref.Line)];
    const QPointF lineOrigin = paragraphOrigin + QPointF(0, line.Top);
    for (int b = line.FirstBox; b < line.FirstBox + line.BoxCount; ++b) {
      PaintBox(painter, paragraph.Boxes[static_cast<std::size_t>(b)], data, lineOrigin);
    }
  }
}

void TRVPageView::PaintBox(QPainter& painter, const TRVBox& box, const TCustomRVData& data, QPointF lineOrigin) {
  const QRectF rect(lineOrigin.x() + box.X, lineOrigin.y() + box.Top, box.Width, box.Height);
  switch (box.Kind) {
    case TRVBoxKind::Text:
    case TRVBoxKind::Tab:
    case TRVBoxKind::Label:
    case TRVBoxKind::Marker: PaintText(painter, box, data, lineOrigin); break;
    case TRVBoxKind::Object: PaintObject(painter, box, data, rect); break;
    case TRVBoxKind::Rule: {
      const auto& rule = static_cast<const TRVBreakItemInfo&>(data.ItemAt(box.ItemNo));
      painter.fillRect(rect, ToQColor(rule.Color, Qt::black));
      break;
    }
    case TRVBoxKind::Table: break;
  }
}

void TRVPageView::PaintText(QPainter& painter, const TRVBox& box, const TCustomRVData& data, QPointF lineOrigin) {
  const TCustomRVFontInfo& style = FontOf(data, box.TextStyleNo);
  if (style.BackColor != kRVColorNone && box.Kind == TRVBoxKind::Text) {
    painter.fillRect(QRectF(lineOrigin.x() + box.X, lineOrigin.y() + box.Top, box.Width, box.Height),
                     ToQColor(style.BackColor));
  }
  painter.setFont(metrics_.Font(style));
  painter.setPen(ToQColor(style.Color, Qt::black));
  const QPointF baseline(lineOrigin.x() + box.X, lineOrigin.y() + box.Baseline);
  if (box.Kind == TRVBoxKind::Label || box.Kind == TRVBoxKind::Marker) {
    painter.drawText(baseline, QString::fromStdU16String(box.Text));
    return;
  }
  if (box.Kind == TRVBoxKind::Tab) {
    if (box.Text.empty()) return;
    const double advance = metrics_.RunAdvance(style, box.Text);
    if (advance <= 0) return;
    const int count = static_cast<int>(std::floor(box.Width / advance)) - 1;
    if (count > 0) painter.drawText(baseline, QString::fromStdU16String(box.Text).repeated(count));
    return;
  }
  const QString text = ShownText(data, box);
  if (box.SpaceExtra == 0) {
    painter.drawText(baseline, text);
    return;
  }
  // Justified: word by word, each space widened.
  double x = baseline.x();
  qsizetype from = 0;
  for (qsizetype i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != u' ') continue;
    const QString word = text.mid(from, i - from);
    painter.drawText(QPointF(x, baseline.y()), word);
    x += metrics_.RunAdvance(style, word.toStdU16String());
    if (i < text.size()) x += metrics_.CharAdvance(style, u' ') + box.SpaceExtra;
    from = i + 1;
  }
}

void TRVPageView::PaintObject(QPainter& painter, const TRVBox& box, const TCustomRVData& data, QRectF rect) {
  const TCustomRVItemInfo& item = data.ItemAt(box.ItemNo);
  const auto* rectItem = dynamic_cast<const TRVRectItemInfo*>(&item);
  const double spacing = rectItem != nullptr ? rectItem->Spacing() : 0;
  const QRectF inner = rect.adjusted(spacing, spacing, -spacing, -spacing);
  const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&item);
  if (picture != nullptr && picture->Image != nullptr) {
    if (const QImage* image = Picture(*picture->Image)) {
      painter.drawImage(inner, *image);
      return;
    }
  }
  // Metafiles and what cannot be decoded: a light frame with the name.
  painter.setPen(QPen(kMetafileFrame, 1));
  painter.drawRect(inner.adjusted(0, 0, -1, -1));
  QString name;
  if (picture != nullptr) name = QString::fromStdU16String(picture->ImageFileName);
  if (name.isEmpty() && picture != nullptr && picture->Image != nullptr) {
    name = QString::fromStdString(picture->Image->ClassName());
  }
  if (const auto* control = dynamic_cast<const TRVControlItemInfo*>(&item); control && control->Control) {
    name = QString::fromStdString(control->Control->ClassName);
  }
  if (!name.isEmpty()) {
    painter.setFont(QFont());
    painter.drawText(inner, Qt::AlignCenter | Qt::TextWrapAnywhere, name);
  }
}

const QImage* TRVPageView::Picture(const TGraphic& graphic) {
  auto [it, inserted] = pictures_.try_emplace(&graphic);
  if (inserted && graphic.ClassName() != "TMetafile") {
    const std::string bytes = graphic.SaveToBytes();
    auto image = std::make_unique<QImage>(
        QImage::fromData(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()))));
    if (!image->isNull()) it->second = std::move(image);
  }
  return it->second.get();
}

void TRVPageView::PaintTable(QPainter& painter, const TRVParagraphLayout& paragraph, const TCustomRVData& data,
                             QPointF origin, double top, double bottom) {
  const auto& table = static_cast<const TRVTableItemInfo&>(data.ItemAt(paragraph.FirstItem));
  const TRVTableLayout& layout = *paragraph.Table;
  const QPointF tableOrigin = origin + QPointF(paragraph.Boxes.front().X, 0);
  const QRectF outline(tableOrigin, QSizeF(layout.Width, layout.Height));
  if (table.Color != kRVColorNone && table.Color != kRVColorWindow) painter.fillRect(outline, ToQColor(table.Color));
  if (table.BorderWidth > 0) {
    painter.setPen(QPen(ToQColor(table.BorderColor, Qt::black), table.BorderWidth));
    painter.drawRect(outline.adjusted(table.BorderWidth / 2.0, table.BorderWidth / 2.0, -table.BorderWidth / 2.0,
                                      -table.BorderWidth / 2.0));
  }
  for (const TRVCellLayout& cell : layout.Cells) {
    const QRectF frame(tableOrigin.x() + cell.Frame.Left, tableOrigin.y() + cell.Frame.Top, cell.Frame.Width,
                       cell.Frame.Height);
    if (cell.Frame.Bottom() < top || cell.Frame.Top > bottom) continue;
    if (cell.Cell->Color != kRVColorNone) painter.fillRect(frame, ToQColor(cell.Cell->Color));
    if (table.CellBorderWidth > 0) {
      const TColor color = cell.Cell->BorderColor != kRVColorNone ? cell.Cell->BorderColor : table.CellBorderColor;
      painter.setPen(QPen(ToQColor(color, Qt::black), table.CellBorderWidth));
      const double half = table.CellBorderWidth / 2.0;
      painter.drawRect(frame.adjusted(half, half, -half, -half));
    } else if (!table.Options.Contains(rvtoHideGridLines)) {
      painter.setPen(QPen(kGridLine, 1, Qt::DotLine));
      painter.drawRect(frame.adjusted(0, 0, -1, -1));
    }
    PaintLayout(painter, *cell.Content, *cell.Cell, tableOrigin + QPointF(cell.ContentLeft, cell.ContentTop),
                top - cell.ContentTop, bottom - cell.ContentTop);
  }
}

}  // namespace varnolt
