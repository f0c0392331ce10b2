#!/usr/bin/env bash
# Installs what building, running and testing need, from Debian 12's packages. Idempotent: when
# everything is already there it changes nothing and asks no package server.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libexpat1-dev         # reads the emulator's catalogue (-listxml) as it streams in
  libzip-dev            # reads the ROM archives for the audit (zip64 included)
  xvfb xauth            # a display for screenshots and the packaged-program check
  mame                  # the real emulator, for the tests that mean the real thing
  7zip                  # packs forged 7z sets for the tests that check the emulator's audit of them
  clang libclang-rt-14-dev   # libFuzzer and the sanitizers for the fuzz targets
)
if [ "${1:-}" = "--run-only" ]; then
  packages=(build-essential cmake ninja-build qt6-base-dev qt6-base-dev-tools libgl-dev libexpat1-dev libzip-dev pkg-config mame)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
