#!/usr/bin/env bash
# Makes the Debian package from a configured and built tree, unpacks it into a temporary
# root and runs the programs from there:
#     scripts/package-test.sh BUILD_DIR
# Exit 0 when everything is in place and runs, 77 when the Debian tools are missing (ctest
# counts that as skipped), else 1 with the reason.
set -euo pipefail
build=$(cd "${1:?usage: package-test.sh BUILD_DIR}" && pwd)
for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { echo "$tool not found: skipped"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/out/nodalyx_*.deb)
[ -f "${debs[0]}" ] || fail "no nodalyx_*.deb made"
deb=${debs[0]}
echo "package: $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6core6 libqt6widgets6 libqt6network6 libqt6serialport6 qt6-qpa-plugins; do
    [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
for file in usr/bin/nodalyx-config usr/bin/nodalyx-cli usr/bin/nodalyx-loggersim \
    usr/share/applications/nodalyx-config.desktop \
    usr/share/metainfo/io.nodalyx.config.metainfo.xml \
    usr/share/icons/hicolor/16x16/apps/nodalyx-config.png \
    usr/share/icons/hicolor/128x128/apps/nodalyx-config.png \
    usr/share/icons/hicolor/scalable/apps/nodalyx-config.svg \
    usr/share/man/man1/nodalyx-config.1.gz usr/share/man/man1/nodalyx-cli.1.gz \
    usr/share/man/man1/nodalyx-loggersim.1.gz; do
    [ -e "$root/$file" ] || fail "$file is not in the package"
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/nodalyx-config.desktop" ||
        fail "desktop entry"
fi

# The installed programs, with no help from the build tree or a display.
run() { env -u LD_LIBRARY_PATH -u QT_QPA_PLATFORM DISPLAY= XDG_DATA_HOME="$work/home" "$@"; }
version=$(run "$root/usr/bin/nodalyx-cli" --version) || fail "nodalyx-cli --version"
[[ $version == "nodalyx-cli "[0-9]* ]] || fail "nodalyx-cli --version said '$version'"
echo "$version"
where=$(run "$root/usr/bin/nodalyx-cli" where) || fail "nodalyx-cli where"
[ "$where" = "$work/home/nodalyx" ] || fail "nodalyx-cli where said '$where'"
[ -z "$(ls -A "$root/usr/bin" | grep -v '^nodalyx-')" ] || fail "stray files in usr/bin"
run "$root/usr/bin/nodalyx-config" --version | grep -q '^nodalyx-config ' ||
    fail "nodalyx-config --version"
run "$root/usr/bin/nodalyx-loggersim" --version | grep -q '^nodalyx-loggersim ' ||
    fail "nodalyx-loggersim --version"
zcat "$root/usr/share/man/man1/nodalyx-cli.1.gz" | grep -q 'where' || fail "man page of nodalyx-cli"
echo "installed and ran"
