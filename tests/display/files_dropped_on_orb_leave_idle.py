"""Two real files dragged from another program onto the idle orb take the widget out of idle."""

import harness
from polling import check, wait_for


def files_dropped_on_orb_leave_idle(session):
    session.start_app()
    orb = session.orb()
    files = [
        session.make_file("sales figures.csv", b"region,amount\nnorth,12\nsouth,7\n"),
        session.make_file("settings.json", b'{"volume": 3, "muted": false}\n'),
    ]
    session.drag_from_source(orb.centre(), ["--files", *files])
    session.a11y.wait_until_not_showing("Drop files here")

    def card_shows():
        return [node for node in session.a11y.nodes() if node.showing and node.name and node.name != "Drop files here"]

    wait_for(card_shows, 10, "a card to show in place of the orb")
    session.check_app_running()
    session.screenshot("shell-files-dropped")


harness.main(files_dropped_on_orb_leave_idle)
