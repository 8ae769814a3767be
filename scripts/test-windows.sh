#!/usr/bin/env bash
# Runs the Windows build (scripts/build-windows.sh) under Wine: the unit tests, then the
# programs as an operator would, from the unzipped portable zip:
#   - nodalyx-cli.exe --version; new, set, unit and show --json of a location in a temporary
#     program directory, whose files must be byte for byte those the Linux build writes;
#   - serial, refresh --json and --trace against the Linux simulator on loopback TCP, the
#     same answers and the same bytes on the wire as the Linux build;
#   - serial over COM5, which Wine maps to the simulator's pseudo-terminal;
#   - nodalyx-config.exe --help, and starts on the offscreen platform and on Wine's desktop
#     (in Xvfb) that show the main window (saving its picture) and end;
#   - the installer, silently: files, Start-menu entry, where the installed program keeps
#     its locations; and the uninstaller, which keeps them.
# The Linux programs it compares with come from build/release (built here when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/windows
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=nodalyx-$version-windows-x64

export WINEPREFIX=$build/wine WINEDEBUG=-all
wine=$(command -v wine64 || echo /usr/lib/wine/wine64) # Debian keeps it out of PATH
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix build/windows/wine"
    # (without Wine's Mono and Gecko, whose installers would ask)
    WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot --init >/dev/null 2>&1 || true
    wineserver -w
fi
# The Wine server, started by a program whose output is dropped: it lives through the run
# (it leaves a few seconds after the last program), and what it prints on leaving stays
# quiet. (A server started on its own with "wineserver -p" left the first test program
# hanging at its exit now and then.)
"$wine" cmd /c exit >/dev/null 2>&1 || true

echo "== Windows unit tests under Wine"
# Wine now and then leaves a test program that has passed all its tests hanging at its exit;
# such a program (timed out) gets one more run.
ctest --preset windows || ctest --preset windows --rerun-failed

