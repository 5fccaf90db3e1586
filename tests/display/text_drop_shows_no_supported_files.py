"""Text dragged onto the orb is no file: the widget says so and goes back to idle."""

import harness


def text_drop_shows_no_supported_files(session):
    session.start_app()
    orb = session.orb()
    session.drag_from_source(session.settled_centre(orb), ["--text", "a few words, not a file"])
    session.a11y.wait_for_showing("No supported files found")
    session.screenshot("shell-text-drop-error")
    session.a11y.wait_until_not_showing("No supported files found")
    session.orb()
    session.check_app_running()


harness.main(text_drop_shows_no_supported_files)
