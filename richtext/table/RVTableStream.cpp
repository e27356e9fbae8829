#include "richtext/table/RVTableStream.h"

#include <array>
#include <vector>

#include "richtext/rvf/RVFPictures.h"
#include "richtext/rvf/RVFPropertyTable.h"

namespace varnolt {

namespace {

using Names = std::string_view;

constexpr std::string_view kSignature = "TPF0";
constexpr std::string_view kTableClass = "TRVTableSW";
constexpr std::string_view kCellClass = "TD";
constexpr std::string_view kTablePrefix = "T.";
constexpr std::string_view kCellPrefix = "C.";
constexpr std::string_view kCellDataName = "C.Data";
constexpr std::string_view kCellPictureName = "C.BackgroundImg";
constexpr const char* kWrongEndOfCells = "Wrong end of cells list";

constexpr std::array<Names, 13> kTableOptionNames = {
    "rvtoEditing",        "rvtoRowSizing",         "rvtoColSizing",          "rvtoRowSelect",
    "rvtoColSelect",      "rvtoNoCellSelect",      "rvtoRTFSaveCellPixelBestWidth", "rvtoRTFAllowAutofit",
    "rvtoHideGridLines",  "rvtoOverlappingCorners", "rvtoCellBelowBorders",  "rvtoIgnoreContentWidth",
    "rvtoIgnoreContentHeight"};
constexpr std::array<Names, 3> kPrintOptionNames = {"rvtoHalftoneBorders", "rvtoRowsSplit", "rvtoWhiteBackground"};
constexpr std::array<Names, 4> kBackgroundStyleNames = {"rvbsColor", "rvbsStretched", "rvbsTiled", "rvbsCentered"};
constexpr std::array<Names, 5> kBorderStyleNames = {"rvtbRaised", "rvtbLowered", "rvtbColor", "rvtbRaisedColor",
                                                    "rvtbLoweredColor"};
constexpr std::array<Names, 4> kCellVAlignNames = {"rvcTop", "rvcMiddle", "rvcBottom", "rvcVDefault"};

// Properties kept behind a getter and a setter (rare ones, in a block of their own).
template <typename T>
void AddBackgroundStyle(TRVFPropertyTable<T>& table) {
  AddRVFProperty<T>(
      table, "BackgroundStyle", TRVFEnumCodec<TRVItemBackgroundStyle, 4>{kBackgroundStyleNames},
      [](const T& object) { return object.BackgroundStyle(); },
      [](T& object, TRVItemBackgroundStyle style) { object.SetBackgroundStyle(style); });
}

template <typename T>
void AddStringProperty(TRVFPropertyTable<T>& table, std::string name, const std::u16string& (T::*get)() const,
                       void (T::*set)(std::u16string)) {
  AddRVFProperty<T>(
      table, std::move(name), TRVFStringCodec{}, [get](const T& object) { return (object.*get)(); },
      [set](T& object, std::u16string value) { (object.*set)(std::move(value)); });
}

const TRVFPropertyTable<TRVTableItemInfo>& TableProperties() {
  using T = TRVTableItemInfo;
  static const TRVFPropertyTable<T> table = [] {
    TRVFPropertyTable<T> t;
    RVF_PROPERTY(t, T, Options, (TRVFSetCodec<TRVTableOptions, 13>{kTableOptionNames}));
    RVF_PROPERTY(t, T, PrintOptions, (TRVFSetCodec<TRVTablePrintOptions, 3>{kPrintOptionNames}));
    RVF_PROPERTY(t, T, BestWidth, TRVFIntCodec{});
    RVF_PROPERTY(t, T, Color, TRVFColorCodec{});
    AddBackgroundStyle(t);
    RVF_PROPERTY(t, T, HeadingRowCount, TRVFIntCodec{});
    AddStringProperty(t, "TextRowSeparator", &T::TextRowSeparator, &T::SetTextRowSeparator);
    AddStringProperty(t, "TextColSeparator", &T::TextColSeparator, &T::SetTextColSeparator);
    RVF_PROPERTY(t, T, BorderWidth, TRVFIntCodec{});
    RVF_PROPERTY(t, T, BorderColor, TRVFColorCodec{});
    RVF_PROPERTY(t, T, BorderLightColor, TRVFColorCodec{});
    RVF_PROPERTY(t, T, BorderStyle, (TRVFEnumCodec<TRVTableBorderStyle, 5>{kBorderStyleNames}));
    RVF_PROPERTY(t, T, BorderVSpacing, TRVFIntCodec{});
    RVF_PROPERTY(t, T, BorderHSpacing, TRVFIntCodec{});
    RVF_PROPERTY(t, T, VisibleBorders.Left, TRVFBoolCodec{});
    RVF_PROPERTY(t, T, VisibleBorders.Top, TRVFBoolCodec{});
    RVF_PROPERTY(t, T, VisibleBorders.Right, TRVFBoolCodec{});
    RVF_PROPERTY(t, T, VisibleBorders.Bottom, TRVFBoolCodec{});
    RVF_PROPERTY(t, T, CellBorderWidth, TRVFIntCodec{});
    RVF_PROPERTY(t, T, CellBorderColor, TRVFColorCodec{});
    RVF_PROPERTY(t, T, CellBorderLightColor, TRVFColorCodec{});
    RVF_PROPERTY(t, T, CellBorderStyle, (TRVFEnumCodec<TRVTableBorderStyle, 5>{kBorderStyleNames}));
    RVF_PROPERTY(t, T, CellHPadding, TRVFIntCodec{});
    RVF_PROPERTY(t, T, CellVPadding, TRVFIntCodec{});
    RVF_PROPERTY(t, T, CellVSpacing, TRVFIntCodec{});
    RVF_PROPERTY(t, T, CellHSpacing, TRVFIntCodec{});
    RVF_PROPERTY(t, T, VRuleWidth, TRVFIntCodec{});
    RVF_PROPERTY(t, T, VRuleColor, TRVFColorCodec{});
    RVF_PROPERTY(t, T, HRuleWidth, TRVFIntCodec{});
    RVF_PROPERTY(t, T, HRuleColor, TRVFColorCodec{});
    RVF_PROPERTY(t, T, VOutermostRule, TRVFBoolCodec{});
    RVF_PROPERTY(t, T, HOutermostRule, TRVFBoolCodec{});
    return t;
  }();
  return table;
}

const TRVFPropertyTable<TRVTableCellData>& CellProperties() {
  using C = TRVTableCellData;
  static const TRVFPropertyTable<C> table = [] {
    TRVFPropertyTable<C> t;
    RVF_PROPERTY(t, C, Color, TRVFColorCodec{});
    RVF_PROPERTY(t, C, BorderColor, TRVFColorCodec{});
    RVF_PROPERTY(t, C, BorderLightColor, TRVFColorCodec{});
    RVF_PROPERTY(t, C, BestWidth, TRVFIntCodec{});
    RVF_PROPERTY(t, C, BestHeight, TRVFIntCodec{});
    RVF_PROPERTY(t, C, VisibleBorders.Left, TRVFBoolCodec{});
    RVF_PROPERTY(t, C, VisibleBorders.Top, TRVFBoolCodec{});
    RVF_PROPERTY(t, C, VisibleBorders.Right, TRVFBoolCodec{});
    RVF_PROPERTY(t, C, VisibleBorders.Bottom, TRVFBoolCodec{});
    RVF_PROPERTY(t, C, VAlign, (TRVFEnumCodec<TRVCellVAlign, 4>{kCellVAlignNames}));
    AddBackgroundStyle(t);
    AddStringProperty(t, "BackgroundImageFileName", &C::BackgroundImageFileName, &C::SetBackgroundImageFileName);
    AddStringProperty(t, "Hint", &C::Hint, &C::SetHint);
    return t;
  }();
  return table;
}

// A picture as a binary property: its class name, then its bytes.
std::string PictureProperty(const TGraphic& picture) {
  TRVFPropertyWriter out;
  out.ShortString(picture.ClassName());
  out.Bytes() += PictureBytesForRVF(picture);
  return out.Bytes();
}

std::unique_ptr<TGraphic> PictureFromProperty(std::string_view bytes) {
  TRVFPropertyReader in(bytes);
  std::string className = in.ReadShortString();
  std::string_view data = bytes.substr(className.size() + 1);
  return IsKnownPictureClass(className) ? LoadRVFPicture(className, data) : nullptr;
}

// --- writing ---

void WriteCell(TRVFPropertyWriter& out, const TRVTableCellData& cell, const TRVCellDataWriter& writeCellData) {
  static const TRVTableCellData defaults(nullptr);
  out.ShortString(kCellClass);
  out.ShortString({});
  CellProperties().Write(cell, defaults, kCellPrefix, out);
  if (cell.CountItems() > 0) {
    out.ShortString(kCellDataName);
    out.Binary(writeCellData(cell));
  }
  if (cell.BackgroundImage() != nullptr) {
    out.ShortString(kCellPictureName);
    out.Binary(PictureProperty(*cell.BackgroundImage()));
  }
  out.Code(rvvaNull);  // end of the properties
  out.Code(rvvaNull);  // no child objects
}

void WriteCells(TRVFPropertyWriter& out, const TRVTableItemInfo& table, const TRVCellRange& part,
                const TRVCellDataWriter& writeCellData) {
  out.ShortString("C");
  out.Code(rvvaList);
  out.Int(part.RowCount);
  if (part.RowCount > 0) {
    out.Int(part.ColumnCount);
    for (int r = part.Row; r < part.Row + part.RowCount; ++r) {
      for (int c = part.Column; c < part.Column + part.ColumnCount; ++c) {
        const TRVTableCellData* cell = table.CellAt(r, c);
        if (cell == nullptr) continue;
        out.Int(std::min(cell->SpanColumns(), part.Column + part.ColumnCount - c));
        out.Int(std::min(cell->SpanRows(), part.Row + part.RowCount - r));
        WriteCell(out, *cell, writeCellData);
      }
    }
  }
  out.Code(rvvaNull);
}

void WriteRowLists(TRVFPropertyWriter& out, const TRVTableItemInfo& table, const TRVCellRange& part) {
  bool anyAlign = false;
  bool anyBreak = false;
  for (int r = part.Row; r < part.Row + part.RowCount; ++r) {
    anyAlign = anyAlign || table.Row(r).VAlign != 0;
    anyBreak = anyBreak || table.Row(r).PageBreakBefore != 0;
  }
  if (anyAlign) {
    out.ShortString("RowVAlign");
    out.Code(rvvaList);
    for (int r = part.Row; r < part.Row + part.RowCount; ++r) out.Int(table.Row(r).VAlign);
    out.Code(rvvaNull);
  }
  if (anyBreak) {
    out.ShortString("RowPageBreakBefore");
    out.Code(rvvaList);
    for (int r = part.Row; r < part.Row + part.RowCount; ++r) out.Bool(table.Row(r).PageBreakBefore != 0);
    out.Code(rvvaNull);
  }
}

// --- reading ---

struct TStoredCell {
  int Row;
  int Column;
  int SpanRows;
  int SpanColumns;
  std::unique_ptr<TRVTableCellData> Cell;
};

// The stored grid, checked slot by slot as the cells come.
class TStoredGrid {
 public:
  TStoredGrid(int rows, int columns) : rows_(rows), columns_(columns) {
    covered_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns), false);
  }

