#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the sources a change
# touched, or over the whole tree:
#
#   bash scripts/tidy.sh              the lines changed since the merge base
#                                     with TIDY_BASE (default origin/main), or
#                                     in the last commit when HEAD is that base
#   TIDY_BASE=all bash scripts/tidy.sh    every source file
#
# It reads the compile commands of a configuration of its own that is only
# configured, never built, so it needs no build to run.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD="$PWD/build/tidy"
mkdir -p build
# Test sources unbatched: clang-tidy looks up each file's own compile command.
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DMORVAINE_TEST_BATCHES=OFF \
  > "$BUILD.configure.log" 2>&1 \
  || { cat "$BUILD.configure.log"; exit 1; }

base="${TIDY_BASE:-origin/main}"
if [ "$base" = all ]; then
  # Every source file the configuration compiles.
  mapfile -t files < <(python3 -c '
import json, sys
for e in json.load(open(sys.argv[1])):
    print(e["file"])' "$BUILD/compile_commands.json" | sort -u)
  # clang's own count of the warnings it generated (most in system headers,
  # which the checks leave alone) is noise; the findings go to standard output.
  printf '%s\0' "${files[@]}" | xargs -0 -n 4 -P "$(nproc)" clang-tidy -p "$BUILD" --quiet \
    2> >(grep -v '^[0-9]* warnings\? generated\.$' >&2)
  exit 0
fi

from=""
if git rev-parse -q --verify "$base^{commit}" > /dev/null; then
  from="$(git merge-base HEAD "$base")"
fi
if [ -z "$from" ] || [ "$from" = "$(git rev-parse HEAD)" ]; then
  from="$(git rev-parse -q --verify 'HEAD~1^{commit}' || true)"
fi
if [ -z "$from" ]; then
  echo "tidy: no base to compare with; TIDY_BASE=all checks the whole tree"
  exit 0
fi
echo "tidy: the lines changed since $(git rev-parse --short "$from")"
# Only the changed lines: what was there before is not this change's to fix.
# This clang-tidy-diff exits 0 whatever it finds, so its output decides.
out="$(git diff -U0 "$from" -- '*.cpp' '*.h' \
  | clang-tidy-diff -p1 -path "$BUILD" -j "$(nproc)" -quiet 2>&1 \
  | grep -v '^[0-9]* warnings\? generated\.$' || true)"
if [ -n "$out" ]; then
  echo "$out"
fi
if echo "$out" | grep -q -E '(warning|error): '; then
  exit 1
fi
