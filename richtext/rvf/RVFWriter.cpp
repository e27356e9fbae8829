#include "richtext/rvf/RVFWriter.h"

#include <algorithm>
#include <charconv>
#include <exception>

#include "richtext/document/RVItemKinds.h"
#include "richtext/rvf/RVFPictures.h"
#include "richtext/rvf/RVFRecords.h"
#include "richtext/rvf/RVFStyleTables.h"
#include "richtext/rvf/RVFWriterInternal.h"

namespace varnolt {

namespace {

std::string FormatDouble(double value) {
  char buffer[32];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value);
  return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

// The page parameters that differ from the defaults, as "name=value" lines.
std::vector<std::string> DocParameterLines(const TRVDocParameters& parameters) {
  const TRVDocParameters defaults;
  std::vector<std::string> lines;
  auto add = [&](std::size_t index, const std::string& value) {
    lines.push_back(std::string(kRVFDocParameterNames[index]) + "=" + value);
  };
  const std::array<double, 8> lengths = {parameters.PageWidth,  parameters.PageHeight,  parameters.LeftMargin,
                                         parameters.RightMargin, parameters.TopMargin,   parameters.BottomMargin,
                                         parameters.HeaderY,    parameters.FooterY};
  const std::array<double, 8> defaultLengths = {defaults.PageWidth,  defaults.PageHeight, defaults.LeftMargin,
                                                defaults.RightMargin, defaults.TopMargin,  defaults.BottomMargin,
                                                defaults.HeaderY,    defaults.FooterY};
  if (parameters.Units != defaults.Units) add(0, std::to_string(parameters.Units));
  if (parameters.Orientation != defaults.Orientation) add(1, std::to_string(parameters.Orientation));
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    if (lengths[i] != defaultLengths[i]) add(2 + i, FormatDouble(lengths[i]));
  }
  if (parameters.ZoomPercent != defaults.ZoomPercent) add(10, std::to_string(parameters.ZoomPercent));
  if (parameters.ZoomMode != defaults.ZoomMode) add(11, std::to_string(parameters.ZoomMode));
  if (parameters.MirrorMargins) add(12, "1");
  return lines;
}

}  // namespace

// --- document records ---

void TRVFWriter::WriteVersion() {
  out_.Line(std::to_string(kRVFRecordVersion) + " " + std::to_string(kRVFMajorVersion) + " " +
            std::to_string(kRVFMinorVersion) + " 1");
}

void TRVFWriter::WriteBackground() {
  const TRVFBackground& back = view_.Background;
  std::string tail = " " + std::to_string(back.Style) + " " + std::to_string(static_cast<std::int32_t>(back.Color));
  if (!back.Image) {
    out_.Line(std::to_string(kRVFRecordBackground) + " 0 -1 0 0 0" + tail);
    return;
  }
  std::int32_t mode = Binary() ? rvfdmBinary : rvfdmText;
  out_.Line(std::to_string(kRVFRecordBackground) + " 2 0 0 " + std::to_string(mode) + " 0" + tail);
  out_.Line(back.Image->ClassName());
  out_.Data(PictureBytesForRVF(*back.Image), Binary());
}

void TRVFWriter::WriteDocumentRecord(std::int32_t kind, std::string_view name, std::string_view data) {
  std::int32_t mode = Binary() ? rvfdmBinary : rvfdmText;
  out_.Line(std::to_string(kRVFRecordDocument) + " 2 0 0 " + std::to_string(mode) + " 0 " + std::to_string(kind));
  out_.Line(name);
  out_.Data(data, Binary());
}

void TRVFWriter::WriteStyleTables() {
  if (style_ == nullptr) return;
  if (view_.RVFOptions.Contains(rvfoSaveTextStyles)) {
    WriteDocumentRecord(rvfdrTextStyles, {}, WriteTextStyleTable(style_->TextStyles));
  }
  if (view_.RVFOptions.Contains(rvfoSaveParaStyles)) {
    WriteDocumentRecord(rvfdrParaStyles, {}, WriteParaStyleTable(style_->ParaStyles));
    WriteDocumentRecord(rvfdrListStyles, {}, WriteListStyleTable(style_->ListStyles));
  }
}

void TRVFWriter::WriteDocProperties() {
  if (view_.DocProperties.empty()) return;
  out_.Line(std::to_string(kRVFRecordDocument) + " " + std::to_string(view_.DocProperties.size()) + " 0 0 0 0 " +
            std::to_string(rvfdrDocProperties));
  for (const std::u16string& property : view_.DocProperties) out_.Line(EncodeRVFString(property));
}

void TRVFWriter::WriteDocParameters() {
  std::vector<std::string> lines = DocParameterLines(view_.DocParameters);
  out_.Line(std::to_string(kRVFRecordDocument) + " " + std::to_string(lines.size()) + " 0 0 0 0 " +
            std::to_string(rvfdrDocParameters));
  for (const std::string& line : lines) out_.Line(line);
}

