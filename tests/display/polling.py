"""Waiting for a condition against a deadline, and failing a scenario with a clear message."""

import time

# One frame of the app's animations: they are driven at 60 frames a second.
FRAME = 1 / 60


class ScenarioFailure(AssertionError):
    pass


def wait_for(predicate, timeout, what, interval=0.05):
    """Polls predicate until it returns something truthy and returns that; fails after timeout seconds."""
    started = time.monotonic()
    deadline = started + timeout
    last_error = None
    while True:
        try:
            result = predicate()
            if result:
                print(f"{time.monotonic() - started:6.2f} s  {what}", flush=True)
                return result
        except ScenarioFailure:
            raise
        except Exception as error:  # a window or object that is not there yet
            last_error = error
        if time.monotonic() >= deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise ScenarioFailure(f"timed out after {timeout} s waiting for {what}{detail}")
        time.sleep(interval)


def wait_until_settled(read, timeout, what, frames=2):
    """Reads a value (a position, say) once a frame until it has stayed the same for `frames`
    frames, and returns it. A reading that raises or gives None counts as not there yet."""
    readings = []

    def settled():
        try:
            value = read()
        except Exception:
            readings.clear()
            raise
        readings.append(value)
        del readings[:-(frames + 1)]
        return value is not None and len(readings) == frames + 1 and all(r == value for r in readings)

    try:
        wait_for(settled, timeout, f"{what} to settle", interval=FRAME)
    except ScenarioFailure as failure:
        raise ScenarioFailure(f"{failure}; last readings {readings}") from None
    return readings[-1]


def wait_until(moment):
    """Waits for a moment on the monotonic clock that is known in advance."""
    remaining = moment - time.monotonic()
    if remaining > 0:
        time.sleep(remaining)


def check(condition, message):
    if not condition:
        raise ScenarioFailure(message)
