// Footnotes, endnotes and numbered sequences. A note's reference character
// comes first as a note reference item; the note that follows takes its
// place, and the note's text goes into the note's own document.
#include "richtext/rtf/import/RVRTFImport.h"

namespace varnolt {

namespace {

// Notes are near the end of the document being built: search from there.
int IndexFromEnd(const TCustomRVData& data, const TCustomRVItemInfo* item) {
  for (int i = data.CountItems() - 1; i >= 0; --i) {
    if (&data.ItemAt(i) == item) return i;
  }
  return -1;
}

// Puts replacement where the item at index stands, with its flags, paragraph,
// checkpoint, hint and tag.
void ReplaceItem(TCustomRVData& data, int index, std::unique_ptr<TCustomRVItemInfo> replacement) {
  TRVItemList old = data.ExtractItems(index, 1);
  TCustomRVItemInfo& previous = *old.front();
  replacement->SetItemFlags(previous.ItemFlags());
  replacement->ParaNo = previous.ParaNo;
  replacement->SetCheckpoint(previous.TakeCheckpoint());
  replacement->SetItemHint(previous.ItemHint());
  replacement->SetItemTag(previous.ItemTag());
  data.InsertItemAt(index, {}, std::move(replacement));
}

}  // namespace

void TRVRTFImporter::Note(TRVRTFNoteEventType what, TRVRTFPosition position) {
  switch (what) {
    case rtf_ne_Character: {
      position = TakePosition(position);
      const std::int32_t styleNo = ChooseTextStyle(props_.UnicodeMode != rvruNoUnicode, true);
      const int index = InsertItem(std::make_unique<TRVNoteReferenceItemInfo>(styleNo), {}, position);
      lastNoteReferenceTarget_ = target_;
      lastNoteReferenceIndex_ = index;
      break;
    }
    case rtf_ne_Start: NoteStart(position); break;
    case rtf_ne_EndNote: NoteToEndnote(); break;
    case rtf_ne_End: NoteEnd(); break;
  }
}

void TRVRTFImporter::NoteStart(TRVRTFPosition position) {
  if (lastNoteReferenceIndex_ < 0 || lastNoteReferenceTarget_ != target_) Note(rtf_ne_Character, position);
  TCustomRVData& data = *target_;
  const int index = lastNoteReferenceIndex_;
  auto* reference = dynamic_cast<TRVNoteReferenceItemInfo*>(&data.ItemAt(index));
  if (reference == nullptr) return;
  auto note = std::make_unique<TRVFootnoteItemInfo>(reference->TextStyleNo);
  TRVFootnoteItemInfo* placed = note.get();
  ReplaceItem(data, index, std::move(note));
  TRVRTFSubData saved;
  saved.SavedTarget = target_;
  saved.SavedRow = row_;
  saved.SavedColumn = column_;
  saved.Note = placed;
  subData_.push_back(std::move(saved));
  SetTarget(&placed->Document());
}

void TRVRTFImporter::NoteToEndnote() {
  if (subData_.empty() || subData_.back().Note == nullptr || subData_.back().Table) return;
  TRVRTFSubData& current = subData_.back();
  auto* footnote = dynamic_cast<TRVFootnoteItemInfo*>(current.Note);
  if (footnote == nullptr) return;
  TCustomRVData& owner = *current.SavedTarget;
  const int index = IndexFromEnd(owner, footnote);
  if (index < 0) return;
  auto endnote = std::make_unique<TRVEndnoteItemInfo>(footnote->TextStyleNo);
  TRVEndnoteItemInfo* placed = endnote.get();
  // The text read so far moves with the note.
  TRVItemList text = footnote->Document().ExtractItems(0, footnote->Document().CountItems());
  ReplaceItem(owner, index, std::move(endnote));
  placed->Document().InsertItemsAt(0, std::move(text));
  current.Note = placed;
  SetTarget(&placed->Document());
}

void TRVRTFImporter::NoteEnd() {
  while (!subData_.empty() && subData_.back().Table) TableEnd(true);
  if (subData_.empty()) return;
  TRVRTFSubData saved = std::move(subData_.back());
  subData_.pop_back();
  SetTarget(saved.SavedTarget);
  row_ = saved.SavedRow;
  column_ = saved.SavedColumn;
}

void TRVRTFImporter::NewSeq(TRVRTFPosition position, const TRVUnicodeString& name, TRVRTFSeqType type, bool reset,
                            std::int32_t startFrom) {
  position = TakePosition(position);
  // The note sequences' own names are not for fields.
  const bool noteName = SameFontName(name, kFootnoteSeqName) || SameFontName(name, kEndnoteSeqName);
  std::u16string seqName = noteName ? std::u16string(u"_") + name : name;
  const std::int32_t styleNo = ChooseTextStyle(props_.UnicodeMode != rvruNoUnicode, false);
  auto item = std::make_unique<TRVSeqItemInfo>(std::move(seqName), static_cast<TRVSeqType>(type), styleNo);
  item->Reset = reset;
  item->StartFrom = startFrom;
  InsertItem(std::move(item), {}, position);
}

}  // namespace varnolt
