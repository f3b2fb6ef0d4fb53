#!/bin/sh
# Sets up, builds and runs every test: the Windows programs under Wine, then the
# pure code on the host under AddressSanitizer and UndefinedBehaviorSanitizer.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
. "$top/scripts/wine_env.sh"
# With the long cases too: the out-of-memory run that reads 1.8 GiB.
export BW_LONG_TESTS=1
# A failing test fails the run: only a program that Wine did not start at all is
# started again (scripts/wine-test.sh, tests/e2e_support.h), and says so.
(cd "$top/build" && ctest --output-on-failure --timeout 900 -j2)
# With the benchmark programs, built but not timed: a benchmark that no longer
# builds fails the run.
cmake -S "$top" -B "$top/build-host" -DCMAKE_BUILD_TYPE=Debug -DBW_BENCHMARKS=ON >/dev/null
cmake --build "$top/build-host" -j2
(cd "$top/build-host" && ctest --output-on-failure --timeout 900 -j2)
# The fuzzers, each for a bounded time (scripts/run-fuzzers.sh <seconds> runs them longer).
"$top/scripts/run-fuzzers.sh" 30
