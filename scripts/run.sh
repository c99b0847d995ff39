#!/usr/bin/env bash
# Installs what is needed, builds the program and the demo-data maker (the test command builds
# the rest), writes the demo data beside the program (the settings file only when none is there
# yet) and starts the program. With the demo settings the first window already shows the shops
# around the first favourite, Tokyo station; settings of your own start as they always do.
# Run as root on Debian 12 (or with sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then
    bash scripts/install-deps.sh
else
    sudo bash scripts/install-deps.sh
fi
BUILD_TARGETS="zentorak zentorak-sample" scripts/build.sh release -DCMAKE_BUILD_TYPE=RelWithDebInfo
build/release/tools/zentorak-sample build/release
# The demo settings list only the demo shops; any other file list is the user's own.
start=()
if grep -aq '^[^;]*sample/demo-shops' build/release/zentorak.ini &&
    [ "$(grep -ac '\.csv' build/release/zentorak.ini)" = 1 ]; then
    start=(--favorite=1)
fi
exec build/release/zentorak "${start[@]}"