  // The next slot no cell covers yet, in row order; false when there is none.
  bool NextFree(int& row, int& column) {
    while (next_ < covered_.size() && covered_[next_]) ++next_;
    if (next_ >= covered_.size()) return false;
    row = static_cast<int>(next_ / static_cast<std::size_t>(columns_));
    column = static_cast<int>(next_ % static_cast<std::size_t>(columns_));
    return true;
  }

  void Cover(int row, int column, int spanRows, int spanColumns) {
    bool fits = spanRows >= 1 && spanColumns >= 1 && spanRows <= rows_ - row && spanColumns <= columns_ - column;
    if (!fits) throw EReadError("Invalid cell span");
    for (int r = row; r < row + spanRows; ++r) {
      for (int c = column; c < column + spanColumns; ++c) {
        auto index = static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(c);
        if (covered_[index]) throw EReadError("Invalid cell span");
        covered_[index] = true;
      }
    }
  }

 private:
  int rows_;
  int columns_;
  std::vector<bool> covered_;
  std::size_t next_ = 0;
};

void ReadCellObject(TRVFPropertyReader& in, TRVTableCellData& cell, const TRVCellDataReader& readCellData) {
  if (in.ReadShortString() != kCellClass) throw EReadError("Invalid cell object");
  in.ReadShortString();  // its name
  while (!in.EndOfList()) {
    std::string name = in.ReadShortString();
    if (name == kCellDataName) {
      std::string data = in.ReadBinary();
      cell.ClearItems();
      readCellData(cell, data);
    } else if (name == kCellPictureName) {
      cell.SetBackgroundImage(PictureFromProperty(in.ReadBinary()));
    } else if (name.starts_with(kCellPrefix) &&
               CellProperties().Read(std::string_view(name).substr(kCellPrefix.size()), cell, in)) {
    } else {
      in.SkipValue();
    }
  }
  if (!in.EndOfList()) throw EReadError("Invalid cell object");
}