void TRVFWriter::WriteLayout(TRVPosition start, TRVPosition end, bool part) {
  TRVFPartCuts cuts;
  if (part) {
    cuts.FirstParaCut = !(data_.ItemStartsPara(start.ItemNo) && start.Offset <= data_.ItemStartOffset(start.ItemNo));
    bool endsItem = end.Offset >= data_.ItemEndOffset(end.ItemNo);
    bool endsPara = end.ItemNo + 1 >= data_.CountItems() || data_.ItemStartsPara(end.ItemNo + 1);
    cuts.LastParaCut = !(endsItem && endsPara);
    const TCustomRVItemInfo& first = data_.ItemAt(data_.ParagraphStart(start.ItemNo));
    if (const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&first); marker != nullptr && cuts.FirstParaCut) {
      cuts.FirstMarkerListNo = marker->ListNo;
      cuts.FirstMarkerLevel = marker->Level;
    }
  }
  std::string payload;
  if (!nested_) {
    const TRVFLayout& layout = view_.Layout;
    for (std::int32_t value : {layout.LeftMargin, layout.RightMargin, layout.TopMargin, layout.BottomMargin,
                               layout.MinTextWidth, layout.MaxTextWidth}) {
      AppendInt32(payload, value);
    }
    payload.push_back(static_cast<char>(layout.BiDiMode));
  }
  if (cuts.FirstParaCut || cuts.LastParaCut) {
    for (std::int32_t value : {cuts.FirstParaCut ? 1 : 0, cuts.LastParaCut ? 1 : 0, cuts.FirstMarkerListNo,
                               cuts.FirstMarkerLevel}) {
      AppendInt32(payload, value);
    }
  }
  std::string block;
  AppendInt32(block, nested_ ? 1 : 0);
  AppendInt32(block, static_cast<std::int32_t>(payload.size()));
  WriteDocumentRecord(rvfdrLayout, {}, block + payload);
}

void TRVFWriter::WriteMarkerNumbering(int beforeItem) {
  std::vector<const TRVMarkerItemInfo*> markers;
  for (int i = 0; i < beforeItem; ++i) {
    if (const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&data_.ItemAt(i))) markers.push_back(marker);
  }
  if (markers.empty()) return;
  std::string block;
  AppendInt32(block, 0);
  AppendInt32(block, static_cast<std::int32_t>(markers.size()));
  for (const TRVMarkerItemInfo* marker : markers) {
    AppendInt32(block, marker->ListNo);
    AppendInt32(block, marker->Level);
    block.push_back(marker->Reset ? 1 : 0);
    AppendInt32(block, marker->ResetValue);
    AppendInt32(block, marker->Counter);
  }
  WriteDocumentRecord(rvfdrMarkerNumbering, {}, block);
}

void TRVFWriter::WriteCheckpoint(const TRVCPInfo& checkpoint) {
  out_.Line(std::to_string(kRVFRecordCheckpoint) + " 1 0 0 0 " + TagField(checkpoint.Tag) + " " +
            (checkpoint.RaiseEvent ? "1" : "0") + " " + (checkpoint.Persistent ? "1" : "0"));
  out_.Line(EncodeRVFString(checkpoint.Name));
}

// --- the range ---

bool TRVFWriter::FindRange(TRVFSaveMode mode, TRVPosition& start, TRVPosition& end) const {
  if (data_.CountItems() == 0) return false;
  if (mode == rvfsmWhole) {
    start = {0, data_.ItemStartOffset(0)};
    end = {data_.CountItems() - 1, data_.ItemEndOffset(data_.CountItems() - 1)};
    return true;
  }
  if (mode == rvfsmSelection) {
    if (!data_.GetSelectionBounds(start, end)) return false;
  } else {
    start = view_.PartStart;
    end = view_.PartEnd;
  }
  return NarrowRVFRange(data_, start, end);
}

const TRVCellRange* TRVFWriter::SelectedCells(TRVPosition start, TRVPosition end, TRVCellRange& cells) const {
  if (start.ItemNo != end.ItemNo) return nullptr;
  const auto* table = dynamic_cast<const TRVTableItemInfo*>(&data_.ItemAt(start.ItemNo));
  if (table == nullptr || !table->GetCellSelection(cells)) return nullptr;
  return &cells;
}

void TRVFWriter::Write(TRVFSaveMode mode) {
  TRVPosition start;
  TRVPosition end;
  if (!FindRange(mode, start, end)) return;
  bool part = mode == rvfsmPart;
  WriteVersion();
  if (!nested_) {
    if (mode == rvfsmWhole && view_.RVFOptions.Contains(rvfoSaveBack)) WriteBackground();
    WriteStyleTables();
    if (!part && view_.RVFOptions.Contains(rvfoSaveDocProperties)) {
      WriteDocProperties();
      WriteDocParameters();
    }
  }
  if ((mode == rvfsmWhole && !nested_ && view_.RVFOptions.Contains(rvfoSaveLayout)) || part) {
    WriteLayout(start, end, part);
  }
  if (part) WriteMarkerNumbering(start.ItemNo);
  WriteRange(start, end, mode);
  bool toTheEnd = end.ItemNo == data_.CountItems() - 1 && end.Offset >= data_.ItemEndOffset(end.ItemNo);
  if (mode == rvfsmWhole && toTheEnd && data_.PendingCheckpoint() != nullptr) {
    WriteCheckpoint(*data_.PendingCheckpoint());
  }
}

