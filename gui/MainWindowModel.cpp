// The main window following its model: labels, frame, pictures, progress,
// the page bar and the gallery.
#include <QApplication>
#include <QCloseEvent>
#include <QScrollArea>
#include <QTimer>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QToolButton>
#include <QHBoxLayout>
#include <QStackedLayout>

#include "app/FormattedPdfPainter.h"
#include "gui/MainWindow.h"
#include "gui/Pictures.h"

namespace varnolt {

namespace {

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }

// 0x00BBGGRR; system colours draw in the palette's text colour.
QString CssColor(TColor color) {
  if ((color & 0xFF000000u) != 0) return QStringLiteral("palette(text)");
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF))
      .name();
}

void Draw(QLabel& view, const TLabel& model) {
  const TFontStyles style = model.FontStyle();
  QStringList decoration;
  if (style.Contains(fsUnderline)) decoration << "underline";
  if (style.Contains(fsStrikeOut)) decoration << "line-through";
  view.setText(Q(model.Caption()));
  QString css = QString("color: %1;").arg(CssColor(model.FontColor()));
  if (style.Contains(fsBold)) css += " font-weight: bold;";
  if (style.Contains(fsItalic)) css += " font-style: italic;";
  if (!decoration.isEmpty()) css += " text-decoration: " + decoration.join(' ') + ";";
  // A link keeps its own look; only its caption follows.
  if (view.styleSheet().isEmpty() || view.property("followStyle").toBool()) {
    view.setProperty("followStyle", true);
    view.setStyleSheet(css);
  }
}

}  // namespace

void MainWindow::Follow(QLabel& view, TLabel& model) {
  Draw(view, model);
  model.Subscribe([&view, &model] { Draw(view, model); });
}

namespace {

TWindowState StateOf(Qt::WindowStates states) {
  if (states & Qt::WindowMinimized) return TWindowState::wsMinimized;
  if (states & Qt::WindowMaximized) return TWindowState::wsMaximized;
  return TWindowState::wsNormal;
}

}  // namespace

void MainWindow::FollowFrame() {
  form_->Frame.Subscribe([this] {
    const TWindowFrame& frame = form_->Frame;
    const QSize border = frameGeometry().size() - size();
    if (frame.Width() != frameGeometry().width() || frame.Height() != frameGeometry().height()) {
      resize(frame.Width() - border.width(), frame.Height() - border.height());
    }
    // Only a state the model asked for is put on the window: a change of
    // size or place must not undo what the window manager did since.
    if (frame.State() != shownState_) {
      shownState_ = frame.State();
      switch (frame.State()) {
        case TWindowState::wsMaximized: showMaximized(); break;
        case TWindowState::wsMinimized: showMinimized(); break;
        case TWindowState::wsNormal: showNormal(); break;
      }
    }
    if (frame.Visible() != isVisible() && shown_) setVisible(frame.Visible());
  });
}

void MainWindow::FollowPictures() {
  auto path = [](const TImage& image) { return Q(image.FileName().u16string()); };
  form_->Image1.Subscribe([this, path] { banner_->setPixmap(QPixmap(path(form_->Image1))); });
  form_->Image2.Subscribe([this, path] { ShowPicture(*pdfButton_, QPixmap(path(form_->Image2))); });
  form_->TrayIcon1.Subscribe([this, path] {
    tray_->setIcon(QIcon(path(form_->TrayIcon1)));
    if (QSystemTrayIcon::isSystemTrayAvailable()) tray_->show();
  });
}

void MainWindow::FollowProgress() {
  TProgressBar& bar = form_->Progress.bar;
  bar.Subscribe([this, &bar] {
    progressBar_->setMaximum(bar.Max());
    progressBar_->setValue(bar.Position());
  });
}

void MainWindow::Run(const std::function<void()>& handler) {
  // No second command while one waits on the network.
  if (form_->Closed() || host_.Working()) return;
  form_->Dispatch(handler);
  FollowModel();
}

void MainWindow::FollowModel() {
  if (form_->Closed()) {
    if (form_->Terminated()) QApplication::quit();
    close();
    return;
  }
  for (QWidget* part : std::initializer_list<QWidget*>{progressLabel_, progressBar_, percentLabel_}) {
    part->setVisible(form_->ProgressInStatusBar);
  }
  SyncPageBar();
  SyncPageViews();
  SyncGallery();
  // A command's progress shows while it runs; once it is done the bar is
  // empty again, ready for the next.
  progressBar_->reset();
  percentLabel_->clear();
}

