"""Whose failure it is: the product's, or the harness's own.

Before the launcher runs, the harness has Wine do its chores: wineboot,
wineserver, regedit, reg, the prefix copy and the watcher that starts the
launcher. Now and then Wine fails such a call for reasons of its own, mostly
on a loaded machine. `retried` waits such a failure out and makes the call
again, a bounded number of times; one that keeps failing ends the test as a
HarnessFailure, with what Wine said each time. Runs of the product itself
never pass through it: a launcher that fails must fail its test.
"""

import sys
import time

ATTEMPTS = 3
PAUSE_SECONDS = 2  # before the second attempt, and twice as long before the third


class WineError(RuntimeError):
    """Something under Wine did not go as the test expects."""


class HarnessFailure(WineError):
    """Wine failed one of the harness's calls, so the test could not set the
    scene or read it back: no verdict on the product."""

    def __init__(self, message):
        super().__init__(f"harness failure, not the product's: {message}")


class AttemptFailed(Exception):
    """One attempt of a harness call failed in a way worth trying again; the
    text says how, with Wine's output."""


def retried(what, attempt, recover=None):
    """The result of `attempt()`, the harness call that `what` describes.
    When it raises AttemptFailed, `recover()` (if given) clears the way, the
    failure is waited out and the call made again, up to ATTEMPTS times in
    all; then a HarnessFailure tells each attempt's failure. Any other
    exception passes at once, the call not made again."""
    failures = []
    for number in range(1, ATTEMPTS + 1):
        try:
            return attempt()
        except AttemptFailed as failure:
            failures.append(f"attempt {number}: {failure}")
            if number == ATTEMPTS:
                break
            pause = PAUSE_SECONDS * number
            print(f"harness: {what} failed (attempt {number} of {ATTEMPTS}), trying again in {pause} s: {failure}",
                  file=sys.stderr, flush=True)
            if recover is not None:
                recover()
            time.sleep(pause)
    raise HarnessFailure(f"{what} failed {ATTEMPTS} times\n" + "\n".join(failures))
