// Text runs, and how every item of an import goes into its target: flags
// from the run's position, list markers, checkpoints, page breaks.
#include "richtext/rtf/import/RVRTFImport.h"

#include <algorithm>
#include <cmath>

#include "richtext/rtf/reader/RVRTFReaderInternal.h"

namespace varnolt {

namespace {

// Stored UTF-16 text: tabs become `spaces` spaces, and the paragraph mark
// of the stored format a space.
std::string StoredUnicode(std::u16string_view text, int spaces) {
  if (text.find(u'\t') == std::u16string_view::npos) return UnicodeItemText(text);
  std::u16string replaced;
  replaced.reserve(text.size());
  for (char16_t c : text) {
    if (c == u'\t') {
      replaced.append(static_cast<std::size_t>(std::max(spaces, 0)), u' ');
    } else {
      replaced += c;
    }
  }
  return UnicodeItemText(replaced);
}

std::string StoredAnsi(std::string_view text, int spaces) {
  if (text.find('\t') == std::string_view::npos) return AnsiItemText(text);
  std::string replaced;
  replaced.reserve(text.size());
  for (char c : text) {
    if (c == '\t') {
      replaced.append(static_cast<std::size_t>(std::max(spaces, 0)), ' ');
    } else {
      replaced += c;
    }
  }
  return AnsiItemText(replaced);
}

// Most text is ASCII, the same in every code page: it widens as it is.
// Two plain loops rather than one that stops early: the compiler runs both
// over many bytes at once.
std::optional<std::string> WidenedAscii(std::string_view text) {
  bool widens = true;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    widens &= byte < 0x80 && byte != '\t' && byte != 0;
  }
  if (!widens) return std::nullopt;
  std::string stored(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) stored[2 * i] = text[i];
  return stored;
}

// A paragraph break outweighs a line break, which outweighs none.
TRVRTFPosition Stronger(TRVRTFPosition a, TRVRTFPosition b) { return std::max(a, b); }

// Whether code page codePage holds every character of text.
std::optional<std::string> ExactlyInCodePage(CodePageId codePage, const std::u16string& text) {
  std::optional<std::string> bytes = TryWideToMultiByte(codePage, text);
  if (!bytes) return std::nullopt;
  std::optional<std::u16string> back = TryMultiByteToWide(codePage, *bytes);
  if (!back || *back != text) return std::nullopt;
  return bytes;
}

}  // namespace

std::int32_t TRVRTFImporter::ToPixels(std::int32_t twips) const { return ToPixels(static_cast<double>(twips)); }

std::int32_t TRVRTFImporter::ToPixels(double twips) const { return RoundHalfEven(twips * ppi_ / 1440.0); }

CodePageId TRVRTFImporter::FontCodePage() const { return reader_->TextCodePage(); }

// --- text runs ---

bool TRVRTFImporter::DropHidden(TRVRTFPosition position) {
  if (!props_.SkipHiddenText || !reader_->RTFState().charProps.hidden) return false;
  if (props_.LineBreaksAsParagraphs && position == rtf_ts_NewLine) position = rtf_ts_NewPara;
  droppedBreak_ = Stronger(droppedBreak_, position);
  return true;
}

TRVRTFPosition TRVRTFImporter::TakePosition(TRVRTFPosition position) {
  if (props_.LineBreaksAsParagraphs && position == rtf_ts_NewLine) position = rtf_ts_NewPara;
  position = Stronger(position, droppedBreak_);
  droppedBreak_ = rtf_ts_ContinuePara;
  return position;
}

void TRVRTFImporter::NewText(const TRVAnsiString& text, TRVRTFPosition position) {
  if (DropHidden(position)) return;
  position = TakePosition(position);
  const std::int32_t styleNo = ChooseTextStyle(props_.UnicodeMode == rvruOnlyUnicode, false);
  if (style_.SpacesInTab == 0 && text == "\t") {
    InsertItem(std::make_unique<TRVTabItemInfo>(styleNo), {}, position);
    return;
  }
  if (!style_.TextStyleAt(styleNo).Unicode) {
    InsertTextRun(StoredAnsi(text, style_.SpacesInTab), false, styleNo, position);
  } else if (std::optional<std::string> ascii = WidenedAscii(text)) {
    InsertTextRun(std::move(*ascii), true, styleNo, position);
  } else {
    InsertTextRun(StoredUnicode(AnsiToUnicode(FontCodePage(), text), style_.SpacesInTab), true, styleNo, position);
  }
}

