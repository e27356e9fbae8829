// MainWindow: files and addresses into the window, from the command line, a
// second start, a drop or a pasted file list; and the program's start.
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "app/InputKinds.h"
#include "gui/MainWindow.h"
#include "gui/QtClipboard.h"
#include "gui/WindowInbox.h"
#include "platform/Paths.h"

namespace varnolt {

namespace {

constexpr int kRetryWhileModalMilliseconds = 200;

// A local file as its name's bytes, anything else as its address.
std::string InputOf(const QUrl& url) {
  if (url.isLocalFile()) return QFile::encodeName(url.toLocalFile()).toStdString();
  return url.toString(QUrl::FullyEncoded).toStdString();
}

std::vector<std::string> InputsOf(const QList<QUrl>& urls) {
  std::vector<std::string> inputs;
  for (const QUrl& url : urls) {
    if (url.isValid() && !url.isEmpty()) inputs.push_back(InputOf(url));
  }
  return inputs;
}

// A file manager's copy: addresses and nothing richer a paste would take.
bool IsFileList(const QMimeData* data) {
  return data != nullptr && data->hasUrls() && !data->hasHtml() && !data->hasImage() &&
         !data->hasFormat("text/rtf") && !data->hasFormat("application/rtf");
}

bool IsPaste(void (TForm2::*handler)()) {
  return handler == &TForm2::Label25Click || handler == &TForm2::N27Click || handler == &TForm2::N36Click ||
         handler == &TForm2::ToolButton14Click;
}

// Names given on the command line stay right when they reach a window that
// runs in another folder.
std::vector<std::string> Absolute(const std::vector<std::string>& inputs) {
  std::vector<std::string> absolute;
  for (const auto& input : inputs) {
    std::error_code error;
    absolute.push_back(IsWebAddress(input) ? input : std::filesystem::absolute(input, error).string());
  }
  return absolute;
}

}  // namespace

void MainWindow::OpenInputs(const std::vector<std::string>& inputs) {
  // A command cannot start inside another's dialog; the inputs wait for it.
  if (QApplication::activeModalWidget() != nullptr) {
    QTimer::singleShot(kRetryWhileModalMilliseconds, this, [this, inputs] { OpenInputs(inputs); });
    return;
  }
  for (const auto& input : inputs) OpenInput(input);
}

void MainWindow::OpenInput(const std::string& input) {
  std::optional<std::string> problem;
  if (InputKindOf(input) == TInputKind::kUnsupported) problem = UnknownInputMessage(input);
  else problem = UnreadableInputProblem(input);
  if (problem) {
    host_.ShowMessage(TMessage{FileNameToUtf16(*problem), u"", TMessageKind::kWarning});
    return;
  }
  Run([this] { form_->Label24Click(); });
  const TImportStep step = ImportStepFor(input);
  if (step.asksForAddress) host_.AnswerNextInput(FileNameToUtf16(step.answer));
  else host_.AnswerNextFileDialog(step.answer);
  Run([this, &step] { (form_.get()->*step.command)(); });
  host_.ForgetAnswers();
}

void MainWindow::RunCommand(Handler handler) {
  if (IsPaste(handler) && PasteFileList()) return;
  Run([this, handler] { (form_.get()->*handler)(); });
}

bool MainWindow::PasteFileList() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!IsFileList(data)) return false;
  OpenInputs(InputsOf(data->urls()));
  return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  if (!event->mimeData()->hasUrls()) return;
  event->acceptProposedAction();
  const std::vector<std::string> inputs = InputsOf(event->mimeData()->urls());
  // The drag source waits for the drop to end; the imports run after it.
  QTimer::singleShot(0, this, [this, inputs] { OpenInputs(inputs); });
}

int RunMainWindow(int argc, char** argv, const std::vector<std::string>& inputs, bool joinRunningWindow) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Varnolt");
  QApplication::setDesktopFileName(VARNOLT_APP_ID);
  const std::vector<std::string> named = Absolute(inputs);
  if (joinRunningWindow && SendToRunningWindow(named)) return 0;
  QtClipboard clipboard(*QApplication::clipboard());
  MainWindow window(clipboard);
  WindowInbox inbox([&window](const std::vector<std::string>& received) {
    window.OpenInputs(received);
    window.raise();
    window.activateWindow();
  });
  inbox.Listen();
  window.show();
  QTimer::singleShot(0, &window, [&window, named] { window.OpenInputs(named); });
  return QApplication::exec();
}

}  // namespace varnolt
