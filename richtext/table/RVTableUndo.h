#pragma once
// Undo of a change to a table: the table as it was is kept whole and put
// back in place of the changed one, which becomes the redo step.
#include <functional>
#include <memory>

#include "richtext/editor/RVUndo.h"
#include "richtext/table/RVTable.h"

namespace varnolt {

class TRVUndoTableInfo : public TRVUndoInfo {
 public:
  TRVUndoTableInfo(int itemNo, std::unique_ptr<TRVTableItemInfo> before) : itemNo_(itemNo), before_(std::move(before)) {}
  void Revert(TCustomRVData& data, TRVUndoList* inverse) override;

 private:
  int itemNo_;
  std::unique_ptr<TRVTableItemInfo> before_;
};

// Runs change on the table at itemNo of data and records in undo (which
// must have an open group; nothing is recorded when it is null) how to
// revert it. "Can't get or set this kind of information for this item"
// when the item is no table.
void ChangeTable(TCustomRVData& data, int itemNo, TRVUndoList* undo,
                 const std::function<void(TRVTableItemInfo&)>& change);

}  // namespace varnolt
