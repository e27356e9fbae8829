#include <algorithm>

#include "richtext/editor/RVEdit.h"

namespace varnolt {

namespace {

constexpr std::uint8_t kLineBits = rvifContinuesPara | rvifPageBreakBefore | rvifLineBreakBefore;

bool StartsParagraph(const TCustomRVItemInfo& item) { return !item.ContinuesPara() && !item.LineBreakBefore(); }

}  // namespace

// --- inserting at the caret ---

void TCustomRichDocEdit::CopyListMarkers(TRVItemList& items, int paragraphStart) const {
  const TCustomRVItemInfo& marker = data_.ItemAt(paragraphStart);
  TRVItemList withMarkers;
  withMarkers.reserve(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0 && StartsParagraph(*items[i])) {
      auto copy = marker.Clone();
      static_cast<TRVMarkerItemInfo&>(*copy).Reset = false;
      copy->SetStartsParagraph();
      copy->SetPageBreakBefore(items[i]->PageBreakBefore());
      copy->ParaNo = items[i]->ParaNo;
      items[i]->SetContinuesPara(true);
      withMarkers.push_back(std::move(copy));
    }
    withMarkers.push_back(std::move(items[i]));
  }
  items = std::move(withMarkers);
}

int TCustomRichDocEdit::PrepareInsertionPoint(TRVItemList& items) {
  TRVDocChanges changes = Changes();
  TRVPosition caret = data_.Caret;
  TCustomRVItemInfo& item = data_.ItemAt(caret.ItemNo);
  TCustomRVItemInfo& first = *items.front();
  int length = item.IsText() ? TextItemLength(item) : 0;
  if (item.IsText() && caret.Offset > 1 && caret.Offset <= length) {
    auto tail = item.Clone();
    std::size_t unit = item.UnicodeText() ? 2 : 1;
    tail->ItemText = item.ItemText.substr(static_cast<std::size_t>(caret.Offset - 1) * unit);
    tail->SetItemFlags(static_cast<std::uint8_t>((tail->ItemFlags() & ~kLineBits) | rvifContinuesPara));
    changes.DeleteSubstring(caret.ItemNo, caret.Offset, length - caret.Offset + 1);
    TRVItemList one;
    one.push_back(std::move(tail));
    changes.InsertItems(caret.ItemNo + 1, std::move(one));
    return caret.ItemNo + 1;
  }
  bool before = item.IsText() ? (caret.Offset <= 1 && length > 0)
                              : (caret.Offset == 0 && item.StyleNo != ItemKindListMarker);
  if (!before) {
    if (item.OccupiesWholeLine() || first.OccupiesWholeLine()) first.SetStartsParagraph();
    return caret.ItemNo + 1;
  }
  first.SetItemFlags(static_cast<std::uint8_t>((first.ItemFlags() & ~kLineBits) | (item.ItemFlags() & kLineBits)));
  bool fullLine = item.OccupiesWholeLine() || first.OccupiesWholeLine() || items.back()->OccupiesWholeLine();
  changes.SetLineFlags(caret.ItemNo, fullLine ? std::uint8_t{0} : std::uint8_t{rvifContinuesPara});
  return caret.ItemNo;
}

std::pair<TRVPosition, TRVPosition> TCustomRichDocEdit::InsertItemsAtCaret(TRVItemList items) {
  data_.Caret = ClampPosition(data_.Caret);
  int paragraphStart = data_.ParagraphStart(data_.Caret.ItemNo);
  if (data_.ItemAt(paragraphStart).StyleNo == ItemKindListMarker) CopyListMarkers(items, paragraphStart);
  int index = PrepareInsertionPoint(items);
  auto count = static_cast<int>(items.size());
  TRVDocChanges changes = Changes();
  changes.InsertItems(index, std::move(items));
  int last = index + count - 1;
  changes.PropagateParaNo(index);
  changes.PropagateParaNo(last);

  TRVPosition start{index, data_.ItemStartOffset(index)};
  TRVPosition end{last, data_.ItemEndOffset(last)};
  if (data_.CanMergeItems(last)) changes.MergeItems(last);
  if (index > 0 && data_.CanMergeItems(index - 1)) {
    int before = data_.ItemEndOffset(index - 1) - 1;
    changes.MergeItems(index - 1);
    start = {index - 1, before + 1};
    end = last == index ? TRVPosition{index - 1, end.Offset + before} : TRVPosition{last - 1, end.Offset};
  }
  return {start, end};
}

