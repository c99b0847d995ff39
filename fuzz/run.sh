#!/usr/bin/env bash
# Runs every fuzz target in BUILD_DIR for SECONDS each; a crash or the first report of undefined
# behaviour fails the run.
set -uo pipefail
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}:halt_on_error=1
build=${1:?build dir}
seconds=${2:-15}
here=$(cd "$(dirname "$0")" && pwd)
status=0
shopt -s nullglob
for target in "$build"/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus=$(mktemp -d)
    seeds="$here/seeds/${name#fuzz_}"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
    log=$(mktemp)
    if "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$corpus/" \
        "$corpus" >"$log" 2>&1; then
        echo "-- $name: ok, $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs"
    else
        echo "-- $name: FAILED"
        tail -n 60 "$log"
        status=1
    fi
    rm -rf "$corpus" "$log"
done
exit $status
