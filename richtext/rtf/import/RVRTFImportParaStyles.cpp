// Which paragraph style a paragraph gets: its RTF properties converted to
// pixels, borders mapped onto the sheet's border kinds, then the style named
// in the settings, the closest one by score, or an equal one, added when the
// sheet has none.
#include <algorithm>
#include <cmath>

#include "richtext/rtf/import/RVRTFImport.h"
#include "richtext/rtf/reader/RVRTFReaderInternal.h"
#include "richtext/style/RVStyleScore.h"

namespace varnolt {

namespace {

constexpr double kTwipsPerInch = 1440.0;

// --- borders ---

enum class TRVBorderFamily : std::uint8_t {
  None, Single, Thick, Hairline, Double, Triple, ThinThickSmall, ThickThinSmall, TripleSmall, ThinThickMedium,
  ThickThinMedium, TripleMedium, ThinThickLarge, ThickThinLarge, TripleLarge
};

// The reader's border kinds, in its numbering (0 none ... 27 outset).
constexpr TRVBorderFamily kBorderFamilies[] = {
    TRVBorderFamily::None,          TRVBorderFamily::Single,          TRVBorderFamily::Thick,
    TRVBorderFamily::Single,        TRVBorderFamily::Double,          TRVBorderFamily::Single,
    TRVBorderFamily::Single,        TRVBorderFamily::Hairline,        TRVBorderFamily::Single,
    TRVBorderFamily::Single,        TRVBorderFamily::Single,          TRVBorderFamily::Triple,
    TRVBorderFamily::ThinThickSmall, TRVBorderFamily::ThickThinSmall, TRVBorderFamily::TripleSmall,
    TRVBorderFamily::ThinThickMedium, TRVBorderFamily::ThickThinMedium, TRVBorderFamily::TripleMedium,
    TRVBorderFamily::ThinThickLarge, TRVBorderFamily::ThickThinLarge, TRVBorderFamily::TripleLarge,
    TRVBorderFamily::Single,        TRVBorderFamily::Double,          TRVBorderFamily::Single,
    TRVBorderFamily::Single,        TRVBorderFamily::Single,          TRVBorderFamily::Single,
    TRVBorderFamily::Single,
};

struct TRVConvertedSide {
  TRVBorderStyle Style = rvbNone;
  std::int32_t Width = 1;
  std::int32_t InternalWidth = 1;
};

// Thin-thick borders put their thick line inside on the right and bottom.
TRVBorderStyle ThinThick(int side) {
  return side == kRtfSideRight || side == kRtfSideBottom ? rvbThickInside : rvbThickOutside;
}
TRVBorderStyle ThickThin(int side) {
  return side == kRtfSideRight || side == kRtfSideBottom ? rvbThickOutside : rvbThickInside;
}

TRVConvertedSide ConvertSide(std::uint8_t kind, std::int32_t widthTwips, int side, int ppi) {
  const double c = widthTwips * ppi / kTwipsPerInch;
  const TRVBorderFamily family =
      kind < std::size(kBorderFamilies) ? kBorderFamilies[kind] : TRVBorderFamily::Single;
  TRVConvertedSide s;
  auto w = [](double value) { return RoundHalfEven(value); };
  switch (family) {
    case TRVBorderFamily::None: break;
    case TRVBorderFamily::Single: s = {rvbSingle, w(c), 1}; break;
    case TRVBorderFamily::Thick: s = {rvbSingle, w(2 * c), 1}; break;
    case TRVBorderFamily::Hairline: s = {rvbSingle, 1, 1}; break;
    case TRVBorderFamily::Double: s = {rvbDouble, w(c), 2 * w(c) - 1}; break;
    case TRVBorderFamily::Triple: s = {rvbTriple, w(c), 2 * w(c) - 1}; break;
    case TRVBorderFamily::ThinThickSmall: s = {ThinThick(side), w(c / 2), w(c / 2) + (w(c / 2) + 1) / 2}; break;
    case TRVBorderFamily::ThickThinSmall: {
      const std::int32_t width = w(3 * c / 8) + 1;
      s = {ThickThin(side), width, width + (width + 1) / 2};
      break;
    }
    case TRVBorderFamily::TripleSmall: s = {rvbTriple, w(c / 3), 2 * w(c / 3) - 1}; break;
    case TRVBorderFamily::ThinThickMedium: s = {ThinThick(side), w(c / 2), 2 * w(c / 2) + (w(c / 2) + 1) / 2}; break;
    case TRVBorderFamily::ThickThinMedium: s = {ThickThin(side), w(c / 2), 2 * w(c / 2) + (w(c / 2) + 1) / 2}; break;
    case TRVBorderFamily::TripleMedium: s = {rvbTriple, w(c / 2), 3 * w(c / 2) - 1}; break;
    case TRVBorderFamily::ThinThickLarge: s = {ThinThick(side), 1, w(c) + 1}; break;
    case TRVBorderFamily::ThickThinLarge: s = {ThickThin(side), 1, w(c) + 1}; break;
    case TRVBorderFamily::TripleLarge: s = {rvbTriple, 1, w(c)}; break;
  }
  return s;
}

std::int64_t TotalBorderWidth(const TRVBorder& border) {
  const std::int64_t w = border.Width;
  const std::int64_t internal = border.InternalWidth;
  switch (border.Style) {
    case rvbNone: return 0;
    case rvbSingle: return w;
    case rvbDouble: return 2 * w + internal;
    case rvbTriple: return 3 * w + 2 * internal;
    case rvbThickInside:
    case rvbThickOutside: return 3 * w + internal;
  }
  return 0;
}

std::int32_t RaisedTo(std::int32_t value, std::int64_t least) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::max<std::int64_t>(value, least), INT32_MIN, INT32_MAX));
}

