#!/bin/sh
# Builds the reformatting benchmark optimised, without the sanitizers, in
# build-perf/ and runs it: scripts/run-benchmarks.sh [<git revision>]
# With a revision, the benchmark is also built from the whole tree as it was
# there (build-perf-base/src, so that the reformatting takes its own helpers
# along), the two run one after the other, and a table shows them side by side;
# the revision's benchmark measures the same captures where benchmarks/ is the
# same. Not part of the tests: timings are for reading, not asserting.
# Installs Google Benchmark with apt-get where it is missing.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
base=$1

if [ ! -f /usr/include/benchmark/benchmark.h ] || ! command -v cmake >/dev/null 2>&1; then
  echo "run-benchmarks: installing Google Benchmark"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    libbenchmark-dev cmake g++ make python3 >/dev/null
fi

# build <dir> [<source tree>]
build() {
  cmake -S "${2:-$top}" -B "$1" -DCMAKE_BUILD_TYPE=Release -DBW_SANITIZE=OFF -DBW_BENCHMARKS=ON >/dev/null
  cmake --build "$1" -j2 --target reformat_perftest >/dev/null
}

# measure <dir>: five repetitions, the medians kept as JSON
measure() {
  "$1/reformat_perftest" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$1/results.json" --benchmark_out_format=json >/dev/null
}

build "$top/build-perf"
if [ -n "$base" ]; then
  rm -rf "$top/build-perf-base/src"
  mkdir -p "$top/build-perf-base/src"
  git -C "$top" archive "$base" | tar -x -C "$top/build-perf-base/src"
  build "$top/build-perf-base" "$top/build-perf-base/src"
  measure "$top/build-perf-base"
  measure "$top/build-perf"
  python3 "$top/benchmarks/report.py" "$base=$top/build-perf-base/results.json" \
    "now=$top/build-perf/results.json"
else
  measure "$top/build-perf"
  python3 "$top/benchmarks/report.py" "now=$top/build-perf/results.json"
fi
