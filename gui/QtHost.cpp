#include "gui/QtHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/Unit1.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "gui/Pictures.h"

namespace varnolt {

namespace {

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }

QMessageBox::Icon IconOf(TMessageKind kind) {
  switch (kind) {
    case TMessageKind::kInformation: return QMessageBox::Information;
    case TMessageKind::kWarning: return QMessageBox::Warning;
    case TMessageKind::kError: return QMessageBox::Critical;
    case TMessageKind::kPlain: break;
  }
  return QMessageBox::NoIcon;
}

// Typing into the options dialog's fields passes its key filter: a key it
// turns into 0 is dropped.
class DigitFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.isEmpty()) return false;
    char16_t key = text.at(0).unicode();
    TForm3::Edit1KeyPress(key);
    return key == 0;
  }
};

QPushButton* Button(const QString& caption, QLayout& row) {
  auto* button = new QPushButton(caption);
  row.addWidget(button);
  return button;
}

}  // namespace

QStringList NameFilters(const std::u16string& filter) {
  const QStringList parts = Q(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns = parts[i + 1];
    const QString separated = "(" + patterns.split(';', Qt::SkipEmptyParts).join(' ') + ")";
    QString description = parts[i];
    // A description that already names its patterns keeps its look.
    if (description.endsWith("(" + patterns + ")")) {
      description.chop(patterns.size() + 2);
      filters << description + separated;
    } else {
      filters << description + " " + separated;
    }
  }
  return filters;
}

int QtHost::Exec(QDialog& dialog) {
  const int result = dialog.exec();
  if (afterModal) afterModal();
  return result;
}

void QtHost::ShowMessage(const TMessage& message) {
  QMessageBox box(IconOf(message.kind), message.caption.empty() ? QApplication::applicationName() : Q(message.caption),
                  Q(message.text), QMessageBox::Ok, parent_);
  Exec(box);
}

bool QtHost::Confirm(const TMessage& question) {
  QMessageBox box(IconOf(question.kind), question.caption.empty() ? QApplication::applicationName() : Q(question.caption),
                  Q(question.text), QMessageBox::Yes | QMessageBox::No, parent_);
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return Exec(box) == QMessageBox::Yes;
}

void QtHost::ShowError(const std::u16string& message) {
  ShowMessage(TMessage{message, u"", TMessageKind::kError});
}

