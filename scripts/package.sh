#!/usr/bin/env bash
# Builds the program in build/release and makes the Debian package there:
# build/release/varnolt_VERSION_ARCH.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build-program.sh
rm -f build/release/varnolt_*.deb
(cd build/release && cpack -G DEB)
ls build/release/varnolt_*.deb
