#pragma once
// A scrolling view that draws one editor's document through the layout and
// lets a person edit it: caret, selection, mouse, keys and input methods.
// PageView.cpp: geometry, scrolling and input.
// PageViewPaint.cpp: drawing lines, boxes, tables and pictures.
#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <memory>
#include <optional>
#include <unordered_map>

#include "gui/QtFontMetrics.h"
#include "richtext/editor/RVEdit.h"

namespace varnolt {

class TRVPageView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TRVPageView(TCustomRichDocEdit& editor, QWidget* parent = nullptr);
  ~TRVPageView() override;

  TCustomRichDocEdit& Editor() const { return editor_; }
  // Blank space around the document, pixels.
  static constexpr int kMargin = 8;
  // Where a document point is in the viewport, and back.
  QPointF ToViewport(double x, double y) const;
  QPointF ToDocument(QPointF point) const;
  // After the document changed outside the view's own input.
  void DocumentChanged();

  // The paper the document is laid out on, in pixels: the text keeps the
  // paper's text width inside its edge, as on the printed page. Without
  // paper the text fills the view.
  struct TSheet {
    double width = 0;
    double textLeft = 0;
    double textTop = 0;
    double textWidth = 0;
    friend bool operator==(const TSheet&, const TSheet&) = default;
  };
  void SetSheet(const std::optional<TSheet>& sheet);
  const std::optional<TSheet>& Sheet() const { return sheet_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  TRVLayout& Layout() const { return editor_.Layout(); }
  void LayOut();
  void UpdateScrollBars();
  void EnsureCaretVisible();
  void AfterInput();
  void RestartCaretBlink();
  TRVPosition RootPositionAt(QPointF viewportPoint) const;
  bool RaiseMouseDown(QMouseEvent* event);
  // PageViewPaint.cpp
  class TQtLayoutPainter;
  void PaintSelection(QPainter& painter, QPointF origin);
  void PaintSheet(QPainter& painter, const QRect& damaged);
  // Where the document's own origin lies from the view's top-left corner.
  QPointF DocumentOffset() const;
  const QImage* Picture(const TGraphic& graphic);

  TCustomRichDocEdit& editor_;
  std::optional<TSheet> sheet_;
  TRVQtFontMetrics metrics_;
  std::unordered_map<const TGraphic*, std::unique_ptr<QImage>> pictures_;
  QTimer caretBlink_;
  bool caretShown_ = true;
  TRVPosition dragAnchor_;
  bool dragging_ = false;
  QElapsedTimer sinceDoubleClick_;
};

}  // namespace varnolt