struct TStoredTable {
  int Rows = 0;
  int Columns = 0;
  std::vector<TStoredCell> Cells;
};

TStoredTable ReadCells(TRVFPropertyReader& in, const TRVTableItemInfo& table, std::size_t available,
                       const TRVCellDataReader& readCellData) {
  if (in.ReadByte() != rvvaList) throw EReadError("Invalid property value");
  TStoredTable stored;
  stored.Rows = in.ReadInt();
  stored.Columns = stored.Rows > 0 ? in.ReadInt() : 0;
  std::int64_t slots = static_cast<std::int64_t>(stored.Rows) * stored.Columns;
  // A slot costs memory whether or not the stream spends bytes on it.
  bool plausible = stored.Rows >= 0 && stored.Columns >= 0 && slots <= kMaxTableSlots &&
                   slots <= 4 * static_cast<std::int64_t>(available) + 1024 &&
                   stored.Rows <= static_cast<std::int64_t>(available) + 1;
  if (!plausible) throw EReadError("Invalid table size");
  TStoredGrid grid(stored.Rows, stored.Columns);
  while (!in.EndOfList()) {
    TStoredCell entry{};
    if (!grid.NextFree(entry.Row, entry.Column)) throw EReadError(kWrongEndOfCells);
    entry.SpanColumns = in.ReadInt();
    entry.SpanRows = in.ReadInt();
    grid.Cover(entry.Row, entry.Column, entry.SpanRows, entry.SpanColumns);
    entry.Cell = table.NewCell();
    ReadCellObject(in, *entry.Cell, readCellData);
    stored.Cells.push_back(std::move(entry));
  }
  int row = 0;
  int column = 0;
  if (grid.NextFree(row, column)) throw EReadError(kWrongEndOfCells);
  return stored;
}