void ConvertBorders(const TRVRTFParaBorder& border, int ppi, TRVRTFParaAttributes& a) {
  TParaInfo& info = a.Info;
  bool* visible[4] = {&info.Border.VisibleBorders.Left, &info.Border.VisibleBorders.Top,
                      &info.Border.VisibleBorders.Right, &info.Border.VisibleBorders.Bottom};
  std::int32_t offsets[4] = {};
  for (int side = 0; side < 4; ++side) {
    const TRVRTFBorderSide* rtf = border.FindSide(side);
    if (rtf != nullptr) offsets[side] = RoundHalfEven(rtf->spacing * ppi / kTwipsPerInch);
    const bool present = rtf != nullptr && rtf->kind != 0;
    *visible[side] = present;
    a.Sides[side].Present = present;
    if (!present) continue;
    const TRVConvertedSide converted = ConvertSide(rtf->kind, rtf->width, side, ppi);
    a.Sides[side].Style = converted.Style;
    a.Sides[side].Width = converted.Width;
    a.Sides[side].InternalWidth = converted.InternalWidth;
    a.Sides[side].Color = rtf->color == kRVRTFNoColor ? kRVColorWindowText : rtf->color;
    a.HasBorder = true;
  }
  if (!a.HasBorder) {
    info.Border.VisibleBorders = TRVBooleanRect{};
    return;
  }
  const TRVRect rect{offsets[kRtfSideLeft], offsets[kRtfSideTop], offsets[kRtfSideRight], offsets[kRtfSideBottom]};
  info.Border.BorderOffsets = rect;
  info.Background.BorderOffsets = rect;
  for (int side : {kRtfSideTop, kRtfSideLeft, kRtfSideBottom, kRtfSideRight}) {
    if (!a.Sides[side].Present) continue;
    info.Border.Style = a.Sides[side].Style;
    info.Border.Width = a.Sides[side].Width;
    info.Border.InternalWidth = a.Sides[side].InternalWidth;
    info.Border.Color = a.Sides[side].Color;
    break;
  }
  const std::int64_t total = TotalBorderWidth(info.Border);
  info.LeftIndent = RaisedTo(info.LeftIndent, std::int64_t{rect.Left} + total - 1);
  info.RightIndent = RaisedTo(info.RightIndent, std::int64_t{rect.Right} + total - 1);
  info.SpaceBefore = RaisedTo(info.SpaceBefore, std::int64_t{rect.Top} + total - 1);
  info.SpaceAfter = RaisedTo(info.SpaceAfter, std::int64_t{rect.Bottom} + total - 1);
}

TRVTabAlign TabAlignOf(std::uint8_t alignment) {
  switch (alignment) {
    case 1:
    case 3: return rvtaRight;
    case 2: return rvtaCenter;
    default: return rvtaLeft;
  }
}

