// Positions and points on the formatted lines: what the editor's moves and
// the view's mouse, caret and selection ask of the layout.
#include <algorithm>
#include <cmath>
#include <span>

#include "richtext/layout/RVLayout.h"
#include "richtext/layout/RVShownText.h"

namespace varnolt {

namespace {

bool Before(TRVPosition a, TRVPosition b) {
  return a.ItemNo < b.ItemNo || (a.ItemNo == b.ItemNo && a.Offset < b.Offset);
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\u00A0' || c == u'\u3000'; }

bool IsTextBox(const TRVBox& box) { return box.Kind == TRVBoxKind::Text; }

TRVPosition BoxStart(const TRVBox& box) { return {box.ItemNo, IsTextBox(box) ? box.Start + 1 : 0}; }
TRVPosition BoxEnd(const TRVBox& box) { return {box.ItemNo, IsTextBox(box) ? box.Start + box.Length + 1 : 1}; }

bool BoxHolds(const TRVBox& box, TRVPosition position) {
  return box.ItemNo == position.ItemNo && !Before(position, BoxStart(box)) && !Before(BoxEnd(box), position);
}

}  // namespace

int TRVLayout::ParagraphOfItem(int itemNo) const {
  auto it = std::upper_bound(paragraphs_.begin(), paragraphs_.end(), itemNo,
                             [](int item, const TRVParagraphLayout& p) { return item < p.FirstItem; });
  if (it == paragraphs_.begin()) return -1;
  --it;
  if (itemNo >= it->FirstItem + it->ItemCount) return -1;
  return static_cast<int>(it - paragraphs_.begin());
}

TRVLineRef TRVLayout::LineOf(TRVPosition position) const {
  const int p = ParagraphOfItem(position.ItemNo);
  if (p < 0) return {};
  const TRVParagraphLayout& paragraph = paragraphs_[static_cast<std::size_t>(p)];
  TRVLineRef found;
  for (std::size_t l = 0; l < paragraph.Lines.size(); ++l) {
    const TRVLine& line = paragraph.Lines[l];
    for (int b = line.FirstBox; b < line.FirstBox + line.BoxCount; ++b) {
      // A wrap point belongs to the line it starts.
      if (BoxHolds(paragraph.Boxes[static_cast<std::size_t>(b)], position)) found = {p, static_cast<int>(l)};
    }
  }
  return found;
}

TRVRectF TRVLayout::LineRect(TRVLineRef ref) const {
  const TRVParagraphLayout& paragraph = Paragraph(ref.Paragraph);
  const TRVLine& line = Line(ref);
  double left = kRVUnlimitedWidth;
  double right = 0;
  for (int b = line.FirstBox; b < line.FirstBox + line.BoxCount; ++b) {
    const TRVBox& box = paragraph.Boxes[static_cast<std::size_t>(b)];
    left = std::min(left, box.X);
    right = std::max(right, box.X + box.Width);
  }
  if (line.BoxCount == 0) left = right = 0;
  return {left, paragraph.Top + line.Top, right - left, line.Height};
}

TRVLineRef TRVLayout::NextLine(TRVLineRef ref, int step) const {
  if (!ref.Valid()) return ref;
  while (step > 0) {
    if (ref.Line + 1 < static_cast<int>(Paragraph(ref.Paragraph).Lines.size())) {
      ++ref.Line;
    } else if (ref.Paragraph + 1 < ParagraphCount()) {
      ref = {ref.Paragraph + 1, 0};
    } else {
      break;
    }
    --step;
  }
  while (step < 0) {
    if (ref.Line > 0) {
      --ref.Line;
    } else if (ref.Paragraph > 0) {
      ref = {ref.Paragraph - 1, static_cast<int>(Paragraph(ref.Paragraph - 1).Lines.size()) - 1};
    } else {
      break;
    }
    ++step;
  }
  return ref;
}

TRVPosition TRVLayout::LineStart(TRVLineRef ref) const {
  const TRVParagraphLayout& paragraph = Paragraph(ref.Paragraph);
  return BoxStart(paragraph.Boxes.at(static_cast<std::size_t>(Line(ref).FirstBox)));
}

TRVPosition TRVLayout::LineEnd(TRVLineRef ref) const {
  const TRVParagraphLayout& paragraph = Paragraph(ref.Paragraph);
  const TRVLine& line = Line(ref);
  int last = line.FirstBox + line.BoxCount - 1;
  bool wrapped = false;
  if (ref.Line + 1 < static_cast<int>(paragraph.Lines.size())) {
    const TRVLine& next = paragraph.Lines[static_cast<std::size_t>(ref.Line + 1)];
    const TRVBox& head = paragraph.Boxes[static_cast<std::size_t>(next.FirstBox)];
    wrapped = head.Start > 0 || !data_->ItemAt(head.ItemNo).LineBreakBefore();
  }
  if (wrapped && last > line.FirstBox) {
    const TRVBox& tail = paragraph.Boxes[static_cast<std::size_t>(last)];
    if (IsTextBox(tail) && tail.Length > 0) {
      const std::u16string text = data_->ItemTextAt(tail.ItemNo);
      const auto from = text.begin() + tail.Start;
      if (std::all_of(from, from + tail.Length, IsSpace)) --last;
    }
  }
  return BoxEnd(paragraph.Boxes[static_cast<std::size_t>(last)]);
}

double TRVLayout::CaretX(const TRVBox& box, int offset) const {
  if (!IsTextBox(box)) return offset > 0 ? box.X + box.Width : box.X;
  const int count = std::clamp(offset - 1 - box.Start, 0, box.Length);
  if (count == 0) return box.X;
  const std::u16string text = data_->ItemTextAt(box.ItemNo);
  const std::u16string_view shown = std::u16string_view(text).substr(static_cast<std::size_t>(box.Start),
                                                                     static_cast<std::size_t>(count));
  const auto spaces = std::count_if(shown.begin(), shown.end(), IsSpace);
  TRVShownTextMetrics measure(Metrics());
  return box.X + measure.RunAdvance(FontOf(box.TextStyleNo), shown) + box.SpaceExtra * static_cast<double>(spaces);
}

TRVPosition TRVLayout::PositionInBox(const TRVBox& box, double x) const {
  if (!IsTextBox(box)) return {box.ItemNo, x < box.X + box.Width / 2 ? 0 : 1};
  const std::u16string text = data_->ItemTextAt(box.ItemNo);
  const TCustomRVFontInfo& font = FontOf(box.TextStyleNo);
  TRVShownTextMetrics measure(Metrics());
  double left = box.X;
  for (int i = 0; i < box.Length; ++i) {
    const char16_t c = text[static_cast<std::size_t>(box.Start + i)];
    const double advance = measure.CharAdvance(font, c) + (IsSpace(c) ? box.SpaceExtra : 0);
    if (x < left + advance / 2) return {box.ItemNo, box.Start + i + 1};
    left += advance;
  }
  return BoxEnd(box);
}

TRVPosition TRVLayout::PositionInLine(TRVLineRef ref, double x) const {
  const TRVParagraphLayout& paragraph = Paragraph(ref.Paragraph);
  const TRVLine& line = Line(ref);
  const auto boxes = std::span(paragraph.Boxes).subspan(static_cast<std::size_t>(line.FirstBox),
                                                        static_cast<std::size_t>(line.BoxCount));
  if (boxes.empty()) return {};
  if (x < boxes.front().X) return BoxStart(boxes.front());
  for (const TRVBox& box : boxes) {
    if (x < box.X + box.Width) return PositionInBox(box, x);
  }
  return LineEnd(ref);
}

TRVHit TRVLayout::PositionAt(double x, double y, bool intoCells) const {
  if (paragraphs_.empty()) return {};
  auto it = std::upper_bound(paragraphs_.begin(), paragraphs_.end(), y,
                             [](double at, const TRVParagraphLayout& p) { return at < p.Top; });
  const int p = std::max(0, static_cast<int>(it - paragraphs_.begin()) - 1);
  const TRVParagraphLayout& paragraph = paragraphs_[static_cast<std::size_t>(p)];
  const double inParagraph = y - paragraph.Top;
  if (paragraph.Table != nullptr && intoCells) {
    const double tableX = x - paragraph.Boxes.front().X;
    for (const TRVCellLayout& cell : paragraph.Table->Cells) {
      const TRVRectF& f = cell.Frame;
      if (tableX >= f.Left && tableX < f.Right() && inParagraph >= f.Top && inParagraph < f.Bottom()) {
        TRVHit hit = cell.Content->PositionAt(tableX - cell.ContentLeft, inParagraph - cell.ContentTop);
        if (hit.Data != nullptr) return hit;
      }
    }
  }
  int l = 0;
  while (l + 1 < static_cast<int>(paragraph.Lines.size()) &&
         inParagraph >= paragraph.Lines[static_cast<std::size_t>(l + 1)].Top) {
    ++l;
  }
  return {data_, PositionInLine({p, l}, x)};
}

TRVRectF TRVLayout::CaretRect(TRVPosition position) const {
  const TRVLineRef ref = LineOf(position);
  if (!ref.Valid()) return {};
  const TRVParagraphLayout& paragraph = Paragraph(ref.Paragraph);
  const TRVLine& line = Line(ref);
  for (int b = line.FirstBox; b < line.FirstBox + line.BoxCount; ++b) {
    const TRVBox& box = paragraph.Boxes[static_cast<std::size_t>(b)];
    if (BoxHolds(box, position)) return {CaretX(box, position.Offset), paragraph.Top + line.Top, 1, line.Height};
  }
  return {};
}

TRVPosition TRVLayout::LinesAway(TRVPosition position, int lines, double x) const {
  const TRVLineRef ref = LineOf(position);
  if (!ref.Valid()) return position;
  return PositionInLine(NextLine(ref, lines), x);
}

TRVPosition TRVLayout::PagesAway(TRVPosition position, int pages, double pageHeight, double x) const {
  const TRVLineRef ref = LineOf(position);
  if (!ref.Valid()) return position;
  const TRVRectF here = LineRect(ref);
  const double target = here.Top + here.Height / 2 + pages * pageHeight;
  TRVLineRef to = ref;
  for (;;) {
    const TRVLineRef next = NextLine(to, pages > 0 ? 1 : -1);
    if (next == to) break;
    const TRVRectF rect = LineRect(next);
    if (pages > 0 ? rect.Top > target : rect.Bottom() < target) break;
    to = next;
  }
  return PositionInLine(to, x);
}

std::vector<TRVRectF> TRVLayout::SelectionRects(TRVPosition start, TRVPosition end) const {
  std::vector<TRVRectF> rects;
  if (Before(end, start)) std::swap(start, end);
  const TRVLineRef first = LineOf(start);
  const TRVLineRef last = LineOf(end);
  if (!first.Valid() || !last.Valid()) return rects;
  for (TRVLineRef ref = first;; ref = NextLine(ref, 1)) {
    const TRVParagraphLayout& paragraph = Paragraph(ref.Paragraph);
    const TRVLine& line = Line(ref);
    double left = kRVUnlimitedWidth;
    double right = -kRVUnlimitedWidth;
    for (int b = line.FirstBox; b < line.FirstBox + line.BoxCount; ++b) {
      const TRVBox& box = paragraph.Boxes[static_cast<std::size_t>(b)];
      const TRVPosition from = Before(start, BoxStart(box)) ? BoxStart(box) : start;
      const TRVPosition to = Before(BoxEnd(box), end) ? BoxEnd(box) : end;
      if (!Before(from, to)) continue;
      left = std::min(left, CaretX(box, from.Offset));
      right = std::max(right, CaretX(box, to.Offset));
    }
    if (right > left) rects.push_back({left, paragraph.Top + line.Top, right - left, line.Height});
    if (ref == last || NextLine(ref, 1) == ref) break;
  }
  return rects;
}

std::vector<TRVLineRef> TRVLayout::LinesIn(double top, double bottom) const {
  std::vector<TRVLineRef> lines;
  auto it = std::upper_bound(paragraphs_.begin(), paragraphs_.end(), top,
                             [](double at, const TRVParagraphLayout& p) { return at < p.Top; });
  for (auto p = static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, it - paragraphs_.begin() - 1));
       p < paragraphs_.size() && paragraphs_[p].Top < bottom; ++p) {
    const std::vector<TRVLine>& paragraphLines = paragraphs_[p].Lines;
    // Lines go down the paragraph: start at the first one that may reach into the band.
    const double within = top - paragraphs_[p].Top;
    const auto first = std::lower_bound(paragraphLines.begin(), paragraphLines.end(), within,
                                        [](const TRVLine& line, double at) { return line.Top + line.Height <= at; });
    for (auto l = static_cast<std::size_t>(first - paragraphLines.begin()); l < paragraphLines.size(); ++l) {
      const double lineTop = paragraphs_[p].Top + paragraphLines[l].Top;
      if (lineTop >= bottom) break;
      if (lineTop < bottom && lineTop + paragraphs_[p].Lines[l].Height > top) {
        lines.push_back({static_cast<int>(p), static_cast<int>(l)});
      }
    }
  }
  return lines;
}

}  // namespace varnolt
