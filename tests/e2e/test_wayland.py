"""End to end in a Wayland session: the real executable under Weston with XWayland, with a
StatusNotifier host on a private session bus as a Wayland desktop's tray; and on Wayland
itself, as on a compositor without XWayland. Pointer and keys reach the program through the
compositor.

Usage: python3 test_wayland.py PATH-TO-corvala"""

import os
import shutil
import signal
import sys
import unittest

import test_monitor
from sni_host import SessionBus, StatusNotifierHost, entry_id
from test_monitor import BLACK, DARK_RED, RED, Monitor, read_ini
from weston_session import WestonSession
from xsession import wait_for


class WestonWithXWayland(unittest.TestCase):
    def setUp(self):
        self.session = WestonSession()
        self.bus = SessionBus(self.session.tmp)
        self.session.env["DBUS_SESSION_BUS_ADDRESS"] = self.bus.address
        self.host = StatusNotifierHost(self.bus.address)

    def tearDown(self):
        self.host.close()
        self.bus.close()
        self.session.close()

    def test_draws_drags_menu_hides_restores_and_keeps_placement(self):
        monitor = Monitor(self.session, os.path.join(self.session.tmp, "wayland")).start()
        item = self.host.wait_item()
        self.assertTrue(item, "the icon did not register with the tray")
        frame = lambda: self.session.frame_geometry(monitor.window)  # noqa: E731

        # It draws: black graph, red label at the top left.
        shot = os.path.join(self.session.tmp, "window.png")
        x, y, width, height = frame()

        def drawn():
            self.session.run(["import", "-window", monitor.window, shot], check=True)
            pixels = self.session.pixels(shot, 0, 0, width, height)
            label = self.session.pixels(shot, 2, 2, width // 2, 14)
            return pixels.count(BLACK) > len(pixels) // 2 and label.count(RED) > 20
        self.assertTrue(wait_for(drawn, 10), "no black graph with a red label")

        # The compositor moves the window by any point of the graph (toward the middle: it keeps
        # windows on the screen, and may have put this one anywhere), and sizes it by its corner.
        dx, dy = (150 if x < 500 else -150), (90 if y < 400 else -90)
        monitor.drag((x + width // 2, y + height // 2), (dx, dy))
        self.assertTrue(wait_for(lambda: frame() == (x + dx, y + dy, width, height), 10), frame())
        x, y, width, height = frame()
        monitor.drag((x + width - 2, y + height - 2), (100, 50))
        # Weston 10 counts its frame's shadow into the new size: it grows by at least the drag.
        self.assertTrue(wait_for(lambda: frame()[2] >= width + 100 and frame()[3] >= height + 50, 10), frame())
        self.assertEqual(frame()[:2], (x, y))
        placed = frame()

        # Its menu takes the keys: minimise (second command) hides it into the tray; the
        # tray's activation brings it back where it was.
        monitor.menu_command(2)
        self.assertTrue(wait_for(lambda: monitor.window not in monitor.main_windows(), 5), "not hidden")
        self.host.activate(item)
        self.assertTrue(wait_for(lambda: monitor.window in monitor.main_windows(), 5), "not restored")
        # XWayland reports the window where it was until the compositor has placed it again: the
        # place is the one the compositor shows, once XWayland reports it too. Same size; Weston
        # 10 may place a window it maps again off by its frame's 32-pixel shadow.
        restored = wait_for(lambda: self.shown(placed) == frame() and frame(), 30)
        self.assertTrue(restored, f"XWayland reports {frame()}, the screen shows {self.shown(placed)}")
        self.assertEqual(restored[2:], placed[2:])
        self.assertLessEqual(max(abs(restored[0] - placed[0]), abs(restored[1] - placed[1])), 32)

        # Exit (fifth command) keeps the placement.
        monitor.menu_command(5)
        self.assertEqual(monitor.wait_exit(), 0)
        stored = read_ini(monitor.ini)["RECENT_WNDPOS"]
        x, y, width, height = restored
        self.assertEqual(tuple(int(stored[k]) for k in ("MAIN_NML_L", "MAIN_NML_T", "MAIN_NML_R", "MAIN_NML_B")),
                         (x, y, x + width, y + height))

    def grid_box(self, area=(0, 0, 1280, 1024)):
        """Where the compositor shows the graph: the box around its dark-red grid on the screen,
        looked for within `area` (left, top, width, height)."""
        shot = os.path.join(self.session.tmp, "screen.png")
        self.session.run_in(self.session.outer_env, ["import", "-window", "root", shot])
        left, top = max(area[0], 0), max(area[1], 0)
        width, height = min(area[0] + area[2], 1280) - left, min(area[1] + area[3], 1024) - top
        pixels = self.session.pixels(shot, left, top, width, height)
        points = [(left + i % width, top + i // width) for i, pixel in enumerate(pixels) if pixel == DARK_RED]
        if not points:
            return None
        xs, ys = [x for x, _ in points], [y for _, y in points]
        return min(xs), min(ys), max(xs), max(ys)

    def shown(self, near):
        """The graph's (x, y, width, height) on the screen, looked for up to 64 pixels around `near`."""
        x, y, width, height = near
        box = self.grid_box((x - 64, y - 64, width + 128, height + 128))
        return box and (box[0], box[1], box[2] - box[0] + 1, box[3] - box[1] + 1)

    def test_without_xwayland_the_compositor_moves_it_and_nothing_breaks(self):
        directory = os.path.join(self.session.tmp, "native")
        os.makedirs(directory)
        shutil.copy2(test_monitor.EXE, directory)
        env = dict(self.session.env)
        del env["DISPLAY"]
        saved, self.session.env = self.session.env, env
        process = self.session.spawn([os.path.join(directory, "corvala")])
        self.session.env = saved
        item = self.host.wait_item()
        self.assertTrue(item, "the icon did not register with the tray")
        box = wait_for(self.grid_box, 30)
        self.assertTrue(box, "the window did not appear")

        # The compositor's interactive move follows the drag, from when the program asked for it;
        # toward the middle, since the compositor keeps windows on the screen and may have put
        # this one anywhere.
        x, y = (box[0] + box[2]) // 2, (box[1] + box[3]) // 2
        dx, dy = (150 if x < 640 else -150), (100 if y < 512 else -100)
        self.session.xdotool("mousemove", x, y)
        mark = self.session.log_mark()
        self.session.xdotool("mousedown", 1)
        self.assertTrue(wait_for(lambda: self.session.requested(r"xdg_toplevel@\d+\.move\(", mark), 5), "no move")
        for step in range(1, 6):
            self.session.xdotool("mousemove", x + dx * step // 5, y + dy * step // 5)
        self.session.xdotool("mouseup", 1)
        moved = (box[0] + dx, box[1] + dy, box[2] + dx, box[3] + dy)
        self.assertTrue(wait_for(lambda: self.grid_box() == moved, 30), "the window did not follow the drag")

        # Always on top has no meaning here and changes nothing; hiding and restoring work.
        mark = self.session.log_mark()
        self.session.xdotool("click", 3)
        self.assertTrue(wait_for(lambda: self.session.requested(r"xdg_popup@\d+\.grab\(", mark), 5), "no menu")
        self.session.xdotool("key", "Down")
        self.session.xdotool("key", "Return")
        self.assertTrue(wait_for(lambda: self.session.requested(r"xdg_popup@\d+\.destroy\(", mark), 5), "menu open")
        # Screenshots take seconds on a busy machine: the waits for the screen are long.
        self.host.click(item, entry_id(self.host.menu(item), "最小化 (_M)"))
        near = (moved[0], moved[1], moved[2] - moved[0] + 1, moved[3] - moved[1] + 1)
        self.assertTrue(wait_for(lambda: self.shown(near) is None, 30), "not hidden")
        self.host.activate(item)
        self.assertTrue(wait_for(self.grid_box, 30), "not restored")

        process.send_signal(signal.SIGTERM)
        self.assertEqual(process.wait(10), 0)
        self.assertEqual(read_ini(os.path.join(directory, "corvala.ini"))["RECENT_WNDPOS"]["TOP_MOST"], "1")


if __name__ == "__main__":
    test_monitor.EXE = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
