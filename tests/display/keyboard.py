"""Using the panel from the keyboard, and what it tells assistive tools, through AT-SPI."""

import pyatspi

import xwindows
from polling import wait_for


def focused(app):
    """The names of the showing objects that say they have the keyboard focus: the control
    that has it, and a box around it that hands the focus on to it."""
    return [node.name for node in app.nodes() if node.has_state(pyatspi.STATE_FOCUSED) and node.showing]


def wait_for_focus(app, name, timeout=10):
    seen = []

    def reached():
        seen.append(focused(app))
        return name in seen[-1]

    try:
        wait_for(reached, timeout, f"{name!r} to have the keyboard focus")
    except AssertionError as failure:
        raise type(failure)(f"{failure}; the focus is on {seen[-1] if seen else None!r}") from None


def press(key):
    xwindows.xdotool("key", key)


def is_private_use(character):
    code = ord(character)
    return 0xE000 <= code <= 0xF8FF or code >= 0xF0000


def glyph_names(app):
    """The objects whose names hold an icon font's private-use characters."""
    return [node for node in app.nodes() if node.name and any(is_private_use(c) for c in node.name)]


def unnamed_controls(app):
    """The showing buttons and text boxes that assistive tools would find without a name."""
    controls = ("push button", "toggle button", "password text", "text", "page tab")
    return [node for node in app.nodes() if node.role in controls and node.showing and not node.name]
