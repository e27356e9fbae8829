#include "richtext/editor/RVEdit.h"

#include <algorithm>
#include <new>

#include "richtext/document/CRVDataText.h"

namespace varnolt {

namespace {

// The width of a horizontal line in the selection's text; clipboard text
// leaves lines out anyway.
constexpr int kSelectedTextLineWidth = 80;

// Nothing to insert: no text, or only a byte-order mark.
bool InsertsNothing(std::u16string_view text) {
  return text.empty() || (text.size() == 1 && (text[0] == u'\uFEFF' || text[0] == u'\uFFFE'));
}

bool Before(TRVPosition a, TRVPosition b) {
  return a.ItemNo < b.ItemNo || (a.ItemNo == b.ItemNo && a.Offset < b.Offset);
}

// Runs the closing steps of a change however the change ends.
template <typename Closing>
class TRVScopeExit {
 public:
  explicit TRVScopeExit(Closing closing) : closing_(std::move(closing)) {}
  ~TRVScopeExit() { closing_(); }
  TRVScopeExit(const TRVScopeExit&) = delete;
  TRVScopeExit& operator=(const TRVScopeExit&) = delete;

 private:
  Closing closing_;
};

}  // namespace

bool TRVEditRVData::GetSelectionBounds(TRVPosition& start, TRVPosition& end) const {
  if (SelectionAnchor == SelectionEnd || SelectionAnchor.ItemNo < 0 || SelectionEnd.ItemNo < 0) return false;
  start = SelectionAnchor;
  end = SelectionEnd;
  if (Before(end, start)) std::swap(start, end);
  return true;
}

TCustomRichDocEdit::TCustomRichDocEdit() = default;
TCustomRichDocEdit::~TCustomRichDocEdit() = default;

void TCustomRichDocEdit::SetOptions(TRVOptions options) {
  options_ = options;
  data_.SetTagsArePChars(options.Contains(rvoTagsArePChars));
}

void TCustomRichDocEdit::SetUndoLimit(std::int32_t limit) {
  undo_.Limit = limit;
  redo_.Limit = limit;
}

// --- caret and selection ---

TRVPosition TCustomRichDocEdit::ClampPosition(TRVPosition position) const {
  if (data_.CountItems() == 0) return {-1, 0};
  int itemNo = std::clamp(position.ItemNo, 0, data_.CountItems() - 1);
  int offset = std::clamp(position.Offset, data_.ItemStartOffset(itemNo), data_.ItemEndOffset(itemNo));
  return {itemNo, offset};
}

void TCustomRichDocEdit::PlaceCaret(TRVPosition position) {
  data_.Caret = position;
  data_.SelectionAnchor = position;
  data_.SelectionEnd = position;
}

void TCustomRichDocEdit::SetCaret(int itemNo, int offset) {
  TRVPosition position = ClampPosition({itemNo, offset});
  PlaceCaret(position);
  if (position.ItemNo >= 0) {
    const TCustomRVItemInfo& item = data_.ItemAt(position.ItemNo);
    if (item.IsText()) CurTextStyleNo = data_.EffectiveStyleOf(position.ItemNo);
    CurParaStyleNo = item.ParaNo;
  }
  SelectionChanged();
}

void TCustomRichDocEdit::SetSelectionBounds(int startItem, int startOffset, int endItem, int endOffset) {
  data_.SelectionAnchor = ClampPosition({startItem, startOffset});
  data_.SelectionEnd = ClampPosition({endItem, endOffset});
  data_.Caret = data_.SelectionEnd;
  SelectionChanged();
}

void TCustomRichDocEdit::SelectionChanged() {
  if (OnSelectionChanged) OnSelectionChanged();
}

bool TCustomRichDocEdit::HasSelection() const {
  if (inplace_ != nullptr && inplace_->HasSelection()) return true;
  return data_.SelectionAnchor != data_.SelectionEnd;
}

int TCustomRichDocEdit::CaretItemIndex() const {
  if (inplace_ != nullptr) return inplace_->CaretItemIndex();
  return data_.CountItems() == 0 ? -1 : data_.Caret.ItemNo;
}

std::u16string TCustomRichDocEdit::ItemTextAt(int index) const {
  if (!data_.ItemAt(index).IsText()) return {};
  return data_.ItemTextAt(index);
}

void TCustomRichDocEdit::SelectWholeDocument() {
  if (inplace_ != nullptr) {
    inplace_->SelectWholeDocument();
    return;
  }
  if (data_.CountItems() == 0) return;
  const int last = data_.CountItems() - 1;
  data_.SelectionAnchor = {0, data_.ItemStartOffset(0)};
  data_.SelectionEnd = {last, data_.ItemEndOffset(last)};
  data_.Caret = data_.SelectionEnd;
  SelectionChanged();
}

// --- the check and the bracket ---

void TCustomRichDocEdit::Beep() {
  const TRVStyle* style = Style();
  if (style == nullptr || !style->UseSound) return;
  ++beepCount_;
  if (OnBeep) OnBeep();
}

bool TCustomRichDocEdit::EnsureEditable(bool allowCapture) {
  bool allowed = !ReadOnly && Style() != nullptr && (captureItem_ == nullptr || allowCapture);
  if (allowed && OnChanging) {
    bool allow = true;
    OnChanging(allow);
    allowed = allow;
  }
  if (!allowed) Beep();
  return allowed;
}

bool TCustomRichDocEdit::CaretCanTakeInsertion() const {
  TRVPosition caret = ClampPosition(data_.Caret);
  const TRVStyle* style = Style();
  if (caret.ItemNo < 0 || style == nullptr) return true;
  const TCustomRVItemInfo& item = data_.ItemAt(caret.ItemNo);
  if (style->ParaStyleAt(item.ParaNo).Options.Contains(rvpaoReadOnly)) return false;
  bool inside = item.IsText() && caret.Offset > 1 && caret.Offset < data_.ItemEndOffset(caret.ItemNo);
  return !inside || !style->TextStyleAt(data_.EffectiveStyleOf(caret.ItemNo)).Protection.Contains(rvprModifyProtect);
}

void TCustomRichDocEdit::EnsureNotEmpty() {
  if (data_.CountItems() > 0) return;
  auto item = std::make_unique<TRVTextItemInfo>(CurTextStyleNo);
  item->ParaNo = CurParaStyleNo;
  const TRVStyle* style = Style();
  item->SetUnicodeText(style == nullptr || style->TextStyleAt(CurTextStyleNo).Unicode);
  data_.InsertItemAt(0, {}, std::move(item));
  PlaceCaret({0, 1});
}

void TCustomRichDocEdit::ChangeNotification(bool clearRedo) {
  modified_ = true;
  if (clearRedo) redo_.Clear();
  if (OnChange) OnChange();
}

template <typename Operation>
bool TCustomRichDocEdit::RunChange(std::uint8_t kind, TRVEditCheck check, Operation&& operation) {
  if (!CaretCanTakeInsertion()) {
    Beep();
    return false;
  }
  if (check == TRVEditCheck::kCheck && !EnsureEditable(false)) return false;
  if (!SelectionCanBeDeleted()) {
    Beep();
    return false;
  }
  EnsureNotEmpty();
  data_.Caret = ClampPosition(data_.Caret);
  undo_.BeginGroup(kind, {}, data_.Caret);
  ++undo_.GroupingLevel;
  TRVScopeExit closing([this] {
    --undo_.GroupingLevel;
    Format();
    ChangeNotification(true);
  });
  std::int32_t textStyle = CurTextStyleNo;
  DeleteSelectionInGroup();
  CurTextStyleNo = textStyle;
  operation();
  return true;
}

// --- operations ---

void TCustomRichDocEdit::InsertTextAtCaret(std::u16string_view text, bool caretBeforeText) {
  if (inplace_ != nullptr) {
    inplace_->InsertTextAtCaret(text, caretBeforeText);
    return;
  }
  if (InsertsNothing(text)) return;
  RunChange(kUndoKindInsert, TRVEditCheck::kCheck, [&] { InsertTextAsItems(text, caretBeforeText); });
}

void TCustomRichDocEdit::InsertTextAsItems(std::u16string_view text, bool caretBeforeText) {
  const TRVStyle* style = Style();
  if (!style->TextStyleAt(CurTextStyleNo).Unicode && style->TextStyles.Find(style->DefUnicodeStyle) != nullptr) {
    CurTextStyleNo = style->DefUnicodeStyle;
  }
  TRVTextCutContext context{style, CurTextStyleNo, CurParaStyleNo, data_.AcceptsPageBreaks()};
  TRVItemList items = CutTextIntoItems(text, context);
  if (items.empty()) return;
  auto [start, end] = InsertItemsAtCaret(std::move(items));
  PlaceCaret(caretBeforeText ? start : end);
}

void TCustomRichDocEdit::PasteUnicodeText() {
  if (inplace_ != nullptr) {
    inplace_->PasteUnicodeText();
    return;
  }
  if (!EnsureEditable(false) || clipboard_ == nullptr) return;
  std::optional<std::u16string> text = clipboard_->UnicodeText();
  if (!text || InsertsNothing(*text)) return;
  RunChange(kUndoKindInsert, TRVEditCheck::kAlreadyChecked, [&] { InsertTextAsItems(*text, false); });
}

bool TCustomRichDocEdit::InsertPictureAtCaret(const std::u16string& name, std::unique_ptr<TGraphic> picture,
                                               TRVVAlign vAlign) {
  if (inplace_ != nullptr) return inplace_->InsertPictureAtCaret(name, std::move(picture), vAlign);
  if (!picture) return false;
  auto item = std::make_unique<TRVGraphicItemInfo>(std::move(picture), vAlign);
  item->ParaNo = CurParaStyleNo;
  item->ItemText = UnicodeToAnsi(CodePageOfStyle(Style(), ItemKindPicture), name);
  item->SetContinuesPara(true);
  TRVItemList items;
  items.push_back(std::move(item));
  return RunChange(kUndoKindInsert, TRVEditCheck::kCheck, [&] {
    auto inserted = InsertItemsAtCaret(std::move(items));
    PlaceCaret(inserted.second);
  });
}

bool TCustomRichDocEdit::InsertImportedItems(TRVItemList items, bool importFailed) {
  if (inplace_ != nullptr) return inplace_->InsertImportedItems(std::move(items), importFailed);
  bool done = true;
  if (!items.empty()) {
    done = RunChange(kUndoKindInsert, TRVEditCheck::kCheck, [&] {
      const TRVPosition caret = data_.Caret;
      const TCustomRVItemInfo& here = data_.ItemAt(caret.ItemNo);
      const bool nextStartsPara = caret.ItemNo + 1 >= data_.CountItems() || data_.ItemStartsPara(caret.ItemNo + 1);
      if (here.IsText() && here.ItemText.empty() && data_.ItemStartsPara(caret.ItemNo) && nextStartsPara) {
        // An empty paragraph gives way to the content, which keeps its own paragraph styles.
        const bool pageBreak = here.PageBreakBefore();
        items.front()->SetStartsParagraph();
        if (pageBreak) items.front()->SetPageBreakBefore(true);
        const auto count = static_cast<int>(items.size());
        Changes().DeleteItems(caret.ItemNo, 1);
        Changes().InsertItems(caret.ItemNo, std::move(items));
        const int last = caret.ItemNo + count - 1;
        PlaceCaret({last, data_.ItemEndOffset(last)});
        return;
      }
      if (!items.front()->OccupiesWholeLine() && items.front()->StyleNo != ItemKindListMarker) {
        // The first paragraph joins the one at the caret and takes its style.
        for (std::size_t i = 0; i < items.size(); ++i) {
          if (i > 0 && !items[i]->ContinuesPara() && !items[i]->LineBreakBefore()) break;
          items[i]->ParaNo = here.ParaNo;
        }
        items.front()->SetContinuesPara(true);
      }
      const TRVPosition end = InsertItemsAtCaret(std::move(items)).second;
      // Nothing continues a line after a table.
      const int next = end.ItemNo + 1;
      if (next < data_.CountItems() && data_.ItemAt(end.ItemNo).OccupiesWholeLine() &&
          data_.ItemAt(next).ContinuesPara()) {
        Changes().SetLineFlags(next, 0);
      }
      PlaceCaret(end);
    });
  }
  if (importFailed) Beep();
  return done;
}

void TCustomRichDocEdit::TypeCharacter(char16_t character) {
  if (inplace_ != nullptr) {
    inplace_->TypeCharacter(character);
    return;
  }
  if (TryTypeIntoItem(character)) return;
  std::u16string text(1, character);
  RunChange(kUndoKindTyping, TRVEditCheck::kCheck, [&] { InsertTextAsItems(text, false); });
}

std::string TCustomRichDocEdit::SelectedText(bool unicode) const {
  if (inplace_ != nullptr) return inplace_->SelectedText(unicode);
  std::string text;
  TRVTextOutput out(text, unicode, kSelectedTextLineWidth, true, data_.GetRVStyle());
  if (!data_.ExtractText({}, out, true, false)) return {};
  return text;
}

bool TCustomRichDocEdit::SelectedText(bool unicode, TRVTextChunkSink sink, std::size_t chunkSize,
                                      bool listLabels) const {
  if (inplace_ != nullptr) return inplace_->SelectedText(unicode, std::move(sink), chunkSize, listLabels);
  TRVTextOutput out(std::move(sink), chunkSize, unicode, kSelectedTextLineWidth, true, data_.GetRVStyle());
  out.SetListLabels(listLabels);
  return data_.ExtractText({}, out, true, false);
}

void TCustomRichDocEdit::CopyAsUnicodeText() {
  if (inplace_ != nullptr) {
    inplace_->CopyAsUnicodeText();
    return;
  }
  if (!HasSelection() || clipboard_ == nullptr) return;
  std::string block;
  try {
    block = SelectedText(true);
    block.append(2, '\0');
  } catch (const std::bad_alloc&) {
    throw ERichDocError("No memory");
  }
  clipboard_->Open();
  TRVScopeExit closing([this] { clipboard_->Close(); });
  clipboard_->Empty();
  clipboard_->SetData(kCfUnicodeText, std::move(block));
}

void TCustomRichDocEdit::DeleteSelected() {
  if (inplace_ != nullptr) {
    inplace_->DeleteSelected();
    return;
  }
  if (!HasSelection() || !EnsureEditable(false)) return;
  if (!SelectionCanBeDeleted()) {
    Beep();
    return;
  }
  undo_.BeginGroup(kUndoKindDelete, {}, data_.Caret);
  ++undo_.GroupingLevel;
  TRVScopeExit closing([this] {
    --undo_.GroupingLevel;
    Format();
    ChangeNotification(true);
    layout_.Repaint();
  });
  DeleteSelectionInGroup();
}

void TCustomRichDocEdit::ClearDocument() {
  inplace_ = nullptr;
  captureItem_ = nullptr;
  data_.ClearItems();
  pageSetup_.Clear();
  layout_.Clear();
  formatPending_ = false;
  modified_ = false;
  undo_.Clear();
  redo_.Clear();
  undo_.GroupingLevel = 0;
  redo_.GroupingLevel = 0;
  PlaceCaret({-1, 0});
}

void TCustomRichDocEdit::RepaintEditor() {
  layout_.Repaint();
  if (inplace_ != nullptr) inplace_->RepaintEditor();
}

void TCustomRichDocEdit::Format() {
  EnsureNotEmpty();
  if (ClampPosition(data_.Caret) != data_.Caret) PlaceCaret(ClampPosition(data_.Caret));
  if (updateLevel_ == 0) UpdateLayout();
}

void TCustomRichDocEdit::UpdateLayout() {
  if (formatOnDemand_) {
    formatPending_ = true;
  } else {
    layout_.Update(data_);
  }
}

void TCustomRichDocEdit::EnsureFormatted() {
  formatPending_ = false;
  layout_.Update(data_);
}

void TCustomRichDocEdit::EndUpdate() {
  if (updateLevel_ > 0 && --updateLevel_ == 0) Format();
}

void TCustomRichDocEdit::ReformatDocument() {
  EnsureNotEmpty();
  if (ClampPosition(data_.Caret) != data_.Caret) PlaceCaret(ClampPosition(data_.Caret));
  formatPending_ = false;
  layout_.Format(data_);
  if (options_.Contains(rvoFormatInvalidate)) layout_.Repaint();
}

// --- undo and redo ---

void TCustomRichDocEdit::UndoLastGroup() {
  if (ReadOnly) {
    Beep();
    return;
  }
  if (inplace_ != nullptr) {
    if (inplace_->undo_.CanUndo() || !undo_.CanUndo()) {
      inplace_->UndoLastGroup();
      return;
    }
    // The cell's own history is spent: leave the cell, then undo outside it.
    inplace_ = nullptr;
  }
  if (!undo_.CanUndo()) {
    Beep();
    return;
  }
  TRVUndoInfos& group = *undo_.LastGroup();
  TRVPosition caret;
  if (TRVUndoTypingInfo* typing = group.SingleTyping()) {
    caret = typing->UndoOneCharacter(data_, redo_, group.GroupCaption);
    if (typing->Length <= 0) undo_.PopLastGroup();
  } else {
    caret = RevertLastGroup(undo_, redo_);
  }
  FinishHistoryStep(caret);
}

TRVPosition TCustomRichDocEdit::RevertLastGroup(TRVUndoList& from, TRVUndoList& into) {
  TRVUndoInfos& group = *from.LastGroup();
  into.BeginGroup(group.GroupKind, group.GroupCaption, data_.Caret);
  ++into.GroupingLevel;
  TRVScopeExit closing([&into] { --into.GroupingLevel; });
  for (auto action = group.Actions.rbegin(); action != group.Actions.rend(); ++action) {
    (*action)->Revert(data_, &into);
  }
  TRVPosition caret{group.CaretItemNo, group.CaretOffset};
  from.PopLastGroup();
  return caret;
}

void TCustomRichDocEdit::FinishHistoryStep(TRVPosition caret) {
  Format();
  SetCaret(caret.ItemNo, caret.Offset);
  ChangeNotification(false);
}

void TCustomRichDocEdit::RedoLastGroup() {
  if (ReadOnly) {
    Beep();
    return;
  }
  if (inplace_ != nullptr) {
    inplace_->RedoLastGroup();
    return;
  }
  if (!redo_.CanUndo()) {
    Beep();
    return;
  }
  TRVUndoInfos& group = *redo_.LastGroup();
  TRVPosition caret;
  if (TRVRedoTypingInfo* typing = group.SingleRedoTyping()) {
    caret = typing->RedoOneCharacter(data_, undo_, group.GroupCaption);
    if (typing->Empty()) redo_.PopLastGroup();
  } else {
    caret = RevertLastGroup(redo_, undo_);
  }
  FinishHistoryStep(caret);
}

}  // namespace varnolt
