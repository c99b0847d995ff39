#!/bin/sh
# zentorak-nmea-replay sends a log whose lines of one or two characters start with '$' without
# crashing, and still paces its fixes by the RMC sentences.
# Usage: nmea_replay_short_lines_test.sh NMEA_REPLAY
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '$\r\n$G\n$GP\n$GPRMC,000001.00,A,3539.483300,N,13945.083300,E,0.0,0.0,071226,,,A*5D\r\n$\n' \
    >"$work/log"
# Port 9 (discard) on the loopback: nothing needs to listen for UDP datagrams to be sent.
"$1" --file "$work/log" --udp 127.0.0.1:9 --interval 10 >"$work/out" 2>"$work/err"
status=$?
if [ "$status" -ne 0 ] || [ "$(grep -c GPRMC "$work/out")" -ne 1 ]; then
    echo "FAIL: exit $status; out: $(cat "$work/out"); err: $(cat "$work/err")"
    exit 1
fi
