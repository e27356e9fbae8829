#include "cli/Batch.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include "app/Unit2.h"
#include "cli/BatchHost.h"
#include "cli/BatchOptions.h"
#include "platform/CodePage.h"
#include "platform/Version.h"

namespace varnolt {

namespace {

enum class TInputKind { kText, kRtf, kUnsupported };
enum class TOutputKind { kPdf, kRtf, kText, kUnsupported };

std::string LowerExtension(const std::string& name) {
  std::string extension = std::filesystem::path(name).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

TInputKind InputKindOf(const std::string& input) {
  static const std::map<std::string, TInputKind> kinds = {{".txt", TInputKind::kText}, {".rtf", TInputKind::kRtf}};
  auto found = kinds.find(LowerExtension(input));
  return found == kinds.end() ? TInputKind::kUnsupported : found->second;
}

TOutputKind OutputKindOf(const std::string& output) {
  static const std::map<std::string, TOutputKind> kinds = {
      {".pdf", TOutputKind::kPdf}, {".rtf", TOutputKind::kRtf}, {".txt", TOutputKind::kText}};
  auto found = kinds.find(LowerExtension(output));
  return found == kinds.end() ? TOutputKind::kUnsupported : found->second;
}

struct TIgnoredOption {
  const char* name;
  bool (*given)(const TBatchOptions&);
  const char16_t* reason;
};

// What plain text output has no place for.
const TIgnoredOption kIgnoredByText[] = {
    {"--page-size", [](const TBatchOptions& o) { return o.pageSize.has_value(); }, u"plain text has no page size"},
    {"--margins", [](const TBatchOptions& o) { return o.margins.has_value(); }, u"plain text has no margins"},
    {"--title", [](const TBatchOptions& o) { return o.title.has_value(); }, u"plain text has no title"},
    {"--subject", [](const TBatchOptions& o) { return o.subject.has_value(); }, u"plain text has no subject"},
    {"--author", [](const TBatchOptions& o) { return o.author.has_value(); }, u"plain text has no author"},
    {"--keywords", [](const TBatchOptions& o) { return o.keywords.has_value(); }, u"plain text has no keywords"},
};

// Runs the window's commands in order and stops at the first that fails or
// loses content.
class TBatchRun {
 public:
  TBatchRun(const TBatchOptions& options, std::ostream& out, std::ostream& err)
      : options_(options), host_(options, out, err), form_(host_, clipboard_) {
    host_.SetForm(form_);
    form_.BatchMode = true;
  }

  void ShowProgress() {
    form_.Progress.percentLabel.Subscribe([this] {
      const auto& text = form_.Progress.percentLabel.Caption();
      if (!text.empty()) host_.ShowProgress(text);
    });
  }

  bool Run() {
    ReportCodePageProblem();
    const bool succeeded =
        ImportEveryInput() && ApplyPageOptions() && ApplyProperties() && ReportIgnoredOptions() && Export();
    host_.ClearProgress();
    return succeeded;
  }

  const TBatchHost& Host() const { return host_; }

 private:
  bool Step(const std::function<void()>& command) {
    form_.Dispatch(command);
    return !host_.Failed();
  }

  void ReportCodePageProblem() {
    if (const auto& problem = SystemAnsiCodePageProblem()) host_.Report(Utf8ToUtf16(*problem), false);
  }

  // Says what the import's message boxes left unsaid; false when content was lost.
  bool ImportedCompletely() {
    const TFileImportReport& report = form_.LastImport;
    if (!report.unshown.empty()) host_.Report(report.unshown, !report.complete);
    return report.complete && !host_.Failed();
  }

  bool ImportEveryInput() {
    for (size_t i = 0; i < options_.inputs.size(); ++i) {
      if (i > 0 && !Step([&] { form_.Label24Click(); })) return false;
      host_.SetSubject(options_.inputs[i]);
      host_.AnswerNextFileDialog(options_.inputs[i]);
      const bool imported = InputKindOf(options_.inputs[i]) == TInputKind::kRtf ? Step([&] { form_.Label36Click(); })
                                                                                 : Step([&] { form_.Label12Click(); });
      if (!imported || !ImportedCompletely()) return false;
    }
    host_.SetSubject(options_.output);
    return true;
  }

  bool ApplyPageOptions() {
    if (!options_.pageSize && !options_.margins) return true;
    for (int page = 0; page < form_.PageSlotCount(); ++page) {
      const auto i = static_cast<size_t>(page);
      if (!form_.PageEditors.at(i)) continue;
      form_.ButtonClick(page, TMouseButton::mbLeft);
      host_.AnswerOptions(options_.pageSize ? options_.pageSize->width : form_.PageWidths.at(i),
                          options_.pageSize ? options_.pageSize->height : form_.PageHeights.at(i),
                          options_.margins ? options_.margins->left : form_.PageLeftMargins.at(i),
                          options_.margins ? options_.margins->top : form_.PageTopMargins.at(i));
      if (!Step([&] { form_.OptionsEditClick(); })) return false;
    }
    return true;
  }

  bool ApplyProperties() {
    if (!options_.title && !options_.subject && !options_.author && !options_.keywords) return true;
    return Step([&] { form_.PropertiesEditClick(); });
  }

  bool ReportIgnoredOptions() {
    if (OutputKindOf(options_.output) != TOutputKind::kText) return true;
    for (const auto& option : kIgnoredByText) {
      if (option.given(options_)) host_.Report(ToU16(option.name) + u" is ignored: " + option.reason, false);
    }
    return true;
  }

  bool Export() {
    switch (OutputKindOf(options_.output)) {
      case TOutputKind::kText: return Step([&] { form_.ExportPlainText(options_.output); });
      case TOutputKind::kRtf:
        host_.AnswerNextFileDialog(options_.output);
        return Step([&] { form_.Image6Click(); });
      default:
        host_.AnswerNextFileDialog(options_.output);
        return Step([&] { form_.Image2Click(); });
    }
  }

  const TBatchOptions& options_;
  MemoryClipboard clipboard_;
  TBatchHost host_;
  TForm2 form_;
};

// The output is written and committed by now; freeing every page's document
// would only keep the caller waiting.
[[noreturn]] void ExitWithoutTeardown(int status, std::ostream& out, std::ostream& err) {
  out.flush();
  err.flush();
  std::fflush(nullptr);
  std::_Exit(status);
}

std::optional<std::string> CheckInputsAndOutput(const TBatchOptions& options) {
  for (const auto& input : options.inputs) {
    if (InputKindOf(input) == TInputKind::kUnsupported) return "cannot import " + input + ": unknown kind of input";
  }
  if (OutputKindOf(options.output) == TOutputKind::kUnsupported) {
    return "cannot export to " + options.output + ": unknown kind of output";
  }
  return std::nullopt;
}

std::optional<std::string> FindUnreadableInput(const TBatchOptions& options) {
  for (const auto& input : options.inputs) {
    std::error_code error;
    const auto type = std::filesystem::status(input, error).type();
    if (type == std::filesystem::file_type::not_found) return input + ": no such file";
    if (type == std::filesystem::file_type::directory) return input + ": is a directory";
    if (error) return input + ": " + error.message();
    if (type != std::filesystem::file_type::regular) return input + ": not a regular file";
  }
  return std::nullopt;
}

// A summary or help text that did not reach standard output fails the run.
int WithOutputChecked(int status, std::ostream& out, std::ostream& err, std::optional<std::string> reason) {
  errno = 0;
  if (!reason && (out << std::flush)) return status;
  if (!reason) reason = errno != 0 ? std::strerror(errno) : "write error";
  err << "varnolt: cannot write to standard output: " << *reason << '\n';
  return kExitCommandFailed;
}

}  // namespace

namespace {

int Convert(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, bool showProgress,
            bool exitWhenDone) {
  auto parsed = ParseCommandLine(arguments);
  if (auto* usage = std::get_if<TUsageError>(&parsed)) {
    err << "varnolt: " << usage->message << " (see varnolt --help)\n";
    return kExitUsage;
  }
  const auto& commandLine = std::get<TParsedCommandLine>(parsed);
  switch (commandLine.request) {
    case TBatchRequest::kHelp: out << UsageText(); return WithOutputChecked(kExitSuccess, out, err, std::nullopt);
    case TBatchRequest::kVersion:
      out << "varnolt " VARNOLT_VERSION "\n";
      return WithOutputChecked(kExitSuccess, out, err, std::nullopt);
    case TBatchRequest::kWindow: err << UsageText(); return kExitUsage;
    case TBatchRequest::kConvert: break;
  }
  const TBatchOptions& options = commandLine.options;
  if (auto problem = CheckInputsAndOutput(options)) {
    err << "varnolt: " << *problem << '\n';
    return kExitUsage;
  }
  if (auto problem = FindUnreadableInput(options)) {
    err << "varnolt: " << *problem << '\n';
    return kExitCommandFailed;
  }
  TBatchRun run(options, out, err);
  if (showProgress && !options.quiet) run.ShowProgress();
  const int ran = run.Run() ? kExitSuccess : kExitCommandFailed;
  const int status = WithOutputChecked(ran, out, err, run.Host().OutputError());
  if (exitWhenDone) ExitWithoutTeardown(status, out, err);
  return status;
}

}  // namespace

int RunVarnolt(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, bool showProgress) {
  return Convert(arguments, out, err, showProgress, false);
}

void RunVarnoltAndExit(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                       bool showProgress) {
  ExitWithoutTeardown(Convert(arguments, out, err, showProgress, true), out, err);
}

}  // namespace varnolt
