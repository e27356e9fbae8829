#!/usr/bin/env bash
# Installs, builds and runs every test. With "sanitize", the address and
# undefined-behaviour build instead.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
bash scripts/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
