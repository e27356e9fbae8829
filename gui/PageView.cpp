#include "gui/PageView.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

namespace varnolt {

namespace {

constexpr int kCaretBlinkMs = 500;

struct TKeyMap {
  int qtKey;
  TRVKey key;
};

const TKeyMap kKeys[] = {
    {Qt::Key_Backspace, rvkBack}, {Qt::Key_Tab, rvkTab},         {Qt::Key_Return, rvkReturn},
    {Qt::Key_Enter, rvkReturn},   {Qt::Key_PageUp, rvkPageUp},   {Qt::Key_PageDown, rvkPageDown},
    {Qt::Key_End, rvkEnd},        {Qt::Key_Home, rvkHome},       {Qt::Key_Left, rvkLeft},
    {Qt::Key_Up, rvkUp},          {Qt::Key_Right, rvkRight},     {Qt::Key_Down, rvkDown},
    {Qt::Key_Insert, rvkInsert},  {Qt::Key_Delete, rvkDelete},   {Qt::Key_C, rvkC},
    {Qt::Key_V, rvkV},            {Qt::Key_X, rvkX},             {Qt::Key_Z, rvkZ},
};

TRVShiftState ShiftState(Qt::KeyboardModifiers modifiers) {
  TRVShiftState shift;
  if (modifiers & Qt::ShiftModifier) shift.Include(ssShift);
  if (modifiers & Qt::AltModifier) shift.Include(ssAlt);
  if (modifiers & Qt::ControlModifier) shift.Include(ssCtrl);
  return shift;
}

TRVMouseButton MouseButton(Qt::MouseButton button) {
  if (button == Qt::RightButton) return TRVMouseButton::mbRight;
  if (button == Qt::MiddleButton) return TRVMouseButton::mbMiddle;
  return TRVMouseButton::mbLeft;
}

}  // namespace

TRVPageView::TRVPageView(TCustomRichDocEdit& editor, QWidget* parent) : QAbstractScrollArea(parent), editor_(editor) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAutoFillBackground(false);
  Layout().SetMetrics(&metrics_);
  Layout().OnReformat = [this] {
    UpdateScrollBars();
    const QPointF top = ToViewport(0, Layout().ChangedTop());
    const QPointF bottom = ToViewport(0, Layout().ChangedBottom());
    viewport()->update(QRect(0, static_cast<int>(top.y()) - 1, viewport()->width(),
                             static_cast<int>(bottom.y() - top.y()) + 2));
  };
  Layout().OnRepaint = [this] { viewport()->update(); };
  caretBlink_.setInterval(kCaretBlinkMs);
  connect(&caretBlink_, &QTimer::timeout, this, [this] {
    caretShown_ = !caretShown_;
    const TRVRectF caret = Layout().CaretRect(editor_.Caret());
    const QPointF at = ToViewport(caret.Left, caret.Top);
    viewport()->update(QRectF(at.x() - 1, at.y(), caret.Width + 2, caret.Height).toAlignedRect());
  });
  LayOut();
}

TRVPageView::~TRVPageView() {
  // Another view may have taken the editor over since.
  if (&Layout().Metrics() != &metrics_) return;
  Layout().OnReformat = nullptr;
  Layout().OnRepaint = nullptr;
  Layout().SetMetrics(nullptr);
}

QPointF TRVPageView::DocumentOffset() const {
  if (!sheet_) return {kMargin, kMargin};
  return {kMargin + sheet_->textLeft, kMargin + sheet_->textTop};
}

QPointF TRVPageView::ToViewport(double x, double y) const {
  const QPointF offset = DocumentOffset();
  return {x + offset.x() - horizontalScrollBar()->value(), y + offset.y() - verticalScrollBar()->value()};
}

QPointF TRVPageView::ToDocument(QPointF point) const {
  const QPointF offset = DocumentOffset();
  return {point.x() - offset.x() + horizontalScrollBar()->value(), point.y() - offset.y() + verticalScrollBar()->value()};
}

void TRVPageView::SetSheet(const std::optional<TSheet>& sheet) {
  if (sheet == sheet_) return;
  sheet_ = sheet;
  LayOut();
  viewport()->update();
}

void TRVPageView::LayOut() {
  Layout().SetWidth(sheet_ ? std::max(1.0, sheet_->textWidth) : std::max(1, viewport()->width() - 2 * kMargin));
  editor_.PageHeight = std::max(1, viewport()->height() - 2 * kMargin);
  editor_.Format();
  UpdateScrollBars();
}

void TRVPageView::DocumentChanged() {
  editor_.Format();
  UpdateScrollBars();
  viewport()->update();
}

void TRVPageView::UpdateScrollBars() {
  const QPointF offset = DocumentOffset();
  const int height = static_cast<int>(std::ceil(Layout().TotalHeight() + 2 * offset.y()));
  double contentWidth = Layout().TotalWidth() + 2 * offset.x();
  if (sheet_) contentWidth = std::max(contentWidth - offset.x() + kMargin, sheet_->width + 2 * kMargin);
  const int width = static_cast<int>(std::ceil(contentWidth));
  verticalScrollBar()->setRange(0, std::max(0, height - viewport()->height()));
  verticalScrollBar()->setPageStep(viewport()->height());
  verticalScrollBar()->setSingleStep(20);
  horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

void TRVPageView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  LayOut();
}

void TRVPageView::scrollContentsBy(int, int) { viewport()->update(); }

