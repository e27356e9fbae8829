#pragma once
// The relationships of a package part (its _rels/NAME.rels): which part an
// id or a kind of link leads to, as part names inside the package.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnolt {

class ZipPackage;

inline constexpr std::string_view kRelationshipsNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

struct TRelation {
  std::string id;
  std::string type;
  std::string target;  // a part name; empty for an external link
};

// Nothing when the part has no relationships; throws EXmlError when they
// cannot be read.
std::vector<TRelation> ReadRelations(ZipPackage& package, std::string_view part);

std::optional<std::string> TargetOfId(const std::vector<TRelation>& relations, std::string_view id);
// The first relation whose type ends with typeSuffix.
std::optional<std::string> TargetOfType(const std::vector<TRelation>& relations, std::string_view typeSuffix);

// The package's main document, as its own relationships name it; fallback
// when they do not.
std::string OfficeDocumentPart(ZipPackage& package, std::string_view fallback);

}  // namespace varnolt
