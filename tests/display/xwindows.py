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


SHAPE_BOUNDING = 0
SHAPE_INPUT = 2


def input_extents(window):
    """(x, y, width, height) inside the window of the part of it that takes the pointer: where
    its shape, which it is drawn in, and its input shape meet. Each is the whole window unless
    the window set one."""
    display = _open_display()
    try:
        drawn = _shape_extents(display, window, SHAPE_BOUNDING)
        taking = _shape_extents(display, window, SHAPE_INPUT)
    finally:
        _libx11().XCloseDisplay(display)
    left, top = max(drawn[0], taking[0]), max(drawn[1], taking[1])
    right = min(drawn[0] + drawn[2], taking[0] + taking[2])
    bottom = min(drawn[1] + drawn[3], taking[1] + taking[3])
    if right <= left or bottom <= top:
        raise RuntimeError(f"window {window} takes the pointer nowhere")
    return (left, top, right - left, bottom - top)


def _shape_extents(display, window, kind):
    count = ctypes.c_int()
    ordering = ctypes.c_int()
    rectangles = _libxext().XShapeGetRectangles(display, window, kind, ctypes.byref(count), ctypes.byref(ordering))
    if not rectangles or count.value == 0:
        return (0, 0, 0, 0)
    try:
        boxes = [rectangles[i] for i in range(count.value)]
        left = min(box.x for box in boxes)
        top = min(box.y for box in boxes)
        return (left, top, max(box.x + box.width for box in boxes) - left, max(box.y + box.height for box in boxes) - top)
    finally:
        _libx11().XFree(rectangles)


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


def active_window():
    """The window the window manager says has the keyboard, or 0."""
    match = re.search(r"window id # (0x[0-9a-fA-F]+)", run("xprop", "-root", "_NET_ACTIVE_WINDOW"))
    return int(match.group(1), 16) if match else 0


_xlib = None


class XImage(ctypes.Structure):
    # The leading fields of Xlib's XImage, as far as they are read here.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


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
        _xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        _xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        _xlib.XDefaultScreen.argtypes = [ctypes.c_void_p]
        _xlib.XDefaultDepth.argtypes = [ctypes.c_void_p, ctypes.c_int]
        _xlib.XCreatePixmap.restype = ctypes.c_ulong
        _xlib.XCreatePixmap.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_uint, ctypes.c_uint, ctypes.c_uint]
        _xlib.XCreateGC.restype = ctypes.c_void_p
        _xlib.XCreateGC.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_void_p]
        _xlib.XSetForeground.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_ulong]
        _xlib.XFillRectangle.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                         ctypes.c_uint, ctypes.c_uint]
        _xlib.XFreeGC.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        _xlib.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int,
                                          ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
        _xlib.XSetWindowBackgroundPixmap.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]
        _xlib.XClearWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        _xlib.XSetCloseDownMode.argtypes = [ctypes.c_void_p, ctypes.c_int]
        _xlib.XGetImage.restype = ctypes.POINTER(XImage)
        _xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                    ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        _xlib.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
        _xlib.XFree.argtypes = [ctypes.c_void_p]
    return _xlib


class XRectangle(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort), ("height", ctypes.c_ushort)]


_xext = None


def _libxext():
    global _xext
    if _xext is None:
        _xext = ctypes.CDLL(ctypes.util.find_library("Xext"))
        _xext.XShapeGetRectangles.restype = ctypes.POINTER(XRectangle)
        _xext.XShapeGetRectangles.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                              ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
    return _xext


def _open_display():
    display = _libx11().XOpenDisplay(None)
    if not display:
        raise RuntimeError("cannot open the X display")
    return display


def paint_desktop(rgb):
    """Gives the desktop behind every window one colour, also as the compositor draws it (from
    the root pixmap property), so that what a window lets through can be told from it."""
    xlib = _libx11()
    display = _open_display()
    try:
        root = xlib.XDefaultRootWindow(display)
        pixmap = xlib.XCreatePixmap(display, root, 1, 1, xlib.XDefaultDepth(display, xlib.XDefaultScreen(display)))
        gc = xlib.XCreateGC(display, pixmap, 0, None)
        red, green, blue = rgb
        xlib.XSetForeground(display, gc, (red << 16) | (green << 8) | blue)
        xlib.XFillRectangle(display, pixmap, gc, 0, 0, 1, 1)
        xlib.XFreeGC(display, gc)
        value = ctypes.c_ulong(pixmap)
        pixmap_type = 20  # XA_PIXMAP
        for name in (b"_XROOTPMAP_ID", b"_XSETROOT_ID"):
            xlib.XChangeProperty(display, root, xlib.XInternAtom(display, name, 0), pixmap_type, 32, 0,
                                 ctypes.byref(value), 1)
        xlib.XSetWindowBackgroundPixmap(display, root, pixmap)
        xlib.XClearWindow(display, root)
        # The pixmap outlives this connection.
        xlib.XSetCloseDownMode(display, 1)  # RetainPermanent
    finally:
        xlib.XCloseDisplay(display)


class ScreenReader:
    """Reads parts of the screen as drawn, compositor included, over a connection of its own."""

    def __init__(self):
        self._display = _open_display()
        self._root = _libx11().XDefaultRootWindow(self._display)

    def close(self):
        _libx11().XCloseDisplay(self._display)

    def grab(self, area):
        """The pixels of (x, y, width, height) as rows of 4-byte blue, green, red, unused."""
        x, y, width, height = area
        xlib = _libx11()
        image = xlib.XGetImage(self._display, self._root, x, y, width, height, 0xFFFFFFFF, 2)  # ZPixmap
        if not image:
            raise RuntimeError(f"cannot read the screen at {area}")
        try:
            contents = image.contents
            if contents.bits_per_pixel != 32:
                raise RuntimeError(f"the screen has {contents.bits_per_pixel} bits a pixel, not 32")
            return contents.bytes_per_line, ctypes.string_at(contents.data, contents.bytes_per_line * height)
        finally:
            xlib.XDestroyImage(image)


def selection_owner(selection):
    """The window that owns the selection (a tray host, a compositor, a drag), or 0."""
    xlib = _libx11()
    display = _open_display()
    try:
        return xlib.XGetSelectionOwner(display, xlib.XInternAtom(display, selection.encode(), 0))
    finally:
        xlib.XCloseDisplay(display)
