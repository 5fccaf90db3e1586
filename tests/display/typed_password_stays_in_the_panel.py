"""A password row opened by a click on its header, with a second click at the same place
right after it, where the first box slides in: what is typed then goes into that box, and
none of it reaches the window the files were dragged from, which had the keyboard. Folding
the row gives the keyboard back to that window."""

import os

import harness
import xwindows
from polling import check, wait_for

PASSWORD = "plum tree 7"
# Long enough for the box to come to rest under the pointer, short enough that the second
# click is a double-click.
SECOND_CLICK_AFTER = 0.25


def drag_source_has_keyboard(session):
    wait_for(lambda: xwindows.active_window() == session.drag_source_window, 10, "the drag source to have the keyboard")


def typed_password_stays_in_the_panel(session):
    session.start_app()
    folder = session.work_path("tax papers")
    os.makedirs(folder)
    with open(os.path.join(folder, "receipts.txt"), "w") as note:
        note.write("Three receipts from March.\n")
    session.drag_from_source(session.settled_centre(session.orb()), ["--files", folder])
    drag_source_has_keyboard(session)

    # Where the first box comes to rest once the row is open, seen by opening it once.
    folded_header = session.settled_extents("Protect with Password")
    session.click(xwindows.centre(folded_header))
    box = session.settled_centre("Password")
    session.click_on("Protect with Password")
    session.a11y.wait_until_not_showing("Password")
    drag_source_has_keyboard(session)
    check(xwindows.contains(folded_header, (*box, 1, 1)),
          f"the open row's box at {box} is not over the folded header {folded_header}: the gesture would miss it")

    session.double_click(box, SECOND_CLICK_AFTER)
    field = session.type_into("Password", PASSWORD, click=False)
    wait_for(lambda: harness.field_text_length(field) == len(PASSWORD), 5, "the typed password in the box")
    check(session.keys_typed_into_drag_source() == "",
          f"the drag source received {session.keys_typed_into_drag_source()!r}")

    session.click_on("Protect with Password")
    drag_source_has_keyboard(session)
    xwindows.xdotool("type", "z")
    wait_for(lambda: session.keys_typed_into_drag_source() == "z", 5, "the drag source to get the key typed after folding")
    session.check_app_running()


harness.main(typed_password_stays_in_the_panel)