// --- typing ---

bool TCustomRichDocEdit::TryTypeIntoItem(char16_t character) {
  constexpr std::u16string_view kNotTypedInPlace = u"\t\n\v\f\r\u2028\u2029";
  if (data_.CountItems() == 0 || HasSelection() || kNotTypedInPlace.find(character) != std::u16string_view::npos) {
    return false;
  }
  TRVPosition caret = ClampPosition(data_.Caret);
  TCustomRVItemInfo& item = data_.ItemAt(caret.ItemNo);
  if (!item.IsText() || !item.UnicodeText() || data_.EffectiveStyleOf(caret.ItemNo) != CurTextStyleNo) return false;
  if (!CaretCanTakeInsertion()) {
    Beep();
    return true;
  }
  if (!EnsureEditable(false)) return true;
  RecordTyping(undo_, caret.ItemNo, caret.Offset, {}, caret);
  std::size_t at = static_cast<std::size_t>(caret.Offset - 1) * 2;
  item.ItemText.insert(at, Utf16ToBytes(std::u16string_view(&character, 1)));
  PlaceCaret({caret.ItemNo, caret.Offset + 1});
  // Only this item changed: the layout need not compare the others. Inside
  // an update bracket other changes may be pending, so EndUpdate lays out.
  if (updateLevel_ == 0 && formatOnDemand_) {
    formatPending_ = true;
  } else if (updateLevel_ == 0) {
    layout_.UpdateItem(data_, caret.ItemNo);
  }
  ChangeNotification(true);
  return true;
}

// --- deleting the selection ---

bool TCustomRichDocEdit::SelectionCanBeDeleted() const {
  TRVPosition start;
  TRVPosition end;
  if (!data_.GetSelectionBounds(start, end)) return true;
  return SelectionIsDeletable(ClampPosition(start), ClampPosition(end));
}

bool TCustomRichDocEdit::SelectionIsDeletable(TRVPosition start, TRVPosition end) const {
  if (start.ItemNo < 0 || end.ItemNo < 0) return true;
  const TRVStyle* style = Style();
  for (int i = start.ItemNo; i <= end.ItemNo; ++i) {
    const TCustomRVItemInfo& item = data_.ItemAt(i);
    if (!item.IsText()) {
      bool covered = (i > start.ItemNo || start.Offset == 0) && (i < end.ItemNo || end.Offset == 1);
      if (covered && !item.CanBeDeleted()) return false;
      continue;
    }
    int from = i == start.ItemNo ? start.Offset : 1;
    int to = i == end.ItemNo ? end.Offset : data_.ItemEndOffset(i);
    if (to <= from || style == nullptr) continue;
    TRVProtectOptions protection = style->TextStyleAt(data_.EffectiveStyleOf(i)).Protection;
    if (protection.Contains(rvprModifyProtect) || protection.Contains(rvprDeleteProtect)) return false;
  }
  return true;
}

// The item that now stands where the selection ended joins the place where it began.
void TCustomRichDocEdit::JoinAfterDeletion(int joined, bool headRemoved, std::uint8_t headFlags,
                                            std::int32_t headPara) {
  TRVDocChanges changes = Changes();
  const TCustomRVItemInfo& item = data_.ItemAt(joined);
  bool previousFullLine = joined > 0 && data_.ItemAt(joined - 1).OccupiesWholeLine();
  std::uint8_t flags = headRemoved ? headFlags : std::uint8_t{rvifContinuesPara};
  if ((flags & rvifContinuesPara) != 0 && (previousFullLine || item.OccupiesWholeLine())) {
    flags = headRemoved ? 0 : static_cast<std::uint8_t>(item.ItemFlags() & ~rvifContinuesPara & kLineBits);
  }
  if (item.OccupiesWholeLine()) flags &= static_cast<std::uint8_t>(~rvifLineBreakBefore);
  changes.SetLineFlags(joined, flags);
  if (headRemoved && StartsParagraph(data_.ItemAt(joined))) changes.SetParaNo(joined, headPara);
  changes.PropagateParaNo(joined);
}

