#!/bin/sh
# Builds the libFuzzer targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer)
# in build-fuzz/ and runs each for a bounded time: scripts/run-fuzzers.sh [seconds each]
# (30 by default). Starts from the committed seeds in fuzz/corpus/<name>/ and keeps
# what it finds in build-fuzz/corpus/<name>/; a crash leaves its input in
# build-fuzz/artifacts/ and makes the script fail. Installs clang with apt-get
# where it is missing.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
build="$top/build-fuzz"

fuzzer_rt=$(ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a 2>/dev/null | head -n1)
if ! command -v clang++ >/dev/null 2>&1 || [ -z "$fuzzer_rt" ]; then
  echo "run-fuzzers: installing clang and its fuzzing runtime"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    clang libclang-rt-dev >/dev/null
fi

cmake -S "$top" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBW_FUZZERS=ON -DBW_SANITIZE=ON >/dev/null
cmake --build "$build" -j2 --target reformat_fuzzer format_w_fuzzer command_line_fuzzer

mkdir -p "$build/artifacts"
status=0
for name in reformat format_w command_line; do
  mkdir -p "$build/corpus/$name"
  log="$build/$name.log"
  # Inputs that once failed, kept as regression tests: each must pass.
  if [ -d "$top/fuzz/regressions/$name" ]; then
    for input in "$top/fuzz/regressions/$name"/*; do
      if ! "$build/${name}_fuzzer" "$input" >"$log.regression" 2>&1; then
        echo "fuzz $name: regression $(basename "$input") FAILED (log: $log.regression)"
        grep -E 'ERROR|SUMMARY|_fuzzer:' "$log.regression" | head -n 5
        status=1
      fi
    done
  fi
  if "$build/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$name-" "$build/corpus/$name" "$top/fuzz/corpus/$name" \
      >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $name: $runs runs in ${seconds} s, nothing found"
  else
    echo "fuzz $name: FAILED (log: $log)"
    tail -n 40 "$log"
    status=1
  fi
done
exit $status
