#include "gui/MainWindow.h"

#include <QApplication>
#include <QBuffer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedLayout>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

#include "gui/Pictures.h"
#include "gui/QtClipboard.h"
#include "richtext/graphic/RVBitmap.h"

namespace varnolt {

namespace {

constexpr int kClientWidth = 943;
constexpr int kClientHeight = 596;
constexpr int kLeftPanelWidth = 156;
constexpr int kSplitterWidth = 8;
constexpr int kBottomPanelHeight = 106;
constexpr int kPageBarHeight = 41;

const QString kLinkStyle = QStringLiteral("color: blue; text-decoration: underline;");
const QString kNoticeStyle = QStringLiteral("color: red;");

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }

QLabel* Plain(const QString& text) { return new QLabel(text); }

}  // namespace

void ElidedLabel::SetFullText(const QString& text) {
  // Only what can show on one line is made into it; a clipboard of
  // megabytes stays cheap to show.
  constexpr qsizetype kShownCharacters = 1000;
  constexpr qsizetype kTipCharacters = 4000;
  QString line = text.left(kShownCharacters);
  line.replace("\r\n", " ").replace('\n', ' ').replace('\r', ' ').replace('\t', ' ');
  setToolTip(text.size() > kTipCharacters ? text.left(kTipCharacters) + QChar(0x2026) : text);
  setText(line);
}

QSize ElidedLabel::sizeHint() const {
  return {fontMetrics().horizontalAdvance(text().left(200)), fontMetrics().height()};
}

QSize ElidedLabel::minimumSizeHint() const { return {0, fontMetrics().height()}; }

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = contentsRect();
  painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
}

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
  if (onPress) onPress(event->button());
}

MainWindow::MainWindow(Clipboard& clipboard) : host_(this) {
  setObjectName("TForm2");
  form_ = std::make_unique<TForm2>(host_, clipboard);
  setWindowTitle("Varnolt V1.2");
  setStyleSheet("QMainWindow, #Panel3, #Panel4, #Panel6 { background: white; }");
  QFont tahoma("Tahoma");
  tahoma.setPointSize(8);
  setFont(tahoma);
  move(form_->Frame.Origin().x, form_->Frame.Origin().y);
  resize(kClientWidth, kClientHeight);

  BuildMenus();
  BuildToolBar();
  auto* body = new QWidget;
  auto* column = new QVBoxLayout(body);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  centralArea_ = new QWidget;
  centralArea_->setObjectName("Panel3");
  auto* split = new QSplitter(Qt::Horizontal);
  split->setObjectName("Splitter1");
  split->setHandleWidth(kSplitterWidth);
  split->addWidget(BuildLeftPanel());
  split->addWidget(BuildTabs());
  // At least the designed width; wider where the fonts need it.
  QWidget* left = split->widget(0);
  form_->LeftPanelWidth = std::max(kLeftPanelWidth, left->sizeHint().width());
  split->setSizes({form_->LeftPanelWidth, kClientWidth - form_->LeftPanelWidth});
  split->setStretchFactor(1, 1);
  auto* central = new QHBoxLayout(centralArea_);
  central->setContentsMargins(0, 0, 0, 0);
  central->addWidget(split);
  column->addWidget(centralArea_, 1);
  column->addWidget(BuildBottomPanel());
  setCentralWidget(body);
  BuildStatusBar();
  BuildTray();
  LoadGalleryPictures();

  FollowFrame();
  FollowPictures();
  FollowProgress();
  form_->StatusBar1.Subscribe([this] { clipboardStatus_->SetFullText(Q(form_->StatusBar1.PanelText(1))); });
  clipboardStatus_->SetFullText(Q(form_->StatusBar1.PanelText(1)));
  host_.afterModal = [this] { FocusCurrentPage(); };
  host_.workShown = [this](bool working) { ShowWorking(working); };
  form_->PageControl1.Subscribe([this] { tabs_->setCurrentIndex(form_->PageControl1.ActivePageIndex()); });
  form_->EditorMenu.Subscribe([this] {
    const TPoint at = *form_->EditorMenu.LastPopup();
    editorMenu_->popup(QPoint(at.x, at.y));
  });
  SyncPageBar();
  FollowPageEditors();
  SyncPageViews();
  setAcceptDrops(true);
}

