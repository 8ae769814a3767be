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
    [ -n "${fleet_pid:-}" ] && kill "$fleet_pid" 2>/dev/null
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
# Three more sites for the Sites window, each with a simulated logger of its own: one as
# expected, one whose location expects another logger, one that answers nothing.
fleet_out="$demo_dir/fleet.txt"
"$bin_dir/sim/nodalyx-loggersim" --tcp 127.0.0.1:0 --loggers 3 --silent-loggers 1 \
    --serial NX0500000 >"$fleet_out" 2>&1 &
fleet_pid=$!
for _ in $(seq 50); do
    [ "$(grep -c '^tcp' "$fleet_out")" -ge 3 ] && break
    sleep 0.1
done
names=("North gate" "Warehouse" "Old depot")
i=0
while read -r _ address _ serial _; do
    expected=$serial
    [ "$i" -eq 1 ] && expected=NX0599999
    "${cli[@]}" new "${names[$i]}" --conn lan --ip 127.0.0.1 --port "${address##*:}" >/dev/null
    "${cli[@]}" set "${names[$i]}" eSerialnumber="$expected" >/dev/null
    i=$((i + 1))
done < <(grep '^tcp' "$fleet_out")
mkdir -p "$shots"
xvfb-run -a -s "-screen 0 1280x900x24" \
    "$bin_dir/src/app/nodalyx-config" --dir "$demo_dir" --screenshot "$shots"
ls -l "$shots"
