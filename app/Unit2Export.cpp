// The PDF and RTF exports of the whole project, and the plain-text export
// of the batch mode.
#include <unicode/utf16.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/PdfExportFrame.h"
#include "app/Unit2.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/OutputStream.h"
#include "platform/Paths.h"
#include "richtext/document/RVItem.h"
#include "richtext/rtf/writer/RVRTFWriter.h"

namespace varnolt {

namespace {

// Hands bytes on to a stream and keeps the first failure, which the RTF
// writer would otherwise turn into a plain false without its reason.
class TFailureKeepingStream final : public OutputStream {
 public:
  explicit TFailureKeepingStream(OutputStream& target) : target_(target) {}
  void Write(std::string_view bytes) override { Keep([&] { target_.Write(bytes); }); }
  std::int64_t Position() const override { return target_.Position(); }
  void Restart() override { Keep([&] { target_.Restart(); }); }
  void RethrowFailure() const {
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  template <typename Operation>
  void Keep(Operation&& operation) {
    try {
      operation();
    } catch (...) {
      if (!failure_) failure_ = std::current_exception();
      throw;
    }
  }

  OutputStream& target_;
  std::exception_ptr failure_;
};

// The page size and margins of the first page, which RTF holds once for
// the whole document.
TRVDocParameters PageParameters(const TForm2& form) {
  TRVDocParameters parameters;
  parameters.Units = rvuPoints;
  constexpr double kPointsPerInch = 72;
  parameters.HeaderY = parameters.FooterY = TRVDocParameters().HeaderY * kPointsPerInch;
  const auto i = static_cast<size_t>(form.FirstExistingPage());
  parameters.PageWidth = form.PageWidths.at(i);
  parameters.PageHeight = form.PageHeights.at(i);
  parameters.LeftMargin = parameters.RightMargin = form.PageLeftMargins.at(i);
  parameters.TopMargin = parameters.BottomMargin = form.PageTopMargins.at(i);
  return parameters;
}

// Turns UTF-16LE bytes arriving in chunks into code units; a chunk may end
// inside a unit, whose first byte then waits for the next chunk. An odd
// byte left at the end is no character.
class TUtf16ChunkDecoder {
 public:
  void Decode(std::string_view bytes, std::u16string& units) {
    if (held_ && !bytes.empty()) {
      const char pair[] = {*held_, bytes.front()};
      units += BytesToUtf16(std::string_view(pair, 2));
      bytes.remove_prefix(1);
      held_.reset();
    }
    units += BytesToUtf16(bytes);
    if (bytes.size() % 2 != 0) held_ = bytes.back();
  }

 private:
  std::optional<char> held_;
};

// Page text comes as UTF-16 with CR LF between lines; a text file on Linux
// has UTF-8 and LF, a lone CR too. A CR or a high surrogate at a chunk's end
// waits for the next chunk, which may hold its LF or low surrogate.
class TLinuxTextWriter {
 public:
  explicit TLinuxTextWriter(OutputStream& file) : file_(file) {}

  void Write(std::string_view utf16Bytes) {
    decoder_.Decode(utf16Bytes, units_);
    WriteDecided(false);
  }
  // The text's end: what waited is written as it stands.
  void Finish() { WriteDecided(true); }

 private:
  void WriteDecided(bool atEnd) {
    const bool waits = !atEnd && !units_.empty() && (units_.back() == u'\r' || U16_IS_LEAD(units_.back()));
    const std::size_t decided = units_.size() - (waits ? 1 : 0);
    lines_.resize(decided);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < decided; ++i) {
      if (units_[i] == u'\r' && i + 1 < units_.size() && units_[i + 1] == u'\n') continue;
      lines_[kept++] = units_[i] == u'\r' ? u'\n' : units_[i];
    }
    lines_.resize(kept);
    units_.erase(0, decided);
    if (!lines_.empty()) file_.Write(Utf16ToUtf8(lines_));
  }

