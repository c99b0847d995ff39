#!/bin/sh
# Every tool answers --help with its usage on standard output (exit 0) and a bad option with its
# usage on standard error (exit 2), and takes neither for a file or folder.
# Usage: usage_test.sh CLI WSIM_SIM NMEA_REPLAY SAMPLE
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failed=0
check() {  # expected-exit stream pattern tool args...
    expected=$1 stream=$2 pattern=$3
    shift 3
    "$@" >out 2>err
    status=$?
    if [ "$status" -ne "$expected" ] || ! grep -q -- "$pattern" "$stream"; then
        echo "FAIL: $* gave $status, $stream: $(cat "$stream")"
        failed=1
    fi
}
for tool in "$@"; do
    check 0 out usage "$tool" --help
    check 2 err usage "$tool" --no-such-option
done
check 0 out "usage: zentorak-cli load FILE" "$1" load --help
check 0 out "usage: zentorak-cli search" "$1" search --text 2=x --help
check 2 err "load FILE" "$1" load --no-such-option
check 2 err usage "$4" -x
for name in ./--help ./--no-such-option ./-x ./sample; do
    if [ -e "$name" ]; then
        echo "FAIL: an option was taken for a file or folder: $name"
        failed=1
    fi
done
exit $failed
