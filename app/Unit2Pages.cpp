// The page project: creating, selecting, clearing and deleting pages, and
// the status texts that show the current page and the clipboard.
#include "app/Unit2.h"
#include "platform/CodePage.h"

#include <string>

namespace varnolt {

namespace {

std::u16string Number(std::int64_t value) { return ToU16(std::to_string(value)); }

// Fixed settings of every page's editor.
const TRVEditorOptions kPageEditorOptions{rvoClearTagOnStyleApp, rvoCtrlJumps, rvoWantTabs};
const TRVOptions kPageOptions{rvoAllowSelection,       rvoScrollToEnd,     rvoShowPageBreaks,
                              rvoShowSpecialCharacters, rvoAutoCopyUnicodeText, rvoAutoCopyRVF,
                              rvoAutoCopyImage,         rvoAutoCopyRTF,     rvoFormatInvalidate,
                              rvoDblClickSelectsWord,   rvoRClickDeselects, rvoFastFormatting};

const TRVRTFOptions kPageRTFOptions{rvrtfSaveStyleSheet,    rvrtfDuplicateUnicode,   rvrtfSaveEMFAsWMF,
                                    rvrtfSaveJpegAsJpeg,    rvrtfSaveBitmapDefault,  rvrtfSaveEMFDefault,
                                    rvrtfSavePicturesBinary, rvrtfSaveDocParameters, rvrtfSaveHeaderFooter};

const TFontStyles kCurrentTabStyle{fsBold};
const TFontStyles kOtherTabStyle{fsUnderline};

}  // namespace

std::unique_ptr<TRichDocEdit> TForm2::CreatePageEditor() {
  auto editor = std::make_unique<TRichDocEdit>();
  editor->SetStyle(&RVStyle1);
  editor->SetClipboard(&clipboard_);
  editor->SetOptions(kPageOptions);
  editor->EditorOptions = kPageEditorOptions;
  editor->RTFOptions = kPageRTFOptions;
  // Imports add the styles they need to the shared sheet, so runs keep their
  // own fonts, sizes, colours and paragraph formats.
  editor->RTFReadProperties.TextStyleMode = rvrsAddIfNeeded;
  editor->RTFReadProperties.ParaStyleMode = rvrsAddIfNeeded;
  // A link keeps its address in its tag, where the formatted PDF export finds it.
  editor->RTFReadProperties.OnReadHyperlink = [](const std::u16string& target, const std::u16string&, std::int32_t&,
                                                 TRVTag& tag, std::u16string&) {
    if (!target.empty()) tag = Utf16ToUtf8(target);
  };
  editor->OnRVMouseDown = [this](TRVMouseButton button, int x, int y) { memoclick(button, x, y); };
  editor->OnChange = [this] { unexported_ = true; };
  editor->SetFormatOnDemand(BatchMode);
  return editor;
}

void TForm2::AddPageSlot(std::u16string caption, TFontStyles tabStyle) {
  const int index = PageSlotCount();
  PageEditors.push_back(CreatePageEditor());
  auto tab = std::make_unique<TLabel>(std::move(caption));
  tab->SetFontStyle(tabStyle);
  tab->SetFontColor(clRed);
  tab->SetTag(index);
  tab->SetName("pagelabel" + std::to_string(index));
  PageLabels.push_back(std::move(tab));
  PageSpacers.push_back(std::make_unique<TLabel>());
  PageWidths.push_back(kDefaultPageWidth);
  PageHeights.push_back(kDefaultPageHeight);
  PageLeftMargins.push_back(kDefaultPageMargin);
  PageTopMargins.push_back(kDefaultPageMargin);
  PageGeometrySet.push_back(false);
}

int TForm2::ExistingPageCount() const {
  int count = 0;
  for (const auto& editor : PageEditors) count += editor ? 1 : 0;
  return count;
}

int TForm2::FirstExistingPage() const {
  int slot = 0;
  while (slot < PageSlotCount() - 1 && !PageEditors.at(static_cast<size_t>(slot))) ++slot;
  return slot;
}

void TForm2::MarkCurrentTab(int index, TFontStyles style) {
  auto& tab = PageLabels.at(static_cast<size_t>(index));
  if (!tab) return;
  tab->SetFontStyle(style);
  tab->SetFontColor(style.Contains(fsBold) ? clRed : clBlue);
}

void TForm2::ShowCurrentPageNumber() {
  const auto number = Number(CurrentPage + 1);
  Label19.SetCaption(u"Current page\uFF1APage" + number);
  Label27.SetCaption(u"Clear the current page(Page" + number + u")");
}

void TForm2::ShowPageGeometry(int index) {
  const auto i = static_cast<size_t>(index);
  ShowCurrentPageNumber();
  Label14.SetCaption(u"Width\uFF1A" + Number(PageWidths.at(i)));
  Label15.SetCaption(u"Height\uFF1A" + Number(PageHeights.at(i)));
  Label20.SetCaption(u"Left margin\uFF1A" + Number(PageLeftMargins.at(i)));
  Label21.SetCaption(u"Top margin\uFF1A" + Number(PageTopMargins.at(i)));
}

void TForm2::Label24Click() {
  const int index = PageSlotCount();
  MarkCurrentTab(CurrentPage, kOtherTabStyle);
  AddPageSlot(u"Page" + Number(index + 1), kCurrentTabStyle);
  CurrentPage = index;
  FocusPageEditor(index);
  ShowPageGeometry(index);
  clipdata();
}

void TForm2::ButtonClick(int tag, TMouseButton button) {
  if (tag < 0 || tag >= PageSlotCount() || !PageEditors.at(static_cast<size_t>(tag))) return;
  MarkCurrentTab(CurrentPage, kOtherTabStyle);
  MarkCurrentTab(tag, kCurrentTabStyle);
  CurrentPage = tag;
  FocusPageEditor(tag);
  if (button == TMouseButton::mbRight) {
    const TLabel& tab = *PageLabels.at(static_cast<size_t>(tag));
    PageTabMenuPopup =
        TPoint{WindowOrigin.x + tab.Left() + RightPanelLeft, WindowOrigin.y + tab.Top() + 3 * PageBarClientHeight};
  }
  ShowPageGeometry(tag);
  clipdata();
}

void TForm2::Label27Click() {
  auto& editor = CurrentEditor();
  editor.ClearDocument();
  editor.RepaintEditor();
  clipdata();
}

void TForm2::Label28Click() {
  if (PageSlotCount() == 1 || ExistingPageCount() == 1) {
    host_.ShowMessage(TMessage{u"final page!"});
    return;
  }
  DeletePage(CurrentPage);
  clipdata();
}

void TForm2::N3Click() {
  if (ExistingPageCount() == 1) {
    host_.ShowMessage(TMessage{u"Final page\uFF01"});
    return;
  }
  DeletePage(CurrentPage);
}

void TForm2::DeletePage(int index) {
  const auto i = static_cast<size_t>(index);
  FreePageEditor(index);
  PageLabels.at(i).reset();
  PageSpacers.at(i).reset();
  PageLeftMargins.at(i) = 0;
  PageTopMargins.at(i) = 0;
  PageWidths.at(i) = 0;
  PageHeights.at(i) = 0;
  PageGeometrySet.at(i) = false;
  // The highest remaining page becomes current, not a neighbour.
  for (int slot = PageSlotCount() - 1; slot >= 0; --slot) {
    if (!PageEditors.at(static_cast<size_t>(slot))) continue;
    CurrentPage = slot;
    MarkCurrentTab(slot, TFontStyles{fsBold, fsUnderline});
    break;
  }
  ShowCurrentPageNumber();
  clipdata();
}

void TForm2::EnterBatchMode() {
  BatchMode = true;
  for (auto& editor : PageEditors) {
    if (editor) editor->SetFormatOnDemand(true);
  }
}

void TForm2::FocusPageEditor(int index) {
  if (OnFocusPageEditor) OnFocusPageEditor(index);
}

void TForm2::FreePageEditor(int index) {
  auto& editor = PageEditors.at(static_cast<size_t>(index));
  editor->ClearDocument();
  if (OnFreePageEditor) OnFreePageEditor(index);
  editor.reset();
}

void TForm2::clipdata() {
  const std::u16string& page = Label19.Caption();
  if (clipboard_.FormatCount() == 0) {
    StatusBar1.SetPanelText(1, page + u"\u3000\u3000Clipboard\uFF1ANothing(empty)");
  } else if (clipboard_.HasFormat(kCfBitmap)) {
    StatusBar1.SetPanelText(1, page + u"\u3000\u3000Clipboard\uFF1A(Picture)");
  } else {
    // The clipboard may hold a whole imported file: its text is decoded only
    // when the panel is shown.
    StatusBar1.SetPanelSource(1, [this, line = page + u"\u3000\u3000Clipboard\uFF1A"] {
      return line + clipboard_.UnicodeText().value_or(u"");
    });
  }
}

}  // namespace varnolt
