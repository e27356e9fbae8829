#!/usr/bin/env bash
# Installs what is missing, builds, and converts the bundled samples to PDF in out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
mkdir -p out
./build/default/examples/report_example out/report-example.pdf
echo "Wrote out/report-example.pdf"
