#pragma once
// A document formatted into paragraphs of lines of boxes at a width, through
// a font-metrics interface, so one layout serves the screen and any other
// painter. Updates re-format only the paragraphs whose items changed and
// move the others; a width or metrics change re-formats everything.
// RVLayout.cpp: formatting and incremental updates.
// RVLayoutParagraph.cpp: breaking a paragraph into lines.
// RVLayoutTable.cpp: tables and their cells.
// RVLayoutQueries.cpp: positions, points, carets, selections, line moves.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "richtext/document/CRVData.h"
#include "richtext/layout/RVFontMetrics.h"

namespace varnolt {

class TRVTableCellData;
class TRVLayout;

struct TRVRectF {
  double Left = 0;
  double Top = 0;
  double Width = 0;
  double Height = 0;
  double Right() const { return Left + Width; }
  double Bottom() const { return Top + Height; }
  friend bool operator==(const TRVRectF&, const TRVRectF&) = default;
};

enum class TRVBoxKind : std::uint8_t { Text, Tab, Object, Label, Marker, Rule, Table };

// One item, or the part of a text item, placed on a line.
struct TRVBox {
  TRVBoxKind Kind = TRVBoxKind::Text;
  int ItemNo = 0;
  int Start = 0;  // text: first character shown (from 0), Length characters
  int Length = 0;
  double X = 0;
  double Width = 0;
  double Top = 0;  // from the line's top
  double Height = 0;
  double Baseline = 0;    // text, labels, markers, tab leaders: from the line's top
  double SpaceExtra = 0;  // justification widens each space of the box by this
  std::int32_t TextStyleNo = -1;
  std::u16string Text;  // labels and markers: what is shown; tabs: the leader
  friend bool operator==(const TRVBox&, const TRVBox&) = default;
};

struct TRVLine {
  double Top = 0;  // from the paragraph's top
  double Height = 0;
  double Baseline = 0;  // from the line's top
  int FirstBox = 0;
  int BoxCount = 0;
  friend bool operator==(const TRVLine&, const TRVLine&) = default;
};

struct TRVCellLayout {
  int Row = 0;
  int Column = 0;
  TRVRectF Frame;           // from the table's top left, borders included
  double ContentLeft = 0;   // where the cell's own layout starts, from the table's top left
  double ContentTop = 0;
  const TRVTableCellData* Cell = nullptr;
  std::unique_ptr<TRVLayout> Content;
};

struct TRVTableLayout {
  double MinWidth = 0;  // every column at its least
  double Width = 0;
  double Height = 0;
  std::vector<double> ColumnWidths;
  std::vector<TRVCellLayout> Cells;
};

struct TRVParagraphLayout {
  int FirstItem = 0;
  int ItemCount = 0;
  double Top = 0;
  double Height = 0;  // spacing before and after included
  bool PageBreakBefore = false;
  double Right = 0;  // of the rightmost box
  TRVRectF Frame;  // around the lines, from the paragraph's top: where border and background go
  std::vector<TRVLine> Lines;
  std::vector<TRVBox> Boxes;
  std::unique_ptr<TRVTableLayout> Table;  // a table paragraph: its one box is Kind Table
};

// A formatted line: paragraph and line within it; -1 for none.
struct TRVLineRef {
  int Paragraph = -1;
  int Line = -1;
  bool Valid() const { return Paragraph >= 0; }
  friend bool operator==(const TRVLineRef&, const TRVLineRef&) = default;
};

// A place found under a point: the document (the root or a cell) and the position.
struct TRVHit {
  const TCustomRVData* Data = nullptr;
  TRVPosition Position;
};

inline constexpr double kRVUnlimitedWidth = 1e9;

class TRVLayout {
 public:
  TRVLayout();
  ~TRVLayout();
  TRVLayout(const TRVLayout&) = delete;
  TRVLayout& operator=(const TRVLayout&) = delete;

  // Not owned; nullptr returns to the fixed metrics.
  void SetMetrics(TRVFontMetrics* metrics);
  TRVFontMetrics& Metrics() const { return metrics_ != nullptr ? *metrics_ : fixed_; }
  // In pixels at 96 per inch; kRVUnlimitedWidth breaks only at line breaks.
  void SetWidth(double width);
  double Width() const { return width_; }

