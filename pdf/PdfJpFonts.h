#pragma once
// Composite fonts that show Chinese text without embedding a font program:
// Type0 fonts with the predefined CMap "UniGB-UCS2-H" over a CIDFontType2
// descendant of the Adobe-GB1 collection. Four families of four styles;
// "Gothic" and "Mincyo" are fixed-pitch, "PGothic" and "PMincyo" proportional.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/PdfFonts.h"
#include "pdf/PdfJpCMap.h"

namespace varnolt {

struct TPdfCIDWidthItem {
  std::int32_t FirstCid = 0;
  std::int32_t LastCid = 0;
  std::uint16_t Width = 0;
  friend bool operator==(const TPdfCIDWidthItem&, const TPdfCIDWidthItem&) = default;
};

// A composite font measured through a code-to-CID function and the CID
// widths of its descendant.
class TPdfType0Font : public TPdfFont {
 public:
  using TPdfFont::TPdfFont;
  TPdfType0Font(TPdfXref& xref, std::u16string name, TPdfCharToCid charToCid)
      : TPdfFont(xref, std::move(name)), charToCid_(charToCid) {}

  // Loads DW, the descriptor's MissingWidth and the W array from the
  // descendant of the Type0 dictionary. A malformed W array raises
  // EPdfInvalidValue; a missing entry leaves its value 0 (or no widths).
  void Wrap(TPdfDictionary& dictionary) override;
  std::uint16_t WidthOf(std::u16string_view text, std::size_t position) const override;
  const TPdfWidthTable* UnitWidths() const override { return widthByUnit_.get(); }

  // Measuring looks at each code unit alone: the function's CID for a unit
  // must not depend on its neighbours, as with "UniGB-UCS2-H".
  void SetCharToCid(TPdfCharToCid charToCid);
  // -1 for a position with no character of its own; 0 without a function.
  std::int32_t CharToCid(std::u16string_view text, std::size_t position) const;
  // In the order parsed.
  const std::vector<TPdfCIDWidthItem>& CidWidths() const { return cidWidths_; }
  std::uint16_t DefaultWidth() const { return defaultWidth_; }
  std::uint16_t MissingWidth() const { return missingWidth_; }

 private:
  // The first entry whose LastCid is not below cid decides: its width when
  // it holds cid, else 0.
  std::uint16_t CidWidth(std::int32_t cid) const;
  std::uint16_t WidthOfUnit(char16_t unit) const;
  void BuildWidthTable();

  TPdfCharToCid charToCid_ = nullptr;
  std::vector<TPdfCIDWidthItem> cidWidths_;
  // Parsed W arrays ascend, which lets CidWidth search by halves.
  bool widthsAscend_ = true;
  std::uint16_t defaultWidth_ = 0;
  std::uint16_t missingWidth_ = 0;
  std::unique_ptr<TPdfWidthTable> widthByUnit_ = std::make_unique<TPdfWidthTable>();
};

// What sets one style of a family apart: the base font name and the
// descriptor's Flags, ItalicAngle and StemV.
struct TPdfJpFontStyle {
  std::u16string_view BaseFontName;
  std::int32_t Flags;
  std::int32_t ItalicAngle;
  std::int32_t StemV;
};

// Builds the Type0 dictionary, its descendant and the descriptor, numbered
// in that order.
class TPdfJpFont : public TPdfType0Font {
 public:
  std::u16string_view BaseFontName() const { return style_.BaseFontName; }

 protected:
  // widths is the descendant's W array.
  TPdfJpFont(TPdfXref& xref, std::u16string name, const TPdfJpFontStyle& style, std::unique_ptr<TPdfArray> widths);

 private:
  TPdfDictionary& AddDescendant(TPdfDictionary& type0, std::unique_ptr<TPdfArray> widths);
  void AddDescriptor(TPdfDictionary& descendant);

  TPdfJpFontStyle style_;
};

// CIDs 231 to 631 (the half-width forms) are 500 wide, every other 1000.
class TPdfJpFixedFont : public TPdfJpFont {
 protected:
  TPdfJpFixedFont(TPdfXref& xref, std::u16string name, const TPdfJpFontStyle& style);
};

// Carries the proportional W runs.
class TPdfJpProportionalFont : public TPdfJpFont {
 protected:
  TPdfJpProportionalFont(TPdfXref& xref, std::u16string name, const TPdfJpFontStyle& style);
};

// Every class can be created by registry name; the protected constructor
// lets a style derive from its family's regular class.
#define VARNOLT_JP_FONT(ClassName, Base)                                          \
  class ClassName : public Base {                                                 \
   public:                                                                        \
    ClassName(TPdfXref& xref, std::u16string name);                               \
                                                                                  \
   protected:                                                                     \
    ClassName(TPdfXref& xref, std::u16string name, const TPdfJpFontStyle& style) \
        : Base(xref, std::move(name), style) {}                                   \
  };
VARNOLT_JP_FONT(TPdfGothic, TPdfJpFixedFont)
VARNOLT_JP_FONT(TPdfGothicBold, TPdfJpFixedFont)
VARNOLT_JP_FONT(TPdfGothicItalic, TPdfJpFixedFont)
VARNOLT_JP_FONT(TPdfGothicBoldItalic, TPdfJpFixedFont)
VARNOLT_JP_FONT(TPdfMincyo, TPdfJpFixedFont)
VARNOLT_JP_FONT(TPdfMincyoBold, TPdfJpFixedFont)
VARNOLT_JP_FONT(TPdfMincyoItalic, TPdfJpFixedFont)
VARNOLT_JP_FONT(TPdfMincyoBoldItalic, TPdfJpFixedFont)
VARNOLT_JP_FONT(TPdfPGothic, TPdfJpProportionalFont)
VARNOLT_JP_FONT(TPdfPGothicBold, TPdfPGothic)
VARNOLT_JP_FONT(TPdfPGothicItalic, TPdfPGothic)
VARNOLT_JP_FONT(TPdfPGothicBoldItalic, TPdfPGothic)
VARNOLT_JP_FONT(TPdfPMincyo, TPdfJpProportionalFont)
VARNOLT_JP_FONT(TPdfPMincyoBold, TPdfPMincyo)
VARNOLT_JP_FONT(TPdfPMincyoItalic, TPdfPMincyo)
VARNOLT_JP_FONT(TPdfPMincyoBoldItalic, TPdfPMincyo)
#undef VARNOLT_JP_FONT

}  // namespace varnolt
