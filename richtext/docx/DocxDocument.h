#pragma once
// What the stories of one .docx share while it is read: the package and its
// relationships, the styles and numbering, the notes, and the RTF tables.
#include <map>
#include <memory>
#include <string>

#include "platform/ZipPackage.h"
#include "richtext/docx/DocxRtf.h"
#include "richtext/docx/DocxStyles.h"

namespace varnolt {

class XmlStream;

struct TDocxRelationship {
  std::string Type;    // the last segment of the type: image, hyperlink, footnotes, ...
  std::string Target;  // a part name, or the address of an external target
  bool External = false;
};
using TDocxRelationships = std::map<std::string, TDocxRelationship>;

class TDocxDocument {
 public:
  explicit TDocxDocument(ZipPackage& package) : package_(package) {}
  std::string Translate();

  // --- for the stories ---
  ZipPackage& Package() { return package_; }
  const TDocxStyles& Styles() const { return styles_; }
  const TDocxNumbering& Numbering() const { return numbering_; }
  TDocxRtfTables& Tables() { return tables_; }
  // The RTF of a foot- or endnote's text; nothing when there is none.
  const std::string* Note(bool endnote, const std::string& id) const;
  // The relationships of a part (its .rels file); empty when it has none.
  TDocxRelationships Relationships(const std::string& part);
  // Reads a part as XML with every error naming the package and the part.
  std::unique_ptr<XmlStream> OpenXml(const std::string& part, std::string& bytes);

 private:
  std::string MainPart();
  void ReadSharedParts(const TDocxRelationships& rels);
  void ReadNotes(const std::string& part, bool endnote);
  // The page setup, headers and footers of the body's last section.
  std::string SectionRtf(XmlStream& xml, const TDocxRelationships& rels);
  std::string StoryRtf(const std::string& part);

  ZipPackage& package_;
  TDocxStyles styles_;
  TDocxNumbering numbering_;
  TDocxRtfTables tables_;
  std::map<std::string, std::string> footnotes_;
  std::map<std::string, std::string> endnotes_;
};

// The part a relationship's target names, from the part that holds it.
std::string ResolvePartName(const std::string& fromPart, const std::string& target);

}  // namespace varnolt
