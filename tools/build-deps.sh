#!/usr/bin/env bash
# Builds the static libraries Vexil links with, once, into build/deps:
# PCRE2 (16-bit code units, Unicode, JIT) and libffi (native calls and callbacks) from Debian's
# source packages, and GoogleTest from Debian's googletest sources, all with the MinGW toolchain.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps=$root/build/deps
toolchain=$root/cmake/mingw-w64-x86_64.cmake
mkdir -p "$deps"

build_cmake() {  # name source-dir cmake-args...
  local name=$1 src=$2; shift 2
  cmake -S "$src" -B "$deps/$name-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$deps/$name" "$@" >"$deps/$name.log" 2>&1
  cmake --build "$deps/$name-build" >>"$deps/$name.log" 2>&1
  cmake --install "$deps/$name-build" >>"$deps/$name.log" 2>&1
}

pcre_stamp=$deps/pcre2/.built
if [[ ! -f $pcre_stamp ]]; then
  echo "build-deps: building PCRE2 (once)" >&2
  rm -rf "$deps/pcre2-src" "$deps/pcre2-build" "$deps/pcre2"
  mkdir -p "$deps/pcre2-src"
  (cd "$deps/pcre2-src" && apt-get source -qq pcre2 >/dev/null 2>&1)
  src=$(find "$deps/pcre2-src" -mindepth 1 -maxdepth 1 -type d -name 'pcre2-*' | head -n1)
  [[ -n $src ]] || { echo "build-deps: could not get the pcre2 source package" >&2; exit 1; }
  build_cmake pcre2 "$src" \
    -DBUILD_SHARED_LIBS=OFF -DPCRE2_BUILD_PCRE2_8=OFF -DPCRE2_BUILD_PCRE2_16=ON \
    -DPCRE2_BUILD_PCRE2_32=OFF -DPCRE2_SUPPORT_UNICODE=ON -DPCRE2_SUPPORT_JIT=ON \
    -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF -DPCRE2_STATIC_RUNTIME=ON
  touch "$pcre_stamp"
fi

ffi_stamp=$deps/libffi/.built
if [[ ! -f $ffi_stamp ]]; then
  echo "build-deps: building libffi (once)" >&2
  rm -rf "$deps/libffi-src" "$deps/libffi-build" "$deps/libffi"
  mkdir -p "$deps/libffi-src" "$deps/libffi-build"
  (cd "$deps/libffi-src" && apt-get source -qq libffi >/dev/null 2>&1)
  src=$(find "$deps/libffi-src" -mindepth 1 -maxdepth 1 -type d -name 'libffi-*' | head -n1)
  [[ -n $src ]] || { echo "build-deps: could not get the libffi source package" >&2; exit 1; }
  # The release's own configure script: no autotools needed.
  (cd "$deps/libffi-build" &&
    "$src/configure" --host=x86_64-w64-mingw32 CC=x86_64-w64-mingw32-gcc-posix \
      --prefix="$deps/libffi" --enable-static --disable-shared --disable-docs \
      --disable-multi-os-directory && make && make install) >"$deps/libffi.log" 2>&1 ||
    { echo "build-deps: libffi failed, see $deps/libffi.log" >&2; exit 1; }
  touch "$ffi_stamp"
fi

gtest_stamp=$deps/googletest/.built
if [[ ! -f $gtest_stamp ]]; then
  echo "build-deps: building GoogleTest (once)" >&2
  rm -rf "$deps/googletest-build" "$deps/googletest"
  build_cmake googletest /usr/src/googletest \
    -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF -DBUILD_SHARED_LIBS=OFF
  touch "$gtest_stamp"
fi
