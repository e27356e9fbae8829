#include "richtext/document/RVItem.h"

#include <algorithm>
#include <map>

#include "richtext/document/CRVData.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/style/RVStyle.h"
#include "richtext/table/RVTable.h"

namespace varnolt {

bool TagIsEmpty(const TRVTag& tag) {
  if (const auto* number = std::get_if<std::int32_t>(&tag)) return *number == 0;
  return std::get<std::string>(tag).empty();
}

std::u16string BytesToUtf16(std::string_view bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto low = static_cast<unsigned char>(bytes[2 * i]);
    auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = static_cast<char16_t>(low | (high << 8));
  }
  return text;
}

std::string Utf16ToBytes(std::u16string_view text) {
  std::string bytes(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return bytes;
}

// --- TRVTextOutput ---

TRVTextOutput::TRVTextOutput(std::string& stream, bool unicode, int lineWidth, bool textOnly, const TRVStyle* style)
    : buffer_(stream), unicode_(unicode), defCodePage_(style != nullptr ? style->DefCodePage : kCpAcp),
      lineWidth_(lineWidth), textOnly_(textOnly), style_(style) {}

TRVTextOutput::TRVTextOutput(TRVTextChunkSink sink, std::size_t chunkSize, bool unicode, int lineWidth,
                             bool textOnly, const TRVStyle* style)
    : TRVTextOutput(ownBuffer_, unicode, lineWidth, textOnly, style) {
  sink_ = std::move(sink);
  chunkSize_ = std::max<std::size_t>(chunkSize, 1);
  buffer_.reserve(chunkSize_);
}

void TRVTextOutput::WriteBytes(std::string_view bytes) {
  if (!sink_) {
    buffer_.append(bytes);
    return;
  }
  while (!bytes.empty()) {
    const std::size_t room = chunkSize_ - buffer_.size();
    buffer_.append(bytes.substr(0, room));
    bytes.remove_prefix(std::min(room, bytes.size()));
    if (buffer_.size() == chunkSize_) Flush();
  }
}

void TRVTextOutput::Flush() {
  if (!sink_ || buffer_.empty()) return;
  sink_(buffer_);
  buffer_.clear();
}

void TRVTextOutput::WriteAnsi(std::string_view bytes) {
  if (unicode_) {
    WriteBytes(Utf16ToBytes(AnsiToUnicode(defCodePage_, bytes)));
  } else {
    WriteBytes(bytes);
  }
}

void TRVTextOutput::WriteUnicode(std::u16string_view text) {
  if (unicode_) {
    WriteBytes(Utf16ToBytes(text));
  } else {
    WriteBytes(UnicodeToAnsi(kCpAcp, text));
  }
}

// --- TCustomRVItemInfo ---

// An empty paragraph is one text item, and a document may hold millions:
// 56 bytes fill a 64-byte malloc chunk, 64 would take 80.
static_assert(sizeof(void*) != 8 || sizeof(TRVTextItemInfo) <= 56, "keep rarely used fields in TRVItemExtras");

void TRVItemExtrasSlot::Reset(std::unique_ptr<TRVItemExtras> extras) {
  std::unique_ptr<TRVItemExtras> previous(Get());
  bits_ = reinterpret_cast<std::uintptr_t>(extras.release()) | Flags();
}

TCustomRVItemInfo::~TCustomRVItemInfo() = default;

TCustomRVItemInfo::TCustomRVItemInfo(const TCustomRVItemInfo& source)
    : ItemText(source.ItemText), StyleNo(source.StyleNo), ParaNo(source.ParaNo) {
  extras_.SetFlags(source.ItemFlags());
  SetJumpId(source.JumpId());
  SetItemTag(source.ItemTag());
  SetItemHint(source.ItemHint());
}

TRVItemExtras& TCustomRVItemInfo::Extras() {
  if (extras_.Get() == nullptr) extras_.Reset(std::make_unique<TRVItemExtras>());
  return *extras_.Get();
}

void TCustomRVItemInfo::SetCheckpoint(std::unique_ptr<TRVCPInfo> checkpoint) {
  if (checkpoint || extras_.Get()) Extras().Checkpoint = std::move(checkpoint);
}

std::unique_ptr<TRVCPInfo> TCustomRVItemInfo::TakeCheckpoint() {
  return extras_.Get() ? std::move(extras_.Get()->Checkpoint) : nullptr;
}

void TCustomRVItemInfo::SetJumpId(std::int32_t id) {
  if (id != -1 || extras_.Get()) Extras().JumpId = id;
}

const TRVTag& TCustomRVItemInfo::ItemTag() const {
  static const TRVTag kNoTag = std::int32_t{0};
  return extras_.Get() ? extras_.Get()->ItemTag : kNoTag;
}

void TCustomRVItemInfo::SetItemTag(TRVTag tag) {
  if (tag != TRVTag{std::int32_t{0}} || extras_.Get()) Extras().ItemTag = std::move(tag);
}

const std::u16string& TCustomRVItemInfo::ItemHint() const {
  static const std::u16string kNoHint;
  return extras_.Get() ? extras_.Get()->ItemHint : kNoHint;
}

void TCustomRVItemInfo::SetItemHint(std::u16string hint) {
  if (!hint.empty() || extras_.Get()) Extras().ItemHint = std::move(hint);
}

void TCustomRVItemInfo::SetContinuesPara(bool value) {
  const std::uint8_t flags = ItemFlags();
  SetItemFlags(value ? (flags & rvifUnicodeText) | rvifContinuesPara : flags & ~rvifContinuesPara);
}

void TCustomRVItemInfo::SetPageBreakBefore(bool value) {
  const std::uint8_t flags = ItemFlags();
  SetItemFlags(value ? (flags & rvifUnicodeText) | rvifPageBreakBefore : flags & ~rvifPageBreakBefore);
}

void TCustomRVItemInfo::SetLineBreakBefore(bool value) {
  std::uint8_t flags = ItemFlags() & ~rvifLineBreakBefore;
  if (value) {
    flags &= ~rvifContinuesPara;
    if (!OccupiesWholeLine()) flags |= rvifLineBreakBefore;
  }
  SetItemFlags(flags);
}

void TCustomRVItemInfo::SetUnicodeText(bool value) {
  const std::uint8_t flags = ItemFlags();
  SetItemFlags(value ? flags | rvifUnicodeText : flags & ~rvifUnicodeText);
}

bool TCustomRVItemInfo::IsLink(const TRVStyle* style) const {
  if (!IsText() || style == nullptr || StyleNo == ParaDefaultStyle) return false;
  return style->TextStyleAt(StyleNo).Jump;
}

bool TCustomRVItemInfo::GetIntProperty(std::int32_t, std::int32_t&) const { return false; }
bool TCustomRVItemInfo::SetIntProperty(std::int32_t, std::int32_t) { return false; }
bool TCustomRVItemInfo::GetStringProperty(std::int32_t, std::u16string&) const { return false; }
bool TCustomRVItemInfo::SetStringProperty(std::int32_t, const std::u16string&) { return false; }

std::unique_ptr<TCustomRVItemInfo> TRVTextItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVTextItemInfo(*this));
}

