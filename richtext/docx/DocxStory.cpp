#include "richtext/docx/DocxStory.h"

#include <algorithm>
#include <cctype>

#include "platform/CodePage.h"
#include "platform/XmlStream.h"

namespace varnolt {

namespace {

constexpr std::string_view kParagraphEnd = "\\par\n";
// Fields nest this deep at most; deeper ones are counted, not kept.
constexpr std::size_t kMaxFieldNesting = 64;

void AppendKeyword(std::string& rtf, std::string_view keyword, std::int64_t value) {
  rtf += '\\';
  rtf += keyword;
  rtf += std::to_string(value);
}

bool IsEastAsian(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x3000 && c <= 0x303F);
}

bool IsComplexScript(char32_t c) { return (c >= 0x0590 && c <= 0x08FF) || (c >= 0x0E00 && c <= 0x0E7F); }

const char* AlignmentKeyword(std::string_view align) {
  if (align == "center") return "\\qc";
  if (align == "right" || align == "end") return "\\qr";
  if (align == "both" || align == "distribute" || align == "justify") return "\\qj";
  return "\\ql";
}

const char* UnderlineKeyword(std::string_view kind) {
  static constexpr std::pair<std::string_view, const char*> kKinds[] = {
      {"none", "\\ulnone"},          {"double", "\\uldb"},          {"thick", "\\ulth"},
      {"dotted", "\\uld"},           {"dottedHeavy", "\\ulthd"},    {"dash", "\\uldash"},
      {"dashedHeavy", "\\ulthdash"}, {"dashLong", "\\ulldash"},     {"dashLongHeavy", "\\ulthldash"},
      {"dotDash", "\\uldashd"},      {"dashDotHeavy", "\\ulthdashd"}, {"dotDotDash", "\\uldashdd"},
      {"dashDotDotHeavy", "\\ulthdashdd"},
  };
  for (const auto& [name, keyword] : kKinds) {
    if (kind == name) return keyword;
  }
  return "\\ul";
}

const char* TabKindKeyword(std::string_view kind) {
  if (kind == "center") return "\\tqc";
  if (kind == "right" || kind == "end") return "\\tqr";
  if (kind == "decimal") return "\\tqdec";
  return "";
}

const char* TabLeaderKeyword(std::string_view leader) {
  if (leader == "dot") return "\\tldot";
  if (leader == "hyphen") return "\\tlhyph";
  if (leader == "underscore") return "\\tlul";
  if (leader == "heavy") return "\\tlth";
  if (leader == "middleDot") return "\\tlmdot";
  return "";
}

std::string FirstWord(std::string_view text) {
  const auto start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  const auto end = text.find(' ', start);
  return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
}

}  // namespace

// The RTF of a border's kind, width and colour, after its side keyword.
std::string BorderRtf(const TDocxBorder& border, TDocxRtfTables& tables) {
  static constexpr std::pair<std::string_view, const char*> kKinds[] = {
      {"nil", "\\brdrnone"},   {"none", "\\brdrnone"},   {"double", "\\brdrdb"},  {"dotted", "\\brdrdot"},
      {"dashed", "\\brdrdash"}, {"thick", "\\brdrth"},    {"triple", "\\brdrtriple"}, {"wave", "\\brdrwavy"},
      {"doubleWave", "\\brdrwavydb"}, {"dotDash", "\\brdrdashd"}, {"dotDotDash", "\\brdrdashdd"},
      {"threeDEmboss", "\\brdremboss"}, {"threeDEngrave", "\\brdrengrave"}, {"inset", "\\brdrinset"},
      {"outset", "\\brdroutset"},
  };
  std::string rtf = "\\brdrs";
  for (const auto& [name, keyword] : kKinds) {
    if (border.Kind == name) rtf = keyword;
  }
  if (rtf == "\\brdrnone") return rtf;
  AppendKeyword(rtf, "brdrw", std::max(1, border.Eighths * 5 / 2));
  if (const int color = tables.Color(border.Color)) AppendKeyword(rtf, "brdrcf", color);
  if (border.SpacePoints > 0) AppendKeyword(rtf, "brsp", border.SpacePoints * 20);
  return rtf;
}

