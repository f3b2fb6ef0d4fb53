#!/bin/sh
# The Unix program on a made-up 64 MiB capture, medians of 5 runs each, side by
# side in one run with a floor program built the same way (read whole, write whole
# to a new file: bootweave minus the reformatting) and cat; with peak memory. The
# floor runs twice: as built, and with large pages as bootweave asks for them on
# Linux (glibc's tunable), so that the allocation's share shows apart.
#   scripts/measure-native.sh
#   BW_CAPTURE=powershell scripts/measure-native.sh   (another kind of capture,
#   as make_capture names them)
# Builds in build-perf/ (Release, no sanitizers); the capture and the outputs go
# to a temporary folder that is removed afterwards.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
perf="$top/build-perf"
cmake -S "$top" -B "$perf" -DCMAKE_BUILD_TYPE=Release -DBW_SANITIZE=OFF -DBW_BENCHMARKS=ON >/dev/null
cmake --build "$perf" -j2 --target bootweave_unix floor_copy_posix make_capture >/dev/null

work=$(mktemp -d /tmp/bootweave-measure.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$perf/make_capture" "${BW_CAPTURE:-realistic}" 67108864 "$work/capture.txt"
python3 "$top/benchmarks/measure_wine.py" "$work/capture.txt" "$work" 5 \
  "floor=$perf/floor_copy_posix {src} {dst}" \
  "floor_large_pages=env GLIBC_TUNABLES=glibc.malloc.hugetlb=1 $perf/floor_copy_posix {src} {dst}" \
  "bootweave=$perf/bootweave {src} {dst}" "cat=sh -c 'cat {src} >{dst}'"