linux=$root/build/release
if [ ! -x "$linux/cli/nodalyx-cli" ] || [ ! -x "$linux/sim/nodalyx-loggersim" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target nodalyx-cli nodalyx-loggersim
fi
lcli=$linux/cli/nodalyx-cli
lsim=$linux/sim/nodalyx-loggersim

work=$(mktemp -d)
sims=()
cleanup() {
    for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
    wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
cmake -E chdir "$work" cmake -E tar xf "$build/$name.zip"
app=$work/$name
winpath() { winepath -w "$1" 2>/dev/null; }
wcli_at() { local at=$1; shift; "$wine" "$at/nodalyx-cli.exe" "$@" | tr -d '\r'; }
wcli() { wcli_at "$app" "$@"; }
fail() { echo "FAILED: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

echo "== Smoke tests of build/windows/$name.zip under Wine"
[ "$(wcli --version)" = "nodalyx-cli $version" ] || fail "nodalyx-cli.exe --version"
pass "nodalyx-cli.exe --version"

# A location made by each build: the files must be the same bytes (Windows-1252, CR LF).
wdir=$work/windows-dir ldir=$work/linux-dir
mkdir -p "$wdir" "$ldir"
site="Café"
make_location() { # cli dir
    "$1" --dir "$2" new "$site" --conn lan --ip 127.0.0.1 --port "$3" >/dev/null
    "$1" --dir "$2" set "$site" "LocationName=Entrée €5" >/dev/null
    "$1" --dir "$2" unit "$site" 1 3 Active=True "Name1=Hall – east" >/dev/null
}
start_sim() { # extra options...; sets sim_port
    local out=$work/sim-$RANDOM
    "$lsim" --tcp 127.0.0.1:0 --serial WINE123 --fixed-counts "$@" >"$out" 2>&1 &
    sims+=($!)
    for _ in $(seq 50); do
        sim_port=$(sed -n 's/^tcp 127.0.0.1://p' "$out")
        [ -n "$sim_port" ] && return 0
        sleep 0.1
    done
    fail "the simulator did not start"
}
start_sim
make_location "$lcli" "$ldir" "$sim_port"
make_location wcli "$(winpath "$wdir")" "$sim_port"
# (the first line of a location file carries the date and minute it was written, in the
# system's own date format)
for f in "$site.fgr" "$site/HW01.ini" "$site/HW02.ini"; do
    cmp <(sed '1s/\(file for [^ ]*\) .*$/\1/' "$wdir/$f") \
        <(sed '1s/\(file for [^ ]*\) .*$/\1/' "$ldir/$f") ||
        fail "$f differs from the Linux build's"
done
grep -q $'\x80' "$wdir/$site.fgr" || fail "the euro sign is not byte 0x80"
pass "new, set, unit: the same bytes as on Linux"
diff <(wcli --dir "$(winpath "$wdir")" show "$site" --json) \
     <("$lcli" --dir "$ldir" show "$site" --json) || fail "show --json differs"
pass "show --json"

# Against the Linux simulator: the same answers, the same frames on the wire.
compare() { # what, then the arguments after the location
    local what=$1; shift
    wcli --dir "$(winpath "$wdir")" --trace "$what" "$site" "$@" >"$work/w.out" 2>"$work/w.err" ||
        fail "$what under Wine: $(cat "$work/w.err")"
    "$lcli" --dir "$ldir" --trace "$what" "$site" "$@" >"$work/l.out" 2>"$work/l.err"
    diff "$work/w.out" "$work/l.out" || fail "$what: the output differs"
    # The trace lines without their time: source, command, verdict, direction and bytes.
    grep -q -- '-> FF FF ' "$work/l.err" || fail "$what: no frames in the trace"
    diff <(tr -d '\r' <"$work/w.err" | sed -n 's/^[0-9][0-9:.]\{11\} //p') \
         <(sed -n 's/^[0-9][0-9:.]\{11\} //p' "$work/l.err") || fail "$what: the frames differ"
}
compare serial
grep -q WINE123 "$work/w.out" || fail "serial: $(cat "$work/w.out")"
pass "serial over TCP: $(cat "$work/w.out")"
compare refresh --json --yes
pass "refresh --json over TCP"
# The survey talks to its loggers on worker threads, one after another here (the simulator
# takes one client at a time): the program must also end after them (exit 0, or 3 when a
# location's settings or clock differ; 124 is the time limit).
wcli --dir "$(winpath "$wdir")" new "Second site" --conn lan --ip 127.0.0.1 --port "$sim_port" \
    >/dev/null
status=0
timeout 60 "$wine" "$app/nodalyx-cli.exe" --dir "$(winpath "$wdir")" survey "$site" \
    "Second site" --jobs 1 --json >"$work/survey.out" 2>/dev/null || status=$?
survey_out=$(tr -d '\r' <"$work/survey.out")
if { [ "$status" = 0 ] || [ "$status" = 3 ]; } &&
    [ "$(grep -c '"serial": "WINE123"' <<<"$survey_out")" = 2 ]; then
    pass "survey --json over TCP, ended"
else
    fail "survey --json over TCP: exit $status: $survey_out"
fi

# Serial: Wine's COM5 is a symbolic link to the simulator's pseudo-terminal.
"$lsim" --pty "$work/com5" --serial WINE123 --fixed-counts >/dev/null 2>&1 &
sims+=($!)
for _ in $(seq 50); do [ -e "$work/com5" ] && break; sleep 0.1; done
mkdir -p "$WINEPREFIX/dosdevices"
ln -sfn "$(readlink -f "$work/com5")" "$WINEPREFIX/dosdevices/com5"
wcli --dir "$(winpath "$wdir")" new "Serial site" --conn serial --comport 5 >/dev/null
if serial_out=$(timeout 60 "$wine" "$app/nodalyx-cli.exe" --dir "$(winpath "$wdir")" \
        serial "Serial site" 2>&1 | tr -d '\r') && grep -q WINE123 <<<"$serial_out"; then
    pass "serial over COM5 (Wine's serial port on a pseudo-terminal): $serial_out"
else
    fail "serial over COM5: $serial_out"
fi
rm -f "$WINEPREFIX/dosdevices/com5"

# The windowed program: its help, and a start that shows the main window and ends.
help=$("$wine" "$app/nodalyx-config.exe" --help | tr -d '\r')
grep -q "Usage: nodalyx-config" <<<"$help" || fail "nodalyx-config.exe --help: $help"
pass "nodalyx-config.exe --help"
# -platform offscreen needs Qt's offscreen plugin, which the zip leaves out (operators have
# a desktop): that start runs from the build folder, which has it. The zip's own program then
# starts on Wine's desktop (in Xvfb) with the Windows platform plugin it ships.
start_config() { # what, program, its first options, then the command that runs it
    local what=$1 program=$2 options=($3) shots=$work/shots-$RANDOM
    shift 3
    timeout 120 "$@" "$program" "${options[@]}" --dir "$(winpath "$wdir")" \
        --screenshot "$(winpath "$shots")" >"$work/config.log" 2>&1 || fail "$what did not end by itself: $(cat "$work/config.log")"
    [ -s "$shots/main-window.png" ] || fail "$what showed no main window"
    pass "$what: main window shown, ended"
}
start_config "nodalyx-config.exe -platform offscreen" "$build/bin/nodalyx-config.exe" \
    "-platform offscreen" "$wine"
start_config "the zip's nodalyx-config.exe on Wine's desktop" "$app/nodalyx-config.exe" "" \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$wine"

# The installer, silently, as this Wine user: files, Start-menu entry, uninstall entry, the
# installed program's program directory; then the uninstaller, which keeps locations.
local_app_data=$("$wine" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
installed=$(winepath -u "$local_app_data")/Programs/nodalyx
start_menu=$(winepath -u "$("$wine" cmd /c echo %APPDATA% | tr -d '\r')")
start_menu="$start_menu/Microsoft/Windows/Start Menu/Programs"
rm -rf "$installed"
"$wine" "$build/$name-setup.exe" /S || fail "the installer failed"
[ "$(wcli_at "$installed" --version)" = "nodalyx-cli $version" ] || fail "installed nodalyx-cli"
[ -f "$installed/platforms/qwindows.dll" ] || fail "installed: no platform plugin"
ls "$start_menu"/*Nodalyx*.lnk >/dev/null 2>&1 || fail "no Start-menu entry"
[ "$(wcli_at "$installed" where)" = "$local_app_data\\nodalyx" ] ||
    fail "the installed program keeps its locations in $(wcli_at "$installed" where)"
pass "installer: $local_app_data\\Programs\\nodalyx, Start-menu entry, locations in %LOCALAPPDATA%\\nodalyx"
echo kept >"$installed/Site.fgr"
"$wine" "$installed/uninstall.exe" /S "_?=$local_app_data\\Programs\\nodalyx" ||
    fail "the uninstaller failed"
left=$(cd "$installed" && find . -type f | sort | tr '\n' ' ')
[ "$left" = "./Site.fgr ./uninstall.exe " ] || fail "the uninstaller left: $left"
! ls "$start_menu"/*Nodalyx*.lnk >/dev/null 2>&1 || fail "the Start-menu entry stayed"
rm -rf "$installed"
pass "uninstaller: program files and Start-menu entry gone, the location kept"
echo "All Windows smoke tests passed."
