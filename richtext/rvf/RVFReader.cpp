#include "richtext/rvf/RVFReader.h"

#include <array>
#include <charconv>
#include <exception>

#include "richtext/document/RVItemKinds.h"
#include "richtext/rvf/RVFPictures.h"
#include "richtext/rvf/RVFReaderInternal.h"
#include "richtext/rvf/RVFRecords.h"
#include "richtext/rvf/RVFStyleTables.h"

namespace varnolt {

namespace {

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::int32_t FindByName(const auto& table, const std::u16string& name) {
  std::int32_t index = 0;
  for (const auto& entry : table) {
    if (entry->StyleName() == name) return index;
    ++index;
  }
  return 0;  // an unknown name means the first style
}

}  // namespace

// --- small pieces ---

std::int32_t TRVFReader::ReadNumberLine() {
  std::int32_t value = 0;
  if (!ParseNumber(in_.ReadLine(), value)) ThrowInvalidRVF();
  return value;
}

std::string_view TRVFReader::ReadData(std::int32_t mode, std::string& storage) {
  if (mode == rvfdmBinary) return in_.ReadBlock();
  storage = in_.ReadHexLine();
  return storage;
}

TRVTag TRVFReader::MakeTag(bool quoted, std::int32_t number, const std::string& text) const {
  if (shared_.TagsArePChars) {
    if (quoted) return text;
    return number == 0 ? std::string() : std::to_string(number);
  }
  if (!quoted) return number;
  std::int32_t value = 0;
  return ParseNumber(text, value) ? value : 0;
}

std::int32_t TRVFReader::TextStyleByName(const std::string& name) const {
  return shared_.Style == nullptr ? 0 : FindByName(shared_.Style->TextStyles, DecodeRVFString(name, utf8_));
}

std::int32_t TRVFReader::ParaStyleByName(const std::string& name) const {
  return shared_.Style == nullptr ? 0 : FindByName(shared_.Style->ParaStyles, DecodeRVFString(name, utf8_));
}

std::int32_t TRVFReader::ListStyleByName(const std::string& name) const {
  if (shared_.Style == nullptr) return 0;
  if (shared_.Style->ListStyles.Count() == 0) return -1;  // as for an unknown list number
  return FindByName(shared_.Style->ListStyles, DecodeRVFString(name, utf8_));
}

// --- style numbers ---

namespace {

// Through the map when there is one; false for a number outside it.
bool MapThrough(const std::optional<std::vector<std::int32_t>>& map, std::int32_t& number) {
  if (!map) return true;
  if (number < 0 || number >= static_cast<std::int32_t>(map->size())) return false;
  number = (*map)[static_cast<std::size_t>(number)];
  return true;
}

}  // namespace

bool TRVFReader::MapTextStyle(std::int32_t& styleNo, bool byName) {
  if (shared_.Style == nullptr || styleNo == ParaDefaultStyle || byName) return true;
  bool known = MapThrough(shared_.TextMap, styleNo) && styleNo >= 0 && styleNo < shared_.Style->TextStyles.Count();
  if (known) return true;
  Warn(rvfwConvUnknownStyles);
  if (!Option(rvfoConvUnknownStylesToZero)) return false;
  styleNo = 0;
  return true;
}

bool TRVFReader::MapParaStyle(std::int32_t& paraNo, bool byName) {
  if (paraNo == -1 || byName) return true;
  bool known = shared_.Style == nullptr ? paraNo >= 0
                                        : MapThrough(shared_.ParaMap, paraNo) && paraNo >= 0 &&
                                              paraNo < shared_.Style->ParaStyles.Count();
  if (known) return true;
  Warn(rvfwConvUnknownStyles);
  if (!Option(rvfoConvUnknownStylesToZero)) return false;
  paraNo = 0;
  return true;
}

void TRVFReader::MapListStyle(std::int32_t& listNo, bool byName) {
  if (shared_.Style == nullptr || byName) return;
  int count = shared_.Style->ListStyles.Count();
  bool known = MapThrough(shared_.ListMap, listNo) && listNo >= 0 && listNo < count;
  if (known) return;
  Warn(rvfwConvUnknownStyles);
  listNo = count > 0 ? 0 : -1;
}

// --- records ---

TRVFRecordHeader TRVFReader::ParseHeader(TRVFHeaderReader& fields, bool& version) {
  TRVFRecordHeader header;
  std::string name;
  header.StyleNo = fields.NumberOrQuoted(header.StyleByName, name);
  if (header.StyleByName) header.StyleNo = TextStyleByName(name);
  header.LineCount = fields.Number();
  version = !header.StyleByName && header.StyleNo == kRVFRecordVersion;
  if (version) return header;
  if (header.LineCount < 0 || static_cast<std::size_t>(header.LineCount) > in_.Remaining()) ThrowInvalidRVF();
  header.ParaNo = fields.NumberOrQuoted(header.ParaByName, name);
  if (header.ParaByName) header.ParaNo = ParaStyleByName(name);
  if (major_ >= 1 && minor_ >= 2) header.Flags = static_cast<std::uint8_t>(fields.Number() & kRVItemFlagsMask);
  header.Mode = fields.Number();
  bool quotedTag = fields.NextIsQuoted() && (major_ >= 2 || minor_ >= 3);
  std::string tagText;
  std::int32_t tagNumber = quotedTag ? 0 : fields.Number();
  if (quotedTag) tagText = UnescapeLineBreaks(fields.Quoted());
  header.Tag = MakeTag(quotedTag, tagNumber, tagText);
  return header;
}

void TRVFReader::Read() {
  while (!in_.AtEnd()) ReadRecord();
}

void TRVFReader::ReadRecord() {
  TRVFHeaderReader fields(in_.ReadLine());
  bool version = false;
  TRVFRecordHeader header = ParseHeader(fields, version);
  if (version) return ReadVersion(fields, header.LineCount);
  if (header.StyleByName || header.StyleNo >= 0) return ReadTextRecord(header, fields);
  switch (header.StyleNo) {
    case kRVFRecordCheckpoint: return ReadCheckpoint(header, fields);
    case kRVFRecordBackground: return ReadBackground(header, fields);
    case kRVFRecordDocument: return ReadDocumentRecord(header, fields);
    default: return ReadItemRecord(header, fields);
  }
}

void TRVFReader::ReadVersion(TRVFHeaderReader& fields, std::int32_t major) {
  major_ = major;
  minor_ = fields.AtEnd() ? 0 : fields.Number();
  utf8_ = !fields.AtEnd() && fields.Number() == 1;
}

void TRVFReader::SkipRecord(const TRVFRecordHeader& header) {
  // Binary blocks cannot be told from lines without knowing the kind.
  if (header.Mode == rvfdmBinary) ThrowInvalidRVF();
  for (std::int32_t i = 0; i < header.LineCount; ++i) in_.ReadLine();
}

void TRVFReader::ReadCheckpoint(const TRVFRecordHeader& header, TRVFHeaderReader& fields) {
  if (header.LineCount != 1) ThrowInvalidRVF();
  auto checkpoint = std::make_unique<TRVCPInfo>();
  checkpoint->Tag = header.Tag;
  checkpoint->RaiseEvent = !fields.AtEnd() && fields.Number() != 0;
  checkpoint->Persistent = !fields.AtEnd() && fields.Number() != 0;
  checkpoint->Name = ReadStringLine();
  pending_ = std::move(checkpoint);
}

void TRVFReader::ReadBackground(const TRVFRecordHeader& header, TRVFHeaderReader& fields) {
  if (header.LineCount != 0 && header.LineCount != 2) ThrowInvalidRVF();
  auto style = static_cast<std::uint8_t>(fields.Number());
  auto color = static_cast<TColor>(fields.Number());
  std::unique_ptr<TGraphic> image;
  if (header.LineCount == 2) {
    std::string className = ReadRawLine();
    std::string storage;
    std::string_view bytes = ReadData(header.Mode, storage);
    if (IsKnownPictureClass(className)) image = LoadRVFPicture(className, bytes);
  }
  if (!TopLevel() || !shared_.Loading || !Option(rvfoLoadBack)) return;
  shared_.View.Background.Style = style;
  shared_.View.Background.Color = color;
  shared_.View.Background.Image = std::move(image);
}

void TRVFReader::ReadDocumentRecord(const TRVFRecordHeader& header, TRVFHeaderReader& fields) {
  std::int32_t kind = fields.Number();
  switch (kind) {
    case rvfdrTextStyles:
    case rvfdrParaStyles:
    case rvfdrListStyles:
    case rvfdrLayout:
    case rvfdrMarkerNumbering: {
      if (header.LineCount != 2) ThrowInvalidRVF();
      in_.ReadLine();  // the style sheet's name, or nothing
      std::string storage;
      std::string_view bytes = ReadData(header.Mode, storage);
      if (kind == rvfdrLayout) return ReadLayout(bytes);
      if (kind == rvfdrMarkerNumbering) return ReadMarkerNumbering(bytes);
      return ReadStyleTable(kind, bytes);
    }
    case rvfdrDocProperties: return ReadDocProperties(header.LineCount);
    case rvfdrDocParameters: return ReadDocParameters(header.LineCount);
    default: return SkipRecord(header);
  }
}

void TRVFReader::ReadStyleTable(std::int32_t kind, std::string_view bytes) {
  TRVStyle* style = shared_.Style;
  bool text = kind == rvfdrTextStyles;
  bool& taken = text ? shared_.TextTableTaken : kind == rvfdrParaStyles ? shared_.ParaTableTaken : shared_.ListTableTaken;
  TRVFReaderStyleMode mode = text ? shared_.View.RVFTextStylesReadMode : shared_.View.RVFParaStylesReadMode;
  if (style == nullptr || !TopLevel() || mode == rvf_sIgnore || taken) return;
  TRVStyleMergeMode merge = mode == rvf_sInsertMap ? rvmmMap : rvmmMerge;
  std::vector<std::int32_t> map;
  if (text) {
    TFontInfos stored;
    ReadTextStyleTable(bytes, stored);
    if (stored.Count() == 0) return;
    taken = true;
    if (shared_.Loading) return style->TextStyles.Assign(stored);
    MergeStyleTable(style->TextStyles, stored, merge, shared_.StyleAdded, map);
    shared_.TextMap = std::move(map);
  } else if (kind == rvfdrParaStyles) {
    TParaInfos stored;
    ReadParaStyleTable(bytes, stored);
    if (stored.Count() == 0) return;
    taken = true;
    if (shared_.Loading) return style->ParaStyles.Assign(stored);
    MergeStyleTable(style->ParaStyles, stored, merge, shared_.StyleAdded, map,
                    shared_.TextMap ? &*shared_.TextMap : nullptr);
    shared_.ParaMap = std::move(map);
  } else {
    TRVListInfos stored;
    ReadListStyleTable(bytes, stored);
    if (stored.Count() == 0) return;
    taken = true;
    if (shared_.Loading) {
      // Assigning copies the levels, not the lists' identities.
      style->ListStyles.Assign(stored);
      for (int i = 0; i < stored.Count(); ++i) style->ListStyles.Items(i).SetListID(stored.Items(i).ListID());
      return;
    }
    MergeStyleTable(style->ListStyles, stored, merge, shared_.StyleAdded, map);
    shared_.ListMap = std::move(map);
  }
}

void TRVFReader::ReadLayout(std::string_view bytes) {
  std::size_t pos = 0;
  bool nested = ReadInt32(bytes, pos) != 0;
  std::int32_t size = ReadInt32(bytes, pos);
  if (size < 0 || static_cast<std::size_t>(size) > bytes.size() - pos) ThrowInvalidRVF();
  if (!nested && size < kRVFTopLayoutSize) throw ERichDocError("Invalid RVF format");
  std::size_t limit = pos + static_cast<std::size_t>(size);
  TRVFLayout layout;
  if (!nested) {
    for (std::int32_t* value : {&layout.LeftMargin, &layout.RightMargin, &layout.TopMargin, &layout.BottomMargin,
                                &layout.MinTextWidth, &layout.MaxTextWidth}) {
      *value = ReadInt32(bytes, pos);
    }
    auto direction = static_cast<std::uint8_t>(bytes[pos++]);
    layout.BiDiMode = direction <= rvbdRightToLeft ? static_cast<TRVBiDiMode>(direction) : rvbdUnspecified;
  }
  TRVFPartCuts cuts;
  if (limit - pos >= static_cast<std::size_t>(kRVFPartCutsSize)) {
    cuts.FirstParaCut = ReadInt32(bytes, pos) != 0;
    cuts.LastParaCut = ReadInt32(bytes, pos) != 0;
    cuts.FirstMarkerListNo = ReadInt32(bytes, pos);
    cuts.FirstMarkerLevel = ReadInt32(bytes, pos);
  }
  if (!TopLevel() || !shared_.Loading || !Option(rvfoLoadLayout)) return;
  if (!nested) shared_.View.Layout = layout;
  shared_.View.PartCuts = cuts;
}

void TRVFReader::ReadMarkerNumbering(std::string_view bytes) {
  std::size_t pos = 0;
  ReadInt32(bytes, pos);
  std::int32_t count = ReadInt32(bytes, pos);
  if (count < 0 || static_cast<std::size_t>(count) > (bytes.size() - pos) / kRVFMarkerStateSize) ThrowInvalidRVF();
  std::vector<TRVFMarkerState> states(static_cast<std::size_t>(count));
  for (TRVFMarkerState& state : states) {
    state.ListNo = ReadInt32(bytes, pos);
    state.Level = ReadInt32(bytes, pos);
    state.Reset = bytes[pos++] != 0;
    state.StartFrom = ReadInt32(bytes, pos);
    state.Counter = ReadInt32(bytes, pos);
  }
  if (!TopLevel() || !shared_.Loading || !Option(rvfoLoadLayout)) return;
  if (!states.empty()) {
    data_.PrevMarkerListNo = states.back().ListNo;
    data_.PrevMarkerLevel = states.back().Level;
  }
  shared_.View.PartNumbering = std::move(states);
}

void TRVFReader::ReadDocProperties(std::int32_t count) {
  bool apply = TopLevel() && shared_.Loading && Option(rvfoLoadDocProperties);
  for (std::int32_t i = 0; i < count; ++i) {
    std::u16string property = ReadStringLine();
    if (apply) shared_.View.DocProperties.push_back(std::move(property));
  }
}

namespace {

// Sets the page parameter at index (in kRVFDocParameterNames) from its text;
// a value that is not a number, or out of range, is passed over.
void SetDocParameter(TRVDocParameters& parameters, std::size_t index, std::string_view text) {
  std::array<double*, 8> lengths = {&parameters.PageWidth,  &parameters.PageHeight, &parameters.LeftMargin,
                                    &parameters.RightMargin, &parameters.TopMargin,  &parameters.BottomMargin,
                                    &parameters.HeaderY,    &parameters.FooterY};
  if (index >= 2 && index < 2 + lengths.size()) {
    double length = 0;
    if (ParseNumber(text, length)) *lengths[index - 2] = length;
    return;
  }
  std::int32_t value = 0;
  if (!ParseNumber(text, value)) return;
  switch (index) {
    case 0:
      if (value >= rvuInches && value <= rvuPoints) parameters.Units = static_cast<TRVUnits>(value);
      break;
    case 1:
      if (value == poPortrait || value == poLandscape) parameters.Orientation = static_cast<TRVPageOrientation>(value);
      break;
    case 10: parameters.ZoomPercent = value; break;
    case 11:
      if (value >= rvzmFullPage && value <= rvzmCustom) parameters.ZoomMode = static_cast<TRVZoomMode>(value);
      break;
    case 12: parameters.MirrorMargins = value != 0; break;
    default: break;
  }
}

}  // namespace

void TRVFReader::ReadDocParameters(std::int32_t count) {
  bool apply = TopLevel() && shared_.Loading && Option(rvfoLoadDocProperties);
  if (apply) shared_.View.DocParameters.Reset();
  for (const std::string& line : ReadLines(count)) {
    std::size_t equals = line.find('=');
    if (!apply || equals == std::string::npos) continue;
    std::string_view name = std::string_view(line).substr(0, equals);
    for (std::size_t index = 0; index < kRVFDocParameterNames.size(); ++index) {
      if (kRVFDocParameterNames[index] == name) {
        SetDocParameter(shared_.View.DocParameters, index, std::string_view(line).substr(equals + 1));
      }
    }
  }
}

// --- text ---

std::string TRVFReader::TextForStyle(std::string bytes, bool storedUnicode, std::int32_t styleNo,
                                     std::int32_t paraNo, bool& unicode) {
  unicode = storedUnicode;
  const TRVStyle* style = shared_.Style;
  if (style != nullptr) {
    std::int32_t para = paraNo != -1 ? paraNo : (insertAt_ > 0 ? data_.ItemAt(insertAt_ - 1).ParaNo : 0);
    std::int32_t resolved = styleNo;
    if (styleNo == ParaDefaultStyle) resolved = std::max(style->ParaStyleAt(para).DefStyleNo, 0);
    unicode = style->TextStyleAt(resolved).Unicode;
    CodePageId codePage = CodePageOfStyle(style, resolved);
    if (storedUnicode && !unicode) {
      Warn(rvfwConvFromUnicode);
      return AnsiItemText(UnicodeToAnsi(codePage, BytesToUtf16(bytes)));
    }
    if (!storedUnicode && unicode) {
      Warn(rvfwConvToUnicode);
      return UnicodeItemText(AnsiToUnicode(codePage, bytes));
    }
  }
  return unicode ? UnicodeItemText(BytesToUtf16(bytes)) : AnsiItemText(bytes);
}

void TRVFReader::ReadTextRecord(const TRVFRecordHeader& header, TRVFHeaderReader& fields) {
  std::u16string hint = fields.AtEnd() ? std::u16string() : DecodeRVFString(fields.Quoted(), utf8_);
  std::int32_t styleNo = header.StyleNo;
  std::int32_t paraNo = header.ParaNo;
  if (!MapTextStyle(styleNo, header.StyleByName) || !MapParaStyle(paraNo, header.ParaByName)) ThrowInvalidRVF();
  bool storedUnicode = (header.Flags & rvifUnicodeText) != 0 || header.Mode == rvfdmHexUnicode;
  for (std::int32_t i = 0; i < header.LineCount; ++i) {
    std::string bytes;
    if (header.Mode == rvfdmHexUnicode) {
      bytes = in_.ReadHexLine();
    } else if (storedUnicode) {
      bytes = Utf16ToBytes(in_.ReadUnicodeLine());
    } else {
      bytes = std::string(in_.ReadLine());
    }
    bool unicode = false;
    std::string text = TextForStyle(std::move(bytes), storedUnicode, styleNo, paraNo, unicode);
    const TRVStyle* style = shared_.Style;
    bool protectedStyle = style != nullptr && styleNo != ParaDefaultStyle &&
                          style->TextStyleAt(styleNo).Protection.Contains(rvprRVFInsertProtect);
    if (protectedStyle && !shared_.Loading) continue;
    auto item = std::make_unique<TRVTextItemInfo>(styleNo);
    item->ParaNo = paraNo;
    item->SetItemFlags(header.Flags);
    item->SetUnicodeText(unicode);
    item->SetItemTag(header.Tag);
    item->SetItemHint(hint);
    Insert(std::move(item), std::move(text));
  }
}

// --- inserting ---

void TRVFReader::Insert(std::unique_ptr<TCustomRVItemInfo> item, std::string text) {
  const TCustomRVItemInfo* previous = insertAt_ > 0 ? &data_.ItemAt(insertAt_ - 1) : nullptr;
  bool canContinue = previous != nullptr && !previous->OccupiesWholeLine() && !item->OccupiesWholeLine();
  if (item->ParaNo == -1) {
    if (canContinue) {
      item->SetContinuesPara(true);
      item->ParaNo = previous->ParaNo;
    } else {
      item->SetStartsParagraph();
      item->ParaNo = 0;
    }
  } else if (!canContinue && (item->ContinuesPara() || item->LineBreakBefore())) {
    item->SetStartsParagraph();
  }
  // A list marker never stands alone on its line.
  if (previous != nullptr && previous->StyleNo == ItemKindListMarker && !item->ContinuesPara()) {
    auto filler = std::make_unique<TRVTextItemInfo>(0);
    filler->SetContinuesPara(true);
    filler->ParaNo = previous->ParaNo;
    bool unicode = shared_.Style == nullptr || shared_.Style->TextStyleAt(0).Unicode;
    filler->SetUnicodeText(unicode);
    data_.InsertItemAt(insertAt_++, {}, std::move(filler));
  }
  if (pending_ && !item->Checkpoint()) item->SetCheckpoint(std::move(pending_));
  data_.InsertItemAt(insertAt_++, std::move(text), std::move(item));
}

void TRVFReader::Finish(bool complete) {
  if (insertAt_ > firstInserted_) {
    int last = insertAt_ - 1;
    bool markerAlone = data_.ItemAt(last).StyleNo == ItemKindListMarker &&
                       (last + 1 == data_.CountItems() || data_.StartsNewLine(last + 1));
    if (markerAlone) {
      auto filler = std::make_unique<TRVTextItemInfo>(0);
      filler->SetContinuesPara(true);
      filler->ParaNo = data_.ItemAt(last).ParaNo;
      filler->SetUnicodeText(shared_.Style == nullptr || shared_.Style->TextStyleAt(0).Unicode);
      data_.InsertItemAt(insertAt_++, {}, std::move(filler));
    }
    if (insertAt_ < data_.CountItems() && data_.ItemAt(insertAt_ - 1).OccupiesWholeLine()) {
      TCustomRVItemInfo& next = data_.ItemAt(insertAt_);
      if (next.ContinuesPara() || next.LineBreakBefore()) next.SetStartsParagraph();
    }
    int end = std::min(insertAt_, data_.CountItems() - 1);
    for (int i = data_.ParagraphStart(firstInserted_); i <= end; ++i) {
      if (data_.ItemStartsPara(i)) data_.PropagateParaNo(i);
    }
  }
  if (complete && pending_ && insertAt_ == data_.CountItems()) {
    TRVCPInfo& checkpoint = data_.AddCheckpoint(pending_->Name, pending_->Tag, pending_->RaiseEvent);
    checkpoint.Persistent = pending_->Persistent;
  }
  pending_.reset();
}

void TRVFReader::ReadNested(TCustomRVData& target, std::string_view bytes) {
  struct TDepthGuard {
    int& depth;
    ~TDepthGuard() { --depth; }
  } guard{++shared_.Depth};
  if (shared_.Depth > kMaxRVFNesting) ThrowInvalidRVF();
  TRVFReader nested(target, bytes, target.CountItems(), shared_);
  nested.Read();
  nested.Finish(true);
}

// --- entry point ---

bool ReadRVF(TCustomRVData& data, std::string_view stream, int insertIndex, bool loading, TRVFView& view) {
  view.RVFWarnings = {};
  if (loading) view.DocProperties.clear();
  if (insertIndex < 0 || insertIndex > data.CountItems()) return false;
  TRVFReadShared shared{view, data.GetRVStyle(), loading, data.TagsArePChars(), data.RootData().Events.StyleAdded,
                        std::nullopt, std::nullopt, std::nullopt};
  TRVFReader reader(data, stream, insertIndex, shared);
  try {
    reader.Read();
    reader.Finish(true);
    return true;
  } catch (const std::exception&) {
    try {
      reader.Finish(false);
    } catch (const std::exception&) {
      // The document keeps what was inserted; nothing more can be done.
    }
    return false;
  }
}

}  // namespace varnolt
