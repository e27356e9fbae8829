#include "richtext/docx/DocxStyles.h"

#include "platform/XmlStream.h"

namespace varnolt {

namespace {

// Deeper chains of bases are loops or damage.
constexpr int kMaxStyleChain = 32;
// More numberings than this are hostile; the rest go unnumbered.
constexpr std::size_t kMaxNumberings = 4096;

int TableSideOf(std::string_view name) {
  static constexpr std::string_view kSides[] = {"left", "top", "right", "bottom", "insideH", "insideV"};
  for (int i = 0; i < 6; ++i) {
    if (name == kSides[i]) return i;
  }
  if (name == "start") return 0;
  if (name == "end") return 2;
  return -1;
}

void ReadDocDefaults(XmlStream& xml, TDocxRunProps& run, TDocxParaProps& para) {
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.IsStart("rPr")) run = ReadRunProps(xml);
    else if (xml.IsStart("pPr")) para = ReadParaProps(xml);
  }
}

}  // namespace

// Reads the borders of a w:tblBorders or w:tcBorders element.
void ReadTableBorders(XmlStream& xml, std::optional<TDocxBorder> (&borders)[6]) {
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.Token() != XmlToken::kStartElement) continue;
    const int side = TableSideOf(xml.LocalName());
    if (side >= 0) {
      borders[side] = ReadBorder(xml);
    } else {
      xml.Skip();
    }
  }
}

void TDocxStyles::Read(XmlStream& xml) {
  while (xml.Next() != XmlToken::kEnd) {
    if (xml.IsStart("docDefaults")) {
      ReadDocDefaults(xml, defaultRun_, defaultPara_);
      continue;
    }
    if (!xml.IsStart("style")) continue;
    TDocxStyle style;
    style.Type = xml.Attribute("type").value_or("paragraph");
    const std::string id(xml.Attribute("styleId").value_or(""));
    const std::string_view defaultFlag = xml.Attribute("default").value_or("0");
    const bool isDefault = defaultFlag == "1" || defaultFlag == "true" || defaultFlag == "on";
    if (isDefault && style.Type == "paragraph") defaultParagraph_ = id;
    if (isDefault && style.Type == "character") defaultCharacter_ = id;
    const int depth = xml.Depth();
    while (xml.NextInside(depth)) {
      if (xml.IsStart("basedOn")) {
        style.BasedOn = xml.Attribute("val").value_or("");
      } else if (xml.IsStart("pPr")) {
        style.Para = ReadParaProps(xml);
      } else if (xml.IsStart("rPr")) {
        style.Run = ReadRunProps(xml);
      } else if (xml.IsStart("tblBorders")) {
        ReadTableBorders(xml, style.Table.Borders);
      } else if (xml.IsStart("tblStylePr")) {
        xml.Skip();  // conditional looks of table parts
      }
    }
    styles_.try_emplace(id, std::move(style));
  }
}

void TDocxStyles::ReadTheme(XmlStream& xml) {
  std::string group;  // minor or major
  while (xml.Next() != XmlToken::kEnd) {
    if (xml.IsStart("minorFont")) group = "minor";
    if (xml.IsStart("majorFont")) group = "major";
    if (group.empty() || xml.Token() != XmlToken::kStartElement) continue;
    const std::string typeface(xml.Attribute("typeface").value_or(""));
    if (typeface.empty()) continue;
    if (xml.LocalName() == "latin") themeFonts_.try_emplace(group + "HAnsi", typeface);
    if (xml.LocalName() == "ea") themeFonts_.try_emplace(group + "EastAsia", typeface);
  }
}

std::string TDocxStyles::ThemeFont(const std::string& theme) const {
  std::string key = theme.starts_with("major") ? "major" : "minor";
  key += theme.ends_with("EastAsia") ? "EastAsia" : "HAnsi";
  const auto found = themeFonts_.find(key);
  return found == themeFonts_.end() ? std::string() : found->second;
}

std::vector<const TDocxStyle*> TDocxStyles::Chain(const std::string& id) const {
  std::vector<const TDocxStyle*> chain;
  std::string next = id;
  while (!next.empty() && chain.size() < kMaxStyleChain) {
    const auto found = styles_.find(next);
    if (found == styles_.end()) break;
    chain.insert(chain.begin(), &found->second);
    next = found->second.BasedOn;
  }
  return chain;
}

TDocxParaProps TDocxStyles::ParagraphProps(const TDocxParaProps& own) const {
  TDocxParaProps props = defaultPara_;
  for (const auto* style : Chain(own.StyleId.value_or(defaultParagraph_))) props.Merge(style->Para);
  props.Merge(own);
  return props;
}

