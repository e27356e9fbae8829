#include "cli/Batch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

#include "app/Unit2.h"
#include "cli/BatchHost.h"
#include "cli/BatchOptions.h"
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

// Runs the window's commands in order and stops at the first that fails.
class TBatchRun {
 public:
  TBatchRun(const TBatchOptions& options, std::ostream& out, std::ostream& err)
      : options_(options), host_(options, out, err), form_(host_, clipboard_) {
    host_.SetForm(form_);
    form_.BatchMode = true;
  }

  void ShowProgressOn(std::ostream& err) {
    form_.Progress.percentLabel.Subscribe([this, &err] {
      const auto& text = form_.Progress.percentLabel.Caption();
      if (!text.empty()) err << "\rProgress " << std::string(text.begin(), text.end()) << std::flush;
    });
  }

  bool Run() {
    return ImportEveryInput() && ApplyPageOptions() && ApplyProperties() && Export();
  }

 private:
  bool Step(const std::function<void()>& command) {
    form_.Dispatch(command);
    return !host_.Failed();
  }

  bool ImportEveryInput() {
    for (size_t i = 0; i < options_.inputs.size(); ++i) {
      if (i > 0 && !Step([&] { form_.Label24Click(); })) return false;
      host_.AnswerNextFileDialog(options_.inputs[i]);
      const bool imported = InputKindOf(options_.inputs[i]) == TInputKind::kRtf ? Step([&] { form_.Label36Click(); })
                                                                                 : Step([&] { form_.Label12Click(); });
      if (!imported) return false;
    }
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
    if (!std::filesystem::is_regular_file(input, error)) return input + ": no such file";
  }
  return std::nullopt;
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
    case TBatchRequest::kHelp: out << UsageText(); return kExitSuccess;
    case TBatchRequest::kVersion: out << "varnolt " VARNOLT_VERSION "\n"; return kExitSuccess;
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
  if (showProgress && !options.quiet) run.ShowProgressOn(err);
  const bool succeeded = run.Run();
  if (showProgress && !options.quiet) err << '\r' << std::string(16, ' ') << '\r' << std::flush;
  const int status = succeeded ? kExitSuccess : kExitCommandFailed;
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
