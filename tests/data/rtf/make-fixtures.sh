#!/usr/bin/env bash
# Regenerates the RTF fixtures: LibreOffice writes X.rtf from each
# hand-written sources/X.fodt; hand-written sources/X.rtf files (in the style
# of writers that use code pages) are copied. For every fixture LibreOffice's
# own plain-text reading goes to X.txt, which the tests compare with ours.
# Also rebuilds the fuzzing dictionary from the keyword table.
# Needs soffice (libreoffice-writer-nogui); the tests only read the results.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
profile="$(mktemp -d)"
trap 'rm -rf "$profile"' EXIT
office() { soffice --headless "-env:UserInstallation=file://$profile" "$@" >/dev/null 2>&1; }
for source in "$here"/sources/*.fodt; do
  office --convert-to rtf --outdir "$here" "$source"
done
cp "$here"/sources/*.rtf "$here"/
for fixture in "$here"/sources/*; do
  name="$(basename "${fixture%.*}")"
  office --convert-to "txt:Text (encoded):UTF8" --outdir "$here" "$here/$name.rtf"
done
grep -o '\(Dst\|Val\|Fix\|Chr\|Uni\)("[a-zA-Z]*"' "$here/../../../richtext/rtf/reader/RVRTFKeywords.cpp" |
  sed 's/.*("\(.*\)"/"\\\\\1"/' | sort -u > "$here/fuzz.dict"
printf '%s\n' '"{\\rtf1"' '"\\'"'"'"' '"{\\*"' '"\\bin"' '"\\u"' >> "$here/fuzz.dict"