TDocxStory::TDocxStory(TDocxDocument& document, const TDocxRelationships& rels, int tableDepth)
    : document_(document), rels_(rels), tableDepth_(tableDepth) {}

std::string TDocxStory::TakeRtf(bool dropLastParagraphEnd) {
  if (dropLastParagraphEnd && rtf_.ends_with(kParagraphEnd)) rtf_.resize(rtf_.size() - kParagraphEnd.size());
  return std::move(rtf_);
}

void TDocxStory::Blocks(XmlStream& xml) {
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.Token() != XmlToken::kStartElement) continue;
    const std::string_view name = xml.LocalName();
    if (name == "p") {
      Paragraph(xml);
    } else if (name == "tbl") {
      Table(xml);
    } else if (name == "sectPr" && OnSection) {
      OnSection(xml);
    } else if (name == "sdt" || name == "sdtContent" || name == "customXml" || name == "ins" || name == "moveTo" ||
               name == "AlternateContent" || name == "Choice" || name == "smartTag") {
      continue;  // containers whose blocks count as the story's own
    } else {
      xml.Skip();  // deleted blocks, properties, and what has no text
    }
  }
}

void TDocxStory::Paragraph(XmlStream& xml) {
  const int depth = xml.Depth();
  TDocxParaProps own;
  bool started = false;
  auto start = [&] {
    if (!started) *out_ += ParagraphRtf(own);
    started = true;
  };
  while (xml.NextInside(depth)) {
    if (xml.Token() != XmlToken::kStartElement) continue;
    if (!started && xml.IsStart("pPr")) {
      own = ReadParaProps(xml);
      continue;
    }
    start();
    Inline(xml, own.StyleId.value_or(document_.Styles().DefaultParagraphStyle()));
  }
  start();
  ParagraphEnd();
}

std::string TDocxStory::ParagraphRtf(const TDocxParaProps& own) {
  const TDocxStyles& styles = document_.Styles();
  TDocxParaProps styleOnly;
  styleOnly.StyleId = own.StyleId;
  TDocxParaProps props = styles.ParagraphProps(styleOnly);
  TDocxParaProps probe = props;
  probe.Merge(own);
  int list = 0;
  int level = 0;
  if (probe.NumId && *probe.NumId != 0) {
    if (const auto* levels = document_.Numbering().Levels(*probe.NumId)) {
      level = std::clamp(probe.Level.value_or(0), 0, TDocxNumbering::kLevels - 1);
      props.Merge(levels->at(static_cast<std::size_t>(level)).Para);
      list = document_.Tables().List(*probe.NumId, document_.Numbering());
    }
  }
  props.Merge(own);

  std::string rtf = "\\pard\\plain";
  if (tableDepth_ > 0) rtf += "\\intbl";
  if (tableDepth_ > 1) AppendKeyword(rtf, "itap", tableDepth_);
  rtf += AlignmentKeyword(props.Align.value_or("left"));
  if (props.Left) AppendKeyword(rtf, "li", *props.Left);
  if (props.Right) AppendKeyword(rtf, "ri", *props.Right);
  if (props.FirstLine) AppendKeyword(rtf, "fi", *props.FirstLine);
  if (props.Before) AppendKeyword(rtf, "sb", *props.Before);
  if (props.After) AppendKeyword(rtf, "sa", *props.After);
  if (props.Line) {
    const std::string rule = props.LineRule.value_or("auto");
    if (rule == "exact") {
      AppendKeyword(rtf, "sl", -std::abs(*props.Line));
      rtf += "\\slmult0";
    } else if (rule == "atLeast") {
      AppendKeyword(rtf, "sl", *props.Line);
      rtf += "\\slmult0";
    } else if (*props.Line != 240) {
      AppendKeyword(rtf, "sl", *props.Line);
      rtf += "\\slmult1";
    }
  }
  if (props.KeepNext.value_or(false)) rtf += "\\keepn";
  if (props.KeepLines.value_or(false)) rtf += "\\keep";
  if (props.PageBreakBefore.value_or(false)) rtf += "\\pagebb";
  if (props.Bidi.value_or(false)) rtf += "\\rtlpar";
  static constexpr const char* kSides[] = {"\\brdrl", "\\brdrt", "\\brdrr", "\\brdrb"};
  for (int side = 0; side < 4; ++side) {
    if (props.Borders[side]) rtf += kSides[side] + BorderRtf(*props.Borders[side], document_.Tables());
  }
  if (props.Shading) {
    if (const int color = document_.Tables().Color(*props.Shading)) AppendKeyword(rtf, "cbpat", color);
  }
  for (const auto& tab : props.Tabs) {
    if (tab.Kind == "bar") continue;
    rtf += TabKindKeyword(tab.Kind);
    rtf += TabLeaderKeyword(tab.Leader);
    AppendKeyword(rtf, "tx", tab.Position);
  }
  if (list > 0) {
    AppendKeyword(rtf, "ls", list);
    AppendKeyword(rtf, "ilvl", level);
  }
  rtf += ' ';
  return rtf;
}

