#!/usr/bin/python3
"""What a screen reader gets from the real window over a real AT-SPI bus.

    atspi_tree_test.py KORVANE LAYOUT_ROWS

Starts, all of its own and all stopped again at the end: a virtual X display (Xvfb), a D-Bus
session bus, the AT-SPI bus launcher (which starts the accessibility bus and its registry) and
the program KORVANE on the real X11 platform with Qt's AT-SPI bridge switched on. Then it reads
the window's accessibility tree back with pyatspi, as a screen reader would, and checks it
against the layout table that LAYOUT_ROWS prints:

- every node has a name, and no node is a bare filler;
- the window is a frame named by its caption; its children are the labels, boxes, pictures and
  the Results frame, and nothing else (the lines are drawing only);
- every control is presented in the role, with the name and the description that the window's
  rules give it (the layout rows carry them), and the frame holds exactly its own controls;
- the states the rules give are there: Compute the default button, the passage-time boxes
  read-only, the effective acceleration unavailable; and, as the window first shows, Compute
  is unavailable too.

Exits 0 when all holds, 1 with a list of the differences otherwise. Needs Xvfb, dbus-daemon,
at-spi2-core and python3-pyatspi (scripts/packages.txt).
"""

import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# How long to wait for each process to come up before giving up. Generous: nothing here is a
# timing check, only a guard against waiting for ever.
DEADLINE_S = 60

LAUNCHERS = [
    "/usr/libexec/at-spi-bus-launcher",
    "/usr/lib/at-spi2-core/at-spi-bus-launcher",
]


class Failure(Exception):
    pass


def wait_for(what, ready, process=None):
    """Polls ready() until it returns something true; fails when process dies or at the
    deadline."""
    end = time.monotonic() + DEADLINE_S
    while time.monotonic() < end:
        value = ready()
        if value:
            return value
        if process is not None and process.poll() is not None:
            raise Failure(f"{what}: the process ended with status {process.returncode}")
        time.sleep(0.1)
    raise Failure(f"{what}: not ready after {DEADLINE_S} s")


class Session:
    """The processes of one run, stopped in reverse order of starting. The processes that
    those start in turn (the accessibility bus and its registry) are adopted by this one when
    their parents end, and are stopped and collected as well."""

    def __init__(self, work):
        self.work = work
        self.processes = []
        self.logs = []
        PR_SET_CHILD_SUBREAPER = 36
        libc = ctypes.CDLL(None, use_errno=True)
        libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)

    def start(self, name, args, env=None, **kwargs):
        log = open(os.path.join(self.work, name + ".log"), "w")
        self.logs.append(log)
        process = subprocess.Popen(args, env=env, stdout=kwargs.pop("stdout", log),
                                   stderr=log, stdin=subprocess.DEVNULL, **kwargs)
        self.processes.append((name, process))
        return process

    def log(self, name):
        with open(os.path.join(self.work, name + ".log")) as f:
            return f.read()

    def stop(self):
        for _, process in reversed(self.processes):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        for log in self.logs:
            log.close()
        # Whatever they left behind is now a child of this process: asked to end, then made
        # to, and collected.
        for sig in (signal.SIGTERM, signal.SIGKILL):
            for pid in adopted_children():
                try:
                    os.kill(pid, sig)
                except ProcessLookupError:
                    pass
            end = time.monotonic() + 10
            while time.monotonic() < end:
                try:
                    pid, _ = os.waitpid(-1, os.WNOHANG)
                except ChildProcessError:
                    return
                if pid == 0:
                    time.sleep(0.05)


def adopted_children():
    """The ids of this process's child processes."""
    me = str(os.getpid())
    pids = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    # pid (comm) state ppid ...; comm may hold blanks and brackets.
                    fields = f.read().rsplit(")", 1)[1].split()
            except OSError:
                continue
            if fields[1] == me:
                pids.append(int(entry))
    return pids


def display_in_use(number):
    """Whether an X server, of this test or not, holds that display number: its lock file, or
    either of its sockets (the file, or the abstract one that clients try first)."""
    path = f"/tmp/.X11-unix/X{number}"
    if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(path):
        return True
    with open("/proc/net/unix") as f:
        return any(line.rstrip("\n").endswith(path) for line in f)


