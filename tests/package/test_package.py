"""The Debian package as a user gets it: lintian finds neither error nor warning, its programs
search no library folder of their own, it holds the programs and the desktop integration and
nothing else, its metadata validates, and the packaged program, unpacked and started by an
ordinary user on an X server, runs and keeps its settings in that user's configuration folder.

Usage: python3 test_package.py PATH-TO-corvala_VERSION_amd64.deb"""

import os
import signal
import struct
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
from xsession import XSession, wait_for  # noqa: E402

DEB = None
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
FILES = {
    "usr/bin/corvala",
    "usr/bin/corvala-probe",
    "usr/share/applications/corvala.desktop",
    "usr/share/metainfo/org.corvala.Corvala.metainfo.xml",
    "usr/share/icons/hicolor/scalable/apps/corvala.svg",
    "usr/share/man/man1/corvala.1.gz",
    "usr/share/man/man1/corvala-probe.1.gz",
    "usr/share/doc/corvala/copyright",
    "usr/share/doc/corvala/changelog.gz",
} | {f"usr/share/icons/hicolor/{n}x{n}/apps/corvala.png" for n in ICON_SIZES}
NOBODY = 65534


def run(argv, **kwargs):
    return subprocess.run(argv, capture_output=True, text=True, timeout=120, **kwargs)


def read(path):
    with open(path, encoding="utf-8") as text:
        return text.read()


def png_size(path):
    with open(path, "rb") as png:
        header = png.read(24)
    return struct.unpack(">II", header[16:24])


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = XSession(window_manager=False, panel=False)
        os.chmod(cls.session.tmp, 0o755)  # the unpacked tree is read by another user
        cls.root = os.path.join(cls.session.tmp, "unpacked")
        subprocess.run(["dpkg-deb", "-x", DEB, cls.root], check=True, timeout=60)

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def test_lintian_finds_nothing_and_programs_search_only_system_folders(self):
        result = run(["lintian", "--fail-on", "error,warning", DEB])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        # A library search path of its own would let a folder beside the program, or the
        # working directory, supply libraries.
        for program in ("corvala", "corvala-probe"):
            dynamic = run(["readelf", "-d", os.path.join(self.root, "usr/bin", program)], check=True).stdout
            self.assertIn("(NEEDED)", dynamic)
            self.assertNotRegex(dynamic, r"\((RPATH|RUNPATH)\)")

    def test_contents_control_and_metadata(self):
        files = {os.path.relpath(os.path.join(d, f), self.root)
                 for d, _, names in os.walk(self.root) for f in names}
        self.assertEqual(files, FILES)
        for size in ICON_SIZES:
            icon = os.path.join(self.root, f"usr/share/icons/hicolor/{size}x{size}/apps/corvala.png")
            self.assertEqual(png_size(icon), (size, size))

        control = run(["dpkg-deb", "-f", DEB, "Package", "Version", "Architecture", "Depends"]).stdout
        fields = dict(line.split(": ", 1) for line in control.splitlines())
        self.assertEqual(os.path.basename(DEB), f"{fields['Package']}_{fields['Version']}_{fields['Architecture']}.deb")
        depends = [d.split()[0] for d in fields["Depends"].split(", ")]
        # Computed from the programs' shared libraries, plus the fonts the interface is drawn with.
        self.assertIn("libqt6widgets6", depends)
        self.assertIn("libc6", depends)
        self.assertIn("fonts-ipafont-gothic", depends)

        metainfo = os.path.join(self.root, "usr/share/metainfo/org.corvala.Corvala.metainfo.xml")
        result = run(["appstreamcli", "validate", "--no-net", metainfo])
        self.assertEqual(result.returncode, 0, result.stdout)
        # Not even a hint (two main categories would show the entry twice in a menu).
        result = run(["desktop-file-validate", os.path.join(self.root, "usr/share/applications/corvala.desktop")])
        self.assertEqual((result.returncode, result.stdout), (0, ""))
        self.assertIn("GPL-3.0-or-later", read(metainfo))
        self.assertIn("License: GPL-3+", read(os.path.join(self.root, "usr/share/doc/corvala/copyright")))
        # The pages hold the menus' Japanese texts, read in a UTF-8 locale.
        for page in ("corvala.1.gz", "corvala-probe.1.gz"):
            result = run(["man", "--warnings", "-l", os.path.join(self.root, "usr/share/man/man1", page)],
                         env=dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8"))
            self.assertEqual((result.returncode, result.stderr), (0, ""))
            self.assertIn("EXIT STATUS", result.stdout)

    def test_unpacked_program_keeps_settings_in_the_users_folder(self):
        home = os.path.join(self.session.tmp, "home")
        runtime = os.path.join(home, "run")
        os.makedirs(runtime, mode=0o700)
        for directory in (home, runtime):
            os.chown(directory, NOBODY, NOBODY)
        env = dict(self.session.env, HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(home, "config"))
        exe = os.path.join(self.root, "usr/bin/corvala")
        # The lock's folder is under the home that the password database names, which for
        # nobody does not exist: in a mount namespace of its own, the program reads a copy
        # that names the temporary home.
        passwd = os.path.join(self.session.tmp, "passwd")
        with open("/etc/passwd") as source, open(passwd, "w") as copy:
            for line in source:
                fields = line.split(":")
                if len(fields) > 5 and fields[2] == str(NOBODY):
                    fields[5] = home
                copy.write(":".join(fields))
        process = subprocess.Popen(["unshare", "-m", "--propagation", "private", "sh", "-c",
                                    'mount --bind "$1" /etc/passwd && shift && exec "$@"', "sh", passwd,
                                    "setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups", exe],
                                   env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            window = wait_for(lambda: self.session.windows_of(process.pid), 15)
            self.assertTrue(window, "the packaged program showed no window")
            ini = os.path.join(home, "config", "corvala", "corvala.ini")
            self.assertTrue(wait_for(lambda: os.path.exists(ini) and "[CNTBASE]" in read(ini), 10))
            self.assertEqual(os.stat(ini).st_uid, NOBODY)
            self.assertFalse(os.path.exists(exe + ".ini"))
        finally:
            process.send_signal(signal.SIGTERM)
            self.assertEqual(process.wait(10), 0)
        self.assertIn("[RECENT_WNDPOS]", read(ini))


if __name__ == "__main__":
    DEB = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
