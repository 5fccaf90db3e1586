"""Runs one scenario of the Vantory shell on an X display of its own.

A scenario is a function that takes a `Session`; `main(scenario)` gives it a private
home, XDG folders and runtime folder, a D-Bus session with the accessibility bus,
Xvfb, openbox, xcompmgr and trayer, and tears all of it down afterwards, also when the
scenario fails or the test is killed. Each scenario is a script ending in
`harness.main(scenario)`; CTest runs it with /usr/bin/python3, where pyatspi lives:

    /usr/bin/python3 SCENARIO.py --app PATH --drag-source PATH --screens DIR

Every wait polls a condition against a deadline; nothing waits for a fixed time. Controls
are clicked through `Session.click_on`, which waits for the control to stop moving and
never lets two clicks at one place make a double-click. A scenario fails when the app
logged a Qt warning it did not declare with `Session.expect_qt_warning`.
"""

import argparse
import itertools
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
import urllib.parse

import accessibility
import frames
import xwindows
from polling import ScenarioFailure, check, wait_for, wait_until, wait_until_settled

# Marks every process of one run, also those the D-Bus daemon starts on demand, so the
# last clean-up can find them.
SESSION_MARKER = "VANTORY_DISPLAY_SESSION"
SCREEN_SIZE = (1280, 800)
START_TIMEOUT = 20
PROCESS_EXIT_TIMEOUT = 5
TRAY_ICON_MAX_SIZE = 64
CONTROL_TIMEOUT = 10
# Qt's own double-click interval and distance where no desktop settings say otherwise; a
# second press sooner than that and no farther along either axis is a double-click. The
# margin covers the server's time stamps, which Qt compares, lagging behind ours.
DOUBLE_CLICK_INTERVAL = 0.4
DOUBLE_CLICK_DISTANCE = 5
DOUBLE_CLICK_MARGIN = 0.05
# Every Qt message of the processes started here begins with its kind, so the harness
# can tell Qt's warnings from what the program prints itself.
QT_MESSAGE_PATTERN = "[qt %{type}] %{if-category}%{category}: %{endif}%{message}"
QT_WARNING = re.compile(r"^\[qt (warning|critical|fatal)\] (.*)$", re.MULTILINE)


