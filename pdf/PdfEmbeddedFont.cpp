#include "pdf/PdfEmbeddedFont.h"

#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cmath>

namespace varnolt {

namespace {


bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The character starting at index, and how many code units it takes.
std::pair<char32_t, std::size_t> CharacterAt(std::u16string_view text, std::size_t index) {
  char16_t unit = text[index];
  if (IsHighSurrogate(unit) && index + 1 < text.size() && IsLowSurrogate(text[index + 1])) {
    return {0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[index + 1] - 0xDC00), 2};
  }
  return {unit, 1};
}

// The piece of text the glyph at logical index k stands for: from its
// cluster to the next cluster in logical order, empty for every glyph of a
// cluster but its first.
std::u16string_view PieceOf(std::span<const TPdfGlyph> glyphs, std::size_t k, std::u16string_view text,
                            bool rightToLeft) {
  auto at = [&](std::size_t logical) -> const TPdfGlyph& {
    return glyphs[rightToLeft ? glyphs.size() - 1 - logical : logical];
  };
  std::uint32_t cluster = at(k).Cluster;
  if (k > 0 && at(k - 1).Cluster == cluster) return {};
  std::size_t end = text.size();
  for (std::size_t next = k + 1; next < glyphs.size(); ++next) {
    if (at(next).Cluster != cluster) {
      end = at(next).Cluster;
      break;
    }
  }
  std::size_t start = std::min<std::size_t>(cluster, text.size());
  end = std::min(end, text.size());
  return end > start ? text.substr(start, end - start) : std::u16string_view();
}

// Calls visit(start, length) for each character of piece, the last first.
template <class Visit>
void ForEachCharacterFromEnd(std::u16string_view piece, Visit visit) {
  for (std::size_t end = piece.size(); end > 0;) {
    std::size_t start = end - 1;
    if (start > 0 && IsLowSurrogate(piece[start]) && IsHighSurrogate(piece[start - 1])) --start;
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

}  // namespace

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
  hb_blob_t* outlines = hb_face_reference_table(hbFace_.get(), HB_TAG('g', 'l', 'y', 'f'));
  bool hasOutlines = hb_blob_get_length(outlines) > 0;
  hb_blob_destroy(outlines);
  if (glyphCount_ == 0 || glyphCount_ > 0x10000 || !hasOutlines) {
    throw EPdfInvalidValue("TPdfEmbeddedFont --no TrueType outlines in " + face.File + ".");
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

void TPdfEmbeddedFont::LoadMetrics() {
  hb_font_extents_t extents{};
  hb_font_get_h_extents(hbFont_.get(), &extents);
  ascent_ = Thousandths(extents.ascender);
  descent_ = -Thousandths(extents.descender);
  lineGap_ = Thousandths(extents.line_gap);
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
  descendant.PutName(u"Subtype", u"CIDFontType2");
  descendant.PutName(u"BaseFont", PostScriptName());
  auto systemInfo = std::make_unique<TPdfDictionary>(&xref);
  systemInfo->Put(u"Registry", std::make_unique<TPdfText>(u"Adobe"));
  systemInfo->Put(u"Ordering", std::make_unique<TPdfText>(u"Identity"));
  systemInfo->PutNumber(u"Supplement", 0);
  descendant.Put(u"CIDSystemInfo", std::move(systemInfo));
  descendant.Put(u"FontDescriptor", descriptor);
  descendant.PutName(u"CIDToGIDMap", u"Identity");

  descriptor.PutName(u"Type", u"FontDescriptor");
  descriptor.PutName(u"FontName", PostScriptName());
  PutDescriptorMetrics(descriptor);
  descriptor.Put(u"FontFile2", *fontFile_);
  Wrap(type0);
}

std::uint32_t TPdfEmbeddedFont::NominalGlyph(char32_t c) const {
  hb_codepoint_t glyph = 0;
  return hb_font_get_nominal_glyph(hbFont_.get(), c, &glyph) ? glyph : 0;
}

bool TPdfEmbeddedFont::HasCharacter(char32_t c) const { return NominalGlyph(c) != 0; }

std::vector<TPdfGlyph> TPdfEmbeddedFont::Shape(std::u16string_view text, bool rightToLeft) const {
  hb_buffer_t* buffer = buffer_.get();
  hb_buffer_clear_contents(buffer);
  int length = static_cast<int>(text.size());
  hb_buffer_add_utf16(buffer, reinterpret_cast<const std::uint16_t*>(text.data()), length, 0, length);
  hb_buffer_set_direction(buffer, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
  hb_buffer_guess_segment_properties(buffer);
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

float TPdfEmbeddedFont::GlyphWidth(std::uint32_t glyph) const {
  return std::round(Thousandths(hb_font_get_glyph_h_advance(hbFont_.get(), glyph)));
}

std::u16string_view TPdfEmbeddedFont::TextOf(const GlyphText& entry) const {
  return std::u16string_view(textPool_).substr(entry.Start, entry.Length);
}

bool TPdfEmbeddedFont::RecordShown(std::span<const TPdfGlyph> glyphs, std::u16string_view text, bool rightToLeft) {
  auto logical = [&](std::size_t k) -> const TPdfGlyph& {
    return glyphs[rightToLeft ? glyphs.size() - 1 - k : k];
  };
  bool exact = !glyphs.empty() && logical(0).Cluster == 0;
  for (std::size_t k = 0; k < glyphs.size(); ++k) {
    std::uint32_t id = logical(k).Id;
    if (id >= glyphs_.size()) {
      exact = false;
      continue;
    }
    GlyphText& entry = glyphs_[id];
    entry.Used = true;
    std::u16string_view piece = PieceOf(glyphs, k, text, rightToLeft);
    if (!entry.Mapped && !piece.empty()) {
      std::size_t start = textPool_.size();
      AppendInReadingOrder(textPool_, piece, rightToLeft);
      entry = {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(piece.size()), true, true};
    }
    if (exact) exact = IsInReadingOrder(entry.Mapped ? TextOf(entry) : std::u16string_view(), piece, rightToLeft);
  }
  return exact;
}

std::uint16_t TPdfEmbeddedFont::WidthOf(std::u16string_view text, std::size_t position) const {
  if (position == 0 || position > text.size()) return 0;
  std::size_t index = position - 1;
  if (IsLowSurrogate(text[index]) && index > 0 && IsHighSurrogate(text[index - 1])) return 0;
  float width = GlyphWidth(NominalGlyph(CharacterAt(text, index).first));
  return static_cast<std::uint16_t>(std::clamp(width, 0.0f, 65535.0f));
}

void TPdfEmbeddedFont::AppendHexCodes(std::u16string_view text, std::string& out) const {
  for (std::size_t i = 0; i < text.size();) {
    auto [character, units] = CharacterAt(text, i);
    std::uint32_t glyph = NominalGlyph(character);
    GlyphText& entry = glyphs_[glyph];
    entry.Used = true;
    if (!entry.Mapped && glyph != 0) {
      entry = {static_cast<std::uint32_t>(textPool_.size()), static_cast<std::uint32_t>(units), true, true};
      textPool_.append(text.substr(i, units));
    }
    AppendCodeHex(static_cast<std::uint16_t>(glyph), out);
    i += units;
  }
}

}  // namespace varnolt
