#!/usr/bin/env bash
# Configures and builds one variant into build/<name>. Usage: scripts/build.sh NAME [cmake args...]
# BUILD_TARGETS="a b" builds only those targets (and what they need) instead of everything.
set -euo pipefail
cd "$(dirname "$0")/.."
name=$1
shift
cmake -S . -B "build/$name" -G Ninja "$@" >/dev/null
targets=()
for target in ${BUILD_TARGETS:-}; do
    targets+=(--target "$target")
done
cmake --build "build/$name" -j"$(nproc)" "${targets[@]}"
