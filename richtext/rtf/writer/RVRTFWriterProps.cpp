// Paragraph and character properties, in the body and in the style sheet,
// and the marker font of list levels.
#include <cmath>

#include "richtext/rtf/writer/RVRTFWriterInternal.h"

namespace varnolt {

namespace {

const char* UnderlineKeyword(TRVUnderlineType type) {
  switch (type) {
    case rvutThick: return "\\ulth";
    case rvutDouble: return "\\uldb";
    case rvutDotted: return "\\uld";
    case rvutThickDotted: return "\\ulthd";
    case rvutDashed: return "\\uldash";
    case rvutThickDashed: return "\\ulthdash";
    case rvutLongDashed: return "\\ulldash";
    case rvutThickLongDashed: return "\\ulthldash";
    case rvutDashDotted: return "\\uldashd";
    case rvutThickDashDotted: return "\\ulthdashd";
    case rvutDashDotDotted: return "\\uldashdd";
    case rvutThickDashDotDotted: return "\\ulthdashdd";
    default: return "\\ul";
  }
}

const char* AlignmentKeyword(TRVAlignment alignment) {
  switch (alignment) {
    case rvaRight: return "\\qr";
    case rvaCenter: return "\\qc";
    case rvaJustify: return "\\qj";
    default: return "\\ql";
  }
}

const char* TabLeaderKeyword(const std::u16string& leader) {
  if (leader.empty()) return "";
  switch (leader.front()) {
    case u'-': return "\\tlhyph";
    case u'=': return "\\tleq";
    case u'_': return "\\tlul";
    case u'\0': return "\\tlmdot";
    default: return "\\tldot";
  }
}

// The side keywords of a paragraph border; the thick styles swap theirs on
// the right and bottom.
struct BorderKinds {
  const char* first;
  const char* second;
};

BorderKinds BorderKeywords(TRVBorderStyle style) {
  switch (style) {
    case rvbDouble: return {"\\brdrdb", "\\brdrdb"};
    case rvbTriple: return {"\\brdrtriple", "\\brdrtriple"};
    case rvbThickInside: return {"\\brdrthtnmg", "\\brdrtnthmg"};
    case rvbThickOutside: return {"\\brdrtnthmg", "\\brdrthtnmg"};
    default: return {"\\brdrs", "\\brdrs"};
  }
}

}  // namespace

std::int32_t LanguageOfCharset(std::uint8_t charset) {
  switch (charset) {
    case 0: case 1: case 178: case 186: case 238: return 0;
    case 128: return 1041;
    case 129: return 1042;
    case 130: return 2066;
    case 134: return 2052;
    case 136: return 1028;
    case 161: return 1032;
    case 162: return 1055;
    case 163: return 1066;
    case 177: return 1037;
    case 204: return 1049;
    case 222: return 1054;
    default: return 1024;
  }
}

bool LevelHasFont(const TRVListLevel& level) {
  return level.ListType != rvlstPicture && level.ListType != rvlstImageList &&
         level.ListType != rvlstImageListCounter;
}

bool LevelIsNumbered(const TRVListLevel& level) {
  return level.ListType >= rvlstDecimal && level.ListType <= rvlstUpperRoman;
}

void TRVRTFWriter::WriteExtra(TRVRTFSaveArea area, const void* obj, std::int32_t index1, std::int32_t index2,
                              bool inStyleSheet) {
  if (!settings_.OnSaveRTFExtra) return;
  std::string code;
  settings_.OnSaveRTFExtra(area, obj, index1, index2, inStyleSheet, code);
  sink_.Put(code);
}

void TRVRTFWriter::WriteStyleReference(int paraNo) {
  const TParaInfo* para = style_.ParaStyles.Find(paraNo);
  if (Option(rvrtfSaveStyleSheet) && para != nullptr && para->Standard()) sink_.PutKeyword("s", paraNo);
}

// Writes what write() writes, the first time through it and then from kept;
// a hook that adds to the output is asked every time.
template <typename Write>
void TRVRTFWriter::WriteRemembered(std::string& kept, Write write) {
  if (settings_.OnSaveRTFExtra) return write();
  if (!kept.empty()) return sink_.Put(kept);
  const std::size_t mark = sink_.BeginRecording();
  try {
    write();
  } catch (...) {
    sink_.EndRecording(mark);
    throw;
  }
  kept = sink_.EndRecording(mark);
}

// call is nullptr in the style sheet, where nothing is recorded and the
// nesting keywords are left out.
void TRVRTFWriter::WriteParaProperties(TRVRTFCall* call, int paraNo, const TRVListLevel* markerLevel) {
  if (call == nullptr) return WriteParaKeywords(nullptr, paraNo, markerLevel);
  WriteRemembered(paraKeywords_[{paraNo, markerLevel, call->Level}],
                  [&] { WriteParaKeywords(call, paraNo, markerLevel); });
  call->LevelInEffect = markerLevel;
  call->LastParaStyle = paraNo;
}

void TRVRTFWriter::WriteParaKeywords(const TRVRTFCall* call, int paraNo, const TRVListLevel* markerLevel) {
  const TParaInfo& para = style_.ParaStyleAt(paraNo);
  switch (para.LineSpacingType) {
    case rvlsPercent:
      if (para.LineSpacing != 100) {
        sink_.PutKeyword("sl", std::int64_t{para.LineSpacing} * 240 / 100);
        sink_.Put("\\slmult1");
      }
      break;
    case rvlsLineHeightAtLeast:
      sink_.PutKeyword("sl", Twips(para.LineSpacing));
      sink_.Put("\\slmult0");
      break;
    case rvlsLineHeightExact:
      sink_.PutKeyword("sl", -std::int64_t{Twips(para.LineSpacing)});
      sink_.Put("\\slmult0");
      break;
    default:
      break;
  }
  if (para.Options.Contains(rvpaoKeepLinesTogether)) sink_.Put("\\keep");
  if (para.Options.Contains(rvpaoKeepWithNext)) sink_.Put("\\keepn");
  WriteParaIndents(para, markerLevel);
  sink_.Put(AlignmentKeyword(para.Alignment));
  sink_.PutKeyword("ri", Twips(para.RightIndent));
  sink_.PutKeyword("sb", Twips(para.SpaceBefore));
  sink_.PutKeyword("sa", Twips(para.SpaceAfter));
  if (para.BiDiMode == rvbdLeftToRight) sink_.Put("\\ltrpar");
  if (para.BiDiMode == rvbdRightToLeft) sink_.Put("\\rtlpar");
  if (para.Background.Color != kRVColorNone) sink_.PutKeyword("cbpat", ColorIndex(para.Background.Color));
  WriteParaBorder(para);
  if (call != nullptr) {
    sink_.PutKeyword("itap", call->Level);
    if (call->Level == 1) sink_.Put("\\intbl");
  }
  WriteExtra(rv_rtfs_ParaStyle, &para, -1, paraNo, call == nullptr);
  sink_.Put(' ');
}

void TRVRTFWriter::WriteParaIndents(const TParaInfo& para, const TRVListLevel* markerLevel) {
  std::int32_t markerTab = 0;
  if (markerLevel != nullptr) {
    sink_.PutKeyword("li", Twips(markerLevel->LeftIndent));
    sink_.PutKeyword("fi", Twips(static_cast<double>(markerLevel->MarkerIndent) - markerLevel->LeftIndent));
    sink_.Put("\\jclisttab");
    sink_.PutKeyword("tx", Twips(static_cast<double>(markerLevel->LeftIndent) + markerLevel->FirstIndent));
    markerTab = markerLevel->LeftIndent + markerLevel->FirstIndent;
  } else {
    sink_.PutKeyword("fi", Twips(para.FirstIndent));
    sink_.PutKeyword("li", Twips(para.LeftIndent));
  }
  for (const TRVTabInfo& tab : para.Tabs) {
    if (tab.Position <= markerTab) continue;
    if (tab.Align == rvtaRight) sink_.Put("\\tqr");
    if (tab.Align == rvtaCenter) sink_.Put("\\tqc");
    sink_.Put(TabLeaderKeyword(tab.Leader));
    sink_.PutKeyword("tx", Twips(tab.Position));
  }
}

void TRVRTFWriter::WriteParaBorder(const TParaInfo& para) {
  const TRVBorder& border = para.Border;
  if (border.Style == rvbNone || border.Color == kRVColorNone) return;
  sink_.Put("\\brdrbtw");
  const bool thick = border.Style == rvbThickInside || border.Style == rvbThickOutside;
  const std::string tail = "\\brdrcf" + std::to_string(ColorIndex(border.Color)) + "\\brdrw" +
                           std::to_string(Twips(static_cast<double>(border.Width) * (thick ? 2 : 1)));
  const BorderKinds kinds = BorderKeywords(border.Style);
  const struct {
    bool shown;
    const char* keyword;
    std::int32_t offset;
    const char* kind;
  } sides[] = {
      {border.VisibleBorders.Left, "\\brdrl", border.BorderOffsets.Left, kinds.first},
      {border.VisibleBorders.Top, "\\brdrt", border.BorderOffsets.Top, kinds.first},
      {border.VisibleBorders.Right, "\\brdrr", border.BorderOffsets.Right, kinds.second},
      {border.VisibleBorders.Bottom, "\\brdrb", border.BorderOffsets.Bottom, kinds.second},
  };
  for (const auto& side : sides) {
    if (!side.shown) continue;
    sink_.Put(side.keyword);
    sink_.PutKeyword("brsp", Twips(side.offset));
    sink_.Put(side.kind);
    sink_.Put(tail);
  }
}

// call is nullptr in the style sheet, where nothing is recorded.
void TRVRTFWriter::WriteCharProperties(TRVRTFCall* call, int styleNo) {
  if (call == nullptr || style_.TextStyles.Find(styleNo) == nullptr) {
    WriteCharKeywords(call == nullptr, styleNo);
  } else {
    const auto index = static_cast<std::size_t>(styleNo);
    if (charKeywords_.size() <= index) charKeywords_.resize(index + 1);
    WriteRemembered(charKeywords_[index], [&] { WriteCharKeywords(false, styleNo); });
  }
  if (call != nullptr) call->LastTextStyle = styleNo;
}

void TRVRTFWriter::WriteCharKeywords(bool inStyleSheet, int styleNo) {
  const TFontInfo* found = style_.TextStyles.Find(styleNo);
  const TFontInfo& font = found != nullptr ? *found : style_.TextStyleAt(0);
  sink_.PutKeyword("f", TextFontNumber(found != nullptr ? styleNo : 0));
  if (font.Style.Contains(fsBold)) sink_.Put("\\b");
  if (font.Style.Contains(fsItalic)) sink_.Put("\\i");
  if (font.Style.Contains(fsUnderline)) {
    sink_.Put(UnderlineKeyword(font.UnderlineType));
    if (font.UnderlineColor != kRVColorNone) sink_.PutKeyword("ulc", ColorIndex(font.UnderlineColor));
  }
  if (font.Style.Contains(fsStrikeOut)) sink_.Put("\\strike");
  if (font.SubSuperScriptType == rvsssSubscript) sink_.Put("\\sub");
  if (font.SubSuperScriptType == rvsssSuperScript) sink_.Put("\\super");
  const double shift = std::nearbyint(static_cast<double>(font.VShift) * font.Size / 50);
  if (font.VShift > 0) sink_.PutKeyword("up", static_cast<std::int64_t>(shift));
  if (font.VShift < 0) sink_.PutKeyword("dn", -static_cast<std::int64_t>(shift));
  if (font.CharScale != 100) sink_.PutKeyword("charscalex", font.CharScale);
  if (font.CharSpacing != 0) sink_.PutKeyword("expndtw", Twips(font.CharSpacing));
  if (font.StyleEx.Contains(rvfsAllCaps)) sink_.Put("\\caps");
  if (font.StyleEx.Contains(rvfsSmallCaps)) sink_.Put("\\scaps");
  if (font.BiDiMode == rvbdLeftToRight) sink_.Put("\\ltrch");
  if (font.BiDiMode == rvbdRightToLeft) sink_.Put("\\rtlch");
  const std::int32_t language = LanguageOfCharset(font.Charset);
  if (font.Charset != kRVDefaultCharset && font.Charset != style_.TextStyleAt(0).Charset && language != 0) {
    sink_.PutKeyword("lang", language);
  }
  sink_.PutKeyword("fs", std::int64_t{font.Size} * 2);
  if (font.BackColor != kRVColorNone) sink_.PutKeyword("chcbpat", ColorIndex(font.BackColor));
  if (font.Color != kRVColorWindowText) sink_.PutKeyword("cf", ColorIndex(font.Color));
  WriteExtra(rv_rtfs_TextStyle, &font, -1, styleNo, inStyleSheet);
  sink_.Put(' ');
}

void TRVRTFWriter::WriteMarkerFont(const TRVListLevel& level) {
  const TRVMarkerFont& font = level.Font;
  sink_.PutKeyword("f", FontNumber(font.Name, font.Charset));
  if (font.Style.Contains(fsBold)) sink_.Put("\\b");
  if (font.Style.Contains(fsItalic)) sink_.Put("\\i");
  if (font.Style.Contains(fsUnderline)) sink_.Put("\\ul");
  if (font.Style.Contains(fsStrikeOut)) sink_.Put("\\strike");
  sink_.PutKeyword("fs", std::int64_t{font.Size} * 2);
  const std::int32_t language = LanguageOfCharset(font.Charset);
  if (font.Charset != kRVDefaultCharset && font.Charset != style_.TextStyleAt(0).Charset && language != 0) {
    sink_.PutKeyword("lang", language);
  }
  if (font.Color != kRVColorWindowText) sink_.PutKeyword("cf", ColorIndex(font.Color));
}

}  // namespace varnolt
