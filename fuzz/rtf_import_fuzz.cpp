// Feeds arbitrary bytes through the RTF import: into a document with styles
// added as needed (lists, tables, notes, pictures all built), then into an
// editor at a caret inside text, undone and redone. Every document that
// comes out must give its plain text, the page's header and footer too.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "richtext/editor/RVEdit.h"
#include "richtext/rtf/import/RVRTFProps.h"

namespace {

using namespace varnolt;

void TouchDocument(const TCustomRVData& doc) {
  std::string text;
  doc.ExtractText({}, text, 80, false, false, true, false);
  volatile std::size_t sink = text.size();
  (void)sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view rtf(reinterpret_cast<const char*>(data), size);
  {
    TRVStyle style;
    TCustomRVData doc;
    doc.SetRVStyle(&style);
    TRVRTFReaderProperties props;
    props.TextStyleMode = rvrsAddIfNeeded;
    props.ParaStyleMode = rvrsAddIfNeeded;
    props.SkipHiddenText = (size & 1) != 0;
    props.UnicodeMode = (size & 2) != 0 ? rvruMixed : rvruOnlyUnicode;
    props.BasePath = u"/nonexistent/";
    props.LoadRTF(rtf, doc);
    TouchDocument(doc);
  }
  {
    TRVStyle style;
    style.SpacesInTab = (size & 4) != 0 ? 4 : 0;
    TRichDocEdit editor;
    editor.SetStyle(&style);
    editor.InsertTextAtCaret(u"before after");
    editor.SetCaret(0, 7);
    TRVRTFReaderProperties props;
    editor.InsertRTF(props, rtf);
    TouchDocument(editor.RVData());
    for (const TCustomRVData* part : editor.PageSetup().Documents()) TouchDocument(*part);
    editor.UndoLastGroup();
    editor.RedoLastGroup();
    TouchDocument(editor.RVData());
  }
  return 0;
}
