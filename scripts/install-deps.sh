#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing, packaging and the demo need.
# Safe to run again: it only calls apt-get when a package is missing.
#   scripts/install-deps.sh [fuzz|windows]
#     fuzz: also clang and libFuzzer for scripts/fuzz.sh
#     windows: also MinGW-w64, Wine and NSIS for scripts/build-windows.sh
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev qt6-qpa-plugins
    qt6-charts-dev libqt6opengl6-dev
    libgtest-dev libgmock-dev
    xvfb xauth x11-apps imagemagick
    help2man appstream dpkg-dev
)
if [ "${1:-}" = fuzz ]; then
    packages+=(clang-14 libclang-rt-14-dev)
fi
if [ "${1:-}" = windows ]; then
    packages+=(g++-mingw-w64-x86-64-posix wine wine64 nsis xz-utils)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
