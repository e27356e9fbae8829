// Breaking a paragraph into lines: its items become one text per line
// segment (objects as U+FFFC, tabs as TAB), ICU finds the break
// opportunities, and lines are filled greedily.
#include <unicode/brkiter.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <span>

#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/layout/RVLayout.h"
#include "richtext/layout/RVShownText.h"

namespace varnolt {

namespace {

constexpr char16_t kObjectChar = u'\uFFFC';
constexpr double kRulePadding = 5;
constexpr double kDefaultObjectWidth = 16;
constexpr double kControlWidth = 80;
constexpr double kControlHeight = 24;
constexpr double kSuperscriptRaise = 0.35;  // of the ascent
constexpr double kSubscriptDrop = 0.5;      // of the descent, below the baseline
constexpr double kExactBaselineShare = 0.8;  // of an exact line height, from its top

bool IsSpace(char16_t c) { return c == u' ' || c == u'\u00A0' || c == u'\u3000'; }

// One item's share of a segment's text.
struct TPart {
  int ItemNo = 0;
  int TextStart = 0;
  int Length = 0;
};

struct TObjectSize {
  double Width = 0;
  double Height = 0;
  TRVVAlign VAlign = rvvaBaseline;
};

struct TLineRange {
  int Start = 0;
  int End = 0;         // where the next line starts
  int VisibleEnd = 0;  // without the spaces it broke at
};

// Making a break iterator costs far more than using one.
icu::BreakIterator* LineBreaker() {
  thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> made(icu::BreakIterator::createLineInstance(icu::Locale::getRoot(), status));
    return U_SUCCESS(status) ? std::move(made) : nullptr;
  }();
  return iterator.get();
}

class TParagraphFormatter {
 public:
  TParagraphFormatter(const TCustomRVData& data, TRVFontMetrics& metrics, double width,
                      const std::function<const TCustomRVFontInfo&(std::int32_t)>& fontOf,
                      TRVParagraphLayout& out)
      : data_(data), metrics_(metrics), width_(width), fontOf_(fontOf), out_(out),
        para_(ParaStyle(data, out.FirstItem)) {}

  // The widest run that no line break may split, with the indents around it.
  double WidestUnbreakable() {
    SetInsets();
    const int first = out_.FirstItem;
    const int end = first + out_.ItemCount;
    if (data_.ItemAt(first).StyleNo == ItemKindBreak) return left_ + insetRight_ + para_.RightIndent;
    PlaceMarker(first);
    double widest = 0;
    for (int i = first; i < end;) {
      int segmentEnd = i + 1;
      while (segmentEnd < end && !data_.ItemAt(segmentEnd).LineBreakBefore()) ++segmentEnd;
      BuildSegment(i, segmentEnd);
      std::vector<bool> hard;
      int from = 0;
      for (int to : BreakOpportunities(hard)) {
        widest = std::max(widest, Measure(from, VisibleEnd(from, to), left_));
        from = to;
      }
      i = segmentEnd;
    }
    return std::max(left_, firstLeft_) + widest + insetRight_ + para_.RightIndent;
  }

  void Format() {
    SetInsets();
    const int first = out_.FirstItem;
    const int end = first + out_.ItemCount;
    if (data_.ItemAt(first).StyleNo == ItemKindBreak) {
      FormatRule(first);
    } else {
      PlaceMarker(first);
      for (int i = first; i < end;) {
        int segmentEnd = i + 1;
        while (segmentEnd < end && !data_.ItemAt(segmentEnd).LineBreakBefore()) ++segmentEnd;
        FormatSegment(i, segmentEnd);
        i = segmentEnd;
      }
    }
    Finish();
  }

 private:
  static const TParaInfo& ParaStyle(const TCustomRVData& data, int itemNo) {
    static const TParaInfo kDefault;
    const TRVStyle* style = data.GetRVStyle();
    return style != nullptr ? style->ParaStyleAt(data.ItemParaNo(itemNo)) : kDefault;
  }

  bool Unlimited() const { return width_ >= kRVUnlimitedWidth; }

