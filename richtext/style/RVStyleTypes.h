#pragma once
// The value types of the style sheet: colours, the enumerations with their
// stored ordinals, and the sets whose bit numbers stored files depend on.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/Color.h"
#include "platform/Exception.h"

namespace varnolt {

// The document engine's one error class.
class ERichDocError : public Exception {
 public:
  using Exception::Exception;
};

// The colours the style sheet names.
inline constexpr TColor kRVColorNone = 0x1FFFFFFF;
inline constexpr TColor kRVColorWindow = 0xFF000005;
inline constexpr TColor kRVColorWindowText = 0xFF000008;
inline constexpr TColor kRVColorHighlight = 0xFF00000D;
inline constexpr TColor kRVColorHighlightText = 0xFF00000E;
inline constexpr TColor kRVColorButtonFace = 0xFF00000F;
inline constexpr TColor kRVColorButtonShadow = 0xFF000010;

inline constexpr std::uint8_t kRVDefaultCharset = 1;

// A random identifier in 1..0x7FFFFFFE, for list styles and style templates.
std::int32_t DrawRandomId();

// A set over an enumeration, stored as the bits of the members' ordinals.
template <typename E, typename Bits>
class TRVSet {
 public:
  using BitsType = Bits;

  constexpr TRVSet() = default;
  constexpr TRVSet(std::initializer_list<E> members) {
    for (E member : members) Include(member);
  }
  static constexpr TRVSet FromBits(Bits bits) {
    TRVSet set;
    set.bits_ = bits;
    return set;
  }