void TRVRTFImporter::NewUnicodeText(const TRVUnicodeString& text, TRVRTFPosition position) {
  if (DropHidden(position)) return;
  position = TakePosition(position);
  std::optional<std::string> narrow;
  if (props_.UnicodeMode == rvruMixed) narrow = ExactlyInCodePage(FontCodePage(), text);
  const std::int32_t styleNo = ChooseTextStyle(!narrow.has_value(), false);
  if (style_.SpacesInTab == 0 && text == u"\t") {
    InsertItem(std::make_unique<TRVTabItemInfo>(styleNo), {}, position);
    return;
  }
  if (style_.TextStyleAt(styleNo).Unicode) {
    InsertTextRun(StoredUnicode(text, style_.SpacesInTab), true, styleNo, position);
    return;
  }
  if (!narrow) narrow = UnicodeToAnsi(reader_->CodePage(), text);
  InsertTextRun(StoredAnsi(*narrow, style_.SpacesInTab), false, styleNo, position);
}

void TRVRTFImporter::InsertTextRun(std::string stored, bool unicode, std::int32_t styleNo,
                                   TRVRTFPosition position) {
  // An empty run that starts nothing (the mark of hidden text switched on) adds nothing.
  if (stored.empty() && position == rtf_ts_ContinuePara && target_->CountItems() > 0) return;
  if (InsertPageField(stored, unicode, styleNo, position)) return;
  auto item = std::make_unique<TRVTextItemInfo>(styleNo);
  item->SetUnicodeText(unicode);
  if (CurrentLink().InLink) {
    item->SetItemHint(CurrentLink().Hint);
    std::int32_t chosen = styleNo;
    ReadHyperlink(*item, chosen);
    if (chosen >= 0) item->StyleNo = chosen;
  }
  InsertItem(std::move(item), std::move(stored), position);
}

// --- paragraph styles of items ---

std::int32_t TRVRTFImporter::LastParaNo(const TCustomRVData& data) const {
  if (data.CountItems() > 0) return data.ItemAt(data.CountItems() - 1).ParaNo;
  return &data == &main_ ? paraBefore_ : 0;
}

std::int32_t TRVRTFImporter::ParaStyleFor(TRVRTFPosition position) {
  if (position != rtf_ts_NewPara) return LastParaNo(*target_);
  if (props_.ParaStyleMode == rvrsUseSpecified) return props_.ParaStyleNo();
  return ChooseParaStyle();
}

// --- putting items in ---

int TRVRTFImporter::InsertItem(std::unique_ptr<TCustomRVItemInfo> item, std::string text, TRVRTFPosition position,
                               std::optional<std::int32_t> givenParaNo) {
  TCustomRVData& data = *target_;
  const std::int32_t paraNo = givenParaNo ? *givenParaNo : ParaStyleFor(position);
  if (position == rtf_ts_NewPara && MarkersApply() && !item->OccupiesWholeLine()) {
    InsertMarkerIfListed(paraNo, position);
  }
  const bool pageBreak = pageBreakTarget_ == &data;
  const bool continues = position == rtf_ts_ContinuePara && !pageBreak && data.CountItems() > 0 &&
                         !data.ItemAt(data.CountItems() - 1).OccupiesWholeLine() && !item->OccupiesWholeLine();
  if (continues) {
    item->ParaNo = -1;
  } else {
    item->ParaNo = paraNo;
    item->SetStartsParagraph();
    if (pageBreak) {
      item->SetPageBreakBefore(true);
      pageBreakTarget_ = nullptr;
    } else if (position == rtf_ts_NewLine) {
      item->SetLineBreakBefore(true);
    }
  }
  if (pendingBookmark_) {
    item->SetCheckpoint(std::make_unique<TRVCPInfo>());
    item->Checkpoint()->Name = std::move(*pendingBookmark_);
    pendingBookmark_.reset();
  }
  data.AppendItem(std::move(text), std::move(item));
  lastNoteReferenceIndex_ = -1;
  NoteItemInCell();
  return data.CountItems() - 1;
}

void TRVRTFImporter::SetTarget(TCustomRVData* target) {
  target_ = target;
  droppedBreak_ = rtf_ts_ContinuePara;
  lastNoteReferenceIndex_ = -1;
}

// --- breaks, bookmarks, the end ---

void TRVRTFImporter::RequirePageBreak() { pageBreakTarget_ = target_; }

void TRVRTFImporter::BookmarkStart(const TRVUnicodeString& name) { pendingBookmark_ = name; }

void TRVRTFImporter::EndParsing() {
  if (pageSetup_ != nullptr) TakePaper();
  if (!props_.ReadDocParameters || !loading_) return;
  const TRVRTFDocProperties& doc = reader_->RTFState().docProps;
  TRVRTFDocParameters parameters;
  parameters.PaperWidth = doc.paperWidth;
  parameters.PaperHeight = doc.paperHeight;
  parameters.LeftMargin = doc.leftMargin;
  parameters.TopMargin = doc.topMargin;
  parameters.RightMargin = doc.rightMargin;
  parameters.BottomMargin = doc.bottomMargin;
  parameters.Landscape = doc.landscape;
  props_.DocParameters = parameters;
}

}  // namespace varnolt
