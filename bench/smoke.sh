#!/usr/bin/env bash
# Runs each benchmark briefly on small generated data, so that CI shows they still work.
set -euo pipefail
build=${1:?build dir}
shopt -s nullglob
for b in "$build"/bench/bench_*; do
    # automoc leaves bench_*_autogen folders beside the programs.
    [ -f "$b" ] && [ -x "$b" ] || continue
    echo "-- $(basename "$b")"
    ZENTORAK_BENCH_SMOKE=1 "$b" --benchmark_min_time=0.01
done
