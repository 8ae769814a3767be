#!/usr/bin/env bash
# Takes the documentation's screenshots: builds, prepares the demo (simulated logger and
# demo program directory), and lets nodalyx-config grab its own windows under a virtual X
# server into docs/screenshots/: the main window after Refresh, the unit editor and the
# new-location window, and the configuration window after a read-out from the simulated logger
# (the location holds the logger's settings but for its name, so one box is marked), and the
# upload window after sending everything to the simulated logger with its read-back, the
# communication log with the frames of the Refresh, and the main window and the chart after
# half a minute of monitoring, and the Sites window after checking every location.
set -euo pipefail
source "$(dirname "$0")/demo-common.sh"
cd "$repo_root"

build_release
shots="$repo_root/docs/screenshots"
demo_dir="$(mktemp -d)"
port="$(free_port)"
cleanup() {
    stop_simulator
    rm -rf "$demo_dir"
}
trap cleanup EXIT INT TERM
start_simulator "$port" "$demo_dir/logger-files"
prepare_demo_dir "$demo_dir" "$port"
prepare_logger_files "$demo_dir" "$demo_dir/logger-files"
cli=("$bin_dir/cli/nodalyx-cli" --dir "$demo_dir")
"${cli[@]}" settings "$demo_location" --save >/dev/null
"${cli[@]}" set "$demo_location" LocationName=Demo >/dev/null
# A few more sites for the Sites window: the same logger under another name, one expecting
# another logger, one nobody answers for.
"${cli[@]}" new "North gate" --conn lan --ip 127.0.0.1 --port "$port" >/dev/null
"${cli[@]}" set "North gate" eSerialnumber="$demo_serial" >/dev/null
"${cli[@]}" new "Warehouse" --conn lan --ip 127.0.0.1 --port "$port" >/dev/null
"${cli[@]}" set "Warehouse" eSerialnumber=NX0427099 >/dev/null
"${cli[@]}" new "Old depot" --conn lan --ip 127.0.0.1 --port "$(free_port)" >/dev/null
mkdir -p "$shots"
xvfb-run -a -s "-screen 0 1280x900x24" \
    "$bin_dir/src/app/nodalyx-config" --dir "$demo_dir" --screenshot "$shots"
ls -l "$shots"