// --- TRVNonTextItemInfo, TRVRectItemInfo ---

bool TRVNonTextItemInfo::GetIntProperty(std::int32_t number, std::int32_t& value) const {
  if (number != rvipDeleteProtect) return false;
  value = DeleteProtect ? 1 : 0;
  return true;
}

bool TRVNonTextItemInfo::SetIntProperty(std::int32_t number, std::int32_t value) {
  if (number != rvipDeleteProtect) return false;
  DeleteProtect = value != 0;
  return true;
}

bool TRVNonTextItemInfo::GetStringProperty(std::int32_t number, std::u16string& value) const {
  if (number != rvspHint) return false;
  value = ItemHint();
  return true;
}

bool TRVNonTextItemInfo::SetStringProperty(std::int32_t number, const std::u16string& value) {
  if (number != rvspHint) return false;
  SetItemHint(value);
  return true;
}

bool TRVRectItemInfo::GetIntProperty(std::int32_t number, std::int32_t& value) const {
  switch (number) {
    case rvipVShift: value = VShift; return true;
    case rvipVShiftAbs: value = VShiftAbs ? 1 : 0; return true;
    case rvipSpacing: value = spacing_; return true;
    default: return TRVNonTextItemInfo::GetIntProperty(number, value);
  }
}

bool TRVRectItemInfo::SetIntProperty(std::int32_t number, std::int32_t value) {
  switch (number) {
    case rvipVShift: VShift = value; return true;
    case rvipVShiftAbs: VShiftAbs = value != 0; return true;
    case rvipSpacing: SetSpacing(value); return true;
    default: return TRVNonTextItemInfo::SetIntProperty(number, value);
  }
}

