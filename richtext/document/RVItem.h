#pragma once
// The item record every document is a list of: a run of text in one text
// style, or one object of an item kind (StyleNo below 0). Paragraphs and
// lines are not objects of their own but flags on the items that start them.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/CodePage.h"
#include "richtext/style/RVStyleTypes.h"

namespace varnolt {

class TCustomRVData;
class TRVStyle;

// StyleNo of a text item in the default text style of its paragraph style.
inline constexpr std::int32_t ParaDefaultStyle = 2147483647;

// Item kinds; the numbers are part of the stored format and never change.
inline constexpr std::int32_t ItemKindBreak = -1;
inline constexpr std::int32_t ItemKindPicture = -3;
inline constexpr std::int32_t ItemKindHotspot = -4;
inline constexpr std::int32_t ItemKindControl = -5;
inline constexpr std::int32_t ItemKindBullet = -6;
inline constexpr std::int32_t ItemKindHotPicture = -10;
inline constexpr std::int32_t ItemKindListMarker = -11;
inline constexpr std::int32_t ItemKindTab = -12;
inline constexpr std::int32_t ItemKindTable = -60;
inline constexpr std::int32_t ItemKindLabel = -200;
inline constexpr std::int32_t ItemKindSequence = -202;
inline constexpr std::int32_t ItemKindFootnote = -203;
inline constexpr std::int32_t ItemKindEndnote = -204;
inline constexpr std::int32_t ItemKindNoteReference = -205;

// Bits of ItemFlags.
enum TRVItemFlag : std::uint8_t {
  rvifContinuesPara = 0x01,
  rvifPageBreakBefore = 0x02,
  rvifLineBreakBefore = 0x04,
  rvifUnicodeText = 0x08,
};
inline constexpr std::uint8_t kRVItemFlagsMask = 0x0F;

// An integer tag, or a string tag when the owning view keeps string tags;
// 0 and the empty string both mean "no tag".
using TRVTag = std::variant<std::int32_t, std::string>;
bool TagIsEmpty(const TRVTag& tag);

// Numbered properties of non-text items, as the stored format names them.
enum TRVIntProperty : std::int32_t {
  rvipVShift = 1,
  rvipVShiftAbs = 2,
  rvipWidth = 3,
  rvipHeight = 4,
  rvipTransparent = 5,
  rvipTransparentMode = 6,
  rvipTransparentColor = 7,
  rvipMinHeightOnPage = 8,
  rvipSpacing = 9,
  rvipResizable = 10,
  rvipDeleteProtect = 11,
  rvipNoHTMLImageSize = 12,
  rvipAnimationInterval = 13,
  rvipVisible = 14,
};
enum TRVStringProperty : std::int32_t {
  rvspHint = 1,
  rvspAlt = 2,
  rvspFileName = 3,
};

class TCustomRVItemInfo;

// A named marker attached to an item; checkpoints are chained in document order.
struct TRVCPInfo {
  std::u16string Name;
  TRVTag Tag;
  bool RaiseEvent = false;
  bool Persistent = false;
  TCustomRVItemInfo* ItemInfo = nullptr;  // the item it is attached to
  TRVCPInfo* Prev = nullptr;
  TRVCPInfo* Next = nullptr;
};

// Receives extracted text in order, a filled chunk at a time.
using TRVTextChunkSink = std::function<void(std::string_view chunk)>;

// What an item's plain text is written for, and where to: appended to a
// string, or handed to a sink in chunks so that a long text never has to be
// held whole.
class TRVTextOutput {
 public:
  TRVTextOutput(std::string& stream, bool unicode, int lineWidth, bool textOnly, const TRVStyle* style);
  // Chunks of chunkSize bytes (at least 1); a chunk may end inside a
  // character. Flush hands on the last, shorter one.
  TRVTextOutput(TRVTextChunkSink sink, std::size_t chunkSize, bool unicode, int lineWidth, bool textOnly,
                const TRVStyle* style);
  TRVTextOutput(const TRVTextOutput&) = delete;
  TRVTextOutput& operator=(const TRVTextOutput&) = delete;

  bool Unicode() const { return unicode_; }
  int LineWidth() const { return lineWidth_; }
  bool TextOnly() const { return textOnly_; }
  const TRVStyle* Style() const { return style_; }
  // Text-only output with the labels of list paragraphs as the page shows
  // them, as a text file of the page holds them.
  bool ListLabels() const { return listLabels_; }
  void SetListLabels(bool listLabels) { listLabels_ = listLabels; }
  // The style sheet's code page for 8-bit text (the system's without one).
  CodePageId DefCodePage() const { return defCodePage_; }

