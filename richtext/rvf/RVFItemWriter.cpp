// The record of each item kind in the stored format.
#include <algorithm>

#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/rvf/RVFPictures.h"
#include "richtext/rvf/RVFRecords.h"
#include "richtext/rvf/RVFWriterInternal.h"
#include "richtext/table/RVTableStream.h"

namespace varnolt {

namespace {

// Bytes that may stand inside a text line: CR and LF escaped, zero bytes
// (which would end the line) left out.
std::string LineSafe(std::string_view bytes) {
  std::string safe = EscapeLineBreaks(bytes);
  safe.erase(std::remove(safe.begin(), safe.end(), '\0'), safe.end());
  return safe;
}

// 8-bit item text as a line: the bytes that would end it become spaces.
std::string AnsiLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return line;
}

std::string Number(std::int64_t value) { return std::to_string(value); }

std::string NameLine(const TCustomRVItemInfo& item) { return LineSafe(item.ItemText); }

}  // namespace

// --- header fields ---

std::string TRVFWriter::TagField(const TRVTag& tag) {
  if (const auto* number = std::get_if<std::int32_t>(&tag)) return Number(*number);
  const std::string& text = std::get<std::string>(tag);
  return text.empty() ? "0" : QuoteRVFString(LineSafe(text));
}

std::string TRVFWriter::TextStyleField(std::int32_t styleNo) const {
  if (UseNames() && style_ != nullptr && styleNo >= 0 && styleNo < style_->TextStyles.Count()) {
    return QuoteRVFString(EncodeRVFString(style_->TextStyles.Items(styleNo).StyleName()));
  }
  return Number(styleNo);
}

std::string TRVFWriter::ParaField(std::int32_t paraNo) const {
  if (UseNames() && style_ != nullptr && paraNo >= 0 && paraNo < style_->ParaStyles.Count()) {
    return QuoteRVFString(EncodeRVFString(style_->ParaStyles.Items(paraNo).StyleName()));
  }
  return Number(paraNo);
}

std::string TRVFWriter::ListField(std::int32_t listNo) const {
  if (UseNames() && style_ != nullptr && listNo >= 0 && listNo < style_->ListStyles.Count()) {
    return QuoteRVFString(EncodeRVFString(style_->ListStyles.Items(listNo).StyleName()));
  }
  return Number(listNo);
}

TRVFWriter::TRecordHead TRVFWriter::HeadOf(const TCustomRVItemInfo& item, std::string styleField,
                                           std::int32_t paraNo, std::uint8_t flags) const {
  return {std::move(styleField), ParaField(paraNo), flags, TagField(item.ItemTag())};
}

// --- records ---

void TRVFWriter::WriteHeader(const TRecordHead& head, std::size_t lineCount, std::int32_t mode, std::string_view tail) {
  out_.Line(head.Style + " " + Number(static_cast<std::int64_t>(lineCount)) + " " + head.Para + " " +
            Number(head.Flags) + " " + Number(mode) + " " + head.Tag + std::string(tail));
}

void TRVFWriter::WriteRecord(const TRecordHead& head, std::int32_t mode, std::string_view tail,
                             const std::vector<std::string>& lines) {
  WriteHeader(head, lines.size(), mode, tail);
  for (const std::string& line : lines) out_.Line(line);
}

void TRVFWriter::WriteRecordWithData(const TRecordHead& head, std::int32_t mode, std::string_view tail,
                                     const std::vector<std::string>& lines, std::string_view data) {
  WriteHeader(head, lines.size() + 1, mode, tail);
  for (const std::string& line : lines) out_.Line(line);
  out_.Data(data, Binary());
}

void TRVFWriter::WriteTextRecord(const std::vector<TTextLine>& lines, std::int32_t paraNo, std::uint8_t flags) {
  const TCustomRVItemInfo& first = *lines.front().Item;
  bool unicode = first.UnicodeText();
  std::int32_t mode = unicode && !Binary() ? rvfdmHexUnicode : rvfdmText;
  std::string tail = first.ItemHint().empty() ? std::string() : " " + QuoteRVFString(EncodeRVFString(first.ItemHint()));
  TRecordHead head = HeadOf(first, TextStyleField(first.StyleNo), paraNo, flags);
  WriteHeader(head, lines.size(), mode, tail);
  for (const TTextLine& line : lines) {
    if (!unicode) {
      out_.Line(AnsiLine(line.Text));
    } else if (!Binary()) {
      out_.HexLine(line.Text);
    } else {
      std::u16string units = BytesToUtf16(line.Text);
      std::replace(units.begin(), units.end(), u'\u2029', u' ');
      out_.UnicodeLine(units);
    }
  }
}

