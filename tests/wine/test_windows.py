"""End to end: the Windows executable under Wine on a real X server with a window manager
and a panel with a notification area, driven with xdotool.

Usage: python3 test_windows.py corvala.exe corvala-probe.exe pdh.dll WINEPREFIX [SCREENSHOT]

Wine's own performance library has no "Network Interface" object; one journey runs on it
(no interface: the program runs on with an empty graph), the others on the stand-in pdh.dll,
the prefix's system one, which serves the host's interfaces, so loopback traffic must reach
the graph through the Windows code path. A pdh.dll planted beside every program must not load."""

import os
import shutil
import socket
import subprocess
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from test_monitor import BLACK, DARK_RED, RED, Monitor, read_ini  # noqa: E402
from xsession import XSession, wait_for  # noqa: E402

EXE = PROBE = PDH = PREFIX = SHOT = None

BLUE = (0, 0, 255)

# The prefix plays a Japanese Windows, whose face "ＭＳ Ｐゴシック" the program uses as it is:
# Wine shows IPA P Gothic under that name (regedit reads the file as UTF-16).
# The tray's restore runs in a Wine desktop of its own: icons docked into tint2 may answer no click.
FONT_REG = ('Windows Registry Editor Version 5.00\r\n\r\n'
            '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
            '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n\r\n'
            '[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\corvala-tray.exe\\Explorer]\r\n'
            '"Desktop"="corvala-tray"\r\n\r\n'
            '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"corvala-tray"="640x480"\r\n')

KEYS = (["RECENT_WNDPOS"] + [f"CNTDATA_{n}" for n in range(1, 11)] + ["TIME", "CNTBASE", "COLOR_DIALOG"])


class Loopback:
    """UDP datagrams to ourselves on 127.0.0.1, about 100 KB/s, until stopped; `sent` counts their bytes."""

    def __init__(self):
        self.sent = 0
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
            self.sent += self.sender.sendto(b"x" * 1000, address)
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


class WineSession(XSession):
    """Geometries from xwininfo, which is right also for windows inside a Wine desktop."""

    geometry = XSession.frame_geometry


class WindowsMonitor(Monitor):
    """The executable copied as `name` into a directory of its own, so its settings file is
    fresh, with a planted pdh.dll; on the stand-in performance library, or Wine's own."""

    def __init__(self, session, directory, wine_pdh, name="corvala.exe", env=()):
        self.session = session
        self.directory = directory
        os.makedirs(directory, exist_ok=True)
        self.exe = os.path.join(directory, name)
        shutil.copy2(EXE, self.exe)
        shutil.copy2(PROBE, os.path.join(directory, "pdh.dll"))
        self.ini = self.exe[:-4] + ".ini"
        self.wine_env = [*env, *(["WINEDLLOVERRIDES=mscoree,mshtml=;pdh=b"] if wine_pdh else [])]
        self.process = None
        self.window = None

    def command(self):
        return ["env", *self.wine_env, "wine", self.exe]

    def start(self, timeout=60):  # Wine's first window in a session is slow
        return super().start(timeout)

    def tray_icons(self):
        """Notification-area icons: Wine's shell process draws them for every program."""
        found = self.session.xdotool("search", "--onlyvisible", "--classname", "explorer.exe").split()
        return [w for w in found if self.session.geometry(w)[2] <= 32]

    def graph(self, name):
        """The pixels of the main window in a screenshot, row by row, and the shot's path."""
        x, y, width, height = self.geometry()
        shot = self.session.screenshot(os.path.join(self.session.tmp, name))
        return self.session.pixels(shot, x, y, width, height), shot


class WindowsProgramUnderWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = WineSession(window_manager=True, panel=True)
        cls.session.env.update(WINEPREFIX=PREFIX, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        # A Wine session belongs to the display it started on: start this prefix's anew here.
        subprocess.run(["wineserver", "-k"], env=cls.session.env, timeout=30)
        reg = os.path.join(cls.session.tmp, "font.reg")
        with open(reg, "wb") as out:
            out.write(b"\xff\xfe" + FONT_REG.encode("utf-16-le"))
        subprocess.run(["wine", "regedit", "/S", "Z:" + reg.replace("/", "\\")], env=cls.session.env,
                       timeout=120, check=True)
        # The stand-in is the system's: no file planted beside a program can take its place.
        shutil.copy2(PDH, os.path.join(PREFIX, "drive_c", "windows", "system32", "pdh.dll"))

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["wineserver", "-k"], env=cls.session.env, timeout=30)
        subprocess.run(["wineserver", "-w"], env=cls.session.env, timeout=60)
        cls.session.close()

    def new_monitor(self, directory, wine_pdh=False, **kwargs):
        monitor = WindowsMonitor(self.session, os.path.join(self.session.tmp, directory), wine_pdh, **kwargs)
        self.addCleanup(monitor.kill)  # a failed test leaves no window over the next one
        return monitor

    def test_without_network_interface_object_runs_with_an_empty_graph(self):
        monitor = self.new_monitor("plain", wine_pdh=True, name="corvalä.exe").start()
        self.assertIn(monitor.window, self.session.xdotool("search", "--name", "^corvalä$").split())
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

    def test_probe_reads_loopback_through_the_performance_library(self):
        directory = os.path.join(self.session.tmp, "probe")
        os.makedirs(directory)
        shutil.copy2(PROBE, directory)
        shutil.copy2(PROBE, os.path.join(directory, "pdh.dll"))  # planted
        probe = ["wine", os.path.join(directory, os.path.basename(PROBE))]
        names = subprocess.run(probe + ["--list"], env=self.session.env, capture_output=True, text=True,
                               timeout=60).stdout.split()
        self.assertEqual(names[-1:], ["lo"])
        traffic = Loopback()
        try:
            out = subprocess.run(probe + ["--interval", "500", "--count", "3", "lo"], env=self.session.env,
                                 capture_output=True, text=True, timeout=60).stdout
        finally:
            traffic.stop()
        received = [int(line.split("\t")[2]) for line in out.splitlines() if "\tBytes Received/sec\t" in line]
        self.assertEqual(len(received), 3, out)
        self.assertTrue(all(value > 10000 for value in received), out)  # about 100 KB/s sent

    def test_journey_with_loopback_traffic(self):
        monitor = self.new_monitor("traffic").start()
        settings = read_ini(monitor.ini)
        self.assertEqual(list(settings), KEYS)
        self.assertNotEqual(settings["CNTBASE"]["INS_NAME"], "%BLANK%", "the first interface is chosen")
        self.assertEqual([settings[f"CNTDATA_{n}"]["ENABLE"] for n in range(1, 11)], ["1", "1"] + ["0"] * 8)
        x, y, width, height = monitor.geometry()
        # 130 x 50 dialog units: narrower than the minimum width of 240; 50 units are 81 px
        # with IPA P Gothic's 13-pixel lines (75, held at the minimum 80, with MS P Gothic's 12).
        self.assertEqual(width, 240)
        self.assertIn(height, range(80, 84))

        # A second start of the same executable ends at once, without a window.
        started = time.monotonic()
        second = self.session.spawn(monitor.command())
        self.assertEqual(second.wait(30), 0)
        self.assertLess(time.monotonic() - started, 15)
        self.assertEqual(monitor.main_windows(), [monitor.window])

        # Loopback through the Windows code path: choose it in the options, then send.
        monitor.menu_command(3)  # options
        sheet = wait_for(lambda: self.session.xdotool("search", "--name", "オプション"), 15)
        self.assertTrue(sheet, "the options sheet did not open")
        time.sleep(1)
        self.session.xdotool("key", "End")  # the interface list: loopback is last, by name
        # Qt's own texts are Japanese: the chooser of the Display 2 page's first swatch.
        for key in ("shift+Tab", "Right", "Right", "Tab", "space"):
            self.session.xdotool("key", key)
        self.assertTrue(wait_for(lambda: self.session.xdotool("search", "--name", "^色を選択$"), 10))
        self.session.xdotool("key", "Escape")
        self.assertTrue(wait_for(lambda: self.session.xdotool("getactivewindow") == sheet.split()[0], 10))
        self.session.xdotool("key", "shift+Tab")  # to the tab strip, where Return is OK
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
        # The curves leave the bottom edge only with values above 0; on loopback "Bytes Sent/sec"
        # (blue) equals and covers "Bytes Received/sec" (red). The rows of the two text lines
        # are left out.
        plot = pixels[width * 30:]
        self.assertGreater(plot.count(RED) + plot.count(BLUE), 10, "loopback traffic did not reach the graph")

        # Version information (fourth command): the About box; Escape closes it.
        monitor.menu_command(4)
        self.assertTrue(wait_for(lambda: self.session.xdotool("search", "--name", "Corvalaのバージョン情報"), 10))
        self.session.xdotool("key", "Escape")
        self.assertTrue(wait_for(lambda: not self.session.xdotool("search", "--onlyvisible", "--name",
                                                                  "Corvalaのバージョン情報"), 10))

        # Minimise (second command) hides the window into the notification area.
        monitor.menu_command(2)
        self.assertTrue(wait_for(lambda: not monitor.main_windows(), 10))
        self.assertEqual(len(monitor.tray_icons()), 1, "one notification-area icon")
        monitor.kill()
        monitor.start()

        # Always on top (first command), a drag, then exit (fifth): the placement is kept.
        monitor.menu_command(1)
        self.assertTrue(wait_for(lambda: "_NET_WM_STATE_ABOVE" in self.session.run(
            ["xprop", "-id", monitor.window, "_NET_WM_STATE"]), 10))
        # The sizing border sizes the window, and the graph then still moves it, by no more
        # than the drag.
        x, y, width, height = monitor.geometry()
        monitor.drag((x + width - 2, y + height - 2), (40, 20))
        self.assertTrue(wait_for(lambda: monitor.geometry()[2:] != (width, height), 10), "the border sizes")
        moved = self.drag_by(monitor, (120, 70))
        monitor.menu_command(5)
        self.assertEqual(monitor.wait_exit(), 0)
        self.assertEqual(read_ini(monitor.ini)["RECENT_WNDPOS"]["TOP_MOST"], "1")
        self.assertEqual(stored_rect(monitor), moved)

        # The next start opens there; ending the session keeps the new place as exit does.
        monitor.start()
        self.assertEqual(monitor.geometry(), moved)
        moved = self.drag_by(monitor, (-60, -40))
        subprocess.run(["wine", "wineboot", "--end-session"], env=self.session.env, timeout=60)
        self.assertEqual(monitor.wait_exit(), 0)
        self.assertEqual(stored_rect(monitor), moved)

    def test_tray_icon_restores_the_window(self):
        monitor = self.new_monitor("tray", name="corvala-tray.exe").start()
        shown = monitor.geometry()
        monitor.menu_command(2)  # minimise
        self.assertTrue(wait_for(lambda: not monitor.main_windows(), 10))
        x, y, width, height = self.session.geometry(self.session.xdotool("search", "--name", "^corvala-tray - "))
        self.session.xdotool("mousemove", x + width - 10, y + height - 10)  # the one icon, at the right
        self.session.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        self.assertTrue(wait_for(monitor.main_windows, 10), "a double click on the icon restores")
        self.assertEqual(monitor.geometry(), shown)

    def test_placement_in_the_screens_own_pixels(self):
        """At 120 dpi the toolkit counts 1.25 of the screen's pixels as one."""
        dpi = ["wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/f", "/d"]
        subprocess.run(dpi + ["120"], env=self.session.env, timeout=60, check=True)
        self.addCleanup(subprocess.run, dpi + ["96"], env=self.session.env, timeout=60)
        monitor = self.new_monitor("dpi", wine_pdh=True)
        with open(monitor.ini, "w", encoding="ascii") as ini:
            ini.write("[RECENT_WNDPOS]\nMAIN_NML_L=125\nMAIN_NML_T=125\nMAIN_NML_R=775\nMAIN_NML_B=275\n")
        self.assertEqual(monitor.start().geometry(), (125, 125, 650, 150))
        monitor.menu_command(5)
        self.assertEqual(monitor.wait_exit(), 0)
        self.assertEqual(stored_rect(monitor), (125, 125, 650, 150))

    def test_japanese_file_name(self):
        """Under code page 932, where the second byte of 表 is a backslash."""
        locales = os.path.join(self.session.tmp, "locales")
        os.makedirs(locales)
        subprocess.run(["localedef", "-i", "ja_JP", "-f", "UTF-8", os.path.join(locales, "ja_JP.UTF-8")], check=True)
        monitor = self.new_monitor("cp932", wine_pdh=True, name="表示.exe", env=[f"LOCPATH={locales}", "LC_ALL=ja_JP.UTF-8"])
        self.assertIn(monitor.start().window, self.session.xdotool("search", "--name", "^表示$").split())
        self.assertTrue(os.path.exists(monitor.ini), "the settings file lies beside the executable")

    def test_bits_tray_tip_sum_of_adapters_and_totals(self):
        """Wine flags every adapter but loopback as hardware (its IP helper cannot tell a
        virtual one): the sum of adapters counts a veth pair's end whose peer lies in a
        namespace of the test's own, and leaves loopback out; loopback's totals are then
        checked with it as the chosen interface."""
        namespace, adapter = f"corvala-wine{os.getpid()}", f"cvw{os.getpid()}"
        if os.geteuid() != 0 or subprocess.run(["ip", "netns", "add", namespace]).returncode != 0:
            self.skipTest("needs root and network namespaces")
        self.addCleanup(subprocess.run, ["ip", "netns", "del", namespace])  # the pair goes with it
        # Without ARP the frames leave at once, to an address of no one: counted as sent.
        for command in (f"link add {adapter} type veth peer name {adapter}p netns {namespace}",
                        f"-n {namespace} link set {adapter}p up", f"addr add 10.211.0.1/30 dev {adapter}",
                        f"link set {adapter} arp off up"):
            subprocess.run(["ip", *command.split()], check=True)
        monitor = self.new_monitor("extra")
        probe = ["wine", PROBE, "--totals", "--db", "Z:" + monitor.ini[:-4].replace("/", "\\") + ".db"]

        def run(source, send):
            extra = f"[CORVALA_EXTRA]\nRATE_UNIT=1\nTRAY_TIP=1\nSOURCE={source}\nTOTALS=1\n"
            with open(monitor.ini, "w", encoding="ascii") as ini:
                ini.write('[CNTBASE]\nINS_NAME="lo"\n' + extra)
            monitor.start()  # its first count comes before the window
            sent = send()
            monitor.menu_command(keys=("x",))  # exit, by its mnemonic: a totals line is above it
            self.assertEqual(monitor.wait_exit(), 0)
            self.assertIn(extra, monitor.ini_text(), "the options are kept as written")
            out = subprocess.run(probe, env=self.session.env, capture_output=True, text=True, timeout=60)
            self.assertEqual(out.returncode, 0, out.stderr)
            lines = [line.split("\t") for line in out.stdout.splitlines()]
            self.assertTrue(all(len(f) == 4 and f[1] in ("today", "month") for f in lines), out.stdout)
            return {f[0]: (int(f[2]), int(f[3])) for f in lines if f[1] == "today"}, sent

        def over_veth_and_loopback():
            with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender:
                sent = sum(sender.sendto(b"v" * 1000, ("10.211.0.2", 9)) for _ in range(300))
            return sent, over_loopback()

        def over_loopback():
            traffic = Loopback()
            try:
                self.assertTrue(wait_for(lambda: traffic.sent > 200000, 30))
            finally:
                traffic.stop()
            return traffic.sent

        summed, (sent, _) = run(1, over_veth_and_loopback)
        self.assertNotIn("lo", summed, "loopback is no adapter")
        self.assertGreaterEqual(summed[adapter][1], sent, summed)
        totals, sent = run(0, over_loopback)
        self.assertGreaterEqual(totals["lo"][0], sent)

    def drag_by(self, monitor, delta):
        """Drags the window by `delta` from the middle of its graph; its new geometry. Under
        Wine the window manager carries out the system's move loop, from where it last saw
        the pointer: the window follows the drag, but not always by all of it."""
        x, y, width, height = monitor.geometry()
        monitor.drag((x + width // 2, y + height // 2), delta)
        monitor.menu([monitor.window], ("Escape",))  # the program has seen the drag end
        moved = monitor.geometry()
        self.assertEqual(moved[2:], (width, height))
        for axis in (0, 1):
            shift = (moved[axis] - (x, y)[axis]) * (1 if delta[axis] > 0 else -1)
            self.assertIn(shift, range(1, abs(delta[axis]) + 1), f"the graph drags the window: {moved} from {(x, y)}")
        return moved

def stored_rect(monitor):
    """The stored normal placement as (x, y, width, height)."""
    placement = read_ini(monitor.ini)["RECENT_WNDPOS"]
    left, top, right, bottom = (int(placement[k]) for k in ("MAIN_NML_L", "MAIN_NML_T", "MAIN_NML_R", "MAIN_NML_B"))
    return left, top, right - left, bottom - top

if __name__ == "__main__":
    EXE, PROBE, PDH, PREFIX = (os.path.abspath(a) for a in sys.argv[1:5])
    SHOT = os.path.abspath(sys.argv[5]) if len(sys.argv) > 5 else None
    del sys.argv[1:]
    unittest.main(verbosity=2)
