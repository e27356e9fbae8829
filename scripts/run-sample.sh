#!/usr/bin/env bash
# Installs what is missing, builds, and converts the bundled samples to one PDF in out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
mkdir -p out
./build/default/cli/varnolt samples/cafe-menu-cp1252.txt samples/long-report.txt -o out/samples.pdf \
  --title "Varnolt samples" --author "Varnolt" --page-size 595,842 --margins 36,36
