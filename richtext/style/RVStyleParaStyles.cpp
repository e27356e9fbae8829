#include <algorithm>
#include <array>

#include "richtext/style/RVStyle.h"
#include "richtext/style/RVStyleScore.h"

namespace varnolt {

namespace {

std::int64_t Agreement(bool equal, std::int64_t weight) { return equal ? weight : 0; }

template <typename T>
bool FieldEqual(TRVParaInfoProperties1 ignore, TRVParaInfoProperty1 property, const T& a, const T& b) {
  return ignore.Contains(property) || a == b;
}

// The four sides in the order left, top, right, bottom, with their mask bits.
struct Side {
  std::int32_t TRVRect::*offset;
  bool TRVBooleanRect::*visible;
  TRVParaInfoProperty1 backgroundOffsetBit;
  TRVParaInfoProperty1 borderOffsetBit;
  TRVParaInfoProperty1 visibleBit;
};

constexpr std::array<Side, 4> kSides = {{
    {&TRVRect::Left, &TRVBooleanRect::Left, rvpiBackground_BO_Left, rvpiBorder_BO_Left, rvpiBorder_Vis_Left},
    {&TRVRect::Top, &TRVBooleanRect::Top, rvpiBackground_BO_Top, rvpiBorder_BO_Top, rvpiBorder_Vis_Top},
    {&TRVRect::Right, &TRVBooleanRect::Right, rvpiBackground_BO_Right, rvpiBorder_BO_Right, rvpiBorder_Vis_Right},
    {&TRVRect::Bottom, &TRVBooleanRect::Bottom, rvpiBackground_BO_Bottom, rvpiBorder_BO_Bottom,
     rvpiBorder_Vis_Bottom},
}};

struct OptionBit {
  TRVParaOption option;
  TRVParaInfoProperty1 property;
};

constexpr OptionBit kOptionBits[] = {
    {rvpaoNoWrap, rvpiNoWrap},
    {rvpaoReadOnly, rvpiReadOnly},
    {rvpaoStyleProtect, rvpiStyleProtect},
    {rvpaoDoNotWantReturns, rvpiDoNotWantReturns},
    {rvpaoKeepLinesTogether, rvpiKeepLinesTogether},
    {rvpaoKeepWithNext, rvpiKeepWithNext},
};

bool SideDrawn(const TRVBorder& border, const Side& side) {
  return border.Style != rvbNone && border.VisibleBorders.*side.visible;
}

bool HasSpecialLineSpacing(const TCustomRVParaInfo& para) {
  return para.LineSpacingType == rvlsPercent ? para.LineSpacing != 100 : para.LineSpacing > 0;
}

std::int64_t TabsScore(const TRVTabInfos& self, const TRVTabInfos& other) {
  const int paired = std::min(self.Count(), other.Count());
  std::int64_t score = 0;
  for (int i = 0; i < paired; ++i) {
    const TRVTabInfo& a = self.Items(i);
    const TRVTabInfo& b = other.Items(i);
    score += ValueCloseness(a.Position, b.Position, 200) + Agreement(a.Align == b.Align, 100) +
             Agreement(a.Leader == b.Leader, 50);
  }
  return score + 800 * std::int64_t{paired} - 400 * std::int64_t{self.Count()} - 400 * std::int64_t{other.Count()};
}

std::int64_t BorderScore(const TRVBorder& self, const TRVBorder& other) {
  std::int64_t score = 0;
  int drawnInBoth = 0;
  for (const Side& side : kSides) {
    const bool a = SideDrawn(self, side);
    const bool b = SideDrawn(other, side);
    if (a && b) {
      ++drawnInBoth;
      score += ValueCloseness(self.BorderOffsets.*side.offset, other.BorderOffsets.*side.offset, 100);
    } else if (a != b) {
      score -= 20000;
    } else {
      score += 20000;
    }
  }
  if (drawnInBoth > 0) {
    score += (ColorCloseness(self.Color, other.Color, 3333, 3000) + ValueCloseness(self.Width, other.Width, 1000) +
              ValueCloseness(self.InternalWidth, other.InternalWidth, 1000) + Agreement(self.Style == other.Style, 1000)) *
             drawnInBoth;
  }
  return score;
}

bool BordersEqualIgnoring(const TRVBorder& a, const TRVBorder& b, TRVParaInfoProperties1 ignore) {
  if (!FieldEqual(ignore, rvpiBorder_Color, a.Color, b.Color) || !FieldEqual(ignore, rvpiBorder_Style, a.Style, b.Style) ||
      !FieldEqual(ignore, rvpiBorder_Width, a.Width, b.Width) ||
      !FieldEqual(ignore, rvpiBorder_InternalWidth, a.InternalWidth, b.InternalWidth)) {
    return false;
  }
  return std::all_of(kSides.begin(), kSides.end(), [&](const Side& side) {
    return FieldEqual(ignore, side.borderOffsetBit, a.BorderOffsets.*side.offset, b.BorderOffsets.*side.offset) &&
           FieldEqual(ignore, side.visibleBit, a.VisibleBorders.*side.visible, b.VisibleBorders.*side.visible);
  });
}

bool BackgroundsEqualIgnoring(const TRVBackgroundRect& a, const TRVBackgroundRect& b, TRVParaInfoProperties1 ignore) {
  if (!FieldEqual(ignore, rvpiBackground_Color, a.Color, b.Color)) return false;
  return std::all_of(kSides.begin(), kSides.end(), [&](const Side& side) {
    return FieldEqual(ignore, side.backgroundOffsetBit, a.BorderOffsets.*side.offset, b.BorderOffsets.*side.offset);
  });
}

void CopyBorderSelected(TRVBorder& target, const TRVBorder& source, TRVParaInfoProperties1 mask) {
  if (mask.Contains(rvpiBorder_Color)) target.Color = source.Color;
  if (mask.Contains(rvpiBorder_Style)) target.Style = source.Style;
  if (mask.Contains(rvpiBorder_Width)) target.Width = source.Width;
  if (mask.Contains(rvpiBorder_InternalWidth)) target.InternalWidth = source.InternalWidth;
  for (const Side& side : kSides) {
    if (mask.Contains(side.borderOffsetBit)) target.BorderOffsets.*side.offset = source.BorderOffsets.*side.offset;
    if (mask.Contains(side.visibleBit)) target.VisibleBorders.*side.visible = source.VisibleBorders.*side.visible;
  }
}

void CopyBackgroundSelected(TRVBackgroundRect& target, const TRVBackgroundRect& source, TRVParaInfoProperties1 mask) {
  if (mask.Contains(rvpiBackground_Color)) target.Color = source.Color;
  for (const Side& side : kSides) {
    if (mask.Contains(side.backgroundOffsetBit)) target.BorderOffsets.*side.offset = source.BorderOffsets.*side.offset;
  }
}

const char16_t* AlignName(TRVTabAlign align) {
  switch (align) {
    case rvtaRight:
      return u"Right";
    case rvtaCenter:
      return u"Center";
    case rvtaLeft:
      break;
  }
  return u"Left";
}

}  // namespace

// --- tabs ---

std::u16string TRVTabInfo::DisplayName() const {
  std::u16string name = AlignName(Align);
  name += u" at ";
  for (char c : std::to_string(Position)) name.push_back(static_cast<char16_t>(c));
  if (!Leader.empty()) {
    name += u" (";
    for (int i = 0; i < 6; ++i) name += Leader;
    name += u")";
  }
  return name;
}

const TRVTabInfo& TRVTabInfos::Items(int index) const {
  if (index < 0 || index >= Count()) throw ERichDocError("Tab index is out of bounds");
  return tabs_[static_cast<std::size_t>(index)];
}

int TRVTabInfos::Add(const TRVTabInfo& tab) {
  auto place = std::upper_bound(tabs_.begin(), tabs_.end(), tab.Position,
                                [](std::int32_t position, const TRVTabInfo& t) { return position < t.Position; });
  place = tabs_.insert(place, tab);
  return static_cast<int>(place - tabs_.begin());
}

void TRVTabInfos::Delete(int index) {
  Items(index);
  tabs_.erase(tabs_.begin() + index);
}

void TRVTabInfos::SetPosition(int index, std::int32_t position) {
  TRVTabInfo tab = Items(index);
  tab.Position = position;
  tabs_.erase(tabs_.begin() + index);
  Add(tab);
}

void TRVTabInfos::SetAlign(int index, TRVTabAlign align) {
  Items(index);
  tabs_[static_cast<std::size_t>(index)].Align = align;
}

void TRVTabInfos::SetLeader(int index, std::u16string leader) {
  Items(index);
  tabs_[static_cast<std::size_t>(index)].Leader = std::move(leader);
}

// --- TCustomRVParaInfo ---

void TCustomRVParaInfo::Assign(const TCustomRVInfo& source) {
  if (const auto* para = dynamic_cast<const TCustomRVParaInfo*>(&source)) {
    TCustomRVParaInfo::operator=(*para);
  } else {
    TCustomRVInfo::Assign(source);
  }
}

bool TCustomRVParaInfo::EqualsFully(const TCustomRVInfo& otherInfo, bool) const {
  const auto* other = dynamic_cast<const TCustomRVParaInfo*>(&otherInfo);
  if (other == nullptr) return false;
  return Alignment == other->Alignment && FirstIndent == other->FirstIndent && LeftIndent == other->LeftIndent &&
         RightIndent == other->RightIndent && SpaceBefore == other->SpaceBefore && SpaceAfter == other->SpaceAfter &&
         LineSpacing == other->LineSpacing && LineSpacingType == other->LineSpacingType && Options == other->Options &&
         BiDiMode == other->BiDiMode && Background == other->Background && Tabs == other->Tabs &&
         Border == other->Border;
}

bool TCustomRVParaInfo::EqualsIgnoring(const TCustomRVParaInfo& other, TRVParaInfoProperties1 ignore) const {
  if (!FieldEqual(ignore, rvpiFirstIndent, FirstIndent, other.FirstIndent) ||
      !FieldEqual(ignore, rvpiLeftIndent, LeftIndent, other.LeftIndent) ||
      !FieldEqual(ignore, rvpiRightIndent, RightIndent, other.RightIndent) ||
      !FieldEqual(ignore, rvpiSpaceBefore, SpaceBefore, other.SpaceBefore) ||
      !FieldEqual(ignore, rvpiSpaceAfter, SpaceAfter, other.SpaceAfter) ||
      !FieldEqual(ignore, rvpiAlignment, Alignment, other.Alignment) ||
      !FieldEqual(ignore, rvpiLineSpacing, LineSpacing, other.LineSpacing) ||
      !FieldEqual(ignore, rvpiLineSpacingType, LineSpacingType, other.LineSpacingType) ||
      !FieldEqual(ignore, rvpiBiDiMode, BiDiMode, other.BiDiMode) || !FieldEqual(ignore, rvpiTabs, Tabs, other.Tabs)) {
    return false;
  }
  for (const OptionBit& bit : kOptionBits) {
    if (!FieldEqual(ignore, bit.property, Options.Contains(bit.option), other.Options.Contains(bit.option))) return false;
  }
  return BackgroundsEqualIgnoring(Background, other.Background, ignore) &&
         BordersEqualIgnoring(Border, other.Border, ignore);
}

std::int32_t TCustomRVParaInfo::SimilarityScore(const TCustomRVInfo& otherInfo) const {
  const auto* other = dynamic_cast<const TCustomRVParaInfo*>(&otherInfo);
  if (other == nullptr) return 0;
  const TCustomRVParaInfo& o = *other;
  std::int64_t score = ValueCloseness(FirstIndent, o.FirstIndent, 1000) +
                       ValueCloseness(LeftIndent, o.LeftIndent, 1000) +
                       ValueCloseness(RightIndent, o.RightIndent, 1000) +
                       ValueCloseness(SpaceBefore, o.SpaceBefore, 1000) + ValueCloseness(SpaceAfter, o.SpaceAfter, 1000);
  score += ColorCloseness(Background.Color, o.Background.Color, 10000, 50000);
  for (const Side& side : kSides) {
    score += ValueCloseness(Background.BorderOffsets.*side.offset, o.Background.BorderOffsets.*side.offset, 100);
  }
  score += TabsScore(Tabs, o.Tabs) + BorderScore(Border, o.Border);
  score += Agreement(Alignment == o.Alignment, 50000) + Agreement(BiDiMode == o.BiDiMode, 10000);
  auto optionAgrees = [&](TRVParaOption option) { return Options.Contains(option) == o.Options.Contains(option); };
  score += Agreement(optionAgrees(rvpaoNoWrap), 1000) + Agreement(optionAgrees(rvpaoReadOnly), 100000) +
           Agreement(optionAgrees(rvpaoStyleProtect), 1000) + Agreement(optionAgrees(rvpaoDoNotWantReturns), 10000) +
           Agreement(optionAgrees(rvpaoKeepLinesTogether), 500) + Agreement(optionAgrees(rvpaoKeepWithNext), 500);
  if (LineSpacingType == o.LineSpacingType) {
    score += ValueCloseness(LineSpacing, o.LineSpacing, 5000);
  } else if (HasSpecialLineSpacing(*this) != HasSpecialLineSpacing(o)) {
    score -= 20000;
  }
  return ClampScore(score);
}

void TCustomRVParaInfo::CopySelectedProperties(const TCustomRVParaInfo& source, TRVParaInfoProperties1 mask,
                                               TRVParaInfoProperties2) {
  if (mask.Contains(rvpiFirstIndent)) FirstIndent = source.FirstIndent;
  if (mask.Contains(rvpiLeftIndent)) LeftIndent = source.LeftIndent;
  if (mask.Contains(rvpiRightIndent)) RightIndent = source.RightIndent;
  if (mask.Contains(rvpiSpaceBefore)) SpaceBefore = source.SpaceBefore;
  if (mask.Contains(rvpiSpaceAfter)) SpaceAfter = source.SpaceAfter;
  if (mask.Contains(rvpiAlignment)) Alignment = source.Alignment;
  if (mask.Contains(rvpiLineSpacing)) LineSpacing = source.LineSpacing;
  if (mask.Contains(rvpiLineSpacingType)) LineSpacingType = source.LineSpacingType;
  CopyBackgroundSelected(Background, source.Background, mask);
  CopyBorderSelected(Border, source.Border, mask);
  for (const OptionBit& bit : kOptionBits) {
    if (mask.Contains(bit.property)) Options.Set(bit.option, source.Options.Contains(bit.option));
  }
  if (mask.Contains(rvpiTabs)) Tabs = source.Tabs;
  if (mask.Contains(rvpiBiDiMode)) BiDiMode = source.BiDiMode;
}

// --- TParaInfo ---

void TParaInfo::Assign(const TCustomRVInfo& source) {
  TCustomRVParaInfo::Assign(source);
  if (const auto* para = dynamic_cast<const TParaInfo*>(&source)) {
    NextParaNo = para->NextParaNo;
    DefStyleNo = para->DefStyleNo;
    ModifiedProperties1 = para->ModifiedProperties1;
    ModifiedProperties2 = para->ModifiedProperties2;
  }
}

bool TParaInfo::EqualsFully(const TCustomRVInfo& otherInfo, bool ignoreNext) const {
  if (!TCustomRVParaInfo::EqualsFully(otherInfo, ignoreNext)) return false;
  const auto* other = dynamic_cast<const TParaInfo*>(&otherInfo);
  if (other == nullptr) return true;
  return ModifiedProperties1 == other->ModifiedProperties1 && ModifiedProperties2 == other->ModifiedProperties2 &&
         StyleTemplateId() == other->StyleTemplateId() &&
         (ignoreNext || (NextParaNo == other->NextParaNo && DefStyleNo == other->DefStyleNo));
}

bool TParaInfo::EqualsUsingMap(const TCustomRVInfo& otherInfo, const std::vector<std::int32_t>& map) const {
  if (!EqualsFully(otherInfo, true)) return false;
  const auto* other = dynamic_cast<const TParaInfo*>(&otherInfo);
  if (other == nullptr || other->NextParaNo < 0) return true;
  // A link to a later entry is not known yet and does not count against.
  if (static_cast<std::size_t>(other->NextParaNo) >= map.size()) return true;
  return map[static_cast<std::size_t>(other->NextParaNo)] == NextParaNo;
}

bool TParaInfo::EqualsIgnoring(const TCustomRVParaInfo& otherInfo, TRVParaInfoProperties1 ignore) const {
  if (!TCustomRVParaInfo::EqualsIgnoring(otherInfo, ignore)) return false;
  const auto* other = dynamic_cast<const TParaInfo*>(&otherInfo);
  if (other == nullptr) return true;
  return FieldEqual(ignore, rvpiNextParaNo, NextParaNo, other->NextParaNo) &&
         FieldEqual(ignore, rvpiDefStyleNo, DefStyleNo, other->DefStyleNo) &&
         StyleTemplateId() == other->StyleTemplateId() && ModifiedProperties1 == other->ModifiedProperties1 &&
         ModifiedProperties2 == other->ModifiedProperties2;
}

void TParaInfo::CopySelectedProperties(const TCustomRVParaInfo& source, TRVParaInfoProperties1 mask1,
                                       TRVParaInfoProperties2 mask2) {
  TCustomRVParaInfo::CopySelectedProperties(source, mask1, mask2);
  const auto* para = dynamic_cast<const TParaInfo*>(&source);
  if (para == nullptr) return;
  if (mask1.Contains(rvpiNextParaNo)) NextParaNo = para->NextParaNo;
  if (mask1.Contains(rvpiDefStyleNo)) DefStyleNo = para->DefStyleNo;
}

}  // namespace varnolt
