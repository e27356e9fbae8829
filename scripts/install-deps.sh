#!/usr/bin/env bash
# Installs what building, running and testing Varnolt needs on Debian 12.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libicu-dev pkg-config libharfbuzz-dev libfontconfig-dev libfreetype-dev zlib1g-dev qt6-base-dev libgl-dev libjpeg62-turbo-dev libpng-dev libxml2-dev libcurl4-openssl-dev
  fonts-urw-base35 fonts-dejavu-core fonts-noto-core fonts-hanazono fonts-liberation2 fonts-crosextra-carlito fonts-crosextra-caladea fonts-noto-cjk mupdf-tools qpdf poppler-utils poppler-data fonts-arphic-uming time python3 unzip libreoffice-writer-nogui pandoc
  libreoffice-calc-nogui libxlsxwriter-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
