#include "pdf/PdfEmbeddedFont.h"

#include <hb-ot.h>
#include <hb.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace varnolt {

namespace {

// The character starting at index, and how many code units it takes.
std::pair<char32_t, std::size_t> CharacterAt(std::u16string_view text, std::size_t index) {
  char16_t unit = text[index];
  if (U16_IS_LEAD(unit) && index + 1 < text.size() && U16_IS_TRAIL(text[index + 1])) {
    return {static_cast<char32_t>(U16_GET_SUPPLEMENTARY(unit, text[index + 1])), 2};
  }
  return {unit, 1};
}

// Calls visit(start, length) for each character of piece, the last first.
template <class Visit>
void ForEachCharacterFromEnd(std::u16string_view piece, Visit visit) {
  for (std::size_t end = piece.size(); end > 0;) {
    std::size_t start = end - 1;
    if (start > 0 && U16_IS_TRAIL(piece[start]) && U16_IS_LEAD(piece[start - 1])) --start;
    visit(start, end - start);
    end = start;
  }
}

// Readers put the characters of a glyph's text side by side left to right
// and then order right-to-left text by the bidi rules, which reverses them:
// a glyph of a right-to-left run stores its characters reversed, so that
// readers give them back in logical order.
void AppendInReadingOrder(std::u16string& out, std::u16string_view piece, bool rightToLeft) {
  if (!rightToLeft) {
    out.append(piece);
    return;
  }
  ForEachCharacterFromEnd(piece, [&](std::size_t start, std::size_t length) { out.append(piece.substr(start, length)); });
}

// Whether mapped is piece as AppendInReadingOrder stores it.
bool IsInReadingOrder(std::u16string_view mapped, std::u16string_view piece, bool rightToLeft) {
  if (mapped.size() != piece.size()) return false;
  if (!rightToLeft) return mapped == piece;
  std::size_t at = 0;
  bool same = true;
  ForEachCharacterFromEnd(piece, [&](std::size_t start, std::size_t length) {
    same = same && mapped.substr(at, length) == piece.substr(start, length);
    at += length;
  });
  return same;
}

constexpr int kMetricsScale = 64000;

// Word processors space lines by the face's own ascent, descent and line
// gap; HarfBuzz reads them as they do (the typographic values where the face
// asks for them, else the horizontal header's).
TPdfLineMetrics LineMetricsOf(hb_font_t* font) {
  hb_font_extents_t extents{};
  hb_font_get_h_extents(font, &extents);
  int scale = 0;
  hb_font_get_scale(font, &scale, nullptr);
  const float perThousandth = scale > 0 ? static_cast<float>(scale) / 1000 : 1;
  return {extents.ascender / perThousandth, -extents.descender / perThousandth, extents.line_gap / perThousandth};
}

}  // namespace

std::optional<TPdfLineMetrics> ReadLineMetrics(const TPdfFontFace& face) {
  std::unique_ptr<hb_blob_t, THbDeleter> blob(hb_blob_create_from_file_or_fail(face.File.c_str()));
  if (!blob) return std::nullopt;
  std::unique_ptr<hb_face_t, THbDeleter> hbFace(hb_face_create(blob.get(), static_cast<unsigned>(face.Index)));
  if (hb_face_get_glyph_count(hbFace.get()) == 0) return std::nullopt;
  std::unique_ptr<hb_font_t, THbDeleter> font(hb_font_create(hbFace.get()));
  hb_font_set_scale(font.get(), kMetricsScale, kMetricsScale);
  return LineMetricsOf(font.get());
}

void THbDeleter::operator()(hb_blob_t* blob) const { hb_blob_destroy(blob); }
void THbDeleter::operator()(hb_face_t* face) const { hb_face_destroy(face); }
void THbDeleter::operator()(hb_font_t* font) const { hb_font_destroy(font); }
void THbDeleter::operator()(hb_buffer_t* buffer) const { hb_buffer_destroy(buffer); }

TPdfEmbeddedFont::TPdfEmbeddedFont(TPdfXref& xref, std::u16string name, const TPdfFontFace& face)
    : TPdfFont(xref, std::move(name)), face_(face) {
  blob_.reset(hb_blob_create_from_file_or_fail(face.File.c_str()));
  if (!blob_) throw EPdfInvalidValue("TPdfEmbeddedFont --cannot read the font file " + face.File + ".");
  hbFace_.reset(hb_face_create(blob_.get(), static_cast<unsigned>(face.Index)));
  glyphCount_ = hb_face_get_glyph_count(hbFace_.get());
  cff_ = !HasTable(HB_TAG('g', 'l', 'y', 'f')) && HasTable(HB_TAG('C', 'F', 'F', ' '));
  const bool hasOutlines = cff_ || HasTable(HB_TAG('g', 'l', 'y', 'f'));
  if (glyphCount_ == 0 || glyphCount_ > 0x10000 || !hasOutlines) {
    throw EPdfInvalidValue("TPdfEmbeddedFont --no TrueType or CFF outlines in " + face.File + ".");
  }
  unitsPerEm_ = hb_face_get_upem(hbFace_.get());
  hbFont_.reset(hb_font_create(hbFace_.get()));
  hb_font_set_scale(hbFont_.get(), 1000 * kSubUnits, 1000 * kSubUnits);
  buffer_.reset(hb_buffer_create());
  glyphs_.resize(glyphCount_);
  LoadMetrics();
  BuildDictionaries();
}

