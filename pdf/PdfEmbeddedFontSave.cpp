#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>

#include <cmath>
#include <cstdint>

#include "pdf/PdfEmbeddedFont.h"

namespace varnolt {

namespace {

// A ToUnicode map may hold at most this many entries between one begin and end.
constexpr std::size_t kMaxCMapBlock = 100;
constexpr std::int32_t kSymbolicFlag = 4;
constexpr std::int32_t kFixedPitchFlag = 1;
constexpr std::int32_t kItalicFlag = 64;

// Layout tables are for shaping, which is done; hinting programs make the
// subset larger and the viewers we target do not run them.
constexpr hb_tag_t kDroppedTables[] = {
    HB_TAG('G', 'S', 'U', 'B'), HB_TAG('G', 'P', 'O', 'S'), HB_TAG('G', 'D', 'E', 'F'), HB_TAG('B', 'A', 'S', 'E'),
    HB_TAG('J', 'S', 'T', 'F'), HB_TAG('M', 'A', 'T', 'H'), HB_TAG('k', 'e', 'r', 'n'), HB_TAG('m', 'o', 'r', 'x'),
    HB_TAG('k', 'e', 'r', 'x'), HB_TAG('D', 'S', 'I', 'G'),
};

struct SubsetInputDeleter {
  void operator()(hb_subset_input_t* input) const { hb_subset_input_destroy(input); }
};

// A big-endian field of an OpenType table; 0 when the table is too short.
std::uint32_t ReadBigEndian(hb_face_t* face, hb_tag_t tag, unsigned offset, unsigned size) {
  std::unique_ptr<hb_blob_t, THbDeleter> table(hb_face_reference_table(face, tag));
  unsigned length = 0;
  const char* data = hb_blob_get_data(table.get(), &length);
  if (data == nullptr || offset + size > length) return 0;
  std::uint32_t value = 0;
  for (unsigned i = 0; i < size; ++i) value = (value << 8) | static_cast<std::uint8_t>(data[offset + i]);
  return value;
}

std::int32_t ReadInt16(hb_face_t* face, hb_tag_t tag, unsigned offset) {
  return static_cast<std::int16_t>(ReadBigEndian(face, tag, offset, 2));
}

// One line of a ToUnicode map: a single glyph, or a range of glyphs whose
// texts are consecutive single code units.
struct CMapEntry {
  std::uint32_t FirstGlyph;
  std::uint32_t LastGlyph;
  std::u16string_view Text;  // of the first glyph
};

void AppendCMapBlocks(std::string& out, const std::vector<CMapEntry>& entries, bool ranges) {
  for (std::size_t start = 0; start < entries.size(); start += kMaxCMapBlock) {
    std::size_t count = std::min(kMaxCMapBlock, entries.size() - start);
    out += std::to_string(count) + (ranges ? " beginbfrange\n" : " beginbfchar\n");
    for (std::size_t i = start; i < start + count; ++i) {
      out.push_back('<');
      AppendCodeHex(static_cast<std::uint16_t>(entries[i].FirstGlyph), out);
      out += "> <";
      if (ranges) {
        AppendCodeHex(static_cast<std::uint16_t>(entries[i].LastGlyph), out);
        out += "> <";
      }
      AppendUtf16Hex(entries[i].Text, out);
      out += ">\n";
    }
    out += ranges ? "endbfrange\n" : "endbfchar\n";
  }
}

constexpr std::string_view kCMapHead =
    "/CIDInit /ProcSet findresource begin\n"
    "12 dict begin\n"
    "begincmap\n"
    "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
    "/CMapName /Adobe-Identity-UCS def\n"
    "/CMapType 2 def\n"
    "1 begincodespacerange\n"
    "<0000> <FFFF>\n"
    "endcodespacerange\n";
constexpr std::string_view kCMapTail =
    "endcmap\n"
    "CMapName currentdict /CMap defineresource pop\n"
    "end\n"
    "end\n";

bool IsSingleUnit(std::u16string_view text) { return text.size() == 1 && (text[0] < 0xD800 || text[0] > 0xDFFF); }

}  // namespace

std::string TPdfEmbeddedFont::SubsetTag() const {
  // FNV-1a over the used glyph ids: the same subset gets the same tag.
  std::uint64_t hash = 14695981039346656037ull;
  for (std::uint32_t glyph = 0; glyph < glyphs_.size(); ++glyph) {
    if (!glyphs_[glyph].Used) continue;
    for (int shift = 0; shift < 32; shift += 8) hash = (hash ^ ((glyph >> shift) & 0xFF)) * 1099511628211ull;
  }
  std::string tag;
  for (int i = 0; i < 6; ++i, hash /= 26) tag.push_back(static_cast<char>('A' + hash % 26));
  return tag;
}

std::u16string TPdfEmbeddedFont::PostScriptName() const {
  char name[128] = {};
  unsigned size = sizeof name;
  hb_ot_name_get_utf8(hbFace_.get(), HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &size, name);
  std::u16string kept;
  for (const char* c = name; *c != '\0'; ++c) {
    bool plain = (*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z') || (*c >= '0' && *c <= '9') || *c == '-' ||
                 *c == '_' || *c == '.';
    if (plain) kept.push_back(static_cast<char16_t>(*c));
  }
  return kept.empty() ? u"Embedded" : kept;
}

std::string TPdfEmbeddedFont::SubsetProgram() const {
  std::unique_ptr<hb_subset_input_t, SubsetInputDeleter> input(hb_subset_input_create_or_fail());
  if (!input) throw EPdfInvalidOperation("Finish --no memory for the font subset.");
  hb_set_t* glyphSet = hb_subset_input_glyph_set(input.get());
  hb_set_add(glyphSet, 0);
  for (std::uint32_t glyph = 0; glyph < glyphs_.size(); ++glyph) {
    if (glyphs_[glyph].Used) hb_set_add(glyphSet, glyph);
  }
  hb_set_t* dropped = hb_subset_input_set(input.get(), HB_SUBSET_SETS_DROP_TABLE_TAG);
  for (hb_tag_t tag : kDroppedTables) hb_set_add(dropped, tag);
  // Kept glyph ids keep the CIDs of the content streams valid.
  hb_subset_input_set_flags(input.get(), HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NO_HINTING);
  std::unique_ptr<hb_face_t, THbDeleter> subset(hb_subset_or_fail(hbFace_.get(), input.get()));
  if (!subset) throw EPdfInvalidOperation("Finish --the font " + face_.File + " could not be subset.");
  std::unique_ptr<hb_blob_t, THbDeleter> blob(hb_face_reference_blob(subset.get()));
  unsigned length = 0;
  const char* data = hb_blob_get_data(blob.get(), &length);
  return std::string(data != nullptr ? data : "", data != nullptr ? length : 0);
}

std::unique_ptr<TPdfArray> TPdfEmbeddedFont::WidthArray() const {
  TPdfXref& xref = Xref();
  auto widths = std::make_unique<TPdfArray>(&xref);
  TPdfArray* run = nullptr;
  std::uint32_t next = 0;  // the glyph that would continue the run
  for (std::uint32_t glyph = 0; glyph < glyphs_.size(); ++glyph) {
    if (!glyphs_[glyph].Used) continue;
    if (run == nullptr || glyph != next) {
      widths->Append(std::make_unique<TPdfNumber>(static_cast<std::int32_t>(glyph)));
      run = &widths->Append(std::make_unique<TPdfArray>(&xref));
    }
    run->Append(std::make_unique<TPdfReal>(GlyphWidth(glyph)));
    next = glyph + 1;
  }
  return widths;
}

std::string TPdfEmbeddedFont::ToUnicodeMap() const {
  std::vector<CMapEntry> singles;
  std::vector<CMapEntry> ranges;
  for (std::uint32_t glyph = 0; glyph < glyphs_.size(); ++glyph) {
    if (glyphs_[glyph].Stands != Meaning::kText) continue;
    std::u16string_view text = TextOf(glyphs_[glyph]);
    CMapEntry entry{glyph, glyph, text};
    // A range may only vary the last byte of the glyph and of the text.
    auto extends = [&](const CMapEntry& last) {
      std::uint32_t step = glyph - last.FirstGlyph;
      return IsSingleUnit(text) && IsSingleUnit(last.Text) && glyph == last.LastGlyph + 1 &&
             (glyph >> 8) == (last.FirstGlyph >> 8) && text[0] == last.Text[0] + step &&
             (text[0] >> 8) == (last.Text[0] >> 8);
    };
    if (!singles.empty() && extends(singles.back())) {
      entry.FirstGlyph = singles.back().FirstGlyph;
      entry.Text = singles.back().Text;
      singles.pop_back();
      ranges.push_back(entry);
    } else if (!ranges.empty() && extends(ranges.back())) {
      ranges.back().LastGlyph = glyph;
    } else {
      singles.push_back(entry);
    }
  }
  std::string map(kCMapHead);
  AppendCMapBlocks(map, singles, false);
  AppendCMapBlocks(map, ranges, true);
  map += kCMapTail;
  return map;
}

void TPdfEmbeddedFont::PutDescriptorMetrics(TPdfDictionary& descriptor) const {
  hb_face_t* face = hbFace_.get();
  auto scaled = [this](std::int32_t units) {
    return static_cast<std::int32_t>(std::lround(units * 1000.0 / unitsPerEm_));
  };
  constexpr hb_tag_t kHead = HB_TAG('h', 'e', 'a', 'd');
  constexpr hb_tag_t kPost = HB_TAG('p', 'o', 's', 't');
  float italicAngle = hb_style_get_value(hbFont_.get(), HB_STYLE_TAG_SLANT_ANGLE);
  bool fixedPitch = ReadBigEndian(face, kPost, 12, 4) != 0;
  std::int32_t flags = kSymbolicFlag | (fixedPitch ? kFixedPitchFlag : 0) | (italicAngle != 0 ? kItalicFlag : 0);
  hb_position_t capHeight = 0;
  bool hasCapHeight = hb_ot_metrics_get_position(hbFont_.get(), HB_OT_METRICS_TAG_CAP_HEIGHT, &capHeight);
  float weight = hb_style_get_value(hbFont_.get(), HB_STYLE_TAG_WEIGHT);
  // Fonts do not store a stem width; this is the usual estimate from the weight class.
  auto stemV = static_cast<std::int32_t>(std::lround(50 + std::pow(weight / 65.0, 2)));

  descriptor.PutNumber(u"Flags", flags);
  descriptor.Put(u"FontBBox", TPdfArray::CreateNumberArray(
                                  &Xref(), {scaled(ReadInt16(face, kHead, 36)), scaled(ReadInt16(face, kHead, 38)),
                                            scaled(ReadInt16(face, kHead, 40)), scaled(ReadInt16(face, kHead, 42))}));
  descriptor.PutNumber(u"Ascent", static_cast<std::int32_t>(std::lround(ascent_)));
  descriptor.PutNumber(u"Descent", static_cast<std::int32_t>(-std::lround(descent_)));
  descriptor.PutNumber(u"CapHeight",
                       static_cast<std::int32_t>(std::lround(hasCapHeight ? Thousandths(capHeight) : ascent_)));
  descriptor.Put(u"ItalicAngle", std::make_unique<TPdfReal>(std::round(italicAngle * 100) / 100));
  descriptor.PutNumber(u"StemV", stemV);
}

void TPdfEmbeddedFont::Finish(TPdfCompressionMethod method) {
  std::u16string baseFont = u"";
  for (char c : SubsetTag()) baseFont.push_back(static_cast<char16_t>(c));
  baseFont += u"+" + PostScriptName();
  Dictionary().PutName(u"BaseFont", baseFont);
  descendant_->PutName(u"BaseFont", baseFont);
  descriptor_->PutName(u"FontName", baseFont);
  descendant_->Put(u"W", WidthArray());

  fontFile_->Data() = SubsetProgram();
  if (!cff_) fontFile_->Dictionary().PutNumber(u"Length1", static_cast<std::int32_t>(fontFile_->Data().size()));
  toUnicode_->Data() = ToUnicodeMap();
  const bool deflated = method == cmFlateDecode;
  fontFile_->SetDeflated(deflated);
  toUnicode_->SetDeflated(deflated);
}

}  // namespace varnolt
