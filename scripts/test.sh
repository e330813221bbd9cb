#!/usr/bin/env bash
# Builds Velloran and runs every test twice: a normal optimised build, then a
# build with AddressSanitizer and UndefinedBehaviorSanitizer. Exits non-zero
# when any build or test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
# ccache keys on paths relative to the project, so a fresh clone in another
# folder (CI) reuses what an earlier build of the same sources compiled.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
run_pass() {
  local dir=$1; shift
  echo "== build $dir"
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "== test $dir"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600
}

run_pass build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_pass build-asan -DCMAKE_BUILD_TYPE=Debug -DVELLORAN_SANITIZE=ON -DVELLORAN_BENCH=OFF
