#!/usr/bin/env python3
"""Mirrors the generated site (make_site.py) served by lighttpd on 127.0.0.1 with our crawl
worker (a project of pages and images, and a project made now: a portable copy),
`wget -m -k -np` and `httrack`, in the same run, and prints files per
second, CPU seconds and peak memory of each, after checking that all fetched the same files.
Then mirrors a real site, Debian's python3.11-doc (installed here when missing), as shipped and
with every page minified to one line, as a new project does (a portable copy with requisites)
and as `wget -m -k -p -np` does, and prints pages and requisites held, the share of the
copy's links into the site that still resolve once the copy is moved, wall time and memory.

The copies are made in a memory file system (/dev/shm) where there is one, unless --folder
says otherwise: on a disk, creating and deleting thousands of files run after run makes the
kernel's inode allocation swing by seconds for every client alike.

Usage: bench/crawl_peers.py [--crawler PATH] [--runs N] [--without-httrack]
                            [--without-real-site] [--folder PATH]"""

import argparse
import html.parser
import os
import re
import shutil
import socket
import statistics
import subprocess
import tempfile
import time
import urllib.parse

from make_site import make_site

HERE = os.path.dirname(os.path.abspath(__file__))


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


SYNTHETIC_TYPES = 'mimetype.assign = (".htm" => "text/html", ".gif" => "image/gif")\n'
REAL_TYPES = ('mimetype.assign = (".html" => "text/html", ".css" => "text/css", '
              '".js" => "text/javascript", ".png" => "image/png", ".svg" => "image/svg+xml", '
              '".ico" => "image/x-icon", ".txt" => "text/plain", "" => "application/octet-stream")\n')


def start_lighttpd(work, site, port, index="index.htm", types=SYNTHETIC_TYPES):
    config = os.path.join(work, f"lighttpd-{port}.conf")
    with open(config, "w") as out:
        out.write(f'server.document-root = "{site}"\n'
                  'server.bind = "127.0.0.1"\n'
                  f"server.port = {port}\n"
                  f'server.errorlog = "{work}/lighttpd-{port}.log"\n'
                  f'index-file.names = ("{index}")\n'
                  + types +
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


# The options a project made now starts with, in the folder's webprojects.ini.
NEW_PROJECT_OPTIONS = "[bench]\nportable=1\nrequisites=1\n"


def start_as_new_project(folder):
    with open(os.path.join(folder, "webprojects.ini"), "w") as ini:
        ini.write(NEW_PROJECT_OPTIONS)


def default_folder():
    shm = "/dev/shm"
    return shm if os.path.isdir(shm) and os.access(shm, os.W_OK) else tempfile.gettempdir()


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
    parser.add_argument("--without-real-site", action="store_true",
                        help="leave out the python3.11-doc site")
    parser.add_argument("--folder", default=default_folder(),
                        help="where the copies are made (default: /dev/shm where there is one)")
    options = parser.parse_args()
    crawler = os.path.abspath(options.crawler)
    runs = options.runs
    with tempfile.TemporaryDirectory(prefix="tarnwick-crawl-bench-", dir=options.folder) as work:
        site = os.path.join(work, "site")
        expected = make_site(site)
        port = free_port()
        start = f"http://127.0.0.1:{port}/index.htm"
        # httrack's own politeness limits (10 connections and 25 kB a second) are lifted,
        # and its type test per link is off; it keeps its default of 8 connections. It is
        # slow enough to be run once.
        # "tarnwick" runs a project of pages and images with the line scanner, one request at
        # a time; "tarnwick-new" a project made now, a portable copy.
        tools = {
            "tarnwick": ([crawler, start, "."], "WebSites/bench", runs, False),
            "tarnwick-new": ([crawler, start, "."], "WebSites/bench", runs, True),
            "wget": (["wget", "-m", "-k", "-np", "-q", start], f"127.0.0.1:{port}", runs, False),
            "httrack": (["httrack", start, "-O", ".", "-q", "--disable-security-limits",
                         "-%c1000", "-A1000000000", "-%N0", "-c8"], f"127.0.0.1_{port}", 1,
                        False),
        }
        if options.without_httrack:
            del tools["httrack"]
        server = start_lighttpd(work, site, port)
        results = {name: [] for name in tools}
        try:
            for run in range(runs):
                for name, (command, mirror, tool_runs, as_new_project) in tools.items():
                    if run >= tool_runs:
                        continue
                    out = os.path.join(work, f"{name}-{run}")
                    os.makedirs(out)
                    if as_new_project:
                        start_as_new_project(out)
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
    print(f"{'tool':13} {'files/s':>9} {'wall s':>8} {'CPU s':>7} {'peak MiB':>9}")
    rates = {}
    for name, samples in results.items():
        wall = statistics.median(s[0] for s in samples)
        cpu = statistics.median(s[1] for s in samples)
        memory = max(s[2] for s in samples)
        rates[name] = len(expected) / wall
        print(f"{name:13} {rates[name]:9.0f} {wall:8.2f} {cpu:7.2f} {memory:9.1f}")
    for name in ("tarnwick", "tarnwick-new"):
        print(f"{name} / wget: {rates[name] / rates['wget']:.2f}x files/s")
    if not options.without_real_site:
        real_site(crawler, runs, options.folder)


DOCS = "/usr/share/doc/python3.11/html"
REQUISITE_ENDINGS = (".css", ".js", ".png", ".svg", ".ico", ".gif", ".jpg", ".woff", ".woff2")
REPORT_NAMES = ("tarnwick-report.html", "tarnwick-report.json", "tarnwick-state.txt")


def install_docs():
    if not os.path.isfile(os.path.join(DOCS, "index.html")):
        subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends",
                        "python3.11-doc"], check=True,
                       env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))


