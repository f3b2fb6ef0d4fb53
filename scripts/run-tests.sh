#!/bin/sh
# Sets up, builds and runs every test: the Windows programs under Wine, then the
# pure code on the host under AddressSanitizer and UndefinedBehaviorSanitizer.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
. "$top/scripts/wine_env.sh"
# Under load Wine now and then fails to start a program (a test program, or the
# exe that a test starts): a test that fails runs once more before it counts.
(cd "$top/build" && ctest --output-on-failure --timeout 900 -j2 --repeat until-pass:2)
cmake -S "$top" -B "$top/build-host" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$top/build-host" -j2
(cd "$top/build-host" && ctest --output-on-failure --timeout 900 -j2)
# The fuzzers, each for a bounded time (scripts/run-fuzzers.sh <seconds> runs them longer).
"$top/scripts/run-fuzzers.sh" 30
