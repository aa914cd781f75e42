#!/usr/bin/env bash
# `make windows`: cross-builds the window, the command line and the test suites
# for 64-bit Windows into WIN_BUILD (default build-win) against the mingw prefix
# (see env.sh for where it comes from).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
. packaging/windows/env.sh
build=${WIN_BUILD:-build-win}
find_win_prefix
echo "Windows prefix: $win_prefix"
# A build folder configured against another prefix starts over.
if [ -f "$build/CMakeCache.txt" ] && ! grep -qx "CMAKE_TOOLCHAIN_FILE:FILEPATH=$win_prefix/mingw-toolchain.cmake" "$build/CMakeCache.txt"; then
  rm -rf "$build"
fi
if [ ! -f "$build/build.ninja" ]; then
  PKG_CONFIG_LIBDIR="$win_prefix/lib/pkgconfig" cmake -S . -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$win_prefix/mingw-toolchain.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DFRIENDLINKS_BENCH=OFF
fi
PKG_CONFIG_LIBDIR="$win_prefix/lib/pkgconfig" cmake --build "$build" -j "${JOBS:-2}"