  // Formats what changed since the last format of the same document.
  void Update(const TCustomRVData& data);
  // What Update does when the caller knows that only the item's own text or
  // properties changed (typing), without comparing every item.
  void UpdateItem(const TCustomRVData& data, int itemNo);
  // Formats every paragraph again.
  void Format(const TCustomRVData& data);
  // Formats only the paragraphs of items [firstItem, endItem), which start
  // and end paragraphs: one section of a document on a paper of its own.
  // Queries by position see only them; an update formats everything.
  void FormatItems(const TCustomRVData& data, int firstItem, int endItem);
  // Forgets every line (the items may be gone).
  void Clear();

  const TCustomRVData* Data() const { return data_; }
  int ParagraphCount() const { return static_cast<int>(paragraphs_.size()); }
  // Checked: std::out_of_range for an index out of range.
  const TRVParagraphLayout& Paragraph(int index) const { return paragraphs_.at(static_cast<std::size_t>(index)); }
  const TRVLine& Line(TRVLineRef ref) const;
  double TotalHeight() const;
  // The widest line or table; above Width when a table does not fit.
  double TotalWidth() const;
  // The vertical band that the last update changed (to the end when heights moved).
  double ChangedTop() const { return changedTop_; }
  double ChangedBottom() const { return changedBottom_; }

  // --- queries (RVLayoutQueries.cpp); positions are of the formatted document ---

  // The paragraph holding the item, -1 when it is not formatted.
  int ParagraphOfItem(int itemNo) const;
  // An invalid ref for a position not formatted.
  TRVLineRef LineOf(TRVPosition position) const;
  TRVRectF LineRect(TRVLineRef ref) const;
  TRVLineRef NextLine(TRVLineRef ref, int step) const;
  TRVPosition LineStart(TRVLineRef ref) const;
  // Before the spaces a wrapped line broke at.
  TRVPosition LineEnd(TRVLineRef ref) const;
  // The nearest position on the line to x (table lines: the table item).
  TRVPosition PositionInLine(TRVLineRef ref, double x) const;
  // Into table cells unless told not to; Data is nullptr when nothing is formatted.
  TRVHit PositionAt(double x, double y, bool intoCells = true) const;
  // One pixel wide, the line's height; empty for a position not formatted.
  TRVRectF CaretRect(TRVPosition position) const;
  // The line `lines` away (negative up) at x; the document's ends stop it.
  TRVPosition LinesAway(TRVPosition position, int lines, double x) const;
  // The line about one page away (negative up) at x.
  TRVPosition PagesAway(TRVPosition position, int pages, double pageHeight, double x) const;
  // One rectangle per line part covered; a covered table is covered whole.
  std::vector<TRVRectF> SelectionRects(TRVPosition start, TRVPosition end) const;
  // The lines that reach into [top, bottom).
  std::vector<TRVLineRef> LinesIn(double top, double bottom) const;

  // Notices for whoever draws.
  std::function<void()> OnReformat;
  std::function<void()> OnRepaint;
  void Repaint();

 private:
  struct TItemKey;
  void FormatParagraphs(int firstItem, int endItem, std::vector<TRVParagraphLayout>& out) const;
  void FormatTable(int itemNo, TRVParagraphLayout& paragraph) const;
  void FormatTextParagraph(TRVParagraphLayout& paragraph) const;
  double WidestUnbreakable(const TRVParagraphLayout& paragraph) const;
  // What the document needs at least (its widest unbreakable run) and would
  // take at most (its lines unbroken).
  std::pair<double, double> ContentWidths(const TCustomRVData& data) const;
  void PlaceParagraphs(int from);
  static TItemKey KeyOf(const TCustomRVItemInfo& item);
  std::vector<TItemKey> ItemKeys(const TCustomRVData& data) const;
  double CaretX(const TRVBox& box, int offset) const;
  TRVPosition PositionInBox(const TRVBox& box, double x) const;
  const TCustomRVFontInfo& FontOf(std::int32_t textStyleNo) const;

  TRVFontMetrics* metrics_ = nullptr;
  mutable TRVFixedFontMetrics fixed_;
  double width_ = kRVUnlimitedWidth;
  const TCustomRVData* data_ = nullptr;
  bool formatAll_ = true;
  std::vector<TRVParagraphLayout> paragraphs_;
  std::vector<TItemKey> keys_;
  // The widest paragraph's right edge; below 0 when it must be found again.
  mutable double widest_ = -1;
  void NoteReplaced(const TRVParagraphLayout& removed) const;
  void NoteAdded(const TRVParagraphLayout& added) const;
  double changedTop_ = 0;
  double changedBottom_ = 0;
};

}  // namespace varnolt