MainWindow::~MainWindow() {
  // Shut down while the widgets the model's observers draw into still exist.
  form_->FormClose();
}

QAction* MainWindow::Action(const QString& text, Handler handler, const QKeySequence& shortcut) {
  auto* action = new QAction(text, this);
  action->setShortcut(shortcut);
  connect(action, &QAction::triggered, this, [this, handler] { RunCommand(handler); });
  return action;
}

void MainWindow::BuildMenus() {
  struct Item {
    const char* menu;
    const char* text;
    Handler handler;
    QKeySequence shortcut;
  };
  const Item items[] = {
      {"File/Import", "Rtf to import(*.rtf)", &TForm2::rtfrtf1Click, {}},
      {"File/Import", "Word to import(*.doc)", &TForm2::worddoc1Click, {}},
      {"File/Import", "Excel to import(*.xls)", &TForm2::excel1Click, {}},
      {"File/Import", "Textfile to import(*.txt)", &TForm2::txt1Click, {}},
      {"File/Import", "Webpage to import(*.htm;*.html)", &TForm2::htmhtml1Click, {}},
      {"File/Export", "Portable Document Format(*.pdf)", &TForm2::PDFpdf1Click, {}},
      {"File/Export", "Formatted PDF(*.pdf)", &TForm2::FormattedPdfExport, {}},
      {"File/Export", "Microsoft Office Word(*.doc)", &TForm2::WORDdoc2Click, {}},
      {"File/Export", "Microsoft Office Excel(*.xls)", &TForm2::Excelxls1Click, {}},
      {"File/Export", "Rich Text Format(*.rtf)", &TForm2::rtfrtf2Click, {}},
      {"File", "Exit", &TForm2::N22Click, {}},
      {"Edit", "Undo", &TForm2::N32Click, QKeySequence("Ctrl+Z")},
      {"Edit", "Redo", &TForm2::N9Click, QKeySequence("Ctrl+Y")},
      {"Edit", "Cut", &TForm2::N34Click, QKeySequence("Ctrl+X")},
      {"Edit", "Copy", &TForm2::N2Click, QKeySequence("Ctrl+C")},
      {"Edit", "Paste", &TForm2::N27Click, QKeySequence("Ctrl+V")},
      {"Edit", "Clear the clipboard", &TForm2::N28Click, {}},
      {"Edit", "Clear the current page", &TForm2::N29Click, {}},
      {"Edit", "Delete the current page", &TForm2::N30Click, QKeySequence("Ctrl+Del")},
      {"Edit", "Design", &TForm2::design1Click, {}},
      {"Edit", "Properties", &TForm2::N8Click, {}},
      {"Edit", "Options", &TForm2::N10Click, {}},
      {"Project", "New Page", &TForm2::N24Click, QKeySequence("Ctrl+N")},
      {"Window", "Maximized", &TForm2::N17Click, {}},
      {"Window", "Minimized", &TForm2::N19Click, {}},
      {"Window", "Normal", &TForm2::N18Click, {}},
      {"Help", "Varnolt Help", &TForm2::xxxx1Click, {}},
      {"Help", "Varnolt Home Page", &TForm2::xxxxHomepage1Click, {}},
      {"Help", "About Varnolt", &TForm2::N12Click, {}},
  };
  std::map<QString, QMenu*> menus;
  auto menuAt = [&](const QString& path) {
    QMenu*& menu = menus[path];
    if (menu) return menu;
    const qsizetype slash = path.lastIndexOf('/');
    const QString title = path.mid(slash + 1);
    menu = slash < 0 ? menuBar()->addMenu(title) : menus.at(path.left(slash))->addMenu(title);
    menu->setObjectName(path);
    return menu;
  };
  for (const char* top : {"File", "File/Import", "File/Export", "Edit", "Project", "Window", "Help"}) menuAt(top);
  for (const Item& item : items) menuAt(item.menu)->addAction(Action(item.text, item.handler, item.shortcut));
  // The two PDF exports say how they differ.
  const std::pair<const char*, const char*> pdfTips[] = {
      {"Portable Document Format(*.pdf)", "Each page's plain text in one font, one frame per page"},
      {"Formatted PDF(*.pdf)", "The pages as they look: fonts, tables, pictures, links and notes"},
  };
  menus.at("File/Export")->setToolTipsVisible(true);
  for (QAction* action : menus.at("File/Export")->actions()) {
    for (const auto& [text, tip] : pdfTips) {
      if (action->text() != text) continue;
      action->setToolTip(tip);
      action->setStatusTip(tip);
    }
  }
  // Keys every editor has, for the whole window.
  QAction* selectAll = Action("Select All", &TForm2::N38Click, QKeySequence::SelectAll);
  selectAll->setObjectName("SelectAllKey");
  addAction(selectAll);

  // The context menus: their shortcuts only while they are open, so the
  // menu bar's same keys stay unambiguous.
  editorMenu_ = new QMenu(this);
  editorMenu_->setObjectName("PopupMenu1");
  const Item editorItems[] = {
      {"", "Cut", &TForm2::N15Click, QKeySequence("Ctrl+X")},
      {"", "Copy", &TForm2::N35Click, QKeySequence("Ctrl+C")},
      {"", "Paste", &TForm2::N36Click, QKeySequence("Ctrl+V")},
      {"", "Delete", &TForm2::N37Click, QKeySequence("Del")},
      {"", "Select All", &TForm2::N38Click, QKeySequence("Ctrl+A")},
      {"", "Clear", &TForm2::N40Click, QKeySequence("Ctrl+Del")},
  };
  for (const Item& item : editorItems) {
    QAction* action = Action(item.text, item.handler, item.shortcut);
    action->setShortcutContext(Qt::WidgetShortcut);
    editorMenu_->addAction(action);
  }
  pageTabMenu_ = new QMenu(this);
  pageTabMenu_->setObjectName("PopupMenu2");
  pageTabMenu_->addAction(Action("Delete!", &TForm2::N3Click));
}

