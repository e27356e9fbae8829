// The RTF writer's procedure: the range to write, the items in order with
// their paragraph starts and bookmarks, and the entry points that catch
// every failure.
#include "richtext/rtf/writer/RVRTFWriter.h"

#include <cmath>
#include <limits>

#include "platform/Screen.h"
#include "richtext/rtf/writer/RVRTFWriterInternal.h"

namespace varnolt {

namespace {

constexpr double kTwipsPerInch = 1440.0;

bool IsListMarker(const TCustomRVItemInfo& item) { return item.StyleNo == ItemKindListMarker; }

std::int32_t RoundToInt32(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded == rounded)) return 0;
  if (rounded >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (rounded <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(rounded);
}

}  // namespace

std::u16string FolderWithSeparator(const std::filesystem::path& fileName) {
  std::filesystem::path folder = fileName.parent_path();
  if (folder.empty()) return {};
  return Utf8ToUtf16((folder / "").string());
}

TRVRTFWriter::TRVRTFWriter(TRVRTFSink& sink, const TRVStyle& style, const TRVRTFWriteSettings& settings,
                           std::u16string path)
    : sink_(sink),
      style_(style),
      settings_(settings),
      path_(std::move(path)),
      pixelsPerInch_(settings.PixelsPerInch > 0 ? settings.PixelsPerInch : kScreenPixelsPerInch),
      twipsPerPixel_(kTwipsPerInch / pixelsPerInch_),
      escaper_(settings.RTFOptions.Contains(rvrtfDuplicateUnicode) ? 1 : 0) {}

std::int32_t TRVRTFWriter::Twips(double pixels) const { return RoundToInt32(pixels * twipsPerPixel_); }

void TRVRTFWriter::WriteComplete(const TCustomRVData& data, bool selectionOnly, TColor color, const TCustomRVData* headerDoc,
                                 const TCustomRVData* footerDoc) {
  const TCustomRVData* target = &data;
  if (selectionOnly && settings_.OnGetSelectionDocument) {
    if (const TCustomRVData* inner = settings_.OnGetSelectionDocument(data)) target = inner;
  }
  TRVRTFCall call(*target);
  call.Complete = true;
  call.SelectionOnly = selectionOnly;
  if (!FindRange(call)) return;
  Prepare(*target, color, headerDoc, footerDoc);
  WriteHeader(*target, headerDoc, footerDoc);
  WriteBody(call);
  if (!selectionOnly || EndsAtParagraphEnd(call)) sink_.Put("\\par");
  sink_.Put('}');
}

void TRVRTFWriter::WriteNested(const TCustomRVData& data, int level) {
  TRVRTFCall call(data);
  call.Level = level;
  if (FindRange(call)) WriteBody(call);
}

bool TRVRTFWriter::FindRange(TRVRTFCall& call) const {
  const TCustomRVData& data = call.Data;
  const int count = data.CountItems();
  if (count == 0) return false;
  if (!call.SelectionOnly) {
    call.Start = {0, data.ItemStartOffset(0)};
    call.End = {count - 1, data.ItemEndOffset(count - 1)};
    return true;
  }
  if (!data.GetSelectionBounds(call.Start, call.End)) return false;
  if (call.Start.ItemNo < 0 || call.End.ItemNo >= count || call.Start.ItemNo > call.End.ItemNo) return false;
  for (int i = call.Start.ItemNo; i <= call.End.ItemNo; ++i) {
    if (!SkippedAtBoundary(call, i)) return true;
  }
  return false;
}

void TRVRTFWriter::WriteBody(TRVRTFCall& call) {
  if (call.SelectionOnly) WriteSelectionMarker(call);
  WriteItems(call);
  if (const TRVCPInfo* pending = call.Data.PendingCheckpoint()) WriteBookmark(call, *pending);
}

// A selection that starts after the marker of its first paragraph keeps the
// paragraph's list numbering.
void TRVRTFWriter::WriteSelectionMarker(TRVRTFCall& call) {
  const TCustomRVData& data = call.Data;
  const int first = call.Start.ItemNo;
  const int paraStart = data.ParagraphStart(first);
  const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&data.ItemAt(paraStart));
  if (marker == nullptr) return;
  if (paraStart == first && call.Start.Offset < data.ItemEndOffset(first)) return;
  WriteStyleReference(marker->ParaNo);
  WriteParaProperties(&call, marker->ParaNo, marker->LevelInfo(&style_));
  WriteMarker(*marker);
  call.LastTextStyle = -1;
}

bool TRVRTFWriter::SkippedAtBoundary(const TRVRTFCall& call, int index) const {
  if (!call.SelectionOnly) return false;
  const TCustomRVItemInfo& item = call.Data.ItemAt(index);
  if (!item.IsText()) {
    return (index == call.Start.ItemNo && call.Start.Offset >= 1) || (index == call.End.ItemNo && call.End.Offset <= 0);
  }
  const int length = TextItemLength(item);
  if (length == 0) return false;
  return (index == call.Start.ItemNo && call.Start.Offset > length) ||
         (index == call.End.ItemNo && call.End.Offset <= 1);
}