void TRVPageView::EnsureCaretVisible() {
  const TRVRectF caret = Layout().CaretRect(editor_.Caret());
  if (caret.Height <= 0) return;
  QScrollBar* vertical = verticalScrollBar();
  const double top = caret.Top + kMargin;
  const double bottom = caret.Bottom() + kMargin;
  if (top < vertical->value()) vertical->setValue(static_cast<int>(top) - kMargin);
  if (bottom > vertical->value() + viewport()->height()) {
    vertical->setValue(static_cast<int>(std::ceil(bottom)) - viewport()->height() + kMargin);
  }
  QScrollBar* horizontal = horizontalScrollBar();
  const double x = caret.Left + kMargin;
  if (x < horizontal->value()) horizontal->setValue(static_cast<int>(x) - kMargin);
  if (x > horizontal->value() + viewport()->width() - kMargin) {
    horizontal->setValue(static_cast<int>(x) - viewport()->width() + 2 * kMargin);
  }
}

void TRVPageView::RestartCaretBlink() {
  caretShown_ = true;
  if (hasFocus()) caretBlink_.start();
}

// The editor has laid out its changes already.
void TRVPageView::AfterInput() {
  EnsureCaretVisible();
  RestartCaretBlink();
  viewport()->update();
}

// --- mouse ---

TRVPosition TRVPageView::RootPositionAt(QPointF viewportPoint) const {
  const QPointF at = ToDocument(viewportPoint);
  return Layout().PositionAt(at.x(), at.y(), false).Position;
}

bool TRVPageView::RaiseMouseDown(QMouseEvent* event) {
  const QPointF at = ToDocument(event->position());
  if (editor_.OnRVMouseDown) {
    editor_.OnRVMouseDown(MouseButton(event->button()), static_cast<int>(at.x()), static_cast<int>(at.y()));
  }
  return event->button() == Qt::LeftButton;
}

void TRVPageView::mousePressEvent(QMouseEvent* event) {
  if (!RaiseMouseDown(event)) return;
  const TRVPosition position = RootPositionAt(event->position());
  if (position.ItemNo < 0) return;
  const bool tripleClick = sinceDoubleClick_.isValid() &&
                           sinceDoubleClick_.elapsed() < QApplication::doubleClickInterval();
  sinceDoubleClick_.invalidate();
  if (tripleClick) {
    editor_.SelectParagraphAt(position);
  } else if (event->modifiers() & Qt::ShiftModifier) {
    const TRVPosition anchor = editor_.HasSelection() ? editor_.RVData().SelectionAnchor : editor_.Caret();
    editor_.SetSelectionBounds(anchor.ItemNo, anchor.Offset, position.ItemNo, position.Offset);
  } else {
    editor_.SetCaret(position.ItemNo, position.Offset);
  }
  dragAnchor_ = editor_.HasSelection() ? editor_.RVData().SelectionAnchor : editor_.Caret();
  dragging_ = true;
  EnsureCaretVisible();
  RestartCaretBlink();
  viewport()->update();
}

void TRVPageView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
  const TRVPosition position = RootPositionAt(event->position());
  if (position.ItemNo < 0) return;
  editor_.SetSelectionBounds(dragAnchor_.ItemNo, dragAnchor_.Offset, position.ItemNo, position.Offset);
  EnsureCaretVisible();
  viewport()->update();
}

void TRVPageView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!RaiseMouseDown(event)) return;
  const TRVPosition position = RootPositionAt(event->position());
  if (position.ItemNo < 0) return;
  editor_.SelectWordAt(position);
  dragAnchor_ = editor_.RVData().SelectionAnchor;
  dragging_ = false;
  sinceDoubleClick_.start();
  viewport()->update();
}

// --- keys and input methods ---

bool TRVPageView::focusNextPrevChild(bool) { return false; }

void TRVPageView::keyPressEvent(QKeyEvent* event) {
  const TRVShiftState shift = ShiftState(event->modifiers());
  bool handled = false;
  for (const TKeyMap& entry : kKeys) {
    if (entry.qtKey == event->key()) {
      handled = editor_.KeyDown(entry.key, shift);
      break;
    }
  }
  const QString text = event->text();
  const bool typed = !text.isEmpty() && !(event->modifiers() & Qt::ControlModifier) &&
                     std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint() || c == u'\t'; });
  if (!handled && typed) {
    for (QChar c : text) editor_.KeyPress(c.unicode());
    handled = true;
  }
  if (!handled) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  AfterInput();
}

void TRVPageView::inputMethodEvent(QInputMethodEvent* event) {
  const QString committed = event->commitString();
  if (!committed.isEmpty()) {
    editor_.InsertTextAtCaret(committed.toStdU16String());
    AfterInput();
  }
  event->accept();
}

QVariant TRVPageView::inputMethodQuery(Qt::InputMethodQuery query) const {
  if (query == Qt::ImCursorRectangle || query == Qt::ImAnchorRectangle) {
    const TRVRectF caret = Layout().CaretRect(editor_.Caret());
    const QPointF at = ToViewport(caret.Left, caret.Top);
    return QRectF(at.x(), at.y(), caret.Width, caret.Height).toAlignedRect();
  }
  if (query == Qt::ImEnabled) return true;
  return QAbstractScrollArea::inputMethodQuery(query);
}

void TRVPageView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  RestartCaretBlink();
}

void TRVPageView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  caretBlink_.stop();
  caretShown_ = false;
  viewport()->update();
}

}  // namespace varnolt
