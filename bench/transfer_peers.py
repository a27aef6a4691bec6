#!/usr/bin/env python3
"""The resumable transfer against curl, all on loopback in one run.

1. Throughput: a 1 GiB file over HTTP, fetched by `curl -s -o`, `wget -q -O` (when it is
   installed) and `tarnwick-cli get` (partial file and resume metadata always on), without a
   checksum, with `--checksum sha256=HEX` and with `--checksum md5=HEX`. Target: Tarnwick
   with metadata and checksum at >= 1.0x curl's MiB/s.
2. Speed limit: `tarnwick-cli --limit-rate 20M get URL` (and `curl --limit-rate 20M`) for
   12 s; the rate between seconds 2 and 12 is read off the growing file. Target: within 5% of
   20 MiB/s (wget's and curl's "M" is 1,048,576 bytes).
3. Twenty at once: `tarnwick-cli --max-concurrent 20 get URL1 ... URL20` of 32 MiB files, under
   the 20M global limit so that they all overlap; peak resident memory of the whole process.
   Target: under 64 MiB.

The HTTP server is lighttpd (Python's http.server when lighttpd is missing) on 127.0.0.1.
Every client runs as a child of `bench_file_download measure` (wall time, CPU seconds, peak
RSS from wait4), the page cache's dirty data is written out before each run so that no run
pays for the one before, and each copy is compared with the source. Medians of the rounds.

A tarnwick-cli without --checksum, --limit-rate or --max-concurrent (before the command line
has them) is measured without the flag, and the table says so. The file worker alone
(`bench_file_download worker URL DIR [sha256=HEX]`, the worker the program runs, without the
command line's start, lock and list saving around it) has rows of its own.

usage: bench/transfer_peers.py [--build build/bench] [--rounds 3] [--size-mib 1024]
       [--skip-limit] [--skip-concurrent]

Build: cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWICK_BENCH=ON \\
           -DTARNWICK_TESTS=OFF && cmake --build build/bench --target tarnwick-cli bench_file_download
"""
import argparse
import filecmp
import hashlib
import os
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