std::vector<std::string> TRVFWriter::PropertyLines(const TCustomRVItemInfo& item) const {
  const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&item);
  std::vector<std::string> lines;
  for (std::int32_t number = rvipVShift; number <= rvipVisible; ++number) {
    std::int32_t value = 0;
    if (!item.GetIntProperty(number, value)) continue;
    bool transparency = number >= rvipTransparent && number <= rvipTransparentColor;
    bool write = false;
    if (transparency) {
      // Only transparent bitmaps keep these, the colour only in fixed-colour mode.
      write = picture != nullptr && picture->Transparent &&
              (number != rvipTransparentColor || picture->TransparentMode == 1);
    } else {
      std::int32_t fallback = 0;
      if (number == rvipSpacing || number == rvipVisible) fallback = 1;
      if (number == rvipResizable && picture != nullptr) fallback = 1;
      write = value != fallback;
    }
    if (write) lines.push_back(std::string(kRVFIntPropertyNames[static_cast<std::size_t>(number)]) + "=" + Number(value));
  }
  for (std::int32_t number = rvspHint; number <= rvspFileName; ++number) {
    std::u16string value;
    if (item.GetStringProperty(number, value) && !value.empty()) {
      lines.push_back(std::string(kRVFStringPropertyNames[static_cast<std::size_t>(number)]) + "=" +
                      EncodeRVFString(value));
    }
  }
  return lines;
}

std::string TRVFWriter::NestedDocument(const TCustomRVData& document) const {
  std::string stream;
  TRVFWriter(document, stream, view_, true).Write(rvfsmWhole);
  return stream;
}

// --- item kinds ---

void TRVFWriter::WritePicture(const TRVGraphicItemInfo& item, const TRecordHead& head) {
  std::string tail = " " + Number(item.VAlign);
  std::vector<std::string> lines{NameLine(item)};
  std::vector<std::string> properties = PropertyLines(item);
  if (!view_.RVFOptions.Contains(rvfoSavePicturesBody)) {
    lines.insert(lines.end(), properties.begin(), properties.end());
    WriteRecord(head, rvfdmNoBody, tail, lines);
    return;
  }
  std::string className = "TBitmap";
  std::string bytes = style_ != nullptr ? style_->InvalidPicture : std::string();
  if (item.Image) {
    try {
      bytes = PictureBytesForRVF(*item.Image);
      className = item.Image->ClassName();
    } catch (const Exception&) {
      // A picture that cannot save itself is stored as the invalid picture.
    }
  }
  lines.push_back(className);
  lines.insert(lines.end(), properties.begin(), properties.end());
  WriteRecordWithData(head, Binary() ? rvfdmBinary : rvfdmText, tail, lines, bytes);
}

void TRVFWriter::WriteControl(const TRVControlItemInfo& item, const TRecordHead& head) {
  std::string tail = " " + Number(item.VAlign);
  std::vector<std::string> lines{NameLine(item)};
  std::vector<std::string> properties = PropertyLines(item);
  if (!view_.RVFOptions.Contains(rvfoSaveControlsBody) || !item.Control) {
    lines.insert(lines.end(), properties.begin(), properties.end());
    WriteRecord(head, rvfdmNoBody, tail, lines);
    return;
  }
  lines.push_back(LineSafe(item.Control->ClassName));
  lines.insert(lines.end(), properties.begin(), properties.end());
  WriteRecordWithData(head, Binary() ? rvfdmBinary : rvfdmText, tail, lines, item.Control->Data);
}

// The text style, minimum width, alignment and protection of a label.
std::vector<std::string> TRVFWriter::LabelLines(const TRVLabelItemInfo& label) const {
  return {TextStyleField(label.TextStyleNo), Number(label.MinWidth), Number(label.Alignment),
          std::string(label.ProtectTextStyleNo ? kRVFProtect : kRVFNoProtect)};
}

void TRVFWriter::WriteLabel(const TRVLabelItemInfo& label, const TRecordHead& head) {
  std::vector<std::string> lines{EncodeRVFString(label.Text)};
  for (std::string& line : LabelLines(label)) lines.push_back(std::move(line));
  lines.push_back(NameLine(label));
  for (std::string& line : PropertyLines(label)) lines.push_back(std::move(line));
  WriteRecord(head, rvfdmText, " " + Number(label.VAlign), lines);
}