std::u16string TabLeaderOf(std::uint8_t leader) {
  switch (leader) {
    case 1: return u".";
    case 3: return u"-";
    case 4: return u"_";
    case 5: return u"=";
    default: return {};
  }
}

bool HasForbiddenOptions(const TCustomRVParaInfo& info) {
  return info.Options.Contains(rvpaoNoWrap) || info.Options.Contains(rvpaoReadOnly) ||
         info.Options.Contains(rvpaoStyleProtect) || info.Options.Contains(rvpaoDoNotWantReturns);
}

// What equal paragraph styles share; empty for a style no paragraph can equal.
std::string EqualityKey(const TCustomRVParaInfo& info, bool compareTabs) {
  std::string key;
  if (HasForbiddenOptions(info)) return key;
  AppendKeyBytes(key, info.Alignment);
  AppendKeyBytes(key, info.LeftIndent);
  AppendKeyBytes(key, info.RightIndent);
  AppendKeyBytes(key, info.FirstIndent);
  AppendKeyBytes(key, info.SpaceBefore);
  AppendKeyBytes(key, info.SpaceAfter);
  AppendKeyBytes(key, info.Background.Color);
  AppendKeyBytes(key, info.BiDiMode);
  AppendKeyBytes(key, info.LineSpacing);
  AppendKeyBytes(key, info.LineSpacingType);
  AppendKeyBytes(key, info.Options.Contains(rvpaoKeepLinesTogether));
  AppendKeyBytes(key, info.Options.Contains(rvpaoKeepWithNext));
  AppendKeyBytes(key, info.Border.Style);
  if (info.Border.Style != rvbNone) {
    const TRVBorder& b = info.Border;
    AppendKeyBytes(key, b.Width);
    AppendKeyBytes(key, b.InternalWidth);
    AppendKeyBytes(key, b.Color);
    for (bool side : {b.VisibleBorders.Left, b.VisibleBorders.Top, b.VisibleBorders.Right, b.VisibleBorders.Bottom}) {
      AppendKeyBytes(key, side);
    }
    for (std::int32_t offset : {b.BorderOffsets.Left, b.BorderOffsets.Top, b.BorderOffsets.Right, b.BorderOffsets.Bottom}) {
      AppendKeyBytes(key, offset);
    }
  }
  if (compareTabs) {
    AppendKeyBytes(key, info.Tabs.Count());
    for (const TRVTabInfo& tab : info.Tabs) {
      AppendKeyBytes(key, tab.Position);
      AppendKeyBytes(key, tab.Align);
      AppendKeyText(key, tab.Leader);
    }
  }
  return key;
}

std::int64_t LineSpacingTerm(const TCustomRVParaInfo& info, const TRVRTFParaAttributes& a, int ppi) {
  // "sl0" is single spacing.
  const bool single = a.RTFLineSpacing == 0;
  const bool multiple = single || a.RTFLineSpacingMultiple;
  const std::int64_t sl = single ? 240 : a.RTFLineSpacing;
  switch (info.LineSpacingType) {
    case rvlsSpaceBetween: return -20000;
    case rvlsLineHeightExact:
      if (multiple) return -20000;
      if (sl <= 0) return ValueCloseness(RoundHalfEven(-static_cast<double>(sl) * ppi / kTwipsPerInch), info.LineSpacing, 5000);
      return -15000;
    case rvlsPercent:
      return multiple ? ValueCloseness(sl * 100 / 240, info.LineSpacing, 5000) : -20000;
    case rvlsLineHeightAtLeast:
      if (multiple) return -20000;
      if (sl < 0) return -15000;
      return ValueCloseness(RoundHalfEven(static_cast<double>(sl) * ppi / kTwipsPerInch), info.LineSpacing, 5000);
  }
  return 0;
}

bool ShowsSide(const TRVBorder& border, int side) {
  if (border.Style == rvbNone) return false;
  switch (side) {
    case kRtfSideLeft: return border.VisibleBorders.Left;
    case kRtfSideTop: return border.VisibleBorders.Top;
    case kRtfSideRight: return border.VisibleBorders.Right;
    default: return border.VisibleBorders.Bottom;
  }
}

