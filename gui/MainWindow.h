#pragma once
// The main window drawn from the window model: it builds the menus, the
// toolbar, the panels and the status bar once, forwards every click to the
// model's handler and follows the model's controls.
#include <QLabel>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit2.h"
#include "gui/PageView.h"
#include "gui/QtHost.h"

class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QStackedLayout;
class QHBoxLayout;
class QSystemTrayIcon;
class QTabWidget;
class QToolButton;

namespace varnolt {

// One line of text (line breaks shown as blanks), elided at the label's
// width, the whole text as its tooltip: however long the text, the label
// stays one line high.
class ElidedLabel : public QLabel {
 public:
  using QLabel::QLabel;
  void SetFullText(const QString& text);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A label that acts on a mouse press: the links, page tabs and picture buttons.
class ClickLabel : public QLabel {
 public:
  explicit ClickLabel(const QString& text = {}, QWidget* parent = nullptr);
  std::function<void(Qt::MouseButton)> onPress;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

class MainWindow : public QMainWindow {
 public:
  explicit MainWindow(Clipboard& clipboard);
  ~MainWindow() override;

  TForm2& Form() { return *form_; }
  QtHost& Host() { return host_; }
  // Runs one handler as the message loop does, then follows what it changed.
  void Run(const std::function<void()>& handler);
  // The page area of the Design tab: it shows the current page's view.
  QWidget* PageViewSlot() const { return pageViewSlot_; }
  // The view over a page's editor; null for an empty slot.
  TRVPageView* PageView(int page) const;
  // MainWindowOpen.cpp: each file (bytes, as named) or address becomes a new
  // page through the import command its kind picks; one that cannot be
  // imported is named in a warning and skipped.
  void OpenInputs(const std::vector<std::string>& inputs);

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // The window manager minimizes, maximizes and restores too.
  void changeEvent(QEvent* event) override;

 private:
  using Handler = void (TForm2::*)();

  // MainWindow.cpp: building.
  QAction* Action(const QString& text, Handler handler, const QKeySequence& shortcut = {});
  void BuildMenus();
  void BuildToolBar();
  QWidget* BuildLeftPanel();
  QWidget* BuildTabs();
  QWidget* BuildDesignTab();
  QWidget* BuildEditTab(const QString& name, TLabel* heading, const std::vector<TLabel*>& labels, Handler edit,
                        const QString& editName);
  QWidget* BuildBottomPanel();
  void BuildStatusBar();
  // While cancellable work runs only its Cancel button takes input.
  void ShowWorking(bool working);
  void BuildTray();
  ClickLabel* Link(const QString& text, Handler handler);
  void LoadGalleryPictures();

  // MainWindowModel.cpp: following the model.
  void Follow(QLabel& view, TLabel& model);
  void FollowFrame();
  void FollowPictures();
  void FollowProgress();
  void FollowModel();
  void SyncPageBar();
  void SyncGallery();
  void FollowPageEditors();
  void SyncPageViews();
  void PressPageTab(int tag, Qt::MouseButton button);
  // Where the tabs and the right-hand panel really are, for the model's menus.
  void ReportPageBarLayout();
  void ShowCurrentTab();
  // The left panel at least as wide as its links.
  void FitLeftPanel();
  // The keyboard goes to the page being edited.
  void FocusCurrentPage();

  // MainWindowOpen.cpp: a paste of a file list imports the files as pages.
  void RunCommand(Handler handler);
  bool PasteFileList();
  void OpenInput(const std::string& input);

  QtHost host_;
  std::unique_ptr<TForm2> form_;
  bool shown_ = false;

  QToolButton* galleryButton_ = nullptr;
  QWidget* centralArea_ = nullptr;
  QListWidget* gallery_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QScrollArea* pageBarScroll_ = nullptr;
  QWidget* pageBar_ = nullptr;
  QWidget* leftPanel_ = nullptr;
  QWidget* rightPanel_ = nullptr;
  // The state last put on the window or reported by it.
  TWindowState shownState_ = TWindowState::wsNormal;
  QHBoxLayout* pageBarLayout_ = nullptr;
  std::vector<ClickLabel*> pageTabs_;
  std::vector<QWidget*> pageSpacers_;
  QWidget* pageViewSlot_ = nullptr;
  QStackedLayout* pageViewStack_ = nullptr;
  // One per page slot, like the model's editors; each goes before its editor.
  std::vector<std::unique_ptr<TRVPageView>> pageViews_;
  QLabel* banner_ = nullptr;
  ClickLabel* pdfButton_ = nullptr;
  QLabel* progressLabel_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QLabel* percentLabel_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  ElidedLabel* clipboardStatus_ = nullptr;
  QMenu* editorMenu_ = nullptr;
  QMenu* pageTabMenu_ = nullptr;
  QSystemTrayIcon* tray_ = nullptr;
};

// A picture button's picture in place of its caption; a missing picture
// leaves the caption.
void ShowPicture(QLabel& button, const QPixmap& picture);

// The program's window: "varnolt" with no input, or "varnolt --window
// [FILE|URL]..." (joinRunningWindow), which hands the inputs to the user's
// window when one is open instead of opening another.
int RunMainWindow(int argc, char** argv, const std::vector<std::string>& inputs = {}, bool joinRunningWindow = false);
// Whether a display can be reached: a platform chosen, or an X or Wayland display.
bool DisplayAvailable();

}  // namespace varnolt
