"""End to end on a StatusNotifierItem tray (KDE Plasma, GNOME with AppIndicator, Xfce, LXQt...):
the real executable on Xvfb with a window manager, a private session bus and a watcher and
host of the test's own, which reads the item and its menu and sends what a host sends, and
records the notifications of a traffic cap.

Usage: python3 test_statusnotifier.py PATH-TO-corvala"""

import os
import subprocess
import sys
import unittest

import test_monitor
from sni_host import SessionBus, StatusNotifierHost, entry_id, visible_entries
from test_monitor import Monitor, read_ini
from xsession import XSession, wait_for

SHOWN_MENU = ["[ ] 常に前面に表示 (_T)", "最小化 (_M)", "-", "オプション (_O)", "バージョン情報 (_A)", "-", "終了 (_X)"]
HIDDEN_MENU = ["[ ] 常に前面に表示 (_T)", "元のサイズに戻す (_R)", "-", "オプション (_O)", "バージョン情報 (_A)", "-",
               "終了 (_X)"]
TRAY_PNG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res", "tray16.png")


def png_as_argb(path):
    """The pixels of a PNG as a StatusNotifier icon carries them: A, R, G, B bytes per pixel."""
    rgba = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], capture_output=True, timeout=30,
                          check=True).stdout
    return b"".join(bytes((rgba[i + 3], rgba[i], rgba[i + 1], rgba[i + 2])) for i in range(0, len(rgba), 4))


