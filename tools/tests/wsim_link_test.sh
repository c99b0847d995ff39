#!/bin/sh
# zentorak-wsim-sim removes the ports/COMn link it made when it is stopped by SIGTERM, SIGINT or
# SIGHUP; a link left behind would point at a /dev/pts number that another terminal may get.
# Usage: wsim_link_test.sh WSIM_SIM
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for signal in TERM INT HUP; do
    "$1" --link "$work" --com 3 >"$work/out" 2>/dev/null &
    pid=$!
    for _ in $(seq 50); do
        [ -L "$work/ports/COM3" ] && [ -s "$work/out" ] && break
        sleep 0.1
    done
    if [ "$(readlink "$work/ports/COM3")" != "$(cat "$work/out")" ]; then
        echo "FAIL: no link to the device before SIG$signal"
        failed=1
    fi
    kill -s "$signal" "$pid"
    wait "$pid"
    if [ -e "$work/ports/COM3" ] || [ -L "$work/ports/COM3" ]; then
        echo "FAIL: the link is left behind after SIG$signal"
        rm -f "$work/ports/COM3"
        failed=1
    fi
done
exit $failed