// --- the kind registry ---

namespace {

template <typename T>
std::unique_ptr<TCustomRVItemInfo> MakeItem(TCustomRVData*) {
  return std::make_unique<T>();
}

std::unique_ptr<TCustomRVItemInfo> MakeSequence(TCustomRVData*) {
  return std::make_unique<TRVSeqItemInfo>(u"", rvseqDecimal);
}

// The kinds the engine registers at start.
std::map<std::int32_t, TRVItemFactory>& Registry() {
  static std::map<std::int32_t, TRVItemFactory> registry = {
      {ItemKindTable, &MakeItem<TRVTableItemInfo>},
      {ItemKindLabel, &MakeItem<TRVLabelItemInfo>},
      {ItemKindSequence, &MakeSequence},
      {ItemKindFootnote, &MakeItem<TRVFootnoteItemInfo>},
      {ItemKindEndnote, &MakeItem<TRVEndnoteItemInfo>},
      {ItemKindNoteReference, &MakeItem<TRVNoteReferenceItemInfo>},
  };
  return registry;
}

}  // namespace

namespace {

std::unique_ptr<TCustomRVItemInfo> CreateBuiltInItem(std::int32_t styleNo) {
  switch (styleNo) {
    case ItemKindBreak: return std::make_unique<TRVBreakItemInfo>();
    case ItemKindPicture: return std::make_unique<TRVGraphicItemInfo>();
    case ItemKindHotspot: return std::make_unique<TRVHotspotItemInfo>();
    case ItemKindControl: return std::make_unique<TRVControlItemInfo>();
    case ItemKindBullet: return std::make_unique<TRVBulletItemInfo>();
    case ItemKindHotPicture: return std::make_unique<TRVHotGraphicItemInfo>();
    case ItemKindListMarker: return std::make_unique<TRVMarkerItemInfo>();
    case ItemKindTab: return std::make_unique<TRVTabItemInfo>();
    default: return nullptr;
  }
}

}  // namespace

std::unique_ptr<TCustomRVItemInfo> CreateItemOfKind(std::int32_t styleNo, TCustomRVData* container) {
  if (styleNo >= 0) return std::make_unique<TRVTextItemInfo>(styleNo);
  if (auto item = CreateBuiltInItem(styleNo)) return item;
  auto& registry = Registry();
  auto found = registry.find(styleNo);
  if (found == registry.end()) return nullptr;
  auto item = found->second(container);
  if (item) item->StyleNo = styleNo;
  return item;
}

void RegisterItemKind(std::int32_t styleNo, TRVItemFactory factory) {
  auto& registry = Registry();
  auto found = registry.find(styleNo);
  bool sameAgain = found != registry.end() && found->second == factory;
  if (sameAgain) return;
  bool taken = styleNo >= -9 || found != registry.end() || CreateBuiltInItem(styleNo) != nullptr;
  if (taken || factory == nullptr) {
    throw ERichDocError("Can't register RichDoc item type - this StyleNo is already registered");
  }
  registry.emplace(styleNo, factory);
}

}  // namespace varnolt
