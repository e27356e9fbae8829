#!/usr/bin/env bash
# Regenerates the import fixtures: LibreOffice writes X.rtf from each
# hand-written sources/X.fodt, and its own plain-text reading of that RTF
# goes to X.txt, which the tests compare with ours.
# Needs soffice (libreoffice-writer-nogui); the tests only read the results.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
profile="$(mktemp -d)"
trap 'rm -rf "$profile"' EXIT
office() { soffice --headless "-env:UserInstallation=file://$profile" "$@" >/dev/null 2>&1; }
for source in "$here"/sources/*.fodt; do
  office --convert-to rtf --outdir "$here" "$source"
  name="$(basename "${source%.*}")"
  test -s "$here/$name.rtf"
  office --convert-to "txt:Text (encoded):UTF8" --outdir "$here" "$here/$name.rtf"
  test -s "$here/$name.txt"
done