void TRVFWriter::WriteSequence(const TRVSeqItemInfo& seq, const TRecordHead& head) {
  std::vector<std::string> lines{EncodeRVFString(seq.SeqName), Number(seq.NumberType), seq.Reset ? "1" : "0",
                                 Number(seq.StartFrom)};
  for (std::string& line : LabelLines(seq)) lines.push_back(std::move(line));
  lines.push_back(NameLine(seq));
  lines.push_back(EncodeRVFString(seq.FormatString));
  for (std::string& line : PropertyLines(seq)) lines.push_back(std::move(line));
  WriteRecord(head, rvfdmText, " " + Number(seq.VAlign), lines);
}

void TRVFWriter::WriteNote(const TRVNoteItemInfo& note, const TRecordHead& head) {
  std::vector<std::string> lines = LabelLines(note);
  lines.push_back(note.Reset ? "1" : "0");
  lines.push_back(Number(note.StartFrom));
  lines.push_back(NameLine(note));
  for (std::string& line : PropertyLines(note)) lines.push_back(std::move(line));
  WriteRecordWithData(head, Binary() ? rvfdmBinary : rvfdmText, " " + Number(note.VAlign), lines,
                      NestedDocument(note.Document()));
}

void TRVFWriter::WriteMarker(const TRVMarkerItemInfo& marker, const TRecordHead& head, bool partMarker) {
  // A printed part restarts each marker at the number it shows.
  std::int32_t start = partMarker ? marker.Counter : marker.ResetValue;
  bool reset = partMarker || marker.Reset;
  std::string tail = " " + ListField(marker.ListNo) + " " + Number(marker.Level) + " " + Number(start) + " " +
                     (reset ? "1" : "0");
  WriteRecord(head, rvfdmText, tail, PropertyLines(marker));
}

void TRVFWriter::WriteTable(const TRVTableItemInfo& table, const TRecordHead& head, const TRVCellRange* cells) {
  std::vector<std::string> lines{NameLine(table)};
  for (std::string& line : PropertyLines(table)) lines.push_back(std::move(line));
  lines.push_back("1");
  std::string stream = WriteTableStream(table, cells, [this](const TRVTableCellData& cell) { return NestedDocument(cell); });
  WriteRecordWithData(head, Binary() ? rvfdmBinary : rvfdmText, " ", lines, stream);
}

void TRVFWriter::WriteItem(const TCustomRVItemInfo& item, std::int32_t paraNo, std::uint8_t flags,
                           const TRVCellRange* cells, bool partMarker) {
  TRecordHead head = HeadOf(item, Number(item.StyleNo), paraNo, flags);
  if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&item)) return WriteTable(*table, head, cells);
  if (const auto* note = dynamic_cast<const TRVNoteItemInfo*>(&item)) return WriteNote(*note, head);
  if (const auto* seq = dynamic_cast<const TRVSeqItemInfo*>(&item)) return WriteSequence(*seq, head);
  if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item)) return WriteLabel(*label, head);
  if (const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&item)) return WriteMarker(*marker, head, partMarker);
  if (const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&item)) return WritePicture(*picture, head);
  if (const auto* control = dynamic_cast<const TRVControlItemInfo*>(&item)) return WriteControl(*control, head);
  if (const auto* tab = dynamic_cast<const TRVTabItemInfo*>(&item)) {
    return WriteRecord(head, rvfdmText, " " + TextStyleField(tab->TextStyleNo), {});
  }
  if (const auto* line = dynamic_cast<const TRVBreakItemInfo*>(&item)) {
    std::string tail = " " + Number(static_cast<std::int32_t>(line->Color)) + " " + Number(line->LineStyle) + " " + Number(line->LineWidth);
    return WriteRecord(head, rvfdmText, tail, PropertyLines(item));
  }
  std::vector<std::string> lines{NameLine(item)};
  for (std::string& property : PropertyLines(item)) lines.push_back(std::move(property));
  std::string tail;
  if (const auto* hotspot = dynamic_cast<const TRVHotspotItemInfo*>(&item)) {
    tail = " " + Number(hotspot->ImageListTag) + " " + Number(hotspot->ImageIndex) + " " +
           Number(hotspot->HotImageIndex);
  } else if (const auto* bullet = dynamic_cast<const TRVBulletItemInfo*>(&item)) {
    tail = " " + Number(bullet->ImageListTag) + " " + Number(bullet->ImageIndex);
  } else {
    tail = " ";  // a registered kind of unknown shape: its name and properties
  }
  WriteRecord(head, rvfdmText, tail, lines);
}

}  // namespace varnolt
