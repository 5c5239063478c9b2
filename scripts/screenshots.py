#!/usr/bin/env python3
"""Makes the README's pictures from the real program on an X server of its own: the window
with its scale and graph tooltip on, over loopback traffic, and the options sheet's fourth page.

Usage: scripts/screenshots.py PATH-TO-corvala [OUTPUT-FOLDER]   (default: docs/)"""

import os
import socket
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import test_monitor  # noqa: E402
from xsession import XSession, wait_for  # noqa: E402

SETTINGS = """[RECENT_WNDPOS]
MAIN_NML_L=40
MAIN_NML_T=40
MAIN_NML_R=400
MAIN_NML_B=180
[CNTDATA_1]
ENABLE=1
[CNTDATA_2]
ENABLE=1
[CNTBASE]
INS_NAME="lo"
[CORVALA_EXTRA]
RATE_UNIT=1
RATE_BASE=1000
RATE_DECIMALS=1
GRAPH_SCALE=1
"""


def send_traffic(stop):
    """UDP datagrams to loopback, a few hundred kilobytes a second, until `stop` is set."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender:
        for burst in range(100000):  # bounded: well beyond any run of this script
            if stop.wait(0.01):
                return
            for _ in range(1 + burst % 5):
                sender.sendto(b"x" * 1400, ("127.0.0.1", 9))


def crop(session, window, path):
    x, y, width, height = session.frame_geometry(window)
    shot = session.screenshot(path + ".root.png")
    session.run(["convert", shot, "-crop", f"{width}x{height}+{x}+{y}", "+repage", path], check=True)
    os.remove(shot)


def main():
    test_monitor.EXE = os.path.abspath(sys.argv[1])
    out = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else "docs")
    os.makedirs(out, exist_ok=True)
    session = XSession(window_manager=True, panel=True, size="800x600x24")
    stop = threading.Event()
    traffic = threading.Thread(target=send_traffic, args=(stop,))
    traffic.start()
    try:
        monitor = test_monitor.Monitor(session, os.path.join(session.tmp, "shots"))
        with open(monitor.ini, "w", encoding="utf-8") as ini:
            ini.write(SETTINGS)
        monitor.start()
        # Some history: at one sample a second the graph has stepped 45 times.
        time.sleep(45)
        crop(session, monitor.window, os.path.join(out, "window-scale.png"))
        monitor.menu_command(3)  # options
        sheet = wait_for(lambda: session.xdotool("search", "--onlyvisible", "--name", "^オプション$"), 5)
        if not sheet:
            raise SystemExit("the options sheet did not open")
        for key in ("shift+Tab", "Right", "Right", "Right"):  # the tab strip, then the fourth page
            session.xdotool("key", key)
        time.sleep(1)  # the page drawn
        crop(session, sheet.split()[0], os.path.join(out, "options-extension.png"))
        session.xdotool("key", "Escape")
        monitor.kill()
    finally:
        stop.set()
        traffic.join()
        session.close()


if __name__ == "__main__":
    main()
