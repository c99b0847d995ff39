#!/usr/bin/env bash
# Configures and builds one variant into build/<name>. Usage: scripts/build.sh NAME [cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."
name=$1
shift
cmake -S . -B "build/$name" -G Ninja "$@" >/dev/null
cmake --build "build/$name" -j"$(nproc)"