template <typename Read>
std::vector<std::int32_t> ReadRowList(TRVFPropertyReader& in, std::size_t limit, Read read) {
  if (in.ReadByte() != rvvaList) throw EReadError("Invalid property value");
  std::vector<std::int32_t> values;
  while (!in.EndOfList()) {
    if (values.size() >= limit) throw EReadError("Invalid property value");
    values.push_back(read());
  }
  return values;
}

void ApplyRowList(TRVTableItemInfo& table, const std::vector<std::int32_t>& values, bool alignment) {
  if (values.empty()) return;
  if (static_cast<int>(values.size()) != table.TableRowCount()) throw EReadError("Invalid property value");
  for (int r = 0; r < table.TableRowCount(); ++r) {
    auto value = static_cast<std::uint8_t>(values[static_cast<std::size_t>(r)]);
    (alignment ? table.Row(r).VAlign : table.Row(r).PageBreakBefore) = value;
  }
}

}  // namespace

std::string WriteTableStream(const TRVTableItemInfo& table, const TRVCellRange* part,
                             const TRVCellDataWriter& writeCellData) {
  static const TRVTableItemInfo defaults;
  TRVCellRange range = part != nullptr ? *part : TRVCellRange{0, 0, table.TableRowCount(), table.TableColumnCount()};
  TRVFPropertyWriter out;
  out.Bytes() += kSignature;
  out.ShortString(kTableClass);
  out.ShortString({});
  TableProperties().Write(table, defaults, kTablePrefix, out);
  WriteCells(out, table, range, writeCellData);
  WriteRowLists(out, table, range);
  out.Code(rvvaNull);  // end of the properties
  out.Code(rvvaNull);  // no child objects
  return out.Bytes();
}

void ReadTableStream(std::string_view bytes, TRVTableItemInfo& table, const TRVCellDataReader& readCellData) {
  if (!bytes.starts_with(kSignature)) throw EReadError("Invalid stream format");
  TRVFPropertyReader in(bytes.substr(kSignature.size()));
  if (in.ReadShortString() != kTableClass) throw EReadError("Invalid stream format");
  in.ReadShortString();  // the object's name
  TStoredTable stored;
  std::vector<std::int32_t> alignments;
  std::vector<std::int32_t> pageBreaks;
  while (!in.EndOfList()) {
    std::string name = in.ReadShortString();
    if (name == "C") {
      stored = ReadCells(in, table, bytes.size(), readCellData);
    } else if (name == "RowVAlign") {
      alignments = ReadRowList(in, bytes.size(), [&] { return in.ReadInt(); });
    } else if (name == "RowPageBreakBefore") {
      pageBreaks = ReadRowList(in, bytes.size(), [&] { return in.ReadBool() ? 1 : 0; });
    } else if (!(name.starts_with(kTablePrefix) &&
                 TableProperties().Read(std::string_view(name).substr(kTablePrefix.size()), table, in))) {
      in.SkipValue();
    }
  }
  if (!in.EndOfList()) throw EReadError("Invalid stream format");
  table.ResetGrid(stored.Rows, stored.Columns);
  for (TStoredCell& entry : stored.Cells) {
    table.PlaceCell(entry.Row, entry.Column, entry.SpanRows, entry.SpanColumns, std::move(entry.Cell));
  }
  ApplyRowList(table, alignments, true);
  ApplyRowList(table, pageBreaks, false);
}

}  // namespace varnolt
