#pragma once
// One story of a .docx (the body, a header, a note, a cell, a text box) read
// into RTF: paragraphs with their runs, fields, links, bookmarks, notes,
// pictures, text boxes and tables.
// DocxStory.cpp: blocks, paragraphs, runs, fields.
// DocxStoryTables.cpp: tables.
// DocxStoryObjects.cpp: pictures and text boxes.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "richtext/docx/DocxDocument.h"

namespace varnolt {

class TDocxStory {
 public:
  TDocxStory(TDocxDocument& document, const TDocxRelationships& rels, int tableDepth = 0);

  // On an element holding blocks (w:body, w:hdr, w:footnote, w:tc,
  // w:txbxContent): reads them to its end.
  void Blocks(XmlStream& xml);
  // The RTF so far; with dropLastParagraphEnd the final \par goes (notes,
  // headers: the text ends with its last paragraph).
  std::string TakeRtf(bool dropLastParagraphEnd);
  // Called with a section's properties met among the blocks.
  std::function<void(XmlStream&)> OnSection;

 private:
  struct TField {
    std::string Instruction;
    bool InResult = false;
    bool Opened = false;  // its RTF field group is open
  };

  // DocxStory.cpp
  void Paragraph(XmlStream& xml);
  std::string ParagraphRtf(const TDocxParaProps& props);
  void Inline(XmlStream& xml, const std::string& paraStyle);
  void Run(XmlStream& xml, const std::string& paraStyle);
  void RunContent(XmlStream& xml);
  void Text(std::string_view utf8);
  void Control(std::string_view rtf);
  void FlushText();
  std::string RunRtf(const TDocxRunProps& props);
  void Hyperlink(XmlStream& xml, const std::string& paraStyle);
  void SimpleField(XmlStream& xml, const std::string& paraStyle);
  void FieldChar(std::string_view kind);
  bool ShowsResult() const;
  bool LinkOpen() const;
  void OpenFieldGroup(const std::string& instruction);
  void CloseOpenFields();
  void NoteReference(XmlStream& xml, bool endnote);
  void ParagraphEnd();
  void InlineChildren(XmlStream& xml, const std::string& paraStyle);
  int openLinks_ = 0;
  int ignoredFields_ = 0;  // fields past the nesting limit, counted only

  // DocxStoryTables.cpp
  void Table(XmlStream& xml);

  // DocxStoryObjects.cpp
  // On a w:drawing, w:pict or w:object.
  void Drawing(XmlStream& xml);
  void Picture(const std::string& relationshipId, std::int64_t widthTwips, std::int64_t heightTwips);
  void TextBox(XmlStream& xml);

  TDocxDocument& document_;
  const TDocxRelationships& rels_;
  int tableDepth_;
  std::string rtf_;
  std::string* out_ = &rtf_;  // the story, or the cell being read
  std::string boxes_;         // text boxes of the paragraph, put after it
  // The text of the run being read, waiting for its font (which depends on
  // the script of the text).
  std::string pendingText_;
  TDocxRunProps runProps_;
  bool pendingEastAsian_ = false;
  bool pendingComplex_ = false;
  std::vector<TField> fields_;
};

}  // namespace varnolt
