#pragma once
// A font program from an installed font file, shaped with HarfBuzz and
// embedded as a subset: a Type0 font with Identity-H encoding over one
// CIDFontType2 (TrueType) or CIDFontType0 (CFF) descendant whose CIDs are
// the face's glyph ids, with a
// ToUnicode map so that the text extracts as it was given.
//
// PdfEmbeddedFont.cpp: the face, shaping and what the font shows.
// PdfEmbeddedFontSave.cpp: the dictionaries, the subset and the maps at save.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "pdf/PdfFontFinder.h"
#include "pdf/PdfFonts.h"

struct hb_blob_t;
struct hb_face_t;
struct hb_font_t;
struct hb_buffer_t;

namespace varnolt {

struct TPdfGlyph {
  std::uint32_t Id = 0;       // glyph index in the face
  std::uint32_t Cluster = 0;  // first UTF-16 code unit of the shaped text this glyph stands for
  float Advance = 0;          // thousandths of the font size
  float OffsetX = 0;          // thousandths of the font size
  float OffsetY = 0;
};

// What a face says of its lines, in thousandths of the font size; Descent
// positive below the baseline.
struct TPdfLineMetrics {
  float Ascent = 0;
  float Descent = 0;
  float LineGap = 0;
};

// The line metrics of an installed face, read without embedding it; empty
// when the file cannot be read as a font.
std::optional<TPdfLineMetrics> ReadLineMetrics(const TPdfFontFace& face);

struct THbDeleter {
  void operator()(hb_blob_t* blob) const;
  void operator()(hb_face_t* face) const;
  void operator()(hb_font_t* font) const;
  void operator()(hb_buffer_t* buffer) const;
};

// A CIDFontType2 font (TrueType outlines) or a CIDFontType0 font over an
// OpenType program (CFF outlines), Identity-H, subset at save, with ToUnicode.
class TPdfEmbeddedFont : public TPdfFont {
 public:
  // EPdfInvalidValue when the file cannot be read as a font with TrueType or CFF outlines.
  TPdfEmbeddedFont(TPdfXref& xref, std::u16string name, const TPdfFontFace& face);
  ~TPdfEmbeddedFont() override;

  const TPdfFontFace& Face() const { return face_; }
  bool HasCharacter(char32_t c) const;
  // The width of the character's nominal glyph, as GlyphWidth gives it.
  double NominalWidth(char32_t c) const { return GlyphWidth(NominalGlyph(c)); }
  // One run of one direction shaped with HarfBuzz; glyphs in the order they are drawn, left to right.
  // Not for use from two threads at once (the shaping buffer and the short
  // runs already shaped are kept by the font).
  std::vector<TPdfGlyph> Shape(std::u16string_view text, bool rightToLeft) const;
  // Thousandths of the font size; Descent positive below the baseline.
  float Ascent() const { return ascent_; }
  float Descent() const { return descent_; }
  float LineGap() const { return lineGap_; }

  // The width the font's W array gives the glyph, thousandths of the font
  // size to two decimals, so that the viewer's pen follows HarfBuzz's.
  double GlyphWidth(std::uint32_t glyph) const;
  // Notes that glyphs of a run of text (logical order) are shown; returns
  // whether the ToUnicode map gives back exactly that text for them. The
  // first glyph of a cluster stands for the cluster's text, the others for
  // nothing; what a glyph stands for is fixed the first time it is shown.
  bool RecordShown(std::span<const TPdfGlyph> glyphs, std::u16string_view text, bool rightToLeft);

  // The nominal glyph's advance; 0 for the second half of a surrogate pair.
  std::uint16_t WidthOf(std::u16string_view text, std::size_t position) const override;
  // Nominal glyph ids, four hex digits each, for text shown without shaping.
  void AppendHexCodes(std::u16string_view text, std::string& out) const override;
  // Writes the subset, the widths and the ToUnicode map.
  void Finish(TPdfCompressionMethod method) override;

 private:
  // What a glyph stands for in the ToUnicode map, fixed when it is first
  // shown: content already written relies on it.
  enum class Meaning : std::uint8_t { kNone, kText, kNothing };
  // What one glyph shows: for kText, a piece of textPool_.
  struct GlyphText {
    std::uint32_t Start = 0;
    std::uint32_t Length = 0;
    bool Used = false;
    Meaning Stands = Meaning::kNone;
  };

  // HarfBuzz works in integers: an em of 64000 units gives positions in
  // 64ths of a thousandth of the font size.
  static constexpr int kSubUnits = 64;
  static float Thousandths(int position) { return static_cast<float>(position) / kSubUnits; }

  // Documents repeat their words, and shaping is most of what drawing a
  // word costs: short runs are shaped once per font and direction.
  static constexpr std::size_t kLongestCachedRun = 32;
  static constexpr std::size_t kCachedRunsPerDirection = 8192;
  struct RunHash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view text) const { return std::hash<std::u16string_view>()(text); }
  };
  using ShapedRuns = std::unordered_map<std::u16string, std::vector<TPdfGlyph>, RunHash, std::equal_to<>>;

  std::vector<TPdfGlyph> ShapeUncached(std::u16string_view text, bool rightToLeft) const;
  bool HasTable(std::uint32_t tag) const;
  void LoadMetrics();
  void BuildDictionaries();
  std::uint32_t NominalGlyph(char32_t c) const;
  std::u16string_view TextOf(const GlyphText& entry) const;
  void MapToText(GlyphText& entry, std::u16string_view piece, bool rightToLeft) const;
  // Records one cluster's glyphs (ids in logical order) standing for piece;
  // whether the map gives back exactly piece for them.
  bool RecordCluster(std::span<const std::uint32_t> ids, std::u16string_view piece, bool rightToLeft);
  // PdfEmbeddedFontSave.cpp
  std::string SubsetTag() const;
  std::u16string PostScriptName() const;
  std::string SubsetProgram() const;
  std::unique_ptr<TPdfArray> WidthArray() const;
  std::string ToUnicodeMap() const;
  void PutDescriptorMetrics(TPdfDictionary& descriptor) const;

  TPdfFontFace face_;
  std::unique_ptr<hb_blob_t, THbDeleter> blob_;
  std::unique_ptr<hb_face_t, THbDeleter> hbFace_;
  std::unique_ptr<hb_font_t, THbDeleter> hbFont_;
  std::unique_ptr<hb_buffer_t, THbDeleter> buffer_;
  unsigned glyphCount_ = 0;
  bool cff_ = false;
  unsigned unitsPerEm_ = 1000;
  float ascent_ = 0;
  float descent_ = 0;
  float lineGap_ = 0;
  // Text shown without shaping records its glyphs too, through a const call.
  mutable std::vector<GlyphText> glyphs_;
  mutable ShapedRuns shapedRuns_[2];  // left to right, right to left
  mutable std::u16string textPool_;
  TPdfDictionary* descendant_ = nullptr;
  TPdfDictionary* descriptor_ = nullptr;
  TPdfStream* fontFile_ = nullptr;
  TPdfStream* toUnicode_ = nullptr;
};

}  // namespace varnolt
