"""A private Wayland session for end-to-end tests: Weston with XWayland, as GNOME and KDE run
X11 programs in their default sessions.

Weston draws its output into a window on an Xvfb of its own (its X11 back end, CPU renderer):
that gives it a seat, so pointer and keys sent to that Xvfb reach the programs through the
compositor, as a user's do. Its headless back end has no seat, and XWayland dies on
synthetic input without one. Queries (windows, geometry, screenshots) go to XWayland's
display. Every wait is bounded."""

import os
import re

from xsession import XSession, wait_for

INPUT_COMMANDS = {"mousemove", "mousedown", "mouseup", "click", "key", "type"}


class WestonSession(XSession):
    def __init__(self, size=(1280, 1024)):
        super().__init__(window_manager=False, panel=False, size=f"{size[0]}x{size[1]}x24")
        self.outer_env = dict(self.env)
        self.log = log = os.path.join(self.tmp, "weston.log")
        for name in ("QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS"):
            self.env.pop(name, None)
        # Without a window manager on the Xvfb, Weston's window covers it from (0, 0), so
        # the compositor's coordinates and the Xvfb's are the same.
        self.spawn(["weston", "--backend=x11-backend.so", "--use-pixman", "--socket=wayland-corvala", "--xwayland",
                    f"--width={size[0]}", f"--height={size[1]}", "--idle-time=0", "--log=" + log, "--logger-scopes=log,xwm-wm-x11,proto"],
                   env=self.outer_env)

        def display():
            if not os.path.exists(log):
                return None
            with open(log, encoding="utf-8", errors="replace") as text:
                found = re.search(r"xserver listening on display (:\d+)", text.read())
            return found and found.group(1)

        number = wait_for(display, 20)
        if not number:
            self.close()
            raise RuntimeError("weston with XWayland did not start")
        # A desktop session has both: programs choose their platform themselves.
        self.env.update(DISPLAY=number, WAYLAND_DISPLAY="wayland-corvala")
        self.size = size
        self.pressed = False

    def spawn(self, argv, env=None, **kwargs):
        if env is None:
            return super().spawn(argv, **kwargs)
        saved, self.env = self.env, env
        try:
            return super().spawn(argv, **kwargs)
        finally:
            self.env = saved

    def log_mark(self):
        """Where the compositor's log ends now: its protocol dump shows what clients asked since."""
        return os.path.getsize(self.log)

    def requested(self, request, mark):
        """Whether a client has made a request matching `request` (a pattern such as
        r"xdg_toplevel@\\d+\\.move\\(") since `mark`."""
        with open(self.log, "rb") as text:
            text.seek(mark)
            return re.search(request, text.read().decode(errors="replace")) is not None

    def drag_mark(self):
        return self.log_mark()

    def drag_taken(self, mark):
        """The compositor carries out drags, from when its window manager got the program's
        request: it takes the pointer at once."""
        return self.requested(r"XCB_CLIENT_MESSAGE \(_NET_WM_MOVERESIZE ", mark)

    def xdotool(self, *args):
        """Input goes through the compositor's seat; everything else asks XWayland."""
        if args and args[0] == "mousemove" and not self.pressed:
            # Weston's X11 back end moves its pointer by the difference between two positions
            # it was told of, and may miss one: its pointer then stays off the real one. Pushed
            # against two opposite corners, it is caught at the output's edges and agrees again.
            for corner in ((0, 0), (self.size[0] - 1, self.size[1] - 1)):
                self.run_in(self.outer_env, ["xdotool", "mousemove", *[str(c) for c in corner]])
        if args and args[0] in ("mousedown", "mouseup"):
            self.pressed = args[0] == "mousedown"
        env = self.outer_env if args and args[0] in INPUT_COMMANDS else self.env
        result = self.run_in(env, ["xdotool", *[str(a) for a in args]])
        return result.strip()

    def run_in(self, env, argv):
        saved, self.env = self.env, env
        try:
            return self.run(argv)
        finally:
            self.env = saved
