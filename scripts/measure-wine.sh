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

build_exe() {  # <source dir> <build dir> <targets>
  cmake -S "$1" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$2" -j2 --target $3 >/dev/null
}

build_exe "$top" "$win" "bootweave floor_copy"
cmake -S "$top" -B "$top/build-perf" -DCMAKE_BUILD_TYPE=Release -DBW_SANITIZE=OFF -DBW_BENCHMARKS=ON >/dev/null
cmake --build "$top/build-perf" -j2 --target make_capture >/dev/null

set -- "floor=wine $win/floor_copy.exe {src} {dst}"
if [ -n "$base" ]; then
  src="$top/build-perf-win-base/src"
  rm -rf "$src"
  mkdir -p "$src"
  (cd "$top" && tar --exclude='./build*' --exclude=./.git -cf - .) | tar -xf - -C "$src"
  git -C "$top" show "$base:app/reformat.cc" >"$src/app/reformat.cc"
  build_exe "$src" "$top/build-perf-win-base/build" bootweave
  set -- "$@" "bootweave@$base=wine $top/build-perf-win-base/build/bootweave.exe {src} {dst}"
fi
set -- "$@" "bootweave=wine $win/bootweave.exe {src} {dst}" "cp=cp {src} {dst}" \
  "python=python3 $top/benchmarks/plain_log.py {src} {dst}"

work=$(mktemp -d /tmp/bootweave-measure.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$top/build-perf/make_capture" "${BW_CAPTURE:-realistic}" 67108864 "$work/capture.txt"
python3 "$top/benchmarks/measure_wine.py" "$work/capture.txt" "$work" 5 "$@"