// Writes the text items from index on that share one record; returns the
// index after them. A cut first item, or one that continues the line of a
// list marker written before it, continues the line it is pasted into.
int TRVFWriter::WriteTextGroup(int index, TRVPosition start, TRVPosition end, bool continueLine) {
  const TCustomRVItemInfo& first = data_.ItemAt(index);
  int length = TextItemLength(first);
  int from = index == start.ItemNo ? std::clamp(start.Offset, 1, length + 1) : 1;
  int to = index == end.ItemNo ? std::clamp(end.Offset, from, length + 1) : length + 1;
  std::size_t unit = first.UnicodeText() ? 2 : 1;
  std::string text = first.ItemText.substr(static_cast<std::size_t>(from - 1) * unit,
                                           static_cast<std::size_t>(std::max(to - from, 0)) * unit);
  std::vector<TTextLine> lines{{&first, std::move(text)}};
  if (from > 1 || continueLine) {
    WriteTextRecord(lines, -1, static_cast<std::uint8_t>((first.ItemFlags() & rvifUnicodeText) | rvifContinuesPara));
    return index + 1;
  }
  int next = index + 1;
  bool whole = to == length + 1;
  while (whole && !first.ContinuesPara() && next <= end.ItemNo) {
    const TCustomRVItemInfo& item = data_.ItemAt(next);
    bool shares = item.IsText() && !item.ContinuesPara() && !item.Checkpoint() && item.StyleNo == first.StyleNo &&
                  item.ParaNo == first.ParaNo && item.ItemFlags() == first.ItemFlags() &&
                  item.ItemTag() == first.ItemTag() && item.ItemHint() == first.ItemHint();
    bool itemWhole = next != end.ItemNo || end.Offset >= TextItemLength(item) + 1;
    if (!shares || !itemWhole) break;
    lines.push_back({&item, item.ItemText});
    ++next;
  }
  WriteTextRecord(lines, first.ParaNo, first.ItemFlags());
  return next;
}

void TRVFWriter::WriteRange(TRVPosition start, TRVPosition end, TRVFSaveMode mode) {
  const TCustomRVItemInfo& startItem = data_.ItemAt(start.ItemNo);
  bool insideOneText = start.ItemNo == end.ItemNo && startItem.IsText() &&
                       (start.Offset > 1 || end.Offset <= TextItemLength(startItem));
  if (insideOneText) {
    WriteTextGroup(start.ItemNo, start, end, false);
    return;
  }
  int index = start.ItemNo;
  bool continueMarkerLine = false;
  if (mode == rvfsmSelection) {
    int lineStart = data_.LineStart(index);
    if (lineStart != index && data_.ItemAt(lineStart).StyleNo == ItemKindListMarker) {
      const TCustomRVItemInfo& marker = data_.ItemAt(lineStart);
      WriteItem(marker, marker.ParaNo, marker.ItemFlags(), nullptr, false);
      continueMarkerLine = true;
    }
  }
  TRVCellRange cells;
  const TRVCellRange* selectedCells = mode == rvfsmSelection ? SelectedCells(start, end, cells) : nullptr;
  for (; index <= end.ItemNo; continueMarkerLine = false) {
    const TCustomRVItemInfo& item = data_.ItemAt(index);
    if (item.Checkpoint()) WriteCheckpoint(*item.Checkpoint());
    if (item.IsText()) {
      index = WriteTextGroup(index, start, end, continueMarkerLine);
      continue;
    }
    std::uint8_t flags = continueMarkerLine
                             ? static_cast<std::uint8_t>((item.ItemFlags() & rvifUnicodeText) | rvifContinuesPara)
                             : item.ItemFlags();
    WriteItem(item, continueMarkerLine ? -1 : item.ParaNo, flags, selectedCells, mode == rvfsmPart);
    ++index;
  }
}

// --- entry points ---

bool NarrowRVFRange(const TCustomRVData& data, TRVPosition& start, TRVPosition& end) {
  if (start.ItemNo < 0 || end.ItemNo >= data.CountItems() || end.ItemNo < start.ItemNo) return false;
  if (start.ItemNo < end.ItemNo && start.Offset >= data.ItemEndOffset(start.ItemNo)) {
    ++start.ItemNo;
    start.Offset = data.ItemStartOffset(start.ItemNo);
  }
  if (end.ItemNo > start.ItemNo && end.Offset <= data.ItemStartOffset(end.ItemNo)) {
    --end.ItemNo;
    end.Offset = data.ItemEndOffset(end.ItemNo);
  }
  return !(start == end);
}

bool WriteRVF(const TCustomRVData& data, std::string& stream, TRVFSaveMode mode, const TRVFView& view) {
  try {
    TRVFWriter(data, stream, view, false).Write(mode);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace varnolt