std::optional<std::filesystem::path> QtHost::ChooseFile(const TFileDialogRequest& request, bool save) {
  if (auto answer = TakeFileAnswer()) return answer;
  QFileDialog dialog(parent_, Q(request.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(NameFilters(request.filter));
  dialog.setDefaultSuffix(Q(request.defaultExt));
  if (!request.initialDir.empty()) dialog.setDirectory(Q(request.initialDir.u16string()));
  if (!request.initialName.empty()) dialog.selectFile(Q(request.initialName.u16string()));
  if (Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return std::filesystem::path(dialog.selectedFiles().first().toStdU16String());
}

std::optional<std::filesystem::path> QtHost::ChooseFileToOpen(const TFileDialogRequest& request) {
  return ChooseFile(request, false);
}

std::optional<std::filesystem::path> QtHost::ChooseFileToSave(const TFileDialogRequest& request) {
  return ChooseFile(request, true);
}

std::optional<std::u16string> QtHost::InputBox(const std::u16string& caption, const std::u16string& prompt,
                                               const std::u16string& defaultValue) {
  if (auto answer = TakeInputAnswer()) return answer;
  QInputDialog dialog(parent_);
  dialog.setWindowTitle(Q(caption));
  dialog.setLabelText(Q(prompt).trimmed());
  dialog.setTextValue(Q(defaultValue));
  // Wide enough that the title bar keeps the whole title beside its buttons;
  // the dialog's layout sizes it from its field.
  constexpr int kTitleBarButtons = 200;
  const QFontMetrics titleFont(QApplication::font("QMdiSubWindowTitleBar"));
  if (auto* field = dialog.findChild<QLineEdit*>()) {
    field->setMinimumWidth(titleFont.horizontalAdvance(dialog.windowTitle()) + kTitleBarButtons);
  }
  if (Exec(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdU16String();
}

void QtHost::RunModal(TForm1& form) {
  QDialog dialog(parent_);
  dialog.setObjectName("TForm1");
  dialog.setWindowTitle(Q(form.Caption));
  auto* fields = new QFormLayout;
  auto* fileName = new QLineEdit;
  auto* title = new QLineEdit;
  auto* subject = new QLineEdit;
  auto* author = new QLineEdit;
  auto* keywords = new QPlainTextEdit;
  fields->addRow("Filename", fileName);
  fields->addRow("Title", title);
  fields->addRow("Subject", subject);
  fields->addRow("Author", author);
  fields->addRow("Keyword", keywords);
  auto* picture = new QLabel;
  picture->setPixmap(LoadPicture("keji2_112.jpg"));
  auto* buttons = new QHBoxLayout;
  QPushButton* save = Button("save", *buttons);
  QPushButton* reset = Button("reset", *buttons);
  auto* body = new QHBoxLayout;
  body->addWidget(picture, 0, Qt::AlignTop);
  body->addLayout(fields);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(body);
  layout->addLayout(buttons);
  QObject::connect(save, &QPushButton::clicked, &dialog, [&] {
    form.Edit1.SetText(fileName->text().toStdU16String());
    form.Edit2.SetText(title->text().toStdU16String());
    form.Edit3.SetText(subject->text().toStdU16String());
    form.Edit4.SetText(author->text().toStdU16String());
    form.Memo1.SetText(keywords->toPlainText().replace("\n", "\r\n").toStdU16String());
    form.Button3Click();
    if (form.Closed()) dialog.accept();
  });
  QObject::connect(reset, &QPushButton::clicked, &dialog, [&] {
    form.Button4Click();
    for (QLineEdit* edit : {fileName, title, subject, author}) edit->clear();
    keywords->clear();
  });
  Exec(dialog);
}

void QtHost::RunModal(TForm3& form) {
  QDialog dialog(parent_);
  dialog.setObjectName("TForm3");
  dialog.setWindowTitle(Q(form.Caption));
  DigitFilter filter(&dialog);
  auto* fields = new QFormLayout;
  QLineEdit* edits[4];
  const char* captions[4] = {"Width", "Height", "Left margin", "Top margin"};
  const TEdit* values[4] = {&form.Edit1, &form.Edit2, &form.Edit3, &form.Edit4};
  for (int i = 0; i < 4; ++i) {
    edits[i] = new QLineEdit(Q(values[i]->Text()));
    edits[i]->installEventFilter(&filter);
    fields->addRow(captions[i], edits[i]);
  }
  auto* buttons = new QHBoxLayout;
  QPushButton* save = Button("save", *buttons);
  QPushButton* cancel = Button("cancel", *buttons);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(fields);
  layout->addLayout(buttons);
  QObject::connect(save, &QPushButton::clicked, &dialog, [&] {
    TEdit* targets[4] = {&form.Edit1, &form.Edit2, &form.Edit3, &form.Edit4};
    for (int i = 0; i < 4; ++i) targets[i]->SetText(edits[i]->text().toStdU16String());
    // A field that is no number ends the command as any error does.
    try {
      form.Button1Click();
    } catch (const std::exception& error) {
      ShowError(QString::fromUtf8(error.what()).toStdU16String());
    }
    if (form.Closed()) dialog.accept();
  });
  QObject::connect(cancel, &QPushButton::clicked, &dialog, [&] {
    form.Button2Click();
    dialog.reject();
  });
  Exec(dialog);
}

void QtHost::RunModal(TForm4& form) {
  QDialog dialog(parent_, Qt::MSWindowsFixedSizeDialogHint);
  dialog.setObjectName("TForm4");
  dialog.setWindowTitle(Q(form.Caption));
  auto* picture = new QLabel;
  picture->setPixmap(LoadPicture("about.png"));
  auto* product = new QLabel(Q(form.ProductName));
  product->setStyleSheet("font-weight: bold; color: red; font-size: 14pt;");
  auto link = [](const QString& label, const QString& shown) {
    auto* text = new QLabel(label + "<a href=\"#\">" + shown.toHtmlEscaped() + "</a>");
    text->setObjectName(shown);
    return text;
  };
  QLabel* home = link(Q(form.HomePageLabel), Q(form.HomePageLink));
  QLabel* mail = link(Q(form.MailLabel), Q(form.MailLink));
  QObject::connect(home, &QLabel::linkActivated, &dialog, [&form] { form.HomePageClick(); });
  QObject::connect(mail, &QLabel::linkActivated, &dialog, [&form] { form.MailClick(); });
  auto* ok = new QPushButton("OK");
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  auto* text = new QVBoxLayout;
  for (QWidget* line : std::initializer_list<QWidget*>{product, home, mail, new QLabel(Q(form.LastUpdate)), ok}) {
    text->addWidget(line);
  }
  auto* layout = new QHBoxLayout(&dialog);
  layout->addWidget(picture, 0, Qt::AlignTop);
  layout->addLayout(text);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  Exec(dialog);
}

void QtHost::OpenUrl(const std::u16string& url) {
  if (urlOpener) {
    urlOpener(Q(url));
  } else {
    QDesktopServices::openUrl(QUrl(Q(url)));
  }
}

// While cancellable work runs the window takes only its Cancel button, so
// the person's input can be let through.
void QtHost::ProcessMessages() {
  QApplication::processEvents(working_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

void QtHost::BeginCancellableWork() {
  working_ = true;
  cancelRequested_ = false;
  if (workShown) workShown(true);
}

void QtHost::EndCancellableWork() {
  working_ = false;
  if (workShown) workShown(false);
}

}  // namespace varnolt
