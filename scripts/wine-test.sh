#!/bin/sh
# Runs a Windows test program under Wine for CTest. Its output passes through files:
# a background service that Wine starts meanwhile inherits that output, and it must
# not hold CTest's pipe open once the program has ended. Under load Wine now and
# then fails to start a program at all: it ends with a failure and the program
# never wrote a byte (a test program always does, GoogleTest's first line). Only
# that start is tried again, up to three times, and the output says so; a program
# that ran and failed counts at once.
out=$(mktemp) && err=$(mktemp) || exit 1
for attempt in 1 2 3; do
  wine "$@" >"$out" 2>"$err"
  rc=$?
  [ "$rc" -eq 0 ] || [ -s "$out" ] || [ "$attempt" -eq 3 ] || {
    echo "wine-test: $1 did not start (exit $rc, no output): starting it again" >&2
    sleep 1
    continue
  }
  break
done
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $rc
