#!/usr/bin/env bash
# check_manual_and_completion.sh MAN PAGE COMPLETION VERSION
# The manual page formats without a warning and carries the version; the
# completion offers the options and, after -o, files.
set -euo pipefail
man=$1 page=$2 completion=$3 version=$4
fail() { echo "$*" >&2; exit 1; }

warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 "$man" --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man warns about $page: $warnings"
shown=$(LC_ALL=C.UTF-8 MANWIDTH=80 "$man" -l "$page" 2>/dev/null | col -b | tr -s " ")
for wanted in "varnolt INPUT ... -o OUTPUT" "varnolt --window [FILE|URL]..." "EXIT STATUS" "Varnolt $version"; do
  grep -qF -- "$wanted" <<<"$shown" || fail "the manual page does not show '$wanted'"
done

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
touch "$folder/out.pdf"
# shellcheck disable=SC1090
source "$completion"
complete_line() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 ))
  COMPREPLY=()
  _varnolt
  echo "${COMPREPLY[*]}"
}
[ "$(complete_line varnolt --pl)" = "--plain-pdf" ] || fail "--pl completes to '$(complete_line varnolt --pl)'"
[ "$(complete_line varnolt --win)" = "--window" ] || fail "--win completes to '$(complete_line varnolt --win)'"
[ "$(complete_line varnolt a.txt -o "$folder/ou")" = "$folder/out.pdf" ] || fail "-o does not complete files"
[ -z "$(complete_line varnolt --title "")" ] || fail "--title's value is completed"
echo "manual page and completion checked"
