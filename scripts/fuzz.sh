#!/usr/bin/env bash
# Builds the libFuzzer targets (the "fuzz" preset, clang with address and
# undefined-behaviour sanitizers) and runs each for SECONDS, seeded from the
# test fixtures of its format and the shared crash samples. A crash, leak or
# hang stops the run with a non-zero status and leaves the input in
# build/fuzz/artifacts/.
#   bash scripts/fuzz.sh SECONDS [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:?usage: fuzz.sh SECONDS [TARGET...]}"
shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"
mkdir -p build/fuzz/artifacts
status=0
for target in "${targets[@]}"; do
  format="${target%%_*}"  # rtf_reader_fuzz reads tests/data/rtf and data/rtf-crash
  corpus="build/fuzz/corpus/$target"
  mkdir -p "$corpus"
  seeds=()
  for dir in "tests/data/$format" "data/$format-crash"; do
    [ -d "$dir" ] && seeds+=("$dir")
  done
  dict=()
  [ -f "tests/data/$format/fuzz.dict" ] && dict=("-dict=tests/data/$format/fuzz.dict")
  echo "== $target for ${seconds}s"
  if ! nice -n 10 "build/fuzz/fuzz/$target" "$corpus" "${seeds[@]}" "${dict[@]}" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix=build/fuzz/artifacts/ 2>"build/fuzz/$target.log"; then
    status=1
    tail -n 40 "build/fuzz/$target.log"
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "build/fuzz/$target.log" || true
done
exit $status
