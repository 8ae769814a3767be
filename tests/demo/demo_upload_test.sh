#!/usr/bin/env bash
# demo_upload_test.sh BUILD_DIR: prepares the demo location exactly as scripts/demo.sh does,
# then uploads everything with its read-back and expects the success message; a new location
# made by "new" alone must upload as well.
set -euo pipefail
source "$(dirname "$0")/../../scripts/demo-common.sh"
bin_dir="$1" # the build under test, not the release build of the demo
work="$(mktemp -d)"
trap 'stop_simulator; rm -rf "$work"' EXIT
cli=("$bin_dir/cli/nodalyx-cli" --dir "$work/dir")

port="$(free_port)"
prepare_demo_dir "$work/dir" "$port"
prepare_logger_files "$work/dir" "$work/logger"
start_simulator "$port" "$work/logger"

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

out="$("${cli[@]}" upload "$demo_location" --general --hw 1 --hw 2 --verify)" ||
    fail "the demo did not upload: $out"
echo "$out"
[ "$(tail -n 1 <<<"$out")" = "Send configuration to datalogger succesfuly! (verified)" ] ||
    fail "the last line is not the verified success"
grep -q "^Upload HW02.ini OK$" <<<"$out" || fail "no line for HW02.ini"
if [ -x "$bin_dir/cli/nodalyx-cli" ] && "${cli[@]}" --help | grep -q "^  check "; then
    "${cli[@]}" check "$demo_location" || fail "check finds values of the demo no window takes"
fi

# The README's example as printed: a simulator whose files folder does not exist yet, a
# location made by "new" with only its serial number set, the whole upload with verify.
stop_simulator
readme_port="$(free_port)"
"$bin_dir/sim/nodalyx-loggersim" --tcp "127.0.0.1:$readme_port" --serial SN0042 \
    --files "$work/not-yet/logger" >/dev/null &
sim_pid=$!
sleep 0.5
"${cli[@]}" new Demo --conn lan --ip 127.0.0.1 --port "$readme_port" >/dev/null
"${cli[@]}" set Demo eSerialnumber=SN0042 >/dev/null
out="$("${cli[@]}" upload Demo --general --hw 1 --hw 2 --verify)" ||
    fail "the README's example did not upload: $out"
grep -q "^Upload Interval 30 minute OK$" <<<"$out" || fail "no interval line"
[ "$(tail -n 1 <<<"$out")" = "Send configuration to datalogger succesfuly! (verified)" ] ||
    fail "the README's example did not end in the verified success"
"${cli[@]}" download Demo --hw 1 >/dev/null || fail "the README's download did not work"
echo "all well"
