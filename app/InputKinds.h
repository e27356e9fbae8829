#pragma once
// Which of the window's import commands takes an input given by name (a file
// or an address): the batch mode's inputs and the files a window is given,
// dropped or pasted all go through the same command a person would choose.
#include <optional>
#include <string>

namespace varnolt {

class TForm2;

enum class TInputKind { kText, kRtf, kWord, kExcel, kWebPage, kUnsupported };

// A file name's extension in lower case (".rtf"), empty without one.
std::string LowerExtension(const std::string& name);
bool IsWebAddress(const std::string& input);
// By an address's scheme, else by the file's extension (any case).
TInputKind InputKindOf(const std::string& input);
// "cannot import INPUT: unknown kind of input"
std::string UnknownInputMessage(const std::string& input);
// Why a file cannot be imported ("a.txt: no such file", ": is a directory", the
// system's reason); nothing for a readable file or an address.
std::optional<std::string> UnreadableInputProblem(const std::string& input);

// An import command with the answer its dialog gets: the file for the open
// dialog, or the address for the web page's input box.
struct TImportStep {
  void (TForm2::*command)();
  bool asksForAddress;
  std::string answer;
};
// The step for an input of a known kind.
TImportStep ImportStepFor(const std::string& input);

}  // namespace varnolt
