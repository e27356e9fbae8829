// The shell around the page project: undo and redo, the formatting toolbar,
// templates, the picture gallery, the context menu, the minimum size, the
// help links, the about box, the tray and the start-up pictures.
#include "app/Unit2.h"
#include "app/Unit4.h"
#include "platform/Paths.h"
#include "richtext/document/RVItem.h"

namespace varnolt {

void TForm2::N32Click() {
  auto& editor = CurrentEditor();
  if (editor.Modified()) editor.UndoLastGroup();
}

void TForm2::N9Click() {
  auto& editor = CurrentEditor();
  if (editor.Modified()) editor.RedoLastGroup();
}

TFontStyles TForm2::FontStylesOn() const {
  TFontStyles styles;
  styles.Set(fsBold, BoldOn).Set(fsItalic, ItalicOn).Set(fsUnderline, UnderlineOn);
  return styles;
}

// The style taken is the one whose number equals the caret's item index; a
// caret beyond the style sheet's text styles changes nothing.
void TForm2::ToggleFontStyle(bool& flag, TFontStyle bit) {
  auto& editor = CurrentEditor();
  const int styleNo = editor.CaretItemIndex();
  auto* font = RVStyle1.TextStyles.Find(styleNo);
  if (font == nullptr) return;
  auto& style = font->Style;
  if (flag) {
    flag = false;
    style = FontStylesOn();
  } else {
    style.Include(bit);
    flag = true;
  }
  editor.RepaintEditor();
}

void TForm2::ToolButton1Click() { ToggleFontStyle(BoldOn, fsBold); }
void TForm2::ToolButton2Click() { ToggleFontStyle(ItalicOn, fsItalic); }
void TForm2::ToolButton3Click() { ToggleFontStyle(UnderlineOn, fsUnderline); }

void TForm2::AlignParagraphs(TRVAlignment alignment) {
  auto& editor = CurrentEditor();
  const int paraNo = editor.CaretItemIndex();
  auto* para = RVStyle1.ParaStyles.Find(paraNo);
  if (para == nullptr) return;
  para->Alignment = alignment;
  editor.ReformatDocument();
}

void TForm2::ToolButton7Click() { AlignParagraphs(rvaLeft); }
void TForm2::ToolButton6Click() { AlignParagraphs(rvaRight); }
void TForm2::ToolButton5Click() { AlignParagraphs(rvaCenter); }

// On anything but a text item the caret's item keeps its kind.
void TForm2::ApplyTemplate(int number) {
  auto& editor = CurrentEditor();
  const int itemNo = editor.CaretItemIndex();
  if (itemNo < 0 || itemNo >= editor.CountItems()) return;
  auto& item = editor.ItemAt(itemNo);
  if (!item.IsText()) return;
  item.StyleNo = number;
  editor.RepaintEditor();
}

void TForm2::ToolButton10Click() { GalleryOpen = !GalleryOpen; }

void TForm2::SelectItem(int index) {
  if (!GalleryOpen || index < 0 || index >= static_cast<int>(ImageList2.size())) return;
  CurrentEditor().InsertPictureAtCaret(u"", ImageList2.at(static_cast<size_t>(index))->Clone(), rvvaAbsTop);
  GalleryOpen = false;
}

void TForm2::N37Click() {
  CurrentEditor().DeleteSelected();
  clipdata();
}

void TForm2::N38Click() {
  auto& editor = CurrentEditor();
  editor.SelectWholeDocument();
  editor.RepaintEditor();
}

void TForm2::memoclick(TRVMouseButton button, int x, int y) {
  if (button != TRVMouseButton::mbRight) return;
  const TPoint origin = Frame.Origin();
  EditorMenu.Popup(TPoint{origin.x + LeftPanelWidth + x + 35, origin.y + ToolBarHeight + y + 140});
}

void TForm2::FormResize() {
  if (Frame.Width() < kMinimumWidth || Frame.Height() < kMinimumHeight) {
    Frame.SetSize(kMinimumWidth, kMinimumHeight);
  }
}

void TForm2::xxxx1Click() { host_.OpenUrl(kHomePage); }
void TForm2::xxxxHomepage1Click() { host_.OpenUrl(kHomePage); }

void TForm2::N12Click() {
  TForm4 about(host_);
  host_.RunModal(about);
}

void TForm2::N1Click() {
  if (!CloseQuery()) return;
  FormClose();
  terminated_ = true;
}

// A missing picture raises the load error, which ends the window's showing
// before the status bar is laid out.
void TForm2::LoadStartupPictures() {
  const auto folder = ExecutableDir();
  Image1.LoadFromFile(folder / "images/foot.jpg");
  Image2.LoadFromFile(folder / "images/pic_2.gif");
  TrayIcon1.LoadFromFile(folder / "images/favicon.ico");
  ProgressInStatusBar = true;
}

}  // namespace varnolt