void MainWindow::FocusCurrentPage() {
  if (form_->Closed()) return;
  TRVPageView* view = PageView(form_->CurrentPage);
  if (view != nullptr && view->isVisibleTo(this)) view->setFocus(Qt::OtherFocusReason);
}

void MainWindow::FitLeftPanel() {
  const int width = std::max(leftPanel_->minimumWidth(), leftPanel_->sizeHint().width());
  if (width <= leftPanel_->minimumWidth()) return;
  leftPanel_->setMinimumWidth(width);
  form_->LeftPanelWidth = width;
}

void MainWindow::ShowCurrentTab() {
  // After the bar has laid out a tab just added.
  QTimer::singleShot(0, this, [this] {
    if (form_->Closed()) return;
    const auto slot = static_cast<size_t>(form_->CurrentPage);
    if (slot >= pageTabs_.size() || pageTabs_.at(slot) == nullptr) return;
    // The bar as wide as its tabs now, and they in their places, before scrolling.
    const QSize room = pageBarScroll_->viewport()->size();
    pageBar_->resize(std::max(room.width(), pageBar_->minimumSizeHint().width()), room.height());
    pageBarLayout_->activate();
    pageBarScroll_->ensureWidgetVisible(pageTabs_.at(slot), 4, 0);
  });
}

void MainWindow::ReportPageBarLayout() {
  const QPoint client = mapToGlobal(QPoint(0, 0));
  form_->WindowOrigin = TPoint{client.x(), client.y()};
  form_->RightPanelLeft = rightPanel_->mapTo(this, QPoint(0, 0)).x();
  form_->PageBarClientHeight = pageBarScroll_->viewport()->height();
  for (size_t slot = 0; slot < pageTabs_.size(); ++slot) {
    TLabel* model = form_->PageLabels.at(slot).get();
    if (model == nullptr || pageTabs_.at(slot) == nullptr) continue;
    const QPoint at = pageTabs_.at(slot)->mapTo(rightPanel_, QPoint(0, 0));
    model->SetPosition(at.x(), at.y());
  }
}

TRVPageView* MainWindow::PageView(int page) const {
  if (page < 0 || page >= static_cast<int>(pageViews_.size())) return nullptr;
  return pageViews_.at(static_cast<size_t>(page)).get();
}

void MainWindow::FollowPageEditors() {
  form_->OnFocusPageEditor = [this](int page) {
    // A new page's editor has no view yet.
    SyncPageViews();
    if (TRVPageView* view = PageView(page)) {
      pageViewStack_->setCurrentWidget(view);
      view->setFocus();
    }
  };
  form_->OnFreePageEditor = [this](int page) {
    if (page < static_cast<int>(pageViews_.size())) pageViews_.at(static_cast<size_t>(page)).reset();
  };
}

void MainWindow::SyncPageViews() {
  if (form_->Closed()) return;
  pageViews_.resize(static_cast<size_t>(form_->PageSlotCount()));
  for (int page = 0; page < form_->PageSlotCount(); ++page) {
    const auto slot = static_cast<size_t>(page);
    TRichDocEdit* editor = form_->PageEditors.at(slot).get();
    if (editor == nullptr || pageViews_.at(slot)) continue;
    auto view = std::make_unique<TRVPageView>(*editor);
    view->setObjectName(QString("PageView%1").arg(page));
    pageViewStack_->addWidget(view.get());
    pageViews_.at(slot) = std::move(view);
  }
  // Each page on its paper, at the text width the formatted PDF gives it.
  for (int page = 0; page < form_->PageSlotCount(); ++page) {
    TRVPageView* view = PageView(page);
    if (view == nullptr) continue;
    const TForm2::TPaper paper = form_->PaperOf(page);
    view->SetSheet(TRVPageView::TSheet{paper.width / kPointsPerPixel, paper.textLeft / kPointsPerPixel,
                                       paper.textTop / kPointsPerPixel, paper.textWidth / kPointsPerPixel});
  }
  if (TRVPageView* current = PageView(form_->CurrentPage)) {
    pageViewStack_->setCurrentWidget(current);
    // Handlers change documents behind the view's back.
    current->DocumentChanged();
  }
}

