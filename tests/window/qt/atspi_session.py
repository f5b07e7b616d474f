"""The real program on a real AT-SPI bus, for the accessibility tests.

A test calls run(KORVANE, LAYOUT_ROWS, check): it starts, all of its own and all stopped again at
the end, a virtual X display (Xvfb), a D-Bus session bus, the AT-SPI bus launcher (which starts
the accessibility bus and its registry) and the program KORVANE on the real X11 platform with
Qt's AT-SPI bridge switched on; then check(app, layout, env) reads the program back with pyatspi,
as a screen reader would, and returns the differences it finds from the layout table that
LAYOUT_ROWS prints. run() prints them and returns the exit status: 0 when there are none. Needs
Xvfb, dbus-daemon, at-spi2-core and python3-pyatspi (scripts/packages.txt).
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


class Layout:
    """The layout table as LAYOUT_ROWS prints it: the window's caption and size, and per control
    its name, kind, container, role, spoken name, description, states, tab index, place in
    twips and labelling captions."""

    def __init__(self, layout_rows):
        self.controls = []
        output = subprocess.run([layout_rows], check=True, capture_output=True,
                                text=True).stdout
        for line in output.splitlines():
            fields = line.split("\t")
            if fields[0] == "window":
                self.caption = fields[1]
                self.size = (int(fields[2]), int(fields[3]))
                continue
            keys = ["name", "kind", "in", "role", "spoken", "description", "states", "tab",
                    "left", "top", "width", "height", "labels"]
            control = dict(zip(keys, fields[1:]))
            control["states"] = set(control["states"].split())
            control["labels"] = control["labels"].split()
            for key in ("tab", "left", "top", "width", "height"):
                control[key] = int(control[key])
            self.controls.append(control)
        self.by_name = {c["name"]: c for c in self.controls}

    def pixels(self, control):
        """(x, y, width, height) of a control in the window's coordinates, in whole pixels at
        96 dpi, as the window places it: each length of its place and of its container's."""
        x, y = control["left"] // 15, control["top"] // 15
        if control["in"] != "Korvane":
            container = self.by_name[control["in"]]
            x += container["left"] // 15
            y += container["top"] // 15
        return (x, y, control["width"] // 15, control["height"] // 15)


# The AT-SPI role each role of the window's rules comes out as through Qt's bridge.
ATSPI_ROLES = {
    "editable text": "text",
    "static text": "label",
    "push button": "push button",
    "grouping": "panel",
    "graphic": "image",
}


def expected_node(control):
    """(role, name, description) of a control as a screen reader should get it; None for a
    control that is not to be shown at all."""
    if control["role"] == "none":
        return None  # a line
    return (ATSPI_ROLES[control["role"]], control["spoken"], control["description"])


def node(accessible):
    return (accessible.getRoleName(), accessible.name, accessible.description)


def children(accessible):
    return [accessible.getChildAtIndex(i) for i in range(accessible.childCount)]


def controls_on_bus(window, layout):
    """{control name: accessible} for every control of the window presented, found by what it
    is presented as and, where two have the same (a box and its caption, both "Tp"), by its
    role."""
    found = {}
    by_node = {}
    stack = [window]
    while stack:
        accessible = stack.pop()
        by_node.setdefault(node(accessible), []).append(accessible)
        stack.extend(children(accessible))
    for control in layout.controls:
        expected = expected_node(control)
        matches = by_node.get(expected, []) if expected else []
        if len(matches) == 1:
            found[control["name"]] = matches[0]
    return found


def pump(seconds):
    """Lets the events that have come in reach their listeners, for that long."""
    from gi.repository import GLib

    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.iteration(False):
            pass
        if time.monotonic() >= end:
            return
        time.sleep(0.01)


def run(korvane, layout_rows, check, name="atspi"):
    korvane, layout_rows = os.path.abspath(korvane), os.path.abspath(layout_rows)
    layout = Layout(layout_rows)
    work = tempfile.mkdtemp(prefix="korvane-atspi-")
    os.chmod(work, 0o700)
    session = Session(work)
    try:
        env = dict(os.environ)
        for variable in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "WAYLAND_DISPLAY",
                         "QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "GTK_THEME"):
            env.pop(variable, None)
        env["XDG_RUNTIME_DIR"] = work
        env["HOME"] = work
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
        problems = check(app, layout, env)
        if program.poll() is not None:
            problems.append(f"korvane ended with status {program.returncode}")
        for problem in problems:
            print(f"{name}: {problem}")
        if problems:
            print("korvane's output:\n" + session.log("korvane"))
        return 1 if problems else 0
    except Failure as failure:
        print(f"{name}: {failure}")
        for process_name, process in session.processes:
            state = "running" if process.poll() is None else f"ended, status {process.returncode}"
            print(f"--- {process_name} ({state}):\n{session.log(process_name)}")
        return 1
    finally:
        session.stop()
        shutil.rmtree(work, ignore_errors=True)
