#pragma once
// Style sheets and documents the RTF writer's tests share, and the writer
// run into a string.
#include <string>

#include "platform/OutputStream.h"
#include "richtext/document/CRVData.h"
#include "richtext/rtf/writer/RVRTFWriter.h"
#include "richtext/style/RVStyle.h"

namespace varnolt::test {

// The empty colour table: the automatic entry and the sixteen fixed colours.
inline const std::string kFixedColorTable =
    "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green255\\blue255;\\red0\\green255\\blue0;"
    "\\red255\\green0\\blue255;\\red255\\green0\\blue0;\\red255\\green255\\blue0;\\red255\\green255\\blue255;"
    "\\red0\\green0\\blue128;\\red0\\green128\\blue128;\\red0\\green128\\blue0;\\red128\\green0\\blue128;"
    "\\red128\\green0\\blue0;\\red128\\green128\\blue0;\\red128\\green128\\blue128;\\red192\\green192\\blue192;";

// One text style (Arial 10) and one paragraph style, both as constructed.
inline void MakeMinimalStyle(TRVStyle& style) {
  style.TextStyles.Clear();
  style.ParaStyles.Clear();
  style.ListStyles.Clear();
  style.TextStyles.Add();
  style.ParaStyles.Add();
}

// The minimal sheet plus: 1 Times New Roman 16 bold navy, 2 italic
// underlined on yellow, 3 Courier New 9 Greek; paragraphs 1 centred, 2
// justified and indented by 32 with 4 before.
inline void MakeRoundTripStyle(TRVStyle& style) {
  MakeMinimalStyle(style);
  TFontInfo& heading = style.TextStyles.Add();
  heading.FontName = u"Times New Roman";
  heading.Size = 16;
  heading.Style = {fsBold};
  heading.Color = 0x800000;
  TFontInfo& emphasis = style.TextStyles.Add();
  emphasis.Style = {fsItalic, fsUnderline};
  emphasis.BackColor = 0x00FFFF;
  TFontInfo& greek = style.TextStyles.Add();
  greek.FontName = u"Courier New";
  greek.Charset = 161;
  greek.Size = 9;
  style.ParaStyles.Add().Alignment = rvaCenter;
  TParaInfo& indented = style.ParaStyles.Add();
  indented.LeftIndent = 32;
  indented.SpaceBefore = 4;
  indented.Alignment = rvaJustify;
}

// A document on the given style sheet.
class TestDocument : public TCustomRVData {
 public:
  explicit TestDocument(TRVStyle& style) { SetRVStyle(&style); }
};

inline std::string WriteRtfString(const TCustomRVData& data, const TRVRTFWriteSettings& settings = {},
                                  bool selectionOnly = false, TColor color = kRVColorWindow,
                                  const TCustomRVData* headerDoc = nullptr, const TCustomRVData* footerDoc = nullptr) {
  MemoryOutputStream out;
  if (!WriteRTF(data, out, u"", selectionOnly, color, headerDoc, footerDoc, settings)) return "<failed>";
  return out.Bytes();
}

// Picture data as the writer puts it: upper-case digits, no line breaks.
inline std::string RtfHex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

inline std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// What follows the header: the header ends with the first empty line.
inline std::string RtfBody(const std::string& rtf) {
  const auto end = rtf.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : rtf.substr(end + 4);
}

inline std::string RtfHeader(const std::string& rtf) {
  const auto end = rtf.find("\r\n\r\n");
  return end == std::string::npos ? rtf : rtf.substr(0, end + 4);
}

}  // namespace varnolt::test
