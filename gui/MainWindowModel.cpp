// The main window following its model: labels, frame, pictures, progress,
// the page bar and the gallery.
#include <QApplication>
#include <QCloseEvent>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QToolButton>
#include <QHBoxLayout>
#include <QStackedLayout>

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

void MainWindow::FollowFrame() {
  form_->Frame.Subscribe([this] {
    const TWindowFrame& frame = form_->Frame;
    const QSize border = frameGeometry().size() - size();
    if (frame.Width() != frameGeometry().width() || frame.Height() != frameGeometry().height()) {
      resize(frame.Width() - border.width(), frame.Height() - border.height());
    }
    switch (frame.State()) {
      case TWindowState::wsMaximized: if (!isMaximized()) showMaximized(); break;
      case TWindowState::wsMinimized: if (!isMinimized()) showMinimized(); break;
      case TWindowState::wsNormal: if (isMaximized() || isMinimized()) showNormal(); break;
    }
    if (frame.Visible() != isVisible() && shown_) setVisible(frame.Visible());
  });
}

void MainWindow::FollowPictures() {
  auto path = [](const TImage& image) { return Q(image.FileName().u16string()); };
  form_->Image1.Subscribe([this, path] { banner_->setPixmap(QPixmap(path(form_->Image1))); });
  form_->Image2.Subscribe([this, path] { pdfButton_->setPixmap(QPixmap(path(form_->Image2))); });
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
  if (form_->Closed()) return;
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
}

void MainWindow::PressPageTab(int tag, Qt::MouseButton button) {
  const TMouseButton pressed = button == Qt::RightButton    ? TMouseButton::mbRight
                               : button == Qt::MiddleButton ? TMouseButton::mbMiddle
                                                            : TMouseButton::mbLeft;
  form_->PageTabMenuPopup.reset();
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
  form_->WindowOrigin = TPoint{at.x(), at.y()};
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!form_->Closed()) form_->Dispatch([this] { form_->FormClose(); });
  tray_->hide();
  event->accept();
}

}  // namespace varnolt
