"""Two real files dragged from another program onto the idle orb take the widget out of idle:
the orb goes and a card takes its place."""

import harness
import xwindows
from polling import check, wait_for


def files_dropped_on_orb_leave_idle(session):
    session.start_app()
    orb = session.orb()
    orb_shape = xwindows.input_extents(session.panel)
    files = [
        session.make_file("sales figures.csv", b"region,amount\nnorth,12\nsouth,7\n"),
        session.make_file("settings.json", b'{"volume": 3, "muted": false}\n'),
    ]
    session.drag_from_source(session.settled_centre(orb), ["--files", *files])

    session.a11y.wait_until_not_showing("Drop files here")

    def card_in_place_of_orb():
        shape = xwindows.input_extents(session.panel)
        return shape != orb_shape and xwindows.contains(shape, orb_shape)

    wait_for(card_in_place_of_orb, 10, f"the part of the panel that takes the pointer to grow from the orb's {orb_shape} to a card")
    check(not session.a11y.is_showing("No supported files found"), "the dropped files were taken for an unusable drop")
    session.check_app_running()
    session.screenshot("shell-files-dropped", settled=True)


harness.main(files_dropped_on_orb_leave_idle)
