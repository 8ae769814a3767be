#!/usr/bin/env bash
# Cross-builds the Windows programs on Debian 12 with MinGW-w64 and the Qt for Windows in
# ../shared/windows, then makes the portable zip and the per-user installer:
#   build/windows/nodalyx-<version>-windows-x64.zip
#   build/windows/nodalyx-<version>-windows-x64-setup.exe
# Installs what it needs with apt-get (as scripts/install-deps.sh does). The Qt is unpacked
# into build/windows-qt, never into the checkout's tracked files.
#   scripts/build-windows.sh              build and package
#   NODALYX_WINDOWS_QT=FILE               another Qt tarball (default ../shared/windows/...)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh windows

qt_tarball=${NODALYX_WINDOWS_QT:-$root/../shared/windows/qt6.4.2-mingw64.tar.xz}
qt_home=$root/build/windows-qt
qt=$qt_home/qt6-win64
if [ ! -x "$qt/bin/qt-cmake" ] || [ "$qt_tarball" -nt "$qt_home/.unpacked" ]; then
    [ -f "$qt_tarball" ] || { echo "No Qt for Windows at $qt_tarball" >&2; exit 1; }
    echo "Unpacking $(basename "$qt_tarball") into build/windows-qt"
    rm -rf "$qt_home"
    mkdir -p "$qt_home"
    tar -xJf "$qt_tarball" -C "$qt_home"
    touch "$qt_home/.unpacked"
fi

# The preset names the Qt's toolchain file and -DQT_HOST_PATH=/usr (Debian's moc, uic, rcc).
"$qt/bin/qt-cmake" --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"

scripts/package-windows.sh