def start_display(session):
    """Xvfb on a display number that no other X server holds, away from the low numbers that
    desktops and other tests take; returns the DISPLAY value."""
    number = 100 + os.getpid() % 800
    for _ in range(20):
        while display_in_use(number):
            number += 1
        read_end, write_end = os.pipe()
        xvfb = session.start("xvfb", ["Xvfb", f":{number}", "-displayfd", str(write_end),
                                      "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                                      # No reset when the bus launcher, the display's first
                                      # client, lets go: a reset refuses new clients a while.
                                      "-noreset"],
                             pass_fds=(write_end,))
        os.close(write_end)
        # Xvfb writes the number once it accepts connections, and nothing if it cannot start.
        with os.fdopen(read_end) as f:
            if f.readline().strip() == str(number):
                return f":{number}"
        xvfb.wait()
        number += 1
    raise Failure("Xvfb did not start: " + session.log("xvfb"))


def start_session_bus(session, env):
    """A D-Bus session bus of its own; returns its address."""
    bus = session.start("session-bus", ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                        "--print-address=1"],
                        env=env, stdout=subprocess.PIPE, text=True)
    address = bus.stdout.readline().strip()
    if not address:
        raise Failure("dbus-daemon did not start: " + session.log("session-bus"))
    return address


def start_accessibility_bus(session, env):
    """The AT-SPI bus launcher, which owns org.a11y.Bus on the session bus and starts the
    accessibility bus with its registry."""
    launcher = next((path for path in LAUNCHERS if os.access(path, os.X_OK)), None)
    if launcher is None:
        raise Failure("at-spi-bus-launcher not found (package at-spi2-core)")
    process = session.start("at-spi-bus-launcher", [launcher], env=env)

    from gi.repository import Gio, GLib

    connection = Gio.bus_get_sync(Gio.BusType.SESSION, None)

    def owned():
        reply = connection.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                     "org.freedesktop.DBus", "NameHasOwner",
                                     GLib.Variant("(s)", ("org.a11y.Bus",)), None,
                                     Gio.DBusCallFlags.NONE, -1, None)
        return reply.unpack()[0]

    wait_for("at-spi-bus-launcher", owned, process)


def read_layout(layout_rows):
    caption = None
    controls = []
    output = subprocess.run([layout_rows], check=True, capture_output=True, text=True).stdout
    for line in output.splitlines():
        fields = line.split("\t")
        if fields[0] == "window":
            caption = fields[1]
        else:
            keys = ["name", "kind", "in", "role", "spoken", "description", "states"]
            control = dict(zip(keys, fields[1:]))
            control["states"] = set(control["states"].split())
            controls.append(control)
    return caption, controls


# The AT-SPI role each role of the window's rules comes out as through Qt's bridge.
ATSPI_ROLES = {
    "editable text": "text",
    "static text": "label",
    "push button": "push button",
    "grouping": "panel",
    "graphic": "image",
}


def expected_node(control, by_name=None):
    """(role, name, description) of a control as a screen reader should get it; None for a
    control that is not to be shown at all."""
    if control["role"] == "none":
        return None  # a line
    return (ATSPI_ROLES[control["role"]], control["spoken"], control["description"])


def node(accessible):
    return (accessible.getRoleName(), accessible.name, accessible.description)


def children(accessible):
    return [accessible.getChildAtIndex(i) for i in range(accessible.childCount)]


