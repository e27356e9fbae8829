// DocxStory: pictures (DrawingML and VML) and text boxes, whose text
// follows the paragraph they are anchored in.
#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/XmlStream.h"
#include "richtext/docx/DocxStory.h"

namespace varnolt {

namespace {

constexpr std::int64_t kEmuPerTwip = 635;
// Pictures larger than this are left out rather than spelled out in hex.
constexpr std::size_t kMaxPictureBytes = std::size_t{64} << 20;

// The RTF picture kind of the bytes; nothing for kinds our import cannot show.
const char* PictureKeyword(std::string_view bytes) {
  if (bytes.starts_with("\x89PNG")) return "\\pngblip";
  if (bytes.starts_with("\xFF\xD8\xFF")) return "\\jpegblip";
  if (bytes.size() > 44 && bytes.starts_with(std::string_view("\x01\0\0\0", 4)) && bytes.substr(40, 4) == " EMF") {
    return "\\emfblip";
  }
  if (bytes.starts_with("\xD7\xCD\xC6\x9A") || bytes.starts_with(std::string_view("\x01\0\x09\0", 4))) {
    return "\\wmetafile8";
  }
  return nullptr;
}

// A length of a VML style ("72pt", "1in", "2.5cm", "96px") in twips.
std::int64_t StyleLengthTwips(std::string_view style, std::string_view property) {
  for (std::size_t at = style.find(property); at != std::string_view::npos; at = style.find(property, at + 1)) {
    if (at > 0 && style[at - 1] != ';' && style[at - 1] != ' ') continue;
    std::size_t value = at + property.size();
    while (value < style.size() && style[value] == ' ') ++value;
    if (value >= style.size() || style[value] != ':') continue;
    ++value;
    double number = 0;
    const auto result = std::from_chars(style.data() + value, style.data() + style.size(), number);
    if (result.ec != std::errc() || !std::isfinite(number)) return 0;
    const std::string_view unit(result.ptr, static_cast<std::size_t>(style.data() + style.size() - result.ptr));
    double twips = number * 20;  // points
    if (unit.starts_with("in")) twips = number * 1440;
    if (unit.starts_with("cm")) twips = number * 1440 / 2.54;
    if (unit.starts_with("mm")) twips = number * 144 / 2.54;
    if (unit.starts_with("px")) twips = number * 15;
    return static_cast<std::int64_t>(std::clamp(twips, 0.0, 1e7));
  }
  return 0;
}

}  // namespace

void TDocxStory::Drawing(XmlStream& xml) {
  // DrawingML gives the size as an extent and the picture as a blip; VML
  // as the shape's style and its image data. Both may hold a text box.
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::string picture;
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.Token() != XmlToken::kStartElement) continue;
    if (xml.IsStart("extent") && width == 0) {
      width = std::clamp<std::int64_t>(IntAttribute(xml, "cx").value_or(0), 0, 1'000'000'000) / kEmuPerTwip;
      height = std::clamp<std::int64_t>(IntAttribute(xml, "cy").value_or(0), 0, 1'000'000'000) / kEmuPerTwip;
    } else if (const auto style = xml.Attribute("style"); style && width == 0) {
      width = StyleLengthTwips(*style, "width");
      height = StyleLengthTwips(*style, "height");
    }
    if ((xml.IsStart("blip") || xml.IsStart("imagedata")) && picture.empty()) {
      picture = xml.Attribute("embed").value_or(xml.Attribute("id").value_or(""));
    } else if (xml.IsStart("txbxContent")) {
      TextBox(xml);
    } else if (xml.IsStart("Fallback")) {
      xml.Skip();
    }
  }
  if (!picture.empty()) Picture(picture, width, height);
}

void TDocxStory::TextBox(XmlStream& xml) {
  TDocxStory box(document_, rels_, tableDepth_);
  box.Blocks(xml);
  boxes_ += box.TakeRtf(false);
}

void TDocxStory::Picture(const std::string& relationshipId, std::int64_t widthTwips, std::int64_t heightTwips) {
  if (!ShowsResult()) return;
  const auto rel = rels_.find(relationshipId);
  if (rel == rels_.end() || rel->second.External) return;
  const auto bytes = document_.Package().TryReadPart(rel->second.Target);
  if (!bytes || bytes->size() > kMaxPictureBytes) return;
  const char* kind = PictureKeyword(*bytes);
  if (!kind) return;
  FlushText();
  std::string& rtf = *out_;
  rtf += "{\\pict";
  rtf += kind;
  if (widthTwips > 0 && heightTwips > 0) {
    rtf += "\\picw" + std::to_string(widthTwips / 15) + "\\pich" + std::to_string(heightTwips / 15);
    rtf += "\\picwgoal" + std::to_string(widthTwips) + "\\pichgoal" + std::to_string(heightTwips);
  }
  rtf += '\n';
  static constexpr char kHex[] = "0123456789abcdef";
  const std::size_t start = rtf.size();
  rtf.resize(start + bytes->size() * 2);
  char* to = rtf.data() + start;
  for (const char c : *bytes) {
    const auto byte = static_cast<unsigned char>(c);
    *to++ = kHex[byte >> 4];
    *to++ = kHex[byte & 15];
  }
  rtf += '}';
}

}  // namespace varnolt
