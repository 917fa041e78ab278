"""Runs a screen-reader test again inside an X server and a session bus of its own."""

import os
import subprocess
import sys


def run_inside(script, argv, inner_variable):
    """Starts Xvfb on a free display and runs `script argv` under dbus-run-session
    there, with inner_variable set so that the script knows it is inside. The game
    shares no bus, display or kept files with the desktop. Returns the exit code."""
    env = dict(os.environ, **{inner_variable: "1"})
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
        xvfb.terminate()
        xvfb.wait()