def minified_copy(source, target):
    """The site with each page on one line, blanks between tags gone, as many sites ship."""
    shutil.copytree(source, target, symlinks=False)
    for parent, _, names in os.walk(target):
        for name in names:
            if name.endswith(".html"):
                path = os.path.join(parent, name)
                with open(path, encoding="utf-8", errors="surrogateescape") as page:
                    text = page.read()
                text = re.sub(r">\s+<", "><", re.sub(r"\s*\n\s*", " ", text))
                with open(path, "w", encoding="utf-8", errors="surrogateescape") as page:
                    page.write(text)


class LinkCollector(html.parser.HTMLParser):
    ATTRIBUTES = {"href", "src", "poster", "data"}

    def __init__(self):
        super().__init__()
        self.links = []

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if value is None:
                continue
            if name in self.ATTRIBUTES and tag != "base":
                self.links.append(value)
            elif name == "srcset":
                self.links += [c.split()[0] for c in value.split(",") if c.split()]


def copy_figures(folder, origin):
    """Pages and requisites held, then the links into the site that resolve once the copy is
    moved elsewhere: links within the page, and relative links to a file that exists (a
    folder counts with its index.html); links still to the server, or to the folder it was
    made in, do not, nor does a query left on a file name (a browser drops it on file://)."""
    pages = requisites = 0
    documents = []
    for parent, _, names in os.walk(folder):
        for name in names:
            if name in REPORT_NAMES:
                continue
            lower = name.lower()
            if lower.endswith((".html", ".htm")):
                pages += 1
                documents.append(os.path.relpath(os.path.join(parent, name), folder))
            elif lower.split("@")[0].endswith(REQUISITE_ENDINGS):
                requisites += 1
    moved = folder.rstrip("/") + "-moved"
    os.rename(folder, moved)
    total = resolved = 0
    for document in documents:
        path = os.path.join(moved, document)
        collector = LinkCollector()
        with open(path, encoding="utf-8", errors="replace") as page:
            collector.feed(page.read())
        for link in collector.links:
            link = link.strip()
            parts = urllib.parse.urlsplit(link)
            if parts.scheme in ("mailto", "javascript", "data"):
                continue
            if link.startswith("#"):
                # Into the page itself: it works anywhere. wget -k writes these as
                # "page.html#name", which are counted below, so they count here too.
                total += 1
                resolved += 1
                continue
            if parts.scheme in ("http", "https") or link.startswith("//"):
                if f"{parts.scheme}://{parts.netloc}" == origin:
                    total += 1  # to the server: no use offline
                continue
            total += 1
            target = urllib.parse.unquote(parts.path)
            if parts.scheme == "file" or target.startswith("/"):
                continue  # the folder the copy was made in, gone once moved
            full = os.path.normpath(os.path.join(os.path.dirname(path), target))
            if os.path.isdir(full):
                full = os.path.join(full, "index.html")
            resolved += os.path.exists(full)
    return pages, requisites, 100.0 * resolved / max(total, 1)


def real_site(crawler, runs, folder):
    install_docs()
    with tempfile.TemporaryDirectory(prefix="tarnwick-docs-bench-", dir=folder) as work:
        sites = {"as shipped": DOCS, "minified": os.path.join(work, "minified")}
        minified_copy(DOCS, sites["minified"])
        print(f"\npython3.11-doc, medians of {runs} runs")
        print(f"{'site':11} {'tool':9} {'pages':>6} {'requisites':>10} {'links ok':>9} "
              f"{'wall s':>7} {'peak MiB':>9}")
        for label, site in sites.items():
            port = free_port()
            origin = f"http://127.0.0.1:{port}"
            start = f"{origin}/index.html"
            server = start_lighttpd(work, site, port, "index.html", REAL_TYPES)
            tools = {
                "tarnwick": ([crawler, start, "."], "WebSites/bench"),
                "wget": (["wget", "-m", "-k", "-p", "-np", "-q", start], f"127.0.0.1:{port}"),
            }
            try:
                for name, (command, mirror) in tools.items():
                    samples = []
                    for run in range(runs):
                        out = os.path.join(work, f"{name}-{port}-{run}")
                        os.makedirs(out)
                        if name == "tarnwick":
                            start_as_new_project(out)
                        wall, _, memory, _ = timed(command, out)
                        figures = copy_figures(os.path.join(out, mirror), origin)
                        samples.append((wall, memory) + figures)
                        shutil.rmtree(out)
                    wall = statistics.median(s[0] for s in samples)
                    memory = max(s[1] for s in samples)
                    pages, requisites, share = samples[-1][2:]
                    print(f"{label:11} {name:9} {pages:6d} {requisites:10d} {share:8.1f}% "
                          f"{wall:7.2f} {memory:9.1f}")
            finally:
                server.terminate()
                server.wait()


if __name__ == "__main__":
    main()
