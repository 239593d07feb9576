#!/usr/bin/env bash
# Installs what is missing, builds Morvaine with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVAINE_SANITIZE=ON
cmake --build build/sanitize -j"$(nproc)"

export MORVAINE_HEADLESS=1
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# A short fuzz campaign over every data reader, so a regression on bad files
# fails the run too (scripts/fuzz.sh runs them longer).
FUZZ_SECONDS="${FUZZ_SECONDS:-5}" bash scripts/fuzz.sh

cd build/sanitize
ctest --output-on-failure -j"$(nproc)" --timeout 300
