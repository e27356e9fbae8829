#pragma once
// A Word document's style sheet, defaults and numbering, resolved so that a
// paragraph or run asks once for what is in force: the defaults, then the
// style and each style it is based on, then its own properties.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "richtext/docx/DocxProperties.h"

namespace varnolt {

class XmlStream;

struct TDocxTableLook {
  std::optional<TDocxBorder> Borders[6];  // left, top, right, bottom, inside horizontal, inside vertical
};

struct TDocxStyle {
  std::string Type;  // paragraph, character, table, numbering
  std::string BasedOn;
  TDocxParaProps Para;
  TDocxRunProps Run;
  TDocxTableLook Table;
};

// On a w:tblBorders or w:tcBorders: reads the borders it gives.
void ReadTableBorders(XmlStream& xml, std::optional<TDocxBorder> (&borders)[6]);

class TDocxStyles {
 public:
  // Reads word/styles.xml.
  void Read(XmlStream& xml);
  // The theme's minor and major Latin and East Asian fonts (word/theme/theme1.xml).
  void ReadTheme(XmlStream& xml);

  // The paragraph properties in force for a paragraph's own ones (its style
  // included); numbering levels are the caller's to add.
  TDocxParaProps ParagraphProps(const TDocxParaProps& own) const;
  // The run properties in force for a run of a paragraph of paraStyle.
  TDocxRunProps RunProps(const std::string& paraStyle, const TDocxRunProps& own) const;
  // The table style's borders, through its bases.
  TDocxTableLook TableLook(const std::string& styleId) const;
  // The font a theme name stands for; empty when unknown.
  std::string ThemeFont(const std::string& theme) const;
  // The paragraph style a paragraph without one has.
  const std::string& DefaultParagraphStyle() const { return defaultParagraph_; }

 private:
  // The chain from the style up to its root base, root first; bounded.
  std::vector<const TDocxStyle*> Chain(const std::string& id) const;

  std::map<std::string, TDocxStyle> styles_;
  TDocxRunProps defaultRun_;
  TDocxParaProps defaultPara_;
  std::string defaultParagraph_;
  std::string defaultCharacter_;
  std::map<std::string, std::string> themeFonts_;  // minor/major + Latin/EastAsian
};

struct TDocxLevel {
  std::string Format = "decimal";  // numFmt
  std::string Text = "%1.";        // lvlText
  std::int32_t Start = 1;
  std::string Align = "left";
  std::string Follow = "tab";  // suff
  TDocxParaProps Para;
  TDocxRunProps Run;
};

// numbering.xml: abstract numberings, and the numberings that refer to
// them with their overrides.
class TDocxNumbering {
 public:
  static constexpr int kLevels = 9;
  void Read(XmlStream& xml);
  // The levels of a numbering with its overrides applied; nothing when it
  // does not exist (or numId 0, which means no numbering).
  const std::vector<TDocxLevel>* Levels(std::int32_t numId) const;
  // Every usable numbering id, in order.
  std::vector<std::int32_t> Ids() const;

 private:
  std::map<std::int32_t, std::vector<TDocxLevel>> abstract_;
  std::map<std::int32_t, std::vector<TDocxLevel>> numbering_;
};

}  // namespace varnolt
