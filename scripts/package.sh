#!/bin/sh
# Sets up, builds, and makes the release package build/bootweave-<version>-win64.zip.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" >/dev/null
cd "$top/build" && cpack -G ZIP --config CPackConfig.cmake
