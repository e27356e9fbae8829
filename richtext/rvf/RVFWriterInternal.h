#pragma once
// The writer of the stored format, shared by its two source files: the
// document records and the item range (RVFWriter.cpp), and the record of
// each item kind (RVFItemWriter.cpp).
#include <cstdint>
#include <string>
#include <vector>

#include "richtext/document/CRVData.h"
#include "richtext/rvf/RVFLines.h"
#include "richtext/rvf/RVFTypes.h"
#include "richtext/table/RVTable.h"

namespace varnolt {

class TRVGraphicItemInfo;
class TRVControlItemInfo;
class TRVLabelItemInfo;
class TRVNoteItemInfo;
class TRVSeqItemInfo;
class TRVMarkerItemInfo;

class TRVFWriter {
 public:
  // A nested writer writes a cell's or a note's document: the version and
  // the items only.
  TRVFWriter(const TCustomRVData& data, std::string& stream, const TRVFView& view, bool nested)
      : data_(data), out_(stream), view_(view), style_(data.GetRVStyle()), nested_(nested) {}

  void Write(TRVFSaveMode mode);

 private:
  // One line of a text record: the item, and the part of its stored text.
  struct TTextLine {
    const TCustomRVItemInfo* Item;
    std::string Text;
  };

  bool Binary() const { return view_.RVFOptions.Contains(rvfoSaveBinary); }
  bool UseNames() const { return view_.RVFOptions.Contains(rvfoUseStyleNames); }

  // --- document records ---
  void WriteVersion();
  void WriteBackground();
  void WriteStyleTables();
  void WriteDocProperties();
  void WriteDocParameters();
  void WriteLayout(TRVPosition start, TRVPosition end, bool part);
  void WriteMarkerNumbering(int beforeItem);
  void WriteCheckpoint(const TRVCPInfo& checkpoint);
  void WriteDocumentRecord(std::int32_t kind, std::string_view name, std::string_view data);

  // --- the item range ---
  bool FindRange(TRVFSaveMode mode, TRVPosition& start, TRVPosition& end) const;
  void WriteRange(TRVPosition start, TRVPosition end, TRVFSaveMode mode);
  int WriteTextGroup(int index, TRVPosition start, TRVPosition end, bool continueLine);
  const TRVCellRange* SelectedCells(TRVPosition start, TRVPosition end, TRVCellRange& cells) const;

  // --- item records (RVFItemWriter.cpp) ---
  // The fields every item record starts with, but for the line count and data mode.
  struct TRecordHead {
    std::string Style;
    std::string Para;
    std::uint8_t Flags = 0;
    std::string Tag;
  };
  TRecordHead HeadOf(const TCustomRVItemInfo& item, std::string styleField, std::int32_t paraNo,
                     std::uint8_t flags) const;
  void WriteHeader(const TRecordHead& head, std::size_t lineCount, std::int32_t mode, std::string_view tail);
  // The header line, then the lines; tail holds the kind's own fields, each after a space.
  void WriteRecord(const TRecordHead& head, std::int32_t mode, std::string_view tail,
                   const std::vector<std::string>& lines);
  // The same with a last entry of data: a binary block or a hexadecimal line.
  void WriteRecordWithData(const TRecordHead& head, std::int32_t mode, std::string_view tail,
                           const std::vector<std::string>& lines, std::string_view data);
  void WriteTextRecord(const std::vector<TTextLine>& lines, std::int32_t paraNo, std::uint8_t flags);
  void WriteItem(const TCustomRVItemInfo& item, std::int32_t paraNo, std::uint8_t flags, const TRVCellRange* cells,
                 bool partMarker);
  void WritePicture(const TRVGraphicItemInfo& item, const TRecordHead& head);
  void WriteControl(const TRVControlItemInfo& item, const TRecordHead& head);
  void WriteLabel(const TRVLabelItemInfo& label, const TRecordHead& head);
  void WriteNote(const TRVNoteItemInfo& note, const TRecordHead& head);
  void WriteSequence(const TRVSeqItemInfo& seq, const TRecordHead& head);
  void WriteMarker(const TRVMarkerItemInfo& marker, const TRecordHead& head, bool partMarker);
  void WriteTable(const TRVTableItemInfo& table, const TRecordHead& head, const TRVCellRange* cells);
  std::vector<std::string> LabelLines(const TRVLabelItemInfo& label) const;
  std::vector<std::string> PropertyLines(const TCustomRVItemInfo& item) const;
  std::string NestedDocument(const TCustomRVData& document) const;

  // --- header fields ---
  std::string TextStyleField(std::int32_t styleNo) const;
  std::string ParaField(std::int32_t paraNo) const;
  std::string ListField(std::int32_t listNo) const;
  static std::string TagField(const TRVTag& tag);

  const TCustomRVData& data_;
  TRVFOutput out_;
  const TRVFView& view_;
  const TRVStyle* style_;
  bool nested_;
};

}  // namespace varnolt