void MainWindow::BuildToolBar() {
  auto* bar = addToolBar("ToolBar1");
  bar->setObjectName("ToolBar1");
  bar->setMovable(false);
  bar->setFixedHeight(31);
  bar->setIconSize(QSize(25, 25));
  bar->setStyleSheet("QToolBar { border: none; border-bottom: 1px solid #c8d0dc;"
                     " background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 white, stop: 1 #dfe6f0); }"
                     " QToolButton { min-width: 28px; }");
  struct Button {
    const char* name;
    const char* tip;
    const char* picture;
    Handler handler;
    QKeySequence shortcut;
  };
  const Button buttons[] = {
      {"ToolButton12", "Cut", "tool_cut.png", &TForm2::ToolButton12Click, {}},
      {"ToolButton13", "Copy", "tool_copy.png", &TForm2::ToolButton13Click, {}},
      {"ToolButton14", "Paste", "tool_paste.png", &TForm2::ToolButton14Click, {}},
      {nullptr, nullptr, nullptr, nullptr, {}},
      {"ToolButton1", "Bold", "tool_bold.png", &TForm2::ToolButton1Click, QKeySequence::Bold},
      {"ToolButton2", "Italic", "tool_italic.png", &TForm2::ToolButton2Click, QKeySequence::Italic},
      {"ToolButton3", "Underline", "tool_underline.png", &TForm2::ToolButton3Click, QKeySequence::Underline},
      {nullptr, nullptr, nullptr, nullptr, {}},
      {"ToolButton7", "Align left", "tool_alignleft.png", &TForm2::ToolButton7Click, {}},
      {"ToolButton6", "Align right", "tool_alignright.png", &TForm2::ToolButton6Click, {}},
      {"ToolButton5", "Center", "tool_center.png", &TForm2::ToolButton5Click, {}},
      {nullptr, nullptr, nullptr, nullptr, {}},
      {"ToolButton10", "Picture gallery", "tool_gallery.png", &TForm2::ToolButton10Click, {}},
  };
  for (const Button& button : buttons) {
    if (button.name == nullptr) {
      bar->addSeparator();
      continue;
    }
    QAction* action = Action(button.tip, button.handler, button.shortcut);
    action->setObjectName(button.name);
    action->setIcon(LoadPicture(button.picture));
    bar->addAction(action);
  }
  galleryButton_ = qobject_cast<QToolButton*>(bar->widgetForAction(bar->actions().last()));

  auto* templates = new QMenu(this);
  templates->setObjectName("PopupMenu3");
  const Handler templateHandlers[] = {&TForm2::N41Click, &TForm2::N42Click, &TForm2::N43Click, &TForm2::N44Click,
                                      &TForm2::N45Click};
  for (int i = 0; i < 5; ++i) templates->addAction(Action(QString("Template %1").arg(i + 1), templateHandlers[i]));
  QAction* design = Action("Design", &TForm2::ToolButton9Click);
  design->setObjectName("ToolButton9");
  design->setIcon(LoadPicture("tool_design.png"));
  design->setMenu(templates);
  bar->addAction(design);
  if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(design))) {
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }
}

