// The editor's own keys: line breaks, undo and redo, the clipboard keys,
// deleting, and moving the caret over the formatted lines.
#include <unicode/brkiter.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <memory>

#include "richtext/editor/RVEdit.h"

namespace varnolt {

namespace {

constexpr int kLinesPerPage = 20;

struct TKeyBinding {
  TRVKey key;
  TRVShiftState required;
  TRVShiftState refused;
  void (*action)(TCustomRichDocEdit& editor);
};

// Shift, Alt and Ctrl beyond required and refused do not matter.
const TKeyBinding kBindings[] = {
    {rvkZ, {ssCtrl}, {ssShift, ssAlt}, [](TCustomRichDocEdit& e) { e.UndoLastGroup(); }},
    {rvkBack, {ssAlt}, {ssShift, ssCtrl}, [](TCustomRichDocEdit& e) { e.UndoLastGroup(); }},
    {rvkZ, {ssCtrl, ssShift}, {ssAlt}, [](TCustomRichDocEdit& e) { e.RedoLastGroup(); }},
    {rvkBack, {ssAlt, ssShift}, {ssCtrl}, [](TCustomRichDocEdit& e) { e.RedoLastGroup(); }},
    {rvkC, {ssCtrl}, {ssAlt}, [](TCustomRichDocEdit& e) { e.CopyByOptions(); }},
    {rvkInsert, {ssCtrl}, {ssAlt, ssShift}, [](TCustomRichDocEdit& e) { e.CopyByOptions(); }},
    {rvkX, {ssCtrl}, {ssAlt}, [](TCustomRichDocEdit& e) { e.CutSelection(); }},
    {rvkDelete, {ssShift}, {ssCtrl, ssAlt}, [](TCustomRichDocEdit& e) { e.CutSelection(); }},
    {rvkV, {ssCtrl}, {ssAlt}, [](TCustomRichDocEdit& e) { e.PasteFromClipboard(); }},
    {rvkInsert, {ssShift}, {ssCtrl, ssAlt}, [](TCustomRichDocEdit& e) { e.PasteFromClipboard(); }},
    {rvkTab, {ssCtrl}, {ssAlt}, [](TCustomRichDocEdit& e) { e.InsertTextAtCaret(u"\t"); }},
};

bool Matches(const TKeyBinding& binding, TRVKey key, TRVShiftState shift) {
  return binding.key == key && (shift * binding.required) == binding.required && (shift * binding.refused).Empty();
}

// The word boundaries of one item's text by ICU's rules; the iterator reads
// the text in place, so both live together. Iterator() is nullptr when ICU
// has no word rules.
class TRVWordBreaks {
 public:
  explicit TRVWordBreaks(const std::u16string& text) : shown_(false, text.data(), static_cast<int32_t>(text.size())) {
    UErrorCode status = U_ZERO_ERROR;
    iterator_.reset(icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) iterator_.reset();
    if (iterator_) iterator_->setText(shown_);
  }
  icu::BreakIterator* Iterator() const { return iterator_.get(); }

