#!/usr/bin/env bash
# Builds Velloran and starts it. Arguments are passed to the program (a file
# name is taken from the folder the command was typed in); with none it opens
# a sample shot record it writes into the build folder.
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  echo "run: no display: start an X server or run under Xvfb (xvfb-run bash scripts/run.sh), or set DISPLAY." >&2
  echo "run: without a display a record converts to a table with: build/velloran FILE ASCII OUTPUT" >&2
  exit 1
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
targets=(velloran)
[ $# -eq 0 ] && targets+=(velloran_sample)
(
  cd "$root"
  bash scripts/setup.sh
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j "$(nproc)" --target "${targets[@]}"
)
if [ $# -eq 0 ]; then
  "$root/build/velloran_sample" "$root/build/sample-shot.sg2"
  set -- "$root/build/sample-shot.sg2"
fi
exec "$root/build/velloran" "$@"