void TDocxStory::ParagraphEnd() {
  FlushText();
  CloseOpenFields();
  *out_ += kParagraphEnd;
  *out_ += boxes_;
  boxes_.clear();
}

void TDocxStory::InlineChildren(XmlStream& xml, const std::string& paraStyle) {
  const int depth = xml.Depth();
  while (xml.NextInside(depth)) {
    if (xml.Token() == XmlToken::kStartElement) Inline(xml, paraStyle);
  }
}

void TDocxStory::Inline(XmlStream& xml, const std::string& paraStyle) {
  const std::string_view name = xml.LocalName();
  if (name == "r") {
    Run(xml, paraStyle);
  } else if (name == "hyperlink") {
    Hyperlink(xml, paraStyle);
  } else if (name == "fldSimple") {
    SimpleField(xml, paraStyle);
  } else if (name == "bookmarkStart") {
    const std::string bookmark(xml.Attribute("name").value_or(""));
    if (!bookmark.empty() && bookmark != "_GoBack" && ShowsResult()) {
      FlushText();
      *out_ += "{\\*\\bkmkstart ";
      AppendRtfText(*out_, bookmark);
      *out_ += '}';
    }
    xml.Skip();
  } else if (name == "ins" || name == "moveTo" || name == "smartTag" || name == "customXml" || name == "sdt" ||
             name == "sdtContent" || name == "dir" || name == "bdo" || name == "Choice") {
    InlineChildren(xml, paraStyle);
  } else if (name == "AlternateContent") {
    InlineChildren(xml, paraStyle);
  } else if (name == "oMathPara" || name == "oMath") {
    Text(xml.ElementText());
  } else {
    xml.Skip();  // deletions, properties, fallbacks, range marks
  }
}

void TDocxStory::Run(XmlStream& xml, const std::string& paraStyle) {
  FlushText();
  const int depth = xml.Depth();
  TDocxRunProps own;
  bool resolved = false;
  while (xml.NextInside(depth)) {
    if (xml.Token() != XmlToken::kStartElement) continue;
    if (!resolved && xml.IsStart("rPr")) {
      own = ReadRunProps(xml);
      continue;
    }
    if (!resolved) {
      runProps_ = document_.Styles().RunProps(paraStyle, own);
      resolved = true;
    }
    RunContent(xml);
  }
  FlushText();
}