class Session:
    """What a scenario works with: the display, the app, the drag source and their files."""

    def __init__(self, options, root):
        self.options = options
        self.root = root
        self.env = dict(os.environ)
        self.processes = []
        self.app = None
        self.drag_source = None
        self.drag_source_window = None
        self.drag_source_log = None
        self.drags = 0
        self.app_log = os.path.join(root, "app.log")
        self.expected_qt_warnings = []
        self._last_click = None  # (monotonic time, point)

    # Paths of the private environment.

    @property
    def config_home(self):
        return self.env["XDG_CONFIG_HOME"]

    def work_path(self, *parts):
        return os.path.join(self.root, "work", *parts)

    def make_file(self, name, content):
        """Writes a file in the scenario's work folder; a bytes name may be any bytes but '/'."""
        path = os.path.join(self.work_path(), os.fsdecode(name))
        with open(path, "wb") as file:
            file.write(content)
        return path

    def opened_with_xdg_open(self):
        """The argument lists of every xdg-open call so far, oldest first."""
        log = self.env["VANTORY_XDG_OPEN_LOG"]
        if not os.path.exists(log):
            return []
        with open(log, encoding="utf-8", errors="surrogateescape") as lines:
            return [line.rstrip("\n").split("\t") for line in lines]

    def opened_paths(self):
        """The paths xdg-open was asked to open so far, file URLs decoded, oldest first."""
        paths = []
        for arguments in self.opened_with_xdg_open():
            for argument in arguments:
                if argument.startswith("file://"):
                    argument = urllib.parse.unquote(argument[len("file://"):])
                paths.append(argument)
        return paths

    # The display stack.

    def start_display(self):
        self._start_xvfb()
        self._start_service("openbox", ["openbox", "--sm-disable"],
                            lambda: xwindows.root_has_property("_NET_SUPPORTING_WM_CHECK"))
        # Before the compositor starts, which reads the desktop's colour once.
        xwindows.paint_desktop(frames.DESKTOP)
        self._start_service("xcompmgr", ["xcompmgr"], lambda: xwindows.selection_owner("_NET_WM_CM_S0"))
        self._start_service(
            "trayer",
            ["trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24",
             "--SetDockType", "true", "--SetPartialStrut", "false", "--transparent", "true", "--alpha", "0",
             "--tint", "0x404040"],
            lambda: xwindows.selection_owner("_NET_SYSTEM_TRAY_S0"),
            extra_env={"NO_AT_BRIDGE": "1"},
        )
        # The tray reserves no strut: the window manager does not always see one set this
        # early, and a work area that changes under the app would move the panel mid-test.
        self._start_service("at-spi-bus-launcher", ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                            accessibility.bus_is_up)

    def _start_service(self, name, command, ready, extra_env=None):
        """Starts a part of the desktop and waits until it has announced itself.

        One that quits before that is started once more: these are the desktop's parts,
        not what is tested, and a failure says which one and why.
        """
        for attempt in (1, 2):
            process = self._start(name, command, extra_env=extra_env)

            def ready_or_gone():
                return process.poll() is not None or ready()

            wait_for(ready_or_gone, START_TIMEOUT, f"{name} to start")
            if process.poll() is None:
                return
            log = _read_text(os.path.join(self.root, f"{name}.log")).strip()
            print(f"{name} quit with status {process.returncode} at start (attempt {attempt}): {log[-2000:]}")
            self.processes.remove(process)
        raise ScenarioFailure(f"{name} does not start")

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        width, height = SCREEN_SIZE
        self._start(
            "Xvfb",
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp",
             "+extension", "COMPOSITE"],
            pass_fds=(write_end,),
        )
        os.close(write_end)
        number = _read_line(read_end, START_TIMEOUT, "Xvfb to report its display number")
        os.close(read_end)
        self.env["DISPLAY"] = f":{number}"
        os.environ["DISPLAY"] = self.env["DISPLAY"]

    def _start(self, name, command, extra_env=None, pass_fds=(), log=None):
        env = dict(self.env, **(extra_env or {}))
        output = open(log or os.path.join(self.root, f"{name}.log"), "ab")
        process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=output, stderr=output,
                                   pass_fds=pass_fds)
        output.close()
        self.processes.append(process)
        return process

    def stop(self, process):
        if process.poll() is None:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(PROCESS_EXIT_TIMEOUT)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        if process in self.processes:
            self.processes.remove(process)

    def stop_all(self):
        for process in reversed(list(self.processes)):
            self.stop(process)

    # The app.

    def start_app(self):
        """Starts vantory and waits until its panel is mapped and its accessible tree is there."""
        self.app = self._start("vantory", [self.options.app], log=self.app_log)
        self.panel = wait_for(self._panel_window, START_TIMEOUT, "the panel window (WM_CLASS vantory, title Vantory)")
        wait_for(lambda: xwindows.is_viewable(self.panel), START_TIMEOUT, "the panel to be mapped")
        self.a11y = wait_for(accessibility.Application.find, START_TIMEOUT, "vantory on the accessibility bus")
        return self.panel

    def _panel_window(self):
        self.check_app_running()
        return xwindows.find_window(instance="vantory", window_class="Vantory", title="Vantory")

    def tray_icon(self):
        """The app's icon window in the tray host, once it is mapped."""

        def icon():
            for window in xwindows.find_windows(instance="vantory"):
                if window != self.panel and xwindows.is_viewable(window):
                    _, _, width, height = xwindows.geometry(window)
                    if width <= TRAY_ICON_MAX_SIZE and height <= TRAY_ICON_MAX_SIZE:
                        return window
            return None

        return wait_for(icon, START_TIMEOUT, "the tray icon to be embedded in the tray host")

    def check_app_running(self):
        code = self.app.poll()
        check(code is None, f"vantory exited with status {code}")

    def wait_for_panel_map_state(self, expected, timeout=10):
        seen = []

        def reached():
            seen.append(xwindows.map_state(self.panel))
            return seen[-1] == expected

        try:
            wait_for(reached, timeout, f"the panel's map state {expected}")
        except ScenarioFailure as failure:
            raise ScenarioFailure(f"{failure}; it stayed {seen[-1] if seen else 'unknown'}") from None

    def keys_typed_into_drag_source(self):
        """The text of every key the drag source's window received, in order."""
        return "".join(line[len("key "):] for line in _read_text(self.drag_source_log).splitlines()
                       if line.startswith("key "))

    def tray_host_geometry(self):
        """Where the tray host's bar is on the screen: (x, y, width, height)."""
        return xwindows.geometry(wait_for(lambda: xwindows.find_window(instance="panel", window_class="trayer"),
                                          START_TIMEOUT, "the tray host's bar"))

    def area_top(self):
        """The top of the work area, where a panel docked to the top edge sits."""
        return xwindows.work_area()[1]

    def panel_geometry(self):
        return xwindows.geometry(self.panel)

    def orb(self):
        """The idle orb, once it is showing."""
        return self.a11y.wait_for_showing("Drop files here")

    # Input.

    def click(self, point, button=1):
        """Clicks at a point on the screen. A click near the last one waits out the double-click
        interval first, so that it is a click of its own."""
        if self._last_click is not None:
            clicked_at, last_point = self._last_click
            if max(abs(point[0] - last_point[0]), abs(point[1] - last_point[1])) <= DOUBLE_CLICK_DISTANCE:
                wait_until(clicked_at + DOUBLE_CLICK_INTERVAL + DOUBLE_CLICK_MARGIN)
        xwindows.move_pointer(point)
        xwindows.xdotool("click", str(button))
        self._last_click = (time.monotonic(), tuple(point))

    def double_click(self, point, gap):
        """Two clicks at one point, `gap` seconds apart: a double-click when the gap is shorter
        than the double-click interval."""
        check(gap < DOUBLE_CLICK_INTERVAL, f"clicks {gap} s apart are not a double-click")
        self._last_click = None
        self.click(point)
        wait_until(self._last_click[0] + gap)
        xwindows.xdotool("click", "1")
        self._last_click = (time.monotonic(), tuple(point))

    def settled_extents(self, target, role=None, timeout=CONTROL_TIMEOUT):
        """Where a control is once it has stopped moving: (x, y, width, height) on the screen.

        `target` is an accessible name (the showing object of that name and role), a Node, or
        an X window id. A card that unfolds, grows or slides moves its controls for a while
        after they show; a position read before it settles would miss them.
        """
        if isinstance(target, str):
            self.a11y.wait_for_showing(target, role, timeout=timeout)

            def read():
                node = self.a11y.showing(target, role)
                return node.extents() if node is not None else None
        elif isinstance(target, int):
            def read():
                return xwindows.geometry(target)
        else:
            read = target.extents
        return wait_until_settled(read, timeout, f"the position of {target!r}")

    def settled_centre(self, target, role=None, timeout=CONTROL_TIMEOUT):
        return xwindows.centre(self.settled_extents(target, role, timeout))

    def click_on(self, target, role=None, timeout=CONTROL_TIMEOUT):
        """Clicks the centre of a control once it has stopped moving; see settled_extents."""
        point = self.settled_centre(target, role, timeout)
        self.click(point)
        return point

    def wait_for_keyboard(self, name, timeout=CONTROL_TIMEOUT):
        """The showing text box of that name, once it has the keyboard."""
        return wait_for(lambda: self._focused(name), timeout, f"{name!r} to have the keyboard")

    def _focused(self, name):
        node = self.a11y.showing(name)
        return node if node is not None and node.has_state(accessibility.pyatspi.STATE_FOCUSED) else None

    def type_into(self, name, text, replace=False, click=True):
        """Clicks the text box of that name, waits until it has the keyboard and types the text,
        first selecting and deleting what it held when `replace`; returns the box's node."""
        if click:
            self.click_on(name)
        field = self.wait_for_keyboard(name)
        if replace:
            xwindows.xdotool("key", "ctrl+a", "BackSpace")
            wait_for(lambda: field_text_length(field) == 0, CONTROL_TIMEOUT, f"{name!r} to be emptied")
        xwindows.xdotool("type", "--delay", "20", text)
        return field

    def drag_with_mouse(self, start, end, steps=12):
        """Presses at start, moves in steps to end and releases: a move of the panel itself."""
        self.press_and_move(start, end, steps)
        self.release()

    def press_and_move(self, start, end, steps=12):
        """The first half of drag_with_mouse: the button stays down at end."""
        xwindows.move_pointer(start)
        xwindows.xdotool("mousedown", "1")
        for point in _steps(start, end, steps):
            xwindows.move_pointer(point)

    def release(self):
        xwindows.xdotool("mouseup", "1")

    def drag_from_source(self, target, payload_arguments):
        """Drags what vantory_drag_source offers onto target and drops it there.

        The drag source prints when its drag has started and when the target has accepted
        it; each step waits for that, so the drop is not sent before the target has seen
        the drag. The source's own result is not looked at.
        """
        # The target asks for the data after the drop, when the source's drag has already
        # returned: a source stays until the next drag or the end of the scenario.
        if self.drag_source is not None:
            self.stop(self.drag_source)
        self.drags += 1
        source_log = os.path.join(self.root, f"drag-source-{self.drags}.log")
        # Kept off the accessibility bus: it is not under test, and inside its drag loop it
        # answers no calls there.
        source = self.drag_source = self._start(
            "vantory_drag_source", [self.options.drag_source, *payload_arguments], log=source_log,
            extra_env={"QT_ACCESSIBILITY": "0", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "0"})
        self.drag_source_log = source_log
        window = self.drag_source_window = wait_for(lambda: xwindows.find_window(window_class="vantory_drag_source"),
                                                    START_TIMEOUT, "the drag source window")
        wait_for(lambda: xwindows.is_viewable(window), START_TIMEOUT, "the drag source window to be mapped")
        start = xwindows.centre(xwindows.geometry(window))
        xwindows.move_pointer(start)
        xwindows.xdotool("mousedown", "1")

        nudges = itertools.cycle((20, 24))

        def started():
            # Each move past the start distance may be the one that starts the drag.
            offset = next(nudges)
            xwindows.move_pointer((start[0] + offset, start[1] + 20))
            return "drag started" in _read_text(source_log)

        wait_for(started, START_TIMEOUT, "the drag source to start its drag")
        for point in _steps(start, target, 16):
            xwindows.move_pointer(point)
        wiggle = itertools.cycle((1, 0))

        def accepted():
            # A target answers every position; a small move asks again.
            xwindows.move_pointer((target[0] + next(wiggle), target[1]))
            return "target accepts" in _read_text(source_log)

        wait_for(accepted, START_TIMEOUT, "vantory to accept the drag")
        xwindows.xdotool("mouseup", "1")
        wait_for(lambda: "drag finished" in _read_text(source_log), START_TIMEOUT, "the drag to end")

    # Qt's warnings.

    def expect_qt_warning(self, pattern):
        """Lets the app log Qt warnings that match this regular expression."""
        self.expected_qt_warnings.append(re.compile(pattern))

    def check_qt_warnings(self):
        """Fails when the app's log holds a Qt warning that no expectation covers."""
        unexpected = [message for message in qt_warnings(_read_text(self.app_log))
                      if not any(pattern.search(message) for pattern in self.expected_qt_warnings)]
        check(not unexpected, "the app logged Qt warnings:\n  " + "\n  ".join(unexpected))

    # Evidence.

    def screenshot(self, name, settled=False):
        """Saves the screen under build/screens/. With `settled`, first waits (a few seconds at
        most) for the panel to stop changing, so a card caught in a cross-fade is pictured
        whole; a card that never stops moving (a spinner) is pictured as it is."""
        if settled:
            self._wait_for_still_panel()
        os.makedirs(self.options.screens, exist_ok=True)
        path = os.path.join(self.options.screens, f"{name}.png")
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        print(f"screenshot: {path}")
        return path

    def _wait_for_still_panel(self, timeout=3):
        try:
            with frames.Recorder(self.panel_geometry()) as recorder:
                recorder.wait_until_still(timeout)
        except ScenarioFailure:
            print("the panel was still changing; pictured as it is", flush=True)

    def print_logs(self):
        for name in sorted(os.listdir(self.root)):
            if name.endswith(".log"):
                text = _read_text(os.path.join(self.root, name)).strip()
                if text:
                    print(f"--- {name} ---\n{text[-4000:]}", file=sys.stderr)


