// Which text style a run gets: the one named in the settings, the closest
// one by score, or an equal one, added when the sheet has none.
#include <algorithm>
#include <limits>

#include "richtext/rtf/import/RVRTFImport.h"
#include "richtext/rtf/reader/RVRTFReaderInternal.h"
#include "richtext/style/RVStyleScore.h"

namespace varnolt {

namespace {

const TRVProtectOptions kNoteReferenceProtection{rvprDoNotAutoSwitch};

TRVProtectOptions WantedProtection(const TRVRTFTextAttributes& wanted) {
  return wanted.NoteReference ? kNoteReferenceProtection : TRVProtectOptions{};
}

TRVFontStylesEx WantedStyleEx(const TRVRTFTextAttributes& wanted) {
  TRVFontStylesEx styleEx;
  styleEx.Set(rvfsAllCaps, wanted.AllCaps);
  styleEx.Set(rvfsSmallCaps, wanted.SmallCaps);
  return styleEx;
}

// Everything an equal style must share except the font name, which compares
// without regard to case.
std::string EqualityKey(std::int32_t size, TColor color, TColor backColor, TFontStyles style, TRVFontStylesEx styleEx,
                        TRVBiDiMode bidi, std::uint8_t charset, std::int32_t charScale, std::int32_t charSpacing,
                        TRVSubSuperScriptType subSuper, std::int32_t vShift, TRVProtectOptions protection,
                        TRVUnderlineType underline, TColor underlineColor, bool unicode, bool jump) {
  std::string key;
  AppendKeyBytes(key, size);
  AppendKeyBytes(key, color);
  AppendKeyBytes(key, backColor);
  AppendKeyBytes(key, style.ToBits());
  AppendKeyBytes(key, styleEx.ToBits());
  AppendKeyBytes(key, bidi);
  AppendKeyBytes(key, charset);
  AppendKeyBytes(key, charScale);
  AppendKeyBytes(key, charSpacing);
  AppendKeyBytes(key, subSuper);
  AppendKeyBytes(key, vShift);
  AppendKeyBytes(key, protection.ToBits());
  AppendKeyBytes(key, underline);
  AppendKeyBytes(key, underlineColor);
  AppendKeyBytes(key, unicode);
  AppendKeyBytes(key, jump);
  return key;
}

std::string EqualityKeyOf(const TRVRTFTextAttributes& a, bool jump) {
  return EqualityKey(a.Size, a.Color, a.BackColor, a.Style, WantedStyleEx(a), a.BiDiMode, a.Charset,
                     a.CharScale, a.CharSpacing, a.SubSuperScriptType, a.VShift, WantedProtection(a),
                     a.UnderlineType, a.UnderlineColor, a.Unicode, jump);
}

std::string EqualityKeyOf(const TFontInfo& info) {
  return EqualityKey(info.Size, info.Color, info.BackColor, info.Style, info.StyleEx, info.BiDiMode, info.Charset,
                     info.CharScale, info.CharSpacing, info.SubSuperScriptType, info.VShift, info.Protection,
                     info.UnderlineType, info.UnderlineColor, info.Unicode, info.Jump);
}

std::int64_t SignOf(std::int64_t value) { return (value > 0) - (value < 0); }

std::int64_t Score(const TFontInfo& info, const TRVRTFTextAttributes& a) {
  std::int64_t score = 0;
  if (SameFontName(info.FontName, a.FontName)) score += 10000;
  if (info.Charset == a.Charset) {
    score += 50000;
  } else if (info.Charset == kRVDefaultCharset || a.Charset == kRVDefaultCharset) {
    score += 12500;
  }
  score += ValueCloseness(a.Size, info.Size, 10000);
  score += ColorCloseness(info.Color, a.Color, 3333, 3000);
  score += ColorCloseness(info.BackColor, a.BackColor, 10000, 50000);
  score += ColorCloseness(info.UnderlineColor, a.UnderlineColor, 10000, 50000);
  if (info.StyleEx.Contains(rvfsAllCaps) == a.AllCaps) score += 50000;
  if (info.StyleEx.Contains(rvfsSmallCaps) == a.SmallCaps) score += 50000;
  for (TFontStyle member : {fsBold, fsItalic, fsUnderline, fsStrikeOut}) {
    if (info.Style.Contains(member) == a.Style.Contains(member)) score += 50000;
  }
  if (info.Style.Contains(fsUnderline) && a.Style.Contains(fsUnderline) && info.UnderlineType != a.UnderlineType) {
    score -= 25000;
  }
  if (info.Style.Empty() == a.Style.Empty()) score += 50000;
  const double scale = 1.0 - std::abs(static_cast<double>(info.CharScale) - a.CharScale) / 100.0;
  score += RoundHalfEven(scale * 300.0);
  score += ValueCloseness(a.CharSpacing, info.CharSpacing, 10000);
  if (info.SubSuperScriptType == a.SubSuperScriptType) score += 50000;
  score += SignOf(info.VShift) == SignOf(a.VShift) ? ValueCloseness(info.VShift, a.VShift, 50000) : -50000;
  if (!info.StyleEx.Empty()) score /= 4;
  if (info.Protection == WantedProtection(a)) score += 100000;
  return score;
}

}  // namespace

std::string TRVRTFTextAttributes::Key() const {
  std::string key = EqualityKeyOf(*this, Jump);
  AppendKeyBytes(key, AnyJump);
  AppendKeyBytes(key, NoteReference);
  AppendKeyText(key, FontName);
  return key;
}

// --- the chooser ---

std::int32_t TRVRTFTextStyleChooser::Choose(const TRVRTFTextAttributes& wanted) {
  // An added style may be closer than what was chosen before it came.
  if (props_.TextStyleMode != rvrsAddIfNeeded && style_.TextStyles.Count() != knownStyles_) {
    chosen_.clear();
    knownStyles_ = style_.TextStyles.Count();
  }
  std::string key = wanted.Key();
  if (auto found = chosen_.find(key); found != chosen_.end()) return found->second;
  const std::int32_t result = props_.TextStyleMode == rvrsAddIfNeeded ? FindOrAdd(wanted) : Closest(wanted);
  if (chosen_.size() >= kMaxRTFRememberedChoices) chosen_.clear();
  chosen_.emplace(std::move(key), result);
  lastChosen_[{wanted.Unicode, wanted.Jump}] = result;
  return result;
}

bool TRVRTFTextStyleChooser::IsCandidate(const TFontInfo& info, const TRVRTFTextAttributes& wanted) const {
  return info.Unicode == wanted.Unicode && (wanted.AnyJump || info.Jump == wanted.Jump);
}

std::int32_t TRVRTFTextStyleChooser::Closest(const TRVRTFTextAttributes& wanted) const {
  std::int32_t best = 0;
  std::int64_t bestScore = 0;
  for (int i = 0; i < style_.TextStyles.Count(); ++i) {
    const TFontInfo& info = style_.TextStyles.Items(i);
    if (!IsCandidate(info, wanted)) continue;
    const std::int64_t score = Score(info, wanted);
    if (score > bestScore) {
      bestScore = score;
      best = i;
    }
  }
  return best;
}

void TRVRTFTextStyleChooser::IndexStyles(int from) {
  for (int i = from; i < style_.TextStyles.Count(); ++i) {
    const TFontInfo& info = style_.TextStyles.Items(i);
    // Only plain styles and capitals can equal a run.
    if (!(info.StyleEx - TRVFontStylesEx{rvfsAllCaps, rvfsSmallCaps}).Empty()) continue;
    index_[EqualityKeyOf(info)].push_back(i);
  }
  indexed_ = std::max(indexed_, style_.TextStyles.Count());
}

std::int32_t TRVRTFTextStyleChooser::FindEqual(const TRVRTFTextAttributes& wanted) {
  IndexStyles(indexed_);
  std::int32_t best = -1;
  auto look = [&](bool jump) {
    auto found = index_.find(EqualityKeyOf(wanted, jump));
    if (found == index_.end()) return;
    for (std::int32_t number : found->second) {
      if (SameFontName(style_.TextStyles.Items(number).FontName, wanted.FontName)) {
        if (best < 0 || number < best) best = number;
        return;
      }
    }
  };
  look(wanted.Jump);
  if (wanted.AnyJump) look(!wanted.Jump);
  return best;
}

std::int32_t TRVRTFTextStyleChooser::FindOrAdd(const TRVRTFTextAttributes& wanted) {
  const std::int32_t equal = FindEqual(wanted);
  if (equal >= 0) return equal;
  if (added_ >= kMaxRTFImportNewStyles) {
    auto last = lastChosen_.find({wanted.Unicode, wanted.Jump});
    return last != lastChosen_.end() ? last->second : Closest(wanted);
  }
  TFontInfo& info = style_.AppendTextStyle();
  info.FontName = wanted.FontName;
  info.Size = wanted.Size;
  info.Color = wanted.Color;
  info.BackColor = wanted.BackColor;
  info.Style = wanted.Style;
  info.StyleEx = WantedStyleEx(wanted);
  info.BiDiMode = wanted.BiDiMode;
  info.Charset = wanted.Charset;
  info.CharScale = wanted.CharScale;
  info.CharSpacing = wanted.CharSpacing;
  info.SubSuperScriptType = wanted.SubSuperScriptType;
  info.VShift = wanted.VShift;
  info.Protection = WantedProtection(wanted);
  info.UnderlineType = wanted.UnderlineType;
  info.UnderlineColor = wanted.UnderlineColor;
  info.Jump = wanted.Jump;
  info.Unicode = wanted.Unicode;
  info.SetStandard(false);
  ++added_;
  const std::int32_t number = style_.TextStyles.Count() - 1;
  IndexStyles(indexed_);
  if (events_ != nullptr && events_->StyleAdded) events_->StyleAdded(info, number);
  return number;
}

// --- the formatting of the current run ---

// Text in no font is 8-bit text in the document's code page, so its style
// needs that code page's charset; the ANSI one stays the default charset.
std::uint8_t TRVRTFImporter::CharsetOfTextInNoFont() const {
  const int charset = RTFCharsetOfCodePage(FontCodePage(), kRVDefaultCharset);
  return charset == 0 ? kRVDefaultCharset : static_cast<std::uint8_t>(charset);
}

TRVRTFTextAttributes TRVRTFImporter::CurrentTextAttributes(bool unicode, bool noteReference) {
  const TRVRTFCharProperties& chars = reader_->RTFState().charProps;
  const TRVRTFFont* font = reader_->FontList().At(chars.fontIndex);
  TRVRTFTextAttributes a;
  const bool symbolField = !chars.fontNameOverride.empty();
  a.FontName = symbolField ? chars.fontNameOverride : (font != nullptr ? font->name : std::u16string(kRTFDefaultFontName));
  a.Size = std::max(chars.size, 1);
  a.Color = chars.color;
  a.BackColor = chars.backColor;
  a.UnderlineColor = chars.underlineColor;
  a.Style = TFontStyles::FromBits(static_cast<std::uint8_t>(chars.fontStyle & 0x0F));
  a.AllCaps = (chars.styleEx & kRtfAllCaps) != 0;
  a.SmallCaps = (chars.styleEx & kRtfSmallCaps) != 0;
  // Documents carry no direction of their own here, so none is compared.
  a.BiDiMode = rvbdUnspecified;
  if (symbolField && (SameFontName(chars.fontNameOverride, u"Symbol") || SameFontName(chars.fontNameOverride, u"Wingdings"))) {
    a.Charset = 2;
  } else {
    a.Charset = font != nullptr ? static_cast<std::uint8_t>(RTFWindowsCharset(font->charset)) : CharsetOfTextInNoFont();
    if (props_.UseCharsetForUnicode && unicode) a.Charset = props_.CharsetForUnicode;
  }
  a.CharScale = chars.charScaleX;
  a.CharSpacing = ToPixels(chars.charSpacing);
  a.SubSuperScriptType = chars.subSuperScript <= rvsssSuperScript ? static_cast<TRVSubSuperScriptType>(chars.subSuperScript)
                                                                   : rvsssNormal;
  a.VShift = RoundHalfEven(static_cast<double>(chars.vShift) * 50.0 / a.Size);
  a.UnderlineType = chars.underlineType <= rvutThickDashDotDotted ? static_cast<TRVUnderlineType>(chars.underlineType)
                                                                  : rvutNormal;
  a.Unicode = unicode;
  a.Jump = CurrentLink().InLink;
  a.AnyJump = !a.Jump && props_.UseHypertextStyles;
  a.NoteReference = noteReference;
  return a;
}

std::int32_t TRVRTFImporter::ChooseTextStyle(bool unicode, bool noteReference) {
  if (props_.TextStyleMode == rvrsUseSpecified) return props_.TextStyleNo();
  const bool inLink = CurrentLink().InLink;
  if (props_.TextStyleMode != rvrsAddIfNeeded && style_.TextStyles.Count() != rawTextStyles_) {
    recentTextChoices_.clear();
  }
  if (const TRVRecentTextChoice* recent = FindRecentTextChoice(unicode, noteReference, inLink)) return recent->chosen;
  const std::int32_t chosen = ChooseTextStyleByKey(unicode, noteReference);
  RememberRecentTextChoice(unicode, noteReference, inLink, chosen);
  return chosen;
}

const TRVRTFImporter::TRVRecentTextChoice* TRVRTFImporter::FindRecentTextChoice(bool unicode, bool noteReference,
                                                                               bool inLink) const {
  const TRVRTFCharProperties& c = reader_->RTFState().charProps;
  const TRVRTFFont* font = reader_->FontList().At(c.fontIndex);
  const int fonts = reader_->FontList().Count();
  for (const TRVRecentTextChoice& recent : recentTextChoices_) {
    if (recent.unicode == unicode && recent.noteReference == noteReference && recent.inLink == inLink &&
        recent.fonts == fonts && recent.chars == c &&
        (font != nullptr ? recent.fontCharset == font->charset && recent.fontName == font->name
                         : recent.fontCharset < 0)) {
      return &recent;
    }
  }
  return nullptr;
}

void TRVRTFImporter::RememberRecentTextChoice(bool unicode, bool noteReference, bool inLink, std::int32_t chosen) {
  const TRVRTFCharProperties& c = reader_->RTFState().charProps;
  const TRVRTFFont* font = reader_->FontList().At(c.fontIndex);
  TRVRecentTextChoice recent{c,      font != nullptr ? font->name : std::u16string(),
                             font != nullptr ? font->charset : -1,
                             unicode, noteReference, inLink, reader_->FontList().Count(), chosen};
  if (recentTextChoices_.size() < kRecentTextChoices) {
    recentTextChoices_.push_back(std::move(recent));
  } else {
    recentTextChoices_[nextRecentTextChoice_] = std::move(recent);
    nextRecentTextChoice_ = (nextRecentTextChoice_ + 1) % kRecentTextChoices;
  }
}

bool TRVRTFImporter::StoresTextKindsAlike() {
  if (props_.UnicodeMode != rvruOnlyUnicode) return false;
  // Text that is dropped adds no style, so none is chosen for it here either.
  if (props_.SkipHiddenText && reader_->RTFState().charProps.hidden) return true;
  return style_.TextStyleAt(ChooseTextStyle(true, false)).Unicode;
}

std::int32_t TRVRTFImporter::ChooseTextStyleByKey(bool unicode, bool noteReference) {
  const TRVRTFCharProperties& c = reader_->RTFState().charProps;
  rawKey_.clear();
  for (std::int32_t value : {c.size, c.fontIndex, c.charScaleX, c.vShift, c.charSpacing}) AppendKeyBytes(rawKey_, value);
  for (TRVRTFColor value : {c.color, c.backColor, c.underlineColor}) AppendKeyBytes(rawKey_, value);
  for (std::uint8_t value : {c.fontStyle, c.styleEx, c.subSuperScript, c.underlineType}) AppendKeyBytes(rawKey_, value);
  for (bool value : {unicode, noteReference, CurrentLink().InLink}) AppendKeyBytes(rawKey_, value);
  if (const TRVRTFFont* font = reader_->FontList().At(c.fontIndex)) {
    AppendKeyBytes(rawKey_, font->charset);
    AppendKeyText(rawKey_, font->name);
  }
  AppendKeyText(rawKey_, c.fontNameOverride);
  if (props_.TextStyleMode != rvrsAddIfNeeded && style_.TextStyles.Count() != rawTextStyles_) {
    rawTextChoices_.clear();
    rawTextStyles_ = style_.TextStyles.Count();
  }
  if (auto found = rawTextChoices_.find(rawKey_); found != rawTextChoices_.end()) return found->second;
  const std::int32_t chosen = textStyles_.Choose(CurrentTextAttributes(unicode, noteReference));
  if (rawTextChoices_.size() >= kMaxRTFRememberedChoices) {
    rawTextChoices_.clear();
    recentTextChoices_.clear();
  }
  rawTextChoices_.emplace(rawKey_, chosen);
  return chosen;
}

}  // namespace varnolt
