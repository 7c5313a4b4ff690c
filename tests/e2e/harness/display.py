"""The one virtual X display of a test run, shared by every test through a
state file in the work folder. Message boxes only become real windows that
the watcher can read and close when Wine has a display."""

import json
import os
import signal
import subprocess
import time

from .wine import as_wine_user

STATE_FILE = "display.json"
SCREEN = "1024x768x24"


def start(work):
    ready_read, ready_write = os.pipe()
    with open(work / "xvfb.log", "wb") as log:
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(ready_write), "-screen", "0", SCREEN, "-nolisten", "tcp"],
            pass_fds=(ready_write,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
            start_new_session=True, **as_wine_user())
    os.close(ready_write)
    with os.fdopen(ready_read) as ready:
        number = ready.readline().strip()
    if not number:
        raise RuntimeError(f"Xvfb did not start; see {work / 'xvfb.log'}")
    display = ":" + number
    (work / STATE_FILE).write_text(json.dumps({"pid": xvfb.pid, "display": display}))
    return display


def current(work):
    state = work / STATE_FILE
    if not state.exists():
        raise RuntimeError(f"no display: run the set-up of the Wine fixture first ({state} is missing)")
    return json.loads(state.read_text())["display"]


def running(work):
    """The display of the run whose work folder is `work` while its Xvfb
    runs, else None."""
    state = work / STATE_FILE
    if not state.exists():
        return None
    state = json.loads(state.read_text())
    return state["display"] if _xvfb_running(state["pid"]) else None


def _xvfb_running(pid):
    """True while `pid` is our Xvfb and not yet a zombie."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read()
    except OSError:
        return False
    name, state = fields[fields.index("(") + 1:fields.rindex(")")], fields[fields.rindex(")") + 2]
    return name == "Xvfb" and state != "Z"


def stop(work):
    state = work / STATE_FILE
    if not state.exists():
        return
    pid = json.loads(state.read_text())["pid"]
    if _xvfb_running(pid):
        os.kill(pid, signal.SIGTERM)
        deadline = time.monotonic() + 10
        while _xvfb_running(pid) and time.monotonic() < deadline:
            time.sleep(0.05)
    state.unlink()
