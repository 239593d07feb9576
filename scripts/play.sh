#!/usr/bin/env bash
# Installs what is missing, builds Morvaine and starts it on the sample data.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVAINE_TESTS=OFF -DMORVAINE_BENCH=OFF
cmake --build build/release -j"$(nproc)"
cd build/release/run
exec ../morvaine
