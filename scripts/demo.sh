#!/usr/bin/env bash
# Builds everything, starts a simulated logger on the loopback interface, prepares a demo
# program directory (demo-run/) with a LAN location pointing at it, and opens the
# configuration tool on it. Closing the tool stops the simulated logger.
#
#   scripts/demo.sh            the demo; NODALYX_DEMO_DIR chooses another directory
#   scripts/demo.sh /s         the same in service mode, with a simulated highway of units on
#                              serial port 1 for the "PCB test" tab
set -euo pipefail
source "$(dirname "$0")/demo-common.sh"
cd "$repo_root"

build_release
demo_dir="${NODALYX_DEMO_DIR:-$repo_root/demo-run}"
port="$(free_port)"
trap 'stop_simulator; stop_unitsim' EXIT INT TERM
start_simulator "$port"
prepare_demo_dir "$demo_dir" "$port"
echo "Simulated logger on 127.0.0.1:$port (serial number $demo_serial)."
echo "Program directory: $demo_dir. Choose \"$demo_location\" and press Refresh."
if wants_service_mode "$@"; then
    start_unitsim "$demo_dir"
    echo "Simulated highway on serial port 1 ($NODALYX_COM1): on the \"PCB test\" tab choose"
    echo "\"Highway 01\" or \"Highway 02\", comport 1, and press Start."
fi
run_gui "$bin_dir/src/app/nodalyx-config" --dir "$demo_dir" "$@"
