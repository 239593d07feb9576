#!/usr/bin/env bash
# Records an input tape.
#   scripts/record-tape.sh OUT.tape            play in a window; your keys and mouse are taped
#   scripts/record-tape.sh OUT.tape FROM.tape  re-record: FROM's input replayed headless on the
#                                              sample data's current settings, written to OUT
# The game runs on a fixed 20 ms step from the clock seed MORVAINE_TAPE_SEED
# (default 1000000), so the tape replays the same on every build type.
# BUILD names the build folder (default build/release).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "$1")"
from="${2:+$(realpath "$2")}"
build="${BUILD:-$root/build/release}"
if [ ! -x "$build/morvaine" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVAINE_TESTS=OFF -DMORVAINE_BENCH=OFF
  cmake --build "$build" -j4
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$build/run/." "$work/"
cd "$work"
if [ -n "$from" ]; then
  MORVAINE_HEADLESS=1 MORVAINE_TAPE="$from" MORVAINE_TAPE_RECORD="$out" "$build/morvaine"
else
  MORVAINE_TAPE_RECORD="$out" "$build/morvaine"
fi
echo "tape written to $out"