  // 8-bit text of the default code page, converted for UTF-16 output.
  void WriteAnsi(std::string_view bytes);
  // UTF-16 text, converted with the system code page for 8-bit output.
  void WriteUnicode(std::u16string_view text);
  // Bytes already in the output's encoding.
  void WriteBytes(std::string_view bytes);
  // Hands what the sink has not had yet to it; nothing to do for a string.
  void Flush();

 private:
  std::string ownBuffer_;
  std::string& buffer_;
  TRVTextChunkSink sink_;
  std::size_t chunkSize_ = 0;
  bool unicode_;
  CodePageId defCodePage_;
  int lineWidth_;
  bool textOnly_;
  bool listLabels_ = false;
  const TRVStyle* style_;
};

// Fields that few items use, in a block of their own. Aligned beyond what
// plain new promises, so that aligned new must keep the block's low address
// bits zero for the item's flag bits under any allocator.
struct alignas(32) TRVItemExtras {
  std::unique_ptr<TRVCPInfo> Checkpoint;
  std::int32_t JumpId = -1;
  TRVTag ItemTag = std::int32_t{0};
  std::u16string ItemHint;
};

// Owns an item's TRVItemExtras (or none) and holds the item's flag bits in
// the four low bits of the block's address, which alignment leaves zero: a
// text item then takes 56 bytes, a malloc size class below 64.
class TRVItemExtrasSlot {
 public:
  TRVItemExtrasSlot() = default;
  TRVItemExtrasSlot(const TRVItemExtrasSlot&) = delete;
  TRVItemExtrasSlot& operator=(const TRVItemExtrasSlot&) = delete;
  ~TRVItemExtrasSlot() { Reset(nullptr); }

  TRVItemExtras* Get() const { return reinterpret_cast<TRVItemExtras*>(bits_ & ~kFlagBits); }
  // Frees the block held before.
  void Reset(std::unique_ptr<TRVItemExtras> extras);
  std::uint8_t Flags() const { return static_cast<std::uint8_t>(bits_ & kFlagBits); }
  void SetFlags(std::uint8_t flags) { bits_ = (bits_ & ~kFlagBits) | (flags & kFlagBits); }

 private:
  static constexpr std::uintptr_t kFlagBits = kRVItemFlagsMask;
  static_assert(alignof(TRVItemExtras) > kFlagBits, "the flag bits need the block's low address bits");
  std::uintptr_t bits_ = 0;
};

class TCustomRVItemInfo {
 public:
  explicit TCustomRVItemInfo(std::int32_t styleNo) : StyleNo(styleNo) {}
  virtual ~TCustomRVItemInfo();
  TCustomRVItemInfo& operator=(const TCustomRVItemInfo&) = delete;

  // A copy of the record with its owned data, without its checkpoint and
  // outside any document.
  virtual std::unique_ptr<TCustomRVItemInfo> Clone() const = 0;

  // UTF-16LE bytes when UnicodeText is set, else 8-bit text; non-text items
  // keep an optional name here.
  std::string ItemText;
  std::int32_t StyleNo;
  std::int32_t ParaNo = 0;

  // The rare fields. A document holds millions of plain items (an empty
  // paragraph is one), so these live in a block made when one is first set
  // to something other than its default; the getters never make it.
  TRVCPInfo* Checkpoint() const { return extras_.Get() ? extras_.Get()->Checkpoint.get() : nullptr; }
  void SetCheckpoint(std::unique_ptr<TRVCPInfo> checkpoint);
  std::unique_ptr<TRVCPInfo> TakeCheckpoint();
  std::int32_t JumpId() const { return extras_.Get() ? extras_.Get()->JumpId : -1; }
  void SetJumpId(std::int32_t id);
  const TRVTag& ItemTag() const;
  void SetItemTag(TRVTag tag);
  // For a handler that may change the tag in place; makes the block.
  TRVTag& MutableItemTag() { return Extras().ItemTag; }
  const std::u16string& ItemHint() const;
  void SetItemHint(std::u16string hint);

  bool IsText() const { return StyleNo >= 0; }

  std::uint8_t ItemFlags() const { return extras_.Flags(); }
  // Raw flags as stored; only the four defined bits are kept.
  void SetItemFlags(std::uint8_t flags) { extras_.SetFlags(flags & kRVItemFlagsMask); }
  bool ContinuesPara() const { return (ItemFlags() & rvifContinuesPara) != 0; }
  bool PageBreakBefore() const { return (ItemFlags() & rvifPageBreakBefore) != 0; }
  bool LineBreakBefore() const { return (ItemFlags() & rvifLineBreakBefore) != 0; }
  bool UnicodeText() const { return (ItemFlags() & rvifUnicodeText) != 0; }
  // Each setter keeps the three line flags consistent with one another.
  void SetContinuesPara(bool value);
  void SetPageBreakBefore(bool value);
  void SetLineBreakBefore(bool value);
  void SetUnicodeText(bool value);
  // The line flags of a paragraph start (none of the three).
  void SetStartsParagraph() { SetItemFlags(ItemFlags() & rvifUnicodeText); }

