"""A 300 MB ZIP dropped on the orb is read off the event loop: while the archive is being
read, the processing card's spinner keeps turning on screen."""

import subprocess
import zipfile

import harness
import xwindows
from polling import check, wait_for

ARCHIVE_SIZE = 300 * 1024 * 1024
CARD_SIDE = 320
CARD_OFFSET = 62


def write_big_zip(path):
    # Stored, not deflated: the archive really is 300 MB, and testing it reads all of it.
    block = bytes(1024 * 1024)
    with zipfile.ZipFile(path, "w", compression=zipfile.ZIP_STORED, allowZip64=True) as archive:
        with archive.open("recording.raw", "w", force_zip64=True) as entry:
            for _ in range(ARCHIVE_SIZE // len(block)):
                entry.write(block)


def card_pixels(session):
    x, y, width, height = session.panel_geometry()
    left = x + (width - CARD_SIDE) // 2 + CARD_OFFSET
    top = y + (height - CARD_SIDE) // 2
    crop = f"{CARD_SIDE}x{CARD_SIDE}+{left}+{top}"
    return subprocess.run(["import", "-window", "root", "-crop", crop, "rgb:-"], env=session.env, check=True,
                          capture_output=True).stdout


def big_zip_drop_keeps_drawing(session):
    session.start_app()
    orb = session.orb()
    archive = session.work_path("field recording.zip")
    write_big_zip(archive)

    session.drag_from_source(session.settled_centre(orb), ["--files", archive])
    session.a11y.wait_for_showing("Reading file\u2026")

    frames = [card_pixels(session)]

    def card_redrawn():
        frames.append(card_pixels(session))
        return frames[-1] != frames[0]

    wait_for(card_redrawn, 10, "the processing card to be redrawn while the archive is read")
    check(session.a11y.is_showing("Reading file\u2026"), "the archive was read before two frames could be compared")
    session.screenshot("shell-big-zip-reading")
    session.a11y.wait_until_not_showing("Reading file\u2026", timeout=30)
    session.check_app_running()


harness.main(big_zip_drop_keeps_drawing)
