#include "richtext/table/RVTableUndo.h"

namespace varnolt {

void TRVUndoTableInfo::Revert(TCustomRVData& data, TRVUndoList* inverse) {
  TRVItemList taken = data.ExtractItems(itemNo_, 1);
  auto* current = dynamic_cast<TRVTableItemInfo*>(taken.empty() ? nullptr : taken.front().get());
  if (current == nullptr) throw ERichDocError("Can't get or set this kind of information for this item");
  std::unique_ptr<TRVTableItemInfo> replaced(static_cast<TRVTableItemInfo*>(taken.front().release()));
  // The snapshot is a copy, which has no checkpoint: the item keeps its own.
  before_->SetCheckpoint(replaced->TakeCheckpoint());
  std::string text = before_->ItemText;
  data.InsertItemAt(itemNo_, std::move(text), std::move(before_));
  if (inverse != nullptr) inverse->AddAction(std::make_unique<TRVUndoTableInfo>(itemNo_, std::move(replaced)));
}

void ChangeTable(TCustomRVData& data, int itemNo, TRVUndoList* undo,
                 const std::function<void(TRVTableItemInfo&)>& change) {
  auto& table = data.ItemAs<TRVTableItemInfo>(itemNo);
  std::unique_ptr<TCustomRVItemInfo> before = undo != nullptr ? table.Clone() : nullptr;
  change(table);
  if (undo == nullptr) return;
  std::unique_ptr<TRVTableItemInfo> snapshot(static_cast<TRVTableItemInfo*>(before.release()));
  undo->AddAction(std::make_unique<TRVUndoTableInfo>(itemNo, std::move(snapshot)));
}

}  // namespace varnolt
