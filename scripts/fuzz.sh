#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan + UBSan) and runs each for SECONDS (default
# 60), then prints per target the executions and the findings. A finding is left as
# build/fuzz/findings/<target>/crash-* (or leak-*, timeout-*, oom-*): copy it into
# fuzz/corpus/<target>/ and add a test that keeps it fixed.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
scripts/install-deps.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    mapfile -t targets < <(ls fuzz/corpus)
fi
status=0
printf '%-24s %14s %9s\n' target executions findings
for t in "${targets[@]}"; do
    out=build/fuzz/findings/$t
    fresh=build/fuzz/fresh/$t
    mkdir -p "$out" "$fresh"
    log=$out/run.log
    set +e
    "build/fuzz/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$out/" "$fresh" "fuzz/corpus/$t" >"$log" 2>&1
    set -e
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    found=$(find "$out" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
    printf '%-24s %14s %9s\n' "$t" "${runs:-0}" "$found"
    [ "$found" -eq 0 ] || status=1
done
exit $status
