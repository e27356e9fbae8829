// RTF imports put at the caret: the import reads into a scratch document on
// the editor's style sheet, the editor inserts what it read as one step.
#include "richtext/editor/RVEdit.h"

#include <algorithm>

#include "richtext/rtf/reader/RVRTFReader.h"

namespace varnolt {

std::uint8_t TCustomRichDocEdit::InsertRTF(TRVRTFReaderProperties& props, std::string_view rtf) {
  if (rtf.empty()) return props.RecordResult(kRtfOk, 0);
  return InsertReadRTF(props, [&](TCustomRVData& scratch, std::int32_t paraBefore, TRVPageSetup* pageSetup) {
    return props.ImportForInsertion(rtf, scratch, paraBefore, pageSetup);
  });
}

std::uint8_t TCustomRichDocEdit::InsertRTF(TRVRTFReaderProperties& props, std::istream& rtf) {
  if (rtf.peek() == std::istream::traits_type::eof()) return props.RecordResult(kRtfOk, 0);
  return InsertReadRTF(props, [&](TCustomRVData& scratch, std::int32_t paraBefore, TRVPageSetup* pageSetup) {
    return props.ImportForInsertion(rtf, scratch, paraBefore, pageSetup);
  });
}

std::uint8_t TCustomRichDocEdit::InsertReadRTF(TRVRTFReaderProperties& props, const TRVScratchReader& read) {
  TCustomRichDocEdit* target = this;
  while (target->InplaceEditor() != nullptr) target = target->InplaceEditor();
  if (target->Style() == nullptr) {
    target->EnsureEditable(false);
    return props.RecordResult(kRtfHandlerError, 0);
  }
  TRVEditRVData& data = target->RVData();
  TCustomRVData scratch;
  scratch.SetRVStyle(target->Style());
  scratch.SetTagsArePChars(data.TagsArePChars());
  scratch.Events.StyleAdded = data.Events.StyleAdded;
  const int caretItem = data.Caret.ItemNo;
  const std::int32_t paraBefore = caretItem >= 0 && caretItem < data.CountItems() ? data.ItemAt(caretItem).ParaNo
                                                                                   : target->CurParaStyleNo;
  const bool wasEmpty = data.CountItems() == 0 ||
                        (data.CountItems() == 1 && data.ItemAt(0).IsText() && data.ItemTextAt(0).empty());
  TRVPageSetup brought;
  const std::uint8_t result = read(scratch, paraBefore, &brought);
  TRVItemList items = scratch.ExtractItems(0, scratch.CountItems());
  const auto inserted = static_cast<int>(items.size());
  if (!target->InsertImportedItems(std::move(items), result != kRtfOk)) return props.RecordResult(kRtfHandlerError);
  // The page's, even when a cell's editor took the text; sections count
  // from where the text went (an import into an empty page: its end).
  pageSetup_.TakeMissing(std::move(brought), std::max(0, data.CountItems() - inserted), wasEmpty);
  return result;
}

std::uint8_t TCustomRichDocEdit::InsertRTFFile(TRVRTFReaderProperties& props, const std::string& fileName) {
  return props.ImportFile(fileName, [&](std::istream& rtf) { return InsertRTF(props, rtf); });
}

}  // namespace varnolt
