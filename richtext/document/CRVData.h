#pragma once
// A document: the ordered list of items it owns, the paragraph rules that
// adding applies, the checkpoint chain, and text of items as UTF-16. Nested
// documents (note texts, table cells) reach the style sheet through the
// document that holds their item.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "richtext/document/RVItem.h"
#include "richtext/style/RVStyle.h"

namespace varnolt {

struct TRVNumberingLists;
struct TRVEmbeddedControl;

// A std::function kept behind a pointer. Every table cell is a document and
// hardly any has a handler set, so an unset handler costs 8 bytes, not 32.
template <typename Signature>
class TRVEventHandler;

template <typename R, typename... Args>
class TRVEventHandler<R(Args...)> {
 public:
  using Function = std::function<R(Args...)>;

  TRVEventHandler() = default;
  TRVEventHandler(const TRVEventHandler& source) { *this = source; }
  TRVEventHandler(TRVEventHandler&&) noexcept = default;
  TRVEventHandler& operator=(const TRVEventHandler& source) {
    if (this != &source) function_ = source.function_ ? std::make_unique<Function>(*source.function_) : nullptr;
    return *this;
  }
  TRVEventHandler& operator=(TRVEventHandler&&) noexcept = default;
  // Whatever a std::function takes; an empty one unsets the handler.
  template <typename F>
    requires(!std::is_same_v<std::decay_t<F>, TRVEventHandler>)
  TRVEventHandler& operator=(F&& handler) {
    Function function(std::forward<F>(handler));
    function_ = function ? std::make_unique<Function>(std::move(function)) : nullptr;
    return *this;
  }

  explicit operator bool() const { return function_ != nullptr; }
  // Unset, it does nothing and gives R's default value, so that a copy taken
  // into a std::function behaves as the unset handler does.
  R operator()(Args... args) const {
    if (!function_) return R();
    return (*function_)(std::forward<Args>(args)...);
  }

 private:
  std::unique_ptr<Function> function_;
};

// What the owner of a document is told, and may supply.
struct TRVDataEvents {
  // The owner may change the text of the item about to be inserted.
  TRVEventHandler<void(TCustomRVItemInfo& item, std::string& text)> ItemBeingInserted;
  TRVEventHandler<void(TCustomRVItemInfo& item)> ItemInserted;
  TRVEventHandler<void(TCustomRVItemInfo& item, const std::string& text)> ItemBeingRemoved;
  // An entry appended to the style sheet by merging a stored table.
  TRVEventHandler<void(TCustomRVInfo& entry, std::int32_t number)> StyleAdded;
  // May supply the plain text of an item, in the output's encoding.
  TRVEventHandler<std::optional<std::string>(const TCustomRVItemInfo& item, const std::u16string& path,
                                             bool unicode)>
      SaveItemAsText;
};

// A position inside a document: an item and an offset in it (text items
// 1..length+1, other items 0..1).
struct TRVPosition {
  int ItemNo = -1;
  int Offset = 0;
  friend bool operator==(const TRVPosition&, const TRVPosition&) = default;
};

class TCustomRVData {
 public:
  TCustomRVData();
  virtual ~TCustomRVData();
  TCustomRVData(const TCustomRVData&) = delete;
  TCustomRVData& operator=(const TCustomRVData&) = delete;

  // --- where the document stands ---

  // Its own style sheet, else that of the document holding it; may be nullptr.
  TRVStyle* GetRVStyle() const;
  void SetRVStyle(TRVStyle* style) { style_ = style; }
  // Whether tags are strings; nested documents follow the outermost one.
  bool TagsArePChars() const;
  void SetTagsArePChars(bool value) { tagsArePChars_ = value; }
  // Table cells say no; an FF in inserted text is then a plain paragraph break.
  virtual bool AcceptsPageBreaks() const { return true; }
  TCustomRVData* ParentData() const { return parent_; }
  TCustomRVItemInfo* OwnerItem() const { return ownerItem_; }
  void SetParent(TCustomRVData* parent, TCustomRVItemInfo* ownerItem);
  TCustomRVData& RootData();
  const TCustomRVData& RootData() const;

