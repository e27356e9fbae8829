#!/usr/bin/env bash
# Installs what Varnolt needs on Debian 12, when it is missing.
#   bash scripts/install-deps.sh           everything: the program, its tests, benchmarks and package
#   bash scripts/install-deps.sh program   only what building and running the program needs
set -euo pipefail
program=(
  cmake ninja-build g++ pkg-config
  libicu-dev libharfbuzz-dev libfontconfig-dev libfreetype-dev zlib1g-dev qt6-base-dev libgl-dev
  libjpeg62-turbo-dev libpng-dev libxml2-dev libcurl4-openssl-dev libxlsxwriter-dev libzip-dev
  fonts-dejavu-core fonts-liberation2 fonts-crosextra-carlito fonts-crosextra-caladea fonts-noto-cjk
  fonts-urw-base35 fonts-noto-core
)
# Tests, benchmarks, fuzzing and the Debian package: the office conversions
# and PDF readers the tests compare with, and the desktop files' validators.
checks=(
  clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
  fonts-hanazono fonts-arphic-uming
  mupdf-tools qpdf poppler-utils poppler-data time python3 unzip pandoc parallel
  libreoffice-writer-nogui libreoffice-calc-nogui
  dpkg-dev desktop-file-utils appstream man-db
)
case "${1:-all}" in
  program) packages=("${program[@]}") ;;
  all) packages=("${program[@]}" "${checks[@]}") ;;
  *) echo "usage: install-deps.sh [program]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
