#pragma once
// What the benchmarks read of the process's own memory.

namespace varnolt {

// The resident set size of this process in KiB; 0 when /proc cannot tell.
long ResidentKilobytes();

}  // namespace varnolt
