#pragma once
// The main window's model: the page project, its commands and status texts.
// Front ends (the Qt window, the batch mode, the tests) call the handlers
// below through Dispatch and draw the controls; the logic lives only here.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Controls.h"
#include "app/Host.h"
#include "app/PageGeometry.h"
#include "app/ProgressDisplay.h"
#include "app/ShellControls.h"
#include "pdf/PReport.h"
#include "platform/Clipboard.h"
#include "platform/Office.h"
#include "platform/WebPage.h"
#include "richtext/editor/RVEdit.h"
#include "richtext/sheet/SheetGrid.h"
#include "richtext/style/RVStyle.h"

namespace varnolt {

class TPdfExportFrame;
class TWorkbookWriter;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// How the last text or RTF file import went, for front ends that report
// more than the window's message boxes say (the batch mode).
struct TFileImportReport {
  bool complete = true;     // every byte of the file reached the page
  std::u16string unshown;   // what went wrong, or is worth a warning, that no message box said
};

class TForm2 {
 public:
  static constexpr std::int32_t kDefaultPageWidth = 495;
  static constexpr std::int32_t kDefaultPageHeight = 614;
  static constexpr std::int32_t kDefaultPageMargin = 15;

  // FormCreate: the style sheet, the report and page 0; joins the clipboard's
  // viewers.
  TForm2(THost& host, Clipboard& clipboard);
  // FormClose when the window was not closed before.
  ~TForm2();
  TForm2(const TForm2&) = delete;
  TForm2& operator=(const TForm2&) = delete;

  // Runs one handler as the window's message loop does: an error ends the
  // handler and its message is shown by the default error handler. Returns
  // false when an error was shown.
  bool Dispatch(const std::function<void()>& handler);

  void FormShow();
  void FormClose();
  // Before the window closes: asks whether to discard what no export has
  // written since it last changed; true when the window may close.
  bool CloseQuery();
  // A page holds content changed since the last export wrote the project.
  bool HasUnexportedChanges() const;

  // --- the page project ---
  void Label24Click();                                 // New Page
  void ButtonClick(int tag, TMouseButton button);      // a page tab pressed
  void Label27Click();                                 // Clear the current page
  void Label28Click();                                 // Delete the current page
  void N3Click();                                      // "Delete!" in the page-tab menu
  void clipdata();                                     // the clipboard status line

  // --- imports ---
  void Label12Click();  // Textfile to import(*.txt)
  void Label36Click();  // Rtf to import(*.rtf)
  void Label6Click();   // Word to import(*.doc)             Unit2Office.cpp
  void Label16Click();  // Excel to import(*.xls)            Unit2Office.cpp
  void Label13Click();  // Webpage to import(url)            Unit2Web.cpp
  void Label25Click();  // Paste
  void Label26Click();  // Clear the clipboard
  void N34Click();      // Cut
  void N2Click();       // Copy with all formats
  std::string MMFileToString(const std::filesystem::path& fileName);
  TFileImportReport LastImport;

  // --- exports ---
  void statusbarinit();
  void Image2Click();  // PDF
  // Pages as they look: fonts, tables, pictures, notes, links (Unit2FormattedPdf.cpp).
  void FormattedPdfExport();
  void Image6Click();  // RTF
  // The plain text of every page, UTF-8 with LF line ends, each page ending
  // with a form feed.
  void Image4Click();  // Word                               Unit2Office.cpp
  void image5Click();  // Excel                              Unit2Office.cpp
  // The plain text of every page, UTF-8, each page ending with a form feed;
  // each page's text goes to the file in pieces of chunkBytes UTF-16 bytes
  // as it is extracted, so no page is ever held whole.
  static constexpr std::size_t kTextChunkBytes = 1 << 20;
  void ExportPlainText(const std::filesystem::path& fileName, std::size_t chunkBytes = kTextChunkBytes);

  // --- the dialogs, from the "Edit" links of the Properties and Options tabs ---
  void PropertiesEditClick();
  void OptionsEditClick();

