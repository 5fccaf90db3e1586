"""Frames of the screen recorded while the panel changes, and how much of the desktop shows
through them.

The harness paints the desktop DESKTOP, a magenta no colour of the app comes near, so how
much of the desktop a pixel lets through can be read from the pixel alone.
"""

import threading
import time

import xwindows
from polling import wait_for

DESKTOP = (255, 0, 255)
FRAME_RATE = 30
# One sample every this many pixels across a part of a frame.
SAMPLE_STEP = 5


def desktop_share(red, green, blue):
    """How much of the magenta desktop makes up a pixel drawn over it, from 0 to 1.

    Over the desktop a colour c at opacity a gives min(red, blue) - green = (1 - a) * 255 +
    a * (min(c.red, c.blue) - c.green); the last term is 0 for greys and white and below 0
    for the app's greens, so this never overstates what shows through."""
    return min(max((min(red, blue) - green) / 255, 0.0), 1.0)


class Frame:
    def __init__(self, moment, area, stride, pixels):
        self.moment = moment
        self.area = area
        self._stride = stride
        self._pixels = pixels

    def cover(self, point):
        """How much the pixel at a point on the screen hides the desktop, from 0 to 1."""
        x, y = point[0] - self.area[0], point[1] - self.area[1]
        offset = y * self._stride + 4 * x
        blue, green, red = self._pixels[offset:offset + 3]
        return 1 - desktop_share(red, green, blue)

    def mean_cover(self, points):
        return sum(self.cover(point) for point in points) / len(points) if points else 1.0

    def same_as(self, other):
        return self._pixels == other._pixels

    def covered(self, points, at_least=0.5):
        """How many of the points hide at least that much of the desktop."""
        return sum(1 for point in points if self.cover(point) >= at_least)


class Recorder:
    """Records an area of the screen FRAME_RATE times a second, on a thread of its own, for
    as long as the `with` block runs."""

    def __init__(self, area):
        # The screen holds all there is to see, and reading past its edges is an error.
        self.area = intersection(tuple(area), (0, 0, *xwindows.screen_size()))
        self.frames = []
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._record, daemon=True)
        self._error = None

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, *exception):
        self._stop.set()
        self._thread.join()
        if self._error is not None and exception[0] is None:
            raise self._error
        return False

    def wait_until_still(self, timeout, frame_count=6):
        """Waits until the last `frame_count` frames are the same: whatever moved has come to rest."""
        def still():
            if self._error is not None:
                raise self._error
            last = self.frames[-frame_count:]
            return len(last) == frame_count and all(frame.same_as(last[0]) for frame in last)

        wait_for(still, timeout, f"the recorded picture to stay the same over {frame_count} frames")

    def _record(self):
        reader = xwindows.ScreenReader()
        try:
            next_frame = time.monotonic()
            while not self._stop.is_set():
                stride, pixels = reader.grab(self.area)
                self.frames.append(Frame(time.monotonic(), self.area, stride, pixels))
                next_frame += 1 / FRAME_RATE
                self._stop.wait(max(0.0, next_frame - time.monotonic()))
        except Exception as error:  # reported when the block ends
            self._error = error
        finally:
            reader.close()


def wait_until_covered(points, timeout, what):
    """Waits until the screen hides the desktop entirely at the points: whatever is drawn
    there has faded in."""
    reader = xwindows.ScreenReader()
    x = min(point[0] for point in points)
    y = min(point[1] for point in points)
    area = (x, y, max(point[0] for point in points) - x + 1, max(point[1] for point in points) - y + 1)

    def covered():
        stride, pixels = reader.grab(area)
        return Frame(time.monotonic(), area, stride, pixels).mean_cover(points) > 0.99

    try:
        wait_for(covered, timeout, what)
    finally:
        reader.close()


def grid(rectangle, inset=0, step=SAMPLE_STEP, leave_out=()):
    """Points every `step` pixels inside a rectangle shrunk by `inset` on every side, less
    those inside the rectangles of `leave_out`."""
    x, y, width, height = rectangle
    points = []
    for py in range(y + inset, y + height - inset, step):
        for px in range(x + inset, x + width - inset, step):
            if not any(inside(hole, (px, py)) for hole in leave_out):
                points.append((px, py))
    return points


def inside(rectangle, point):
    x, y, width, height = rectangle
    return x <= point[0] < x + width and y <= point[1] < y + height


def intersection(a, b):
    x, y = max(a[0], b[0]), max(a[1], b[1])
    right, bottom = min(a[0] + a[2], b[0] + b[2]), min(a[1] + a[3], b[1] + b[3])
    return (x, y, max(0, right - x), max(0, bottom - y))


def union(a, b):
    x, y = min(a[0], b[0]), min(a[1], b[1])
    right, bottom = max(a[0] + a[2], b[0] + b[2]), max(a[1] + a[3], b[1] + b[3])
    return (x, y, right - x, bottom - y)
