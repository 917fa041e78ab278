"""Runs a screen-reader test again inside an X server and a session bus of its own."""

import os
import signal
import subprocess
import sys
import time

SKIPPED = 77
# Set by CI: a screen-reader test that cannot run there fails instead of
# skipping, so that a run without it never passes for one that heard the game.
REQUIRED = "ZORBAN_REQUIRE_SCREEN_READER_TESTS"
# Every process a run starts inherits this variable with the run's own value:
# the run ends them all by it when it ends, daemons that left its process
# group (a speech server) included.
RUN_MARK = "ZORBAN_SCREEN_READER_RUN"


def skip(reason):
    """The exit code of a test that cannot run: a skip, or under CI a failure."""
    if os.environ.get(REQUIRED) == "1":
        print("FAILED: %s, and %s=1 asks for every screen-reader test to run" % (reason, REQUIRED))
        return 1
    print("SKIPPED: " + reason)
    return SKIPPED


def processes_marked(mark):
    """The ids of the processes whose environment holds RUN_MARK=mark."""
    wanted = ("%s=%s" % (RUN_MARK, mark)).encode()
    found = []
    for name in os.listdir("/proc"):
        if not name.isdigit() or int(name) == os.getpid():
            continue
        try:
            with open("/proc/%s/environ" % name, "rb") as f:
                if wanted in f.read().split(b"\0"):
                    found.append(int(name))
        except OSError:
            pass  # gone meanwhile, or not ours to read
    return found


def end_marked(mark):
    """Ends every process of the run still there: SIGTERM, then SIGKILL for
    those that ignore it, and waits until they are gone. Returns the names of
    those that were left."""
    left = processes_marked(mark)
    names = []
    for pid in left:
        try:
            with open("/proc/%d/comm" % pid) as f:
                names.append(f.read().strip())
            os.kill(pid, signal.SIGTERM)
        except OSError:
            pass

    def still_there(pids):
        return [pid for pid in pids if os.path.exists("/proc/%d" % pid)]

    for signal_now in (None, signal.SIGKILL):
        if signal_now:
            for pid in still_there(left):
                try:
                    os.kill(pid, signal_now)
                except OSError:
                    pass
        deadline = time.monotonic() + 3
        while still_there(left) and time.monotonic() < deadline:
            time.sleep(0.05)
    return names


def run_inside(script, argv, inner_variable):
    """Starts Xvfb on a free display and runs `script argv` under dbus-run-session
    there, with inner_variable set so that the script knows it is inside. The game
    shares no bus, display or kept files with the desktop. Returns the exit code."""
    mark = "%d-%d" % (os.getpid(), time.monotonic_ns())
    env = dict(os.environ, **{inner_variable: "1", RUN_MARK: mark})
    for name in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY",
                 "QT_QPA_PLATFORM"):
        env.pop(name, None)
    # Xvfb picks a free display itself (-displayfd): no race with other X servers
    # starting at the same time, as xvfb-run -a has.
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp"], pass_fds=(write_end,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as displayfd:
        display = displayfd.readline().strip()
    try:
        if not display:
            print("FAILED: Xvfb did not start")
            return 1
        env["DISPLAY"] = ":" + display
        command = ["dbus-run-session", "--", sys.executable, os.path.abspath(script)] + argv
        return subprocess.call(command, env=env)
    finally:
        left = end_marked(mark)
        if left:
            print("ended what the run left behind: " + ", ".join(sorted(left)))
        xvfb.terminate()
        xvfb.wait()
