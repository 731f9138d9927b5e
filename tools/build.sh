#!/usr/bin/env bash
# Installs what is missing, builds the dependencies once, and builds Vexil when sources changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-packages.sh"
"$root/tools/build-deps.sh"
build=$root/build
if [[ ! -f $build/build.ninja ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    >"$build/configure.log" 2>&1 || { cat "$build/configure.log" >&2; exit 1; }
fi
if ! cmake --build "$build" >"$build/build.log" 2>&1; then
  grep -E -A5 'error|FAILED' "$build/build.log" | head -n 80 >&2
  echo "build: failed, see build/build.log" >&2
  exit 1
fi
grep -E 'warning:' "$build/build.log" >&2 || true