ClickLabel* MainWindow::Link(const QString& text, Handler handler) {
  auto* link = new ClickLabel(text);
  link->setStyleSheet(kLinkStyle);
  link->onPress = [this, handler](Qt::MouseButton) { RunCommand(handler); };
  return link;
}

QWidget* MainWindow::BuildLeftPanel() {
  auto* panel = new QWidget;
  leftPanel_ = panel;
  panel->setObjectName("Panel4");
  panel->setMinimumWidth(kLeftPanelWidth);
  auto* column = new QVBoxLayout(panel);
  auto* heading = Plain("shortcut resolution ");
  heading->setStyleSheet("font-weight: bold;");
  column->addWidget(heading);
  const std::pair<const char*, Handler> links[] = {
      {"New Page", &TForm2::Label24Click},
      {"Rtf to import(*.rtf)", &TForm2::Label36Click},
      {"Word to import(*.doc)", &TForm2::Label6Click},
      {"Excel to import(*.xls)", &TForm2::Label16Click},
      {"Textfile to import(*.txt)", &TForm2::Label12Click},
      {"Webpage to import(url)", &TForm2::Label13Click},
      {"Cut(Ctrl+X)", &TForm2::N34Click},
      {"Copy(Ctrl+C)", &TForm2::N2Click},
      {"Paste(Ctrl+V)", &TForm2::Label25Click},
      {"Clear the clipboard", &TForm2::Label26Click},
      {"Clear the current page", &TForm2::Label27Click},
      {"Delete the current page", &TForm2::Label28Click},
  };
  for (const auto& [text, handler] : links) {
    ClickLabel* link = Link(text, handler);
    link->setObjectName(text);
    if (handler == &TForm2::Label27Click) {
      Follow(*link, form_->Label27);
      form_->Label27.Subscribe([this] { FitLeftPanel(); });
    }
    column->addWidget(link);
  }
  auto* picture = new QLabel;
  picture->setPixmap(LoadPicture("side.png"));
  column->addWidget(picture);
  column->addStretch(1);
  return panel;
}

