#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: all tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Qt-free tests again under ThreadSanitizer, and the fuzz
# targets (clang's libFuzzer) for a fixed time each.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh"
jobs="$(nproc)"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer: every test"
cmake -S "$root" -B "$root/build/asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTARNWICK_SANITIZE=address,undefined
cmake --build "$root/build/asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$root/build/asan" --output-on-failure -j "$jobs" --timeout 600

echo "== ThreadSanitizer: the Qt-free tests"
cmake -S "$root" -B "$root/build/tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTARNWICK_SANITIZE=thread -DTARNWICK_GUI=OFF
cmake --build "$root/build/tsan" -j "$jobs"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest --test-dir "$root/build/tsan" --output-on-failure -j "$jobs" --timeout 600

echo "== libFuzzer targets"
cmake -S "$root" -B "$root/build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER=clang++ -DTARNWICK_GUI=OFF -DTARNWICK_TESTS=OFF -DTARNWICK_FUZZ=ON
cmake --build "$root/build/fuzz" -j "$jobs"
ctest --test-dir "$root/build/fuzz" --output-on-failure -j "$jobs"