std::int64_t BorderTerm(const TCustomRVParaInfo& info, const TRVRTFParaAttributes& a) {
  if (!a.HasBorder) return info.Border.Style == rvbNone ? 20000 : 0;
  std::int64_t score = 0;
  const TRVRect& wantedOffsets = a.Info.Border.BorderOffsets;
  const std::int32_t wanted[4] = {wantedOffsets.Left, wantedOffsets.Top, wantedOffsets.Right, wantedOffsets.Bottom};
  const TRVRect& borderOffsets = info.Border.BorderOffsets;
  const TRVRect& backOffsets = info.Background.BorderOffsets;
  const std::int32_t border[4] = {borderOffsets.Left, borderOffsets.Top, borderOffsets.Right, borderOffsets.Bottom};
  const std::int32_t back[4] = {backOffsets.Left, backOffsets.Top, backOffsets.Right, backOffsets.Bottom};
  for (int side = 0; side < 4; ++side) {
    score += ValueCloseness(wanted[side], border[side], 1000);
    score += ValueCloseness(wanted[side], back[side], 1000);
    const TRVRTFParaAttributes::Side& s = a.Sides[side];
    const bool shown = ShowsSide(info.Border, side);
    if (!s.Present && !shown) {
      score += 20000;
    } else if (s.Present && shown) {
      score += ValueCloseness(s.Width, info.Border.Width, 1000);
      score += ValueCloseness(s.InternalWidth, info.Border.InternalWidth, 1000);
      score += ColorCloseness(info.Border.Color, s.Color, 3333, 3000);
      score += info.Border.Style == s.Style ? 6000 : 5000;
    }
  }
  return score;
}

std::int64_t TabTerm(const TCustomRVParaInfo& info, const TRVRTFParaAttributes& a) {
  const TRVTabInfos& mine = a.Info.Tabs;
  const int paired = std::min(mine.Count(), info.Tabs.Count());
  std::int64_t score = 0;
  for (int i = 0; i < paired; ++i) {
    const TRVTabInfo& wanted = mine.Items(i);
    const TRVTabInfo& theirs = info.Tabs.Items(i);
    score += ValueCloseness(wanted.Position, theirs.Position, 200);
    if (wanted.Align == theirs.Align) score += 100;
    if (wanted.Leader == theirs.Leader) score += 50;
  }
  score -= 400 * static_cast<std::int64_t>(mine.Count() - paired + info.Tabs.Count() - paired);
  return score;
}

std::int64_t Score(const TCustomRVParaInfo& info, const TRVRTFParaAttributes& a, int ppi, bool tabs) {
  const TParaInfo& w = a.Info;
  std::int64_t score = 0;
  if (info.Alignment == w.Alignment) score += 50000;
  if (HasForbiddenOptions(info)) score -= 100000;
  const std::int64_t b = TotalBorderWidth(info.Border);
  score += ValueCloseness(a.LeftIndent + b, info.LeftIndent, 1000);
  score += ValueCloseness(a.RightIndent + b, info.RightIndent, 1000);
  score += ValueCloseness(w.FirstIndent, info.FirstIndent, 1000);
  score += ValueCloseness(a.SpaceBefore + b, info.SpaceBefore, 1000);
  score += ValueCloseness(a.SpaceAfter + b, info.SpaceAfter, 1000);
  score += ColorCloseness(info.Background.Color, w.Background.Color, 10000, 50000);
  for (TRVParaOption option : {rvpaoKeepLinesTogether, rvpaoKeepWithNext}) {
    if (info.Options.Contains(option) == w.Options.Contains(option)) score += 500;
  }
  score += LineSpacingTerm(info, a, ppi);
  score += BorderTerm(info, a);
  if (tabs) score += TabTerm(info, a);
  return score;
}

}  // namespace

