#!/usr/bin/env bash
# Builds only the program (no tests, no benchmarks) in build/release, as it is
# installed and packaged: bin/varnolt links to lib/varnolt/varnolt, which
# keeps its pictures beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVARNOLT_BUILD_TESTS=OFF -DVARNOLT_BUILD_BENCH=OFF -DVARNOLT_PROGRAM_DIR=lib/varnolt >/dev/null
cmake --build build/release --target varnolt
