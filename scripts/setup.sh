#!/bin/sh
# Installs what a fresh Debian 12 machine lacks for building and testing
# bootweave; does nothing when everything is there. Needs root for apt-get.
# Says what it does on standard error: standard output belongs to the caller.
set -e
need=""
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || need="$need g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64"
command -v wine >/dev/null 2>&1 || need="$need wine wine64"
{ command -v cmake && command -v ctest; } >/dev/null 2>&1 || need="$need cmake"
command -v g++ >/dev/null 2>&1 || need="$need g++"
command -v make >/dev/null 2>&1 || need="$need make"
[ -f /usr/src/googletest/CMakeLists.txt ] || need="$need googletest"
[ -f /usr/include/benchmark/benchmark.h ] || need="$need libbenchmark-dev"
command -v mountpoint >/dev/null 2>&1 || need="$need util-linux"
command -v python3 >/dev/null 2>&1 || need="$need python3"
if [ -n "$need" ]; then
  echo "setup: installing$need" >&2
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $need >/dev/null
fi