MIB = 1024 * 1024
LIMIT = 20 * MIB  # "20M" in wget's and curl's syntax


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_server(work, root, port):
    lighttpd = shutil.which("lighttpd") or ("/usr/sbin/lighttpd" if os.path.exists("/usr/sbin/lighttpd") else None)
    if lighttpd:
        config = os.path.join(work, "lighttpd.conf")
        with open(config, "w") as out:
            out.write(f'server.document-root = "{root}"\n'
                      'server.bind = "127.0.0.1"\n'
                      f"server.port = {port}\n"
                      f'server.errorlog = "{work}/lighttpd.log"\n'
                      "server.max-connections = 256\n")
        server = subprocess.Popen([lighttpd, "-D", "-f", config])
        name = "lighttpd"
    else:
        server = subprocess.Popen([sys.executable, "-m", "http.server", str(port), "--bind",
                                   "127.0.0.1", "--directory", root],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        name = "python3 http.server"
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return server, name
        except OSError:
            time.sleep(0.05)
    server.kill()
    raise SystemExit("the HTTP server did not start")


def random_file(path, size):
    """The file's checksums in the form --checksum takes, by algorithm."""
    digests = {"sha256": hashlib.sha256(), "md5": hashlib.md5()}
    with open("/dev/urandom", "rb") as source, open(path, "wb") as out:
        left = size
        while left:
            block = source.read(min(left, 4 * MIB))
            for digest in digests.values():
                digest.update(block)
            out.write(block)
            left -= len(block)
    return {name: name + "=" + digest.hexdigest() for name, digest in digests.items()}


def measure(driver, label, argv):
    """wall seconds, CPU seconds, peak RSS in MiB, exit code of one run."""
    os.sync()
    line = subprocess.run([driver, "measure", label] + argv, check=True, text=True,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.split()
    return float(line[-4]), float(line[-3]), int(line[-2]) / 1024.0, int(line[-1])


def cli_supports(cli, flag):
    helps = subprocess.run([cli, "--help"], text=True, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT).stdout
    helps += subprocess.run([cli, "get", "--help"], text=True, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT).stdout
    return flag in helps


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    return folder


def throughput(args, cli, driver, url, source, digests, out):
    with_checksum = cli_supports(cli, "--checksum")
    clients = [
        ("curl", lambda d: ["curl", "-s", "-o", os.path.join(d, "big.bin"), url],
         lambda d: os.path.join(d, "big.bin")),
    ]
    if shutil.which("wget"):
        clients.append(("wget", lambda d: ["wget", "-q", "-O", os.path.join(d, "big.bin"), url],
                        lambda d: os.path.join(d, "big.bin")))
    stored = lambda d: os.path.join(d, "Files", "big.bin")
    # The file worker alone, as the program runs it but without the command line around it.
    clients.append(("file worker alone (metadata)", lambda d: [driver, "worker", url, d], stored))
    clients.append(("tarnwick-cli get (metadata)", lambda d: [cli, "--dir", d, "-q", "get", url],
                    stored))
    if with_checksum:
        for algorithm in ("sha256", "md5"):
            clients.append((f"tarnwick-cli get (metadata + {algorithm})",
                            lambda d, a=algorithm: [cli, "--dir", d, "-q", "get", "--checksum",
                                                    digests[a], url],
                            stored))
    clients.append(("file worker alone (metadata + sha256)",
                    lambda d: [driver, "worker", url, d, digests["sha256"]], stored))
    rows = {name: [] for name, _, _ in clients}
    for _ in range(args.rounds):
        for name, argv, copy in clients:
            folder = fresh(os.path.join(out, "copy"))
            result = measure(driver, name.replace(" ", "_"), argv(folder))
            if result[3] != 0 or not filecmp.cmp(copy(folder), source, shallow=False):
                print(f"warning: {name}'s copy failed or differs", file=sys.stderr)
            rows[name].append(result)
            shutil.rmtree(folder, ignore_errors=True)
    size = os.path.getsize(source) / MIB
    base = size / statistics.median(r[0] for r in rows["curl"])
    print(f"\n1. {size:.0f} MiB over HTTP, {args.rounds} rounds, medians")
    print("| client | MiB/s | vs curl | CPU s | peak RSS MiB |")
    print("|---|---|---|---|---|")
    for name, runs in rows.items():
        speed = size / statistics.median(r[0] for r in runs)
        print(f"| {name} | {speed:.0f} | {speed / base:.2f}x | "
              f"{statistics.median(r[1] for r in runs):.2f} | {max(r[2] for r in runs):.1f} |")


def rate_over_window(process, path, start=2.0, end=12.0):
    """Bytes per second between start and end seconds, read off the file as it grows."""
    began = time.monotonic()
    marks = {}
    for mark in (start, end):
        while time.monotonic() - began < mark:
            time.sleep(0.01)
        size = 0
        for candidate in (path, path + ".part"):
            if os.path.exists(candidate):
                size = os.path.getsize(candidate)
        marks[mark] = (time.monotonic(), size)
    process.send_signal(signal.SIGTERM)
    process.wait()
    (t0, s0), (t1, s1) = marks[start], marks[end]
    return (s1 - s0) / (t1 - t0)


def speed_limit(cli, url, out):
    limited = cli_supports(cli, "--limit-rate")
    print("\n2. a 20M speed limit, rate between seconds 2 and 12")
    print("| client | MiB/s | vs 20 MiB/s |")
    print("|---|---|---|")
    for name, argv, copy in (
        ("curl --limit-rate 20M", lambda d: ["curl", "-s", "--limit-rate", "20M", "-o",
                                             os.path.join(d, "big.bin"), url],
         lambda d: os.path.join(d, "big.bin")),
        ("tarnwick-cli --limit-rate 20M" if limited else "tarnwick-cli (no --limit-rate yet)",
         lambda d: [cli, "--dir", d, "-q"] + (["--limit-rate", "20M"] if limited else []) +
         ["get", url],
         lambda d: os.path.join(d, "Files", "big.bin")),
    ):
        folder = fresh(os.path.join(out, "limit"))
        os.sync()
        process = subprocess.Popen(argv(folder), stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        rate = rate_over_window(process, copy(folder))
        print(f"| {name} | {rate / MIB:.2f} | {(rate / LIMIT - 1) * 100:+.1f}% |")
        shutil.rmtree(folder, ignore_errors=True)


def concurrent(cli, driver, port, root, out):
    flags = []
    if cli_supports(cli, "--max-concurrent"):
        flags += ["--max-concurrent", "20"]
    if cli_supports(cli, "--limit-rate"):
        flags += ["--limit-rate", "20M"]
    names = [f"part{n:02}.bin" for n in range(20)]
    for name in names:
        if not os.path.exists(os.path.join(root, name)):
            random_file(os.path.join(root, name), 32 * MIB)
    urls = [f"http://127.0.0.1:{port}/{name}" for name in names]
    folder = fresh(os.path.join(out, "twenty"))
    wall, cpu, rss, code = measure(driver, "twenty", [cli, "--dir", folder, "-q"] + flags +
                                   ["get"] + urls)
    same = all(filecmp.cmp(os.path.join(folder, "Files", n), os.path.join(root, n), shallow=False)
               for n in names)
    print("\n3. twenty 32 MiB transfers in one tarnwick-cli")
    print("| flags | wall s | CPU s | peak RSS MiB | all byte-exact |")
    print("|---|---|---|---|---|")
    print(f"| {' '.join(flags) or '(none)'} | {wall:.1f} | {cpu:.2f} | {rss:.1f} | "
          f"{'yes' if same and code == 0 else 'NO'} |")
    shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default="build/bench")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--size-mib", type=int, default=1024)
    parser.add_argument("--skip-limit", action="store_true")
    parser.add_argument("--skip-concurrent", action="store_true")
    args = parser.parse_args()
    cli = os.path.abspath(os.path.join(args.build, "src/cli/tarnwick-cli"))
    driver = os.path.abspath(os.path.join(args.build, "bench/bench_file_download"))
    for program in (cli, driver):
        if not os.access(program, os.X_OK):
            raise SystemExit(f"build {program} first (see the usage above)")
    with tempfile.TemporaryDirectory(prefix="tarnwick-transfer-") as work:
        root = os.path.join(work, "www")
        os.makedirs(root)
        source = os.path.join(root, "big.bin")
        digests = random_file(source, args.size_mib * MIB)
        port = free_port()
        server, server_name = start_server(work, root, port)
        try:
            print(f"HTTP server: {server_name}; {os.cpu_count()} cores")
            url = f"http://127.0.0.1:{port}/big.bin"
            throughput(args, cli, driver, url, source, digests, work)
            if not args.skip_limit:
                speed_limit(cli, url, work)
            if not args.skip_concurrent:
                concurrent(cli, driver, port, root, work)
        finally:
            server.terminate()
            server.wait()


if __name__ == "__main__":
    main()
