#pragma once
#include <filesystem>

namespace varnolt {

// The folder of the running program (dialogs start there; "images" lives there).
std::filesystem::path ExecutableDir();

}  // namespace varnolt
