#!/usr/bin/env python3
"""CPU and memory of the running monitor, measured the way a user would feel them.

Runs the real program on its own Xvfb for a while (120 s by default) at the default settings,
watching the loopback interface while a steady stream of UDP datagrams crosses it, and reports
the CPU seconds per minute of the program and of its X server and the program's peak resident
memory (VmHWM). CPU time comes from the scheduler's own account in nanoseconds, summed over
every thread (/proc/PID/task/*/schedstat): at a fraction of a percent, clock ticks are too
coarse. With --conky, conky draws the same interface's graph on a second X server during the
same run, for comparison (needs the conky-std package), and the ratio of the two pairs is
printed. With --extra KEY=VALUE,..., a second copy runs side by side with those options of
its [CORVALA_EXTRA] section on (each copy on an X server of its own with a tint2 panel, so
that both have a notification area), and the cost of the options is printed: the CPU ratio of
the two copies (with and without their panels) and the difference of their peak resident
memory.

Usage: bench/monitor_cpu.py PATH-TO-corvala [--seconds N] [--conky] [--extra KEY=VALUE,...]
  e.g. --extra RATE_UNIT=1,TRAY_TIP=1,TRAY_ICON=1,GRAPH_TIP=1,GRAPH_SCALE=1,SOURCE=1,TOTALS=1
"""

import argparse
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time


def cpu_seconds(pid):
    """Time on the CPU of every live thread of the process; a thread that ended takes its
    share with it, which the programs measured here, whose threads live as long as they do,
    never see."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as schedstat:
                total += int(schedstat.read().split()[0])  # nanoseconds on the CPU
        except FileNotFoundError:
            pass  # the thread ended between the listing and the read
    return total / 1e9


def peak_rss_mib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return 0.0


def start_xvfb(env):
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    os.close(write_fd)
    with os.fdopen(read_fd) as reader:
        display = ":" + reader.readline().strip()
    return xvfb, display


def traffic(stop, rate_per_second=2000, size=1200):
    """A steady loopback stream, so the graph has something to draw."""
    receiver = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    receiver.bind(("127.0.0.1", 0))
    receiver.setblocking(False)
    sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    payload = b"x" * size
    target = receiver.getsockname()
    while not stop.is_set():
        for _ in range(rate_per_second // 100):
            sender.sendto(payload, target)
            try:
                while True:
                    receiver.recv(2048)
            except BlockingIOError:
                pass
        time.sleep(0.01)


def write_settings(directory, extra=""):
    """Default settings, watching the loopback interface with its first two counters, and the
    options `extra` ("KEY=VALUE,...") of the [CORVALA_EXTRA] section."""
    with open(os.path.join(directory, "corvala.ini"), "w") as ini:
        ini.write("[CNTBASE]\nINS_NAME=\"lo\"\n")
        for n in range(1, 11):
            ini.write(f"[CNTDATA_{n}]\nENABLE={1 if n <= 2 else 0}\n")
        if extra:
            ini.write("[CORVALA_EXTRA]\n" + "".join(f"{option}\n" for option in extra.split(",")))


def start_monitor(exe, directory, env, extra, panel):
    """A copy of the program in `directory`, with its own settings, on an X server of its own."""
    os.makedirs(directory, exist_ok=True)
    copy = os.path.join(directory, "corvala")
    shutil.copy2(exe, copy)
    write_settings(directory, extra)
    xvfb, display = start_xvfb(env)
    started = [xvfb]
    if panel:
        tint2rc = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e", "tint2rc")
        started.append(subprocess.Popen(["tint2", "-c", tint2rc], env=dict(env, DISPLAY=display),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(2)  # the panel's notification area is up before the program looks for it
    started.append(subprocess.Popen([copy], env=dict(env, DISPLAY=display), stderr=subprocess.DEVNULL))
    return started


def count_writes(database, until):
    """How often the totals database (with its write-ahead log) changed, looked at once a
    second until the monotonic time `until`."""
    def stamp():
        return tuple(os.stat(path).st_mtime_ns if os.path.exists(path) else 0
                     for path in (database, database + "-wal"))
    writes, last = 0, stamp()
    while time.monotonic() < until:
        time.sleep(min(1.0, max(0.0, until - time.monotonic())))
        now = stamp()
        writes += now != last
        last = now
    return writes


CONKY_RC = """conky.config = { out_to_x = true, own_window = true, own_window_type = 'normal',
  update_interval = 0.5, double_buffer = true, minimum_width = 240, minimum_height = 80 };
