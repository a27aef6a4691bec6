#!/usr/bin/env python3
"""Mirrors the generated site (make_site.py) served by lighttpd on 127.0.0.1 with our crawl
worker (pages kept), `wget -m -k -np` and `httrack`, in the same run, and prints files per
second, CPU seconds and peak memory of each, after checking that all fetched the same files.

Usage: bench/crawl_peers.py [--crawler PATH] [--runs N] [--without-httrack]"""

import argparse
import os
import shutil
import socket
import statistics
import subprocess
import tempfile
import time

from make_site import make_site

HERE = os.path.dirname(os.path.abspath(__file__))


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_lighttpd(work, site, port):
    config = os.path.join(work, "lighttpd.conf")
    with open(config, "w") as out:
        out.write(f'server.document-root = "{site}"\n'
                  'server.bind = "127.0.0.1"\n'
                  f"server.port = {port}\n"
                  f'server.errorlog = "{work}/lighttpd.log"\n'
                  'index-file.names = ("index.htm")\n'
                  'mimetype.assign = (".htm" => "text/html", ".gif" => "image/gif")\n'
                  # one connection may serve the whole mirror, for every client alike
                  "server.max-keep-alive-requests = 100000\n"
                  "server.max-keep-alive-idle = 30\n")
    server = subprocess.Popen(["lighttpd", "-D", "-f", config])
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return server
        except OSError:
            time.sleep(0.05)
    server.kill()
    raise SystemExit("lighttpd did not start")


def timed(command, cwd):
    """Runs the command under GNU time; returns wall seconds, CPU seconds, peak memory in
    MiB and the exit code. (A forked Python's own size would hide the tool's in wait4.)"""
    report = os.path.join(cwd, "..", os.path.basename(cwd) + ".time")
    child = subprocess.run(["/usr/bin/time", "-f", "%e %U %S %M", "-o", report] + command,
                           cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(report) as lines:
        wall, user, system, kilobytes = lines.read().split()[-4:]
    return float(wall), float(user) + float(system), int(kilobytes) / 1024.0, child.returncode


def mirrored_files(folder):
    found = []
    for parent, _, names in os.walk(folder):
        for name in names:
            if name.endswith((".htm", ".gif")):
                found.append(os.path.relpath(os.path.join(parent, name), folder))
    return sorted(found)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--crawler", default=os.path.join(HERE, "..", "build", "bench", "bench",
                                                          "bench_crawl"))
    parser.add_argument("--runs", type=int, default=3, help="runs of our crawler and wget")
    parser.add_argument("--without-httrack", action="store_true",
                        help="leave out httrack, which takes minutes")
    options = parser.parse_args()
    crawler = os.path.abspath(options.crawler)
    runs = options.runs
    with tempfile.TemporaryDirectory(prefix="tarnwick-crawl-bench-") as work:
        site = os.path.join(work, "site")
        expected = make_site(site)
        port = free_port()
        start = f"http://127.0.0.1:{port}/index.htm"
        # httrack's own politeness limits (10 connections and 25 kB a second) are lifted,
        # and its type test per link is off; it keeps its default of 8 connections. It is
        # slow enough to be run once.
        tools = {
            "tarnwick": ([crawler, start, "."], "WebSites/bench", runs),
            "wget": (["wget", "-m", "-k", "-np", "-q", start], f"127.0.0.1:{port}", runs),
            "httrack": (["httrack", start, "-O", ".", "-q", "--disable-security-limits",
                         "-%c1000", "-A1000000000", "-%N0", "-c8"], f"127.0.0.1_{port}", 1),
        }
        if options.without_httrack:
            del tools["httrack"]
        server = start_lighttpd(work, site, port)
        results = {name: [] for name in tools}
        try:
            for run in range(runs):
                for name, (command, mirror, tool_runs) in tools.items():
                    if run >= tool_runs:
                        continue
                    out = os.path.join(work, f"{name}-{run}")
                    os.makedirs(out)
                    wall, cpu, memory, code = timed(command, out)
                    fetched = mirrored_files(os.path.join(out, mirror))
                    if fetched != expected:
                        missing = sorted(set(expected) - set(fetched))[:5]
                        extra = sorted(set(fetched) - set(expected))[:5]
                        raise SystemExit(f"{name} fetched {len(fetched)} of {len(expected)} "
                                         f"files (exit {code}); missing {missing}, extra {extra}")
                    results[name].append((wall, cpu, memory))
                    shutil.rmtree(out)
        finally:
            server.terminate()
            server.wait()

    print(f"{len(expected)} files; medians of {runs} runs (httrack, if run: 1)")
    print(f"{'tool':10} {'files/s':>9} {'wall s':>8} {'CPU s':>7} {'peak MiB':>9}")
    rates = {}
    for name, samples in results.items():
        wall = statistics.median(s[0] for s in samples)
        cpu = statistics.median(s[1] for s in samples)
        memory = max(s[2] for s in samples)
        rates[name] = len(expected) / wall
        print(f"{name:10} {rates[name]:9.0f} {wall:8.2f} {cpu:7.2f} {memory:9.1f}")
    print(f"tarnwick / wget: {rates['tarnwick'] / rates['wget']:.2f}x files/s")


if __name__ == "__main__":
    main()
