#!/bin/sh
# Sets up, builds, and makes the release packages: build/bootweave-<version>-win64.zip
# and build-linux/bootweave-<version>-linux-x86_64.tar.gz, whose program is linked
# statically, so that it runs on any x86-64 Linux, with its manual page, the README
# and the licence.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" >/dev/null
(cd "$top/build" && cpack -G ZIP --config CPackConfig.cmake)
cmake -S "$top" -B "$top/build-linux" -DCMAKE_BUILD_TYPE=Release -DBW_STATIC=ON -DBW_TESTS=OFF >/dev/null
cmake --build "$top/build-linux" -j2 --target bootweave_unix >/dev/null
cd "$top/build-linux" && cpack -G TGZ --config CPackConfig.cmake
