#!/bin/sh
# Sets up, builds, and turns the bundled sample capture into its plain log.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" >/dev/null
. "$top/scripts/wine_env.sh"
wine "$top/build/bootweave.exe" "$top/samples/boot_capture.txt" -
