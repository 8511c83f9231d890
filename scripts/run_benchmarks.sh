#!/bin/bash
# Runs every benchmark built in the folder given, each to its end even when one
# fails, then counts the goals met and missed over all of them ("[ok]", "[over]").
set -u
folder=${1:?usage: run_benchmarks.sh BENCH_BUILD_FOLDER}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
failed=0
for bench in "$folder"/bench_*; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench" | tee -a "$log"
    if [ "${PIPESTATUS[0]}" -ne 0 ]; then
        echo "$(basename "$bench") failed"
        failed=$((failed + 1))
    fi
done
ok=$(grep -c '\[ok\]' "$log")
over=$(grep -c '\[over\]' "$log")
if [ "$failed" -ne 0 ]; then
    echo "$ok ok, $over over, $failed benchmarks failed"
    exit 1
fi
echo "$ok ok, $over over"
