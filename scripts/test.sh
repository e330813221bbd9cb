#!/usr/bin/env bash
# Builds Velloran and runs every test twice: a normal optimised build, then a
# build with AddressSanitizer and UndefinedBehaviorSanitizer. Each test
# executable runs in a few shuffled shards (a different shuffle in each pass),
# so every test must pass whatever ran before it in the same process. The
# benchmarks are built last, in the normal build folder. Exits non-zero when
# any build or test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
# Enough shards to keep every core busy however many there are.
shards=$(( jobs < 4 ? 4 : jobs ))
# ccache keys on paths relative to the project, so a fresh clone in another
# folder (CI) reuses what an earlier build of the same sources compiled.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
started=$SECONDS
stamp() { echo "== $1 ($(( SECONDS - started )) s)"; }
run_pass() {
  local dir=$1; shift
  stamp "build $dir"
  cmake -S . -B "$dir" -G Ninja -DVELLORAN_BENCH=OFF \
        -DVELLORAN_TEST_SHARDS="$shards" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  stamp "test $dir"
  rm -f "$dir"/test-results/*.json
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 1800 ||
    { python3 scripts/test_failures.py "$dir/test-results"; return 1; }
}

# Warnings are errors in the normal build; the sanitizer build's code
# generation makes GCC warn about what it cannot see through.
run_pass build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLORAN_WERROR=ON \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" -DVELLORAN_TEST_SEED=1
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_pass build-asan -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" \
  -DVELLORAN_SANITIZE=ON -DVELLORAN_TEST_SEED=2

stamp "build benchmarks"
cmake -S . -B build -DVELLORAN_BENCH=ON >/dev/null
cmake --build build -j "$jobs" --target velloran_bench
stamp "done"
