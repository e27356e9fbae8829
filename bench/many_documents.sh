#!/usr/bin/env bash
# Times converting a folder of small documents, one varnolt per document:
# one after another, then with GNU Parallel on JOBS cores (2 by default).
# Half the documents are text, half RTF, about 2 KB each; every one becomes
# its own PDF. Prints the wall time of each way and how many runs failed.
#   bash bench/many_documents.sh [COUNT]     (VARNOLT=path/to/varnolt JOBS=n)
set -euo pipefail
cd "$(dirname "$0")/.."
varnolt=$(realpath "${VARNOLT:-build/default/cli/varnolt}")
count=${1:-1000}
jobs=${JOBS:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$work/in" "$count" <<'PY'
import os, random, sys
folder, count = sys.argv[1], int(sys.argv[2])
os.makedirs(folder)
random.seed(1)
words = "the quick brown fox jumps over a lazy dog while seven wise owls count their silver coins".split()
def prose(size):
    return " ".join(random.choice(words) for _ in range(size // 6))
for i in range(count):
    if i % 2:
        body = "\\par\n".join(r"{\b Section %d}\par %s" % (k, prose(500)) for k in range(4))
        open(f"{folder}/doc{i:05}.rtf", "w").write(r"{\rtf1\ansi{\fonttbl{\f0 Times New Roman;}}\f0\fs22 " + body + "}")
    else:
        open(f"{folder}/doc{i:05}.txt", "w").write("\n\n".join(prose(500) for _ in range(4)))
PY
mkdir -p "$work/serial" "$work/parallel"
milliseconds() { echo $(( $(date +%s%N) / 1000000 )); }
seconds() { printf '%d.%03d' $(( $1 / 1000 )) $(( $1 % 1000 )); }

from=$(milliseconds)
failed=0
for input in "$work"/in/*; do
  name=$(basename "${input%.*}")
  "$varnolt" -q "$input" -o "$work/serial/$name.pdf" || failed=$((failed + 1))
done
serial=$(( $(milliseconds) - from ))
echo "one after another: $(seconds $serial) s for $count documents, $failed failed"

from=$(milliseconds)
# Each document its own process; the job log keeps every exit status.
find "$work/in" -type f -print0 |
  parallel -0 -j"$jobs" --joblog "$work/jobs.log" "$varnolt" -q {} -o "$work/parallel/{/.}.pdf" || true
spread=$(( $(milliseconds) - from ))
failed=$(awk 'NR > 1 && $7 != 0' "$work/jobs.log" | wc -l)
echo "parallel -j$jobs: $(seconds $spread) s for $count documents, $failed failed"
echo "speed-up: $(seconds $(( serial * 1000 / spread )))"
echo "PDFs written: $(ls "$work/serial" | wc -l) and $(ls "$work/parallel" | wc -l)"
