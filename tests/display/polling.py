"""Waiting for a condition against a deadline, and failing a scenario with a clear message."""

import time


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


def check(condition, message):
    if not condition:
        raise ScenarioFailure(message)