void MainWindow::SyncPageBar() {
  const int slotCount = form_->PageSlotCount();
  pageTabs_.resize(static_cast<size_t>(slotCount), nullptr);
  pageSpacers_.resize(static_cast<size_t>(slotCount), nullptr);
  for (int i = 0; i < slotCount; ++i) {
    const auto slot = static_cast<size_t>(i);
    const TLabel* model = form_->PageLabels.at(slot).get();
    ClickLabel*& tab = pageTabs_.at(slot);
    if (model == nullptr) {
      // Deleted later: the tab's own press may be what deleted its page.
      if (tab) tab->deleteLater();
      if (pageSpacers_.at(slot)) pageSpacers_.at(slot)->deleteLater();
      tab = nullptr;
      pageSpacers_.at(slot) = nullptr;
      continue;
    }
    if (tab == nullptr) {
      tab = new ClickLabel;
      tab->setObjectName(QString::fromStdString(model->Name()));
      const int tag = model->Tag();
      tab->onPress = [this, tag](Qt::MouseButton button) { PressPageTab(tag, button); };
      auto* spacer = new QWidget;
      spacer->setFixedSize(20, 20);
      pageSpacers_.at(slot) = spacer;
      const int at = pageBarLayout_->count() - 1;  // before the stretch
      pageBarLayout_->insertWidget(at, tab);
      pageBarLayout_->insertWidget(at + 1, spacer);
    }
    Draw(*tab, *model);
  }
  ShowCurrentTab();
}

void MainWindow::PressPageTab(int tag, Qt::MouseButton button) {
  const TMouseButton pressed = button == Qt::RightButton    ? TMouseButton::mbRight
                               : button == Qt::MiddleButton ? TMouseButton::mbMiddle
                                                            : TMouseButton::mbLeft;
  form_->PageTabMenuPopup.reset();
  ReportPageBarLayout();
  Run([this, tag, pressed] { form_->ButtonClick(tag, pressed); });
  if (form_->PageTabMenuPopup) pageTabMenu_->popup(QPoint(form_->PageTabMenuPopup->x, form_->PageTabMenuPopup->y));
}

void MainWindow::SyncGallery() {
  if (form_->GalleryOpen == (gallery_ != nullptr)) return;
  if (!form_->GalleryOpen) {
    gallery_->hide();
    gallery_->deleteLater();
    gallery_ = nullptr;
    return;
  }
  gallery_ = new QListWidget(centralArea_);
  gallery_->setObjectName("ListView1");
  gallery_->setViewMode(QListView::IconMode);
  gallery_->setIconSize(QSize(TForm2::kGalleryPictureSize, TForm2::kGalleryPictureSize));
  gallery_->setResizeMode(QListView::Adjust);
  const int left = galleryButton_ ? galleryButton_->geometry().left() : 0;
  gallery_->setGeometry(left, 0, 321, 304);
  for (int i = 0; i < TForm2::kGalleryPictureCount; ++i) {
    gallery_->addItem(new QListWidgetItem(QIcon(LoadPicture(QString("gallery_%1.png").arg(i, 2, 10, QChar('0')))), {}));
  }
  connect(gallery_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) Run([this, row] { form_->SelectItem(row); });
  });
  gallery_->show();
  gallery_->raise();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  Run([this] { form_->FormShow(); });
  FocusCurrentPage();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  form_->Frame.SetSize(frameGeometry().width(), frameGeometry().height());
  Run([this] { form_->FormResize(); });
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  const QPoint at = frameGeometry().topLeft();
  form_->Frame.SetOrigin(TPoint{at.x(), at.y()});
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Closing during a load stops the load first.
  if (host_.Working()) {
    host_.RequestCancel();
    event->ignore();
    return;
  }
  if (!form_->Closed()) {
    bool mayClose = true;
    form_->Dispatch([this, &mayClose] { mayClose = form_->CloseQuery(); });
    if (!mayClose) {
      event->ignore();
      return;
    }
    form_->Dispatch([this] { form_->FormClose(); });
  }
  tray_->hide();
  event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || form_ == nullptr || form_->Closed()) return;
  shownState_ = StateOf(windowState());
  form_->Frame.SetState(shownState_);
}

}  // namespace varnolt
