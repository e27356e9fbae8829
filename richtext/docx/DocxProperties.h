#pragma once
// Run and paragraph properties of a Word document as its XML gives them:
// each field is set only where a style, a default or the text itself says
// something, so that layers merge by overriding what they set.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace varnolt {

class XmlStream;

struct TDocxBorder {
  std::string Kind;  // single, double, dotted, ..., none
  std::int32_t Eighths = 4;  // width in eighths of a point
  std::string Color;  // RRGGBB or auto
  std::int32_t SpacePoints = 0;
};

struct TDocxRunProps {
  std::optional<bool> Bold, Italic, Strike, DoubleStrike, Caps, SmallCaps, Hidden, Rtl;
  std::optional<std::string> Underline;  // single, double, dotted, none, ...
  std::optional<std::string> Font, EastAsiaFont, ComplexFont;
  std::optional<std::string> FontTheme, EastAsiaTheme;  // minorHAnsi, majorEastAsia, ...
  std::optional<std::string> Hint;  // eastAsia when the text's own font is the East Asian one
  std::optional<std::int32_t> HalfPoints, ComplexHalfPoints;
  std::optional<std::string> Color, Highlight, Shading, VertAlign;
  std::optional<std::int32_t> SpacingTwips, ScalePercent;
  std::optional<std::string> StyleId;

  void Merge(const TDocxRunProps& over);
};

struct TDocxTab {
  std::string Kind;    // left, center, right, decimal, bar, clear
  std::string Leader;  // none, dot, hyphen, underscore, heavy, middleDot
  std::int32_t Position = 0;
};

struct TDocxParaProps {
  std::optional<std::string> Align;
  std::optional<std::int32_t> Left, Right, FirstLine;  // twips; FirstLine negative for a hanging indent
  std::optional<std::int32_t> Before, After, Line;
  std::optional<std::string> LineRule;  // auto, exact, atLeast
  std::optional<bool> KeepNext, KeepLines, PageBreakBefore, Bidi;
  std::optional<TDocxBorder> Borders[4];  // left, top, right, bottom
  std::optional<std::string> Shading;
  std::vector<TDocxTab> Tabs;
  std::optional<std::int32_t> NumId, Level;
  std::optional<std::string> StyleId;

  void Merge(const TDocxParaProps& over);
};

// On the start of a w:rPr / w:pPr: reads it to its end.
TDocxRunProps ReadRunProps(XmlStream& xml);
// A paragraph's own run properties (of its mark) are skipped.
TDocxParaProps ReadParaProps(XmlStream& xml);
// On a border element (w:top, w:left, ...).
TDocxBorder ReadBorder(XmlStream& xml);
// A w:shd's fill, when it is a colour.
std::optional<std::string> ShadingFill(const XmlStream& xml);
// An on/off property: absent value, "1", "true", "on" are on.
bool OnOff(const XmlStream& xml);
// A number attribute; nothing when absent or not a number.
std::optional<std::int32_t> IntAttribute(const XmlStream& xml, std::string_view name);

}  // namespace varnolt