  // --- the shell: menus, toolbar, gallery, tray, about box (Unit2Shell.cpp) ---
  static constexpr int kMinimumWidth = 951;
  static constexpr int kMinimumHeight = 650;
  static constexpr int kGalleryPictureSize = 90;
  static constexpr int kGalleryPictureCount = 25;
  void rtfrtf1Click() { Label36Click(); }
  void worddoc1Click() { Label6Click(); }
  void excel1Click() { Label16Click(); }
  void txt1Click() { Label12Click(); }
  void htmhtml1Click() { Label13Click(); }
  void PDFpdf1Click() { Image2Click(); }
  void WORDdoc2Click() { Image4Click(); }
  void Excelxls1Click() { image5Click(); }
  void rtfrtf2Click() { Image6Click(); }
  void N22Click() {                     // File > Exit
    if (CloseQuery()) FormClose();
  }
  void N32Click();                      // Undo
  void N9Click();                       // Redo
  void N27Click() { Label25Click(); }   // Paste
  void N28Click() { Label26Click(); }   // Clear the clipboard
  void N29Click() { Label27Click(); }   // Clear the current page
  void N30Click() { Label28Click(); }   // Delete the current page
  void design1Click() { PageControl1.SetActivePageIndex(0); }
  void N8Click() { PageControl1.SetActivePageIndex(1); }
  void N10Click() { PageControl1.SetActivePageIndex(2); }
  void N24Click() { Label24Click(); }   // New Page
  void N17Click() { Frame.SetState(TWindowState::wsMaximized); }
  void N19Click() { Frame.SetState(TWindowState::wsMinimized); }
  void N18Click() { Frame.SetState(TWindowState::wsNormal); }
  void xxxx1Click();                    // Varnolt Help
  void xxxxHomepage1Click();            // Varnolt Home Page
  void N12Click();                      // About Varnolt
  void ToolButton12Click() { N34Click(); }
  void ToolButton13Click() { N2Click(); }
  void ToolButton14Click() { Label25Click(); }
  void ToolButton1Click();  // bold
  void ToolButton2Click();  // italic
  void ToolButton3Click();  // underline
  void ToolButton7Click();  // align left
  void ToolButton6Click();  // align right
  void ToolButton5Click();  // center
  void ToolButton10Click();  // the picture gallery, opened or closed
  void SelectItem(int index);  // a gallery picture chosen
  void ToolButton9Click() { ApplyTemplate(1); }
  void N41Click() { ApplyTemplate(1); }
  void N42Click() { ApplyTemplate(2); }
  void N43Click() { ApplyTemplate(3); }
  void N44Click() { ApplyTemplate(4); }
  void N45Click() { ApplyTemplate(5); }
  // The editor context menu: cut, copy, paste, delete, select all, clear.
  void N15Click() { N34Click(); }
  void N35Click() { N2Click(); }
  void N36Click() { Label25Click(); }
  void N37Click();
  void N38Click();
  void N40Click() { Label27Click(); }
  // Bound to every page editor's mouse-down: a right click pops up the
  // editor context menu.
  void memoclick(TRVMouseButton button, int x, int y);
  void FormResize();
  void N25Click() { Frame.SetVisible(true); }          // tray: Show Varnolt
  void TrayIcon1DblClick() { Frame.SetVisible(true); }
  void N1Click();                                      // tray: Exit
  bool Closed() const { return closed_; }
  bool Terminated() const { return terminated_; }

  int PageSlotCount() const { return static_cast<int>(PageEditors.size()); }
  int ExistingPageCount() const;
  // The lowest slot that holds a page; there always is one.
  int FirstExistingPage() const;
  TRichDocEdit& CurrentEditor() { return *PageEditors.at(static_cast<size_t>(CurrentPage)); }
  THost& Host() { return host_; }
  // The office applications behind the Word and Excel commands.
  Office& OfficeApplications() { return office_; }

  // The parallel page arrays: they only grow; a deleted page leaves an empty
  // slot and zero geometry.
  std::vector<std::unique_ptr<TRichDocEdit>> PageEditors;
  std::vector<std::unique_ptr<TLabel>> PageLabels;
  std::vector<std::unique_ptr<TLabel>> PageSpacers;
  std::vector<std::int32_t> PageWidths;
  std::vector<std::int32_t> PageHeights;
  std::vector<std::int32_t> PageLeftMargins;
  std::vector<std::int32_t> PageTopMargins;
  // Set when the user gave the page its geometry (the options dialog), which
  // then wins over the paper size an imported document brought.
  std::vector<bool> PageGeometrySet;
  int CurrentPage = 0;
  // What a front end does with the page editors; the batch mode has none.
  // A page's view must go before its editor is freed.
  std::function<void(int page)> OnFocusPageEditor;
  std::function<void(int page)> OnFreePageEditor;

  // Where the open and save dialogs start: the folder of the last file
  // imported or exported, else the user's documents folder.
  std::filesystem::path DialogFolder() const;

  // A page's paper as the formatted PDF export lays the page out on it, in
  // points: what the Design view shows.
  struct TPaper {
    double width = 0;
    double textLeft = 0;
    double textTop = 0;
    double textWidth = 0;
  };
  TPaper PaperOf(int index) const;

  // What the PDF export's text frame needs to hold the page's text.
  TTextFrameNeeds ExportFrameNeeds(int index) const;

  TRVStyle RVStyle1;
  TPReport PReport1;

  // Options tab and left panel.
  TLabel Label14, Label15, Label19, Label20, Label21, Label27;
  // Properties tab.
  TLabel FileNameLabel{u"Filename\uFF1Anone"};
  TLabel TitleLabel{u"Title\uFF1Anone"};
  TLabel SubjectLabel{u"Subject\uFF1Anone"};
  TLabel AuthorLabel{u"Author\uFF1Anone"};
  TLabel KeywordLabel{u"Keyword\uFF1Anone"};

