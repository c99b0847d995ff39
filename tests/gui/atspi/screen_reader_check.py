#!/usr/bin/env python3
"""The running program as a screen reader sees it, through AT-SPI on a private session bus
under Xvfb: no focusable control without a name in the main window, a favourite chosen through
the accessible actions of the menu makes the radar list the nearest places with their
directions, and the window's accessible size is its size on the screen. Exits 77 (skipped),
saying why, where Xvfb, the session bus, the accessibility bus or its Python bindings are
missing (scripts/install-deps.sh installs them)."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def skip(reason):
    print("SKIPPED:", reason)
    sys.exit(SKIP)


def write_cp932(path, lines):
    with open(path, "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("cp932"))


def first_line(process, what):
    line = process.stdout.readline().decode().strip()
    if not line:
        skip(what + " did not start")
    return line


def until(find, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    return None


def children(obj):
    for i in range(obj.get_child_count()):
        child = obj.get_child_at_index(i)
        if child is not None:
            yield child


def walk(obj):
    yield obj
    for child in children(obj):
        yield from walk(child)


def main():
    program_path = sys.argv[1]
    for tool in ("Xvfb", "dbus-daemon", "xwininfo", "xdotool"):
        if shutil.which(tool) is None:
            skip(tool + " is not installed")
    if not os.access(LAUNCHER, os.X_OK):
        skip("at-spi2-core is not installed")
    folder = tempfile.mkdtemp()
    os.mkdir(os.path.join(folder, "run"), 0o700)
    shutil.copy(program_path, os.path.join(folder, "zentorak"))
    shops = ["緯度,経度,店名,住所,TEL"] + [
        "35/40/%02d.000,139/46/%02d.000,店%02d,東京%d,03-0000-%04d" % (n // 6 * 10, n % 6 * 10, n, n, n)
        for n in range(30)]
    write_cp932(os.path.join(folder, "shops.csv"), shops)
    write_cp932(os.path.join(folder, "zentorak.ini"),
                ["[System]", "OrgFixedMode:1", "", "[TrgtInfoFile]", os.path.join(folder, "shops.csv"),
                 "", "[Favorite]", "FavName:東京", "FavLat:35/40/25.000", "FavLon:139/46/25.000", ""])
    started = []
    try:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                                 "-nolisten", "tcp"], stdout=subprocess.PIPE, start_new_session=True)
        started.append(xvfb)
        display = ":" + first_line(xvfb, "Xvfb")
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               stdout=subprocess.PIPE, start_new_session=True)
        started.append(bus)
        os.environ.update(DISPLAY=display, DBUS_SESSION_BUS_ADDRESS=first_line(bus, "the session bus"),
                          HOME=folder, XDG_RUNTIME_DIR=os.path.join(folder, "run"),
                          TMPDIR=os.path.join(folder, "run"), QT_QPA_PLATFORM="xcb",
                          QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        os.environ.pop("QT_SCALE_FACTOR", None)
        started.append(subprocess.Popen([LAUNCHER, "--launch-immediately"], start_new_session=True))
        try:
            import gi
            gi.require_version("Atspi", "2.0")
            from gi.repository import Atspi
        except (ImportError, ValueError) as error:
            skip("no AT-SPI bindings for Python (python3-gi, gir1.2-atspi-2.0): %s" % error)
        started.append(subprocess.Popen([os.path.join(folder, "zentorak")], start_new_session=True,
                                        stderr=subprocess.DEVNULL))

        def application():
            for app in children(Atspi.get_desktop(0)):
                if app.get_name() == "zentorak" and app.get_child_count() > 0:
                    return app
            return None
        app = until(application, 45)
        if app is None:
            print("FAILED: the program never appeared on the accessibility bus")
            return 1
        frame = app.get_child_at_index(0)
        failures = []
        unnamed = [o.get_role_name() for o in walk(frame)
                   if o.get_state_set().contains(Atspi.StateType.FOCUSABLE)
                   and o.get_state_set().contains(Atspi.StateType.SHOWING) and not o.get_name()
                   and o.get_role() not in (Atspi.Role.TABLE_CELL, Atspi.Role.LIST_ITEM)]
        if unnamed:
            failures.append("focusable controls without a name: %s" % unnamed)

        def named(name, role=None):
            def find():
                for window in children(app):
                    for o in walk(window):
                        if o.get_name() == name and (role is None or o.get_role() == role):
                            return o
                return None
            return until(find, 10)
        # "メニュー" (F2) › お気に入り › 東京, typed as a person would (menus are no children
        # of the application on the bus: a screen reader follows them by their focus events).
        window = subprocess.run(["xdotool", "search", "--name", "^ZENTORAK$"], capture_output=True,
                                text=True).stdout.split()
        for args in (["windowfocus", window[0]] if window else [],
                     ["key", "F2"], ["key"] + "Down Down Down Down Right Down Down Return".split()):
            if args:
                subprocess.run(["xdotool"] + args)
                time.sleep(0.5)
        radar = named("レーダー")
        said = until(lambda: (radar.get_description() or None)
                     if "1 店" in (radar.get_description() or "") else None, 10) if radar else None
        print("the radar says:", said)
        if not said or not any(d in said for d in ("北", "東", "南", "西")):
            failures.append("the radar says %r" % (radar.get_description() if radar else None))

        info = subprocess.run(["xwininfo", "-name", "ZENTORAK"], capture_output=True, text=True).stdout
        width = int(info.split("Width:")[1].split()[0]) if "Width:" in info else 0
        extents = frame.get_extents(Atspi.CoordType.SCREEN)
        if abs(extents.width - width) > 2:
            failures.append("the window is %d wide on the screen, %d to AT-SPI" % (width, extents.width))
        for failure in failures:
            print("FAILED:", failure)
        return 1 if failures else 0
    finally:
        for process in reversed(started):
            # Whole groups: the accessibility bus launcher leaves a bus of its own behind.
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            process.wait()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
