#!/bin/sh
# Builds build/bootweave.exe and its Windows test programs.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
echo "build: building in $top/build" >&2
cmake -S "$top" -B "$top/build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$top/build" -j2
