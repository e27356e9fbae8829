#pragma once
// The editor's formatted view, as far as editing needs one: every item on
// the formatted lines in item order (a line per document line, no wrapping),
// positions converted between (item, offset) and (line, piece, offset), and
// notices of each reformat and repaint for whoever draws.
#include <cstdint>
#include <functional>
#include <vector>

#include "richtext/document/CRVData.h"

namespace varnolt {

// The part of an item shown on one line; here always the whole item.
struct TRVDrawItem {
  int ItemNo = 0;
  int LineNo = 0;
};

struct TRVFormattedLine {
  int FirstDrawItem = 0;
  int DrawItemCount = 0;
};

// A place on the formatted lines: a line, a piece on it, an offset in the piece.
struct TRVLinePosition {
  int LineNo = -1;
  int DrawItemNo = -1;
  int Offset = 0;
  friend bool operator==(const TRVLinePosition&, const TRVLinePosition&) = default;
};

class TRVLayout {
 public:
  // Lays out every item again and sets each item's DrawItemNo.
  void Format(TCustomRVData& data);
  // Forgets every line (the items may be gone).
  void Clear();
  // Whether the lines were made from the document as it is now.
  bool IsCurrent(const TCustomRVData& data) const;

  int LineCount() const { return static_cast<int>(lines_.size()); }
  const TRVFormattedLine& Line(int index) const { return lines_.at(static_cast<std::size_t>(index)); }
  int DrawItemCount() const { return static_cast<int>(drawItems_.size()); }
  const TRVDrawItem& DrawItem(int index) const { return drawItems_.at(static_cast<std::size_t>(index)); }
  // -1 when there are no lines.
  int FirstLine() const { return lines_.empty() ? -1 : 0; }
  int LastLine() const { return LineCount() - 1; }

  // First and last place of a line.
  TRVPosition LineStartPosition(const TCustomRVData& data, int lineNo) const;
  TRVPosition LineEndPosition(const TCustomRVData& data, int lineNo) const;
  // Between document positions and places on the lines; a position whose
  // item is not formatted gives LineNo -1, and the reverse ItemNo -1.
  TRVLinePosition ToLinePosition(TRVPosition position) const;
  TRVPosition FromLinePosition(TRVLinePosition position) const;

  // Notices for whoever draws.
  std::function<void()> OnReformat;
  std::function<void()> OnRepaint;
  void Repaint();

 private:
  std::vector<TRVFormattedLine> lines_;
  std::vector<TRVDrawItem> drawItems_;
  const TCustomRVData* formattedData_ = nullptr;
  std::uint64_t formattedVersion_ = 0;
};

}  // namespace varnolt