conky.text = [[${downspeed lo} ${downspeedgraph lo 40,240}
${upspeed lo} ${upspeedgraph lo 40,240}]];
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("exe")
    parser.add_argument("--seconds", type=int, default=120)
    parser.add_argument("--conky", action="store_true")
    parser.add_argument("--extra", default="")
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="corvala-bench-")
    runtime = os.path.join(work, "run")
    os.mkdir(runtime, 0o700)
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb", HOME=work)
    env.pop("WAYLAND_DISPLAY", None)

    stop = threading.Event()
    pump = threading.Thread(target=traffic, args=(stop,), daemon=True)
    pump.start()
    processes = []
    try:
        processes += start_monitor(args.exe, os.path.join(work, "defaults"), env, "", bool(args.extra))
        xvfb, monitor = processes[0], processes[-1]
        watched = {"corvala": monitor.pid, "corvala's X server": xvfb.pid}
        if args.extra:
            options = start_monitor(args.exe, os.path.join(work, "options"), env, args.extra, True)
            processes += options
            watched.update({"corvala's panel": processes[1].pid, "corvala, options on": options[-1].pid,
                            "its X server": options[0].pid, "its panel": options[1].pid})
        if args.conky:
            if not shutil.which("conky"):
                sys.exit("conky is not installed (apt-get install conky-std)")
            rc = os.path.join(work, "conky.rc")
            with open(rc, "w") as text:
                text.write(CONKY_RC)
            conky_x, conky_display = start_xvfb(env)
            conky = subprocess.Popen(["conky", "-c", rc], env=dict(env, DISPLAY=conky_display),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            processes += [conky_x, conky]
            watched.update({"conky": conky.pid, "conky's X server": conky_x.pid})

        time.sleep(3)  # start-up is not what we measure
        before = {name: cpu_seconds(pid) for name, pid in watched.items()}
        started = time.monotonic()
        database = os.path.join(work, "options", "corvala.db")
        writes = count_writes(database, started + args.seconds)
        elapsed = time.monotonic() - started
        after = {name: cpu_seconds(pid) for name, pid in watched.items()}

        per_minute = {name: (after[name] - before[name]) * 60 / elapsed for name in watched}
        print(f"{'process':<22} {'CPU-s/min':>10}")
        for name, value in per_minute.items():
            print(f"{name:<22} {value:>10.3f}")
        print(f"corvala peak RSS: {peak_rss_mib(monitor.pid):.1f} MiB")
        if args.conky:
            print(f"conky peak RSS:   {peak_rss_mib(watched['conky']):.1f} MiB")
            ours = per_minute["corvala"] + per_minute["corvala's X server"]
            theirs = per_minute["conky"] + per_minute["conky's X server"]
            print(f"ratio (corvala + X) / (conky + X): {ours / theirs:.3f}")
        if os.path.exists(database):
            print(f"options on, database writes: {writes} in {elapsed:.0f} s")
        if args.extra:
            rss = peak_rss_mib(watched["corvala, options on"]) - peak_rss_mib(monitor.pid)
            print(f"options on, peak RSS difference: {rss:+.1f} MiB")
            ours = per_minute["corvala, options on"] + per_minute["its X server"]
            theirs = per_minute["corvala"] + per_minute["corvala's X server"]
            print(f"ratio (options on + X) / (defaults + X): {ours / theirs:.3f}")
            # The live tray icon has the panel draw it anew: a cost the user pays too.
            ours += per_minute["its panel"]
            theirs += per_minute["corvala's panel"]
            print(f"ratio (options on + X + panel) / (defaults + X + panel): {ours / theirs:.3f}")
    finally:
        stop.set()
        for process in reversed(processes):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
