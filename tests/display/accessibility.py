"""The app's controls and texts as the accessibility bus (AT-SPI) shows them, through pyatspi.

Every query reads the tree afresh from the app, with libatspi's cache switched off. Qt
leaves popup menus out of the application's children, so they are found through the
"showing" events they send when they open: each query first hands the events that have
arrived to a listener that keeps the menus.
"""

import pyatspi
from gi.repository import Atspi, Gio, GLib

from polling import ScenarioFailure, wait_for

APP_NAMES = ("vantory", "Vantory")


def bus_is_up():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                          GLib.Variant("(s)", ("org.a11y.Bus",)), GLib.VariantType("(b)"),
                          Gio.DBusCallFlags.NONE, 2000, None)
    return reply.unpack()[0]


class Node:
    """One accessible object, with what the scenarios ask of it."""

    def __init__(self, accessible):
        self.accessible = accessible

    @property
    def name(self):
        return self.accessible.name

    @property
    def role(self):
        return self.accessible.getRoleName()

    def has_state(self, state):
        return self.accessible.getState().contains(state)

    @property
    def showing(self):
        return self.has_state(pyatspi.STATE_SHOWING) and self.has_state(pyatspi.STATE_VISIBLE)

    @property
    def checked(self):
        return self.has_state(pyatspi.STATE_CHECKED)

    def extents(self):
        """(x, y, width, height) on the screen."""
        box = self.accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return (box.x, box.y, box.width, box.height)

    def centre(self):
        x, y, width, height = self.extents()
        return (x + width // 2, y + height // 2)

    def __repr__(self):
        return f"<{self.role} {self.name!r}>"


class _PopupMenus:
    """Popup menus (and submenus) that have shown since the listener started."""

    def __init__(self):
        self.menus = {}
        pyatspi.Registry.registerEventListener(self._on_showing, "object:state-changed:showing")

    def _on_showing(self, event):
        try:
            if event.detail1 and event.source is not None and event.source.getRoleName() in ("popup menu", "menu"):
                self.menus[event.source.path] = event.source
        except GLib.Error:
            pass  # gone again before it could be asked

    def current(self):
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)
        return list(self.menus.values())


class Application:
    def __init__(self, accessible):
        self.accessible = accessible
        self.popup_menus = _PopupMenus()

    @staticmethod
    def find():
        """The vantory application on the accessibility bus, or None."""
        desktop = pyatspi.Registry.getDesktop(0)
        desktop.set_cache_mask(Atspi.Cache.NONE)
        desktop.clear_cache()
        for app in desktop:
            if app is not None and app.name in APP_NAMES:
                app.set_cache_mask(Atspi.Cache.NONE)
                return Application(app)
        return None

    def nodes(self):
        """Every object of the app's tree, windows and popup menus included."""
        self.accessible.clear_cache()
        pending = [self.accessible, *self.popup_menus.current()]
        for menu in pending[1:]:
            yield Node(menu)
        while pending:
            accessible = pending.pop()
            for index in range(accessible.childCount):
                child = accessible.getChildAtIndex(index)
                if child is not None:
                    pending.append(child)
                    yield Node(child)

    def find_all(self, name, role=None):
        return [node for node in self.nodes() if node.name == name and (role is None or node.role == role)]

    def showing(self, name, role=None):
        """The showing object of that name (and role), or None."""
        for node in self.find_all(name, role):
            if node.showing:
                return node
        return None

    def is_showing(self, name, role=None):
        return self.showing(name, role) is not None

    def wait_for_showing(self, name, role=None, timeout=10):
        try:
            return wait_for(lambda: self.showing(name, role), timeout, f"{name!r} to show")
        except ScenarioFailure as failure:
            raise ScenarioFailure(f"{failure}; showing: {self.describe()}") from None

    def wait_until_not_showing(self, name, role=None, timeout=10):
        wait_for(lambda: not self.is_showing(name, role), timeout, f"{name!r} to stop showing")

    def describe(self):
        """The showing objects, for failure messages."""
        return ", ".join(repr(node) for node in self.nodes() if node.name and node.showing)
