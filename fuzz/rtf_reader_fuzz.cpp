// Feeds arbitrary bytes to the RTF reader with every event handled, so that
// every path that only runs for a client (pictures, objects, tables, notes,
// fields, headers) is exercised.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "richtext/graphic/RVBitmap.h"
#include "richtext/rtf/reader/RVRTFReader.h"

namespace {

using namespace varnolt;

void TouchGraphic(const TGraphic& graphic) {
  volatile std::size_t sink = graphic.SaveToBytes().size() + static_cast<std::size_t>(graphic.Width());
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic)) {
    for (int row = 0; row < bitmap->Height(); ++row) sink = sink + bitmap->ScanLine(row).size();
  }
  (void)sink;
}

void Attach(TRVRTFReader& reader, std::size_t& total) {
  reader.OnNewText = [&total](TRVRTFReader&, const TRVAnsiString& text, TRVRTFPosition) { total += text.size(); };
  reader.OnNewUnicodeText = [&total](TRVRTFReader& sender, const TRVUnicodeString& text, TRVRTFPosition) {
    total += text.size() + sender.RTFState().paraProps.tabs.size();
  };
  reader.OnNewPicture = [&total](TRVRTFReader&, const TRVRTFPicture* picture, std::unique_ptr<TGraphic>& graphic,
                                 TRVRTFPosition, const TRVUnicodeString&, bool& inserted) {
    if (graphic) TouchGraphic(*graphic);
    if (picture) total += picture->data.size();
    inserted = (total & 1) != 0;
  };
  reader.OnNewObject = [&total](TRVRTFReader&, const TRVRTFObject& object, TRVRTFPosition, bool& inserted) {
    total += object.data.size();
    inserted = (total & 2) != 0;
  };
  reader.OnTable = [&total](TRVRTFReader& sender, TRVRTFTableEventKind kind, bool& processed) {
    if (const auto& row = sender.RTFState().rowProps) total += row->cells.size();
    processed = kind != rvf_tbl_TableEnd || (total & 4) == 0;
  };
  reader.OnHeaderFooter = [](TRVRTFReader&, TRVRTFHeaderFooterType, bool, bool& supported) { supported = true; };
  reader.OnNote = [&total](TRVRTFReader&, TRVRTFNoteEventType, TRVRTFPosition) { ++total; };
  reader.OnImportPicture = [](TRVRTFReader&, const TRVUnicodeString&, std::unique_ptr<TGraphic>&, bool& invalid) {
    invalid = false;
  };
  reader.OnBookmarkStart = [&total](TRVRTFReader&, const TRVUnicodeString& name) { total += name.size(); };
  reader.OnNewSeq = [&total](TRVRTFReader&, TRVRTFPosition, const TRVUnicodeString& name, TRVRTFSeqType, bool,
                             std::int32_t) { total += name.size(); };
  reader.OnUpdateMarker = [&total](TRVRTFReader& sender) {
    if (const auto& marker = sender.RTFState().paraProps.marker) total += marker->textAfter.size();
  };
  reader.OnRequiredPageBreak = [&total](TRVRTFReader&) { ++total; };
  reader.OnEndParsing = [&total](TRVRTFReader& sender) { total += sender.FontList().Count(); };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::size_t total = 0;
  TRVRTFReader reader;
  Attach(reader, total);
  reader.BasePath = u"/nonexistent/";
  std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
  reader.ParseStream(stream);
  return 0;
}
