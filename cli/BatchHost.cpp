#include "cli/BatchHost.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "platform/CodePage.h"
#include "platform/Paths.h"

namespace varnolt {

namespace {

// A message box's line breaks become blanks: one message, one line.
std::u16string OnOneLine(const std::u16string& text) {
  std::u16string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    line += (c == u'\r' || c == u'\n') ? u' ' : c;
  }
  return line;
}

}  // namespace

void TBatchHost::WriteLine(std::ostream& stream, const std::u16string& text) {
  ClearProgress();
  errno = 0;
  // File names in messages go out as the bytes they were given as.
  stream << Utf16ToFileName(OnOneLine(text)) << '\n' << std::flush;
  if (&stream == &out_ && !stream && !outputError_) outputError_ = errno != 0 ? std::strerror(errno) : "write error";
}

// A line break in a file name would cut its message in two, or pass for a
// blank: the run's file names appear with their control characters escaped.
std::u16string TBatchHost::WithFileNamesEscaped(std::u16string text) const {
  std::vector<std::string> names = options_.inputs;
  names.push_back(options_.output);
  for (const auto& name : names) {
    const std::string escaped = EscapedFileName(name);
    if (escaped == name) continue;
    const std::u16string raw = FileNameToUtf16(name);
    const std::u16string shown = FileNameToUtf16(escaped);
    for (auto at = text.find(raw); at != std::u16string::npos; at = text.find(raw, at + shown.size())) {
      text.replace(at, raw.size(), shown);
    }
  }
  return text;
}

std::u16string TBatchHost::AboutSubject(const std::u16string& message) const {
  const std::u16string text = WithFileNamesEscaped(message);
  const std::u16string subject = FileNameToUtf16(EscapedFileName(subject_));
  if (subject.empty() || text.find(subject) != std::u16string::npos) return u"varnolt: " + text;
  return u"varnolt: " + subject + u": " + text;
}

void TBatchHost::Report(const std::u16string& text, bool failing) {
  failed_ = failed_ || failing;
  WriteLine(err_, AboutSubject(text));
}

void TBatchHost::ShowProgress(const std::u16string& percent) {
  err_ << "\rProgress " << Utf16ToUtf8(percent) << std::flush;
  progressShown_ = true;
}

void TBatchHost::ClearProgress() {
  if (!progressShown_) return;
  progressShown_ = false;
  err_ << '\r' << std::string(16, ' ') << '\r' << std::flush;
}

void TBatchHost::ShowMessage(const TMessage& message) {
  if (message.kind == TMessageKind::kInformation) {
    if (!options_.quiet) WriteLine(out_, WithFileNamesEscaped(message.text));
    return;
  }
  const std::u16string text = message.detail.empty() ? message.text : message.text + u" " + message.detail;
  // A warning leaves the command's result to say what was lost; a plain or
  // error box is a command refusing its work.
  Report(text, message.kind != TMessageKind::kWarning);
}

void TBatchHost::ShowError(const std::u16string& message) { Report(message, true); }

std::optional<std::filesystem::path> TBatchHost::ChooseFileToOpen(const TFileDialogRequest&) {
  return TakeFileAnswer();
}

std::optional<std::filesystem::path> TBatchHost::ChooseFileToSave(const TFileDialogRequest&) {
  return TakeFileAnswer();
}

std::optional<std::u16string> TBatchHost::InputBox(const std::u16string&, const std::u16string&,
                                                   const std::u16string&) {
  return TakeInputAnswer();
}

void TBatchHost::AnswerOptions(std::int32_t width, std::int32_t height, std::int32_t left, std::int32_t top) {
  const std::int32_t values[] = {width, height, left, top};
  for (int i = 0; i < 4; ++i) optionFields_[i] = Utf8ToUtf16(std::to_string(values[i]));
}

void TBatchHost::RunModal(TForm1& dialog) {
  dialog.Edit1.SetText(FileNameToUtf16(std::filesystem::path(options_.output).stem().native()));
  dialog.Edit2.SetText(options_.title.value_or(u""));
  dialog.Edit3.SetText(options_.subject.value_or(u""));
  dialog.Edit4.SetText(options_.author.value_or(u""));
  dialog.Memo1.SetText(options_.keywords.value_or(u""));
  form_->Dispatch([&] { dialog.Button3Click(); });
}

void TBatchHost::RunModal(TForm3& dialog) {
  TEdit* fields[] = {&dialog.Edit1, &dialog.Edit2, &dialog.Edit3, &dialog.Edit4};
  for (int i = 0; i < 4; ++i) fields[i]->SetText(optionFields_[i]);
  form_->Dispatch([&] { dialog.Button1Click(); });
}

}  // namespace varnolt
