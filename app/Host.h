#pragma once
// Everything the window model asks of the person in front of it: message
// boxes, file dialogs, the input box and modal dialogs. The Qt window, the
// batch front end and the tests each answer in their own way.
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

namespace varnolt {

class TForm1;
class TForm3;
class TForm4;

enum class TMessageKind { kPlain, kInformation, kWarning, kError };

struct TMessage {
  explicit TMessage(std::u16string text, std::u16string caption = u"", TMessageKind kind = TMessageKind::kPlain,
                    std::u16string detail = u"")
      : text(std::move(text)), caption(std::move(caption)), kind(kind), detail(std::move(detail)) {}

  std::u16string text;
  std::u16string caption;  // empty: the application title
  TMessageKind kind;
  // What a message box leaves unsaid (the cause behind "?"); a front end
  // that writes lines adds it.
  std::u16string detail;
};

struct TFileDialogRequest {
  std::u16string title;
  std::u16string filter;  // "Description|*.ext|..."
  std::u16string defaultExt;
  std::filesystem::path initialName;
  std::filesystem::path initialDir;
};

class THost {
 public:
  virtual ~THost() = default;

  virtual void ShowMessage(const TMessage& message) = 0;
  // The window's default error handler: the error's message in a box.
  virtual void ShowError(const std::u16string& message) = 0;

  // Empty when the user cancels.
  virtual std::optional<std::filesystem::path> ChooseFileToOpen(const TFileDialogRequest& request) = 0;
  virtual std::optional<std::filesystem::path> ChooseFileToSave(const TFileDialogRequest& request) = 0;
  virtual std::optional<std::u16string> InputBox(const std::u16string& caption, const std::u16string& prompt,
                                                 const std::u16string& defaultValue) = 0;
  // A yes-or-no question; true for yes. A front end nobody sits in front of
  // (the batch mode) never has to ask, so it goes on.
  virtual bool Confirm(const TMessage& /*question*/) { return true; }

  // Runs a dialog modally: the host fills its fields and presses its buttons
  // until the dialog closes.
  virtual void RunModal(TForm1& dialog) = 0;
  virtual void RunModal(TForm3& dialog) = 0;
  // The about box and the shell's "open" verb belong to a window; the batch
  // mode never reaches them.
  virtual void RunModal(TForm4& /*dialog*/) {}
  virtual void OpenUrl(const std::u16string& /*url*/) {}

  // Lets the display follow long work (progress); nothing by default.
  virtual void ProcessMessages() {}

  // Work that may take long and that the person may cancel: between Begin
  // and End the front end offers Cancel (and takes no other command), and
  // CancelRequested says whether it was pressed since Begin.
  virtual void BeginCancellableWork() {}
  virtual void EndCancellableWork() {}
  virtual bool CancelRequested() { return false; }

  // Answers given ahead to the next open or save dialog and the next input
  // box: how inputs named on a command line, dropped or pasted reach the
  // import commands without a person choosing them again.
  void AnswerNextFileDialog(std::filesystem::path path) { nextFile_ = std::move(path); }
  void AnswerNextInput(std::u16string text) { nextInput_ = std::move(text); }
  // A command that stopped before its dialog must not answer a later one.
  void ForgetAnswers() {
    nextFile_.reset();
    nextInput_.reset();
  }

 protected:
  std::optional<std::filesystem::path> TakeFileAnswer() { return std::exchange(nextFile_, std::nullopt); }
  std::optional<std::u16string> TakeInputAnswer() { return std::exchange(nextInput_, std::nullopt); }

 private:
  std::optional<std::filesystem::path> nextFile_;
  std::optional<std::u16string> nextInput_;
};

}  // namespace varnolt