  OutputStream& file_;
  TUtf16ChunkDecoder decoder_;
  std::u16string units_;
  std::u16string lines_;
};

// List paragraphs keep their labels, as the page shows them. Half a page in
// the file would pass for all of it: a page whose text cannot be extracted
// fails the export.
void WritePageText(const TRichDocEdit& editor, TFailureKeepingStream& out, std::size_t chunkBytes,
                   const std::filesystem::path& fileName) {
  TLinuxTextWriter text(out);
  const bool extracted =
      editor.SelectedText(true, [&](std::string_view chunk) { text.Write(chunk); }, chunkBytes, true);
  out.RethrowFailure();
  if (!extracted) {
    throw Exception("Cannot write file \"" + fileName.string() + "\". The text of a page could not be extracted.");
  }
  text.Finish();
}

// Room for a document's text as UTF-16, counted from its items' stored
// text; tables' cells are not counted, so the text may still grow.
std::size_t Utf16TextEstimate(const TCustomRVData& document) {
  constexpr std::size_t kLineEnd = 2;
  std::size_t units = 0;
  for (int i = 0; i < document.CountItems(); ++i) {
    const TCustomRVItemInfo& item = document.ItemAt(i);
    units += (item.UnicodeText() ? item.ItemText.size() / 2 : item.ItemText.size()) + kLineEnd;
  }
  return units;
}

}  // namespace

void TForm2::statusbarinit() { Progress.Reset(); }

TTextFrameNeeds TForm2::ExportFrameNeeds(int index) const {
  const auto& editor = PageEditors.at(static_cast<size_t>(index));
  std::u16string text;
  for (int item = 0; editor && item < editor->CountItems(); ++item) text += editor->ItemTextAt(item);
  TPRText frame;
  frame.SetFontName(TPdfExportFrame::FontFor(text));
  TPdfDoc measuring;
  measuring.StartDocumentWithPage();
  TPdfCanvas& canvas = measuring.GetCanvas();
  canvas.SelectFont(frame.PdfFontName(), TPdfExportFrame::kFontSize);
  canvas.SetCharSpace(TPdfExportFrame::kCharSpace);
  std::vector<bool> measured(0x10000);
  float widest = 0;
  for (char16_t c : text) {
    if (measured[c]) continue;
    measured[c] = true;
    widest = std::max(widest, canvas.MeasureWidth(std::u16string_view(&c, 1)));
  }
  return TTextFrameNeeds{widest, TPdfExportFrame::kFontSize};
}

bool TForm2::ExportPageToPdf(int index, TPdfExportFrame& frame) {
  const auto i = static_cast<size_t>(index);
  auto& editor = *PageEditors.at(i);
  editor.SelectWholeDocument();
  if (!editor.HasSelection()) return false;
  std::u16string text = PageTextForPdf(editor);
  // The batch mode's export is its last command: the page's items go before
  // its PDF pages are made, so that those take the memory the items held.
  if (BatchMode) editor.ClearDocument();
  frame.SetUp(PageWidths.at(i), PageHeights.at(i), PageLeftMargins.at(i), PageTopMargins.at(i), std::move(text));
  frame.PrintAll(PReport1);
  return true;
}

// A project of empty pages still makes a complete file: one blank page of
// the first page's size.
void TForm2::ExportBlankPdfPage(TPdfExportFrame& frame) {
  const auto i = static_cast<size_t>(FirstExistingPage());
  frame.SetUp(PageWidths.at(i), PageHeights.at(i), PageLeftMargins.at(i), PageTopMargins.at(i), u"");
  frame.PrintAll(PReport1);
}

// The window takes the page's text through the clipboard and leaves it
// empty; the batch mode's clipboard has no viewer, so it takes the text
// straight from the page, emptying the clipboard first all the same so that
// what an import left there is not held through the export.
std::u16string TForm2::PageTextForPdf(TRichDocEdit& editor) {
  if (BatchMode) {
    clipboard_.Empty();
    // Straight into one string of the right size, not bytes first and then
    // a second whole copy.
    std::u16string text;
    text.reserve(Utf16TextEstimate(editor.RVData()));
    TUtf16ChunkDecoder decoder;
    if (!editor.SelectedText(true, [&](std::string_view chunk) { decoder.Decode(chunk, text); }, kTextChunkBytes)) {
      return {};
    }
    return text;
  }
  editor.CopyAsUnicodeText();
  std::u16string text = clipboard_.UnicodeText().value_or(u"");
  clipboard_.Empty();
  return text;
}

bool TForm2::ChoosePdfFile(const std::u16string& filter) {
  auto fileName = ChooseFileToSave(TFileDialogRequest{u"export", filter, u"pdf",
                                                            std::filesystem::path(PReport1.FileName()), {}});
  if (!fileName) return false;
  PReport1.SetFileName(FileNameToUtf16(fileName->native()));
  // Every export is dated when it is made; a document a failed export left
  // open keeps its date and the report's own refusal until it is written.
  if (!PReport1.HasDocument()) PReport1.SetCreationDate(Now());
  return true;
}

void TForm2::ShowPdfSummary(int pageCount) {
  host_.ShowMessage(TMessage{u"Total " + ToU16(std::to_string(pageCount)) + u" Pages has been found!\rCreate Success" +
                                 PReport1.FileName() + u"!",
                             u"INFOMATION", TMessageKind::kInformation});
}

void TForm2::Image2Click() {
  statusbarinit();
  if (!ChoosePdfFile(u"Portable Document Format(*.pdf)|*.pdf")) return;
  PReport1.OpenDocument();

  TPdfExportFrame frame;

  const int slots = PageSlotCount();
  Progress.Start(slots);
  int pageCount = 0;
  bool printed = false;
  for (int i = 0; i < slots; ++i) {
    if (!PageEditors.at(static_cast<size_t>(i))) continue;
    ++pageCount;
    printed = ExportPageToPdf(i, frame) || printed;
    Progress.Step();
    host_.ProcessMessages();
  }
  if (!printed) ExportBlankPdfPage(frame);
  Progress.End(slots);

  PReport1.CloseDocument();
  MarkExported();
  ShowPdfSummary(pageCount);
}

std::unique_ptr<TRichDocEdit> TForm2::CollectPages(int& pageCount) {
  // The collecting editor has the default settings, not the pages' ones.
  auto collecting = std::make_unique<TRichDocEdit>();
  collecting->SetStyle(&RVStyle1);
  collecting->SetClipboard(&clipboard_);
  collecting->SetFormatOnDemand(BatchMode);
  collecting->Format();
  // Laid out once at the end, not once per page: that kept the export quadratic.
  collecting->BeginUpdate();
  const int slots = PageSlotCount();
  Progress.Start(slots);
  pageCount = 0;
  bool pasted = false;
  for (int i = 0; i < slots; ++i) {
    auto& editor = PageEditors.at(static_cast<size_t>(i));
    if (!editor) continue;
    editor->SelectWholeDocument();
    if (editor->HasSelection()) {
      // Each page starts a paragraph of its own rather than running on from
      // the end of the page before.
      if (pasted) collecting->InsertTextAtCaret(u"\r");
      CopyPageInto(*editor, *collecting);
      pasted = true;
    }
    Progress.Step();
    ++pageCount;
  }
  Progress.End(slots);
  collecting->EndUpdate();
  return collecting;
}

void TForm2::Image6Click() {
  statusbarinit();
  auto fileName = ChooseFileToSave(
      TFileDialogRequest{u"Export", u"rich text format(*.rtf)|*.rtf", u"rtf", {}, {}});
  if (!fileName) return;
  int pageCount = 0;
  auto collecting = CollectPages(pageCount);
  WriteProjectRtf(collecting->RVData(), *fileName);
  if (BatchMode) {
    exportedPages_ = std::move(collecting);
  } else {
    collecting->ClearDocument();
  }
  MarkExported();
  host_.ShowMessage(TMessage{u"Total " + ToU16(std::to_string(pageCount)) + u" pages has been found!\rCreate success" +
                                 FileNameToUtf16(fileName->native()) + u"!",
                             u"INFOMATION", TMessageKind::kInformation});
}

// The window copies each page with every format and pastes it, so the
// clipboard ends holding the last page; the paste takes only the RVF. The
// batch mode exports once and ends, so it hands the page's items over as that
// paste would make them, and builds the RVF only for content it would change.
void TForm2::CopyPageInto(TRichDocEdit& page, TRichDocEdit& collecting) {
  if (BatchMode) {
    if (!page.MoveDocumentInto(collecting)) collecting.PasteRvf(page.SelectionAsRvfBlock());
    return;
  }
  page.CopyAllFormats();
  collecting.PasteFromClipboard();
}

void TForm2::WriteProjectRtf(const TCustomRVData& project, const std::filesystem::path& fileName) {
  TRVRTFWriteSettings settings;
  settings.RTFOptions.Include(rvrtfSaveDocParameters);
  settings.DocParameters = PageParameters(*this);
  settings.DocInfo = TRVRTFDocInfo{PReport1.Title(), PReport1.Subject(), PReport1.Author(), PReport1.Keywords()};
  AtomicFileOutputStream file(fileName);
  TFailureKeepingStream stream(file);
  if (!WriteRTF(project, stream, FolderWithSeparator(fileName), false, RVStyle1.Color, nullptr, nullptr,
                settings)) {
    stream.RethrowFailure();
    throw Exception("Cannot write file \"" + fileName.string() + "\". The document could not be written as RTF.");
  }
  file.Commit();
}

void TForm2::ExportPlainText(const std::filesystem::path& fileName, std::size_t chunkBytes) {
  statusbarinit();
  const int slots = PageSlotCount();
  Progress.Start(slots);
  AtomicFileOutputStream file(fileName);
  TFailureKeepingStream out(file);
  int pageCount = 0;
  for (int i = 0; i < slots; ++i) {
    auto& editor = PageEditors.at(static_cast<size_t>(i));
    if (!editor) continue;
    editor->SelectWholeDocument();
    if (editor->HasSelection()) WritePageText(*editor, out, chunkBytes, fileName);
    out.Write("\f");
    Progress.Step();
    ++pageCount;
  }
  file.Commit();
  Progress.End(slots);
  MarkExported();
  host_.ShowMessage(TMessage{u"Total " + ToU16(std::to_string(pageCount)) + u" pages has been found!\rCreate success" +
                                 FileNameToUtf16(fileName.native()) + u"!",
                             u"INFOMATION", TMessageKind::kInformation});
}

}  // namespace varnolt
