#include "app/Unit2.h"

#include <exception>

#include "platform/CodePage.h"

namespace varnolt {

namespace {

constexpr char16_t kWelcomeText[] = u"welcome to apply Varnolt!";

}  // namespace

std::u16string ToU16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

TForm2::TForm2(THost& host, Clipboard& clipboard) : host_(host), clipboard_(clipboard) {
  RegisterEngineFormats(clipboard_);
  PReport1.SetUseOutlines(false);
  PReport1.SetViewerPreference(TPdfViewerPreferences{vpFitWindow, vpCenterWindow});

  AddPageSlot(u"Page 1", TFontStyles{fsBold, fsUnderline});
  CurrentPage = 0;
  GalleryOpen = false;
  ShowPageGeometry(0);
  clipdata();
  clipboardViewer_ = clipboard_.AddChangeObserver([this] { clipdata(); });
}

TForm2::~TForm2() { FormClose(); }

bool TForm2::Dispatch(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& error) {
    host_.ShowError(Utf8ToUtf16(error.what()));
  }
  return false;
}

void TForm2::FormShow() {
  PReport1.SetFileName(u"");
  PageEditors.at(0)->InsertTextAtCaret(kWelcomeText, true);
  // The welcome is ours, not the user's: nothing to lose yet.
  unexported_ = false;
  LoadStartupPictures();
}

bool TForm2::HasUnexportedChanges() const {
  if (!unexported_) return false;
  // An empty page keeps one empty line: that is no content.
  for (const auto& editor : PageEditors) {
    if (!editor || editor->CountItems() == 0) continue;
    if (editor->CountItems() > 1 || !editor->ItemAt(0).IsText() || !editor->ItemTextAt(0).empty()) return true;
  }
  return false;
}

bool TForm2::CloseQuery() {
  if (closed_ || !HasUnexportedChanges()) return true;
  return host_.Confirm(TMessage{u"The pages hold changes that no export has written. Close and discard them?",
                                u"", TMessageKind::kWarning});
}

void TForm2::FormClose() {
  if (closed_) return;
  closed_ = true;
  for (int page = 0; page < PageSlotCount(); ++page) {
    if (PageEditors.at(static_cast<size_t>(page))) FreePageEditor(page);
  }
  ProgressInStatusBar = false;
  // Out of the viewer chain the status keeps the clipboard as it was.
  StatusBar1.FreezePanel(1);
  clipboard_.RemoveChangeObserver(clipboardViewer_);
}

void TForm2::ShowWarning(const std::u16string& text) {
  host_.ShowMessage(TMessage{text, u"", TMessageKind::kWarning});
}

}  // namespace varnolt
