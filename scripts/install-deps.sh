#!/usr/bin/env bash
# Installs the Debian packages Kivra needs to build, test and run.
# This is the one list of packages; it installs nothing when all are present.
set -euo pipefail

packages=(
  build-essential
  cmake
  ninja-build
  qt6-base-dev
  qt6-svg-dev
  libqcustomplot-dev
  qt6-qpa-plugins
  qt6-translations-l10n
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  fonts-liberation2
  ngspice
  xvfb
  xauth
  x11-utils
  xterm
  xdotool
  openbox
  fp-utils
  poppler-utils
  lintian
  shellcheck
  xdg-utils
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
