// Reading the record of each item kind of the stored format.
#include <algorithm>
#include <charconv>

#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/rvf/RVFPictures.h"
#include "richtext/rvf/RVFReader.h"
#include "richtext/rvf/RVFReaderInternal.h"
#include "richtext/rvf/RVFRecords.h"
#include "richtext/table/RVTable.h"
#include "richtext/table/RVTableStream.h"

namespace varnolt {

namespace {

// Start values and counters beyond this are taken as this: a Roman numeral
// of a counter near 2^31 would be two million letters long.
constexpr std::int32_t kMaxStoredCounter = 1000000;

std::int32_t ClampCounter(std::int32_t value) { return std::clamp(value, -kMaxStoredCounter, kMaxStoredCounter); }

// The number of a property line; a value that is not a number counts as 0.
std::int32_t PropertyValue(std::string_view text) {
  std::int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

}  // namespace

std::vector<std::string> TRVFReader::ReadLines(std::int32_t count) {
  std::vector<std::string> lines;
  for (std::int32_t i = 0; i < count; ++i) lines.emplace_back(in_.ReadLine());
  return lines;
}

std::int32_t TRVFReader::VAlignField(TRVFHeaderReader& fields) {
  std::int32_t value = fields.AtEnd() ? 0 : fields.Number();
  return value >= rvvaBaseline && value <= rvvaAbsMiddle ? value : rvvaBaseline;
}

std::int32_t TRVFReader::ReadTextStyleLine(bool& byName) {
  TRVFHeaderReader field(in_.ReadLine());
  std::string name;
  std::int32_t styleNo = field.NumberOrQuoted(byName, name);
  if (!field.AtEnd()) ThrowInvalidRVF();
  return byName ? TextStyleByName(name) : styleNo;
}

void TRVFReader::ApplyProperties(TCustomRVItemInfo& item, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string_view name = std::string_view(line).substr(0, equals);
    std::string_view value = std::string_view(line).substr(equals + 1);
    for (std::size_t number = 1; number < kRVFIntPropertyNames.size(); ++number) {
      if (kRVFIntPropertyNames[number] == name) {
        item.SetIntProperty(static_cast<std::int32_t>(number), PropertyValue(value));
      }
    }
    for (std::size_t number = 1; number < kRVFStringPropertyNames.size(); ++number) {
      if (kRVFStringPropertyNames[number] == name) {
        item.SetStringProperty(static_cast<std::int32_t>(number), DecodeRVFString(value, utf8_));
      }
    }
  }
}

// --- pictures and controls ---

void TRVFReader::ReadPictureData(TRVGraphicItemInfo& item, const std::string& className, std::string_view bytes) {
  if (!IsKnownPictureClass(className)) {
    Warn(rvfwUnknownPicFmt);
    if (!Option(rvfoIgnoreUnknownPicFmt)) ThrowInvalidRVF();
    return;
  }
  item.Image = LoadRVFPicture(className, bytes);
  if (item.Image) return;
  Warn(rvfwInvalidPicture);
  if (shared_.Style != nullptr) item.Image = LoadRVFPicture("TBitmap", shared_.Style->InvalidPicture);
}

TRVFReader::TObjectLines TRVFReader::ReadObjectLines(TRVRectItemInfo& item, const TRVFRecordHeader& header,
                                                     TRVFHeaderReader& fields) {
  item.VAlign = static_cast<TRVVAlign>(VAlignField(fields));
  TObjectLines lines;
  lines.Body = header.Mode != rvfdmNoBody;
  std::int32_t fixed = lines.Body ? 3 : 1;
  if (header.LineCount < fixed) ThrowInvalidRVF();
  item.ItemText = ReadRawLine();
  if (lines.Body) lines.ClassName = ReadRawLine();
  lines.Properties = ReadLines(header.LineCount - fixed);
  if (lines.Body) lines.Data = header.Mode == rvfdmBinary ? std::string(in_.ReadBlock()) : in_.ReadHexLine();
  return lines;
}

bool TRVFReader::ReadPicture(TRVGraphicItemInfo& item, const TRVFRecordHeader& header, TRVFHeaderReader& fields) {
  TObjectLines lines = ReadObjectLines(item, header, fields);
  const auto& needed = shared_.View.OnPictureNeeded;
  if (lines.Body) {
    ReadPictureData(item, lines.ClassName, lines.Data);
  } else if (needed) {
    item.Image = needed(item.ItemText, item.ItemTag());
  }
  std::u16string fileName = item.ImageFileName;
  ApplyProperties(item, lines.Properties);
  if (!item.Image && needed && item.ImageFileName != fileName) {
    item.Image = needed(Utf16ToUtf8(item.ImageFileName), item.ItemTag());
  }
  return item.Image != nullptr;
}

bool TRVFReader::ReadControl(TRVControlItemInfo& item, const TRVFRecordHeader& header, TRVFHeaderReader& fields) {
  TObjectLines lines = ReadObjectLines(item, header, fields);
  if (lines.Body) {
    const auto& known = shared_.View.ControlClasses;
    if (std::find(known.begin(), known.end(), lines.ClassName) == known.end()) {
      Warn(rvfwUnknownCtrls);
      if (!Option(rvfoIgnoreUnknownCtrls)) ThrowInvalidRVF();
      return false;
    }
    item.Control =
        std::make_unique<TRVEmbeddedControl>(TRVEmbeddedControl{lines.ClassName, std::move(lines.Data), true});
  } else if (shared_.View.OnControlNeeded) {
    item.Control = shared_.View.OnControlNeeded(item.ItemText, item.ItemTag());
  }
  ApplyProperties(item, lines.Properties);
  return item.Control != nullptr;
}

bool TRVFReader::ReadBullet(TRVBulletItemInfo& item, const TRVFRecordHeader& header, TRVFHeaderReader& fields) {
  item.ImageListTag = fields.Number();
  item.ImageIndex = fields.Number();
  auto* hotspot = dynamic_cast<TRVHotspotItemInfo*>(&item);
  if (hotspot != nullptr) hotspot->HotImageIndex = fields.AtEnd() ? item.ImageIndex : fields.Number();
  if (header.LineCount < 1) ThrowInvalidRVF();
  item.ItemText = ReadRawLine();
  ApplyProperties(item, ReadLines(header.LineCount - 1));
  const auto& needed = shared_.View.OnImageListNeeded;
  int images = needed ? needed(item.ImageListTag) : -1;
  if (images < 0) return false;
  for (std::int32_t* index : {&item.ImageIndex, hotspot != nullptr ? &hotspot->HotImageIndex : nullptr}) {
    if (index == nullptr || (*index >= 0 && *index < images)) continue;
    Warn(rvfwConvLargeImageIdx);
    if (!Option(rvfoConvLargeImageIdxToZero)) ThrowInvalidRVF();
    *index = 0;
  }
  return true;
}

// --- labels, sequences and notes ---

bool TRVFReader::ReadLabelLines(TRVLabelItemInfo& label) {
  bool byName = false;
  std::int32_t styleNo = ReadTextStyleLine(byName);
  label.MinWidth = ReadNumberLine();
  std::int32_t alignment = ReadNumberLine();
  if (alignment < rvlaLeft || alignment > rvlaCenter) ThrowInvalidRVF();
  label.Alignment = static_cast<TRVLabelAlignment>(alignment);
  label.ProtectTextStyleNo = ReadRawLine() == kRVFProtect;
  bool known = MapTextStyle(styleNo, byName);
  label.TextStyleNo = styleNo;
  return known;
}

bool TRVFReader::ReadLabel(TRVLabelItemInfo& label, const TRVFRecordHeader& header, TRVFHeaderReader& fields) {
  label.VAlign = static_cast<TRVVAlign>(VAlignField(fields));
  constexpr std::int32_t kFixed = 6;
  if (header.LineCount < kFixed) ThrowInvalidRVF();
  label.Text = ReadStringLine();
  bool known = ReadLabelLines(label);
  label.ItemText = ReadRawLine();
  ApplyProperties(label, ReadLines(header.LineCount - kFixed));
  return known;
}

bool TRVFReader::ReadSequence(TRVSeqItemInfo& seq, const TRVFRecordHeader& header, TRVFHeaderReader& fields) {
  seq.VAlign = static_cast<TRVVAlign>(VAlignField(fields));
  constexpr std::int32_t kFixed = 10;
  if (header.LineCount < kFixed) ThrowInvalidRVF();
  seq.SeqName = ReadStringLine();
  std::int32_t type = ReadNumberLine();
  if (type < rvseqDecimal || type > rvseqUpperRoman) ThrowInvalidRVF();
  seq.NumberType = static_cast<TRVSeqType>(type);
  seq.Reset = ReadRawLine() != "0";
  seq.StartFrom = ClampCounter(ReadNumberLine());
  bool known = ReadLabelLines(seq);
  seq.ItemText = ReadRawLine();
  seq.FormatString = ReadStringLine();
  ApplyProperties(seq, ReadLines(header.LineCount - kFixed));
  return known;
}

bool TRVFReader::ReadNote(TRVNoteItemInfo& note, const TRVFRecordHeader& header, TRVFHeaderReader& fields) {
  note.VAlign = static_cast<TRVVAlign>(VAlignField(fields));
  constexpr std::int32_t kFixed = 8;
  if (header.LineCount < kFixed) ThrowInvalidRVF();
  bool known = ReadLabelLines(note);
  note.Reset = ReadRawLine() != "0";
  note.StartFrom = ClampCounter(ReadNumberLine());
  note.ItemText = ReadRawLine();
  ApplyProperties(note, ReadLines(header.LineCount - kFixed));
  std::string storage;
  std::string_view text = ReadData(header.Mode, storage);
  note.Document().ClearItems();
  ReadNested(note.Document(), text);
  return known;
}

// --- markers and tables ---

bool TRVFReader::ReadMarker(TRVMarkerItemInfo& marker, const TRVFRecordHeader& header, TRVFHeaderReader& fields) {
  bool byName = false;
  std::string name;
  marker.ListNo = fields.NumberOrQuoted(byName, name);
  if (byName) marker.ListNo = ListStyleByName(name);
  marker.Level = fields.Number();
  marker.ResetValue = ClampCounter(fields.Number());
  marker.Reset = fields.Number() != 0;
  ApplyProperties(marker, ReadLines(header.LineCount));
  MapListStyle(marker.ListNo, byName);
  return true;
}

bool TRVFReader::ReadTable(TRVTableItemInfo& table, const TRVFRecordHeader& header) {
  constexpr std::int32_t kFixed = 3;
  if (header.LineCount < kFixed) ThrowInvalidRVF();
  table.ItemText = ReadRawLine();
  std::vector<std::string> properties = ReadLines(header.LineCount - kFixed);
  if (in_.ReadLine() != "1") ThrowInvalidRVF();
  std::string storage;
  std::string_view stream = ReadData(header.Mode, storage);
  ReadTableStream(stream, table, [this](TRVTableCellData& cell, std::string_view data) { ReadNested(cell, data); });
  ApplyProperties(table, properties);
  return true;
}

// --- dispatch ---

bool TRVFReader::ReadItemBody(TCustomRVItemInfo& item, const TRVFRecordHeader& header, TRVFHeaderReader& fields) {
  if (auto* table = dynamic_cast<TRVTableItemInfo*>(&item)) return ReadTable(*table, header);
  if (auto* note = dynamic_cast<TRVNoteItemInfo*>(&item)) return ReadNote(*note, header, fields);
  if (auto* seq = dynamic_cast<TRVSeqItemInfo*>(&item)) return ReadSequence(*seq, header, fields);
  if (auto* label = dynamic_cast<TRVLabelItemInfo*>(&item)) return ReadLabel(*label, header, fields);
  if (auto* marker = dynamic_cast<TRVMarkerItemInfo*>(&item)) return ReadMarker(*marker, header, fields);
  if (auto* picture = dynamic_cast<TRVGraphicItemInfo*>(&item)) return ReadPicture(*picture, header, fields);
  if (auto* control = dynamic_cast<TRVControlItemInfo*>(&item)) return ReadControl(*control, header, fields);
  if (auto* bullet = dynamic_cast<TRVBulletItemInfo*>(&item)) return ReadBullet(*bullet, header, fields);
  if (auto* tab = dynamic_cast<TRVTabItemInfo*>(&item)) {
    bool byName = false;
    std::string name;
    tab->TextStyleNo = fields.NumberOrQuoted(byName, name);
    if (byName) tab->TextStyleNo = TextStyleByName(name);
    ApplyProperties(*tab, ReadLines(header.LineCount));
    return MapTextStyle(tab->TextStyleNo, byName);
  }
  if (auto* line = dynamic_cast<TRVBreakItemInfo*>(&item)) {
    if (!fields.AtEnd()) {
      line->Color = static_cast<TColor>(fields.Number());
      line->LineStyle = static_cast<std::uint8_t>(fields.Number());
      line->LineWidth = static_cast<std::uint8_t>(fields.Number());
    }
    ApplyProperties(*line, ReadLines(header.LineCount));
    return true;
  }
  // A registered kind of unknown shape: its name and properties.
  if (header.LineCount > 0) item.ItemText = ReadRawLine();
  ApplyProperties(item, ReadLines(std::max(header.LineCount - 1, 0)));
  return true;
}

void TRVFReader::ReadItemRecord(const TRVFRecordHeader& header, TRVFHeaderReader& fields) {
  std::unique_ptr<TCustomRVItemInfo> item = CreateItemOfKind(header.StyleNo, &data_);
  if (!item) return SkipRecord(header);
  std::int32_t paraNo = header.ParaNo;
  if (!MapParaStyle(paraNo, header.ParaByName)) ThrowInvalidRVF();
  item->ParaNo = paraNo;
  item->SetItemFlags(header.Flags);
  item->SetItemTag(header.Tag);
  if (!ReadItemBody(*item, header, fields)) return;  // not valid here: dropped
  std::string name = std::move(item->ItemText);
  Insert(std::move(item), std::move(name));
}

}  // namespace varnolt
