"""End to end: the Windows executable under Wine on a real X server with a window manager
and a panel with a notification area, driven with xdotool.

Usage: python3 test_windows.py PATH-TO-corvala.exe PATH-TO-pdh.dll WINEPREFIX [SCREENSHOT]

Wine's own performance library has no "Network Interface" object; one journey runs on it
(no interface: the program runs on with an empty graph), the other with the stand-in
pdh.dll beside the executable, which serves the host's interfaces, so loopback traffic
must reach the graph through the Windows code path."""

import os
import shutil
import socket
import subprocess
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from xsession import XSession, wait_for  # noqa: E402

EXE = PDH = PREFIX = SHOT = None

BLACK = (0, 0, 0)
DARK_RED = (127, 0, 0)
RED = (255, 0, 0)

KEYS = (["RECENT_WNDPOS"] + [f"CNTDATA_{n}" for n in range(1, 11)] + ["TIME", "CNTBASE", "COLOR_DIALOG"])


def read_ini(path):
    """{section: {key: value}} of an INI file, in file order."""
    sections, current = {}, None
    with open(path, encoding="utf-8", newline=None) as text:
        for line in text:
            line = line.strip()
            if line.startswith("["):
                current = sections.setdefault(line.strip("[]"), {})
            elif "=" in line and current is not None:
                key, value = line.split("=", 1)
                current.setdefault(key, value)
    return sections


class Loopback:
    """UDP datagrams to ourselves on 127.0.0.1, about 100 KB/s, until stopped."""

    def __init__(self):
        self.receiver = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.receiver.bind(("127.0.0.1", 0))
        self.receiver.settimeout(0.2)
        self.sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.running = True
        self.threads = [threading.Thread(target=self.send), threading.Thread(target=self.drain)]
        for thread in self.threads:
            thread.start()

    def send(self):
        address = self.receiver.getsockname()
        deadline = time.monotonic() + 120
        while self.running and time.monotonic() < deadline:
            self.sender.sendto(b"x" * 1000, address)
            time.sleep(0.01)

    def drain(self):
        while self.running:
            try:
                self.receiver.recv(2048)
            except socket.timeout:
                pass

    def stop(self):
        self.running = False
        for thread in self.threads:
            thread.join(5)
        self.sender.close()
        self.receiver.close()


