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
  LoadStartupPictures();
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