  constexpr Bits ToBits() const { return bits_; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr bool Contains(E member) const { return (bits_ & Bit(member)) != 0; }
  constexpr TRVSet& Include(E member) {
    bits_ = static_cast<Bits>(bits_ | Bit(member));
    return *this;
  }
  constexpr TRVSet& Exclude(E member) {
    bits_ = static_cast<Bits>(bits_ & ~Bit(member));
    return *this;
  }
  constexpr TRVSet& Set(E member, bool present) { return present ? Include(member) : Exclude(member); }

  // Union, difference and intersection.
  friend constexpr TRVSet operator+(TRVSet a, TRVSet b) { return FromBits(static_cast<Bits>(a.bits_ | b.bits_)); }
  friend constexpr TRVSet operator-(TRVSet a, TRVSet b) { return FromBits(static_cast<Bits>(a.bits_ & ~b.bits_)); }
  friend constexpr TRVSet operator*(TRVSet a, TRVSet b) { return FromBits(static_cast<Bits>(a.bits_ & b.bits_)); }
  friend constexpr bool operator==(TRVSet a, TRVSet b) = default;

 private:
  static constexpr Bits Bit(E member) { return static_cast<Bits>(Bits{1} << static_cast<unsigned>(member)); }
  Bits bits_ = 0;
};

// --- text styles ---

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TRVSet<TFontStyle, std::uint8_t>;

enum TRVFontStyleEx : std::uint8_t { rvfsOverline, rvfsAllCaps, rvfsSmallCaps };
using TRVFontStylesEx = TRVSet<TRVFontStyleEx, std::uint8_t>;

enum TRVHoverEffect : std::uint8_t { rvheUnderline };
using TRVHoverEffects = TRVSet<TRVHoverEffect, std::uint8_t>;

enum TRVBiDiMode : std::uint8_t { rvbdUnspecified, rvbdLeftToRight, rvbdRightToLeft };

enum TRVSubSuperScriptType : std::uint8_t { rvsssNormal, rvsssSubscript, rvsssSuperScript };

enum TRVProtectOption : std::uint8_t {
  rvprStyleProtect,
  rvprStyleSplitProtect,
  rvprModifyProtect,
  rvprDeleteProtect,
  rvprConcateProtect,
  rvprRVFInsertProtect,
  rvprDoNotAutoSwitch,
  rvprParaStartProtect,
  rvprSticking,
  rvprSticking2,
  rvprSticking3,
  rvprStickToTop,
  rvprStickToBottom,
};
using TRVProtectOptions = TRVSet<TRVProtectOption, std::uint16_t>;

enum TRVTextOption : std::uint8_t { rvteoHTMLCode, rvteoRTFCode };
using TRVTextOptions = TRVSet<TRVTextOption, std::uint8_t>;

enum TRVUnderlineType : std::uint8_t {
  rvutNormal,
  rvutThick,
  rvutDouble,
  rvutDotted,
  rvutThickDotted,
  rvutDashed,
  rvutThickDashed,
  rvutLongDashed,
  rvutThickLongDashed,
  rvutDashDotted,
  rvutThickDashDotted,
  rvutDashDotDotted,
  rvutThickDashDotDotted,
};

// The ordinals are the bit numbers of every text-style mask.
enum TRVFontInfoProperty : std::uint8_t {
  rvfiFontName,            // 0
  rvfiSize,                // 1
  rvfiCharset,             // 2
  rvfiUnicode,             // 3
  rvfiBold,                // 4
  rvfiItalic,              // 5
  rvfiUnderline,           // 6
  rvfiStrikeout,           // 7
  rvfiOverline,            // 8
  rvfiAllCaps,             // 9: all and small capitals
  rvfiSubSuperScriptType,  // 10
  rvfiVShift,              // 11
  rvfiColor,               // 12
  rvfiBackColor,           // 13
  rvfiJump,                // 14
  rvfiHoverBackColor,      // 15
  rvfiHoverColor,          // 16
  rvfiHoverUnderline,      // 17
  rvfiJumpCursor,          // 18
  rvfiNextStyleNo,         // 19
  rvfiProtection,          // 20
  rvfiCharScale,           // 21
  rvfiBaseStyleNo,         // 22
  rvfiBiDiMode,            // 23
  rvfiCharSpacing,         // 24
  rvfiHTMLCode,            // 25
  rvfiRTFCode,             // 26
  rvfiUnderlineType,       // 27
  rvfiUnderlineColor,      // 28
  rvfiHoverUnderlineColor, // 29
  rvfiCustom,              // 30
};
using TRVFontInfoProperties = TRVSet<TRVFontInfoProperty, std::uint32_t>;
inline constexpr TRVFontInfoProperties kRVAllFontInfoProperties = TRVFontInfoProperties::FromBits(0x7FFFFFFF);

// --- paragraph styles ---

enum TRVLineSpacingType : std::uint8_t { rvlsPercent, rvlsSpaceBetween, rvlsLineHeightAtLeast, rvlsLineHeightExact };

enum TRVAlignment : std::uint8_t { rvaLeft, rvaRight, rvaCenter, rvaJustify };

enum TRVParaOption : std::uint8_t {
  rvpaoNoWrap,
  rvpaoReadOnly,
  rvpaoStyleProtect,
  rvpaoDoNotWantReturns,
  rvpaoKeepLinesTogether,
  rvpaoKeepWithNext,
  rvpaoWidowOrphanControl,
};
using TRVParaOptions = TRVSet<TRVParaOption, std::uint8_t>;

// The ordinals are the bit numbers of every paragraph-style mask.
enum TRVParaInfoProperty1 : std::uint8_t {
  rvpiFirstIndent,            // 0
  rvpiLeftIndent,             // 1
  rvpiRightIndent,            // 2
  rvpiSpaceBefore,            // 3
  rvpiSpaceAfter,             // 4
  rvpiAlignment,              // 5
  rvpiNextParaNo,             // 6
  rvpiDefStyleNo,             // 7
  rvpiLineSpacing,            // 8
  rvpiLineSpacingType,        // 9
  rvpiBackground_Color,       // 10
  rvpiBackground_BO_Left,     // 11
  rvpiBackground_BO_Top,      // 12
  rvpiBackground_BO_Right,    // 13
  rvpiBackground_BO_Bottom,   // 14
  rvpiBorder_Color,           // 15
  rvpiBorder_Style,           // 16
  rvpiBorder_Width,           // 17
  rvpiBorder_InternalWidth,   // 18
  rvpiBorder_BO_Left,         // 19
  rvpiBorder_BO_Top,          // 20
  rvpiBorder_BO_Right,        // 21
  rvpiBorder_BO_Bottom,       // 22
  rvpiBorder_Vis_Left,        // 23
  rvpiBorder_Vis_Top,         // 24
  rvpiBorder_Vis_Right,       // 25
  rvpiBorder_Vis_Bottom,      // 26
  rvpiNoWrap,                 // 27
  rvpiReadOnly,               // 28
  rvpiStyleProtect,           // 29
  rvpiDoNotWantReturns,       // 30
  rvpiKeepLinesTogether,      // 31
  rvpiKeepWithNext,           // 32
  rvpiTabs,                   // 33
  rvpiBiDiMode,               // 34
  rvpiCustom,                 // 35
};
using TRVParaInfoProperties1 = TRVSet<TRVParaInfoProperty1, std::uint64_t>;
inline constexpr TRVParaInfoProperties1 kRVAllParaInfoProperties1 =
    TRVParaInfoProperties1::FromBits((std::uint64_t{1} << 36) - 1);

// A second paragraph mask that stored documents carry; no bit of it is named.
enum class TRVParaInfoProperty2 : std::uint8_t {};
using TRVParaInfoProperties2 = TRVSet<TRVParaInfoProperty2, std::uint32_t>;

enum TRVBorderStyle : std::uint8_t { rvbNone, rvbSingle, rvbDouble, rvbTriple, rvbThickInside, rvbThickOutside };

enum TRVTabAlign : std::uint8_t { rvtaLeft, rvtaRight, rvtaCenter };

// --- list styles ---

enum TRVListType : std::uint8_t {
  rvlstBullet,
  rvlstPicture,
  rvlstImageList,
  rvlstDecimal,
  rvlstLowerAlpha,
  rvlstUpperAlpha,
  rvlstLowerRoman,
  rvlstUpperRoman,
  rvlstImageListCounter,
  rvlstUnicodeBullet,
};

enum TRVMarkerAlignment : std::uint8_t { rvmaLeft, rvmaRight, rvmaCenter };

enum TRVListLevelOption : std::uint8_t { rvloContinuous, rvloLevelReset, rvloLegalStyleNumbering };
using TRVListLevelOptions = TRVSet<TRVListLevelOption, std::uint8_t>;

// --- the style sheet's display settings ---

enum TRVSelectionMode : std::uint8_t { rvsmChar, rvsmWord, rvsmParagraph };
enum TRVSelectionStyle : std::uint8_t { rvssItems, rvssLines };
enum TRVFieldHighlightType : std::uint8_t { rvfhNever, rvfhCurrent, rvfhAlways };
enum TRVSeqType : std::uint8_t { rvseqDecimal, rvseqLowerAlpha, rvseqUpperAlpha, rvseqLowerRoman, rvseqUpperRoman };

// A toolkit font as text styles assign it to and from; also a list marker's font.
struct TFont {
  std::u16string Name = u"Arial";
  std::int32_t Size = 10;
  TColor Color = kRVColorWindowText;
  TFontStyles Style;
  std::uint8_t Charset = kRVDefaultCharset;

  friend bool operator==(const TFont&, const TFont&) = default;
};

}  // namespace varnolt
