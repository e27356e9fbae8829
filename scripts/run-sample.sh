#!/usr/bin/env bash
# Installs what the program needs, builds only the program, and converts the
# bundled samples to out/samples.pdf, saying how long each step took.
# (scripts/test.sh installs and builds the rest and runs the tests.)
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
step() {
  local what=$1 from=$SECONDS
  shift
  "$@"
  echo "== $what: $(( SECONDS - from )) s" >&2
}
step "installing the packages" bash scripts/install-deps.sh program
step "building the program" bash scripts/build-program.sh
mkdir -p out
step "converting the samples" ./build/release/cli/varnolt samples/cafe-menu-cp1252.txt samples/long-report.txt -o out/samples.pdf \
  --title "Varnolt samples" --author "Varnolt" --page-size 595,842 --margins 36,36
echo "== $(( SECONDS - started )) s in all; the PDF is out/samples.pdf" >&2