  void SetInsets() {
    const TRVBorder& border = para_.Border;
    const TRVRect& background = para_.Background.BorderOffsets;
    const bool hasBorder = border.Style != rvbNone;
    const double borderWidth = hasBorder ? border.Width : 0;
    insetLeft_ = std::max(hasBorder ? borderWidth + border.BorderOffsets.Left : 0.0, 1.0 * background.Left);
    insetRight_ = std::max(hasBorder ? borderWidth + border.BorderOffsets.Right : 0.0, 1.0 * background.Right);
    insetTop_ = std::max(hasBorder ? borderWidth + border.BorderOffsets.Top : 0.0, 1.0 * background.Top);
    insetBottom_ = std::max(hasBorder ? borderWidth + border.BorderOffsets.Bottom : 0.0, 1.0 * background.Bottom);
    left_ = para_.LeftIndent + insetLeft_;
    firstLeft_ = left_ + para_.FirstIndent;
    right_ = Unlimited() ? kRVUnlimitedWidth : width_ - para_.RightIndent - insetRight_;
    y_ = para_.SpaceBefore + insetTop_;
  }

  // A list paragraph's text starts at its level's indent, the marker at the marker indent.
  void PlaceMarker(int first) {
    const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&data_.ItemAt(first));
    if (marker == nullptr) return;
    const TRVListLevel* level = marker->LevelInfo(data_.GetRVStyle());
    if (level == nullptr) return;
    firstLeft_ = insetLeft_ + level->MarkerIndent;
    left_ = insetLeft_ + level->LeftIndent;
  }

  // --- item sizes ---

