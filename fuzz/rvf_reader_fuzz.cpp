// Feeds arbitrary bytes to the stored-format reader, once loading a document
// and once pasting into one, with owners that answer for image lists and
// controls so that those items are built; whatever was read is then written
// back, read again and turned into plain text, and parts of it are written
// as selections and printed parts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "richtext/document/CRVData.h"
#include "richtext/editor/RVEdit.h"
#include "richtext/rvf/RVFReader.h"
#include "richtext/rvf/RVFWriter.h"
#include "richtext/style/RVStyle.h"
#include "richtext/table/RVTable.h"

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

// Positions somewhere in the document, chosen by the input's own bytes.
TRVPosition SomePosition(const TCustomRVData& document, std::string_view bytes, std::size_t salt) {
  std::size_t seed = bytes.size() * 31 + salt;
  for (std::size_t i = 0; i < bytes.size() && i < 16; ++i) seed = seed * 131 + static_cast<unsigned char>(bytes[i]);
  int item = static_cast<int>(seed % static_cast<std::size_t>(document.CountItems()));
  int span = document.ItemEndOffset(item) - document.ItemStartOffset(item) + 1;
  return {item, document.ItemStartOffset(item) + static_cast<int>((seed / 7) % static_cast<std::size_t>(span))};
}

// Selections and parts of what was read, and the selected cells of its tables.
void WritePieces(TRVEditRVData& document, std::string_view bytes, TRVFView& view) {
  if (document.CountItems() == 0) return;
  document.SelectionAnchor = SomePosition(document, bytes, 1);
  document.SelectionEnd = SomePosition(document, bytes, 2);
  for (int i = 0; i < document.CountItems(); ++i) {
    if (auto* table = dynamic_cast<TRVTableItemInfo*>(&document.ItemAt(i))) {
      table->SelectCells(static_cast<int>(bytes.size() % 3), 1, 2, 2);
    }
  }
  std::string selection;
  WriteRVF(document, selection, rvfsmSelection, view);
  std::string text;
  document.ExtractText({}, text, 80, true, true, true, false);
  TRVPosition start = document.SelectionAnchor;
  TRVPosition end = document.SelectionEnd;
  if (end.ItemNo < start.ItemNo || (end.ItemNo == start.ItemNo && end.Offset < start.Offset)) std::swap(start, end);
  view.PartStart = start;
  view.PartEnd = end;
  std::string part;
  WriteRVF(document, part, rvfsmPart, view);
}

void ReadWriteAndReadAgain(std::string_view bytes, bool loading) {
  TRVStyle style;
  TRVEditRVData document;
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
  WritePieces(document, bytes, view);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ReadWriteAndReadAgain(bytes, true);
  ReadWriteAndReadAgain(bytes, false);
  return 0;
}