TRVRTFParaAttributes ConvertParaProperties(const TRVRTFParaProperties& rtf, int ppi) {
  auto px = [ppi](double twips) { return RoundHalfEven(twips * ppi / kTwipsPerInch); };
  TRVRTFParaAttributes a;
  TParaInfo& info = a.Info;
  info.LeftIndent = a.LeftIndent = px(rtf.leftIndent);
  info.RightIndent = a.RightIndent = px(rtf.rightIndent);
  info.FirstIndent = px(rtf.firstIndent);
  info.SpaceBefore = a.SpaceBefore = px(rtf.spaceBefore);
  info.SpaceAfter = a.SpaceAfter = px(rtf.spaceAfter);
  info.Alignment = rtf.alignment <= rvaJustify ? static_cast<TRVAlignment>(rtf.alignment) : rvaLeft;
  a.RTFLineSpacing = rtf.lineSpacing;
  // A line spacing of 0 or less is exact (or single) whatever "slmult" says:
  // as a multiple it would stack every line above the one before.
  a.RTFLineSpacingMultiple = rtf.lineSpacingMultiple && rtf.lineSpacing > 0;
  if (a.RTFLineSpacingMultiple) {
    info.LineSpacingType = rvlsPercent;
    info.LineSpacing = static_cast<std::int32_t>(std::int64_t{rtf.lineSpacing} * 100 / 240);
  } else if (rtf.lineSpacing >= 1) {
    info.LineSpacingType = rvlsLineHeightAtLeast;
    info.LineSpacing = px(rtf.lineSpacing);
  } else if (const std::int32_t exact = px(-static_cast<double>(rtf.lineSpacing)); exact > 3) {
    info.LineSpacingType = rvlsLineHeightExact;
    info.LineSpacing = exact;
  } else {
    info.LineSpacingType = rvlsPercent;
    info.LineSpacing = 100;
  }
  info.Background.Color = rtf.backColor;
  info.Options.Set(rvpaoKeepLinesTogether, rtf.keepTogether);
  info.Options.Set(rvpaoKeepWithNext, rtf.keepWithNext);
  // Until the paragraph is finalized its last tab is still being filled.
  std::size_t tabCount = rtf.tabs.size();
  if (!rtf.tabsFinalized && tabCount > 0) --tabCount;
  for (std::size_t i = 0; i < tabCount; ++i) {
    const TRVRTFTab& tab = rtf.tabs[i];
    if (tab.listTab) continue;
    info.Tabs.Add(TRVTabInfo{px(tab.position), TabAlignOf(tab.alignment), TabLeaderOf(tab.leader)});
  }
  if (rtf.border) ConvertBorders(*rtf.border, ppi, a);
  info.SetStandard(false);
  return a;
}

std::string TRVRTFParaAttributes::Key() const {
  std::string key = EqualityKey(Info, true);
  AppendKeyBytes(key, LeftIndent);
  AppendKeyBytes(key, RightIndent);
  AppendKeyBytes(key, SpaceBefore);
  AppendKeyBytes(key, SpaceAfter);
  AppendKeyBytes(key, RTFLineSpacing);
  AppendKeyBytes(key, RTFLineSpacingMultiple);
  AppendKeyBytes(key, HasBorder);
  for (const Side& side : Sides) {
    AppendKeyBytes(key, side.Present);
    AppendKeyBytes(key, side.Style);
    AppendKeyBytes(key, side.Width);
    AppendKeyBytes(key, side.InternalWidth);
    AppendKeyBytes(key, side.Color);
  }
  return key;
}

// --- the chooser ---

std::int32_t TRVRTFParaStyleChooser::Choose(const TRVRTFParaAttributes& wanted) {
  // An added style may be closer than what was chosen before it came.
  if (props_.ParaStyleMode != rvrsAddIfNeeded && style_.ParaStyles.Count() != knownStyles_) {
    chosen_.clear();
    knownStyles_ = style_.ParaStyles.Count();
  }
  std::string key = wanted.Key();
  if (auto found = chosen_.find(key); found != chosen_.end()) return found->second;
  const std::int32_t result = props_.ParaStyleMode == rvrsAddIfNeeded ? FindOrAdd(wanted.Info) : Closest(wanted);
  if (chosen_.size() >= kMaxRTFRememberedChoices) chosen_.clear();
  chosen_.emplace(std::move(key), result);
  return result;
}

std::int32_t TRVRTFParaStyleChooser::Closest(const TRVRTFParaAttributes& wanted) const {
  const bool tabs = style_.SpacesInTab == 0;
  std::int32_t best = 0;
  std::int64_t bestScore = 0;
  for (int i = 0; i < style_.ParaStyles.Count(); ++i) {
    const std::int64_t score = Score(style_.ParaStyles.Items(i), wanted, ppi_, tabs);
    if (score > bestScore) {
      bestScore = score;
      best = i;
    }
  }
  return best;
}

