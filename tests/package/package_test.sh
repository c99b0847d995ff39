#!/usr/bin/env bash
# The Debian package end to end: makes it from a build folder, checks its run-time dependencies,
# validates the desktop entry and the metainfo, unpacks it into a temporary root and starts the
# installed program there with a home folder of its own. Installed, the program must keep its
# settings under ~/.config/zentorak and write nothing beside itself. Under Xvfb the window's
# class must be the desktop entry's StartupWMClass, so the launcher and the task switcher agree.
#
# Usage: tests/package/package_test.sh BUILD-FOLDER
set -euo pipefail
build=$(readlink -f "${1:?build folder}")
work=$(mktemp -d)
chmod 755 "$work"
pids=()
cleanup() {
    for p in "${pids[@]}"; do
        kill -TERM "$p" 2>/dev/null && { wait "$p" 2>/dev/null || true; }
    done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "package test: $*" >&2
    [ -f "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log" >&2
    exit 1
}
# Waits (up to 10 s) for a command to succeed.
await() {
    for _ in $(seq 100); do
        "$@" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

echo "== the package"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(echo "$work"/pkg/zentorak_*_*.deb)
[ -f "$deb" ] || fail "no zentorak_VERSION_ARCH.deb"
depends=$(dpkg-deb -f "$deb" Depends)
for need in libqt6widgets6 libqt6positioning6 qt6-qpa-plugins libqt6positioning6-plugins \
    fonts-ipafont-gothic; do
    [[ $depends == *"$need"* ]] || fail "Depends lacks $need: $depends"
done
root=$work/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share
for f in "$root/usr/bin/zentorak" "$root/usr/bin/zentorak-cli" \
    "$share/applications/zentorak.desktop" "$share/metainfo/zentorak.metainfo.xml" \
    "$share/icons/hicolor/scalable/apps/zentorak.svg" \
    "$share"/icons/hicolor/{48x48,64x64,128x128,256x256}/apps/zentorak.png; do
    [ -e "$f" ] || fail "the package lacks ${f#"$root"}"
done

echo "== desktop entry and metainfo"
desktop-file-validate "$share/applications/zentorak.desktop"
# AppStream counts a component id that is not reverse-DNS as a warning, and warnings fail; the
# project has no domain of its own, so its id is its plain name.
appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info \
    "$share/metainfo/zentorak.metainfo.xml"

echo "== first start of the installed copy"
home=$work/home
run=$work/run
mkdir -p "$home"
mkdir -m 700 "$run"
# As an ordinary user where the test runs as root, so that "may not write" means what it
# means for a person; the copy counts as installed either way, its desktop entry being there.
as_user=()
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
    chown 65534:65534 "$home" "$run"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
program_env=(env -u XDG_CONFIG_HOME -u DISPLAY -u WAYLAND_DISPLAY HOME="$home"
    XDG_RUNTIME_DIR="$run" TMPDIR="$run")
"${as_user[@]}" "${program_env[@]}" QT_QPA_PLATFORM=offscreen "$root/usr/bin/zentorak" \
    >"$work/program.log" 2>&1 &
pid=$!
pids+=("$pid")
# The single-instance socket appears once the signal handlers are set up; the program then
# waits on its first-start notice, and the session's end must still close it cleanly.
await test -S "$run/zentorak.socket" || fail "the program did not start"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "the program ended with status $status after SIGTERM"
config=$home/.config/zentorak
[ "$(head -c 10 "$config/zentorak.ini" 2>/dev/null | tr -d '\r\n')" = "[System]" ] ||
    fail "no settings file under ~/.config/zentorak"
[ "$(stat -c %a "$config")" = 700 ] || fail "$config is not private: $(stat -c %a "$config")"
[ ! -e "$root/usr/bin/zentorak.ini" ] || fail "settings written beside the installed program"
folder=$("${as_user[@]}" "${program_env[@]}" "$root/usr/bin/zentorak-cli" folder)
[[ $folder == *"\"folder\": \"$config\", \"besideExecutable\": false"* ]] ||
    fail "zentorak-cli folder says: $folder"

if command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v xprop >/dev/null; then
    echo "== window class under Xvfb"
    Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
    pids+=("$!")
    await test -s "$work/display" || fail "Xvfb did not start"
    display=:$(head -1 "$work/display")
    "${as_user[@]}" "${program_env[@]}" DISPLAY="$display" QT_QPA_PLATFORM=xcb \
        "$root/usr/bin/zentorak" >"$work/program.log" 2>&1 &
    pid=$!
    pids+=("$pid")
    await env DISPLAY="$display" xdotool search --name '^ZENTORAK$' >"$work/window" ||
        fail "no window on Xvfb"
    class=$(DISPLAY="$display" xprop -id "$(head -1 "$work/window")" WM_CLASS)
    wanted=$(sed -n 's/^StartupWMClass=//p' "$share/applications/zentorak.desktop")
    [[ $class == *", \"$wanted\"" ]] || fail "window class $class, desktop entry $wanted"
    kill -TERM "$pid"
    wait "$pid" || fail "the program did not end cleanly under Xvfb"
fi
echo "package test: ok ($(basename "$deb"))"
