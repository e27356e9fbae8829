#include "bench/support/ResidentMemory.h"

#include <unistd.h>

#include <cstdio>

namespace varnolt {

long ResidentKilobytes() {
  long pages = 0;
  long resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace varnolt