def field_text_length(node):
    """How many characters a text box holds, as the accessibility bus tells."""
    return node.accessible.queryText().characterCount


def qt_warnings(log):
    """The Qt warnings, critical messages and fatal errors in a process's output, each as
    kind: message."""
    return [f"{kind}: {message}" for kind, message in QT_WARNING.findall(log)]


def _steps(start, end, count):
    for i in range(1, count + 1):
        yield (round(start[0] + (end[0] - start[0]) * i / count), round(start[1] + (end[1] - start[1]) * i / count))


def _read_text(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as text:
            return text.read()
    except FileNotFoundError:
        return ""


def _read_line(fd, timeout, what):
    data = b""

    def line_complete():
        nonlocal data
        if select.select([fd], [], [], 0.05)[0]:
            chunk = os.read(fd, 64)
            if not chunk:
                raise ScenarioFailure(f"pipe closed while waiting for {what}")
            data += chunk
        return b"\n" in data

    wait_for(line_complete, timeout, what, interval=0)
    return data.decode().strip()


# Running a scenario: the outer process makes the private folders and starts the D-Bus
# session; the inner one, inside that session, starts the display and runs the scenario.


def main(scenario):
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", required=True)
    parser.add_argument("--drag-source", required=True)
    parser.add_argument("--screens", required=True)
    options = parser.parse_args()
    if SESSION_MARKER in os.environ:
        sys.exit(_run_inside_session(scenario, options))
    sys.exit(_run_outside_session())


def _run_outside_session():
    root = tempfile.mkdtemp(prefix="vantory-display-")
    env = _private_environment(root)
    # Turn CTest's SIGTERM on a time-out into an exception, so the clean-up below runs.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    session = None
    try:
        session = subprocess.Popen(["dbus-run-session", "--", sys.executable, *sys.argv], env=env,
                                   start_new_session=True)
        return session.wait()
    finally:
        if session is not None:
            _end_process_group(session)
        _end_marked_processes(env[SESSION_MARKER])
        shutil.rmtree(root, ignore_errors=True)


def _private_environment(root):
    folders = {
        "HOME": "home",
        "XDG_CONFIG_HOME": "config",
        "XDG_DATA_HOME": "data",
        "XDG_CACHE_HOME": "cache",
        "XDG_RUNTIME_DIR": "runtime",
        "TMPDIR": "tmp",
    }
    env = {key: value for key, value in os.environ.items()
           if key not in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS",
                          "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP", "SESSION_MANAGER")}
    for key, folder in folders.items():
        path = os.path.join(root, folder)
        os.makedirs(path, mode=0o700)
        env[key] = path
    os.makedirs(os.path.join(root, "work"))
    bin_dir = os.path.join(root, "bin")
    os.makedirs(bin_dir)
    env["VANTORY_XDG_OPEN_LOG"] = os.path.join(root, "xdg-open.log")
    _write_xdg_open_stub(os.path.join(bin_dir, "xdg-open"))
    env["PATH"] = bin_dir + os.pathsep + env.get("PATH", "/usr/bin:/bin")
    env["QT_QPA_PLATFORM"] = "xcb"
    env["QT_ACCESSIBILITY"] = "1"
    env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    # Qt may send its messages to the journal instead, where the harness cannot read them.
    env["QT_FORCE_STDERR_LOGGING"] = "1"
    env["QT_MESSAGE_PATTERN"] = QT_MESSAGE_PATTERN
    env[SESSION_MARKER] = root
    return env


