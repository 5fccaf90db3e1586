"""At start the panel is a frameless 460x460 window above the others, on every desktop, out of
the taskbar and pager, docked to the right edge of the work area with the orb at that edge."""

import harness
import xwindows
from polling import check

PANEL_SIZE = 460
ORB_OFFSET_TOWARD_EDGE = 186
ALL_DESKTOPS = 0xFFFFFFFF


def panel_is_docked_above_on_all_desktops(session):
    panel = session.start_app()
    props = xwindows.properties(panel)
    states = props.get("_NET_WM_STATE", "")
    for state in ("_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"):
        check(state in states, f"_NET_WM_STATE lacks {state}: {states!r}")
    desktop = props.get("_NET_WM_DESKTOP", "")
    check(desktop.strip() == str(ALL_DESKTOPS) or "_NET_WM_STATE_STICKY" in states,
          f"the panel is not on all desktops: _NET_WM_DESKTOP {desktop!r}, _NET_WM_STATE {states!r}")
    check(props.get("_NET_FRAME_EXTENTS", "").replace(" ", "") == "0,0,0,0",
          f"the window manager framed the panel: _NET_FRAME_EXTENTS {props.get('_NET_FRAME_EXTENTS')!r}")

    screen_width, _ = xwindows.screen_size()
    _, area_y, _, area_height = xwindows.work_area()
    x, y, width, height = session.panel_geometry()
    check((width, height) == (PANEL_SIZE, PANEL_SIZE), f"the panel is {width}x{height}")
    check(x == screen_width - PANEL_SIZE, f"the panel is at x = {x}, not {screen_width - PANEL_SIZE}")
    expected_y = area_y + (area_height - PANEL_SIZE) / 2
    check(abs(y - expected_y) <= 1, f"the panel is at y = {y}, not centred in the work area ({expected_y})")

    panel_centre = xwindows.centre((x, y, width, height))
    orb_centre = session.settled_centre(session.orb())
    expected_orb = (panel_centre[0] + ORB_OFFSET_TOWARD_EDGE, panel_centre[1])
    check(all(abs(a - b) <= 2 for a, b in zip(orb_centre, expected_orb)),
          f"the orb's centre is {orb_centre}, not {expected_orb}")
    session.screenshot("shell-idle-right")


harness.main(panel_is_docked_above_on_all_desktops)
