#include "richtext/style/RVStyle.h"
#include "richtext/style/RVStyleScore.h"

namespace varnolt {

namespace {

bool StyleBitsEqual(const TCustomRVFontInfo& a, const TCustomRVFontInfo& b, TRVFontInfoProperties ignore) {
  struct StyleBit {
    TRVFontInfoProperty property;
    TFontStyle style;
  };
  constexpr StyleBit kStyleBits[] = {
      {rvfiBold, fsBold}, {rvfiItalic, fsItalic}, {rvfiUnderline, fsUnderline}, {rvfiStrikeout, fsStrikeOut}};
  for (const StyleBit& bit : kStyleBits) {
    if (!ignore.Contains(bit.property) && a.Style.Contains(bit.style) != b.Style.Contains(bit.style)) return false;
  }
  if (!ignore.Contains(rvfiOverline) && a.StyleEx.Contains(rvfsOverline) != b.StyleEx.Contains(rvfsOverline)) return false;
  if (!ignore.Contains(rvfiAllCaps) && a.StyleEx.Contains(rvfsAllCaps) != b.StyleEx.Contains(rvfsAllCaps)) return false;
  if (!ignore.Contains(rvfiAllCaps) && a.StyleEx.Contains(rvfsSmallCaps) != b.StyleEx.Contains(rvfsSmallCaps)) {
    return false;
  }
  return true;
}

// A property of one field: its mask bit and the comparison of that field.
template <typename T>
bool FieldEqual(TRVFontInfoProperties ignore, TRVFontInfoProperty property, const T& a, const T& b) {
  return ignore.Contains(property) || a == b;
}

std::int64_t Agreement(bool equal, std::int64_t weight) { return equal ? weight : 0; }

}  // namespace

// --- TCustomRVInfo ---

void TCustomRVInfo::Assign(const TCustomRVInfo& source) {
  baseStyleNo_ = source.baseStyleNo_;
  styleName_ = source.styleName_;
  standard_ = source.standard_;
  styleTemplateId_ = source.styleTemplateId_;
}

bool TCustomRVInfo::EqualsUsingMap(const TCustomRVInfo& other, const std::vector<std::int32_t>&) const {
  return EqualsFully(other, true);
}

std::int32_t TCustomRVInfo::SimilarityScore(const TCustomRVInfo&) const { return 0; }

// --- TCustomRVFontInfo ---

void TCustomRVFontInfo::Assign(const TCustomRVInfo& source) {
  if (const auto* font = dynamic_cast<const TCustomRVFontInfo*>(&source)) {
    TCustomRVFontInfo::operator=(*font);
  } else {
    TCustomRVInfo::Assign(source);
  }
}

bool TCustomRVFontInfo::EqualsFully(const TCustomRVInfo& otherInfo, bool) const {
  const auto* other = dynamic_cast<const TCustomRVFontInfo*>(&otherInfo);
  if (other == nullptr) return false;
  if (Size != other->Size || Charset != other->Charset || Style != other->Style || StyleEx != other->StyleEx ||
      !SameFontName(FontName, other->FontName)) {
    return false;
  }
  if (VShift != other->VShift || Color != other->Color || BackColor != other->BackColor || Jump != other->Jump) {
    return false;
  }
  if (Jump && (HoverColor != other->HoverColor || HoverEffects != other->HoverEffects ||
               HoverBackColor != other->HoverBackColor || HoverUnderlineColor != other->HoverUnderlineColor ||
               JumpCursor != other->JumpCursor)) {
    return false;
  }
  return Protection == other->Protection && Options == other->Options && CharScale == other->CharScale &&
         CharSpacing == other->CharSpacing && BiDiMode == other->BiDiMode &&
         SubSuperScriptType == other->SubSuperScriptType && UnderlineType == other->UnderlineType &&
         UnderlineColor == other->UnderlineColor;
}

bool TCustomRVFontInfo::EqualsIgnoring(const TCustomRVFontInfo& other, TRVFontInfoProperties ignore) const {
  if (!ignore.Contains(rvfiFontName) && !SameFontName(FontName, other.FontName)) return false;
  if (!FieldEqual(ignore, rvfiSize, Size, other.Size) || !FieldEqual(ignore, rvfiCharset, Charset, other.Charset) ||
      !StyleBitsEqual(*this, other, ignore) || !FieldEqual(ignore, rvfiVShift, VShift, other.VShift) ||
      !FieldEqual(ignore, rvfiColor, Color, other.Color) ||
      !FieldEqual(ignore, rvfiBackColor, BackColor, other.BackColor) ||
      !FieldEqual(ignore, rvfiJump, Jump, other.Jump)) {
    return false;
  }
  if (Jump && (!FieldEqual(ignore, rvfiHoverColor, HoverColor, other.HoverColor) ||
               !FieldEqual(ignore, rvfiHoverBackColor, HoverBackColor, other.HoverBackColor) ||
               !FieldEqual(ignore, rvfiHoverUnderline, HoverEffects, other.HoverEffects) ||
               !FieldEqual(ignore, rvfiJumpCursor, JumpCursor, other.JumpCursor))) {
    return false;
  }
  return FieldEqual(ignore, rvfiProtection, Protection, other.Protection) &&
         FieldEqual(ignore, rvfiRTFCode, Options.Contains(rvteoRTFCode), other.Options.Contains(rvteoRTFCode)) &&
         FieldEqual(ignore, rvfiHTMLCode, Options.Contains(rvteoHTMLCode), other.Options.Contains(rvteoHTMLCode)) &&
         FieldEqual(ignore, rvfiCharScale, CharScale, other.CharScale) &&
         FieldEqual(ignore, rvfiCharSpacing, CharSpacing, other.CharSpacing) &&
         FieldEqual(ignore, rvfiBiDiMode, BiDiMode, other.BiDiMode) &&
         FieldEqual(ignore, rvfiSubSuperScriptType, SubSuperScriptType, other.SubSuperScriptType) &&
         FieldEqual(ignore, rvfiUnderlineType, UnderlineType, other.UnderlineType) &&
         FieldEqual(ignore, rvfiUnderlineColor, UnderlineColor, other.UnderlineColor) &&
         FieldEqual(ignore, rvfiHoverUnderlineColor, HoverUnderlineColor, other.HoverUnderlineColor) &&
         FieldEqual(ignore, rvfiBaseStyleNo, BaseStyleNo(), other.BaseStyleNo());
}

std::int32_t TCustomRVFontInfo::SimilarityScore(const TCustomRVInfo& otherInfo) const {
  const auto* other = dynamic_cast<const TCustomRVFontInfo*>(&otherInfo);
  if (other == nullptr) return 0;
  const TCustomRVFontInfo& o = *other;
  std::int64_t score = ValueCloseness(o.Size, Size, 10000) + ValueCloseness(o.VShift, VShift, 1000) +
                       ValueCloseness(o.CharScale, CharScale, 300) + ValueCloseness(o.CharSpacing, CharSpacing, 1000) +
                       ColorCloseness(o.Color, Color, 3333, 3000) + ColorCloseness(o.BackColor, BackColor, 10000, 50000);
  score += Agreement(BiDiMode == o.BiDiMode, 1000) + Agreement(SubSuperScriptType == o.SubSuperScriptType, 50000) +
           Agreement(SameFontName(FontName, o.FontName), 10000);
  for (TFontStyle style : {fsBold, fsItalic, fsUnderline, fsStrikeOut}) {
    score += Agreement(Style.Contains(style) == o.Style.Contains(style), 50000);
  }
  for (TRVFontStyleEx style : {rvfsOverline, rvfsAllCaps}) {
    score += Agreement(StyleEx.Contains(style) == o.StyleEx.Contains(style), 50000);
  }
  // Small capitals came later than the fixed weights: a disagreement costs as
  // much as the other flags', while agreeing scores as before.
  if (StyleEx.Contains(rvfsSmallCaps) != o.StyleEx.Contains(rvfsSmallCaps)) score -= 50000;
  const bool plain = Style.Empty() && StyleEx.Empty();
  const bool otherPlain = o.Style.Empty() && o.StyleEx.Empty();
  score += Agreement(plain == otherPlain, 50000);
  if (Jump && o.Jump) {
    score += Agreement(HoverEffects.Contains(rvheUnderline) == o.HoverEffects.Contains(rvheUnderline), 10000) +
             Agreement(JumpCursor == o.JumpCursor, 5000) + ColorCloseness(o.HoverColor, HoverColor, 3333, 3000) / 2 +
             ColorCloseness(o.HoverBackColor, HoverBackColor, 10000, 50000) / 2;
  }
  if (Protection != o.Protection) score -= 100000;
  for (TRVTextOption option : {rvteoHTMLCode, rvteoRTFCode}) {
    score += Agreement(Options.Contains(option) == o.Options.Contains(option), 50000);
  }
  if (Charset == o.Charset) {
    score += 50000;
  } else if (Charset == kRVDefaultCharset || o.Charset == kRVDefaultCharset) {
    score += 12500;
  }
  return ClampScore(score);
}

void TCustomRVFontInfo::CopySelectedProperties(const TCustomRVFontInfo& source, TRVFontInfoProperties mask) {
  if (mask.Contains(rvfiFontName)) FontName = source.FontName;
  if (mask.Contains(rvfiSize)) Size = source.Size;
  if (mask.Contains(rvfiCharset)) Charset = source.Charset;
  if (mask.Contains(rvfiBold)) Style.Set(fsBold, source.Style.Contains(fsBold));
  if (mask.Contains(rvfiItalic)) Style.Set(fsItalic, source.Style.Contains(fsItalic));
  if (mask.Contains(rvfiUnderline)) Style.Set(fsUnderline, source.Style.Contains(fsUnderline));
  if (mask.Contains(rvfiStrikeout)) Style.Set(fsStrikeOut, source.Style.Contains(fsStrikeOut));
  if (mask.Contains(rvfiOverline)) StyleEx.Set(rvfsOverline, source.StyleEx.Contains(rvfsOverline));
  if (mask.Contains(rvfiAllCaps)) StyleEx.Set(rvfsAllCaps, source.StyleEx.Contains(rvfsAllCaps));
  if (mask.Contains(rvfiAllCaps)) StyleEx.Set(rvfsSmallCaps, source.StyleEx.Contains(rvfsSmallCaps));
  if (mask.Contains(rvfiSubSuperScriptType)) SubSuperScriptType = source.SubSuperScriptType;
  if (mask.Contains(rvfiVShift)) VShift = source.VShift;
  if (mask.Contains(rvfiColor)) Color = source.Color;
  if (mask.Contains(rvfiBackColor)) BackColor = source.BackColor;
  if (mask.Contains(rvfiJump)) Jump = source.Jump;
  if (mask.Contains(rvfiHoverBackColor)) HoverBackColor = source.HoverBackColor;
  if (mask.Contains(rvfiHoverColor)) HoverColor = source.HoverColor;
  if (mask.Contains(rvfiHoverUnderline)) HoverEffects = source.HoverEffects;
  if (mask.Contains(rvfiJumpCursor)) JumpCursor = source.JumpCursor;
  if (mask.Contains(rvfiProtection)) Protection = source.Protection;
  if (mask.Contains(rvfiCharScale)) CharScale = source.CharScale;
  if (mask.Contains(rvfiBiDiMode)) BiDiMode = source.BiDiMode;
  if (mask.Contains(rvfiCharSpacing)) CharSpacing = source.CharSpacing;
  if (mask.Contains(rvfiHTMLCode)) Options.Set(rvteoHTMLCode, source.Options.Contains(rvteoHTMLCode));
  if (mask.Contains(rvfiRTFCode)) Options.Set(rvteoRTFCode, source.Options.Contains(rvteoRTFCode));
  if (mask.Contains(rvfiUnderlineType)) UnderlineType = source.UnderlineType;
  if (mask.Contains(rvfiUnderlineColor)) UnderlineColor = source.UnderlineColor;
  if (mask.Contains(rvfiHoverUnderlineColor)) HoverUnderlineColor = source.HoverUnderlineColor;
}

void TCustomRVFontInfo::AssignToFont(TFont& font) const {
  font.Name = FontName;
  font.Size = Size;
  font.Color = Color;
  font.Style = Style;
  font.Charset = Charset;
}

void TCustomRVFontInfo::AssignFromFont(const TFont& font) {
  FontName = font.Name;
  Size = font.Size;
  Color = font.Color;
  Style = font.Style;
  Charset = font.Charset;
}

// --- TFontInfo ---

void TFontInfo::Assign(const TCustomRVInfo& source) {
  TCustomRVFontInfo::Assign(source);
  if (const auto* font = dynamic_cast<const TFontInfo*>(&source)) {
    NextStyleNo = font->NextStyleNo;
    Unicode = font->Unicode;
    ModifiedProperties = font->ModifiedProperties;
  }
}

bool TFontInfo::EqualsFully(const TCustomRVInfo& otherInfo, bool ignoreNext) const {
  if (!TCustomRVFontInfo::EqualsFully(otherInfo, ignoreNext)) return false;
  const auto* other = dynamic_cast<const TFontInfo*>(&otherInfo);
  if (other == nullptr) return true;
  return Unicode == other->Unicode && ModifiedProperties == other->ModifiedProperties &&
         StyleTemplateId() == other->StyleTemplateId() && (ignoreNext || NextStyleNo == other->NextStyleNo);
}

bool TFontInfo::EqualsUsingMap(const TCustomRVInfo& otherInfo, const std::vector<std::int32_t>& map) const {
  if (!EqualsFully(otherInfo, true)) return false;
  const auto* other = dynamic_cast<const TFontInfo*>(&otherInfo);
  if (other == nullptr || other->NextStyleNo < 0) return true;
  // A link to a later entry is not known yet and does not count against.
  if (static_cast<std::size_t>(other->NextStyleNo) >= map.size()) return true;
  return map[static_cast<std::size_t>(other->NextStyleNo)] == NextStyleNo;
}

bool TFontInfo::EqualsIgnoring(const TCustomRVFontInfo& otherInfo, TRVFontInfoProperties ignore) const {
  if (!TCustomRVFontInfo::EqualsIgnoring(otherInfo, ignore)) return false;
  const auto* other = dynamic_cast<const TFontInfo*>(&otherInfo);
  if (other == nullptr) return true;
  return FieldEqual(ignore, rvfiUnicode, Unicode, other->Unicode) &&
         FieldEqual(ignore, rvfiNextStyleNo, NextStyleNo, other->NextStyleNo) &&
         StyleTemplateId() == other->StyleTemplateId() && ModifiedProperties == other->ModifiedProperties;
}

void TFontInfo::CopySelectedProperties(const TCustomRVFontInfo& source, TRVFontInfoProperties mask) {
  TCustomRVFontInfo::CopySelectedProperties(source, mask);
  if (mask.Contains(rvfiBaseStyleNo)) SetBaseStyleNo(source.BaseStyleNo());
  const auto* font = dynamic_cast<const TFontInfo*>(&source);
  if (font == nullptr) return;
  if (mask.Contains(rvfiUnicode)) Unicode = font->Unicode;
  if (mask.Contains(rvfiNextStyleNo)) NextStyleNo = font->NextStyleNo;
}

}  // namespace varnolt
