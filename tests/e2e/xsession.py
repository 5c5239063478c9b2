"""A private X session for end-to-end tests: Xvfb, optionally a window manager and a panel
with a notification area, and small xdotool / screenshot helpers. Every wait is bounded."""

import glob
import os
import pwd
import shutil
import subprocess
import tempfile
import time


def wait_for(condition, timeout=10.0, interval=0.05):
    """Polls `condition` until it returns a true value or `timeout` seconds pass."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            return value
        time.sleep(interval)


class XSession:
    def __init__(self, window_manager=True, panel=True, size="1280x1024x24"):
        self.processes = []
        self.tmp = tempfile.mkdtemp(prefix="corvala-e2e-")
        read_fd, write_fd = os.pipe()
        # Without -noreset the server resets whenever its last client leaves, and refuses the
        # connections that come meanwhile: without a window manager, the program's own.
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", size, "-nolisten", "tcp",
                                 "-noreset"],
                                pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        self.processes.append(xvfb)
        with os.fdopen(read_fd) as reader:
            number = reader.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        runtime = os.path.join(self.tmp, "run")
        os.mkdir(runtime, 0o700)
        self.env = dict(os.environ, DISPLAY=":" + number, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb",
                        HOME=self.tmp, XDG_CONFIG_HOME=os.path.join(self.tmp, "config"))
        self.env.pop("WAYLAND_DISPLAY", None)
        if window_manager:
            self.spawn(["openbox", "--sm-disable"])
            wait_for(lambda: "_NET_SUPPORTING_WM_CHECK" in self.run(["xprop", "-root"]), 10)
        if panel:
            here = os.path.dirname(os.path.abspath(__file__))
            self.spawn(["tint2", "-c", os.path.join(here, "tint2rc")])
            wait_for(lambda: self.tray_owner() != "", 10)

    def spawn(self, argv, **kwargs):
        process = subprocess.Popen(argv, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def run(self, argv, check=False):
        result = subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"{argv} failed: {result.stderr}")
        return result.stdout

    def xdotool(self, *args):
        return self.run(["xdotool", *[str(a) for a in args]]).strip()

    def drag_mark(self):
        """Taken before a drag's press, for drag_taken."""
        return None

    def drag_taken(self, mark):
        """Whether the drag pressed after `mark` may go on: here the program moves the window
        itself, following the pointer's events in their order."""
        return True

    def tray_owner(self):
        """The panel's window, once it is up (it holds the notification area)."""
        return self.run(["xdotool", "search", "--classname", "tint2"]).strip()

    def windows_of(self, pid, visible=True):
        args = ["search", "--pid", str(pid)]
        if visible:
            args.insert(1, "--onlyvisible")
        return [w for w in self.xdotool(*args).split() if w]

    def geometry(self, window):
        """(x, y, width, height) of a window, from xdotool."""
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def frame_geometry(self, window):
        """(x, y, width, height) of a window's client area on the screen, from xwininfo: unlike
        xdotool it is right for windows inside a window-manager frame."""
        out = self.run(["xwininfo", "-id", str(window)])
        values = {}
        for line in out.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                int(values["Width"]), int(values["Height"]))

    def screenshot(self, path):
        self.run(["import", "-window", "root", path], check=True)
        return path

    def pixels(self, path, x, y, width, height):
        """The RGB triples of a rectangle of a PNG, row by row."""
        data = subprocess.run(["convert", path, "-crop", f"{width}x{height}+{x}+{y}", "+repage", "-depth", "8", "rgb:-"],
                              capture_output=True, timeout=30, check=True).stdout
        return [tuple(data[i:i + 3]) for i in range(0, len(data), 3)]

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait(5)
        shutil.rmtree(self.tmp, ignore_errors=True)
        remove_locks_under(self.tmp)


def remove_locks_under(directory):
    """A lock file outlives its program by design (one per executable): remove those of the
    copies that ran under `directory`, wherever the user's lock directory is."""
    uid = os.getuid()
    places = [f"/run/user/{uid}", f"/tmp/corvala-{uid}", os.path.join(pwd.getpwuid(uid).pw_dir, ".cache/corvala-locks")]
    for place in places:
        for path in glob.glob(os.path.join(glob.escape(place), glob.escape(directory.replace("/", "_")) + "_*.lock")):
            os.unlink(path)