void TDocxStory::RunContent(XmlStream& xml) {
  const std::string_view name = xml.LocalName();
  if (name == "t") {
    Text(xml.ElementText());
  } else if (name == "instrText") {
    if (!fields_.empty() && !fields_.back().InResult) {
      fields_.back().Instruction += xml.ElementText();
    } else {
      xml.Skip();
    }
  } else if (name == "tab" || name == "ptab") {
    Control("\\tab ");
    xml.Skip();
  } else if (name == "br") {
    Control(xml.Attribute("type").value_or("") == "page" ? "\\page " : "\\line ");
    xml.Skip();
  } else if (name == "cr") {
    Control("\\line ");
    xml.Skip();
  } else if (name == "noBreakHyphen") {
    Text("\xE2\x80\x91");
    xml.Skip();
  } else if (name == "sym") {
    const auto code = xml.Attribute("char");
    if (code) {
      unsigned value = 0;
      for (const char c : *code) {
        if (!std::isxdigit(static_cast<unsigned char>(c)) || value > 0xFFF) break;
        value = value * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(c) - 'a' + 10));
      }
      if (value >= 0xF020 && value <= 0xF0FF) value -= 0xF000;  // symbol fonts' private range
      if (value >= 0x20) Text(Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(value))));
    }
    xml.Skip();
  } else if (name == "fldChar") {
    FieldChar(xml.Attribute("fldCharType").value_or(""));
    xml.Skip();
  } else if (name == "drawing" || name == "pict" || name == "object") {
    Drawing(xml);
  } else if (name == "footnoteReference" || name == "endnoteReference") {
    NoteReference(xml, name == "endnoteReference");
  } else if (name == "footnoteRef" || name == "endnoteRef") {
    Control("\\chftn ");
    xml.Skip();
  } else if (name == "AlternateContent" || name == "Choice") {
    const int depth = xml.Depth();
    while (xml.NextInside(depth)) {
      if (xml.Token() != XmlToken::kStartElement) continue;
      if (xml.IsStart("Choice")) continue;
      RunContent(xml);
    }
  } else {
    xml.Skip();
  }
}

bool TDocxStory::ShowsResult() const {
  return std::all_of(fields_.begin(), fields_.end(), [](const TField& field) { return field.InResult; });
}

bool TDocxStory::LinkOpen() const { return openLinks_ > 0; }

void TDocxStory::Text(std::string_view utf8) {
  if (!ShowsResult() || utf8.empty()) return;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0xC0) continue;
    char32_t c = 0;
    int extra = 0;
    if (byte >= 0xF0) {
      c = byte & 0x07;
      extra = 3;
    } else if (byte >= 0xE0) {
      c = byte & 0x0F;
      extra = 2;
    } else {
      c = byte & 0x1F;
      extra = 1;
    }
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    if (IsEastAsian(c)) pendingEastAsian_ = true;
    if (IsComplexScript(c)) pendingComplex_ = true;
  }
  AppendRtfText(pendingText_, utf8);
}

void TDocxStory::Control(std::string_view rtf) {
  if (ShowsResult()) pendingText_ += rtf;
}

void TDocxStory::FlushText() {
  if (pendingText_.empty()) return;
  *out_ += '{';
  *out_ += RunRtf(runProps_);
  *out_ += ' ';
  *out_ += pendingText_;
  *out_ += '}';
  pendingText_.clear();
  pendingEastAsian_ = pendingComplex_ = false;
}

std::string TDocxStory::RunRtf(const TDocxRunProps& props) {
  const TDocxStyles& styles = document_.Styles();
  TDocxRtfTables& tables = document_.Tables();
  const bool complex = pendingComplex_ || props.Rtl.value_or(false);
  std::string font = props.Font.value_or("");
  if (props.FontTheme) font = styles.ThemeFont(*props.FontTheme);
  if (pendingEastAsian_ || props.Hint.value_or("") == "eastAsia") {
    std::string eastAsian = props.EastAsiaFont.value_or("");
    if (props.EastAsiaTheme) eastAsian = styles.ThemeFont(*props.EastAsiaTheme);
    if (!eastAsian.empty()) font = eastAsian;
  }
  if (complex && props.ComplexFont) font = *props.ComplexFont;
  std::string rtf = "\\plain";
  if (!font.empty()) AppendKeyword(rtf, "f", tables.Font(font));
  const auto halfPoints = complex && props.ComplexHalfPoints ? props.ComplexHalfPoints : props.HalfPoints;
  AppendKeyword(rtf, "fs", std::clamp(halfPoints.value_or(20), 2, 3276));
  if (props.Bold.value_or(false)) rtf += "\\b";
  if (props.Italic.value_or(false)) rtf += "\\i";
  if (props.Underline && *props.Underline != "none") rtf += UnderlineKeyword(*props.Underline);
  if (props.Strike.value_or(false) || props.DoubleStrike.value_or(false)) rtf += "\\strike";
  if (props.Caps.value_or(false)) rtf += "\\caps";
  if (props.Hidden.value_or(false)) rtf += "\\v";
  const std::string vertical = props.VertAlign.value_or("");
  if (vertical == "superscript") rtf += "\\super";
  if (vertical == "subscript") rtf += "\\sub";
  if (props.Color) {
    if (const int color = tables.Color(*props.Color)) AppendKeyword(rtf, "cf", color);
  }
  if (props.Highlight) {
    if (const int color = tables.Color(HighlightColor(*props.Highlight))) AppendKeyword(rtf, "highlight", color);
  }
  if (props.Shading) {
    if (const int color = tables.Color(*props.Shading)) AppendKeyword(rtf, "chcbpat", color);
  }
  if (props.SpacingTwips && *props.SpacingTwips != 0) AppendKeyword(rtf, "expndtw", *props.SpacingTwips);
  if (props.ScalePercent && *props.ScalePercent != 100) {
    AppendKeyword(rtf, "charscalex", std::clamp(*props.ScalePercent, 1, 600));
  }
  if (complex) rtf += "\\rtlch";
  return rtf;
}

