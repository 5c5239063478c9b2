#!/usr/bin/env python3
"""CPU and memory of the running monitor, measured the way a user would feel them.

Runs the real program on its own Xvfb for a while (120 s by default) at the default settings,
watching the loopback interface while a steady stream of UDP datagrams crosses it, and reports
the CPU seconds per minute of the program and of its X server and the program's peak resident
memory (VmHWM). CPU time comes from the scheduler's own account in nanoseconds, summed over
every thread (/proc/PID/task/*/schedstat): at a fraction of a percent, clock ticks are too
coarse. With --conky, conky draws the same interface's graph on a second X server during the
same run, for comparison (needs the conky-std package), and the ratio of the two pairs is
printed.

Usage: bench/monitor_cpu.py PATH-TO-corvala [--seconds N] [--conky]
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


def write_settings(directory):
    """Default settings, watching the loopback interface with its first two counters."""
    with open(os.path.join(directory, "corvala.ini"), "w") as ini:
        ini.write("[CNTBASE]\nINS_NAME=\"lo\"\n")
        for n in range(1, 11):
            ini.write(f"[CNTDATA_{n}]\nENABLE={1 if n <= 2 else 0}\n")


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
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="corvala-bench-")
    runtime = os.path.join(work, "run")
    os.mkdir(runtime, 0o700)
    exe = os.path.join(work, "corvala")
    shutil.copy2(args.exe, exe)
    write_settings(work)
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb", HOME=work)
    env.pop("WAYLAND_DISPLAY", None)

    stop = threading.Event()
    pump = threading.Thread(target=traffic, args=(stop,), daemon=True)
    pump.start()
    processes = []
    try:
        xvfb, display = start_xvfb(env)
        processes.append(xvfb)
        monitor = subprocess.Popen([exe], env=dict(env, DISPLAY=display), stderr=subprocess.DEVNULL)
        processes.append(monitor)
        watched = {"corvala": monitor.pid, "corvala's X server": xvfb.pid}
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
        time.sleep(args.seconds)
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