def check_tree(app, caption, controls):
    problems = []

    # No anonymous node and no filler anywhere.
    count = anonymous = 0
    stack = [(app, "the application")]
    while stack:
        accessible, where = stack.pop()
        count += 1
        role, name, _ = node(accessible)
        if not name.strip():
            anonymous += 1
            problems.append(f"anonymous {role} in {where}")
        elif role == "filler":
            problems.append(f"filler {name!r} in {where}")
        stack.extend((child, repr(name)) for child in children(accessible))
    print(f"atspi: {count} nodes, {anonymous} of them anonymous")

    windows = children(app)
    if len(windows) != 1 or node(windows[0])[:2] != ("frame", caption):
        return problems + [f"the application holds {[node(w) for w in windows]}, "
                           f"not one frame named {caption!r}"]
    window = windows[0]

    by_name = {c["name"]: c for c in controls}
    frame = next(c for c in controls if c["kind"] == "frame")
    for container, inside in ((window, "Korvane"), (None, frame["name"])):
        expected = sorted(filter(None, (expected_node(c, by_name)
                                        for c in controls if c["in"] == inside)))
        if container is None:
            panels = [c for c in children(window) if node(c) == expected_node(frame, by_name)]
            if len(panels) != 1:
                problems.append(f"no single panel for {frame['name']}")
                continue
            container = panels[0]
        found = sorted(node(child) for child in children(container))
        for missing in sorted(set(expected) - set(found)):
            problems.append(f"{inside}: missing {missing}")
        for extra in sorted(set(found) - set(expected)):
            problems.append(f"{inside}: unexpected {extra}")
        if len(found) != len(expected):
            problems.append(f"{inside}: {len(found)} children, expected {len(expected)}")
    return problems + check_states(window, controls)


def check_states(window, controls):
    """The states the rules give each control, and Compute unavailable at start-up."""
    import pyatspi

    problems = []
    nodes = {}
    stack = [window]
    while stack:
        accessible = stack.pop()
        nodes[node(accessible)] = accessible.getState()
        stack.extend(children(accessible))
    for control in controls:
        expected = expected_node(control)
        if expected is None or expected not in nodes:
            continue
        states = nodes[expected]
        wanted = {
            "default": ("default" in control["states"], pyatspi.STATE_IS_DEFAULT, True),
            "read-only": ("read-only" in control["states"], pyatspi.STATE_READ_ONLY, True),
            "unavailable": ("unavailable" in control["states"] or control["kind"] == "button",
                            pyatspi.STATE_ENABLED, False),
        }
        for what, (on, state, present) in wanted.items():
            if on and states.contains(state) != present:
                problems.append(f"{control['name']} is not {what}")
            elif (not on and state != pyatspi.STATE_ENABLED and states.contains(state)
                  # Static text is read-only by nature; a box must be editable unless the
                  # rules make it read-only.
                  and (what != "read-only" or control["role"] == "editable text")):
                problems.append(f"{control['name']} is {what}, and should not be")
    return problems


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    korvane, layout_rows = (os.path.abspath(a) for a in sys.argv[1:])
    caption, controls = read_layout(layout_rows)

    work = tempfile.mkdtemp(prefix="korvane-atspi-")
    os.chmod(work, 0o700)
    session = Session(work)
    try:
        env = dict(os.environ)
        for name in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "WAYLAND_DISPLAY",
                     "QT_QPA_PLATFORM", "QT_SCALE_FACTOR"):
            env.pop(name, None)
        env["XDG_RUNTIME_DIR"] = work
        env["DISPLAY"] = start_display(session)
        env["DBUS_SESSION_BUS_ADDRESS"] = start_session_bus(session, env)
        # pyatspi and Gio read these when they first connect, in this process.
        os.environ.clear()
        os.environ.update(env)
        start_accessibility_bus(session, env)

        app_env = dict(env, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        program = session.start("korvane", [korvane], env=app_env)

        import pyatspi

        app_name = os.path.basename(korvane)

        def window_on_bus():
            desktop = pyatspi.Registry.getDesktop(0)
            for app in children(desktop):
                if app is not None and app.name == app_name and app.childCount > 0:
                    return app
            return None

        app = wait_for("the window on the accessibility bus", window_on_bus, program)
        problems = check_tree(app, caption, controls)
        if program.poll() is not None:
            problems.append(f"korvane ended with status {program.returncode}")
        for problem in problems:
            print("atspi: " + problem)
        if problems:
            print("korvane's output:\n" + session.log("korvane"))
        return 1 if problems else 0
    except Failure as failure:
        print("atspi: " + str(failure))
        for name, process in session.processes:
            state = "running" if process.poll() is None else f"ended, status {process.returncode}"
            print(f"--- {name} ({state}):\n{session.log(name)}")
        return 1
    finally:
        session.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
