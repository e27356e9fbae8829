#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/Batch.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  varnolt::RunVarnoltAndExit(arguments, std::cout, std::cerr, ::isatty(STDERR_FILENO) != 0);
}
