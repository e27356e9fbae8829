#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace varnolt {

// The folder of the running program (dialogs start there; "images" lives there).
std::filesystem::path ExecutableDir();

// Where a person keeps documents: XDG_DOCUMENTS_DIR, else ~/Documents when it
// exists, else the home folder (the current folder when HOME is unset).
std::filesystem::path DocumentsFolder();

// File names are bytes, not always UTF-8. A byte that is no part of valid
// UTF-8 becomes the lone surrogate U+DC80 + byte and turns back into itself,
// so a name survives the trip through UTF-16 unchanged.
std::u16string FileNameToUtf16(std::string_view bytes);
std::string Utf16ToFileName(std::u16string_view text);

// A file name as messages show it, on one line: control characters become
// C escapes (\n, \r, \t, \xHH), every other byte stays.
std::string EscapedFileName(std::string_view name);
// The same in double quotes.
std::string QuotedFileName(const std::filesystem::path& name);

}  // namespace varnolt
