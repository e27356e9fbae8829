#!/usr/bin/env bash
# Times whole varnolt runs on generated office-style RTF and text, and the same
# files through LibreOffice and pandoc, with CPU time (user + system, one
# core) and peak memory from /usr/bin/time -v, then prints the peers' ratios.
#   bench/whole_runs.sh [SIZE_MB...]        default: 25 200
# VARNOLT names the binary; PEERS=0 skips the peers; PEER_MAX_MB (default 25)
# is the largest size the peers are timed at, as they take minutes per file.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
varnolt=$(realpath "${VARNOLT:-$here/../build/default/cli/varnolt}")
peers=${PEERS:-1}
peerMax=${PEER_MAX_MB:-25}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(25 200)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs a command under /usr/bin/time -v; prints "cpu_seconds peak_kb".
measure() {
  local log="$work/time.log"
  if ! /usr/bin/time -v -o "$log" "$@" >"$work/out.log" 2>&1; then
    echo "failed: $*" >&2; tail -5 "$work/out.log" >&2; echo "nan nan"; return
  fi
  awk -F': ' '/User time/ {u=$2} /System time/ {s=$2} /Maximum resident/ {m=$2}
              END {printf "%.2f %d\n", u + s, m}' "$log"
}

declare -A cpu
row() {  # road size_mb bytes cpu peak_kb
  local mbs ratio
  mbs=$(awk -v b="$3" -v c="$4" 'BEGIN { if (c > 0) printf "%.1f", b / 1048576 / c; else print "-" }')
  ratio=$(awk -v b="$3" -v k="$5" 'BEGIN { printf "%.2f", k * 1024 / b }')
  printf "%-28s %6s MB  cpu %8.2f s  %7s MB/s  peak %8.1f MB  (%s x input)\n" "$1" "$2" "$4" "$mbs" \
    "$(awk -v k="$5" 'BEGIN { printf "%.1f", k / 1024 }')" "$ratio"
}

for size in "${sizes[@]}"; do
  rtf="$work/office.rtf"; txt="$work/office.txt"
  python3 "$here/generate_office_input.py" rtf "$size" "$rtf"
  python3 "$here/generate_office_input.py" txt "$size" "$txt"
  rtfBytes=$(stat -c %s "$rtf"); txtBytes=$(stat -c %s "$txt")
  echo "== $size MB (RTF $rtfBytes bytes, text $txtBytes bytes); CPU time is user + system on one core"
  plainPdf=()
  "$varnolt" --help 2>&1 | grep -q -- --plain-pdf && plainPdf=(--plain-pdf)
  # "formatted" is the .pdf output as it looks (fonts, tables, pictures); "pdf" the plain-text one.
  for road in "rtf pdf" "rtf formatted" "rtf txt" "rtf rtf" "txt pdf" "txt rtf"; do
    set -- $road
    input="$work/office.$1"; bytes=$([ "$1" = rtf ] && echo "$rtfBytes" || echo "$txtBytes")
    extra=(); [ "$2" = pdf ] && extra=("${plainPdf[@]}")
    ext=$2; [ "$2" = formatted ] && ext=pdf
    read -r c m < <(measure "$varnolt" -q "${extra[@]}" "$input" -o "$work/varnolt-out.$ext")
    cpu["varnolt $1 $2 $size"]=$c
    row "varnolt $1 to $2" "$size" "$bytes" "$c" "$m"
    [ "$2" = formatted ] && formattedBytes=$(stat -c %s "$work/varnolt-out.pdf" 2>/dev/null || echo 0)
    rm -f "$work/varnolt-out.$ext"
  done
  [ "$peers" = 1 ] && [ "$size" -le "$peerMax" ] || continue
  if command -v soffice >/dev/null; then
    for road in "rtf pdf" "rtf txt:Text" "rtf rtf" "txt pdf"; do
      set -- $road
      input="$work/office.$1"; bytes=$([ "$1" = rtf ] && echo "$rtfBytes" || echo "$txtBytes")
      read -r c m < <(measure soffice -env:UserInstallation="file://$work/lo-profile" --headless \
        --convert-to "$2" --outdir "$work/lo" "$input")
      out=${2%%:*}
      row "LibreOffice $1 to $out" "$size" "$bytes" "$c" "$m"
      awk -v p="$c" -v v="${cpu["varnolt $1 $out $size"]}" \
        'BEGIN { if (v > 0) printf "  ratio: LibreOffice cpu / varnolt cpu = %.1f\n", p / v }'
      if [ "$1 $out" = "rtf pdf" ]; then
        officeBytes=$(stat -c %s "$work/lo/office.pdf" 2>/dev/null || echo 0)
        awk -v p="$c" -v v="${cpu["varnolt rtf formatted $size"]}" -v f="$formattedBytes" -v o="$officeBytes" \
          'BEGIN { if (v > 0) printf "  ratio: LibreOffice cpu / varnolt formatted cpu = %.1f\n", p / v
                   printf "  PDF sizes: varnolt formatted %d bytes, LibreOffice %d bytes (%.2f)\n", f, o, (o > 0 ? f / o : 0) }'
      fi
      rm -rf "$work/lo"
    done
  fi
  if command -v pandoc >/dev/null; then
    for road in "plain txt" "rtf rtf"; do
      set -- $road
      read -r c m < <(measure pandoc -f rtf -t "$1" -o "$work/pandoc-out.$2" "$rtf")
      row "pandoc rtf to $2" "$size" "$rtfBytes" "$c" "$m"
      awk -v p="$c" -v v="${cpu["varnolt rtf $2 $size"]}" \
        'BEGIN { if (v > 0) printf "  ratio: pandoc cpu / varnolt cpu = %.1f\n", p / v }'
      rm -f "$work/pandoc-out.$2"
    done
  fi
done