TPdfEmbeddedFont::~TPdfEmbeddedFont() = default;

bool TPdfEmbeddedFont::HasTable(std::uint32_t tag) const {
  std::unique_ptr<hb_blob_t, THbDeleter> table(hb_face_reference_table(hbFace_.get(), tag));
  return hb_blob_get_length(table.get()) > 0;
}

void TPdfEmbeddedFont::LoadMetrics() {
  const TPdfLineMetrics metrics = LineMetricsOf(hbFont_.get());
  ascent_ = metrics.Ascent;
  descent_ = metrics.Descent;
  lineGap_ = metrics.LineGap;
}

void TPdfEmbeddedFont::BuildDictionaries() {
  TPdfXref& xref = Xref();
  auto& type0 = xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
  auto& descendant = xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
  auto& descriptor = xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
  fontFile_ = &xref.AddObject(std::make_unique<TPdfStream>(&xref));
  toUnicode_ = &xref.AddObject(std::make_unique<TPdfStream>(&xref));
  descendant_ = &descendant;
  descriptor_ = &descriptor;

  type0.PutName(u"Type", u"Font");
  type0.PutName(u"Subtype", u"Type0");
  type0.PutName(u"BaseFont", PostScriptName());
  type0.PutName(u"Encoding", u"Identity-H");
  auto descendants = std::make_unique<TPdfArray>(&xref);
  descendants->Append(descendant);
  type0.Put(u"DescendantFonts", std::move(descendants));
  type0.Put(u"ToUnicode", *toUnicode_);

  descendant.PutName(u"Type", u"Font");
  // A CFF program keeps its glyph ids through the subset, and its CIDs are
  // the glyph ids, so neither kind needs a map from CID to glyph.
  descendant.PutName(u"Subtype", cff_ ? u"CIDFontType0" : u"CIDFontType2");
  descendant.PutName(u"BaseFont", PostScriptName());
  auto systemInfo = std::make_unique<TPdfDictionary>(&xref);
  systemInfo->Put(u"Registry", std::make_unique<TPdfText>(u"Adobe"));
  systemInfo->Put(u"Ordering", std::make_unique<TPdfText>(u"Identity"));
  systemInfo->PutNumber(u"Supplement", 0);
  descendant.Put(u"CIDSystemInfo", std::move(systemInfo));
  descendant.Put(u"FontDescriptor", descriptor);
  if (!cff_) descendant.PutName(u"CIDToGIDMap", u"Identity");

  descriptor.PutName(u"Type", u"FontDescriptor");
  descriptor.PutName(u"FontName", PostScriptName());
  PutDescriptorMetrics(descriptor);
  if (cff_) {
    fontFile_->Dictionary().PutName(u"Subtype", u"OpenType");
    descriptor.Put(u"FontFile3", *fontFile_);
  } else {
    descriptor.Put(u"FontFile2", *fontFile_);
  }
  Wrap(type0);
}

std::uint32_t TPdfEmbeddedFont::NominalGlyph(char32_t c) const {
  hb_codepoint_t glyph = 0;
  return hb_font_get_nominal_glyph(hbFont_.get(), c, &glyph) ? glyph : 0;
}

bool TPdfEmbeddedFont::HasCharacter(char32_t c) const { return NominalGlyph(c) != 0; }

std::vector<TPdfGlyph> TPdfEmbeddedFont::Shape(std::u16string_view text, bool rightToLeft) const {
  if (text.size() > kLongestCachedRun) return ShapeUncached(text, rightToLeft);
  ShapedRuns& runs = shapedRuns_[rightToLeft ? 1 : 0];
  if (auto found = runs.find(text); found != runs.end()) return found->second;
  if (runs.size() >= kCachedRunsPerDirection) runs.clear();
  return runs.emplace(text, ShapeUncached(text, rightToLeft)).first->second;
}

