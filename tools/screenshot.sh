#!/usr/bin/env bash
# Takes a PNG of the program's main window under Xvfb. The program reads only the zentorak.ini
# beside its executable, so the executable is copied into a fresh folder with the given file.
# Optional xdotool steps (each one argument, e.g. "key F2" or "mousemove 100 80 click 1") run
# against the window after it appears, with a short pause after each. SCREENSHOT_PORTS=FOLDER
# puts FOLDER beside the copy as its ports/ folder (the COMn links of a simulated W-SIM module).
# SCREENSHOT_SCREEN=WxH sets the screen (1024x768 by default); SCREENSHOT_FILL=1 then makes the
# window fill it, as a phone shell maximises its windows (QT_SCALE_FACTOR picks the device
# pixel ratio: 360x720 with 1, or 720x1440 with 2, are the same phone screen).
# SCREENSHOT_SIZE=WxH gives the window the size of a W x H handset screen in layout units (the
# window is that screen less its task bar); the program shows every unit as two pixels.
#
# Usage: tools/screenshot.sh EXECUTABLE SETTINGS.ini OUT.png [XDOTOOL-STEP ...]
set -euo pipefail
exe=$(readlink -f "${1:?executable}")
ini=$(readlink -f "${2:?settings file}")
out=${3:?output png}
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/zentorak"
cp "$ini" "$work/zentorak.ini"
if [ -n "${SCREENSHOT_PORTS:-}" ]; then
    ln -s "$(readlink -f "$SCREENSHOT_PORTS")" "$work/ports"
fi

cat > "$work/inner.sh" <<'INNER'
set -euo pipefail
work=$1; out=$2; shift 2
export SCREENSHOT_WHOLE=${SCREENSHOT_WHOLE:-}
export SCREENSHOT_FILL=${SCREENSHOT_FILL:-}
size=${SCREENSHOT_SIZE:-}
# A runtime folder of its own, so the single-instance socket does not meet a running copy.
export XDG_RUNTIME_DIR=$work/run
export TMPDIR=$work/run
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
"$work/zentorak" >"$work/log" 2>&1 &
pid=$!
win=
for _ in $(seq 100); do
    win=$(xdotool search --name '^ZENTORAK$' 2>/dev/null | head -1 || true)
    [ -n "$win" ] && break
    sleep 0.1
done
[ -n "$win" ] || { echo "no window appeared" >&2; cat "$work/log" >&2; kill $pid; exit 1; }
sleep 0.5
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus "$win" || true
if [ -n "$SCREENSHOT_FILL" ]; then
    read -r sw sh < <(xdotool getdisplaygeometry)
    xdotool windowmove "$win" 0 0 windowsize "$win" "$sw" "$sh"
elif [ -n "$size" ]; then
    # Two pixels a unit; the window is the handset screen less its 26-unit task bar.
    xdotool windowsize --sync "$win" $(( ${size%x*} * 2 )) $(( (${size#*x} - 26) * 2 )) || true
    sleep 0.5
fi
for step in "$@"; do
    # shellcheck disable=SC2086
    xdotool $step
    sleep 0.4
done
geometry=$(xwininfo -id "$win" | awk '/Absolute upper-left X/{x=$4}/Absolute upper-left Y/{y=$4}
    /^ *Width/{w=$2}/^ *Height/{h=$2}END{print w"x"h"+"x"+"y}')
# A popup menu may reach beyond the window: SCREENSHOT_WHOLE=1 keeps the whole screen.
if [ -n "${SCREENSHOT_WHOLE:-}" ]; then
    import -window root "$out"
else
    import -window root -crop "$geometry" +repage "$out"
fi
kill -TERM $pid
wait $pid || true
INNER
out=$(readlink -f "$(dirname "$out")")/$(basename "$out")
# Xvfb picks a free display itself and reports it, so parallel runs do not race for one.
screen=${SCREENSHOT_SCREEN:-1024x768}
if [ -n "${SCREENSHOT_SIZE:-}" ]; then
    screen=$(( ${SCREENSHOT_SIZE%x*} * 2 + 48 ))x$(( ${SCREENSHOT_SIZE#*x} * 2 + 48 ))
    [ "${screen%x*}" -lt 1024 ] && screen=1024x${screen#*x}
    [ "${screen#*x}" -lt 768 ] && screen=${screen%x*}x768
fi
Xvfb -displayfd 3 -screen 0 ${screen}x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
SCREENSHOT_SIZE=${SCREENSHOT_SIZE:-} DISPLAY=:$(head -1 "$work/display") bash "$work/inner.sh" "$work" "$out" "$@"
echo "wrote $out"
