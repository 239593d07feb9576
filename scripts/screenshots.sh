#!/usr/bin/env bash
# Makes the README's pictures again: each tape in tests/data/tapes is replayed
# on the fixed step with no display (SDL's offscreen driver) and the frame the
# tape ends on is drawn through OpenGL and written to docs/: the game menu,
# daylight about five minutes into a new game, and the city at night as the
# sample profile is continued before dawn (the camera on its way to the car).
# BUILD names the build folder (default build/release).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD:-$root/build/release}"
if [ ! -x "$build/morvaine" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVAINE_TESTS=OFF -DMORVAINE_BENCH=OFF
  cmake --build "$build" -j4
fi
mkdir -p "$root/docs"
shoot() { # tape picture
  local tape="$root/tests/data/tapes/$1" png="$root/docs/$2"
  local frame
  frame="$(awk '$1 == "end" { print $2 }' "$tape")"
  local work
  work="$(mktemp -d)"
  cp -r "$build/run/." "$work/"
  (cd "$work" && SDL_VIDEODRIVER=offscreen MORVAINE_SOUND=silent MORVAINE_TAPE="$tape" \
     MORVAINE_SCREENSHOT="$png" MORVAINE_SCREENSHOT_FRAME="$frame" "$build/morvaine")
  rm -rf "$work"
  [ -s "$png" ] || { echo "no picture from $1" >&2; exit 1; }
}
shoot menu.tape game-menu.png
shoot daylight.tape driving-daylight.png
shoot night.tape driving-night.png
