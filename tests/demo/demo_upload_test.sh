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

# A location made by "new" alone (the README's example) goes through as well.
"${cli[@]}" new Fresh --conn lan --ip 127.0.0.1 --port "$port" >/dev/null
"${cli[@]}" set Fresh eSerialnumber="$demo_serial" >/dev/null
out="$("${cli[@]}" upload Fresh --general --hw 1 --hw 2 --verify)" ||
    fail "a new location did not upload: $out"
grep -q "^Upload Interval 30 minute OK$" <<<"$out" || fail "no interval line"
echo "all well"
