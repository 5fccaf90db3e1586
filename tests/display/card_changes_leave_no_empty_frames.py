"""The panel recorded at 30 frames a second while its cards change: a cancelled conversion
gives way to the action card, the action card closes to the orb, and the orb is dragged
to the top edge and snaps there. No frame leaves empty, or see-through, a place where a card
or the orb should be: a leaving card fades, and stays whole under the card that covers it."""

import os
import wave

import frames
import harness
import xwindows
from polling import check, wait_for, wait_until_settled

CARD_SIDE = 320
# Samples keep this far from a card's edges, which are rounded and antialiased.
EDGE = 26
ORB_RADIUS = 36
# Inside this radius the orb covers its place even while it grows in from 0.65 of its size.
ORB_CORE = 20
# A card that fades is seen part drawn in at least this many frames; one cut off at once, in
# none. (On a busy machine the app may skip some of a fade's frames, never all of them.)
FRAMES_PART_DRAWN = 2
PART_DRAWN = (0.03, 0.97)
# Seconds of sound: long enough that the conversion is still running when it is cancelled.
SOUND_SECONDS = 600


def write_sound(path):
    with wave.open(path, "wb") as sound:
        sound.setnchannels(2)
        sound.setsampwidth(2)
        sound.setframerate(44100)
        # A rising tone that repeats every 100 samples.
        block = b"".join(int((i * 655) - 32768).to_bytes(2, "little", signed=True) * 2 for i in range(100))
        sound.writeframes(block * (SOUND_SECONDS * 441))


def drawn_card(session):
    """The card the panel shows, as the part of the panel that takes the pointer, which is
    that card alone once any card leaving has gone: (x, y, width, height)."""
    x, y, _, _ = session.panel_geometry()
    cx, cy, width, height = xwindows.input_extents(session.panel)
    return (x + cx, y + cy, width, height)


def orb_core(session):
    cx, cy = session.settled_centre(session.orb())
    return [(x, y) for x, y in frames.grid((cx - ORB_CORE, cy - ORB_CORE, 2 * ORB_CORE, 2 * ORB_CORE), step=3)
            if (x - cx) ** 2 + (y - cy) ** 2 <= ORB_CORE ** 2], (cx - ORB_RADIUS, cy - ORB_RADIUS, 2 * ORB_RADIUS,
                                                                  2 * ORB_RADIUS)


def check_fades(recorded, points, what):
    """The points were covered at the start, not at the end, and part covered in between."""
    covers = [frame.mean_cover(points) for frame in recorded]
    shown = ", ".join(f"{cover:.2f}" for cover in covers)
    check(covers[0] > 0.95, f"{what} was not drawn when the recording began: {shown}")
    check(covers[-1] < 0.1, f"{what} was still drawn when the recording ended: {shown}")
    part_drawn = {round(cover, 3) for cover in covers if PART_DRAWN[0] < cover < PART_DRAWN[1]}
    check(len(part_drawn) >= FRAMES_PART_DRAWN, f"{what} went at once, not in a fade: {shown}")


def check_always_covered(recorded, points, least, what):
    covers = [frame.mean_cover(points) for frame in recorded]
    for number, cover in enumerate(covers):
        check(cover >= least, f"{what} showed the desktop in frame {number} of {len(covers)}: "
                              + ", ".join(f"{cover:.2f}" for cover in covers))


def record(session, act, done, area=None):
    """The frames from just before `act` until `done` holds and the picture has come to rest."""
    with frames.Recorder(area or session.panel_geometry()) as recorder:
        act()
        wait_for(done, 10, "the change to finish")
        recorder.wait_until_still(10)
    check(len(recorder.frames) >= 10, f"only {len(recorder.frames)} frames were recorded")
    print(f"{len(recorder.frames)} frames")
    return recorder.frames


def cancel_gives_way_to_the_action_card(session):
    session.click_on("Convert To")
    session.click_on("MP3")
    session.a11y.wait_for_showing("Cancel")
    converting = wait_for(lambda: drawn_card(session)[2:] == (CARD_SIDE, CARD_SIDE) and drawn_card(session), 10,
                          "the converting card alone to take the pointer")
    frames.wait_until_covered(frames.grid(converting, EDGE), 10, "the converting card to be drawn whole")
    # The action card of one row is shorter than the converting card; the part that takes
    # the pointer shrinks to it once the converting card has gone.
    recorded = record(session, lambda: session.click_on("Cancel"), lambda: drawn_card(session)[3] < CARD_SIDE)
    actions = drawn_card(session)
    overlap = frames.intersection(converting, actions)
    check(overlap[2] > 2 * EDGE and overlap[3] > 2 * EDGE, f"the cards {converting} and {actions} hardly overlap")
    check_always_covered(recorded, frames.grid(overlap, EDGE), 0.9, "the place both cards cover")
    uncovered = frames.grid(converting, EDGE, leave_out=[actions])
    if uncovered:
        check_fades(recorded, uncovered, "the part of the converting card the action card leaves free")
    return actions


def close_gives_way_to_the_orb(session, card):
    recorded = record(session, lambda: session.click_on("Close"), lambda: drawn_card(session)[2] < CARD_SIDE)
    core, orb_box = orb_core(session)
    check_fades(recorded, frames.grid(card, EDGE, leave_out=[orb_box]), "the closed action card")
    check_always_covered(recorded, core, 0.6, "the orb's place")
    check(recorded[-1].mean_cover(core) > 0.95, "the orb was not drawn at the end")


def snap_to_the_top_keeps_the_orb_drawn(session):
    start = session.settled_centre(session.orb())
    x, y, width, height = session.panel_geometry()
    # The panel's centre ends nearer the top than the right edge.
    end = (start[0], start[1] - (y + height // 2 - session.area_top()) + 60)
    session.press_and_move(start, end)
    moved = wait_until_settled(session.panel_geometry, 10, "the dragged panel")
    final = (moved[0], session.area_top(), width, height)
    area = frames.intersection(frames.union(moved, final), (0, 0, *xwindows.screen_size()))
    recorded = record(session, session.release, lambda: session.panel_geometry()[1] == session.area_top(), area)
    points = frames.grid(area, step=3, leave_out=[session.tray_host_geometry()])
    counts = [frame.covered(points) for frame in recorded]
    print(f"{len(counts)} frames")
    check(counts[0] > 0, "the orb was not drawn when the panel was let go")
    for number, count in enumerate(counts):
        check(count >= 0.6 * counts[0], f"the orb was missing in frame {number} of {len(counts)}: {counts}")


def card_changes_leave_no_empty_frames(session):
    session.start_app()
    sound = session.work_path("long tone.wav")
    write_sound(sound)
    session.drag_from_source(session.settled_centre(session.orb()), ["--files", sound])
    card = cancel_gives_way_to_the_action_card(session)
    close_gives_way_to_the_orb(session, card)
    snap_to_the_top_keeps_the_orb_drawn(session)
    session.check_app_running()


harness.main(card_changes_leave_no_empty_frames)
