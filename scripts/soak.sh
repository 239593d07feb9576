#!/usr/bin/env bash
# The full soak: 100,000 ticks of the whole game headless at full traffic with
# a scripted driver touring the city, once for each view distance (200, 400 and
# 600 m: settings 0, 1 and 2), on the sanitizer build so LeakSanitizer checks
# the heap at the end of each run. The test command runs a short stretch of
# the same test. TICKS overrides the length.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD:-$root/build/sanitize}"
if [ ! -x "$build/test_soak" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVAINE_SANITIZE=ON
  cmake --build "$build" -j4 --target test_soak
fi
# AddressSanitizer keeps freed memory in a quarantine of up to 256 MB that
# fills over a long run and counts as resident; a small one lets the resident
# size measure the game's own memory.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=8}"
for distance in 0 1 2; do
  MORVAINE_HEADLESS=1 MORVAINE_SOAK_TICKS="${TICKS:-100000}" MORVAINE_SOAK_DISTANCE=$distance \
    "$build/test_soak" --gtest_brief=1
done
