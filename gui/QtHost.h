#pragma once
// The window's host: Qt message boxes, file dialogs and the input box, and
// the dialogs of the window model drawn as Qt dialogs.
#include <QString>
#include <functional>

#include "app/Host.h"

class QDialog;
class QWidget;

namespace varnolt {

// "Description|*.ext;*.ext2|..." as Qt's name filters: "Description (*.ext *.ext2)",
// each pattern on its own, as the file dialog matches them.
QStringList NameFilters(const std::u16string& filter);

class QtHost : public THost {
 public:
  explicit QtHost(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  void ShowMessage(const TMessage& message) override;
  void ShowError(const std::u16string& message) override;
  std::optional<std::filesystem::path> ChooseFileToOpen(const TFileDialogRequest& request) override;
  std::optional<std::filesystem::path> ChooseFileToSave(const TFileDialogRequest& request) override;
  std::optional<std::u16string> InputBox(const std::u16string& caption, const std::u16string& prompt,
                                         const std::u16string& defaultValue) override;
  bool Confirm(const TMessage& question) override;
  void RunModal(TForm1& dialog) override;
  void RunModal(TForm3& dialog) override;
  void RunModal(TForm4& dialog) override;
  void OpenUrl(const std::u16string& url) override;
  void ProcessMessages() override;
  void BeginCancellableWork() override;
  void EndCancellableWork() override;
  bool CancelRequested() override { return cancelRequested_; }
  // The front end's Cancel button.
  void RequestCancel() { cancelRequested_ = true; }
  bool Working() const { return working_; }

  // Where addresses go; the desktop's browser or mailer unless replaced.
  std::function<void(const QString&)> urlOpener;
  // After every dialog and message box, so the keyboard goes back where it belongs.
  std::function<void()> afterModal;
  // Cancellable work begins (true) or ends (false).
  std::function<void(bool working)> workShown;

 private:
  std::optional<std::filesystem::path> ChooseFile(const TFileDialogRequest& request, bool save);
  // Runs a dialog modally, then hands the keyboard back.
  int Exec(QDialog& dialog);

  QWidget* parent_;
  bool working_ = false;
  bool cancelRequested_ = false;
};

}  // namespace varnolt
