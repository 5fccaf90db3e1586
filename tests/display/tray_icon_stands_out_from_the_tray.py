"""The tray icon on the dark tray of the display stack: its arrows are drawn in a colour that
stands out from the tray behind them, as a line drawing must (a contrast of at least 3)."""

import harness
import screen_pixels
import xwindows
from polling import check, wait_for

LEGIBLE_CONTRAST = 3
# Anything drawn at all differs from the tray by this much.
DRAWN_CONTRAST = 1.3


def tray_icon_stands_out_from_the_tray(session):
    session.start_app()
    area = xwindows.geometry(session.tray_icon())

    def drawn_icon():
        pixels = screen_pixels.grab(area)
        tray = screen_pixels.edge_colour(pixels)
        strongest = max(screen_pixels.contrast(pixel, tray) for row in pixels for pixel in row)
        return (tray, strongest) if strongest >= DRAWN_CONTRAST else None

    tray, strongest = wait_for(drawn_icon, 10, "the tray icon to be drawn")
    session.screenshot("shell-tray-icon")
    check(screen_pixels.relative_luminance(tray) < 0.2, f"the tray behind the icon is not dark: {tray}")
    check(strongest >= LEGIBLE_CONTRAST,
          f"the arrows stand out from the tray {tray} by a contrast of {strongest:.2f} only")
    session.check_app_running()


harness.main(tray_icon_stands_out_from_the_tray)