  std::int32_t TextStyleOf(int itemNo) const {
    const TCustomRVItemInfo& item = data_.ItemAt(itemNo);
    if (item.IsText()) return data_.EffectiveStyleOf(itemNo);
    if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item)) return label->TextStyleNo;
    if (const auto* tab = dynamic_cast<const TRVTabItemInfo*>(&item)) return tab->TextStyleNo;
    // A marker is drawn in the text style of the text it stands before, at
    // the size of the line: a raised or lowered run (a note mark) gives way
    // to the next run that is not.
    std::int32_t styleNo = -1;
    for (int next = itemNo + 1; next < out_.FirstItem + out_.ItemCount && data_.ItemAt(next).IsText(); ++next) {
      const std::int32_t candidate = data_.EffectiveStyleOf(next);
      if (styleNo < 0) styleNo = candidate;
      if (fontOf_(candidate).SubSuperScriptType == rvsssNormal) return candidate;
    }
    return std::max(styleNo, 0);
  }

  static bool IsNote(const TCustomRVItemInfo& item) {
    return item.StyleNo == ItemKindFootnote || item.StyleNo == ItemKindEndnote;
  }

  std::u16string ShownText(int itemNo) const {
    const TCustomRVItemInfo& item = data_.ItemAt(itemNo);
    if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item)) return label->Text;
    if (const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&item)) return marker->ShownText(data_.GetRVStyle());
    return {};
  }

  TObjectSize ObjectSize(int itemNo) const {
    const TCustomRVItemInfo& item = data_.ItemAt(itemNo);
    const auto* rect = dynamic_cast<const TRVRectItemInfo*>(&item);
    const TRVVAlign vAlign = rect != nullptr ? rect->VAlign : rvvaBaseline;
    const double spacing = rect != nullptr ? rect->Spacing() : 0;
    if (const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&item)) {
      double w = picture->ImageWidth;
      double h = picture->ImageHeight;
      if ((w <= 0 || h <= 0) && picture->Image != nullptr) {
        w = w > 0 ? w : picture->Image->Width();
        h = h > 0 ? h : picture->Image->Height();
      }
      return {std::max(w, 1.0) + 2 * spacing, std::max(h, 1.0) + 2 * spacing, vAlign};
    }
    if (item.StyleNo == ItemKindControl) return {kControlWidth + 2 * spacing, kControlHeight + 2 * spacing, vAlign};
    return {kDefaultObjectWidth + 2 * spacing, kDefaultObjectWidth + 2 * spacing, vAlign};
  }

  double ShownTextWidth(int itemNo) const {
    const std::u16string text = ShownText(itemNo);
    double width = metrics_.RunAdvance(fontOf_(TextStyleOf(itemNo)), text);
    if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&data_.ItemAt(itemNo))) {
      width = std::max(width, 1.0 * label->MinWidth);
    }
    return width;
  }

  // --- one segment: the items between two line breaks ---

  void BuildSegment(int first, int end) {
    text_.clear();
    parts_.clear();
    for (int i = first; i < end; ++i) {
      const TCustomRVItemInfo& item = data_.ItemAt(i);
      const int start = static_cast<int>(text_.size());
      if (item.IsText()) {
        text_ += data_.ItemTextAt(i);
      } else {
        text_ += item.StyleNo == ItemKindTab ? u'\t' : kObjectChar;
      }
      parts_.push_back({i, start, static_cast<int>(text_.size()) - start});
    }
  }

  std::vector<int> BreakOpportunities(std::vector<bool>& hard) const {
    std::vector<int> breaks;
    hard.clear();
    icu::BreakIterator* iterator = LineBreaker();
    if (iterator == nullptr) {
      breaks.push_back(static_cast<int>(text_.size()));
      hard.push_back(false);
      return breaks;
    }
    icu::UnicodeString text(false, text_.data(), static_cast<int32_t>(text_.size()));
    iterator->setText(text);
    for (int32_t at = iterator->next(); at != icu::BreakIterator::DONE; at = iterator->next()) {
      breaks.push_back(at);
      hard.push_back(iterator->getRuleStatus() >= UBRK_LINE_HARD && at < static_cast<int32_t>(text_.size()));
    }
    return breaks;
  }

  const TPart& PartAt(int index) const {
    auto it = std::upper_bound(parts_.begin(), parts_.end(), index,
                               [](int at, const TPart& part) { return at < part.TextStart; });
    return *(it - 1);
  }

  // The width of a tab at x: to the paragraph's next stop, else the next default stop.
  double TabWidth(int tabIndex, double x) const {
    const TRVStyle* style = data_.GetRVStyle();
    for (const TRVTabInfo& tab : para_.Tabs) {
      if (tab.Position <= x) continue;
      if (tab.Align == rvtaLeft) return tab.Position - x;
      const double following = FollowingTextWidth(tabIndex + 1);
      const double shift = tab.Align == rvtaRight ? following : following / 2;
      return std::max(0.0, tab.Position - x - shift);
    }
    const double step = style != nullptr && style->DefTabWidth > 0 ? style->DefTabWidth : 48.0;
    return (std::floor(x / step) + 1) * step - x;
  }

  const TRVTabInfo* StopFor(double x) const {
    for (const TRVTabInfo& tab : para_.Tabs) {
      if (tab.Position > x) return &tab;
    }
    return nullptr;
  }

  double FollowingTextWidth(int from) const {
    int to = from;
    while (to < static_cast<int>(text_.size()) && text_[static_cast<std::size_t>(to)] != u'\t') ++to;
    return Measure(from, to, 0);
  }

  // The width of text_[from, to) placed at x.
  double Measure(int from, int to, double x) const {
    const double start = x;
    for (int at = from; at < to;) {
      const TPart& part = PartAt(at);
      const int partEnd = std::min(to, part.TextStart + part.Length);
      x += PartWidth(part, at, partEnd, x);
      at = std::max(partEnd, at + 1);
    }
    return x - start;
  }

  double PartWidth(const TPart& part, int from, int to, double x) const {
    const TCustomRVItemInfo& item = data_.ItemAt(part.ItemNo);
    if (item.IsText()) {
      std::u16string_view text(text_);
      return metrics_.RunAdvance(fontOf_(TextStyleOf(part.ItemNo)),
                                 text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
    }
    if (item.StyleNo == ItemKindTab) return TabWidth(from, x);
    if (item.StyleNo == ItemKindListMarker) return MarkerWidth(part.ItemNo, x);
    if (dynamic_cast<const TRVLabelItemInfo*>(&item) != nullptr) return ShownTextWidth(part.ItemNo);
    return ObjectSize(part.ItemNo).Width;
  }

  double MarkerWidth(int itemNo, double x) const {
    const TCustomRVFontInfo& font = fontOf_(TextStyleOf(itemNo));
    const double shown = ShownTextWidth(itemNo) + metrics_.CharAdvance(font, u' ');
    return std::max(shown, left_ - x);
  }

  int VisibleEnd(int from, int to) const {
    while (to > from && IsSpace(text_[static_cast<std::size_t>(to - 1)])) --to;
    return to;
  }

  // The last character that fits, at least one.
  int CharacterBreak(int from, int to, double x) const {
    int end = from + 1;
    double w = Measure(from, end, x);
    while (end < to) {
      const double next = Measure(end, end + 1, x + w);
      if (x + w + next > right_) break;
      w += next;
      ++end;
    }
    return end;
  }

  // Whether a growing start of a long piece already passes the right edge:
  // measuring a word of millions of characters once per line it fills
  // would make the paragraph quadratic.
  bool PrefixOverflows(int from, int to, double x) const {
    constexpr int kShortPiece = 256;
    for (int length = kShortPiece; length < to - from; length *= 2) {
      if (x + Measure(from, from + length, x) > right_) return true;
    }
    return false;
  }

  TLineRange FitLine(int start, double x0, const std::vector<int>& breaks, const std::vector<bool>& hard) const {
    const int size = static_cast<int>(text_.size());
    double x = x0;
    int lineEnd = start;
    const auto firstBreak = std::upper_bound(breaks.begin(), breaks.end(), start) - breaks.begin();
    for (auto b = static_cast<std::size_t>(firstBreak); b < breaks.size(); ++b) {
      const int pieceEnd = breaks[b];
      const int visible = VisibleEnd(lineEnd, pieceEnd);
      const bool tooLong = !Unlimited() && PrefixOverflows(lineEnd, visible, x);
      const double visibleWidth = tooLong ? 0 : Measure(lineEnd, visible, x);
      const double fitWidth = x + visibleWidth;
      if (tooLong || (fitWidth > right_ && !Unlimited())) {
        if (lineEnd > start) return {start, lineEnd, VisibleEnd(start, lineEnd)};
        const int cut = CharacterBreak(start, std::max(visible, start + 1), x0);
        return {start, cut, cut};
      }
      x += visibleWidth + Measure(visible, pieceEnd, x + visibleWidth);
      lineEnd = pieceEnd;
      if (hard[b]) return {start, lineEnd, VisibleEnd(start, lineEnd)};
    }
    return {start, size, VisibleEnd(start, size)};
  }

  void FormatSegment(int first, int end) {
    BuildSegment(first, end);
    std::vector<bool> hard;
    const std::vector<int> breaks = BreakOpportunities(hard);
    const int size = static_cast<int>(text_.size());
    int start = 0;
    do {
      const double x0 = out_.Lines.empty() ? firstLeft_ : left_;
      const TLineRange range = FitLine(start, x0, breaks, hard);
      EmitLine(range, x0, range.End >= size);
      start = range.End;
    } while (start < size);
  }

  // --- one line ---

  void AddBox(const TPart& part, int from, int to, double& x) {
    const TCustomRVItemInfo& item = data_.ItemAt(part.ItemNo);
    TRVBox box;
    box.ItemNo = part.ItemNo;
    box.X = x;
    box.TextStyleNo = TextStyleOf(part.ItemNo);
    box.Width = PartWidth(part, from, to, x);
    if (item.IsText()) {
      box.Kind = TRVBoxKind::Text;
      box.Start = from - part.TextStart;
      box.Length = to - from;
    } else if (item.StyleNo == ItemKindTab) {
      box.Kind = TRVBoxKind::Tab;
      const TRVTabInfo* stop = StopFor(x);
      if (stop != nullptr) box.Text = stop->Leader;
    } else if (item.StyleNo == ItemKindListMarker) {
      box.Kind = TRVBoxKind::Marker;
      box.Text = ShownText(part.ItemNo);
    } else if (dynamic_cast<const TRVLabelItemInfo*>(&item) != nullptr) {
      box.Kind = TRVBoxKind::Label;
      box.Text = ShownText(part.ItemNo);
    } else {
      box.Kind = TRVBoxKind::Object;
    }
    x += box.Width;
    out_.Boxes.push_back(std::move(box));
  }

  void AddBoxes(const TLineRange& range, double x0) {
    double x = x0;
    for (const TPart& part : parts_) {
      const int partEnd = part.TextStart + part.Length;
      if (part.Length == 0) {
        const bool here = part.TextStart >= range.Start &&
                          (part.TextStart < range.End || range.End == static_cast<int>(text_.size()));
        if (here) AddBox(part, part.TextStart, part.TextStart, x);
        continue;
      }
      const int from = std::max(part.TextStart, range.Start);
      const int to = std::min(partEnd, range.End);
      if (from >= to) continue;
      // Spaces a line broke at get boxes of their own, so justifying leaves them alone.
      if (from < range.VisibleEnd && to > range.VisibleEnd && data_.ItemAt(part.ItemNo).IsText()) {
        AddBox(part, from, range.VisibleEnd, x);
        AddBox(part, range.VisibleEnd, to, x);
      } else {
        AddBox(part, from, to, x);
      }
    }
  }

  int SegmentStart(const TRVBox& box) const {
    return parts_[static_cast<std::size_t>(box.ItemNo - parts_.front().ItemNo)].TextStart + box.Start;
  }

  void Align(int firstBox, const TLineRange& range, double x0, bool lastLine) {
    if (Unlimited()) return;
    const double used = Measure(range.Start, range.VisibleEnd, x0);
    const double free = right_ - x0 - used;
    if (free <= 0) return;
    auto boxes = std::span(out_.Boxes).subspan(static_cast<std::size_t>(firstBox));
    if (para_.Alignment == rvaJustify && !lastLine) {
      Justify(boxes, range, free);
      return;
    }
    double shift = 0;
    if (para_.Alignment == rvaRight) shift = free;
    if (para_.Alignment == rvaCenter) shift = free / 2;
    for (TRVBox& box : boxes) box.X += shift;
  }

  // Spaces before the visible end take the free width; the spaces the line broke at do not.
  void Justify(std::span<TRVBox> boxes, const TLineRange& range, double free) {
    std::vector<int> counts;
    int spaces = 0;
    for (const TRVBox& box : boxes) {
      int count = 0;
      if (box.Kind == TRVBoxKind::Text && SegmentStart(box) < range.VisibleEnd) {
        const auto from = text_.begin() + SegmentStart(box);
        count = static_cast<int>(std::count_if(from, from + box.Length, IsSpace));
      }
      counts.push_back(count);
      spaces += count;
    }
    if (spaces == 0) return;
    const double extra = free / spaces;
    double shift = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      boxes[i].X += shift;
      if (counts[i] == 0) continue;
      boxes[i].SpaceExtra = extra;
      boxes[i].Width += extra * counts[i];
      shift += extra * counts[i];
    }
  }

  struct TVertical {
    double Ascent = 0;
    double Descent = 0;
    double Gap = 0;
    double Raise = 0;
  };

  TVertical TextVertical(std::int32_t textStyleNo, bool note) const {
    const TCustomRVFontInfo& font = fontOf_(textStyleNo);
    const TRVFontExtents extents = metrics_.Extents(font);
    TVertical v{extents.Ascent, extents.Descent, extents.LineGap, 0};
    v.Raise = font.VShift / 100.0 * (extents.Ascent + extents.Descent);
    if (note || font.SubSuperScriptType == rvsssSuperScript) v.Raise += extents.Ascent * kSuperscriptRaise;
    if (font.SubSuperScriptType == rvsssSubscript) v.Raise -= extents.Descent * kSubscriptDrop;
    return v;
  }

  void PlaceVertically(TRVLine& line) {
    auto boxes = std::span(out_.Boxes).subspan(static_cast<std::size_t>(line.FirstBox),
                                               static_cast<std::size_t>(line.BoxCount));
    double ascent = 0;
    double descent = 0;
    double gap = 0;
    double tallest = 0;
    for (const TRVBox& box : boxes) {
      if (box.Kind == TRVBoxKind::Object) {
        const TObjectSize size = ObjectSize(box.ItemNo);
        if (size.VAlign == rvvaBaseline) ascent = std::max(ascent, size.Height);
        if (size.VAlign == rvvaMiddle) {
          ascent = std::max(ascent, size.Height / 2);
          descent = std::max(descent, size.Height / 2);
        }
        tallest = std::max(tallest, size.Height);
        continue;
      }
      const TVertical v = TextVertical(box.TextStyleNo, IsNote(data_.ItemAt(box.ItemNo)));
      ascent = std::max(ascent, v.Ascent + v.Raise);
      descent = std::max(descent, v.Descent - v.Raise);
      gap = std::max(gap, v.Gap);
    }
    descent = std::max(descent, tallest - ascent);
    const double natural = ascent + descent + gap;
    line.Baseline = ascent;
    switch (para_.LineSpacingType) {
      case rvlsPercent: line.Height = natural * para_.LineSpacing / 100.0; break;
      case rvlsSpaceBetween: line.Height = natural + para_.LineSpacing; break;
      // Word processors put the height a line gains above its text, and
      // the baseline of an exact line at four fifths of its height.
      case rvlsLineHeightAtLeast:
        line.Height = std::max(natural, 1.0 * para_.LineSpacing);
        line.Baseline += line.Height - natural;
        break;
      case rvlsLineHeightExact:
        line.Height = para_.LineSpacing;
        line.Baseline = para_.LineSpacing * kExactBaselineShare;
        break;
    }
    // A spacing that leaves no height (a zero or negative percentage) would
    // draw the lines over each other: they keep their natural height.
    if (!(line.Height > 0)) {
      line.Height = natural;
      line.Baseline = ascent;
    }
    for (TRVBox& box : boxes) PlaceBoxVertically(box, line);
  }

  void PlaceBoxVertically(TRVBox& box, const TRVLine& line) const {
    if (box.Kind == TRVBoxKind::Object) {
      const TObjectSize size = ObjectSize(box.ItemNo);
      box.Height = size.Height;
      switch (size.VAlign) {
        case rvvaBaseline: box.Top = line.Baseline - size.Height; break;
        case rvvaMiddle: box.Top = line.Baseline - size.Height / 2; break;
        case rvvaAbsTop: box.Top = 0; break;
        case rvvaAbsBottom: box.Top = line.Height - size.Height; break;
        case rvvaAbsMiddle: box.Top = (line.Height - size.Height) / 2; break;
      }
      return;
    }
    const TVertical v = TextVertical(box.TextStyleNo, IsNote(data_.ItemAt(box.ItemNo)));
    box.Baseline = line.Baseline - v.Raise;
    box.Top = box.Baseline - v.Ascent;
    box.Height = v.Ascent + v.Descent;
  }

  void EmitLine(const TLineRange& range, double x0, bool lastLine) {
    TRVLine line;
    line.Top = y_;
    line.FirstBox = static_cast<int>(out_.Boxes.size());
    AddBoxes(range, x0);
    line.BoxCount = static_cast<int>(out_.Boxes.size()) - line.FirstBox;
    Align(line.FirstBox, range, x0, lastLine);
    PlaceVertically(line);
    y_ += line.Height;
    out_.Lines.push_back(line);
  }

  void FormatRule(int itemNo) {
    const auto& rule = static_cast<const TRVBreakItemInfo&>(data_.ItemAt(itemNo));
    TRVBox box;
    box.Kind = TRVBoxKind::Rule;
    box.ItemNo = itemNo;
    box.X = left_;
    box.Width = Unlimited() ? 0 : std::max(0.0, right_ - left_);
    box.Height = std::max<double>(rule.LineWidth, 1);
    box.Top = kRulePadding;
    TRVLine line{y_, box.Height + 2 * kRulePadding, box.Top + box.Height, 0, 1};
    out_.Boxes.push_back(std::move(box));
    out_.Lines.push_back(line);
    y_ += line.Height;
  }

  void Finish() {
    const double top = para_.SpaceBefore;
    const double linesBottom = y_ + insetBottom_;
    double frameRight = right_ + insetRight_;
    if (Unlimited()) {
      frameRight = left_;
      for (const TRVBox& box : out_.Boxes) frameRight = std::max(frameRight, box.X + box.Width);
      frameRight += insetRight_;
    }
    out_.Frame = {1.0 * para_.LeftIndent, top, frameRight - para_.LeftIndent, linesBottom - top};
    out_.Height = linesBottom + para_.SpaceAfter;
  }

  const TCustomRVData& data_;
  TRVFontMetrics& metrics_;
  double width_;
  const std::function<const TCustomRVFontInfo&(std::int32_t)>& fontOf_;
  TRVParagraphLayout& out_;
  const TParaInfo& para_;
  std::u16string text_;
  std::vector<TPart> parts_;
  double insetLeft_ = 0;
  double insetRight_ = 0;
  double insetTop_ = 0;
  double insetBottom_ = 0;
  double left_ = 0;
  double firstLeft_ = 0;
  double right_ = 0;
  double y_ = 0;
};

}  // namespace

double TRVLayout::WidestUnbreakable(const TRVParagraphLayout& paragraph) const {
  const std::function<const TCustomRVFontInfo&(std::int32_t)> fontOf = [this](std::int32_t styleNo)
      -> const TCustomRVFontInfo& { return FontOf(styleNo); };
  TRVParagraphLayout scratch;
  scratch.FirstItem = paragraph.FirstItem;
  scratch.ItemCount = paragraph.ItemCount;
  TRVShownTextMetrics shown(Metrics());
  return TParagraphFormatter(*data_, shown, width_, fontOf, scratch).WidestUnbreakable();
}

void TRVLayout::FormatTextParagraph(TRVParagraphLayout& paragraph) const {
  const std::function<const TCustomRVFontInfo&(std::int32_t)> fontOf = [this](std::int32_t styleNo)
      -> const TCustomRVFontInfo& { return FontOf(styleNo); };
  TRVShownTextMetrics shown(Metrics());
  TParagraphFormatter(*data_, shown, width_, fontOf, paragraph).Format();
}

}  // namespace varnolt
