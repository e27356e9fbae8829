#!/usr/bin/env bash
# Times a whole varnolt run: a project of 100 pages of 20 KB of text each,
# exported to one PDF. Prints the wall time and peak memory of each run.
set -euo pipefail
cd "$(dirname "$0")/.."
varnolt=${VARNOLT:-build/default/cli/varnolt}
runs=${RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$work" <<'PY'
import random, sys
random.seed(1)
words = "the quick brown fox jumps over a lazy dog while seven wise owls count their silver coins".split()
for page in range(100):
    text, paragraph = [], []
    size = 0
    while size < 20 * 1024:
        word = random.choice(words)
        paragraph.append(word)
        size += len(word) + 1
        if len(paragraph) > 60:
            text.append(" ".join(paragraph)); paragraph = []
    text.append(" ".join(paragraph))
    open(f"{sys.argv[1]}/page{page:03}.txt", "w").write("\n".join(text))
PY
inputs=("$work"/page*.txt)
for ((i = 1; i <= runs; i++)); do
  /usr/bin/time -f "run $i: %e s wall, %M KB peak" "$varnolt" -q "${inputs[@]}" -o "$work/out.pdf" 2>&1 >/dev/null
done
echo "PDF: $(stat -c %s "$work/out.pdf") bytes, $(pdfinfo "$work/out.pdf" | awk '/^Pages:/ {print $2}') pages"