std::vector<TPdfGlyph> TPdfEmbeddedFont::ShapeUncached(std::u16string_view text, bool rightToLeft) const {
  hb_buffer_t* buffer = buffer_.get();
  hb_buffer_clear_contents(buffer);
  int length = static_cast<int>(text.size());
  hb_buffer_add_utf16(buffer, reinterpret_cast<const std::uint16_t*>(text.data()), length, 0, length);
  hb_buffer_set_direction(buffer, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
  hb_buffer_guess_segment_properties(buffer);
  // Marks keep clusters of their own, so that a base glyph stands for the
  // same character under any mark and its ToUnicode entry holds everywhere.
  hb_buffer_set_cluster_level(buffer, HB_BUFFER_CLUSTER_LEVEL_MONOTONE_CHARACTERS);
  hb_shape(hbFont_.get(), buffer, nullptr, 0);
  unsigned count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
  const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
  std::vector<TPdfGlyph> glyphs(count);
  for (unsigned i = 0; i < count; ++i) {
    glyphs[i] = {infos[i].codepoint, infos[i].cluster, Thousandths(positions[i].x_advance),
                 Thousandths(positions[i].x_offset), Thousandths(positions[i].y_offset)};
  }
  return glyphs;
}

double TPdfEmbeddedFont::GlyphWidth(std::uint32_t glyph) const {
  return std::round(hb_font_get_glyph_h_advance(hbFont_.get(), glyph) * 100.0 / kSubUnits) / 100;
}

std::u16string_view TPdfEmbeddedFont::TextOf(const GlyphText& entry) const {
  return std::u16string_view(textPool_).substr(entry.Start, entry.Length);
}

void TPdfEmbeddedFont::MapToText(GlyphText& entry, std::u16string_view piece, bool rightToLeft) const {
  entry.Start = static_cast<std::uint32_t>(textPool_.size());
  entry.Length = static_cast<std::uint32_t>(piece.size());
  entry.Stands = Meaning::kText;
  AppendInReadingOrder(textPool_, piece, rightToLeft);
}

// The cluster's first glyph carries its text, the others stand for
// nothing: readers measure the gap to the next glyph with text, and a
// glyph drawn before its carrier would read as a space.
bool TPdfEmbeddedFont::RecordCluster(std::span<const std::uint32_t> ids, std::u16string_view piece,
                                     bool rightToLeft) {
  bool exact = true;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    GlyphText& entry = glyphs_[ids[i]];
    entry.Used = true;
    if (i == 0 && !piece.empty()) {
      if (entry.Stands == Meaning::kNone) MapToText(entry, piece, rightToLeft);
      exact = exact && entry.Stands == Meaning::kText && IsInReadingOrder(TextOf(entry), piece, rightToLeft);
      continue;
    }
    if (entry.Stands == Meaning::kNone) entry.Stands = Meaning::kNothing;
    exact = exact && entry.Stands == Meaning::kNothing;
  }
  return exact;
}

bool TPdfEmbeddedFont::RecordShown(std::span<const TPdfGlyph> glyphs, std::u16string_view text, bool rightToLeft) {
  auto logical = [&](std::size_t k) -> const TPdfGlyph& {
    return glyphs[rightToLeft ? glyphs.size() - 1 - k : k];
  };
  // Clusters rise in logical order; a cluster's text runs to the next one.
  constexpr std::size_t kMostGlyphsPerCluster = 32;
  std::array<std::uint32_t, kMostGlyphsPerCluster> ids;
  bool exact = !glyphs.empty() && logical(0).Cluster == 0;
  for (std::size_t first = 0; first < glyphs.size();) {
    std::uint32_t cluster = logical(first).Cluster;
    std::size_t count = 0;
    std::size_t next = first;
    for (; next < glyphs.size() && logical(next).Cluster == cluster; ++next) {
      std::uint32_t id = logical(next).Id;
      if (id >= glyphs_.size() || count == ids.size()) {
        exact = false;
        continue;
      }
      ids[count++] = id;
    }
    std::size_t start = std::min<std::size_t>(cluster, text.size());
    std::size_t end = next < glyphs.size() ? std::min<std::size_t>(logical(next).Cluster, text.size()) : text.size();
    std::u16string_view piece = end > start ? text.substr(start, end - start) : std::u16string_view();
    if (end < start) exact = false;
    if (!RecordCluster(std::span(ids.data(), count), piece, rightToLeft)) exact = false;
    first = next;
  }
  return exact;
}

std::uint16_t TPdfEmbeddedFont::WidthOf(std::u16string_view text, std::size_t position) const {
  if (position == 0 || position > text.size()) return 0;
  std::size_t index = position - 1;
  if (U16_IS_TRAIL(text[index]) && index > 0 && U16_IS_LEAD(text[index - 1])) return 0;
  double width = std::round(GlyphWidth(NominalGlyph(CharacterAt(text, index).first)));
  return static_cast<std::uint16_t>(std::clamp(width, 0.0, 65535.0));
}

void TPdfEmbeddedFont::AppendHexCodes(std::u16string_view text, std::string& out) const {
  for (std::size_t i = 0; i < text.size();) {
    auto [character, units] = CharacterAt(text, i);
    std::uint32_t glyph = NominalGlyph(character);
    GlyphText& entry = glyphs_[glyph];
    entry.Used = true;
    if (entry.Stands == Meaning::kNone && glyph != 0) MapToText(entry, text.substr(i, units), false);
    AppendCodeHex(static_cast<std::uint16_t>(glyph), out);
    i += units;
  }
}

}  // namespace varnolt
