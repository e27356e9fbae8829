// The editor's own keys: line breaks, undo and redo, the clipboard keys,
// deleting, and moving the caret over the formatted lines.
#include "richtext/editor/RVEdit.h"

namespace varnolt {

namespace {

constexpr int kLinesPerPage = 20;

bool Before(TRVPosition a, TRVPosition b) {
  return a.ItemNo < b.ItemNo || (a.ItemNo == b.ItemNo && a.Offset < b.Offset);
}

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
  const int line = layout_.ToLinePosition(position).LineNo;
  if (line < 0) return position;
  return end ? layout_.LineEndPosition(data_, line) : layout_.LineStartPosition(data_, line);
}

TRVPosition TCustomRichDocEdit::LinesAway(TRVPosition position, int lines) const {
  const int line = layout_.ToLinePosition(position).LineNo;
  if (line < 0 || layout_.LineCount() == 0) return position;
  int column = 0;
  for (TRVPosition at = layout_.LineStartPosition(data_, line); Before(at, position); ++column) {
    const TRVPosition next = StepRight(at);
    if (next == at) break;
    at = next;
  }
  const int target = std::clamp(line + lines, 0, layout_.LineCount() - 1);
  TRVPosition at = layout_.LineStartPosition(data_, target);
  const TRVPosition lineEnd = layout_.LineEndPosition(data_, target);
  for (; column > 0 && Before(at, lineEnd); --column) at = StepRight(at);
  return at;
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
    DeleteNextTo(key == rvkBack);
    return true;
  }
  if (data_.CountItems() == 0) return false;
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
    case rvkPageUp: MoveCaret(LinesAway(caret, -kLinesPerPage), extend); return true;
    case rvkPageDown: MoveCaret(LinesAway(caret, kLinesPerPage), extend); return true;
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
