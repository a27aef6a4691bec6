#!/usr/bin/env bash
# The file worker against curl and wget, all on loopback in the same run: a 1 GiB file over
# HTTP (lighttpd, or Python's http.server when lighttpd is missing) and a 100 MiB file over
# FTP (pyftpdlib). Prints throughput, CPU seconds and peak memory (median of the rounds).
# Usage: bench/file_download.sh [build folder] [rounds]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/bench}"
rounds="${2:-3}"
driver="$build/bench/bench_file_download"
[ -x "$driver" ] || { echo "build $driver first (see bench/README.md)" >&2; exit 1; }

scratch="$(mktemp -d /tmp/tarnwick-bench-XXXXXX)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

mkdir -p "$scratch/www" "$scratch/ftp" "$scratch/out"
head -c $((1024 * 1024 * 1024)) /dev/urandom > "$scratch/www/big.bin"
head -c $((100 * 1024 * 1024)) /dev/urandom > "$scratch/ftp/medium.bin"

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

http_port="$(free_port)"
if command -v lighttpd > /dev/null || [ -x /usr/sbin/lighttpd ]; then
    cat > "$scratch/lighttpd.conf" <<CONF
server.document-root = "$scratch/www"
server.bind = "127.0.0.1"
server.port = $http_port
server.errorlog = "$scratch/lighttpd.log"
CONF
    "$(command -v lighttpd || echo /usr/sbin/lighttpd)" -D -f "$scratch/lighttpd.conf" &
    http_server=lighttpd
else
    python3 -m http.server "$http_port" --bind 127.0.0.1 --directory "$scratch/www" \
        > /dev/null 2>&1 &
    http_server="python3 http.server"
fi
pids+=($!)

python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" "$root/tests/support/ftp_server.py" "$scratch/ftp" > "$scratch/ftp.port" &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$scratch/ftp.port" ] && curl -s -o /dev/null "http://127.0.0.1:$http_port/" && break
    sleep 0.1
done
ftp_port="$(head -n1 "$scratch/ftp.port")"

results="$scratch/results"
: > "$results"
# One round of one client: measure, check the bytes, remove the copy.
run() {
    local client="$1" protocol="$2" url="$3" name="$4" source="$5"
    local out="$scratch/out/$client"
    rm -rf "$out" && mkdir -p "$out"
    case "$client" in
        tarnwick) "$driver" measure "$client $protocol" "$driver" worker "$url" "$out" \
                      2> /dev/null >> "$results"
                  local copy="$out/Files/$name" ;;
        curl) "$driver" measure "$client $protocol" curl -s -o "$out/$name" "$url" >> "$results"
              local copy="$out/$name" ;;
        wget) "$driver" measure "$client $protocol" wget -q -O "$out/$name" "$url" >> "$results"
              local copy="$out/$name" ;;
    esac
    cmp -s "$copy" "$source" || echo "warning: $client $protocol copy differs" >&2
    rm -rf "$out"
}

for _ in $(seq "$rounds"); do
    for client in tarnwick curl wget; do
        run "$client" http "http://127.0.0.1:$http_port/big.bin" big.bin "$scratch/www/big.bin"
        run "$client" ftp "ftp://127.0.0.1:$ftp_port/medium.bin" medium.bin "$scratch/ftp/medium.bin"
    done
done

echo "HTTP server: $http_server; $rounds rounds, medians; $(nproc) cores"
python3 - "$results" <<'PY'
import statistics, sys
sizes = {"http": 1024**3, "ftp": 100 * 1024**2}
rows = {}
for line in open(sys.argv[1]):
    client, protocol, wall, cpu, rss, code = line.split()
    rows.setdefault((protocol, client), []).append((float(wall), float(cpu), int(rss), int(code)))
print(f"{'protocol':8} {'client':9} {'MiB/s':>8} {'CPU s':>7} {'peak RSS MiB':>13} {'vs curl MiB/s':>14} {'vs curl CPU':>12}")
for protocol in ("http", "ftp"):
    base = rows[(protocol, "curl")]
    base_speed = sizes[protocol] / 2**20 / statistics.median(r[0] for r in base)
    base_cpu = statistics.median(r[1] for r in base)
    for client in ("tarnwick", "curl", "wget"):
        runs = rows[(protocol, client)]
        speed = sizes[protocol] / 2**20 / statistics.median(r[0] for r in runs)
        cpu = statistics.median(r[1] for r in runs)
        rss = max(r[2] for r in runs) / 1024
        failed = " (failed)" if any(r[3] for r in runs) else ""
        print(f"{protocol:8} {client:9} {speed:8.0f} {cpu:7.2f} {rss:13.1f} {speed / base_speed:13.2f}x {cpu / base_cpu:11.2f}x{failed}")
PY
