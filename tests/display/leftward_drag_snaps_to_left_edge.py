"""The orb dragged far to the left snaps the panel to the left edge, the orb against it."""

import harness
import xwindows
from polling import check, wait_for

ORB_OFFSET_TOWARD_EDGE = 186


def leftward_drag_snaps_to_left_edge(session):
    session.start_app()
    start = session.settled_centre(session.orb())
    x, _, width, _ = session.panel_geometry()
    # Far enough that the panel's centre ends nearer the left edge than any other.
    end = (start[0] - x - width // 2 + 60, start[1])
    session.drag_with_mouse(start, end)

    wait_for(lambda: session.panel_geometry()[0] == 0, 10,
             "the panel to snap to x = 0", )
    panel_centre = xwindows.centre(session.panel_geometry())
    expected_orb_x = panel_centre[0] - ORB_OFFSET_TOWARD_EDGE

    def orb_hugs_left_edge():
        orb = session.a11y.showing("Drop files here")
        return orb is not None and abs(orb.centre()[0] - expected_orb_x) <= 2

    wait_for(orb_hugs_left_edge, 10, f"the orb's centre to move to x = {expected_orb_x}")
    session.check_app_running()
    session.screenshot("shell-snapped-left")


harness.main(leftward_drag_snaps_to_left_edge)