// A list marker never ends its line: it gets an empty text item after it.
void TCustomRichDocEdit::KeepMarkersCompany(int from, int to) {
  for (int i = std::min(to, data_.CountItems() - 1); i >= std::max(from, 0); --i) {
    const TCustomRVItemInfo& item = data_.ItemAt(i);
    bool alone = i + 1 >= data_.CountItems() || !data_.ItemAt(i + 1).ContinuesPara();
    if (item.StyleNo != ItemKindListMarker || !alone) continue;
    auto filler = std::make_unique<TRVTextItemInfo>(CurTextStyleNo);
    filler->ParaNo = item.ParaNo;
    filler->SetUnicodeText(Style()->TextStyleAt(CurTextStyleNo).Unicode);
    filler->SetContinuesPara(true);
    TRVItemList one;
    one.push_back(std::move(filler));
    Changes().InsertItems(i + 1, std::move(one));
  }
}

bool TCustomRichDocEdit::DeleteSelectionInGroup() {
  TRVPosition start;
  TRVPosition end;
  if (!data_.GetSelectionBounds(start, end)) return true;
  start = ClampPosition(start);
  end = ClampPosition(end);
  if (start == end) {
    PlaceCaret(start);
    return true;
  }
  if (!SelectionIsDeletable(start, end)) return false;
  TRVDocChanges changes = Changes();
  const int head = start.ItemNo;
  int tail = end.ItemNo;
  if (head == tail && data_.ItemAt(head).IsText()) {
    changes.DeleteSubstring(head, start.Offset, end.Offset - start.Offset);
    PlaceCaret(start);
    return true;
  }
  const TCustomRVItemInfo& headItem = data_.ItemAt(head);
  const bool headText = headItem.IsText();
  const bool headRemoved = headText ? start.Offset <= 1 : start.Offset == 0;
  const bool headStartsLine = !headItem.ContinuesPara();
  const std::uint8_t headFlags = headItem.ItemFlags() & kLineBits;
  const std::int32_t headPara = headItem.ParaNo;
  // A marker left at the start of the last line goes too: its paragraph joins the first.
  bool tailRemoved = data_.ItemAt(tail).IsText() ? end.Offset >= data_.ItemEndOffset(tail)
                                                 : (end.Offset >= 1 || data_.ItemAt(tail).StyleNo == ItemKindListMarker);
  const bool tailUntouched = !tailRemoved && end.Offset <= data_.ItemStartOffset(tail);
  const bool nextJoins = tailRemoved && tail + 1 < data_.CountItems() && data_.ItemAt(tail + 1).ContinuesPara();
  const bool lineGoesOn = !tailRemoved || nextJoins;
  // A line whose every item goes keeps one empty item.
  const bool keepEmptyLine = headRemoved && headStartsLine && !lineGoesOn;

  if (!tailRemoved && !tailUntouched) changes.DeleteSubstring(tail, 1, end.Offset - 1);
  int firstGone = headRemoved && !(keepEmptyLine && headText) ? head : head + 1;
  int lastGone = tailRemoved ? tail : tail - 1;
  if (lastGone >= firstGone) changes.DeleteItems(firstGone, lastGone - firstGone + 1);
  if (headText && (!headRemoved || keepEmptyLine)) {
    int length = TextItemLength(data_.ItemAt(head));
    if (start.Offset <= length) changes.DeleteSubstring(head, start.Offset, length - start.Offset + 1);
  } else if (keepEmptyLine) {
    auto empty = std::make_unique<TRVTextItemInfo>(CurTextStyleNo);
    empty->ParaNo = headPara;
    empty->SetUnicodeText(Style()->TextStyleAt(CurTextStyleNo).Unicode);
    empty->SetItemFlags(static_cast<std::uint8_t>(empty->ItemFlags() | headFlags));
    TRVItemList one;
    one.push_back(std::move(empty));
    changes.InsertItems(head, std::move(one));
  }
  if (lineGoesOn) JoinAfterDeletion(firstGone, headRemoved, headFlags, headPara);
  KeepMarkersCompany(head - 1, head);

  TRVPosition caret;
  if (!headRemoved || keepEmptyLine) {
    caret = {head, keepEmptyLine ? 1 : start.Offset};
  } else if (lineGoesOn) {
    caret = {firstGone, data_.ItemStartOffset(firstGone)};
  } else {
    caret = {head - 1, data_.ItemEndOffset(head - 1)};
  }
  PlaceCaret(ClampPosition(caret));
  return true;
}

}  // namespace varnolt
