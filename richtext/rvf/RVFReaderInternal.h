#pragma once
// The reader of the stored format, shared by its two source files: records
// and inserting (RVFReader.cpp), and the record of each item kind
// (RVFItemReader.cpp). Every malformed input throws; ReadRVF turns that into
// false.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/document/CRVData.h"
#include "richtext/rvf/RVFLines.h"
#include "richtext/rvf/RVFTypes.h"

namespace varnolt {

class TRVGraphicItemInfo;
class TRVRectItemInfo;
class TRVControlItemInfo;
class TRVBulletItemInfo;
class TRVLabelItemInfo;
class TRVSeqItemInfo;
class TRVNoteItemInfo;
class TRVMarkerItemInfo;
class TRVTableItemInfo;

// One reading, shared by the documents nested in it.
struct TRVFReadShared {
  TRVFView& View;
  TRVStyle* Style;
  bool Loading;
  bool TagsArePChars;
  TRVStyleAddedEvent StyleAdded;
  // Stored style numbers to the sheet's, once a stored table was merged.
  std::optional<std::vector<std::int32_t>> TextMap;
  std::optional<std::vector<std::int32_t>> ParaMap;
  std::optional<std::vector<std::int32_t>> ListMap;
  bool TextTableTaken = false;
  bool ParaTableTaken = false;
  bool ListTableTaken = false;
  int Depth = 0;
};

// The fields every record header starts with.
struct TRVFRecordHeader {
  std::int32_t StyleNo = 0;
  bool StyleByName = false;
  std::int32_t LineCount = 0;
  std::int32_t ParaNo = 0;
  bool ParaByName = false;
  std::uint8_t Flags = 0;
  std::int32_t Mode = 0;
  TRVTag Tag = std::int32_t{0};
};

class TRVFReader {
 public:
  TRVFReader(TCustomRVData& data, std::string_view bytes, int insertIndex, TRVFReadShared& shared)
      : data_(data), in_(bytes), shared_(shared), insertAt_(insertIndex), firstInserted_(insertIndex) {}

  void Read();
  // Makes the inserted range sound (markers, line flags, paragraph numbers);
  // a complete reading also hands on its pending checkpoint.
  void Finish(bool complete);

 private:
  bool Option(TRVFOption option) const { return shared_.View.RVFOptions.Contains(option); }
  void Warn(TRVFWarning warning) { shared_.View.RVFWarnings.Include(warning); }
  bool TopLevel() const { return shared_.Depth == 0; }

  // --- records (RVFReader.cpp) ---
  void ReadRecord();
  void ReadVersion(TRVFHeaderReader& fields, std::int32_t major);
  void ReadCheckpoint(const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  void ReadBackground(const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  void ReadDocumentRecord(const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  void ReadStyleTable(std::int32_t kind, std::string_view bytes);
  void ReadLayout(std::string_view bytes);
  void ReadMarkerNumbering(std::string_view bytes);
  void ReadDocProperties(std::int32_t count);
  void ReadDocParameters(std::int32_t count);
  // A record of an unknown kind, when its lines can be told apart.
  void SkipRecord(const TRVFRecordHeader& header);
  void ReadTextRecord(const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  std::string TextForStyle(std::string bytes, bool storedUnicode, std::int32_t styleNo, std::int32_t paraNo,
                           bool& unicode);
  void Insert(std::unique_ptr<TCustomRVItemInfo> item, std::string text);
  void ReadNested(TCustomRVData& target, std::string_view bytes);

  // --- item records (RVFItemReader.cpp) ---
  // The lines of a picture or control record: name, class, properties, data.
  struct TObjectLines {
    bool Body = false;
    std::string ClassName;
    std::vector<std::string> Properties;
    std::string Data;
  };
  TObjectLines ReadObjectLines(TRVRectItemInfo& item, const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  void ReadItemRecord(const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  bool ReadItemBody(TCustomRVItemInfo& item, const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  bool ReadPicture(TRVGraphicItemInfo& item, const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  bool ReadControl(TRVControlItemInfo& item, const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  bool ReadBullet(TRVBulletItemInfo& item, const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  bool ReadLabel(TRVLabelItemInfo& label, const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  bool ReadLabelLines(TRVLabelItemInfo& label);
  bool ReadSequence(TRVSeqItemInfo& seq, const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  bool ReadNote(TRVNoteItemInfo& note, const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  bool ReadMarker(TRVMarkerItemInfo& marker, const TRVFRecordHeader& header, TRVFHeaderReader& fields);
  bool ReadTable(TRVTableItemInfo& table, const TRVFRecordHeader& header);
  void ReadPictureData(TRVGraphicItemInfo& item, const std::string& className, std::string_view bytes);
  std::vector<std::string> ReadLines(std::int32_t count);
  void ApplyProperties(TCustomRVItemInfo& item, const std::vector<std::string>& lines);
  std::int32_t VAlignField(TRVFHeaderReader& fields);

  // --- style numbers ---
  // Each gives false for a number the sheet does not have (after the
  // unknown-style warning) unless the options turn it into 0.
  bool MapTextStyle(std::int32_t& styleNo, bool byName);
  bool MapParaStyle(std::int32_t& paraNo, bool byName);
  void MapListStyle(std::int32_t& listNo, bool byName);
  std::int32_t TextStyleByName(const std::string& name) const;
  std::int32_t ParaStyleByName(const std::string& name) const;
  std::int32_t ListStyleByName(const std::string& name) const;
  // A style reference written on a line of its own: a number or a quoted name.
  std::int32_t ReadTextStyleLine(bool& byName);

  // --- small pieces ---
  std::string ReadRawLine() { return UnescapeLineBreaks(in_.ReadLine()); }
  std::u16string ReadStringLine() { return DecodeRVFString(in_.ReadLine(), utf8_); }
  std::int32_t ReadNumberLine();
  std::string_view ReadData(std::int32_t mode, std::string& storage);
  TRVTag MakeTag(bool quoted, std::int32_t number, const std::string& text) const;
  TRVFRecordHeader ParseHeader(TRVFHeaderReader& fields, bool& version);

  TCustomRVData& data_;
  TRVFInput in_;
  TRVFReadShared& shared_;
  int insertAt_;
  int firstInserted_;
  std::int32_t major_ = 0;
  std::int32_t minor_ = 0;
  bool utf8_ = false;
  std::unique_ptr<TRVCPInfo> pending_;
};

}  // namespace varnolt
