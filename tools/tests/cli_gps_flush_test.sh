#!/bin/sh
# zentorak-cli gps writes each answer as it comes, also into a pipe: stopped by timeout while
# it waits between two answers, the first answer has already reached the reader.
# Usage: cli_gps_flush_test.sh CLI NMEA_REPLAY
set -u
command -v gpsd >/dev/null || [ -x /usr/sbin/gpsd ] || exit 77
work=$(mktemp -d)
trap 'kill "$replay" 2>/dev/null; wait; rm -rf "$work"' EXIT
# Ports away from gpsd's 2947 and the replayer's default, different on every run.
port=$((30000 + $$ % 20000))
"$2" --gpsd "$port" --udp 127.0.0.1:$((port + 1)) --interval 200 >/dev/null 2>"$work/replay" &
replay=$!
for _ in $(seq 50); do  # until the replayer's gpsd answers
    timeout 1 gpspipe -w -n 1 "127.0.0.1:$port" >/dev/null 2>&1 && break
    sleep 0.1
done
timeout 8 "$1" gps --port "$port" --count 2 --interval 60000 | cat >"$work/out"
if ! grep -q '"latDms"' "$work/out"; then
    echo "FAIL: no answer reached the pipe; out: $(cat "$work/out"); replayer: $(cat "$work/replay")"
    exit 1
fi
