#!/usr/bin/env bash
# Installs what is missing, builds Morvaine with AddressSanitizer and
# UndefinedBehaviorSanitizer, checks a strict release build and clang-tidy,
# and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVAINE_SANITIZE=ON -DMORVAINE_WERROR=ON
cmake --build build/sanitize -j"$(nproc)"

# The strict build: a warning fails the sanitizer build above and this release
# build of the game, tools and benchmarks (the optimiser finds warnings the
# debug build does not; the tests are built once, above), and clang-tidy
# checks the sources changed since the base (scripts/tidy.sh says which).
cmake -S . -B build/strict -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVAINE_TESTS=OFF -DMORVAINE_WERROR=ON
cmake --build build/strict -j"$(nproc)"
bash scripts/tidy.sh

export MORVAINE_HEADLESS=1
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# A short fuzz campaign over every data reader, so a regression on bad files
# fails the run too (scripts/fuzz.sh runs them longer).
FUZZ_SECONDS="${FUZZ_SECONDS:-5}" bash scripts/fuzz.sh

cd build/sanitize
ctest --output-on-failure -j"$(nproc)" --timeout 300
