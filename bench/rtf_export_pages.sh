#!/usr/bin/env bash
# Times whole varnolt runs that export a project of many small pages to RTF
# (every input file is a page), to show the export's time grows linearly
# with the page count. CPU time is user + system on one core.
#   bench/rtf_export_pages.sh [PAGES...]     default: 10000 20000 40000
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
varnolt=$(realpath "${VARNOLT:-$here/../build/default/cli/varnolt}")
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(10000 20000 40000)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
most=$(printf '%s\n' "${counts[@]}" | sort -n | tail -1)
python3 - "$work" "$most" <<'PY'
import sys
for i in range(int(sys.argv[2])):
    open(f"{sys.argv[1]}/p{i:06}.txt", "w").write(f"Page {i} holds one short line of text.\n")
PY
cd "$work"
for count in "${counts[@]}"; do
  mapfile -t pages < <(ls p*.txt | head -n "$count")
  /usr/bin/time -f "%U %S %M" -o time.log "$varnolt" -q "${pages[@]}" -o out.rtf >/dev/null
  read -r user system peak < time.log
  awk -v n="$count" -v u="$user" -v s="$system" -v m="$peak" \
    'BEGIN { printf "%6d pages: cpu %6.2f s (%.1f us a page), peak %.1f MB\n", n, u + s, (u + s) * 1e6 / n, m / 1024 }'
done