def _write_xdg_open_stub(path):
    # One line per call, the arguments separated by tabs.
    with open(path, "w") as stub:
        stub.write('#!/bin/sh\n(IFS="$(printf \'\\t\')"; printf \'%s\\n\' "$*") >> "$VANTORY_XDG_OPEN_LOG"\n')
    os.chmod(path, 0o755)


def _end_process_group(leader):
    """Ends every process in the leader's group, politely first."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(leader.pid, sig)
        except ProcessLookupError:
            return
        deadline = time.monotonic() + PROCESS_EXIT_TIMEOUT
        while time.monotonic() < deadline:
            leader.poll()  # the leader is our child: until reaped it keeps the group alive
            if not _group_has_live_members(leader.pid):
                return
            time.sleep(0.05)


def _group_has_live_members(group):
    """Whether a process of the group is still running. Members that have ended but wait to
    be reaped by an init that takes its time count as gone: they hold nothing any more."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat", "rb") as stat:
                # The command name in brackets may hold spaces: the fields follow its end.
                fields = stat.read().rsplit(b")", 1)[1].split()
        except (FileNotFoundError, ProcessLookupError, PermissionError):
            continue
        if int(fields[2]) == group and fields[0] != b"Z":
            return True
    return False


def _end_marked_processes(marker):
    """Kills what is left that carries this run's marker: services the bus started on demand."""
    needle = f"{SESSION_MARKER}={marker}".encode()
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as environ:
                if needle in environ.read().split(b"\0"):
                    os.kill(int(entry), signal.SIGKILL)
        except (FileNotFoundError, ProcessLookupError, PermissionError):
            continue


def _run_inside_session(scenario, options):
    session = Session(options, os.environ[SESSION_MARKER])
    # A picture of an earlier failure would only mislead.
    stale = os.path.join(options.screens, f"failed-{scenario.__name__}.png")
    if os.path.exists(stale):
        os.remove(stale)
    try:
        session.start_display()
        scenario(session)
        if session.app is not None:
            # What it says on its way out counts too.
            session.stop(session.app)
            session.check_qt_warnings()
        print(f"{scenario.__name__}: passed")
        return 0
    except BaseException:
        traceback.print_exc()
        session.print_logs()
        try:
            session.screenshot(f"failed-{scenario.__name__}")
        except Exception:
            pass
        return 1
    finally:
        session.stop_all()
