#include "richtext/sheet/PackageRelations.h"

#include "platform/XmlStream.h"
#include "platform/ZipPackage.h"

namespace varnolt {

namespace {

std::string FolderOf(std::string_view part) {
  const size_t slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

std::string RelationsPartOf(std::string_view part) {
  const size_t slash = part.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? part : part.substr(slash + 1);
  return FolderOf(part) + "_rels/" + std::string(name) + ".rels";
}

// target relative to the folder of part, with . and .. folded away.
std::string ResolvedTarget(std::string_view part, std::string_view target) {
  std::string path = target.starts_with('/') ? std::string(target.substr(1)) : FolderOf(part) + std::string(target);
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
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

}  // namespace

std::vector<TRelation> ReadRelations(ZipPackage& package, std::string_view part) {
  const std::string relationsPart = part.empty() ? "_rels/.rels" : RelationsPartOf(part);
  const auto bytes = package.TryReadPart(relationsPart);
  std::vector<TRelation> relations;
  if (!bytes) return relations;
  XmlStream xml(*bytes, package.FileName(), relationsPart);
  while (xml.Next() != XmlToken::kEnd) {
    if (!xml.IsStart("Relationship")) continue;
    const bool external = xml.Attribute("TargetMode").value_or("") == "External";
    const std::string_view target = xml.Attribute("Target").value_or("");
    relations.push_back({std::string(xml.Attribute("Id").value_or("")), std::string(xml.Attribute("Type").value_or("")),
                         external ? std::string() : ResolvedTarget(part, target)});
  }
  return relations;
}

std::optional<std::string> TargetOfId(const std::vector<TRelation>& relations, std::string_view id) {
  for (const auto& relation : relations) {
    if (relation.id == id && !relation.target.empty()) return relation.target;
  }
  return std::nullopt;
}

std::optional<std::string> TargetOfType(const std::vector<TRelation>& relations, std::string_view typeSuffix) {
  for (const auto& relation : relations) {
    if (relation.type.ends_with(typeSuffix) && !relation.target.empty()) return relation.target;
  }
  return std::nullopt;
}

std::string OfficeDocumentPart(ZipPackage& package, std::string_view fallback) {
  return TargetOfType(ReadRelations(package, ""), "/officeDocument").value_or(std::string(fallback));
}

}  // namespace varnolt