class StatusNotifierTray(unittest.TestCase):
    def setUp(self):
        self.session = XSession(window_manager=True, panel=False)
        self.bus = SessionBus(self.session.tmp)
        self.session.env["DBUS_SESSION_BUS_ADDRESS"] = self.bus.address
        self.host = None

    def tearDown(self):
        if self.host:
            self.host.close()
        self.bus.close()
        self.session.close()

    def visible(self, monitor):
        return monitor.window in monitor.main_windows()

    def test_item_menu_activation_and_host_restarts(self):
        # The panel comes up after the program, as at a login: the icon registers then.
        monitor = Monitor(self.session, os.path.join(self.session.tmp, "sni")).start()
        self.host = StatusNotifierHost(self.bus.address)
        item = self.host.wait_item()
        self.assertTrue(item, "the icon did not register with the watcher")

        props = self.host.properties(item)
        self.assertEqual(props["Title"], "corvala")
        self.assertEqual(props["ToolTip"][2], "corvala")
        self.assertEqual(props["Status"], "Active")
        icons = {(width, height): bytes(data) for width, height, data in props["IconPixmap"]}
        expected = png_as_argb(TRAY_PNG)
        self.assertEqual(len(icons.get((16, 16), b"")), len(expected))
        # Colours may round by a step or two through the toolkit's premultiplied pixels.
        self.assertLessEqual(max(abs(a - b) for a, b in zip(icons[(16, 16)], expected)), 4)

        menu = self.host.menu(item)
        self.assertEqual(visible_entries(menu), SHOWN_MENU)

        # Minimise from the menu hides the window, and the exported menu follows at once.
        self.host.click(item, entry_id(menu, "最小化 (_M)"))
        self.assertTrue(wait_for(lambda: not self.visible(monitor), 5), "minimise did not hide the window")
        self.assertTrue(wait_for(lambda: visible_entries(self.host.menu(item)) == HIDDEN_MENU, 5))

        # One primary activation, the only one a host sends, brings it back.
        self.host.activate(item)
        self.assertTrue(wait_for(lambda: self.visible(monitor), 5), "activation did not restore the window")

        # Always on top: checked in the exported menu and on the window.
        self.host.click(item, entry_id(menu, "常に前面に表示 (_T)"))
        self.assertTrue(wait_for(lambda: visible_entries(self.host.menu(item))[0] == "[x] 常に前面に表示 (_T)", 5))
        self.assertIn("_NET_WM_STATE_ABOVE", self.session.run(["xprop", "-id", monitor.window, "_NET_WM_STATE"]))

        # Version and options open their windows.
        for label, title in (("バージョン情報 (_A)", "バージョン情報$"), ("オプション (_O)", "^オプション$")):
            self.host.click(item, entry_id(menu, label))
            window = wait_for(lambda: self.session.xdotool("search", "--onlyvisible", "--name", title), 5)
            self.assertTrue(window, f"{label} opened no window")
            self.session.xdotool("windowactivate", "--sync", window.split()[0])
            self.session.xdotool("key", "Escape")
            self.assertTrue(wait_for(lambda: not self.session.xdotool("search", "--onlyvisible", "--name", title), 5))

        # Hidden, then the panel goes away: the window comes back. The next panel gets the icon again.
        self.host.click(item, entry_id(menu, "最小化 (_M)"))
        self.assertTrue(wait_for(lambda: not self.visible(monitor), 5))
        self.host.close()
        self.host = None
        self.assertTrue(wait_for(lambda: self.visible(monitor), 10), "the window stayed hidden without a tray")
        self.host = StatusNotifierHost(self.bus.address)
        item = self.host.wait_item()
        self.assertTrue(item, "the icon did not register with the new watcher")

        # Exit from the menu ends the program and keeps the topmost state.
        self.host.click(item, entry_id(self.host.menu(item), "終了 (_X)"))
        self.assertEqual(monitor.wait_exit(), 0)
        self.assertEqual(read_ini(monitor.ini)["RECENT_WNDPOS"]["TOP_MOST"], "1")

    def test_cap_warnings_once_at_80_and_100_percent_and_not_after_a_restart(self):
        # In a network namespace of its own, whose loopback carries the test's traffic alone.
        namespace = f"corvala-cap{os.getpid()}"
        if os.geteuid() != 0 or subprocess.run(["ip", "netns", "add", namespace]).returncode != 0:
            self.skipTest("needs root and network namespaces")
        self.addCleanup(subprocess.run, ["ip", "netns", "del", namespace])
        subprocess.run(["ip", "-n", namespace, "link", "set", "lo", "up"], check=True)
        self.host = StatusNotifierHost(self.bus.address)
        monitor = Monitor(self.session, os.path.join(self.session.tmp, "cap"))
        monitor.command = lambda: ["ip", "netns", "exec", namespace, monitor.exe]
        self.addCleanup(monitor.kill)
        with open(monitor.ini, "w", encoding="utf-8") as ini:
            ini.write('[CNTBASE]\nINS_NAME="lo"\n[CORVALA_EXTRA]\nTOTALS=1\nCAP_MIB=1\n')
        monitor.start()
        self.assertTrue(self.host.wait_item(), "the icon did not register with the watcher")

        def send(datagrams):  # counted twice, received and sent: 2 x 1042 bytes with the headers
            subprocess.run(["ip", "netns", "exec", namespace, "python3", "-c", "import socket, sys\n"
                            "s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(('127.0.0.1', 0))\n"
                            "for _ in range(int(sys.argv[1])): s.sendto(b'c' * 1000, s.getsockname())",
                            str(datagrams)], check=True, timeout=30)
        for datagrams, percent in ((420, 84), (100, 104)):
            send(datagrams)
            count = len(self.host.notifications) + 1
            self.assertTrue(wait_for(lambda: len(self.host.notifications) == count, 10), f"none at {percent} %")
        self.assertEqual([(title, body.split(" (")[0]) for title, body in self.host.notifications],
                         [("corvala", "今月の通信量が上限の 80% に達しました"), ("corvala", "今月の通信量が上限に達しました")])
        monitor.process.terminate()
        self.assertEqual(monitor.wait_exit(), 0)
        # A restart over the cap, with the icon up at once: a warning would come with its first count.
        monitor.start()
        self.assertTrue(self.host.wait_item(2), "the icon did not register again")
        monitor.process.terminate()
        self.assertEqual(monitor.wait_exit(), 0)
        self.assertEqual(len(self.host.notifications), 2)


if __name__ == "__main__":
    test_monitor.EXE = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
