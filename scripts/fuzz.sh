#!/usr/bin/env bash
# Builds the fuzz targets of the data readers with clang and runs each one on
# seeds written by the sample data builder.
#
#   bash scripts/fuzz.sh            every target for 20 s at most, 420 s in all
#   FUZZ_SECONDS=600 bash scripts/fuzz.sh fuzz_settings    one target, longer
#   FUZZ_RUNS=10000000 FUZZ_SECONDS=900 bash scripts/fuzz.sh fuzz_profile
#                                   stops at that many runs or that time
#
# New findings are kept under build/fuzz/findings/<target>/ ; a crash fails
# the run (exit code non-zero) and leaves its input there.
set -euo pipefail
cd "$(dirname "$0")/.."

# Each target runs 20 s at most and all of them 420 s at most together,
# however many targets there are.
TOTAL_SECONDS="${FUZZ_TOTAL_SECONDS:-420}"
RUNS="${FUZZ_RUNS:--1}"
BUILD="$PWD/build/fuzz"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DMORVAINE_FUZZ=ON > "$BUILD.configure.log" 2>&1 \
  || { cat "$BUILD.configure.log"; exit 1; }
# Only the targets and the sample data builder: the game itself and the
# sample data set the build writes for playing are not needed here.
BUILD_TARGETS=(build_sample_data)
for src in fuzz/fuzz_*.cpp; do
  BUILD_TARGETS+=("$(basename "$src" .cpp)")
done
cmake --build "$BUILD" -j"$(nproc)" --target "${BUILD_TARGETS[@]}"

SAMPLE="$BUILD/run"
"$BUILD/build_sample_data" "$SAMPLE"
"$BUILD/build_sample_data" --fuzz-seeds "$SAMPLE" "$BUILD/seeds"

if [ $# -gt 0 ]; then
  TARGETS=("$@")
else
  TARGETS=()
  for t in "$BUILD"/fuzz_*; do
    [ -x "$t" ] && TARGETS+=("$(basename "$t")")
  done
fi

SHARE=$(( TOTAL_SECONDS / ${#TARGETS[@]} ))
[ "$SHARE" -le 20 ] || SHARE=20
[ "$SHARE" -ge 1 ] || SHARE=1
SECONDS_EACH="${FUZZ_SECONDS:-$SHARE}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Each target runs on one core: as many run at once as there are cores
# (FUZZ_JOBS), and their reports follow in the targets' order.
JOBS="${FUZZ_JOBS:-$(nproc)}"
run_target() {
  local target=$1
  local name="${target#fuzz_}"
  local seeds="$BUILD/seeds/$name"
  local corpus="$BUILD/corpus/$name"
  local findings="$BUILD/findings/$name"
  mkdir -p "$seeds" "$corpus" "$findings"
  echo "== $target for ${SECONDS_EACH}s"
  if ! "$BUILD/$target" "$corpus" "$seeds" -dict="$PWD/fuzz/formats.dict" -max_total_time="$SECONDS_EACH" -runs="$RUNS" \
      -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/" -print_final_stats=1 \
      > "$findings/log.txt" 2>&1; then
    echo "!! $target found a failure:"
    tail -40 "$findings/log.txt"
    return 1
  fi
  grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$findings/log.txt" | tail -2 || true
}

REPORTS="$BUILD/reports"
rm -rf "$REPORTS"
mkdir -p "$REPORTS"
failed=0
running=0
for target in "${TARGETS[@]}"; do
  if [ "$running" -ge "$JOBS" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  run_target "$target" > "$REPORTS/$target.txt" 2>&1 &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
for target in "${TARGETS[@]}"; do
  cat "$REPORTS/$target.txt"
done
exit $failed
