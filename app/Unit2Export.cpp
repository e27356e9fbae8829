// The PDF export of the whole project, and the plain-text export of the
// batch mode.
#include <algorithm>
#include <string>
#include <vector>

#include "app/PdfExportFrame.h"
#include "app/Unit2.h"
#include "platform/CodePage.h"
#include "platform/OutputStream.h"
#include "platform/Paths.h"
#include "richtext/document/RVItem.h"

namespace varnolt {

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

void TForm2::ExportPageToPdf(int index, TPdfExportFrame& frame) {
  const auto i = static_cast<size_t>(index);
  auto& editor = *PageEditors.at(i);
  editor.SelectWholeDocument();
  if (!editor.HasSelection()) return;
  frame.SetUp(PageWidths.at(i), PageHeights.at(i), PageLeftMargins.at(i), PageTopMargins.at(i),
              PageTextForPdf(editor));
  frame.PrintAll(PReport1);
}

// The window takes the page's text through the clipboard and leaves it
// empty; the batch mode's clipboard has no viewer, so it takes the text
// straight from the page, emptying the clipboard first all the same so that
// what an import left there is not held through the export.
std::u16string TForm2::PageTextForPdf(TRichDocEdit& editor) {
  if (BatchMode) {
    clipboard_.Empty();
    return BytesToUtf16(editor.SelectedText(true));
  }
  editor.CopyAsUnicodeText();
  std::u16string text = clipboard_.UnicodeText().value_or(u"");
  clipboard_.Empty();
  return text;
}

void TForm2::Image2Click() {
  statusbarinit();
  auto fileName = host_.ChooseFileToSave(TFileDialogRequest{u"export", u"Portable Document Format(*.pdf)|*.pdf", u"pdf",
                                                            std::filesystem::path(PReport1.FileName()), ExecutableDir()});
  if (!fileName) return;
  PReport1.SetFileName(fileName->u16string());
  PReport1.OpenDocument();

  TPdfExportFrame frame;

  const int slots = PageSlotCount();
  Progress.Start(slots);
  int pageCount = 0;
  for (int i = 0; i < slots; ++i) {
    if (!PageEditors.at(static_cast<size_t>(i))) continue;
    ++pageCount;
    ExportPageToPdf(i, frame);
    Progress.Step();
    host_.ProcessMessages();
  }
  Progress.End(slots);

  PReport1.CloseDocument();
  host_.ShowMessage(TMessage{u"Total " + ToU16(std::to_string(pageCount)) + u" Pages has been found!\rCreate Success" +
                                 PReport1.FileName() + u"!",
                             u"INFOMATION", TMessageKind::kInformation});
}

void TForm2::Image6Click() {
  statusbarinit();
  auto fileName = host_.ChooseFileToSave(
      TFileDialogRequest{u"Export", u"rich text format(*.rtf)|*.rtf", u"rtf", {}, ExecutableDir()});
  if (!fileName) return;
  auto collecting = CreatePageEditor();
  collecting->Format();
  // Laid out once at the end, not once per page: that kept the export quadratic.
  collecting->BeginUpdate();
  const int slots = PageSlotCount();
  Progress.Start(slots);
  int pageCount = 0;
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
  if (!collecting->WriteRtfFile(*fileName, false)) {
    throw Exception("Cannot write the file " + fileName->string());
  }
  collecting->ClearDocument();
  host_.ShowMessage(TMessage{u"Total " + ToU16(std::to_string(pageCount)) + u" pages has been found!\rCreate success" +
                                 fileName->u16string() + u"!",
                             u"INFOMATION", TMessageKind::kInformation});
}

// The window copies each page with every format and pastes it, so the
// clipboard ends holding the last page; the paste takes only the RVF, which is
// all the batch mode builds.
void TForm2::CopyPageInto(TRichDocEdit& page, TRichDocEdit& collecting) {
  if (BatchMode) {
    collecting.PasteRvf(page.SelectionAsRvfBlock());
    return;
  }
  page.CopyAllFormats();
  collecting.PasteFromClipboard();
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
