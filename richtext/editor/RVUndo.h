#pragma once
// Undo and redo: groups of elementary actions, each able to revert exactly
// one change of a document and to record the change that reverts it back.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "richtext/document/CRVData.h"

namespace varnolt {

// Kinds of user action a group belongs to.
inline constexpr std::uint8_t kUndoKindNone = 0;
inline constexpr std::uint8_t kUndoKindDelete = 1;
inline constexpr std::uint8_t kUndoKindInsert = 2;
inline constexpr std::uint8_t kUndoKindTyping = 7;
inline constexpr std::uint8_t kUndoKindModifyItem = 13;

class TRVUndoList;
class TRVUndoTypingInfo;
class TRVRedoTypingInfo;

// One elementary change that can be reverted.
class TRVUndoInfo {
 public:
  virtual ~TRVUndoInfo() = default;
  // Reverts the change in data, recording the inverse change in `inverse`
  // (nothing when it is null).
  virtual void Revert(TCustomRVData& data, TRVUndoList* inverse) = 0;
};

// A group: what one user action did.
class TRVUndoInfos {
 public:
  std::uint8_t GroupKind = kUndoKindNone;
  std::u16string GroupCaption;
  std::int32_t CaretItemNo = -1;
  std::int32_t CaretOffset = 0;
  std::vector<std::unique_ptr<TRVUndoInfo>> Actions;

  // The one action when the group is nothing but typing, else nullptr.
  TRVUndoTypingInfo* SingleTyping() const;
  TRVRedoTypingInfo* SingleRedoTyping() const;
};

class TRVUndoList {
 public:
  TRVUndoList() = default;
  TRVUndoList(const TRVUndoList&) = delete;
  TRVUndoList& operator=(const TRVUndoList&) = delete;
  virtual ~TRVUndoList() = default;

  std::int32_t Limit = -1;  // -1 unlimited, 0 nothing recorded, N at most N groups
  std::int32_t GroupingLevel = 0;

  int Count() const { return static_cast<int>(groups_.size()); }
  TRVUndoInfos* LastGroup() const { return groups_.empty() ? nullptr : groups_.back().get(); }
  // Not empty while the last group has a kind.
  bool CanUndo() const { return !groups_.empty() && groups_.back()->GroupKind != kUndoKindNone; }

  // Starts a new group unless actions of an open grouping go into the last one.
  void BeginGroup(std::uint8_t kind, const std::u16string& caption, TRVPosition caret);
  // Raises "Can't modify empty undo list" without a group, "Incorrect adding
  // into undo list" when the last group is a typing group; with Limit 0 the
  // action is dropped.
  void AddAction(std::unique_ptr<TRVUndoInfo> action);
  std::unique_ptr<TRVUndoInfos> PopLastGroup();
  void Clear() { groups_.clear(); }

 private:
  void StartGroup(std::uint8_t kind, const std::u16string& caption, TRVPosition caret);
  std::vector<std::unique_ptr<TRVUndoInfos>> groups_;
};

class TRVRedoList : public TRVUndoList {};

// Changes a document one elementary step at a time and records in `list`
// the action that reverts each step (nothing when list is null). Offsets are
// item positions: 1 before a text item's first character.
class TRVDocChanges {
 public:
  TRVDocChanges(TCustomRVData& data, TRVUndoList* list) : data_(data), list_(list) {}

  void InsertItems(int index, TRVItemList items);
  void DeleteItems(int index, int count);
  // units: the item's own bytes (UTF-16LE for a Unicode item).
  void InsertSubstring(int itemNo, int offset, std::string units);
  void DeleteSubstring(int itemNo, int offset, int length);
  // The three line bits of ItemFlags.
  void SetLineFlags(int itemNo, std::uint8_t flags);
  void SetParaNo(int itemNo, std::int32_t paraNo);
  void SetStyleNo(int itemNo, std::int32_t styleNo, bool unicode);
  void SetTag(int itemNo, TRVTag tag);
  // The merge rule of adjacent text items, as the steps above.
  void MergeItems(int index);
  // Gives every item of the paragraph that holds itemNo the ParaNo of its first item.
  void PropagateParaNo(int itemNo);

 private:
  void Record(std::unique_ptr<TRVUndoInfo> action);
  TCustomRVData& data_;
  TRVUndoList* list_;
};

// Characters typed one after another at one place in one item.
class TRVUndoTypingInfo : public TRVUndoInfo {
 public:
  TRVUndoTypingInfo(int itemNo, int offset, int length) : ItemNo(itemNo), Offset(offset), Length(length) {}
  int ItemNo;
  int Offset;  // position of the first character typed
  int Length;

  // Whether a character typed at the position continues this run.
  bool Continues(int itemNo, int offset) const { return itemNo == ItemNo && offset == Offset + Length; }
  // Removes the last remaining character, records it in `redo` and returns
  // the position it stood at.
  TRVPosition UndoOneCharacter(TCustomRVData& data, TRVUndoList& redo, const std::u16string& caption);
  void Revert(TCustomRVData& data, TRVUndoList* inverse) override;
};

// Characters taken out by undoing typing, put back one per redo.
class TRVRedoTypingInfo : public TRVUndoInfo {
 public:
  TRVRedoTypingInfo(int itemNo, int offset, std::string units) : ItemNo(itemNo), Offset(offset), Units(std::move(units)) {}
  int ItemNo;
  int Offset;         // where the next character goes back
  std::string Units;  // the characters, next one first, in the item's bytes

  // Puts the next character back, records it in `undo` as typing and returns
  // the position after it.
  TRVPosition RedoOneCharacter(TCustomRVData& data, TRVUndoList& undo, const std::u16string& caption);
  bool Empty() const { return Units.empty(); }
  void Revert(TCustomRVData& data, TRVUndoList* inverse) override;
};

// Records that one character was typed at (itemNo, offset): extends the
// last typing run when it continues it, else starts a typing group.
void RecordTyping(TRVUndoList& undo, int itemNo, int offset, const std::u16string& caption, TRVPosition caret);

}  // namespace varnolt
