#!/usr/bin/env bash
# Makes the portable zip and the per-user installer from the Windows build in build/windows
# (scripts/build-windows.sh builds it first). The zip holds one folder, runnable where it
# is unpacked: the three programs, exactly the Qt and MinGW DLLs they load (found by
# following their imports), the Qt plugins for the window system and the style, the README
# and the licences.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/windows
bin=$build/bin
objdump=x86_64-w64-mingw32-objdump
strip=x86_64-w64-mingw32-strip

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=nodalyx-$version-windows-x64
stage=$build/$name
rm -rf "$stage" "$build/$name.zip" "$build/$name-setup.exe"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/licenses"

for program in nodalyx-config nodalyx-cli nodalyx-loggersim; do
    "$strip" -o "$stage/$program.exe" "$bin/$program.exe"
done
cp "$bin/platforms/qwindows.dll" "$stage/platforms/"
cp "$bin/styles/qwindowsvistastyle.dll" "$stage/styles/"

# The DLLs a file imports that are ours to ship (Qt's, MinGW's); Windows's own are left out.
shipped_imports() {
    "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | while read -r dll; do
        [ -f "$bin/$dll" ] && echo "$dll"
    done
    return 0
}
pending=("$stage"/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
    file=${pending[0]}
    pending=("${pending[@]:1}")
    for dll in $(shipped_imports "$file"); do
        if [ ! -f "$stage/$dll" ]; then
            cp "$bin/$dll" "$stage/$dll"
            pending+=("$stage/$dll")
        fi
    done
done

cp README.md "$stage/README.md"
cp packaging/windows/LICENSE.txt "$stage/LICENSE.txt"
cp packaging/windows/THIRD-PARTY.txt "$stage/licenses/THIRD-PARTY.txt"
cp /usr/share/common-licenses/LGPL-3 "$stage/licenses/LGPL-3.0.txt"
cp /usr/share/common-licenses/GPL-3 "$stage/licenses/GPL-3.0.txt"

(cd "$build" && cmake -E tar cf "$name.zip" --format=zip "$name")
echo "Made build/windows/$name.zip:"
(cd "$stage" && find . -type f | sed 's|^\./|  |' | sort)

# The uninstaller deletes exactly the files the installer wrote.
filelist=$build/uninstall-files.nsh
(cd "$stage" && find . -type f | sed 's|^\./||; s|/|\\|g' | sort |
    sed 's|^|  Delete "$INSTDIR\\|; s|$|"|') >"$filelist"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DFILELIST="$filelist" \
    -DOUTFILE="$build/$name-setup.exe" packaging/windows/nodalyx.nsi
echo "Made build/windows/$name-setup.exe"
