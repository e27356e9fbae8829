#include "cli/Batch.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include "app/InputKinds.h"
#include "app/SheetTable.h"
#include "app/Unit2.h"
#include "cli/BatchHost.h"
#include "cli/BatchOptions.h"
#include "platform/CodePage.h"
#include "platform/Version.h"
#include "platform/Office.h"
#include "platform/TemporaryCleanup.h"
#include "platform/WebPage.h"

namespace varnolt {

namespace {

enum class TOutputKind { kPdf, kRtf, kText, kWord, kExcel, kUnsupported };

TOutputKind OutputKindOf(const std::string& output) {
  static const std::map<std::string, TOutputKind> kinds = {
      {".pdf", TOutputKind::kPdf},   {".rtf", TOutputKind::kRtf},    {".txt", TOutputKind::kText},
      {".doc", TOutputKind::kWord},  {".docx", TOutputKind::kWord},  {".odt", TOutputKind::kWord},
      {".xls", TOutputKind::kExcel}, {".xlsx", TOutputKind::kExcel}, {".ods", TOutputKind::kExcel}};
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
    {"--plain-pdf", [](const TBatchOptions& o) { return o.plainPdf; }, u"plain text is no PDF"},
};

// Runs the window's commands in order and stops at the first that fails or
// loses content.
class TBatchRun {
 public:
  TBatchRun(const TBatchOptions& options, std::ostream& out, std::ostream& err)
      : options_(options), host_(options, out, err), form_(host_, clipboard_) {
    host_.SetForm(form_);
    form_.EnterBatchMode();
  }

  void ShowProgress() {
    form_.Progress.percentLabel.Subscribe([this] {
      const auto& text = form_.Progress.percentLabel.Caption();
      if (!text.empty()) host_.ShowProgress(text);
    });
  }

  bool Run() {
    ReportEnvironmentProblems();
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

  void ReportEnvironmentProblems() {
    if (const auto& problem = SystemAnsiCodePageProblem()) host_.Report(Utf8ToUtf16(*problem), false);
    if (const auto problem = OfficeTimeLimitProblem()) host_.Report(Utf8ToUtf16(*problem), false);
  }

  // Says what the import's message boxes left unsaid; false when content was lost.
  bool ImportedCompletely() {
    const TFileImportReport& report = form_.LastImport;
    if (!report.unshown.empty()) host_.Report(report.unshown, !report.complete);
    return report.complete && !host_.Failed();
  }

  bool ImportEveryInput() {
    ConvertOfficeInputsAhead();
    for (size_t i = 0; i < options_.inputs.size(); ++i) {
      if (i > 0 && !Step([&] { form_.Label24Click(); })) return false;
      host_.SetSubject(options_.inputs[i]);
      // Office and web imports keep no report of their own; theirs is the command's result.
      form_.LastImport = {};
      // The reason behind a failed command's message is said too.
      const bool imported = Import(options_.inputs[i]);
      if (!ImportedCompletely() || !imported) return false;
    }
    host_.SetSubject(options_.output);
    return true;
  }

  bool Import(const std::string& input) {
    const TImportStep step = ImportStepFor(input);
    if (step.asksForAddress) host_.AnswerNextInput(Utf8ToUtf16(step.answer));
    else host_.AnswerNextFileDialog(step.answer);
    return Step([&] { (form_.*step.command)(); });
  }

  // Office documents are converted in one LibreOffice run per kind, so that
  // each pays the start-up once; the imports then find their results.
  void ConvertOfficeInputsAhead() {
    std::vector<std::filesystem::path> documents;
    std::vector<std::filesystem::path> workbooks;
    for (const auto& input : options_.inputs) {
      // The import refuses it with its reason; LibreOffice would only waste time on it.
      if (IsPackageNameWithoutPackage(input)) continue;
      if (InputKindOf(input) == TInputKind::kWord && OfficeInputNeedsLibreOffice(input)) documents.emplace_back(input);
      if (InputKindOf(input) == TInputKind::kExcel && !ReadsWorkbookItself(input)) workbooks.emplace_back(input);
    }
    auto& office = form_.OfficeApplications();
    if (documents.size() + workbooks.size() < 2 || !office.Connect()) return;
    if (documents.size() > 1) office.ConvertAhead(documents, kOfficeRtfFilter);
    if (workbooks.size() > 1) office.ConvertAhead(workbooks, kOfficeSheetsCsvFilter);
  }

  bool HasGeometry(size_t page, const TPageGeometry& geometry) const {
    return form_.PageWidths.at(page) == geometry.size.width && form_.PageHeights.at(page) == geometry.size.height &&
           form_.PageLeftMargins.at(page) == geometry.margins.left &&
           form_.PageTopMargins.at(page) == geometry.margins.top;
  }

  bool ApplyPageOptions() {
    if (!options_.pageSize && !options_.margins) return true;
    for (int page = 0; page < form_.PageSlotCount(); ++page) {
      const auto i = static_cast<size_t>(page);
      if (!form_.PageEditors.at(i)) continue;
      form_.ButtonClick(page, TMouseButton::mbLeft);
      const TPageGeometry wanted{
          {options_.pageSize ? options_.pageSize->width : form_.PageWidths.at(i),
           options_.pageSize ? options_.pageSize->height : form_.PageHeights.at(i)},
          {options_.margins ? options_.margins->left : form_.PageLeftMargins.at(i),
           options_.margins ? options_.margins->top : form_.PageTopMargins.at(i)}};
      host_.AnswerOptions(wanted.size.width, wanted.size.height, wanted.margins.left, wanted.margins.top);
      if (!Step([&] { form_.OptionsEditClick(); })) return false;
      // The dialog refuses a geometry that leaves the text no room with a
      // warning; the page would then be exported in a size nobody asked for.
      if (!HasGeometry(i, wanted)) {
        host_.MarkFailed();
        return false;
      }
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
      case TOutputKind::kWord:
        host_.AnswerNextFileDialog(options_.output);
        return Step([&] { form_.Image4Click(); });
      case TOutputKind::kExcel:
        host_.AnswerNextFileDialog(options_.output);
        return Step([&] { form_.image5Click(); });
      default:
        host_.AnswerNextFileDialog(options_.output);
        if (options_.plainPdf) return Step([&] { form_.Image2Click(); });
        return Step([&] { form_.FormattedPdfExport(); });
    }
  }

  const TBatchOptions& options_;
  MemoryClipboard clipboard_;
  TBatchHost host_;
  TForm2 form_;
};

// The output is written and committed by now; freeing every page's document
// would only keep the caller waiting. Temporary files and folders still go.
[[noreturn]] void ExitWithoutTeardown(int status, std::ostream& out, std::ostream& err) {
  RemoveWatchedTemporaries();
  out.flush();
  err.flush();
  std::fflush(nullptr);
  std::_Exit(status);
}

std::optional<std::string> CheckInputsAndOutput(const TBatchOptions& options) {
  for (const auto& input : options.inputs) {
    if (InputKindOf(input) == TInputKind::kUnsupported) return UnknownInputMessage(input);
  }
  if (OutputKindOf(options.output) == TOutputKind::kUnsupported) {
    return "cannot export to " + options.output + ": unknown kind of output";
  }
  return std::nullopt;
}

std::optional<std::string> FindUnreadableInput(const TBatchOptions& options) {
  for (const auto& input : options.inputs) {
    if (auto problem = UnreadableInputProblem(input)) return problem;
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
