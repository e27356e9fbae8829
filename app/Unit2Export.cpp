// The PDF export of the whole project, and the plain-text export of the
// batch mode.
#include <string>

#include "app/Unit2.h"
#include "pdf/PdfFonts.h"
#include "platform/CodePage.h"
#include "platform/OutputStream.h"
#include "platform/Paths.h"
#include "richtext/document/RVItem.h"

namespace varnolt {

void TForm2::statusbarinit() { Progress.Reset(); }

void TForm2::ExportPageToPdf(int index, TPRPage& page, TPRText& frame) {
  const auto i = static_cast<size_t>(index);
  auto& editor = *PageEditors.at(i);
  editor.SelectWholeDocument();
  if (!editor.HasSelection()) return;
  editor.CopyAsUnicodeText();

  const std::int32_t width = PageWidths.at(i);
  const std::int32_t height = PageHeights.at(i);
  const std::int32_t left = PageLeftMargins.at(i);
  const std::int32_t top = PageTopMargins.at(i);
  page.SetWidth(width);
  page.SetHeight(height);

  frame.SetLineWidth(1.0f);
  frame.SetLineColor(clWhite);
  frame.SetAlign(alTop);
  frame.SetWordWrap(true);
  frame.SetTextMarginTop(static_cast<std::uint32_t>(top));
  frame.SetTextMarginLeft(static_cast<std::uint32_t>(left));
  frame.SetTextMarginRight(static_cast<std::uint32_t>(left));
  frame.SetTextMarginBottom(static_cast<std::uint32_t>(top));
  // The page width less both side margins.
  frame.SetBounds(left, top, width - 2 * left, height - 2 * top);
  frame.SetFontSize(12);
  frame.SetCharSpace(-2);
  frame.SetLeading(12);

  editor.CopyAsUnicodeText();
  frame.SetText(clipboard_.UnicodeText().value_or(u""));
  frame.SetStartIndex(0);
  clipboard_.Empty();
  // Arial writes WinAnsi bytes only; the Gothic font's code table reaches
  // Chinese, Japanese kana, Greek and Cyrillic.
  frame.SetFontName(HasNonWinAnsiCharacter(frame.Text()) ? fnPGothic : fnArial);

  // Text that does not fit goes on over further PDF pages of the same size.
  PReport1.PrintPage(page);
  while (frame.StopIndex() < frame.Text().size() && frame.StopIndex() > frame.StartIndex()) {
    frame.SetStartIndex(frame.StopIndex());
    PReport1.PrintPage(page);
  }
}

void TForm2::Image2Click() {
  statusbarinit();
  auto fileName = host_.ChooseFileToSave(TFileDialogRequest{u"export", u"Portable Document Format(*.pdf)|*.pdf", u"pdf",
                                                            std::filesystem::path(PReport1.FileName()), ExecutableDir()});
  if (!fileName) return;
  PReport1.SetFileName(fileName->u16string());
  PReport1.OpenDocument();

  TPRPage page;
  page.SetVisible(false);
  TPRLayoutPanel panel;
  panel.SetParent(&page);
  panel.SetBounds(0, 0, panel.Width(), panel.Height());
  TPRText frame;
  frame.SetParent(&panel);

  const int slots = PageSlotCount();
  Progress.Start(slots);
  int pageCount = 0;
  for (int i = 0; i < slots; ++i) {
    if (!PageEditors.at(static_cast<size_t>(i))) continue;
    ++pageCount;
    ExportPageToPdf(i, page, frame);
    Progress.Step();
    host_.ProcessMessages();
  }
  Progress.End(slots);

  PReport1.CloseDocument();
  host_.ShowMessage(TMessage{u"Total " + ToU16(std::to_string(pageCount)) + u" Pages has been found!\rCreate Success" +
                                 PReport1.FileName() + u"!",
                             u"INFOMATION", TMessageKind::kInformation});
}

std::unique_ptr<TRichDocEdit> TForm2::CollectPages(int& pageCount) {
  auto collecting = CreatePageEditor();
  collecting->Format();
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
      editor->CopyAllFormats();
      collecting->PasteFromClipboard();
      pasted = true;
    }
    Progress.Step();
    ++pageCount;
  }
  Progress.End(slots);
  return collecting;
}

void TForm2::Image6Click() {
  statusbarinit();
  auto fileName = host_.ChooseFileToSave(
      TFileDialogRequest{u"Export", u"rich text format(*.rtf)|*.rtf", u"rtf", {}, ExecutableDir()});
  if (!fileName) return;
  int pageCount = 0;
  auto collecting = CollectPages(pageCount);
  if (!collecting->WriteRtfFile(*fileName, false)) {
    throw Exception("Cannot write the file " + fileName->string());
  }
  collecting->ClearDocument();
  host_.ShowMessage(TMessage{u"Total " + ToU16(std::to_string(pageCount)) + u" pages has been found!\rCreate success" +
                                 fileName->u16string() + u"!",
                             u"INFOMATION", TMessageKind::kInformation});
}

void TForm2::ExportPlainText(const std::filesystem::path& fileName) {
  statusbarinit();
  const int slots = PageSlotCount();
  Progress.Start(slots);
  AtomicFileOutputStream out(fileName);
  for (int i = 0; i < slots; ++i) {
    auto& editor = PageEditors.at(static_cast<size_t>(i));
    if (!editor) continue;
    editor->SelectWholeDocument();
    const std::string utf16 = editor->HasSelection() ? editor->SelectedText(true) : std::string();
    out.Write(Utf16ToUtf8(BytesToUtf16(utf16)));
    out.Write("\f");
    Progress.Step();
  }
  out.Commit();
  Progress.End(slots);
}

}  // namespace varnolt
