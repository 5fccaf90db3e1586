"""X windows as the tests see them from outside: xdotool, xprop, xwininfo and, for the
selection owners that no command-line tool shows, libX11 itself. Uses $DISPLAY."""

import ctypes
import ctypes.util
import re
import subprocess


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True, errors="replace").stdout


def xdotool(*arguments):
    return run("xdotool", *arguments)


def pointer_position():
    text = xdotool("getmouselocation", "--shell")
    return (int(re.search(r"X=(-?\d+)", text).group(1)), int(re.search(r"Y=(-?\d+)", text).group(1)))


def move_pointer(point):
    """Moves the pointer and returns once the server has it there."""
    # --sync waits for the pointer to move, so it would hang on a move to where it is.
    if pointer_position() != tuple(point):
        xdotool("mousemove", "--sync", str(point[0]), str(point[1]))


def find_window(instance=None, window_class=None, title=None):
    """The one window whose WM_CLASS and title match exactly (None: any), or None."""
    found = find_windows(instance, window_class, title)
    return found[0] if len(found) == 1 else None


def find_windows(instance=None, window_class=None, title=None):
    """Every window whose WM_CLASS and title match exactly (None: any)."""
    # xdotool matches without case and cannot combine a name with a class: it only
    # gathers the candidates.
    search = ["--classname", instance] if instance else ["--class", window_class]
    candidates = subprocess.run(["xdotool", "search", *search], capture_output=True, text=True).stdout.split()
    return [int(window) for window in candidates if _matches(int(window), instance, window_class, title)]


def _matches(window, instance, window_class, title):
    # The title is the ICCCM WM_NAME: Qt gives its tray icon window the application's
    # name as _NET_WM_NAME, but no WM_NAME.
    text = subprocess.run(["xprop", "-id", str(window), "WM_CLASS", "WM_NAME"], capture_output=True, text=True,
                          errors="replace").stdout
    class_match = re.search(r'WM_CLASS\(STRING\) = "([^"]*)", "([^"]*)"', text)
    name_match = re.search(r'WM_NAME\((?:UTF8_)?STRING\) = "((?:[^"\\]|\\.)*)"', text)
    actual_instance, actual_class = class_match.groups() if class_match else (None, None)
    actual_title = name_match.group(1) if name_match else None
    return ((instance is None or actual_instance == instance) and (window_class is None or actual_class == window_class)
            and (title is None or actual_title == title))


def geometry(window):
    """(x, y, width, height) of the window on the screen."""
    info = run("xwininfo", "-id", str(window))
    fields = {key: int(re.search(rf"{key}:\s+(-?\d+)", info).group(1))
              for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")}
    return (fields["Absolute upper-left X"], fields["Absolute upper-left Y"], fields["Width"], fields["Height"])


# Map states as xwininfo spells them.
VIEWABLE = "IsViewable"
UNMAPPED = "IsUnMapped"


def map_state(window):
    """VIEWABLE, UNMAPPED or IsUnviewable (mapped under an unmapped parent)."""
    return re.search(r"Map State:\s+(\w+)", run("xwininfo", "-id", str(window))).group(1)


def is_viewable(window):
    return map_state(window) == VIEWABLE


def shape_extents(window):
    """(x, y, width, height) of the window's shape inside it: the part that is drawn and takes input."""
    info = run("xwininfo", "-shape", "-id", str(window))
    match = re.search(r"Window shape extents:\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+)", info)
    if match is None:
        raise RuntimeError(f"window {window} has no shape")
    width, height, x, y = (int(value) for value in match.groups())
    return (x, y, width, height)


def contains(outer, inner):
    ox, oy, ow, oh = outer
    ix, iy, iw, ih = inner
    return ox <= ix and oy <= iy and ix + iw <= ox + ow and iy + ih <= oy + oh


def centre(rectangle):
    x, y, width, height = rectangle
    return (x + width // 2, y + height // 2)


def properties(window):
    """The window's properties as xprop prints them: name -> value text."""
    values = {}
    for line in run("xprop", "-id", str(window)).splitlines():
        match = re.match(r"([A-Za-z_][A-Za-z0-9_]*)(?:\([^)]*\))?\s*(?:=|:)\s*(.*)", line)
        if match:
            values[match.group(1)] = match.group(2)
    return values


def root_has_property(name):
    return subprocess.run(["xprop", "-root", name], capture_output=True, text=True).stdout.find("not found") < 0


def screen_size():
    info = run("xwininfo", "-root")
    return (int(re.search(r"Width:\s+(\d+)", info).group(1)), int(re.search(r"Height:\s+(\d+)", info).group(1)))


def work_area():
    """(x, y, width, height) of the screen less the docks, as the window manager publishes it."""
    text = run("xprop", "-root", "_NET_WORKAREA")
    return tuple(int(value) for value in re.findall(r"-?\d+", text.split("=", 1)[1])[:4])


_xlib = None


def _libx11():
    global _xlib
    if _xlib is None:
        _xlib = ctypes.CDLL(ctypes.util.find_library("X11"))
        _xlib.XOpenDisplay.restype = ctypes.c_void_p
        _xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        _xlib.XInternAtom.restype = ctypes.c_ulong
        _xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        _xlib.XGetSelectionOwner.restype = ctypes.c_ulong
        _xlib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        _xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    return _xlib


def selection_owner(selection):
    """The window that owns the selection (a tray host, a compositor, a drag), or 0."""
    xlib = _libx11()
    display = xlib.XOpenDisplay(None)
    if not display:
        raise RuntimeError("cannot open the X display")
    try:
        return xlib.XGetSelectionOwner(display, xlib.XInternAtom(display, selection.encode(), 0))
    finally:
        xlib.XCloseDisplay(display)
