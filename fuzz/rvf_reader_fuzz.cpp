// Feeds arbitrary bytes to the stored-format reader, once loading a document
// and once pasting into one, with owners that answer for image lists and
// controls so that those items are built; whatever was read is then written
// back, read again and turned into plain text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "richtext/CRVData.h"
#include "richtext/RVFReader.h"
#include "richtext/RVFWriter.h"
#include "richtext/RVStyle.h"

namespace {

using namespace varnolt;

TRVFView FuzzView(bool loading) {
  TRVFView view;
  view.ControlClasses = {"TButton"};
  view.OnImageListNeeded = [](std::int32_t tag) { return tag == 5 ? 4 : -1; };
  if (loading) {
    view.RVFOptions = view.RVFOptions + TRVFOptions{rvfoLoadBack, rvfoLoadLayout, rvfoConvUnknownStylesToZero,
                                                    rvfoConvLargeImageIdxToZero, rvfoIgnoreUnknownPicFmt,
                                                    rvfoIgnoreUnknownCtrls, rvfoSaveTextStyles, rvfoSaveParaStyles};
  } else {
    view.RVFTextStylesReadMode = rvf_sInsertMap;
  }
  return view;
}

void ReadWriteAndReadAgain(std::string_view bytes, bool loading) {
  TRVStyle style;
  TCustomRVData document;
  document.SetRVStyle(&style);
  if (!loading) document.AppendTextItemW(u"paste here", 0, 0);
  TRVFView view = FuzzView(loading);
  ReadRVF(document, bytes, loading ? 0 : 1, loading, view);

  std::string written;
  WriteRVF(document, written, rvfsmWhole, view);
  std::string text;
  document.ExtractText({}, text, 80, false, false, true, false);
  TCustomRVData again;
  again.SetRVStyle(&style);
  ReadRVF(again, written, 0, true, view);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ReadWriteAndReadAgain(bytes, true);
  ReadWriteAndReadAgain(bytes, false);
  return 0;
}
