#!/usr/bin/env bash
# Installs what is needed, builds the program, writes the demo data beside it (the settings file
# only when none is there yet) and starts the program. Run as root on Debian 12 (or with sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then
    bash scripts/install-deps.sh
else
    sudo bash scripts/install-deps.sh
fi
scripts/build.sh release
build/release/tools/zentorak-sample build/release
exec build/release/zentorak