QWidget* MainWindow::BuildTabs() {
  auto* panel = new QWidget;
  rightPanel_ = panel;
  panel->setObjectName("Panel5");
  tabs_ = new QTabWidget;
  tabs_->setObjectName("PageControl1");
  tabs_->setDocumentMode(true);
  tabs_->addTab(BuildDesignTab(), "Design");
  tabs_->addTab(BuildEditTab("tab2", nullptr,
                             {&form_->FileNameLabel, &form_->TitleLabel, &form_->SubjectLabel, &form_->AuthorLabel,
                              &form_->KeywordLabel},
                             &TForm2::PropertiesEditClick, "PropertiesEdit"),
                "Properties");
  tabs_->addTab(BuildEditTab("tab3", &form_->Label19, {&form_->Label14, &form_->Label15, &form_->Label20, &form_->Label21},
                             &TForm2::OptionsEditClick, "OptionsEdit"),
                "Options");
  // A tab chosen by hand is the same choice as the Edit menu's.
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { form_->PageControl1.SetActivePageIndex(index); });
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tabs_);
  return panel;
}

QWidget* MainWindow::BuildDesignTab() {
  auto* tab = new QWidget;
  tab->setObjectName("tab1");
  auto* column = new QVBoxLayout(tab);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* scroll = new QScrollArea;
  pageBarScroll_ = scroll;
  scroll->setObjectName("panel8");
  scroll->setFixedHeight(kPageBarHeight);
  scroll->setWidgetResizable(true);
  scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  pageBar_ = new QWidget;
  pageBarLayout_ = new QHBoxLayout(pageBar_);
  pageBarLayout_->setContentsMargins(4, 1, 4, 1);
  pageBarLayout_->setSpacing(0);
  pageBarLayout_->addStretch(1);
  scroll->setWidget(pageBar_);
  column->addWidget(scroll);
  // The page area: the pages' views lie on top of each other, the current
  // one in front, filling the tab below the page bar with a small margin.
  pageViewSlot_ = new QWidget;
  pageViewSlot_->setObjectName("PageViewSlot");
  pageViewStack_ = new QStackedLayout(pageViewSlot_);
  pageViewStack_->setContentsMargins(3, 3, 3, 3);
  column->addWidget(pageViewSlot_, 1);
  return tab;
}

// A tab of read-only labels, each with an "Edit" link opening the tab's
// dialog, and the red notice under them.
QWidget* MainWindow::BuildEditTab(const QString& name, TLabel* heading, const std::vector<TLabel*>& labels,
                                  Handler edit, const QString& editName) {
  auto* tab = new QWidget;
  tab->setObjectName(name);
  auto* grid = new QGridLayout(tab);
  int row = 0;
  if (heading != nullptr) {
    auto* label = new QLabel;
    Follow(*label, *heading);
    grid->addWidget(label, row++, 0);
  }
  for (int i = 0; i < static_cast<int>(labels.size()); ++i, ++row) {
    auto* label = new QLabel;
    Follow(*label, *labels[static_cast<size_t>(i)]);
    grid->addWidget(label, row, 0);
    ClickLabel* link = Link("Edit", edit);
    link->setObjectName(editName + QString::number(i));
    grid->addWidget(link, row, 1);
  }
  auto* notice = Plain(QString::fromUtf16(u"Notice\uFF1APdf properties\u3002"));
  notice->setStyleSheet(kNoticeStyle);
  grid->addWidget(notice, row, 0, 1, 2);
  grid->setRowStretch(row + 1, 1);
  grid->setColumnStretch(2, 1);
  return tab;
}

QWidget* MainWindow::BuildBottomPanel() {
  auto* panel = new QWidget;
  panel->setObjectName("Panel6");
  panel->setFixedHeight(kBottomPanelHeight);
  auto* row = new QHBoxLayout(panel);
  banner_ = new QLabel;
  banner_->setObjectName("Image1");
  banner_->setFixedSize(192, 80);
  row->addWidget(banner_);
  row->addStretch(1);
  const std::tuple<const char*, const char*, Handler, const char*> buttons[] = {
      {"Image6", "rtf.png", &TForm2::Image6Click, "RTF export"},
      {"Image4", "word.png", &TForm2::Image4Click, "Word export"},
      {"image5", "excel.png", &TForm2::image5Click, "Excel export"},
      {"Image2", nullptr, &TForm2::Image2Click, "PDF export"},
  };
  for (const auto& [name, picture, handler, caption] : buttons) {
    ClickLabel* button = Link("", handler);
    // The caption shows until a picture takes its place, and stays when
    // there is none.
    button->setText(caption);
    button->setToolTip(caption);
    button->setAlignment(Qt::AlignCenter);
    button->setStyleSheet("QLabel { border: 1px solid #8a9ab0; border-radius: 4px; font-weight: bold; }");
    button->setObjectName(name);
    button->setFixedSize(172, 63);
    const QPixmap shown = picture != nullptr ? LoadPicture(picture) : QPixmap();
    if (!shown.isNull()) ShowPicture(*button, shown);
    if (picture == nullptr) pdfButton_ = button;
    row->addWidget(button);
  }
  return panel;
}

