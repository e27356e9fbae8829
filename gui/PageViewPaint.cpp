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
#include <QScrollBar>
#include <cmath>

#include "richtext/document/RVItemKinds.h"
#include "richtext/layout/RVLayoutPainter.h"
#include "richtext/layout/RVShownText.h"

namespace varnolt {

namespace {

const QColor kHighlight(51, 153, 255);
const QColor kMetafileFrame(170, 170, 170);
const QColor kDesk(214, 218, 224);
const QColor kPaperEdge(120, 128, 140);

// Colours are stored blue-green-red, low byte red.
QColor ToQColor(TColor color, TColor fallback = 0) {
  const TColor shown = TRVLayoutPainter::ShownColor(color, fallback);
  return {static_cast<int>(shown & 0xFF), static_cast<int>((shown >> 8) & 0xFF), static_cast<int>((shown >> 16) & 0xFF)};
}

QRectF ToQRect(const TRVRectF& rect) { return {rect.Left, rect.Top, rect.Width, rect.Height}; }

// Character scaling and spacing as the font's stretch and letter spacing;
// underline and strike-out are the layout painter's own lines.
QFont ShownQFont(const QFont& base, const TCustomRVFontInfo& font) {
  QFont shown(base);
  shown.setUnderline(false);
  shown.setStrikeOut(false);
  if (CharScaleOf(font) == 1.0 && CharSpacingOf(font) == 0) return shown;
  shown.setStretch(static_cast<int>(std::lround(CharScaleOf(font) * 100)));
  shown.setLetterSpacing(QFont::AbsoluteSpacing, CharSpacingOf(font));
  return shown;
}

}  // namespace

// The view's primitives for the layout walk that the PDF export shares.
class TRVPageView::TQtLayoutPainter final : public TRVLayoutPainter {
 public:
  TQtLayoutPainter(TRVPageView& view, QPainter& painter) : view_(view), painter_(painter) {}

 protected:
  void FillRect(const TRVRectF& rect, TColor color) override { painter_.fillRect(ToQRect(rect), ToQColor(color)); }
  void FrameRect(const TRVRectF& rect, TColor color, double width, TRVPenStyle style) override {
    painter_.setPen(QPen(ToQColor(color), width, style == TRVPenStyle::Dotted ? Qt::DotLine : Qt::SolidLine));
    painter_.drawRect(ToQRect(rect));
  }
  void DrawText(const TCustomRVFontInfo& font, std::u16string_view text, TRVPointF baseline, double,
                double spaceExtra) override;
  void DrawObject(const TCustomRVItemInfo& item, const TRVRectF& rect) override;
  void PageBreakBefore(double y, double left, double right) override {
    const TRVStyle* style = view_.editor_.Style();
    painter_.setPen(QPen(ToQColor(style != nullptr ? style->PageBreakColor : kRVColorButtonShadow), 1, Qt::DashLine));
    painter_.drawLine(QPointF(left, y), QPointF(std::max(right, left + view_.viewport()->width()), y));
  }
  bool ShowsGridLines() const override { return true; }

 private:
  TRVPageView& view_;
  QPainter& painter_;
};

void TRVPageView::TQtLayoutPainter::DrawText(const TCustomRVFontInfo& font, std::u16string_view shown,
                                             TRVPointF baseline, double, double spaceExtra) {
  painter_.setFont(ShownQFont(view_.metrics_.Font(font), font));
  painter_.setPen(ToQColor(font.Color));
  const QString text = QString::fromUtf16(shown.data(), static_cast<qsizetype>(shown.size()));
  if (spaceExtra == 0) {
    painter_.drawText(QPointF(baseline.X, baseline.Y), text);
    return;
  }
  // Justified: word by word, each space widened.
  double x = baseline.X;
  qsizetype from = 0;
  for (qsizetype i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != u' ') continue;
    const QString word = text.mid(from, i - from);
    painter_.drawText(QPointF(x, baseline.Y), word);
    TRVShownTextMetrics measure(view_.metrics_);
    x += measure.RunAdvance(font, word.toStdU16String());
    if (i < text.size()) x += measure.CharAdvance(font, u' ') + spaceExtra;
    from = i + 1;
  }
}

void TRVPageView::TQtLayoutPainter::DrawObject(const TCustomRVItemInfo& item, const TRVRectF& rect) {
  const QRectF inner = ToQRect(rect);
  const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&item);
  if (picture != nullptr && picture->Image != nullptr) {
    if (const QImage* image = view_.Picture(*picture->Image)) {
      painter_.drawImage(inner, *image);
      return;
    }
  }
  // Metafiles and what cannot be decoded: a light frame with the name.
  painter_.setPen(QPen(kMetafileFrame, 1));
  painter_.drawRect(inner.adjusted(0, 0, -1, -1));
  QString name;
  if (picture != nullptr) name = QString::fromStdU16String(picture->ImageFileName);
  if (name.isEmpty() && picture != nullptr && picture->Image != nullptr) {
    name = QString::fromStdString(picture->Image->ClassName());
  }
  if (const auto* control = dynamic_cast<const TRVControlItemInfo*>(&item); control && control->Control) {
    name = QString::fromStdString(control->Control->ClassName);
  }
  if (!name.isEmpty()) {
    painter_.setFont(QFont());
    painter_.drawText(inner, Qt::AlignCenter | Qt::TextWrapAnywhere, name);
  }
}


void TRVPageView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  PaintSheet(painter, event->rect());
  const QPointF origin = ToViewport(0, 0);
  const double top = ToDocument(event->rect().topLeft()).y();
  const double bottom = ToDocument(event->rect().bottomLeft()).y() + 1;
  PaintSelection(painter, origin);
  TQtLayoutPainter(*this, painter).PaintLayout(Layout(), editor_.RVData(), {origin.x(), origin.y()}, top, bottom);
  if (caretShown_ && hasFocus() && !editor_.HasSelection()) {
    const TRVRectF caret = Layout().CaretRect(editor_.Caret());
    painter.fillRect(QRectF(origin.x() + caret.Left, origin.y() + caret.Top, caret.Width, caret.Height), Qt::black);
  }
}

// The paper on the desk, as tall as its text needs and at least the view.
void TRVPageView::PaintSheet(QPainter& painter, const QRect& damaged) {
  const TRVStyle* style = editor_.Style();
  const QColor paper = ToQColor(style != nullptr ? style->Color : kRVColorWindow, 0xFFFFFF);
  if (!sheet_) {
    painter.fillRect(damaged, paper);
    return;
  }
  painter.fillRect(damaged, kDesk);
  const QPointF corner(kMargin - horizontalScrollBar()->value(), kMargin - verticalScrollBar()->value());
  const double height =
      std::max(Layout().TotalHeight() + 2 * sheet_->textTop, static_cast<double>(viewport()->height()));
  const QRectF sheet(corner, QSizeF(sheet_->width, height));
  painter.fillRect(sheet, paper);
  painter.setPen(QPen(kPaperEdge, 1));
  painter.drawRect(sheet.adjusted(-0.5, -0.5, 0.5, 0.5));
}

void TRVPageView::PaintSelection(QPainter& painter, QPointF origin) {
  TRVPosition start;
  TRVPosition end;
  if (!editor_.RVData().GetSelectionBounds(start, end)) return;
  for (const TRVRectF& rect : Layout().SelectionRects(start, end)) {
    painter.fillRect(QRectF(origin.x() + rect.Left, origin.y() + rect.Top, rect.Width, rect.Height), kHighlight);
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

}  // namespace varnolt
