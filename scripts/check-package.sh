#!/usr/bin/env bash
# Makes the Debian package (or takes the one given), installs it as a user
# would, runs the installed program and removes it again, leaving the machine
# as it was.
#   bash scripts/check-package.sh [varnolt_VERSION_ARCH.deb]
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
fail() { echo "check-package: $*" >&2; exit 1; }
if dpkg-query -W -f='${Status}' varnolt 2>/dev/null | grep -q 'install ok installed'; then
  fail "a varnolt package is installed already; remove it first"
fi
if [ $# -eq 0 ]; then
  bash scripts/package.sh
  package=$(ls build/release/varnolt_*.deb)
else
  package=$(realpath --relative-to=. "$1")
fi
dpkg-deb --field "$package" Version Depends Suggests
work=$(mktemp -d)
cleanup() {
  rm -rf "$work"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y varnolt >/dev/null 2>&1 || true
}
trap cleanup EXIT
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "./$package"

version=$(sed -nE 's/^project\(Varnolt VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
[ "$(/usr/bin/varnolt --version)" = "varnolt ${version%.*}" ] || fail "installed varnolt --version: $(/usr/bin/varnolt --version)"
/usr/bin/varnolt -q samples/cafe-menu-cp1252.txt samples/long-report.txt -o "$work/samples.pdf"
[ "$(head -c 5 "$work/samples.pdf")" = "%PDF-" ] || fail "the installed varnolt wrote no PDF"
for file in /usr/share/applications/example.varnolt.Varnolt.desktop \
            /usr/share/metainfo/example.varnolt.Varnolt.metainfo.xml \
            /usr/share/icons/hicolor/scalable/apps/example.varnolt.Varnolt.svg \
            /usr/share/icons/hicolor/48x48/apps/example.varnolt.Varnolt.png \
            /usr/share/man/man1/varnolt.1 /usr/share/bash-completion/completions/varnolt \
            /usr/lib/varnolt/images/foot.jpg; do
  [ -e "$file" ] || fail "the package did not install $file"
done
MANWIDTH=80 man varnolt | grep -q -- "--window" || fail "man varnolt does not show the manual page"

$sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y varnolt
[ ! -e /usr/bin/varnolt ] && [ ! -e /usr/lib/varnolt ] || fail "removing the package left the program behind"
echo "check-package: $package installs, converts and removes cleanly"