void TRVRTFWriter::WriteItems(TRVRTFCall& call) {
  for (int i = call.Start.ItemNo; i <= call.End.ItemNo; ++i) {
    if (SkippedAtBoundary(call, i)) continue;
    const TCustomRVItemInfo& item = call.Data.ItemAt(i);
    if (!item.ContinuesPara()) WriteParagraphStart(call, i);
    call.NoParaBreak = false;
    if (item.Checkpoint()) WriteBookmark(call, *item.Checkpoint());
    const bool link = WriteLinkStart(call, i);
    WriteContent(call, i);
    if (link) {
      sink_.Put("}}");
      call.LastTextStyle = -1;
    }
  }
}

void TRVRTFWriter::WriteParagraphStart(TRVRTFCall& call, int index) {
  const TCustomRVData& data = call.Data;
  const TCustomRVItemInfo& item = data.ItemAt(index);
  sink_.Put("\r\n");
  const bool wholeLine = item.OccupiesWholeLine();
  if (wholeLine && item.PageBreakBefore()) {
    sink_.Put("\\page ");
    if (index > 0 && item.StyleNo == ItemKindTable && data.ItemAt(index - 1).StyleNo == ItemKindTable) {
      sink_.Put("\\par ");
    }
  }
  if (item.LineBreakBefore()) {
    sink_.Put("\\line ");
    return;
  }
  if (!call.NoParaBreak) {
    sink_.Put("\\par ");
    if (index > 0 && IsListMarker(data.ItemAt(data.ParagraphStart(index - 1)))) {
      sink_.Put("\\plain");
      call.LastTextStyle = -1;
    }
  }
  if (!wholeLine && item.PageBreakBefore()) sink_.Put("\\page ");
  const auto* marker = item.IsText() ? nullptr : dynamic_cast<const TRVMarkerItemInfo*>(&item);
  const TRVListLevel* markerLevel = marker != nullptr ? marker->LevelInfo(&style_) : nullptr;
  const bool levelChanges = marker != nullptr ? markerLevel != call.LevelInEffect : call.LevelInEffect != nullptr;
  if (item.ParaNo != call.LastParaStyle || levelChanges) {
    sink_.Put("\\pard");
    WriteStyleReference(item.ParaNo);
    WriteParaProperties(&call, item.ParaNo, markerLevel);
  }
}

bool TRVRTFWriter::EndsAtParagraphEnd(const TRVRTFCall& call) const {
  const TCustomRVData& data = call.Data;
  const int last = call.End.ItemNo;
  const bool paragraphEnds = last == data.CountItems() - 1 || data.ItemStartsPara(last + 1);
  return paragraphEnds && call.End.Offset >= data.ItemEndOffset(last);
}

void TRVRTFWriter::WriteBookmark(TRVRTFCall& call, const TRVCPInfo& checkpoint) {
  std::u16string name = checkpoint.Name;
  for (char16_t& c : name) {
    if (!IsCharAlphaNumeric(c)) c = u'_';
  }
  for (const char* keyword : {"{\\*\\bkmkstart ", "}{\\*\\bkmkend "}) {
    sink_.Put(keyword);
    if (name.empty()) {
      sink_.Put("RichDocCheckpoint");
      sink_.PutNumber(call.BookmarkCounter);
    } else {
      EscapeName(name, style_.DefCodePage);
    }
  }
  sink_.Put('}');
  ++call.BookmarkCounter;
}

bool WriteRTF(const TCustomRVData& data, OutputStream& stream, const std::u16string& path, bool selectionOnly,
              TColor color, const TCustomRVData* headerDoc, const TCustomRVData* footerDoc, const TRVRTFWriteSettings& settings) {
  TRVRTFSink sink(stream);
  try {
    std::optional<TRVStyle> fallback;
    const TRVStyle* sheet = data.GetRVStyle();
    if (sheet == nullptr) sheet = &fallback.emplace();
    TRVRTFWriter writer(sink, *sheet, settings, path);
    writer.WriteComplete(data, selectionOnly, color, headerDoc, footerDoc);
    sink.Flush();
    return true;
  } catch (...) {
    // What was written before the failure still reaches the stream.
    try {
      sink.Flush();
    } catch (...) {
    }
    return false;
  }
}

bool WriteRTFFile(const TCustomRVData& data, const std::filesystem::path& fileName, bool selectionOnly, TColor color,
                  const TCustomRVData* headerDoc, const TCustomRVData* footerDoc, const TRVRTFWriteSettings& settings) {
  try {
    AtomicFileOutputStream file(fileName);
    if (!WriteRTF(data, file, FolderWithSeparator(fileName), selectionOnly, color, headerDoc, footerDoc, settings)) {
      return false;
    }
    file.Commit();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace varnolt
