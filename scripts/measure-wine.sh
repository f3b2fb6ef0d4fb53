#!/bin/sh
# The whole program under Wine on a made-up 64 MiB capture, medians of 5 runs each,
# against a floor program (read whole, write in chunks of 1024: bootweave minus the
# reformatting), cp, and a Python script doing the same job; with peak memory.
#   scripts/measure-wine.sh [<git revision>]
#   BW_CAPTURE=powershell scripts/measure-wine.sh   (the capture as Windows
#   PowerShell 5.1 redirects it, in UTF-16LE, instead of the realistic one;
#   powershell79: one of 252-byte chunks from an 80-column console, lines split)
# With a revision, bootweave is also built with app/reformat.cc as it was there
# (everything else as in this tree) and measured in the same rounds.
# Builds in build-perf-win/ (and build-perf-win-base/); the capture and the outputs
# go to a temporary folder that is removed afterwards.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
base=$1
win="$top/build-perf-win"

"$top/scripts/setup.sh"
. "$top/scripts/wine_env.sh"

build_exe() {  # <source dir> <build dir>
  cmake -S "$1" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$2" -j2 --target bootweave >/dev/null
}

build_exe "$top" "$win"
x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -Wall -Wextra -Werror -fno-exceptions -fno-rtti \
  -fno-asynchronous-unwind-tables -nostdlib -nostartfiles -s -Wl,-e,FloorEntry \
  -Wl,--subsystem,console "$top/benchmarks/floor_copy.cc" -lkernel32 -o "$win/floor_copy.exe"
g++ -std=c++17 -O2 -I"$top" "$top/benchmarks/make_capture.cc" "$top/benchmarks/capture.cc" \
  -o "$win/make_capture"

set -- "floor=wine $win/floor_copy.exe {src} {dst}"
if [ -n "$base" ]; then
  src="$top/build-perf-win-base/src"
  rm -rf "$src"
  mkdir -p "$src"
  (cd "$top" && tar --exclude='./build*' --exclude=./.git -cf - .) | tar -xf - -C "$src"
  git -C "$top" show "$base:app/reformat.cc" >"$src/app/reformat.cc"
  build_exe "$src" "$top/build-perf-win-base/build"
  set -- "$@" "bootweave@$base=wine $top/build-perf-win-base/build/bootweave.exe {src} {dst}"
fi
set -- "$@" "bootweave=wine $win/bootweave.exe {src} {dst}" "cp=cp {src} {dst}" \
  "python=python3 $top/benchmarks/plain_log.py {src} {dst}"

work=$(mktemp -d /tmp/bootweave-measure.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$win/make_capture" "${BW_CAPTURE:-realistic}" 67108864 "$work/capture.txt"
python3 "$top/benchmarks/measure_wine.py" "$work/capture.txt" "$work" 5 "$@"