class Monitor:
    """corvala.exe copied into a directory of its own, so its settings file is fresh."""

    def __init__(self, session, directory, stand_in_pdh):
        self.session = session
        os.makedirs(directory, exist_ok=True)
        self.exe = os.path.join(directory, "corvala.exe")
        shutil.copy2(EXE, self.exe)
        if stand_in_pdh:
            shutil.copy2(PDH, os.path.join(directory, "pdh.dll"))
        self.ini = os.path.join(directory, "corvala.ini")
        self.process = None
        self.window = None

    def spawn(self):
        return self.session.spawn(["wine", self.exe], cwd=os.path.dirname(self.exe))

    def start(self):
        self.process = self.spawn()
        windows = wait_for(self.main_windows, 60)  # Wine's first window in a session is slow
        if not windows:
            raise AssertionError("the main window did not appear")
        self.window = windows[0]
        wait_for(lambda: "COLOR_16=" in self.ini_text(), 10)
        return self

    def windows(self, visible=True):
        args = ["search", "--classname", "corvala.exe"]
        if visible:
            args.insert(1, "--onlyvisible")
        return [w for w in self.session.xdotool(*args).split() if w]

    def main_windows(self):
        """Our visible windows larger than a tray icon and without a title: the main window."""
        return [w for w in self.windows() if self.session.geometry(w)[2] > 64
                and not self.session.run(["xdotool", "getwindowname", w]).strip()]

    def ini_text(self):
        if not os.path.exists(self.ini):
            return ""
        with open(self.ini, encoding="utf-8") as text:
            return text.read()

    def geometry(self):
        return self.session.geometry(self.window)

    def drag(self, start, delta):
        x, y = start
        self.session.xdotool("mousemove", x, y)
        self.session.xdotool("mousedown", 1)
        for step in range(1, 6):
            self.session.xdotool("mousemove", x + delta[0] * step // 5, y + delta[1] * step // 5)
            time.sleep(0.1)
        self.session.xdotool("mouseup", 1)
        time.sleep(0.5)

    def menu_command(self, downs):
        """Opens the window menu with a right click and picks its `downs`-th command."""
        x, y, w, h = self.geometry()
        self.session.xdotool("mousemove", x + w // 2, y + h // 2)
        before = set(self.windows())
        self.session.xdotool("click", 3)
        if not wait_for(lambda: set(self.windows()) - before, 10):
            raise AssertionError("no menu opened on the right click")
        time.sleep(0.3)
        for _ in range(downs):
            self.session.xdotool("key", "Down")
        self.session.xdotool("key", "Return")
        time.sleep(0.5)

    def graph(self, name):
        """The pixels of the main window in a screenshot, row by row, and the shot's path."""
        x, y, width, height = self.geometry()
        shot = self.session.screenshot(os.path.join(self.session.tmp, name))
        return self.session.pixels(shot, x, y, width, height), shot

    def wait_exit(self, timeout=20):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None


class WindowsProgramUnderWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = XSession(window_manager=True, panel=True)
        cls.session.env.update(WINEPREFIX=PREFIX, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        # A Wine session belongs to the display it started on: start this prefix's anew here.
        subprocess.run(["wineserver", "-k"], env=cls.session.env, timeout=30)

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["wineserver", "-k"], env=cls.session.env, timeout=30)
        subprocess.run(["wineserver", "-w"], env=cls.session.env, timeout=60)
        cls.session.close()

    def test_without_network_interface_object_runs_with_an_empty_graph(self):
        monitor = Monitor(self.session, os.path.join(self.session.tmp, "plain"), stand_in_pdh=False).start()
        settings = read_ini(monitor.ini)
        self.assertEqual(list(settings), KEYS)
        self.assertEqual(sum(len(keys) for keys in settings.values()), 97)
        self.assertEqual(settings["CNTBASE"]["INS_NAME"], "%BLANK%")
        self.assertEqual([settings[f"CNTDATA_{n}"]["ENABLE"] for n in range(1, 11)], ["0"] * 10)

        time.sleep(1.5)
        pixels, _ = monitor.graph("empty.png")
        self.assertGreater(pixels.count(BLACK), len(pixels) // 2)
        self.assertGreater(pixels.count(DARK_RED), 100, "the grid scrolls on")
        self.assertEqual(pixels.count(RED), 0, "no counter shown")

        monitor.menu_command(5)  # exit
        self.assertEqual(monitor.wait_exit(), 0)

    def test_journey_with_loopback_traffic(self):
        monitor = Monitor(self.session, os.path.join(self.session.tmp, "traffic"), stand_in_pdh=True)
        monitor.start()
        settings = read_ini(monitor.ini)
        self.assertEqual(list(settings), KEYS)
        self.assertNotEqual(settings["CNTBASE"]["INS_NAME"], "%BLANK%", "the first interface is chosen")
        self.assertEqual([settings[f"CNTDATA_{n}"]["ENABLE"] for n in range(1, 11)], ["1", "1"] + ["0"] * 8)
        x, y, width, height = monitor.geometry()
        self.assertEqual((width, height), (240, 80), "the template's size, held at the minimum")

        # A second start of the same executable ends at once, without a window.
        started = time.monotonic()
        second = monitor.spawn()
        self.assertEqual(second.wait(30), 0)
        self.assertLess(time.monotonic() - started, 15)
        self.assertEqual(monitor.main_windows(), [monitor.window])

        # Loopback through the Windows code path: choose it in the options, then send.
        monitor.menu_command(3)  # options
        sheet = wait_for(lambda: self.session.xdotool("search", "--name", "オプション"), 15)
        self.assertTrue(sheet, "the options sheet did not open")
        time.sleep(1)
        self.session.xdotool("key", "End")  # the interface list: loopback is last, by name
        self.session.xdotool("key", "Return")  # OK applies
        self.assertTrue(wait_for(lambda: 'INS_NAME="lo"' in monitor.ini_text(), 10), monitor.ini_text())
        self.assertTrue(wait_for(lambda: not self.session.xdotool("search", "--name", "オプション"), 10))
        traffic = Loopback()
        try:
            time.sleep(4)
            pixels, shot = monitor.graph("traffic.png")
        finally:
            traffic.stop()
        if SHOT:
            shutil.copy2(shot, SHOT)
        # The curve of "Bytes Received/sec" leaves the bottom edge only with values above 0;
        # the rows of the two text lines are left out.
        plot = pixels[width * 30:]
        self.assertGreater(plot.count(RED), 10, "loopback traffic did not reach the graph")

        # Always on top (first command), a drag, then exit (fifth): the placement is kept.
        monitor.menu_command(1)
        self.assertTrue(wait_for(lambda: "_NET_WM_STATE_ABOVE" in self.session.run(
            ["xprop", "-id", monitor.window, "_NET_WM_STATE"]), 10))
        x, y, width, height = monitor.geometry()
        monitor.drag((x + width // 2, y + height // 2), (120, 70))
        moved = monitor.geometry()
        self.assertNotEqual(moved[:2], (x, y), "a left drag on the graph moves the window")
        monitor.menu_command(5)
        self.assertEqual(monitor.wait_exit(), 0)
        placement = read_ini(monitor.ini)["RECENT_WNDPOS"]
        self.assertEqual(placement["TOP_MOST"], "1")
        stored = tuple(int(placement[k]) for k in ("MAIN_NML_L", "MAIN_NML_T", "MAIN_NML_R", "MAIN_NML_B"))
        self.assertEqual(stored, (moved[0], moved[1], moved[0] + moved[2], moved[1] + moved[3]))

        # The next start opens there.
        monitor.start()
        self.assertEqual(monitor.geometry(), moved)
        monitor.menu_command(5)
        self.assertEqual(monitor.wait_exit(), 0)


if __name__ == "__main__":
    EXE, PDH, PREFIX = (os.path.abspath(a) for a in sys.argv[1:4])
    SHOT = os.path.abspath(sys.argv[4]) if len(sys.argv) > 4 else None
    del sys.argv[1:]
    unittest.main(verbosity=2)