TDocxRunProps TDocxStyles::RunProps(const std::string& paraStyle, const TDocxRunProps& own) const {
  TDocxRunProps props = defaultRun_;
  for (const auto* style : Chain(paraStyle.empty() ? defaultParagraph_ : paraStyle)) props.Merge(style->Run);
  for (const auto* style : Chain(own.StyleId.value_or(defaultCharacter_))) props.Merge(style->Run);
  props.Merge(own);
  return props;
}

TDocxTableLook TDocxStyles::TableLook(const std::string& styleId) const {
  TDocxTableLook look;
  for (const auto* style : Chain(styleId)) {
    for (int side = 0; side < 6; ++side) {
      if (style->Table.Borders[side]) look.Borders[side] = style->Table.Borders[side];
    }
  }
  return look;
}

namespace {

// On a w:lvl: reads its contents into level.
void ReadLevel(XmlStream& xml, TDocxLevel& level) {
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.Token() != XmlToken::kStartElement) continue;
    const std::string_view name = xml.LocalName();
    if (name == "pPr") {
      level.Para = ReadParaProps(xml);
      continue;
    }
    if (name == "rPr") {
      level.Run = ReadRunProps(xml);
      continue;
    }
    if (name == "start") level.Start = IntAttribute(xml, "val").value_or(1);
    else if (name == "numFmt") level.Format = xml.Attribute("val").value_or("decimal");
    else if (name == "lvlText") level.Text = xml.Attribute("val").value_or("");
    else if (name == "lvlJc") level.Align = xml.Attribute("val").value_or("left");
    else if (name == "suff") level.Follow = xml.Attribute("val").value_or("tab");
    xml.Skip();
  }
}

// The level a w:lvl or w:lvlOverride is about; nothing when out of range.
TDocxLevel* LevelOf(const XmlStream& xml, std::vector<TDocxLevel>& levels) {
  const auto index = IntAttribute(xml, "ilvl");
  if (!index || *index < 0 || static_cast<std::size_t>(*index) >= levels.size()) return nullptr;
  return &levels[static_cast<std::size_t>(*index)];
}

// On a w:lvlOverride: a new start, or a whole new level.
void ReadOverride(XmlStream& xml, std::vector<TDocxLevel>& levels) {
  TDocxLevel* level = LevelOf(xml, levels);
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (!level || xml.Token() != XmlToken::kStartElement) continue;
    if (xml.IsStart("startOverride")) {
      level->Start = IntAttribute(xml, "val").value_or(1);
      xml.Skip();
    } else if (xml.IsStart("lvl")) {
      ReadLevel(xml, *level);
    }
  }
}

}  // namespace

void TDocxNumbering::Read(XmlStream& xml) {
  while (xml.Next() != XmlToken::kEnd) {
    if (abstract_.size() + numbering_.size() >= kMaxNumberings) break;
    if (xml.IsStart("abstractNum")) {
      const auto id = IntAttribute(xml, "abstractNumId");
      std::vector<TDocxLevel> levels(kLevels);
      const int depth = xml.Depth();
      while (xml.NextInside(depth)) {
        if (!xml.IsStart("lvl")) continue;
        if (TDocxLevel* level = LevelOf(xml, levels)) {
          ReadLevel(xml, *level);
        } else {
          xml.Skip();
        }
      }
      if (id) abstract_.insert_or_assign(*id, std::move(levels));
    } else if (xml.IsStart("num")) {
      const auto id = IntAttribute(xml, "numId");
      const int depth = xml.Depth();
      std::vector<TDocxLevel> levels(kLevels);
      bool found = false;
      // The abstract numbering comes first; the overrides change it.
      while (xml.NextInside(depth)) {
        if (xml.IsStart("abstractNumId")) {
          const auto abstract = abstract_.find(IntAttribute(xml, "val").value_or(-1));
          if (abstract != abstract_.end()) {
            levels = abstract->second;
            found = true;
          }
          xml.Skip();
        } else if (xml.IsStart("lvlOverride")) {
          ReadOverride(xml, levels);
        }
      }
      if (id && *id != 0 && found) numbering_.insert_or_assign(*id, std::move(levels));
    }
  }
}

const std::vector<TDocxLevel>* TDocxNumbering::Levels(std::int32_t numId) const {
  const auto found = numbering_.find(numId);
  return found == numbering_.end() ? nullptr : &found->second;
}

std::vector<std::int32_t> TDocxNumbering::Ids() const {
  std::vector<std::int32_t> ids;
  for (const auto& [id, levels] : numbering_) ids.push_back(id);
  return ids;
}

}  // namespace varnolt
