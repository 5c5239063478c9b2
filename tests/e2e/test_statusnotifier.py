"""End to end on a StatusNotifierItem tray (KDE Plasma, GNOME with AppIndicator, Xfce, LXQt...):
the real executable on Xvfb with a window manager, a private session bus and a watcher and
host of the test's own, which reads the item and its menu and sends what a host sends, and
records the notifications of a traffic cap.

Usage: python3 test_statusnotifier.py PATH-TO-corvala"""

import os
import re
import subprocess
import sys
import time
import unittest

import test_monitor
from sni_host import SessionBus, StatusNotifierHost, entry_id, visible_entries
from test_monitor import Monitor, read_ini
from xsession import XSession, wait_for

SHOWN_MENU = ["[ ] 常に前面に表示 (_T)", "最小化 (_M)", "-", "オプション (_O)", "バージョン情報 (_A)", "-", "終了 (_X)"]
HIDDEN_MENU = ["[ ] 常に前面に表示 (_T)", "元のサイズに戻す (_R)", "-", "オプション (_O)", "バージョン情報 (_A)", "-",
               "終了 (_X)"]
# 1000-byte frames on the namespace's loopback (958 bytes of payload, the UDP, IP and
# Ethernet headers), 1000 a second, to a socket that never reads: 1,000,000 bytes a second.
SENDER = """
import socket, time
sink = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
sink.bind(("127.0.0.1", 40000))
out = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
start, sent = time.monotonic(), 0
while sent < 600000:
    sent += 1
    out.sendto(b"x" * 958, ("127.0.0.1", 40000))
    time.sleep(max(0, start + sent / 1000 - time.monotonic()))
"""
STEPS = {"": 1, "K": 1024, "M": 1024 ** 2, "G": 1024 ** 3}
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
        self.live_readout_in_bits()

    def live_readout_in_bits(self):
        """Bits and the tray tip on, in a namespace of the test's own with traffic at a known
        rate on its loopback: the graph's accessible description (through AT-SPI) and the
        item's tooltip show it."""
        namespace = f"corvala-e2e-{os.getpid()}"
        subprocess.run(["ip", "netns", "add", namespace], check=True)
        self.addCleanup(subprocess.run, ["ip", "netns", "del", namespace])
        subprocess.run(["ip", "-n", namespace, "link", "set", "lo", "up"], check=True)
        monitor = Monitor(self.session, os.path.join(self.session.tmp, "bits"))
        with open(monitor.ini, "w", encoding="utf-8") as ini:
            ini.write("[CNTBASE]\nINS_NAME=lo\n[CNTDATA_1]\nENABLE=1\n[CNTDATA_2]\nENABLE=1\n"
                      "[CORVALA_EXTRA]\nRATE_UNIT=1\nTRAY_TIP=1\n")
        monitor.command = lambda: ["ip", "netns", "exec", namespace, monitor.exe]
        self.session.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        registered = len(self.host.items)
        monitor.start()
        self.addCleanup(monitor.kill)
        sender = subprocess.Popen(["ip", "netns", "exec", namespace, sys.executable, "-c", SENDER])
        self.addCleanup(sender.kill)

        def lo_bytes():
            dev = subprocess.run(["ip", "netns", "exec", namespace, "cat", "/proc/net/dev"], capture_output=True,
                                 text=True, check=True).stdout
            return int(re.search(r"lo:\s*(\d+)", dev).group(1)), time.monotonic()

        os.environ["DBUS_SESSION_BUS_ADDRESS"] = self.bus.address  # where AT-SPI finds its bus
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi

        def description():
            desktop = Atspi.get_desktop(0)
            nodes = [desktop.get_child_at_index(i) for i in range(desktop.get_child_count())]
            for _ in range(1000):
                if not nodes:
                    return None
                node = nodes.pop()
                if node.get_name() == "corvala" and node.get_role_name() == "dialog":
                    return "\n".join(child.get_description() or "" for child in
                                     (node.get_child_at_index(j) for j in range(node.get_child_count())))
                nodes += [node.get_child_at_index(j) for j in range(min(node.get_child_count(), 20))]
            return None

        def within_3_percent():
            (bytes0, t0), text = lo_bytes(), description()
            time.sleep(1)
            bytes1, t1 = lo_bytes()
            bits = 8 * (bytes1 - bytes0) / (t1 - t0)
            shown = re.findall(r"Bytes (?:Received|Sent)/sec (\d+(?:\.\d+)?) ([KMG]?)bit/s", text or "")
            return len(shown) == 2 and all(abs(float(v) * STEPS[s] / bits - 1) < 0.03 for v, s in shown)

        self.assertTrue(wait_for(within_3_percent, 30), f"described as {description()!r}")
        self.assertTrue(wait_for(lambda: len(self.host.items) > registered, 10), "the icon did not register")
        tip = lambda: self.host.properties(self.host.items[-1])["ToolTip"][2]  # noqa: E731
        rates = r"^corvala\n受信 \d+\.\d{3} Mbit/s\n送信 \d+\.\d{3} Mbit/s$"
        self.assertTrue(wait_for(lambda: re.match(rates, tip()), 10), tip())

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
