#include "richtext/docx/DocxDocument.h"

#include "platform/XmlStream.h"
#include "richtext/docx/DocxReader.h"
#include "richtext/docx/DocxStory.h"

namespace varnolt {

namespace {

std::string FolderOf(const std::string& part) {
  const auto slash = part.rfind('/');
  return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string RelationshipsPartOf(const std::string& part) {
  const auto slash = part.rfind('/');
  const std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
  return FolderOf(part) + "_rels/" + name + ".rels";
}

// The first relationship of a type; empty when there is none.
std::string TargetOfType(const TDocxRelationships& rels, std::string_view type) {
  for (const auto& [id, rel] : rels) {
    if (rel.Type == type && !rel.External) return rel.Target;
  }
  return {};
}

std::string Twips(std::string_view keyword, std::int32_t value) {
  return "\\" + std::string(keyword) + std::to_string(value);
}

}  // namespace

std::string ResolvePartName(const std::string& fromPart, const std::string& target) {
  std::string path = target.starts_with('/') ? target.substr(1) : FolderOf(fromPart) + target;
  std::vector<std::string> segments;
  std::size_t start = 0;
  while (start <= path.size()) {
    auto end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string segment = path.substr(start, end - start);
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  std::string resolved;
  for (const auto& segment : segments) resolved += (resolved.empty() ? "" : "/") + segment;
  return resolved;
}

std::unique_ptr<XmlStream> TDocxDocument::OpenXml(const std::string& part, std::string& bytes) {
  bytes = package_.ReadPart(part);
  return std::make_unique<XmlStream>(bytes, package_.FileName(), part);
}

TDocxRelationships TDocxDocument::Relationships(const std::string& part) {
  TDocxRelationships rels;
  const std::string relsPart = RelationshipsPartOf(part);
  if (!package_.HasPart(relsPart)) return rels;
  std::string bytes;
  auto xml = OpenXml(relsPart, bytes);
  while (xml->Next() != XmlToken::kEnd) {
    if (!xml->IsStart("Relationship")) continue;
    TDocxRelationship rel;
    const std::string_view type = xml->Attribute("Type").value_or("");
    rel.Type = std::string(type.substr(type.rfind('/') == std::string_view::npos ? 0 : type.rfind('/') + 1));
    rel.External = xml->Attribute("TargetMode").value_or("") == "External";
    const std::string target(xml->Attribute("Target").value_or(""));
    rel.Target = rel.External ? target : ResolvePartName(part, target);
    rels.try_emplace(std::string(xml->Attribute("Id").value_or("")), std::move(rel));
  }
  return rels;
}

std::string TDocxDocument::MainPart() {
  const std::string main = TargetOfType(Relationships(""), "officeDocument");
  if (!main.empty() && package_.HasPart(main)) return main;
  if (package_.HasPart("word/document.xml")) return "word/document.xml";
  throw EPackageError(package_.FileName(), "", "it holds no Word document (no main document part)");
}

void TDocxDocument::ReadSharedParts(const TDocxRelationships& rels) {
  std::string bytes;
  if (const auto theme = TargetOfType(rels, "theme"); !theme.empty() && package_.HasPart(theme)) {
    styles_.ReadTheme(*OpenXml(theme, bytes));
  }
  if (const auto styles = TargetOfType(rels, "styles"); !styles.empty() && package_.HasPart(styles)) {
    styles_.Read(*OpenXml(styles, bytes));
  }
  if (const auto numbering = TargetOfType(rels, "numbering"); !numbering.empty() && package_.HasPart(numbering)) {
    numbering_.Read(*OpenXml(numbering, bytes));
  }
  if (const auto notes = TargetOfType(rels, "footnotes"); !notes.empty() && package_.HasPart(notes)) {
    ReadNotes(notes, false);
  }
  if (const auto notes = TargetOfType(rels, "endnotes"); !notes.empty() && package_.HasPart(notes)) {
    ReadNotes(notes, true);
  }
}

void TDocxDocument::ReadNotes(const std::string& part, bool endnote) {
  const TDocxRelationships rels = Relationships(part);
  std::string bytes;
  auto xml = OpenXml(part, bytes);
  auto& notes = endnote ? endnotes_ : footnotes_;
  while (xml->Next() != XmlToken::kEnd) {
    if (!xml->IsStart("footnote") && !xml->IsStart("endnote")) continue;
    const std::string id(xml->Attribute("id").value_or(""));
    // Separators are the line above the notes, not a note.
    if (xml->Attribute("type").value_or("normal") != "normal") {
      xml->Skip();
      continue;
    }
    TDocxStory story(*this, rels);
    story.Blocks(*xml);
    notes.insert_or_assign(id, story.TakeRtf(true));
  }
}

const std::string* TDocxDocument::Note(bool endnote, const std::string& id) const {
  const auto& notes = endnote ? endnotes_ : footnotes_;
  const auto found = notes.find(id);
  return found == notes.end() ? nullptr : &found->second;
}

std::string TDocxDocument::StoryRtf(const std::string& part) {
  if (!package_.HasPart(part)) return {};
  const TDocxRelationships rels = Relationships(part);
  std::string bytes;
  auto xml = OpenXml(part, bytes);
  while (xml->Next() != XmlToken::kEnd) {
    if (xml->Token() != XmlToken::kStartElement) continue;
    TDocxStory story(*this, rels);
    story.Blocks(*xml);
    return story.TakeRtf(true);
  }
  return {};
}

std::string TDocxDocument::SectionRtf(XmlStream& xml, const TDocxRelationships& rels) {
  std::string page;
  std::string section = "\\sectd";
  std::string stories;
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.Token() != XmlToken::kStartElement) continue;
    const std::string_view name = xml.LocalName();
    if (name == "pgSz") {
      if (auto width = IntAttribute(xml, "w")) page += Twips("paperw", std::abs(*width));
      if (auto height = IntAttribute(xml, "h")) page += Twips("paperh", std::abs(*height));
      if (xml.Attribute("orient").value_or("") == "landscape") page += "\\landscape";
    } else if (name == "pgMar") {
      static constexpr std::pair<std::string_view, std::string_view> kMargins[] = {
          {"left", "margl"}, {"right", "margr"}, {"top", "margt"}, {"bottom", "margb"}};
      for (const auto& [attribute, keyword] : kMargins) {
        if (auto value = IntAttribute(xml, attribute)) page += Twips(keyword, std::abs(*value));
      }
      if (auto header = IntAttribute(xml, "header")) section += Twips("headery", std::abs(*header));
      if (auto footer = IntAttribute(xml, "footer")) section += Twips("footery", std::abs(*footer));
    } else if (name == "cols") {
      if (auto count = IntAttribute(xml, "num"); count && *count > 1) section += Twips("cols", std::min(*count, 20));
    } else if (name == "titlePg" && OnOff(xml)) {
      section += "\\titlepg";
    } else if (name == "headerReference" || name == "footerReference") {
      const std::string type(xml.Attribute("type").value_or("default"));
      const auto rel = rels.find(std::string(xml.Attribute("id").value_or("")));
      if (rel != rels.end() && !rel->second.External) {
        std::string destination = name == "headerReference" ? "header" : "footer";
        if (type == "first") destination += "f";
        if (type == "even") destination += "l";
        stories += "{\\" + destination + "\\pard\\plain " + StoryRtf(rel->second.Target) + "}\n";
      }
    }
    xml.Skip();
  }
  return page + section + "\n" + stories;
}

std::string TDocxDocument::Translate() {
  const std::string main = MainPart();
  const TDocxRelationships rels = Relationships(main);
  ReadSharedParts(rels);
  std::string bytes;
  auto xml = OpenXml(main, bytes);
  if (xml->Next() != XmlToken::kStartElement || xml->LocalName() != "document") {
    throw EPackageError(package_.FileName(), main, "the main part is no Word document");
  }
  std::string section;
  std::string body;
  while (xml->Next() != XmlToken::kEnd) {
    if (!xml->IsStart("body")) continue;
    TDocxStory story(*this, rels);
    story.OnSection = [&](XmlStream& sectionXml) { section = SectionRtf(sectionXml, rels); };
    story.Blocks(*xml);
    body = story.TakeRtf(false);
  }
  return "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0" + tables_.Header() + "\n" + section + body + "}";
}

std::string DocxToRtf(ZipPackage& package) { return TDocxDocument(package).Translate(); }

std::string DocxToRtf(const std::filesystem::path& file) {
  ZipPackage package(file);
  return DocxToRtf(package);
}

}  // namespace varnolt
