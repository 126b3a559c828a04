#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, a build with
# AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzzers with a fixed
# seed and a bounded number of runs. Build folders are kept for incremental rebuilds.
set -euo pipefail
shopt -s nullglob
cd "$(dirname "$0")/.."

jobs=$(nproc)
fuzz_runs=${VANTREL_FUZZ_RUNS:-2000000}

run_ctest() {
  # The program's tests open real windows, so the whole suite runs under a virtual display.
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$1" --output-on-failure -j "$jobs" \
    --timeout 600
}

echo "== formatting"
./scripts/check-format.sh

echo "== build (RelWithDebInfo)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
run_ctest build

echo "== build with address and undefined-behaviour sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTREL_SANITIZE=ON \
  -DVANTREL_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 run_ctest build-asan

echo "== fuzzers (fixed seed, bounded runs)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTREL_FUZZ=ON -DVANTREL_BUILD_APP=OFF -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$jobs"
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  exe=build-fuzz/fuzz/$name
  [ -x "$exe" ] || { echo "missing fuzzer $name"; exit 1; }
  work=$(mktemp -d)
  cp "$corpus"* "$work"/
  echo "-- $name"
  "$exe" -seed=1 -runs="$fuzz_runs" -max_total_time=60 -max_len=4096 \
    -artifact_prefix=build-fuzz/ "$work" 2>&1 | tail -n 3
  rm -rf "$work"
done
echo "== all tests passed"
