#include "richtext/docx/DocxProperties.h"

#include <algorithm>
#include <charconv>

#include "platform/XmlStream.h"

namespace varnolt {

namespace {

// Numbers beyond this are damage, not layout (EMUs of a large picture stay below).
constexpr std::int32_t kMaxMagnitude = 100'000'000;

template <typename T>
void Take(std::optional<T>& field, const std::optional<T>& over) {
  if (over) field = over;
}

std::optional<std::string> StringAttribute(const XmlStream& xml, std::string_view name) {
  if (auto value = xml.Attribute(name)) return std::string(*value);
  return std::nullopt;
}

int SideOf(std::string_view name) {
  if (name == "left" || name == "start") return 0;
  if (name == "top") return 1;
  if (name == "right" || name == "end") return 2;
  if (name == "bottom") return 3;
  return -1;
}

void ReadFonts(const XmlStream& xml, TDocxRunProps& run) {
  if (auto ascii = StringAttribute(xml, "ascii")) {
    run.Font = ascii;
  } else if (auto hAnsi = StringAttribute(xml, "hAnsi")) {
    run.Font = hAnsi;
  }
  Take(run.EastAsiaFont, StringAttribute(xml, "eastAsia"));
  Take(run.ComplexFont, StringAttribute(xml, "cs"));
  Take(run.FontTheme, StringAttribute(xml, "asciiTheme"));
  Take(run.EastAsiaTheme, StringAttribute(xml, "eastAsiaTheme"));
  Take(run.Hint, StringAttribute(xml, "hint"));
}

void ReadTabs(XmlStream& xml, std::vector<TDocxTab>& tabs) {
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (!xml.IsStart("tab")) continue;
    TDocxTab tab;
    tab.Kind = xml.Attribute("val").value_or("left");
    tab.Leader = xml.Attribute("leader").value_or("none");
    tab.Position = IntAttribute(xml, "pos").value_or(0);
    tabs.push_back(tab);
  }
}

void ReadIndents(const XmlStream& xml, TDocxParaProps& para) {
  Take(para.Left, IntAttribute(xml, "left"));
  Take(para.Left, IntAttribute(xml, "start"));
  Take(para.Right, IntAttribute(xml, "right"));
  Take(para.Right, IntAttribute(xml, "end"));
  Take(para.FirstLine, IntAttribute(xml, "firstLine"));
  if (auto hanging = IntAttribute(xml, "hanging")) para.FirstLine = -*hanging;
}

}  // namespace

bool OnOff(const XmlStream& xml) {
  const auto value = xml.Attribute("val");
  return !value || *value == "1" || *value == "true" || *value == "on";
}

std::optional<std::int32_t> IntAttribute(const XmlStream& xml, std::string_view name) {
  const auto value = xml.Attribute(name);
  if (!value) return std::nullopt;
  std::int64_t number = 0;
  const char* begin = value->data();
  if (begin != value->data() + value->size() && *begin == '+') ++begin;
  const auto result = std::from_chars(begin, value->data() + value->size(), number);
  if (result.ec != std::errc()) return std::nullopt;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(number, -kMaxMagnitude, kMaxMagnitude));
}

std::optional<std::string> ShadingFill(const XmlStream& xml) {
  const auto fill = xml.Attribute("fill");
  if (!fill || fill->size() != 6) return std::nullopt;
  return std::string(*fill);
}

TDocxBorder ReadBorder(XmlStream& xml) {
  TDocxBorder border;
  border.Kind = xml.Attribute("val").value_or("single");
  border.Eighths = IntAttribute(xml, "sz").value_or(4);
  border.Color = xml.Attribute("color").value_or("auto");
  border.SpacePoints = IntAttribute(xml, "space").value_or(0);
  xml.Skip();
  return border;
}

void TDocxRunProps::Merge(const TDocxRunProps& over) {
  Take(Bold, over.Bold);
  Take(Italic, over.Italic);
  Take(Strike, over.Strike);
  Take(DoubleStrike, over.DoubleStrike);
  Take(Caps, over.Caps);
  Take(SmallCaps, over.SmallCaps);
  Take(Hidden, over.Hidden);
  Take(Rtl, over.Rtl);
  Take(Underline, over.Underline);
  Take(Font, over.Font);
  Take(EastAsiaFont, over.EastAsiaFont);
  Take(ComplexFont, over.ComplexFont);
  Take(FontTheme, over.FontTheme);
  Take(EastAsiaTheme, over.EastAsiaTheme);
  if (over.Font && !over.FontTheme) FontTheme.reset();
  if (over.EastAsiaFont && !over.EastAsiaTheme) EastAsiaTheme.reset();
  Take(Hint, over.Hint);
  Take(HalfPoints, over.HalfPoints);
  Take(ComplexHalfPoints, over.ComplexHalfPoints);
  Take(Color, over.Color);
  Take(Highlight, over.Highlight);
  Take(Shading, over.Shading);
  Take(VertAlign, over.VertAlign);
  Take(SpacingTwips, over.SpacingTwips);
  Take(ScalePercent, over.ScalePercent);
  Take(StyleId, over.StyleId);
}