  // Capabilities.
  virtual bool OccupiesWholeLine() const { return false; }
  virtual bool IncludedInTextOnly() const { return IsText(); }
  // Whether text-only output of this kind holds the item.
  virtual bool IncludedInTextOnlyFor(const TRVTextOutput& /*out*/) const { return IncludedInTextOnly(); }
  virtual bool IsLink(const TRVStyle* style) const;
  virtual bool CanBeDeleted() const { return true; }

  // Numbered properties; false for a number the kind does not have.
  virtual bool GetIntProperty(std::int32_t number, std::int32_t& value) const;
  virtual bool SetIntProperty(std::int32_t number, std::int32_t value);
  virtual bool GetStringProperty(std::int32_t number, std::u16string& value) const;
  virtual bool SetStringProperty(std::int32_t number, const std::u16string& value);

  // Documents the item owns (note texts, table cells).
  virtual int SubDocumentCount() const { return 0; }
  virtual TCustomRVData* SubDocument(int /*index*/) const { return nullptr; }

  // Plain text of a non-text item (text items are written by their document).
  virtual void WritePlainText(TRVTextOutput& /*out*/) const {}
  // When a selection lies inside this item (cells of a table), writes the
  // text of what is selected there and says so.
  virtual bool WriteSelectedText(TRVTextOutput& /*out*/) const { return false; }

 protected:
  TCustomRVItemInfo(const TCustomRVItemInfo& source);

 private:
  TRVItemExtras& Extras();

  TRVItemExtrasSlot extras_;
};

using TRVItemList = std::vector<std::unique_ptr<TCustomRVItemInfo>>;

class TRVTextItemInfo : public TCustomRVItemInfo {
 public:
  explicit TRVTextItemInfo(std::int32_t styleNo) : TCustomRVItemInfo(styleNo) {}
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;

 protected:
  TRVTextItemInfo(const TRVTextItemInfo&) = default;
};

class TRVNonTextItemInfo : public TCustomRVItemInfo {
 public:
  bool DeleteProtect = false;  // the user cannot delete the item

  bool CanBeDeleted() const override { return !DeleteProtect; }
  bool IncludedInTextOnly() const override { return false; }
  bool GetIntProperty(std::int32_t number, std::int32_t& value) const override;
  bool SetIntProperty(std::int32_t number, std::int32_t value) override;
  bool GetStringProperty(std::int32_t number, std::u16string& value) const override;
  bool SetStringProperty(std::int32_t number, const std::u16string& value) override;

 protected:
  explicit TRVNonTextItemInfo(std::int32_t styleNo) : TCustomRVItemInfo(styleNo) {}
  TRVNonTextItemInfo(const TRVNonTextItemInfo&) = default;
};

// Vertical alignment codes of object items.
enum TRVVAlign : std::uint8_t { rvvaBaseline, rvvaMiddle, rvvaAbsTop, rvvaAbsBottom, rvvaAbsMiddle };

// Items placed in a line as a rectangle: pictures, controls, bullets, labels.
class TRVRectItemInfo : public TRVNonTextItemInfo {
 public:
  TRVVAlign VAlign = rvvaBaseline;
  std::int32_t VShift = 0;
  bool VShiftAbs = false;  // VShift in pixels, else percent of the item's height

  std::int32_t Spacing() const { return spacing_; }
  void SetSpacing(std::int32_t value) { spacing_ = value < 0 ? 0 : value; }

  bool GetIntProperty(std::int32_t number, std::int32_t& value) const override;
  bool SetIntProperty(std::int32_t number, std::int32_t value) override;

 protected:
  explicit TRVRectItemInfo(std::int32_t styleNo) : TRVNonTextItemInfo(styleNo) {}
  TRVRectItemInfo(const TRVRectItemInfo&) = default;

 private:
  std::int32_t spacing_ = 1;
};

// The class of an item kind: makes a fresh record of it.
using TRVItemFactory = std::unique_ptr<TCustomRVItemInfo> (*)(TCustomRVData* container);

// A new record for StyleNo: the text item class for 0 and up, the built-in
// and registered kinds below 0; nullptr for an unknown kind.
std::unique_ptr<TCustomRVItemInfo> CreateItemOfKind(std::int32_t styleNo, TCustomRVData* container);
// For StyleNo below -9 only. The same factory again is accepted; anything else
// raises "Can't register RichDoc item type - this StyleNo is already registered".
void RegisterItemKind(std::int32_t styleNo, TRVItemFactory factory);

// UTF-16LE bytes of item text; an odd last byte is dropped.
std::u16string BytesToUtf16(std::string_view bytes);
std::string Utf16ToBytes(std::u16string_view text);

}  // namespace varnolt
