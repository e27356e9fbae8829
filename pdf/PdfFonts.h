#pragma once
// Fonts chosen by registry name: the font base class and the twelve standard
// Type1 fonts, referred to by name and never embedded.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "pdf/PdfClassRegistry.h"
#include "pdf/PdfDoc.h"

namespace varnolt {

class TPdfFont : public TPdfDictionaryWrapper {
 public:
  TPdfFont(TPdfXref& xref, std::u16string name) : xref_(xref), registryName_(std::move(name)) {}

  const std::u16string& RegistryName() const { return registryName_; }

  // Advance of the code unit at the 1-based position, in thousandths of the
  // font size; the base measures nothing.
  virtual std::uint16_t WidthOf(std::u16string_view text, std::size_t position) const;
  // WidthOf of every code unit as a table, for a font whose widths never
  // depend on the neighbouring code units; nullptr for any other.
  virtual const std::array<std::uint16_t, 65536>* UnitWidths() const { return nullptr; }
  // The hex digits that show text in a content stream. The base writes four
  // per UTF-16 code unit, as two-byte fonts read them.
  virtual void AppendHexCodes(std::u16string_view text, std::string& out) const;
  // Completes the font's objects just before the document is written; the
  // fonts named but not embedded are complete from the start.
  virtual void Finish(TPdfCompressionMethod) {}

 protected:
  TPdfXref& Xref() const { return xref_; }

 private:
  TPdfXref& xref_;
  std::u16string registryName_;
};

// A font's advance of every UTF-16 code unit, built once per font so that
// measuring a code unit is one read.
using TPdfWidthTable = std::array<std::uint16_t, 65536>;

// Four uppercase hex digits per UTF-16 code unit.
void AppendUtf16Hex(std::u16string_view text, std::string& out);
// Four uppercase hex digits: a two-byte code of a composite font.
inline void AppendCodeHex(std::uint16_t code, std::string& out) {
  const char16_t unit = code;
  AppendUtf16Hex(std::u16string_view(&unit, 1), out);
}

// The WinAnsiEncoding code of a character; "?" for one that has none.
std::uint8_t WinAnsiCode(char16_t c);
// The same as a table indexed by UTF-16 code unit.
const std::array<std::uint8_t, 65536>& WinAnsiCodes();
// Whether some character of the text has no WinAnsiEncoding code, so that a
// single-byte font would show it as "?".
bool HasNonWinAnsiCharacter(std::u16string_view text);

// A single-byte font: one WinAnsi code per character, measured by the width
// of the code actually written.
class TPdfType1Font : public TPdfFont {
 public:
  static constexpr std::size_t kWidthCount = 224;  // codes 32..255

  void Wrap(TPdfDictionary& dictionary) override;
  std::uint16_t WidthOf(std::u16string_view text, std::size_t position) const override;
  const TPdfWidthTable* UnitWidths() const override { return widthByUnit_.get(); }
  void AppendHexCodes(std::u16string_view text, std::string& out) const override;

  std::uint8_t FirstChar() const { return firstChar_; }
  std::uint8_t LastChar() const { return lastChar_; }
  std::uint16_t CharWidth(std::uint8_t code) const { return charWidths_[code]; }
  // The width of the code each UTF-16 code unit is written as, for callers
  // that measure whole runs without a call per code unit.
  const TPdfWidthTable& WidthTable() const { return *widthByUnit_; }
  // Top and bottom of the font's box in thousandths of the font size, the
  // bottom positive below the baseline; 0 for a base font without metrics.
  std::int16_t Ascent() const { return ascent_; }
  std::int16_t Descent() const { return descent_; }

 protected:
  TPdfType1Font(TPdfXref& xref, std::u16string name, std::u16string_view baseFont,
                std::span<const std::uint16_t, kWidthCount> widths);

 private:
  void BuildWidthTable();

  const std::array<std::uint8_t, 65536>& codes_;
  std::uint8_t firstChar_ = 0;
  std::uint8_t lastChar_ = 0;
  std::int16_t ascent_ = 0;
  std::int16_t descent_ = 0;
  std::array<std::uint16_t, 256> charWidths_{};
  // The width of the code each unit is written as.
  std::unique_ptr<TPdfWidthTable> widthByUnit_ = std::make_unique<TPdfWidthTable>();
};

#define VARNOLT_STANDARD_TYPE1_FONT(ClassName)                 \
  class ClassName final : public TPdfType1Font {               \
   public:                                                     \
    ClassName(TPdfXref& xref, std::u16string name);            \
  };
VARNOLT_STANDARD_TYPE1_FONT(TPdfFixedWidth)
VARNOLT_STANDARD_TYPE1_FONT(TPdfFixedWidthBold)
VARNOLT_STANDARD_TYPE1_FONT(TPdfFixedWidthItalic)
VARNOLT_STANDARD_TYPE1_FONT(TPdfFixedWidthBoldItalic)
VARNOLT_STANDARD_TYPE1_FONT(TPdfArial)
VARNOLT_STANDARD_TYPE1_FONT(TPdfArialBold)
VARNOLT_STANDARD_TYPE1_FONT(TPdfArialItalic)
VARNOLT_STANDARD_TYPE1_FONT(TPdfArialBoldItalic)
VARNOLT_STANDARD_TYPE1_FONT(TPdfTimesRoman)
VARNOLT_STANDARD_TYPE1_FONT(TPdfTimesBold)
VARNOLT_STANDARD_TYPE1_FONT(TPdfTimesItalic)
VARNOLT_STANDARD_TYPE1_FONT(TPdfTimesBoldItalic)
#undef VARNOLT_STANDARD_TYPE1_FONT

}  // namespace varnolt
