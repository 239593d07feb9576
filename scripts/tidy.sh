#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the sources a change
# touched, or over the whole tree:
#
#   bash scripts/tidy.sh              files changed since the merge base with
#                                     TIDY_BASE (default origin/main), or in the
#                                     last commit when HEAD is that base
#   TIDY_BASE=all bash scripts/tidy.sh    every source file
#
# It reads the compile commands of a configuration that is only configured,
# never built: clang cannot read GCC's precompiled headers, so that one has
# them off.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD="$PWD/build/tidy"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON > "$BUILD.configure.log" 2>&1 \
  || { cat "$BUILD.configure.log"; exit 1; }

# Every source file the configuration compiles, as paths below the tree.
mapfile -t compiled < <(python3 -c '
import json, os, sys
for e in json.load(open(sys.argv[1])):
    print(os.path.relpath(e["file"], sys.argv[2]))' "$BUILD/compile_commands.json" "$PWD" | sort -u)

base="${TIDY_BASE:-origin/main}"
if [ "$base" = all ]; then
  files=("${compiled[@]}")
else
  from=""
  if git rev-parse -q --verify "$base^{commit}" > /dev/null; then
    from="$(git merge-base HEAD "$base")"
  fi
  if [ -z "$from" ] || [ "$from" = "$(git rev-parse HEAD)" ]; then
    from="$(git rev-parse -q --verify 'HEAD~1^{commit}' || true)"
  fi
  if [ -z "$from" ]; then
    echo "tidy: no base to compare with; set TIDY_BASE=all for the whole tree"
    exit 0
  fi
  # A changed header is checked through the source file of the same name.
  mapfile -t changed < <(git diff --name-only --diff-filter=d "$from" -- '*.cpp' '*.h' | sed 's/\.h$/.cpp/' | sort -u)
  files=()
  for f in "${changed[@]}"; do
    for c in "${compiled[@]}"; do
      if [ "$f" = "$c" ]; then
        files+=("$f")
        break
      fi
    done
  done
  echo "tidy: ${#files[@]} changed source files since $(git rev-parse --short "$from")"
fi
if [ ${#files[@]} -eq 0 ]; then
  exit 0
fi

# clang's own count of the warnings it generated (most in system headers,
# which the checks leave alone) is noise; the findings go to standard output.
printf '%s\0' "${files[@]}" | xargs -0 -n 4 -P "$(nproc)" clang-tidy -p "$BUILD" --quiet \
  2> >(grep -v '^[0-9]* warnings\? generated\.$' >&2)
