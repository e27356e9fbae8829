#pragma once
// RTF in the manner of office programs, for benchmarks: a run per formatting
// change, list paragraphs, tables every eighth block, Cyrillic text.
#include <string>

#include "richtext/rtf/import/RVRTFProps.h"

namespace varnolt::bench {

inline std::string GenerateOfficeRtf(std::size_t targetBytes) {
  std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Liberation Serif;}{\\f1\\fswiss\\fcharset204 Arial;}"
      "{\\f2\\fnil\\fcharset2 Symbol;}}{\\colortbl;\\red0\\green0\\blue0;\\red200\\green30\\blue30;}"
      "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}\\fi-360\\li720}"
      "\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}\n";
  const std::string paragraph =
      "\\pard\\plain\\ql\\sb0\\sa140\\sl276\\slmult1{\\loch\\f0\\fs24 An ordinary paragraph of body text with }"
      "{\\loch\\f0\\fs24\\b bold}{\\loch\\f0\\fs24  and }{\\loch\\f0\\fs24\\i\\cf2 coloured italic}"
      "{\\loch\\f0\\fs24  words, the way word processors write each change of formatting.}\\par\n";
  const std::string list = "\\pard\\plain\\ls1\\fi-360\\li720{\\loch\\f0\\fs24 A list item}\\par\n";
  const std::string cyrillic =
      "\\pard\\plain\\qc{\\loch\\f1\\fs28\\uc1 \\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090?, "
      "\\u1084?\\u1080?\\u1088?}\\par\n";
  const std::string table =
      "\\trowd\\trgaph108\\trleft0\\trpaddl108\\trpaddr108\\trpaddfl3\\trpaddfr3"
      "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx3000"
      "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx6000"
      "\\pard\\plain\\intbl{\\loch\\f0\\fs20 first cell}\\cell{\\loch\\f0\\fs20 second cell}\\cell\\row\\pard\n";
  for (int block = 0; rtf.size() < targetBytes; ++block) {
    rtf += paragraph;
    rtf += list;
    rtf += cyrillic;
    if (block % 8 == 0) rtf += table;
  }
  rtf += "}";
  return rtf;
}

// Reads rtf into document as the page editors import it, adding text and
// paragraph styles as needed; the reader's result code (0 for success).
inline std::uint8_t ImportAsPageEditors(std::string_view rtf, TCustomRVData& document) {
  TRVRTFReaderProperties props;
  props.TextStyleMode = props.ParaStyleMode = rvrsAddIfNeeded;
  return props.LoadRTF(rtf, document);
}

}  // namespace varnolt::bench
