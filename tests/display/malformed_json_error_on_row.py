"""A malformed JSON file formatted from the card: every file failed, so the card comes back
with the processor's message in the row's title, and a click on it starts nothing."""

import os
import time

import harness
from polling import check

MESSAGE = "The data couldn\u2019t be read because it isn\u2019t in the correct format."


def runs_logged(session):
    """How many runs the app has logged as failing on bad.json."""
    with open(session.app_log, encoding="utf-8", errors="replace") as log:
        return sum(1 for line in log if "bad.json" in line and MESSAGE in line)


def malformed_json_error_on_row(session):
    session.start_app()
    orb = session.orb()
    bad = session.make_file("bad.json", b'{"name": "Ada", "langs": [')
    session.drag_from_source(session.settled_centre(orb), ["--files", bad])

    format_button = session.settled_centre("Format / Beautify")
    # The message stands for 3.5 s from when the run ends, which is after this click: until
    # then, a reading that finds it gone is a fault however busy the machine is.
    message_stands_until = time.monotonic() + 3.5
    session.click(format_button)
    session.a11y.wait_for_showing(MESSAGE, timeout=20)
    # The card the run replaced may still be fading out with the title.
    session.a11y.wait_until_not_showing("Format / Beautify")
    session.screenshot("actions-row-error")

    before = sorted(os.listdir(session.work_path()))
    runs_before = runs_logged(session)
    check(runs_before == 1, f"{runs_before} runs of bad.json were logged, not 1")
    session.click_on(MESSAGE)
    # Nothing may happen: watched for as long as a run would take to show its card.
    watch_until = time.monotonic() + 2
    while time.monotonic() < watch_until:
        showing = session.a11y.is_showing(MESSAGE)
        # A reading that ends after the message's own time proves nothing.
        if time.monotonic() < message_stands_until:
            check(showing, "the error left the row after a click on it")
        check(runs_logged(session) == runs_before, "a click on the error started a run")
        time.sleep(0.1)
    check(sorted(os.listdir(session.work_path())) == before, "a click on the error wrote something")
    check(session.opened_with_xdg_open() == [], "a click on the error opened a folder")
    session.check_app_running()


harness.main(malformed_json_error_on_row)
