#!/usr/bin/env python3
"""tarnwick-cli start-up on an empty folder and on a million requested files, beside the
window's own start on the same lists and curl's and wget's start-up, in one run.

usage: bench/cli_startup.py [build folder] [rounds]

Each figure is the median wall time of the rounds. The window is timed from its start until
it answers a hand-over (it has then read the lists and made its window), under the offscreen
platform; the command line's own time for that hand-over is taken off.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build/bench"
rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 5
cli = os.path.abspath(os.path.join(build, "src/cli/tarnwick-cli"))
window = os.path.abspath(os.path.join(build, "src/app/tarnwick"))
ENTRIES = 1_000_000


def timed(argv, cwd):
    start = time.perf_counter()
    subprocess.run(argv, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    return time.perf_counter() - start


def median_ms(samples):
    return statistics.median(samples) * 1000


def fill(folder):
    with open(os.path.join(folder, "reqfiles.data"), "w", newline="") as out:
        for n in range(ENTRIES):
            out.write(f"http://127.0.0.1/files/{n // 1000}/entry-{n}.zip\r\n")


def window_start(folder):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    lock = os.path.join(folder, ".tarnwick.lock")
    if os.path.exists(lock):
        os.remove(lock)
    start = time.perf_counter()
    process = subprocess.Popen([window], cwd=folder, env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while not (os.path.exists(lock) and os.path.getsize(lock) > 0):
        time.sleep(0.001)
    # The window listens right after reading the lists and making its panes.
    while subprocess.run([cli, "-q", "add", "http://127.0.0.1/probe.zip"], cwd=folder,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode != 0:
        time.sleep(0.005)
    elapsed = time.perf_counter() - start
    process.kill()
    process.wait()
    return elapsed


def main():
    rows = []
    with tempfile.TemporaryDirectory() as empty:
        rows.append(("empty folder", "tarnwick-cli list",
                     median_ms([timed([cli, "list"], empty) for _ in range(rounds)])))
        rows.append(("empty folder", "tarnwick-cli add URL (lock, read, add, save)",
                     median_ms([timed([cli, "add", f"http://127.0.0.1/{n}.zip"], empty)
                                for n in range(rounds)])))
        for peer in ("curl", "wget"):
            if shutil.which(peer):
                rows.append(("empty folder", f"{peer} --version",
                             median_ms([timed([peer, "--version"], empty)
                                        for _ in range(rounds)])))
    with tempfile.TemporaryDirectory() as big:
        fill(big)
        rows.append((f"{ENTRIES:,} files", "tarnwick-cli list files",
                     median_ms([timed([cli, "list", "files"], big) for _ in range(rounds)])))
        rows.append((f"{ENTRIES:,} files", "tarnwick-cli add URL (lock, read, add, save)",
                     median_ms([timed([cli, "add", f"http://127.0.0.1/new-{n}.zip"], big)
                                for n in range(rounds)])))
        window_rounds = max(1, min(rounds, 3))
        rows.append((f"{ENTRIES:,} files", "tarnwick window: start until it takes a hand-over",
                     median_ms([window_start(big) for _ in range(window_rounds)])))
    print(f"| lists | program | median of {rounds} (ms) |")
    print("|---|---|---|")
    for lists, program, ms in rows:
        print(f"| {lists} | {program} | {ms:.1f} |")


if __name__ == "__main__":
    main()
