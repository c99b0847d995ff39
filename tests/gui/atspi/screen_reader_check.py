#!/usr/bin/env python3
"""The running program as a screen reader reads it, through AT-SPI on a private session bus
under Xvfb: every focusable control of the main window is named, the radar lists the places
near a chosen favourite with their directions, and the window's accessible width is its width
on the screen. Exits 77 (skipped), saying why, where a tool or the bus is missing."""
import os, shutil, signal, subprocess, sys, tempfile, time

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def skip(reason):
    print("SKIPPED:", reason)
    sys.exit(77)


def until(find, seconds):
    for _ in range(int(seconds * 5)):
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    return None


def walk(obj):
    yield obj
    for i in range(obj.get_child_count()):
        yield from walk(obj.get_child_at_index(i))


def write_cp932(path, lines):
    with open(path, "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("cp932"))


def start(started, args, **options):
    started.append(subprocess.Popen(args, start_new_session=True, **options))
    if options.get("stdout") == subprocess.PIPE:
        line = started[-1].stdout.readline().decode().strip()
        return line or skip(args[0] + " did not start")


def check(folder, started):
    shops = ["緯度,経度,店名,住所,TEL"] + ["35/40/%02d.000,139/46/%02d.000,店%02d,東京%d,03-0000-%04d"
                                         % (n // 6 * 10, n % 6 * 10, n, n, n) for n in range(30)]
    write_cp932(folder + "/shops.csv", shops)
    write_cp932(folder + "/zentorak.ini", ["[System]", "OrgFixedMode:1", "", "[TrgtInfoFile]",
                                           folder + "/shops.csv", "", "[Favorite]", "FavName:東京",
                                           "FavLat:35/40/25.000", "FavLon:139/46/25.000", ""])
    display = start(started, ["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten",
                              "tcp"], stdout=subprocess.PIPE)
    bus = start(started, ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                stdout=subprocess.PIPE)
    os.environ.update(DISPLAY=":" + display, DBUS_SESSION_BUS_ADDRESS=bus, HOME=folder,
                      XDG_RUNTIME_DIR=folder + "/run", TMPDIR=folder + "/run", QT_QPA_PLATFORM="xcb",
                      QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    os.environ.pop("QT_SCALE_FACTOR", None)
    start(started, [LAUNCHER, "--launch-immediately"])
    try:
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi
    except (ImportError, ValueError) as error:
        skip("no AT-SPI bindings for Python (python3-gi, gir1.2-atspi-2.0): %s" % error)
    start(started, [folder + "/zentorak"], stderr=subprocess.DEVNULL)
    desktop = Atspi.get_desktop(0)
    apps = lambda: (desktop.get_child_at_index(i) for i in range(desktop.get_child_count()))
    app = until(lambda: next((a for a in apps() if a and a.get_name() == "zentorak"
                              and a.get_child_count()), None), 45)
    if app is None:
        return ["the program never appeared on the accessibility bus"]
    frame, failures = app.get_child_at_index(0), []
    unnamed = [o.get_role_name() for o in walk(frame) if not o.get_name() and all(
        o.get_state_set().contains(s) for s in (Atspi.StateType.FOCUSABLE, Atspi.StateType.SHOWING))
        and o.get_role() not in (Atspi.Role.TABLE_CELL, Atspi.Role.LIST_ITEM)]
    if unnamed:
        failures.append("focusable controls without a name: %s" % unnamed)
    # "メニュー" (F2) › お気に入り › 東京, typed: menus are no children of the application on the
    # bus (a screen reader follows them by their focus events).
    window = subprocess.run(["xdotool", "search", "--name", "^ZENTORAK$"], capture_output=True,
                            text=True).stdout.split()[:1]
    for keys in (["windowfocus"] + window, ["key", "F2"],
                 "key Down Down Down Down Right Down Down Return".split()):
        subprocess.run(["xdotool"] + keys)
        time.sleep(0.5)
    radar = next((o for o in walk(frame) if o.get_name() == "レーダー"), None)
    said = radar and until(
        lambda: radar.get_description() if "1 店" in radar.get_description() else None, 10)
    print("the radar says:", said)
    if not said or not any(d in said for d in "北東南西"):
        failures.append("the radar says %r" % (radar and radar.get_description()))
    info = subprocess.run(["xwininfo", "-name", "ZENTORAK"], capture_output=True, text=True).stdout
    width = int(info.split("Width:")[1].split()[0]) if "Width:" in info else 0
    if abs(frame.get_extents(Atspi.CoordType.SCREEN).width - width) > 2:
        failures.append("the window is %d wide, %d to AT-SPI"
                        % (width, frame.get_extents(Atspi.CoordType.SCREEN).width))
    return failures


def main():
    for tool in ("Xvfb", "dbus-daemon", "xwininfo", "xdotool", LAUNCHER):
        if shutil.which(tool) is None:
            skip(tool + " is not installed (scripts/install-deps.sh)")
    folder, started = tempfile.mkdtemp(), []
    os.mkdir(folder + "/run", 0o700)
    shutil.copy(sys.argv[1], folder + "/zentorak")
    try:
        failures = check(folder, started)
    finally:
        for process in reversed(started):  # whole groups: the launcher leaves a bus behind
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            process.wait()
        shutil.rmtree(folder, ignore_errors=True)
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