  TRVDataEvents Events;
  // Off: an item that would start a paragraph starts a line instead.
  bool AllowNewParagraphs = true;
  std::int32_t FirstJumpNo = 0;
  // Numbering context a loaded part continues: list style and level, -1 none.
  std::int32_t PrevMarkerListNo = -1;
  std::int32_t PrevMarkerLevel = -1;

  // --- reading ---

  int CountItems() const { return static_cast<int>(items_.size()); }
  // Checked: "Item index is out of bounds" for a bad index.
  TCustomRVItemInfo& ItemAt(int index);
  const TCustomRVItemInfo& ItemAt(int index) const;
  // Kind-specific access; raises "Can't get or set this kind of information
  // for this item" when the item is of another kind.
  template <typename T>
  T& ItemAs(int index) {
    if (auto* item = dynamic_cast<T*>(&ItemAt(index))) return *item;
    throw ERichDocError("Can't get or set this kind of information for this item");
  }
  int IndexOfItem(const TCustomRVItemInfo* item) const;
  std::int32_t ResolveStyleNo(std::int32_t styleNo, std::int32_t paraNo) const;
  std::int32_t EffectiveStyleOf(int index) const;
  std::int32_t ItemParaNo(int index) const { return ItemAt(index).ParaNo; }
  const TRVTag& ItemTag(int index) const { return ItemAt(index).ItemTag(); }
  TRVCPInfo* ItemCheckpoint(int index) const { return ItemAt(index).Checkpoint(); }
  bool ItemStartsPara(int index) const;
  bool StartsNewLine(int index) const { return !ItemAt(index).ContinuesPara(); }
  bool ItemHasPageBreakBefore(int index) const;
  // Text items: their characters; other items: their name.
  std::u16string ItemTextAt(int index) const;
  // Last position inside the item: its length + 1 for text, 1 otherwise.
  int ItemEndOffset(int index) const;
  int ItemStartOffset(int index) const { return ItemAt(index).IsText() ? 1 : 0; }
  // Index of the first item holding the control, -1 when none does.
  int FindControlItemNo(const TRVEmbeddedControl* control) const;
  // The first item of the paragraph that holds the item.
  int ParagraphStart(int index) const;
  // The first item of the line that holds the item.
  int LineStart(int index) const;

  // --- adding ---

  // 8-bit text; converted to UTF-16 for a Unicode style. Tabs become the
  // style sheet's SpacesInTab spaces (8 without a style sheet).
  void AppendTextItem(std::string_view text, std::int32_t styleNo, std::int32_t paraNo, TRVTag tag = std::int32_t{0});
  void AppendTextItemW(std::u16string_view text, std::int32_t styleNo, std::int32_t paraNo,
                       TRVTag tag = std::int32_t{0});
  // Applies the paragraph rules; a ParaNo of -1 continues the last line.
  void AppendItem(std::string text, std::unique_ptr<TCustomRVItemInfo> item);
  // No paragraph rules: the caller keeps the structure sound.
  void InsertItemAt(int index, std::string text, std::unique_ptr<TCustomRVItemInfo> item);
  void InsertItemsAt(int index, TRVItemList items);
  // Moves every item of source to the end of this document through the
  // paragraph rules; raises "Can't assign RichDoc to RichDoc - tags types
  // mismatch" when one keeps string tags and the other integer tags.
  void MoveItemsFrom(TCustomRVData& source);

  // --- removing ---

  // The range is cut to the items that exist.
  void RemoveItems(int index, int count);
  // Takes items out without freeing them (undo keeps them).
  TRVItemList ExtractItems(int index, int count);
  void ClearItems();
  bool Clearing() const { return clearing_; }
  // Grows with every insertion and removal of items.
  std::uint64_t ItemsVersion() const { return itemsVersion_; }

  // --- paragraphs and merging ---

