#!/usr/bin/env python3
"""The program read through AT-SPI on a private bus under Xvfb: every focusable control named,
positions as on the screen. Exits 77 (skipped), saying why, without the tools or the bus."""
import os, shutil, signal, subprocess, sys, tempfile, time

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

def skip(reason):
    print("SKIPPED:", reason)
    sys.exit(77)

def until(find, seconds):
    for _ in range(seconds * 5):
        found = find()
        if found:
            return found
        time.sleep(0.2)

def walk(obj):
    yield obj
    for i in range(obj.get_child_count()):
        yield from walk(obj.get_child_at_index(i))

def check(folder, start):
    for name, text in (("shops.csv", "緯度,経度,店名\r\n35/40/00.000,139/46/00.000,店\r\n"),
                       ("zentorak.ini", "[TrgtInfoFile]\r\n%s/shops.csv\r\n" % folder)):
        with open(folder + "/" + name, "wb") as f:
            f.write(text.encode("cp932"))
    display = start(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"])
    bus = start(["dbus-daemon", "--session", "--nofork", "--print-address=1"])
    os.environ.update(DISPLAY=":" + display, DBUS_SESSION_BUS_ADDRESS=bus, HOME=folder,
                      XDG_RUNTIME_DIR=folder + "/run", TMPDIR=folder + "/run", QT_QPA_PLATFORM="xcb",
                      QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    os.environ.pop("QT_SCALE_FACTOR", None)
    start([LAUNCHER, "--launch-immediately"], stdout=None)
    # The program asks for the accessibility bus once, at its start.
    until(lambda: subprocess.run(["dbus-send", "--session", "--dest=org.a11y.Bus", "--print-reply",
                                  "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                                 capture_output=True).returncode == 0, 10)
    try:
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi
    except (ImportError, ValueError) as error:
        skip("no AT-SPI bindings for Python (python3-gi, gir1.2-atspi-2.0): %s" % error)
    desktop = Atspi.get_desktop(0)
    desktop.get_child_count()  # the registry up before the program looks for it
    start([folder + "/zentorak"], stdout=None, stderr=subprocess.DEVNULL)
    app = until(lambda: next((a for a in map(desktop.get_child_at_index, range(desktop.get_child_count()))
                              if a and a.get_name() == "zentorak" and a.get_child_count()), None), 45)
    if app is None:
        return ["the program never appeared on the accessibility bus"]
    frame, failures = app.get_child_at_index(0), []
    unnamed = [o.get_role_name() for o in walk(frame) if not o.get_name() and all(
        o.get_state_set().contains(s) for s in (Atspi.StateType.FOCUSABLE, Atspi.StateType.SHOWING))
        and o.get_role() not in (Atspi.Role.TABLE_CELL, Atspi.Role.LIST_ITEM)]
    if unnamed:
        failures.append("focusable controls without a name: %s" % unnamed)
    info = subprocess.run(["xwininfo", "-name", "ZENTORAK"], capture_output=True, text=True).stdout
    width, told = int(info.split("Width:")[1].split()[0]), frame.get_extents(Atspi.CoordType.SCREEN)
    if abs(told.width - width) > 2:
        failures.append("the window is %d wide, %d to AT-SPI" % (width, told.width))
    return failures

def main():
    for tool in ("Xvfb", "dbus-daemon", "dbus-send", "xwininfo", LAUNCHER):
        if shutil.which(tool) is None:
            skip(tool + " is not installed (scripts/install-deps.sh)")
    folder, started = tempfile.mkdtemp(), []
    os.mkdir(folder + "/run", 0o700)
    shutil.copy(sys.argv[1], folder + "/zentorak")

    def start(args, stdout=subprocess.PIPE, **options):
        started.append(subprocess.Popen(args, start_new_session=True, stdout=stdout, **options))
        return stdout and (started[-1].stdout.readline().decode().strip() or skip(args[0] + " failed"))
    try:
        failures = check(folder, start)
    finally:
        for process in reversed(started):  # whole groups: the launcher leaves a bus behind
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        shutil.rmtree(folder, ignore_errors=True)
    print("".join("FAILED: %s\n" % failure for failure in failures), end="")
    return 1 if failures else 0

if __name__ == "__main__":
    sys.exit(main())
