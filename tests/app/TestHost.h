#pragma once
// A host that answers the window model from a script and records what it was
// shown, so that tests drive the model as a user would.
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Host.h"
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "app/Unit4.h"

namespace varnolt::test {

class TestHost : public THost {
 public:
  void ShowMessage(const TMessage& message) override { messages.push_back(message); }
  void ShowError(const std::u16string& message) override { errors.push_back(message); }

  std::optional<std::filesystem::path> ChooseFileToOpen(const TFileDialogRequest& request) override {
    openRequests.push_back(request);
    return Next(openAnswers);
  }
  std::optional<std::filesystem::path> ChooseFileToSave(const TFileDialogRequest& request) override {
    saveRequests.push_back(request);
    return Next(saveAnswers);
  }
  std::optional<std::u16string> InputBox(const std::u16string&, const std::u16string&,
                                         const std::u16string&) override {
    ++inputBoxes;
    return inputAnswer;
  }
  // A question with no answer queued gets no: the window stays.
  bool Confirm(const TMessage& question) override {
    questions.push_back(question.text);
    if (confirmAnswers.empty()) return false;
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
  }
  void RunModal(TForm1& dialog) override {
    if (propertiesScript) propertiesScript(dialog);
  }
  void RunModal(TForm3& dialog) override {
    if (optionsScript) optionsScript(dialog);
  }

  void RunModal(TForm4& dialog) override { aboutBoxes.push_back(dialog.Caption); }
  void OpenUrl(const std::u16string& url) override { openedUrls.push_back(url); }

  std::vector<std::u16string> MessageTexts() const {
    std::vector<std::u16string> texts;
    for (const auto& message : messages) texts.push_back(message.text);
    return texts;
  }

  std::vector<TMessage> messages;
  std::vector<std::u16string> errors;
  std::deque<std::optional<std::filesystem::path>> openAnswers;
  std::deque<std::optional<std::filesystem::path>> saveAnswers;
  std::vector<TFileDialogRequest> openRequests;
  std::vector<TFileDialogRequest> saveRequests;
  std::optional<std::u16string> inputAnswer;
  std::vector<std::u16string> questions;
  std::deque<bool> confirmAnswers;
  int inputBoxes = 0;
  std::function<void(TForm1&)> propertiesScript;
  std::function<void(TForm3&)> optionsScript;
  std::vector<std::u16string> aboutBoxes;
  std::vector<std::u16string> openedUrls;

 private:
  static std::optional<std::filesystem::path> Next(std::deque<std::optional<std::filesystem::path>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace varnolt::test
