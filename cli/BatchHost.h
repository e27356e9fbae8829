#pragma once
// The host of the batch mode: dialogs are answered from the command line,
// message boxes become lines (information on standard output, the rest on
// standard error, each naming the file it is about), and an error, or a
// message box that refuses a command, marks the run as failed. Warnings do
// not: the batch run reads each command's own result for what was lost.
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "app/Host.h"
#include "cli/BatchOptions.h"

namespace varnolt {

class TForm2;

class TBatchHost : public THost {
 public:
  TBatchHost(const TBatchOptions& options, std::ostream& out, std::ostream& err)
      : options_(options), out_(out), err_(err) {}

  void SetForm(TForm2& form) { form_ = &form; }
  // The file that the next messages are about (bytes, as given).
  void SetSubject(std::string fileName) { subject_ = std::move(fileName); }
  // What the next options dialog gets for the current page.
  void AnswerOptions(std::int32_t width, std::int32_t height, std::int32_t left, std::int32_t top);

  bool Failed() const { return failed_; }
  // A line about the current subject on standard error; failing marks the run.
  void Report(const std::u16string& text, bool failing);
  // Fails the run over something a warning already said.
  void MarkFailed() { failed_ = true; }
  // The progress line on standard error, cleared before any other line.
  void ShowProgress(const std::u16string& percent);
  void ClearProgress();
  // Why standard output could not be written, once it could not.
  const std::optional<std::string>& OutputError() const { return outputError_; }

  void ShowMessage(const TMessage& message) override;
  void ShowError(const std::u16string& message) override;
  std::optional<std::filesystem::path> ChooseFileToOpen(const TFileDialogRequest& request) override;
  std::optional<std::filesystem::path> ChooseFileToSave(const TFileDialogRequest& request) override;
  std::optional<std::u16string> InputBox(const std::u16string& caption, const std::u16string& prompt,
                                         const std::u16string& defaultValue) override;
  void RunModal(TForm1& dialog) override;
  void RunModal(TForm3& dialog) override;

 private:
  void WriteLine(std::ostream& stream, const std::u16string& text);
  std::u16string AboutSubject(const std::u16string& text) const;
  std::u16string WithFileNamesEscaped(std::u16string text) const;

  const TBatchOptions& options_;
  std::ostream& out_;
  std::ostream& err_;
  TForm2* form_ = nullptr;
  std::string subject_;
  std::u16string optionFields_[4];
  bool failed_ = false;
  bool progressShown_ = false;
  std::optional<std::string> outputError_;
};

}  // namespace varnolt
