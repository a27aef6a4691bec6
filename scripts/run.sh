#!/usr/bin/env bash
# Installs what is missing, builds Tarnwick and tarnwick-cli, and starts the window in the
# current folder (where it keeps its lists and downloads).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWICK_TESTS=OFF
cmake --build "$root/build/release" --target tarnwick tarnwick-cli
exec "$root/build/release/src/app/tarnwick" "$@"
