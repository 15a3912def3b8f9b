#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. a debug build with AddressSanitizer and UndefinedBehaviorSanitizer,
#   2. an optimised build (float results must not change with optimisation),
#   3. a short libFuzzer run of every fuzz target (clang), among them one that
#      plays game files frame by frame and fails on a frame that does not end.
# Every build treats compiler warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

JOBS=$(nproc)
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_ctest() {
  local dir=$1
  if command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --test-dir "$dir" --output-on-failure -j "$JOBS"
  else
    ctest --test-dir "$dir" --output-on-failure -j "$JOBS"
  fi
}

echo "== debug build with sanitizers"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZOR_SANITIZE=ON -DZOR_WERROR=ON >/dev/null
cmake --build build/asan -j "$JOBS"
run_ctest build/asan

echo "== optimised build"
cmake -S . -B build/opt -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOR_BUILD_BENCH=ON -DZOR_WERROR=ON >/dev/null
cmake --build build/opt -j "$JOBS"
run_ctest build/opt

echo "== fuzzing"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZOR_BUILD_FUZZ=ON -DZOR_BUILD_TESTS=OFF -DZOR_BUILD_BENCH=OFF -DZOR_WERROR=ON >/dev/null
cmake --build build/fuzz -j "$JOBS" --target fuzz_targets
for f in build/fuzz/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus=fuzz/corpus/${name#fuzz_}
  # New inputs go to a scratch folder; the seeds in the repository are only read.
  scratch=build/fuzz/corpus-$name
  mkdir -p "$scratch"
  "$f" -max_total_time=30 -max_len=65536 -timeout=10 -rss_limit_mb=2048 "$scratch" "$corpus" tests/fixtures >/dev/null 2>build/fuzz/$name.log \
    || { tail -50 build/fuzz/$name.log; exit 1; }
  echo "$name: $(grep -o 'Done [0-9]* runs' build/fuzz/$name.log || echo done)"
done
echo "all test stages passed"
