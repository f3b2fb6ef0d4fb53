#!/bin/sh
# Runs a Windows test program under Wine for CTest. Its output passes through files:
# a background service that Wine starts meanwhile inherits that output, and it must
# not hold CTest's pipe open once the program has ended. Under load Wine now and
# then fails to start a program at all (no output, a failed exit): that start is
# tried again, up to three times.
out=$(mktemp) && err=$(mktemp) || exit 1
for attempt in 1 2 3; do
  wine "$@" >"$out" 2>"$err"
  rc=$?
  [ "$rc" -eq 0 ] || [ -s "$out" ] || { sleep 1; continue; }
  break
done
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $rc
