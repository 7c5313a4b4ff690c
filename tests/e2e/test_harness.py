"""The harness's decisions about failures, with stand-ins for Wine: which
calls it makes again, and whose failure it reports."""

import contextlib
import io
import subprocess
import unittest
from unittest import mock

from harness.failures import HarnessFailure, WineError, retried
from harness.scenario import Box, watched_run
from harness.wine import REG_KEY_MISSING, Prefix

START_FAILED = b"Application could not be started, or no application associated with the specified file.\n" \
               b"ShellExecuteEx failed: Internal error.\r\n"
KEY_MISSING = REG_KEY_MISSING.encode() + b"\r\n"


class StandIn:
    """A call that answers, in turn, with each of `outcomes` (the last one
    again and again): an exception is raised, anything else returned."""

    def __init__(self, outcomes):
        self.outcomes, self.calls = outcomes, 0

    def __call__(self, *args, **kwargs):
        outcome = self.outcomes[min(self.calls, len(self.outcomes) - 1)]
        self.calls += 1
        if isinstance(outcome, BaseException):
            raise outcome
        return outcome


def ended(returncode, output=b""):
    return subprocess.CompletedProcess([], returncode, stdout=output)


def outcome_of(call):
    """What `call()` returns, or the WineError it raises; retries are not
    waited for and not shown."""
    with mock.patch("harness.failures.time.sleep"), contextlib.redirect_stderr(io.StringIO()):
        try:
            return call()
        except WineError as error:
            return error


class WhoseFailure(unittest.TestCase):
    def check(self, outcome, expected):
        if isinstance(expected, type):
            self.assertIs(type(outcome), expected, outcome)
        else:
            self.assertEqual(outcome, expected)

    def test_wine_tool_calls_of_the_harness(self):
        def regedit(prefix):
            return prefix.wine("regedit", "/S", "T:\\settings.reg")

        def export(prefix):
            return prefix.export_registry("HKEY_CLASSES_ROOT\\.lmr")

        passed = ended(0)
        rows = [
            ("a start failure waited out", regedit, [ended(1, START_FAILED), passed], passed, 2),
            ("a start failure every time", regedit, [ended(1, START_FAILED)], HarnessFailure, 3),
            ("a hang, not tried again", regedit, [subprocess.TimeoutExpired("wine", 120)], HarnessFailure, 1),
            ("a key that does not exist", export, [ended(1, KEY_MISSING)], None, 1),
            ("an export that did not start", export, [ended(1, START_FAILED), ended(1, KEY_MISSING)], None, 2),
        ]
        for name, call, outcomes, expected, calls in rows:
            with self.subTest(name):
                prefix = Prefix("/nonexistent", "win64")
                prefix.run_wine, prefix.stop_server = StandIn(outcomes), mock.Mock()
                outcome = outcome_of(lambda: call(prefix))

                self.check(outcome, expected)
                self.assertEqual(prefix.run_wine.calls, calls)
                self.assertEqual(prefix.stop_server.call_count, calls - 1, "the prefix's Wine ended before each retry")
                if expected is HarnessFailure and calls > 1:
                    self.assertEqual(str(outcome).count("Internal error"), calls, "Wine's output of every attempt")

    def test_the_watchers_start_of_the_launcher(self):
        never_started = (1, b"", b"start-failed\t1359\r\n")
        ran = (0, b"", b"started\r\nbox\t1\t41\t42\r\nexit\t3\r\n")
        rows = [
            ("Wine failed the start, then the launcher ran", [never_started, ran], ([Box(b"A", b"B", True)], 3), 2),
            ("the launcher never started", [never_started, (1, START_FAILED, b"")], HarnessFailure, 3),
            ("the launcher failed: its exit code is the test's", [ran], ([Box(b"A", b"B", True)], 3), 1),
            ("the watcher failed after the launcher started", [(1, b"", b"started\r\n")], WineError, 1),
            ("Windows refused the launcher's file", [(1, b"", b"start-failed\t193\r\n")], WineError, 1),
        ]
        for name, outcomes, expected, calls in rows:
            with self.subTest(name):
                watcher = StandIn(outcomes)
                outcome = outcome_of(lambda: retried("the watcher's start", lambda: watched_run(*watcher())))

                self.check(outcome, expected)
                self.assertEqual(watcher.calls, calls)


if __name__ == "__main__":
    unittest.main()