void MainWindow::BuildStatusBar() {
  auto* bar = statusBar();
  bar->setObjectName("StatusBar1");
  auto* progress = new QWidget;
  progress->setObjectName("StatusPanel0");
  auto* row = new QHBoxLayout(progress);
  row->setContentsMargins(5, 0, 0, 0);
  progressLabel_ = new QLabel;
  Follow(*progressLabel_, form_->Progress.progressLabel);
  progressBar_ = new QProgressBar;
  progressBar_->setObjectName("ProgressBar1");
  progressBar_->setTextVisible(false);
  progressBar_->setFixedSize(150, 14);
  percentLabel_ = new QLabel;
  percentLabel_->setObjectName("PercentLabel");
  percentLabel_->setMinimumWidth(32);
  Follow(*percentLabel_, form_->Progress.percentLabel);
  cancelButton_ = new QPushButton("Cancel");
  cancelButton_->setObjectName("CancelButton");
  cancelButton_->hide();
  connect(cancelButton_, &QPushButton::clicked, this, [this] { host_.RequestCancel(); });
  row->addWidget(progressLabel_);
  row->addWidget(progressBar_);
  row->addWidget(percentLabel_);
  row->addWidget(cancelButton_);
  bar->addWidget(progress);
  clipboardStatus_ = new ElidedLabel;
  clipboardStatus_->setObjectName("StatusPanel1");
  bar->addWidget(clipboardStatus_, 1);
  for (QWidget* part : std::initializer_list<QWidget*>{progressLabel_, progressBar_, percentLabel_}) part->hide();
}

void MainWindow::ShowWorking(bool working) {
  for (QWidget* part : std::initializer_list<QWidget*>{menuBar(), findChild<QToolBar*>("ToolBar1"), centralWidget()}) {
    part->setEnabled(!working);
  }
  cancelButton_->setVisible(working);
  if (working) {
    cancelButton_->setFocus();
  } else {
    FocusCurrentPage();
  }
}

void MainWindow::BuildTray() {
  tray_ = new QSystemTrayIcon(this);
  tray_->setToolTip("Varnolt");
  auto* menu = new QMenu(this);
  menu->setObjectName("PopupMenu4");
  menu->addAction(Action("Show Varnolt", &TForm2::N25Click));
  menu->addAction(Action("Exit", &TForm2::N1Click));
  tray_->setContextMenu(menu);
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) Run([this] { form_->TrayIcon1DblClick(); });
  });
}

// ImageList2: the gallery's pictures as bitmaps, which is what a chosen
// picture becomes in the page.
void MainWindow::LoadGalleryPictures() {
  for (int i = 0; i < TForm2::kGalleryPictureCount; ++i) {
    const QImage image = LoadPicture(QString("gallery_%1.png").arg(i, 2, 10, QChar('0'))).toImage();
    if (image.isNull()) continue;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    auto bitmap = TBitmap::FromBitmapFile(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (bitmap) form_->ImageList2.push_back(std::move(bitmap));
  }
}

void ShowPicture(QLabel& button, const QPixmap& picture) {
  if (picture.isNull()) return;
  button.setStyleSheet({});
  button.setPixmap(picture);
}

bool DisplayAvailable() {
  for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace varnolt