void TDocxStory::OpenFieldGroup(const std::string& instruction) {
  *out_ += "{\\field{\\*\\fldinst ";
  AppendRtfText(*out_, instruction);
  *out_ += "}{\\fldrslt ";
  ++openLinks_;
}

void TDocxStory::CloseOpenFields() {
  for (auto& field : fields_) {
    if (!field.Opened) continue;
    *out_ += "}}";
    field.Opened = false;
    --openLinks_;
  }
}

void TDocxStory::Hyperlink(XmlStream& xml, const std::string& paraStyle) {
  std::string instruction;
  if (const auto id = xml.Attribute("id")) {
    const auto rel = rels_.find(std::string(*id));
    if (rel != rels_.end()) instruction = "HYPERLINK \"" + rel->second.Target + "\"";
  }
  if (const auto anchor = xml.Attribute("anchor")) {
    if (instruction.empty()) instruction = "HYPERLINK";
    instruction += " \\l \"" + std::string(*anchor) + "\"";
  }
  FlushText();
  const bool open = !instruction.empty() && ShowsResult() && !LinkOpen();
  if (open) OpenFieldGroup(instruction);
  InlineChildren(xml, paraStyle);
  FlushText();
  if (open && openLinks_ > 0) {
    *out_ += "}}";
    --openLinks_;
  }
}

void TDocxStory::SimpleField(XmlStream& xml, const std::string& paraStyle) {
  const std::string instruction(xml.Attribute("instr").value_or(""));
  FlushText();
  const bool open = FirstWord(instruction) == "HYPERLINK" && ShowsResult() && !LinkOpen();
  if (open) OpenFieldGroup(instruction);
  InlineChildren(xml, paraStyle);
  FlushText();
  if (open && openLinks_ > 0) {
    *out_ += "}}";
    --openLinks_;
  }
}

void TDocxStory::FieldChar(std::string_view kind) {
  FlushText();
  if (kind == "begin") {
    if (fields_.size() >= kMaxFieldNesting) {
      ++ignoredFields_;
    } else {
      fields_.emplace_back();
    }
  } else if (kind == "separate") {
    if (ignoredFields_ > 0 || fields_.empty()) return;
    fields_.back().InResult = true;
    if (FirstWord(fields_.back().Instruction) == "HYPERLINK" && ShowsResult() && !LinkOpen()) {
      OpenFieldGroup(fields_.back().Instruction);
      fields_.back().Opened = true;
    }
  } else if (kind == "end") {
    if (ignoredFields_ > 0) {
      --ignoredFields_;
      return;
    }
    if (fields_.empty()) return;
    if (fields_.back().Opened) {
      *out_ += "}}";
      --openLinks_;
    }
    fields_.pop_back();
  }
}

void TDocxStory::NoteReference(XmlStream& xml, bool endnote) {
  const std::string id(xml.Attribute("id").value_or(""));
  xml.Skip();
  const std::string* note = document_.Note(endnote, id);
  if (!note || !ShowsResult()) return;
  FlushText();
  *out_ += '{';
  *out_ += RunRtf(runProps_);
  *out_ += "\\chftn}{\\footnote";
  if (endnote) *out_ += "\\ftnalt";
  *out_ += ' ';
  *out_ += *note;
  *out_ += '}';
}

}  // namespace varnolt