 private:
  const icu::UnicodeString shown_;
  std::unique_ptr<icu::BreakIterator> iterator_;
};

}  // namespace

TRVPosition TCustomRichDocEdit::StepLeft(TRVPosition position) const {
  const int item = position.ItemNo;
  if (item < 0 || item >= data_.CountItems()) return position;
  if (position.Offset > data_.ItemStartOffset(item)) return {item, position.Offset - 1};
  if (item == 0) return position;
  const int previous = item - 1;
  const int end = data_.ItemEndOffset(previous);
  // From the start of an item on the same line the step passes the
  // previous item's last character; from a line start it only changes lines.
  if (!data_.StartsNewLine(item) && end > data_.ItemStartOffset(previous)) return {previous, end - 1};
  return {previous, end};
}

TRVPosition TCustomRichDocEdit::StepRight(TRVPosition position) const {
  const int item = position.ItemNo;
  if (item < 0 || item >= data_.CountItems()) return position;
  if (position.Offset < data_.ItemEndOffset(item)) return {item, position.Offset + 1};
  if (item + 1 >= data_.CountItems()) return position;
  const int next = item + 1;
  const int start = data_.ItemStartOffset(next);
  if (!data_.StartsNewLine(next) && data_.ItemEndOffset(next) > start) return {next, start + 1};
  return {next, start};
}

TRVPosition TCustomRichDocEdit::LineBoundary(TRVPosition position, bool end) const {
  const TRVLineRef line = layout_.LineOf(position);
  if (!line.Valid()) return position;
  return end ? layout_.LineEnd(line) : layout_.LineStart(line);
}

double TCustomRichDocEdit::VerticalMoveX(TRVPosition position) {
  if (position != verticalCaret_) verticalX_ = layout_.CaretRect(position).Left;
  return verticalX_;
}

TRVPosition TCustomRichDocEdit::LinesAway(TRVPosition position, int lines) {
  const TRVPosition target = layout_.LinesAway(position, lines, VerticalMoveX(position));
  verticalCaret_ = target;
  return target;
}

TRVPosition TCustomRichDocEdit::PageAway(TRVPosition position, int pages) {
  if (PageHeight <= 0) return LinesAway(position, pages * kLinesPerPage);
  const TRVPosition target = layout_.PagesAway(position, pages, PageHeight, VerticalMoveX(position));
  verticalCaret_ = target;
  return target;
}

// Ctrl+Delete takes the word and the spaces after it, Ctrl+Backspace the
// word before the caret and the spaces between; both stay in the caret's item.
TRVPosition TCustomRichDocEdit::WordBoundary(TRVPosition position, bool forward) const {
  if (position.ItemNo < 0 || !data_.ItemAt(position.ItemNo).IsText()) return position;
  const std::u16string text = data_.ItemTextAt(position.ItemNo);
  TRVWordBreaks breaks(text);
  icu::BreakIterator* words = breaks.Iterator();
  if (words == nullptr) return position;
  const int at = position.Offset - 1;
  const auto blank = [&](int from, int to) {
    return std::all_of(text.begin() + from, text.begin() + to, [](char16_t c) { return u_isWhitespace(c); });
  };
  int boundary = at;
  if (forward) {
    if (at >= static_cast<int>(text.size())) return position;
    boundary = words->following(at);
    const int next = boundary < static_cast<int>(text.size()) ? words->following(boundary) : boundary;
    if (next != icu::BreakIterator::DONE && blank(boundary, next)) boundary = next;
  } else {
    if (at <= 0) return position;
    boundary = words->preceding(at);
    if (boundary > 0 && blank(boundary, at)) boundary = words->preceding(boundary);
  }
  return {position.ItemNo, std::max(0, boundary) + 1};
}

void TCustomRichDocEdit::SelectWordAt(TRVPosition position) {
  position = ClampPosition(position);
  if (position.ItemNo < 0) return;
  if (!data_.ItemAt(position.ItemNo).IsText()) {
    SetSelectionBounds(position.ItemNo, 0, position.ItemNo, 1);
    return;
  }
  const std::u16string text = data_.ItemTextAt(position.ItemNo);
  TRVWordBreaks breaks(text);
  icu::BreakIterator* words = breaks.Iterator();
  if (words == nullptr || text.empty()) return;
  const int at = std::min(position.Offset - 1, static_cast<int>(text.size()) - 1);
  const int end = words->following(at);
  const int start = words->preceding(end);
  SetSelectionBounds(position.ItemNo, start + 1, position.ItemNo, end + 1);
}

void TCustomRichDocEdit::SelectParagraphAt(TRVPosition position) {
  position = ClampPosition(position);
  if (position.ItemNo < 0) return;
  const int first = data_.ParagraphStart(position.ItemNo);
  int last = position.ItemNo;
  while (last + 1 < data_.CountItems() && !data_.ItemStartsPara(last + 1)) ++last;
  SetSelectionBounds(first, data_.ItemStartOffset(first), last, data_.ItemEndOffset(last));
}

void TCustomRichDocEdit::DeleteWord(bool before) {
  if (HasSelection()) {
    DeleteSelected();
    return;
  }
  const TRVPosition caret = data_.Caret;
  const TRVPosition boundary = WordBoundary(caret, !before);
  if (boundary == caret) {
    DeleteNextTo(before);
    return;
  }
  const TRVPosition from = before ? boundary : caret;
  const TRVPosition to = before ? caret : boundary;
  SetSelectionBounds(from.ItemNo, from.Offset, to.ItemNo, to.Offset);
  DeleteSelected();
}

void TCustomRichDocEdit::MoveCaret(TRVPosition target, bool extend) {
  if (!extend) {
    SetCaret(target.ItemNo, target.Offset);
    return;
  }
  const TRVPosition anchor = HasSelection() ? data_.SelectionAnchor : data_.Caret;
  SetSelectionBounds(anchor.ItemNo, anchor.Offset, target.ItemNo, target.Offset);
}

void TCustomRichDocEdit::DeleteNextTo(bool before) {
  if (HasSelection()) {
    DeleteSelected();
    return;
  }
  const TRVPosition caret = data_.Caret;
  const TRVPosition from = before ? StepLeft(caret) : caret;
  const TRVPosition to = before ? caret : StepRight(caret);
  if (from == to) return;
  SetSelectionBounds(from.ItemNo, from.Offset, to.ItemNo, to.Offset);
  DeleteSelected();
}

bool TCustomRichDocEdit::KeyDown(TRVKey key, TRVShiftState shift) {
  if (inplace_ != nullptr) return inplace_->KeyDown(key, shift);
  for (const auto& binding : kBindings) {
    if (Matches(binding, key, shift)) {
      binding.action(*this);
      return true;
    }
  }
  const bool extend = shift.Contains(ssShift);
  const bool ctrl = shift.Contains(ssCtrl);
  if (key == rvkReturn) {
    if (extend) {
      if (!EditorOptions.Contains(rvoDoNotWantShiftReturns)) InsertTextAtCaret(u"\u2028");
    } else if (!EditorOptions.Contains(rvoDoNotWantReturns)) {
      InsertTextAtCaret(u"\r");
    }
    return true;
  }
  if (key == rvkBack || key == rvkDelete) {
    if (ctrl) {
      DeleteWord(key == rvkBack);
    } else {
      DeleteNextTo(key == rvkBack);
    }
    return true;
  }
  constexpr TRVKey kMoves[] = {rvkLeft, rvkRight, rvkHome, rvkEnd, rvkUp, rvkDown, rvkPageUp, rvkPageDown};
  if (data_.CountItems() == 0 || std::find(std::begin(kMoves), std::end(kMoves), key) == std::end(kMoves)) {
    return false;
  }
  EnsureFormatted();
  const TRVPosition caret = data_.Caret;
  const TRVPosition documentStart{0, data_.ItemStartOffset(0)};
  const TRVPosition documentEnd{data_.CountItems() - 1, data_.ItemEndOffset(data_.CountItems() - 1)};
  switch (key) {
    case rvkLeft: MoveCaret(StepLeft(caret), extend); return true;
    case rvkRight: MoveCaret(StepRight(caret), extend); return true;
    case rvkHome: MoveCaret(ctrl ? documentStart : LineBoundary(caret, false), extend); return true;
    case rvkEnd: MoveCaret(ctrl ? documentEnd : LineBoundary(caret, true), extend); return true;
    case rvkUp:
    case rvkDown:
      // Ctrl with Up or Down scrolls the view and leaves the caret.
      if (!ctrl) MoveCaret(LinesAway(caret, key == rvkUp ? -1 : 1), extend);
      return true;
    case rvkPageUp: MoveCaret(PageAway(caret, -1), extend); return true;
    case rvkPageDown: MoveCaret(PageAway(caret, 1), extend); return true;
    default: return false;
  }
}

void TCustomRichDocEdit::KeyPress(char16_t character) {
  if (inplace_ != nullptr) return inplace_->KeyPress(character);
  // Typing replaces the selection.
  if (HasSelection()) DeleteSelected();
  TypeCharacter(character);
}

}  // namespace varnolt
