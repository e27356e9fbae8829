#pragma once
// The window's host: Qt message boxes, file dialogs and the input box, and
// the dialogs of the window model drawn as Qt dialogs.
#include <QString>
#include <functional>

#include "app/Host.h"

class QWidget;

namespace varnolt {

// "Description|*.ext|..." as Qt's name filters.
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
  void RunModal(TForm1& dialog) override;
  void RunModal(TForm3& dialog) override;
  void RunModal(TForm4& dialog) override;
  void OpenUrl(const std::u16string& url) override;
  void ProcessMessages() override;

  // Where addresses go; the desktop's browser or mailer unless replaced.
  std::function<void(const QString&)> urlOpener;

 private:
  std::optional<std::filesystem::path> ChooseFile(const TFileDialogRequest& request, bool save);

  QWidget* parent_;
};

}  // namespace varnolt