void TDocxParaProps::Merge(const TDocxParaProps& over) {
  Take(Align, over.Align);
  Take(Left, over.Left);
  Take(Right, over.Right);
  Take(FirstLine, over.FirstLine);
  Take(Before, over.Before);
  Take(After, over.After);
  Take(Line, over.Line);
  Take(LineRule, over.LineRule);
  Take(KeepNext, over.KeepNext);
  Take(KeepLines, over.KeepLines);
  Take(PageBreakBefore, over.PageBreakBefore);
  Take(Bidi, over.Bidi);
  for (int side = 0; side < 4; ++side) Take(Borders[side], over.Borders[side]);
  Take(Shading, over.Shading);
  // Tab stops add up through the layers; a "clear" stop removes one.
  for (const auto& tab : over.Tabs) {
    std::erase_if(Tabs, [&](const TDocxTab& old) { return old.Position == tab.Position; });
    if (tab.Kind != "clear") Tabs.push_back(tab);
  }
  std::sort(Tabs.begin(), Tabs.end(), [](const TDocxTab& a, const TDocxTab& b) { return a.Position < b.Position; });
  Take(NumId, over.NumId);
  Take(Level, over.Level);
  Take(StyleId, over.StyleId);
}

TDocxRunProps ReadRunProps(XmlStream& xml) {
  TDocxRunProps run;
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.Token() != XmlToken::kStartElement) continue;
    const std::string_view name = xml.LocalName();
    if (name == "b") run.Bold = OnOff(xml);
    else if (name == "i") run.Italic = OnOff(xml);
    else if (name == "strike") run.Strike = OnOff(xml);
    else if (name == "dstrike") run.DoubleStrike = OnOff(xml);
    else if (name == "caps") run.Caps = OnOff(xml);
    else if (name == "smallCaps") run.SmallCaps = OnOff(xml);
    else if (name == "vanish") run.Hidden = OnOff(xml);
    else if (name == "rtl") run.Rtl = OnOff(xml);
    else if (name == "u") run.Underline = std::string(xml.Attribute("val").value_or("single"));
    else if (name == "rFonts") ReadFonts(xml, run);
    else if (name == "sz") Take(run.HalfPoints, IntAttribute(xml, "val"));
    else if (name == "szCs") Take(run.ComplexHalfPoints, IntAttribute(xml, "val"));
    else if (name == "color") Take(run.Color, StringAttribute(xml, "val"));
    else if (name == "highlight") Take(run.Highlight, StringAttribute(xml, "val"));
    else if (name == "shd") Take(run.Shading, ShadingFill(xml));
    else if (name == "vertAlign") Take(run.VertAlign, StringAttribute(xml, "val"));
    else if (name == "spacing") Take(run.SpacingTwips, IntAttribute(xml, "val"));
    else if (name == "w") Take(run.ScalePercent, IntAttribute(xml, "val"));
    else if (name == "rStyle") Take(run.StyleId, StringAttribute(xml, "val"));
    xml.Skip();
  }
  return run;
}

TDocxParaProps ReadParaProps(XmlStream& xml) {
  TDocxParaProps para;
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.Token() != XmlToken::kStartElement) continue;
    const std::string_view name = xml.LocalName();
    if (name == "jc") {
      Take(para.Align, StringAttribute(xml, "val"));
    } else if (name == "ind") {
      ReadIndents(xml, para);
    } else if (name == "spacing") {
      Take(para.Before, IntAttribute(xml, "before"));
      Take(para.After, IntAttribute(xml, "after"));
      Take(para.Line, IntAttribute(xml, "line"));
      Take(para.LineRule, StringAttribute(xml, "lineRule"));
    } else if (name == "keepNext") {
      para.KeepNext = OnOff(xml);
    } else if (name == "keepLines") {
      para.KeepLines = OnOff(xml);
    } else if (name == "pageBreakBefore") {
      para.PageBreakBefore = OnOff(xml);
    } else if (name == "bidi") {
      para.Bidi = OnOff(xml);
    } else if (name == "shd") {
      Take(para.Shading, ShadingFill(xml));
    } else if (name == "pStyle") {
      Take(para.StyleId, StringAttribute(xml, "val"));
    } else if (name == "ilvl") {
      Take(para.Level, IntAttribute(xml, "val"));
    } else if (name == "numId") {
      Take(para.NumId, IntAttribute(xml, "val"));
    } else if (name == "tabs") {
      ReadTabs(xml, para.Tabs);
      continue;
    } else if (name == "pBdr") {
      const int bordersDepth = xml.Depth();
      while (xml.NextInside(bordersDepth)) {
        if (xml.Token() != XmlToken::kStartElement) continue;
        const int side = SideOf(xml.LocalName());
        if (side >= 0) {
          para.Borders[side] = ReadBorder(xml);
        } else {
          xml.Skip();
        }
      }
      continue;
    } else if (name == "numPr") {
      continue;  // its ilvl and numId are read as they come
    }
    xml.Skip();
  }
  return para;
}

}  // namespace varnolt