  TStatusBar StatusBar1;
  TProgressDisplay Progress;
  // Where the page-tab menu ("Delete!") was last popped up, in screen points.
  std::optional<TPoint> PageTabMenuPopup;
  bool GalleryOpen = false;
  // Set by the batch mode: no one sees its clipboard, so the exports hand
  // pages over without it.
  bool BatchMode = false;
  // Sets BatchMode; no one sees the pages either, so they are laid out only
  // when something asks.
  void EnterBatchMode();
  // The window's layout as the window reports it; the tabs carry their own
  // left and top within the page bar.
  TPoint WindowOrigin{257, 113};
  int RightPanelLeft = 164;
  int PageBarClientHeight = 41;
  // The web page import's waits and size.
  TWebPageLimits WebPageLimits;

  // The shell's state and controls.
  bool BoldOn = false;
  bool ItalicOn = false;
  bool UnderlineOn = false;
  TWindowFrame Frame;
  TPageControl PageControl1;
  TImage Image1;      // the banner
  TImage Image2;      // the PDF button
  TImage TrayIcon1;
  TPopupMenu EditorMenu;
  // Left where the status bar lays them out when the window is shown.
  bool ProgressInStatusBar = false;
  // The gallery's 25 pictures of 90 x 90 (ImageList2), put there by the
  // front end; each choice inserts a copy.
  std::vector<std::unique_ptr<TGraphic>> ImageList2;
  // Laid out by the front end; the context menu is placed from them.
  int LeftPanelWidth = 156;
  int ToolBarHeight = 31;

 private:
  std::unique_ptr<TRichDocEdit> CreatePageEditor();
  void AddPageSlot(std::u16string caption, TFontStyles tabStyle);
  void MarkCurrentTab(int index, TFontStyles style);
  void ShowPageGeometry(int index);
  void ShowCurrentPageNumber();
  void DeletePage(int index);
  void FocusPageEditor(int index);
  // Clears the page's document and frees its editor, emptying its slot.
  void FreePageEditor(int index);
  void ShowWarning(const std::u16string& text);
  bool ExportPageToPdf(int index, TPdfExportFrame& frame);
  // The PDF exports' save dialog; false when cancelled.
  bool ChoosePdfFile(const std::u16string& filter);
  void ShowPdfSummary(int pageCount);
  void ExportBlankPdfPage(TPdfExportFrame& frame);
  void CopyPageInto(TRichDocEdit& page, TRichDocEdit& collecting);
  std::u16string PageTextForPdf(TRichDocEdit& editor);
  void WriteProjectRtf(const TCustomRVData& project, const std::filesystem::path& fileName);
  void ExportPageToPdf(int index, TPRPage& page, TPRText& frame);
  // Every page pasted into one new editor, a paragraph apart; counts the pages.
  std::unique_ptr<TRichDocEdit> CollectPages(int& pageCount);
  // RTF put on the clipboard, pasted into the current page; the clipboard
  // is empty again afterwards.
  void PasteRichText(const std::string& rtf);
  // False, with the command's "not installed" message shown, when
  // LibreOffice cannot be started.
  bool ConnectOffice(const std::u16string& notInstalled);
  void LeaveCollectedPagesOnClipboard(TRichDocEdit& collecting);
  void PasteSheets(const std::vector<TSheetGrid>& sheets);
  std::vector<TSheetGrid> SheetsThroughOffice(const std::filesystem::path& workbook);
  int WriteTablesToWorkbook(TWorkbookWriter& workbook);
  void ApplyTemplate(int number);
  void ToggleFontStyle(bool& flag, TFontStyle bit);
  void AlignParagraphs(TRVAlignment alignment);
  TFontStyles FontStylesOn() const;
  void LoadStartupPictures();

  // The dialogs, started in DialogFolder(); a chosen file's folder becomes the next start.
  std::optional<std::filesystem::path> ChooseFileToOpen(TFileDialogRequest request);
  std::optional<std::filesystem::path> ChooseFileToSave(TFileDialogRequest request);
  // Every export that wrote the whole project ends here.
  void MarkExported() { unexported_ = false; }

  THost& host_;
  Clipboard& clipboard_;
  Clipboard::ObserverId clipboardViewer_ = 0;
  Office office_;
  // The batch mode's collected pages once written: the run ends with the
  // export, so they are freed with the form, which the batch mode never waits for.
  std::unique_ptr<TRichDocEdit> exportedPages_;
  bool closed_ = false;
  bool terminated_ = false;
  // Set by every change of a page's document, cleared by a whole export.
  bool unexported_ = false;
  std::filesystem::path lastFolder_;
};

std::u16string ToU16(const std::string& ascii);

}  // namespace varnolt