void TRVRTFParaStyleChooser::IndexStyles(int from) {
  const bool tabs = style_.SpacesInTab == 0;
  for (int i = from; i < style_.ParaStyles.Count(); ++i) {
    std::string key = EqualityKey(style_.ParaStyles.Items(i), tabs);
    if (!key.empty()) index_.emplace(std::move(key), i);
  }
  indexed_ = std::max(indexed_, style_.ParaStyles.Count());
}

std::int32_t TRVRTFParaStyleChooser::FindOrAdd(const TParaInfo& wanted) {
  IndexStyles(indexed_);
  if (auto found = index_.find(EqualityKey(wanted, style_.SpacesInTab == 0)); found != index_.end()) {
    return found->second;
  }
  if (added_ >= kMaxRTFImportNewStyles) return 0;
  TParaInfo& info = style_.ParaStyles.AddCopy(wanted);
  info.SetStandard(false);
  ++added_;
  const std::int32_t number = style_.ParaStyles.Count() - 1;
  IndexStyles(indexed_);
  if (events_ != nullptr && events_->StyleAdded) events_->StyleAdded(info, number);
  return number;
}

std::int32_t TRVRTFParaStyleChooser::WithAlignment(TRVAlignment alignment) {
  TParaInfo wanted(style_.ParaStyleAt(0));
  wanted.Alignment = alignment;
  for (int i = 0; i < style_.ParaStyles.Count(); ++i) {
    if (style_.ParaStyles.Items(i).EqualsFully(wanted, false)) return i;
  }
  if (added_ >= kMaxRTFImportNewStyles) return 0;
  TParaInfo& info = style_.ParaStyles.AddCopy(wanted);
  info.SetStandard(false);
  ++added_;
  const std::int32_t number = style_.ParaStyles.Count() - 1;
  if (events_ != nullptr && events_->StyleAdded) events_->StyleAdded(info, number);
  return number;
}

// --- the importer's side ---

std::int32_t TRVRTFImporter::ChooseParaStyle() {
  const TRVRTFParaProperties& p = reader_->RTFState().paraProps;
  rawKey_.clear();
  for (std::int32_t value : {p.leftIndent, p.rightIndent, p.firstIndent, p.spaceBefore, p.spaceAfter, p.lineSpacing}) {
    AppendKeyBytes(rawKey_, value);
  }
  for (bool value : {p.lineSpacingMultiple, p.keepTogether, p.keepWithNext, p.tabsFinalized}) {
    AppendKeyBytes(rawKey_, value);
  }
  AppendKeyBytes(rawKey_, p.alignment);
  AppendKeyBytes(rawKey_, p.backColor);
  AppendKeyBytes(rawKey_, p.tabs.size());
  for (const TRVRTFTab& tab : p.tabs) {
    AppendKeyBytes(rawKey_, tab.position);
    for (std::uint8_t value : {tab.alignment, tab.leader}) AppendKeyBytes(rawKey_, value);
    AppendKeyBytes(rawKey_, tab.listTab);
  }
  for (int side = 0; p.border && side < 4; ++side) {
    if (const TRVRTFBorderSide* found = p.border->FindSide(side)) {
      AppendKeyBytes(rawKey_, side);
      for (std::int32_t value : {std::int32_t{found->kind}, found->width, found->spacing}) AppendKeyBytes(rawKey_, value);
      AppendKeyBytes(rawKey_, found->color);
    }
  }
  if (props_.ParaStyleMode != rvrsAddIfNeeded && style_.ParaStyles.Count() != rawParaStyles_) {
    rawParaChoices_.clear();
    rawParaStyles_ = style_.ParaStyles.Count();
  }
  if (auto found = rawParaChoices_.find(rawKey_); found != rawParaChoices_.end()) return found->second;
  const std::int32_t chosen = paraStyles_.Choose(ConvertParaProperties(p, ppi_));
  if (rawParaChoices_.size() >= kMaxRTFRememberedChoices) rawParaChoices_.clear();
  rawParaChoices_.emplace(rawKey_, chosen);
  return chosen;
}

}  // namespace varnolt