  // Copies the item's ParaNo to the rest of its paragraph.
  void PropagateParaNo(int index);
  // Whether item index and the next one may become one item.
  bool CanMergeItems(int index, bool force = false) const;
  // Appends the next item's text to item index and deletes the next item.
  void MergeItems(int index);

  // --- checkpoints ---

  // A pending checkpoint, attached to the next item added.
  TRVCPInfo& AddCheckpoint(std::u16string name, TRVTag tag = std::int32_t{0}, bool raiseEvent = false);
  TRVCPInfo* PendingCheckpoint() const { return pendingCheckpoint_.get(); }
  TRVCPInfo* FirstCheckpoint() const { return firstCheckpoint_; }
  TRVCPInfo* LastCheckpoint() const { return lastCheckpoint_; }
  // The pending checkpoint counts.
  int CheckpointCount() const;

  // --- plain text ---

  // Appends the plain text of the document, or of the selection, to stream;
  // false when a step failed (stream keeps what was written).
  bool ExtractText(const std::u16string& path, std::string& stream, int lineWidth, bool selectionOnly,
                   bool textOnly, bool unicode, bool writeBOM) const;
  // The same into out, which says the encoding, the line width and whether
  // only text counts; out is flushed only on success.
  bool ExtractText(const std::u16string& path, TRVTextOutput& out, bool selectionOnly, bool writeBOM) const;
  // The selection, start before end; false when there is none.
  virtual bool GetSelectionBounds(TRVPosition& start, TRVPosition& end) const;

  // Sequence and marker lists, kept by the outermost document.
  TRVNumberingLists* NumberingLists() const { return numbering_.get(); }
  TRVNumberingLists& EnsureNumberingLists();
  void DropNumberingLists();

 protected:
  void CheckIndex(int index) const;

 private:
  void AppendTextPrepared(std::string stored, bool unicode, std::int32_t styleNo, std::int32_t paraNo, TRVTag tag);
  bool ContinuesLastLine(const TCustomRVItemInfo& item) const;
  void AppendPrepared(std::string text, std::unique_ptr<TCustomRVItemInfo> item);
  void PlaceItem(int index, std::unique_ptr<TCustomRVItemInfo> item);
  void PlaceItems(int index, TRVItemList items);
  void AttachItem(int index);
  void DetachItem(int index);
  void LinkCheckpoint(int index);
  void UnlinkCheckpoint(TRVCPInfo& checkpoint);
  void AppendEmptyTextAfterMarker();
  std::string TextForStyle(std::u16string text, std::int32_t styleNo, std::int32_t paraNo, bool& unicode) const;
  void ExtractRange(TRVTextOutput& out, const std::u16string& path, TRVPosition start, TRVPosition end,
                    bool selectionOnly) const;
  void WriteItemText(TRVTextOutput& out, const std::u16string& path, int index, int from, int to) const;

  // Small members last, together: every table cell is a document.
  TRVItemList items_;
  TRVStyle* style_ = nullptr;
  TCustomRVData* parent_ = nullptr;
  TCustomRVItemInfo* ownerItem_ = nullptr;
  std::uint64_t itemsVersion_ = 0;
  std::unique_ptr<TRVCPInfo> pendingCheckpoint_;
  TRVCPInfo* firstCheckpoint_ = nullptr;
  TRVCPInfo* lastCheckpoint_ = nullptr;
  std::unique_ptr<TRVNumberingLists> numbering_;
  int linkedCheckpoints_ = 0;
  bool tagsArePChars_ = false;
  bool clearing_ = false;
};

// Stored item text for UTF-16 text: the bytes, with the stored format's line
// terminator (U+2029) made a space.
std::string UnicodeItemText(std::u16string_view text);
// Stored item text for 8-bit text: CR and LF become spaces, NUL bytes go.
std::string AnsiItemText(std::string_view text);

// Number of characters of a text item (2-byte units for UTF-16 text).
int TextItemLength(const TCustomRVItemInfo& item);

}  // namespace varnolt
